// The shell's rules over real tables: users, companies, the Tools and
// tracker tables, session slots and what the company defaults wizard stores.
#include "common/core/SettingsStore.h"
#include "engine/Cursor.h"
#include "engine/Session.h"
#include "shell/core/CompanyDefaultsStore.h"
#include "shell/core/CompanyDirectory.h"
#include "shell/core/SessionSlot.h"
#include "shell/core/ToolsTable.h"
#include "shell/core/TrackerTable.h"
#include "shell/core/UserDirectory.h"
#include "tests/fixture/TempCompany.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace vm;
using namespace vm::shell;
using vm::test::TempCompanyTest;

TEST_F(TempCompanyTest, UsersAreKnownByTheirPassword) {
    UserDirectory users(company.dataRoot());
    EXPECT_EQ(users.count(), 2);
    const auto clerk = users.findByPassword("clerk");
    ASSERT_TRUE(clerk);
    EXPECT_EQ(clerk->name, "Counter Clerk");
    EXPECT_EQ(clerk->company, 1);
    EXPECT_TRUE(clerk->rights.allows(1, 1, 0));
    EXPECT_FALSE(clerk->rights.allows(1, 0, 0));
    EXPECT_FALSE(users.findByPassword("nobody"));
    EXPECT_FALSE(users.findByPassword(""));
    EXPECT_EQ(users.first()->name, "Administrator");
}

TEST_F(TempCompanyTest, CompaniesInKeyOrder) {
    schema::createCompany(company.dataDir(), 12, "Twelve");
    schema::createCompany(company.dataDir(), 3, "Three");
    const auto list = CompanyDirectory::list(company.dataRoot());
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].code, 1);
    EXPECT_EQ(list[1].code, 3);
    EXPECT_EQ(list[2].name, "Twelve");
}

TEST_F(TempCompanyTest, ToolsTableIsCreatedWithItsOneEntry) {
    company.dataRoot().dropTable("apps");
    const auto tools = ToolsTable::load(company.dataRoot());
    ASSERT_EQ(tools.size(), 1u);
    const ToolEntry& t = tools[0];
    EXPECT_EQ(t.name, "Maintenance of Tools menu");
    EXPECT_EQ(t.nameFr, "Maintenance du menu Outils");
    EXPECT_EQ(t.program, "optedit");
    EXPECT_EQ(t.about, "Security like Maintenance of parameters");
    EXPECT_EQ(t.aboutFr, "Sécurité comme Maintenance des paramètres");
    EXPECT_EQ(t.security, "parmedit");
    EXPECT_TRUE(t.isModule);
    EXPECT_EQ(t.directory, "");
    const TableDef def = company.dataRoot().tableDef("apps");
    ASSERT_EQ(def.fields.size(), 8u);
    EXPECT_EQ(def.fields[3].size, 200);
    EXPECT_EQ(def.fields[7].size, 240);
    // Loading again reads the table, it does not add the row twice.
    EXPECT_EQ(ToolsTable::load(company.dataRoot()).size(), 1u);

    EXPECT_EQ(ToolsTable::inheritedState("parmedit", [](const std::string& n) { return n != "parmedit"; }),
              false);
    EXPECT_EQ(ToolsTable::inheritedState("custmaint", [](const std::string&) { return true; }), true);
    EXPECT_FALSE(ToolsTable::inheritedState("nosuchoption", [](const std::string&) { return false; }));
}

TEST_F(TempCompanyTest, TrackerTableIsCreatedWhenMissing) {
    company.db().dropTable("trkdb");
    EXPECT_TRUE(TrackerTable::load(company.db()).empty());
    ASSERT_TRUE(company.db().tableExists("trkdb"));
    company.addRow("trkdb", {{"Trkdb_account", 7}, {"Trkdb_name", "Fleet"}, {"Trkdb_type", 1}});
    const auto rows = TrackerTable::load(company.db());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].account, 7);
    EXPECT_EQ(rows[0].name, "Fleet");
}

TEST_F(TempCompanyTest, SessionSlotsAcrossProcesses) {
    QProcess other;
    other.start(QStringLiteral(VM_SLOT_HELPER), {QString::fromStdString(company.dataDir())});
    ASSERT_TRUE(other.waitForStarted(10000));
    ASSERT_TRUE(other.waitForReadyRead(20000));
    EXPECT_EQ(other.readLine().trimmed(), "0");

    SessionSlot mine;
    ASSERT_TRUE(mine.claim(company.dataRoot()));
    EXPECT_EQ(mine.sessionId(), 1) << "the row the other shell holds is skipped";

    // A shell that dies frees its slot.
    other.kill();
    ASSERT_TRUE(other.waitForFinished(10000));
    Session next;
    SessionSlot reused;
    ASSERT_TRUE(reused.claim(next.database(company.dataDir())));
    EXPECT_EQ(reused.sessionId(), 0);

    // Holding the slot does not freeze what the shell's connection sees.
    schema::createCompany(company.dataDir(), 2, "Written elsewhere");
    EXPECT_EQ(CompanyDirectory::list(company.dataRoot()).size(), 2u);

    // Nothing was written: the lock alone marks a slot taken.
    Cursor rows(company.dataRoot(), "session", true);
    for (bool ok = rows.first(); ok; ok = rows.next())
        EXPECT_FALSE(rows.boolean("Session_lock"));
}

TEST_F(TempCompanyTest, NoFreeSlot) {
    std::vector<std::unique_ptr<Session>> sessions;
    std::vector<std::unique_ptr<SessionSlot>> held;
    for (int i = 0; i < schema::kSessionSlots; ++i) {
        sessions.push_back(std::make_unique<Session>());
        held.push_back(std::make_unique<SessionSlot>());
        ASSERT_TRUE(held.back()->claim(sessions.back()->database(company.dataDir())));
        EXPECT_EQ(held.back()->sessionId(), i);
    }
    SessionSlot last;
    EXPECT_FALSE(last.claim(company.dataRoot()));
    EXPECT_FALSE(last.held());
    held[5]->release();
    ASSERT_TRUE(last.claim(company.dataRoot()));
    EXPECT_EQ(last.sessionId(), 5);
    held.clear();
}

namespace {

std::string settingsPath(const TempCompanyTest&, const std::string& root) {
    return root + "/settings.ini";
}

} // namespace

TEST_F(TempCompanyTest, WizardStoresRatesWordsAndRegionalSettings) {
    const core::SettingsStore settings(settingsPath(*this, company.rootDir()));
    CompanyDefaults v;
    v.rate1 = "5";
    v.rate2 = "9,975";
    v.rate3 = "";
    v.dollars = "Dollars";
    v.cents = "Cents";
    v.dateFormat = "dd/mm/yyyy";
    v.currencySymbol = "$";
    v.outsideCanada = false;
    v.alignRight = true;
    EXPECT_EQ(CompanyDefaultsStore::store(company.companyDir(), settings, v), 0);

    Cursor ctrl(company.db(), "ctrl", true);
    ASSERT_TRUE(ctrl.first());
    EXPECT_DOUBLE_EQ(ctrl.dbl("Ctrl_fed_rate"), 5.0);
    EXPECT_DOUBLE_EQ(ctrl.dbl("Ctrl_pro_rate1"), 9.975);
    EXPECT_DOUBLE_EQ(ctrl.dbl("Ctrl_pro_rate2"), 0.0);
    EXPECT_EQ(ctrl.str("Ctrl_dollars1"), "Dollars");
    EXPECT_EQ(settings.read("Settings", "DateFmt"), "dd/mm/yyyy");
    EXPECT_EQ(settings.read("Settings", "intl"), "n") << "written as Intl, read as intl";
    EXPECT_EQ(settings.read("Settings", "CurrAlign"), "R");
    EXPECT_EQ(settings.read("Settings", "CurrSmbl"), "$");
}

TEST_F(TempCompanyTest, WizardStoresNothingForARateThatIsNotANumber) {
    const std::string path = settingsPath(*this, company.rootDir());
    const core::SettingsStore settings(path);
    CompanyDefaults v;
    v.rate1 = "5";
    v.rate2 = "7.5";
    v.rate3 = "fifteen";
    v.dollars = "Piastres";
    v.dateFormat = "mm/dd/yyyy";
    EXPECT_EQ(CompanyDefaultsStore::store(company.companyDir(), settings, v), 3);

    Cursor ctrl(company.db(), "ctrl", true);
    ASSERT_TRUE(ctrl.first());
    EXPECT_DOUBLE_EQ(ctrl.dbl("Ctrl_pro_rate1"), 0.0);
    EXPECT_EQ(ctrl.str("Ctrl_dollars1"), "Dollars");
    EXPECT_FALSE(std::filesystem::exists(path)) << "nothing reaches the settings";
}
