#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace vm::core {

// The language code of the session record: a length byte, at most two
// character bytes and one byte of padding, so the field keeps a fixed width
// in the record. Longer text is cut to its first two bytes, which is how a
// language code longer than two characters is taken.
struct LinkShortString {
    static constexpr std::size_t kCapacity = 2;

    std::uint8_t length = 0;
    char chars[kCapacity] = {0, 0};
    std::uint8_t padding = 0;

    LinkShortString() = default;
    LinkShortString(std::string_view text) { set(text); }
    LinkShortString(const std::string& text) { set(text); }
    LinkShortString(const char* text) { set(text ? std::string_view(text) : std::string_view()); }

    void set(std::string_view text) noexcept {
        const std::size_t n = text.size() < kCapacity ? text.size() : kCapacity;
        length = static_cast<std::uint8_t>(n);
        chars[0] = n > 0 ? text[0] : '\0';
        chars[1] = n > 1 ? text[1] : '\0';
        padding = 0;
    }
    // A corrupt length byte is clamped rather than trusted.
    std::string_view view() const noexcept { return {chars, length < kCapacity ? length : kCapacity}; }
    std::string str() const { return std::string(view()); }
    bool empty() const noexcept { return length == 0; }

    friend bool operator==(const LinkShortString& a, const LinkShortString& b) noexcept {
        return a.view() == b.view();
    }
    friend bool operator==(const LinkShortString& a, std::string_view b) noexcept { return a.view() == b; }
    friend bool operator==(const LinkShortString& a, const std::string& b) noexcept { return a.view() == b; }
    friend bool operator==(const LinkShortString& a, const char* b) noexcept {
        return a.view() == (b ? std::string_view(b) : std::string_view());
    }
};

static_assert(sizeof(LinkShortString) == 4, "the language code is four bytes wide in the record");

} // namespace vm::core
