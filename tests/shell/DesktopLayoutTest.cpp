// The desktop's rules without a screen: what desktop.db keeps of a user's
// desktop, damaged rows, the all-or-nothing save, frame sizes and drags, the
// accounts' type names.
#include "shell/core/DesktopLayout.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "shell/core/ShellSettings.h"
#include "tests/fixture/TempCompany.h"

#include <gtest/gtest.h>

using namespace vm;
using namespace vm::shell;

namespace {

DesktopState sample() {
    DesktopState s = standardDesktop({"Clients", "Suppliers", "Accounts", "Employees", "To do"});
    s.wallpaper = "/pictures/été \"bleu\".jpg";
    s.icons.push_back({"cashrcptS", "Cash receipts — Réception", "", {296, 256, 89, 89}, true});
    s.icons[1].shown = false;
    s.frames[ClientList] = {{40, 30, 640, 320}, true};
    s.frames[ToDoNote] = {{700, 20, 300, 260}, true};
    s.grids[ClientList].columnWidths = {80, 200, 0, 120};
    s.toDoText = "<p>Call <b>Smith &amp; Sons</b>\tabout\nthe invoice — « urgent »</p>";
    return s;
}

int rowsOf(Database& root, const std::string& user) {
    Cursor c(root, "desktop", true);
    c.setIndex("Desktop_user");
    c.setRange({Value(user)});
    return static_cast<int>(c.recordCount());
}

} // namespace

TEST(DesktopLayout, SavedDesktopRestoresExactlyAndReplacesOnlyItsUsersRows) {
    test::TempCompany co;
    const DesktopState s = sample();
    DesktopStore::save(co.dataRoot(), "CLERK",
                       DesktopCodec::encode(standardDesktop({"a", "b", "c", "d", "e"})));
    DesktopStore::save(co.dataRoot(), "ADMIN",
                       DesktopCodec::encode(standardDesktop({"a", "b", "c", "d", "e"})));
    DesktopStore::save(co.dataRoot(), "ADMIN", DesktopCodec::encode(s));

    const auto rows = DesktopStore::load(co.dataRoot(), "ADMIN");
    ASSERT_EQ(rows.size(), DesktopCodec::encode(s).size()) << "the second save replaced the first";
    EXPECT_EQ(rows.front().type, WallpaperRow);
    EXPECT_EQ(rows[1].type, IconRow);
    EXPECT_EQ(rows.back().type, ToDoTextRow);
    EXPECT_NE(rows[1].component.find("\"v\":1"), std::string::npos) << "readable and versioned";
    EXPECT_EQ(DesktopCodec::decode(rows, DesktopState{}), s);
    EXPECT_EQ(rowsOf(co.dataRoot(), "CLERK"), rowsOf(co.dataRoot(), "ADMIN") - 1)
        << "another user's rows stay";
}

TEST(DesktopLayout, DamagedRowIsRefusedNamingIt) {
    const std::vector<DesktopRow> good = DesktopCodec::encode(sample());
    const std::vector<std::string> damaged = {
        "",
        "\x01\x02garbage",
        R"({"v":2,"kind":"frame","left":0,"top":0,"width":10,"height":10,"shown":true})",
        R"({"v":1,"kind":"icon","left":0,"top":0,"width":10,"height":10,"shown":true})",
        R"({"v":1,"kind":"frame","left":0,"top":0,"width":10,"shown":true})",
        R"({"v":1,"kind":"frame","left":0,"top":0,"width":-5,"height":10,"shown":true})",
        R"({"v":1,"kind":"frame","left":0.5,"top":0,"width":10,"height":10,"shown":true})",
        R"([1,2,3])",
    };
    for (const std::string& text : damaged) {
        std::vector<DesktopRow> rows = good;
        const std::size_t at = rows.size() - 6; // the to-do frame's row
        ASSERT_EQ(rows[at].type, FrameRow);
        rows[at].component = text;
        try {
            DesktopCodec::decode(rows, DesktopState{});
            ADD_FAILURE() << "accepted: " << text;
        } catch (const DesktopError& e) {
            EXPECT_NE(std::string(e.what()).find("Desktop row " + std::to_string(at + 1)), std::string::npos)
                << e.what();
        }
    }
    // A frame or grid number out of range, an unknown row type.
    std::vector<DesktopRow> rows = good;
    rows.push_back({7, FrameRow, rows[rows.size() - 6].component});
    EXPECT_THROW(DesktopCodec::decode(rows, DesktopState{}), DesktopError);
    rows = good;
    rows.push_back({0, 9, "{}"});
    EXPECT_THROW(DesktopCodec::decode(rows, DesktopState{}), DesktopError);
}

TEST(DesktopLayout, FailedSaveKeepsTheDesktopSavedBefore) {
    test::TempCompany co;
    const DesktopState before = standardDesktop({"a", "b", "c", "d", "e"});
    DesktopStore::save(co.dataRoot(), "ADMIN", DesktopCodec::encode(before));
    const auto rows = DesktopCodec::encode(sample());
    bool saved = false;
    for (int n = 1; !saved && n < 200; ++n) {
        co.dataRoot().injectFault(n);
        try {
            DesktopStore::save(co.dataRoot(), "ADMIN", rows);
            saved = !co.dataRoot().faultFired();
        } catch (const EngineError&) {
            EXPECT_EQ(DesktopCodec::decode(DesktopStore::load(co.dataRoot(), "ADMIN"), DesktopState{}),
                      before)
                << "failure at statement " << n;
        }
        co.dataRoot().injectFault(0);
    }
    EXPECT_TRUE(saved);
    EXPECT_EQ(DesktopCodec::decode(DesktopStore::load(co.dataRoot(), "ADMIN"), DesktopState{}), sample());
}

TEST(DesktopGeometry, EnlargeThenReduceComesBackWithinAPixelPerStep) {
    for (int w : {150, 333, 517, 640})
        for (int h : {120, 301, 480})
            for (int steps = 1; steps <= 4; ++steps) {
                Rect r{10, 20, w, h};
                for (int i = 0; i < steps; ++i)
                    r = DesktopGeometry::enlarge(r);
                for (int i = 0; i < steps; ++i)
                    r = DesktopGeometry::reduce(r);
                EXPECT_LE(std::abs(r.width - w), steps) << w << "x" << h << " " << steps;
                EXPECT_LE(std::abs(r.height - h), steps) << w << "x" << h << " " << steps;
                EXPECT_EQ(r.left, 10);
            }
    EXPECT_EQ(DesktopGeometry::enlarge({0, 0, 101, 101}), (Rect{0, 0, 116, 126})) << "truncated";
    EXPECT_EQ(DesktopGeometry::enlargeNote({0, 0, 101, 101}), (Rect{0, 0, 116, 116}));
    EXPECT_EQ(DesktopGeometry::reduce({0, 0, 90, 90}), (Rect{0, 0, 90, 90})) << "no smaller than the minimum";
}

TEST(DesktopGeometry, DraggedFrameStopsAtTheEdge) {
    const Rect f{100, 100, 300, 200};
    EXPECT_EQ(DesktopGeometry::dragTo(f, -40, 50, 1000, 700), (Rect{0, 50, 300, 200}));
    EXPECT_EQ(DesktopGeometry::dragTo(f, 900, 650, 1000, 700), (Rect{700, 500, 300, 200}));
    EXPECT_EQ(DesktopGeometry::dragTo(f, 250, 90, 1000, 700), (Rect{250, 90, 300, 200}));
    // A frame larger than the desktop keeps its top-left corner in view.
    EXPECT_EQ(DesktopGeometry::dragTo({0, 0, 1200, 200}, 50, 10, 1000, 700), (Rect{0, 10, 1200, 200}));
}

TEST(DesktopLists, AccountTypeNamedInTheSessionLanguageFromEitherLetterSet) {
    EXPECT_EQ(accountTypeText("P", 1), "Liability");
    EXPECT_EQ(accountTypeText("Liability", 2), "Passif");
    EXPECT_EQ(accountTypeText("Dépense", 1), "Expense");
    EXPECT_EQ(accountTypeText("d", 2), "Dépense");
    EXPECT_EQ(accountTypeText("Revenu", 1), "Revenue");
    EXPECT_EQ(accountTypeText("A", 2), "Actif");
    EXPECT_EQ(accountTypeText("Xotic", 1), "Xotic") << "any other value as stored";
    EXPECT_EQ(accountTypeText("", 1), "");
}

TEST(DesktopLists, RightsAndMenuFlags) {
    EXPECT_TRUE(listAllowed(ClientList, {"custmaint", "custview"}));
    EXPECT_FALSE(listAllowed(ClientList, {"custmaint", "", "custviewf"}));
    EXPECT_TRUE(listAllowed(EmployeeList, {"paview"}));
    ShellSettings s;
    s.payroll = "Y";
    s.payrollCCQ = "n";
    s.tracker = "y";
    auto f = DesktopMenuFlags::of(s);
    EXPECT_TRUE(f.payroll);
    EXPECT_FALSE(f.ccqEntries);
    EXPECT_TRUE(f.tracker);
    EXPECT_FALSE(f.jobCost);
    s.payroll = "n";
    f = DesktopMenuFlags::of(s);
    EXPECT_FALSE(f.payroll);
    EXPECT_TRUE(f.ccqEntries);
}
