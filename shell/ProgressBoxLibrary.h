#pragma once
#include <cstdint>
#include <string>

namespace vm::shell {

// The start-up progress box, a component library loaded by name from the
// program directory. Without the library start-up simply goes on; a call
// that returns 0 is reported as "Access denied..." and start-up goes on.
class ProgressBoxLibrary {
public:
    explicit ProgressBoxLibrary(const std::string& programDir);
    ~ProgressBoxLibrary(); // closes the box and unloads the library
    ProgressBoxLibrary(const ProgressBoxLibrary&) = delete;
    ProgressBoxLibrary& operator=(const ProgressBoxLibrary&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    void open();
    void step();
    void caption(int number);
    void close();

private:
    using Fn0 = std::int32_t (*)();
    using Fn1 = std::int32_t (*)(std::int32_t);
    void check(std::int32_t result) const;

    void* handle_ = nullptr;
    Fn0 open_ = nullptr;
    Fn0 step_ = nullptr;
    Fn1 caption_ = nullptr;
    Fn0 close_ = nullptr;
    bool opened_ = false;
};

} // namespace vm::shell
