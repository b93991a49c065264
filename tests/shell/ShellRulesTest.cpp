// The shell's rules without tables or windows.
#include "engine/TableDef.h"
#include "schema/UserRights.h"
#include "shell/core/CompanyDefaultsStore.h"
#include "shell/core/CompanyDefaultsWizard.h"
#include "shell/core/CompanyDirectory.h"
#include "shell/core/FormGeometry.h"
#include "shell/core/LanguageList.h"
#include "shell/core/LaunchPlanner.h"
#include "shell/core/MenuCatalog.h"
#include "shell/core/MenuRights.h"
#include "shell/core/OptionCatalogue.h"
#include "shell/core/SessionRecord.h"
#include "shell/core/ShellMessages.h"
#include "shell/core/ShellSettings.h"
#include "shell/core/UserDirectory.h"
#include "shell/core/WelcomeCaption.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

using namespace vm;
using namespace vm::shell;

TEST(ShellSettings, DrivesBecomeDirectoryPrefixes) {
    ShellSettings s;
    EXPECT_EQ(s.programDir(), "e:/Valmorand/bin");
    EXPECT_EQ(s.dataDir(), "e:/Valmorand/data");
    s.pgmdrive = "/opt/tw/";
    s.datadrive = "/srv/books";
    EXPECT_EQ(s.programDir(), "/opt/tw/Valmorand/bin");
    EXPECT_EQ(s.companyDir("12"), "/srv/books/Valmorand/data12");
    s.displayPW = "y";
    EXPECT_FALSE(s.forcePasswordDialog()) << "only Y exactly forces the dialog";
    s.payroll = "y";
    EXPECT_TRUE(s.payrollOn());
}

TEST(FormGeometry, ParsesAndWritesBack) {
    const FormGeometry d = FormGeometry::parse(FormGeometry::kDefault);
    EXPECT_EQ(d.height, 520);
    EXPECT_EQ(d.width, 750);
    EXPECT_FALSE(d.useStoredPosition);
    const FormGeometry g = FormGeometry::parse("600,-5,40,900,Y");
    EXPECT_EQ(g.left, -5);
    EXPECT_TRUE(g.useStoredPosition);
    EXPECT_EQ(g.toSetting(), "600,-5,40,900,Y");
    // A damaged value never gives a window without size.
    for (const char* bad : {"", "abc", "0,1,2,0,Y", "1,2,3"})
        EXPECT_EQ(FormGeometry::parse(bad).width, 750) << bad;
}

TEST(MenuCatalog, CodesAreUniqueAndSurviveNormalisation) {
    std::set<std::string> names;
    for (const auto& m : MenuCatalog::ledgerMenus()) {
        for (const auto& q : m.quick)
            EXPECT_TRUE(names.insert(q.name).second) << q.name;
        for (const auto& g : m.groups) {
            EXPECT_LE(g.options.size(), 15u) << g.name;
            for (const auto& o : g.options) {
                EXPECT_TRUE(names.insert(o.name).second) << o.name;
                // A code must reach its own library: no suffix the launch strips.
                const char last = o.name.back();
                EXPECT_TRUE(last != 'p' && last != 'f' && last != 'S') << o.name;
            }
        }
        // Every repeating quick entry has its twin.
        if (m.quickEntriesRepeat) {
            for (const auto& q : m.quick)
                EXPECT_NE(MenuCatalog::findOption(q.name.substr(0, q.name.size() - 1)), nullptr) << q.name;
        }
    }
}

TEST(MenuRights, BitsFollowTagGroupAndPosition) {
    schema::UserRights rights;
    rights.allow(1, 0, 0); // bit 105
    const auto onlyClients = MenuRights::states(rights);
    EXPECT_TRUE(onlyClients.at("custmaint"));
    EXPECT_FALSE(onlyClients.at("slsmaint"));
    EXPECT_FALSE(onlyClients.at("payaging"));
    EXPECT_EQ(MenuRights::bitOf(2, 2, 1), 241);

    schema::UserRights aging;
    aging.allow(2, 2, 1); // bit 241: payables, Reports, "Aging of accounts"
    const auto s = MenuRights::states(aging);
    EXPECT_TRUE(s.at("payaging"));
    EXPECT_FALSE(s.at("rcvaging"));
    EXPECT_FALSE(s.at("vendview"));
    EXPECT_FALSE(s.at("custmaint"));
}

TEST(MenuRights, QuickEntriesFollowTheirTwins) {
    schema::UserRights clerk;
    clerk.allowGroup(schema::UserRights::Receivables, schema::UserRights::Transactions);
    const auto s = MenuRights::states(clerk);
    EXPECT_TRUE(s.at("cashrcpt"));
    EXPECT_TRUE(s.at("cashrcptf"));
    EXPECT_TRUE(s.at("arsalesf"));
    EXPECT_FALSE(s.at("custviewf")) << "its twin is in Reports";
    EXPECT_FALSE(s.at("purchjrnlf"));
    // The tracker's lead entry is not a repeat and keeps its state.
    EXPECT_EQ(s.count("trkcreate"), 0u);

    const auto none = MenuRights::states(schema::UserRights::fromBytes({1, 2, 3}));
    for (const auto& [name, enabled] : none)
        EXPECT_FALSE(enabled) << name << ": short rights field";
}

namespace {

OptionCatalogue catalogueFor(const ShellSettings& settings, const std::set<std::string>& disabled,
                             bool enabledOnly) {
    return OptionCatalogue::build(
        settings,
        [&](const std::string& name) {
            OptionCatalogue::OptionState st;
            st.caption = MenuCatalog::findOption(name)->caption;
            st.enabled = !disabled.count(name);
            st.visible = name != "glchart";
            return st;
        },
        [](int tag) { return " #" + std::to_string(tag); }, enabledOnly);
}

} // namespace

TEST(OptionCatalogue, ListsVisibleOptionsInLedgerOrder) {
    ShellSettings settings;
    const auto all = catalogueFor(settings, {"custmaint"}, false);
    ASSERT_EQ(all.captions.size(), all.codes.size());
    EXPECT_EQ(all.codes.front(), "glmaint");
    EXPECT_EQ(all.captions.front(), "Maintenance of accounts #0");
    EXPECT_EQ(std::count(all.codes.begin(), all.codes.end(), "glchart"), 0) << "hidden options are left out";
    EXPECT_EQ(std::count(all.codes.begin(), all.codes.end(), "custmaint"), 1);
    EXPECT_EQ(std::count(all.codes.begin(), all.codes.end(), "paentry"), 0) << "payroll is off";
    // System manager (tag 3) comes before invoicing (tag 4).
    const auto pos = [&](const char* code) {
        return std::find(all.codes.begin(), all.codes.end(), code) - all.codes.begin();
    };
    EXPECT_LT(pos("parmedit"), pos("faprod"));

    const auto enabled = catalogueFor(settings, {"custmaint"}, true);
    ASSERT_EQ(enabled.codes.size(), all.codes.size()) << "the lists stay parallel";
    const auto i = static_cast<std::size_t>(pos("custmaint"));
    EXPECT_EQ(enabled.codes[i], "");
    EXPECT_EQ(enabled.captions[i], "Maintenance of clients #1");

    settings.payroll = "Y";
    settings.jobCost = "y";
    const auto more = catalogueFor(settings, {}, true);
    EXPECT_EQ(more.codes.back(), "jcyearend");
    EXPECT_NE(std::find(more.codes.begin(), more.codes.end(), "pacreate"), more.codes.end());
}

TEST(LaunchPlanner, NormalisesCodes) {
    LaunchContext ctx;
    ctx.catalogueCodes = {"cashrcpt", "custmaint"};
    EXPECT_EQ(LaunchPlanner::plan("cashrcptf", ctx).library, "cashrcpt");
    EXPECT_EQ(LaunchPlanner::plan("custviewp", ctx).library, "custview");
    EXPECT_EQ(LaunchPlanner::plan("firmedit", ctx).library, "firmedit");
    EXPECT_EQ(LaunchPlanner::plan("FIRMEDIT", ctx).library, "FIRMEDIT")
        << "firmedit is recognised in any case";
    EXPECT_EQ(LaunchPlanner::plan("cashrcptS", ctx).library, "cashrcpt");

    const LaunchPlan refused = LaunchPlanner::plan("vendmaintS", ctx);
    EXPECT_FALSE(refused.launch);
    EXPECT_EQ(refused.messageEntry, msg::kShortcutNotAvailable);
    // Disabled options have empty codes in the catalogue; an empty code
    // never makes a shortcut valid.
    ctx.catalogueCodes = {""};
    EXPECT_FALSE(LaunchPlanner::plan("S", ctx).launch);
}

TEST(LaunchPlanner, SharedReportsSetTheLedger) {
    LaunchContext ctx;
    for (auto [code, lib, prefix] :
         {std::tuple{"aprptprt", "rptprint", "ap"}, std::tuple{"glrptedit", "rptedit", "gl"},
          std::tuple{"arrptprt", "rptprint", "ar"}}) {
        const LaunchPlan p = LaunchPlanner::plan(code, ctx);
        EXPECT_EQ(p.library, lib);
        EXPECT_EQ(p.ledgerPrefix, prefix);
        EXPECT_EQ(p.code, code);
    }
    EXPECT_EQ(LaunchPlanner::plan("custmaint", ctx).ledgerPrefix, "");
}

TEST(LaunchPlanner, TrackerOptionsNeedADatabase) {
    LaunchContext ctx;
    const LaunchPlan none = LaunchPlanner::plan("trkentry", ctx);
    EXPECT_FALSE(none.launch);
    EXPECT_EQ(none.messageEntry, msg::kTrackerDatabaseNeeded);
    EXPECT_TRUE(LaunchPlanner::plan("trkcreate", ctx).launch) << "creating one needs none";
    ctx.trackerAccount = 42;
    const LaunchPlan chosen = LaunchPlanner::plan("trkentry", ctx);
    EXPECT_TRUE(chosen.launch);
    EXPECT_EQ(chosen.ledgerPrefix, "42");
}

TEST(LaunchPlanner, PayrollOptionsNeedThePayrollFiles) {
    bool asked = false;
    LaunchContext ctx;
    ctx.payrollFilesExist = [&] {
        asked = true;
        return false;
    };
    EXPECT_TRUE(LaunchPlanner::plan("paentry", ctx).launch) << "payroll off: no check";
    EXPECT_FALSE(asked);
    ctx.payrollOn = true;
    for (const char* code : {"paentryf", "gltrjrnl", "parptprt"}) {
        const LaunchPlan p = LaunchPlanner::plan(code, ctx);
        EXPECT_FALSE(p.launch) << code;
        EXPECT_EQ(p.messageEntry, msg::kPayrollFilesMissing);
        EXPECT_TRUE(p.informationBox);
    }
    EXPECT_TRUE(LaunchPlanner::plan("pacreate", ctx).launch);
    EXPECT_TRUE(LaunchPlanner::plan("glbal", ctx).launch);
    ctx.payrollFilesExist = [] { return true; };
    EXPECT_TRUE(LaunchPlanner::plan("paentry", ctx).launch);
}

TEST(WelcomeCaption, FormatsInBothLanguages) {
    const DateTime when(Date::fromYmd(2026, 12, 8), 10 * 3600);
    EXPECT_EQ(WelcomeCaption::afterLaunch(1, when), "Welcome to Valmorand   Tuesday, December 8, 2026 ");
    EXPECT_EQ(WelcomeCaption::afterLaunch(2, when), "Bienvenue à Valmorand   mardi, 8 décembre 2026 ");
    EXPECT_EQ(WelcomeCaption::afterLaunch(1, when, true),
              "Welcome to Valmorand/Tollmere   Tuesday, December 8, 2026 ");
    EXPECT_EQ(WelcomeCaption::afterLanguageChange("Welcome to Valmorand", 1, when),
              "Welcome to Valmorand    Tuesday, 8 December 2026 ");
    // Date letters in the caption are its own text, not date fields.
    EXPECT_EQ(WelcomeCaption::afterLanguageChange("My \"day\" book", 1, when).rfind("My day book ", 0), 0u);
}

TEST(CompanyDirectory, PasswordAndNameRules) {
    const std::vector<CompanyRow> list = {{1, "Alpha", ""}, {2, "Beta", "Secret"}, {3, "Beta", ""}};
    EXPECT_EQ(CompanyDirectory::findByName(list, "Beta")->code, 3) << "the last row of that name";
    EXPECT_TRUE(CompanyDirectory::needsPassword(list[1], 1));
    EXPECT_FALSE(CompanyDirectory::needsPassword(list[1], 2)) << "the user's own company";
    EXPECT_FALSE(CompanyDirectory::needsPassword(list[0], 2));
    EXPECT_FALSE(CompanyDirectory::passwordMatches(list[1], "SECRET"));
    EXPECT_TRUE(CompanyDirectory::passwordMatches(list[1], "Secret"));
}

TEST(SessionRecord, FillsFromSettingsLoginAndCompany) {
    ShellSettings s;
    s.customer = "C-77";
    s.language = "2";
    s.pgmdrive = "/p";
    s.datadrive = "/d";
    TLinkSection link;
    link.LedgerPrefix = "ap";
    SessionRecord::applySettings(link, s);
    EXPECT_EQ(link.Customer, "C-77");
    EXPECT_EQ(link.Language, 2);
    EXPECT_EQ(link.LangCode, "fr");
    EXPECT_EQ(link.ProgramDir, "/p/Valmorand/bin");
    EXPECT_EQ(link.DataDir, "/d/Valmorand/data");
    EXPECT_TRUE(link.LedgerPrefix.empty());

    const std::vector<LanguageRow> langs = {
        {1, "en", "English"}, {2, "fr", "Français"}, {3, "esp", "Español"}};
    UserRow u;
    u.name = "Jo";
    u.detail = 4;
    u.company = 12;
    u.language = 0;
    SessionRecord::applyLogin(link, u, langs);
    EXPECT_EQ(link.LoginUser, "Jo");
    EXPECT_EQ(link.Language, 2) << "language 0 keeps the workstation's";
    u.language = 3;
    SessionRecord::applyLogin(link, u, langs);
    EXPECT_EQ(link.Language, 3);
    EXPECT_EQ(link.LangCode, "es") << "only the first two characters";
    u.language = 9;
    SessionRecord::applyLogin(link, u, langs);
    EXPECT_EQ(link.LangCode, "en") << "a language not listed";

    SessionRecord::applyCompany(link, u, CompanyRow{12, "Twelve", ""});
    EXPECT_EQ(link.CompanyCode, "12");
    EXPECT_EQ(link.CompanyName, "Twelve");
    EXPECT_EQ(link.UserName, "Jo");
    EXPECT_EQ(link.UserDetail, 4);
    SessionRecord::applyCompany(link, u, std::nullopt);
    EXPECT_TRUE(link.CompanyName.empty());

    s.language = "x";
    SessionRecord::applySettings(link, s);
    EXPECT_EQ(link.Language, 1);
}

TEST(UserDirectory, DialogAndUpperCase) {
    EXPECT_FALSE(UserDirectory::needsDialog(1, false));
    EXPECT_TRUE(UserDirectory::needsDialog(1, true));
    EXPECT_TRUE(UserDirectory::needsDialog(2, false));
    EXPECT_EQ(UserDirectory::upperCase("clerk é1"), "CLERK É1");
}

TEST(CompanyDefaultsWizard, OutsideCanadaSkipsTheProvince) {
    CompanyDefaultsWizard w(1);
    w.next();
    const auto& s = w.state();
    EXPECT_EQ(s.page, CompanyDefaultsWizard::Taxes);
    EXPECT_EQ(w.dateFormatText(), "mm/dd/yyyy");
    EXPECT_EQ(s.taxCaptionLine, CompanyDefaultsWizard::kTaxesVat);
    EXPECT_EQ(s.rate1Line, CompanyDefaultsWizard::kVatRate1);
    EXPECT_FALSE(s.harmonisedVisible);
    w.back();
    EXPECT_EQ(s.page, CompanyDefaultsWizard::Intro);
    w.next();
    w.next();
    EXPECT_EQ(s.currencySymbol, "$");
    EXPECT_FALSE(w.alignRight());
    EXPECT_EQ(s.dollars, "Dollars");
    EXPECT_EQ(s.cents, "Cents");
    w.next();
    EXPECT_EQ(s.page, CompanyDefaultsWizard::End);
}

TEST(CompanyDefaultsWizard, ProvincesSetTheirRates) {
    CompanyDefaultsWizard ns(1);
    ns.state().inCanada = true;
    ns.next();
    EXPECT_EQ(ns.state().province, 0) << "the first province is proposed";
    ns.state().province = 5; // Nova Scotia
    ns.next();
    EXPECT_EQ(ns.state().rate1, "0");
    EXPECT_EQ(ns.state().rate2, "0");
    EXPECT_EQ(ns.state().rate3, "15");
    EXPECT_TRUE(ns.state().harmonisedVisible);
    EXPECT_EQ(ns.state().taxCaptionLine, CompanyDefaultsWizard::kTaxesGstPstHst);
    EXPECT_EQ(ns.dateFormatText(), "mm/dd/yyyy");
    ns.back();
    EXPECT_EQ(ns.state().page, CompanyDefaultsWizard::Province);

    CompanyDefaultsWizard qc(2);
    qc.state().inCanada = true;
    qc.next();
    qc.state().province = CompanyDefaultsWizard::kQuebec;
    qc.next();
    EXPECT_EQ(qc.state().rate1, "7");
    EXPECT_EQ(qc.state().rate2, "7.5");
    EXPECT_EQ(qc.dateFormatText(), "dd/mm/yyyy");
    EXPECT_EQ(qc.state().rate2Line, CompanyDefaultsWizard::kQstRate);
    EXPECT_FALSE(qc.state().harmonisedVisible);
    qc.next();
    EXPECT_TRUE(qc.alignRight()) << "Québec in French puts the symbol after the amount";

    CompanyDefaultsWizard qcEnglish(1);
    qcEnglish.state().inCanada = true;
    qcEnglish.state().province = CompanyDefaultsWizard::kQuebec;
    qcEnglish.next();
    qcEnglish.next();
    qcEnglish.next();
    EXPECT_FALSE(qcEnglish.alignRight());
}

TEST(CompanyDefaultsStore, RatesMustBeNumbers) {
    EXPECT_EQ(*CompanyDefaultsStore::parseRate(" 7.5 "), 7.5);
    EXPECT_EQ(*CompanyDefaultsStore::parseRate("9,975"), 9.975);
    EXPECT_EQ(*CompanyDefaultsStore::parseRate(""), 0.0);
    for (const char* bad : {"abc", "7%", "1.2.3", "-5", ".", "1e3"})
        EXPECT_FALSE(CompanyDefaultsStore::parseRate(bad)) << bad;
    CompanyDefaults v;
    v.rate1 = "5";
    v.rate2 = "seven";
    EXPECT_EQ(CompanyDefaultsStore::firstBadRate(v), 2);
}

TEST(LanguageList, CodesAndEntryNames) {
    const std::vector<LanguageRow> rows = {{1, "en", "English"}, {2, "fra", "Français"}};
    EXPECT_EQ(LanguageList::codeFor(rows, 2), "fr");
    EXPECT_EQ(LanguageList::codeFor(rows, 7), "en");
    EXPECT_EQ(rows[1].entryName(), "MenuItemfr");
    EXPECT_EQ(LanguageList::byName(rows, "Français")->key, 2);
}
