#include "components/common/PickerExports.h"

#include "components/common/PickerRunner.h"

namespace vm::components {

core::LinkString pickText(const PickerDefinition& definition, const core::TLinkSection& link) noexcept {
    try {
        const std::optional<Value> key = runPicker(definition, SessionContext::from(link));
        if (key) return core::LinkString(key->asString());
    } catch (...) {
        // Out of memory building the result: report a cancelled pick.
    }
    return {};
}

std::int32_t pickNumber(const PickerDefinition& definition, const core::TLinkSection& link) noexcept {
    try {
        const std::optional<Value> key = runPicker(definition, SessionContext::from(link));
        if (key) return static_cast<std::int32_t>(key->asInt());
    } catch (...) {
    }
    return 0;
}

} // namespace vm::components
