#include "shell/core/ToolsTable.h"

#include "engine/Cursor.h"
#include "engine/Database.h"
#include "shell/core/MenuCatalog.h"

namespace vm::shell {

TableDef ToolsTable::layout() {
    TableDef def;
    def.name = "apps";
    def.fields = {
        {"Application_name", FieldType::Text, 60, false},
        {"Application_name_fr", FieldType::Text, 60, false},
        {"Application_pgm", FieldType::Text, 60, false},
        {"Application_about", FieldType::Text, 200, false},
        {"Application_about_fr", FieldType::Text, 200, false},
        {"Application_security", FieldType::Text, 60, false},
        {"Application_type", FieldType::Boolean, 0, false},
        {"Application_directory", FieldType::Text, 240, false},
    };
    return def;
}

std::vector<ToolEntry> ToolsTable::load(Database& dataRoot) {
    if (!dataRoot.tableExists("apps")) {
        Transaction tx(dataRoot);
        dataRoot.createTable(layout());
        Cursor c(dataRoot, "apps");
        c.insert();
        c.set("Application_name", "Maintenance of Tools menu");
        c.set("Application_name_fr", "Maintenance du menu Outils");
        c.set("Application_pgm", MenuCatalog::kToolsMaintenance);
        c.set("Application_about", "Security like Maintenance of parameters");
        c.set("Application_about_fr", "Sécurité comme Maintenance des paramètres");
        c.set("Application_security", MenuCatalog::kParameters);
        c.set("Application_type", true);
        c.set("Application_directory", "");
        c.post();
        tx.commit();
    }
    std::vector<ToolEntry> tools;
    Cursor c(dataRoot, "apps", true);
    for (bool ok = c.first(); ok; ok = c.next()) {
        ToolEntry t;
        t.name = c.str("Application_name");
        t.nameFr = c.str("Application_name_fr");
        t.program = c.str("Application_pgm");
        t.about = c.str("Application_about");
        t.aboutFr = c.str("Application_about_fr");
        t.security = c.str("Application_security");
        t.isModule = c.boolean("Application_type");
        t.directory = c.str("Application_directory");
        tools.push_back(std::move(t));
    }
    return tools;
}

std::optional<bool> ToolsTable::inheritedState(const std::string& security,
                                               const std::function<bool(const std::string&)>& optionEnabled) {
    const int order[] = {MenuCatalog::GeneralLedger, MenuCatalog::Receivables,   MenuCatalog::Payables,
                         MenuCatalog::Invoicing,     MenuCatalog::SystemManager, MenuCatalog::Payroll,
                         MenuCatalog::JobCost};
    for (int tag : order)
        for (const auto& g : MenuCatalog::menu(tag).groups)
            for (const auto& o : g.options)
                if (o.name == security) return optionEnabled(o.name);
    return std::nullopt;
}

} // namespace vm::shell
