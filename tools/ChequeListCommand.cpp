// The batch run of the cheques to be issued. Its argument reading is kept in
// this file, on the pattern of the other batch commands (DIR N, "--name" or
// "--name VALUE", ISO dates checked before any table is opened).
#include "tools/ChequeListCommand.h"

#include "common/core/RegionalSettings.h"
#include "common/core/SettingsStore.h"
#include "common/forms/LanguageTable.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Session.h"
#include "modules/chqissue/core/ChequeList.h"
#include "modules/chqissue/core/ChequeListReport.h"
#include "report/ReportExporter.h"
#include "schema/Schema.h"

#include <QGuiApplication>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>

namespace fs = std::filesystem;

namespace vm::admin {
namespace {

const char* const kHelp =
    "usage: valmorand-admin cheque-list DIR N [--new-list [--date D] [--due-by D] [--bank ACCOUNT]\n"
    "                                   [--from CODE] [--to CODE] [--supplier CODE]... [--recurring]\n"
    "                                   [--language en|fr]] [--output FILE.pdf|.csv|.txt]\n"
    "Lists the cheques to be issued of company N. With --new-list, first replaces them with a new list\n"
    "built from the suppliers' open invoices: cheques dated D (default today) for the invoices due by\n"
    "the --due-by date (default today), drawn on the bank ACCOUNT (default the company's first bank),\n"
    "for the suppliers from/to the codes given and/or those named by --supplier, with the recurring\n"
    "cheques of that bank when --recurring is given, the amounts in words in English (en) or French\n"
    "(fr). With --output, writes the report \"List of cheques to be issued\" in the --language,\n"
    "as PDF, CSV or text after the file's extension. Dates are YYYY-MM-DD.\n"
    "Exit status: 0 done, 1 failed (the previous list is kept), 2 refused.\n";

struct Refused {
    std::string message;
};

struct Args {
    std::string root;
    int company = 0;
    bool newList = false, recurring = false;
    std::map<std::string, std::string> values;
    std::vector<std::string> suppliers;
};

Args parse(const std::vector<std::string>& a) {
    if (a.size() < 2) throw Refused{"cheque-list needs the directory and the company number"};
    Args r;
    r.root = a[0];
    const std::string& n = a[1];
    if (n.empty() || n.size() > 3 || n.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(n) < 1 || std::stoi(n) > schema::kMaxCompany)
        throw Refused{"the company number must be from 1 to " + std::to_string(schema::kMaxCompany) +
                      ", not \"" + n + "\""};
    r.company = std::stoi(n);
    for (std::size_t i = 2; i < a.size(); ++i) {
        std::string name = a[i], value;
        bool inlineValue = false;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            inlineValue = true;
        }
        if (name == "--new-list" || name == "--recurring") {
            if (inlineValue) throw Refused{"option " + name + " takes no value"};
            (name == "--new-list" ? r.newList : r.recurring) = true;
            continue;
        }
        if (name != "--date" && name != "--due-by" && name != "--bank" && name != "--from" &&
            name != "--to" && name != "--supplier" && name != "--language" && name != "--output")
            throw Refused{"unknown option " + a[i]};
        if (!inlineValue) {
            if (i + 1 >= a.size()) throw Refused{"option " + name + " needs a value"};
            value = a[++i];
        }
        if (name == "--supplier")
            r.suppliers.push_back(value);
        else
            r.values[name] = value;
    }
    return r;
}

Date dateOption(const Args& a, const std::string& name) {
    const auto it = a.values.find(name);
    if (it == a.values.end()) return Date::today();
    const auto d = Date::fromIso(it->second);
    if (!d || d->isNull()) throw Refused{name + " must be a date YYYY-MM-DD, not \"" + it->second + "\""};
    return *d;
}

std::string companyDir(const Args& a) {
    std::error_code ec;
    if (a.root.empty() || !fs::is_directory(a.root, ec))
        throw Refused{"\"" + a.root + "\" is not an existing directory"};
    const std::string dataDir = schema::dataDirOf(fs::absolute(a.root, ec).string());
    if (!schema::isDataRoot(dataDir)) throw Refused{dataDir + " is not a data directory"};
    const std::string dir = schema::companyDirOf(dataDir, a.company);
    if (!fs::is_regular_file(fs::path(dir) / Database::kFileName, ec))
        throw Refused{"company " + std::to_string(a.company) + " does not exist (" + dir + ")"};
    return dir;
}

chqissue::ListRequest request(const Args& a, Database& db) {
    chqissue::ListRequest r;
    r.printingDate = dateOption(a, "--date");
    r.dueBy = dateOption(a, "--due-by");
    r.suppliers = a.suppliers;
    r.includeRecurring = a.recurring;
    if (auto it = a.values.find("--from"); it != a.values.end()) r.fromSupplier = it->second;
    if (auto it = a.values.find("--to"); it != a.values.end()) r.toSupplier = it->second;
    const auto banks = chqissue::chequeBanks(db);
    if (auto it = a.values.find("--bank"); it != a.values.end()) {
        const std::string& k = it->second;
        if (k.empty() || k.size() > 9 || k.find_first_not_of("0123456789") != std::string::npos)
            throw Refused{"--bank must be an account number, not \"" + k + "\""};
        r.bankAccount = std::stoi(k);
    } else {
        if (banks.empty()) throw Refused{"the company has no bank account in its chart"};
        r.bankAccount = banks.front().account;
    }
    return r;
}

void listEntries(Database& db) {
    Cursor h(db, "apchqh", true);
    int count = 0;
    Money total;
    for (bool on = h.first(); on; on = h.next()) {
        ++count;
        total += h.money("Apchqh_Montant");
        char seq[16];
        std::snprintf(seq, sizeof seq, "%6lld", static_cast<long long>(h.integer("Apchqh_seq")));
        std::cout << seq << "  " << h.str("Apchqh_fou") << "  " << h.str("Apchqh_nom") << "  "
                  << h.money("Apchqh_Montant").toString() << "\n";
    }
    std::cout << count << (count == 1 ? " cheque, " : " cheques, ") << "total " << total.toString() << "\n";
}

std::optional<report::ReportExporter::Format> formatOf(const std::string& path) {
    const auto dot = path.rfind('.');
    std::string ext = dot == std::string::npos ? "" : path.substr(dot + 1);
    for (char& ch : ext)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (ext == "pdf") return report::ReportExporter::Format::Pdf;
    if (ext == "csv") return report::ReportExporter::Format::Csv;
    if (ext == "txt") return report::ReportExporter::Format::Text;
    return std::nullopt;
}

bool writeReport(Database& db, const std::string& dataDir, int company, Date dueBy, std::int32_t bank,
                 int language, const std::string& output, report::ReportExporter::Format format) {
    // The report is laid out with Qt's painting, which needs an application
    // object but no display.
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "valmorand-admin";
    static char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    const auto& regional = core::RegionalSettings::loadCurrent(core::SettingsStore());

    chqissue::ChequeReportSetup s;
    {
        Session session;
        Cursor comp(session.database(dataDir), "comp", true);
        if (comp.findKey({Value(company)})) s.companyName = comp.str("Comp_Name");
    }
    s.userName = "valmorand-admin";
    s.dueBy = dueBy;
    s.language = language;
    s.currencySymbol = chqissue::bankCurrencySign(db, bank, regional.currencySymbol);
    s.symbolBefore = regional.symbolBefore();
    s.dateMask = regional.dateFormat;
    for (char& ch : s.dateMask)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    std::unique_ptr<forms::LanguageTable> table;
    try {
        table = std::make_unique<forms::LanguageTable>("chqissue", language == 2 ? "fr" : "en");
    } catch (const std::exception&) {
        // Without the language tables the report keeps its built-in captions.
    }
    if (table)
        s.caption = [&](const std::string& component) -> std::optional<std::string> {
            if (auto e = table->find(chqissue::ChequeListReport::kFormName, component)) return e->caption;
            return std::nullopt;
        };
    const report::ReportDocument doc = chqissue::ChequeListReport::layOut(db, s);
    std::string error;
    if (!report::ReportExporter::write(doc, format, output, &error)) {
        std::cerr << "valmorand-admin cheque-list: " << output << ": " << error << "\n";
        return false;
    }
    std::cout << "List of cheques written to " << output << "\n";
    return true;
}

} // namespace

int chequeListCommand(const std::vector<std::string>& args) {
    try {
        for (const auto& a : args)
            if (a == "--help" || a == "-h") {
                std::cout << kHelp;
                return 0;
            }
        const Args a = parse(args);
        int language = 1;
        if (auto it = a.values.find("--language"); it != a.values.end()) {
            if (it->second != "en" && it->second != "fr")
                throw Refused{"--language must be en or fr, not \"" + it->second + "\""};
            language = it->second == "fr" ? 2 : 1;
        }
        // The due-by date and the bank also head the report of the list as it stands.
        const bool listOptions = a.recurring || !a.suppliers.empty() || a.values.count("--date") ||
                                 a.values.count("--from") || a.values.count("--to");
        if (!a.newList && listOptions) throw Refused{"the list options need --new-list"};
        std::optional<report::ReportExporter::Format> format;
        const auto output = a.values.find("--output");
        if (output != a.values.end() && !(format = formatOf(output->second)))
            throw Refused{"the output file must end in .pdf, .csv or .txt: " + output->second};
        // Dates are checked before any table is opened.
        dateOption(a, "--date");
        const Date dueBy = dateOption(a, "--due-by");
        const std::string dir = companyDir(a);
        Database db(dir);
        const chqissue::ListRequest r = request(a, db);
        if (a.newList) {
            chqissue::ListRequest r2 = r;
            r2.language = language;
            const auto sum = chqissue::ChequeListBuilder(db).build(r2);
            std::cout << "New list built: " << sum.cheques << " cheques (" << sum.fromTemplates
                      << " recurring), " << sum.negativeLeftOut << " negative left out.\n";
        }
        listEntries(db);
        if (format && !writeReport(db, schema::dataDirOf(fs::absolute(a.root).string()), a.company, dueBy,
                                   r.bankAccount, language, output->second, *format))
            return 1;
        return 0;
    } catch (const Refused& e) {
        std::cerr << "valmorand-admin cheque-list: " << e.message << "\n" << kHelp;
        return 2;
    } catch (const chqissue::ListRefused& e) {
        std::cerr << "valmorand-admin cheque-list: " << e.what() << "\n";
        return 2;
    } catch (const EngineError& e) {
        std::cerr << "valmorand-admin cheque-list: database error " << e.code() << ": " << e.what() << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "valmorand-admin cheque-list: " << e.what() << "\n";
        return 1;
    }
}

} // namespace vm::admin
