// The desktop's list of clients opened on a large company: the time until the
// first screen of rows shows, then the time to scroll to the last client,
// with the memory each step costs.
#include "engine/Database.h"
#include "engine/Session.h"
#include "schema/Schema.h"
#include "shell/Desktop.h"
#include "shell/DesktopFrame.h"
#include "shell/WallpaperWidget.h"
#include "tools/DemoCompany.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QTableView>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace vm;
using Clock = std::chrono::steady_clock;

namespace {
double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}
long statusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::char_traits<char>::length(key));
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const int clients = argc > 1 ? std::atoi(argv[1]) : 10000;

    std::string tmpl = (std::filesystem::temp_directory_path() / "vmbench-desk-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) return 1;
    const std::string root = tmpl;
    const std::string dataDir = schema::dataDirOf(root);
    auto t = Clock::now();
    schema::createDataRoot(dataDir, schema::standardUsers());
    admin::DemoOptions demo;
    demo.clients = clients;
    demo.suppliers = 20;
    demo.invoices = 0;
    admin::buildDemoCompany(dataDir, demo);
    std::printf("demo company: %d clients built in %.1f s\n", clients, seconds(t));

    Database& db = Session::instance().database(schema::companyDirOf(dataDir, 1));
    {
        shell::WallpaperWidget area;
        area.resize(1280, 800);
        shell::Desktop::Hooks hooks;
        hooks.options = [] {
            return std::pair{std::vector<std::string>{"x"}, std::vector<std::string>{"custview"}};
        };
        hooks.company = [&db] { return &db; };
        shell::Desktop desk(area, std::move(hooks));
        area.show();
        app.processEvents();
        const long before = statusKb("VmRSS:");

        t = Clock::now();
        desk.toggle(shell::ClientList);
        app.processEvents();
        QTableView* grid = desk.list(shell::ClientList)->grid();
        grid->viewport()->repaint();
        const double open = seconds(t);
        const int firstRows = grid->model()->rowCount();
        const long afterOpen = statusKb("VmRSS:");

        t = Clock::now();
        QAbstractItemModel* model = grid->model();
        while (model->canFetchMore({})) {
            grid->scrollToBottom();
            app.processEvents();
        }
        grid->viewport()->repaint();
        const double scroll = seconds(t);
        std::printf("desktop client list: first screen in %.3f s (%d rows read, +%.1f MB); "
                    "scrolled to client %d in %.2f s (+%.1f MB in all); peak memory %.0f MB\n",
                    open, firstRows, static_cast<double>(afterOpen - before) / 1024.0, model->rowCount(),
                    scroll, static_cast<double>(statusKb("VmRSS:") - before) / 1024.0,
                    static_cast<double>(statusKb("VmHWM:")) / 1024.0);
    }
    Session::instance().closeAll();
    std::filesystem::remove_all(root);
    return 0;
}
