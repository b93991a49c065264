#include "modules/custview/core/DocumentChoice.h"
#include "modules/custview/core/DocumentReports.h"
#include "modules/custview/core/Documents.h"
#include "report/ReportListing.h"
#include "tools/BooksCheck.h"
#include "tools/DemoCompany.h"

#include "tests/fixture/TempCompany.h"

#include <fstream>
#include <set>
#include <sstream>

using namespace vm;
using namespace vm::custview;
using vm::test::TempCompanyTest;

namespace {

const Date kDate = Date::fromYmd(2026, 10, 14);

report::ReportDocument layOut(const report::StreamFactory& factory) {
    std::unique_ptr<report::PageStream> pages = factory();
    report::ReportDocument doc;
    static_cast<report::DocumentInfo&>(doc) = pages->info();
    report::DocumentPage page;
    while (pages->next(page))
        doc.pages.push_back(std::move(page));
    return doc;
}

// The texts drawn by the band that drew `itemName` with a text, by item name.
std::map<std::string, std::string> drawnBy(const report::ReportDocument& doc, const std::string& itemName) {
    for (const auto& page : doc.pages)
        for (const auto& it : page.items)
            if (it.name == itemName && !it.text.empty()) {
                std::map<std::string, std::string> out;
                for (const auto& other : page.items)
                    if (other.bandInstance == it.bandInstance && !other.text.empty())
                        out[other.name] = other.text;
                return out;
            }
    return {};
}

class DocumentReportTest : public TempCompanyTest {
protected:
    // Invoice 10003 of client BRO002: two product lines, a comment line, and
    // payments in a named method, an unnamed one and another named one.
    void addInvoice() {
        company.addClient("BRO002", "Brossard Hardware");
        test::Fields names{{"Ctrl_pmt_name1", "Cash"}, {"Ctrl_pmt_name3", "Visa"}};
        for (int i : {2, 4, 5, 6, 7, 8, 9, 10})
            names.emplace_back("Ctrl_pmt_name" + std::to_string(i), "");
        company.setCtrl(names);
        company.addRow("fahdr", {{"Fahdr_doc", "1"},
                                 {"Fahdr_invoice", "10003"},
                                 {"Fahdr_client", "BRO002"},
                                 {"Fahdr_date", kDate},
                                 {"Fahdr_slsm", "SB"},
                                 {"Fahdr_shp_nom", "Brossard Hardware"},
                                 {"Fahdr_shp_adr1", "12 Taschereau Blvd"},
                                 {"Fahdr_shp_city", "Brossard"},
                                 {"Fahdr_shp_prov", "QC"},
                                 {"Fahdr_shp_cp", "J4W 1A1"},
                                 {"Fahdr_store", 2},
                                 {"Fahdr_pmt1", Money::fromUnits(50)},
                                 {"Fahdr_pmt2", Money::fromUnits(999)},
                                 {"Fahdr_pmt3", Money::fromCents(6498)},
                                 {"Fahdr_user", "ADMIN"},
                                 {"Fahdr_stamp", DateTime(kDate, 9 * 3600 + 15 * 60)}});
        auto line = [&](const char* code, const char* item, const char* desc, double qty, double price,
                        Money total, Money cost, Money tax1) {
            company.addRow("fadet", {{"Fadet_doc", "1"},
                                     {"Fadet_invoice", "10003"},
                                     {"Fadet_line_code", code},
                                     {"Fadet_item_code", item},
                                     {"Fadet_desc", desc},
                                     {"Fadet_qty_order", qty},
                                     {"Fadet_qty_ship", qty},
                                     {"Fadet_price", price},
                                     {"Fadet_total", total},
                                     {"Fadet_cost", cost},
                                     {"Fadet_tax1", tax1}});
        };
        line("QUI", "VIS-2540", "Screws", 8, 12.5, Money::fromUnits(100), Money::fromUnits(60),
             Money::fromUnits(5));
        line("", "", "Thank you!", 0, 0, Money(), Money(), Money());
        line("SRV", "LABOUR", "Labour", 1, 10, Money::fromUnits(10), Money(), Money::fromCents(50));
    }
    report::ReportDocument invoiceDocument(DocumentSetup s = {}) {
        if (s.title.empty()) s.title = "Invoice 10003";
        auto f =
            documentStream(company.db(), nullptr, {DocumentChoice::Kind::CurrentInvoice, "1", "10003", 0}, s);
        EXPECT_TRUE(f.has_value());
        return layOut(*f);
    }
};

TEST(DocumentFigures, MarginAndMarkup) {
    EXPECT_DOUBLE_EQ(*marginPercent(Money::fromUnits(100), Money::fromUnits(60)), 40.0);
    EXPECT_NEAR(*markupPercent(Money::fromUnits(100), Money::fromUnits(60)), 66.67, 0.005);
    EXPECT_FALSE(marginPercent(Money(), Money::fromUnits(5)));
    EXPECT_FALSE(markupPercent(Money::fromUnits(100), Money()));
    // An invoice without costs shows a markup of 0, not a division by zero.
    InvoiceLine line;
    line.total = Money::fromUnits(80);
    const InvoiceTotals t = invoiceTotals({line});
    EXPECT_EQ(t.markup, 0.0);
    EXPECT_EQ(t.margin, 100.0);
}

TEST(DocumentFigures, PaymentMethodsWithoutANameAreLeftOut) {
    std::array<std::string, 10> names{"Cash", "", "Visa", "  "};
    std::array<Money, 10> amounts{};
    amounts.fill(Money::fromUnits(7));
    const auto lines = namedPayments(names, amounts);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].name, "Cash");
    EXPECT_EQ(lines[1].name, "Visa");
}

TEST_F(DocumentReportTest, CommentLinePrintsOnlyItsText) {
    addInvoice();
    const auto doc = invoiceDocument();
    const auto comment = drawnBy(doc, "QRComment");
    EXPECT_EQ(comment, (std::map<std::string, std::string>{{"QRComment", "Thank you!"}}));
    // Its zero amounts count, and the invoice's figures are those of its lines.
    const auto footer = drawnBy(doc, "QRInvoiceMargin");
    EXPECT_EQ(footer.at("QRInvoiceMargin"), "45.45");
    EXPECT_EQ(footer.at("QRInvoiceMarkup"), "83.33");
    EXPECT_EQ(footer.at("QRPaymentNames"), "Cash\nVisa");
    EXPECT_EQ(footer.at("QRPaymentAmounts"), "50.00\n64.98");
}

TEST_F(DocumentReportTest, InternationalTaxTitles) {
    addInvoice();
    DocumentSetup s;
    s.language = 2;
    s.international = true;
    const auto titles = drawnBy(invoiceDocument(s), "QRLabelTax1");
    EXPECT_EQ(titles.at("QRLabelTax1"), "Taxe 1");
    EXPECT_EQ(titles.at("QRLabelTax2"), "Taxe 2");
}

TEST_F(DocumentReportTest, InvoiceDrawnItems) {
    addInvoice();
    const std::string actual = report::ReportListing::text(invoiceDocument());
    const std::string path = std::string(VM_SOURCE_DIR) + "/tests/golden/custview/invoice.listing";
    if (std::getenv("VM_UPDATE_GOLDEN")) {
        std::ofstream(path) << actual;
        return;
    }
    std::ifstream in(path);
    std::stringstream expected;
    expected << in.rdbuf();
    EXPECT_EQ(actual, expected.str()) << "differs from " << path;
}

// On the demo company every ledger row, current or history, opens a
// document, each kind of document is met, and the books still balance.
TEST_F(TempCompanyTest, EveryDemoRowOpensItsDocument) {
    admin::DemoOptions demo;
    demo.clients = 12;
    demo.suppliers = 2;
    demo.invoices = 90;
    admin::buildDemoCompany(company.dataDir(), demo);
    EXPECT_EQ(admin::checkBooks(company.db()), std::vector<std::string>());
    EXPECT_EQ(admin::checkCodes(company.db(), company.dataRoot()), std::vector<std::string>());
    using K = DocumentChoice::Kind;
    std::map<std::string, std::set<K>> kinds;
    for (const char* table : {"car", "carh"}) {
        Query q(company.db(),
                std::string("SELECT Car_client, Car_invoice, Car_ref, Car_type, Car_date FROM ") + table);
        std::vector<LedgerRow> rows;
        while (q.next())
            rows.push_back({q.value(0).asString(), q.value(1).asString(), q.value(2).asString(),
                            q.value(3).asString(), q.value(4).asDate()});
        ASSERT_FALSE(rows.empty()) << table;
        for (const LedgerRow& r : rows) {
            const DocumentChoice d = chooseDocument(company.db(), r);
            ASSERT_NE(d.kind, K::None) << table << " " << r.invoice << " " << r.type;
            kinds[r.type].insert(d.kind);
            auto f = documentStream(company.db(), &company.dataRoot(), d, {});
            ASSERT_TRUE(f);
            const auto doc = layOut(*f);
            // The document is the row's: its number is printed.
            bool named = false;
            for (const auto& it : doc.pages.at(0).items)
                named = named || it.text == (r.type == "2" ? r.reference : r.invoice);
            EXPECT_TRUE(named) << table << " " << r.invoice << " " << r.type;
        }
    }
    EXPECT_EQ(kinds["1"], (std::set<K>{K::ArchivedInvoice, K::CurrentInvoice, K::SalesEntry}));
    EXPECT_EQ(kinds["2"], std::set<K>{K::CashReceipt});
    EXPECT_EQ(kinds["5"], std::set<K>{K::SalesEntry});
}

} // namespace
