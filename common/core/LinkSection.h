#pragma once
#include "common/core/LinkShortString.h"
#include "common/core/LinkString.h"

#include <cstddef>
#include <cstdint>

// Marks the entry points a module or component library exports; everything
// else is built with hidden visibility.
#ifndef VM_EXPORT
#define VM_EXPORT __attribute__((visibility("default")))
#endif

namespace vm::core {

// The session record the shell keeps for its whole run and hands, by value,
// to every module it launches and from a module on to the pickers. It is an
// interface between separately built libraries: the field order, widths and
// offsets below are binding, and every library compiles the same inline code
// for the text handles. Integers are 32-bit. A module reads only its own copy;
// what it changes there never reaches the shell.
struct TLinkSection {
    LinkString LoginUser;   // user who logged in
    LinkString UserName;    // user row of the open company
    LinkString Reserved1;   // always empty
    LinkString CompanyCode; // open company number in decimal ("1", "2", ...)
    LinkString CompanyName;
    std::int32_t Language = 0; // 1 English, 2 French (id in languages.db)
    LinkShortString LangCode;  // "en", "fr", ... at most two characters
    LinkString PrinterIndex;   // index of the chosen printer, in decimal
    LinkString Reserved2;      // always empty
    LinkString Customer;       // carried, not interpreted
    LinkString ProgramDir;     // no trailing separator
    LinkString DataDir;        // no trailing separator; company dir = DataDir + CompanyCode
    LinkString Reserved3;      // always empty
    LinkString Reserved4;      // always empty
    std::uint8_t Reserved5 = 0;
    std::uint8_t Reserved5Padding[3] = {0, 0, 0};
    LinkString Reserved6;       // carried, not interpreted
    std::int32_t SessionId = 0; // suffix of the per-session work tables; 0 is valid
    std::int32_t Reserved7 = 0;
    std::int32_t UserDetail = 0;
    LinkString LedgerPrefix; // "gl"/"ar"/"ap"/"pa", a tracker account, or empty
};

// The one export of a module library, looked up by this exact name.
inline constexpr char kShowDllFormSymbol[] = "ShowDllForm";

// The Tools-menu maintenance module is called through the same export with
// the option catalogue: captions and codes, one option a line ('\n'
// terminated, see OptionLines.h), the two lists parallel.
extern "C" {
typedef std::int32_t (*ShowDllFormFn)(TLinkSection);
typedef std::int32_t (*ShowDllFormOptionsFn)(TLinkSection, const char* captions, const char* codes);
}

#if defined(__x86_64__) || defined(__aarch64__)
static_assert(sizeof(TLinkSection) == 144, "session record size");
static_assert(alignof(TLinkSection) == 8);
static_assert(offsetof(TLinkSection, LoginUser) == 0);
static_assert(offsetof(TLinkSection, UserName) == 8);
static_assert(offsetof(TLinkSection, Reserved1) == 16);
static_assert(offsetof(TLinkSection, CompanyCode) == 24);
static_assert(offsetof(TLinkSection, CompanyName) == 32);
static_assert(offsetof(TLinkSection, Language) == 40);
static_assert(offsetof(TLinkSection, LangCode) == 44);
static_assert(offsetof(TLinkSection, PrinterIndex) == 48);
static_assert(offsetof(TLinkSection, Reserved2) == 56);
static_assert(offsetof(TLinkSection, Customer) == 64);
static_assert(offsetof(TLinkSection, ProgramDir) == 72);
static_assert(offsetof(TLinkSection, DataDir) == 80);
static_assert(offsetof(TLinkSection, Reserved3) == 88);
static_assert(offsetof(TLinkSection, Reserved4) == 96);
static_assert(offsetof(TLinkSection, Reserved5) == 104);
static_assert(offsetof(TLinkSection, Reserved6) == 112);
static_assert(offsetof(TLinkSection, SessionId) == 120);
static_assert(offsetof(TLinkSection, Reserved7) == 124);
static_assert(offsetof(TLinkSection, UserDetail) == 128);
static_assert(offsetof(TLinkSection, LedgerPrefix) == 136);
#else
#error "the session record layout is pinned for 64-bit targets only"
#endif

} // namespace vm::core

namespace vm {
using core::TLinkSection;
} // namespace vm
