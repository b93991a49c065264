#pragma once
#include <string>
#include <string_view>

namespace vm::report {

// An export file written whole or not at all: the data goes to a temporary
// file of a unique name beside the target, which is flushed to disk and then
// renamed over the target only once everything is written. A full disk, a
// cancelled export or a crash never leaves half an export under the target's
// name, and two exports to one folder never share a temporary file.
class AtomicFile {
public:
    AtomicFile() = default;
    ~AtomicFile(); // discards what was not committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file; false (with a reason) when it cannot.
    bool open(const std::string& path, std::string* error = nullptr);
    // The temporary file's descriptor, for writers that take one (PDF).
    int descriptor() const { return fd_; }
    bool write(std::string_view data);
    // Flushes to disk and puts the file in place; false (with a reason, the
    // temporary file removed) when any write failed or the rename fails.
    bool commit(std::string* error = nullptr);
    // Removes the temporary file.
    void discard();
    // Marks the file as failed (a writer that wrote through descriptor()).
    void fail() { ok_ = false; }

private:
    std::string path_, tmp_;
    int fd_ = -1;
    bool ok_ = true;
};

class FileWriter {
public:
    static bool writeAll(const std::string& path, std::string_view data, std::string* error = nullptr);
};

} // namespace vm::report
