#pragma once
#include "common/core/LinkSection.h"

#include <cstdint>
#include <string>

namespace vm::components {

// The few values of the session record the components use, read once at the
// library boundary so that the rest of the code does not depend on the
// record's layout.
struct SessionContext {
    std::int32_t language = 1; // 1 English, anything else French
    std::string langCode;      // "en", "fr"
    std::string programDir;
    std::string dataDir;
    std::string companyCode;

    static SessionContext from(const core::TLinkSection& link);

    bool english() const { return language == 1; }
    // DataDir immediately followed by the company number.
    std::string companyDir() const { return dataDir + companyCode; }
};

} // namespace vm::components
