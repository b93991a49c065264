#include "modules/custstmt/ui/StatementWindow.h"

#include "common/core/ComponentCall.h"
#include "common/core/LinkStringQt.h"
#include "common/core/RegionalSettings.h"
#include "common/core/SettingsStore.h"
#include "common/forms/DisplayFormat.h"
#include "common/forms/HelpLauncher.h"
#include "common/forms/MessageList.h"
#include "common/forms/ModuleErrorHandler.h"
#include "common/forms/ModuleStartup.h"
#include "common/forms/ScreenPrinter.h"
#include "common/forms/TErrorForm.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/Session.h"
#include "modules/custstmt/ui/SendMailWindow.h"
#include "report/ExportDialog.h"
#include "report/ReportOutput.h"
#include "report/ReportPreviewDialog.h"
#include "report/ReportPrinter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QThread>
#include <QVBoxLayout>

#include <atomic>
#include <memory>

namespace vm::custstmt {

namespace {
constexpr const char* kAlias = "custstmtdb";
constexpr const char* kSystemAlias = "mydbcuststmt";
constexpr int kHelpContext = 208;

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}
QLineEdit* edit(QWidget* parent, const char* name, int maxLength = 0) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    if (maxLength > 0) e->setMaxLength(maxLength);
    return e;
}
} // namespace

StatementWindow::StatementWindow(core::TLinkSection& link, QWidget* parent) : QDialog(parent), link_(link) {
    setObjectName("Tcuststmt_frm");
    build();
}

StatementWindow::~StatementWindow() = default;

void StatementWindow::build() {
    setWindowTitle("Account statements");
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
    auto withButton = [&](QLineEdit* e, const char* btnName, const char* lib, const char* fn) {
        auto* box = new QHBoxLayout;
        box->setSpacing(4);
        box->addWidget(e);
        auto* b = new QPushButton("...", page);
        b->setObjectName(btnName);
        b->setFixedWidth(28);
        b->setFocusPolicy(Qt::NoFocus);
        box->addWidget(b);
        e->installEventFilter(this);
        connect(b, &QPushButton::clicked, this, [=, this] { pick(e, lib, fn); });
        grid->addLayout(box, row++, 1);
    };
    grid->addWidget(label(page, "LabelFrom", "From client"), row, 0);
    editFrom_ = edit(page, "EditFrom", 10);
    withButton(editFrom_, "BtnFrom", "clientpicker", "PickClient");
    grid->addWidget(label(page, "LabelTo", "To client"), row, 0);
    editTo_ = edit(page, "EditTo", 10);
    withButton(editTo_, "BtnTo", "clientpicker", "PickClient");
    grid->addWidget(label(page, "LabelTerritory", "Which territory"), row, 0);
    editTerritory_ = edit(page, "EditTerritory", 12);
    withButton(editTerritory_, "BtnTerritory", "territorypicker", "PickTerritory");

    grid->addWidget(label(page, "LabelDate", "Print date"), row, 0);
    editDate_ = edit(page, "EditDate");
    editDate_->setInputMask(forms::DisplayFormat::dateInputMask());
    editDate_->setMaximumWidth(110);
    grid->addWidget(editDate_, row++, 1, Qt::AlignLeft);
    checkSubsequent_ = new QCheckBox("Include subsequent transactions", page);
    checkSubsequent_->setObjectName("CheckSubsequent");
    grid->addWidget(checkSubsequent_, row++, 1);
    grid->addWidget(label(page, "LabelMinimum", "Minimum balance to print"), row, 0);
    editMinimum_ = edit(page, "EditMinimum", 14);
    editMinimum_->setMaximumWidth(110);
    grid->addWidget(editMinimum_, row++, 1, Qt::AlignLeft);
    grid->addWidget(label(page, "LabelRate", "Annual interest rate"), row, 0);
    editRate_ = edit(page, "EditRate", 8);
    editRate_->setText("0");
    editRate_->setMaximumWidth(70);
    grid->addWidget(editRate_, row++, 1, Qt::AlignLeft);
    grid->addWidget(label(page, "LabelCurrency", "Print which currency"), row, 0);
    comboCurrency_ = new QComboBox(page);
    comboCurrency_->setObjectName("ComboCurrency");
    grid->addWidget(comboCurrency_, row++, 1);
    grid->addWidget(label(page, "LabelConvert", "Convert to which currency"), row, 0);
    comboConvert_ = new QComboBox(page);
    comboConvert_->setObjectName("ComboConvert");
    grid->addWidget(comboConvert_, row++, 1);
    checkPrintDialog_ = new QCheckBox("Display Print Dialog box", page);
    checkPrintDialog_->setObjectName("CheckPrintDialog");
    grid->addWidget(checkPrintDialog_, row++, 1);

    auto* mailBox = new QGroupBox("E-mail", page);
    mailBox->setObjectName("GroupEmail");
    auto* mailGrid = new QGridLayout(mailBox);
    mailGrid->addWidget(label(mailBox, "LabelSubject", "Subject"), 0, 0);
    editSubject_ = edit(mailBox, "EditSubject", 200);
    mailGrid->addWidget(editSubject_, 0, 1);
    mailGrid->addWidget(label(mailBox, "LabelMessage", "Message"), 1, 0, Qt::AlignTop);
    editMessage_ = new QPlainTextEdit(mailBox);
    editMessage_->setObjectName("MemoMessage");
    editMessage_->setTabChangesFocus(true);
    editMessage_->setMaximumHeight(90);
    mailGrid->addWidget(editMessage_, 1, 1);
    grid->addWidget(mailBox, row++, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);

    auto* buttons = new QHBoxLayout;
    const std::pair<const char*, const char*> defs[] = {{"BtnPrintScreen", "Print screen"},
                                                        {"BtnPrint", "Print"},
                                                        {"BtnPreview", "Preview"},
                                                        {"BtnExport", "Export"},
                                                        {"BtnEmail", "E-mail"},
                                                        {"BtnExit", "Exit"},
                                                        {"BtnHelp", "Help"}};
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
    connect(buttons_[1], &QPushButton::clicked, this, [this] { runReport(0); });
    connect(buttons_[2], &QPushButton::clicked, this, [this] { runReport(1); });
    connect(buttons_[3], &QPushButton::clicked, this, [this] { runReport(2); });
    connect(buttons_[4], &QPushButton::clicked, this, [this] { runMailing(); });
    connect(buttons_[5], &QPushButton::clicked, this, &QDialog::reject);
    connect(buttons_[6], &QPushButton::clicked, this, [this] {
        forms::ModuleStartup st(link_);
        forms::openHelp(st.helpPath(), kHelpContext, link_.Language, this);
    });

    statusBar_ = forms::ModuleStartup::makeStatusBar(this);
    outer->addWidget(statusBar_);
    messages_ = new forms::MessageList(this);
    resize(560, 560);
}

QString StatementWindow::message(int i, const QString& fallback) const {
    QString m = messages_->message(i);
    return m.isEmpty() ? fallback : m;
}

void StatementWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        startUp();
    }
}

void StatementWindow::startUp() {
    forms::ModuleStartup st(link_);
    st.applyFallbacks();
    try {
        st.translate(*this, "custstmt");
    } catch (const std::exception&) {
        // A missing language table leaves the designed English texts.
    }
    st.fillStatusBar(*statusBar_);
    st.pointAliases(kAlias, kSystemAlias);
    auto ctrl = st.openTable(kAlias, "ctrl", true, this);
    if (!ctrl || !st.openTable(kAlias, "cli", true, this)) {
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return;
    }
    control_ = aging::Aging::readControl(ctrl->database(), aging::Ledger::Receivables);
    editDate_->setText(forms::DisplayFormat::date(Date::today()));
    const core::SettingsStore settings;
    editSubject_->setText(QString::fromStdString(settings.read("Settings", "Email Stmt Subject")));
    editMessage_->setPlainText(QString::fromStdString(settings.read("Settings", "Email Stmt Message")));

    comboConvert_->clear();
    comboCurrency_->clear();
    convertCurrencies_ = {-1, 0};
    printCurrencies_ = {-1, 0};
    comboCurrency_->addItem(message(7, "All"));
    comboCurrency_->addItem(message(6, "Default"));
    comboConvert_->addItem(message(5, "No conversion"));
    comboConvert_->addItem(message(6, "Default"));
    for (int i = 0; i < 4; ++i) {
        const auto& name = control_.currencyNames[static_cast<std::size_t>(i)];
        if (name.empty()) continue;
        comboConvert_->addItem(QString::fromStdString(name));
        comboCurrency_->addItem(QString::fromStdString(name));
        convertCurrencies_.push_back(i + 1);
        printCurrencies_.push_back(i + 1);
    }
    editFrom_->setFocus();
}

std::optional<StatementOptions> StatementWindow::options() {
    bool ok = false;
    const double rate = editRate_->text().trimmed().replace(',', '.').toDouble(&ok);
    if (!ok) {
        editRate_->setFocus();
        return std::nullopt;
    }
    StatementOptions o;
    o.interestRate = rate;
    o.fromCode = editFrom_->text().toStdString();
    o.toCode = editTo_->text().toStdString();
    o.territory = editTerritory_->text().toStdString();
    o.today = Date::today();
    o.printDate = forms::DisplayFormat::parseDate(editDate_->text()).value_or(Date());
    o.includeSubsequent = checkSubsequent_->isChecked();
    const QString minimum = editMinimum_->text().trimmed();
    if (!minimum.isEmpty()) {
        auto m = Money::parse(QString(minimum).replace(',', '.').toStdString());
        if (!m) {
            editMinimum_->setFocus();
            return std::nullopt;
        }
        o.minimumBalance = *m;
    }
    auto pickOf = [](const QComboBox* c, const std::vector<int>& list) {
        const int i = c->currentIndex();
        return i >= 0 && i < static_cast<int>(list.size()) ? list[static_cast<std::size_t>(i)] : -1;
    };
    o.printCurrency = pickOf(comboCurrency_, printCurrencies_);
    o.convertTo = pickOf(comboConvert_, convertCurrencies_);
    return o;
}

StatementReportSetup StatementWindow::reportSetup(const StatementOptions& o, bool email) const {
    forms::ModuleStartup st(link_);
    StatementReportSetup s;
    s.options = o;
    s.email = email;
    s.companyDir = st.companyDirectory();
    s.company = readCompanyBlock(Session::instance().database(kSystemAlias),
                                 core::toQString(link_.CompanyCode).toInt());
    s.localSign = core::RegionalSettings::current().currencySymbol;
    s.language = link_.Language;
    return s;
}

bool StatementWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F2) {
        if (watched == editFrom_ || watched == editTo_) {
            pick(static_cast<QLineEdit*>(watched), "clientpicker", "PickClient");
            return true;
        }
        if (watched == editTerritory_) {
            pick(editTerritory_, "territorypicker", "PickTerritory");
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void StatementWindow::keyPressEvent(QKeyEvent* event) {
    // Enter moves on like Tab instead of closing the window.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        focusNextChild();
        return;
    }
    QDialog::keyPressEvent(event);
}

void StatementWindow::pick(QLineEdit* target, const char* library, const char* function) {
    auto code = core::callComponent<core::LinkString>(core::toQString(link_.ProgramDir).toStdString(),
                                                      library, function, link_);
    if (code && !code->empty()) target->setText(core::toQString(*code));
    target->setFocus();
}

void StatementWindow::setBusy(bool busy) {
    for (auto* b : buttons_)
        b->setEnabled(!busy);
}

int StatementWindow::statementPrinter() const {
    // The statements' own printer when it is installed, else the session's.
    const QString name = QString::fromStdString(core::SettingsStore().read("Settings", "StatementPrinter"));
    if (!name.isEmpty()) {
        const auto printers = QPrinterInfo::availablePrinters();
        for (int i = 0; i < printers.size(); ++i)
            if (printers[i].printerName() == name) return i;
    }
    return core::toQString(link_.PrinterIndex).toInt();
}

void StatementWindow::runReport(int action) {
    auto o = options();
    if (!o) return;
    setBusy(true);
    struct Enable {
        StatementWindow* w;
        ~Enable() { w->setBusy(false); }
    } enable{this};
    // Pages are laid out as they are printed, shown or written: a run of
    // thousands of clients never stands whole in memory.
    report::StreamFactory pages = statementStream(
        []() -> Database& { return Session::instance().database(kAlias); }, reportSetup(*o, false));
    if (action == 1) checkPrintDialog_->setChecked(false);
    report::outputReport(static_cast<report::ReportOutput>(action), std::move(pages), statementPrinter(),
                         core::toQString(link_.PrinterIndex).toInt(), checkPrintDialog_->isChecked(),
                         link_.Language, this);
}

MailingResult StatementWindow::mail(bool printOthers) {
    MailingResult result;
    auto o = options();
    if (!o) return result;
    // The minimum balance only narrows a mailing when it is above zero.
    if (o->minimumBalance && *o->minimumBalance <= Money()) o->minimumBalance.reset();
    MailingSetup m;
    m.report = reportSetup(*o, true);
    readMailSettings(core::SettingsStore(), m);
    if (!m.smtp.login.empty() && m.smtp.password.empty()) {
        bool ok = false;
        m.smtp.password = QInputDialog::getText(this, windowTitle(), QString::fromStdString(m.smtp.login),
                                                QLineEdit::Password, {}, &ok)
                              .toStdString();
        if (!ok) return result;
    }
    m.subject = editSubject_->text().toStdString();
    m.message = editMessage_->toPlainText().toStdString();
    m.mailer = "Valmorand " + forms::ModuleStartup::projectVersion().toStdString();
    m.printOthers = printOthers;
    m.logPath = custstmt::mailLogPath(m.report.companyDir);

    // The run goes on beside the window, which stays responsive; Cancel stops
    // it between clients and ends any wait at once. The "Send Mail" window
    // shows what is being sent and the mail client's every step.
    std::atomic<bool> cancel{false};
    m.cancel = &cancel;
    SendMailWindow sendMail(link_, this);
    sendMail.setConnection(m.smtp, m.fromName, m.fromAddress);
    sendMail.setRunning(true, [&cancel] { cancel = true; });
    sendMail.show();
    QProgressDialog box(sendMail.text(SendMailWindow::kBoxLabel), message(8, "Cancel"), 0, 0, &sendMail);
    box.setObjectName("SendingMail");
    box.setWindowTitle(sendMail.text(SendMailWindow::kBoxCaption));
    box.setMinimumDuration(0);
    box.setAutoClose(false);
    box.setAutoReset(false);
    connect(&box, &QProgressDialog::canceled, this, [&] { cancel = true; });
    const QString boxLabel = sendMail.text(SendMailWindow::kBoxLabel);
    m.sending = [&](const std::string& client, const mail::MailMessage& shown) {
        const QString line = boxLabel + "\n" + QString::fromStdString(client);
        QMetaObject::invokeMethod(
            &sendMail,
            [&sendMail, &box, shown, line] {
                sendMail.showMessage(shown);
                box.setLabelText(line);
            },
            Qt::QueuedConnection);
    };
    m.smtpStatus = [&sendMail](const mail::SmtpStatus& st) {
        QMetaObject::invokeMethod(
            &sendMail, [&sendMail, st] { sendMail.showStatus(st); }, Qt::QueuedConnection);
    };
    Database& db = Session::instance().database(kAlias);
    QEventLoop loop;
    std::unique_ptr<QThread> worker(QThread::create([&] { result = mailStatements(db, m); }));
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    box.show();
    worker->start();
    loop.exec();
    QCoreApplication::processEvents(); // the last statuses queued by the run
    box.hide();
    sendMail.setRunning(false);
    lastMailStatus_ = sendMail.statusText();
    return result;
}

void StatementWindow::runMailing() {
    // The mailed layout and the sender's settings must be there first.
    {
        Cursor layout(Session::instance().database(kAlias), "Earecfrm", true);
        if (layout.isEmpty()) {
            QMessageBox::warning(this, windowTitle(),
                                 message(3, "The e-mail statement layout") + " " +
                                     message(4, "is missing: create it before mailing statements."));
            return;
        }
    }
    const core::SettingsStore settings;
    if (settings.read("Settings", "Email User").empty() || settings.read("Settings", "Email Host").empty() ||
        settings.read("Settings", "Email Return").empty()) {
        QMessageBox::warning(this, windowTitle(),
                             message(2, "The e-mail settings (sender, server, return address) are missing."));
        return;
    }
    const bool printOthers =
        QMessageBox::question(
            this, windowTitle(),
            message(0, "Print the statements of the clients who do not take them by e-mail?")) ==
        QMessageBox::Yes;
    if (!options()) return;
    setBusy(true);
    struct Enable {
        StatementWindow* w;
        ~Enable() { w->setBusy(false); }
    } enable{this};
    MailingResult r = mail(printOthers);
    for (const std::string& code : r.toPrint) {
        auto o = options();
        if (!o) break;
        o->fromCode = o->toCode = code;
        o->minimumBalance.reset();
        report::ReportPrinter::print(
            layOutStatements(Session::instance().database(kAlias), reportSetup(*o, false)),
            statementPrinter(), false, this);
    }
    QMessageBox::information(this, windowTitle(), mailSummary(r));
    // A finished run closes the window; the summary and the
    // delivery log keep what happened. A cancelled run leaves it for another try.
    if (!r.cancelled) accept();
}

QString StatementWindow::mailSummary(const MailingResult& r) const {
    int sent = 0, printed = 0;
    for (const auto& d : r.records) {
        sent += d.outcome == Delivery::Sent;
        printed += d.outcome == Delivery::Printed;
    }
    QString summary =
        message(1, "The statements have been processed.") + "\n\n" + message(9, "Sent: %1").arg(sent);
    if (printed > 0) summary += "\n" + message(10, "Printed: %1").arg(printed);
    summary += "\n" + message(11, "Failed: %1").arg(r.failed);
    if (r.cancelled) summary += "\n\n" + message(12, "The run was cancelled before the last client.");
    static const char* const kOutcomes[] = {
        "sent", "refused", "no address", "printed instead", "failed to export", "failed"};
    for (const auto& d : r.records) {
        if (d.outcome == Delivery::Sent || d.outcome == Delivery::Printed) continue;
        const int i = static_cast<int>(d.outcome);
        QString line =
            message(19, "%1: %2").arg(QString::fromStdString(d.client), message(13 + i, kOutcomes[i]));
        if (!d.detail.empty()) line += " (" + QString::fromStdString(mail::foldToLine(d.detail)) + ")";
        summary += "\n" + line;
    }
    return summary;
}

std::int32_t runStatementModule(const core::TLinkSection& received) {
    core::TLinkSection link = received; // the module reads only its own copy
    auto window = std::make_unique<StatementWindow>(link);
    auto errorForm = std::make_unique<forms::TErrorForm>();
    forms::ModuleErrorHandler hook(window.get(), errorForm.get());
    hook.install();
    core::RegionalSettings::loadCurrent(core::SettingsStore());
    window->exec();
    return -1;
}

} // namespace vm::custstmt
