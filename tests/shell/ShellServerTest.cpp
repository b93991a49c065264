// The desktop over a data root on a PostgreSQL server: log in, start each
// module's window, and a server that cannot be reached.
#include "engine/Database.h"
#include "engine/Session.h"
#include "schema/Schema.h"
#include "shell/Desktop.h"
#include "shell/TMainForm.h"
#include "shell/core/DesktopLayout.h"
#include "tests/fixture/PgServer.h"
#include "tests/shell/ModalAnswers.h"
#include "tools/DemoCompany.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>

using namespace vm;
using namespace vm::shell;

namespace fs = std::filesystem;

namespace {

// What a modal window says: its class, name, title and the texts it shows.
std::string describe(QWidget& w) {
    std::string s = std::string(w.metaObject()->className()) + " " + w.objectName().toStdString() + " \"" +
                    w.windowTitle().toStdString() + "\"";
    if (auto* box = qobject_cast<QMessageBox*>(&w)) return s + ": " + box->text().toStdString();
    for (auto* l : w.findChildren<QLabel*>())
        if (l->isVisible() && !l->text().isEmpty()) s += " | " + l->text().toStdString();
    return s;
}

// Starts an option, shows every page of its window and closes it, and
// closes any other modal window that comes (after a picture of each when
// `shots` is set). Returns what was seen, the module's window first.
std::vector<std::string> launchAndClose(TMainForm& form, const QString& entry, const QString& shots,
                                        const QString& suffix) {
    std::vector<std::string> seen;
    QPointer<QWidget> last, window;
    int ticks = 0;
    auto picture = [&](QWidget& w, const QString& name) {
        if (!shots.isEmpty())
            w.grab().save(shots + QLatin1Char('/') + entry + QLatin1Char('-') + name + suffix);
    };
    auto close = [](QWidget* w) {
        w->close();
        if (w->isVisible())
            if (auto* d = qobject_cast<QDialog*>(w)) d->done(0);
    };
    QTimer timer;
    timer.setInterval(200);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget* m = QApplication::activeModalWidget();
        if (!m || m == window) return;
        if (m != last) {
            last = m;
            ticks = 0;
            return;
        }
        if (++ticks < 2) return;
        seen.push_back(describe(*m));
        picture(*m, QString::number(seen.size()));
        if (window) { // a message over the module's window
            close(m);
            return;
        }
        // The module's window: each page in turn, then Exit. A message a
        // page brings is met by this timer in the message's own loop.
        window = m;
        QTimer::singleShot(0, m, [&, m] {
            // An entry window starts an entry for the account typed into it.
            const std::map<QString, QString> accounts = {
                {QStringLiteral("cashrcpt"), QStringLiteral("C00002")},
                {QStringLiteral("cashdisb"), QStringLiteral("F0001")},
                {QStringLiteral("purchjrnl"), QStringLiteral("F0001")}};
            if (auto* code = qobject_cast<QLineEdit*>(m->focusWidget()); code && accounts.count(entry)) {
                QTest::keyClicks(code, accounts.at(entry));
                QTest::keyClick(code, Qt::Key_Return);
                QApplication::processEvents();
                picture(*m, QStringLiteral("entry"));
            }
            for (auto* tabs : m->findChildren<QTabWidget*>())
                for (int i = 1; i < tabs->count(); ++i) {
                    tabs->setCurrentIndex(i);
                    QApplication::processEvents();
                    picture(*m, tabs->widget(i)->objectName());
                }
            close(m);
        });
    });
    timer.start();
    form.launchEntry(entry);
    timer.stop();
    return seen;
}

} // namespace

TEST(ShellOnServer, ModulesStartOverAServerDataRoot) {
    QTemporaryDir tmp;
    const std::string root = tmp.path().toStdString();
    const std::string local = schema::dataDirOf(root);
    schema::createDataRoot(local, schema::standardUsers());
    admin::DemoOptions demo;
    demo.clients = 12;
    demo.suppliers = 6;
    demo.invoices = 60;
    admin::buildDemoCompany(local, demo);
    const std::string server = test::PgServer::instance().newDatabase();
    {
        Database from(local), to(schema::dataDirOf(server));
        to.copyFrom(from);
        Database fromCompany(schema::companyDirOf(local, 1)),
            toCompany(schema::companyDirOf(schema::dataDirOf(server), 1));
        toCompany.copyFrom(fromCompany);
    }
    const std::string programDir = root + "/Valmorand/bin";
    fs::create_directories(programDir);
    for (const auto& e : fs::directory_iterator(VM_PROGRAM_DIR))
        if (e.path().extension() == ".so" || e.path().extension() == ".jpg")
            fs::copy_file(e.path(), fs::path(programDir) / e.path().filename());
    core::SettingsStore settings(root + "/settings.ini");
    settings.write("Valmorand", "pgmdrive", root);
    settings.write("Valmorand", "datadrive", server);

    test::ModalAnswers::reset();
    test::ModalAnswers::expect([](QWidget& w) {
        test::typeInto(w, "Password", QStringLiteral("admin"));
        test::clickButton(w, "OKBtn");
    });
    auto form = std::make_unique<TMainForm>(settings);
    form->setAutoActivate(false);
    form->show();
    ASSERT_TRUE(form->firstActivation());
    EXPECT_EQ(test::ModalAnswers::unexpected(), 0);
    EXPECT_EQ(form->link().DataDir.str(), schema::dataDirOf(server));

    const char* shotsEnv = std::getenv("VM_SERVER_SCREENSHOTS");
    const QString shots = shotsEnv ? QString::fromLocal8Bit(shotsEnv) : QString();
    for (const char* lang : {"en", "fr"}) {
        if (std::string(lang) == "fr") form->chooseLanguage(QStringLiteral("MenuItemfr"));
        if (shots.isEmpty() && std::string(lang) == "fr") break;
        const QString suffix = QStringLiteral("-") + QString::fromLatin1(lang) + QStringLiteral(".png");
        for (int panel : {ClientList, ToDoNote}) // the lists of installed options
            if (!form->desktop().shown(panel)) {
                EXPECT_TRUE(form->desktop().toggle(panel)) << panel;
            }
        if (!shots.isEmpty()) {
            form->resize(1366, 768);
            QApplication::processEvents();
            form->grab().save(shots + QStringLiteral("/desktop") + suffix);
        }
        for (const char* entry : {"custmaint", "vendmaint", "cashrcpt", "purchjrnl", "cashdisb", "chqissue",
                                  "chqedit", "chqrecur", "rcvaging", "payaging", "custstmt", "custview",
                                  "custlist", "vendlist", "monthend"}) {
            // The module's window is this test's to close, not a stray dialog.
            test::ModalAnswers::expect([](QWidget&) {});
            const auto seen = launchAndClose(*form, QString::fromLatin1(entry), shots, suffix);
            std::string all;
            for (const auto& w : seen)
                all += "\n  " + w;
            EXPECT_EQ(seen.size(), 1u) << entry << all;
        }
    }
    // Leaving saves the desktop there.
    form->close();
    EXPECT_EQ(test::ModalAnswers::unexpected(), 0);
    EXPECT_EQ(test::ModalAnswers::pending(), 0);
    form.reset();
    Session::instance().closeAll();
}

// A server that refuses the connection is said so in the workstation's
// language, without the password of the address; the desktop closes.
TEST(ShellOnServer, AServerThatCannotBeReachedIsToldInBothLanguages) {
    QTemporaryDir tmp;
    const std::string root = tmp.path().toStdString();
    fs::create_directories(root + "/Valmorand/bin");
    fs::copy_file(fs::path(VM_PROGRAM_DIR) / "Valmorand32.jpg", root + "/Valmorand/bin/Valmorand32.jpg");
    core::SettingsStore settings(root + "/settings.ini");
    settings.write("Valmorand", "pgmdrive", root);
    settings.write("Valmorand", "datadrive",
                   "postgresql://clerk:s3cret@/vm?host=" + root + "/nowhere&port=1");
    for (const auto& [language, expected] :
         {std::pair{"1", "The database server could not be reached."},
          std::pair{"2", "Le serveur de base de données n'a pas pu être joint."}}) {
        settings.write("Valmorand", "language", language);
        QString text;
        test::ModalAnswers::reset();
        test::ModalAnswers::expect([&text, language](QWidget& w) {
            if (const char* shots = std::getenv("VM_SERVER_SCREENSHOTS"))
                w.grab().save(QString::fromLocal8Bit(shots) +
                              QStringLiteral("/unreachable-%1.png").arg(language));
            test::acceptMessage(w, &text);
        });
        auto form = std::make_unique<TMainForm>(settings);
        form->setAutoActivate(false);
        form->show();
        EXPECT_FALSE(form->firstActivation());
        EXPECT_TRUE(form->closingWithoutDesktop());
        EXPECT_TRUE(text.startsWith(QString::fromUtf8(expected))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("clerk:***@"))) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("s3cret"))) << text.toStdString();
        EXPECT_EQ(test::ModalAnswers::pending(), 0);
        form.reset();
        Session::instance().closeAll();
    }
}
