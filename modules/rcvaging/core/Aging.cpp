#include "modules/rcvaging/core/Aging.h"

#include "engine/Cursor.h"
#include "engine/Database.h"

#include <cmath>
#include <optional>

namespace vm::aging {

namespace {

struct LedgerNames {
    const char* accounts; // cli / sup
    const char* code;     // Cli_code / Sup_code
    const char* prefix;   // Car_ / Cap_
    const char* link;     // Car_client / Cap_supplier
    const char* table;    // car / cap
    const char* history;  // carh / caph
    const char* order;    // the ledger index order
};

const LedgerNames& namesOf(Ledger l) {
    static const LedgerNames rcv{"cli",
                                 "Cli_code",
                                 "Car_",
                                 "Car_client",
                                 "car",
                                 "carh",
                                 "Car_client, Car_invoice, Car_ref, Car_date, Car_type, Car_seq"};
    static const LedgerNames pay{
        "sup", "Sup_code", "Cap_", "Cap_supplier", "cap", "caph", "Cap_supplier, Cap_invoice, Cap_seq"};
    return l == Ledger::Receivables ? rcv : pay;
}

} // namespace

Aging::Aging(Database& company, AgingOptions options)
    : db_(company), options_(std::move(options)), control_(readControl(company, options_.ledger)) {}

AgingControl Aging::readControl(Database& company, Ledger ledger) {
    AgingControl c;
    Cursor ctrl(company, "ctrl", true);
    if (!ctrl.first()) return c;
    const std::string p = ledger == Ledger::Receivables ? "Ctrl_ar_" : "Ctrl_ap_";
    for (int i = 0; i < 5; ++i) {
        c.days[static_cast<std::size_t>(i)] =
            static_cast<int>(ctrl.integer(p + "days" + std::to_string(i + 1)));
        c.bucketNames[static_cast<std::size_t>(i)] = ctrl.str(p + "dname" + std::to_string(i + 1));
    }
    for (int i = 0; i < 4; ++i) {
        const std::string n = "Ctrl_curr" + std::to_string(i + 1);
        c.currencyNames[static_cast<std::size_t>(i)] = ctrl.str(n + "_name");
        c.currencySigns[static_cast<std::size_t>(i)] = ctrl.str(n + "_sign");
        c.rates[static_cast<std::size_t>(i)] = static_cast<float>(ctrl.dbl(n + "_rate"));
    }
    return c;
}

int Aging::bucketOf(int days) const {
    for (int i = 0; i < 4; ++i)
        if (days <= control_.days[static_cast<std::size_t>(i)]) return i + 1;
    return 5;
}

bool Aging::olderThanPasses(int days) const {
    if (options_.olderThan < 1 || options_.olderThan > 5) return true;
    const int limit = control_.days[static_cast<std::size_t>(options_.olderThan - 1)];
    return options_.ledger == Ledger::Payables ? days > limit : days >= limit;
}

Money Aging::convert(Money amount, int from, int to) const {
    auto rateOf = [&](int c) -> long double {
        if (c < 1 || c > 4) return 1.0L;
        float r = control_.rates[static_cast<std::size_t>(c - 1)];
        return r > 0 ? static_cast<long double>(r) : 1.0L; // an unset rate converts nothing away
    };
    // To the company's currency, to the nearest ten-thousandth...
    const long double company = std::llround(static_cast<long double>(amount.raw()) * rateOf(from));
    // ...then to the target in cents; binary noise of the float rates is
    // dropped first so that a half cent rounds away from zero.
    long double cents = company / rateOf(to) / 100.0L;
    cents = std::round(cents * 1e6L) / 1e6L;
    return Money::fromCents(static_cast<std::int64_t>(std::llround(cents)));
}

std::string Aging::amountSign(const std::string& localSign) const {
    int c = options_.convertTo >= 0 ? options_.convertTo : options_.printCurrency;
    if (c < 0) return {};
    if (c == 0) return localSign;
    return control_.currencySigns[static_cast<std::size_t>(c - 1)];
}

void Aging::ageAccount(AgingAccount& a, const std::vector<Tx>& txs, bool asOf) const {
    // Payments and credits of an invoice follow it in index order and are aged
    // from the invoice's date: remember the last printed row's invoice. The
    // memory starts afresh with each account, so that another account's
    // invoice of the same number lends it no date.
    std::optional<std::string> remInvoice;
    Date remDate, remDue;
    Money asOfBalance;
    for (const Tx& t : txs) {
        if (!options_.includeSubsequent && !t.date.isNull() && t.date > options_.reportDate) continue;
        const bool sameInvoice = remInvoice && *remInvoice == t.invoice;
        Date ref =
            options_.useDueDate ? (sameInvoice ? remDue : t.dueDate) : (sameInvoice ? remDate : t.date);
        const int days = ref.isNull() ? 0 : options_.reportDate.daysSince(ref);
        if (!olderThanPasses(days)) continue;
        asOfBalance += t.amount;
        AgingRow r;
        r.invoice = t.invoice;
        r.reference = t.reference;
        r.type = t.type;
        r.date = t.date;
        r.dueDate = t.dueDate;
        r.days = days;
        r.bucket = bucketOf(days);
        r.amount = options_.convertTo >= 0 ? convert(t.amount, a.currency, options_.convertTo) : t.amount;
        a.total += r.amount;
        a.buckets[static_cast<std::size_t>(r.bucket - 1)] += r.amount;
        a.rows.push_back(std::move(r));
        if (!sameInvoice) {
            remInvoice = t.invoice;
            remDate = t.date;
            remDue = t.dueDate;
        }
    }
    if (asOf) a.balance = asOfBalance;
}

bool Aging::accountPrints(const AgingAccount& a, bool) const {
    if (a.rows.empty()) return false;
    if (a.balance.isZero() && !options_.zeroBalance && !options_.history) return false;
    return true;
}

struct Aging::Pass {
    Pass(Database& db, const AgingOptions& o) : accounts(db, namesOf(o.ledger).accounts, true) {}
    Cursor accounts;
    std::optional<Query> ledger; // one pass beside the accounts, in code order
    bool pending = false;        // ledger stands on a row not yet taken
    std::string ledgerCode;      // ...of this account
    bool started = false;
    bool merge = true;
    std::string cols, ledgerTable;
    std::vector<Tx> txs;
};

void Aging::restart() {
    pass_.reset();
    totals_ = AgingTotals();
}

AgingTotals Aging::run(const std::function<void(const AgingAccount&)>& sink) {
    restart();
    AgingAccount a;
    while (nextAccount(a))
        sink(a);
    return totals_;
}

bool Aging::nextAccount(AgingAccount& out) {
    const LedgerNames& n = namesOf(options_.ledger);
    const bool rcv = options_.ledger == Ledger::Receivables;
    const bool asOf = options_.reportDate != options_.today;

    auto readTx = [](Query& q) {
        Tx t;
        t.invoice = q.text(1);
        t.reference = q.text(2);
        t.date = q.date(3);
        t.dueDate = q.date(4);
        t.type = q.text(5);
        t.amount = q.money(6);
        return t;
    };

    // Steps the ledger pass, keeping the code of the row it stands on.
    auto advance = [](Pass& p) {
        p.pending = p.ledger->next();
        if (p.pending) p.ledgerCode = p.ledger->text(0);
    };

    bool ok;
    if (!pass_) {
        pass_ = std::make_shared<Pass>(db_, options_);
        Pass& p = *pass_;
        p.ledgerTable = options_.history ? n.history : n.table;
        const std::string px = n.prefix;
        p.cols = std::string(n.link) + ", " + px + "invoice, " + px + "ref, " + px + "date, " + px +
                 "du_date, " + px + "type, " + px + "amount";
        // In code order the ledger is read in one pass beside the accounts;
        // in salesman order each account's rows are read by their own range.
        p.merge = !(rcv && options_.orderBySalesman);
        if (p.merge) {
            std::string text = "SELECT " + p.cols + " FROM " + p.ledgerTable + " WHERE " + n.link + " >= ?";
            std::vector<Value> params{options_.fromCode};
            if (!options_.toCode.empty()) {
                text += std::string(" AND ") + n.link + " <= ?";
                params.emplace_back(options_.toCode);
            }
            text += std::string(" ORDER BY ") + n.order;
            p.ledger.emplace(db_, text, params);
            advance(p);
            if (options_.toCode.empty())
                p.accounts.setRange({options_.fromCode}, {}); // no upper bound
            else
                p.accounts.setRange({options_.fromCode}, {options_.toCode});
        } else {
            p.accounts.setIndex("clislsm");
        }
        ok = p.accounts.first();
    } else {
        ok = pass_->accounts.next();
    }
    Pass& p = *pass_;
    Cursor& acc = p.accounts;
    for (; ok; ok = acc.next()) {
        const std::string code = acc.str(n.code);
        p.txs.clear();
        if (p.merge) {
            while (p.pending && p.ledgerCode < code)
                advance(p);
            while (p.pending && p.ledgerCode == code) {
                p.txs.push_back(readTx(*p.ledger));
                advance(p);
            }
        }
        if (code < options_.fromCode || (!options_.toCode.empty() && code > options_.toCode)) continue;
        if (rcv && !options_.territory.empty() && acc.str("Cli_terr") != options_.territory) continue;
        const int currency = static_cast<int>(acc.integer(rcv ? "Cli_currency" : "Sup_currency"));
        if (options_.printCurrency >= 0 && currency != options_.printCurrency) continue;
        if (!p.merge) {
            Query q(db_,
                    "SELECT " + p.cols + " FROM " + p.ledgerTable + " WHERE " + n.link + " = ? ORDER BY " +
                        n.order,
                    {code});
            while (q.next())
                p.txs.push_back(readTx(q));
        }
        AgingAccount a;
        a.code = code;
        a.currency = currency;
        const std::string ap = rcv ? "Cli_" : "Sup_";
        a.name = acc.str(ap + "name");
        a.phone = acc.str(ap + "tel");
        a.comments = acc.str(ap + "comments");
        a.balance = acc.money(ap + "current_bal");
        if (rcv) {
            a.adr1 = acc.str("Cli_adr1");
            a.adr2 = acc.str("Cli_adr2");
            a.city = acc.str("Cli_city");
            a.prov = acc.str("Cli_prov");
            a.country = acc.str("Cli_country");
            a.postalCode = acc.str("Cli_postal_code");
        }
        ageAccount(a, p.txs, asOf);
        if (!accountPrints(a, asOf)) continue;
        ++totals_.accounts;
        totals_.total += a.total;
        for (std::size_t i = 0; i < 5; ++i)
            totals_.buckets[i] += a.buckets[i];
        out = std::move(a);
        return true;
    }
    return false;
}

} // namespace vm::aging
