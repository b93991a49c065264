#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vm {
class Cursor;
class Value;
} // namespace vm

// Rule helpers shared by the windows that keep master records (clients,
// suppliers): reading the number fields as the rules do, look-ups that never
// move the edited row, the defaults of a new row, the ledger guard of a
// deletion, the currency lists of the control row and the postal code.
namespace vm::core {

std::string trimmedText(const std::string& text);
bool blankText(const std::string& text);
// The text of a number field as the rules read it: blank or not a whole
// number gives 0.
std::int64_t numberOfText(const std::string& text);

// Whether `key` is in the cursor's primary index. The cursor's read snapshot
// is let go afterwards, so no look-up holds back another session's write.
bool existsByKey(Cursor& cursor, const Value& key);
// An account 0 or below means "none" and is accepted; a positive account
// must be in the chart (`glm`, keyed by account).
bool accountAccepted(Cursor& glm, std::int64_t account);
// Leaving an account field: empty text is refused, otherwise as above.
bool accountTextAccepted(Cursor& glm, const std::string& text);
// Every empty numeric field (integer, real, money) of a row being inserted
// becomes 0.
void zeroEmptyNumbers(Cursor& row);
// Whether a ledger (cursor indexed by the client or supplier code first)
// has any row for `code`.
bool hasRowsFor(Cursor& ledger, const std::string& code);

// The named currencies of the control row (Ctrl_curr1..4): the drop-down
// lists the non-blank names after the company's own currency, and the
// stored number is the drop-down position (0 = the company's currency).
std::vector<std::string> currencyChoices(const std::array<std::string, 4>& names);
// The sign shown with a record's amounts: the workstation's symbol for
// currency 0 (and for a number out of range), else that currency's sign.
std::string currencySign(const std::array<std::string, 4>& signs, int currency,
                         const std::string& homeSymbol);

// The postal code is required only when the workstation's `intl` setting is
// "N" (any case); any other value, blank included, leaves it optional.
bool postalCodeRequired(const std::string& intlSetting);
// Canada, as the country of an address is typed ("Canada", "CA", "CAN", any
// case). A blank country is not taken for Canada: it stays free text.
bool isCanada(const std::string& country);
// A Canadian postal code in its form "A1A 1A1" (letters upper-cased, the
// space optional on entry); nothing when the text does not have that form.
std::optional<std::string> canadianPostalCode(const std::string& text);

} // namespace vm::core
