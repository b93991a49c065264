#include "modules/custlist/ui/ListWindow.h"

#include "common/core/ComponentCall.h"
#include "common/core/LinkStringQt.h"
#include "common/forms/HelpLauncher.h"
#include "common/forms/MessageList.h"
#include "common/forms/ModuleStartup.h"
#include "common/forms/ScreenPrinter.h"
#include "engine/Cursor.h"
#include "engine/Session.h"
#include "modules/custlist/ui/ListListing.h"
#include "report/ExportDialog.h"
#include "report/ReportDocument.h"
#include "report/ReportPreviewDialog.h"
#include "report/ReportPrinter.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vm::lists {

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QRadioButton* radio(QGroupBox* group, QHBoxLayout* box, const QString& text, bool on) {
    auto* r = new QRadioButton(text, group);
    r->setChecked(on);
    box->addWidget(r);
    return r;
}

} // namespace

ListWindow::ListWindow(core::TLinkSection& link, Master master, QWidget* parent)
    : QDialog(parent), link_(link), master_(master),
      stem_(master == Master::Clients ? "custlist" : "vendlist") {
    setObjectName(master == Master::Clients ? "Tcustlist_frm" : "Tvendlist_frm");
    build();
}

ListWindow::~ListWindow() = default;

void ListWindow::build() {
    const bool clients = master_ == Master::Clients;
    setWindowTitle(clients ? "List of clients" : "List of suppliers");
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
    // An entry field with its picker button; F2 in the field opens it too.
    auto entry = [&](const char* labelName, const QString& caption, const char* editName, const char* btnName,
                     int maxLength) {
        grid->addWidget(label(page, labelName, caption), row, 0);
        auto* edit = new QLineEdit(page);
        edit->setObjectName(editName);
        edit->setMaxLength(maxLength);
        edit->installEventFilter(this);
        auto* box = new QHBoxLayout;
        box->setSpacing(4);
        box->addWidget(edit);
        auto* b = new QPushButton("...", page);
        b->setObjectName(btnName);
        b->setFixedWidth(28);
        b->setFocusPolicy(Qt::NoFocus);
        box->addWidget(b);
        grid->addLayout(box, row++, 1);
        connect(b, &QPushButton::clicked, this, [this, edit] { pick(edit); });
        fields_.push_back(edit);
        return edit;
    };
    editFromCode_ = entry("LabelFromCode", clients ? "From client" : "From supplier code ", "EditFromCode",
                          "BtnFromCode", 10);
    editToCode_ =
        entry("LabelToCode", clients ? "To client" : "To supplier code ", "EditToCode", "BtnToCode", 10);
    if (clients) {
        editFromRep_ = entry("LabelFromRep", "From salesrep", "EditFromRep", "BtnFromRep", 12);
        editToRep_ = entry("LabelToRep", "To salesrep", "EditToRep", "BtnToRep", 12);
    }
    editTerritory_ = entry("LabelTerritory", "Which territory", "EditTerritory", "BtnTerritory", 3);

    checkPrintDialog_ = new QCheckBox("Display Print Dialog box", page);
    checkPrintDialog_->setObjectName("CheckPrintDialog");
    checkPrintDialog_->setChecked(true);
    grid->addWidget(checkPrintDialog_, row++, 0, 1, 2);

    auto* kind = new QGroupBox(page);
    kind->setObjectName("RadioReport");
    auto* kindBox = new QHBoxLayout(kind);
    radioDetailed_ = radio(kind, kindBox, "Detailed", true);
    radioSummary_ = radio(kind, kindBox, "Summary", false);
    kindBox->addStretch();
    grid->addWidget(kind, row++, 0, 1, 2);

    if (clients) {
        auto* order = new QGroupBox("Print the list in order of ", page);
        order->setObjectName("RadioOrder");
        auto* orderBox = new QHBoxLayout(order);
        radioByCode_ = radio(order, orderBox, "Clients", true);
        radioByRep_ = radio(order, orderBox, "Salesrep", false);
        orderBox->addStretch();
        grid->addWidget(order, row++, 0, 1, 2);
    }
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
    outer->addLayout(buttons);
    connect(buttons_[0], &QPushButton::clicked, this,
            [this] { forms::printScreen(*this, core::toQString(link_.PrinterIndex)); });
    connect(buttons_[1], &QPushButton::clicked, this, [this] { runReport(2); });
    connect(buttons_[2], &QPushButton::clicked, this, [this] { runReport(1); });
    connect(buttons_[3], &QPushButton::clicked, this, [this] { runReport(0); });
    connect(buttons_[4], &QPushButton::clicked, this, [this] {
        forms::ModuleStartup st(link_);
        forms::openHelp(st.helpPath(), master_ == Master::Clients ? 203 : 302, link_.Language, this);
    });
    connect(buttons_[5], &QPushButton::clicked, this, &QDialog::reject);

    statusBar_ = forms::ModuleStartup::makeStatusBar(this);
    outer->addWidget(statusBar_);
    messages_ = new forms::MessageList(this);
    resize(520, clients ? 400 : 330);
}

void ListWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        startUp();
    }
}

void ListWindow::startUp() {
    forms::ModuleStartup st(link_);
    st.applyFallbacks();
    try {
        st.translate(*this, stem_);
    } catch (const std::exception&) {
        // A missing language table leaves the designed English texts.
    }
    st.fillStatusBar(*statusBar_);
    const std::string alias = stem_ + "db";
    st.pointAliases(alias);
    table_ = st.openTable(alias, master_ == Master::Clients ? "cli" : "sup", true, this);
    if (!table_) {
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return;
    }
    editFromCode_->setFocus();
}

void ListWindow::done(int result) {
    table_.reset();
    QDialog::done(result);
}

ListOptions ListWindow::options() const {
    ListOptions o;
    o.master = master_;
    o.detailed = radioDetailed_->isChecked();
    o.fromCode = editFromCode_->text().toStdString();
    o.toCode = editToCode_->text().toStdString();
    if (editFromRep_) o.fromRep = editFromRep_->text().toStdString();
    if (editToRep_) o.toRep = editToRep_->text().toStdString();
    o.territory = editTerritory_->text().toStdString();
    o.order = radioByRep_ && radioByRep_->isChecked() ? ListOrder::Salesrep : ListOrder::Code;
    return o;
}

bool ListWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const auto it = std::find(fields_.begin(), fields_.end(), watched);
    if (it == fields_.end()) return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    const auto at = static_cast<std::size_t>(it - fields_.begin());
    if (key == Qt::Key_F2) {
        pick(*it);
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) {
        fields_[(at + 1) % fields_.size()]->setFocus();
        return true;
    }
    if (key == Qt::Key_Up) {
        fields_[(at + fields_.size() - 1) % fields_.size()]->setFocus();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ListWindow::keyPressEvent(QKeyEvent* event) {
    // Enter never closes the window.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return;
    QDialog::keyPressEvent(event);
}

void ListWindow::pick(QLineEdit* target) {
    const bool clients = master_ == Master::Clients;
    const char* library;
    const char* function;
    if (target == editTerritory_) {
        library = clients ? "territorypicker" : "vendterritorypicker";
        function = clients ? "PickTerritory" : "PickVendTerritory";
    } else if (target == editFromRep_ || target == editToRep_) {
        library = "salesmanpicker";
        function = "PickSalesman";
    } else {
        library = clients ? "clientpicker" : "supplierpicker";
        function = clients ? "PickClient" : "PickSupplier";
    }
    const std::string code =
        core::pickText(core::toQString(link_.ProgramDir).toStdString(), library, function, link_);
    if (!code.empty()) target->setText(QString::fromStdString(code));
    target->setFocus();
}

void ListWindow::setBusy(bool busy) {
    for (auto* b : buttons_)
        b->setEnabled(!busy);
}

report::ReportDocument ListWindow::layOut() {
    ListListingSetup s;
    s.options = options();
    s.companyName = core::toQString(link_.CompanyName).toStdString();
    s.userName = core::toQString(link_.UserName).toStdString();
    s.language = link_.Language;
    s.langCode = core::toQString(link_.LangCode).toStdString();
    s.international = forms::ModuleStartup::international();
    s.printedAt = printedAt_;
    return layOutList(Session::instance().database(stem_ + "db"), s);
}

void ListWindow::runReport(int action) {
    setBusy(true);
    struct Enable {
        ListWindow* w;
        ~Enable() { w->setBusy(false); }
    } enable{this};
    const int printer = core::toQString(link_.PrinterIndex).toInt();
    if (action == 0) {
        report::ReportPrinter::printAndTell(layOut(), printer, checkPrintDialog_->isChecked(), link_.Language,
                                            this);
    } else if (action == 1) {
        report::ReportPreviewDialog preview(layOut(), printer, link_.Language, this);
        preview.exec();
    } else {
        report::ExportDialog dialog(layOut(), link_.Language, this);
        if (dialog.exec() == QDialog::Accepted)
            QMetaObject::invokeMethod(this, &QDialog::accept, Qt::QueuedConnection);
    }
}

} // namespace vm::lists
