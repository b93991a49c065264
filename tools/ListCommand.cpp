// valmorand-admin client-list and supplier-list: the lists of the list
// windows, laid out by the same code and written as PDF, CSV or text.
#include "common/core/RegionalSettings.h"
#include "common/core/SettingsStore.h"
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/Session.h"
#include "modules/custlist/ui/ListListing.h"
#include "report/ReportDocument.h"
#include "report/ReportExporter.h"
#include "tools/BatchCommand.h"

#include <QGuiApplication>

#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace vm::admin {
namespace {

const char* const kClientHelp =
    "usage: valmorand-admin client-list DIR N --output FILE [options]\n"
    "\n"
    "Writes the list of clients of company N, as the \"List of clients\" window\n"
    "exports it. The format follows the file's extension: .pdf, .csv or .txt.\n"
    "\n"
    "Options (the window's choices):\n"
    "  --detail | --summary          detailed list (default) or one line per client\n"
    "  --from CODE, --to CODE        range of client codes, both included\n"
    "  --from-rep CODE, --to-rep CODE  range of sales reps; with --from-rep, clients\n"
    "                                without a sales rep are left out\n"
    "  --territory PATTERN           up to three positions; ? or a blank matches any\n"
    "                                character (\"?B?\": second character B)\n"
    "  --by-salesrep                 detailed list in order of sales rep\n"
    "  --language en|fr              language of the list (default: en)\n"
    "\n"
    "Exit status: 0 written, 1 failed, 2 refused (bad arguments, no such company).\n";

const char* const kSupplierHelp =
    "usage: valmorand-admin supplier-list DIR N --output FILE [options]\n"
    "\n"
    "Writes the list of suppliers of company N, as the \"List of suppliers\" window\n"
    "exports it. The format follows the file's extension: .pdf, .csv or .txt.\n"
    "\n"
    "Options (the window's choices):\n"
    "  --detail | --summary          detailed list (default) or one line per supplier\n"
    "  --from CODE, --to CODE        range of supplier codes, both included\n"
    "  --territory PATTERN           up to three positions; ? or a blank matches any\n"
    "                                character\n"
    "  --language en|fr              language of the list (default: en)\n"
    "\n"
    "Exit status: 0 written, 1 failed, 2 refused (bad arguments, no such company).\n";

report::ReportExporter::Format formatOf(const std::string& output) {
    const std::string ext = std::filesystem::path(output).extension().string();
    if (ext == ".pdf") return report::ReportExporter::Format::Pdf;
    if (ext == ".csv") return report::ReportExporter::Format::Csv;
    if (ext == ".txt") return report::ReportExporter::Format::Text;
    throw BatchRefused{"the output file must end in .pdf, .csv or .txt: " + output};
}

int listCommand(const std::vector<std::string>& args, lists::Master master) {
    const bool clients = master == lists::Master::Clients;
    std::vector<BatchCommand::Option> options{{"output", true},  {"detail"},   {"summary"},
                                              {"from", true},    {"to", true}, {"territory", true},
                                              {"language", true}};
    if (clients)
        for (BatchCommand::Option o :
             {BatchCommand::Option{"from-rep", true}, BatchCommand::Option{"to-rep", true},
              BatchCommand::Option{"by-salesrep"}})
            options.push_back(o);
    BatchCommand cmd(clients ? "client-list" : "supplier-list", clients ? kClientHelp : kSupplierHelp,
                     options);
    return cmd.run(args, [&](BatchCommand& c) {
        const std::string output = c.value("output").value_or("");
        if (output.empty()) throw BatchRefused{"--output FILE.pdf|.csv|.txt is required"};
        const report::ReportExporter::Format format = formatOf(output);
        const std::string language = c.value("language").value_or("en");
        if (language != "en" && language != "fr") throw BatchRefused{"--language must be en or fr"};
        c.refuseTogether("detail", "summary");
        c.refuseTogether("summary", "by-salesrep");

        lists::ListListingSetup s;
        lists::ListOptions& o = s.options;
        o.master = master;
        o.detailed = !c.flag("summary");
        o.fromCode = c.value("from").value_or("");
        o.toCode = c.value("to").value_or("");
        o.fromRep = c.value("from-rep").value_or("");
        o.toRep = c.value("to-rep").value_or("");
        o.territory = c.value("territory").value_or("");
        if (o.territory.size() > 3) throw BatchRefused{"--territory has at most three positions"};
        o.order = c.flag("by-salesrep") ? lists::ListOrder::Salesrep : lists::ListOrder::Code;
        s.language = language == "en" ? 1 : 2;
        s.langCode = language;
        s.userName = "valmorand-admin";

        const std::string dataDir = c.dataDir();
        const std::string dir = c.companyDir();
        {
            Session system;
            Cursor comp(system.database(dataDir), "comp", true);
            if (comp.findKey({Value(c.company())})) s.companyName = comp.str("Comp_Name");
        }

        // The list is laid out with Qt's painting, which needs an application
        // object but no display.
        if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "valmorand-admin";
        static char* argv[] = {name, nullptr};
        QGuiApplication app(argc, argv);
        s.international = core::RegionalSettings::loadCurrent(core::SettingsStore()).international();

        Session session;
        ProgressLine line;
        s.progress = [&](long long rows) { line.show(c.name() + ": " + std::to_string(rows) + " rows"); };
        const report::ReportDocument doc = lists::layOutList(session.database(dir), s);
        line.clear();
        std::string error;
        if (!report::ReportExporter::write(doc, format, output, &error)) {
            std::cerr << "valmorand-admin " << c.name() << ": " << output << ": " << error << "\n";
            return kExitFailed;
        }
        std::cout << (clients ? "List of clients" : "List of suppliers") << " of company " << c.company()
                  << " written to " << output << "\n";
        return kExitDone;
    });
}

} // namespace

int clientListCommand(const std::vector<std::string>& args) {
    return listCommand(args, lists::Master::Clients);
}

int supplierListCommand(const std::vector<std::string>& args) {
    return listCommand(args, lists::Master::Suppliers);
}

} // namespace vm::admin
