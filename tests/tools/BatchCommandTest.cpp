// The batch runs of valmorand-admin, run as a scheduler runs them, beside
// the windows that do the same work.
#include "common/core/LinkShortString.h"
#include "common/core/LinkString.h"
#include "common/forms/Application.h"
#include "common/forms/DisplayFormat.h"
#include "engine/Session.h"
#include "modules/custlist/ui/ListWindow.h"
#include "modules/custstmt/ui/StatementWindow.h"
#include "modules/rcvaging/ui/AgingWindow.h"
#include "report/CsvExporter.h"
#include "report/ReportDocument.h"
#include "report/ReportExporter.h"
#include "tests/fixture/PgServer.h"
#include "tests/fixture/TempCompany.h"
#include "tools/BooksCheck.h"
#include "tools/DemoCompany.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <tuple>

using namespace vm;

namespace {

struct Outcome {
    int status = -1;
    std::string output; // stdout and stderr together
};

Outcome admin(const std::vector<std::string>& args) {
    std::string cmd = "'" + std::string(VM_PROGRAM_DIR) + "/valmorand-admin'";
    for (const auto& a : args)
        cmd += " '" + a + "'"; // the tests' own arguments hold no quote
    cmd += " 2>&1";
    Outcome r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        r.output.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

std::int64_t count(Database& db, const char* sql) {
    Query q(db, sql);
    q.next();
    return q.value(0).asInt();
}

std::string fileText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

QApplication& app() {
    static int argc = 1;
    static char name[] = "vm_batch_tests";
    static char* argv[] = {name, nullptr};
    static auto* instance = new forms::Application(argc, argv);
    return *instance;
}

class BatchCommandTest : public test::TempCompanyTest {
protected:
    void SetUp() override {
        app();
        ::setenv("VALMORAND_LANGUAGES", VM_LANGUAGES_DIR, 1);
    }
};

TEST_F(BatchCommandTest, MonthEndRefusesABadDateThenRunsTheSameCoreAsTheWindow) {
    const Date d = Date::fromYmd(2026, 3, 5);
    company.setCtrl({{"Ctrl_periods", 12}, {"Ctrl_ar_period", 3}, {"Ctrl_ar_histo", true}});
    company.addClient("C1", "One", {{"Cli_current_bal", Money::fromUnits(40)}});
    company.addCar("C1", "A", "1", d, Money::fromUnits(100));
    company.addCar("C1", "A", "2", d, Money::fromUnits(-100));
    company.addCar("C1", "B", "1", d, Money::fromUnits(40));
    const std::string root = company.rootDir();

    for (const auto& bad : {std::vector<std::string>{"month-end", root, "1", "--cutoff", "31/03/2026"},
                            std::vector<std::string>{"month-end", root, "1", "--cutoff", "2026-02-29"},
                            std::vector<std::string>{"month-end", root, "1"},
                            std::vector<std::string>{"month-end", root, "2", "--cutoff", "2026-03-31"}}) {
        const Outcome r = admin(bad);
        EXPECT_EQ(r.status, 2) << r.output;
    }
    EXPECT_EQ(count(company.db(), "SELECT COUNT(*) FROM car"), 3);

    const Outcome r = admin({"month-end", root, "1", "--cutoff", "2026-03-31"});
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("1 paid invoices purged (2 ledger rows deleted, 2 copied to history)"),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("Receivables period 3 -> 4"), std::string::npos) << r.output;
    EXPECT_EQ(count(company.db(), "SELECT COUNT(*) FROM car"), 1);
    EXPECT_TRUE(admin::checkBooks(company.db()).empty());
}

// The batch listing is the window's export for the same choices.
TEST_F(BatchCommandTest, AgingWritesWhatTheWindowExports) {
    admin::DemoOptions demo;
    demo.clients = 25;
    demo.invoices = 150;
    admin::buildDemoCompany(company.dataDir(), demo);
    const Date date = Date::fromYmd(2026, 11, 30);
    core::TLinkSection link;
    link.CompanyCode = core::LinkString("1");
    link.DataDir = core::LinkString(company.dataDir());
    link.ProgramDir = core::LinkString(VM_PROGRAM_DIR);
    link.Language = 2;
    link.LangCode.set("fr");

    struct Case {
        std::vector<std::string> options;
        bool detailed;
        int older; // combo index; 5 = all
        bool zero;
    };
    const Case cases[] = {{{}, true, 5, false},
                          {{"--summary", "--older-than", "2", "--zero-balance"}, false, 1, true}};
    for (const Case& c : cases) {
        const std::string out = company.rootDir() + "/aging.csv";
        std::vector<std::string> args{"aging",       company.rootDir(), "1",          "--ledger",
                                      "receivables", "--date",          "2026-11-30", "--language",
                                      "fr",          "--output",        out};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Outcome r = admin(args);
        ASSERT_EQ(r.status, 0) << r.output;

        aging::AgingWindow window(link, aging::Ledger::Receivables);
        window.show();
        QApplication::processEvents();
        window.findChild<QLineEdit*>("EditDate")->setText(forms::DisplayFormat::date(date));
        window.findChild<QCheckBox*>("CheckDetailed")->setChecked(c.detailed);
        window.findChild<QComboBox*>("ComboOlder")->setCurrentIndex(c.older);
        window.findChild<QCheckBox*>("CheckZero")->setChecked(c.zero);
        const std::string exported = report::CsvExporter::text(window.layOut());
        EXPECT_GT(exported.size(), 200u);
        EXPECT_EQ(fileText(out), exported);
        window.close();
        Session::instance().closeAll();
    }
}

// The batch statements are the window's export for the same choices.
TEST_F(BatchCommandTest, StatementsWriteWhatTheWindowExports) {
    admin::DemoOptions demo;
    demo.clients = 25;
    demo.invoices = 150;
    admin::buildDemoCompany(company.dataDir(), demo);
    for (const char* t : {"arecfrm", "arecfrm1", "arecfrm2"})
        company.clearTable(t);
    company.addRow("arecfrm1", {{"Arecfrm1_page_len", 11.0},
                                {"Arecfrm1_page_width", 8.5},
                                {"Arecfrm1_header_len", 2.0},
                                {"Arecfrm1_detail_len", 1.0},
                                {"Arecfrm1_footer_len", 1.0}});
    for (const auto& [field, band, line, pos] :
         std::vector<std::tuple<const char*, const char*, double, double>>{{"01", "H", 0.5, 0.5},
                                                                           {"09", "H", 1.0, 0.5},
                                                                           {"18", "D", 0, 0.5},
                                                                           {"19", "D", 0, 1.5},
                                                                           {"23", "D", 0, 5.0},
                                                                           {"31", "F", 0.5, 5.0}})
        company.addRow(
            "arecfrm",
            {{"Arecfrm_field", field}, {"Arecfrm_band", band}, {"Arecfrm_line", line}, {"Arecfrm_pos", pos}});
    const std::string root = company.rootDir();
    EXPECT_EQ(admin({"statements", root, "1", "--output", root + "/s.csv", "--interest", "x"}).status, 2);

    const std::string out = root + "/statements.csv";
    const Outcome r = admin({"statements", root, "1", "--date", "2026-11-30", "--from", "C00003", "--to",
                             "C00012", "--interest", "12", "--language", "fr", "--output", out});
    ASSERT_EQ(r.status, 0) << r.output;

    core::TLinkSection link;
    link.CompanyCode = core::LinkString("1");
    link.DataDir = core::LinkString(company.dataDir());
    link.ProgramDir = core::LinkString(VM_PROGRAM_DIR);
    link.Language = 2;
    link.LangCode.set("fr");
    custstmt::StatementWindow window(link);
    window.show();
    QApplication::processEvents();
    window.findChild<QLineEdit*>("EditDate")
        ->setText(forms::DisplayFormat::date(Date::fromYmd(2026, 11, 30)));
    window.findChild<QLineEdit*>("EditFrom")->setText("C00003");
    window.findChild<QLineEdit*>("EditTo")->setText("C00012");
    window.findChild<QLineEdit*>("EditRate")->setText("12");
    const auto options = window.options();
    ASSERT_TRUE(options);
    const std::string exported = root + "/window.csv";
    auto pages = custstmt::statementStream([this]() -> Database& { return company.db(); },
                                           window.reportSetup(*options, false))();
    ASSERT_EQ(report::ReportExporter::write(*pages, report::ReportExporter::Format::Csv, exported),
              report::WriteOutcome::Written);
    EXPECT_GT(fileText(exported).size(), 200u);
    EXPECT_EQ(fileText(out), fileText(exported));
    window.close();
    Session::instance().closeAll();
}

TEST_F(BatchCommandTest, ListsWriteWhatTheWindowExports) {
    admin::DemoOptions demo;
    demo.clients = 25;
    demo.suppliers = 8;
    admin::buildDemoCompany(company.dataDir(), demo);
    core::TLinkSection link;
    link.CompanyCode = core::LinkString("1");
    link.DataDir = core::LinkString(company.dataDir());
    link.ProgramDir = core::LinkString(VM_PROGRAM_DIR);
    link.Language = 1;
    link.LangCode.set("en");
    const std::string root = company.rootDir();
    EXPECT_EQ(admin({"supplier-list", root, "1", "--output", root + "/list.doc"}).status, 2);
    EXPECT_EQ(admin({"supplier-list", root, "1", "--output", root + "/l.csv", "--by-salesrep"}).status, 2);

    const std::string out = root + "/clients.csv";
    const Outcome r = admin({"client-list", root, "1", "--output", out, "--from", "C00005", "--by-salesrep"});
    ASSERT_EQ(r.status, 0) << r.output;
    auto window = std::make_unique<lists::ListWindow>(link, lists::Master::Clients);
    window->show();
    QApplication::processEvents();
    window->findChild<QLineEdit*>("EditFromCode")->setText("C00005");
    for (auto* radio : window->findChildren<QRadioButton*>())
        if (radio->text() == "Salesrep") radio->setChecked(true);
    const std::string exported = report::CsvExporter::text(window->layOut());
    EXPECT_GT(exported.size(), 200u);
    EXPECT_EQ(fileText(out), exported);
    window.reset();
    Session::instance().closeAll();
}

// Every batch run writes from a data root on a server what it writes from
// the same data root in a directory; blanks (a ledger row without a date)
// sort first on both.
TEST_F(BatchCommandTest, RunsOnAServerWriteWhatTheyWriteFromADirectory) {
    vm::admin::DemoOptions demo;
    demo.clients = 8;
    demo.suppliers = 4;
    demo.invoices = 40;
    vm::admin::buildDemoCompany(company.dataDir(), demo);
    company.db().execute("UPDATE car SET Car_ref = '', Car_date = NULL WHERE Car_seq = "
                         "(SELECT MIN(Car_seq) FROM car WHERE Car_type = '2')");
    company.session().closeAll();
    const std::string server = test::PgServer::instance().newDatabase();
    const Outcome copied = admin({"copy", company.rootDir(), server});
    ASSERT_EQ(copied.status, 0) << copied.output;

    const std::vector<std::vector<std::string>> runs = {
        {"aging", "--ledger", "receivables", "--date", "2026-12-31", "--by-salesrep"},
        {"aging", "--ledger", "payables", "--date", "2026-12-31"},
        {"statements", "--date", "2026-12-31"},
        {"client-list", "--by-salesrep"},
        {"supplier-list"},
        {"cheque-list", "--new-list", "--date", "2026-12-31", "--due-by", "2026-12-31"},
        {"month-end", "--cutoff", "2026-06-30"}};
    int n = 0;
    for (const auto& run : runs) {
        std::string written[2];
        const std::string locations[2] = {company.rootDir(), server};
        for (int i = 0; i < 2; ++i) {
            std::vector<std::string> args{run[0], locations[i], "1"};
            args.insert(args.end(), run.begin() + 1, run.end());
            const std::string out = company.rootDir() + "/run" + std::to_string(n++) + ".csv";
            if (run[0] != "month-end") args.insert(args.end(), {"--output", out});
            const Outcome r = admin(args);
            ASSERT_EQ(r.status, 0) << run[0] << " " << locations[i] << "\n" << r.output;
            written[i] = run[0] == "month-end" ? r.output : fileText(out);
        }
        EXPECT_EQ(written[0], written[1]) << run[0];
    }
    EXPECT_EQ(admin({"check", server, "1"}).status, 0);
}

} // namespace
