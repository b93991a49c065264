#include "modules/chqedit/ui/Tchqedit_frm.h"

#include "common/core/ComponentCall.h"
#include "common/core/LinkStringQt.h"
#include "common/core/TableOpenError.h"
#include "common/forms/CursorTableModel.h"
#include "common/forms/DisplayFormat.h"
#include "common/forms/FieldBinder.h"
#include "common/forms/HelpLauncher.h"
#include "common/forms/MaintenanceWindow.h"
#include "common/forms/MessageList.h"
#include "common/forms/ModuleErrorHandler.h"
#include "common/forms/ModuleStartup.h"
#include "common/forms/ScreenPrinter.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "modules/chqedit/ui/LineGridModel.h"
#include "modules/chqedit/ui/Tchqedit_dm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace vm::chqedit {

using namespace forms::build;

namespace {

// focusField's numbers: a slot's account field is its slot (1..10), its
// amount field the slot + kAmountField.
constexpr int kAmountField = 100;

std::string slotName(const char* stem, int slot) {
    return std::string(stem) + std::to_string(slot);
}

} // namespace

Tchqedit_frm::Tchqedit_frm(core::TLinkSection& link, Tchqedit_dm& dm, QWidget* parent)
    : QDialog(parent), link_(link), dm_(dm) {
    setObjectName(recurring() ? QStringLiteral("Tchqrecur_frm") : QStringLiteral("Tchqedit_frm"));
    setWindowTitle(recurring() ? QStringLiteral("Recurring cheque entries")
                               : QStringLiteral("Edit cheque entries"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    build();
}

Tchqedit_frm::~Tchqedit_frm() {
    if (moveListener_ >= 0 && dm_.isOpen()) dm_.header().removeMoveListener(moveListener_);
}

bool Tchqedit_frm::recurring() const {
    return dm_.book() == ChequeBook::Recurring;
}

// ------------------------------------------------------------------ layout

void Tchqedit_frm::build() {
    auto* top = new QVBoxLayout(this);
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    tabGeneral_ = buildGeneralPage();
    tabDistribution_ = buildDistributionPage();
    pages_->addTab(tabGeneral_, QStringLiteral("General"));
    pages_->addTab(tabDistribution_, QStringLiteral("Accounting distribution"));
    top->addWidget(pages_);
    setMinimumWidth(820);

    const forms::MaintenanceBar bar = forms::addMaintenanceBar(*this, *top);
    btnPrint_ = bar.print;
    bar.email->hide(); // a cheque has no address to write to
    btnQuickLink_ = bar.quickLink;
    navigator_ = bar.navigator;
    btnQuit_ = bar.quit;
    btnHelp_ = bar.help;
    statusBar_ = bar.statusBar;
    messages_ = bar.messages;

    connect(btnPayee_, &QToolButton::clicked, this, &Tchqedit_frm::pickPayee);
    if (btnSupplier_) connect(btnSupplier_, &QToolButton::clicked, this, &Tchqedit_frm::pickSupplier);
    if (btnInvoices_) connect(btnInvoices_, &QToolButton::clicked, this, [this] { showInvoiceList(); });
    connect(btnDeleteLine_, &QToolButton::clicked, this, &Tchqedit_frm::deleteCurrentLine);
    for (int slot = 4; slot <= kSlots; ++slot)
        connect(btnAccnt_[slot - 1], &QToolButton::clicked, this, [this, slot] { pickAccount(slot); });
    connect(btnQuit_, &QPushButton::clicked, this, &Tchqedit_frm::quit);
    connect(btnHelp_, &QPushButton::clicked, this, &Tchqedit_frm::help);
    connect(btnQuickLink_, &QPushButton::clicked, this, &Tchqedit_frm::quickLink);
    connect(btnPrint_, &QPushButton::clicked, this, &Tchqedit_frm::printWindow);
    connect(comboBank_, qOverload<int>(&QComboBox::activated), this, &Tchqedit_frm::bankChosen);
    connect(pages_, &QTabWidget::currentChanged, this, &Tchqedit_frm::pageChanged);
    connect(lineModel_, &LineGridModel::linesChanged, this, &Tchqedit_frm::linesChanged);
    connect(lineModel_, &LineGridModel::refused, this, &Tchqedit_frm::lineRefused);
    if (editSupplier_) connect(editSupplier_, &QLineEdit::returnPressed, this, [this] { supplierExit(); });
    forms::addPostShortcut(*this, *navigator_);
    forms::makeDisabledFieldsReadable(*this);
    skipAccountCheck_ = {btnQuit_, btnHelp_};
    for (int slot = 4; slot <= kSlots; ++slot)
        skipAccountCheck_.insert(btnAccnt_[slot - 1]);
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

QWidget* Tchqedit_frm::buildGeneralPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabGeneral"));
    auto* g = new QGridLayout(page);

    editSeq_ = line(page, "EditSeq", 8);
    editSeq_->setReadOnly(true);
    editSeq_->setFocusPolicy(Qt::NoFocus);
    put(g, 0, 0, label(page, "LabelSeq", "Sequence #:"), editSeq_);
    if (!recurring()) {
        editSupplier_ = line(page, "EditSupplier", 12);
        btnSupplier_ = lookupButton(page, "BtnSupplier", "List of suppliers");
        labelSupplier_ = label(page, "LabelSupplier", "Supplier code:");
        put(g, 1, 0, labelSupplier_, editSupplier_, btnSupplier_);
    }
    editDesc_ = line(page, "EditDesc");
    editDesc_->setReadOnly(true);
    editDesc_->setFocusPolicy(Qt::NoFocus);
    g->addWidget(editDesc_, 2, 0, 1, 4);

    auto* payee = new QGroupBox(QStringLiteral("Payee"), page);
    payee->setObjectName(QStringLiteral("GroupPayee"));
    auto* a = new QGridLayout(payee);
    editName_ = line(payee, "EditName");
    btnPayee_ = lookupButton(payee, "BtnPayee", "List of suppliers");
    put(a, 0, 0, label(payee, "LabelName", "Name"), editName_, btnPayee_);
    put(a, 1, 0, label(payee, "LabelAdr1", "Address line 1"), line(payee, "EditAdr1"));
    put(a, 2, 0, label(payee, "LabelAdr2", "Address line 2"), line(payee, "EditAdr2"));
    put(a, 3, 0, label(payee, "LabelCity", "City"), line(payee, "EditCity"));
    put(a, 4, 0, label(payee, "LabelProv", "Province/State"), line(payee, "EditProv", 16));
    put(a, 5, 0, label(payee, "LabelCountry", "Country"), line(payee, "EditCountry"));
    put(a, 6, 0, label(payee, "LabelPostal", "Postal code"), line(payee, "EditPostal", 12));
    a->setColumnStretch(1, 1);

    auto* cheque = new QGroupBox(page);
    cheque->setObjectName(QStringLiteral("GroupCheque"));
    auto* c = new QGridLayout(cheque);
    editDate_ = line(cheque, "EditDate", 12);
    put(c, 0, 0, label(cheque, "LabelDate", "Cheque date:"), editDate_);
    editAmount_ = line(cheque, "EditAmount", 14);
    editAmount_->setReadOnly(true);
    editAmount_->setFocusPolicy(Qt::NoFocus);
    editAmount_->setAlignment(Qt::AlignRight);
    put(c, 1, 0, label(cheque, "LabelAmount", "Cheque amount"), editAmount_);
    comboBank_ = new QComboBox(cheque);
    comboBank_->setObjectName(QStringLiteral("ComboBank"));
    comboBank_->setMinimumContentsLength(20);
    put(c, 2, 0, label(cheque, "LabelBank", "Bank account"), comboBank_);
    c->setRowStretch(3, 1);
    auto* blocks = new QHBoxLayout;
    blocks->addWidget(payee, 3);
    blocks->addWidget(cheque, 2);
    g->addLayout(blocks, 3, 0, 1, 4);

    grid_ = new QTableView(page);
    grid_->setObjectName(QStringLiteral("GridLines"));
    lineModel_ = new LineGridModel(grid_);
    grid_->setModel(lineModel_);
    grid_->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 8);
    grid_->setMinimumHeight(150);
    g->addWidget(grid_, 4, 0, 1, 4);
    auto* buttons = new QHBoxLayout;
    if (!recurring()) {
        btnInvoices_ = lookupButton(page, "BtnInvoices", "List of invoices");
        btnInvoices_->setText(QStringLiteral("..."));
        buttons->addWidget(btnInvoices_);
    }
    btnDeleteLine_ = lookupButton(page, "BtnDeleteLine", "Delete the current line");
    btnDeleteLine_->setIcon(page->style()->standardIcon(QStyle::SP_TrashIcon));
    buttons->addWidget(btnDeleteLine_);
    buttons->addStretch(1);
    g->addLayout(buttons, 5, 0, 1, 4);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    g->setRowStretch(4, 1);
    return page;
}

QWidget* Tchqedit_frm::buildDistributionPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabDistribution"));
    auto* g = new QGridLayout(page);
    g->addWidget(label(page, "LabelAccountHead", "Account"), 0, 1);
    g->addWidget(label(page, "LabelAmountHead", "Amount"), 0, 3);
    const char* names[kSlots] = {"Accounts payable", "Bank",           "Discount",       "Distribution 4",
                                 "Distribution 5",   "Distribution 6", "Distribution 7", "Distribution 8",
                                 "Distribution 9",   "Distribution 10"};
    for (int slot = 1; slot <= kSlots; ++slot) {
        const int i = slot - 1;
        g->addWidget(label(page, slotName("LabelSlot", slot).c_str(), names[i]), slot, 0);
        editAccnt_[i] = line(page, slotName("EditAccnt", slot).c_str(), 10);
        g->addWidget(editAccnt_[i], slot, 1);
        if (slot >= 4) {
            btnAccnt_[i] = lookupButton(page, slotName("BtnAccnt", slot).c_str(), "List of accounts");
            g->addWidget(btnAccnt_[i], slot, 2);
        }
        editDist_[i] = line(page, slotName("EditDist", slot).c_str(), 14);
        editDist_[i]->setAlignment(Qt::AlignRight);
        g->addWidget(editDist_[i], slot, 3);
    }
    // Slots 1 and 2 follow the supplier and the bank.
    editAccnt_[0]->setReadOnly(true);
    editAccnt_[1]->setReadOnly(true);
    // What is left to spread: zero when the distribution balances.
    editTotal_ = line(page, "EditTotal", 14);
    editTotal_->setReadOnly(true);
    editTotal_->setFocusPolicy(Qt::NoFocus);
    editTotal_->setAlignment(Qt::AlignRight);
    g->addWidget(label(page, "LabelTotal", "Total"), kSlots + 1, 2, Qt::AlignRight);
    g->addWidget(editTotal_, kSlots + 1, 3);
    g->setColumnStretch(4, 1);
    g->setRowStretch(kSlots + 2, 1);
    return page;
}

void Tchqedit_frm::bindFields() {
    binder_ = std::make_unique<forms::FieldBinder>(dm_.header(), this);
    binder_->setLanguage(link_.Language);
    const std::pair<QLineEdit*, const char*> texts[] = {
        {editSeq_, "Apchqh_seq"},
        {editSupplier_, "Apchqh_fou"},
        {editDesc_, "Apchqh_desc"},
        {editName_, "Apchqh_nom"},
        {findChild<QLineEdit*>(QStringLiteral("EditAdr1")), "Apchqh_adr1"},
        {findChild<QLineEdit*>(QStringLiteral("EditAdr2")), "Apchqh_adr2"},
        {findChild<QLineEdit*>(QStringLiteral("EditCity")), "Apchqh_city"},
        {findChild<QLineEdit*>(QStringLiteral("EditProv")), "Apchqh_prov"},
        {findChild<QLineEdit*>(QStringLiteral("EditCountry")), "Apchqh_country"},
        {findChild<QLineEdit*>(QStringLiteral("EditPostal")), "Apchqh_code_postal"},
        {editDate_, "Apchqh_date_imp"},
        {editAmount_, "Apchqh_Montant"},
    };
    for (const auto& [edit, field] : texts)
        if (edit) binder_->bindText(edit, field);
    for (int slot = 1; slot <= kSlots; ++slot) {
        binder_->bindText(editAccnt_[slot - 1], slotName("Apchqh_accnt", slot));
        binder_->bindText(editDist_[slot - 1], slotName("Apchqh_dist", slot));
    }
    connect(binder_.get(), &forms::FieldBinder::fieldWritten, this, [this] { showTotal(); });

    dataControls_.clear();
    for (QWidget* w : findChildren<QWidget*>()) {
        const bool onPage = tabGeneral_->isAncestorOf(w) || tabDistribution_->isAncestorOf(w);
        if (onPage && (forms::isDataEntry(w) || qobject_cast<QToolButton*>(w) || w == grid_))
            dataControls_.push_back(w);
    }
}

void Tchqedit_frm::applyTerminology() {
    if (link_.Language != 1 || !forms::ModuleStartup::international()) return;
    forms::ModuleStartup::setTexts(*this, {{QStringLiteral("LabelDate"), QStringLiteral("Check date:")},
                                           {QStringLiteral("LabelAmount"), QStringLiteral("Check amount")}});
    setWindowTitle(recurring() ? QStringLiteral("Recurring check entries")
                               : QStringLiteral("Edit check entries"));
}

// ------------------------------------------------------------------ start-up

void Tchqedit_frm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) QTimer::singleShot(0, this, [this] { startUp(); });
}

bool Tchqedit_frm::startUp() {
    if (started_) return dm_.isOpen();
    started_ = true;
    forms::ModuleStartup startup(link_);
    try {
        startup.translate(*this, recurring() ? "chqrecur" : "chqedit");
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
        dm_.open(link_.DataDir.str(), startup.companyDirectory(), link_.SessionId, link_.Language);
    } catch (const core::TableOpenError& e) {
        startup.reportTableOpenError(*this, e.table());
        return false;
    }

    comboBank_->clear();
    for (const auto& bank : dm_.editor().settings().banks)
        comboBank_->addItem(QString::fromStdString(bank.description));
    lineModel_->setEditor(&dm_.editor());
    bindFields();
    navigator_->setCursor(&dm_.header());
    navigator_->setDeleteQuestion({}); // asked by the controller, naming the entry
    startMaintenance();
    moveListener_ = dm_.header().addMoveListener([this] {
        if (maint_) maint_->afterScroll();
    });
    forms::assignAccessKeys(*this);
    maint_->start();
    btnQuickLink_->setEnabled(!forms::quickLinkOpen());
    return true;
}

// ------------------------------------------------------------------ states

bool Tchqedit_frm::browsing() const {
    return !maint_ || maint_->browsing();
}

bool Tchqedit_frm::editing() const {
    return maint_ && maint_->editing();
}

void Tchqedit_frm::startMaintenance() {
    forms::MaintenanceSpec spec;
    spec.codeField = "Apchqh_seq";
    spec.nameField = "Apchqh_nom";
    spec.generalPage = GeneralPage;
    spec.deleteQuestion = kMsgDeleteQuestion;
    spec.plainMessages = {kMsgUnbalanced, kMsgInvoiceNotFound, kMsgInvoiceOnCheque};

    ChequeEntryEditor& e = dm_.editor();
    forms::MaintenanceRules rules;
    rules.exists = [](const std::string&) { return false; }; // the number is never typed
    rules.newRecordDefaults = [&e](Cursor&) { e.newEntry(); };
    rules.postRefusal = [this, &e](Cursor&) -> std::optional<forms::MaintenanceRefusal> {
        const auto refusal = e.storeRefusal(pages_->currentWidget() == tabDistribution_);
        if (!refusal) return std::nullopt;
        if (refusal->message == kNoMessage)
            statusBar_->showMessage(messages_->message(kMsgReviewDistribution), 10000);
        // A refusal without message sends the user to the amounts to review.
        const int field = refusal->message == kNoMessage || refusal->message == kMsgPayablesWithoutSupplier ||
                                  refusal->message == kMsgUnbalanced
                              ? refusal->slot + kAmountField
                              : refusal->slot;
        return forms::MaintenanceRefusal{refusal->message, field,
                                         refusal->distribution ? DistributionPage : GeneralPage};
    };
    rules.writeDetails = [&e](Cursor&) { e.writeDetails(); };
    rules.removeDetails = [&e](Cursor&) { e.removeDetails(); };
    forms::MaintenanceView& view = *this;
    maint_ = std::make_unique<forms::RecordMaintenance>(dm_.editTransaction(), dm_.header(), std::move(spec),
                                                        std::move(rules), view);
    // Before the controller: a cell being typed is the line being edited,
    // stored with the header; every other click forgets the pending
    // recompute.
    connect(navigator_, &forms::RecordNavigator::beforeAction, this,
            [this](forms::RecordNavigator::Action action, bool&) {
                if (action == forms::RecordNavigator::Post)
                    commitGridEdit();
                else if (dm_.isOpen())
                    dm_.editor().clearRecompute();
            });
    forms::wireNavigator(*navigator_, *maint_);
}

void Tchqedit_frm::setDataControls(bool on) {
    for (QWidget* w : dataControls_)
        w->setEnabled(on);
    lineModel_->setEditable(on);
    btnPrint_->setEnabled(true);
    if (on) lockSupplierCode();
}

// Fields of the header that follow from the others, and the supplier code,
// which an entry with lines keeps.
void Tchqedit_frm::lockSupplierCode() {
    if (!dm_.isOpen()) return;
    ChequeEntryEditor& e = dm_.editor();
    const bool on = editing();
    const bool hasLines = e.lineCount() > 0;
    if (editSupplier_) {
        editSupplier_->setReadOnly(hasLines);
        btnSupplier_->setEnabled(on && !hasLines);
    }
    comboBank_->setEnabled(on && !e.hasSupplier());
    if (btnInvoices_) btnInvoices_->setEnabled(on && e.hasSupplier());
    // The payables amount belongs to a supplier's cheque.
    editDist_[0]->setEnabled(on && !recurring() && e.hasSupplier());
}

void Tchqedit_frm::setCodeField(bool, bool) {
    // The entry number is given by the program, never typed.
}

void Tchqedit_frm::focusCode() {
    if (browsing()) return;
    pages_->setCurrentWidget(tabGeneral_);
    if (editSupplier_ && !editSupplier_->isReadOnly())
        editSupplier_->setFocus();
    else
        editName_->setFocus();
}

void Tchqedit_frm::focusName() {
    focusCode();
}

void Tchqedit_frm::focusField(int field) {
    QWidget* w = nullptr;
    if (field > kAmountField && field <= kAmountField + kSlots)
        w = editDist_[field - kAmountField - 1];
    else if (field >= 1 && field <= kSlots)
        w = editAccnt_[field - 1];
    if (w && w->isEnabled()) {
        w->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->selectAll();
    }
}

void Tchqedit_frm::showPage(int page) {
    pages_->setCurrentWidget(page == DistributionPage ? tabDistribution_ : tabGeneral_);
}

void Tchqedit_frm::showMessage(int index, bool plain) {
    const QString text = messages_->message(index);
    if (plain) {
        QMessageBox box(QMessageBox::NoIcon, windowTitle(), text, QMessageBox::Ok, this);
        box.exec();
    } else {
        QMessageBox::information(this, windowTitle(), text, QMessageBox::Ok);
    }
}

bool Tchqedit_frm::confirm(int message, const std::string& detail) {
    QString text = messages_->message(message);
    if (text.isEmpty()) text = QStringLiteral("Delete %1?");
    if (text.contains(QLatin1String("%1"))) text = text.arg(QString::fromStdString(detail));
    return forms::askDestructive(*this, text);
}

void Tchqedit_frm::showTotal() {
    if (!dm_.isOpen()) return;
    Cursor& h = dm_.header();
    Money sum;
    if (h.state() != Cursor::State::Browse || h.hasRow())
        for (int slot = 1; slot <= kSlots; ++slot)
            sum += h.money(slotName("Apchqh_dist", slot));
    editTotal_->setText(forms::DisplayFormat::money(sum));
}

void Tchqedit_frm::reload() {
    if (binder_) binder_->load();
    showTotal();
    navigator_->updateButtons();
    refreshLines();
    if (editing()) lockSupplierCode();
}

void Tchqedit_frm::showRecord() {
    linesStale_ = true;
    refreshLines();
    selectBank();
    switchCurrencySign();
}

void Tchqedit_frm::newRecordChoices() {
    comboBank_->setCurrentIndex(comboBank_->count() ? 0 : -1);
}

// The work table follows the entry shown. While the header's store holds
// the write lock the copy waits for the reload that follows the commit.
void Tchqedit_frm::refreshLines() {
    if (!linesStale_ || !dm_.isOpen() || dm_.database().writing()) return;
    linesStale_ = false;
    if (dm_.header().state() == Cursor::State::Browse) dm_.editor().loadLines();
    lineModel_->reload();
}

void Tchqedit_frm::selectBank() {
    if (!dm_.isOpen()) return;
    Cursor& h = dm_.header();
    const bool any = h.state() != Cursor::State::Browse || h.hasRow();
    comboBank_->setCurrentIndex(
        any ? dm_.editor().settings().bankPosition(static_cast<std::int32_t>(h.integer("Apchqh_accnt2")))
            : -1);
}

void Tchqedit_frm::switchCurrencySign() {
    if (!dm_.isOpen()) return;
    core::RegionalSettings s = regional_;
    s.currencySymbol = dm_.editor().settings().sign(dm_.editor().currency(), regional_.currencySymbol);
    core::RegionalSettings::setCurrent(s);
    if (binder_) binder_->load();
    lineModel_->reload();
}

// ------------------------------------------------------------------ user actions

void Tchqedit_frm::linesChanged() {
    if (binder_) binder_->load();
    lockSupplierCode();
}

void Tchqedit_frm::lineRefused(int row, int column, int message) {
    showMessage(message, plainMessage(message));
    const int toColumn =
        message == kMsgNegativeAmount || message == kMsgBadNumber ? column : LineGridModel::Invoice;
    grid_->setFocus();
    grid_->setCurrentIndex(lineModel_->index(std::min(row, lineModel_->rowCount() - 1), toColumn));
}

void Tchqedit_frm::pageChanged(int index) {
    if (!dm_.isOpen() || index != pages_->indexOf(tabDistribution_) || !editing()) return;
    commitGridEdit();
    if (dm_.editor().recomputePending()) {
        dm_.editor().recomputeDistribution();
        reload();
    }
    lockSupplierCode();
}

void Tchqedit_frm::commitGridEdit() {
    // Moving the focus off the cell's editor stores what was typed in it.
    QWidget* focus = QApplication::focusWidget();
    if (focus && focus != grid_ && grid_->isAncestorOf(focus)) grid_->setFocus();
    QApplication::sendPostedEvents();
}

void Tchqedit_frm::supplierExit() {
    if (!editing() || !editSupplier_ || editSupplier_->isReadOnly()) return;
    const QString code = editSupplier_->text().trimmed();
    const int message = dm_.editor().supplierExit(code.toStdString(), supplierBefore_.toStdString());
    reload();
    if (message != kNoMessage) {
        showMessage(message, plainMessage(message));
        editSupplier_->setFocus();
        return;
    }
    supplierBefore_ = code;
    selectBank();
    switchCurrencySign();
    lockSupplierCode();
}

void Tchqedit_frm::slotAccountExit(int slot) {
    if (!editing()) return;
    const int message = dm_.editor().slotAccountExit(slot);
    if (message == kNoMessage) return;
    reload();
    showMessage(message, plainMessage(message));
    pages_->setCurrentWidget(tabDistribution_);
    editAccnt_[slot - 1]->setFocus();
}

void Tchqedit_frm::bankChosen(int index) {
    if (!editing()) return;
    dm_.editor().bankChosen(index);
    reload();
    switchCurrencySign();
}

void Tchqedit_frm::deleteCurrentLine() {
    if (!editing()) return;
    const std::int64_t id = lineModel_->rowIdAt(grid_->currentIndex().row());
    if (!id) return;
    dm_.editor().deleteLine(id);
    lineModel_->reload();
    linesChanged();
}

void Tchqedit_frm::showInvoiceList(const QString& choose) {
    if (!editing() || !dm_.editor().hasSupplier()) return;
    commitGridEdit();
    ChequeEntryEditor& e = dm_.editor();
    e.buildInvoiceList();

    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("Tinvlist_frm"));
    dialog.setWindowTitle(QStringLiteral("List of invoices"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* view = new QTableView(&dialog);
    view->setObjectName(QStringLiteral("GridInvoices"));
    forms::CursorTableModel model(e.invoiceList(), {{"Car_invoice", QStringLiteral("Invoice")},
                                                    {"Car_date", QStringLiteral("Date")},
                                                    {"Car_du_date", QStringLiteral("Due date")},
                                                    {"Car_amount", QStringLiteral("Amount")}});
    view->setModel(&model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    view->setMinimumSize(460, 240);
    layout->addWidget(view);
    auto* close = new QPushButton(QStringLiteral("Close"), &dialog);
    close->setObjectName(QStringLiteral("BtnClose"));
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(close);
    layout->addLayout(row);
    connect(close, &QPushButton::clicked, &dialog, &QDialog::reject);
    try {
        forms::ModuleStartup(link_).translate(dialog, recurring() ? "chqrecur" : "chqedit");
    } catch (const EngineError&) {
    }

    auto pick = [&](const QString& invoice) {
        const LineResult r = e.chooseInvoice(invoice.toStdString());
        if (r.message != kNoMessage) {
            showMessage(r.message, plainMessage(r.message));
            return;
        }
        if (!r.accepted) return;
        lineModel_->reload();
        linesChanged();
        grid_->setCurrentIndex(lineModel_->index(lineModel_->rowOf(r.rowId), LineGridModel::Amount));
        dialog.accept();
    };
    auto pickRow = [&](const QModelIndex& index) {
        if (!index.isValid() || !model.moveCursorTo(index.row())) return;
        pick(QString::fromStdString(e.invoiceList().str("Car_invoice")));
    };
    connect(view, &QTableView::activated, &dialog, pickRow);
    if (!choose.isEmpty()) {
        pick(choose);
        return;
    }
    dialog.exec();
}

// ------------------------------------------------------------------ look-ups

void Tchqedit_frm::pickSupplier() {
    if (!editing() || !editSupplier_ || dm_.editor().lineCount() > 0) return;
    const std::string code = core::pickText(link_.ProgramDir.str(), "supplierpicker", "PickSupplier", link_);
    if (!code.empty()) {
        dm_.header().set("Apchqh_fou", code);
        editSupplier_->setText(QString::fromStdString(code));
        supplierExit();
    }
    editSupplier_->setFocus();
}

void Tchqedit_frm::pickPayee() {
    if (!editing()) return;
    const std::string code = core::pickText(link_.ProgramDir.str(), "supplierpicker", "PickSupplier", link_);
    if (!code.empty() && dm_.editor().copyPayee(code)) reload();
    editName_->setFocus();
}

void Tchqedit_frm::pickAccount(int slot) {
    if (!editing() || slot < 4) return;
    const std::int32_t account =
        core::pickNumber(link_.ProgramDir.str(), "accountpicker", "PickAccount", link_);
    if (account != 0) {
        dm_.header().set(slotName("Apchqh_accnt", slot), account);
        reload();
    }
    editAccnt_[slot - 1]->setFocus();
}

void Tchqedit_frm::quickLink() {
    core::pickNumber(link_.ProgramDir.str(), "jumplink", "QuickLink", link_);
    if (errorHandler_) errorHandler_->install();
}

void Tchqedit_frm::printWindow() {
    forms::printScreen(*this, core::toQString(link_.PrinterIndex));
}

void Tchqedit_frm::help() {
    forms::openHelp(helpPath_, recurring() ? kRecurringHelp : kEntriesHelp, link_.Language, this);
}

// ------------------------------------------------------------------ closing

void Tchqedit_frm::quit() {
    quitting_ = true;
    if (dm_.isOpen()) {
        if (moveListener_ >= 0) dm_.header().removeMoveListener(moveListener_);
        moveListener_ = -1;
        navigator_->setCursor(nullptr);
        lineModel_->setEditor(nullptr);
        lineModel_->reload();
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

void Tchqedit_frm::reject() {
    // Escape cancels an edit (asking when the header was changed) and never
    // leaves the window; "Exit" and the close box do.
    if (maint_ && maint_->editing()) maint_->cancelAsking(kMsgDiscardChanges);
}

void Tchqedit_frm::closeEvent(QCloseEvent* event) {
    if (!quitting_) {
        quit();
        event->accept();
        return;
    }
    QDialog::closeEvent(event);
}

// ------------------------------------------------------------------ keys and focus

bool Tchqedit_frm::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusIn:
        if (watched == editSupplier_ && editing()) {
            supplierBefore_ = editSupplier_->text().trimmed();
            lockSupplierCode();
            if (editSupplier_->isReadOnly())
                statusBar_->showMessage(messages_->message(kMsgSupplierLocked), 6000);
        }
        break;
    case QEvent::FocusOut: {
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (!edit || !dm_.isOpen() || quitting_ || !editing()) break;
        QWidget* next = QApplication::focusWidget();
        if (!next || next->window() != this || next == btnQuit_ || next == btnHelp_) break;
        if (edit == editSupplier_ && next != btnSupplier_) {
            QTimer::singleShot(0, this, [this] { supplierExit(); });
            break;
        }
        for (int slot = 3; slot <= kSlots; ++slot)
            if (edit == editAccnt_[slot - 1] && !skipAccountCheck_.count(next))
                QTimer::singleShot(0, this, [this, slot] { slotAccountExit(slot); });
        break;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & Qt::AltModifier) break;
        if ((key->modifiers() & Qt::ControlModifier) && key->key() == Qt::Key_Delete &&
            (watched == grid_ || grid_->isAncestorOf(qobject_cast<QWidget*>(watched)))) {
            deleteCurrentLine();
            return true;
        }
        if (key->modifiers() & Qt::ControlModifier) break;
        return handleKey(watched, key->key());
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

bool Tchqedit_frm::handleKey(QObject* watched, int key) {
    if (!maint_) return false;
    if (errorHandler_ && errorHandler_->errorFlag()) {
        // The first key after a database error keeps its usual meaning.
        errorHandler_->clearErrorFlag();
        return false;
    }
    if (browsing()) {
        const auto action = forms::browseAction(key);
        if (action) navigator_->trigger(*action);
        return action.has_value();
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    const bool inGrid = widget && (widget == grid_ || grid_->isAncestorOf(widget));
    if (inGrid) {
        // Esc does not leave the grid (a cell's own editor still takes it back).
        if (key == Qt::Key_Escape) return watched == grid_;
        if (key == Qt::Key_F2 && !recurring() && grid_->currentIndex().column() == LineGridModel::Invoice) {
            showInvoiceList();
            return true;
        }
        return false;
    }
    if (key == Qt::Key_F2) {
        if (watched == editSupplier_)
            pickSupplier();
        else if (watched == editName_)
            pickPayee();
        else {
            for (int slot = 4; slot <= kSlots; ++slot)
                if (watched == editAccnt_[slot - 1]) pickAccount(slot);
        }
        return true;
    }
    if (!maint_->inTransaction()) return false;
    if (watched == editSupplier_ && (key == Qt::Key_Return || key == Qt::Key_Enter)) return false;
    return forms::entryKey(*this, watched, key, nullptr);
}

} // namespace vm::chqedit
