#pragma once
#include "engine/Date.h"
#include "engine/Money.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vm {
class Cursor;
class Database;
} // namespace vm

namespace vm::journal {

// One row of an entry's general-ledger distribution. An account that was
// never filled in is nothing; 0 typed by the user is an account (and is
// refused at acceptance unless the chart has it).
struct DistributionLine {
    std::optional<std::int32_t> account;
    std::string description;
    Money debit;
    Money credit;

    std::int32_t accountOrZero() const { return account.value_or(0); }
    bool hasAmount() const { return !debit.isZero() || !credit.isZero(); }
};

// An open invoice of a receipt or disbursement being typed, with the payment
// applied to it.
struct OpenInvoice {
    std::int64_t rowId = 0;
    std::string invoice;
    Date date;
    Date dueDate;
    Money amount; // net open amount
    Money payment;
};

// The distribution of a receipt or disbursement being typed, kept in a
// session work table (Tmp_account, Tmp_desc, Tmp_debit, Tmp_credit) with a
// one-row totals table (TotalDebit, TotalCredit) that follows every amount
// change. Both modules' entries keep theirs here; the distribution grid of
// their windows edits it.
class DistributionLines {
public:
    struct Row {
        std::int64_t rowId = 0;
        DistributionLine line;
    };
    struct Totals {
        Money debit;
        Money credit;
    };
    // When a row's account may be taken off: disbursements only when the
    // row has no amount at all, receipts unless it has a positive one.
    enum class ClearAccount { WithoutAmount, WithoutPositiveAmount };

    DistributionLines(Database& companyDb, std::string lineTable, std::string totalsTable, int maxLines,
                      ClearAccount clearRule);

    const std::string& lineTable() const { return lineTable_; }
    const std::string& totalsTable() const { return totalsTable_; }
    int maxLines() const { return maxLines_; }

    std::vector<Row> rows() const;
    int count() const;
    // A new row with no account and zero amounts; nothing when the
    // distribution already has maxLines rows.
    std::optional<std::int64_t> add();
    // A preset row: the account and its description, zero amounts.
    void insert(std::int32_t account, const std::string& description);
    // Sets a row's account: 0 or none only as the clearing rule allows, any
    // other account must be in the chart, and its description fills the
    // row. False (nothing changed) when refused.
    bool setAccount(std::int64_t rowId, std::optional<std::int32_t> account);
    void setDescription(std::int64_t rowId, const std::string& description);
    // An amount other than 0 clears the row's other side.
    void setDebit(std::int64_t rowId, Money debit);
    void setCredit(std::int64_t rowId, Money credit);
    void remove(std::int64_t rowId);
    // Recomputes the totals row from the rows, so that it cannot drift.
    void updateTotals();
    Totals totals() const;

    // The account's description in the chart; "" when it is not there.
    std::string accountDescription(std::int32_t account, bool* found = nullptr) const;
    // The same through an open cursor on the chart, for a caller that reads
    // several accounts.
    static std::string accountDescription(Cursor& glm, std::int32_t account, bool* found = nullptr);

private:
    Database& db_;
    std::string lineTable_, totalsTable_;
    int maxLines_;
    ClearAccount clearRule_;
};

// Moves a work-table cursor to a row; kRecordNotFound when it is gone.
void moveToRow(Cursor& c, std::int64_t rowId);

// Runs `work` in a transaction of its own unless one is open: work-table
// edits are the user's own and short. The transaction is all or nothing (a
// batch: any failure rolls the whole of it back), so a server is sent its
// writes without waiting for each answer.
void inWorkTransaction(Database& db, const std::function<void()>& work);

} // namespace vm::journal
