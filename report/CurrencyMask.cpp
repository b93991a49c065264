#include "report/CurrencyMask.h"

#include <vector>

namespace vm::report {

namespace {

std::vector<std::string> splitSections(std::string_view mask) {
    std::vector<std::string> out(1);
    char quote = 0;
    for (char c : mask) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == ';') {
            out.emplace_back();
            continue;
        }
        out.back() += c;
    }
    return out;
}

std::string symbolLiteral(std::string_view symbol) {
    bool special = false;
    for (char c : symbol)
        special = special || std::string_view("0#.,;'\"%Ee\\").find(c) != std::string_view::npos;
    if (!special) return std::string(symbol);
    char q = symbol.find('"') == std::string_view::npos ? '"' : '\'';
    return q + std::string(symbol) + q;
}

std::string rewriteSection(const std::string& sec, const std::string& sym, bool before) {
    char quote = 0;
    std::size_t dollar = std::string::npos;
    for (std::size_t i = 0; i < sec.size() && dollar == std::string::npos; ++i) {
        char c = sec[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '$') {
            dollar = i;
        }
    }
    if (dollar == std::string::npos) return sec;
    std::string rest = sec.substr(0, dollar) + sec.substr(dollar + 1);
    if (before) return rest.insert(dollar, sym);
    std::size_t after = std::string::npos;
    quote = 0;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        char c = rest[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '0' || c == '#' || c == '.' || c == ',') {
            after = i + 1;
        }
    }
    if (after == std::string::npos) after = rest.size();
    return rest.insert(after, sym);
}

} // namespace

std::string rewriteCurrencyMask(std::string_view mask, std::string_view symbol, bool symbolBefore) {
    if (mask.empty() || mask[0] != '$') return std::string(mask);
    std::string sym = symbolLiteral(symbol);
    std::string out;
    auto sections = splitSections(mask);
    for (std::size_t i = 0; i < sections.size(); ++i) {
        if (i) out += ';';
        out += rewriteSection(sections[i], sym, symbolBefore);
    }
    return out;
}

} // namespace vm::report
