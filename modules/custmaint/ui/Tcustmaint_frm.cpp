#include "modules/custmaint/ui/Tcustmaint_frm.h"

#include "common/core/ComponentCall.h"
#include "common/core/LinkStringQt.h"
#include "common/core/MasterRecordRules.h"
#include "common/core/TableOpenError.h"
#include "common/forms/AbortAction.h"
#include "common/forms/FieldBinder.h"
#include "common/forms/HelpLauncher.h"
#include "common/forms/MaintenanceWindow.h"
#include "common/forms/MessageList.h"
#include "common/forms/ModuleErrorHandler.h"
#include "common/forms/ModuleStartup.h"
#include "common/forms/RecordMaintenance.h"
#include "common/forms/ScreenPrinter.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "modules/custmaint/ui/Tcustmaint_dm.h"

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
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <iterator>
#include <utility>
#include <vector>

namespace vm::custmaint {

using namespace forms::build;

namespace {

std::string textOf(const QLineEdit* e) {
    return e->text().toStdString();
}

} // namespace

Tcustmaint_frm::Tcustmaint_frm(core::TLinkSection& link, Tcustmaint_dm& dm, QWidget* parent)
    : QDialog(parent), link_(link), dm_(dm) {
    setObjectName(QStringLiteral("Tcustmaint_frm"));
    setWindowTitle(QStringLiteral("Maintenance of clients"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    build();
}

Tcustmaint_frm::~Tcustmaint_frm() {
    if (moveListener_ >= 0 && dm_.isOpen()) dm_.cli().removeMoveListener(moveListener_);
}

// ------------------------------------------------------------------ layout

void Tcustmaint_frm::build() {
    auto* top = new QVBoxLayout(this);
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    tabGeneral_ = buildGeneralPage();
    tabControl_ = buildControlPage();
    tabComments_ = buildCommentsPage();
    pages_->addTab(tabGeneral_, QStringLiteral("General"));
    pages_->addTab(tabControl_, QStringLiteral("Control information"));
    pages_->addTab(tabComments_, QStringLiteral("Comments"));
    top->addWidget(pages_);

    const forms::MaintenanceBar bar = forms::addMaintenanceBar(*this, *top);
    btnPrint_ = bar.print;
    btnEmail_ = bar.email;
    btnQuickLink_ = bar.quickLink;
    navigator_ = bar.navigator;
    btnQuit_ = bar.quit;
    btnHelp_ = bar.help;
    statusBar_ = bar.statusBar;
    messages_ = bar.messages;
    intlWords_ = new forms::MessageList(this, QStringLiteral("IntlStrings2"));

    connect(btnListClients_, &QToolButton::clicked, this, &Tcustmaint_frm::listClients);
    connect(btnSalesrep_, &QToolButton::clicked, this, &Tcustmaint_frm::pickSalesman);
    connect(btnTerr_, &QToolButton::clicked, this, &Tcustmaint_frm::pickTerritory);
    connect(btnTerms_, &QToolButton::clicked, this, &Tcustmaint_frm::pickTerms);
    connect(btnBillTo_, &QToolButton::clicked, this, &Tcustmaint_frm::pickBillTo);
    for (int i = 0; i < 3; ++i)
        connect(btnAccnt_[i], &QToolButton::clicked, this, [this, i] { pickAccount(i + 1); });
    connect(btnQuit_, &QPushButton::clicked, this, &Tcustmaint_frm::quit);
    connect(btnHelp_, &QPushButton::clicked, this, &Tcustmaint_frm::help);
    connect(btnEmail_, &QPushButton::clicked, this, &Tcustmaint_frm::sendMail);
    connect(btnQuickLink_, &QPushButton::clicked, this, &Tcustmaint_frm::quickLink);
    connect(btnPrint_, &QPushButton::clicked, this, &Tcustmaint_frm::printWindow);
    connect(editCode_, &QLineEdit::textEdited, this, [this] {
        if (maint_) maint_->codeEdited();
    });
    connect(editCode_, &QLineEdit::returnPressed, this, [this] {
        if (maint_ && maint_->codeExitPending()) codeExit();
    });
    forms::addPostShortcut(*this, *navigator_);
    forms::makeDisabledFieldsReadable(*this);

    // Field-exit checks and the keys the form handles itself see every
    // event of the controls first.
    const std::set<QWidget*> own = {btnQuit_};
    exitChecks_[editSalesrep_] = {Exit::Salesrep, {btnSalesrep_, btnQuit_}};
    exitChecks_[editTerr_] = {Exit::Territory, {btnTerr_, btnQuit_}};
    exitChecks_[editTerms_] = {Exit::Terms, {btnTerms_, btnQuit_}};
    exitChecks_[editLanguage_] = {Exit::Language, {btnQuit_}};
    exitChecks_[editPostal_] = {Exit::Postal, {btnQuit_, btnHelp_}};
    const std::set<QWidget*> leave = {btnQuit_,     btnHelp_,     btnBillTo_,
                                      btnAccnt_[0], btnAccnt_[1], btnAccnt_[2]};
    exitChecks_[editBillTo_] = {Exit::BillTo, leave};
    for (auto* e : editAccnt_)
        exitChecks_[e] = {Exit::Account, leave};
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

QWidget* Tcustmaint_frm::buildGeneralPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabGeneral"));
    auto* g = new QGridLayout(page);
    editCode_ = line(page, "EditCode", 12);
    btnListClients_ = lookupButton(page, "BtnListClients", "List of clients");
    put(g, 0, 0, label(page, "LabelCode", "Client code"), editCode_, btnListClients_);
    // The balance is the ledger's to keep: shown, never typed.
    editBalance_ = line(page, "EditBalance", 16);
    editBalance_->setReadOnly(true);
    editBalance_->setFocusPolicy(Qt::NoFocus);
    put(g, 0, 2, label(page, "LabelBalance", "Balance"), editBalance_);
    editName_ = line(page, "EditName");
    g->addWidget(label(page, "LabelName", "Name"), 1, 0);
    g->addWidget(editName_, 1, 1, 1, 3);

    auto* addr = new QGroupBox(QStringLiteral("Client address"), page);
    addr->setObjectName(QStringLiteral("GroupAddress"));
    auto* a = new QGridLayout(addr);
    put(a, 0, 0, label(addr, "LabelAdr1", "Address"), line(addr, "EditAdr1"));
    put(a, 1, 0, label(addr, "LabelAdr2", ""), line(addr, "EditAdr2"));
    put(a, 2, 0, label(addr, "LabelCity", "City"), line(addr, "EditCity"));
    put(a, 3, 0, label(addr, "LabelProv", "Province/State"), line(addr, "EditProv"));
    editCountry_ = line(addr, "EditCountry");
    put(a, 4, 0, label(addr, "LabelCountry", "Country"), editCountry_);
    editPostal_ = line(addr, "EditPostal", 12);
    put(a, 5, 0, label(addr, "LabelPostal", "Postal/Zip code"), editPostal_);
    g->addWidget(addr, 2, 0, 1, 4);

    put(g, 3, 0, label(page, "LabelTel", "Telephone"), line(page, "EditTel", 18));
    put(g, 3, 2, label(page, "LabelFax", "Fax"), line(page, "EditFax", 18));
    put(g, 4, 0, label(page, "LabelContact", "Contact name"), line(page, "EditContact"));
    put(g, 4, 2, label(page, "LabelContactTel", "Contact telephone"), line(page, "EditContactTel", 18));
    editEmail_ = line(page, "EditEmail");
    g->addWidget(label(page, "LabelEmail", "E-mail address"), 5, 0);
    g->addWidget(editEmail_, 5, 1, 1, 3);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    g->setRowStretch(6, 1);
    return page;
}

QWidget* Tcustmaint_frm::buildControlPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabControl"));
    auto* g = new QGridLayout(page);
    int r = 0;
    editSalesrep_ = line(page, "EditSalesrep", 12);
    btnSalesrep_ = lookupButton(page, "BtnSalesrep", "List of salesmen");
    put(g, r, 0, label(page, "LabelSalesrep", "Sales rep."), editSalesrep_, btnSalesrep_);
    editBillTo_ = line(page, "EditBillTo", 12);
    btnBillTo_ = lookupButton(page, "BtnBillTo", "List of clients");
    put(g, r++, 2, label(page, "LabelBillTo", "Bill to"), editBillTo_, btnBillTo_);
    editTerr_ = line(page, "EditTerr", 12);
    btnTerr_ = lookupButton(page, "BtnTerr", "List of territories");
    put(g, r, 0, label(page, "LabelTerr", "Territory"), editTerr_, btnTerr_);
    editLanguage_ = line(page, "EditLanguage", 3);
    put(g, r++, 2, label(page, "LabelLanguage", "Product description (1/2)"), editLanguage_);
    editTerms_ = line(page, "EditTerms", 8);
    btnTerms_ = lookupButton(page, "BtnTerms", "List of terms");
    put(g, r, 0, label(page, "LabelTerms", "Terms code"), editTerms_, btnTerms_);
    put(g, r++, 2, label(page, "LabelDueDays", "No. due days"), line(page, "EditDueDays", 8));
    put(g, r, 0, label(page, "LabelCreditLimit", "Credit limit"), line(page, "EditCreditLimit", 12));
    put(g, r++, 2, label(page, "LabelDiscount", "Discount %"), line(page, "EditDiscount", 8));
    // Made row by row, so that the tab order reads the page as it is laid out.
    const char* dateNames[3][3] = {{"LabelDateCreated", "EditDateCreated", "Date created"},
                                   {"LabelDateLastSale", "EditDateLastSale", "Date last sale"},
                                   {"LabelDateLastPmt", "EditDateLastPmt", "Date last payment"}};
    for (int i = 0; i < 3; ++i) {
        const std::string n = std::to_string(i + 1);
        editAccnt_[i] = line(page, ("EditAccnt" + n).c_str(), 10);
        btnAccnt_[i] = lookupButton(page, ("BtnAccnt" + n).c_str(), "List of accounts");
        put(g, r + i, 0, label(page, ("LabelAccnt" + n).c_str(), ("Sales account " + n).c_str()),
            editAccnt_[i], btnAccnt_[i]);
        QLineEdit* date = line(page, dateNames[i][1], 12);
        if (i == 0) editDateCreated_ = date;
        put(g, r + i, 2, label(page, dateNames[i][0], dateNames[i][2]), date);
    }
    r += 3;
    put(g, r, 0, label(page, "LabelLastSale", "Last invoice"), line(page, "EditLastSale", 14));
    put(g, r++, 2, label(page, "LabelNsfDate", "Date last NSF cheque"), line(page, "EditNsfDate", 12));
    put(g, r, 0, label(page, "LabelSalesMth", "Sales MTD"), line(page, "EditSalesMth", 14));
    put(g, r++, 2, label(page, "LabelSalesYtd", "Sales YTD"), line(page, "EditSalesYtd", 14));

    comboPriceList_ = new QComboBox(page);
    comboPriceList_->setObjectName(QStringLiteral("ComboPriceList"));
    put(g, r, 0, label(page, "LabelPriceList", "Price list"), comboPriceList_);
    comboCurrency_ = new QComboBox(page);
    comboCurrency_->setObjectName(QStringLiteral("ComboCurrency"));
    comboCurrency_->addItem(QStringLiteral("Default"));
    put(g, r++, 2, label(page, "LabelCurrency", "Currency"), comboCurrency_);
    comboFormat_ = new QComboBox(page);
    comboFormat_->setObjectName(QStringLiteral("ComboFormat"));
    put(g, r, 0, label(page, "LabelFormat", "Invoice format"), comboFormat_);
    spinCopies_ = new QSpinBox(page);
    spinCopies_->setObjectName(QStringLiteral("SpinCopies"));
    spinCopies_->setRange(1, 10);
    spinCopies_->setMaximumWidth(70);
    put(g, r++, 2, label(page, "LabelCopies", "# Copies of invoices"), spinCopies_);

    auto* boxes = new QGroupBox(page);
    boxes->setObjectName(QStringLiteral("GroupOptions"));
    auto* b = new QGridLayout(boxes);
    b->addWidget(check(boxes, "CheckTaxFed", "Charge G.S.T./H.S.T"), 0, 0);
    b->addWidget(check(boxes, "CheckCreditHold", "Hold invoices"), 0, 1);
    checkEmailStatement_ = check(boxes, "CheckEmailStatement", "Statements by e-mail");
    b->addWidget(checkEmailStatement_, 0, 2);
    b->addWidget(check(boxes, "CheckTaxPro", "Charge P.S.T."), 1, 0);
    b->addWidget(check(boxes, "CheckBlockOrders", "Hold orders"), 1, 1);
    checkEmailInvoice_ = check(boxes, "CheckEmailInvoice", "Invoices by e-mail");
    b->addWidget(checkEmailInvoice_, 1, 2);
    b->addWidget(check(boxes, "CheckPoReq", "P.O. # required"), 2, 0);
    g->addWidget(boxes, r++, 0, 1, 4);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    g->setRowStretch(r, 1);
    return page;
}

QWidget* Tcustmaint_frm::buildCommentsPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabComments"));
    auto* g = new QGridLayout(page);
    put(g, 0, 0, label(page, "LabelBank", "Bank name"), line(page, "EditBank"));
    put(g, 1, 0, label(page, "LabelBankTel", "Bank telephone"), line(page, "EditBankTel", 18));
    editShipVia_ = line(page, "EditShipVia");
    editShipVia_->setMaxLength(40);
    put(g, 2, 0, label(page, "LabelShipVia", "Ship via"), editShipVia_);
    auto* group = new QGroupBox(QStringLiteral("Comments"), page);
    group->setObjectName(QStringLiteral("GroupComments"));
    auto* v = new QVBoxLayout(group);
    memoComments_ = new QPlainTextEdit(group);
    memoComments_->setObjectName(QStringLiteral("MemoComments"));
    v->addWidget(memoComments_);
    g->addWidget(group, 3, 0, 1, 2);
    g->setColumnStretch(1, 1);
    g->setRowStretch(3, 1);
    return page;
}

void Tcustmaint_frm::bindFields() {
    binder_ = std::make_unique<forms::FieldBinder>(dm_.cli(), this);
    binder_->setLanguage(link_.Language);
    const std::pair<const char*, const char*> texts[] = {
        {"EditCode", "Cli_code"},
        {"EditName", "Cli_name"},
        {"EditAdr1", "Cli_adr1"},
        {"EditAdr2", "Cli_adr2"},
        {"EditCity", "Cli_city"},
        {"EditProv", "Cli_prov"},
        {"EditCountry", "Cli_country"},
        {"EditPostal", "Cli_postal_code"},
        {"EditTel", "Cli_tel"},
        {"EditFax", "Cli_fax"},
        {"EditContact", "Cli_contact"},
        {"EditContactTel", "Cli_contact_tel"},
        {"EditEmail", "Cli_email"},
        {"EditSalesrep", "Cli_salesrep"},
        {"EditBillTo", "Cli_charge_to"},
        {"EditTerr", "Cli_terr"},
        {"EditLanguage", "Cli_language"},
        {"EditTerms", "Cli_terms"},
        {"EditDueDays", "Cli_du_days"},
        {"EditCreditLimit", "Cli_credit_limit"},
        {"EditDiscount", "Cli_discount"},
        {"EditAccnt1", "Cli_accnt1"},
        {"EditAccnt2", "Cli_accnt2"},
        {"EditAccnt3", "Cli_accnt3"},
        {"EditDateCreated", "Cli_date_created"},
        {"EditDateLastSale", "Cli_date_last_sale"},
        {"EditDateLastPmt", "Cli_date_last_pmt"},
        {"EditNsfDate", "Cli_nsf_date"},
        {"EditLastSale", "Cli_last_sale"},
        {"EditSalesMth", "Cli_sales_mth"},
        {"EditSalesYtd", "Cli_sales_ytd"},
        {"EditBank", "Cli_bank"},
        {"EditBankTel", "Cli_bank_tel"},
        {"EditBalance", "Cli_current_bal"},
    };
    for (const auto& [name, field] : texts)
        binder_->bindText(findChild<QLineEdit*>(QLatin1String(name)), field);
    const std::pair<const char*, const char*> checks[] = {
        {"CheckTaxFed", "Cli_tax_fed"},
        {"CheckTaxPro", "Cli_tax_pro"},
        {"CheckPoReq", "Cli_po_req"},
        {"CheckCreditHold", "Cli_credit_hold"},
        {"CheckBlockOrders", "Cli_block_orders"},
        {"CheckEmailStatement", "Cli_email_statement"},
        {"CheckEmailInvoice", "Cli_email_invoice"},
    };
    for (const auto& [name, field] : checks)
        binder_->bindCheck(findChild<QCheckBox*>(QLatin1String(name)), field);
    binder_->bindMemo(memoComments_, "Cli_comments");

    dataControls_.clear();
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w == editCode_ || w == btnListClients_ || w == editBalance_ || w->window() != this) continue;
        const bool onPage =
            tabGeneral_->isAncestorOf(w) || tabControl_->isAncestorOf(w) || tabComments_->isAncestorOf(w);
        if (onPage &&
            (forms::isDataEntry(w) || qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QToolButton*>(w)))
            dataControls_.push_back(w);
    }
}

// ------------------------------------------------------------------ start-up

void Tcustmaint_frm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) QTimer::singleShot(0, this, [this] { startUp(); });
}

bool Tcustmaint_frm::startUp() {
    if (started_) return dm_.isOpen();
    started_ = true;
    forms::ModuleStartup startup(link_);
    try {
        startup.translate(*this, "custmaint");
    } catch (const EngineError&) {
        // Without its language table the window keeps its designed texts.
    }
    applyTerminology();
    startup.applyFallbacks();
    startup.fillStatusBar(*statusBar_);
    helpPath_ = startup.helpPath();
    dm_.setLangCode(link_.LangCode.str());

    regional_ = core::RegionalSettings::current();
    try {
        dm_.open(startup.companyDirectory(), link_.DataDir.str());
    } catch (const core::TableOpenError& e) {
        startup.reportTableOpenError(*this, e.table());
        return false;
    }

    for (const auto& name : dm_.tables().invoiceFormats())
        comboFormat_->addItem(QString::fromStdString(name));
    bindFields();
    navigator_->setCursor(&dm_.cli());
    navigator_->setDeleteQuestion({}); // asked by the controller, naming the client
    startMaintenance();
    moveListener_ = dm_.cli().addMoveListener([this] { maint_->afterScroll(); });
    forms::upperCaseWhile(*editPostal_, [this] { return core::isCanada(textOf(editCountry_)); });
    forms::assignAccessKeys(*this);

    fillLists();
    maint_->start();

    btnQuickLink_->setEnabled(!forms::quickLinkOpen());
    btnListClients_->setEnabled(!pickerWindowOpen());
    return true;
}

// Under the international setting some captions change (State, Zip code,
// tax 1 and 2, "check" in English): the lines of IntlStrings2, in the order
// of the components below; an empty line keeps the component's caption.
void Tcustmaint_frm::applyTerminology() {
    if (!forms::ModuleStartup::international()) return;
    static const char* const components[] = {"LabelProv", "LabelPostal", "CheckTaxFed", "CheckTaxPro",
                                             "LabelNsfDate"};
    std::vector<std::pair<QString, QString>> texts;
    for (int i = 0; i < static_cast<int>(std::size(components)); ++i)
        if (const QString t = intlWords_->message(i); !t.isEmpty())
            texts.emplace_back(QString::fromLatin1(components[i]), t);
    forms::ModuleStartup::setTexts(*this, texts);
}

void Tcustmaint_frm::fillLists() {
    const ClientControl& c = dm_.tables().control();
    comboPriceList_->clear();
    for (const auto& n : c.priceListChoices())
        comboPriceList_->addItem(QString::fromStdString(n));
    // The first entry (the company's own currency) keeps its translated name.
    const QString home = comboCurrency_->count() ? comboCurrency_->itemText(0) : QStringLiteral("Default");
    comboCurrency_->clear();
    comboCurrency_->addItem(home);
    for (const auto& n : c.currencyChoices())
        comboCurrency_->addItem(QString::fromStdString(n));
}

// ------------------------------------------------------------------ states

bool Tcustmaint_frm::browsing() const {
    return !maint_ || maint_->browsing();
}

bool Tcustmaint_frm::editing() const {
    return maint_ && maint_->editing();
}

void Tcustmaint_frm::setDataControls(bool on) {
    for (QWidget* w : dataControls_)
        w->setEnabled(on);
    for (auto* g : findChildren<QGroupBox*>())
        g->setEnabled(on);
    if (on) btnBillTo_->setEnabled(!pickerWindowOpen());
}

void Tcustmaint_frm::setCodeField(bool open, bool searchEnabled) {
    editCode_->setEnabled(open);
    btnListClients_->setEnabled(searchEnabled && !pickerWindowOpen());
}

void Tcustmaint_frm::focusCode() {
    editCode_->setFocus();
    editCode_->selectAll();
}

void Tcustmaint_frm::focusName() {
    editName_->setFocus();
}

void Tcustmaint_frm::focusField(int field) {
    if (QWidget* w = fieldWidget(static_cast<ClientField>(field))) {
        w->setEnabled(true);
        w->setFocus();
    }
}

bool Tcustmaint_frm::pickerWindowOpen() const {
    return forms::windowOpen(messages_->message(kMsgPickerCaption));
}

void Tcustmaint_frm::showMessage(int index, bool plain) {
    QMessageBox box(plain ? QMessageBox::NoIcon : QMessageBox::Information, windowTitle(),
                    messages_->message(index), QMessageBox::Ok, this);
    box.exec();
}

bool Tcustmaint_frm::confirm(int message, const std::string& detail) {
    QString text = messages_->message(message);
    if (text.isEmpty()) text = QStringLiteral("Delete %1?");
    if (text.contains(QLatin1String("%1"))) text = text.arg(QString::fromStdString(detail));
    return forms::askDestructive(*this, text);
}

QWidget* Tcustmaint_frm::fieldWidget(ClientField field) const {
    switch (field) {
    case ClientField::Code:
        return editCode_;
    case ClientField::PostalCode:
        return editPostal_;
    case ClientField::Email:
        return editEmail_;
    case ClientField::Salesrep:
        return editSalesrep_;
    case ClientField::Territory:
        return editTerr_;
    case ClientField::Terms:
        return editTerms_;
    case ClientField::BillTo:
        return editBillTo_;
    case ClientField::Account1:
        return editAccnt_[0];
    case ClientField::Account2:
        return editAccnt_[1];
    case ClientField::Account3:
        return editAccnt_[2];
    }
    return editCode_;
}

void Tcustmaint_frm::showPage(int page) {
    const auto p = static_cast<ClientPage>(page);
    pages_->setCurrentWidget(p == ClientPage::General   ? tabGeneral_
                             : p == ClientPage::Control ? tabControl_
                                                        : tabComments_);
}

// ------------------------------------------------------------------ the record

void Tcustmaint_frm::startMaintenance() {
    forms::MaintenanceSpec spec;
    spec.codeField = "Cli_code";
    spec.nameField = "Cli_name";
    spec.createdField = "Cli_date_created";
    spec.generalPage = static_cast<int>(ClientPage::General);
    spec.codeNotFoundMessage = kMsgCodeNotFound;
    spec.deleteRefusedMessage = kMsgHasLedgerRows;
    spec.deleteQuestion = kMsgDeleteNamed;
    spec.plainMessages = {kMsgPostalCodeMissing, kMsgTermsMissing, kMsgHasLedgerRows, kMsgSalesmanNotFound};

    ClientRules& r = dm_.rules();
    forms::MaintenanceRules rules;
    rules.exists = [&r](const std::string& code) { return r.clientExists(code); };
    rules.newRecordDefaults = [&r](Cursor& row) { r.applyNewClientDefaults(row); };
    rules.newCodeDefaults = [](Cursor& row) { ClientRules::applyNewCodeDefaults(row); };
    rules.hasLedgerRows = [&r](const std::string& code) { return r.hasLedgerRows(code); };
    rules.postRefusal = [this, &r](Cursor& row) -> std::optional<forms::MaintenanceRefusal> {
        ClientPostInputs in;
        in.codeFieldOpen = editCode_->isEnabled();
        in.shipVia = editShipVia_->text().toStdString();
        in.priceListPosition = comboPriceList_->currentIndex();
        in.currencyPosition = comboCurrency_->currentIndex();
        in.postalCodeRequired = core::postalCodeRequired(core::RegionalSettings::current().intl);
        in.copies = spinCopies_->value();
        in.invoiceFormat = comboFormat_->currentText().toStdString();
        in.user = link_.LoginUser.str();
        const auto refusal = r.checkBeforePost(row, in);
        if (!refusal) return std::nullopt;
        return forms::MaintenanceRefusal{refusal->message, static_cast<int>(refusal->field),
                                         static_cast<int>(refusal->page)};
    };
    forms::MaintenanceView& view = *this;
    maint_ = std::make_unique<forms::RecordMaintenance>(dm_.editTransaction(), dm_.cli(), std::move(spec),
                                                        std::move(rules), view);
    forms::wireNavigator(*navigator_, *maint_);
}

void Tcustmaint_frm::newRecordChoices() {
    comboPriceList_->setCurrentIndex(comboPriceList_->count() ? 0 : -1);
    comboCurrency_->setCurrentIndex(0);
    spinCopies_->setValue(dm_.tables().control().invoiceCopies);
    editShipVia_->clear();
    comboFormat_->setCurrentIndex(-1);
}

void Tcustmaint_frm::showRecord() {
    Cursor& row = dm_.cli();
    selectLists();
    editShipVia_->setText(QString::fromStdString(row.str("Cli_ship_via")));
    if (row.state() == Cursor::State::Browse) {
        spinCopies_->setValue(static_cast<int>(row.integer("Cli_copies")));
        comboFormat_->setCurrentIndex(comboFormat_->findText(QString::fromStdString(row.str("Cli_format1"))));
    }
}

void Tcustmaint_frm::selectLists() {
    Cursor& row = dm_.cli();
    const bool any = row.state() != Cursor::State::Browse || row.hasRow();
    const auto list = any ? row.integer("Cli_price_list") - 1 : 0;
    comboPriceList_->setCurrentIndex(list >= 0 && list < comboPriceList_->count() ? static_cast<int>(list)
                                                                                  : -1);
    const auto currency = any ? row.integer("Cli_currency") : 0;
    comboCurrency_->setCurrentIndex(
        currency >= 0 && currency < comboCurrency_->count() ? static_cast<int>(currency) : -1);
    switchCurrencySign();
}

void Tcustmaint_frm::switchCurrencySign() {
    core::RegionalSettings s = regional_;
    const int currency = comboCurrency_->currentIndex();
    s.currencySymbol = dm_.tables().control().currencySign(currency, regional_.currencySymbol);
    core::RegionalSettings::setCurrent(s);
}

void Tcustmaint_frm::reload() {
    if (binder_) binder_->load();
    navigator_->updateButtons();
    if (browsing()) editCode_->selectAll();
}

// ------------------------------------------------------------------ field exits

void Tcustmaint_frm::runExitCheck(QLineEdit* edit) {
    if (!editing() || !edit->isEnabled()) return;
    const auto it = exitChecks_.find(edit);
    if (it == exitChecks_.end()) return;
    const std::string text = textOf(edit);
    ClientRules& rules = dm_.rules();
    int message = kNoMessage;
    bool refuse = false;
    switch (it->second.kind) {
    case Exit::Salesrep:
        message = rules.salesrepExit(text);
        break;
    case Exit::Territory:
        message = rules.territoryExit(text);
        break;
    case Exit::Terms:
        message = rules.termsExit(text, dm_.cli());
        if (message == kNoMessage) reload();
        break;
    case Exit::Language:
        // A stored value outside the list (from another program) may stay
        // as it is; a new one must be in the list.
        if (text != languageOnEntry_ && !ClientRules::languageAccepted(text)) message = kMsgLanguageRefused;
        break;
    case Exit::Postal:
        if (!core::blankText(text) && core::isCanada(textOf(editCountry_)) && !core::canadianPostalCode(text))
            message = kMsgPostalCodeForm;
        break;
    case Exit::BillTo:
        message = rules.billToExit(text);
        break;
    case Exit::Account:
        message = rules.accountExit(text);
        break;
    }
    if (message != kNoMessage) {
        showMessage(message, false);
        refuse = true;
    }
    if (refuse) {
        edit->setFocus();
        edit->selectAll();
    }
}

// ------------------------------------------------------------------ look-ups

std::string Tcustmaint_frm::pickClientCode() {
    // The picker lists every client whatever the user's detail level.
    const auto detail = link_.UserDetail;
    link_.UserDetail = 0;
    const std::string code = core::pickText(link_.ProgramDir.str(), "clientpicker", "PickClient", link_);
    link_.UserDetail = detail;
    return code;
}

void Tcustmaint_frm::listClients() {
    if (!maint_ || !browsing()) return;
    const std::string code = pickClientCode();
    if (!code.empty() && dm_.cli().findKey({Value(code)})) maint_->afterScroll();
    editCode_->setFocus();
    editCode_->selectAll();
}

void Tcustmaint_frm::pickSalesman() {
    if (!editing()) return;
    const std::string code = core::pickText(link_.ProgramDir.str(), "salesmanpicker", "PickSalesman", link_);
    if (!code.empty()) {
        dm_.cli().set("Cli_salesrep", code);
        reload();
    }
    editSalesrep_->setFocus();
}

void Tcustmaint_frm::pickTerritory() {
    if (!editing()) return;
    const std::string code =
        core::pickText(link_.ProgramDir.str(), "territorypicker", "PickTerritory", link_);
    dm_.cli().set("Cli_terr", code.empty() ? Value() : Value(code));
    reload();
    editTerr_->setFocus();
}

void Tcustmaint_frm::pickTerms() {
    if (!editing()) return;
    const std::int32_t terms = core::pickNumber(link_.ProgramDir.str(), "termspicker", "PickTerms", link_);
    dm_.cli().set("Cli_terms", terms);
    reload();
    editTerms_->setFocus();
}

void Tcustmaint_frm::pickBillTo() {
    if (!editing()) return;
    const std::string code = pickClientCode();
    if (!code.empty()) {
        dm_.cli().set("Cli_charge_to", code);
        reload();
    }
    editBillTo_->setFocus();
}

void Tcustmaint_frm::pickAccount(int n) {
    if (!editing()) return;
    const std::int32_t account =
        core::pickNumber(link_.ProgramDir.str(), "accountpicker", "PickAccount", link_);
    if (account != 0) {
        dm_.cli().set("Cli_accnt" + std::to_string(n), account);
        reload();
    }
    editAccnt_[n - 1]->setFocus();
}

void Tcustmaint_frm::quickLink() {
    core::pickNumber(link_.ProgramDir.str(), "jumplink", "QuickLink", link_);
    if (errorHandler_) errorHandler_->install();
}

void Tcustmaint_frm::sendMail() {
    if (dm_.isOpen()) forms::openMail(QString::fromStdString(dm_.cli().str("Cli_email")));
}

void Tcustmaint_frm::printWindow() {
    forms::printScreen(*this, core::toQString(link_.PrinterIndex));
}

void Tcustmaint_frm::help() {
    forms::openHelp(helpPath_, kHelpContext, link_.Language, this);
}

// ------------------------------------------------------------------ closing

void Tcustmaint_frm::quit() {
    quitting_ = true;
    if (dm_.isOpen()) {
        if (moveListener_ >= 0) dm_.cli().removeMoveListener(moveListener_);
        moveListener_ = -1;
        navigator_->setCursor(nullptr);
        maint_.reset();
        binder_.reset();
        try {
            dm_.close();
        } catch (const std::exception&) {
            // Leaving after a database failure: the rollback is the engine's
            // to finish when the connection goes.
        }
    }
    core::RegionalSettings::setCurrent(regional_);
    done(QDialog::Accepted);
}

void Tcustmaint_frm::reject() {
    // Escape cancels an edit (asking when something was changed) and never
    // leaves the window; "Quitter" and the close box do.
    if (maint_ && maint_->editing()) maint_->cancelAsking(kMsgDiscardChanges);
}

void Tcustmaint_frm::closeEvent(QCloseEvent* event) {
    if (!quitting_) {
        quit();
        event->accept();
        return;
    }
    QDialog::closeEvent(event);
}

// ------------------------------------------------------------------ keys and focus

bool Tcustmaint_frm::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusOut: {
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (!edit || !dm_.isOpen() || quitting_) break;
        QWidget* next = QApplication::focusWidget();
        if (edit == editCode_) {
            if (next != btnQuit_ && next != btnListClients_ && maint_ && maint_->codeExitPending() &&
                !edit->text().isEmpty())
                QTimer::singleShot(0, this, [this] { codeExit(); });
            break;
        }
        const auto it = exitChecks_.find(edit);
        if (it != exitChecks_.end() && !it->second.skip.count(next) && next && next->window() == this)
            QTimer::singleShot(0, this, [this, edit] { runExitCheck(edit); });
        break;
    }
    case QEvent::FocusIn:
        if (watched == editDateCreated_ && maint_) maint_->enteredCreatedField();
        if (watched == editLanguage_) languageOnEntry_ = textOf(editLanguage_);
        break;
    case QEvent::MouseButtonDblClick:
        if (watched == editCode_ && browsing()) {
            const std::string code = pickClientCode();
            if (!code.empty() && dm_.cli().findKey({Value(code)})) maint_->afterScroll();
            return true;
        }
        break;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) break;
        return handleKey(watched, key->key());
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

bool Tcustmaint_frm::handleKey(QObject* watched, int key) {
    if (!maint_) return false;
    if (errorHandler_ && errorHandler_->errorFlag()) {
        // The first key after a database error keeps its usual meaning.
        errorHandler_->clearErrorFlag();
        return false;
    }
    if (browsing()) {
        if (key == Qt::Key_F2) {
            listClients();
            return true;
        }
        const auto action = forms::browseAction(key);
        if (action) navigator_->trigger(*action);
        return action.has_value();
    }
    if (key == Qt::Key_F2) {
        if (watched == editSalesrep_)
            pickSalesman();
        else if (watched == editTerr_)
            pickTerritory();
        else if (watched == editTerms_)
            pickTerms();
        else if (watched == editBillTo_)
            pickBillTo();
        else if (watched == editAccnt_[0])
            pickAccount(1);
        else if (watched == editAccnt_[1])
            pickAccount(2);
        else if (watched == editAccnt_[2])
            pickAccount(3);
        else
            return false;
        return true;
    }
    // The code field's own Enter looks the code up.
    if (!maint_->inTransaction() || (watched == editCode_ && key != Qt::Key_Up && key != Qt::Key_Down))
        return false;
    return forms::entryKey(*this, watched, key, memoComments_);
}

void Tcustmaint_frm::codeExit() {
    if (maint_) maint_->codeExit(textOf(editCode_));
}

} // namespace vm::custmaint
