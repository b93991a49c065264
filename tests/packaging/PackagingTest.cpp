// The installed program: its first start on a workstation without settings,
// and the tree cmake --install lays out.
#include "common/core/SettingsStore.h"
#include "common/forms/Application.h"
#include "engine/Database.h"
#include "packaging/launcher/FirstStart.h"
#include "packaging/launcher/TFirstStartDlg.h"
#include "schema/Schema.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;
using namespace vm;

namespace {

struct TempDir {
    TempDir() {
        std::string p = (fs::temp_directory_path() / "vmpackaging.XXXXXX").string();
        if (mkdtemp(p.data())) path = p;
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    std::string path;
};

int run(const std::string& command) {
    const int st = std::system(command.c_str());
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

// Started with no settings, the launcher makes the data folder in the user's
// data with the demo company (through valmorand-admin) and stores where the
// program and the data lie; the window speaks the system's language.
TEST(FirstStart, MakesDataFolderWithDemoAndStoresSettings) {
    TempDir home;
    ::setenv("XDG_DATA_HOME", (home.path + "/data").c_str(), 1);
    ::setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
    static int argc = 1;
    static char name[] = "valmorand";
    static char* argv[] = {name, nullptr};
    forms::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("valmorand"));

    const core::SettingsStore store(home.path + "/Tarnwell.ini");
    const launcher::FirstStart start(store, VM_PROGRAM_DIR);
    ASSERT_TRUE(start.needed());
    EXPECT_EQ(launcher::FirstStart::defaultDataDrive(), home.path + "/data/valmorand");

    const QString out = QString(VM_BINARY_DIR) + "/packaging-pictures";
    QDir().mkpath(out);
    for (int language : {1, 2}) {
        launcher::TFirstStartDlg dialog(start, language);
        dialog.adjustSize();
        dialog.grab().toImage().save(out + (language == 1 ? "/firststart-en.png" : "/firststart-fr.png"));
        if (language == 2) {
            EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Bienvenue dans Valmorand"));
            EXPECT_EQ(dialog.findChildren<QRadioButton*>().at(1)->text(),
                      QString::fromUtf8("La compagnie de démonstration, pour essayer Valmorand"));
        }
    }

    launcher::TFirstStartDlg dialog(start, 2);
    dialog.chooseDemo(true);
    ASSERT_TRUE(dialog.create()) << dialog.failure().toStdString();
    const std::string drive = home.path + "/data/valmorand";
    EXPECT_FALSE(start.needed());
    EXPECT_EQ(store.read("Valmorand", "datadrive"), drive);
    EXPECT_EQ(store.read("Valmorand", "pgmdrive"), start.programDrive());
    EXPECT_TRUE(fs::exists(store.read("Valmorand", "pgmdrive") + "/Valmorand/bin/deskmain"));
    EXPECT_EQ(store.read("Valmorand", "language"), "2");
    Database root(schema::dataDirOf(drive));
    EXPECT_TRUE(schema::companyListed(root, 1));
    // A second start finds the folder made and runs nothing.
    EXPECT_TRUE(start.commands(drive, true, 2).empty());
}

// cmake --install lays out <prefix>/Valmorand/{bin,languages,help}, the
// launcher on the PATH, the desktop entry in both languages, the icon, valid
// AppStream metadata and the manual page.
TEST(Install, LaysOutTheProgramAndItsDesktopFiles) {
    TempDir prefix;
    ASSERT_EQ(run("cmake --install '" VM_BINARY_DIR "' --prefix '" + prefix.path + "' > /dev/null"), 0);
    const fs::path p = prefix.path;
    for (const char* f :
         {"Valmorand/bin/valmorand", "Valmorand/bin/deskmain", "Valmorand/bin/valmorand-admin",
          "Valmorand/languages/valmorand.sqlite", "Valmorand/help/en/index.html",
          "Valmorand/help/fr/102.html", "share/icons/hicolor/scalable/apps/ca.tarnwell.Valmorand.svg",
          "share/man/man1/valmorand-admin.1"})
        EXPECT_TRUE(fs::exists(p / f)) << f;
    EXPECT_TRUE(fs::is_symlink(p / "bin/valmorand"));
    EXPECT_TRUE(fs::equivalent(p / "bin/valmorand", p / "Valmorand/bin/valmorand"));
    EXPECT_FALSE(fs::exists(p / "Valmorand/languages/valmorand.lock"));

    QFile desktop(QString::fromStdString((p / "share/applications/ca.tarnwell.Valmorand.desktop").string()));
    ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
    const QString entry = QString::fromUtf8(desktop.readAll());
    EXPECT_TRUE(entry.contains("Exec=valmorand\n"));
    EXPECT_TRUE(entry.contains(QString::fromUtf8("Comment[fr]=Comptes clients")));
    EXPECT_EQ(run("appstreamcli validate --no-net '" +
                  (p / "share/metainfo/ca.tarnwell.Valmorand.metainfo.xml").string() + "' > /dev/null"),
              0);
}

} // namespace
