#include "engine/EngineError.h"

namespace vm {

namespace {
std::string messageOf(const std::vector<EngineErrorEntry>& s) {
    return s.empty() ? std::string() : s.back().message;
}
} // namespace

EngineError::EngineError(int code, const std::string& message)
    : EngineError(std::vector<EngineErrorEntry>{{code, message}}) {}

EngineError::EngineError(std::vector<EngineErrorEntry> stack)
    : std::runtime_error(messageOf(stack)), stack_(std::move(stack)) {
    if (stack_.empty()) stack_.push_back({errc::kIo, "Unknown engine error"});
}

EngineError EngineError::pushed(int code, const std::string& message) const {
    auto s = stack_;
    s.push_back({code, message});
    return EngineError(std::move(s));
}

} // namespace vm
