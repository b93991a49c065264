#pragma once
#include <string>
#include <string_view>

namespace vm::report {

// Rewrites an amount mask designed with "$" for the session's currency
// convention. Only a mask that begins with "$" is rewritten. In each of its
// ';'-separated sections the first "$" is replaced: with the symbol before
// amounts, by the symbol in its place ("$#,##0.00" -> "€#,##0.00"); with the
// symbol after, it is dropped and the symbol follows the last digit of the
// section ("$#,##0.00" -> "#,##0.00€", "-$#,##0.00" -> "-#,##0.00€"). Every
// section is rewritten, not only the first, so that negative amounts carry
// the same symbol as positive ones. A symbol holding mask characters is
// quoted so that it prints as it stands.
std::string rewriteCurrencyMask(std::string_view mask, std::string_view symbol, bool symbolBefore);

} // namespace vm::report
