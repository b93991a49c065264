#include "modules/custstmt/ui/StatementWindow.h"

#include "common/core/LinkStringQt.h"
#include "tests/fixture/TempCompany.h"

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>

using namespace vm;
using namespace vm::custstmt;

namespace {

class StatementWindowTest : public test::TempCompanyTest {
protected:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "vm_custstmt_window_tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance()) new QApplication(argc, argv);
        setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
        company.setCtrl({{"Ctrl_curr1_name", "US Dollar"}});
        link.CompanyCode = core::LinkString("1");
        link.DataDir = core::LinkString(company.dataDir());
        link.ProgramDir = core::LinkString(VM_PROGRAM_DIR);
        link.PrinterIndex = core::LinkString("0");
    }
    core::TLinkSection link{};
};

// Both languages' texts; a rate that is not a number stops everything and
// takes the focus. VM_CUSTSTMT_PNG=<dir> keeps a picture of the window.
TEST_F(StatementWindowTest, TextsAndTheRateCheck) {
    for (int lang : {1, 2}) {
        link.Language = lang;
        link.LangCode.set(lang == 1 ? "en" : "fr");
        StatementWindow w(link);
        w.show();
        QApplication::processEvents();
        EXPECT_EQ(w.windowTitle(), lang == 1 ? "Account statements" : "Relevés de compte");
        if (const char* dir = std::getenv("VM_CUSTSTMT_PNG"))
            w.grab().save(QString("%1/statements-%2.png").arg(dir).arg(lang));
        auto* rate = w.findChild<QLineEdit*>("EditRate");
        ASSERT_NE(rate, nullptr);
        EXPECT_TRUE(w.options().has_value());
        rate->setText("12%");
        EXPECT_FALSE(w.options().has_value());
        EXPECT_TRUE(rate->hasFocus() || !w.isActiveWindow());
    }
}

} // namespace
