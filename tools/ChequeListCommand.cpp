// The batch run of the cheques to be issued. Its argument reading is kept in
// this file, on the pattern of the other batch commands (DIR N, "--name" or
// "--name VALUE", ISO dates checked before any table is opened).
#include "tools/ChequeListCommand.h"

#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "modules/chqissue/core/ChequeList.h"
#include "schema/Schema.h"

#include <algorithm>
#include <cstdio>
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
    "                                   [--language en|fr]]\n"
    "Lists the cheques to be issued of company N. With --new-list, first replaces them with a new list\n"
    "built from the suppliers' open invoices: cheques dated D (default today) for the invoices due by\n"
    "the --due-by date (default today), drawn on the bank ACCOUNT (default the company's first bank),\n"
    "for the suppliers from/to the codes given and/or those named by --supplier, with the recurring\n"
    "cheques of that bank when --recurring is given, the amounts in words in English (en) or French\n"
    "(fr). Dates are YYYY-MM-DD.\n";

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
            name != "--to" && name != "--supplier" && name != "--language")
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
        const bool listOptions = a.recurring || !a.suppliers.empty() ||
                                 std::any_of(a.values.begin(), a.values.end(),
                                             [](const auto& v) { return v.first != "--language"; });
        if (!a.newList && listOptions) throw Refused{"the list options need --new-list"};
        // Dates are checked before any table is opened.
        dateOption(a, "--date");
        dateOption(a, "--due-by");
        Database db(companyDir(a));
        if (a.newList) {
            chqissue::ListRequest r = request(a, db);
            r.language = language;
            const auto sum = chqissue::ChequeListBuilder(db).build(r);
            std::cout << "New list built: " << sum.cheques << " cheques (" << sum.fromTemplates
                      << " recurring), " << sum.negativeLeftOut << " negative left out.\n";
        }
        listEntries(db);
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
