#include "modules/vendmaint/ui/Tvendmaint_frm.h"

#include "common/core/ComponentCall.h"
#include "common/core/LinkStringQt.h"
#include "common/core/MasterRecordRules.h"
#include "common/core/TableOpenError.h"
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
#include "modules/vendmaint/ui/Tvendmaint_dm.h"

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

namespace vm::vendmaint {

using namespace forms::build;

Tvendmaint_frm::Tvendmaint_frm(core::TLinkSection& link, Tvendmaint_dm& dm, QWidget* parent)
    : QDialog(parent), link_(link), dm_(dm) {
    setObjectName(QStringLiteral("Tvendmaint_frm"));
    setWindowTitle(QStringLiteral("Maintenance of suppliers"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    build();
}

Tvendmaint_frm::~Tvendmaint_frm() {
    if (moveListener_ >= 0 && dm_.isOpen()) dm_.sup().removeMoveListener(moveListener_);
}

// ------------------------------------------------------------------ layout

void Tvendmaint_frm::build() {
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

    connect(btnSearch_, &QToolButton::clicked, this, &Tvendmaint_frm::searchSupplier);
    connect(btnTerr_, &QToolButton::clicked, this, &Tvendmaint_frm::pickTerritory);
    for (int i = 0; i < 3; ++i)
        connect(btnAccnt_[i], &QToolButton::clicked, this, [this, i] { pickAccount(i + 1); });
    connect(btnQuit_, &QPushButton::clicked, this, &Tvendmaint_frm::quit);
    connect(btnHelp_, &QPushButton::clicked, this, &Tvendmaint_frm::help);
    connect(btnEmail_, &QPushButton::clicked, this, &Tvendmaint_frm::sendMail);
    connect(btnQuickLink_, &QPushButton::clicked, this, &Tvendmaint_frm::quickLink);
    connect(btnPrint_, &QPushButton::clicked, this, &Tvendmaint_frm::printWindow);
    connect(editCode_, &QLineEdit::textEdited, this, [this] {
        if (maint_) maint_->codeEdited();
    });
    connect(editCode_, &QLineEdit::returnPressed, this, [this] {
        if (maint_ && maint_->codeExitPending()) codeExit();
    });
    forms::addPostShortcut(*this, *navigator_);
    forms::makeDisabledFieldsReadable(*this);
    skipAccountCheck_ = {btnQuit_, btnHelp_, btnAccnt_[0], btnAccnt_[1], btnAccnt_[2], btnTerr_};
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
}

QWidget* Tvendmaint_frm::buildGeneralPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabGeneral"));
    auto* g = new QGridLayout(page);
    editCode_ = line(page, "EditCode", 12);
    btnSearch_ = lookupButton(page, "BtnSearch", "List of suppliers");
    put(g, 0, 0, label(page, "LabelCode", "Supplier code"), editCode_, btnSearch_);
    editName_ = line(page, "EditName");
    g->addWidget(label(page, "LabelName", "Supplier name"), 1, 0);
    g->addWidget(editName_, 1, 1, 1, 3);

    auto* addr = new QGroupBox(QStringLiteral("Supplier address"), page);
    addr->setObjectName(QStringLiteral("GroupAddress"));
    auto* a = new QGridLayout(addr);
    put(a, 0, 0, label(addr, "LabelAdr1", "Address line 1"), line(addr, "EditAdr1"));
    put(a, 1, 0, label(addr, "LabelAdr2", "Address line 2"), line(addr, "EditAdr2"));
    put(a, 2, 0, label(addr, "LabelCity", "City"), line(addr, "EditCity"));
    put(a, 3, 0, label(addr, "LabelProv", "Province/State"), line(addr, "EditProv"));
    editCountry_ = line(addr, "EditCountry");
    put(a, 4, 0, label(addr, "LabelCountry", "Country"), editCountry_);
    editPostal_ = line(addr, "EditPostal", 12);
    put(a, 5, 0, label(addr, "LabelPostal", "Postal code"), editPostal_);
    g->addWidget(addr, 2, 0, 1, 4);

    put(g, 3, 0, label(page, "LabelTel", "Telephone number"), line(page, "EditTel", 18));
    put(g, 3, 2, label(page, "LabelFax", "Fax number"), line(page, "EditFax", 18));
    put(g, 4, 0, label(page, "LabelContact", "Contact name"), line(page, "EditContact"));
    put(g, 4, 2, label(page, "LabelContactTel", "Telephone"), line(page, "EditContactTel", 18));
    editEmail_ = line(page, "EditEmail");
    g->addWidget(label(page, "LabelEmail", "E-mail address"), 5, 0);
    g->addWidget(editEmail_, 5, 1, 1, 3);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    g->setRowStretch(6, 1);
    return page;
}

QWidget* Tvendmaint_frm::buildControlPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabControl"));
    auto* g = new QGridLayout(page);
    int r = 0;
    put(g, r, 0, label(page, "LabelLanguage", "Supplier language"), line(page, "EditLanguage", 3));
    editDateCreated_ = line(page, "EditDateCreated", 12);
    put(g, r++, 2, label(page, "LabelDateCreated", "Date created"), editDateCreated_);
    editTerr_ = line(page, "EditTerr", 6);
    editTerr_->setMaxLength(4);
    btnTerr_ = lookupButton(page, "BtnTerr", "List of territories");
    put(g, r, 0, label(page, "LabelTerr", "Territory code"), editTerr_, btnTerr_);
    put(g, r++, 2, label(page, "LabelDateLastPurch", "Date of last purchase"),
        line(page, "EditDateLastPurch", 12));
    put(g, r, 0, label(page, "LabelCreditLimit", "Credit limit"), line(page, "EditCreditLimit", 12));
    put(g, r++, 2, label(page, "LabelDateLastPmt", "Date of last payment"),
        line(page, "EditDateLastPmt", 12));
    put(g, r, 0, label(page, "LabelDueDays", "Number of due days"), line(page, "EditDueDays", 8));
    put(g, r++, 2, label(page, "LabelPurchMth", "Purchases month to date"), line(page, "EditPurchMth", 14));
    put(g, r, 0, label(page, "LabelPurchDiscount", "Purchase discount"), line(page, "EditPurchDiscount", 8));
    put(g, r++, 2, label(page, "LabelPurchYtd", "Purchases year to date"), line(page, "EditPurchYtd", 14));
    put(g, r, 0, label(page, "LabelPmtDiscount", "Payment discount"), line(page, "EditPmtDiscount", 8));
    comboCurrency_ = new QComboBox(page);
    comboCurrency_->setObjectName(QStringLiteral("ComboCurrency"));
    comboCurrency_->addItem(QStringLiteral("Default"));
    put(g, r++, 2, label(page, "LabelCurrency", "Currency"), comboCurrency_);
    // Made row by row, so that the tab order reads the page as it is laid out.
    for (int i = 0; i < 3; ++i) {
        const std::string n = std::to_string(i + 1);
        editAccnt_[i] = line(page, ("EditAccnt" + n).c_str(), 10);
        btnAccnt_[i] = lookupButton(page, ("BtnAccnt" + n).c_str(), "Chart of accounts");
        put(g, r + i, 0, label(page, ("LabelAccnt" + n).c_str(), ("Purchase account " + n).c_str()),
            editAccnt_[i], btnAccnt_[i]);
        if (i == 0) {
            comboBank_ = new QComboBox(page);
            comboBank_->setObjectName(QStringLiteral("ComboBank"));
            comboBank_->setMinimumContentsLength(18);
            put(g, r, 2, label(page, "LabelBank", "Bank account"), comboBank_);
        } else if (i == 1) {
            spinCopies_ = new QSpinBox(page);
            spinCopies_->setObjectName(QStringLiteral("SpinCopies"));
            spinCopies_->setRange(1, 10);
            spinCopies_->setMaximumWidth(70);
            put(g, r + 1, 2, label(page, "LabelCopies", "# Copies of purchase orders"), spinCopies_);
        }
    }
    r += 3;
    auto* boxes = new QGroupBox(page);
    boxes->setObjectName(QStringLiteral("GroupOptions"));
    auto* b = new QHBoxLayout(boxes);
    auto* po = new QCheckBox(QStringLiteral("P.O. required"), boxes);
    po->setObjectName(QStringLiteral("CheckPoReq"));
    auto* mail = new QCheckBox(QStringLiteral("E-mail purchase orders"), boxes);
    mail->setObjectName(QStringLiteral("CheckEmailPo"));
    b->addWidget(po);
    b->addWidget(mail);
    b->addStretch(1);
    g->addWidget(boxes, r++, 0, 1, 4);
    g->setColumnStretch(1, 1);
    g->setColumnStretch(3, 1);
    g->setRowStretch(r, 1);
    return page;
}

QWidget* Tvendmaint_frm::buildCommentsPage() {
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabComments"));
    auto* v = new QVBoxLayout(page);
    auto* group = new QGroupBox(QStringLiteral("Comments"), page);
    group->setObjectName(QStringLiteral("GroupComments"));
    auto* gv = new QVBoxLayout(group);
    memoComments_ = new QPlainTextEdit(group);
    memoComments_->setObjectName(QStringLiteral("MemoComments"));
    gv->addWidget(memoComments_);
    v->addWidget(group);
    return page;
}

void Tvendmaint_frm::bindFields() {
    binder_ = std::make_unique<forms::FieldBinder>(dm_.sup(), this);
    binder_->setLanguage(link_.Language);
    const std::pair<const char*, const char*> texts[] = {
        {"EditCode", "Sup_code"},
        {"EditName", "Sup_name"},
        {"EditAdr1", "Sup_adr1"},
        {"EditAdr2", "Sup_adr2"},
        {"EditCity", "Sup_city"},
        {"EditProv", "Sup_prov"},
        {"EditCountry", "Sup_country"},
        {"EditPostal", "Sup_postal_code"},
        {"EditTel", "Sup_tel"},
        {"EditFax", "Sup_fax"},
        {"EditContact", "Sup_contact"},
        {"EditContactTel", "Sup_contact_tel"},
        {"EditEmail", "Sup_email"},
        {"EditLanguage", "Sup_language"},
        {"EditTerr", "Sup_terr"},
        {"EditDateCreated", "Sup_date_created"},
        {"EditDateLastPurch", "Sup_date_last_purch"},
        {"EditDateLastPmt", "Sup_date_last_pmt"},
        {"EditCreditLimit", "Sup_credit_limit"},
        {"EditDueDays", "Sup_du_days"},
        {"EditPurchDiscount", "Sup_purch_discount"},
        {"EditPmtDiscount", "Sup_pmt_discount"},
        {"EditPurchMth", "Sup_purch_mth"},
        {"EditPurchYtd", "Sup_purch_ytd"},
        {"EditAccnt1", "Sup_accnt1"},
        {"EditAccnt2", "Sup_accnt2"},
        {"EditAccnt3", "Sup_accnt3"},
    };
    for (const auto& [name, field] : texts)
        binder_->bindText(findChild<QLineEdit*>(QLatin1String(name)), field);
    editTerr_->setMaxLength(4);
    binder_->bindCheck(findChild<QCheckBox*>(QStringLiteral("CheckPoReq")), "Sup_po_req");
    binder_->bindCheck(findChild<QCheckBox*>(QStringLiteral("CheckEmailPo")), "Sup_email_po");
    binder_->bindMemo(memoComments_, "Sup_comments");

    dataControls_.clear();
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w == editCode_ || w == btnSearch_) continue;
        const bool onPage =
            tabGeneral_->isAncestorOf(w) || tabControl_->isAncestorOf(w) || tabComments_->isAncestorOf(w);
        if (onPage && (forms::isDataEntry(w) || qobject_cast<QPlainTextEdit*>(w) ||
                       qobject_cast<QToolButton*>(w) || qobject_cast<QGroupBox*>(w)))
            dataControls_.push_back(w);
    }
}

// ------------------------------------------------------------------ start-up

void Tvendmaint_frm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) QTimer::singleShot(0, this, [this] { startUp(); });
}

bool Tvendmaint_frm::startUp() {
    if (started_) return dm_.isOpen();
    started_ = true;
    forms::ModuleStartup startup(link_);
    try {
        startup.translate(*this, "vendmaint");
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
        dm_.open(startup.companyDirectory());
    } catch (const core::TableOpenError& e) {
        startup.reportTableOpenError(*this, e.table());
        return false;
    }

    bindFields();
    navigator_->setCursor(&dm_.sup());
    navigator_->setDeleteQuestion({}); // asked by the controller, naming the supplier
    startMaintenance();
    moveListener_ = dm_.sup().addMoveListener([this] { maint_->afterScroll(); });
    forms::upperCaseWhile(*editPostal_,
                          [this] { return core::isCanada(editCountry_->text().toStdString()); });
    forms::assignAccessKeys(*this);

    fillLists();
    maint_->start();

    btnQuickLink_->setEnabled(!forms::quickLinkOpen());
    btnSearch_->setEnabled(!pickerWindowOpen());
    return true;
}

void Tvendmaint_frm::applyTerminology() {
    if (link_.Language == 1 && forms::ModuleStartup::international())
        forms::ModuleStartup::setTexts(*this, {{QStringLiteral("LabelProv"), QStringLiteral("State")},
                                               {QStringLiteral("LabelPostal"), QStringLiteral("Zip code")}});
}

void Tvendmaint_frm::fillLists() {
    const SupplierControl& c = dm_.tables().control();
    // The first entry (the company's own currency) keeps its translated name.
    const QString home = comboCurrency_->count() ? comboCurrency_->itemText(0) : QStringLiteral("Default");
    comboCurrency_->clear();
    comboCurrency_->addItem(home);
    for (const auto& n : c.currencyChoices())
        comboCurrency_->addItem(QString::fromStdString(n));
    comboBank_->clear();
    for (const auto& bank : c.banks)
        comboBank_->addItem(QString::fromStdString(bank.description));
}

// ------------------------------------------------------------------ states

bool Tvendmaint_frm::browsing() const {
    return !maint_ || maint_->browsing();
}

bool Tvendmaint_frm::editing() const {
    return maint_ && maint_->editing();
}

void Tvendmaint_frm::setDataControls(bool on) {
    for (QWidget* w : dataControls_)
        w->setEnabled(on);
}

void Tvendmaint_frm::setCodeField(bool open, bool searchEnabled) {
    editCode_->setEnabled(open);
    btnSearch_->setEnabled(searchEnabled && !pickerWindowOpen());
}

void Tvendmaint_frm::focusCode() {
    editCode_->setFocus();
    editCode_->selectAll();
}

void Tvendmaint_frm::focusName() {
    editName_->setFocus();
}

void Tvendmaint_frm::focusField(int field) {
    if (QWidget* w = fieldWidget(static_cast<SupplierField>(field))) {
        w->setEnabled(true);
        w->setFocus();
    }
}

bool Tvendmaint_frm::pickerWindowOpen() const {
    return forms::windowOpen(messages_->message(kMsgPickerCaption));
}

void Tvendmaint_frm::showMessage(int index, bool) {
    QMessageBox::information(this, windowTitle(), messages_->message(index), QMessageBox::Ok);
}

bool Tvendmaint_frm::confirm(int message, const std::string& detail) {
    QString text = messages_->message(message);
    if (text.isEmpty()) text = QStringLiteral("Delete %1?");
    if (text.contains(QLatin1String("%1"))) text = text.arg(QString::fromStdString(detail));
    return forms::askDestructive(*this, text);
}

QWidget* Tvendmaint_frm::fieldWidget(SupplierField field) const {
    switch (field) {
    case SupplierField::Code:
        return editCode_;
    case SupplierField::Email:
        return editEmail_;
    case SupplierField::Account1:
        return editAccnt_[0];
    case SupplierField::Account2:
        return editAccnt_[1];
    case SupplierField::Account3:
        return editAccnt_[2];
    case SupplierField::PostalCode:
        return editPostal_;
    }
    return editCode_;
}

void Tvendmaint_frm::showPage(int page) {
    const auto p = static_cast<SupplierPage>(page);
    pages_->setCurrentWidget(p == SupplierPage::General   ? tabGeneral_
                             : p == SupplierPage::Control ? tabControl_
                                                          : tabComments_);
}

// ------------------------------------------------------------------ the record

void Tvendmaint_frm::startMaintenance() {
    forms::MaintenanceSpec spec;
    spec.codeField = "Sup_code";
    spec.nameField = "Sup_name";
    spec.createdField = "Sup_date_created";
    spec.generalPage = static_cast<int>(SupplierPage::General);
    spec.codeNotFoundMessage = kMsgCodeNotFound;
    spec.deleteRefusedMessage = kMsgHasPayables;
    spec.deleteQuestion = kMsgDeleteNamed;

    SupplierRules& r = dm_.rules();
    forms::MaintenanceRules rules;
    rules.exists = [&r](const std::string& code) { return r.supplierExists(code); };
    rules.newRecordDefaults = [&r](Cursor& row) { r.applyNewSupplierDefaults(row); };
    rules.hasLedgerRows = [&r](const std::string& code) { return r.hasPayables(code); };
    rules.postRefusal = [this, &r](Cursor& row) -> std::optional<forms::MaintenanceRefusal> {
        SupplierPostInputs in;
        in.codeFieldOpen = editCode_->isEnabled();
        in.bankPosition = comboBank_->currentIndex();
        in.currencyPosition = comboCurrency_->currentIndex();
        in.copies = spinCopies_->value();
        in.user = link_.LoginUser.str();
        const auto refusal = r.checkBeforePost(row, in);
        if (!refusal) return std::nullopt;
        return forms::MaintenanceRefusal{refusal->message, static_cast<int>(refusal->field),
                                         static_cast<int>(refusal->page)};
    };
    forms::MaintenanceView& view = *this;
    maint_ = std::make_unique<forms::RecordMaintenance>(dm_.editTransaction(), dm_.sup(), std::move(spec),
                                                        std::move(rules), view);
    forms::wireNavigator(*navigator_, *maint_);
}

void Tvendmaint_frm::newRecordChoices() {
    comboBank_->setCurrentIndex(comboBank_->count() ? 0 : -1);
    comboCurrency_->setCurrentIndex(0);
    spinCopies_->setValue(dm_.tables().control().orderCopies);
}

void Tvendmaint_frm::showRecord() {
    Cursor& row = dm_.sup();
    if (row.state() == Cursor::State::Insert) {
        // A new supplier keeps the choices just made for it.
        switchCurrencySign();
        return;
    }
    selectLists();
    if (row.state() == Cursor::State::Browse)
        spinCopies_->setValue(static_cast<int>(row.integer("Sup_copies")));
}

void Tvendmaint_frm::selectLists() {
    Cursor& row = dm_.sup();
    const bool any = row.state() != Cursor::State::Browse || row.hasRow();
    const auto currency = any ? row.integer("Sup_currency") : 0;
    comboCurrency_->setCurrentIndex(
        currency >= 0 && currency < comboCurrency_->count() ? static_cast<int>(currency) : -1);
    comboBank_->setCurrentIndex(
        any ? dm_.tables().control().bankPosition(static_cast<int>(row.integer("Sup_bank_account"))) : -1);
    switchCurrencySign();
}

void Tvendmaint_frm::switchCurrencySign() {
    core::RegionalSettings s = regional_;
    s.currencySymbol =
        dm_.tables().control().currencySign(comboCurrency_->currentIndex(), regional_.currencySymbol);
    core::RegionalSettings::setCurrent(s);
}

void Tvendmaint_frm::reload() {
    if (binder_) binder_->load();
    navigator_->updateButtons();
    if (browsing()) editCode_->selectAll();
}

void Tvendmaint_frm::postalExit() {
    const std::string text = editPostal_->text().toStdString();
    if (!editing() || !editPostal_->isEnabled() || core::blankText(text)) return;
    if (core::isCanada(editCountry_->text().toStdString()) && !core::canadianPostalCode(text)) {
        showMessage(kMsgPostalCodeForm, false);
        editPostal_->setFocus();
        editPostal_->selectAll();
    }
}

void Tvendmaint_frm::accountExit(QLineEdit* edit) {
    if (!editing() || !edit->isEnabled()) return;
    if (dm_.rules().accountExit(edit->text().toStdString()) != kNoMessage) {
        showMessage(kMsgAccountNotFound, false);
        edit->setFocus();
        edit->selectAll();
    }
}

// ------------------------------------------------------------------ look-ups

void Tvendmaint_frm::searchSupplier() {
    if (!maint_ || !browsing()) return;
    // The picker lists every supplier whatever the user's detail level.
    const auto detail = link_.UserDetail;
    link_.UserDetail = 0;
    const std::string code = core::pickText(link_.ProgramDir.str(), "supplierpicker", "PickSupplier", link_);
    link_.UserDetail = detail;
    if (!code.empty() && dm_.sup().findKey({Value(code)})) maint_->afterScroll();
    editCode_->setFocus();
    editCode_->selectAll();
}

void Tvendmaint_frm::pickTerritory() {
    if (!editing()) return;
    const std::string code =
        core::pickText(link_.ProgramDir.str(), "vendterritorypicker", "PickVendTerritory", link_);
    if (!code.empty()) {
        dm_.sup().set("Sup_terr", code);
        reload();
    }
    editTerr_->setFocus();
}

void Tvendmaint_frm::pickAccount(int n) {
    if (!editing()) return;
    const std::int32_t account =
        core::pickNumber(link_.ProgramDir.str(), "accountpicker", "PickAccount", link_);
    if (account != 0) {
        dm_.sup().set("Sup_accnt" + std::to_string(n), account);
        reload();
    }
    editAccnt_[n - 1]->setFocus();
}

void Tvendmaint_frm::quickLink() {
    core::pickNumber(link_.ProgramDir.str(), "jumplink", "QuickLink", link_);
    if (errorHandler_) errorHandler_->install();
}

void Tvendmaint_frm::sendMail() {
    if (dm_.isOpen()) forms::openMail(QString::fromStdString(dm_.sup().str("Sup_email")));
}

void Tvendmaint_frm::printWindow() {
    forms::printScreen(*this, core::toQString(link_.PrinterIndex));
}

void Tvendmaint_frm::help() {
    forms::openHelp(helpPath_, kHelpContext, link_.Language, this);
}

// ------------------------------------------------------------------ closing

void Tvendmaint_frm::quit() {
    quitting_ = true;
    if (dm_.isOpen()) {
        if (moveListener_ >= 0) dm_.sup().removeMoveListener(moveListener_);
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

void Tvendmaint_frm::reject() {
    // Escape cancels an edit (asking when something was changed) and never
    // leaves the window; "Quitter" and the close box do.
    if (maint_ && maint_->editing()) maint_->cancelAsking(kMsgDiscardChanges);
}

void Tvendmaint_frm::closeEvent(QCloseEvent* event) {
    if (!quitting_) {
        quit();
        event->accept();
        return;
    }
    QDialog::closeEvent(event);
}

// ------------------------------------------------------------------ keys and focus

bool Tvendmaint_frm::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusOut: {
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (!edit || !dm_.isOpen() || quitting_) break;
        QWidget* next = QApplication::focusWidget();
        if (edit == editCode_) {
            if (next != btnQuit_ && next != btnSearch_ && maint_ && maint_->codeExitPending() &&
                !edit->text().isEmpty())
                QTimer::singleShot(0, this, [this] { codeExit(); });
            break;
        }
        const bool account = edit == editAccnt_[0] || edit == editAccnt_[1] || edit == editAccnt_[2];
        if (account && next && next->window() == this && !skipAccountCheck_.count(next))
            QTimer::singleShot(0, this, [this, edit] { accountExit(edit); });
        if (edit == editPostal_ && next && next->window() == this && next != btnQuit_ && next != btnHelp_)
            QTimer::singleShot(0, this, [this] { postalExit(); });
        break;
    }
    case QEvent::FocusIn:
        if (watched == editDateCreated_ && maint_) maint_->enteredCreatedField();
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

bool Tvendmaint_frm::handleKey(QObject* watched, int key) {
    if (!maint_) return false;
    if (errorHandler_ && errorHandler_->errorFlag()) {
        // The first key after a database error keeps its usual meaning.
        errorHandler_->clearErrorFlag();
        return false;
    }
    if (browsing()) {
        if (key == Qt::Key_F2) {
            searchSupplier();
            return true;
        }
        const auto action = forms::browseAction(key);
        if (action) navigator_->trigger(*action);
        return action.has_value();
    }
    if (key == Qt::Key_F2) {
        if (watched == editTerr_)
            pickTerritory();
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

void Tvendmaint_frm::codeExit() {
    if (maint_) maint_->codeExit(editCode_->text().toStdString());
}

} // namespace vm::vendmaint
