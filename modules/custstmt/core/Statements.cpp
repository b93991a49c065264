#include "modules/custstmt/core/Statements.h"

#include "engine/Cursor.h"
#include "engine/Database.h"

#include <cmath>
#include <map>

namespace vm::custstmt {

namespace {

aging::AgingOptions agingOptionsOf(const StatementOptions& o) {
    aging::AgingOptions a;
    a.ledger = aging::Ledger::Receivables;
    a.reportDate = o.printDate;
    a.today = o.today;
    a.convertTo = o.convertTo;
    a.printCurrency = o.printCurrency;
    return a;
}

StatementOptions normalized(StatementOptions o) {
    if (o.printDate.isNull() && !o.includeSubsequent) o.printDate = o.today;
    return o;
}

} // namespace

struct StatementRun::Pass {
    explicit Pass(Database& db) : clients(db, "cli", true) {}
    Cursor clients;
    bool started = false;
};

StatementRun::StatementRun(Database& company, StatementOptions options)
    : db_(company), options_(normalized(std::move(options))), aging_(company, agingOptionsOf(options_)) {}

StatementRun::~StatementRun() = default;

void StatementRun::restart() {
    pass_.reset();
}

bool StatementRun::clientSelected(const std::string& code, const std::string& territory, Money balance,
                                  int currency) const {
    if (code < options_.fromCode) return false;
    if (!options_.toCode.empty() && code > options_.toCode) return false;
    if (!options_.territory.empty() && territory != options_.territory) return false;
    if (options_.minimumBalance && (balance < *options_.minimumBalance || balance.isZero())) return false;
    if (options_.printCurrency >= 0 && currency != options_.printCurrency) return false;
    return true;
}

Money StatementRun::toStatementCurrency(Money amount, int clientCurrency) const {
    return options_.convertTo >= 0 ? aging_.convert(amount, clientCurrency, options_.convertTo) : amount;
}

Money StatementRun::interestOn(Money outstanding, int daysOverdue) const {
    if (options_.interestRate <= 0 || daysOverdue <= 0 || !std::isfinite(options_.interestRate)) return {};
    const long double cents = static_cast<long double>(outstanding.raw()) / 100.0L *
                              static_cast<long double>(options_.interestRate) / 100.0L / 365.0L * daysOverdue;
    if (!std::isfinite(static_cast<double>(cents)) || cents <= 0) return {};
    // Binary noise is dropped first so that a half cent rounds away from zero.
    const long double clean = std::round(cents * 1e6L) / 1e6L;
    return Money::fromCents(static_cast<std::int64_t>(std::llround(clean)));
}

void StatementRun::fill(Statement& s, const std::vector<Row>& rows) const {
    const Date at = options_.printDate;
    // Interest is charged on what is still owed on the invoice: the sum of this
    // client's own rows of that number (another client's invoice of the same
    // number is not this client's debt).
    std::map<std::string, Money> owed;
    if (options_.interestRate > 0)
        for (const Row& r : rows)
            owed[r.invoice] += toStatementCurrency(r.amount, s.currency);

    // Rows of one invoice follow each other; each is aged from the date of the
    // invoice's first printed row.
    std::optional<std::string> invoice;
    Date invoiceDate;
    Money balance;
    for (const Row& r : rows) {
        if (!at.isNull() && !options_.includeSubsequent && !r.date.isNull() && r.date > at) continue;
        if (!invoice || *invoice != r.invoice) {
            invoice = r.invoice;
            invoiceDate = r.date;
        }
        StatementLine l;
        l.invoice = r.invoice;
        l.reference = r.reference;
        l.type = r.type;
        l.date = r.date;
        l.dueDate = r.dueDate;
        l.fedTax = r.fedTax;
        l.proTax = r.proTax;
        l.amount = toStatementCurrency(r.amount, s.currency);
        if (l.amount < Money())
            l.credit = -l.amount;
        else
            l.debit = l.amount;
        balance += l.amount;
        l.balance = balance;
        l.days = (at.isNull() || invoiceDate.isNull()) ? 0 : at.daysSince(invoiceDate);
        l.bucket = aging_.bucketOf(l.days);
        if (options_.interestRate > 0 && r.type == "1" && !at.isNull() && !r.dueDate.isNull() &&
            at > r.dueDate)
            l.interest = interestOn(owed[r.invoice], at.daysSince(r.dueDate));
        s.totalInterest += l.interest;
        s.totalDue += l.interest + l.amount;
        s.buckets[static_cast<std::size_t>(l.bucket - 1)] += l.amount;
        s.lines.push_back(std::move(l));
    }
}

bool StatementRun::next(Statement& out) {
    bool ok;
    if (!pass_) {
        pass_ = std::make_unique<Pass>(db_);
        if (options_.toCode.empty())
            ok = pass_->clients.setRange({options_.fromCode}, {});
        else
            ok = pass_->clients.setRange({options_.fromCode}, {options_.toCode});
    } else {
        ok = pass_->clients.next();
    }
    Cursor& c = pass_->clients;
    for (; ok; ok = c.next()) {
        const std::string code = c.str("Cli_code");
        const int currency = static_cast<int>(c.integer("Cli_currency"));
        const Money balance = c.money("Cli_current_bal");
        if (!clientSelected(code, c.str("Cli_terr"), balance, currency)) continue;
        Statement s;
        s.code = code;
        s.currency = currency;
        s.currentBalance = balance;
        s.name = c.str("Cli_name");
        s.adr1 = c.str("Cli_adr1");
        s.adr2 = c.str("Cli_adr2");
        s.city = c.str("Cli_city");
        s.prov = c.str("Cli_prov");
        s.postalCode = c.str("Cli_postal_code");
        s.country = c.str("Cli_country");
        s.territory = c.str("Cli_terr");
        s.fax = c.str("Cli_fax");
        s.contact = c.str("Cli_contact");
        s.email = c.str("Cli_email");
        s.emailStatement = c.boolean("Cli_email_statement");

        std::vector<Row> rows;
        Query q(db_,
                "SELECT Car_invoice, Car_ref, Car_date, Car_du_date, Car_type, Car_amount, Car_fed_tax, "
                "Car_pro_tax FROM car WHERE Car_client = ? "
                "ORDER BY Car_client, Car_invoice, Car_ref, Car_date, Car_type, Car_seq",
                {code});
        while (q.next()) {
            Row r;
            r.invoice = q.text(0);
            r.reference = q.text(1);
            r.date = q.date(2);
            r.dueDate = q.date(3);
            r.type = q.text(4);
            r.amount = q.money(5);
            r.fedTax = q.money(6);
            r.proTax = q.money(7);
            rows.push_back(std::move(r));
        }
        fill(s, rows);
        out = std::move(s);
        return true;
    }
    return false;
}

} // namespace vm::custstmt
