#pragma once
#include "common/core/LinkSection.h"

#include <cstdint>
#include <string>

namespace vm::vendmaint {

// Calls an outside component (a picker, the quick link) by library and
// function name: <ProgramDir>/<library>.so is loaded for the call and
// unloaded afterwards. A component that cannot be loaded counts as
// cancelled: the caller then changes nothing.
class ComponentCall {
public:
    explicit ComponentCall(std::string programDir) : programDir_(std::move(programDir)) {}

    // A picker returning text; "" when cancelled or not available.
    std::string text(const char* library, const char* function, const core::TLinkSection& link) const;
    // A picker returning a number, or the quick link; 0 when not available.
    std::int32_t number(const char* library, const char* function, const core::TLinkSection& link) const;

private:
    void* load(const char* library, const char* function, void*& handle) const;
    std::string programDir_;
};

} // namespace vm::vendmaint
