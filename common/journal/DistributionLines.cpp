#include "common/journal/DistributionLines.h"

#include "engine/Cursor.h"
#include "engine/Database.h"
#include "engine/EngineError.h"

namespace vm::journal {

void moveToRow(Cursor& c, std::int64_t rowId) {
    if (!c.gotoRowId(rowId))
        throw EngineError(errc::kRecordNotFound,
                          "Row " + std::to_string(rowId) + " of " + c.tableName() + " no longer exists");
}

void inWorkTransaction(Database& db, const std::function<void()>& work) {
    if (db.inTransaction()) {
        work();
        return;
    }
    Transaction tx(db, false, /*batch=*/true);
    work();
    tx.commit();
}

DistributionLines::DistributionLines(Database& companyDb, std::string lineTable, std::string totalsTable,
                                     int maxLines, ClearAccount clearRule)
    : db_(companyDb), lineTable_(std::move(lineTable)), totalsTable_(std::move(totalsTable)),
      maxLines_(maxLines), clearRule_(clearRule) {}

std::vector<DistributionLines::Row> DistributionLines::rows() const {
    std::vector<Row> out;
    Cursor lines(db_, lineTable_, true);
    for (bool more = lines.first(); more; more = lines.next()) {
        Row r;
        r.rowId = lines.rowId();
        if (!lines.isNull("Tmp_account"))
            r.line.account = static_cast<std::int32_t>(lines.integer("Tmp_account"));
        r.line.description = lines.str("Tmp_desc");
        r.line.debit = lines.money("Tmp_debit");
        r.line.credit = lines.money("Tmp_credit");
        out.push_back(std::move(r));
    }
    return out;
}

int DistributionLines::count() const {
    Cursor lines(db_, lineTable_, true);
    return static_cast<int>(lines.recordCount());
}

std::optional<std::int64_t> DistributionLines::add() {
    if (count() >= maxLines_) return std::nullopt;
    Cursor lines(db_, lineTable_);
    lines.insert();
    lines.set("Tmp_desc", std::string());
    lines.set("Tmp_debit", Money());
    lines.set("Tmp_credit", Money());
    lines.post();
    return lines.rowId();
}

void DistributionLines::insert(std::int32_t account, const std::string& description) {
    Cursor lines(db_, lineTable_);
    lines.insert();
    lines.set("Tmp_account", account);
    lines.set("Tmp_desc", description);
    lines.set("Tmp_debit", Money());
    lines.set("Tmp_credit", Money());
    lines.post();
}

std::string DistributionLines::accountDescription(std::int32_t account, bool* found) const {
    if (account == 0) { // no account: nothing to read, not even the chart's definition
        if (found) *found = false;
        return {};
    }
    Cursor glm(db_, "glm", true);
    return accountDescription(glm, account, found);
}

std::string DistributionLines::accountDescription(Cursor& glm, std::int32_t account, bool* found) {
    const bool there = account != 0 && glm.findKey({Value(account)}); // 0: no account
    if (found) *found = there;
    return there ? glm.str("Glm_Description") : std::string();
}

bool DistributionLines::setAccount(std::int64_t rowId, std::optional<std::int32_t> account) {
    Cursor lines(db_, lineTable_);
    moveToRow(lines, rowId);
    if (account.value_or(0) == 0) {
        const Money debit = lines.money("Tmp_debit"), credit = lines.money("Tmp_credit");
        const bool held = clearRule_ == ClearAccount::WithoutAmount ? !debit.isZero() || !credit.isZero()
                                                                    : debit > Money() || credit > Money();
        if (held) return false;
        lines.edit();
        if (account)
            lines.set("Tmp_account", 0);
        else
            lines.clear("Tmp_account");
        lines.post();
        return true;
    }
    bool found = false;
    const std::string description = accountDescription(*account, &found);
    if (!found) return false;
    lines.edit();
    lines.set("Tmp_account", *account);
    lines.set("Tmp_desc", description);
    lines.post();
    return true;
}

void DistributionLines::setDescription(std::int64_t rowId, const std::string& description) {
    Cursor lines(db_, lineTable_);
    moveToRow(lines, rowId);
    lines.edit();
    lines.set("Tmp_desc", description);
    lines.post();
}

void DistributionLines::setDebit(std::int64_t rowId, Money debit) {
    inWorkTransaction(db_, [&] {
        Cursor lines(db_, lineTable_);
        moveToRow(lines, rowId);
        lines.edit();
        lines.set("Tmp_debit", debit);
        if (!debit.isZero()) lines.set("Tmp_credit", Money());
        lines.post();
        updateTotals();
    });
}

void DistributionLines::setCredit(std::int64_t rowId, Money credit) {
    inWorkTransaction(db_, [&] {
        Cursor lines(db_, lineTable_);
        moveToRow(lines, rowId);
        lines.edit();
        lines.set("Tmp_credit", credit);
        if (!credit.isZero()) lines.set("Tmp_debit", Money());
        lines.post();
        updateTotals();
    });
}

void DistributionLines::remove(std::int64_t rowId) {
    inWorkTransaction(db_, [&] {
        Cursor lines(db_, lineTable_);
        moveToRow(lines, rowId);
        lines.remove();
        updateTotals();
    });
}

void DistributionLines::updateTotals() {
    Money debit, credit;
    {
        Cursor lines(db_, lineTable_, true);
        for (bool more = lines.first(); more; more = lines.next()) {
            debit += lines.money("Tmp_debit");
            credit += lines.money("Tmp_credit");
        }
    }
    Cursor totals(db_, totalsTable_);
    if (totals.first()) {
        if (totals.money("TotalDebit") == debit && totals.money("TotalCredit") == credit) return;
        totals.edit();
    } else {
        totals.insert();
    }
    totals.set("TotalDebit", debit);
    totals.set("TotalCredit", credit);
    totals.post();
}

DistributionLines::Totals DistributionLines::totals() const {
    Cursor totals(db_, totalsTable_, true);
    if (!totals.first()) return {};
    return {totals.money("TotalDebit"), totals.money("TotalCredit")};
}

} // namespace vm::journal
