#pragma once
#include "tests/fixture/TempCompany.h"

namespace vm::test {

// One company for the picker tests, filled once: 10,000 ordinary clients
// (C00001 ...) beside a few whose names hold quotes and LIKE wildcards, and
// small supplier, account, territory, terms and salesman lists. The pickers
// only read, so the tests share it.
class PickerCompany {
public:
    static PickerCompany& instance();

    static constexpr int kOrdinaryClients = 10000;
    static constexpr int kSpecialClients = 4;

    TempCompany& company() { return company_; }
    const std::string& dataDir() const { return company_.dataDir(); }

private:
    PickerCompany();
    TempCompany company_;
};

} // namespace vm::test
