#include "modules/rcvaging/ui/AgingWindow.h"

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
#include "modules/rcvaging/ui/AgingListing.h"
#include "report/PageStream.h"
#include "report/ReportDocument.h"
#include "report/ReportOutput.h"

#include <QCheckBox>
#include <QComboBox>
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

namespace vm::aging {

namespace {
constexpr const char* kAlias = "agingdata";
constexpr int kHelpContext = 500;

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

AgingWindow::AgingWindow(core::TLinkSection& link, Ledger ledger, QWidget* parent)
    : QDialog(parent), link_(link), ledger_(ledger),
      stem_(ledger == Ledger::Receivables ? "rcvaging" : "payaging") {
    setObjectName(ledger == Ledger::Receivables ? "Trcvaging_frm" : "Tpayaging_frm");
    build();
}

AgingWindow::~AgingWindow() = default;

void AgingWindow::build() {
    const bool rcv = ledger_ == Ledger::Receivables;
    setWindowTitle(rcv ? "Aging of client accounts" : "Aging of supplier accounts");
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
    auto withButton = [&](QLineEdit* edit, const char* btnName) {
        auto* box = new QHBoxLayout;
        box->setSpacing(4);
        box->addWidget(edit);
        auto* b = new QPushButton("...", page);
        b->setObjectName(btnName);
        b->setFixedWidth(28);
        b->setFocusPolicy(Qt::NoFocus);
        box->addWidget(b);
        return std::make_pair(box, b);
    };

    grid->addWidget(label(page, "LabelDate", "Enter the date for calculation  "), row, 0);
    editDate_ = new QLineEdit(page);
    editDate_->setObjectName("EditDate");
    editDate_->setInputMask(forms::DisplayFormat::dateInputMask());
    editDate_->setMaximumWidth(110);
    editDate_->installEventFilter(this);
    grid->addWidget(editDate_, row++, 1, Qt::AlignLeft);

    grid->addWidget(label(page, "LabelFrom", rcv ? "From client " : "From supplier   "), row, 0);
    editFrom_ = new QLineEdit(page);
    editFrom_->setObjectName("EditFrom");
    editFrom_->setMaxLength(10);
    editFrom_->installEventFilter(this);
    auto [fromBox, fromBtn] = withButton(editFrom_, "BtnFrom");
    grid->addLayout(fromBox, row++, 1);

    grid->addWidget(label(page, "LabelTo", rcv ? "To client  " : "To supplier     "), row, 0);
    editTo_ = new QLineEdit(page);
    editTo_->setObjectName("EditTo");
    editTo_->setMaxLength(10);
    editTo_->installEventFilter(this);
    auto [toBox, toBtn] = withButton(editTo_, "BtnTo");
    grid->addLayout(toBox, row++, 1);

    const char* pickLib = rcv ? "clientpicker" : "supplierpicker";
    const char* pickFn = rcv ? "PickClient" : "PickSupplier";
    connect(fromBtn, &QPushButton::clicked, this, [=, this] { pick(editFrom_, pickLib, pickFn); });
    connect(toBtn, &QPushButton::clicked, this, [=, this] { pick(editTo_, pickLib, pickFn); });

    if (rcv) {
        grid->addWidget(label(page, "LabelTerritory", "Which territory "), row, 0);
        editTerritory_ = new QLineEdit(page);
        editTerritory_->setObjectName("EditTerritory");
        editTerritory_->setMaxLength(12);
        editTerritory_->installEventFilter(this);
        auto [terrBox, terrBtn] = withButton(editTerritory_, "BtnTerritory");
        grid->addLayout(terrBox, row++, 1);
        connect(terrBtn, &QPushButton::clicked, this,
                [this] { pick(editTerritory_, "territorypicker", "PickTerritory"); });
    }

    grid->addWidget(label(page, "LabelConvert", "Convert to which currency"), row, 0);
    comboConvert_ = new QComboBox(page);
    comboConvert_->setObjectName("ComboConvert");
    grid->addWidget(comboConvert_, row++, 1);
    grid->addWidget(label(page, "LabelCurrency", "Print which currency"), row, 0);
    comboCurrency_ = new QComboBox(page);
    comboCurrency_->setObjectName("ComboCurrency");
    grid->addWidget(comboCurrency_, row++, 1);
    grid->addWidget(label(page, "LabelOlder", "Print transactions older than"), row, 0);
    comboOlder_ = new QComboBox(page);
    comboOlder_->setObjectName("ComboOlder");
    grid->addWidget(comboOlder_, row++, 1);
    labelAll_ = label(page, "LabelAll", "All");
    labelAll_->hide();

    auto* order = new QGroupBox("Print the list in order of", page);
    order->setObjectName("RadioOrder");
    auto* orderBox = new QHBoxLayout(order);
    radioCode_ = new QRadioButton("Client code", order);
    radioRep_ = new QRadioButton("Sales rep", order);
    radioCode_->setChecked(true);
    orderBox->addWidget(radioCode_);
    orderBox->addWidget(radioRep_);
    orderBox->addStretch();
    grid->addWidget(order, row++, 0, 1, 2);
    order->setVisible(rcv);

    auto* checks = new QGridLayout;
    checkPrintDialog_ = check(page, "CheckPrintDialog", "Display Print Dialog box", true);
    checkAddress_ = check(page, "CheckAddress", "Print client address");
    checkDueDate_ = check(page, "CheckDueDate", "Use invoice due date");
    checkSubsequent_ = check(page, "CheckSubsequent", "Include subsequent transactions");
    checkDetailed_ = check(page, "CheckDetailed", "Detailed report", true);
    checkComments_ = check(page, "CheckComments",
                           rcv ? "Print comments from the client file" : "Print comments from supplier file");
    checkZero_ = check(page, "CheckZero",
                       rcv ? "Print clients with zero balance" : "Print suppliers with zero balance");
    checkHistory_ = check(page, "CheckHistory", "Print from history data");
    checkAddress_->setVisible(rcv);
    QCheckBox* left[] = {checkPrintDialog_, checkDetailed_, checkAddress_, checkComments_};
    QCheckBox* right[] = {checkDueDate_, checkSubsequent_, checkZero_, checkHistory_};
    for (int i = 0; i < 4; ++i) {
        checks->addWidget(left[i], i, 0);
        checks->addWidget(right[i], i, 1);
    }
    grid->addLayout(checks, row++, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);

    connect(checkHistory_, &QCheckBox::toggled, this, [this](bool on) {
        if (on) checkZero_->setChecked(false);
        checkZero_->setEnabled(!on);
    });
    connect(checkDetailed_, &QCheckBox::toggled, this, [this](bool on) {
        if (!on) checkAddress_->setChecked(false);
        checkAddress_->setEnabled(on);
    });

    auto* buttons = new QHBoxLayout;
    const std::pair<const char*, const char*> defs[] = {
        {"BtnPrint", "Print"},   {"BtnPreview", "Preview"},
        {"BtnExport", "Export"}, {"BtnPrintScreen", "Print Screen"},
        {"BtnHelp", "Help"},     {"BtnExit", "Exit"}};
    for (auto [name, text] : defs) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        buttons_.push_back(b);
    }
    outer->addLayout(buttons);
    connect(buttons_[0], &QPushButton::clicked, this, [this] { runReport(0); });
    connect(buttons_[1], &QPushButton::clicked, this, [this] { runReport(1); });
    connect(buttons_[2], &QPushButton::clicked, this, [this] { runReport(2); });
    connect(buttons_[3], &QPushButton::clicked, this,
            [this] { forms::printScreen(*this, core::toQString(link_.PrinterIndex)); });
    connect(buttons_[4], &QPushButton::clicked, this, [this] {
        forms::ModuleStartup st(link_);
        forms::openHelp(st.helpPath(), kHelpContext, link_.Language, this);
    });
    connect(buttons_[5], &QPushButton::clicked, this, &QDialog::reject);

    statusBar_ = forms::ModuleStartup::makeStatusBar(this);
    outer->addWidget(statusBar_);
    messages_ = new forms::MessageList(this);
    resize(560, 480);
}

QString AgingWindow::message(int i, const QString& fallback) const {
    QString m = messages_->message(i);
    return m.isEmpty() ? fallback : m;
}

void AgingWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        startUp();
    }
}

void AgingWindow::startUp() {
    forms::ModuleStartup st(link_);
    st.applyFallbacks();
    try {
        st.translate(*this, stem_);
    } catch (const std::exception&) {
        // A missing language table leaves the designed English texts.
    }
    st.fillStatusBar(*statusBar_);
    st.pointAliases(kAlias);
    auto ctrl = st.openTable(kAlias, "ctrl", true, this);
    if (!ctrl) {
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return;
    }
    if (ledger_ == Ledger::Receivables && !st.openTable(kAlias, "slsm", true, this)) {
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return;
    }
    control_ = Aging::readControl(ctrl->database(), ledger_);

    editDate_->setText(forms::DisplayFormat::date(Date::today()));
    editDate_->setFocus();

    comboOlder_->clear();
    for (const auto& n : control_.bucketNames)
        comboOlder_->addItem(QString::fromStdString(n));
    comboOlder_->addItem(labelAll_->text());
    comboOlder_->setCurrentIndex(5);

    // Only currencies with a name are offered; the lists keep which
    // currency number each entry stands for.
    comboConvert_->clear();
    comboCurrency_->clear();
    convertCurrencies_ = {-1, 0};
    printCurrencies_ = {-1, 0};
    comboConvert_->addItem(message(5, "No conversion"));
    comboConvert_->addItem(message(6, "Default"));
    comboCurrency_->addItem(message(7, "All"));
    comboCurrency_->addItem(message(6, "Default"));
    for (int i = 0; i < 4; ++i) {
        const auto& name = control_.currencyNames[static_cast<std::size_t>(i)];
        if (name.empty()) continue;
        comboConvert_->addItem(QString::fromStdString(name));
        comboCurrency_->addItem(QString::fromStdString(name));
        convertCurrencies_.push_back(i + 1);
        printCurrencies_.push_back(i + 1);
    }
    comboConvert_->setCurrentIndex(0);
    comboCurrency_->setCurrentIndex(0);
}

AgingOptions AgingWindow::options() const {
    AgingOptions o;
    o.ledger = ledger_;
    o.reportDate = forms::DisplayFormat::parseDate(editDate_->text()).value_or(Date());
    o.today = Date::today();
    o.fromCode = editFrom_->text().toStdString();
    o.toCode = editTo_->text().toStdString();
    if (editTerritory_) o.territory = editTerritory_->text().toStdString();
    const int ci = comboConvert_->currentIndex();
    o.convertTo = ci >= 0 && ci < static_cast<int>(convertCurrencies_.size())
                      ? convertCurrencies_[static_cast<std::size_t>(ci)]
                      : -1;
    const int pi = comboCurrency_->currentIndex();
    o.printCurrency = pi >= 0 && pi < static_cast<int>(printCurrencies_.size())
                          ? printCurrencies_[static_cast<std::size_t>(pi)]
                          : -1;
    const int older = comboOlder_->currentIndex();
    o.olderThan = older >= 0 && older < 5 ? older + 1 : 0;
    o.orderBySalesman = ledger_ == Ledger::Receivables && radioRep_->isChecked();
    o.useDueDate = checkDueDate_->isChecked();
    o.includeSubsequent = checkSubsequent_->isChecked();
    o.zeroBalance = checkZero_->isChecked();
    o.history = checkHistory_->isChecked();
    return o;
}

bool AgingWindow::clearInvertedRange() {
    if (editTo_->text().isEmpty() || editFrom_->text().toStdString() <= editTo_->text().toStdString())
        return false;
    editFrom_->clear();
    editTo_->clear();
    editFrom_->setFocus();
    return true;
}

bool AgingWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == editDate_ && !forms::DisplayFormat::parseDate(editDate_->text())) {
            // An invalid report date keeps the focus, without a message.
            QMetaObject::invokeMethod(editDate_, qOverload<>(&QWidget::setFocus), Qt::QueuedConnection);
        } else if (watched == editTo_) {
            clearInvertedRange();
        }
    } else if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F2) {
        const bool rcv = ledger_ == Ledger::Receivables;
        if (watched == editFrom_ || watched == editTo_) {
            pick(static_cast<QLineEdit*>(watched), rcv ? "clientpicker" : "supplierpicker",
                 rcv ? "PickClient" : "PickSupplier");
            return true;
        }
        if (watched == editTerritory_) {
            pick(editTerritory_, "territorypicker", "PickTerritory");
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void AgingWindow::keyPressEvent(QKeyEvent* event) {
    // Enter moves on like Tab instead of closing the window.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        focusNextChild();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AgingWindow::pick(QLineEdit* target, const char* library, const char* function) {
    auto code = core::callComponent<core::LinkString>(core::toQString(link_.ProgramDir).toStdString(),
                                                      library, function, link_);
    if (code && !code->empty()) target->setText(core::toQString(*code));
    target->setFocus();
}

void AgingWindow::setBusy(bool busy) {
    for (auto* b : buttons_)
        b->setEnabled(!busy);
}

AgingListingSetup AgingWindow::listingSetup() {
    AgingListingSetup s;
    s.options = options();
    s.detailed = checkDetailed_->isChecked();
    s.printAddress = checkAddress_->isChecked();
    s.printComments = checkComments_->isChecked();
    s.companyName = core::toQString(link_.CompanyName).toStdString();
    s.userName = core::toQString(link_.UserName).toStdString();
    s.language = link_.Language;
    s.langCode = core::toQString(link_.LangCode).toStdString();
    s.printedAt = printedAt_;
    for (int i = 0; i < 5; ++i)
        s.typeNames[static_cast<std::size_t>(i)] = messages_->message(i).toStdString();
    return s;
}

report::StreamFactory AgingWindow::streamFactory() {
    return agingListingStream([]() -> Database& { return Session::instance().database(kAlias); },
                              listingSetup());
}

report::ReportDocument AgingWindow::layOut() {
    return layOutAgingListing(Session::instance().database(kAlias), listingSetup());
}

void AgingWindow::runReport(int action) {
    if (action == 2 && clearInvertedRange()) return;
    setBusy(true);
    struct Enable {
        AgingWindow* w;
        ~Enable() { w->setBusy(false); }
    } enable{this};
    const int printer = core::toQString(link_.PrinterIndex).toInt();
    const auto output = static_cast<report::ReportOutput>(action);
    if (report::outputReport(output, streamFactory(), printer, printer, checkPrintDialog_->isChecked(),
                             link_.Language, this) &&
        output == report::ReportOutput::Export)
        QMetaObject::invokeMethod(this, &QDialog::accept, Qt::QueuedConnection);
}

} // namespace vm::aging
