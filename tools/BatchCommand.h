#pragma once
#include "engine/Date.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vm::admin {

// Exit statuses of valmorand-admin.
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;  // the work failed (nothing was changed by a refused or failed run)
constexpr int kExitRefused = 2; // bad arguments, or the data does not allow the run

// Bad arguments or a run the data refuses: the message goes to stderr and the
// command exits with kExitRefused, before anything was written.
struct BatchRefused {
    std::string message;
};

// The shape every batch command of valmorand-admin follows:
//
//   valmorand-admin COMMAND DIR N [options]
//
// DIR is the data drive and N the company number; options are "--name" or
// "--name VALUE" (also "--name=VALUE"). Dates are ISO (YYYY-MM-DD) whatever
// the workstation's date format, and every date option is checked as soon as
// the arguments are read, before any table is opened. "--help" prints the
// command's help and exits with 0.
class BatchCommand {
public:
    struct Option {
        std::string name; // without the dashes
        bool takesValue = false;
        bool isDate = false;
    };

    BatchCommand(std::string name, std::string help, std::vector<Option> options);

    // Reads the arguments (those after the command name). Throws BatchRefused.
    // Returns false when --help was asked (the help has been printed).
    bool parse(const std::vector<std::string>& args);

    const std::string& name() const { return name_; }
    bool flag(const std::string& option) const { return values_.count(option) != 0; }
    std::optional<std::string> value(const std::string& option) const;
    // A date option, already checked by parse(); nothing when absent.
    std::optional<Date> date(const std::string& option) const;
    // A whole-number option within [low, high]; nothing when absent.
    std::optional<int> number(const std::string& option, int low, int high) const;
    // Refuses options that cannot go together.
    void refuseTogether(const std::string& a, const std::string& b) const;

    int company() const { return company_; }
    // DIR as given.
    const std::string& root() const { return root_; }
    // DIR/Valmorand/data, checked to be a data root.
    std::string dataDir() const;
    // The company directory, checked to hold a company database.
    std::string companyDir() const;

    // Runs the command's body under the common error handling: BatchRefused
    // exits with 2, a database or other failure with 1 (with its message).
    int run(const std::vector<std::string>& args, const std::function<int(BatchCommand&)>& body);

private:
    std::string name_;
    std::string help_;
    std::vector<Option> options_;
    std::string root_;
    int company_ = 0;
    std::map<std::string, std::string> values_;
    std::map<std::string, Date> dates_;
};

// One line of progress on a terminal, rewritten in place; silent when the
// output is not a terminal (a scheduled run's log keeps only the result).
class ProgressLine {
public:
    ProgressLine();
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // At most a few updates a second reach the terminal.
    void show(const std::string& text, bool force = false);
    void done(int done, int total, const std::string& what); // "what 45%"
    // Clears the line.
    void clear();

private:
    bool tty_ = false;
    std::size_t width_ = 0;
    std::int64_t lastMs_ = -1000;
};

// The commands built on this pattern (each returns the exit status).
int monthEndCommand(const std::vector<std::string>& args);
int agingCommand(const std::vector<std::string>& args);
int clientListCommand(const std::vector<std::string>& args);
int supplierListCommand(const std::vector<std::string>& args);
int statementsCommand(const std::vector<std::string>& args);

} // namespace vm::admin
