#include "modules/chqissue/core/ChequeList.h"

#include "common/core/AmountInWords.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "schema/Schema.h"

#include <algorithm>
#include <array>
#include <set>

namespace vm::chqissue {
namespace {

constexpr int kCurrencies = 5;
constexpr int kSlots = 10;

std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

struct Settings {
    std::array<std::int32_t, kCurrencies> payables{}; // Ctrl_ap_accnt, Ctrl_ap_curr2..5
    std::array<std::int32_t, 7> disbursement{};       // Ctrl_ap_disb_accnt2..8 -> slots 3..9
    std::array<CurrencyWords, kCurrencies> words;
    bool discountAccountInChart = false;
};

Settings readSettings(Database& db) {
    Settings s;
    Cursor ctrl(db, "ctrl", true);
    if (ctrl.first()) {
        s.payables[0] = static_cast<std::int32_t>(ctrl.integer("Ctrl_ap_accnt"));
        for (int i = 1; i < kCurrencies; ++i)
            s.payables[static_cast<std::size_t>(i)] =
                static_cast<std::int32_t>(ctrl.integer("Ctrl_ap_curr" + std::to_string(i + 1)));
        for (std::size_t i = 0; i < s.disbursement.size(); ++i)
            s.disbursement[i] =
                static_cast<std::int32_t>(ctrl.integer("Ctrl_ap_disb_accnt" + std::to_string(i + 2)));
    }
    ctrl.suspend();
    for (int c = 0; c < kCurrencies; ++c)
        s.words[static_cast<std::size_t>(c)] = chequeCurrencyWords(db, c);
    Cursor glm(db, "glm", true);
    s.discountAccountInChart = glm.findKey({Value(s.disbursement[0])});
    return s;
}

struct Supplier {
    std::string code, name, adr1, adr2, city, postalCode, prov, country;
    int currency = 0;
    std::int32_t bank = 0;
    double discountPercent = 0;
};

struct CapRow {
    std::string invoice;
    Date date, dueDate;
    Money amount;
};

struct Line {
    std::string invoice;
    Date date, dueDate;
    Money amount, discount, payment;
};

// One supplier's cheque being gathered; written only when it has a line.
struct Cheque {
    std::vector<Line> lines;
    std::array<Money, kSlots> dist{};
};

bool selected(const Supplier& s, const ListRequest& r) {
    if (!r.fromSupplier.empty() && s.code < r.fromSupplier) return false;
    if (!r.toSupplier.empty() && s.code > r.toSupplier) return false;
    if (!r.suppliers.empty() &&
        std::find(r.suppliers.begin(), r.suppliers.end(), s.code) == r.suppliers.end())
        return false;
    return s.bank == r.bankAccount;
}

std::vector<Supplier> selectedSuppliers(Database& db, const ListRequest& r) {
    std::vector<Supplier> out;
    Cursor sup(db, "sup", true);
    for (bool on = sup.first(); on; on = sup.next()) {
        Supplier s;
        s.code = sup.str("Sup_code");
        s.bank = static_cast<std::int32_t>(sup.integer("Sup_bank_account"));
        if (!selected(s, r)) continue;
        s.name = sup.str("Sup_name");
        s.adr1 = sup.str("Sup_adr1");
        s.adr2 = sup.str("Sup_adr2");
        s.city = sup.str("Sup_city");
        s.postalCode = sup.str("Sup_postal_code");
        s.prov = sup.str("Sup_prov");
        s.country = sup.str("Sup_country");
        const auto c = sup.integer("Sup_currency");
        s.currency = c >= 0 && c < kCurrencies ? static_cast<int>(c) : 0;
        s.discountPercent = sup.dbl("Sup_pmt_discount");
        out.push_back(std::move(s));
    }
    return out;
}

// The supplier's ledger rows due by the cut-off (a row without a due date
// is due), in the order of the ledger's supplier index, so that the rows of
// one invoice are next to each other. Only the four columns the list needs
// are read.
std::vector<CapRow> dueRows(Database& db, const std::string& supplier, Date dueBy) {
    std::vector<CapRow> rows;
    Query q(db,
            "SELECT Cap_invoice, Cap_date, Cap_du_date, Cap_amount FROM cap WHERE Cap_supplier = ? AND "
            "(Cap_du_date IS NULL OR Cap_du_date <= ?) ORDER BY Cap_supplier, Cap_invoice, Cap_seq",
            {Value(supplier), Value(dueBy)});
    while (q.next())
        rows.push_back({q.text(0), q.date(1), q.date(2), q.money(3)});
    return rows;
}

// Gathers one line per invoice. T is the invoice's balance, B what leaves the
// bank, D the discount (negative, a credit to the discount account).
Cheque gatherCheque(const Supplier& s, const std::vector<CapRow>& rows, const ListRequest& r,
                    bool discountAccountInChart) {
    Cheque chq;
    Line line;
    bool open = false;
    Money t, b, d;
    auto close = [&] {
        if (!open) return;
        if (!t.isZero()) {
            // Without a discount account, or when the rows leave no discount
            // to take (credits in the discount period), the whole balance is
            // paid: the distribution must still balance.
            if (!discountAccountInChart || d >= Money()) {
                b = -t;
                d = Money();
            }
            line.discount = -d;
            line.payment = line.amount - line.discount;
            chq.dist[0] += t;
            chq.dist[1] += b;
            chq.dist[2] += d;
            chq.lines.push_back(line);
        }
        open = false;
        t = b = d = Money();
    };
    for (const CapRow& row : rows) {
        if (open && row.invoice != line.invoice) close();
        if (!open) {
            line = Line{row.invoice, row.date, row.dueDate, Money(), Money(), Money()};
            open = true;
        }
        line.amount += row.amount;
        t += row.amount;
        b -= row.amount;
        // Prompt-payment discount: paid on or before the due date.
        if (r.printingDate <= line.dueDate && r.dueBy >= line.dueDate) {
            const Money disc = row.amount.convertedAt(s.discountPercent / 100.0);
            b += disc;
            d -= disc;
        }
    }
    close();
    return chq;
}

Money amountOf(const Cheque& c) {
    return c.dist[0] + c.dist[2];
}

std::int32_t highestEntry(Database& db) {
    Query q(db, "SELECT MAX(Apchqh_seq) FROM apchqh");
    const Value v = q.next() ? q.value(0) : Value();
    return v.isNull() ? 0 : static_cast<std::int32_t>(v.asInt());
}

// A cheque list writes one line per open invoice of the ledger: they go in
// by statements of up to kRowsPerInsert rows each, whose texts the
// database's statement cache keeps.
constexpr std::size_t kRowsPerInsert = 25;

void writeLines(Database& db, std::int32_t seq, const std::string& supplier, const std::vector<Line>& lines) {
    std::vector<Value> params;
    for (std::size_t from = 0; from < lines.size(); from += kRowsPerInsert) {
        const std::size_t n = std::min(kRowsPerInsert, lines.size() - from);
        std::string text = "INSERT INTO apchqd (Apchqd_seq, Apchqd_fou, Apchqd_invoice, Apchqd_date, "
                           "Apchqd_du_date, Apchqd_montant, Apchqd_esc, Apchqd_payment) VALUES ";
        params.clear();
        for (std::size_t i = 0; i < n; ++i) {
            const Line& l = lines[from + i];
            text += i ? ", (?, ?, ?, ?, ?, ?, ?, ?)" : "(?, ?, ?, ?, ?, ?, ?, ?)";
            params.insert(params.end(),
                          {Value(seq), Value(supplier), Value(l.invoice), Value(l.date), Value(l.dueDate),
                           Value(l.amount), Value(l.discount), Value(l.payment)});
        }
        db.execute(text, params);
    }
}

void writeCheque(Database& db, std::int32_t seq, const Supplier& s, const Cheque& chq, const Settings& st,
                 const ListRequest& r) {
    Cursor h(db, "apchqh");
    h.insert();
    schema::fillBlank(h);
    h.set("Apchqh_seq", seq);
    h.set("Apchqh_fou", s.code);
    h.set("Apchqh_date_imp", r.printingDate);
    h.set("Apchqh_nom", s.name);
    h.set("Apchqh_adr1", s.adr1);
    h.set("Apchqh_adr2", s.adr2);
    h.set("Apchqh_city", s.city);
    h.set("Apchqh_code_postal", s.postalCode);
    h.set("Apchqh_prov", s.prov);
    h.set("Apchqh_country", s.country);
    h.set("Apchqh_accnt1", st.payables[static_cast<std::size_t>(s.currency)]);
    h.set("Apchqh_accnt2", s.bank);
    for (std::size_t i = 0; i < st.disbursement.size(); ++i)
        h.set("Apchqh_accnt" + std::to_string(i + 3), st.disbursement[i]);
    for (int i = 0; i < kSlots; ++i)
        h.set("Apchqh_dist" + std::to_string(i + 1), chq.dist[static_cast<std::size_t>(i)]);
    const Money amount = amountOf(chq);
    h.set("Apchqh_Montant", amount);
    if (auto words = amountInWords(amount, r.language, st.words[static_cast<std::size_t>(s.currency)]))
        h.set("Apchqh_desc", *words);
    h.post();

    writeLines(db, seq, s.code, chq.lines);
}

struct Template {
    Money amount;
    std::vector<Value> header;
    std::vector<std::vector<Value>> lines;
};

std::vector<Template> templatesFor(Database& db, const ListRequest& r,
                                   const std::set<std::string>& selectedCodes) {
    std::vector<Template> out;
    Cursor h(db, "recchqh", true);
    Cursor d(db, "recchqd", true);
    d.setIndex("Apchqd_seq");
    for (bool on = h.first(); on; on = h.next()) {
        const std::string supplier = trimmed(h.str("Apchqh_fou"));
        if (!supplier.empty() && !selectedCodes.count(supplier)) continue;
        if (h.integer("Apchqh_accnt2") != r.bankAccount) continue;
        Template t;
        t.amount = h.money("Apchqh_Montant");
        for (int i = 0; i < h.fieldCount(); ++i)
            t.header.push_back(h.value(i));
        d.setRange({h.value("Apchqh_seq")});
        for (bool line = d.hasRow(); line; line = d.next()) {
            std::vector<Value> v;
            for (int i = 0; i < d.fieldCount(); ++i)
                v.push_back(d.value(i));
            t.lines.push_back(std::move(v));
        }
        out.push_back(std::move(t));
    }
    return out;
}

// A copy field by field (the layouts are the same), with the new entry
// number; the engine gives each line a new identity.
void writeTemplate(Database& db, std::int32_t seq, const Template& t) {
    Cursor h(db, "apchqh");
    h.insert();
    for (std::size_t i = 0; i < t.header.size(); ++i)
        h.set(static_cast<int>(i), t.header[i]);
    h.set("Apchqh_seq", seq);
    h.post();
    Cursor d(db, "apchqd");
    const int inc = d.fieldIndex("Apchqd_inc");
    for (const auto& line : t.lines) {
        d.insert();
        for (std::size_t i = 0; i < line.size(); ++i)
            if (static_cast<int>(i) != inc) d.set(static_cast<int>(i), line[i]);
        d.set("Apchqd_seq", seq);
        d.post();
    }
}

} // namespace

std::vector<ChequeBank> chequeBanks(Database& companyDb) {
    std::vector<std::int32_t> accounts;
    {
        Cursor ctrl(companyDb, "ctrl", true);
        if (!ctrl.first()) return {};
        for (int i = 1; i <= kCurrencies; ++i)
            accounts.push_back(
                static_cast<std::int32_t>(ctrl.integer("Ctrl_bank_accnt" + std::to_string(i))));
    }
    std::vector<ChequeBank> banks;
    Cursor glm(companyDb, "glm", true);
    for (std::size_t i = 0; i < accounts.size(); ++i)
        if (accounts[i] != 0 && glm.findKey({Value(accounts[i])}))
            banks.push_back({static_cast<int>(i), accounts[i], glm.str("Glm_Description")});
    return banks;
}

std::string bankCurrencySign(Database& companyDb, std::int32_t bankAccount, const std::string& homeSymbol) {
    for (const auto& b : chequeBanks(companyDb))
        if (b.account == bankAccount && b.position > 0) {
            Cursor ctrl(companyDb, "ctrl", true);
            if (ctrl.first()) return ctrl.str("Ctrl_curr" + std::to_string(b.position) + "_sign");
        }
    return homeSymbol;
}

bool hasChequeEntries(Database& companyDb) {
    Cursor h(companyDb, "apchqh", true);
    return h.first();
}

ChequeListBuilder::ChequeListBuilder(Database& companyDb) : db_(companyDb) {}

ListSummary ChequeListBuilder::build(const ListRequest& r) {
    if (r.printingDate.isNull()) throw ListRefused("the cheque printing date is not a valid date");
    if (r.dueBy.isNull()) throw ListRefused("the due-by date is not a valid date");
    const auto banks = chequeBanks(db_);
    if (std::none_of(banks.begin(), banks.end(),
                     [&](const ChequeBank& b) { return b.account == r.bankAccount; }))
        throw ListRefused("account " + std::to_string(r.bankAccount) +
                          " is not a bank account of the company");

    ListSummary sum;
    Transaction tx(db_, true);
    db_.emptyTable("apchqd");
    db_.emptyTable("apchqh");
    if (hook_) hook_(Stage::Emptied);

    const Settings st = readSettings(db_);
    const auto suppliers = selectedSuppliers(db_, r);
    // Read after emptying, under the write lock: the next free number.
    std::int32_t seq = highestEntry(db_);
    std::set<std::string> selectedCodes;
    for (const Supplier& s : suppliers) {
        selectedCodes.insert(s.code);
        const Cheque chq = gatherCheque(s, dueRows(db_, s.code, r.dueBy), r, st.discountAccountInChart);
        if (chq.lines.empty()) continue;
        if (amountOf(chq) < Money()) {
            ++sum.negativeLeftOut;
            continue;
        }
        writeCheque(db_, ++seq, s, chq, st, r);
        ++sum.cheques;
        sum.total += amountOf(chq);
        if (hook_) hook_(Stage::Cheque);
    }
    if (r.includeRecurring) {
        for (const Template& t : templatesFor(db_, r, selectedCodes)) {
            if (t.amount < Money()) {
                ++sum.negativeLeftOut;
                continue;
            }
            writeTemplate(db_, ++seq, t);
            ++sum.cheques;
            ++sum.fromTemplates;
            sum.total += t.amount;
        }
        if (hook_) hook_(Stage::Templates);
    }
    tx.commit();
    return sum;
}

} // namespace vm::chqissue
