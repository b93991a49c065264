#pragma once
#include "modules/monthend/core/MonthEnd.h"

namespace vm {
class Database;
}

namespace vm::monthend {

// The data side of the window: the company database reached through the
// module's alias and the control values the window shows.
class Tmonthend_dm {
public:
    static constexpr const char* kAlias = "monthenddb";

    // Connects to the database the alias points at and reads the control
    // row. Throws EngineError.
    void open();
    bool isOpen() const { return company_ != nullptr; }
    void close() { company_ = nullptr; }

    Database& company() { return *company_; }
    const PeriodState& period() const { return period_; }

private:
    Database* company_ = nullptr;
    PeriodState period_;
};

} // namespace vm::monthend
