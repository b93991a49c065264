// The list of cheques to be issued for 1,000 suppliers with 100,000 open
// payables rows, beside one SQL pass that reads the same rows grouped by
// invoice; then the list's report rendered to PDF.
#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/Session.h"
#include "modules/chqissue/core/ChequeList.h"
#include "modules/chqissue/core/ChequeListReport.h"
#include "report/ReportExporter.h"
#include "schema/Schema.h"

#include <QGuiApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

using namespace vm;
using Clock = std::chrono::steady_clock;

namespace {

double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// Processor time of this process: the machine may be shared.
double cpuSince(std::clock_t since) {
    return static_cast<double>(std::clock() - since) / CLOCKS_PER_SEC;
}

} // namespace

int main(int argc, char** argv) {
    const int suppliers = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int rowsPerSupplier = argc > 2 ? std::atoi(argv[2]) : 100;
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);

    std::string tmpl = (std::filesystem::temp_directory_path() / "vmbench-chqissue-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return 1;
    const std::string root = tmpl;
    const std::string dataDir = schema::dataDirOf(root);
    schema::createDataRoot(dataDir);
    schema::createCompany(dataDir, 1, "Bench Co");
    Session session;
    Database& db = session.database(schema::companyDirOf(dataDir, 1));

    auto t = Clock::now();
    {
        Transaction tx(db, true);
        db.execute(
            "INSERT INTO glm (Glm_account, Glm_Description, Glm_summarize) VALUES (1000, 'Bank', 'N')");
        db.execute(
            "INSERT INTO glm (Glm_account, Glm_Description, Glm_summarize) VALUES (5100, 'Discounts', 'N')");
        db.execute(
            "UPDATE ctrl SET Ctrl_bank_accnt1 = 1000, Ctrl_ap_disb_accnt2 = 5100, Ctrl_ap_accnt = 2100");
        char code[16], invoice[16], due[16];
        for (int s = 0; s < suppliers; ++s) {
            std::snprintf(code, sizeof code, "S%05d", s);
            db.execute(
                "INSERT INTO sup (Sup_code, Sup_name, Sup_bank_account, Sup_pmt_discount, Sup_currency) "
                "VALUES (?, ?, 1000, ?, 0)",
                {Value(code), Value(std::string("Supplier ") + code), Value(s % 2 ? 2.0 : 0.0)});
            for (int i = 0; i < rowsPerSupplier; ++i) {
                std::snprintf(invoice, sizeof invoice, "I%06d", i);
                std::snprintf(due, sizeof due, "2026-%02d-%02d", 1 + i % 12, 1 + i % 28);
                db.execute("INSERT INTO cap (Cap_supplier, Cap_invoice, Cap_type, Cap_date, Cap_du_date, "
                           "Cap_amount) VALUES (?, ?, '1', '2026-01-01', ?, ?)",
                           {Value(code), Value(invoice), Value(due),
                            Value(static_cast<std::int64_t>(1000000 + 137 * i + s))});
            }
        }
        tx.commit();
    }
    std::printf("company: %d suppliers, %d open cap rows built in %.1f s\n", suppliers,
                suppliers * rowsPerSupplier, seconds(t));

    // One SQL pass: the same rows, grouped by supplier and invoice.
    auto c = std::clock();
    long long groups = 0;
    {
        Query q(db, "SELECT c.Cap_supplier, c.Cap_invoice, SUM(c.Cap_amount), MIN(c.Cap_du_date) FROM sup s "
                    "JOIN cap c "
                    "ON c.Cap_supplier = s.Sup_code WHERE s.Sup_bank_account = 1000 AND c.Cap_du_date <= "
                    "'2026-12-31' "
                    "GROUP BY c.Cap_supplier, c.Cap_invoice ORDER BY c.Cap_supplier, c.Cap_invoice");
        while (q.next())
            ++groups;
    }
    const double sqlTime = cpuSince(c);
    std::printf("one SQL pass:   %lld invoices in %.3f s of processor time\n", groups, sqlTime);

    chqissue::ListRequest r;
    r.printingDate = Date::fromYmd(2026, 6, 15);
    r.dueBy = Date::fromYmd(2026, 12, 31);
    r.bankAccount = 1000;
    c = std::clock();
    t = Clock::now();
    const auto sum = chqissue::ChequeListBuilder(db).build(r);
    const double buildTime = cpuSince(c);
    const double buildWall = seconds(t);
    std::printf("list build:     %d cheques, total %s in %.3f s of processor time, %.3f s elapsed "
                "(%.2fx the SQL pass; target 3x)\n",
                sum.cheques, sum.total.toString().c_str(), buildTime, buildWall, buildTime / sqlTime);

    if (argc > 3 && std::string(argv[3]) == "--no-report") return 0;
    t = Clock::now();
    chqissue::ChequeReportSetup s;
    s.companyName = "Bench Co";
    s.dueBy = r.dueBy;
    const report::ReportDocument doc = chqissue::ChequeListReport::layOut(db, s);
    const double layoutTime = seconds(t);
    t = Clock::now();
    const std::string pdf = root + "/list.pdf";
    report::ReportExporter::write(doc, report::ReportExporter::Format::Pdf, pdf);
    std::printf("report:         %zu pages laid out in %.3f s, PDF written in %.3f s (%.1f MB)\n",
                doc.pages.size(), layoutTime, seconds(t),
                static_cast<double>(std::filesystem::file_size(pdf)) / 1e6);
    std::filesystem::remove_all(root);
    return 0;
}
