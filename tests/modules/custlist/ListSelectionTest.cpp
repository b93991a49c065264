#include "modules/custlist/core/ListSelection.h"

#include "tests/fixture/TempCompany.h"

using namespace vm;
using namespace vm::lists;

namespace {

class ListSelectionTest : public vm::test::TempCompanyTest {
protected:
    void SetUp() override {
        // code, salesrep, territory
        const char* rows[][3] = {{"A1", "S2", "EBX"},
                                 {"B", "S1", "WB"},
                                 {"B1", "", "NB1"},
                                 {"C1", "S1", "EAS"},
                                 {"D1", "S0", "XBZ"}};
        for (auto& r : rows)
            company.addClient(r[0], std::string("Client ") + r[0],
                              {{"Cli_salesrep", r[1]}, {"Cli_terr", r[2]}});
        company.addSupplier("P1", "Supplier 1", {{"Sup_terr", "QBC"}});
        company.addSupplier("P2", "Supplier 2", {{"Sup_terr", "QCC"}});
    }
    std::vector<std::string> codes(ListOptions o) {
        ListSelection s(company.db(), o);
        std::vector<std::string> out;
        while (s.next())
            out.push_back(s.value(o.master == Master::Clients ? "Cli_code" : "sup_CODE").asString());
        return out;
    }
    using V = std::vector<std::string>;
};

} // namespace

TEST_F(ListSelectionTest, TerritoryPatternTestsOnlyItsNamedPositions) {
    ListOptions o;
    for (const char* pattern : {"?B?", " B ", "?B", " B"}) {
        o.territory = pattern;
        EXPECT_EQ(codes(o), (V{"A1", "B", "B1", "D1"})) << '"' << pattern << '"';
    }
    o.territory = "E";
    EXPECT_EQ(codes(o), (V{"A1", "C1"}));
    o.territory = "??1"; // "WB" has no third character
    EXPECT_EQ(codes(o), (V{"B1"}));
    o = {};
    o.master = Master::Suppliers;
    o.territory = "?B";
    EXPECT_EQ(codes(o), (V{"P1"}));
}

TEST_F(ListSelectionTest, CodeRangeBoundsAreInclusiveAndAnEmptyToIsOpen) {
    ListOptions o;
    o.fromCode = "B";
    EXPECT_EQ(codes(o), (V{"B", "B1", "C1", "D1"}));
    o.fromCode.clear();
    o.toCode = "B";
    EXPECT_EQ(codes(o), (V{"A1", "B"}));
    o.fromCode = "B";
    o.toCode = "C1";
    EXPECT_EQ(codes(o), (V{"B", "B1", "C1"}));
}

TEST_F(ListSelectionTest, AnEmptySalesrepIsLeftOutOnceFromSalesrepIsSet) {
    ListOptions o;
    o.toRep = "S1"; // an empty salesrep is within any "to"
    EXPECT_EQ(codes(o), (V{"B", "B1", "C1", "D1"}));
    o.fromRep = "S0";
    EXPECT_EQ(codes(o), (V{"B", "C1", "D1"}));
}

TEST_F(ListSelectionTest, SalesrepOrderAppliesToTheDetailedListOnly) {
    ListOptions o;
    o.order = ListOrder::Salesrep;
    EXPECT_EQ(codes(o), (V{"B1", "D1", "B", "C1", "A1"}));
    o.detailed = false; // the summary prints by code whatever the order chosen
    EXPECT_EQ(codes(o), (V{"A1", "B", "B1", "C1", "D1"}));
}
