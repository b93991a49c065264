#include "tools/BatchCommand.h"

#include "engine/Database.h"
#include "engine/EngineError.h"
#include "schema/Schema.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;

namespace vm::admin {

BatchCommand::BatchCommand(std::string name, std::string help, std::vector<Option> options)
    : name_(std::move(name)), help_(std::move(help)), options_(std::move(options)) {}

bool BatchCommand::parse(const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (a == "--help" || a == "-h") {
            std::cout << help_;
            return false;
        }
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0) {
            positional.push_back(a);
            continue;
        }
        std::string key = a.substr(2);
        std::optional<std::string> inlineValue;
        if (const auto eq = key.find('='); eq != std::string::npos) {
            inlineValue = key.substr(eq + 1);
            key.resize(eq);
        }
        const Option* opt = nullptr;
        for (const Option& o : options_)
            if (o.name == key) opt = &o;
        if (!opt) throw BatchRefused{"unknown option --" + key};
        if (values_.count(key)) throw BatchRefused{"option --" + key + " is given twice"};
        std::string v;
        if (opt->takesValue) {
            if (inlineValue)
                v = *inlineValue;
            else if (i + 1 < args.size())
                v = args[++i];
            else
                throw BatchRefused{"option --" + key + " needs a value"};
        } else if (inlineValue) {
            throw BatchRefused{"option --" + key + " takes no value"};
        }
        if (opt->isDate) {
            const std::optional<Date> d = Date::fromIso(v);
            if (!d || d->isNull())
                throw BatchRefused{"--" + key + " must be a date written YYYY-MM-DD, not \"" + v + "\""};
            dates_[key] = *d;
        }
        values_[key] = v;
    }
    if (positional.size() != 2)
        throw BatchRefused{name_ + " takes the directory and the company number (see --help)"};
    root_ = positional[0];
    const std::string& n = positional[1];
    if (n.empty() || n.size() > 4 || n.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(n) < 1 || std::stoi(n) > schema::kMaxCompany)
        throw BatchRefused{"the company number must be a whole number from 1 to " +
                           std::to_string(schema::kMaxCompany) + ", not \"" + n + "\""};
    company_ = std::stoi(n);
    return true;
}

std::optional<std::string> BatchCommand::value(const std::string& option) const {
    const auto it = values_.find(option);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

std::optional<Date> BatchCommand::date(const std::string& option) const {
    const auto it = dates_.find(option);
    if (it == dates_.end()) return std::nullopt;
    return it->second;
}

std::optional<int> BatchCommand::number(const std::string& option, int low, int high) const {
    const auto v = value(option);
    if (!v) return std::nullopt;
    if (v->empty() || v->size() > 6 || v->find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(*v) < low || std::stoi(*v) > high)
        throw BatchRefused{"--" + option + " must be a whole number from " + std::to_string(low) + " to " +
                           std::to_string(high) + ", not \"" + *v + "\""};
    return std::stoi(*v);
}

void BatchCommand::refuseTogether(const std::string& a, const std::string& b) const {
    if (flag(a) && flag(b)) throw BatchRefused{"--" + a + " and --" + b + " cannot go together"};
}

std::string BatchCommand::dataDir() const {
    if (Database::isServerLocation(root_)) { // a PostgreSQL server: its schema "data"
        const std::string dataDir = schema::dataDirOf(root_);
        if (!schema::isDataRoot(dataDir)) throw BatchRefused{dataDir + " is not a data root"};
        return dataDir;
    }
    std::error_code ec;
    if (root_.empty() || !fs::is_directory(root_, ec))
        throw BatchRefused{"\"" + root_ + "\" is not an existing directory"};
    const std::string dataDir = schema::dataDirOf(fs::absolute(root_, ec).string());
    if (!schema::isDataRoot(dataDir)) throw BatchRefused{dataDir + " is not a data directory"};
    return dataDir;
}

std::string BatchCommand::companyDir() const {
    const std::string dir = schema::companyDirOf(dataDir(), company_);
    std::error_code ec;
    if (Database::isServerLocation(dir) ? !Database(dir).tableExists("ctrl")
                                        : !fs::is_regular_file(fs::path(dir) / Database::kFileName, ec))
        throw BatchRefused{"company " + std::to_string(company_) + " does not exist (" + dir + ")"};
    return dir;
}

int BatchCommand::run(const std::vector<std::string>& args, const std::function<int(BatchCommand&)>& body) {
    try {
        if (!parse(args)) return kExitDone;
        return body(*this);
    } catch (const BatchRefused& e) {
        std::cerr << "valmorand-admin " << name_ << ": " << e.message << "\n";
        return kExitRefused;
    } catch (const EngineError& e) {
        std::cerr << "valmorand-admin " << name_ << ": database error " << e.code() << ": " << e.what()
                  << "\n";
        return kExitFailed;
    } catch (const std::exception& e) {
        std::cerr << "valmorand-admin " << name_ << ": " << e.what() << "\n";
        return kExitFailed;
    }
}

ProgressLine::ProgressLine() : tty_(::isatty(STDOUT_FILENO) == 1) {}

ProgressLine::~ProgressLine() {
    clear();
}

void ProgressLine::show(const std::string& text, bool force) {
    if (!tty_) return;
    const std::int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count();
    if (!force && now - lastMs_ < 200) return;
    lastMs_ = now;
    std::string line = "\r" + text;
    if (text.size() < width_) line += std::string(width_ - text.size(), ' ');
    width_ = text.size();
    std::cout << line << std::flush;
}

void ProgressLine::done(int done, int total, const std::string& what) {
    const int pct = total > 0 ? static_cast<int>(100LL * done / total) : 100;
    show(what + " " + std::to_string(pct) + "%", done == total);
}

void ProgressLine::clear() {
    if (!tty_ || width_ == 0) return;
    std::cout << "\r" << std::string(width_, ' ') << "\r" << std::flush;
    width_ = 0;
}

} // namespace vm::admin
