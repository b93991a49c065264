#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vm::core {

// The workstation settings: the key "Software\Tarnwell" kept as one INI
// file with the sections "Settings" and "Valmorand". Section and value names
// compare without regard to case (ASCII), as registry names do, so a value
// written as "Intl" is read as "intl". Every call reads the file afresh, so
// a value another program wrote is seen at once.
class SettingsStore {
public:
    static constexpr char kSettings[] = "Settings";
    static constexpr char kValmorand[] = "Valmorand";
    static constexpr char kPathVariable[] = "VALMORAND_SETTINGS";

    // $VALMORAND_SETTINGS when set and not empty, else
    // $XDG_CONFIG_HOME/Tarnwell/Tarnwell.ini, else
    // $HOME/.config/Tarnwell/Tarnwell.ini.
    static std::string defaultPath();

    SettingsStore() : SettingsStore(defaultPath()) {}
    explicit SettingsStore(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    // The value as text, or defaultValue when the file, the section or the
    // value is missing. A file that cannot be read counts as missing.
    std::string read(std::string_view section, std::string_view name,
                     std::string_view defaultValue = {}) const;
    bool contains(std::string_view section, std::string_view name) const;

    // The values of a section in file order (first spelling of each name).
    std::vector<std::pair<std::string, std::string>> values(std::string_view section) const;

    // Sets a value, creating the file, its directory and the section as
    // needed, and keeping every other line and comment as it was. The file is
    // replaced atomically (written beside it, then renamed) under a lock, so
    // two programs writing at once lose neither write. Throws
    // std::invalid_argument for a name the file cannot hold (empty, with '=',
    // a line break, or a section name with ']') and std::system_error when the
    // file cannot be written; the file is then unchanged.
    void write(std::string_view section, std::string_view name, std::string_view value) const;

    // Removes a value; true when it existed. Same failures as write().
    bool remove(std::string_view section, std::string_view name) const;

private:
    bool update(std::string_view section, std::string_view name, const std::string* value) const;
    std::string path_;
};

} // namespace vm::core
