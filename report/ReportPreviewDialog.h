#pragma once
#include "report/PageStream.h"
#include "report/ReportDocument.h"

#include <QDialog>

#include <map>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QTimer;
namespace vm::forms {
class MessageList;
}

namespace vm::report {

// The preview window: one page at a time as an image, first/prior/next/last
// page, zoom (fit to width, whole page, or a percentage), and a print button
// that sends the report to the session's printer (ReportPrinter).
//
// Over a stream factory it opens on the first page as soon as that page is
// laid out and lays the following ones out as the user reaches them; the
// page count is counted in the background and shown once known. Only a few
// laid-out pages (kCachedPages) and the one rendered image are held; a page
// let go is laid out again from the start of the report when asked for.
//
// Keys: Page Down / Page Up next and prior page, Home / End first and last
// (with or without Ctrl), Ctrl++ / Ctrl+- zoom in and out, Ctrl+0 whole page,
// Ctrl+1 100 %, Ctrl+2 fit to width.
//
// Its texts come from the shared language table (MainMenu, form
// ReportPreviewDialog), English when language is 1, else French; every
// button's tool tip names its key and the captions get access keys.
class ReportPreviewDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kCachedPages = 12;
    static constexpr double kFitWidth = -1, kFitPage = -2;

    ReportPreviewDialog(StreamFactory pages, int printerIndex, int language, QWidget* parent = nullptr);
    ReportPreviewDialog(ReportDocument doc, int printerIndex, int language, QWidget* parent = nullptr);
    ~ReportPreviewDialog() override;

    int pageIndex() const { return page_; }
    // The number of pages; -1 while it is still being counted.
    int pageCount() const { return total_; }
    // The scale of the page shown (1 = 100 %), whatever the zoom mode.
    double zoom() const { return scale_; }
    // A scale, or kFitWidth / kFitPage.
    double zoomMode() const { return zoomMode_; }
    int cachedPages() const { return static_cast<int>(cache_.size()); }
    void showPage(int index);
    void setZoom(double zoom);
    // Counts the remaining pages now (the background count, finished at once).
    void finishCounting();
    // Whether Print shows the print set-up dialog first (it does by default).
    void setShowPrintSetup(bool show) { showSetup_ = show; }
    // Where Print saves a PDF when there is no printer (documents folder by default).
    void setPdfFallbackDir(const QString& dir) { pdfDir_ = dir; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void build();
    void printReport();
    void refresh();
    void countSome();
    bool ensurePage(int index);
    void trimCache();
    void stepZoom(int direction);
    QString text(int i) const;

    StreamFactory factory_;
    std::unique_ptr<PageStream> reader_;
    std::unique_ptr<PageStream> counter_;
    std::map<int, DocumentPage> cache_;
    PageSetup setup_;
    std::string title_;
    int printerIndex_;
    int language_;
    int page_ = 0;
    int total_ = -1;
    double zoomMode_ = kFitWidth;
    double scale_ = 1.0;
    bool showSetup_ = true;
    QString pdfDir_;
    QTimer* countTimer_ = nullptr;
    forms::MessageList* texts_ = nullptr;
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
