#include "modules/cashrcpt/ui/Tcashrcpt_frm.h"

#include "common/core/ComponentCall.h"
#include "common/core/LinkStringQt.h"
#include "common/core/MoneyFormat.h"
#include "common/core/RegionalSettings.h"
#include "common/forms/AbortAction.h"
#include "common/forms/Application.h"
#include "common/forms/DisplayFormat.h"
#include "common/forms/HelpLauncher.h"
#include "common/forms/LockRetry.h"
#include "common/forms/MessageList.h"
#include "common/forms/ModuleErrorHandler.h"
#include "common/forms/ModuleStartup.h"
#include "common/forms/PeriodCaption.h"
#include "common/forms/ScreenPrinter.h"
#include "common/forms/TErrorForm.h"
#include "common/forms/Tperiod_frm.h"
#include "engine/Cursor.h"
#include "engine/EngineError.h"
#include "modules/cashrcpt/core/ReceiptChecks.h"
#include "modules/cashrcpt/core/ReceiptEntry.h"
#include "modules/cashrcpt/core/ReceiptPosting.h"
#include "modules/cashrcpt/ui/InvoiceGridModel.h"
#include "modules/cashrcpt/ui/LineGridModel.h"
#include "modules/cashrcpt/ui/Tcashrcpt_dm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vm::cashrcpt {
namespace {

// The tables the window works on; each must open before the window is used.
constexpr int kAmountWidth = 130;

const char* const kTables[] = {"cli",  "car",      "glm",      "ctrl",   "Periods", "tjlh",
                               "tjld", "crorihdr", "croridet", "concil", "gla"};

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QTableView* grid(QWidget* parent, const char* name) {
    auto* g = new QTableView(parent);
    g->setObjectName(QString::fromLatin1(name));
    g->setSelectionBehavior(QAbstractItemView::SelectItems);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                       QAbstractItemView::AnyKeyPressed);
    g->verticalHeader()->setDefaultSectionSize(22);
    g->setAlternatingRowColors(true);
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return g;
}

} // namespace

Tcashrcpt_frm::Tcashrcpt_frm(core::TLinkSection& link, Tcashrcpt_dm& dm, QWidget* parent)
    : forms::DistributionWindow(link, kHelpContext, {kMsgCaptionPeriod, kMsgCaptionChangedTo}, parent),
      dm_(dm) {
    setObjectName(QStringLiteral("Tcashrcpt_frm"));
    setWindowTitle(QStringLiteral("Cash receipts current period is "));
    build();
}

Tcashrcpt_frm::~Tcashrcpt_frm() = default;

void Tcashrcpt_frm::build() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 0);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("PageControl1"));
    auto* page = new QWidget(tabs_);
    page->setObjectName(QStringLiteral("TabSheet1"));
    tabs_->addTab(page, QStringLiteral("Cash receipts entry"));
    outer->addWidget(tabs_, 1);

    auto* form = new QGridLayout(page);
    form->setHorizontalSpacing(8);
    form->setVerticalSpacing(6);

    // Header of the receipt: who, when, which reference.
    form->addWidget(label(page, "LabelClient", QStringLiteral("Client code")), 0, 0);
    auto* clientRow = new QHBoxLayout;
    editClient_ = new QLineEdit(page);
    editClient_->setObjectName(QStringLiteral("Edit_client"));
    editClient_->setMaxLength(10);
    editClient_->setFixedWidth(110);
    btnListClients_ = button(page, "BtnListClients", QStringLiteral("List of clients"));
    labelClientName_ = new QLabel(page);
    labelClientName_->setObjectName(QStringLiteral("Label_client_name"));
    labelClientName_->setFrameShape(QFrame::Panel);
    labelClientName_->setFrameShadow(QFrame::Sunken);
    labelClientName_->setMinimumWidth(320);
    clientRow->addWidget(editClient_);
    clientRow->addWidget(btnListClients_);
    clientRow->addWidget(labelClientName_, 1);
    form->addLayout(clientRow, 0, 1, 1, 3);

    form->addWidget(label(page, "LabelDate", QStringLiteral("Transaction date")), 1, 0);
    editDate_ = new QLineEdit(page);
    editDate_->setObjectName(QStringLiteral("Edit_date"));
    editDate_->setInputMask(forms::DisplayFormat::dateInputMask());
    editDate_->setFixedWidth(110);
    form->addWidget(editDate_, 1, 1, Qt::AlignLeft);

    form->addWidget(label(page, "LabelReference", QStringLiteral("Reference")), 2, 0);
    editReference_ = new QLineEdit(page);
    editReference_->setObjectName(QStringLiteral("Edit_reference"));
    editReference_->setMaxLength(10);
    editReference_->setFixedWidth(110);
    form->addWidget(editReference_, 2, 1, Qt::AlignLeft);

    // What the chosen client owes and may owe, read when it is chosen.
    auto* figures = new QGridLayout;
    editBalance_ = new QLineEdit(page);
    editBalance_->setObjectName(QStringLiteral("Edit_balance"));
    editCreditLimit_ = new QLineEdit(page);
    editCreditLimit_->setObjectName(QStringLiteral("Edit_credit_limit"));
    figures->addWidget(label(page, "LabelBalance", QStringLiteral("Balance")), 0, 0);
    figures->addWidget(editBalance_, 0, 1);
    figures->addWidget(label(page, "LabelCreditLimit", QStringLiteral("Credit limit")), 1, 0);
    figures->addWidget(editCreditLimit_, 1, 1);
    for (QLineEdit* e : {editBalance_, editCreditLimit_}) {
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        e->setAlignment(Qt::AlignRight);
        e->setFixedWidth(kAmountWidth);
    }
    form->addLayout(figures, 1, 3, 2, 1, Qt::AlignRight | Qt::AlignTop);

    auto* boxes = new QVBoxLayout;
    checkNsf_ = new QCheckBox(QStringLiteral("NSF cheque"), page);
    checkNsf_->setObjectName(QStringLiteral("CheckBox_nsf"));
    checkNotClient_ = new QCheckBox(QStringLiteral("Receipt not from a client"), page);
    checkNotClient_->setObjectName(QStringLiteral("CheckBox_not_client"));
    boxes->addWidget(checkNsf_);
    boxes->addWidget(checkNotClient_);
    form->addLayout(boxes, 1, 2, 2, 1, Qt::AlignTop);

    form->addWidget(label(page, "LabelMemo", QStringLiteral("Transaction memo")), 3, 0, Qt::AlignTop);
    memo_ = new QPlainTextEdit(page);
    memo_->setObjectName(QStringLiteral("Memo_memo"));
    memo_->setFixedHeight(52);
    memo_->setTabChangesFocus(true);
    form->addWidget(memo_, 3, 1, 1, 3);

    // The open invoices, then the distribution with its totals.
    invoiceModel_ = new InvoiceGridModel(this);
    gridInvoices_ = grid(page, "DBGrid1");
    gridInvoices_->setModel(invoiceModel_);
    // A double-click pays the invoice in full; typing edits the payment.
    gridInvoices_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed |
                                   QAbstractItemView::SelectedClicked);
    form->addWidget(gridInvoices_, 4, 0, 1, 4);

    lineModel_ = new LineGridModel(this);
    gridLines_ = grid(page, "DBGrid2");
    gridLines_->setModel(lineModel_);
    form->addWidget(gridLines_, 5, 0, 1, 4);

    auto* totals = new QHBoxLayout;
    btnAccount_ = new QToolButton(page);
    btnAccount_->setObjectName(QStringLiteral("BtnAccountLookup"));
    btnAccount_->setText(QStringLiteral("List of accounts"));
    totals->addWidget(btnAccount_);
    totals->addStretch(1);
    totals->addWidget(label(page, "LabelTotal", QStringLiteral("Total")));
    editTotalDebit_ = new QLineEdit(page);
    editTotalDebit_->setObjectName(QStringLiteral("Edit_total_debit"));
    editTotalCredit_ = new QLineEdit(page);
    editTotalCredit_->setObjectName(QStringLiteral("Edit_total_credit"));
    for (QLineEdit* e : {editTotalDebit_, editTotalCredit_}) {
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        e->setAlignment(Qt::AlignRight);
        e->setFixedWidth(kAmountWidth);
        totals->addWidget(e);
    }
    totals->setSpacing(0);
    totals->addSpacing(gridLines_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2);
    form->addLayout(totals, 6, 0, 1, 4);
    form->setRowStretch(4, 2);
    form->setRowStretch(5, 3);
    form->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    btnAccept_ = button(this, "BtnAccept", QStringLiteral("Accept transaction"));
    btnCancel_ = button(this, "BtnCancel", QStringLiteral("Cancel entry"));
    btnPrint_ = button(this, "BtnPrint", QStringLiteral("Print screen"));
    btnEmail_ = button(this, "BtnEmail", QStringLiteral("E-Mail to"));
    btnQuickLink_ = button(this, "BtnQuickLink", QStringLiteral("Quick Link"));
    btnPeriod_ = button(this, "BtnPeriod", QStringLiteral("Change period"));
    btnExit_ = button(this, "BtnExit", QStringLiteral("Exit"));
    btnHelp_ = button(this, "BtnHelp", QStringLiteral("Help"));
    for (QPushButton* b :
         {btnAccept_, btnCancel_, btnPrint_, btnEmail_, btnQuickLink_, btnPeriod_, btnExit_, btnHelp_})
        buttons->addWidget(b);
    outer->addLayout(buttons);

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar_->setSizeGripEnabled(false);
    const char* const panels[][2] = {{"StatusPanelCompany", "Company: "},
                                     {"StatusPanelUser", "User: "},
                                     {"StatusPanelVersion", "Version "}};
    for (const auto& p : panels) {
        QLabel* l = label(statusBar_, p[0], QString::fromLatin1(p[1]));
        statusBar_->addWidget(l, 1);
    }
    outer->addWidget(statusBar_);

    messages_ = new forms::MessageList(this);
    intlWords_ = new forms::MessageList(this, QStringLiteral("IntlStrings2"));

    for (QWidget* w : {static_cast<QWidget*>(editClient_), static_cast<QWidget*>(editDate_),
                       static_cast<QWidget*>(editReference_), static_cast<QWidget*>(checkNsf_),
                       static_cast<QWidget*>(checkNotClient_), static_cast<QWidget*>(gridInvoices_),
                       static_cast<QWidget*>(gridLines_)})
        w->installEventFilter(this);
    setTabOrder(editClient_, editDate_);
    setTabOrder(editDate_, editReference_);
    setTabOrder(editReference_, memo_);
    setTabOrder(memo_, checkNsf_);
    setTabOrder(checkNsf_, checkNotClient_);
    setTabOrder(checkNotClient_, gridInvoices_);
    setTabOrder(gridInvoices_, gridLines_);
    resize(900, 680);
    connectActions();
    lockFields(true);
}

void Tcashrcpt_frm::connectActions() {
    connect(btnAccept_, &QPushButton::clicked, this, &Tcashrcpt_frm::acceptTransaction);
    connect(btnCancel_, &QPushButton::clicked, this, &Tcashrcpt_frm::cancelEntry);
    connect(btnPrint_, &QPushButton::clicked, this, &Tcashrcpt_frm::printScreen);
    connect(btnEmail_, &QPushButton::clicked, this, &Tcashrcpt_frm::emailTo);
    connect(btnQuickLink_, &QPushButton::clicked, this, &Tcashrcpt_frm::quickLink);
    connect(btnPeriod_, &QPushButton::clicked, this, &Tcashrcpt_frm::changePeriod);
    connect(btnExit_, &QPushButton::clicked, this, &Tcashrcpt_frm::quit);
    connect(btnHelp_, &QPushButton::clicked, this, &Tcashrcpt_frm::showHelp);
    connect(btnListClients_, &QPushButton::clicked, this, &Tcashrcpt_frm::listClients);
    connect(btnAccount_, &QToolButton::clicked, this, &Tcashrcpt_frm::lookUpAccount);
    connect(editClient_, &QLineEdit::textEdited, this, &Tcashrcpt_frm::clientTyped);
    connect(checkNotClient_, &QCheckBox::clicked, this, &Tcashrcpt_frm::notFromClientClicked);
    connect(gridInvoices_, &QTableView::doubleClicked, this, &Tcashrcpt_frm::invoiceDoubleClicked);
    connect(invoiceModel_, &InvoiceGridModel::paymentsChanged, this, [this] {
        lineModel_->reload();
        refreshTotals();
    });
    connect(lineModel_, &LineGridModel::linesChanged, this, &Tcashrcpt_frm::refreshTotals);
    connect(lineModel_, &LineGridModel::accountRefused, this,
            [this](int row) { accountRefused(row, kMsgAccountInvalid); });
    connect(
        lineModel_, &LineGridModel::amountRefused, this,
        [this](int row, int column, const QString& text) { amountRefused(gridLines_, row, column, text); });
    connect(invoiceModel_, &InvoiceGridModel::amountRefused, this,
            [this](int row, int column, const QString& text) {
                amountRefused(gridInvoices_, row, column, text);
            });
}

void Tcashrcpt_frm::applyDateMask() {
    editDate_->setInputMask(forms::DisplayFormat::dateInputMask());
}

bool Tcashrcpt_frm::startUp() {
    if (started_) return true;
    started_ = true;
    std::vector<std::pair<std::string, const char*>> tables;
    for (const char* table : kTables)
        tables.emplace_back(Tcashrcpt_dm::kCompanyAlias, table);
    const bool opened =
        startModule("cashrcpt", Tcashrcpt_dm::kCompanyAlias, Tcashrcpt_dm::kSystemAlias, tables, [this] {
            // International terminology ("check" in English); the French table keeps "chèque".
            if (forms::ModuleStartup::international() && !intlWords_->message(0).isEmpty())
                checkNsf_->setText(intlWords_->message(0));
        });
    // After the three panels, which the start-up fills by their number.
    statusMessage_ = new QLabel(statusBar_);
    statusMessage_->setObjectName(QStringLiteral("StatusPanelMessage"));
    statusBar_->addPermanentWidget(statusMessage_);
    if (!opened) return false;
    dm_.open();
    invoiceModel_->setEntry(&dm_.entry());
    lineModel_->setLines(&dm_.entry().distribution());
    showOpeningCaption();

    invoiceModel_->setMoneyFormat([this](Money m) { return moneyText(m); });
    lineModel_->setMoneyFormat([this](Money m) { return moneyText(m); });
    resetEntry();
    return true;
}

// ------------------------------------------------------------ the client

void Tcashrcpt_frm::clientTyped(const QString& text) {
    if (!dm_.isOpen() || text.isEmpty()) return;
    // Incremental search: the nearest client is named while the code is typed.
    Cursor cli(dm_.company(), "cli", true);
    if (cli.findNearest({Value(text.toStdString())}))
        labelClientName_->setText(QString::fromStdString(cli.str("Cli_name")));
    else
        labelClientName_->clear();
}

void Tcashrcpt_frm::clientExit() {
    if (!dm_.isOpen() || entryOpen_ || !editClient_->isEnabled() || leaving_) return;
    const QString code = editClient_->text().trimmed();
    if (code.isEmpty()) {
        labelClientName_->clear();
        return;
    }
    startClient(code);
}

void Tcashrcpt_frm::startClient(const QString& code) {
    const auto client = dm_.entry().findClient(code.toStdString());
    if (!client) {
        labelClientName_->clear();
        inform(kMsgClientNotFound);
        editClient_->setFocus();
        editClient_->selectAll();
        return;
    }
    setCurrencySign(client->currency);
    editClient_->setText(QString::fromStdString(client->code));
    labelClientName_->setText(QString::fromStdString(client->name));
    dm_.entry().startClient(*client, editReference_->text().toStdString());
    startEntry();
    showClientFigures();
}

// The balance and the credit limit in the client's currency; a limit of 0
// is no limit and shows blank.
void Tcashrcpt_frm::showClientFigures() {
    const auto& client = dm_.isOpen() ? dm_.entry().client() : std::nullopt;
    editBalance_->setText(client ? moneyText(client->balance) : QString());
    editCreditLimit_->setText(
        client && client->creditLimit != 0 ? moneyText(Money::fromUnits(client->creditLimit)) : QString());
}

void Tcashrcpt_frm::notFromClientClicked(bool checked) {
    if (!checked || entryOpen_ || !dm_.isOpen()) return;
    setCurrencySign(std::nullopt);
    editClient_->clear();
    labelClientName_->clear();
    dm_.entry().startNotFromClient();
    startEntry();
    gridInvoices_->setEnabled(false);
}

// What both kinds of receipt do once they start.
void Tcashrcpt_frm::startEntry() {
    entryOpen_ = true;
    if (statusMessage_) statusMessage_->clear();
    lockFields(false);
    editClient_->setEnabled(false);
    btnListClients_->setEnabled(false);
    checkNotClient_->setEnabled(false);
    editDate_->setText(forms::DisplayFormat::date(dm_.lastDate()));
    editReference_->clear();
    checkNsf_->setChecked(false);
    reloadGrids();
    editDate_->setFocus();
}

void Tcashrcpt_frm::resetEntry() {
    dm_.entry().clear();
    entryOpen_ = false;
    setCurrencySign(0);
    editDate_->clear();
    editReference_->clear();
    memo_->clear();
    checkNsf_->setChecked(false);
    checkNotClient_->setChecked(false);
    checkNotClient_->setEnabled(true);
    editClient_->clear();
    labelClientName_->clear();
    showClientFigures();
    lockFields(true);
    editClient_->setEnabled(true);
    btnListClients_->setEnabled(true);
    reloadGrids();
    editClient_->setFocus();
}

void Tcashrcpt_frm::lockFields(bool locked) {
    for (QWidget* w : {static_cast<QWidget*>(editDate_), static_cast<QWidget*>(editReference_),
                       static_cast<QWidget*>(memo_), static_cast<QWidget*>(checkNsf_),
                       static_cast<QWidget*>(gridInvoices_), static_cast<QWidget*>(gridLines_),
                       static_cast<QWidget*>(btnAccount_)})
        w->setEnabled(!locked);
    invoiceModel_->setEditable(!locked && dm_.isOpen() && dm_.entry().active());
    lineModel_->setEditable(!locked);
}

void Tcashrcpt_frm::reloadGrids() {
    if (!dm_.isOpen()) return;
    invoiceModel_->reload();
    lineModel_->reload();
    refreshTotals();
    QHeaderView* invoiceHeader = gridInvoices_->horizontalHeader();
    invoiceHeader->setSectionResizeMode(InvoiceGridModel::Invoice, QHeaderView::Stretch);
    for (int c : {InvoiceGridModel::InvoiceDate, InvoiceGridModel::DueDate})
        gridInvoices_->setColumnWidth(c, 100);
    for (int c : {InvoiceGridModel::Amount, InvoiceGridModel::Payment})
        gridInvoices_->setColumnWidth(c, kAmountWidth);
    QHeaderView* lineHeader = gridLines_->horizontalHeader();
    lineHeader->setSectionResizeMode(LineGridModel::Description, QHeaderView::Stretch);
    gridLines_->setColumnWidth(LineGridModel::Account, 90);
    for (int c : {LineGridModel::Debit, LineGridModel::Credit})
        gridLines_->setColumnWidth(c, kAmountWidth);
}

void Tcashrcpt_frm::refreshTotals() {
    if (!dm_.isOpen()) return;
    const ReceiptEntry::Totals t = dm_.entry().totals();
    editTotalDebit_->setText(moneyText(t.debit));
    editTotalCredit_->setText(moneyText(t.credit));
}

void Tcashrcpt_frm::setCurrencySign(std::optional<int> currency) {
    currency_ = currency;
}

// Amounts show the sign of the client's currency: the workstation's symbol
// for the company's own currency, the control row's sign for the others,
// none for a receipt not from a client.
QString Tcashrcpt_frm::moneyText(Money m) const {
    core::RegionalSettings settings = core::RegionalSettings::current();
    if (!currency_) return QString::fromStdString(core::formatAmount(m, settings));
    if (*currency_ > 0 && dm_.isOpen())
        settings.currencySymbol = dm_.accounts().signs[static_cast<std::size_t>(*currency_)];
    return QString::fromStdString(core::formatMoney(m, settings));
}

// ------------------------------------------------------------ fields

void Tcashrcpt_frm::dateExit() {
    if (!entryOpen_ || leaving_ || focusGoesToButton()) return;
    const std::optional<Date> d = forms::DisplayFormat::parseDate(editDate_->text());
    if (!d || d->isNull()) {
        inform(kMsgDateInvalid);
        editDate_->setFocus();
        return;
    }
    dm_.setLastDate(*d);
}

bool Tcashrcpt_frm::focusGoesToButton() const {
    return qobject_cast<QAbstractButton*>(QApplication::focusWidget()) != nullptr;
}

void Tcashrcpt_frm::invoiceDoubleClicked(const QModelIndex& index) {
    if (!index.isValid() || !dm_.isOpen() || !dm_.entry().active()) return;
    if (dm_.entry().payInFull(invoiceModel_->rowIdAt(index.row()))) {
        invoiceModel_->reload();
        lineModel_->reload();
        refreshTotals();
    }
}

void Tcashrcpt_frm::amountRefused(QTableView* grid, int row, int column, const QString& text) {
    QTimer::singleShot(0, this, [this, grid, row, column, text] {
        QMessageBox::information(this, boxTitle(), messages_->message(kMsgNotAnAmount).arg(text),
                                 QMessageBox::Ok);
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row, column));
    });
}

// Message boxes carry the window's name; the caption with its period is too
// long for a box's title bar.
QString Tcashrcpt_frm::boxTitle() const {
    const QString name = messages_->message(0);
    return name.isEmpty() ? windowTitle() : name;
}

void Tcashrcpt_frm::inform(int message) {
    QMessageBox::information(this, boxTitle(), messages_->message(message), QMessageBox::Ok);
}

void Tcashrcpt_frm::focusField(ReceiptField field, int line) {
    switch (field) {
    case ReceiptField::ClientCode:
        editClient_->setFocus();
        break;
    case ReceiptField::Date:
        editDate_->setFocus();
        break;
    case ReceiptField::Reference:
        editReference_->setFocus();
        break;
    case ReceiptField::Memo:
        memo_->setFocus();
        break;
    case ReceiptField::Distribution:
        gridLines_->setFocus();
        if (line >= 0) gridLines_->setCurrentIndex(lineModel_->index(line, LineGridModel::Account));
        break;
    case ReceiptField::None:
        break;
    }
}

// ------------------------------------------------------------ buttons

void Tcashrcpt_frm::acceptTransaction() {
    if (!dm_.isOpen()) return;
    const std::optional<Date> date = forms::DisplayFormat::parseDate(editDate_->text());
    const ReceiptDocument doc =
        dm_.entry().document(date.value_or(Date()), editReference_->text().trimmed().toStdString(),
                             memo_->toPlainText().toStdString(), checkNsf_->isChecked());
    CheckResult check = ReceiptChecks::check(dm_.company(), dm_.accounts(), doc);
    if (check.message == kMsgMemoMissing) {
        // Yes, the default, goes back to the memo; No posts without one.
        const auto answer = QMessageBox::question(this, boxTitle(), messages_->message(kMsgMemoMissing),
                                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        if (answer == QMessageBox::Yes) {
            memo_->setFocus();
            return;
        }
        check = ReceiptChecks::check(dm_.company(), dm_.accounts(), doc, true);
    }
    if (!check.ok()) {
        inform(check.message);
        focusField(check.focus, check.line);
        return;
    }

    // The client's row may be held by another workstation: the posting is
    // tried again after a pause, with the window alive, until the user gives
    // up. Any other failure has rolled the whole posting back: an engine
    // error goes the way of the module's exception hook (error form, then
    // the window closes), anything else is shown and the receipt stays.
    link_.LedgerPrefix = core::LinkString("Y");
    std::exception_ptr failure;
    bool posted = false;
    forms::LockRetry retry(errorForm_, this);
    retry.setLanguage(link_.LangCode.str());
    try {
        retry.run([&] {
            try {
                dm_.posting().postOnce(doc, dm_.period());
                posted = true;
            } catch (const EngineError& e) {
                if (e.isLock()) throw;
                failure = std::current_exception();
            } catch (...) {
                failure = std::current_exception();
            }
        });
    } catch (const forms::AbortAction&) {
        link_.LedgerPrefix = core::LinkString("N");
        inform(kMsgLockGivenUp);
        return;
    }
    link_.LedgerPrefix = core::LinkString("N");
    if (failure) {
        // Rolled back whole: the receipt stays on the screen to be posted again.
        if (errorHandler_)
            errorHandler_->reportActionFailure(failure, messages_->message(kMsgPostFailed), boxTitle());
        else
            forms::Application::dispatch(failure);
        return;
    }
    if (posted) {
        dm_.setLastDate(doc.date);
        resetEntry();
        if (statusMessage_)
            statusMessage_->setText(
                messages_->message(kMsgPostedStatus).arg(QString::fromStdString(doc.reference)));
    }
}

void Tcashrcpt_frm::cancelEntry() {
    if (!dm_.isOpen()) return;
    resetEntry();
}

void Tcashrcpt_frm::listClients() {
    if (!editClient_->isEnabled()) return;
    const auto code =
        core::callComponent<core::LinkString>(link_.ProgramDir.str(), "clientpicker", "PickClient", link_);
    if (!code || code->empty()) return;
    editClient_->setText(QString::fromUtf8(code->c_str()));
    startClient(editClient_->text());
}

void Tcashrcpt_frm::emailTo() {
    const auto& client = dm_.isOpen() ? dm_.entry().client() : std::nullopt;
    forms::openMail(client ? QString::fromStdString(client->email) : QString());
}

// The data module, as the shared parts of the window need it.
bool Tcashrcpt_frm::dataOpen() const {
    return dm_.isOpen();
}

int Tcashrcpt_frm::windowPeriod() const {
    return dm_.period();
}

void Tcashrcpt_frm::setWindowPeriod(int period) {
    dm_.setPeriod(period);
}

int Tcashrcpt_frm::ledgerPeriod() const {
    return dm_.accounts().arPeriod;
}

QString Tcashrcpt_frm::periodName(int period) const {
    return QString::fromStdString(dm_.monthName(period));
}

void Tcashrcpt_frm::closeData() {
    invoiceModel_->setEntry(nullptr);
    lineModel_->setLines(nullptr);
    dm_.close();
}

// ------------------------------------------------------------ keyboard

bool Tcashrcpt_frm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == editClient_)
            QTimer::singleShot(0, this, [this] {
                if (!focusGoesToButton()) clientExit();
            });
        else if (watched == editDate_)
            QTimer::singleShot(0, this, [this] { dateExit(); });
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool isGrid = watched == gridInvoices_ || watched == gridLines_;
    if (isGrid) {
        if (key->key() == Qt::Key_Escape) return true;
        // The open-invoice list keeps its rows.
        return watched == gridLines_ && distributionKey(*key);
    }
    if (watched == editClient_ && key->key() == Qt::Key_F2) {
        listClients();
        return true;
    }
    // The first key after a database error is the user's answer to it.
    if (errorHandler_ && errorHandler_->errorFlag()) {
        errorHandler_->clearErrorFlag();
        return false;
    }
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (watched == editClient_) {
            clientExit();
            return true;
        }
        [[fallthrough]];
    case Qt::Key_Down:
        focusNextChild();
        return true;
    case Qt::Key_Up:
        focusPreviousChild();
        return true;
    default:
        return false;
    }
}

} // namespace vm::cashrcpt
