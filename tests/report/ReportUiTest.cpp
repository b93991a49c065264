#include "components/outfilters/ExportReportEntry.h"
#include "report/ExportDialog.h"
#include "report/ReportLayouter.h"
#include "report/ReportPreviewDialog.h"
#include "report/ReportPrinter.h"
#include "report/VectorDataSource.h"
#include "tests/report/SampleReport.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <dlfcn.h>
#include <gtest/gtest.h>

using namespace vm;
using namespace vm::report;

namespace {

// The dialogs read their texts from the shipped language tables.
void app() {
    vm::test::ensureApplication();
    setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
}

template <class T> T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

// Runs `act` on the modal dialog once it is shown.
void whenModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w) {
            whenModal(act);
            return;
        }
        act(w);
    });
}

} // namespace

TEST(ReportUi, ExportDialogWritesTheChosenFormatOrStaysOpen) {
    app();
    QTemporaryDir dir;
    setenv("VALMORAND_SETTINGS", dir.filePath("settings.ini").toUtf8().constData(), 1);
    vm::test::SampleReport s;
    ExportDialog dlg(s.report, 1, nullptr);
    dlg.setDirectory(dir.path());
    EXPECT_EQ(dlg.filePath(), dir.filePath("List of Clients.pdf"));
    child<QRadioButton>(&dlg, "RadioCsv")->setChecked(true);
    EXPECT_EQ(dlg.filePath(), dir.filePath("List of Clients.csv"));

    // A folder that does not exist: a message, the dialog stays, nothing read.
    child<QLineEdit>(&dlg, "EditFile")->setText(dir.filePath("missing/out.csv"));
    QTest::mouseClick(child<QPushButton>(&dlg, "BtnOK"), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_TRUE(dlg.statusText().contains("does not exist")) << dlg.statusText().toStdString();

    // A bare name lands in the dialog's folder with the format's extension.
    child<QLineEdit>(&dlg, "EditFile")->setText("clients");
    QTest::mouseClick(child<QPushButton>(&dlg, "BtnOK"), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.exportedPath(), dir.filePath("clients.csv"));
    EXPECT_EQ(vm::test::readFile(dlg.exportedPath().toStdString()).substr(0, 9), "Territory");
    // The next export starts in the folder of this one.
    EXPECT_EQ(ExportDialog::defaultDirectory(), dir.path());

    ExportDialog fr(s.report, 2, nullptr);
    EXPECT_EQ(child<QPushButton>(&fr, "BtnCancel")->text(), "Annuler");
}

TEST(ReportUi, PreviewPagesThroughTheReport) {
    app();
    vm::test::SampleReport s;
    ReportDocument doc = ReportLayouter::run(s.report);
    const int pages = static_cast<int>(doc.pages.size());
    ReportPreviewDialog dlg(std::move(doc), 0, 1);
    auto* label = child<QLabel>(&dlg, "LabelPage");
    EXPECT_EQ(label->text(), QString("Page 1 of %1").arg(pages));
    EXPECT_FALSE(child<QPushButton>(&dlg, "BtnPrior")->isEnabled());
    QTest::mouseClick(child<QPushButton>(&dlg, "BtnNext"), Qt::LeftButton);
    EXPECT_EQ(dlg.pageIndex(), 1);
    QTest::mouseClick(child<QPushButton>(&dlg, "BtnLast"), Qt::LeftButton);
    EXPECT_EQ(dlg.pageIndex(), pages - 1);
    EXPECT_FALSE(child<QPushButton>(&dlg, "BtnNext")->isEnabled());
    auto* img = child<QLabel>(&dlg, "LabelPageImage");
    EXPECT_EQ(dlg.zoomMode(), ReportPreviewDialog::kFitWidth);
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    dlg.setZoom(1.0);
    int w100 = img->pixmap().width();
    QTest::keyClick(&dlg, Qt::Key_Plus, Qt::ControlModifier); // 125 %
    EXPECT_DOUBLE_EQ(dlg.zoom(), 1.25);
    EXPECT_NEAR(img->pixmap().width(), 1.25 * w100, 2);
    QTest::keyClick(&dlg, Qt::Key_Home);
    EXPECT_EQ(dlg.pageIndex(), 0);
    QTest::keyClick(&dlg, Qt::Key_PageDown);
    EXPECT_EQ(dlg.pageIndex(), 1);
    if (const char* dir = std::getenv("VM_SCREENSHOT_DIR"))
        dlg.grab().save(QString::fromLocal8Bit(dir) + "/preview-en.png");
}

// A French session reads the preview's captions from the shared language
// table; every button names its key in its tool tip and has an access key.
TEST(ReportUi, PreviewSpeaksTheSessionsLanguage) {
    app();
    vm::test::SampleReport s;
    ReportDocument doc = ReportLayouter::run(s.report);
    const int pages = static_cast<int>(doc.pages.size());
    ReportPreviewDialog dlg(std::move(doc), 0, 2);
    EXPECT_EQ(child<QLabel>(&dlg, "LabelPage")->text(), QString("Page 1 de %1").arg(pages));
    EXPECT_EQ(child<QComboBox>(&dlg, "ComboZoom")->itemText(0), QStringLiteral("Pleine largeur"));
    auto* next = child<QPushButton>(&dlg, "BtnNext");
    EXPECT_EQ(next->toolTip(), QStringLiteral("Page suivante (%1)")
                                   .arg(QKeySequence(Qt::Key_PageDown).toString(QKeySequence::NativeText)));
    EXPECT_TRUE(next->text().contains(QLatin1Char('&'))) << next->text().toStdString();
    if (const char* dir = std::getenv("VM_SCREENSHOT_DIR")) {
        dlg.show();
        QTest::qWait(50);
        dlg.grab().save(QString::fromLocal8Bit(dir) + "/preview-fr.png");
    }
    PrintOutcome failed;
    failed.error = QStringLiteral("x");
    EXPECT_EQ(failed.message(2), QStringLiteral("Le rapport n'a pas pu être imprimé\u00a0: x"));
}

// Over a stream the preview shows the first page at once, counts the rest
// while the user reads, and holds only a few pages whatever the length.
TEST(ReportUi, PreviewOfAStreamHoldsFewPagesAndFitsTheScreen) {
    app();
    ReportPreviewDialog dlg(
        [] {
            auto s = std::make_shared<vm::test::SampleReport>();
            s->report.detail().height = 150; // about 30 pages
            return std::make_unique<PageStream>(s->report, s);
        },
        0, 1);
    EXPECT_EQ(dlg.pageCount(), -1);
    EXPECT_FALSE(child<QLabel>(&dlg, "LabelPageImage")->pixmap().isNull());
    dlg.finishCounting();
    const int pages = dlg.pageCount();
    ASSERT_GT(pages, ReportPreviewDialog::kCachedPages + 5);
    QTest::mouseClick(child<QPushButton>(&dlg, "BtnLast"), Qt::LeftButton);
    EXPECT_EQ(dlg.pageIndex(), pages - 1);
    EXPECT_LE(dlg.cachedPages(), ReportPreviewDialog::kCachedPages);
    dlg.showPage(5); // let go of: laid out again from the start
    EXPECT_EQ(dlg.pageIndex(), 5);
    EXPECT_EQ(child<QLabel>(&dlg, "LabelPage")->text(), QString("Page 6 of %1").arg(pages));
    dlg.show();
    const QRect screen = dlg.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(dlg.frameGeometry())) << dlg.frameGeometry().height();
    EXPECT_LE(child<QLabel>(&dlg, "LabelPageImage")->pixmap().width(),
              child<QWidget>(&dlg, "ScrollPages")->width());
}

TEST(ReportUi, PrintingWithoutThatPrinterSavesAPdfAndSaysWhere) {
    app();
    QTemporaryDir dir;
    vm::test::SampleReport s;
    ReportDocument doc = ReportLayouter::run(s.report);
    PrintOutcome first = ReportPrinter::print(doc, 9999, false, nullptr, dir.path());
    ASSERT_EQ(first.status, PrintOutcome::Status::SavedAsPdf) << first.error.toStdString();
    EXPECT_EQ(first.pdfPath, dir.filePath("List of Clients.pdf"));
    EXPECT_TRUE(first.message(1).contains(first.pdfPath));
    EXPECT_TRUE(first.message(2).contains("enregistré"));
    // A second print never replaces the first file.
    PrintOutcome second = ReportPrinter::print(doc, 9999, false, nullptr, dir.path());
    EXPECT_EQ(second.pdfPath, dir.filePath("List of Clients (2).pdf"));
    EXPECT_TRUE(QFileInfo::exists(first.pdfPath));
}

// The component libraries as a module loads them.
TEST(ReportUi, ExportComponentsByName) {
    app();
    QTemporaryDir dir;
    void* lib1 = dlopen(VM_PROGRAM_DIR "/outfilters1.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib1, nullptr) << dlerror();
    auto toFile = reinterpret_cast<vm::components::ExportReportToFileFunction>(
        dlsym(lib1, vm::components::kExportReportToFileSymbol));
    ASSERT_NE(toFile, nullptr);
    vm::test::SampleReport s;
    std::string path = dir.filePath("stmtC001.txt").toStdString();
    EXPECT_EQ(toFile(&s.report, path.c_str(), 3), 1);
    EXPECT_NE(vm::test::readFile(path).find("List of Clients"), std::string::npos);
    EXPECT_EQ(toFile(&s.report, path.c_str(), 7), 0);
    dlclose(lib1);

    void* lib = dlopen(VM_PROGRAM_DIR "/outfilters.so", RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    auto show = reinterpret_cast<vm::components::ExportReportFunction>(
        dlsym(lib, vm::components::kExportReportSymbol));
    ASSERT_NE(show, nullptr);
    vm::test::SampleReport s2;
    whenModal([](QWidget* w) {
        EXPECT_EQ(w->objectName(), "TExportDialog");
        QTest::mouseClick(w->findChild<QPushButton*>("BtnCancel"), Qt::LeftButton);
    });
    EXPECT_EQ(show(&s2.report, 1, nullptr), 0);
    QString out = dir.filePath("via-component.pdf");
    whenModal([out](QWidget* w) {
        w->findChild<QLineEdit*>("EditFile")->setText(out);
        QTest::mouseClick(w->findChild<QPushButton*>("BtnOK"), Qt::LeftButton);
    });
    EXPECT_EQ(show(&s2.report, 2, nullptr), 1);
    EXPECT_TRUE(QFileInfo::exists(out));
    dlclose(lib);
}

// Cancel while the pages are being written stops the export: no file, and
// the dialog stays open saying so.
TEST(ReportUi, CancelDuringExportLeavesNoFile) {
    app();
    QTemporaryDir dir;
    setenv("VALMORAND_SETTINGS", dir.filePath("settings.ini").toUtf8().constData(), 1);
    vm::test::SampleReport s;
    s.report.detail().height = 150;
    ExportDialog dlg(s.report, 1, nullptr);
    dlg.setDirectory(dir.path());
    QTimer::singleShot(0, [&] { QTest::mouseClick(child<QPushButton>(&dlg, "BtnCancel"), Qt::LeftButton); });
    QTest::mouseClick(child<QPushButton>(&dlg, "BtnOK"), Qt::LeftButton);
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(dlg.statusText().contains("cancelled")) << dlg.statusText().toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("List of Clients.pdf")));
}
