#include "modules/purchjrnl/ui/Tpurchjrnl_frm.h"

#include "common/core/ComponentCall.h"
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
#include "modules/purchjrnl/core/PurchaseChecks.h"
#include "modules/purchjrnl/core/PurchasePosting.h"
#include "modules/purchjrnl/core/PurchaseRules.h"
#include "modules/purchjrnl/ui/Tpurchjrnl_dm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace vm::purchjrnl {
namespace {

// The tables the window works on; each must open before the window is used.
const char* const kTables[] = {"sup", "glm", "gla", "ctrl", "cap", "tjlh", "tjld", "apori", "Periods"};
constexpr int kAmountWidth = 120;
constexpr int kMsgPosted = 18;

QLabel* label(QWidget* parent, const QString& name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QLineEdit* edit(QWidget* parent, const QString& name, int maxLength = 0, int width = 0) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    if (maxLength) e->setMaxLength(maxLength);
    if (width) e->setFixedWidth(width);
    return e;
}

} // namespace

Tpurchjrnl_frm::Tpurchjrnl_frm(core::TLinkSection& link, Tpurchjrnl_dm& dm, QWidget* parent)
    : forms::JournalWindow(link, kHelpContext, {kMsgCaptionPeriod, kMsgCaptionTransaction}, parent), dm_(dm) {
    setObjectName(QStringLiteral("Tpurchjrnl_frm"));
    setWindowTitle(QStringLiteral("Purchases current period is "));
    build();
}

Tpurchjrnl_frm::~Tpurchjrnl_frm() = default;

void Tpurchjrnl_frm::build() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(6, 6, 6, 0);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("PageControl1"));
    auto* page = new QWidget(tabs_);
    page->setObjectName(QStringLiteral("TabSheet1"));
    tabs_->addTab(page, QStringLiteral("General"));
    outer->addWidget(tabs_, 1);
    auto* top = new QHBoxLayout(page);

    // The document: who, what kind, which number, when.
    auto* head = new QGridLayout;
    head->setVerticalSpacing(6);
    top->addLayout(head, 2);
    int r = 0;
    head->addWidget(label(page, QStringLiteral("LabelSupplier"), QStringLiteral("Supplier code")), r, 0);
    auto* supplierRow = new QHBoxLayout;
    editSupplier_ = edit(page, QStringLiteral("Edit_supplier"), 10, 110);
    btnListSuppliers_ = button(page, "BtnListSuppliers", QStringLiteral("..."));
    btnListSuppliers_->setToolTip(QStringLiteral("List of suppliers"));
    btnListSuppliers_->setFixedWidth(30);
    supplierRow->addWidget(editSupplier_);
    supplierRow->addWidget(btnListSuppliers_);
    supplierRow->addStretch(1);
    head->addLayout(supplierRow, r++, 1);
    auto* address = new QVBoxLayout;
    address->setSpacing(0);
    labelName_ = label(page, QStringLiteral("Label_sup_name"), QString());
    QFont bold = labelName_->font();
    bold.setBold(true);
    labelName_->setFont(bold);
    labelAdr1_ = label(page, QStringLiteral("Label_sup_adr1"), QString());
    labelAdr2_ = label(page, QStringLiteral("Label_sup_adr2"), QString());
    labelCity_ = label(page, QStringLiteral("Label_sup_city"), QString());
    for (QLabel* l : {labelName_, labelAdr1_, labelAdr2_, labelCity_})
        address->addWidget(l);
    auto* addressBox = new QWidget(page);
    addressBox->setObjectName(QStringLiteral("Panel_supplier"));
    addressBox->setLayout(address);
    addressBox->setMinimumHeight(72);
    head->addWidget(addressBox, r++, 1);

    checkDirect_ = new QCheckBox(QStringLiteral("Direct/cash purchase"), page);
    checkDirect_->setObjectName(QStringLiteral("CheckBox_direct"));
    head->addWidget(checkDirect_, r++, 1);
    head->addWidget(label(page, QStringLiteral("LabelType"), QStringLiteral("Transaction type")), r, 0);
    comboType_ = new QComboBox(page);
    comboType_->setObjectName(QStringLiteral("ComboBox_type"));
    comboType_->addItems({QStringLiteral("Purchase"), QStringLiteral("Debit"), QStringLiteral("Credit"),
                          QStringLiteral("Adjustment")});
    comboType_->setFixedWidth(150);
    head->addWidget(comboType_, r++, 1);
    head->addWidget(label(page, QStringLiteral("LabelInvoice"), QStringLiteral("Invoice number")), r, 0);
    editInvoice_ = edit(page, QStringLiteral("Edit_invoice"), 10, 110);
    head->addWidget(editInvoice_, r++, 1);
    head->addWidget(label(page, QStringLiteral("LabelReference"), QStringLiteral("Debit/Credit reference")),
                    r, 0);
    editReference_ = edit(page, QStringLiteral("Edit_reference"), 10, 110);
    head->addWidget(editReference_, r++, 1);
    head->addWidget(label(page, QStringLiteral("LabelDate"), QStringLiteral("Transaction date")), r, 0);
    editDate_ = edit(page, QStringLiteral("Edit_date"), 0, 110);
    head->addWidget(editDate_, r++, 1);
    head->addWidget(label(page, QStringLiteral("LabelDueDate"), QStringLiteral("Transaction due date")), r,
                    0);
    editDueDate_ = edit(page, QStringLiteral("Edit_due_date"), 0, 110);
    head->addWidget(editDueDate_, r++, 1);
    head->addWidget(label(page, QStringLiteral("LabelMemo"), QStringLiteral("Transaction memo")), r, 0,
                    Qt::AlignTop);
    memo_ = new QPlainTextEdit(page);
    memo_->setObjectName(QStringLiteral("Memo_memo"));
    memo_->setTabChangesFocus(true);
    memo_->setFixedHeight(110);
    head->addWidget(memo_, r++, 1);
    head->setRowStretch(r, 1);

    // The distribution: eleven lines of account, description, debit, credit.
    auto* panel = new QGroupBox(page);
    panel->setObjectName(QStringLiteral("GroupBox_distribution"));
    auto* grid = new QGridLayout(panel);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    top->addWidget(panel, 5);
    grid->addWidget(label(panel, QStringLiteral("LabelAccount"), QStringLiteral("Account")), 0, 0);
    grid->addWidget(label(panel, QStringLiteral("LabelDescription"), QStringLiteral("Description")), 0, 1);
    grid->addWidget(label(panel, QStringLiteral("LabelDebit"), QStringLiteral("Debit")), 0, 2,
                    Qt::AlignRight);
    grid->addWidget(label(panel, QStringLiteral("LabelCredit"), QStringLiteral("Credit")), 0, 3,
                    Qt::AlignRight);
    for (int i = 0; i < kLines; ++i) {
        const QString n = QString::number(i + 1);
        LineEdits& l = lines_[static_cast<std::size_t>(i)];
        l.account = edit(panel, QStringLiteral("Edit_account") + n, 9, 80);
        l.description = edit(panel, QStringLiteral("Edit_desc") + n, 60);
        l.debit = edit(panel, QStringLiteral("Edit_debit") + n, 20, kAmountWidth);
        l.credit = edit(panel, QStringLiteral("Edit_credit") + n, 20, kAmountWidth);
        l.account->setAlignment(Qt::AlignRight);
        l.debit->setAlignment(Qt::AlignRight);
        l.credit->setAlignment(Qt::AlignRight);
        grid->addWidget(l.account, i + 1, 0);
        grid->addWidget(l.description, i + 1, 1);
        grid->addWidget(l.debit, i + 1, 2);
        grid->addWidget(l.credit, i + 1, 3);
    }
    btnAccount_ = new QToolButton(panel);
    btnAccount_->setObjectName(QStringLiteral("BtnAccountLookup"));
    btnAccount_->setText(QStringLiteral("List of accounts"));
    btnAccount_->setToolTip(QStringLiteral("List of accounts"));
    grid->addWidget(btnAccount_, kLines + 1, 0, 1, 1);
    grid->addWidget(label(panel, QStringLiteral("LabelTotal"), QStringLiteral("Total")), kLines + 1, 1,
                    Qt::AlignRight);
    editTotalDebit_ = edit(panel, QStringLiteral("Edit_total_debit"), 0, kAmountWidth);
    editTotalCredit_ = edit(panel, QStringLiteral("Edit_total_credit"), 0, kAmountWidth);
    for (QLineEdit* e : {editTotalDebit_, editTotalCredit_}) {
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::NoFocus);
        e->setAlignment(Qt::AlignRight);
    }
    grid->addWidget(editTotalDebit_, kLines + 1, 2);
    grid->addWidget(editTotalCredit_, kLines + 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(kLines + 2, 1);

    auto* buttons = new QHBoxLayout;
    btnPrint_ = button(this, "BtnPrint", QStringLiteral("Print screen"));
    btnEmail_ = button(this, "BtnEmail", QStringLiteral("E-Mail to"));
    btnQuickLink_ = button(this, "BtnQuickLink", QStringLiteral("Quick Link"));
    btnPeriod_ = button(this, "BtnPeriod", QStringLiteral("Change period"));
    btnAccept_ = button(this, "BtnAccept", QStringLiteral("Accept transaction"));
    btnCancel_ = button(this, "BtnCancel", QStringLiteral("Cancel entry"));
    btnExit_ = button(this, "BtnExit", QStringLiteral("Exit"));
    btnHelp_ = button(this, "BtnHelp", QStringLiteral("Help"));
    for (QPushButton* b :
         {btnPrint_, btnEmail_, btnQuickLink_, btnPeriod_, btnAccept_, btnCancel_, btnExit_, btnHelp_})
        buttons->addWidget(b);
    outer->addLayout(buttons);

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar_->setSizeGripEnabled(false);
    const char* const panels[][2] = {{"StatusPanelCompany", "Company: "},
                                     {"StatusPanelUser", "User: "},
                                     {"StatusPanelVersion", "Version "}};
    for (const auto& p : panels)
        statusBar_->addWidget(label(statusBar_, QString::fromLatin1(p[0]), QString::fromLatin1(p[1])), 1);
    outer->addWidget(statusBar_);

    messages_ = new forms::MessageList(this);

    QList<QWidget*> order{editSupplier_,  checkDirect_, comboType_,   editInvoice_,
                          editReference_, editDate_,    editDueDate_, memo_};
    for (const LineEdits& l : lines_)
        order << l.account << l.description << l.debit << l.credit;
    for (int i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
    for (QWidget* w : order)
        w->installEventFilter(this);
    applyDateMask();
    resize(1000, 620);
    connectActions();
}

void Tpurchjrnl_frm::connectActions() {
    connect(btnAccept_, &QPushButton::clicked, this, &Tpurchjrnl_frm::acceptTransaction);
    connect(btnCancel_, &QPushButton::clicked, this, &Tpurchjrnl_frm::cancelEntry);
    connect(btnPrint_, &QPushButton::clicked, this, &Tpurchjrnl_frm::printScreen);
    connect(btnEmail_, &QPushButton::clicked, this, &Tpurchjrnl_frm::emailTo);
    connect(btnQuickLink_, &QPushButton::clicked, this, &Tpurchjrnl_frm::quickLink);
    connect(btnPeriod_, &QPushButton::clicked, this, &Tpurchjrnl_frm::changePeriod);
    connect(btnExit_, &QPushButton::clicked, this, &Tpurchjrnl_frm::quit);
    connect(btnHelp_, &QPushButton::clicked, this, &Tpurchjrnl_frm::showHelp);
    connect(btnListSuppliers_, &QPushButton::clicked, this, &Tpurchjrnl_frm::listSuppliers);
    connect(btnAccount_, &QToolButton::clicked, this, &Tpurchjrnl_frm::lookUpAccount);
    connect(checkDirect_, &QCheckBox::clicked, this, &Tpurchjrnl_frm::directCashClicked);
    for (int i = 0; i < kLines; ++i)
        connect(lines_[static_cast<std::size_t>(i)].description, &QLineEdit::textEdited, this,
                [this, i](const QString& text) {
                    if (dm_.isOpen()) dm_.entry().setDescription(i, text.toStdString());
                });
}

void Tpurchjrnl_frm::applyDateMask() {
    editDate_->setInputMask(forms::DisplayFormat::dateInputMask());
    editDueDate_->setInputMask(forms::DisplayFormat::dateInputMask());
}

bool Tpurchjrnl_frm::startUp() {
    if (started_) return true;
    started_ = true;
    std::vector<std::pair<std::string, const char*>> tables;
    for (const char* table : kTables)
        tables.emplace_back(Tpurchjrnl_dm::kCompanyAlias, table);
    tables.emplace_back(Tpurchjrnl_dm::kSystemAlias, "virmem");
    const bool opened =
        startModule("purchjrnl", Tpurchjrnl_dm::kCompanyAlias, Tpurchjrnl_dm::kSystemAlias, tables);
    if (!opened) return false;
    dm_.open();
    showOpeningCaption();
    resetScreen();
    return true;
}

// ------------------------------------------------------------ the document

// Back to a blank document: no supplier, a purchase, the default date, the
// preset lines of the company's currency.
void Tpurchjrnl_frm::resetScreen() {
    supplier_.reset();
    currency_ = 0;
    editSupplier_->clear();
    editSupplier_->setEnabled(true);
    btnListSuppliers_->setEnabled(true);
    for (QLabel* l : {labelName_, labelAdr1_, labelAdr2_, labelCity_}) {
        l->clear();
        l->hide();
    }
    comboType_->setCurrentIndex(0);
    editInvoice_->clear();
    editReference_->clear();
    memo_->clear();
    editDate_->setText(forms::DisplayFormat::date(dm_.lastDate()));
    editDueDate_->setText(forms::DisplayFormat::date(Date::today()));
    checkDirect_->setChecked(false);
    if (dm_.isOpen()) {
        dm_.entry().reset(0);
        currentLine_ = dm_.entry().firstFreeLine();
    }
    showLines();
    editSupplier_->setFocus();
}

void Tpurchjrnl_frm::supplierExit() {
    if (!dm_.isOpen() || leaving_ || busy_ || !editSupplier_->isEnabled()) return;
    const QString code = editSupplier_->text().trimmed();
    if (supplier_ && code == QString::fromStdString(supplier_->code)) return;
    if (code.isEmpty()) return;
    chooseSupplier(code);
}

void Tpurchjrnl_frm::chooseSupplier(const QString& code) {
    const auto found = dm_.entry().findSupplier(code.toStdString());
    if (!found) {
        busy_ = true;
        inform(kMsgSupplierNotFound);
        busy_ = false;
        resetScreen();
        editDate_->setText(forms::DisplayFormat::date(Date::today()));
        editDueDate_->setText(forms::DisplayFormat::date(Date::today()));
        editSupplier_->setFocus();
        return;
    }
    resetScreen();
    supplier_ = found;
    currency_ = found->currency;
    editSupplier_->setText(QString::fromStdString(found->code));
    labelName_->setText(QString::fromStdString(found->name));
    labelAdr1_->setText(QString::fromStdString(found->adr1));
    labelAdr2_->setText(QString::fromStdString(found->adr2));
    labelCity_->setText(
        QString::fromStdString(found->city) +
        (found->prov.empty() ? QString() : QStringLiteral(", ") + QString::fromStdString(found->prov)));
    for (QLabel* l : {labelName_, labelAdr1_, labelAdr2_, labelCity_})
        l->show();
    const Date date = dm_.lastDate();
    editDate_->setText(forms::DisplayFormat::date(date));
    editDueDate_->setText(forms::DisplayFormat::date(dueDateFromTerms(date, found->terms)));
    dm_.entry().reset(found->currency);
    dm_.entry().applySupplierAccounts(*found);
    currentLine_ = dm_.entry().firstFreeLine();
    showLines();
    editInvoice_->setFocus();
}

void Tpurchjrnl_frm::directCashClicked(bool checked) {
    if (!checked || !dm_.isOpen()) return;
    editDate_->setText(forms::DisplayFormat::date(dm_.lastDate()));
    editDueDate_->setText(forms::DisplayFormat::date(dm_.lastDate()));
    currency_.reset();
    dm_.entry().reset(supplier_ ? supplier_->currency : 0);
    showLines();
}

std::int64_t Tpurchjrnl_frm::terms() const {
    return supplier_ ? supplier_->terms : 0;
}

bool Tpurchjrnl_frm::dateExit() {
    const std::optional<Date> d = forms::DisplayFormat::parseDate(editDate_->text());
    if (!d || d->isNull()) {
        editDate_->setFocus();
        return false;
    }
    editDueDate_->setText(forms::DisplayFormat::date(supplier_ ? dueDateFromTerms(*d, terms()) : *d));
    return true;
}

bool Tpurchjrnl_frm::dueDateExit() {
    const std::optional<Date> d = forms::DisplayFormat::parseDate(editDueDate_->text());
    if (!d || d->isNull()) {
        editDueDate_->setFocus();
        return false;
    }
    return true;
}

bool Tpurchjrnl_frm::invoiceExit() {
    const QString typed = editInvoice_->text().trimmed();
    if (typed.isEmpty()) {
        inform(kMsgInvoiceMissing);
        editInvoice_->setFocus();
        return false;
    }
    editInvoice_->setText(typed.toUpper());
    editSupplier_->setEnabled(false);
    btnListSuppliers_->setEnabled(false);
    if (!supplier_ || checkDirect_->isChecked()) return true;
    const int message =
        invoiceNumberCheck(dm_.company(), supplier_->code, editInvoice_->text().toStdString(), type());
    if (message == kMsgNone) return true;
    inform(message);
    editInvoice_->clear();
    editInvoice_->setFocus();
    return false;
}

bool Tpurchjrnl_frm::referenceExit() {
    if (type() == PurchaseType::Purchase || !editReference_->text().trimmed().isEmpty()) return true;
    inform(kMsgReferenceMissing);
    editReference_->setFocus();
    return false;
}

void Tpurchjrnl_frm::accountExit(int line) {
    QLineEdit* e = lines_[static_cast<std::size_t>(line)].account;
    const QString text = e->text().trimmed();
    bool ok = text.isEmpty();
    const std::int32_t account = text.isEmpty() ? 0 : text.toInt(&ok);
    const CheckResult r = ok ? dm_.entry().setAccount(line, account) : dm_.entry().setAccount(line, -1);
    // Only the account's own cells: the user may already be typing an amount.
    const PurchaseLine& now = dm_.entry().line(line);
    e->setText(now.account ? QString::number(now.account) : QString());
    lines_[static_cast<std::size_t>(line)].description->setText(QString::fromStdString(now.description));
    if (!r.ok()) {
        e->setFocus();
        inform(kMsgAccountNotFound);
    }
}

void Tpurchjrnl_frm::amountExit(int line, bool debit) {
    const LineEdits& l = lines_[static_cast<std::size_t>(line)];
    QLineEdit* e = debit ? l.debit : l.credit;
    const QString text = e->text().trimmed();
    const std::optional<Money> amount =
        text.isEmpty() ? std::optional<Money>(Money()) : forms::DisplayFormat::parseMoney(text);
    if (!amount) {
        showLine(line);
        e->setFocus();
        return;
    }
    const CheckResult r =
        debit ? dm_.entry().setDebit(line, *amount, type()) : dm_.entry().setCredit(line, *amount, type());
    showLine(line);
    showTotals();
    if (!r.ok()) inform(r.message);
}

void Tpurchjrnl_frm::showLines() {
    for (int i = 0; i < kLines; ++i)
        showLine(i);
    showTotals();
}

void Tpurchjrnl_frm::showLine(int i) {
    if (!dm_.isOpen()) return;
    const PurchaseLine& line = dm_.entry().line(i);
    const LineEdits& l = lines_[static_cast<std::size_t>(i)];
    l.account->setText(line.account ? QString::number(line.account) : QString());
    l.description->setText(QString::fromStdString(line.description));
    l.debit->setText(QString::fromStdString(core::formatAmount(line.debit)));
    l.credit->setText(QString::fromStdString(core::formatAmount(line.credit)));
}

void Tpurchjrnl_frm::showTotals() {
    if (!dm_.isOpen()) return;
    const PurchaseEntry::Totals t = dm_.entry().totals();
    editTotalDebit_->setText(moneyText(t.debit));
    editTotalCredit_->setText(moneyText(t.credit));
}

PurchaseType Tpurchjrnl_frm::type() const {
    return static_cast<PurchaseType>(std::max(0, comboType_->currentIndex()));
}

// Amounts show the sign of the supplier's currency: the workstation's symbol
// for the company's own currency, the control row's sign for the others,
// none for a direct/cash purchase.
QString Tpurchjrnl_frm::moneyText(Money m) const {
    core::RegionalSettings settings = core::RegionalSettings::current();
    if (!currency_) return QString::fromStdString(core::formatAmount(m, settings));
    if (*currency_ > 0 && dm_.isOpen())
        settings.currencySymbol = dm_.accounts().signs[static_cast<std::size_t>(*currency_)];
    return QString::fromStdString(core::formatMoney(m, settings));
}

void Tpurchjrnl_frm::inform(int message) {
    busy_ = true;
    QMessageBox::information(this, windowTitle(), messages_->message(message), QMessageBox::Ok);
    busy_ = false;
}

void Tpurchjrnl_frm::focusField(PurchaseField field, int line) {
    const std::size_t at = static_cast<std::size_t>(std::clamp(line, 0, kLines - 1));
    switch (field) {
    case PurchaseField::Supplier:
        editSupplier_->setFocus();
        break;
    case PurchaseField::Invoice:
        editInvoice_->setFocus();
        break;
    case PurchaseField::Reference:
        editReference_->setFocus();
        break;
    case PurchaseField::Memo:
        memo_->setFocus();
        break;
    case PurchaseField::Date:
        editDate_->setFocus();
        break;
    case PurchaseField::DueDate:
        editDueDate_->setFocus();
        break;
    case PurchaseField::LineAccount:
        lines_[at].account->setFocus();
        break;
    case PurchaseField::LineAmount:
        lines_[at].debit->setFocus();
        break;
    case PurchaseField::None:
        break;
    }
}

// The supplier code, its search button, Exit and Cancel entry are left to
// without the field just left being checked.
bool Tpurchjrnl_frm::skipValidation() const {
    QWidget* to = QApplication::focusWidget();
    return to == editSupplier_ || to == btnListSuppliers_ || to == btnExit_ || to == btnCancel_;
}

bool Tpurchjrnl_frm::isEntryField(QObject* o) const {
    return o != editSupplier_ && o != checkDirect_ && qobject_cast<QWidget*>(o) != nullptr;
}

int Tpurchjrnl_frm::lineOf(QObject* o, int* column) const {
    for (int i = 0; i < kLines; ++i) {
        const LineEdits& l = lines_[static_cast<std::size_t>(i)];
        const QObject* cells[] = {l.account, l.description, l.debit, l.credit};
        for (int c = 0; c < 4; ++c)
            if (o == cells[c]) {
                if (column) *column = c;
                return i;
            }
    }
    return -1;
}

// ------------------------------------------------------------ buttons

void Tpurchjrnl_frm::acceptTransaction() {
    if (!dm_.isOpen()) return;
    PurchaseDocument doc;
    doc.supplier = editSupplier_->text().trimmed().toStdString();
    doc.directCash = checkDirect_->isChecked();
    doc.type = type();
    doc.invoice = editInvoice_->text().trimmed().toUpper().toStdString();
    doc.reference = editReference_->text().trimmed().toStdString();
    doc.date = forms::DisplayFormat::parseDate(editDate_->text()).value_or(Date());
    doc.dueDate = forms::DisplayFormat::parseDate(editDueDate_->text()).value_or(Date());
    doc.memo = memo_->toPlainText().toStdString();
    dm_.entry().fillLines(doc);

    CheckResult check = PurchaseChecks::check(dm_.company(), dm_.accounts(), doc);
    if (check.message == kMsgMemoQuestion) {
        busy_ = true;
        const auto answer = QMessageBox::question(this, windowTitle(), messages_->message(kMsgMemoQuestion),
                                                  QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        busy_ = false;
        if (answer == QMessageBox::Yes) {
            memo_->setFocus();
            return;
        }
        check = PurchaseChecks::check(dm_.company(), dm_.accounts(), doc, true);
    }
    if (!check.ok()) {
        inform(check.message);
        focusField(check.focus, check.line);
        return;
    }

    // The supplier's row may be held by another workstation: the posting is
    // tried again after a pause, with the window alive, until the user gives
    // up. Any other engine failure has rolled the whole posting back and
    // goes to the module's exception hook (error form, then the window
    // closes).
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
        resetScreen();
        statusBar_->showMessage(
            messages_->message(kMsgPosted) + QStringLiteral(" ") + QString::fromStdString(doc.invoice), 8000);
    }
}

void Tpurchjrnl_frm::cancelEntry() {
    if (!dm_.isOpen()) return;
    resetScreen();
}

void Tpurchjrnl_frm::listSuppliers() {
    if (!editSupplier_->isEnabled()) return;
    busy_ = true;
    const auto code = core::callComponent<core::LinkString>(link_.ProgramDir.str(), "supplierpicker",
                                                            "PickSupplier", link_);
    busy_ = false;
    if (!code || code->empty()) return;
    editSupplier_->setText(QString::fromUtf8(code->c_str()));
    chooseSupplier(editSupplier_->text());
}

void Tpurchjrnl_frm::lookUpAccount() {
    if (!dm_.isOpen()) return;
    busy_ = true;
    const auto account =
        core::callComponent<std::int32_t>(link_.ProgramDir.str(), "accountpicker", "PickAccount", link_);
    busy_ = false;
    if (!account || *account == 0) return;
    dm_.entry().setAccount(currentLine_, *account);
    showLine(currentLine_);
    lines_[static_cast<std::size_t>(currentLine_)].debit->setFocus();
}

void Tpurchjrnl_frm::emailTo() {
    forms::openMail(supplier_ ? QString::fromStdString(supplier_->email) : QString());
}

// The data module, as the shared parts of the window need it.
bool Tpurchjrnl_frm::dataOpen() const {
    return dm_.isOpen();
}

int Tpurchjrnl_frm::windowPeriod() const {
    return dm_.period();
}

void Tpurchjrnl_frm::setWindowPeriod(int period) {
    dm_.setPeriod(period);
}

int Tpurchjrnl_frm::ledgerPeriod() const {
    return dm_.accounts().apPeriod;
}

QString Tpurchjrnl_frm::periodName(int period) const {
    return QString::fromStdString(dm_.monthName(period));
}

// Exit lets the virmem row go unposted.
void Tpurchjrnl_frm::closeData() {
    dm_.close();
}

// ------------------------------------------------------------ keyboard and field exits

bool Tpurchjrnl_frm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        int column = 0;
        const int line = lineOf(watched, &column);
        if (line >= 0) currentLine_ = line;
        // Nothing is typed before there is a supplier, unless paid at once.
        if (dm_.isOpen() && !leaving_ && !busy_ && isEntryField(watched) && editSupplier_->text().isEmpty() &&
            !checkDirect_->isChecked())
            QTimer::singleShot(0, this, [this] { editSupplier_->setFocus(); });
        return false;
    }
    if (event->type() == QEvent::FocusOut) {
        if (!dm_.isOpen() || leaving_ || busy_) return false;
        // The check runs once focus has landed, so that where it went is known.
        QTimer::singleShot(0, this, [this, watched] {
            if (!dm_.isOpen() || leaving_ || busy_) return;
            if (watched == editSupplier_) {
                if (QApplication::focusWidget() != btnListSuppliers_) supplierExit();
                return;
            }
            int column = 0;
            const int line = lineOf(watched, &column);
            if (line >= 0) {
                if (column == 0)
                    accountExit(line);
                else if (column == 2)
                    amountExit(line, true);
                else if (column == 3)
                    amountExit(line, false);
                return;
            }
            if (skipValidation()) return;
            if (watched == editDate_)
                dateExit();
            else if (watched == editDueDate_)
                dueDateExit();
            else if (watched == editInvoice_)
                invoiceExit();
            else if (watched == editReference_)
                referenceExit();
        });
        return false;
    }
    if (event->type() == QEvent::MouseButtonDblClick && lineOf(watched) >= 0) {
        int column = 0;
        if (lineOf(watched, &column) >= 0 && column == 0) {
            lookUpAccount();
            return true;
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_F2) {
        int column = 0;
        if (watched == editSupplier_) {
            listSuppliers();
            return true;
        }
        if (lineOf(watched, &column) >= 0 && column == 0) {
            lookUpAccount();
            return true;
        }
        return false;
    }
    // The first key after a database error is the user's answer to it.
    if (errorHandler_ && errorHandler_->errorFlag()) {
        errorHandler_->clearErrorFlag();
        return false;
    }
    if (watched == memo_) return false;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
        if (watched == comboType_ && key->key() == Qt::Key_Down) return false;
        focusNextChild();
        return true;
    case Qt::Key_Up:
        if (watched == comboType_) return false;
        focusPreviousChild();
        return true;
    default:
        return false;
    }
}

} // namespace vm::purchjrnl
