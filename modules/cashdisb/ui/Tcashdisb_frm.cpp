#include "modules/cashdisb/ui/Tcashdisb_frm.h"

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
#include "common/journal/JournalWriter.h"
#include "engine/Cursor.h"
#include "engine/EngineError.h"
#include "modules/cashdisb/core/DisbursementChecks.h"
#include "modules/cashdisb/core/DisbursementEntry.h"
#include "modules/cashdisb/core/DisbursementPosting.h"
#include "modules/cashdisb/ui/InvoiceGridModel.h"
#include "modules/cashdisb/ui/LineGridModel.h"
#include "modules/cashdisb/ui/Tcashdisb_dm.h"

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

namespace vm::cashdisb {
namespace {

// The tables the window works on; each must open before the window is used.
constexpr int kAmountWidth = 130;

const char* const kTables[] = {"sup",  "glm",  "gla",      "ctrl",     "cap",    "concil",
                               "tjlh", "tjld", "cdorihdr", "cdoridet", "Periods"};

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

Tcashdisb_frm::Tcashdisb_frm(core::TLinkSection& link, Tcashdisb_dm& dm, QWidget* parent)
    : forms::DistributionWindow(link, kHelpContext, {kMsgCaptionPeriod, kMsgCaptionTransaction}, parent),
      dm_(dm) {
    setObjectName(QStringLiteral("Tcashdisb_frm"));
    setWindowTitle(QStringLiteral("Cash disbursements current period is "));
    build();
}

Tcashdisb_frm::~Tcashdisb_frm() = default;

void Tcashdisb_frm::build() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 0);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("PageControl1"));
    auto* page = new QWidget(tabs_);
    page->setObjectName(QStringLiteral("TabSheet1"));
    tabs_->addTab(page, QStringLiteral("Cash disbursements entry"));
    outer->addWidget(tabs_, 1);

    auto* form = new QGridLayout(page);
    form->setHorizontalSpacing(8);
    form->setVerticalSpacing(6);

    // Header of the disbursement: to whom, when, which reference.
    form->addWidget(label(page, "LabelSupplier", QStringLiteral("Supplier code")), 0, 0);
    auto* supplierRow = new QHBoxLayout;
    editSupplier_ = new QLineEdit(page);
    editSupplier_->setObjectName(QStringLiteral("Edit_supplier"));
    editSupplier_->setMaxLength(10);
    editSupplier_->setFixedWidth(110);
    btnListSuppliers_ = button(page, "BtnListSuppliers", QStringLiteral("List of suppliers"));
    labelSupplierName_ = new QLabel(page);
    labelSupplierName_->setObjectName(QStringLiteral("Label_supplier_name"));
    labelSupplierName_->setFrameShape(QFrame::StyledPanel);
    labelSupplierName_->setFrameShadow(QFrame::Sunken);
    labelSupplierName_->setFixedWidth(360);
    supplierRow->addWidget(editSupplier_);
    supplierRow->addWidget(btnListSuppliers_);
    supplierRow->addWidget(labelSupplierName_);
    supplierRow->addStretch(1);
    form->addLayout(supplierRow, 0, 1, 1, 3);

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

    auto* boxes = new QVBoxLayout;
    checkNotSupplier_ = new QCheckBox(QStringLiteral("Disbursement not to a supplier"), page);
    checkNotSupplier_->setObjectName(QStringLiteral("CheckBox_not_supplier"));
    boxes->addWidget(checkNotSupplier_);
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

    for (QWidget* w : {static_cast<QWidget*>(editSupplier_), static_cast<QWidget*>(editDate_),
                       static_cast<QWidget*>(editReference_), static_cast<QWidget*>(checkNotSupplier_),
                       static_cast<QWidget*>(gridInvoices_), static_cast<QWidget*>(gridLines_)})
        w->installEventFilter(this);
    setTabOrder(editSupplier_, editDate_);
    setTabOrder(editDate_, editReference_);
    setTabOrder(editReference_, memo_);
    setTabOrder(memo_, checkNotSupplier_);
    setTabOrder(checkNotSupplier_, gridInvoices_);
    setTabOrder(gridInvoices_, gridLines_);
    resize(900, 680);
    connectActions();
    lockFields(true);
}

void Tcashdisb_frm::connectActions() {
    connect(btnAccept_, &QPushButton::clicked, this, &Tcashdisb_frm::acceptTransaction);
    connect(btnCancel_, &QPushButton::clicked, this, &Tcashdisb_frm::cancelEntry);
    connect(btnPrint_, &QPushButton::clicked, this, &Tcashdisb_frm::printScreen);
    connect(btnEmail_, &QPushButton::clicked, this, &Tcashdisb_frm::emailTo);
    connect(btnQuickLink_, &QPushButton::clicked, this, &Tcashdisb_frm::quickLink);
    connect(btnPeriod_, &QPushButton::clicked, this, &Tcashdisb_frm::changePeriod);
    connect(btnExit_, &QPushButton::clicked, this, &Tcashdisb_frm::quit);
    connect(btnHelp_, &QPushButton::clicked, this, &Tcashdisb_frm::showHelp);
    connect(btnListSuppliers_, &QPushButton::clicked, this, &Tcashdisb_frm::listSuppliers);
    connect(btnAccount_, &QToolButton::clicked, this, &Tcashdisb_frm::lookUpAccount);
    connect(editSupplier_, &QLineEdit::textEdited, this, &Tcashdisb_frm::supplierTyped);
    connect(checkNotSupplier_, &QCheckBox::clicked, this, &Tcashdisb_frm::notToSupplierClicked);
    connect(gridInvoices_, &QTableView::doubleClicked, this, &Tcashdisb_frm::invoiceDoubleClicked);
    connect(invoiceModel_, &InvoiceGridModel::paymentsChanged, this, [this] {
        lineModel_->reload();
        refreshTotals();
    });
    connect(lineModel_, &LineGridModel::linesChanged, this, &Tcashdisb_frm::refreshTotals);
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

void Tcashdisb_frm::applyDateMask() {
    editDate_->setInputMask(forms::DisplayFormat::dateInputMask());
}

bool Tcashdisb_frm::startUp() {
    if (started_) return true;
    started_ = true;
    std::vector<std::pair<std::string, const char*>> tables;
    for (const char* table : kTables)
        tables.emplace_back(Tcashdisb_dm::kCompanyAlias, table);
    const bool opened =
        startModule("cashdisb", Tcashdisb_dm::kCompanyAlias, Tcashdisb_dm::kSystemAlias, tables, [this] {
            // International terminology ("check" in English); the French table keeps "chèque".
            if (forms::ModuleStartup::international() && !intlWords_->message(0).isEmpty())
                editReference_->setToolTip(intlWords_->message(0));
        });
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

// ------------------------------------------------------------ the supplier

void Tcashdisb_frm::supplierTyped(const QString& text) {
    if (!dm_.isOpen() || text.isEmpty()) return;
    // Incremental search: the nearest supplier is named while the code is typed.
    Cursor sup(dm_.company(), "sup", true);
    if (sup.findNearest({Value(text.toStdString())}))
        labelSupplierName_->setText(QString::fromStdString(sup.str("Sup_name")));
    else
        labelSupplierName_->clear();
}

void Tcashdisb_frm::supplierExit() {
    if (!dm_.isOpen() || entryOpen_ || !editSupplier_->isEnabled() || leaving_) return;
    const QString code = editSupplier_->text().trimmed();
    if (code.isEmpty()) {
        labelSupplierName_->clear();
        return;
    }
    startSupplier(code);
}

void Tcashdisb_frm::startSupplier(const QString& code) {
    const auto supplier = dm_.entry().findSupplier(code.toStdString());
    if (!supplier) {
        labelSupplierName_->clear();
        inform(kMsgSupplierNotFound);
        editSupplier_->setFocus();
        editSupplier_->selectAll();
        return;
    }
    setCurrencySign(supplier->currency);
    editSupplier_->setText(QString::fromStdString(supplier->code));
    labelSupplierName_->setText(QString::fromStdString(supplier->name));
    dm_.entry().startSupplier(*supplier, editReference_->text().toStdString());
    startEntry();
}

void Tcashdisb_frm::notToSupplierClicked(bool checked) {
    if (!checked || entryOpen_ || !dm_.isOpen()) return;
    setCurrencySign(std::nullopt);
    editSupplier_->clear();
    labelSupplierName_->clear();
    dm_.entry().startNotToSupplier();
    startEntry();
    gridInvoices_->setEnabled(false);
}

// What both kinds of disbursement do once they start.
void Tcashdisb_frm::startEntry() {
    entryOpen_ = true;
    lockFields(false);
    editSupplier_->setEnabled(false);
    btnListSuppliers_->setEnabled(false);
    checkNotSupplier_->setEnabled(false);
    editDate_->setText(forms::DisplayFormat::date(dm_.lastDate()));
    editReference_->clear();
    reloadGrids();
    editDate_->setFocus();
}

void Tcashdisb_frm::resetEntry() {
    dm_.entry().clear();
    entryOpen_ = false;
    setCurrencySign(0);
    editDate_->clear();
    editReference_->clear();
    memo_->clear();
    checkNotSupplier_->setChecked(false);
    checkNotSupplier_->setEnabled(true);
    editSupplier_->clear();
    labelSupplierName_->clear();
    lockFields(true);
    editSupplier_->setEnabled(true);
    btnListSuppliers_->setEnabled(true);
    reloadGrids();
    editSupplier_->setFocus();
}

void Tcashdisb_frm::lockFields(bool locked) {
    for (QWidget* w : {static_cast<QWidget*>(editDate_), static_cast<QWidget*>(editReference_),
                       static_cast<QWidget*>(memo_), static_cast<QWidget*>(gridInvoices_),
                       static_cast<QWidget*>(gridLines_), static_cast<QWidget*>(btnAccount_)})
        w->setEnabled(!locked);
    invoiceModel_->setEditable(!locked && dm_.isOpen() && dm_.entry().active());
    lineModel_->setEditable(!locked);
}

void Tcashdisb_frm::reloadGrids() {
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

void Tcashdisb_frm::refreshTotals() {
    if (!dm_.isOpen()) return;
    const DisbursementEntry::Totals t = dm_.entry().totals();
    editTotalDebit_->setText(moneyText(t.debit));
    editTotalCredit_->setText(moneyText(t.credit));
}

void Tcashdisb_frm::setCurrencySign(std::optional<int> currency) {
    currency_ = currency;
}

// Amounts show the sign of the supplier's currency: the workstation's symbol
// for the company's own currency, the control row's sign for the others,
// none for a disbursement not to a supplier.
QString Tcashdisb_frm::moneyText(Money m) const {
    core::RegionalSettings settings = core::RegionalSettings::current();
    if (!currency_) return QString::fromStdString(core::formatAmount(m, settings));
    if (*currency_ > 0 && dm_.isOpen())
        settings.currencySymbol = dm_.accounts().signs[static_cast<std::size_t>(*currency_)];
    return QString::fromStdString(core::formatMoney(m, settings));
}

// ------------------------------------------------------------ fields

void Tcashdisb_frm::dateExit() {
    if (!entryOpen_ || leaving_ || focusGoesToButton()) return;
    const std::optional<Date> d = forms::DisplayFormat::parseDate(editDate_->text());
    if (!d || d->isNull()) {
        inform(kMsgDateInvalid);
        editDate_->setFocus();
        return;
    }
    dm_.setLastDate(*d);
}

bool Tcashdisb_frm::focusGoesToButton() const {
    return qobject_cast<QAbstractButton*>(QApplication::focusWidget()) != nullptr;
}

void Tcashdisb_frm::invoiceDoubleClicked(const QModelIndex& index) {
    if (!index.isValid() || !dm_.isOpen() || !dm_.entry().active()) return;
    if (dm_.entry().payInFull(invoiceModel_->rowIdAt(index.row()))) {
        invoiceModel_->reload();
        lineModel_->reload();
        refreshTotals();
    }
}

void Tcashdisb_frm::amountRefused(QTableView* grid, int row, int column, const QString& text) {
    QTimer::singleShot(0, this, [this, grid, row, column, text] {
        QMessageBox::information(this, windowTitle(), messages_->message(kMsgNotAnAmount).arg(text),
                                 QMessageBox::Ok);
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row, column));
    });
}

void Tcashdisb_frm::inform(int message) {
    QMessageBox::information(this, windowTitle(), messages_->message(message), QMessageBox::Ok);
}

void Tcashdisb_frm::focusField(DisbursementField field, int line) {
    switch (field) {
    case DisbursementField::Supplier:
        editSupplier_->setFocus();
        break;
    case DisbursementField::Date:
        editDate_->setFocus();
        break;
    case DisbursementField::Reference:
        editReference_->setFocus();
        break;
    case DisbursementField::Memo:
        memo_->setFocus();
        break;
    case DisbursementField::Distribution:
        gridLines_->setFocus();
        if (line >= 0) gridLines_->setCurrentIndex(lineModel_->index(line, LineGridModel::Account));
        break;
    case DisbursementField::None:
        break;
    }
}

// ------------------------------------------------------------ buttons

void Tcashdisb_frm::acceptTransaction() {
    if (!dm_.isOpen()) return;
    const std::optional<Date> date = forms::DisplayFormat::parseDate(editDate_->text());
    const DisbursementDocument doc =
        dm_.entry().document(date.value_or(Date()), editReference_->text().trimmed().toStdString(),
                             memo_->toPlainText().toStdString());
    CheckResult check = DisbursementChecks::check(dm_.company(), dm_.accounts(), doc);
    if (check.message == kMsgMemoQuestion) {
        const auto answer = QMessageBox::question(this, windowTitle(), messages_->message(kMsgMemoQuestion),
                                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        if (answer == QMessageBox::Yes) {
            memo_->setFocus();
            return;
        }
        check = DisbursementChecks::check(dm_.company(), dm_.accounts(), doc, true);
    }
    if (!check.ok()) {
        if (check.message == kMsgReferenceMissing)
            QMessageBox::information(this, QString(), messages_->message(kMsgReferenceMissing));
        else
            inform(check.message);
        focusField(check.focus, check.line);
        return;
    }

    // The supplier's row may be held by another workstation: the posting is
    // tried again after a pause, with the window alive, until the user gives
    // up. Any other failure has rolled the whole posting back and goes to
    // the module's exception hook (error form, then the window closes).
    link_.LedgerPrefix = core::LinkString("Y");
    std::exception_ptr failure;
    bool posted = false, tooLarge = false;
    forms::LockRetry retry(errorForm_, this);
    retry.setLanguage(link_.LangCode.str());
    try {
        retry.run([&] {
            try {
                dm_.posting().postOnce(doc, dm_.period());
                posted = true;
            } catch (const journal::AmountOverflow&) {
                tooLarge = true; // rolled back: nothing was written
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
        forms::Application::dispatch(failure);
        return;
    }
    if (tooLarge) {
        inform(kMsgAmountTooLarge);
        return;
    }
    if (posted) {
        dm_.setLastDate(doc.date);
        resetEntry();
        statusBar_->showMessage(messages_->message(kMsgPosted) + QStringLiteral(" ") +
                                    QString::fromStdString(doc.reference),
                                8000);
    }
}

void Tcashdisb_frm::cancelEntry() {
    if (!dm_.isOpen()) return;
    resetEntry();
}

void Tcashdisb_frm::listSuppliers() {
    if (!editSupplier_->isEnabled()) return;
    const auto code = core::callComponent<core::LinkString>(link_.ProgramDir.str(), "supplierpicker",
                                                            "PickSupplier", link_);
    if (!code || code->empty()) return;
    editSupplier_->setText(QString::fromUtf8(code->c_str()));
    startSupplier(editSupplier_->text());
}

void Tcashdisb_frm::emailTo() {
    const auto& supplier = dm_.isOpen() ? dm_.entry().supplier() : std::nullopt;
    forms::openMail(supplier ? QString::fromStdString(supplier->email) : QString());
}

// The data module, as the shared parts of the window need it.
bool Tcashdisb_frm::dataOpen() const {
    return dm_.isOpen();
}

int Tcashdisb_frm::windowPeriod() const {
    return dm_.period();
}

void Tcashdisb_frm::setWindowPeriod(int period) {
    dm_.setPeriod(period);
}

int Tcashdisb_frm::ledgerPeriod() const {
    return dm_.accounts().apPeriod;
}

QString Tcashdisb_frm::periodName(int period) const {
    return QString::fromStdString(dm_.monthName(period));
}

void Tcashdisb_frm::closeData() {
    invoiceModel_->setEntry(nullptr);
    lineModel_->setLines(nullptr);
    dm_.close();
}

// ------------------------------------------------------------ keyboard

bool Tcashdisb_frm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == editSupplier_)
            QTimer::singleShot(0, this, [this] {
                if (!focusGoesToButton()) supplierExit();
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
    if (watched == editSupplier_ && key->key() == Qt::Key_F2) {
        listSuppliers();
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
        if (watched == editSupplier_) {
            supplierExit();
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

} // namespace vm::cashdisb
