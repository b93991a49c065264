#include "common/forms/JournalWindow.h"

#include "common/core/ComponentCall.h"
#include "common/forms/DistributionGridModel.h"
#include "common/forms/HelpLauncher.h"
#include "common/forms/MaintenanceWindow.h"
#include "common/forms/MessageList.h"
#include "common/forms/ModuleErrorHandler.h"
#include "common/forms/ModuleStartup.h"
#include "common/forms/PeriodCaption.h"
#include "common/forms/ScreenPrinter.h"
#include "common/forms/TErrorForm.h"
#include "common/forms/Tperiod_frm.h"
#include "engine/Cursor.h"
#include "engine/EngineError.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include <algorithm>

namespace vm::forms {

JournalWindow::JournalWindow(core::TLinkSection& link, int helpContext, std::pair<int, int> captionMessages,
                             QWidget* parent)
    : QDialog(parent), link_(link), helpContext_(helpContext), captionMessages_(captionMessages) {}

JournalWindow::~JournalWindow() = default;

void JournalWindow::setErrorForm(TErrorForm* form) {
    errorForm_ = form;
}

void JournalWindow::setPeriodForm(Tperiod_frm* form) {
    periodForm_ = form;
}

bool JournalWindow::startModule(const std::string& stem, const std::string& companyAlias,
                                const std::string& systemAlias,
                                const std::vector<std::pair<std::string, const char*>>& tables,
                                const std::function<void()>& afterTexts) {
    ModuleStartup startup(link_);
    try {
        startup.translate(*this, stem);
        if (periodForm_) startup.translate(*periodForm_, stem);
    } catch (const EngineError&) {
        // Without the language table the designed (English) texts serve.
    }
    if (afterTexts) afterTexts();
    startup.applyFallbacks();
    startup.fillStatusBar(*statusBar_);
    helpPath_ = startup.helpPath();
    startup.pointAliases(companyAlias, systemAlias);
    for (const auto& [alias, table] : tables) {
        if (!startup.openTable(alias, table, true, this)) {
            QTimer::singleShot(0, this, [this] { done(QDialog::Rejected); });
            return false;
        }
    }
    return true;
}

void JournalWindow::showOpeningCaption() {
    captionBase_ = windowTitle();
    const int period = windowPeriod();
    setWindowTitle(captionBase_ + QString::number(period) + QStringLiteral(" : ") + periodName(period));
    // One quick link window at a time.
    if (btnQuickLink_ && quickLinkOpen()) btnQuickLink_->setEnabled(false);
}

void JournalWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) QTimer::singleShot(0, this, [this] { startUp(); });
}

void JournalWindow::changePeriod() {
    if (!dataOpen()) return;
    Tperiod_frm local(this);
    Tperiod_frm* dialog = periodForm_ ? periodForm_.data() : &local;
    dialog->setLanguage(link_.Language);
    dialog->setPeriod(windowPeriod());
    busy_ = true;
    dialog->exec();
    busy_ = false;
    const std::optional<int> period = dialog->period();
    if (!period) return;
    setWindowPeriod(*period);
    setWindowTitle(periodCaption(messages_->message(captionMessages_.first),
                                 messages_->message(captionMessages_.second), ledgerPeriod(), *period,
                                 periodName(*period)));
}

void JournalWindow::quickLink() {
    core::callComponent<std::int32_t>(link_.ProgramDir.str(), "jumplink", "QuickLink", link_);
    if (errorHandler_) errorHandler_->install();
}

void JournalWindow::printScreen() {
    forms::printScreen(*this, QString::fromUtf8(link_.PrinterIndex.c_str()));
}

void JournalWindow::showHelp() {
    openHelp(helpPath_, helpContext_, link_.Language, this);
}

// Exit: what is open is rolled back and the window closes; the work tables
// stay on disk until the next run replaces them.
void JournalWindow::quit() {
    leaving_ = true;
    closeData();
    done(QDialog::Accepted);
}

// The window's close box does what Exit does.
void JournalWindow::closeEvent(QCloseEvent* event) {
    if (!leaving_) quit();
    event->accept();
}

// Escape does not close the window: only Exit does.
void JournalWindow::reject() {}

void DistributionWindow::lookUpAccount() {
    if (!entryOpen_) return;
    busy_ = true;
    const auto account =
        core::callComponent<std::int32_t>(link_.ProgramDir.str(), "accountpicker", "PickAccount", link_);
    busy_ = false;
    if (!account || *account == 0) return;
    const int row =
        gridLines_->currentIndex().isValid() ? gridLines_->currentIndex().row() : lineModel_->lineRows();
    if (lineModel_->setAccount(row, *account)) {
        lineModel_->reload();
        refreshTotals();
    }
}

bool DistributionWindow::distributionKey(const QKeyEvent& key) {
    // Ctrl+Delete removes the current distribution line, as in every grid
    // of the suite.
    if (key.key() == Qt::Key_Delete && (key.modifiers() & Qt::ControlModifier)) {
        deleteCurrentLine();
        return true;
    }
    if (key.key() == Qt::Key_F2 && gridLines_->currentIndex().column() == DistributionGridModel::Account) {
        lookUpAccount();
        return true;
    }
    return false;
}

void DistributionWindow::deleteCurrentLine() {
    if (!entryOpen_ || !gridLines_->isEnabled()) return;
    const int row = gridLines_->currentIndex().row();
    if (const std::int64_t id = lineModel_->rowIdAt(row)) {
        lineModel_->lines()->remove(id);
        lineModel_->reload();
        refreshTotals();
        gridLines_->setCurrentIndex(lineModel_->index(std::min(row, lineModel_->lineRows() - 1), 0));
    }
}

void DistributionWindow::accountRefused(int row, int message) {
    QTimer::singleShot(0, this, [this, row, message] {
        inform(message);
        const QModelIndex cell = lineModel_->index(row, DistributionGridModel::Account);
        gridLines_->setFocus();
        gridLines_->setCurrentIndex(cell);
    });
}

} // namespace vm::forms
