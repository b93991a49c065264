#include "modules/custview/ui/Tcustview_frm.h"

#include "common/core/ComponentCall.h"
#include "common/core/LinkStringQt.h"
#include "common/core/RegionalSettings.h"
#include "common/forms/DisplayFormat.h"
#include "common/forms/HelpLauncher.h"
#include "common/forms/LanguageTable.h"
#include "common/forms/MaintenanceWindow.h"
#include "common/forms/MessageList.h"
#include "common/forms/ModuleStartup.h"
#include "common/forms/QueryTableModel.h"
#include "common/forms/ScreenPrinter.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Session.h"
#include "modules/custview/core/ClientSearch.h"
#include "modules/custview/core/ClientStatement.h"
#include "modules/custview/core/DocumentReports.h"
#include "modules/custview/core/InquiryMessage.h"
#include "modules/custview/ui/AgingChart.h"
#include "modules/custview/ui/StatementModel.h"
#include "modules/rcvaging/core/Aging.h"
#include "report/ReportPreviewDialog.h"
#include "schema/Schema.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace vm::custview {
namespace {

constexpr const char* kAlias = "custviewdb";
// The data root, for the terms printed on invoices.
constexpr const char* kSystemAlias = "custviewsys";
constexpr int kHelpContext = 204;

enum Line : int {
    kMsgArchivedInvoice = 9,
    kMsgCurrentInvoice = 10,
    kMsgSalesEntry = 11,
    kMsgCashReceipt = 12,
    kMsgChartTitle = 13,
    kMsgDefault = 14,
    kMsgYes = 15,
    kMsgNo = 16,
};

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QTableView* grid(QWidget* parent, const char* name) {
    auto* g = new QTableView(parent);
    g->setObjectName(name);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->verticalHeader()->hide();
    g->verticalHeader()->setDefaultSectionSize(22);
    return g;
}

QString shown(const Value& v, FieldType type) {
    if (v.isNull()) return {};
    switch (type) {
    case FieldType::Date:
        return forms::DisplayFormat::date(v.asDate());
    case FieldType::Money:
        return forms::DisplayFormat::money(v.asMoney());
    default:
        return QString::fromStdString(v.asString());
    }
}

} // namespace

Tcustview_frm::Tcustview_frm(core::TLinkSection& link, QWidget* parent) : QDialog(parent), link_(link) {
    setObjectName(QStringLiteral("Tcustview_frm"));
    setWindowTitle(QStringLiteral("Display of clients"));
    build();
}

Tcustview_frm::~Tcustview_frm() {
    // The grids' queries end before the tables they read are closed.
    delete gridClients_;
    delete gridStatement_;
    delete statementModel_;
    delete statementRows_;
    delete listModel_;
}

Database& Tcustview_frm::db() {
    return ctrl_->database();
}

// ------------------------------------------------------------------ layout

void Tcustview_frm::build() {
    auto* top = new QVBoxLayout(this);

    auto* bar = new QHBoxLayout;
    bar->addWidget(label(this, "LabelField", QStringLiteral("Select a field:")));
    comboField_ = new QComboBox(this);
    comboField_->setObjectName(QStringLiteral("ComboField"));
    comboField_->addItems({"Client code",
                           "Client name",
                           "Address 1",
                           "Address 2",
                           "City",
                           "Province",
                           "Country",
                           "Postal code",
                           "Telephone",
                           "Fax",
                           "Contact",
                           "Contact telephone",
                           "E-mail",
                           "Charge to",
                           "Sales rep",
                           "Territory",
                           "Language",
                           "Bank",
                           "Bank manager",
                           "Bank telephone",
                           "Terms",
                           "Ship via",
                           "Date created",
                           "Date last sale",
                           "Date last payment",
                           "Pay federal tax",
                           "Pay provincial tax",
                           "PO required",
                           "Due days",
                           "Credit limit",
                           "Price list",
                           "Discount",
                           "Current balance",
                           "Last NSF date",
                           "Last sale amount",
                           "Sales MTD",
                           "Sales YTD",
                           "Comments",
                           "User",
                           "Stamp",
                           "Currency",
                           "Credit hold",
                           "Block Orders"});
    comboField_->setCurrentIndex(1);
    bar->addWidget(comboField_);
    bar->addWidget(label(this, "LabelOperator", QStringLiteral("Operator:")));
    comboOperator_ = new QComboBox(this);
    comboOperator_->setObjectName(QStringLiteral("ComboOperator"));
    comboOperator_->addItems({"=", ">", "<", "<>", "CONTAINING"});
    comboOperator_->setCurrentIndex(4);
    bar->addWidget(comboOperator_);
    bar->addWidget(label(this, "LabelParameter", QStringLiteral("Enter parameter:")));
    editParameter_ = new QLineEdit(this);
    editParameter_->setObjectName(QStringLiteral("EditParameter"));
    bar->addWidget(editParameter_, 1);
    btnRefresh_ = button(this, "BtnRefresh", QStringLiteral("Refresh"));
    bar->addWidget(btnRefresh_);
    top->addLayout(bar);
    connect(btnRefresh_, &QPushButton::clicked, this, &Tcustview_frm::refreshList);
    connect(editParameter_, &QLineEdit::returnPressed, this, &Tcustview_frm::refreshList);

    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    tabList_ = buildListPage();
    pages_->addTab(tabList_, QStringLiteral("List of clients"));
    pages_->addTab(buildGeneralPage(), QStringLiteral("General"));
    pages_->addTab(buildControlPage(), QStringLiteral("Control information"));
    pages_->addTab(buildCommentsPage(), QStringLiteral("Comments "));
    tabStatement_ = buildStatementPage();
    pages_->addTab(tabStatement_, QStringLiteral("Client statement"));
    tabGraph_ = buildGraphPage();
    pages_->addTab(tabGraph_, QStringLiteral("Graph"));
    top->addWidget(pages_, 1);
    connect(pages_, &QTabWidget::currentChanged, this, &Tcustview_frm::pageChanged);

    auto* bottom = new QHBoxLayout;
    auto* btnPrint = button(this, "BtnPrintScreen", QStringLiteral("Print screen"));
    auto* btnEmail = button(this, "BtnEmail", QStringLiteral("E-Mail to"));
    auto* btnQuickLink = button(this, "BtnQuickLink", QStringLiteral("Quick Link"));
    checkCurrent_ = new QCheckBox(QStringLiteral("View current transactions"), this);
    checkCurrent_->setObjectName(QStringLiteral("CheckCurrent"));
    checkCurrent_->setChecked(true);
    checkCurrent_->hide();
    auto* btnExit = button(this, "BtnExit", QStringLiteral("Exit"));
    auto* btnHelp = button(this, "BtnHelp", QStringLiteral("Help"));
    bottom->addWidget(btnPrint);
    bottom->addWidget(btnEmail);
    bottom->addWidget(btnQuickLink);
    bottom->addWidget(checkCurrent_);
    bottom->addStretch();
    bottom->addWidget(btnExit);
    bottom->addWidget(btnHelp);
    top->addLayout(bottom);
    connect(btnPrint, &QPushButton::clicked, this,
            [this] { forms::printScreen(*this, core::toQString(link_.PrinterIndex)); });
    connect(btnEmail, &QPushButton::clicked, this, [this] {
        if (cli_ && cli_->hasRow()) forms::openMail(QString::fromStdString(cli_->str("Cli_email")));
    });
    connect(btnQuickLink, &QPushButton::clicked, this,
            [this] { core::pickNumber(link_.ProgramDir.str(), "jumplink", "QuickLink", link_); });
    connect(btnExit, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this, [this] {
        forms::ModuleStartup st(link_);
        forms::openHelp(st.helpPath(), kHelpContext, link_.Language, this);
    });
    connect(checkCurrent_, &QCheckBox::toggled, this, [this] {
        if (pages_->currentWidget() == tabStatement_) refreshStatement();
    });

    statusBar_ = forms::ModuleStartup::makeStatusBar(this);
    top->addWidget(statusBar_);
    messages_ = new forms::MessageList(this);
    forms::makeDisabledFieldsReadable(*this);
    resize(900, 600);
}

QWidget* Tcustview_frm::buildListPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabList"));
    auto* box = new QVBoxLayout(page);
    gridClients_ = grid(page, "GridClients");
    box->addWidget(gridClients_);
    return page;
}

// A page of read-only fields: {edit name, label name, caption, cli field},
// laid out in `columns` label/field pairs per row.
struct FieldSpec {
    const char* edit;
    const char* label;
    const char* caption;
    const char* field;
};

QWidget* Tcustview_frm::buildGeneralPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabGeneral"));
    auto* g = new QGridLayout(page);
    auto add = [&](QGridLayout* into, int row, int col, const FieldSpec& f, QWidget* parent) {
        auto* e = new QLineEdit(parent);
        e->setObjectName(f.edit);
        e->setReadOnly(true);
        into->addWidget(label(parent, f.label, QString::fromUtf8(f.caption)), row, col);
        into->addWidget(e, row, col + 1);
        fieldEdits_.emplace_back(e, f.field);
    };
    add(g, 0, 0, {"EditCode", "LabelCode", "Client code", "Cli_code"}, page);
    add(g, 1, 0, {"EditName", "LabelName", "Name", "Cli_name"}, page);
    auto* group = new QGroupBox(QStringLiteral("Client address"), page);
    group->setObjectName(QStringLiteral("GroupAddress"));
    auto* a = new QGridLayout(group);
    const FieldSpec address[] = {{"EditAdr1", "LabelAdr1", "Address line 1", "Cli_adr1"},
                                 {"EditAdr2", "LabelAdr2", "Address line 2", "Cli_adr2"},
                                 {"EditCity", "LabelCity", "City", "Cli_city"},
                                 {"EditProv", "LabelProv", "Province/State", "Cli_prov"},
                                 {"EditCountry", "LabelCountry", "Country", "Cli_country"},
                                 {"EditPostal", "LabelPostal", "Postal/Zip code", "Cli_postal_code"}};
    int r = 0;
    for (const auto& f : address)
        add(a, r++, 0, f, group);
    g->addWidget(group, 2, 0, 1, 4);
    add(g, 3, 0, {"EditTel", "LabelTel", "Telephone", "Cli_tel"}, page);
    add(g, 3, 2, {"EditFax", "LabelFax", "Fax number", "Cli_fax"}, page);
    add(g, 4, 0, {"EditEmail", "LabelEmail", "E-mail address", "Cli_email"}, page);
    add(g, 5, 0, {"EditContact", "LabelContact", "Contact name", "Cli_contact"}, page);
    add(g, 5, 2, {"EditContactTel", "LabelContactTel", "Telephone", "Cli_contact_tel"}, page);
    g->setRowStretch(6, 1);
    return page;
}

QWidget* Tcustview_frm::buildControlPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabControl"));
    auto* g = new QGridLayout(page);
    const FieldSpec fields[] = {
        {"EditDateCreated", "LabelDateCreated", "Date created", "Cli_date_created"},
        {"EditDateLastSale", "LabelDateLastSale", "Date last sale", "Cli_date_last_sale"},
        {"EditDateLastPmt", "LabelDateLastPmt", "Date last payment", "Cli_date_last_pmt"},
        {"EditLanguage", "LabelLanguage", "Language", "Cli_language"},
        {"EditTerr", "LabelTerr", "Territory", "Cli_terr"},
        {"EditCreditLimit", "LabelCreditLimit", "Credit limit", "Cli_credit_limit"},
        {"EditDueDays", "LabelDueDays", "No. due days", "Cli_du_days"},
        {"EditDiscount", "LabelDiscount", "Discount %", "Cli_discount"},
        {"EditTerms", "LabelTerms", "Terms code", "Cli_terms"},
        {"EditSalesrep", "LabelSalesrep", "Salesrep", "Cli_salesrep"},
        {"EditBillTo", "LabelBillTo", "Bill to", "Cli_charge_to"},
        {"EditLastSale", "LabelLastSale", "Last invoice", "Cli_last_sale"},
        {"EditSalesMth", "LabelSalesMth", "Sales MTD", "Cli_sales_mth"},
        {"EditSalesYtd", "LabelSalesYtd", "Sales YTD", "Cli_sales_ytd"},
        {"EditNsfDate", "LabelNsfDate", "Date last NSF cheque", "Cli_nsf_date"},
        {"EditBalance", "LabelBalance", "Current balance", "Cli_current_bal"},
        {"EditAccnt1", "LabelAccnt1", "Sales account 1", "Cli_accnt1"},
        {"EditAccnt2", "LabelAccnt2", "Sales account 2", "Cli_accnt2"},
        {"EditAccnt3", "LabelAccnt3", "Sales account 3", "Cli_accnt3"},
        {"EditCopies", "LabelCopies", "# Copies of invoices", "Cli_copies"},
        {"EditFormat", "LabelFormat", "Invoice format", "Cli_format1"}};
    int i = 0;
    for (const auto& f : fields) {
        auto* e = new QLineEdit(page);
        e->setObjectName(f.edit);
        e->setReadOnly(true);
        const int row = i % 11, col = (i / 11) * 2;
        g->addWidget(label(page, f.label, QString::fromUtf8(f.caption)), row, col);
        g->addWidget(e, row, col + 1);
        fieldEdits_.emplace_back(e, f.field);
        ++i;
    }
    comboPriceList_ = new QComboBox(page);
    comboPriceList_->setObjectName(QStringLiteral("ComboPriceList"));
    comboPriceList_->setEnabled(false);
    g->addWidget(label(page, "LabelPriceList", QStringLiteral("Price list")), 10, 2);
    g->addWidget(comboPriceList_, 10, 3);
    comboCurrency_ = new QComboBox(page);
    comboCurrency_->setObjectName(QStringLiteral("ComboCurrency"));
    comboCurrency_->setEnabled(false);
    g->addWidget(label(page, "LabelCurrency", QStringLiteral("Currency")), 11, 2);
    g->addWidget(comboCurrency_, 11, 3);
    const FieldSpec checks[] = {
        {"CheckTaxFed", "", "Charge G.S.T./H.S.T.", "Cli_tax_fed"},
        {"CheckTaxPro", "", "Charge P.S.T.", "Cli_tax_pro"},
        {"CheckCreditHold", "", "Block invoices", "Cli_credit_hold"},
        {"CheckPoReq", "", "P.O. required", "Cli_po_req"},
        {"CheckBlockOrders", "", "Block orders", "Cli_block_orders"},
        {"CheckEmailStatement", "", "E-mail account statements", "Cli_email_statement"},
        {"CheckEmailInvoice", "", "E-mail invoices", "Cli_email_invoice"}};
    int c = 0;
    for (const auto& f : checks) {
        auto* box = new QCheckBox(QString::fromUtf8(f.caption), page);
        box->setObjectName(f.edit);
        box->setEnabled(false);
        g->addWidget(box, c % 4, 4 + c / 4);
        fieldChecks_.emplace_back(box, f.field);
        ++c;
    }
    g->setRowStretch(12, 1);
    return page;
}

QWidget* Tcustview_frm::buildCommentsPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabComments"));
    auto* g = new QGridLayout(page);
    const FieldSpec fields[] = {{"EditBank", "LabelBank", "Bank name", "Cli_bank"},
                                {"EditBankTel", "LabelBankTel", "Bank telephone", "Cli_bank_tel"},
                                {"EditShipVia", "LabelShipVia", "Ship via", "Cli_ship_via"}};
    int row = 0;
    for (const auto& f : fields) {
        auto* e = new QLineEdit(page);
        e->setObjectName(f.edit);
        e->setReadOnly(true);
        g->addWidget(label(page, f.label, QString::fromUtf8(f.caption)), row, 0);
        g->addWidget(e, row++, 1);
        fieldEdits_.emplace_back(e, f.field);
    }
    memoComments_ = new QPlainTextEdit(page);
    memoComments_->setObjectName(QStringLiteral("MemoComments"));
    memoComments_->setReadOnly(true);
    g->addWidget(memoComments_, row, 0, 1, 2);
    g->setRowStretch(row, 1);
    return page;
}

QWidget* Tcustview_frm::buildStatementPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabStatement"));
    auto* box = new QVBoxLayout(page);
    gridStatement_ = grid(page, "GridStatement");
    box->addWidget(gridStatement_, 1);
    auto* row = new QHBoxLayout;
    btnDetail_ = button(page, "BtnDetail", QStringLiteral("Detail"));
    row->addWidget(btnDetail_);
    row->addStretch(1);
    box->addLayout(row);
    auto detail = [this] {
        const QModelIndex at = gridStatement_->currentIndex();
        if (at.isValid()) drillDown(at.row());
    };
    connect(btnDetail_, &QPushButton::clicked, this, detail);
    connect(gridStatement_, &QTableView::doubleClicked, this, detail);
    return page;
}

QWidget* Tcustview_frm::buildGraphPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabGraph"));
    auto* box = new QHBoxLayout(page);
    chart_ = new AgingChart(page);
    box->addWidget(chart_, 1);
    auto* side = new QVBoxLayout;
    for (int i = 1; i <= 5; ++i) {
        const std::string name = "LabelBucket" + std::to_string(i);
        auto* l = label(page, name.c_str(), {});
        bucketLabels_.push_back(l);
        side->addWidget(l);
    }
    side->addStretch();
    auto* btnPrint = button(page, "BtnPrintGraph", QStringLiteral("Print"));
    checkPrintDialog_ = new QCheckBox(QStringLiteral("Display print dialog"), page);
    checkPrintDialog_->setObjectName(QStringLiteral("CheckPrintDialog"));
    side->addWidget(btnPrint);
    side->addWidget(checkPrintDialog_);
    box->addLayout(side);
    connect(btnPrint, &QPushButton::clicked, this, &Tcustview_frm::printGraph);
    return page;
}

// ------------------------------------------------------------------ start-up

void Tcustview_frm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (started_) return;
    started_ = true;
    if (!startUp()) QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
}

bool Tcustview_frm::startUp() {
    forms::ModuleStartup st(link_);
    st.applyFallbacks();
    try {
        st.translate(*this, "custview");
    } catch (const std::exception&) {
        // A missing language table leaves the designed English texts.
    }
    applyTerminology();
    st.fillStatusBar(*statusBar_);
    st.pointAliases(kAlias, kSystemAlias);
    ctrl_ = st.openTable(kAlias, "ctrl", true, this);
    if (!ctrl_) return false;
    cli_ = st.openTable(kAlias, "cli", true, this);
    if (!cli_) return false;
    ctrl_->first();
    historyKept_ = ctrl_->boolean("Ctrl_ar_histo");

    comboPriceList_->clear();
    for (int i = 1; i <= 5; ++i)
        comboPriceList_->addItem(QString::fromStdString(ctrl_->str("Ctrl_pl_name" + std::to_string(i))));
    comboCurrency_->clear();
    comboCurrency_->addItem(message(kMsgDefault));
    for (int i = 1; i <= 4; ++i)
        comboCurrency_->addItem(
            QString::fromStdString(ctrl_->str("Ctrl_curr" + std::to_string(i) + "_name")));

    schema::createInquiryWorkTable(db(), link_.SessionId);
    listSql_ = allClientsSql();
    listModel_ = new forms::QueryTableModel(
        [this] { return std::make_unique<Query>(db(), listSql_, listParams_); },
        {{"Cli_code", QStringLiteral("Client code")}, {"Cli_name", QStringLiteral("Name")}}, this);
    gridClients_->setModel(listModel_);
    gridClients_->horizontalHeader()->setStretchLastSection(true);
    gridClients_->setColumnWidth(0, 120);
    connect(gridClients_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &Tcustview_frm::clientMoved);

    statementSql_ = statementSql(db(), link_.SessionId, false);
    statementRows_ = new forms::QueryTableModel(
        [this] {
            return std::make_unique<Query>(db(), statementSql_,
                                           std::vector<Value>{Value(client_.toStdString())});
        },
        {{"Car_invoice", QStringLiteral("Invoice")},
         {"Car_ref", QStringLiteral("Reference")},
         {"Car_date", QStringLiteral("Date")},
         {"Car_type", QStringLiteral("Type")},
         {"Car_du_date", QStringLiteral("Due date")},
         {"Car_amount", QStringLiteral("Amount")},
         {"Cartmp_balance", QStringLiteral("Balance")}},
        this);
    statementModel_ = new StatementModel(this);
    statementModel_->setSourceModel(statementRows_);
    QStringList names;
    for (int i = 0; i < 5; ++i)
        names << message(i);
    statementModel_->setTypeNames(names);
    gridStatement_->setModel(statementModel_);
    gridStatement_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // The grids' titles come from the language table once the models exist.
    try {
        st.translate(*this, "custview");
        applyTerminology();
    } catch (const std::exception&) {
    }
    listModel_->fetchMore({});
    if (listModel_->rowCount() > 0) gridClients_->selectRow(0);
    return true;
}

void Tcustview_frm::applyTerminology() {
    if (!forms::ModuleStartup::international()) return;
    if (link_.Language == 1) {
        forms::ModuleStartup::setTexts(
            *this, {{QStringLiteral("LabelProv"), QStringLiteral("State")},
                    {QStringLiteral("LabelPostal"), QStringLiteral("Zip code")},
                    {QStringLiteral("LabelNsfDate"), QStringLiteral("Date last NSF check")},
                    {QStringLiteral("CheckTaxFed"), QStringLiteral("Charge tax 1")},
                    {QStringLiteral("CheckTaxPro"), QStringLiteral("Charge tax 2")}});
    } else if (link_.Language == 2) {
        forms::ModuleStartup::setTexts(*this,
                                       {{QStringLiteral("CheckTaxFed"), QStringLiteral("Charger taxe 1")},
                                        {QStringLiteral("CheckTaxPro"), QStringLiteral("Charger taxe 2")},
                                        {QStringLiteral("LabelAdr1"), QStringLiteral("Adresse ligne 1")},
                                        {QStringLiteral("LabelAdr2"), QStringLiteral("Adresse ligne 2")}});
    }
}

// ------------------------------------------------------------------ search and moving

void Tcustview_frm::refreshList() {
    if (!listModel_) return;
    ClientSearch s = buildClientSearch(db(), comboField_->currentIndex(),
                                       static_cast<SearchOperator>(comboOperator_->currentIndex()),
                                       editParameter_->text().toStdString(), [](std::string_view t) {
                                           return forms::DisplayFormat::parseDate(
                                               QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())));
                                       });
    if (s.outcome == ClientSearch::Outcome::Refused) {
        showMessage(s.message, editParameter_->text());
        return;
    }
    if (s.outcome == ClientSearch::Outcome::Query) {
        listSql_ = s.sql;
        listParams_ = s.params;
    }
    try {
        listModel_->reload();
    } catch (const EngineError&) {
        showMessage(kMsgSearchFailed);
        return;
    }
    pages_->setCurrentWidget(tabList_);
    listModel_->fetchMore({});
    if (listModel_->rowCount() > 0)
        gridClients_->selectRow(0);
    else
        clientMoved();
}

void Tcustview_frm::clientMoved() {
    const QModelIndex at = gridClients_->currentIndex();
    client_ = at.isValid() ? QString::fromStdString(listModel_->valueAt(at.row(), 0).asString()) : QString();
    {
        QSignalBlocker block(checkCurrent_);
        checkCurrent_->setChecked(true);
    }
    showClient();
    if (pages_->currentWidget() == tabStatement_) refreshStatement();
    if (pages_->currentWidget() == tabGraph_) refreshGraph();
}

void Tcustview_frm::showClient() {
    const bool found = !client_.isEmpty() && cli_->findKey({Value(client_.toStdString())});
    const TableDef& def = cli_->def();
    for (auto& [edit, field] : fieldEdits_) {
        const int at = def.fieldIndex(field);
        edit->setText(found && at >= 0 ? shown(cli_->value(at), def.fields[static_cast<std::size_t>(at)].type)
                                       : QString());
        edit->setCursorPosition(0);
    }
    for (auto& [box, field] : fieldChecks_)
        box->setChecked(found && cli_->boolean(field));
    memoComments_->setPlainText(found ? QString::fromStdString(cli_->str("Cli_comments")) : QString());
    comboPriceList_->setCurrentIndex(found ? static_cast<int>(cli_->integer("Cli_price_list")) - 1 : -1);
    comboCurrency_->setCurrentIndex(found ? static_cast<int>(cli_->integer("Cli_currency")) : -1);
}

void Tcustview_frm::pageChanged() {
    checkCurrent_->setVisible(historyKept_ && pages_->currentWidget() == tabStatement_);
    if (pages_->currentWidget() == tabStatement_) refreshStatement();
    if (pages_->currentWidget() == tabGraph_) refreshGraph();
}

// ------------------------------------------------------------------ statement, drill-down, graph

void Tcustview_frm::refreshStatement() {
    if (!statementRows_) return;
    const bool history = historyKept_ && !checkCurrent_->isChecked();
    fillStatement(db(), link_.SessionId, client_.toStdString(), history);
    statementSql_ = statementSql(db(), link_.SessionId, history);
    statementRows_->reload();
    while (statementRows_->canFetchMore({}))
        statementRows_->fetchMore({});
}

DocumentChoice Tcustview_frm::drillDown(int row) {
    if (row < 0 || row >= statementRows_->rowCount()) return {};
    LedgerRow r;
    r.client = client_.toStdString();
    r.invoice = statementRows_->valueAt(row, 0).asString();
    r.reference = statementRows_->valueAt(row, 1).asString();
    r.date = statementRows_->valueAt(row, 2).asDate();
    r.type = statementRows_->valueAt(row, 3).asString();
    const DocumentChoice d = chooseDocument(db(), r);
    QString title;
    switch (d.kind) {
    case DocumentChoice::Kind::ArchivedInvoice:
        title = message(kMsgArchivedInvoice).arg(QString::fromStdString(d.invoice));
        break;
    case DocumentChoice::Kind::CurrentInvoice:
        title = message(kMsgCurrentInvoice).arg(QString::fromStdString(d.invoice));
        break;
    case DocumentChoice::Kind::SalesEntry:
        title = message(kMsgSalesEntry).arg(QString::fromStdString(r.invoice));
        break;
    case DocumentChoice::Kind::CashReceipt:
        title = message(kMsgCashReceipt).arg(QString::fromStdString(r.reference));
        break;
    case DocumentChoice::Kind::None:
        break;
    }
    std::optional<report::StreamFactory> pages;
    if (d.kind != DocumentChoice::Kind::None) {
        Database* root = nullptr;
        try {
            root = &Session::instance().database(kSystemAlias);
        } catch (const EngineError&) {
            // Without the data root an invoice prints without its terms.
        }
        pages = documentStream(db(), root, d, documentSetup(title));
    }
    if (!pages) {
        showMessage(kMsgNoDocument);
        return {};
    }
    // The preview is not modal to the program: the window stays usable and
    // a test can read and close it.
    auto* preview = new report::ReportPreviewDialog(
        std::move(*pages), core::toQString(link_.PrinterIndex).toInt(), link_.Language, this);
    preview->setObjectName(QStringLiteral("DocumentPreview"));
    preview->setWindowTitle(title);
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->resize(1000, 720);
    preview->open();
    return d;
}

DocumentSetup Tcustview_frm::documentSetup(const QString& title) const {
    DocumentSetup s;
    s.language = link_.Language;
    s.international = forms::ModuleStartup::international();
    s.companyName = core::toQString(link_.CompanyName).toStdString();
    s.title = title.toStdString();
    s.dateMask = core::RegionalSettings::current().dateFormat;
    for (std::size_t i = 0; i < s.typeNames.size(); ++i)
        s.typeNames[i] = message(static_cast<int>(i)).toStdString();
    s.yes = message(kMsgYes).toStdString();
    s.no = message(kMsgNo).toStdString();
    try {
        auto table =
            std::make_shared<forms::LanguageTable>("custview", core::toQString(link_.LangCode).toStdString());
        s.caption = [table](const std::string& form, const std::string& name) -> std::optional<std::string> {
            if (auto e = table->find(form, name)) return e->caption;
            return std::nullopt;
        };
    } catch (const std::exception&) {
        // Without the language table the reports keep their English texts.
    }
    return s;
}

void Tcustview_frm::refreshGraph() {
    const auto control = aging::Aging::readControl(db(), aging::Ledger::Receivables);
    const auto totals = client_.isEmpty() ? std::array<Money, 5>{}
                                          : clientBuckets(db(), client_.toStdString(), Date::today());
    std::array<QString, 5> names;
    std::array<double, 5> values{};
    for (std::size_t i = 0; i < 5; ++i) {
        names[i] = QString::fromStdString(control.bucketNames[i]);
        values[i] = totals[i].toDouble();
        bucketLabels_[i]->setText(names[i] + QStringLiteral(": ") + forms::DisplayFormat::money(totals[i]));
    }
    chart_->setData(message(kMsgChartTitle), names, values);
}

// The printed chart names the client under the title and gives each bar its
// total.
void Tcustview_frm::printGraph() {
    const auto control = aging::Aging::readControl(db(), aging::Ledger::Receivables);
    const auto totals = client_.isEmpty() ? std::array<Money, 5>{}
                                          : clientBuckets(db(), client_.toStdString(), Date::today());
    const QLocale locale(link_.Language == 2 ? QLocale::French : QLocale::English, QLocale::Canada);
    std::array<QString, 5> labels;
    std::array<double, 5> values{};
    for (std::size_t i = 0; i < 5; ++i) {
        values[i] = totals[i].toDouble();
        labels[i] = QString::fromStdString(control.bucketNames[i]) + QStringLiteral(": ") +
                    locale.toString(values[i], 'f', 2);
    }
    const QString name = cli_ && cli_->hasRow() ? QString::fromStdString(cli_->str("Cli_name")) : QString();
    AgingChart printing;
    printing.resize(1000, 650);
    printing.setData(message(kMsgChartTitle) + QLatin1Char('\n') + name, labels, values);
    if (!checkPrintDialog_->isChecked()) {
        forms::printScreen(printing, core::toQString(link_.PrinterIndex));
        return;
    }
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    QPainter painter(&printer);
    const QRect page = painter.viewport();
    const double k = std::min(static_cast<double>(page.width()) / printing.width(),
                              static_cast<double>(page.height()) / printing.height());
    painter.scale(k, k);
    printing.render(&painter);
}

// ------------------------------------------------------------------ messages

QString Tcustview_frm::message(int line) const {
    static const char* const fallback[] = {"Invoice",
                                           "Debit",
                                           "Credit",
                                           "Document",
                                           "Payment",
                                           "The search could not be run.",
                                           "No document was found for this transaction.",
                                           "\"%1\" is not a valid date.",
                                           "\"%1\" is not a valid number.",
                                           "Archived invoice %1",
                                           "Invoice %1",
                                           "Sales entry record of invoice %1",
                                           "Cash receipt %1",
                                           "Aging of accounts",
                                           "Default",
                                           "Yes",
                                           "No"};
    const QString m = messages_->message(line);
    if (!m.isEmpty() || line < 0 || line >= static_cast<int>(std::size(fallback))) return m;
    return QString::fromUtf8(fallback[line]);
}

// The box is not modal to the program: the window stays usable and a test
// can read and close it.
void Tcustview_frm::showMessage(int line, const QString& arg) {
    QString text = message(line);
    if (text.contains(QStringLiteral("%1"))) text = text.arg(arg);
    auto* box = new QMessageBox(line == kMsgSearchFailed ? QMessageBox::Critical : QMessageBox::Information,
                                windowTitle(), text, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("MessageBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace vm::custview
