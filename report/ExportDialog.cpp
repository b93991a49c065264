#include "report/ExportDialog.h"

#include "common/core/SettingsStore.h"
#include "report/DataSource.h"
#include "report/Report.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <exception>
#include <stdexcept>

namespace vm::report {

namespace {
QString tx(int language, const char* en, const char* fr) {
    return QString::fromUtf8(language == 1 ? en : fr);
}
constexpr char kFolderSetting[] = "ExportFolder";
} // namespace

ExportDialog::ExportDialog(const Report& report, int language, QWidget* parent)
    : QDialog(parent), title_(report.title()), language_(language) {
    // A second export reads the data source again from its start.
    factory_ = [&report, used = false]() mutable {
        DataSource* src = report.dataSource();
        if (used && src && !src->rewind()) throw std::runtime_error("the report's data cannot be read again");
        used = true;
        return std::make_unique<PageStream>(report);
    };
    build();
}

ExportDialog::ExportDialog(ReportDocument doc, int language, QWidget* parent)
    : QDialog(parent), title_(doc.title), language_(language) {
    auto held = std::make_shared<const ReportDocument>(std::move(doc));
    factory_ = [held] { return std::make_unique<PageStream>(ReportDocument(*held)); };
    build();
}

ExportDialog::ExportDialog(StreamFactory pages, int language, QWidget* parent)
    : QDialog(parent), factory_(std::move(pages)), language_(language) {
    title_ = factory_()->info().title;
    build();
}

QString ExportDialog::defaultDirectory() {
    const QString last =
        QString::fromStdString(core::SettingsStore().read(core::SettingsStore::kValmorand, kFolderSetting));
    if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty() || !QDir().mkpath(dir)) dir = QDir::homePath();
    return dir;
}

void ExportDialog::build() {
    const int l = language_;
    setWindowTitle(tx(l, "Export", "Exporter"));
    setModal(true);

    auto* group = new QGroupBox(tx(l, "Export format", "Format d'exportation"), this);
    group->setObjectName(QStringLiteral("RadioFormat"));
    pdf_ = new QRadioButton(tx(l, "PDF document", "Document PDF"), group);
    pdf_->setObjectName(QStringLiteral("RadioPdf"));
    csv_ = new QRadioButton(tx(l, "CSV file (spreadsheet)", "Fichier CSV (tableur)"), group);
    csv_->setObjectName(QStringLiteral("RadioCsv"));
    text_ = new QRadioButton(tx(l, "Plain text", "Texte brut"), group);
    text_->setObjectName(QStringLiteral("RadioText"));
    pdf_->setChecked(true);
    auto* gl = new QVBoxLayout(group);
    gl->addWidget(pdf_);
    gl->addWidget(csv_);
    gl->addWidget(text_);

    auto* fileLabel = new QLabel(tx(l, "File", "Fichier"), this);
    fileLabel->setObjectName(QStringLiteral("LabelFile"));
    file_ = new QLineEdit(this);
    file_->setObjectName(QStringLiteral("EditFile"));
    fileLabel->setBuddy(file_);
    auto* browse = new QPushButton(tx(l, "Browse...", "Parcourir..."), this);
    browse->setObjectName(QStringLiteral("BtnBrowse"));
    browse->setAutoDefault(false);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("LabelStatus"));
    status_->setWordWrap(true);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("BtnOK"));
    ok_->setDefault(true);
    auto* cancel = new QPushButton(tx(l, "Cancel", "Annuler"), this);
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    cancel->setAutoDefault(false);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(fileLabel);
    fileRow->addWidget(file_, 1);
    fileRow->addWidget(browse);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(fileRow);
    layout->addWidget(status_);
    layout->addLayout(buttons);

    connect(browse, &QPushButton::clicked, this, &ExportDialog::browse);
    connect(ok_, &QPushButton::clicked, this, &ExportDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &ExportDialog::reject);
    for (QRadioButton* r : {pdf_, csv_, text_})
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (on) formatChanged();
        });

    setDirectory(defaultDirectory());
    resize(480, sizeHint().height());
}

ReportExporter::Format ExportDialog::format() const {
    if (csv_->isChecked()) return ReportExporter::Format::Csv;
    if (text_->isChecked()) return ReportExporter::Format::Text;
    return ReportExporter::Format::Pdf;
}

void ExportDialog::setFormat(ReportExporter::Format f) {
    (f == ReportExporter::Format::Csv    ? csv_
     : f == ReportExporter::Format::Text ? text_
                                         : pdf_)
        ->setChecked(true);
}

QString ExportDialog::filePath() const {
    return file_->text();
}

void ExportDialog::setFilePath(const QString& path) {
    file_->setText(path);
}

QString ExportDialog::statusText() const {
    return status_->text();
}

void ExportDialog::setDirectory(const QString& dir) {
    dir_ = dir;
    QString name = QString::fromStdString(ReportExporter::cleanFileName(title_)) + QLatin1Char('.') +
                   QLatin1String(ReportExporter::extension(format()));
    file_->setText(QDir(dir_).filePath(name));
}

// Follows the format in the file's extension when it still has the previous one.
void ExportDialog::formatChanged() {
    QString oldExt = QLatin1Char('.') + QLatin1String(ReportExporter::extension(lastFormat_));
    QString newExt = QLatin1Char('.') + QLatin1String(ReportExporter::extension(format()));
    QString path = file_->text();
    if (path.endsWith(oldExt, Qt::CaseInsensitive))
        file_->setText(path.left(path.size() - oldExt.size()) + newExt);
    lastFormat_ = format();
}

void ExportDialog::browse() {
    const int l = language_;
    QString filter;
    switch (format()) {
    case ReportExporter::Format::Pdf:
        filter = tx(l, "PDF documents (*.pdf)", "Documents PDF (*.pdf)");
        break;
    case ReportExporter::Format::Csv:
        filter = tx(l, "CSV files (*.csv)", "Fichiers CSV (*.csv)");
        break;
    case ReportExporter::Format::Text:
        filter = tx(l, "Text files (*.txt)", "Fichiers texte (*.txt)");
        break;
    }
    QString path = QFileDialog::getSaveFileName(this, windowTitle(), resolvedPath(), filter);
    if (!path.isEmpty()) {
        file_->setText(path);
        confirmedPath_ = path; // the file dialog has asked about replacing it
    }
}

// A relative name is taken in the dialog's folder; a name without an
// extension gets the format's.
QString ExportDialog::resolvedPath() const {
    QString path = file_->text().trimmed();
    if (path.isEmpty()) return {};
    QFileInfo fi(path);
    if (fi.isRelative()) path = QDir(dir_).filePath(path);
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + QLatin1String(ReportExporter::extension(format()));
    return QDir::cleanPath(path);
}

void ExportDialog::showError(const QString& text) {
    status_->setText(text);
    ok_->setEnabled(true);
}

void ExportDialog::accept() {
    const int l = language_;
    if (!layoutError_.isEmpty()) {
        showError(layoutError_);
        return;
    }
    QString path = resolvedPath();
    if (path.isEmpty() || QFileInfo(file_->text().trimmed()).fileName().isEmpty()) {
        showError(tx(l, "Please enter a file name.", "Veuillez entrer un nom de fichier."));
        return;
    }
    QFileInfo fi(path);
    if (fi.isDir()) {
        showError(
            tx(l, "This is a folder, not a file: %1", "Ceci est un dossier, pas un fichier : %1").arg(path));
        return;
    }
    if (!fi.dir().exists()) {
        showError(
            tx(l, "The folder does not exist: %1", "Le dossier n'existe pas : %1").arg(fi.absolutePath()));
        return;
    }
    if (confirmOverwrite_ && fi.exists() && path != confirmedPath_) {
        auto answer = QMessageBox::question(
            this, windowTitle(),
            tx(l, "%1 already exists. Replace it?", "%1 existe déjà. Le remplacer ?").arg(path));
        if (answer != QMessageBox::Yes) return;
    }
    ok_->setEnabled(false);
    status_->setText(tx(l, "Exporting...", "Exportation..."));
    exporting_ = true;
    cancel_ = false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::string error;
    WriteOutcome outcome = WriteOutcome::Failed;
    try {
        std::unique_ptr<PageStream> pages = factory_();
        outcome = ReportExporter::write(*pages, format(), path.toStdString(), &error, [&](int done) {
            status_->setText(tx(l, "Exporting: %1 pages done", "Exportation : %1 pages faites").arg(done));
            QApplication::processEvents();
            return !cancel_;
        });
    } catch (const std::exception& e) {
        error = e.what();
        layoutError_ =
            tx(l, "The report could not be prepared: %1", "Le rapport n'a pas pu être préparé : %1")
                .arg(QString::fromStdString(error));
    }
    exporting_ = false;
    QApplication::restoreOverrideCursor();
    if (!layoutError_.isEmpty()) {
        showError(layoutError_);
        return;
    }
    if (outcome == WriteOutcome::Cancelled) {
        showError(tx(l, "The export was cancelled; no file was written.",
                     "L'exportation a été annulée; aucun fichier n'a été écrit."));
        return;
    }
    if (outcome != WriteOutcome::Written) {
        showError(tx(l, "The report could not be exported: %1", "Le rapport n'a pas pu être exporté : %1")
                      .arg(QString::fromStdString(error)));
        return;
    }
    exported_ = path;
    try {
        core::SettingsStore().write(core::SettingsStore::kValmorand, kFolderSetting,
                                    QFileInfo(path).absolutePath().toStdString());
    } catch (const std::exception&) {
        // The folder is only a convenience for next time.
    }
    status_->setText(tx(l, "Exported to %1", "Exporté dans %1").arg(path));
    QDialog::accept();
}

void ExportDialog::reject() {
    if (exporting_) { // Cancel or Escape while writing: stop, stay open
        cancel_ = true;
        return;
    }
    QDialog::reject();
}

} // namespace vm::report
