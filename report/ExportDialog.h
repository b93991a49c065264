#pragma once
#include "report/PageStream.h"
#include "report/ReportExporter.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vm::report {

class Report;

// The modal export dialog: choose PDF, CSV or plain text and a file (named
// after the report title by default, in the folder of the last export, else
// the user's documents folder, made when missing), then export. It closes
// with Accepted only once the file is written; a failure is shown in the
// dialog, which stays open. The report is laid out (its data source read)
// only when the user confirms, page by page as the file is written; the
// status line counts the pages done and Cancel stops the export, leaving no
// file. The folder of a successful export is remembered in the workstation
// settings (ExportFolder in the Valmorand section).
//
// Widgets carry component names as objectNames (RadioFormat, RadioPdf, RadioCsv,
// RadioText, LabelFile, EditFile, BtnBrowse, LabelStatus, BtnOK, BtnCancel) for the
// language tables; built-in captions are English when language is 1, else
// French.
class ExportDialog : public QDialog {
    Q_OBJECT
public:
    ExportDialog(const Report& report, int language, QWidget* parent = nullptr);
    ExportDialog(ReportDocument doc, int language, QWidget* parent = nullptr);
    ExportDialog(StreamFactory pages, int language, QWidget* parent = nullptr);

    // The folder a new export dialog starts in.
    static QString defaultDirectory();

    ReportExporter::Format format() const;
    void setFormat(ReportExporter::Format f);
    QString filePath() const;
    void setFilePath(const QString& path);
    // The folder of the default file and of relative names typed by the user.
    void setDirectory(const QString& dir);
    // Ask before replacing an existing file (on by default).
    void setConfirmOverwrite(bool on) { confirmOverwrite_ = on; }
    // The file written, once the dialog was accepted.
    const QString& exportedPath() const { return exported_; }
    QString statusText() const;

    void accept() override;
    void reject() override;

private:
    void build();
    void browse();
    void formatChanged();
    QString resolvedPath() const;
    void showError(const QString& text);

    StreamFactory factory_;
    std::string title_;
    int language_;
    bool exporting_ = false;
    bool cancel_ = false;
    QString dir_;
    QString exported_;
    QString confirmedPath_; // chosen in the file dialog, which asked about replacing
    bool confirmOverwrite_ = true;
    QString layoutError_; // the data source failed part-way: it cannot be read again
    ReportExporter::Format lastFormat_ = ReportExporter::Format::Pdf;
    QRadioButton* pdf_ = nullptr;
    QRadioButton* csv_ = nullptr;
    QRadioButton* text_ = nullptr;
    QLineEdit* file_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* ok_ = nullptr;
};

} // namespace vm::report
