#include "components/jumplink/QuickLinkDialog.h"

#include "components/common/FormTexts.h"
#include "components/common/SearchKeyForwarder.h"
#include "components/jumplink/QuickLinkOptions.h"

#include "common/forms/MessageList.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace vm::components {

QuickLinkDialog::QuickLinkDialog(bool english, const std::string& langCode, Launcher launch, QWidget* parent)
    : QDialog(parent), launch_(std::move(launch)) {
    setObjectName(QStringLiteral("TQuickLink"));
    // Modules look for a visible window of exactly these titles.
    setWindowTitle(english ? QStringLiteral("Quick Link") : QStringLiteral("Lien Rapide"));
    setModal(true);

    auto* label = new QLabel(english ? QStringLiteral("Option:") : QStringLiteral("Option : "), this);
    label->setObjectName(QStringLiteral("LabelSearch"));
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("EditSearch"));
    edit_->setClearButtonEnabled(true);
    label->setBuddy(edit_);

    const auto& options = quickLinkOptions();
    grid_ = new QTableWidget(static_cast<int>(options.size()), 2, this);
    grid_->setObjectName(QStringLiteral("Grid"));
    grid_->setHorizontalHeaderLabels({QStringLiteral("Option"), QStringLiteral("Menu")});
    const QString receivables =
        english ? QStringLiteral("Accounts receivable") : QStringLiteral("Comptes à recevoir");
    const QString payables = english ? QStringLiteral("Accounts payable") : QStringLiteral("Comptes à payer");
    for (std::size_t i = 0; i < options.size(); ++i) {
        const int row = static_cast<int>(i);
        grid_->setItem(row, 0, new QTableWidgetItem(english ? options[i].english : options[i].french));
        grid_->setItem(row, 1, new QTableWidgetItem(options[i].payables ? payables : receivables));
        codes_.emplace_back(options[i].code);
    }
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setAlternatingRowColors(true);
    grid_->setTabKeyNavigation(false);
    grid_->setWordWrap(false);
    grid_->verticalHeader()->hide();
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    grid_->horizontalHeader()->setStretchLastSection(true);
    grid_->horizontalHeader()->setHighlightSections(false);
    grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid_->setColumnWidth(0, grid_->fontMetrics().averageCharWidth() * 32 + 16);
    grid_->selectRow(0);
    new SearchKeyForwarder(*edit_, *grid_);

    auto* ok = new QPushButton(english ? QStringLiteral("Start") : QStringLiteral("Lancer"), this);
    ok->setObjectName(QStringLiteral("BtnOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(english ? QStringLiteral("Cancel") : QStringLiteral("Annuler"), this);
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    cancel->setAutoDefault(false);

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(label);
    searchRow->addWidget(edit_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(grid_, 1);
    layout->addLayout(buttons);

    // Line 0: the option chosen is running already.
    messages_ = new forms::MessageList(this);
    messages_->setLines({english ? QStringLiteral("This option is already open. Close its window before "
                                                  "starting it again.")
                                 : QStringLiteral("Cette option est déjà ouverte. Fermez sa fenêtre avant "
                                                  "de la lancer de nouveau.")});

    connect(edit_, &QLineEdit::textChanged, this, [this](const QString& text) { applySearch(text); });
    connect(grid_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex&) { accept(); });
    connect(ok, &QPushButton::clicked, this, [this] { accept(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });

    translateForm(*this, langCode);
    resize(grid_->columnWidth(0) + grid_->fontMetrics().averageCharWidth() * 24 + 40,
           grid_->verticalHeader()->defaultSectionSize() * grid_->rowCount() + 120);
    edit_->setFocus();
}

// Hides the options whose name does not contain the text; the first option
// left becomes the current one.
void QuickLinkDialog::applySearch(const QString& text) {
    int first = -1;
    for (int row = 0; row < grid_->rowCount(); ++row) {
        const QTableWidgetItem* item = grid_->item(row, 0);
        const bool match = text.isEmpty() || (item && item->text().contains(text, Qt::CaseInsensitive));
        grid_->setRowHidden(row, !match);
        if (match && first < 0) first = row;
    }
    if (first >= 0)
        grid_->selectRow(first);
    else
        grid_->clearSelection();
}

QString QuickLinkDialog::failureText(const std::string& code, const core::ModuleRun& run) const {
    if (run.loaded) return run.result == 0 ? QStringLiteral("Access denied...") : QString();
    if (run.errorNumber == core::ModuleLoader::kAlreadyRunning) return messages_->message(0);
    return QString::fromStdString(core::ModuleLoader::loadErrorMessage(code, run.errorNumber));
}

void QuickLinkDialog::accept() {
    const int row = grid_->currentRow();
    if (row < 0 || row >= static_cast<int>(codes_.size()) || grid_->isRowHidden(row) ||
        !grid_->selectionModel()->isRowSelected(row, {}) || running_) {
        QApplication::beep();
        return;
    }
    const std::string code = codes_[static_cast<std::size_t>(row)];
    QString failure;
    {
        // An exception from the started option goes on to the application's
        // handler; the window must still accept the next choice.
        struct Running {
            bool& flag;
            explicit Running(bool& f) : flag(f) { flag = true; }
            ~Running() { flag = false; }
        } running(running_);
        if (launch_) failure = failureText(code, launch_(code));
    }
    if (!failure.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), failure);
        return;
    }
    QDialog::accept();
}

} // namespace vm::components
