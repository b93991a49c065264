#include "modules/custview/core/Documents.h"

#include "engine/Cursor.h"
#include "engine/Database.h"

namespace vm::custview {
namespace {

bool blank(const std::string& s) {
    return s.find_first_not_of(' ') == std::string::npos;
}

// (a - b) / d x 100, computed on the exact amounts.
double percentOf(Money a, Money b, Money d) {
    return static_cast<double>((a - b).raw()) / static_cast<double>(d.raw()) * 100.0;
}

struct ClientName {
    std::string name, adr1, adr2, city, prov;
};

ClientName clientOf(Database& company, const std::string& code) {
    ClientName n;
    if (code.empty()) return n;
    Cursor cli(company, "cli", true);
    if (!cli.findKey({Value(code)})) return n;
    n.name = cli.str("Cli_name");
    n.adr1 = cli.str("Cli_adr1");
    n.adr2 = cli.str("Cli_adr2");
    n.city = cli.str("Cli_city");
    n.prov = cli.str("Cli_prov");
    return n;
}

// Distribution lines 1..count of an entry record, those that name an account,
// each with its account's description.
std::vector<DistributionLine> distribution(Database& company, const Cursor& rec, int count) {
    std::vector<DistributionLine> out;
    Cursor glm(company, "glm", true);
    for (int i = 1; i <= count; ++i) {
        const std::string n = std::to_string(i);
        DistributionLine l;
        l.account = rec.integer("Account" + n);
        l.debit = rec.money("Debit" + n);
        l.credit = rec.money("Credit" + n);
        if (l.account == 0) continue;
        if (glm.findKey({Value(l.account)})) l.description = glm.str("Glm_Description");
        out.push_back(std::move(l));
    }
    return out;
}

} // namespace

std::optional<double> marginPercent(Money total, Money cost) {
    if (total.isZero()) return std::nullopt;
    return percentOf(total, cost, total);
}

std::optional<double> markupPercent(Money total, Money cost) {
    if (cost.isZero()) return std::nullopt;
    return percentOf(total, cost, cost);
}

bool isCommentLine(const std::string& lineCode, double qtyOrder) {
    return blank(lineCode) && qtyOrder == 0;
}

std::vector<PaymentLine> namedPayments(const std::array<std::string, 10>& names,
                                       const std::array<Money, 10>& amounts) {
    std::vector<PaymentLine> out;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (!blank(names[i])) out.push_back({names[i], amounts[i]});
    return out;
}

InvoiceTotals invoiceTotals(const std::vector<InvoiceLine>& lines) {
    InvoiceTotals t;
    for (const auto& l : lines) {
        t.total += l.total;
        t.tax1 += l.tax1;
        t.tax2 += l.tax2;
        t.cost += l.cost;
    }
    t.margin = marginPercent(t.total, t.cost).value_or(0);
    t.markup = markupPercent(t.total, t.cost).value_or(0);
    return t;
}

std::optional<InvoiceDocument> readInvoice(Database& company, Database* dataRoot, bool archived,
                                           const std::string& doc, const std::string& invoice) {
    const std::string h = archived ? "Fahdra_" : "Fahdr_";
    const std::string d = archived ? "Fadeta_" : "Fadet_";
    Cursor hdr(company, archived ? "fahdra" : "fahdr", true);
    if (!hdr.findKey({Value(doc), Value(invoice)})) return std::nullopt;
    InvoiceDocument inv;
    inv.archived = archived;
    inv.doc = doc;
    inv.invoice = invoice;
    inv.client = hdr.str(h + "client");
    inv.date = hdr.date(h + "date");
    inv.salesman = hdr.str(h + "slsm");
    inv.shipName = hdr.str(h + "shp_nom");
    inv.shipAdr1 = hdr.str(h + "shp_adr1");
    inv.shipAdr2 = hdr.str(h + "shp_adr2");
    inv.shipCity = hdr.str(h + "shp_city");
    inv.shipProv = hdr.str(h + "shp_prov");
    inv.shipCountry = hdr.str(h + "shp_country");
    inv.shipPostal = hdr.str(h + "shp_cp");
    inv.store = hdr.integer(h + "store");
    inv.user = hdr.str(h + "user");
    inv.stamp = hdr.value(h + "stamp").asDateTime();
    inv.clientName = clientOf(company, inv.client).name;

    if (!inv.salesman.empty()) {
        Cursor slsm(company, "slsm", true);
        if (slsm.findKey({Value(inv.salesman)})) inv.salesmanName = slsm.str("Slsm_nom");
    }
    if (dataRoot) {
        Cursor terms(*dataRoot, "arterms", true);
        if (terms.findKey({hdr.value(h + "terms")})) inv.terms = terms.str("Arterms_desc");
    }
    std::array<std::string, 10> names;
    std::array<Money, 10> amounts;
    Cursor ctrl(company, "ctrl", true);
    const bool hasCtrl = ctrl.first();
    for (std::size_t i = 0; i < 10; ++i) {
        const std::string n = std::to_string(i + 1);
        if (hasCtrl) names[i] = ctrl.str("Ctrl_pmt_name" + n);
        amounts[i] = hdr.money(h + "pmt" + n);
    }
    inv.payments = namedPayments(names, amounts);

    Cursor det(company, archived ? "fadeta" : "fadet", true);
    det.setIndex(d + "invoice");
    for (bool on = det.setRange({Value(doc), Value(invoice)}); on; on = det.next()) {
        InvoiceLine l;
        l.lineCode = det.str(d + "line_code");
        l.itemCode = det.str(d + "item_code");
        l.description = det.str(d + "desc");
        l.qtyOrder = det.dbl(d + "qty_order");
        l.qtyShip = det.dbl(d + "qty_ship");
        l.price = det.dbl(d + "price");
        l.discount = det.dbl(d + "discount");
        l.tax1 = det.money(d + "tax1");
        l.tax2 = det.money(d + "tax2");
        l.total = det.money(d + "total");
        l.cost = det.money(d + "cost");
        l.comment = isCommentLine(l.lineCode, l.qtyOrder);
        inv.lines.push_back(std::move(l));
    }
    return inv;
}

std::optional<SalesEntryDocument> readSalesEntry(Database& company, std::int64_t seq) {
    Cursor rec(company, "arori", true);
    if (!rec.findKey({Value(seq)})) return std::nullopt;
    SalesEntryDocument s;
    s.reference = rec.str("Reference");
    s.client = rec.str("Client");
    s.date = rec.date("Date");
    s.dueDate = rec.date("Due_date");
    s.directCashSale = rec.boolean("Direct_cash_sale");
    s.type = rec.str("Trx_type");
    s.drCrReference = rec.str("Dr_cr_reference");
    s.comments = rec.str("Comments");
    s.user = rec.str("User");
    s.stamp = rec.value("Stamp").asDateTime();
    const ClientName n = clientOf(company, s.client);
    s.clientName = n.name;
    s.adr1 = n.adr1;
    s.adr2 = n.adr2;
    s.city = n.city;
    s.prov = n.prov;
    s.lines = distribution(company, rec, 15);
    return s;
}

std::optional<ReceiptDocument> readReceipt(Database& company, std::int64_t seq) {
    Cursor hdr(company, "crorihdr", true);
    if (!hdr.findKey({Value(seq)})) return std::nullopt;
    ReceiptDocument r;
    r.reference = hdr.str("Reference");
    r.client = hdr.str("Client");
    r.date = hdr.date("Date");
    r.notFromClient = hdr.boolean("Not_from_cli");
    r.nsfCheque = hdr.boolean("Nsf_cheque");
    r.comments = hdr.str("Comments");
    r.user = hdr.str("User");
    r.stamp = hdr.value("Stamp").asDateTime();
    r.clientName = clientOf(company, r.client).name;
    r.lines = distribution(company, hdr, 20);
    Cursor det(company, "croridet", true);
    det.setIndex("Reference");
    for (bool on = det.setRange({Value(r.reference), Value(r.client), Value(r.date), Value(seq)}); on;
         on = det.next())
        r.invoices.push_back({det.str("Invoice"), det.date("Invoice_date"), det.date("Invoice_due_date"),
                              det.money("Invoice_amount"), det.money("Invoice_payment")});
    return r;
}

} // namespace vm::custview
