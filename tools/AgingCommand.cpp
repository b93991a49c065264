// valmorand-admin aging: the aging listing of the aging windows, laid out by
// the same code and written as PDF, CSV or text.
#include "common/core/RegionalSettings.h"
#include "common/core/SettingsStore.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/Session.h"
#include "modules/rcvaging/core/Aging.h"
#include "modules/rcvaging/ui/AgingListing.h"
#include "report/ReportDocument.h"
#include "report/ReportExporter.h"
#include "tools/BatchCommand.h"

#include <QGuiApplication>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>

namespace vm::admin {
namespace {

const char* const kHelp =
    "usage: valmorand-admin aging DIR N --ledger receivables|payables --output FILE [options]\n"
    "\n"
    "Writes the aging of accounts of company N, as the \"Aging of accounts\" window\n"
    "exports it. The format follows the file's extension: .pdf, .csv or .txt.\n"
    "\n"
    "Options (the window's choices):\n"
    "  --date YYYY-MM-DD      date of the calculation (default: today)\n"
    "  --detail | --summary   detailed listing (default) or one line per account\n"
    "  --from CODE, --to CODE range of client or supplier codes\n"
    "  --territory CODE       receivables: one territory only\n"
    "  --by-salesrep          receivables: in order of sales rep\n"
    "  --convert N            convert amounts to currency N (0 = the company's own,\n"
    "                         1-4 = the currencies named in the company's settings)\n"
    "  --currency N           print only the accounts in currency N\n"
    "  --older-than K         only transactions of aging column K (1-5) or older\n"
    "  --due-date             age from the due date instead of the invoice date\n"
    "  --subsequent           include transactions after the date\n"
    "  --zero-balance         include accounts with a zero balance\n"
    "  --history              read the history instead of the current ledger\n"
    "  --address              receivables, detailed: print the client's address\n"
    "  --comments             print the comments of the client or supplier file\n"
    "  --language en|fr       language of the listing (default: en)\n"
    "\n"
    "Exit status: 0 written, 1 failed, 2 refused (bad arguments, no such company).\n";

std::string companyName(const std::string& dataDir, int company) {
    Session session;
    Cursor comp(session.database(dataDir), "comp", true);
    return comp.findKey({Value(company)}) ? comp.str("Comp_Name") : std::string();
}

} // namespace

int agingCommand(const std::vector<std::string>& args) {
    using namespace aging;
    BatchCommand cmd("aging", kHelp,
                     {{"ledger", true},
                      {"output", true},
                      {"date", true, true},
                      {"detail"},
                      {"summary"},
                      {"from", true},
                      {"to", true},
                      {"territory", true},
                      {"by-salesrep"},
                      {"convert", true},
                      {"currency", true},
                      {"older-than", true},
                      {"due-date"},
                      {"subsequent"},
                      {"zero-balance"},
                      {"history"},
                      {"address"},
                      {"comments"},
                      {"language", true}});
    return cmd.run(args, [](BatchCommand& c) {
        const std::string ledgerName = c.value("ledger").value_or("");
        if (ledgerName != "receivables" && ledgerName != "payables")
            throw BatchRefused{"--ledger must be receivables or payables"};
        const Ledger ledger = ledgerName == "receivables" ? Ledger::Receivables : Ledger::Payables;
        const std::string output = c.value("output").value_or("");
        if (output.empty()) throw BatchRefused{"--output FILE.pdf|.csv|.txt is required"};
        const std::string ext = std::filesystem::path(output).extension().string();
        report::ReportExporter::Format format;
        if (ext == ".pdf")
            format = report::ReportExporter::Format::Pdf;
        else if (ext == ".csv")
            format = report::ReportExporter::Format::Csv;
        else if (ext == ".txt")
            format = report::ReportExporter::Format::Text;
        else
            throw BatchRefused{"the output file must end in .pdf, .csv or .txt: " + output};
        const std::string language = c.value("language").value_or("en");
        if (language != "en" && language != "fr") throw BatchRefused{"--language must be en or fr"};
        c.refuseTogether("detail", "summary");
        c.refuseTogether("summary", "address");
        c.refuseTogether("history", "zero-balance");
        if (ledger == Ledger::Payables)
            for (const char* o : {"territory", "by-salesrep", "address"})
                if (c.flag(o)) throw BatchRefused{std::string("--") + o + " is for the receivables only"};

        AgingListingSetup s;
        AgingOptions& o = s.options;
        o.ledger = ledger;
        o.today = Date::today();
        o.reportDate = c.date("date").value_or(o.today);
        o.fromCode = c.value("from").value_or("");
        o.toCode = c.value("to").value_or("");
        if (!o.toCode.empty() && o.fromCode > o.toCode)
            throw BatchRefused{"--from " + o.fromCode + " sorts after --to " + o.toCode};
        o.territory = c.value("territory").value_or("");
        o.convertTo = c.number("convert", 0, 4).value_or(-1);
        o.printCurrency = c.number("currency", 0, 4).value_or(-1);
        o.olderThan = c.number("older-than", 1, 5).value_or(0);
        o.orderBySalesman = c.flag("by-salesrep");
        o.useDueDate = c.flag("due-date");
        o.includeSubsequent = c.flag("subsequent");
        o.zeroBalance = c.flag("zero-balance");
        o.history = c.flag("history");
        s.detailed = !c.flag("summary");
        s.printAddress = c.flag("address");
        s.printComments = c.flag("comments");
        s.language = language == "en" ? 1 : 2;
        s.langCode = language;
        s.userName = "valmorand-admin";
        s.typeNames = agingTypeNames(ledger, language);

        const std::string dataDir = c.dataDir();
        const std::string dir = c.companyDir();
        s.companyName = companyName(dataDir, c.company());

        // The listing is laid out with Qt's painting, which needs an
        // application object but no display.
        if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "valmorand-admin";
        static char* argv[] = {name, nullptr};
        QGuiApplication app(argc, argv);
        core::RegionalSettings::loadCurrent(core::SettingsStore());

        Session session;
        Database& db = session.database(dir);
        {
            // Only currencies the company names can be chosen, as in the window.
            const AgingControl control = Aging::readControl(db, ledger);
            for (const char* opt : {"convert", "currency"}) {
                const int n = opt[1] == 'o' ? o.convertTo : o.printCurrency;
                if (n > 0 && control.currencyNames[static_cast<std::size_t>(n - 1)].empty())
                    throw BatchRefused{std::string("--") + opt + " " + std::to_string(n) +
                                       ": the company has no currency " + std::to_string(n)};
            }
        }
        ProgressLine line;
        s.progress = [&](long long rows) { line.show("Aging: " + std::to_string(rows) + " rows"); };
        const report::ReportDocument doc = layOutAgingListing(db, s);
        line.clear();
        std::string error;
        if (!report::ReportExporter::write(doc, format, output, &error)) {
            std::cerr << "valmorand-admin aging: " << output << ": " << error << "\n";
            return kExitFailed;
        }
        std::cout << "Aging of " << ledgerName << " of company " << c.company() << " written to " << output
                  << "\n";
        return kExitDone;
    });
}

} // namespace vm::admin
