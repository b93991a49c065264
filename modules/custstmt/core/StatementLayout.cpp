#include "modules/custstmt/core/StatementLayout.h"

#include "common/core/LocalFiles.h"
#include "engine/Cursor.h"
#include "engine/Database.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>

namespace vm::custstmt {

namespace {

const char* const kFields[35] = {
    "Comp_name",      "Comp_adr1",       "Comp_adr2",     "Comp_city",  "Comp_prov",   "Comp_postal_code",
    "Comp_telephone", "Cli_Code",        "Cli_name",      "Cli_Adr1",   "Cli_adr2",    "Cli_city",
    "Cli_prov",       "Cli_postal_code", "Cli_territory", "Cli_date",   "Cli_fax",     "Car_date",
    "Car_Invoice",    "Car_Debit",       "Car_credit",    "Car_Amount", "Car_Balance", "Car_tax1",
    "Car_tax2",       "curr_1",          "curr_2",        "curr_3",     "curr_4",      "curr_5",
    "Curr_6",         "Car_interest",    "Curr_7",        "Curr_8",     "Cli_country"};

std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

} // namespace

const char* dataFieldName(int n) {
    return n >= 1 && n <= 35 ? kFields[n - 1] : "";
}

bool rightAligned(int n) {
    return n >= 20 && n <= 32;
}

LayoutBand bandOf(const std::string& t) {
    if (t.empty()) return LayoutBand::None;
    switch (std::toupper(static_cast<unsigned char>(t[0]))) {
    case 'H':
    case 'E':
        return LayoutBand::Header;
    case 'D':
        return LayoutBand::Detail;
    case 'F':
    case 'B':
        return LayoutBand::Footer;
    default:
        return LayoutBand::None;
    }
}

StatementLayout readStatementLayout(Database& db, bool email) {
    const std::string px = email ? "Earecfrm" : "arecfrm";
    StatementLayout l;
    {
        Cursor page(db, px + "1", true);
        if (page.first()) {
            l.hasPage = true;
            l.pageLength = page.dbl("Arecfrm1_page_len");
            l.pageWidth = page.dbl("Arecfrm1_page_width");
            l.headerLength = page.dbl("Arecfrm1_header_len");
            l.detailLength = page.dbl("Arecfrm1_detail_len");
            l.footerLength = page.dbl("Arecfrm1_footer_len");
        }
    }
    struct Font {
        int style = 0, size = 0, width = 0;
        std::string name;
    };
    std::map<int, Font> fonts;
    {
        Cursor f(db, px + "2", true);
        for (bool ok = f.first(); ok; ok = f.next())
            fonts[static_cast<int>(f.integer("Index"))] = {
                static_cast<int>(f.integer("Style")), static_cast<int>(f.integer("Size")),
                static_cast<int>(f.integer("Width")), f.str("Fontname")};
    }
    Cursor c(db, px, true);
    for (bool ok = c.first(); ok; ok = c.next()) {
        LayoutItem it;
        it.index = static_cast<int>(c.integer("Arecfrm_index"));
        const std::string field = c.str("Arecfrm_field");
        it.band = bandOf(c.str("Arecfrm_band"));
        it.line = c.dbl("Arecfrm_line");
        it.pos = c.dbl("Arecfrm_pos");
        if (field == "~") {
            it.logo = true;
            it.band = LayoutBand::Header; // the logo always sits in the page header
        } else if (field.size() >= 2 && std::isdigit(static_cast<unsigned char>(field[0])) &&
                   std::isdigit(static_cast<unsigned char>(field[1]))) {
            const int n = (field[0] - '0') * 10 + (field[1] - '0');
            if (n >= 1 && n <= 35)
                it.fieldNumber = n;
            else
                it.invalidField = true;
        } else {
            it.text = field;
        }
        if (auto f = fonts.find(it.index); f != fonts.end()) {
            it.size = f->second.size;
            it.bold = f->second.style == 1;
            it.underline = f->second.style == 2;
            it.widthInches = f->second.width > 0 ? f->second.width / 96.0 : 0;
            it.fontName = f->second.name;
        }
        l.items.push_back(std::move(it));
    }
    return l;
}

std::string logoPath(const std::string& company) {
    const std::string companyDir = core::localFilesDir(company);
    std::ifstream in(std::filesystem::path(companyDir) / "arecfrmI.dat");
    if (!in) return {};
    std::string line;
    std::getline(in, line);
    const std::string first = trimmed(line.substr(0, line.find(',')));
    if (first.empty()) return {};
    std::filesystem::path p(first);
    if (p.is_relative()) p = std::filesystem::path(companyDir) / p;
    return p.string();
}

} // namespace vm::custstmt
