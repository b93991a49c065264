// valmorand-admin cheque-list run as a scheduled job runs it.
#include "tests/fixture/TempCompany.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <vector>

using namespace vm;

namespace {

int run(const std::vector<std::string>& args) {
    std::string cmd = std::string("'") + VM_PROGRAM_DIR + "/valmorand-admin' cheque-list";
    for (const auto& a : args)
        cmd += " '" + a + "'";
    cmd += " >/dev/null 2>&1";
    const int st = std::system(cmd.c_str());
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
}

std::vector<std::string> descriptions(Database& db) {
    std::vector<std::string> out;
    Cursor h(db, "apchqh", true);
    for (bool on = h.first(); on; on = h.next())
        out.push_back(h.str("Apchqh_fou") + h.str("Apchqh_desc"));
    return out;
}

TEST(ChequeListCommandTest, BuildsTheListInTheChosenLanguageAndRefusesBadDates) {
    test::TempCompany c;
    c.addAccount(1000, "Bank");
    c.addAccount(1010, "Bank - US");
    c.setCtrl({{"Ctrl_bank_accnt1", 1000}, {"Ctrl_bank_accnt2", 1010}});
    c.addSupplier("HOME", "Home", {{"Sup_bank_account", 1000}});
    c.addSupplier("US", "US", {{"Sup_bank_account", 1010}});
    for (const char* s : {"HOME", "US"})
        c.addCap(s, "I1", "1", Date::fromYmd(2026, 3, 1), Money::fromUnits(21));
    const std::string n = "1";
    ASSERT_EQ(run({c.rootDir(), n, "--new-list", "--date", "2026-03-01", "--due-by=2026-03-31", "--bank",
                   "1010", "--language", "fr"}),
              0);
    EXPECT_EQ(descriptions(c.db()), std::vector<std::string>{"US Vingt et Un Dollars"});

    EXPECT_EQ(run({c.rootDir(), n, "--new-list", "--date", "2026-02-30"}), 2);
    EXPECT_EQ(run({c.rootDir(), n, "--new-list", "--bank", "9999"}), 2);
    EXPECT_EQ(run({c.rootDir(), n, "--supplier", "HOME"}), 2); // list options without --new-list
    EXPECT_EQ(descriptions(c.db()), std::vector<std::string>{"US Vingt et Un Dollars"});

    ASSERT_EQ(run({c.rootDir(), n, "--new-list", "--date", "2026-03-01", "--due-by", "2026-03-31"}), 0);
    EXPECT_EQ(descriptions(c.db()), std::vector<std::string>{"HOME Twenty One Dollars"});
}

} // namespace
