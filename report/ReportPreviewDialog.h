#pragma once
#include "report/ReportDocument.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace vm::report {

// The preview window: one page at a time as an image, first/prior/next/last
// page, zoom, and a print button that sends the report to the session's
// printer (ReportPrinter). Widgets carry component names as objectNames for
// the language tables; the built-in captions are English when language is 1,
// else French.
class ReportPreviewDialog : public QDialog {
    Q_OBJECT
public:
    ReportPreviewDialog(ReportDocument doc, int printerIndex, int language, QWidget* parent = nullptr);

    int pageIndex() const { return page_; }
    int pageCount() const { return static_cast<int>(doc_.pages.size()); }
    double zoom() const { return zoom_; }
    void showPage(int index);
    void setZoom(double zoom);
    // Whether Print shows the print set-up dialog first (it does by default).
    void setShowPrintSetup(bool show) { showSetup_ = show; }
    // Where Print saves a PDF when there is no printer (documents folder by default).
    void setPdfFallbackDir(const QString& dir) { pdfDir_ = dir; }

private:
    void printReport();
    void refresh();

    ReportDocument doc_;
    int printerIndex_;
    int language_;
    int page_ = 0;
    double zoom_ = 1.0;
    bool showSetup_ = true;
    QString pdfDir_;
    QLabel* image_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QComboBox* zoomBox_ = nullptr;
    QPushButton* first_ = nullptr;
    QPushButton* prior_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* last_ = nullptr;
    QPushButton* print_ = nullptr;
};

} // namespace vm::report
