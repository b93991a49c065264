#include "shell/core/MenuCatalog.h"

#include <stdexcept>

namespace vm::shell {
namespace {

MenuGroup group(const std::string& menu, const char* name, const char* caption,
                std::vector<MenuOption> options) {
    return MenuGroup{menu + name, caption, std::move(options)};
}

std::vector<LedgerMenu> buildMenus() {
    std::vector<LedgerMenu> m;

    m.push_back({"GeneralLedger1",
                 "General ledger",
                 MenuCatalog::GeneralLedger,
                 {{"gljrnlf", "General journal entries"},
                  {"glbalf", "Trial balance"},
                  {"glviewf", "Display of accounts"}},
                 {group("GeneralLedger", "Edit1", "Edit",
                        {{"glmaint", "Maintenance of accounts"},
                         {"glbudget", "Maintenance of budgets"},
                         {"glfinfmt", "Maintenance of financial statements"},
                         {"glrptedit", "Maintenance of reports"}}),
                  group("GeneralLedger", "Transactions1", "Transactions",
                        {{"gljrnl", "General journal entries"},
                         {"gltrans", "Transaction journal entries"},
                         {"bankrec", "Bank reconciliation"},
                         {"cashtran", "Cash transactions"}}),
                  group("GeneralLedger", "Reports1", "Reports",
                        {{"glview", "Display of accounts"},
                         {"gltrjrnl", "Transaction journals"},
                         {"gljrnlrpt", "General journal"},
                         {"glbal", "Trial balance"},
                         {"glledger", "General ledger"},
                         {"glfinstmt", "Financial statements"},
                         {"glbudrpt", "Budgets"},
                         {"gltaxrpt", "GST/HST and QST report"},
                         {"glchart", "Chart of accounts"},
                         {"glrptprt", "Print reports"}}),
                  group("GeneralLedger", "Procedures1", "Procedures",
                        {{"glupdjrnl", "Update general journal"},
                         {"glupdtrans", "Update transaction journals"},
                         {"glmonthend", "End of month procedure"},
                         {"glyearend", "End of year procedure"}})}});

    m.push_back({"AccountsReceivable1",
                 "Accounts receivable",
                 MenuCatalog::Receivables,
                 {{"cashrcptf", "Cash receipts"},
                  {"arsalesf", "Sales and adjustments"},
                  {"custviewf", "Display of clients"}},
                 {group("AccountsReceivable", "Edit1", "Edit",
                        {{"custmaint", "Maintenance of clients"},
                         {"slsmaint", "Maintenance of salesreps"},
                         {"arrptedit", "Maintenance of reports"}}),
                  group("AccountsReceivable", "Transactions1", "Transactions",
                        {{"cashrcpt", "Cash receipts"}, {"arsales", "Sales and adjustments "}}),
                  group("AccountsReceivable", "Reports1", "Reports",
                        {{"custview", "Display of clients"},
                         {"rcvaging", "Aging of accounts"},
                         {"custstmt", "Account statements"},
                         {"custlist", "List of clients"},
                         {"arlabels", "Client labels"},
                         {"arrptprt", "Print reports"},
                         {"ardeposit", "List of deposits"}}),
                  group("AccountsReceivable", "Procedures1", "Procedures",
                        {{"monthend", "End of month procedure"},
                         {"arcredit", "Suspend client credit"},
                         {"aryearend", "End of year procedure"},
                         {"arpurge", "Purge client history"}})}});

    m.push_back({"AccountsPayable1",
                 "Accounts payable",
                 MenuCatalog::Payables,
                 {{"purchjrnlf", "Purchases"},
                  {"cashdisbf", "Cash disbursements"},
                  {"vendviewf", "Display of suppliers"}},
                 {group("AccountsPayable", "Edit1", "Edit",
                        {{"vendmaint", "Maintenance of suppliers"}, {"aprptedit", "Maintenance of reports"}}),
                  group("AccountsPayable", "Transactions1", "Transactions",
                        {{"purchjrnl", "Purchases"},
                         {"cashdisb", "Cash disbursements"},
                         {"chqedit", "Edit cheque entries"},
                         {"chqrecur", "Recurring cheque entries"}}),
                  group("AccountsPayable", "Reports1", "Reports",
                        {{"vendview", "Display of suppliers"},
                         {"payaging", "Aging of accounts"},
                         {"chqissue", "List of cheques to be issued"},
                         {"vendlist", "List of suppliers"},
                         {"aprecchq", "List of recurring cheques"},
                         {"aplabels", "Supplier labels"},
                         {"aprptprt", "Print reports"}}),
                  group("AccountsPayable", "Procedures1", "Procedures",
                        {{"chqprint", "Print and update cheques"},
                         {"apmonthend", "End of month procedure"},
                         {"apyearend", "End of year procedure"},
                         {"appurge", "Purge supplier history"}})}});

    m.push_back({"Invoicing1",
                 "Invoicing",
                 MenuCatalog::Invoicing,
                 {{"faentryf", "Invoice/Order/Quote entry"},
                  {"faregisterf", "Invoice/Order/Quote register"},
                  {"faviewf", "Display Invoices/Orders/Quotes"}},
                 {group("Invoicing", "Edit1", "Edit", {{"faprod", "Maintenance of products"}}),
                  group("Invoicing", "Transactions1", "Transactions",
                        {{"faentry", "Invoice/Order/Quote entry"}, {"faservice", "Service invoice entry"}}),
                  group("Invoicing", "Reports1", "Reports",
                        {{"faview", "Display Invoices/Orders/Quotes"},
                         {"faregister", "Invoice/Order/Quote register"},
                         {"falist", "List of Invoices/Orders/Quotes"},
                         {"falabels", "Shipping labels"},
                         {"facomm", "Commissions report"}}),
                  group("Invoicing", "Procedures1", "Procedures",
                        {{"fapurge", "Purge Orders/Quotes"},
                         {"famonthend", "End of month procedure"},
                         {"fahistpurge", "Purge invoice history"}})}});

    m.push_back({"SystemManager1",
                 "System manager",
                 MenuCatalog::SystemManager,
                 {},
                 {group("SystemManager", "Edit1", "Edit",
                        {{"parmedit", "Maintenance of parameters"},
                         {"useredit", "Maintenance of users"},
                         {"firmedit", "Maintenance of companies"},
                         {"stmtfmt", "Maintenance of statement format"},
                         {"chqfmt", "Maintenance of cheque format"},
                         {"invfmt", "Maintenance of invoice/order/quote format"},
                         {"prnedit", "Maintenance of printers"}}),
                  group("SystemManager", "Transactions1", "Transactions", {}),
                  group("SystemManager", "Reports1", "Reports",
                        {{"firmlist", "List of companies"}, {"userlist", "List of users"}}),
                  group("SystemManager", "Procedures1", "Procedures", {})}});

    m.push_back({"Payroll1",
                 "Payroll",
                 MenuCatalog::Payroll,
                 {{"paentryf", "Payroll entry"},
                  {"palistf", "List of payroll entries"},
                  {"paregisterf", "Payroll register"},
                  {"pachqf", "Print payroll cheques"},
                  {"paupdatef", "Update payroll entries"}},
                 {group("Payroll", "Edit1", "Edit",
                        {{"paemploy", "Maintenance of employees"},
                         {"parptedit", "Maintenance of reports"},
                         {"patax", "Maintenance of tax rates"},
                         {"parl1amt", "Maintenance of Relevé 1 amounts"},
                         {"pat4amt", "Maintenance of T4 amounts"},
                         {"parl1fmt", "Maintenance of Relevé 1 format"},
                         {"pat4fmt", "Maintenance of T4 format"},
                         {"pachqfmt", "Maintenance of cheque format"},
                         {"pawork", "Maintenance of work codes"},
                         {"padept", "Maintenance of departments"},
                         {"paroe", "Maintenance of record of employment"},
                         {"pactrl", "Maintenance of controls"},
                         {"papaytype", "Maintenance of pay types"},
                         {"paunion", "Maintenance of union dues"},
                         {"pametier", "Maintenance of metier codes"}}),
                  group("Payroll", "Transactions1", "Transactions",
                        {{"paentry", "Payroll entry"}, {"pamanual", "Manual payroll modifications"}}),
                  group("Payroll", "Reports1", "Reports",
                        {{"paview", "Display of employees"},
                         {"palist", "List of payroll entries"},
                         {"paregister", "Payroll register"},
                         {"parptprt", "Print reports"},
                         {"paremit", "Remittance report"},
                         {"pahistory", "History register"},
                         {"paccq", "Print CCQ report"}}),
                  group("Payroll", "Procedures1", "Procedures",
                        {{"pachq", "Print payroll cheques"},
                         {"paupdate", "Update payroll entries"},
                         {"payearend", "End of year procedure"},
                         {"parl1", "Print Relevé 1 slips"},
                         {"pat4", "Print T4 slips"},
                         {"pacreate", "Create payroll files"},
                         {"paroeprt", "Print record of employment"}})}});

    m.push_back(
        {"Tracker1",
         "Tracker",
         MenuCatalog::Tracker,
         {{"trkcreate", "Create database"}},
         {group("Tracker", "Edit1", "Edit",
                {{"trkfiles", "Maintenance of files"},
                 {"trkrptedit", "Maintenance of reports"},
                 {"trkstmtfmt", "Maintenance of statement format"}}),
          group("Tracker", "Transactions1", "Transactions", {{"trkentry", "Enter transactions"}}),
          group("Tracker", "Reports1", "Reports",
                {{"trkview", "Display of files"},
                 {"trkrptprt", "Print reports"},
                 {"trklist", "List of transactions"},
                 {"trkaging", "Print aging"},
                 {"trkstmt", "Print statements"},
                 {"trklabels", "Print labels"}}),
          group("Tracker", "Procedures1", "Procedures",
                {{"trkmonthend", "End of month procedure"}, {"trkyearend", "End of year procedure"}})},
         false});

    m.push_back({"JobCost1",
                 "Job cost",
                 MenuCatalog::JobCost,
                 {{"jctransf", "Transaction entry"}, {"jcinvtransf", "Inventory transaction entry"}},
                 {group("JobCost", "Edit1", "Edit",
                        {{"jcctrl", "Maintenance of controls"},
                         {"jcproject", "Maintenance of projects"},
                         {"jcbudget", "Projects budgets entry"},
                         {"jcphase", "Maintenance of phases"},
                         {"jcelement", "Maintenance of elements"},
                         {"jcsector", "Maintenance of sectors"},
                         {"jcunit", "Maintenance of units"},
                         {"jcrptedit", "Maintenance of reports"},
                         {"jcstatedit", "Maintenance of stats. reports"}}),
                  group("JobCost", "Transactions1", "Transactions",
                        {{"jctrans", "Transaction entry"}, {"jcinvtrans", "Inventory transaction entry"}}),
                  group("JobCost", "Reports1", "Reports",
                        {{"jcview", "Display of projects"},
                         {"jclist", "List of transactions"},
                         {"jcrptprt", "Print reports"},
                         {"jcstatprt", "Print stats. reports"},
                         {"jccost", "Cost sheet report"},
                         {"jcpreinv", "Pre-invoicing report"},
                         {"jcporec", "Purchase order reconciliation"},
                         {"jcprojlist", "List of projects"},
                         {"jcphaselist", "List of phases"},
                         {"jcelemlist", "List of elements"},
                         {"jcphaseevent", "List of phases by event"}}),
                  group("JobCost", "Procedures1", "Procedures",
                        {{"jcupdate", "Update transactions"},
                         {"jcmonthend", "End of month procedure"},
                         {"jcyearend", "End of year procedure"}})}});
    return m;
}

} // namespace

const std::vector<LedgerMenu>& MenuCatalog::ledgerMenus() {
    static const std::vector<LedgerMenu> menus = buildMenus();
    return menus;
}

const LedgerMenu& MenuCatalog::menu(int tag) {
    for (const auto& m : ledgerMenus())
        if (m.tag == tag) return m;
    throw std::out_of_range("no ledger menu with tag " + std::to_string(tag));
}

const MenuOption* MenuCatalog::findOption(std::string_view name) {
    for (const auto& m : ledgerMenus())
        for (const auto& g : m.groups)
            for (const auto& o : g.options)
                if (o.name == name) return &o;
    return nullptr;
}

std::optional<int> MenuCatalog::tagOf(std::string_view optionName) {
    for (const auto& m : ledgerMenus())
        for (const auto& g : m.groups)
            for (const auto& o : g.options)
                if (o.name == optionName) return m.tag;
    return std::nullopt;
}

std::optional<SharedReport> sharedReportFor(std::string_view code) {
    static const struct {
        const char* code;
        const char* library;
        const char* prefix;
    } kEntries[] = {
        {"glrptprt", "rptprint", "gl"}, {"arrptprt", "rptprint", "ar"}, {"aprptprt", "rptprint", "ap"},
        {"parptprt", "rptprint", "pa"}, {"glrptedit", "rptedit", "gl"}, {"arrptedit", "rptedit", "ar"},
        {"aprptedit", "rptedit", "ap"}, {"parptedit", "rptedit", "pa"},
    };
    for (const auto& e : kEntries)
        if (code == e.code) return SharedReport{e.library, e.prefix};
    return std::nullopt;
}

} // namespace vm::shell
