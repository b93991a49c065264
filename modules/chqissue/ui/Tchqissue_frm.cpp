#include "modules/chqissue/ui/Tchqissue_frm.h"

#include "common/core/ComponentCall.h"
#include "common/core/LinkStringQt.h"
#include "common/core/RegionalSettings.h"
#include "common/forms/DisplayFormat.h"
#include "common/forms/HelpLauncher.h"
#include "common/forms/LanguageTable.h"
#include "common/forms/MessageList.h"
#include "common/forms/ModuleStartup.h"
#include "common/forms/ScreenPrinter.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/Session.h"
#include "modules/chqissue/core/ChequeListReport.h"
#include "report/ExportDialog.h"
#include "report/ReportDocument.h"
#include "report/ReportPreviewDialog.h"
#include "report/ReportPrinter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <memory>

namespace vm::chqissue {

namespace {
constexpr const char* kAlias = "chqissuedb";
constexpr int kHelpContext = 308;

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}
QCheckBox* check(QWidget* parent, const char* name, const QString& text, bool on = false) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(name);
    c->setChecked(on);
    return c;
}
} // namespace

Tchqissue_frm::Tchqissue_frm(core::TLinkSection& link, QWidget* parent) : QDialog(parent), link_(link) {
    setObjectName("Tchqissue_frm");
    build();
}

Tchqissue_frm::~Tchqissue_frm() = default;

void Tchqissue_frm::build() {
    setWindowTitle("List of cheques to be issued");
    auto* outer = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName("PageControl1");
    auto* page = new QWidget(tabs);
    page->setObjectName("TabGeneral");
    tabs->addTab(page, "General");
    outer->addWidget(tabs);

    auto* grid = new QGridLayout(page);
    grid->setHorizontalSpacing(10);
    int row = 0;
    auto dateEdit = [&](const char* name) {
        auto* e = new QLineEdit(page);
        e->setObjectName(name);
        e->setInputMask(forms::DisplayFormat::dateInputMask());
        e->setMaximumWidth(110);
        e->installEventFilter(this);
        return e;
    };
    grid->addWidget(label(page, "LabelPrintDate", "Cheque printing date"), row, 0);
    editPrintDate_ = dateEdit("EditPrintDate");
    grid->addWidget(editPrintDate_, row++, 1, Qt::AlignLeft);
    grid->addWidget(label(page, "LabelDueDate", "Include transactions due up to this date"), row, 0);
    editDueDate_ = dateEdit("EditDueDate");
    grid->addWidget(editDueDate_, row++, 1, Qt::AlignLeft);

    grid->addWidget(label(page, "LabelBank", "Which bank account"), row, 0);
    comboBank_ = new QComboBox(page);
    comboBank_->setObjectName("ComboBank");
    comboBank_->installEventFilter(this);
    grid->addWidget(comboBank_, row++, 1);

    auto supplierEdit = [&](const char* name, const char* btnName) {
        auto* e = new QLineEdit(page);
        e->setObjectName(name);
        e->setMaxLength(10);
        e->installEventFilter(this);
        auto* box = new QHBoxLayout;
        box->setSpacing(4);
        box->addWidget(e);
        auto* b = new QPushButton("...", page);
        b->setObjectName(btnName);
        b->setToolTip("List of suppliers");
        b->setFixedWidth(28);
        b->setFocusPolicy(Qt::NoFocus);
        box->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, e] { pick(e); });
        return std::make_pair(e, box);
    };
    grid->addWidget(label(page, "LabelFrom", "From supplier"), row, 0);
    auto [from, fromBox] = supplierEdit("EditFrom", "BtnFrom");
    editFrom_ = from;
    grid->addLayout(fromBox, row++, 1);
    grid->addWidget(label(page, "LabelTo", "To supplier   "), row, 0);
    auto [to, toBox] = supplierEdit("EditTo", "BtnTo");
    editTo_ = to;
    grid->addLayout(toBox, row++, 1);

    grid->addWidget(label(page, "LabelSuppliers", "For which supplier(s)"), row, 0, Qt::AlignTop);
    auto* listBox = new QHBoxLayout;
    listSuppliers_ = new QListWidget(page);
    listSuppliers_->setObjectName("ListSuppliers");
    listSuppliers_->setMaximumHeight(90);
    listBox->addWidget(listSuppliers_);
    auto* listButtons = new QVBoxLayout;
    auto* add = new QPushButton("Add", page);
    add->setObjectName("BtnAdd");
    auto* remove = new QPushButton("Remove", page);
    remove->setObjectName("BtnRemove");
    for (auto* b : {add, remove}) {
        b->setAutoDefault(false);
        listButtons->addWidget(b);
    }
    listButtons->addStretch();
    listBox->addLayout(listButtons);
    grid->addLayout(listBox, row++, 1);
    connect(add, &QPushButton::clicked, this, [this] { addSupplier(); });
    connect(remove, &QPushButton::clicked, this, [this] { delete listSuppliers_->currentItem(); });

    checkNewList_ = check(page, "CheckNewList", "Do you wish to create a new list");
    checkPrintDialog_ = check(page, "CheckPrintDialog", "Display print dialog", true);
    checkRecurring_ = check(page, "CheckRecurring", "Include recurring cheques");
    checkRecurring_->setEnabled(false);
    for (auto* c : {checkNewList_, checkRecurring_, checkPrintDialog_}) {
        c->installEventFilter(this);
        grid->addWidget(c, row++, 0, 1, 2);
    }
    connect(checkNewList_, &QCheckBox::toggled, this, [this](bool on) { newListToggled(on); });
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);

    auto* buttons = new QHBoxLayout;
    const std::pair<const char*, const char*> defs[] = {{"BtnPrintScreen", "Print Screen"},
                                                        {"BtnExport", "Export"},
                                                        {"BtnPreview", "Preview"},
                                                        {"BtnPrint", "Print"},
                                                        {"BtnHelp", "Help"},
                                                        {"BtnExit", "Exit"}};
    for (auto [name, text] : defs) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        buttons_.push_back(b);
    }
    buttons_[0]->setToolTip("Print Screen");
    outer->addLayout(buttons);
    connect(buttons_[0], &QPushButton::clicked, this,
            [this] { forms::printScreen(*this, core::toQString(link_.PrinterIndex)); });
    connect(buttons_[1], &QPushButton::clicked, this, [this] { runReport(2); });
    connect(buttons_[2], &QPushButton::clicked, this, [this] { runReport(1); });
    connect(buttons_[3], &QPushButton::clicked, this, [this] { runReport(0); });
    connect(buttons_[4], &QPushButton::clicked, this, [this] {
        forms::ModuleStartup st(link_);
        forms::openHelp(st.helpPath(), kHelpContext, link_.Language, this);
    });
    connect(buttons_[5], &QPushButton::clicked, this, &QDialog::reject);

    statusBar_ = forms::ModuleStartup::makeStatusBar(this);
    outer->addWidget(statusBar_);
    messages_ = new forms::MessageList(this);
    resize(560, 500);
}

QString Tchqissue_frm::message(int i, const QString& fallback) const {
    QString m = messages_->message(i);
    return m.isEmpty() ? fallback : m;
}

void Tchqissue_frm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        startUp();
    }
}

void Tchqissue_frm::startUp() {
    forms::ModuleStartup st(link_);
    st.applyFallbacks();
    try {
        st.translate(*this, "chqissue");
    } catch (const std::exception&) {
        // A missing language table leaves the designed English texts.
    }
    reportTitle_.clear();
    if (link_.Language == 1 && forms::ModuleStartup::international()) {
        setWindowTitle("List of checks to be issued");
        forms::ModuleStartup::setTexts(*this, {{"CheckRecurring", "Include recurring checks"},
                                               {"LabelPrintDate", "Check printing date"}});
        QStringList lines = messages_->lines();
        while (lines.size() < 1)
            lines << QString();
        lines[0] =
            "There are already checks in the List of checks to be issued. If you continue they will be "
            "deleted.";
        messages_->setLines(lines);
        reportTitle_ = "Check edit report";
    }
    st.fillStatusBar(*statusBar_);
    st.pointAliases(kAlias);
    auto ctrl = st.openTable(kAlias, "ctrl", true, this);
    if (!ctrl || !st.openTable(kAlias, "sup", true, this) || !st.openTable(kAlias, "cap", true, this) ||
        !st.openTable(kAlias, "glm", true, this)) {
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return;
    }
    banks_ = chequeBanks(ctrl->database());
    comboBank_->clear();
    for (const auto& b : banks_)
        comboBank_->addItem(QString::fromStdString(b.description));
    comboBank_->setCurrentIndex(banks_.empty() ? -1 : 0);
    editPrintDate_->setText(forms::DisplayFormat::date(Date::today()));
    editDueDate_->setText(forms::DisplayFormat::date(Date::today()));
    checkNewList_->setFocus();
}

ListRequest Tchqissue_frm::request() const {
    ListRequest r;
    r.printingDate = forms::DisplayFormat::parseDate(editPrintDate_->text()).value_or(Date());
    r.dueBy = forms::DisplayFormat::parseDate(editDueDate_->text()).value_or(Date());
    const int b = comboBank_->currentIndex();
    r.bankAccount =
        b >= 0 && b < static_cast<int>(banks_.size()) ? banks_[static_cast<std::size_t>(b)].account : 0;
    r.fromSupplier = editFrom_->text().toStdString();
    r.toSupplier = editTo_->text().toStdString();
    for (int i = 0; i < listSuppliers_->count(); ++i)
        r.suppliers.push_back(listSuppliers_->item(i)->text().toStdString());
    r.includeRecurring = checkRecurring_->isEnabled() && checkRecurring_->isChecked();
    r.language = link_.Language;
    return r;
}

bool Tchqissue_frm::buildListIfAsked() {
    if (!checkNewList_->isChecked()) return true;
    try {
        ChequeListBuilder(Session::instance().database(kAlias)).build(request());
    } catch (const ListRefused&) {
        // A date that does not parse or no bank to draw on: nothing changed.
        QMessageBox::information(this, windowTitle(),
                                 message(2, "The cheque list needs two valid dates and a bank account."));
        return false;
    }
    return true;
}

report::ReportDocument Tchqissue_frm::layOut() {
    Database& db = Session::instance().database(kAlias);
    const auto& regional = core::RegionalSettings::current();
    ChequeReportSetup s;
    s.companyName = core::toQString(link_.CompanyName).toStdString();
    s.userName = core::toQString(link_.UserName).toStdString();
    s.dueBy = request().dueBy;
    s.currencySymbol = bankCurrencySign(db, request().bankAccount, regional.currencySymbol);
    s.symbolBefore = regional.symbolBefore();
    s.language = link_.Language;
    s.printedAt = printedAt_;
    std::unique_ptr<forms::LanguageTable> table;
    try {
        table =
            std::make_unique<forms::LanguageTable>("chqissue", core::toQString(link_.LangCode).toStdString());
    } catch (const std::exception&) {
    }
    const std::string title = reportTitle_.toStdString();
    s.caption = [&](const std::string& component) -> std::optional<std::string> {
        if (component == ChequeListReport::kFormName && !title.empty()) return title;
        if (component == "QRLabelDueBy" && messages_->count() > 1) return messages_->message(1).toStdString();
        if (table)
            if (auto e = table->find(ChequeListReport::kFormName, component)) return e->caption;
        return std::nullopt;
    };
    return ChequeListReport::layOut(db, s);
}

void Tchqissue_frm::setBusy(bool busy) {
    for (auto* b : buttons_)
        b->setEnabled(!busy);
}

void Tchqissue_frm::runReport(int action) {
    if (!buildListIfAsked()) return;
    setBusy(true);
    struct Enable {
        Tchqissue_frm* w;
        ~Enable() { w->setBusy(false); }
    } enable{this};
    report::ReportDocument doc = layOut();
    const int printer = core::toQString(link_.PrinterIndex).toInt();
    if (action == 0) {
        report::ReportPrinter::printAndTell(doc, printer, checkPrintDialog_->isChecked(), link_.Language,
                                            this);
    } else if (action == 1) {
        report::ReportPreviewDialog preview(std::move(doc), printer, link_.Language, this);
        preview.exec();
    } else {
        report::ExportDialog dialog(std::move(doc), link_.Language, this);
        if (dialog.exec() == QDialog::Accepted)
            QMetaObject::invokeMethod(this, &QDialog::accept, Qt::QueuedConnection);
    }
}

void Tchqissue_frm::newListToggled(bool on) {
    checkRecurring_->setEnabled(on);
    if (on && hasChequeEntries(Session::instance().database(kAlias))) messages_->inform(0, this);
}

void Tchqissue_frm::addSupplier() {
    auto code = core::callComponent<core::LinkString>(core::toQString(link_.ProgramDir).toStdString(),
                                                      "supplierpicker", "PickSupplier", link_);
    if (code && !core::toQString(*code).trimmed().isEmpty()) listSuppliers_->addItem(core::toQString(*code));
}

void Tchqissue_frm::pick(QLineEdit* target) {
    auto code = core::callComponent<core::LinkString>(core::toQString(link_.ProgramDir).toStdString(),
                                                      "supplierpicker", "PickSupplier", link_);
    if (code && !code->empty()) target->setText(core::toQString(*code));
    target->setFocus();
}

bool Tchqissue_frm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && (watched == editPrintDate_ || watched == editDueDate_)) {
        auto* edit = static_cast<QLineEdit*>(watched);
        // An invalid date keeps the focus, without a message.
        if (!forms::DisplayFormat::parseDate(edit->text()))
            QMetaObject::invokeMethod(edit, qOverload<>(&QWidget::setFocus), Qt::QueuedConnection);
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_F2 && (watched == editFrom_ || watched == editTo_)) {
            pick(static_cast<QLineEdit*>(watched));
            return true;
        }
        // Down and Up move between the entry fields (not inside the bank list).
        if ((key == Qt::Key_Down || key == Qt::Key_Up) && watched != comboBank_) {
            focusNextPrevChild(key == Qt::Key_Down);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tchqissue_frm::keyPressEvent(QKeyEvent* event) {
    // Enter moves on like Tab instead of closing the window.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        focusNextChild();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vm::chqissue
