#include "tools/DemoInvoices.h"

#include "engine/Cursor.h"
#include "engine/Database.h"
#include "tools/DemoRandom.h"
#include "tools/RowInserter.h"

#include <map>
#include <stdexcept>

namespace vm::admin {
namespace {

const char* const kUser = "ADMIN";
const Date kToday = Date::fromYmd(2026, 11, 30);
// Invoices dated before this day have been archived by the invoicing side.
const Date kArchivedBefore = Date::fromYmd(2026, 9, 1);

struct Product {
    const char* line;
    const char* item;
    const char* english;
    const char* french;
    std::int64_t priceCents, costCents;
};
const std::vector<Product> kProducts = {
    {"QUI", "VIS-2540", "Stainless screws 25 x 40 mm, box of 100", "Vis inox 25 x 40 mm, boîte de 100", 1249,
     610},
    {"QUI", "PEI-BLC4", "Interior paint, white, 3.78 L", "Peinture d'intérieur blanche, 3,78 L", 4799, 2650},
    {"ELE", "CAB-14-2", "Electrical cable 14/2, 75 m", "Câble électrique 14/2, 75 m", 8995, 5400},
    {"ELE", "DEL-A19", "LED bulb A19, pack of 4", "Ampoule DEL A19, paquet de 4", 1899, 840},
    {"BUR", "PAP-8511", "Copy paper 8.5 x 11, case", "Papier à photocopie 8,5 x 11, caisse", 5450, 3600},
    {"BUR", "ENC-HP62", "Ink cartridge, black", "Cartouche d'encre noire", 3999, 2100},
    {"OUT", "PER-18V", "Cordless drill 18 V", "Perceuse sans fil 18 V", 16999, 10200},
    {"OUT", "SCI-CIRC", "Circular saw 7 1/4 in", "Scie circulaire 7 1/4 po", 21999, 13800},
};

const std::vector<std::pair<const char*, const char*>> kComments = {
    {"Thank you for your business!", "Merci de votre confiance\u00a0!"},
    {"Delivered to the back door as requested", "Livré à la porte arrière, tel que demandé"},
    {"Remaining items on back order", "Articles restants en commande"},
};

struct ClientRow {
    std::string code, name, adr1, adr2, city, prov, country, postal, salesrep;
    std::int64_t terms = 0, currency = 0;
    bool french = false;
};

struct InvoiceRow {
    std::string invoice, salesrep;
    Date date, due;
    Money total, federal, provincial, paid;
};

std::string digits(std::int64_t n, int width) {
    std::string s = std::to_string(n);
    return s.size() < static_cast<std::size_t>(width)
               ? std::string(static_cast<std::size_t>(width) - s.size(), '0') + s
               : s;
}

DateTime stampOf(Date d, DemoRandom& rng) {
    return DateTime(d, static_cast<int>(rng.between(8 * 3600, 17 * 3600)));
}

// part x (amount / whole), in exact ten-thousandths.
Money share(Money amount, Money part, Money whole) {
    if (whole.isZero()) return Money();
    const __int128 v = static_cast<__int128>(amount.raw()) * part.raw() / whole.raw();
    return Money::fromCents(static_cast<std::int64_t>(v / 100));
}

class DocumentWriter {
public:
    DocumentWriter(Database& db, const DemoOptions& o)
        : db_(db), french_(o.language == schema::Language::French), rng_(o.seed ^ 0x1a7e0c0ffeeULL),
          fahdr_(header(db, "fahdr", "Fahdr_")), fahdra_(header(db, "fahdra", "Fahdra_")),
          fadet_(lines(db, "fadet", "Fadet_")), fadeta_(lines(db, "fadeta", "Fadeta_")),
          arori_(db, "arori", {"Reference", "Client",   "Date",   "Due_date",   "Trx_type", "Dr_cr_reference",
                               "Comments",  "Account1", "Debit1", "Credit1",    "Account2", "Debit2",
                               "Credit2",   "Account3", "Debit3", "Credit3",    "Account4", "Debit4",
                               "Credit4",   "Stamp",    "User",   "DebitCredit"}),
          crorihdr_(db, "crorihdr",
                    {"Reference", "Client", "Date", "Comments", "Account1", "Debit1", "Account2", "Credit2",
                     "Stamp", "User"}),
          croridet_(db, "croridet",
                    {"Reference", "Client", "Date", "Header_seq", "Invoice", "Invoice_date",
                     "Invoice_due_date", "Invoice_amount", "Invoice_payment"}),
          concil_(db, "concil",
                  {"Concil_account", "Concil_type", "Concil_reference", "Concil_fou_cli_emp", "Concil_nom",
                   "Concil_date", "Concil_montant"}),
          car_(db, "car",
               {"Car_client", "Car_invoice", "Car_ref", "Car_date", "Car_type", "Car_du_date", "Car_amount",
                "Car_slsm", "Car_pro_tax", "Car_fed_tax", "Car_user", "Car_stamp"}),
          carh_(db, "carh",
                {"Car_client", "Car_invoice", "Car_ref", "Car_date", "Car_type", "Car_du_date", "Car_amount",
                 "Car_slsm", "Car_pro_tax", "Car_fed_tax", "Car_user", "Car_stamp"}) {}

    void run() {
        setControl();
        writeCatalogue();
        const std::vector<ClientRow> clients = readClients();
        std::int64_t clientNo = 0;
        for (const ClientRow& c : clients) {
            writeCurrent(c);
            if (clientNo++ % 4 == 0) writeHistory(c);
        }
    }

private:
    static RowInserter header(Database& db, const char* table, const std::string& p) {
        std::vector<std::string> f;
        for (const char* n : {"doc",     "invoice",  "client",       "date",     "du_date",  "slsm",
                              "shp_nom", "shp_adr1", "shp_adr2",     "shp_city", "shp_prov", "shp_country",
                              "shp_cp",  "terms",    "date_shp",     "ship_via", "total",    "tax1",
                              "tax2",    "g_total",  "status",       "pmt1",     "pmt2",     "pmt3",
                              "pmt4",    "pmt5",     "pmt_received", "user",     "stamp",    "store"})
            f.push_back(p + n);
        return RowInserter(db, table, f);
    }
    static RowInserter lines(Database& db, const char* table, const std::string& p) {
        std::vector<std::string> f;
        for (const char* n :
             {"doc", "invoice", "line_code", "item_code", "desc", "qty_order", "qty_ship", "tax1_code",
              "tax2_code", "price", "discount", "sales_accnt", "cost_accnt", "cost", "total", "tax1", "tax2"})
            f.push_back(p + n);
        return RowInserter(db, table, f);
    }

    void setControl() {
        Cursor c(db_, "ctrl");
        if (!c.first()) throw std::runtime_error("company 1 has no control row");
        const char* english[] = {"Cash", "Cheque", "Visa", "MasterCard", "Debit card"};
        const char* french[] = {"Comptant", "Chèque", "Visa", "MasterCard", "Carte de débit"};
        c.edit();
        for (int i = 0; i < 5; ++i)
            c.set("Ctrl_pmt_name" + std::to_string(i + 1), french_ ? french[i] : english[i]);
        c.set("Ctrl_ar_histo", true);
        c.post();
        bank_[0] = c.integer("Ctrl_bank_accnt1");
        bank_[1] = c.integer("Ctrl_bank_accnt2");
        receivable_[0] = c.integer("Ctrl_ar_accnt");
        receivable_[1] = c.integer("Ctrl_ar_curr2");
        sales_ = c.integer("Ctrl_sales_accnt1");
        services_ = c.integer("Ctrl_sales_accnt2");
        fedTax_ = c.integer("Ctrl_fed_tax_accnt");
        proTax_ = c.integer("Ctrl_Pro_tax_accnt");
    }

    void writeCatalogue() {
        RowInserter ivprod(db_, "ivprod",
                           {"Ivprod_line_code", "Ivprod_item_code", "Ivprod_desc_1", "Ivprod_desc_2",
                            "Ivprod_um", "Ivprod_price1"});
        for (const auto& p : kProducts)
            ivprod.add({p.line, p.item, p.english, p.french, "EA", static_cast<double>(p.priceCents) / 100});
    }

    std::vector<ClientRow> readClients() {
        std::vector<ClientRow> out;
        Cursor cli(db_, "cli", true);
        for (bool on = cli.first(); on; on = cli.next())
            out.push_back({cli.str("Cli_code"), cli.str("Cli_name"), cli.str("Cli_adr1"), cli.str("Cli_adr2"),
                           cli.str("Cli_city"), cli.str("Cli_prov"), cli.str("Cli_country"),
                           cli.str("Cli_postal_code"), cli.str("Cli_salesrep"), cli.integer("Cli_terms"),
                           cli.integer("Cli_currency"), cli.str("Cli_language") == "2"});
        return out;
    }

    // The client's invoices of car, each with what its payments paid, read
    // before anything is written for it.
    std::vector<InvoiceRow> invoicesOf(const ClientRow& c) {
        std::vector<InvoiceRow> out;
        Query q(db_,
                "SELECT i.Car_invoice, i.Car_slsm, i.Car_date, i.Car_du_date, i.Car_amount, i.Car_fed_tax,"
                " i.Car_pro_tax, (SELECT COALESCE(SUM(p.Car_amount), 0) FROM car p WHERE p.Car_client ="
                " i.Car_client AND p.Car_invoice = i.Car_invoice AND p.Car_type = '2')"
                " FROM car i WHERE i.Car_client = ? AND i.Car_type = '1' ORDER BY i.Car_invoice",
                {Value(c.code)});
        while (q.next())
            out.push_back({q.value(0).asString(), q.value(1).asString(), q.value(2).asDate(),
                           q.value(3).asDate(), q.money(4), q.money(5), q.money(6), -q.money(7)});
        return out;
    }

    struct Payment {
        std::string ref, invoice;
        Date date;
        Money amount;
    };
    std::vector<Payment> paymentsOf(const ClientRow& c) {
        std::vector<Payment> out;
        Query q(db_,
                "SELECT Car_ref, Car_invoice, Car_date, Car_amount FROM car WHERE Car_client = ?"
                " AND Car_type = '2' ORDER BY Car_date, Car_seq",
                {Value(c.code)});
        while (q.next())
            out.push_back({q.value(0).asString(), q.value(1).asString(), q.value(2).asDate(), -q.money(3)});
        return out;
    }

    void writeCurrent(const ClientRow& c) {
        const std::vector<InvoiceRow> invoices = invoicesOf(c);
        std::map<std::string, const InvoiceRow*> byNumber;
        Money credited;
        for (const InvoiceRow& inv : invoices) {
            byNumber[inv.invoice] = &inv;
            const std::int64_t n = std::stoll(inv.invoice);
            if (n % 9 == 4) {
                salesEntry(c, inv);
            } else {
                invoice(c, inv, inv.date < kArchivedBefore);
            }
            // Now and then a credit note on an invoice still unpaid.
            if (inv.paid.isZero() && n % 13 == 5) credited += creditNote(c, inv);
        }
        for (const Payment& p : paymentsOf(c)) {
            const auto it = byNumber.find(p.invoice);
            if (it == byNumber.end()) continue;
            receipt(c, p.ref, p.date, *it->second, it->second->total, p.amount);
        }
        if (!credited.isZero()) {
            Cursor cli(db_, "cli");
            if (cli.findKey({Value(c.code)})) {
                cli.edit();
                cli.set("Cli_current_bal", cli.money("Cli_current_bal") - credited);
                cli.post();
            }
        }
    }

    // Last year's invoices, paid and moved to the history by the month end.
    void writeHistory(const ClientRow& c) {
        for (int k = 0; k < 2; ++k) {
            InvoiceRow inv;
            inv.invoice = "25-" + digits(++historyNo_, 5);
            inv.salesrep = c.salesrep;
            inv.date = Date::fromYmd(2025, static_cast<int>(rng_.between(2, 10)),
                                     static_cast<int>(rng_.between(1, 28)));
            inv.due = inv.date.addDays(30);
            const Money subtotal = Money::fromCents(rng_.between(15000, 400000));
            if (c.prov == "QC") {
                inv.federal = subtotal.convertedAt(0.05);
                inv.provincial = subtotal.convertedAt(0.09975);
            } else if (c.country == "Canada") {
                inv.federal = subtotal.convertedAt(0.13);
            }
            inv.total = subtotal + inv.federal + inv.provincial;
            inv.paid = inv.total;
            const Date paid = inv.due.addDays(static_cast<int>(rng_.between(-10, 15)));
            const std::string ref = "R25-" + digits(historyNo_, 5);
            carh_.add({c.code, inv.invoice, "", inv.date, "1", inv.due, inv.total, inv.salesrep,
                       inv.provincial, inv.federal, kUser, stampOf(inv.date, rng_)});
            carh_.add({c.code, inv.invoice, ref, paid, "2", paid, -inv.total, inv.salesrep, Money(), Money(),
                       kUser, stampOf(paid, rng_)});
            invoice(c, inv, true);
            receipt(c, ref, paid, inv, inv.total, inv.total, false);
        }
    }

    struct Line {
        Line(std::string code, std::string itemCode, std::string description)
            : lineCode(std::move(code)), item(std::move(itemCode)), text(std::move(description)) {}
        std::string lineCode, item, text;
        double qty = 0, price = 0, discount = 0;
        int account = 0;
        Money cost, total, tax1, tax2;
    };

    // The lines of an invoice of `subtotal`: a few products, the labour for
    // the rest, and now and then a comment. Taxes are shared out so that the
    // lines add up to the ledger's figures to the cent.
    std::vector<Line> linesOf(const ClientRow& c, const InvoiceRow& inv) {
        std::vector<Line> out;
        const Money subtotal = inv.total - inv.federal - inv.provincial;
        const std::int64_t budget = subtotal.roundedToCents().raw() / 100 * 3 / 4;
        std::int64_t used = 0;
        const int count = static_cast<int>(rng_.between(1, 3));
        for (int i = 0; i < count; ++i) {
            const Product& p = rng_.pick(kProducts);
            const std::int64_t q = (budget / count) / p.priceCents;
            if (q < 1 || used + q * p.priceCents > budget) continue;
            Line l(p.line, p.item, c.french ? p.french : p.english);
            l.qty = static_cast<double>(q);
            l.price = static_cast<double>(p.priceCents) / 100;
            std::int64_t cents = q * p.priceCents;
            if (rng_.percent(20)) {
                l.discount = 5;
                cents = (cents * 95 + 50) / 100;
            }
            l.total = Money::fromCents(cents);
            l.cost = Money::fromCents(q * p.costCents);
            l.account = static_cast<int>(sales_);
            used += cents;
            out.push_back(std::move(l));
        }
        const Money rest = subtotal - Money::fromCents(used);
        if (rest > Money()) {
            Line l("SRV", c.french ? "MAIN-OEUVRE" : "LABOUR",
                   c.french ? "Main-d'œuvre et livraison" : "Labour and delivery");
            l.qty = 1;
            l.price = rest.toDouble();
            l.total = rest;
            l.account = static_cast<int>(services_);
            out.push_back(std::move(l));
        }
        Money fed = inv.federal, pro = inv.provincial;
        for (std::size_t i = 0; i < out.size(); ++i) {
            const bool last = i + 1 == out.size();
            out[i].tax1 = last ? fed : share(inv.federal, out[i].total, subtotal);
            out[i].tax2 = last ? pro : share(inv.provincial, out[i].total, subtotal);
            fed -= out[i].tax1;
            pro -= out[i].tax2;
        }
        if (rng_.percent(35)) {
            const auto& text = rng_.pick(kComments);
            out.emplace_back("", "", c.french ? text.second : text.first);
        }
        return out;
    }

    void invoice(const ClientRow& c, const InvoiceRow& inv, bool archived) {
        std::array<Money, 5> pmt{};
        // An invoice paid in full shows how it was paid, at times in two or
        // three ways.
        if (!inv.paid.isZero() && inv.paid == inv.total) {
            Money left = inv.total;
            const int ways = rng_.percent(40) ? static_cast<int>(rng_.between(2, 3)) : 1;
            for (int w = 0; w < ways; ++w) {
                const auto method = static_cast<std::size_t>(rng_.between(0, 4));
                const Money part =
                    w + 1 == ways ? left : Money::fromCents(left.roundedToCents().raw() / 100 / 2);
                pmt[method] += part;
                left -= part;
            }
        }
        RowInserter& hdr = archived ? fahdra_ : fahdr_;
        hdr.add({"1",
                 inv.invoice,
                 c.code,
                 inv.date,
                 inv.due,
                 inv.salesrep,
                 c.name,
                 c.adr1,
                 c.adr2,
                 c.city,
                 c.prov,
                 c.country,
                 c.postal,
                 c.terms,
                 inv.date,
                 rng_.percent(50) ? (french_ ? "Notre camion" : "Our truck") : "Purolator",
                 inv.total - inv.federal - inv.provincial,
                 inv.federal,
                 inv.provincial,
                 inv.total,
                 1,
                 pmt[0],
                 pmt[1],
                 pmt[2],
                 pmt[3],
                 pmt[4],
                 pmt[0] + pmt[1] + pmt[2] + pmt[3] + pmt[4],
                 kUser,
                 stampOf(inv.date, rng_),
                 1});
        RowInserter& det = archived ? fadeta_ : fadet_;
        for (const Line& l : linesOf(c, inv))
            det.add({"1", inv.invoice, l.lineCode, l.item, l.text, l.qty, l.qty, !l.tax1.isZero(),
                     !l.tax2.isZero(), l.price, l.discount, l.account, l.account == 0 ? 0 : 5000, l.cost,
                     l.total, l.tax1, l.tax2});
    }

    // An invoice entered by hand through the sales and adjustments entry.
    void salesEntry(const ClientRow& c, const InvoiceRow& inv) {
        const Money subtotal = inv.total - inv.federal - inv.provincial;
        // A tax the client does not pay leaves its line empty.
        arori_.add({inv.invoice,
                    c.code,
                    inv.date,
                    inv.due,
                    "1",
                    "",
                    french_ ? "Facture saisie à la main" : "Invoice entered by hand",
                    receivable_[c.currency],
                    inv.total,
                    Money(),
                    sales_,
                    Money(),
                    subtotal,
                    inv.federal.isZero() ? 0 : fedTax_,
                    Money(),
                    inv.federal,
                    inv.provincial.isZero() ? 0 : proTax_,
                    Money(),
                    inv.provincial,
                    stampOf(inv.date, rng_),
                    kUser,
                    false});
    }

    // A credit of a tenth of the invoice; returns the amount credited.
    Money creditNote(const ClientRow& c, const InvoiceRow& inv) {
        const Money subtotal = (inv.total - inv.federal - inv.provincial).convertedAt(0.1);
        const Money fed = inv.federal.convertedAt(0.1), pro = inv.provincial.convertedAt(0.1);
        const Money total = subtotal + fed + pro;
        const Date date = std::min(kToday, inv.date.addDays(static_cast<int>(rng_.between(3, 20))));
        const std::string ref = "NC" + digits(++creditNo_, 5);
        car_.add({c.code, inv.invoice, ref, date, "5", date, -total, inv.salesrep, -pro, -fed, kUser,
                  stampOf(date, rng_)});
        arori_.add({inv.invoice,
                    c.code,
                    date,
                    date,
                    "5",
                    ref,
                    french_ ? "Crédit pour marchandise endommagée" : "Credit for damaged goods",
                    sales_,
                    subtotal,
                    Money(),
                    fed.isZero() ? 0 : fedTax_,
                    fed,
                    Money(),
                    pro.isZero() ? 0 : proTax_,
                    pro,
                    Money(),
                    receivable_[c.currency],
                    Money(),
                    total,
                    stampOf(date, rng_),
                    kUser,
                    true});
        return total;
    }

    // The stored receipt of a payment, as the cash receipts window keeps it.
    void receipt(const ClientRow& c, const std::string& ref, Date date, const InvoiceRow& inv, Money open,
                 Money amount, bool reconcile = true) {
        const auto cur = static_cast<std::size_t>(c.currency);
        crorihdr_.add({ref, c.code, date, "", bank_[cur], amount, receivable_[cur], amount,
                       stampOf(date, rng_), kUser});
        croridet_.add({ref, c.code, date, crorihdr_.cursor().integer("Seq"), inv.invoice, inv.date, inv.due,
                       open, amount});
        if (reconcile) concil_.add({bank_[cur], 1, ref, c.code, c.name, date, amount});
    }

    Database& db_;
    bool french_;
    DemoRandom rng_;
    RowInserter fahdr_, fahdra_, fadet_, fadeta_, arori_, crorihdr_, croridet_, concil_, car_, carh_;
    std::int64_t bank_[2] = {}, receivable_[2] = {};
    std::int64_t sales_ = 0, services_ = 0, fedTax_ = 0, proTax_ = 0;
    std::int64_t historyNo_ = 0, creditNo_ = 0;
};

} // namespace

void writeDemoDocuments(Database& db, const DemoOptions& options) {
    DocumentWriter(db, options).run();
}

} // namespace vm::admin
