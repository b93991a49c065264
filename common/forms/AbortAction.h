#pragma once
#include <exception>

namespace vm::forms {

// Ends the current user action without a message: thrown after a failure
// has been shown (or the user gave up waiting for a lock), it unwinds to the
// event loop, where the application drops it before the exception hook.
class AbortAction : public std::exception {
public:
    const char* what() const noexcept override { return "action aborted"; }
};

} // namespace vm::forms
