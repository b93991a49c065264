#pragma once
#include "common/core/LinkSection.h"

#include <QWidget>

#include <functional>
#include <string>

namespace vm::test {

// A component library of the program directory, loaded the way modules load
// it (dlopen by file name, look-up by exported name) and unloaded at the end.
class ComponentLibrary {
public:
    explicit ComponentLibrary(const std::string& name);
    ~ComponentLibrary();
    ComponentLibrary(const ComponentLibrary&) = delete;
    ComponentLibrary& operator=(const ComponentLibrary&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    const std::string& error() const { return error_; }
    void* symbol(const char* name) const;
    template <typename Fn> Fn function(const char* name) const { return reinterpret_cast<Fn>(symbol(name)); }
    // Unloads now (the destructor then does nothing).
    void unload();

private:
    void* handle_ = nullptr;
    std::string error_;
};

// Calls `act` with the next modal window that shows, other than `skip`, from
// inside that window's event loop; `act` should close it. When none shows up
// within `timeoutMs`, or `act` leaves it open, the test fails and every open
// dialog is rejected so that the test ends instead of hanging.
void onNextModal(std::function<void(QWidget&)> act, const QWidget* skip = nullptr, int timeoutMs = 10000);

// A session record for company 1 of `dataDir`.
core::TLinkSection sessionRecord(const std::string& dataDir, int language,
                                 const std::string& programDir = {});

} // namespace vm::test
