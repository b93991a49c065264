#include "common/forms/Application.h"
#include "common/forms/DisplayFormat.h"
#include "engine/Session.h"
#include "modules/monthend/ui/Tmonthend_dm.h"
#include "modules/monthend/ui/Tmonthend_frm.h"
#include "tests/fixture/TempCompany.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using namespace vm;
using namespace vm::monthend;

namespace {

QApplication& app() {
    static int argc = 1;
    static char name[] = "monthend_window_tests";
    static char* argv[] = {name, nullptr};
    static auto* instance = new forms::Application(argc, argv);
    return *instance;
}

// Presses the default button of the next modal window (a message box or the
// finish box) and records its text; gives up after 5 s.
void answerNextModal(QString* text) {
    auto* timer = new QTimer(&app());
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        QAbstractButton* ok = nullptr;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (text) *text = box->text();
            ok = box->buttons().front();
        } else if (modal && modal->objectName() == QStringLiteral("TDoneBox")) {
            if (text) *text = modal->objectName();
            ok = modal->findChild<QAbstractButton*>(QStringLiteral("BtnOK"));
        }
        if (ok || ++*tries > 250) {
            timer->stop();
            timer->deleteLater();
            if (ok) ok->click();
        }
    });
    timer->start(20);
}

class MonthEndWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app();
        ::setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
        co.setCtrl({{"Ctrl_periods", 12}, {"Ctrl_ar_period", 5}, {"Ctrl_ar_histo", true}});
        co.addClient("C1", "One", {{"Cli_sales_mth", Money::fromUnits(70)}});
        co.addCar("C1", "A", "1", Date::fromYmd(2026, 5, 2), Money::fromUnits(100));
        co.addCar("C1", "A", "2", Date::fromYmd(2026, 5, 20), Money::fromUnits(-100));
        co.addCar("C1", "B", "1", Date::fromYmd(2026, 5, 3), Money::fromUnits(40));
        link.UserName = core::LinkString("Clerk");
        link.CompanyCode = core::LinkString("1");
        link.CompanyName = core::LinkString("Month End Test Co");
        link.DataDir = core::LinkString(co.dataDir());
        link.ProgramDir = core::LinkString(VM_PROGRAM_DIR);
        link.Language = 1;
        link.LangCode = core::LinkShortString("en");
    }
    void TearDown() override {
        window.reset();
        dm.reset();
        Session::instance().closeAll();
    }
    void open() {
        dm = std::make_unique<Tmonthend_dm>();
        window = std::make_unique<Tmonthend_frm>(link, *dm);
        ASSERT_TRUE(window->startUp());
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    template <class W> W* find(const char* name) {
        W* w = window->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void setDate(const QString& text) {
        auto* e = find<QLineEdit>("Edit_date");
        e->setText(text);
    }
    // The window in each language and period, for looking at.
    void shoot(const char* name) {
        if (const char* dir = std::getenv("VM_SCREENSHOT_DIR"))
            window->grab().save(QString::fromLocal8Bit(dir) + "/monthend-" + name + ".png");
    }
    std::int64_t count(const char* sql) {
        Query q(co.db(), sql);
        q.next();
        return q.value(0).asInt();
    }

    test::TempCompany co;
    core::TLinkSection link;
    std::unique_ptr<Tmonthend_dm> dm;
    std::unique_ptr<Tmonthend_frm> window;
};

TEST_F(MonthEndWindowTest, ABadDateIsRefusedThenTheRunFinishesAndTheWindowCloses) {
    open();
    shoot("en-normal");
    EXPECT_TRUE(find<QPlainTextEdit>("Memo1")->toPlainText().startsWith("This program deletes"));
    auto* proceed = find<QPushButton>("BtnProceed");
    ASSERT_TRUE(proceed->isVisible());

    setDate("31/02/2026");
    QString said;
    answerNextModal(&said);
    QTest::mouseClick(proceed, Qt::LeftButton);
    EXPECT_EQ(said, QStringLiteral("Invalid date"));
    EXPECT_EQ(find<QLineEdit>("Edit_date")->text(), forms::DisplayFormat::date(Date::today()));
    EXPECT_EQ(count("SELECT COUNT(*) FROM car"), 3);
    EXPECT_TRUE(window->isVisible());

    setDate("31/05/2026");
    said.clear();
    answerNextModal(&said);
    QTest::mouseClick(proceed, Qt::LeftButton);
    EXPECT_EQ(said, QStringLiteral("TDoneBox"));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(count("SELECT COUNT(*) FROM car"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM carh"), 2);
    EXPECT_EQ(count("SELECT Ctrl_ar_period FROM ctrl"), 6);
    EXPECT_EQ(count("SELECT COUNT(*) FROM cli WHERE Cli_sales_mth <> 0"), 0);
}

TEST_F(MonthEndWindowTest, TheLastPeriodShowsTheYearEndNoticeInFrench) {
    co.setCtrl({{"Ctrl_ar_period", 12}});
    link.Language = 2;
    link.LangCode = core::LinkShortString("fr");
    open();
    shoot("fr-year-end");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Procédure de fin de mois"));
    EXPECT_TRUE(find<QPlainTextEdit>("Memo1")->toPlainText().startsWith("Le système a atteint"));
    find<QPushButton>("BtnExit")->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(count("SELECT COUNT(*) FROM car"), 3);
}

} // namespace
