#include "modules/monthend/ui/Tmonthend_frm.h"

#include "common/core/ComponentCall.h"
#include "common/forms/AbortAction.h"
#include "common/forms/Application.h"
#include "common/forms/DisplayFormat.h"
#include "common/forms/HelpLauncher.h"
#include "common/forms/LockRetry.h"
#include "common/forms/MessageList.h"
#include "common/forms/ModuleStartup.h"
#include "common/forms/ScreenPrinter.h"
#include "common/forms/TErrorForm.h"
#include "engine/Cursor.h"
#include "engine/EngineError.h"
#include "modules/monthend/core/MonthEnd.h"
#include "modules/monthend/ui/Tmonthend_dm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace vm::monthend {
namespace {

const char* const kTables[] = {"ctrl", "cli", "car", "carh", "slsm"};

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

Tmonthend_frm::Tmonthend_frm(core::TLinkSection& link, Tmonthend_dm& dm, QWidget* parent)
    : QDialog(parent), link_(link), dm_(dm) {
    setObjectName(QStringLiteral("Tmonthend_frm"));
    setWindowTitle(QStringLiteral("End of month procedure"));
    build();
}

Tmonthend_frm::~Tmonthend_frm() = default;

void Tmonthend_frm::setErrorForm(forms::TErrorForm* form) {
    errorForm_ = form;
}

void Tmonthend_frm::build() {
    auto* outer = new QVBoxLayout(this);

    auto* dateRow = new QHBoxLayout;
    labelDate_ = new QLabel(QStringLiteral("Date of end of month"), this);
    labelDate_->setObjectName(QStringLiteral("LabelDate"));
    editDate_ = new QLineEdit(this);
    editDate_->setObjectName(QStringLiteral("Edit_date"));
    editDate_->setInputMask(forms::DisplayFormat::dateInputMask());
    editDate_->setFixedWidth(110);
    labelDate_->setBuddy(editDate_);
    dateRow->addWidget(labelDate_);
    dateRow->addWidget(editDate_);
    dateRow->addStretch(1);
    outer->addLayout(dateRow);

    notice_ = new QPlainTextEdit(this);
    notice_->setObjectName(QStringLiteral("Memo1"));
    notice_->setReadOnly(true);
    notice_->setFocusPolicy(Qt::NoFocus);
    notice_->setFixedHeight(110);
    outer->addWidget(notice_);

    btnProceed_ = button(this, "BtnProceed", QStringLiteral("Proceed with update"));
    btnProceed_->setVisible(false);
    auto* proceedRow = new QHBoxLayout;
    proceedRow->addWidget(btnProceed_);
    proceedRow->addStretch(1);
    outer->addLayout(proceedRow);

    auto* progressRow = new QHBoxLayout;
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ProgressBar1"));
    progress_->setRange(0, 1);
    progress_->setValue(0);
    btnCancel_ = button(this, "BtnCancel", QStringLiteral("Cancel"));
    btnCancel_->setVisible(false);
    progressRow->addWidget(progress_, 1);
    progressRow->addWidget(btnCancel_);
    outer->addLayout(progressRow);

    auto* buttons = new QHBoxLayout;
    btnPrint_ = button(this, "BtnPrint", QStringLiteral("Print screen"));
    btnExit_ = button(this, "BtnExit", QStringLiteral("Exit"));
    btnHelp_ = button(this, "BtnHelp", QStringLiteral("Help"));
    buttons->addStretch(1);
    for (QPushButton* b : {btnPrint_, btnExit_, btnHelp_})
        buttons->addWidget(b);
    outer->addLayout(buttons);

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar_->setSizeGripEnabled(false);
    const char* const panels[][2] = {{"StatusPanelCompany", "Company: "},
                                     {"StatusPanelUser", "User: "},
                                     {"StatusPanelVersion", "Version "}};
    for (const auto& p : panels) {
        auto* l = new QLabel(QString::fromLatin1(p[1]), statusBar_);
        l->setObjectName(QString::fromLatin1(p[0]));
        statusBar_->addWidget(l, 1);
    }
    outer->addWidget(statusBar_);

    messages_ = new forms::MessageList(this);
    // The notices as designed; the language table replaces them.
    normalNotice_ = new forms::MessageList(this, QStringLiteral("MemoNormal"));
    normalNotice_->setLines({QStringLiteral("This program deletes all fully paid transactions from the "),
                             QStringLiteral("accounts receivable file.   If you have selected to save the "),
                             QStringLiteral("transaction history, the transactions which are deleted are "),
                             QStringLiteral("transfered to the transactions history file.The program  "),
                             QStringLiteral("also increases the period for this module by one (1).")});
    yearEndNotice_ = new forms::MessageList(this, QStringLiteral("MemoYearEnd"));
    yearEndNotice_->setLines({QStringLiteral("The system has reached the end of year.  Please "),
                              QStringLiteral("perform the end of year procedure after having performed "),
                              QStringLiteral("the end of month procedure.")});

    connect(btnProceed_, &QPushButton::clicked, this, &Tmonthend_frm::proceed);
    connect(btnCancel_, &QPushButton::clicked, this, &Tmonthend_frm::cancelRun);
    connect(btnPrint_, &QPushButton::clicked, this, &Tmonthend_frm::printScreen);
    connect(btnExit_, &QPushButton::clicked, this, &Tmonthend_frm::quit);
    connect(btnHelp_, &QPushButton::clicked, this, &Tmonthend_frm::showHelp);
    editDate_->installEventFilter(this);
    resize(520, 300);
}

void Tmonthend_frm::applyDateMask() {
    editDate_->setInputMask(forms::DisplayFormat::dateInputMask());
}

bool Tmonthend_frm::startUp() {
    if (started_) return true;
    started_ = true;
    forms::ModuleStartup startup(link_);
    try {
        startup.translate(*this, "monthend");
    } catch (const EngineError&) {
        // Without the language table the designed (English) texts serve.
    }
    startup.applyFallbacks();
    startup.fillStatusBar(*statusBar_);
    helpPath_ = startup.helpPath();
    startup.pointAliases(Tmonthend_dm::kAlias);
    for (const char* table : kTables) {
        if (!startup.openTable(Tmonthend_dm::kAlias, table, true, this)) {
            QTimer::singleShot(0, this, [this] { done(QDialog::Rejected); });
            return false;
        }
    }
    dm_.open();
    const forms::MessageList* notice = dm_.period().lastPeriod() ? yearEndNotice_ : normalNotice_;
    notice_->setPlainText(notice->lines().join(QLatin1Char('\n')));
    btnProceed_->setVisible(true);
    editDate_->setText(forms::DisplayFormat::date(Date::today()));
    editDate_->setFocus();
    return true;
}

void Tmonthend_frm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) QTimer::singleShot(0, this, [this] { startUp(); });
}

QString Tmonthend_frm::message(int i) const {
    const QString m = messages_->message(i);
    if (!m.isEmpty() || i != kMsgInvalidDate) return m;
    return link_.Language == 1 ? QStringLiteral("Invalid date") : QStringLiteral("Date invalide");
}

std::optional<Date> Tmonthend_frm::cutoffDate() {
    const std::optional<Date> d = forms::DisplayFormat::parseDate(editDate_->text());
    if (d && !d->isNull()) return d;
    QMessageBox::information(this, windowTitle(), message(kMsgInvalidDate));
    editDate_->setText(forms::DisplayFormat::date(Date::today()));
    editDate_->setFocus();
    return std::nullopt;
}

void Tmonthend_frm::setRunning(bool on) {
    running_ = on;
    for (QWidget* w :
         {static_cast<QWidget*>(editDate_), static_cast<QWidget*>(btnProceed_),
          static_cast<QWidget*>(btnPrint_), static_cast<QWidget*>(btnExit_), static_cast<QWidget*>(btnHelp_)})
        w->setEnabled(!on);
    btnCancel_->setVisible(on);
    btnCancel_->setEnabled(on);
}

// The cut-off date is read once, before anything is written; the run is one
// transaction, so a failure, a lock given up or a cancel leave the books as
// they were.
void Tmonthend_frm::proceed() {
    if (!dm_.isOpen() || running_) return;
    const std::optional<Date> cutoff = cutoffDate();
    if (!cutoff) return;

    MonthEnd run(dm_.company());
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    run.setProgress([&](std::int64_t done, std::int64_t total) {
        if (progress_->maximum() != total) progress_->setRange(0, static_cast<int>(total));
        progress_->setValue(static_cast<int>(done));
        if (sinceEvents.elapsed() >= 50 || done == total) {
            QApplication::processEvents();
            sinceEvents.restart();
        }
        return !cancelRequested_;
    });

    cancelRequested_ = false;
    setRunning(true);
    std::optional<MonthEndResult> result;
    bool ran = false;
    std::exception_ptr failure;
    forms::LockRetry retry(errorForm_, this);
    retry.setLanguage(link_.LangCode.str());
    try {
        retry.run([&] {
            progress_->setValue(0);
            try {
                result = run.run(*cutoff);
                ran = true;
            } catch (const EngineError& e) {
                if (e.isLock()) throw;
                failure = std::current_exception();
            } catch (...) {
                failure = std::current_exception();
            }
        });
    } catch (const forms::AbortAction&) {
        setRunning(false);
        messages_->inform(kMsgLockGivenUp, this);
        return;
    }
    setRunning(false);
    if (failure) {
        forms::Application::dispatch(failure);
        return;
    }
    if (!ran) return;
    if (!result) {
        progress_->setValue(0);
        messages_->inform(kMsgCancelled, this);
        return;
    }
    finished();
}

void Tmonthend_frm::finished() {
    leaving_ = true;
    dm_.close();
    core::callComponent<std::int32_t>(link_.ProgramDir.str(), "donebox", "Finished_Dialog", link_);
    done(QDialog::Accepted);
}

void Tmonthend_frm::printScreen() {
    forms::printScreen(*this, QString::fromUtf8(link_.PrinterIndex.c_str()));
}

void Tmonthend_frm::showHelp() {
    forms::openHelp(helpPath_, kHelpContext, link_.Language, this);
}

// Exit: nothing is changed and the window closes.
void Tmonthend_frm::quit() {
    if (running_) return;
    leaving_ = true;
    dm_.close();
    done(QDialog::Accepted);
}

// The close box does what Exit does, except during a run.
void Tmonthend_frm::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        return;
    }
    if (!leaving_) quit();
    event->accept();
}

// Escape does not close the window: only Exit does.
void Tmonthend_frm::reject() {}

bool Tmonthend_frm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editDate_ && event->type() == QEvent::FocusOut) {
        // Leaving the box checks the date, except towards Exit or Help.
        QTimer::singleShot(0, this, [this] {
            QWidget* to = QApplication::focusWidget();
            if (leaving_ || running_ || !dm_.isOpen() || to == btnExit_ || to == btnHelp_ ||
                to == btnProceed_)
                return;
            cutoffDate();
        });
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vm::monthend
