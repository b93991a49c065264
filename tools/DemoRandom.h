#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vm::admin {

// SplitMix64: the same sequence on every platform and standard library, so
// that a demo company built from one seed is the same everywhere.
class DemoRandom {
public:
    explicit DemoRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [low, high].
    std::int64_t between(std::int64_t low, std::int64_t high) {
        return low + static_cast<std::int64_t>(next() % static_cast<std::uint64_t>(high - low + 1));
    }
    // True with the given chance in percent.
    bool percent(int chance) { return between(0, 99) < chance; }
    template <class T> const T& pick(const std::vector<T>& from) {
        return from[static_cast<std::size_t>(between(0, static_cast<std::int64_t>(from.size()) - 1))];
    }

private:
    std::uint64_t state_;
};

} // namespace vm::admin
