#include "engine/Cursor.h"
#include "engine/Database.h"
#include "schema/Schema.h"

#include <cctype>
#include <optional>
#include <string>
#include <vector>

namespace vm::schema {
namespace {

// Letter, portrait. The header holds the company, the title, the statement
// date, the client code, the page and the client's address; the detail area
// one line per transaction; the footer the interest, the aging buckets and
// the total due. Amounts are right-aligned in one inch ending at pos + 1.
constexpr double kPageLength = 11, kPageWidth = 8.5;
constexpr double kHeader = 3.3, kDetail = 5.7, kFooter = 1.5;

struct Texts {
    const char* title;
    const char* telephone;
    const char* date;
    const char* client;
    const char* page;
    const char* invoice;
    const char* debit;
    const char* credit;
    const char* balance;
    const char* interest;
    const char* totalDue;
};
const Texts kEnglishTexts = {"STATEMENT", "Tel.:",  "Date:",   "Client:",  "Page:",    "Invoice",
                             "Debit",     "Credit", "Balance", "Interest", "Total due"};
// U+00A0 before each colon: a label never breaks from it.
const Texts kFrenchTexts = {
    "RELEVÉ DE COMPTE", "Tél.\u00a0:", "Date\u00a0:", "Client\u00a0:", "Page\u00a0:", "Facture", "Débit",
    "Crédit",           "Solde",       "Intérêts",    "Total dû"};

enum Font { Plain, Bold, Name, Title };

struct Item {
    std::string field;
    char band;
    double line, pos;
    Font font = Plain;
    int width = 0; // 1/96 inch; 0 sized automatically
};

// Where a left-aligned text of `text` ends about at `right` (fixed texts are
// left-aligned; column titles line up with the right-aligned amounts below).
double endingAt(double right, const std::string& text) {
    std::size_t chars = 0;
    for (unsigned char ch : text)
        chars += (ch & 0xC0) != 0x80;
    return right - 0.072 * static_cast<double>(chars);
}

// A fixed text as a layout row holds it: a row starting with two digits
// names a data field ("31-60" would print the total due) and "~" the logo,
// so such a text starts with a blank.
std::string fixedText(const std::string& text) {
    const bool digits = text.size() >= 2 && std::isdigit(static_cast<unsigned char>(text[0])) &&
                        std::isdigit(static_cast<unsigned char>(text[1]));
    return digits || text == "~" ? " " + text : text;
}

std::vector<Item> statementItems(const Texts& t, const std::vector<std::string>& buckets) {
    std::vector<Item> v = {
        // The company.
        {"01", 'H', 0.50, 0.60, Name},
        {"02", 'H', 0.72, 0.60},
        {"03", 'H', 0.88, 0.60},
        {"04", 'H', 1.04, 0.60, Plain, 154},
        {"05", 'H', 1.04, 2.25, Plain, 43},
        {"06", 'H', 1.04, 2.75},
        {t.telephone, 'H', 1.20, 0.60},
        {"07", 'H', 1.20, 1.05},
        // The title, the date, the client code and the page.
        {t.title, 'H', 0.50, 5.00, Title},
        {t.date, 'H', 0.95, 5.00},
        {"16", 'H', 0.95, 6.10},
        {t.client, 'H', 1.11, 5.00},
        {"08", 'H', 1.11, 6.10},
        {t.page, 'H', 1.27, 5.00},
        {"34", 'H', 1.27, 6.10},
        // The client, placed for a window envelope.
        {"09", 'H', 1.75, 0.90, Bold},
        {"10", 'H', 1.91, 0.90},
        {"11", 'H', 2.07, 0.90},
        {"12", 'H', 2.23, 0.90, Plain, 154},
        {"13", 'H', 2.23, 2.55, Plain, 43},
        {"14", 'H', 2.23, 3.05},
        {"35", 'H', 2.39, 0.90},
        // Column titles over the lines.
        {"Date", 'H', 3.05, 0.60, Bold},
        {t.invoice, 'H', 3.05, 1.60, Bold},
        {t.debit, 'H', 3.05, endingAt(4.30, t.debit), Bold},
        {t.credit, 'H', 3.05, endingAt(5.50, t.credit), Bold},
        {t.balance, 'H', 3.05, endingAt(6.90, t.balance), Bold},
        // One line per transaction.
        {"18", 'D', 0, 0.60},
        {"19", 'D', 0, 1.60},
        {"20", 'D', 0, 3.30},
        {"21", 'D', 0, 4.50},
        {"23", 'D', 0, 5.90},
        // Interest, then the aging buckets beside the total due.
        {t.interest, 'F', 0.15, endingAt(5.70, t.interest)},
        {"33", 'F', 0.15, 5.90},
    };
    for (std::size_t i = 0; i < 5; ++i) {
        const double pos = 0.50 + 1.05 * static_cast<double>(i);
        const std::string name = fixedText(buckets[i]);
        v.push_back({name, 'F', 0.50, endingAt(pos + 1.0, name), Bold});
        v.push_back({std::to_string(26 + i), 'F', 0.68, pos}); // curr_1 .. curr_5
    }
    v.push_back({t.totalDue, 'F', 0.50, endingAt(6.90, t.totalDue), Bold});
    v.push_back({"31", 'F', 0.68, 5.90, Bold});
    return v;
}

bool holdsRows(Database& db, const std::string& table) {
    return !Cursor(db, table, true).isEmpty();
}

void writeLayout(Database& db, const std::string& prefix, const std::vector<Item>& items) {
    {
        Cursor page(db, prefix + "1");
        page.insert();
        fillBlank(page);
        page.set("Arecfrm1_page_len", kPageLength);
        page.set("Arecfrm1_page_width", kPageWidth);
        page.set("Arecfrm1_header_len", kHeader);
        page.set("Arecfrm1_detail_len", kDetail);
        page.set("Arecfrm1_footer_len", kFooter);
        page.post();
    }
    Cursor rows(db, prefix);
    Cursor fonts(db, prefix + "2");
    int index = 0;
    for (const Item& it : items) {
        ++index;
        rows.insert();
        fillBlank(rows);
        rows.set("Arecfrm_index", index);
        rows.set("Arecfrm_field", it.field);
        rows.set("Arecfrm_band", std::string(1, it.band));
        rows.set("Arecfrm_line", it.line);
        rows.set("Arecfrm_pos", it.pos);
        rows.post();
        fonts.insert();
        fillBlank(fonts);
        fonts.set("Index", index);
        fonts.set("Style", it.font == Plain ? 0 : 1);
        fonts.set("Size", it.font == Title ? 16 : it.font == Name ? 12 : 9);
        fonts.set("Width", it.width);
        fonts.post();
    }
}

} // namespace

bool writeDefaultStatementLayouts(Database& company, Language language) {
    // The bucket names are the company's own, as its control row has them.
    const CompanyTexts& texts = companyTexts(language);
    std::vector<std::string> buckets(texts.agingColumns.begin(), texts.agingColumns.end());
    {
        Cursor ctrl(company, "ctrl", true);
        if (ctrl.first())
            for (std::size_t i = 0; i < 5; ++i) {
                const std::string name = ctrl.str("Ctrl_ar_dname" + std::to_string(i + 1));
                if (name.find_first_not_of(' ') != std::string::npos) buckets[i] = name;
            }
    }
    const auto items = statementItems(language == Language::French ? kFrenchTexts : kEnglishTexts, buckets);
    bool wrote = false;
    std::optional<Transaction> tx;
    if (!company.inTransaction()) tx.emplace(company);
    // A layout the company already has, even in part, is its own: left alone.
    for (const std::string prefix : {"arecfrm", "Earecfrm"}) {
        if (holdsRows(company, prefix) || holdsRows(company, prefix + "1") ||
            holdsRows(company, prefix + "2"))
            continue;
        writeLayout(company, prefix, items);
        wrote = true;
    }
    if (tx) tx->commit();
    return wrote;
}

} // namespace vm::schema
