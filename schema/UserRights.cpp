#include "schema/UserRights.h"

#include <stdexcept>

namespace vm::schema {

UserRights::UserRights() : bytes_(kBytes, 0) {}

UserRights UserRights::all() {
    UserRights r;
    r.bytes_.assign(kBytes, 0xFF);
    return r;
}

UserRights UserRights::fromBytes(const Bytes& stored) {
    UserRights r;
    if (static_cast<int>(stored.size()) >= kBytes) r.bytes_.assign(stored.begin(), stored.begin() + kBytes);
    return r;
}

int UserRights::bitOf(int ledger, int group, int position) {
    if (ledger < 0 || ledger > JobCost || group < 0 || group >= kGroupsPerMenu || position < 0 ||
        position >= kOptionsPerGroup)
        throw std::out_of_range("menu option outside the rights table");
    return 105 * ledger + kOptionsPerGroup * group + position;
}

UserRights& UserRights::allow(int ledger, int group, int position) {
    const int bit = bitOf(ledger, group, position);
    bytes_[static_cast<std::size_t>(bit / 8)] |= static_cast<std::uint8_t>(1u << (bit % 8));
    return *this;
}

UserRights& UserRights::allowGroup(int ledger, int group) {
    for (int i = 0; i < kOptionsPerGroup; ++i)
        allow(ledger, group, i);
    return *this;
}

bool UserRights::allows(int ledger, int group, int position) const {
    return allowsBit(bitOf(ledger, group, position));
}

bool UserRights::allowsBit(int bit) const {
    if (bit < 0 || bit >= kBytes * 8) return false;
    return (bytes_[static_cast<std::size_t>(bit / 8)] >> (bit % 8)) & 1u;
}

} // namespace vm::schema
