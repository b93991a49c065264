#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

namespace vm::core {

// The text fields of the session record: a pointer-sized handle to an
// immutable, reference-counted block of UTF-8 bytes. The record crosses from
// the shell into module and component libraries that each carry their own
// copy of this code, so everything here is inline over one fixed layout and
// the block lives in malloc/free memory, which every library of the process
// shares. Copying a handle only bumps the count; the null handle is the empty
// string.
class LinkString {
public:
    LinkString() noexcept = default;
    LinkString(const char* data, std::size_t size) : block_(allocate(data, size)) {}
    LinkString(std::string_view text) : LinkString(text.data(), text.size()) {}
    LinkString(const std::string& text) : LinkString(text.data(), text.size()) {}
    LinkString(const char* text) : LinkString(text ? std::string_view(text) : std::string_view()) {}

    LinkString(const LinkString& other) noexcept : block_(other.block_) { retain(); }
    LinkString(LinkString&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
    LinkString& operator=(const LinkString& other) noexcept {
        if (block_ != other.block_) {
            other.retain();
            release();
            block_ = other.block_;
        }
        return *this;
    }
    LinkString& operator=(LinkString&& other) noexcept {
        if (this != &other) {
            release();
            block_ = other.block_;
            other.block_ = nullptr;
        }
        return *this;
    }
    ~LinkString() { release(); }

    bool empty() const noexcept { return block_ == nullptr; }
    std::size_t size() const noexcept { return block_ ? static_cast<std::size_t>(block_->size) : 0; }
    // Always NUL-terminated; "" for the null handle.
    const char* c_str() const noexcept { return block_ ? bytes(block_) : ""; }
    std::string_view view() const noexcept { return {c_str(), size()}; }
    std::string str() const { return std::string(view()); }
    operator std::string_view() const noexcept { return view(); }

    // Number of handles sharing the block (0 for the null handle); for tests
    // that check a call released what it took.
    std::int32_t useCount() const noexcept {
        return block_ ? block_->refs.load(std::memory_order_relaxed) : 0;
    }

    friend bool operator==(const LinkString& a, const LinkString& b) noexcept {
        return a.block_ == b.block_ || a.view() == b.view();
    }
    friend bool operator==(const LinkString& a, std::string_view b) noexcept { return a.view() == b; }
    friend bool operator==(const LinkString& a, const std::string& b) noexcept { return a.view() == b; }
    friend bool operator==(const LinkString& a, const char* b) noexcept {
        return a.view() == (b ? std::string_view(b) : std::string_view());
    }

private:
    struct Block {
        std::atomic<std::int32_t> refs;
        std::int32_t size;
        // followed by size bytes and a NUL
    };
    static_assert(sizeof(std::atomic<std::int32_t>) == 4,
                  "the block header layout is shared by every library");

    static char* bytes(Block* b) noexcept { return reinterpret_cast<char*>(b + 1); }

    static Block* allocate(const char* data, std::size_t size) {
        if (size == 0) return nullptr;
        if (size > static_cast<std::size_t>(INT32_MAX) - sizeof(Block) - 1) throw std::bad_alloc();
        void* raw = std::malloc(sizeof(Block) + size + 1);
        if (!raw) throw std::bad_alloc();
        Block* b = new (raw) Block;
        b->refs.store(1, std::memory_order_relaxed);
        b->size = static_cast<std::int32_t>(size);
        std::memcpy(bytes(b), data, size);
        bytes(b)[size] = '\0';
        return b;
    }

    void retain() const noexcept {
        if (block_) block_->refs.fetch_add(1, std::memory_order_relaxed);
    }
    void release() noexcept {
        if (block_ && block_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            block_->~Block();
            std::free(block_);
        }
        block_ = nullptr;
    }

    Block* block_ = nullptr;
};

static_assert(sizeof(LinkString) == sizeof(void*), "a text field of the session record is one pointer");

} // namespace vm::core
