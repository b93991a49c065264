// The desktop driven as a user would: lists opened by their icons and
// buttons, frames dragged and sized, shortcuts, the to-do note, and the
// desktop saved at exit and found again at the next login.
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/Session.h"
#include "shell/Desktop.h"
#include "shell/DesktopFrame.h"
#include "shell/DesktopIcon.h"
#include "shell/ShellMenuBar.h"
#include "shell/TMainForm.h"
#include "shell/WallpaperWidget.h"
#include "shell/core/DesktopLayout.h"
#include "tests/shell/ModalAnswers.h"
#include "tests/shell/ShellWorkspace.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

using namespace vm;
using namespace vm::shell;
using vm::test::ModalAnswers;
using vm::test::ShellWorkspace;

namespace {

class DesktopFlow : public ::testing::Test {
protected:
    void SetUp() override { ModalAnswers::reset(); }
    void TearDown() override {
        form.reset();
        EXPECT_EQ(ModalAnswers::pending(), 0) << "a dialog the test waited for never came";
        EXPECT_EQ(ModalAnswers::unexpected(), 0) << "a dialog came that the test did not expect";
        ModalAnswers::reset();
        ::unsetenv("VM_SHELLMOD_REPORT");
        Session::instance().closeAll();
    }

    bool start(const ShellWorkspace& ws) {
        ::setenv("VM_SHELLMOD_REPORT", ws.reportPath().c_str(), 1);
        form = std::make_unique<TMainForm>(ws.settings());
        form->setAutoActivate(false);
        form->resize(1100, 760);
        form->show();
        return form->firstActivation();
    }
    void stop() {
        form->close();
        form.reset();
        Session::instance().closeAll();
    }
    Desktop& desk() const { return form->desktop(); }
    std::size_t optionIndex(const std::string& code) const {
        const auto& codes = form->catalogue().codes;
        return static_cast<std::size_t>(std::find(codes.begin(), codes.end(), code) - codes.begin());
    }

    std::unique_ptr<TMainForm> form;
};

// The display options installed, so that the administrator may open every
// list; client maintenance answers the Insert key.
void installListOptions(const ShellWorkspace& ws) {
    for (const char* code : {"custview", "vendview", "glview", "paview", "custmaint", "cashrcpt"})
        ws.installTestModule(code);
}

void addClients(const ShellWorkspace& ws, int count) {
    Database db(schema::companyDirOf(ws.dataDir(), 1));
    Transaction tx(db);
    Cursor c(db, "cli");
    for (int i = 0; i < count; ++i) {
        char code[16];
        std::snprintf(code, sizeof code, "C%05d", i + 1);
        c.insert();
        c.set("Cli_code", Value(code));
        c.set("Cli_name", Value("Client " + std::to_string(i + 1)));
        c.set("Cli_city", Value(i % 2 ? "Montréal" : "Québec"));
        c.post();
    }
    tx.commit();
}

void expectMessage(QString* text) {
    ModalAnswers::expect([text](QWidget& w) { vm::test::acceptMessage(w, text); });
}

} // namespace

TEST_F(DesktopFlow, SavedAtExitAndRestoredAtTheNextLogin) {
    ShellWorkspace ws({schema::standardUsers().front()});
    installListOptions(ws);
    addClients(ws, 30);
    const std::string paper = ws.root() + "/paper.jpg";
    std::filesystem::copy_file(ws.programDir() + "/Valmorand32.jpg", paper);
    ASSERT_TRUE(start(ws));
    EXPECT_FALSE(desk().changed());
    EXPECT_TRUE(form->menus().action(QStringLiteral("AddShortcut1"))->isEnabled());

    // The clients' icon opens its list; the suppliers' "X"-button toggle too.
    QTest::mouseDClick(desk().icon(QStringLiteral("ClientBtn")), Qt::LeftButton);
    ASSERT_TRUE(desk().shown(ClientList));
    ASSERT_TRUE(desk().toggle(SupplierList));
    ListFrame* clients = desk().list(ClientList);
    EXPECT_EQ(clients->grid()->model()->index(0, 0).data().toString(), QStringLiteral("C00001"));
    clients->grid()->setColumnWidth(1, 230);
    clients->dragTo(60, 300);
    desk().frame(SupplierList)->enlargeFrame();
    ASSERT_TRUE(desk().toggle(ToDoNote));
    desk().note()->text()->setPlainText(QStringLiteral("Call Smith & Sons\tabout « the invoice »"));
    DesktopIcon* shortcut = desk().addShortcutFor(optionIndex("cashrcpt"));
    ASSERT_NE(shortcut, nullptr);
    EXPECT_EQ(shortcut->objectName(), QStringLiteral("cashrcptS"));
    shortcut->move(400, 40);
    ASSERT_TRUE(desk().changeWallpaper(QString::fromStdString(paper)));
    ASSERT_TRUE(desk().changed());

    // The shortcut launches its option.
    ws.clearReport();
    QTest::mouseDClick(shortcut, Qt::LeftButton);
    EXPECT_NE(ws.report().find("LoginUser=Administrator"), std::string::npos);

    const DesktopState saved = desk().state();
    stop();

    ASSERT_TRUE(start(ws));
    EXPECT_EQ(desk().state(), saved);
    EXPECT_TRUE(desk().list(ClientList)->isOpen());
    EXPECT_FALSE(desk().list(AccountList)->isOpen()) << "a hidden list keeps its table closed";
    EXPECT_EQ(desk().note()->text()->toPlainText(),
              QStringLiteral("Call Smith & Sons\tabout « the invoice »"));
    EXPECT_EQ(desk().list(ClientList)->grid()->columnWidth(1), 230);
    EXPECT_FALSE(desk().changed()) << "an unchanged desktop is not saved again";
}

TEST_F(DesktopFlow, UseStandardDesktopLeavesTheSavedOneAndSavesTheStandard) {
    ShellWorkspace ws(schema::standardUsers());
    installListOptions(ws);
    DesktopState custom = standardDesktop({"a", "b", "c", "d", "e"});
    custom.toDoText = "mine";
    custom.icons.clear();
    {
        Database root(ws.dataDir());
        DesktopStore::save(root, "ADMIN", DesktopCodec::encode(custom));
    }
    ModalAnswers::expect([](QWidget& w) {
        vm::test::typeInto(w, "Password", QStringLiteral("admin"));
        w.findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->setChecked(true);
        vm::test::clickButton(w, "OKBtn");
    });
    ASSERT_TRUE(start(ws));
    EXPECT_EQ(desk().icons().size(), std::size_t{kPanelCount}) << "the designed icons";
    EXPECT_TRUE(desk().note()->text()->toPlainText().isEmpty());
    EXPECT_TRUE(desk().changed());
    stop();
    Database root(ws.dataDir());
    const DesktopState now = DesktopCodec::decode(DesktopStore::load(root, "ADMIN"), DesktopState{});
    EXPECT_EQ(now.icons.size(), std::size_t{kPanelCount});
    EXPECT_NE(now.toDoText.find("<body"), std::string::npos);
    EXPECT_EQ(now.toDoText.find("mine"), std::string::npos);
}

TEST_F(DesktopFlow, DamagedDesktopOrMissingPictureNeverStopsTheShell) {
    ShellWorkspace ws({schema::standardUsers().front()});
    DesktopState s = standardDesktop({"a", "b", "c", "d", "e"});
    s.wallpaper = ws.root() + "/gone.jpg";
    {
        Database root(ws.dataDir());
        DesktopStore::save(root, "ADMIN", DesktopCodec::encode(s));
    }
    // A picture that cannot be loaded: told, and the designed one stays.
    QString text;
    expectMessage(&text);
    ASSERT_TRUE(start(ws));
    EXPECT_TRUE(text.contains(QStringLiteral("picture"))) << text.toStdString();
    EXPECT_TRUE(desk().wallpaper().hasPicture());
    stop();

    {
        Database root(ws.dataDir());
        Cursor c(root, "desktop");
        ASSERT_TRUE(c.first());
        c.edit();
        c.set("Desktop_Component", Value(Bytes{'{', 0x01, 'x'}));
        c.post();
    }
    expectMessage(&text);
    ASSERT_TRUE(start(ws));
    EXPECT_TRUE(text.contains(QStringLiteral("standard desktop"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Desktop row 1"))) << text.toStdString();
    EXPECT_EQ(desk().icons().size(), std::size_t{kPanelCount});
    EXPECT_TRUE(desk().changed()) << "the standard desktop replaces the damaged one at exit";
}

TEST_F(DesktopFlow, WithoutTheDisplayRightTheListNeitherOpensNorCloses) {
    // Without "Display of clients" (receivables, Reports, position 0), with
    // the payables' reports.
    schema::UserRights rights;
    rights.allowGroup(schema::UserRights::Payables, schema::UserRights::Reports);
    ShellWorkspace ws({ShellWorkspace::user("mary", "Mary", rights)});
    installListOptions(ws);
    DesktopState s = standardDesktop({"a", "b", "c", "d", "e"});
    s.frames[ClientList].shown = true;
    {
        Database root(ws.dataDir());
        DesktopStore::save(root, "mary", DesktopCodec::encode(s));
    }
    ASSERT_TRUE(start(ws));
    EXPECT_TRUE(desk().shown(ClientList)) << "restored as saved";
    EXPECT_FALSE(desk().toggle(ClientList));
    QTest::mouseClick(desk().frame(ClientList)->closeButton(), Qt::LeftButton);
    QTest::mouseDClick(desk().icon(QStringLiteral("ClientBtn")), Qt::LeftButton);
    EXPECT_TRUE(desk().shown(ClientList));
    EXPECT_TRUE(desk().toggle(SupplierList)) << "the suppliers' display right is there";
    EXPECT_TRUE(desk().shown(SupplierList));
}

TEST_F(DesktopFlow, ListReadsOnDemandAndInsertRefreshesItAfterMaintenance) {
    ShellWorkspace ws({schema::standardUsers().front()});
    installListOptions(ws);
    addClients(ws, 2000);
    ASSERT_TRUE(start(ws));
    ASSERT_TRUE(desk().toggle(ClientList));
    QTableView* grid = desk().list(ClientList)->grid();
    EXPECT_LT(grid->model()->rowCount(), 2000) << "only what the grid shows is read";
    grid->scrollToBottom();
    QApplication::processEvents();

    {
        Database db(schema::companyDirOf(ws.dataDir(), 1));
        Cursor c(db, "cli");
        c.insert();
        c.set("Cli_code", Value("A0001"));
        c.set("Cli_name", Value("Added meanwhile"));
        c.post();
    }
    ws.clearReport();
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Insert);
    EXPECT_NE(ws.report().find("LoginUser=Administrator"), std::string::npos) << "client maintenance ran";
    EXPECT_EQ(grid->model()->index(0, 0).data().toString(), QStringLiteral("A0001"));
}

TEST_F(DesktopFlow, FramesAreDraggedToTheEdgeAndSizedByTheirButtons) {
    ShellWorkspace ws({schema::standardUsers().front()});
    ASSERT_TRUE(start(ws));
    ASSERT_TRUE(desk().toggle(ToDoNote));
    DesktopFrame* note = desk().frame(ToDoNote);
    QWidget& area = desk().wallpaper();
    const QPoint grab(20, 10); // on the title
    QTest::mousePress(note, Qt::LeftButton, {}, grab);
    QMouseEvent move(QEvent::MouseMove, QPointF(grab) + QPointF(-5000, 30), note->mapToGlobal(QPointF(grab)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(note, &move);
    QTest::mouseRelease(note, Qt::LeftButton, {}, grab);
    EXPECT_EQ(note->x(), 0) << "stopped at the left edge";
    QMouseEvent far(QEvent::MouseMove, QPointF(grab) + QPointF(0, 9000), QPointF(), Qt::NoButton,
                    Qt::LeftButton, Qt::NoModifier);
    QTest::mousePress(note, Qt::LeftButton, {}, grab);
    QApplication::sendEvent(note, &far);
    QTest::mouseRelease(note, Qt::LeftButton, {}, grab);
    EXPECT_EQ(note->y() + note->height(), area.height()) << "stopped at the bottom edge";

    const QSize before = note->size();
    QTest::mouseClick(note->findChild<QToolButton*>(QStringLiteral("ToDoFrameEnlarge")), Qt::LeftButton);
    EXPECT_EQ(note->width(), static_cast<int>(before.width() * 1.15));
    EXPECT_EQ(note->findChild<QToolButton*>(QStringLiteral("ToDoFrameClose"))->x(), note->width() - 23);
    QTest::mouseClick(note->findChild<QToolButton*>(QStringLiteral("ToDoFrameReduce")), Qt::LeftButton);
    EXPECT_LE(std::abs(note->width() - before.width()), 1);
    EXPECT_LE(std::abs(note->height() - before.height()), 1);
    EXPECT_TRUE(desk().changed());

    // The note's pop-up scales it by 1.15 both ways.
    const QSize mid = note->size();
    desk().note()->popup()->findChild<QAction*>(QStringLiteral("ToDoEnlarge"))->trigger();
    EXPECT_EQ(note->height(), static_cast<int>(mid.height() * 1.15));

    // Deleting the note's icon hides the note.
    desk().deleteIcon(*desk().icon(QStringLiteral("ToDoListBtn")));
    EXPECT_FALSE(desk().shown(ToDoNote));
    EXPECT_EQ(desk().icon(QStringLiteral("ToDoListBtn")), nullptr);
}

TEST_F(DesktopFlow, AddShortcutDialogAndTheSecondShortcutToOneOption) {
    ShellWorkspace ws({schema::standardUsers().front()});
    installListOptions(ws);
    ASSERT_TRUE(start(ws));
    ModalAnswers::expect([](QWidget& w) {
        ASSERT_EQ(w.objectName(), QStringLiteral("ShortcutDlg"));
        auto* list = w.findChild<QListWidget*>(QStringLiteral("OptionList"));
        EXPECT_EQ(list->currentRow(), 0) << "the first option selected";
        const auto found = list->findItems(QStringLiteral("Cash receipts"), Qt::MatchStartsWith);
        ASSERT_FALSE(found.isEmpty());
        list->setCurrentItem(found.front());
        vm::test::clickButton(w, "OKBtn");
    });
    form->menus().action(QStringLiteral("AddShortcut1"))->trigger();
    ASSERT_NE(desk().icon(QStringLiteral("cashrcptS")), nullptr);
    // A second shortcut to one option: told, no icon.
    QString text;
    expectMessage(&text);
    EXPECT_EQ(desk().addShortcutFor(optionIndex("cashrcpt")), nullptr);
    EXPECT_TRUE(text.contains(QStringLiteral("already"))) << text.toStdString();
    EXPECT_EQ(desk().icons().size(), std::size_t{kPanelCount + 1});
}

// Pictures of a working desktop for a person to look at, in both languages:
// VM_DESKTOP_SHOTS=DIR writes DIR/desktop-en.png and DIR/desktop-fr.png.
TEST_F(DesktopFlow, Pictures) {
    const char* dir = std::getenv("VM_DESKTOP_SHOTS");
    if (!dir) GTEST_SKIP() << "VM_DESKTOP_SHOTS not set";
    for (int language : {1, 2}) {
        ShellWorkspace ws(
            {ShellWorkspace::user("admin", "Administrator", schema::UserRights::all(), language)});
        installListOptions(ws);
        addClients(ws, 60);
        {
            Database db(schema::companyDirOf(ws.dataDir(), 1));
            Cursor c(db, "glm");
            int n = 1000;
            for (const char* type : {"A", "P", "C", "R", "D", "L", "E"}) {
                c.insert();
                c.set("Glm_account", Value(n));
                c.set("Glm_Description", Value(std::string("Account ") + type));
                c.set("Glm_type", Value(type));
                c.set("Glm_summarize", Value("N"));
                c.post();
                n += 1000;
            }
        }
        ASSERT_TRUE(start(ws));
        desk().toggle(ClientList);
        desk().frame(ClientList)->setPlace({120, 20, 620, 300});
        desk().toggle(AccountList);
        desk().frame(AccountList)->setPlace({300, 360, 420, 260});
        desk().toggle(ToDoNote);
        desk().frame(ToDoNote)->setPlace({770, 40, 300, 240});
        desk().note()->text()->setHtml(
            language == 1
                ? QStringLiteral("<b>Monday</b><br>Call Smith &amp; Sons about invoice 1042<br>"
                                 "Deposit the cheques\tbefore 3 p.m.")
                : QStringLiteral("<b>Lundi</b><br>Appeler Smith et fils au sujet de la facture 1042<br>"
                                 "Déposer les chèques\tavant 15 h"));
        int top = 500;
        for (const char* code : {"cashrcpt", "custmaint"}) {
            DesktopIcon* i = desk().addShortcutFor(optionIndex(code));
            ASSERT_NE(i, nullptr) << code;
            i->move(12, top);
            top += 100;
        }
        QApplication::processEvents();
        const QString suffix = language == 1 ? QStringLiteral("-en.png") : QStringLiteral("-fr.png");
        form->grab().save(QString::fromLatin1(dir) + "/desktop" + suffix);
        for (const char* name : {"shortcut", "properties"})
            ModalAnswers::expect([dir, name, suffix](QWidget& w) {
                w.grab().save(QString::fromLatin1(dir) + "/" + name + suffix);
                vm::test::clickButton(w, "CancelBtn");
            });
        desk().addShortcut();
        desk().editIcon(*desk().icon(QStringLiteral("cashrcptS")));
        stop();
    }
}
