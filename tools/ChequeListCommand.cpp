// valmorand-admin cheque-list: the batch run of the cheques to be issued, on
// chqissue_core as the window runs it.
#include "tools/ChequeListCommand.h"
#include "common/core/RegionalSettings.h"
#include "common/core/SettingsStore.h"
#include "common/forms/LanguageTable.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/Session.h"
#include "modules/chqissue/core/ChequeList.h"
#include "modules/chqissue/core/ChequeListReport.h"
#include "report/ReportExporter.h"
#include "tools/BatchCommand.h"

#include <QGuiApplication>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>

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

// "--supplier CODE" may be given many times, the other options once each:
// the codes are taken out before the common reading. A "--supplier" without
// a value is left for it to refuse.
std::vector<std::string> takeSuppliers(std::vector<std::string>& args) {
    std::vector<std::string> codes, rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--supplier" && i + 1 < args.size())
            codes.push_back(args[++i]);
        else if (args[i].rfind("--supplier=", 0) == 0)
            codes.push_back(args[i].substr(11));
        else
            rest.push_back(args[i]);
    }
    args = std::move(rest);
    return codes;
}

} // namespace

int chequeListCommand(const std::vector<std::string>& arguments) {
    BatchCommand cmd("cheque-list", kHelp,
                     {{"new-list"},
                      {"date", true, true},
                      {"due-by", true, true},
                      {"bank", true},
                      {"from", true},
                      {"to", true},
                      {"recurring"},
                      {"language", true},
                      {"output", true},
                      {"supplier", true}});
    std::vector<std::string> args = arguments;
    const std::vector<std::string> suppliers = takeSuppliers(args);
    return cmd.run(args, [&](BatchCommand& c) {
        const std::string language = c.value("language").value_or("en");
        if (language != "en" && language != "fr") throw BatchRefused{"--language must be en or fr"};
        const bool newList = c.flag("new-list");
        // The due-by date and the bank also head the report of the list as it stands.
        if (!newList &&
            (c.flag("date") || c.flag("from") || c.flag("to") || c.flag("recurring") || !suppliers.empty()))
            throw BatchRefused{"the list options need --new-list"};
        std::optional<report::ReportExporter::Format> format;
        const auto output = c.value("output");
        if (output && !(format = formatOf(*output)))
            throw BatchRefused{"the output file must end in .pdf, .csv or .txt: " + *output};

        const std::string dataDir = c.dataDir();
        Database db(c.companyDir());
        chqissue::ListRequest r;
        r.printingDate = c.date("date").value_or(Date::today());
        r.dueBy = c.date("due-by").value_or(Date::today());
        r.fromSupplier = c.value("from").value_or("");
        r.toSupplier = c.value("to").value_or("");
        r.suppliers = suppliers;
        r.includeRecurring = c.flag("recurring");
        r.language = language == "fr" ? 2 : 1;
        if (const auto bank = c.value("bank")) {
            if (bank->empty() || bank->size() > 9 ||
                bank->find_first_not_of("0123456789") != std::string::npos)
                throw BatchRefused{"--bank must be an account number, not \"" + *bank + "\""};
            r.bankAccount = std::stoi(*bank);
        } else {
            const auto banks = chqissue::chequeBanks(db);
            if (banks.empty()) throw BatchRefused{"the company has no bank account in its chart"};
            r.bankAccount = banks.front().account;
        }
        if (newList) {
            try {
                const auto sum = chqissue::ChequeListBuilder(db).build(r);
                std::cout << "New list built: " << sum.cheques << " cheques (" << sum.fromTemplates
                          << " recurring), " << sum.negativeLeftOut << " negative left out.\n";
            } catch (const chqissue::ListRefused& e) {
                throw BatchRefused{e.what()};
            }
        }
        listEntries(db);
        if (format &&
            !writeReport(db, dataDir, c.company(), r.dueBy, r.bankAccount, r.language, *output, *format))
            return kExitFailed;
        return kExitDone;
    });
}

} // namespace vm::admin
