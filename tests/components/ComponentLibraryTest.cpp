#include "tests/components/ComponentTestSupport.h"

#include "common/core/ModuleLoader.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using vm::core::TLinkSection;
using vm::test::ComponentLibrary;
using vm::test::onNextModal;

namespace fs = std::filesystem;

namespace {

using Step = std::int32_t (*)();
using Caption = std::int32_t (*)(std::int32_t);
using WithRecord = std::int32_t (*)(TLinkSection);

QWidget* visibleTopLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible()) return w;
    return nullptr;
}

bool anyTopLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name) return true;
    return false;
}

// A scratch program directory.
class TempProgramDir {
public:
    TempProgramDir() {
        std::string pattern = (fs::temp_directory_path() / "vmcomp.XXXXXX").string();
        dir_ = ::mkdtemp(pattern.data());
    }
    ~TempProgramDir() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    const std::string& path() const { return dir_; }
    // Installs the stand-in module under this module code.
    void installProbe(const std::string& code) const {
        fs::copy_file(VM_PROBE_MODULE, fs::path(dir_) / (code + ".so"), fs::copy_options::overwrite_existing);
    }
    std::string log() const {
        std::ifstream in(fs::path(dir_) / "probe.log");
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

private:
    std::string dir_;
};

// The workstation settings the progress box reads its language from; no
// language tables, so that the designed texts show.
class Settings {
public:
    explicit Settings(const std::string& language)
        : file_(fs::temp_directory_path() / "vm-components-settings.ini") {
        if (const char* old = std::getenv("VALMORAND_SETTINGS")) old_ = old;
        std::ofstream(file_) << "[Valmorand]\nlanguage=" << language << "\n";
        ::setenv("VALMORAND_SETTINGS", file_.c_str(), 1);
        ::setenv("VALMORAND_LANGUAGES", fs::temp_directory_path().c_str(), 1);
    }
    ~Settings() {
        ::unsetenv("VALMORAND_LANGUAGES");
        if (old_.empty())
            ::unsetenv("VALMORAND_SETTINGS");
        else
            ::setenv("VALMORAND_SETTINGS", old_.c_str(), 1);
        fs::remove(file_);
    }

private:
    fs::path file_;
    std::string old_;
};

} // namespace

// The shell's start-up sequence: open, caption 0, step, caption 1, two steps,
// close. Every call succeeds and the box shows what it is told; calls that
// cannot do anything say so.
TEST(ProgressBox, FollowsTheStartUpSequence) {
    Settings french("2");
    ComponentLibrary lib("progressbox");
    ASSERT_TRUE(lib.loaded()) << lib.error();
    auto open = lib.function<Step>("loading_Dialog_open");
    auto step = lib.function<Step>("loading_Dialog_step");
    auto caption = lib.function<Caption>("loading_Dialog_caption");
    auto close = lib.function<Step>("loading_Dialog_close");
    ASSERT_TRUE(open && step && caption && close);

    EXPECT_EQ(step(), 0) << "no box is open yet";
    EXPECT_NE(open(), 0);
    QWidget* box = visibleTopLevel("TProgressBox");
    ASSERT_NE(box, nullptr);
    auto* text = box->findChild<QLabel*>("LabelText");
    ASSERT_NE(text, nullptr);
    EXPECT_NE(caption(0), 0);
    EXPECT_EQ(text->text(), "Chargement en cours, veuillez patienter...");
    EXPECT_NE(step(), 0);
    EXPECT_NE(caption(1), 0);
    EXPECT_EQ(text->text(), "Ouverture de la compagnie, veuillez patienter...");
    EXPECT_EQ(caption(2), 0);
    EXPECT_EQ(text->text(), "Ouverture de la compagnie, veuillez patienter...");
    EXPECT_NE(step(), 0);
    EXPECT_NE(step(), 0);
    EXPECT_NE(step(), 0) << "more steps than planned still succeed";
    EXPECT_NE(open(), 0) << "opening an open box keeps it";
    EXPECT_NE(close(), 0);
    EXPECT_FALSE(anyTopLevel("TProgressBox"));
    EXPECT_EQ(step(), 0);
    EXPECT_EQ(caption(0), 0);
    EXPECT_NE(close(), 0) << "closing twice is harmless";
}

// Unloading the library while its box is still open must not leave a window
// whose code is gone.
TEST(ProgressBox, UnloadingClosesAnOpenBox) {
    Settings english("1");
    {
        ComponentLibrary lib("progressbox");
        ASSERT_NE(lib.function<Step>("loading_Dialog_open")(), 0);
        EXPECT_EQ(visibleTopLevel("TProgressBox")->findChild<QLabel*>("LabelText")->text(),
                  "Loading, please wait...");
    }
    EXPECT_FALSE(anyTopLevel("TProgressBox"));
    QApplication::processEvents();
}

TEST(DoneBox, TellsTheProcedureIsFinished) {
    Settings english("1");
    ComponentLibrary lib("donebox");
    auto finished = lib.function<WithRecord>("Finished_Dialog");
    ASSERT_NE(finished, nullptr) << lib.error();
    for (int language : {1, 2}) {
        QString title, text;
        onNextModal([&](QWidget& w) {
            title = w.windowTitle();
            text = w.findChild<QLabel*>("LabelMessage")->text();
            QTest::mouseClick(w.findChild<QPushButton*>("BtnOK"), Qt::LeftButton);
        });
        EXPECT_EQ(finished(vm::test::sessionRecord("/nonexistent", language)), 1);
        EXPECT_EQ(title, language == 1 ? "Finished" : "Terminé");
        EXPECT_EQ(text, language == 1 ? "The procedure is finished." : "La procédure est terminée.");
    }
}

// Choosing an option starts its module from the program directory with a
// copy of the caller's record, the quick link window still open beneath it;
// the window closes when the module returns.
TEST(QuickLink, StartsTheChosenOption) {
    Settings english("1");
    TempProgramDir bin;
    bin.installProbe("purchjrnl");
    ComponentLibrary lib("jumplink");
    auto quickLink = lib.function<WithRecord>("QuickLink");
    ASSERT_NE(quickLink, nullptr) << lib.error();
    TLinkSection link = vm::test::sessionRecord("/nonexistent", 1, bin.path());
    link.CompanyCode = "42";

    QString title;
    int visibleRows = -1;
    onNextModal([&](QWidget& w) {
        title = w.windowTitle();
        auto* edit = w.findChild<QLineEdit*>("EditSearch");
        auto* grid = w.findChild<QTableWidget*>("Grid");
        QTest::keyClicks(edit, "purch");
        visibleRows = 0;
        for (int r = 0; r < grid->rowCount(); ++r)
            visibleRows += grid->isRowHidden(r) ? 0 : 1;
        QTest::keyClick(edit, Qt::Key_Return);
    });
    quickLink(link);
    EXPECT_EQ(title, "Quick Link");
    EXPECT_EQ(visibleRows, 1);
    EXPECT_EQ(bin.log(), "purchjrnl company=42 user=ADMIN quicklink=1\n");
    EXPECT_FALSE(visibleTopLevel("TQuickLink"));
}

// The quick link of a running module offers that module too: starting it a
// second time would share the first run's library, session and work tables,
// so it is refused with a message and the first run goes on.
TEST(QuickLink, RefusesTheModuleThatIsRunning) {
    Settings french("2");
    ::setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
    TempProgramDir bin;
    bin.installProbe("cashrcpt");
    fs::copy_file(fs::path(VM_PROGRAM_DIR) / "jumplink.so", fs::path(bin.path()) / "jumplink.so");
    std::ofstream(fs::path(bin.path()) / "quicklink.on");

    QString message;
    onNextModal([&](QWidget& w) {
        auto* grid = w.findChild<QTableWidget*>("Grid");
        onNextModal(
            [&](QWidget& box) {
                message = static_cast<QMessageBox&>(box).text();
                static_cast<QMessageBox&>(box).accept();
            },
            &w);
        grid->selectRow(1); // cashrcpt, the module the quick link was called from
        QTest::keyClick(grid, Qt::Key_Return);
        EXPECT_TRUE(w.isVisible());
        QTest::mouseClick(w.findChild<QPushButton*>("BtnCancel"), Qt::LeftButton);
    });
    const auto run = vm::core::ModuleLoader(bin.path())
                         .run("cashrcpt", vm::test::sessionRecord("/nonexistent", 2, bin.path()));
    EXPECT_TRUE(run.loaded);
    EXPECT_EQ(message, "Cette option est déjà ouverte. Fermez sa fenêtre avant de la lancer de nouveau.");
    EXPECT_EQ(bin.log(), "cashrcpt company=1 user=ADMIN quicklink=0\n");
    EXPECT_FALSE(vm::core::ModuleLoader::isRunning(bin.path() + "/cashrcpt.so"));
}

// An option whose library is missing gives the shell's load message and
// leaves the window open for another choice.
TEST(QuickLink, ReportsAnOptionThatCannotLoad) {
    Settings french("2");
    TempProgramDir bin;
    bin.installProbe("cashrcpt");
    ComponentLibrary lib("jumplink");
    auto quickLink = lib.function<WithRecord>("QuickLink");
    ASSERT_NE(quickLink, nullptr) << lib.error();

    QString title, message;
    onNextModal([&](QWidget& w) {
        title = w.windowTitle();
        auto* grid = w.findChild<QTableWidget*>("Grid");
        EXPECT_EQ(grid->item(0, 0)->text(), "Entretien des clients");
        onNextModal(
            [&](QWidget& box) {
                message = static_cast<QMessageBox&>(box).text();
                static_cast<QMessageBox&>(box).accept();
            },
            &w);
        QTest::keyClick(grid, Qt::Key_Return); // custmaint: not installed
        EXPECT_TRUE(w.isVisible());
        QTest::keyClick(grid, Qt::Key_Down); // cashrcpt
        QTest::keyClick(grid, Qt::Key_Return);
    });
    quickLink(vm::test::sessionRecord("/nonexistent", 2, bin.path()));
    EXPECT_EQ(title, "Lien Rapide");
    EXPECT_EQ(message, "error loading option custmaint  126");
    EXPECT_EQ(bin.log(), "cashrcpt company=1 user=ADMIN quicklink=1\n");
}
