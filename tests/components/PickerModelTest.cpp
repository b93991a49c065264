#include "components/common/PickerModel.h"
#include "tests/components/PickerCompany.h"

#include <gtest/gtest.h>

#include <set>

using vm::components::PickerDefinition;
using vm::components::PickerModel;

namespace {

PickerDefinition clients() {
    PickerDefinition s;
    s.formName = "TClientPicker";
    s.table = "cli";
    s.keyField = "Cli_code";
    s.nameField = "Cli_name";
    s.columns = {{"Cli_code", "Code", "Code", 10}, {"Cli_name", "Name", "Nom", 30}};
    return s;
}

PickerDefinition accounts() {
    PickerDefinition s;
    s.table = "glm";
    s.keyField = "Glm_account";
    s.numericKey = true;
    s.nameField = "Glm_Description";
    s.columns = {{"Glm_account", "Account", "Compte", 10},
                 {"Glm_Description", "Description", "Description", 30}};
    return s;
}

std::vector<std::string> keys(PickerModel& m) {
    while (m.canFetchMore({}))
        m.fetchMore({});
    std::vector<std::string> out;
    for (int r = 0; r < m.rowCount(); ++r)
        out.push_back(m.keyAt(r).asString());
    return out;
}

std::vector<std::string> search(PickerModel& m, const char* text) {
    m.setSearch(QString::fromUtf8(text));
    return keys(m);
}

using Keys = std::vector<std::string>;

} // namespace

// Whatever the user types is data: quotes, LIKE wildcards and the escape
// character itself match only themselves.
TEST(PickerModel, SearchTextIsMatchedLiterally) {
    auto& data = vm::test::PickerCompany::instance();
    PickerModel m(data.company().db(), clients());
    EXPECT_EQ(search(m, "%"), (Keys{"A100"}));
    EXPECT_EQ(search(m, "_"), (Keys{"A300"}));
    EXPECT_EQ(search(m, "O'Neil"), (Keys{"A200"}));
    EXPECT_EQ(search(m, "\\"), (Keys{"A400"}));
    EXPECT_EQ(search(m, "' OR '1'='1"), Keys{});
    EXPECT_EQ(search(m, "\"; DROP TABLE cli; --"), Keys{});
    // The table survived and lists again.
    EXPECT_EQ(search(m, "").size(), std::size_t(vm::test::PickerCompany::kOrdinaryClients +
                                                vm::test::PickerCompany::kSpecialClients));
}

// A code matches from its start, a name anywhere, letters without regard to
// case; integer keys are matched as their decimal text.
TEST(PickerModel, MatchesCodePrefixOrNameAnywhere) {
    auto& data = vm::test::PickerCompany::instance();
    PickerModel m(data.company().db(), clients());
    EXPECT_EQ(search(m, "a2"), (Keys{"A200"}));
    EXPECT_EQ(search(m, "neil"), (Keys{"A200"}));
    EXPECT_EQ(search(m, "C0000"), (Keys{"C00001", "C00002", "C00003", "C00004", "C00005", "C00006", "C00007",
                                        "C00008", "C00009"}));
    EXPECT_EQ(search(m, "0000"), (Keys{"C00001", "C00002", "C00003", "C00004", "C00005", "C00006", "C00007",
                                       "C00008", "C00009", "C10000"}))
        << "names hold the number too: Client 00001";

    PickerModel a(data.company().db(), accounts());
    EXPECT_EQ(search(a, "10"), (Keys{"1000", "1010"}));
    EXPECT_EQ(search(a, "CASH"), (Keys{"1010"}));
    ASSERT_EQ(a.rowCount(), 1);
    EXPECT_EQ(a.keyAt(0), vm::Value(std::int64_t{1010}));
}

// Names match without regard to case or accents, a code typed in lower case
// finds its stored upper case, and a NUL typed into the search (which once
// ended the pattern early and listed every row) is dropped.
TEST(PickerModel, NamesIgnoreAccentsCodesIgnoreCaseNulIsDropped) {
    auto& data = vm::test::PickerCompany::instance();
    PickerDefinition reps;
    reps.table = "slsm";
    reps.keyField = "Slsm_code";
    reps.nameField = "Slsm_nom";
    reps.columns = {{"Slsm_code", "Code", "Code", 6}, {"Slsm_nom", "Name", "Nom", 30}};
    PickerModel m(data.company().db(), reps);
    EXPECT_EQ(search(m, "belanger"), (Keys{"JB"}));
    EXPECT_EQ(search(m, "BÉLANGER"), (Keys{"JB"}));
    EXPECT_EQ(search(m, "jb"), (Keys{"JB"}));

    PickerModel c(data.company().db(), clients());
    c.setSearch(QString(QChar(0)) + "zz-none");
    EXPECT_EQ(keys(c), Keys{});
}

// A large table opens on one page; scrolling fetches the rest in key order,
// each row once.
TEST(PickerModel, LargeTableIsReadPageByPage) {
    auto& data = vm::test::PickerCompany::instance();
    PickerModel m(data.company().db(), clients(), 100);
    m.setSearch({});
    EXPECT_EQ(m.rowCount(), 100);
    EXPECT_TRUE(m.canFetchMore({}));
    const Keys all = keys(m);
    ASSERT_EQ(all.size(), std::size_t(vm::test::PickerCompany::kOrdinaryClients +
                                      vm::test::PickerCompany::kSpecialClients));
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
    EXPECT_EQ(std::set<std::string>(all.begin(), all.end()).size(), all.size());
    EXPECT_FALSE(m.canFetchMore({}));

    // A new search starts over on its first page.
    m.setSearch("C0");
    EXPECT_EQ(m.rowCount(), 100);
    EXPECT_EQ(m.keyAt(0).asString(), "C00001");
}

// A table whose key may repeat pages by position and still shows every row
// exactly once, across page boundaries that fall inside a run of equal keys.
TEST(PickerModel, RepeatedKeysArePagedWithoutLoss) {
    vm::test::TempCompany c;
    vm::Database& db = c.db();
    vm::TableDef def;
    def.name = "slsmcopy";
    def.fields = {{"Slsm_code", vm::FieldType::Text, 10}, {"Slsm_nom", vm::FieldType::Text, 40}};
    db.createTable(def);
    for (int i = 0; i < 7; ++i)
        c.addRow("slsmcopy", {{"Slsm_code", i < 5 ? "AA" : "BB"}, {"Slsm_nom", "Rep " + std::to_string(i)}});

    PickerDefinition s;
    s.table = "slsmcopy";
    s.keyField = "Slsm_code";
    s.uniqueKey = false;
    s.nameField = "Slsm_nom";
    s.columns = {{"Slsm_code", "Code", "Code", 10}, {"Slsm_nom", "Name", "Nom", 30}};
    PickerModel m(db, s, 2);
    m.setSearch({});
    EXPECT_EQ(m.rowCount(), 2);
    keys(m);
    std::multiset<std::string> names;
    for (int r = 0; r < m.rowCount(); ++r)
        names.insert(m.data(m.index(r, 1)).toString().toStdString());
    EXPECT_EQ(names.size(), 7u);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 7u);
}

// Column titles start in the session's language; the language table may
// replace them one by one.
TEST(PickerModel, TitlesFollowLanguageAndTranslation) {
    auto& data = vm::test::PickerCompany::instance();
    PickerModel m(data.company().db(), clients());
    m.setFallbackTitles(2);
    EXPECT_EQ(m.headerData(1, Qt::Horizontal).toString(), "Nom");
    EXPECT_TRUE(m.setHeaderData(1, Qt::Horizontal, "Raison sociale"));
    EXPECT_EQ(m.headerData(1, Qt::Horizontal).toString(), "Raison sociale");
    EXPECT_FALSE(m.setHeaderData(5, Qt::Horizontal, "x"));
}
