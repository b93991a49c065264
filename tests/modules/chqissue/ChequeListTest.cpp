#include "modules/chqissue/core/ChequeList.h"

#include "tests/fixture/TempCompany.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace vm;
using namespace vm::chqissue;

namespace {

constexpr int kBank = 1000, kBankUs = 1010, kPayables = 2100, kDiscounts = 5100, kNotInChart = 7777;

Money m(const char* text) {
    return *Money::parse(text);
}
Date day(int d) {
    return Date::fromYmd(2026, 3, d);
}

struct Entry {
    int seq = 0;
    std::string supplier, words;
    Money amount;
    std::vector<Money> dist;
    std::vector<int> accounts;
    struct Line {
        std::string invoice;
        Money amount, discount, payment;
    };
    std::vector<Line> lines;
};

class ChequeListTest : public test::BackendCompanyTest {
protected:
    void SetUp() override {
        company.addAccount(kBank, "Bank");
        company.addAccount(kBankUs, "Bank - US");
        company.addAccount(kPayables, "Accounts payable");
        company.addAccount(kDiscounts, "Discounts earned");
        company.setCtrl({{"Ctrl_bank_accnt1", kBank},
                         {"Ctrl_bank_accnt2", kBankUs},
                         {"Ctrl_ap_accnt", kPayables},
                         {"Ctrl_ap_disb_accnt2", kDiscounts}});
        request.printingDate = day(15);
        request.dueBy = day(31);
        request.bankAccount = kBank;
    }

    void supplier(const std::string& code, double discount = 0, int bank = kBank) {
        company.addSupplier(code, "Supplier " + code,
                            {{"Sup_bank_account", bank}, {"Sup_pmt_discount", discount}});
    }
    void invoice(const std::string& supplier, const std::string& invoice, const char* amount,
                 Date due = day(15), const std::string& type = "1") {
        company.addCap(supplier, invoice, type, day(1), m(amount), {{"Cap_du_date", due}});
    }

    ListSummary build() { return ChequeListBuilder(company.db()).build(request); }

    std::vector<Entry> entries() {
        std::vector<Entry> out;
        Cursor h(company.db(), "apchqh", true);
        Cursor d(company.db(), "apchqd", true);
        d.setIndex("Apchqd_seq");
        for (bool on = h.first(); on; on = h.next()) {
            Entry e;
            e.seq = static_cast<int>(h.integer("Apchqh_seq"));
            e.supplier = h.str("Apchqh_fou");
            e.words = h.str("Apchqh_desc");
            e.amount = h.money("Apchqh_Montant");
            for (int i = 1; i <= 10; ++i) {
                e.dist.push_back(h.money("Apchqh_dist" + std::to_string(i)));
                e.accounts.push_back(static_cast<int>(h.integer("Apchqh_accnt" + std::to_string(i))));
            }
            d.setRange({Value(e.seq)});
            for (bool l = d.hasRow(); l; l = d.next())
                e.lines.push_back({d.str("Apchqd_invoice"), d.money("Apchqd_montant"), d.money("Apchqd_esc"),
                                   d.money("Apchqd_payment")});
            out.push_back(std::move(e));
        }
        return out;
    }

    // What every generated cheque must hold, whatever its lines.
    static void expectBalanced(const Entry& e) {
        Money sum, payments;
        for (Money x : e.dist)
            sum += x;
        for (const auto& l : e.lines) {
            payments += l.payment;
            EXPECT_EQ(l.payment, l.amount - l.discount) << e.supplier << " " << l.invoice;
        }
        EXPECT_TRUE(sum.isZero()) << e.supplier;
        EXPECT_EQ(e.amount, payments) << e.supplier;
    }

    ListRequest request;
};

// 2 % on 1000.00 due the 15th: taken when printed the 15th, not the 16th.
TEST_P(ChequeListTest, DiscountTakenWhenPrintedOnOrBeforeTheDueDate) {
    supplier("ACME", 2);
    invoice("ACME", "INV1", "1000");
    build();
    auto e = entries();
    ASSERT_EQ(e.size(), 1u);
    ASSERT_EQ(e[0].lines.size(), 1u);
    EXPECT_EQ(e[0].lines[0].amount, m("1000"));
    EXPECT_EQ(e[0].lines[0].discount, m("20"));
    EXPECT_EQ(e[0].lines[0].payment, m("980"));
    EXPECT_EQ(e[0].dist[0], m("1000"));
    EXPECT_EQ(e[0].dist[1], m("-980"));
    EXPECT_EQ(e[0].dist[2], m("-20"));
    EXPECT_EQ(e[0].accounts[0], kPayables);
    EXPECT_EQ(e[0].accounts[1], kBank);
    EXPECT_EQ(e[0].accounts[2], kDiscounts);
    EXPECT_EQ(e[0].words, " Nine Hundred  and Eighty  Dollars");

    request.printingDate = day(16);
    request.language = 2;
    build();
    e = entries();
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].lines[0].discount, Money());
    EXPECT_EQ(e[0].amount, m("1000"));
    EXPECT_EQ(e[0].words, " Mille   Dollars");
    expectBalanced(e[0]);
}

TEST_P(ChequeListTest, NoDiscountWithoutADiscountAccountInTheChart) {
    company.setCtrl({{"Ctrl_ap_disb_accnt2", kNotInChart}});
    supplier("ACME", 2);
    invoice("ACME", "INV1", "1000");
    build();
    const auto e = entries();
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(e[0].lines[0].discount, Money());
    EXPECT_EQ(e[0].amount, m("1000"));
    expectBalanced(e[0]);
}

// Settled invoices get no line, a credit larger than what is owed no cheque;
// a credit note in the discount period still leaves a balanced cheque.
TEST_P(ChequeListTest, SettledInvoicesAndCreditBalancesGetNoCheque) {
    supplier("PAID");
    invoice("PAID", "P1", "500");
    invoice("PAID", "P1", "-500", day(15), "2");
    supplier("CREDIT");
    invoice("CREDIT", "C1", "100");
    invoice("CREDIT", "C2", "-300", day(15), "5");
    supplier("OWED", 2);
    invoice("OWED", "O1", "500");
    invoice("OWED", "O1", "-500", day(15), "2");
    invoice("OWED", "O2", "200");
    invoice("OWED", "O3", "-50", day(15), "5");
    invoice("OWED", "O4", "80", day(30)); // due after the printing date: discount too
    const auto sum = build();
    const auto e = entries();
    ASSERT_EQ(e.size(), 1u);
    EXPECT_EQ(sum.cheques, 1);
    EXPECT_EQ(sum.negativeLeftOut, 1);
    EXPECT_EQ(e[0].seq, 1);
    EXPECT_EQ(e[0].supplier, "OWED");
    ASSERT_EQ(e[0].lines.size(), 3u);
    EXPECT_EQ(e[0].lines[1].invoice, "O3");
    EXPECT_EQ(e[0].lines[1].discount, Money());
    EXPECT_EQ(e[0].amount, m("200") - m("4") - m("50") + m("80") - m("1.60"));
    expectBalanced(e[0]);
}

// Only the chosen bank's suppliers within the range and list, and only the
// templates of that bank for no supplier or a selected one; invoices due
// after the cut-off wait.
TEST_P(ChequeListTest, SelectionByBankRangeListAndTemplates) {
    for (const char* s : {"A", "B", "C", "D"}) {
        supplier(s);
        invoice(s, std::string("I") + s, "10");
    }
    supplier("US", 0, kBankUs);
    invoice("US", "IUS", "10");
    invoice("C", "LATE", "99", day(31).addDays(1));
    auto tmpl = [&](int seq, const std::string& fou, int bank, const char* amount) {
        company.addRow("recchqh", {{"Apchqh_seq", seq},
                                   {"Apchqh_fou", fou},
                                   {"Apchqh_nom", "Rent " + std::to_string(seq)},
                                   {"Apchqh_accnt2", bank},
                                   {"Apchqh_Montant", m(amount)}});
        company.addRow("recchqd", {{"Apchqd_seq", seq},
                                   {"Apchqd_invoice", "R" + std::to_string(seq)},
                                   {"Apchqd_payment", m(amount)}});
    };
    tmpl(7, "", kBank, "300");
    tmpl(8, "", kBankUs, "300");
    tmpl(9, "A", kBank, "300"); // A is outside the selection below
    tmpl(10, "C", kBank, "300");

    request.fromSupplier = "B";
    request.toSupplier = "D";
    request.suppliers = {"A", "C", "D", "US"};
    request.includeRecurring = true;
    const auto sum = build();
    const auto e = entries();
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(sum.fromTemplates, 2);
    EXPECT_EQ(e[0].supplier, "C");
    EXPECT_EQ(e[0].lines.size(), 1u);
    EXPECT_EQ(e[1].supplier, "D");
    EXPECT_EQ(e[2].seq, 3);
    EXPECT_EQ(e[2].lines.at(0).invoice, "R7");
    EXPECT_EQ(e[3].lines.at(0).invoice, "R10");

    request = {day(15), day(31), kBank, "", "", {}, false, 1};
    EXPECT_EQ(build().cheques, 4); // every supplier of the bank, no template
}

// The new list replaces the old one whole, or the old one stays.
TEST_P(ChequeListTest, AFailurePartWayKeepsThePreviousList) {
    for (const char* s : {"A", "B", "C"}) {
        supplier(s);
        invoice(s, "I", "10");
    }
    build();
    invoice("A", "J", "25");
    const auto before = entries();
    ChequeListBuilder b(company.db());
    int cheques = 0;
    b.setStageHook([&](ChequeListBuilder::Stage s) {
        if (s == ChequeListBuilder::Stage::Cheque && ++cheques == 2) throw std::runtime_error("injected");
    });
    EXPECT_THROW(b.build(request), std::runtime_error);
    request.bankAccount = kNotInChart;
    EXPECT_THROW(build(), ListRefused);
    const auto after = entries();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].amount, before[i].amount);
        EXPECT_EQ(after[i].lines.size(), before[i].lines.size());
    }
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Backends, ChequeListTest, VM_BOTH_BACKENDS);
