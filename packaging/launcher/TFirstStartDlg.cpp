#include "packaging/launcher/TFirstStartDlg.h"

#include "common/forms/FormTranslation.h"
#include "common/forms/HelpLauncher.h"
#include "common/forms/MessageList.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace vm::launcher {
namespace {

constexpr int kHelpContext = 102;

enum Message { kCreating = 0, kNotCreated = 1, kCancelled = 2, kNoSettings = 3 };

} // namespace

TFirstStartDlg::TFirstStartDlg(const FirstStart& start, int language, QWidget* parent)
    : QDialog(parent), start_(start), language_(language) {
    setObjectName(QStringLiteral("TFirstStartDlg"));
    setWindowTitle(QStringLiteral("Welcome to Valmorand"));
    auto* layout = new QVBoxLayout(this);

    intro_ = new QLabel(QStringLiteral("This workstation has no data folder yet. Valmorand keeps its "
                                       "companies in this folder:"),
                        this);
    intro_->setObjectName(QStringLiteral("LabelIntro"));
    intro_->setWordWrap(true);
    layout->addWidget(intro_);

    drive_ = new QLineEdit(QString::fromStdString(FirstStart::defaultDataDrive()), this);
    drive_->setObjectName(QStringLiteral("EditFolder"));
    drive_->setMinimumWidth(420);
    layout->addWidget(drive_);

    auto* group = new QGroupBox(QStringLiteral("Start with"), this);
    group->setObjectName(QStringLiteral("GroupStart"));
    auto* groupLayout = new QVBoxLayout(group);
    empty_ = new QRadioButton(QStringLiteral("No company: I create my own company next"), group);
    demo_ = new QRadioButton(QStringLiteral("The demo company, to try Valmorand"), group);
    empty_->setChecked(true);
    groupLayout->addWidget(empty_);
    groupLayout->addWidget(demo_);
    layout->addWidget(group);

    auto* buttons = new QDialogButtonBox(this);
    create_ = buttons->addButton(QStringLiteral("Create"), QDialogButtonBox::AcceptRole);
    create_->setObjectName(QStringLiteral("BtnCreate"));
    create_->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    QPushButton* help = buttons->addButton(QStringLiteral("Help"), QDialogButtonBox::HelpRole);
    help->setObjectName(QStringLiteral("BtnHelp"));
    layout->addWidget(buttons);
    connect(create_, &QPushButton::clicked, this, [this] { create(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &TFirstStartDlg::showHelp);
    connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this,
            &TFirstStartDlg::showHelp);

    messages_ = new forms::MessageList(this);
    messages_->setLines({QStringLiteral("Creating the data folder..."),
                         QStringLiteral("The data folder could not be created."),
                         QStringLiteral("Cancelled: nothing was set up."),
                         QStringLiteral("The settings could not be written.")});
    try {
        forms::translateForm(*this, "firststart", language == 2 ? "fr" : "en");
    } catch (const std::exception&) {
        // No language table: the designed English texts stay.
    }
}

QString TFirstStartDlg::dataDrive() const {
    return QDir::cleanPath(drive_->text().trimmed());
}

void TFirstStartDlg::setDataDrive(const QString& drive) {
    drive_->setText(drive);
}

void TFirstStartDlg::chooseDemo(bool demo) {
    (demo ? demo_ : empty_)->setChecked(true);
}

void TFirstStartDlg::showHelp() {
    const QString path = QString::fromStdString(start_.programDir()) + QStringLiteral("/../help/") +
                         (language_ == 2 ? QStringLiteral("fr") : QStringLiteral("en"));
    forms::openHelp(QDir::cleanPath(path), kHelpContext, language_, this);
}

// Runs valmorand-admin with a progress box; its error text is kept as the
// failure. Cancelling ends the run: what it was creating is cleared by the
// next creation.
bool TFirstStartDlg::run(const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QProgressDialog progress(messages_->message(kCreating), QString(), 0, 0, this);
    progress.setObjectName(QStringLiteral("ProgressCreate"));
    progress.setCancelButtonText(findChild<QPushButton*>(QStringLiteral("BtnCancel"))->text());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    QEventLoop loop;
    bool cancelled = false;
    connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    connect(&process, &QProcess::errorOccurred, &loop, [&loop](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) loop.quit();
    });
    connect(&progress, &QProgressDialog::canceled, &loop, [&] {
        cancelled = true;
        process.kill();
    });
    process.start(start_.adminProgram(), arguments);
    if (process.state() != QProcess::NotRunning || process.error() != QProcess::FailedToStart) loop.exec();
    progress.reset();
    if (cancelled) {
        process.waitForFinished();
        failure_ = messages_->message(kCancelled);
        return false;
    }
    if (process.error() == QProcess::FailedToStart) {
        failure_ = messages_->message(kNotCreated) + QLatin1Char('\n') + start_.adminProgram();
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        failure_ = messages_->message(kNotCreated) + QLatin1Char('\n') +
                   QString::fromUtf8(process.readAllStandardError()).trimmed();
        return false;
    }
    return true;
}

bool TFirstStartDlg::create() {
    failure_.clear();
    const QString drive = dataDrive();
    if (drive.isEmpty() || !QDir().mkpath(drive)) {
        failure_ = messages_->message(kNotCreated) + QLatin1Char('\n') + QDir::toNativeSeparators(drive);
    } else {
        for (const QStringList& args : start_.commands(drive.toStdString(), demo_->isChecked(), language_))
            if (!run(args)) break;
        if (failure_.isEmpty()) try {
                start_.store(drive.toStdString(), language_);
            } catch (const std::exception& e) {
                failure_ = messages_->message(kNoSettings) + QLatin1Char('\n') + QString::fromUtf8(e.what());
            }
    }
    if (!failure_.isEmpty()) {
        if (isVisible()) QMessageBox::warning(this, windowTitle(), failure_);
        return false;
    }
    accept();
    return true;
}

} // namespace vm::launcher
