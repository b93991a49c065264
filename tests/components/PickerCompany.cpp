#include "tests/components/PickerCompany.h"

#include "engine/Database.h"

#include <cstdio>

namespace vm::test {

PickerCompany& PickerCompany::instance() {
    static PickerCompany data;
    return data;
}

PickerCompany::PickerCompany() {
    TempCompany& c = company_;
    Transaction tx(c.db());
    // The ordinary clients go in by plain SQL: a cursor insert per row would
    // make every test run wait for the set-up.
    char code[16];
    char name[32];
    for (int i = 1; i <= kOrdinaryClients; ++i) {
        std::snprintf(code, sizeof code, "C%05d", i);
        std::snprintf(name, sizeof name, "Client %05d", i);
        c.db().execute("INSERT INTO cli (Cli_code, Cli_name, Cli_city, Cli_tel) VALUES (?, ?, ?, ?)",
                       {code, name, "Laval", "450-555-0100"});
    }
    c.addClient("A100", "100% Bio Inc.", {{"Cli_city", "Montréal"}});
    c.addClient("A200", "Boulangerie O'Neil", {{"Cli_city", "Québec"}});
    c.addClient("A300", "Dupont_Fils", {{"Cli_city", "Sherbrooke"}});
    c.addClient("A400", "Tremblay \\ Frères", {{"Cli_city", "Gatineau"}});

    c.addSupplier("S100", "Acme Supplies");
    c.addSupplier("S200", "Bureau 50% Plus");
    c.addSupplier("S300", "Papeterie L'Ami");

    c.addAccount(1000, "Bank");
    c.addAccount(1010, "Petty cash");
    c.addAccount(2000, "Accounts payable");
    c.addAccount(4000, "Sales");

    c.addRow("slsm", {{"Slsm_code", "JB"}, {"Slsm_nom", "Jean Bélanger"}});
    c.addRow("slsm", {{"Slsm_code", "MT"}, {"Slsm_nom", "Marie Tremblay"}});
    c.addRow("slsm", {{"Slsm_code", "PL"}, {"Slsm_nom", "Pierre Lavoie"}});
    tx.commit();

    Database& root = c.dataRoot();
    c.addRow(root, "arterr", {{"Arterr_code", "MTL"}, {"Arterr_desc", "Montréal"}});
    c.addRow(root, "arterr", {{"Arterr_code", "QUE"}, {"Arterr_desc", "Québec"}});
    c.addRow(root, "arterr", {{"Arterr_code", "TOR"}, {"Arterr_desc", "Toronto"}});
    c.addRow(root, "arterms", {{"Arterms_code", 1}, {"Arterms_desc", "Net 30 days"}, {"Arterms_days", 30}});
    c.addRow(root, "arterms", {{"Arterms_code", 2}, {"Arterms_desc", "2% 10, net 30"}, {"Arterms_days", 30}});
    c.addRow(root, "arterms",
             {{"Arterms_code", 3}, {"Arterms_desc", "Cash on delivery"}, {"Arterms_days", 0}});
}

} // namespace vm::test
