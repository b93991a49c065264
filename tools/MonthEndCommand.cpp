// valmorand-admin month-end: the receivables end of month of the window, run
// on the same core.
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Session.h"
#include "modules/monthend/core/MonthEnd.h"
#include "tools/BatchCommand.h"

#include <chrono>
#include <iostream>
#include <thread>

namespace vm::admin {
namespace {

using monthend::MonthEnd;
using monthend::MonthEndResult;

const char* const kHelp = "usage: valmorand-admin month-end DIR N --cutoff YYYY-MM-DD\n"
                          "\n"
                          "Closes the receivables month of company N, as \"End of month procedure\" does:\n"
                          "every invoice whose ledger entries dated on or before the cut-off date add up\n"
                          "to zero leaves the ledger (copied to the history first when the company keeps\n"
                          "receivables history); entries after the cut-off are never touched and client\n"
                          "balances do not change; the month's sales of every client and sales rep go\n"
                          "to zero; the receivables period moves on by one, except in the last period\n"
                          "of the year.\n"
                          "\n"
                          "The run is one transaction: when it fails or is interrupted nothing is\n"
                          "changed and it can be run again. A record held on another workstation is\n"
                          "waited for up to 30 seconds.\n"
                          "\n"
                          "Exit status: 0 done, 1 the run failed (nothing changed), 2 refused (bad\n"
                          "arguments, no such company).\n";

constexpr int kLockWaitSeconds = 30;

} // namespace

int monthEndCommand(const std::vector<std::string>& args) {
    BatchCommand cmd("month-end", kHelp, {{"cutoff", true, true}});
    return cmd.run(args, [](BatchCommand& c) {
        const std::optional<Date> cutoff = c.date("cutoff");
        if (!cutoff) throw BatchRefused{"--cutoff YYYY-MM-DD is required"};
        Session session;
        Database& db = session.database(c.companyDir());

        ProgressLine line;
        MonthEnd run(db);
        run.setProgress([&](std::int64_t done, std::int64_t total) {
            line.done(static_cast<int>(done), static_cast<int>(total), "Month end");
            return true;
        });
        std::optional<MonthEndResult> r;
        for (int waited = 0;; ++waited) {
            try {
                r = run.run(*cutoff);
                break;
            } catch (const EngineError& e) {
                if (!e.isLock() || waited >= kLockWaitSeconds) throw;
                line.show("A record is in use on another workstation; waiting...", true);
            }
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
        line.clear();
        std::cout << "Month end of company " << c.company() << " up to " << cutoff->toIso() << ":\n"
                  << "  " << r->invoicesPurged << " paid invoices purged (" << r->rowsDeleted
                  << " ledger rows deleted, " << r->rowsToHistory << " copied to history)\n"
                  << "  " << r->clientsReset << " clients and " << r->salesmenReset
                  << " sales reps: sales of the month set to 0\n";
        if (r->newPeriod != r->oldPeriod)
            std::cout << "  Receivables period " << r->oldPeriod << " -> " << r->newPeriod << "\n";
        else
            std::cout << "  Receivables period stays " << r->newPeriod
                      << ": last period of the year, run the end of year procedure\n";
        return kExitDone;
    });
}

} // namespace vm::admin
