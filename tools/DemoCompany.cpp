#include "tools/DemoCompany.h"

#include "engine/Cursor.h"
#include "engine/Database.h"
#include "schema/Schema.h"
#include "tools/DemoInvoices.h"
#include "tools/DemoRandom.h"
#include "tools/RowInserter.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <stdexcept>

namespace vm::admin {
namespace {

constexpr int kCompany = 1;
const char* const kCompanyName = "Les Entreprises Beaulieu Inc.";
const char* const kUser = "ADMIN";

// The demo's fiscal year is the calendar year 2026, closed up to November.
const Date kYearStart = Date::fromYmd(2026, 1, 1);
const Date kToday = Date::fromYmd(2026, 11, 30);
constexpr int kCurrentPeriod = 11;

struct Account {
    int number;
    const char* description;
    const char* type;
    int currency;
    const char* french; // the description in a French company
};

const std::vector<Account> kChart = {
    {1010, "Bank - operating account", "Asset", 0, "Banque - compte d'exploitation"},
    {1020, "Petty cash", "Asset", 0, "Petite caisse"},
    {1030, "Bank - US dollar account", "Asset", 1, "Banque - compte en dollars US"},
    {1200, "Accounts receivable", "Asset", 0, "Comptes clients"},
    {1210, "Accounts receivable - US", "Asset", 1, "Comptes clients - US"},
    {1300, "Inventory", "Asset", 0, "Stocks"},
    {1500, "Furniture and equipment", "Asset", 0, "Mobilier et équipement"},
    {1510, "Accumulated depreciation", "Asset", 0, "Amortissement cumulé"},
    {2100, "Accounts payable", "Liability", 0, "Comptes fournisseurs"},
    {2110, "Accounts payable - US", "Liability", 1, "Comptes fournisseurs - US"},
    {2200, "GST/HST payable", "Liability", 0, "TPS/TVH à payer"},
    {2210, "QST payable", "Liability", 0, "TVQ à payer"},
    {2300, "GST/HST recoverable", "Liability", 0, "TPS/TVH à recouvrer"},
    {2310, "QST recoverable", "Liability", 0, "TVQ à recouvrer"},
    {2500, "Bank loan", "Liability", 0, "Emprunt bancaire"},
    {3100, "Share capital", "Capital", 0, "Capital-actions"},
    {3200, "Retained earnings", "Capital", 0, "Bénéfices non répartis"},
    {4000, "Sales", "Revenue", 0, "Ventes"},
    {4010, "Sales - services", "Revenue", 0, "Ventes - services"},
    {4200, "Interest income", "Revenue", 0, "Revenus d'intérêts"},
    {4300, "Discounts earned", "Revenue", 0, "Escomptes obtenus"},
    {5000, "Purchases", "Expense", 0, "Achats"},
    {5050, "Sales discounts", "Expense", 0, "Escomptes accordés"},
    {5100, "Rent", "Expense", 0, "Loyer"},
    {5200, "Telephone and internet", "Expense", 0, "Téléphone et Internet"},
    {5300, "Office supplies", "Expense", 0, "Fournitures de bureau"},
    {5400, "Bank charges", "Expense", 0, "Frais bancaires"},
    {5500, "Fuel and vehicles", "Expense", 0, "Carburant et véhicules"},
    {5600, "Professional fees", "Expense", 0, "Honoraires professionnels"},
    {5700, "Electricity and heating", "Expense", 0, "Électricité et chauffage"},
    {5800, "Insurance", "Expense", 0, "Assurances"},
};

// Control, bank and tax accounts by currency index (0 home, 1 US dollar).
constexpr int kBank[] = {1010, 1030};
constexpr int kReceivable[] = {1200, 1210};
constexpr int kPayable[] = {2100, 2110};
constexpr int kTaxRecoverable = 2300, kQstRecoverable = 2310;

struct City {
    const char* name;
    const char* prov;
    const char* country;
    const char* postal; // first three characters of the postal code, or a zip code
    int area;
    const char* street;
    const char* territory;
};

const std::vector<City> kQuebec = {
    {"Montréal", "QC", "Canada", "H2X", 514, "rue Saint-Denis", "MTL"},
    {"Montréal", "QC", "Canada", "H3B", 514, "boulevard René-Lévesque Ouest", "MTL"},
    {"Laval", "QC", "Canada", "H7N", 450, "boulevard des Laurentides", "MTL"},
    {"Québec", "QC", "Canada", "G1R", 418, "rue Saint-Jean", "QUE"},
    {"Trois-Rivières", "QC", "Canada", "G9A", 819, "rue des Forges", "QUE"},
    {"Sherbrooke", "QC", "Canada", "J1H", 819, "rue King Ouest", "EST"},
    {"Saint-Hyacinthe", "QC", "Canada", "J2S", 450, "avenue Sainte-Anne", "EST"},
    {"Gatineau", "QC", "Canada", "J8X", 819, "rue Laurier", "OUT"},
};
const std::vector<City> kOntario = {
    {"Toronto", "ON", "Canada", "M5V", 416, "King Street West", "TOR"},
    {"Hamilton", "ON", "Canada", "L8P", 905, "James Street North", "TOR"},
    {"London", "ON", "Canada", "N6A", 519, "Dundas Street", "TOR"},
    {"Ottawa", "ON", "Canada", "K1P", 613, "Bank Street", "OUT"},
    {"Kingston", "ON", "Canada", "K7L", 613, "Princess Street", "ONT"},
    {"Sudbury", "ON", "Canada", "P3E", 705, "Elm Street", "ONT"},
};
const std::vector<City> kUnitedStates = {
    {"Burlington", "VT", "USA", "05401", 802, "Church Street", "USA"},
    {"Plattsburgh", "NY", "USA", "12901", 518, "Margaret Street", "USA"},
};

struct Territory {
    const char* code;
    const char* description;
    const char* french;
};
const std::vector<Territory> kTerritories = {
    {"MTL", "Grand Montréal", "Grand Montréal"},
    {"QUE", "Québec et Mauricie", "Québec et Mauricie"},
    {"EST", "Estrie et Montérégie", "Estrie et Montérégie"},
    {"OUT", "Outaouais and Ottawa", "Outaouais et Ottawa"},
    {"TOR", "Toronto and Golden Horseshoe", "Toronto et Golden Horseshoe"},
    {"ONT", "Eastern and Northern Ontario", "Est et Nord de l'Ontario"},
    {"USA", "United States", "États-Unis"},
};

struct Terms {
    int code;
    const char* description;
    int days;
    const char* french;
};
const std::vector<Terms> kTerms = {
    {1, "Net 30 days", 30, "Net 30 jours"},
    {2, "Net 15 days", 15, "Net 15 jours"},
    {3, "2% 10 days, net 30", 30, "2\u00a0% 10 jours, net 30"},
    {4, "Due on receipt", 0, "Payable sur réception"},
    {5, "Net 60 days", 60, "Net 60 jours"},
};

const std::vector<std::pair<const char*, const char*>> kSalesmen = {
    {"JT", "Julie Tremblay"}, {"MG", "Marc-André Gagnon"}, {"SB", "Sarah Bennett"}, {"DL", "David Lefebvre"}};

const std::vector<std::string> kFrenchTrades = {
    "Boulangerie", "Quincaillerie", "Garage",   "Pharmacie",  "Épicerie",          "Librairie",
    "Fleuriste",   "Imprimerie",    "Traiteur", "Menuiserie", "Clinique dentaire", "Salon de coiffure"};
const std::vector<std::string> kFrenchNames = {"Tremblay", "Gagnon",    "Roy",      "Côté",    "Bouchard",
                                               "Gauthier", "Morin",     "Lavoie",   "Fortin",  "Gagné",
                                               "Ouellet",  "Pelletier", "Bélanger", "Lévesque"};
const std::vector<std::string> kEnglishPlaces = {"Maple Leaf",   "Lakeshore", "Riverside", "Northern",
                                                 "Georgian Bay", "Kingsway",  "Bayview",   "Huron",
                                                 "Frontenac",    "Rideau",    "Algonquin", "Trillium"};
const std::vector<std::string> kEnglishTrades = {"Hardware", "Bakery",      "Auto Parts",    "Printing",
                                                 "Electric", "Plumbing",    "Catering",      "Books",
                                                 "Flooring", "Landscaping", "Dental Clinic", "Florists"};
const std::vector<std::string> kFrenchFirst = {"Marie",  "Jean",     "Sophie",   "Louis",   "Isabelle",
                                               "Pierre", "Nathalie", "François", "Chantal", "Luc"};
const std::vector<std::string> kEnglishFirst = {"Emily",  "James",    "Olivia",  "Michael", "Sarah",
                                                "Robert", "Jennifer", "William", "Karen",   "Daniel"};
const std::vector<std::string> kEnglishLast = {"Smith",    "MacDonald", "Campbell", "Wilson", "Thompson",
                                               "Anderson", "Brown",     "Martin",   "Taylor", "Stewart"};

struct SupplierModel {
    const char* name;
    int cityIndex; // into the list of its province
    char province; // 'Q', 'O' or 'U'
    int expense;
};
const std::vector<SupplierModel> kSupplierModels = {
    {"Papeterie Laurentienne Inc.", 0, 'Q', 5300},
    {"Transport Beauce Express", 3, 'Q', 5000},
    {"Northland Office Supply Ltd.", 0, 'O', 5300},
    {"Gestion Immobilière Rivard", 1, 'Q', 5100},
    {"Télécom Boréal", 3, 'Q', 5200},
    {"Énergie Saint-Maurice", 4, 'Q', 5700},
    {"Pétroles Dupuis et Fils", 2, 'Q', 5500},
    {"Assurances Beaulieu & Associés", 5, 'Q', 5800},
    {"Kingston Fasteners Co.", 4, 'O', 5000},
    {"Huronia Packaging Ltd.", 5, 'O', 5000},
    {"Cabinet comptable Lachance CPA", 7, 'Q', 5600},
    {"Great Lakes Hardware Wholesale", 1, 'O', 5000},
    {"Distribution Maska Inc.", 6, 'Q', 5000},
    {"Ottawa Valley Courier", 3, 'O', 5000},
    {"Champlain Steel Supply Inc.", 1, 'U', 5000},
};

std::string digits(std::int64_t n, int width) {
    std::string s = std::to_string(n);
    return s.size() < static_cast<std::size_t>(width)
               ? std::string(static_cast<std::size_t>(width) - s.size(), '0') + s
               : s;
}

std::string postalCode(DemoRandom& rng, const City& c) {
    if (std::string(c.country) != "Canada") return c.postal;
    static const std::string letters = "ABCEGHJKLMNPRSTVXY";
    std::string s = std::string(c.postal) + " ";
    s += static_cast<char>('0' + rng.between(0, 9));
    s += letters[static_cast<std::size_t>(rng.between(0, static_cast<std::int64_t>(letters.size()) - 1))];
    s += static_cast<char>('0' + rng.between(0, 9));
    return s;
}

// 555-01xx numbers are reserved for fiction.
std::string phone(DemoRandom& rng, int area) {
    return std::to_string(area) + " 555-01" + digits(rng.between(0, 99), 2);
}

std::string slug(const std::string& name) {
    std::string s;
    for (unsigned char ch : name)
        if (std::isalnum(ch) && ch < 0x80) s += static_cast<char>(std::tolower(ch));
    return s.substr(0, 24);
}

const City& cityFor(char province, int index) {
    const auto& list = province == 'Q' ? kQuebec : province == 'O' ? kOntario : kUnitedStates;
    return list[static_cast<std::size_t>(index) % list.size()];
}

Date randomDay(DemoRandom& rng, Date from, Date to) {
    return from.addDays(static_cast<int>(rng.between(0, to.daysSince(from))));
}

DateTime stampOf(Date d) {
    return DateTime(d, 9 * 3600);
}

// Taxes on a sale or purchase: GST and QST in Québec, HST in Ontario, none
// abroad. Each part is rounded to cents on its own, as printed on invoices.
struct Taxes {
    Money federal, provincial;
};
Taxes taxesOn(Money subtotal, char province) {
    if (province == 'Q') return {subtotal.convertedAt(0.05), subtotal.convertedAt(0.09975)};
    if (province == 'O') return {subtotal.convertedAt(0.13), Money()};
    return {};
}

Money randomAmount(DemoRandom& rng) {
    const int r = static_cast<int>(rng.between(0, 99));
    if (r < 60) return Money::fromCents(rng.between(10000, 250000));
    if (r < 95) return Money::fromCents(rng.between(250000, 1000000));
    return Money::fromCents(rng.between(1000000, 4000000));
}

int periodOf(Date d) {
    return d.month();
}

// ---------------------------------------------------------------------------

struct ClientInfo {
    std::string code, name;
    char province = 'Q';
    int currency = 0;
    int termsDays = 30;
    std::string salesrep;
    Money balance, salesYtd, salesMonth, lastSale;
    Date lastSaleDate, lastPaymentDate;
};

struct SupplierInfo {
    std::string code, name;
    char province = 'Q';
    int currency = 0;
    int expense = 5000;
    int termsDays = 30;
    Money balance, purchYtd, purchMonth, lastPurchase;
    Date lastPurchaseDate, lastPaymentDate;
    std::string invoicePrefix; // the supplier's own numbering: prefix, then a counter
    std::int64_t invoices = 0;
};

class DemoWriter {
public:
    DemoWriter(Database& db, const DemoOptions& o, DemoSummary& s)
        : db_(db), opt_(o), sum_(s), rng_(o.seed),
          car_(db, "car",
               {"Car_client", "Car_invoice", "Car_ref", "Car_date", "Car_type", "Car_du_date", "Car_amount",
                "Car_memo", "Car_slsm", "Car_pro_tax", "Car_fed_tax", "Car_user", "Car_stamp"}),
          cap_(db, "cap",
               {"Cap_supplier", "Cap_invoice", "Cap_ref", "Cap_date", "Cap_type", "Cap_du_date", "Cap_amount",
                "Cap_memo", "Cap_user", "Cap_stamp"}),
          tjlh_(db, "tjlh",
                {"Tjlh_period", "Tjlh_journal", "Tjlh_reference", "Tjlh_date", "Tjlh_type", "Tjlh_tot_debit",
                 "Tjlh_tot_credit", "Tjlh_memo", "Tjlh_user", "Tjlh_stamp"}),
          tjld_(db, "tjld",
                {"Tjld_period", "Tjld_journal", "Tjld_reference", "Tjld_date", "Tjld_account", "Tjld_debit",
                 "Tjld_credit", "Tjld_description"}) {
        for (const auto& a : kChart)
            accountNames_[a.number] = french() ? a.french : a.description;
    }

    void run() {
        writeChart();
        writeControl();
        writeSalesmen();
        makeClients();
        makeSuppliers();
        writeSales();
        writePurchases();
        writeClients();
        writeSuppliers();
        sum_.journalHeaders = tjlh_.count();
        sum_.journalLines = tjld_.count();
    }

private:
    bool french() const { return opt_.language == schema::Language::French; }

    void writeChart() {
        RowInserter glm(db_, "glm",
                        {"Glm_account", "Glm_Description", "Glm_type", "Glm_summarize", "Glm_currency"});
        for (const auto& a : kChart)
            glm.add({a.number, accountNames_[a.number], a.type, "N", a.currency});
    }

    void writeControl() {
        Cursor c(db_, "ctrl");
        if (!c.first()) throw std::runtime_error("company 1 has no control row");
        c.edit();
        c.set("Ctrl_periods", 12);
        for (const char* f : {"Ctrl_gl_period", "Ctrl_ar_period", "Ctrl_ap_period", "Ctrl_fa_period"})
            c.set(f, kCurrentPeriod);
        c.set("Ctrl_pl_name1", french() ? "Détail" : "Retail");
        c.set("Ctrl_curr1_name", french() ? "Dollar US" : "US Dollar");
        c.set("Ctrl_curr1_rate", 1.38);
        c.set("Ctrl_curr1_sign", "US");
        c.set("Ctrl_dollars2", french() ? "dollars US" : "US Dollars");
        c.set("Ctrl_cents2", french() ? "cents" : "Cents");
        c.set("Ctrl_fed_tax_no", "123456789 RT0001");
        c.set("Ctrl_pro_tax_no", "1234567890 TQ0001");
        c.set("Ctrl_fed_rate", 5.0);
        c.set("Ctrl_pro_rate1", 9.975);
        c.set("Ctrl_pro_rate2", 13.0);
        c.set("Ctrl_ar_accnt", kReceivable[0]);
        c.set("Ctrl_ar_curr2", kReceivable[1]);
        c.set("Ctrl_ap_accnt", kPayable[0]);
        c.set("Ctrl_ap_curr2", kPayable[1]);
        c.set("Ctrl_bank_accnt1", kBank[0]);
        c.set("Ctrl_bank_accnt2", kBank[1]);
        c.set("Ctrl_fed_tax_accnt", 2200);
        c.set("Ctrl_Pro_tax_accnt", 2210);
        c.set("Ctrl_sales_accnt1", 4000);
        c.set("Ctrl_sales_accnt2", 4010);
        c.set("Ctrl_general_sales_accnt", 4000);
        const int cr[] = {1010, 5050, 4200, 5400};
        for (int i = 0; i < 4; ++i)
            c.set("Ctrl_cr_accnt" + std::to_string(i + 1), cr[i]);
        const int purch[] = {5000, kTaxRecoverable, kQstRecoverable, 5100, 5200, 5300, 5500, 5600};
        for (int i = 0; i < 8; ++i)
            c.set("Ctrl_ap_purch_accnt" + std::to_string(i + 1), purch[i]);
        const int disb[] = {1010, 4300, 5400, 5300, 5500, 5600, 5700, 5800};
        for (int i = 0; i < 8; ++i)
            c.set("Ctrl_ap_disb_accnt" + std::to_string(i + 1), disb[i]);
        for (int i = 1; i <= 5; ++i)
            c.set("Ctrl_pmt_accnt" + std::to_string(i), 1010);
        c.post();
        ctrl_ = std::make_unique<Cursor>(db_, "ctrl");
    }

    void writeSalesmen() {
        RowInserter slsm(db_, "slsm", {"Slsm_code", "Slsm_nom", "Slsm_taux1", "Slsm_user", "Slsm_stamp"});
        for (const auto& [code, name] : kSalesmen)
            slsm.add({code, name, 3.0, kUser, stampOf(kYearStart)});
    }

    void makeClients() {
        clients_.resize(static_cast<std::size_t>(opt_.clients));
        for (int i = 0; i < opt_.clients; ++i) {
            ClientInfo& c = clients_[static_cast<std::size_t>(i)];
            c.code = "C" + digits(i + 1, 5);
            const int kind = static_cast<int>(rng_.between(0, 99));
            c.province = kind < 58 ? 'Q' : kind < 95 ? 'O' : 'U';
            c.currency = c.province == 'U' ? 1 : 0;
            if (c.province == 'Q')
                c.name = rng_.pick(kFrenchTrades) + " " + rng_.pick(kFrenchNames) +
                         (rng_.percent(40) ? " Inc." : "");
            else
                c.name = rng_.pick(kEnglishPlaces) + " " + rng_.pick(kEnglishTrades) +
                         (rng_.percent(50) ? " Ltd." : "");
            const Terms& t = kTerms[static_cast<std::size_t>(rng_.percent(55) ? 0 : rng_.between(1, 4))];
            c.termsDays = t.days;
            termsOf_.push_back(t.code);
            c.salesrep =
                c.province == 'Q' ? (rng_.percent(50) ? "JT" : "MG") : (rng_.percent(50) ? "SB" : "DL");
        }
    }

    void makeSuppliers() {
        suppliers_.resize(static_cast<std::size_t>(opt_.suppliers));
        for (int i = 0; i < opt_.suppliers; ++i) {
            SupplierInfo& s = suppliers_[static_cast<std::size_t>(i)];
            const SupplierModel& m = kSupplierModels[static_cast<std::size_t>(i) % kSupplierModels.size()];
            const int round = i / static_cast<int>(kSupplierModels.size());
            s.code = "F" + digits(i + 1, 4);
            s.name = m.name;
            if (round > 0) s.name += " - " + std::string(cityFor(m.province, m.cityIndex + round).name);
            s.province = m.province;
            s.currency = m.province == 'U' ? 1 : 0;
            s.expense = m.expense;
            s.termsDays = m.expense == 5100 ? 0 : 30;
            // Letters from the supplier's position: unique, at most three
            // for 9999 suppliers, leaving seven digits within Cap_invoice.
            for (int n = i;; n = n / 26 - 1) {
                s.invoicePrefix.insert(s.invoicePrefix.begin(), static_cast<char>('A' + n % 26));
                if (n < 26) break;
            }
        }
    }

    void journal(int journalNo, const std::string& reference, Date date, const std::string& memo,
                 const std::vector<std::pair<int, Money>>& lines) {
        Money debit, credit;
        for (const auto& [account, amount] : lines)
            (amount >= Money() ? debit : credit) += amount >= Money() ? amount : -amount;
        const int period = periodOf(date);
        tjlh_.add({period, journalNo, reference, date, "", debit, credit, memo, kUser, stampOf(date)});
        for (const auto& [account, amount] : lines) {
            if (amount.isZero()) continue;
            const bool isDebit = amount > Money();
            tjld_.add({period, journalNo, reference, date, account, isDebit ? amount : Money(),
                       isDebit ? Money() : -amount, accountNames_[account]});
        }
    }

    struct Sale {
        std::int32_t client;
        std::int32_t day;
        std::int32_t number;
        Money subtotal;
    };

    void writeSales() {
        if (clients_.empty()) return;
        // Invoices are numbered in date order, as an invoicing module would.
        std::vector<Sale> sales(static_cast<std::size_t>(opt_.invoices));
        const Date last = kToday.addDays(-3);
        for (auto& s : sales) {
            s.client = static_cast<std::int32_t>(rng_.between(0, opt_.clients - 1));
            s.day = randomDay(rng_, kYearStart.addDays(4), last).daysSince(kYearStart);
            s.subtotal = randomAmount(rng_);
        }
        std::stable_sort(sales.begin(), sales.end(),
                         [](const Sale& a, const Sale& b) { return a.day < b.day; });
        for (std::size_t k = 0; k < sales.size(); ++k)
            sales[k].number = static_cast<std::int32_t>(100001 + k);
        // Written client by client: the client index then grows at its end
        // instead of being rewritten all over, which keeps large demos fast.
        std::stable_sort(sales.begin(), sales.end(),
                         [](const Sale& a, const Sale& b) { return a.client < b.client; });

        std::int64_t receiptNo = 0;
        for (std::size_t k = 0; k < sales.size(); ++k) {
            const Sale& s = sales[k];
            ClientInfo& c = clients_[static_cast<std::size_t>(s.client)];
            const Date date = kYearStart.addDays(s.day);
            const Date due = date.addDays(c.termsDays);
            const Taxes tax = taxesOn(s.subtotal, c.province);
            const Money total = s.subtotal + tax.federal + tax.provincial;
            const std::string invoice = std::to_string(s.number);
            car_.add({c.code, invoice, "", date, "1", due, total, "", c.salesrep, tax.provincial, tax.federal,
                      kUser, stampOf(date)});
            ++sum_.invoices;
            c.balance += total;
            c.salesYtd += total;
            if (date.month() == kToday.month()) c.salesMonth += total;
            c.lastSale = total;
            c.lastSaleDate = date;

            // Half the invoices are paid in full, a fifth in part, the rest
            // are still open; payments come around the due date.
            const int r = static_cast<int>(rng_.between(0, 99));
            if (r >= 70) continue;
            const Date paid = std::max(date.addDays(1), due.addDays(static_cast<int>(rng_.between(-10, 25))));
            if (paid > kToday) continue;
            Money amount = total;
            if (r >= 50)
                amount = Money::fromCents(total.roundedToCents().raw() / 100 * rng_.between(30, 80) / 100);
            if (amount <= Money()) continue;
            const std::string ref = "R" + digits(++receiptNo, 6);
            car_.add({c.code, invoice, ref, paid, "2", paid, -amount, "", c.salesrep, Money(), Money(), kUser,
                      stampOf(paid)});
            ++sum_.receipts;
            c.balance -= amount;
            c.lastPaymentDate = std::max(c.lastPaymentDate, paid);
            journal(c.currency == 0 ? 2 : 21 + c.currency, ref, paid, c.name,
                    {{kBank[c.currency], amount}, {kReceivable[c.currency], -amount}});
        }
    }

    // The rows the purchase and disbursement windows write beside the
    // ledger and the journal: the stored documents and the bank
    // reconciliation, so that the demo's books look as if they had posted.
    void writePurchases() {
        if (suppliers_.empty()) return;
        RowInserter apori(db_, "apori",
                          {"Reference", "Supplier", "Date", "Due_date", "Trx_type", "Account1", "Credit1",
                           "Account2", "Debit2", "Account3", "Debit3", "Account4", "Debit4", "Stamp",
                           "User"});
        RowInserter cdorihdr(
            db_, "cdorihdr",
            {"Reference", "Supplier", "Date", "Account1", "Debit1", "Account2", "Credit2", "Stamp", "User"});
        RowInserter cdoridet(db_, "cdoridet",
                             {"Reference", "Supplier", "Date", "Header_seq", "Invoice", "Invoice_date",
                              "Invoice_due_date", "Invoice_amount", "Invoice_payment"});
        RowInserter concil(db_, "concil",
                           {"Concil_account", "Concil_type", "Concil_reference", "Concil_fou_cli_emp",
                            "Concil_nom", "Concil_date", "Concil_montant"});
        const std::int64_t count = std::max<std::int64_t>(4LL * opt_.suppliers, opt_.invoices / 10);
        std::int64_t chequeNo = 1000;
        for (std::int64_t k = 0; k < count; ++k) {
            SupplierInfo& s = suppliers_[static_cast<std::size_t>(rng_.between(0, opt_.suppliers - 1))];
            const Date date = randomDay(rng_, kYearStart.addDays(2), kToday.addDays(-2));
            const Date due = date.addDays(s.termsDays);
            const Money subtotal = s.expense == 5100 ? Money::fromUnits(3200) : randomAmount(rng_);
            const Taxes tax = taxesOn(subtotal, s.province);
            const Money total = subtotal + tax.federal + tax.provincial;
            const std::string invoice = s.invoicePrefix + digits(++s.invoices, 5);
            cap_.add({s.code, invoice, "", date, "1", due, total, "", kUser, stampOf(date)});
            ++sum_.purchases;
            s.balance += total;
            s.purchYtd += total;
            if (date.month() == kToday.month()) s.purchMonth += total;
            s.lastPurchase = total;
            s.lastPurchaseDate = std::max(s.lastPurchaseDate, date);
            journal(s.currency == 0 ? 3 : 31 + s.currency, invoice, date, s.name,
                    {{s.expense, subtotal},
                     {kTaxRecoverable, tax.federal},
                     {kQstRecoverable, tax.provincial},
                     {kPayable[s.currency], -total}});
            apori.add({invoice, s.code, date, due, "1", kPayable[s.currency], total, s.expense, subtotal,
                       kTaxRecoverable, tax.federal, kQstRecoverable, tax.provincial, stampOf(date), kUser});

            const int r = static_cast<int>(rng_.between(0, 99));
            if (r >= 75) continue;
            const Date paid = std::max(date, due.addDays(static_cast<int>(rng_.between(-5, 20))));
            if (paid > kToday) continue;
            const Money amount =
                r < 60 ? total
                       : Money::fromCents(total.roundedToCents().raw() / 100 * rng_.between(25, 75) / 100);
            if (amount <= Money()) continue;
            const std::string cheque = std::to_string(++chequeNo);
            cap_.add({s.code, invoice, cheque, paid, "2", due, -amount, "", kUser, stampOf(paid)});
            ++sum_.disbursements;
            s.balance -= amount;
            s.lastPaymentDate = std::max(s.lastPaymentDate, paid);
            journal(s.currency == 0 ? 4 : 41 + s.currency, cheque, paid, s.name,
                    {{kPayable[s.currency], amount}, {kBank[s.currency], -amount}});
            cdorihdr.add({cheque, s.code, paid, kPayable[s.currency], amount, kBank[s.currency], amount,
                          stampOf(paid), kUser});
            cdoridet.add(
                {cheque, s.code, paid, cdorihdr.cursor().integer("Seq"), invoice, date, due, total, amount});
            concil.add({kBank[s.currency], 2, cheque, s.code, s.name, paid, -amount});
        }
        ctrl_->first();
        ctrl_->edit();
        ctrl_->set("Ctrl_ap_chqno1", chequeNo + 1);
        ctrl_->post();
    }

    void writeClients() {
        RowInserter cli(db_, "cli",
                        {"Cli_code",         "Cli_name",           "Cli_adr1",          "Cli_city",
                         "Cli_prov",         "Cli_country",        "Cli_postal_code",   "Cli_tel",
                         "Cli_fax",          "Cli_contact",        "Cli_contact_tel",   "Cli_email",
                         "Cli_salesrep",     "Cli_terr",           "Cli_language",      "Cli_terms",
                         "Cli_date_created", "Cli_date_last_sale", "Cli_date_last_pmt", "Cli_tax_fed",
                         "Cli_tax_pro",      "Cli_du_days",        "Cli_credit_limit",  "Cli_price_list",
                         "Cli_current_bal",  "Cli_last_sale",      "Cli_sales_mth",     "Cli_sales_ytd",
                         "Cli_user",         "Cli_stamp",          "Cli_currency",      "Cli_copies"});
        for (std::size_t i = 0; i < clients_.size(); ++i) {
            const ClientInfo& c = clients_[i];
            const City& city = cityFor(c.province, static_cast<int>(rng_.between(0, 7)));
            const bool french = c.province == 'Q';
            const std::string contact = french ? rng_.pick(kFrenchFirst) + " " + rng_.pick(kFrenchNames)
                                               : rng_.pick(kEnglishFirst) + " " + rng_.pick(kEnglishLast);
            const std::string tel = phone(rng_, city.area);
            const std::string street = french ? std::to_string(rng_.between(10, 4999)) + ", " + city.street
                                              : std::to_string(rng_.between(10, 4999)) + " " + city.street;
            const Date created =
                Date::fromYmd(static_cast<int>(rng_.between(2015, 2025)),
                              static_cast<int>(rng_.between(1, 12)), static_cast<int>(rng_.between(1, 28)));
            cli.add({c.code,
                     c.name,
                     street,
                     city.name,
                     city.prov,
                     city.country,
                     postalCode(rng_, city),
                     tel,
                     phone(rng_, city.area),
                     contact,
                     tel,
                     "info@" + slug(c.name) + (french ? ".qc.ca" : ".ca"),
                     c.salesrep,
                     city.territory,
                     french ? "2" : "1",
                     termsOf_[i],
                     created,
                     c.lastSaleDate,
                     c.lastPaymentDate,
                     c.province != 'U',
                     c.province == 'Q',
                     c.termsDays,
                     static_cast<int>(rng_.between(5, 50)) * 1000,
                     1,
                     c.balance,
                     c.lastSale,
                     c.salesMonth,
                     c.salesYtd,
                     kUser,
                     stampOf(kToday),
                     c.currency,
                     1});
        }
        sum_.clients = cli.count();
    }

    void writeSuppliers() {
        RowInserter sup(db_, "sup",
                        {"Sup_code",          "Sup_name",      "Sup_adr1",         "Sup_city",
                         "Sup_prov",          "Sup_country",   "Sup_postal_code",  "Sup_tel",
                         "Sup_fax",           "Sup_contact",   "Sup_contact_tel",  "Sup_email",
                         "Sup_terr",          "Sup_language",  "Sup_date_created", "Sup_date_last_purch",
                         "Sup_date_last_pmt", "Sup_du_days",   "Sup_credit_limit", "Sup_current_bal",
                         "Sup_last_purch",    "Sup_purch_mth", "Sup_purch_ytd",    "Sup_user",
                         "Sup_stamp",         "Sup_currency",  "Sup_bank_account", "Sup_copies"});
        for (std::size_t i = 0; i < suppliers_.size(); ++i) {
            const SupplierInfo& s = suppliers_[i];
            const SupplierModel& m = kSupplierModels[i % kSupplierModels.size()];
            const City& city =
                cityFor(m.province, m.cityIndex + static_cast<int>(i / kSupplierModels.size()));
            const bool french = s.province == 'Q';
            const std::string contact = french ? rng_.pick(kFrenchFirst) + " " + rng_.pick(kFrenchNames)
                                               : rng_.pick(kEnglishFirst) + " " + rng_.pick(kEnglishLast);
            const std::string tel = phone(rng_, city.area);
            const std::string street = french ? std::to_string(rng_.between(10, 4999)) + ", " + city.street
                                              : std::to_string(rng_.between(10, 4999)) + " " + city.street;
            sup.add({s.code,
                     s.name,
                     street,
                     city.name,
                     city.prov,
                     city.country,
                     postalCode(rng_, city),
                     tel,
                     phone(rng_, city.area),
                     contact,
                     tel,
                     "comptes@" + slug(s.name) + ".ca",
                     city.territory,
                     french ? "2" : "1",
                     Date::fromYmd(2019, 3, 1),
                     s.lastPurchaseDate,
                     s.lastPaymentDate,
                     s.termsDays,
                     static_cast<int>(rng_.between(10, 100)) * 1000,
                     s.balance,
                     s.lastPurchase,
                     s.purchMonth,
                     s.purchYtd,
                     kUser,
                     stampOf(kToday),
                     s.currency,
                     kBank[s.currency],
                     1});
        }
        sum_.suppliers = sup.count();
    }

    Database& db_;
    const DemoOptions& opt_;
    DemoSummary& sum_;
    DemoRandom rng_;
    RowInserter car_, cap_, tjlh_, tjld_;
    std::unique_ptr<Cursor> ctrl_;
    std::map<int, std::string> accountNames_;
    std::vector<ClientInfo> clients_;
    std::vector<int> termsOf_;
    std::vector<SupplierInfo> suppliers_;
};

// Terms and territories are shared by all companies: add the demo's when
// they are not there, leaving any the site defined.
void writeReferenceTables(Database& root, schema::Language language) {
    const bool french = language == schema::Language::French;
    Transaction tx(root);
    {
        Cursor terms(root, "arterms");
        for (const auto& t : kTerms)
            if (!terms.findKey({Value(t.code)})) {
                terms.insert();
                terms.set("Arterms_code", t.code);
                terms.set("Arterms_desc", french ? t.french : t.description);
                terms.set("Arterms_days", t.days);
                terms.post();
            }
        Cursor terr(root, "arterr");
        for (const auto& t : kTerritories)
            if (!terr.findKey({Value(t.code)})) {
                terr.insert();
                terr.set("Arterr_code", t.code);
                terr.set("Arterr_desc", french ? t.french : t.description);
                terr.post();
            }
    }
    tx.commit();
}

void describeCompany(Database& root) {
    Transaction tx(root);
    {
        Cursor comp(root, "comp");
        if (comp.findKey({Value(kCompany)})) {
            comp.edit();
            comp.set("Comp_Adr1", "1250, rue Notre-Dame Ouest");
            comp.set("Comp_city", "Montréal");
            comp.set("Comp_Prov", "QC");
            comp.set("Comp_Country", "Canada");
            comp.set("Comp_Postal_code", "H3C 1K3");
            comp.set("Comp_telephone", "514 555-0142");
            comp.set("Comp_Contact", "Hélène Beaulieu");
            comp.set("Comp_Ret_Earn_accnt", 3200);
            comp.post();
        }
    }
    tx.commit();
}

bool holdsData(Database& db) {
    for (const char* t : {"cli", "sup", "car", "cap", "glm"})
        if (!Cursor(db, t, true).isEmpty()) return true;
    return false;
}

} // namespace

DemoSummary buildDemoCompany(const std::string& dataDir, const DemoOptions& options) {
    if (options.clients < 0 || options.suppliers < 0 || options.invoices < 0)
        throw std::invalid_argument("the demo sizes cannot be negative");
    if (options.clients > 99999)
        throw std::invalid_argument("at most 99999 clients (codes C00001 to C99999)");
    if (options.suppliers > 9999)
        throw std::invalid_argument("at most 9999 suppliers (codes F0001 to F9999)");
    if (options.invoices > 0 && options.clients == 0)
        throw std::invalid_argument("invoices need at least one client");
    if (!schema::isDataRoot(dataDir))
        throw std::runtime_error(dataDir + " is not a data directory (run init first)");

    DemoSummary summary;
    const std::string companyDir = schema::companyDirOf(dataDir, kCompany);
    // The whole demo runs under the creation lock: the listing and emptiness
    // checks, the creation and the filling cannot interleave with another
    // creation of company 1.
    schema::CreationLock lock(dataDir);
    {
        Database root(dataDir);
        summary.companyCreated = !schema::companyListed(root, kCompany);
    }
    if (summary.companyCreated) schema::createCompany(lock, kCompany, kCompanyName, options.language);
    try {
        {
            Database db(companyDir);
            if (holdsData(db))
                throw schema::SchemaError(
                    "company 1 already holds clients, suppliers, accounts or ledger rows");
            Transaction tx(db, true); // a batch: written whole or not at all
            DemoWriter(db, options, summary).run();
            schema::writeDefaultStatementLayouts(db, options.language); // a company made before it had one
            writeDemoDocuments(db, options);
            tx.commit();
        }
        Database root(dataDir);
        writeReferenceTables(root, options.language);
        if (summary.companyCreated) describeCompany(root);
    } catch (...) {
        if (summary.companyCreated) schema::discardCompany(lock, kCompany);
        throw;
    }
    return summary;
}

} // namespace vm::admin
