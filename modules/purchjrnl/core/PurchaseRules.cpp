#include "modules/purchjrnl/core/PurchaseRules.h"

#include "engine/Cursor.h"
#include "engine/Database.h"
#include "modules/purchjrnl/core/PurchaseMessage.h"

#include <algorithm>

namespace vm::purchjrnl {

const char* ledgerCode(PurchaseType type) {
    switch (type) {
    case PurchaseType::Purchase:
        return "1";
    case PurchaseType::Debit:
        return "4";
    case PurchaseType::Credit:
        return "5";
    case PurchaseType::Adjustment:
        return "3";
    }
    return "1";
}

Date dueDateFromTerms(Date base, std::int64_t terms) {
    if (base.isNull()) return base;
    if (terms < 900) return base.addDays(static_cast<int>(terms));
    int year = base.year();
    int month = base.month() + 1;
    if (month > 12) {
        month = 1;
        ++year;
    }
    const Date first = Date::fromYmd(year, month, 1);
    const int nextYear = month == 12 ? year + 1 : year;
    const int nextMonth = month == 12 ? 1 : month + 1;
    const int lastDay = Date::fromYmd(nextYear, nextMonth, 1).daysSince(first);
    const int day = static_cast<int>(std::clamp<std::int64_t>(terms - 900, 1, lastDay));
    return Date::fromYmd(year, month, day);
}

int invoiceNumberCheck(Database& companyDb, const std::string& supplier, const std::string& invoice,
                       PurchaseType type) {
    if (type == PurchaseType::Adjustment) return kMsgNone;
    Cursor cap(companyDb, "cap", true);
    cap.setIndex("Cap_supplier");
    bool found = false;
    for (bool more = cap.setRange({Value(supplier), Value(invoice)}); more && !found; more = cap.next())
        found = cap.str("Cap_type") == "1";
    if (type == PurchaseType::Purchase) return found ? kMsgInvoiceExists : kMsgNone;
    return found ? kMsgNone : kMsgInvoiceNotFound;
}

} // namespace vm::purchjrnl
