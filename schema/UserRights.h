#pragma once
#include "engine/Value.h"

namespace vm::schema {

// The menu rights of a user row (User_security): 200 bytes, one bit per menu
// option, least significant bit first. The bit of an option is
// 105 x ledger tag + 15 x group + position in the group; a set bit enables it.
class UserRights {
public:
    static constexpr int kBytes = 200;

    enum Ledger {
        GeneralLedger = 0,
        Receivables = 1,
        Payables = 2,
        SystemManager = 3,
        Invoicing = 4,
        Payroll = 5,
        Tracker = 6,
        JobCost = 9
    };
    enum Group { Edit = 0, Transactions = 1, Reports = 2, Procedures = 3 };
    static constexpr int kGroupsPerMenu = 7;
    static constexpr int kOptionsPerGroup = 15;

    UserRights(); // nothing allowed
    static UserRights all();
    // Bytes as stored; a field shorter than 200 bytes counts as no rights.
    static UserRights fromBytes(const Bytes& stored);

    static int bitOf(int ledger, int group, int position);

    UserRights& allow(int ledger, int group, int position);
    UserRights& allowGroup(int ledger, int group);
    bool allows(int ledger, int group, int position) const;
    bool allowsBit(int bit) const;

    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

} // namespace vm::schema
