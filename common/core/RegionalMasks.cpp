#include "common/core/RegionalMasks.h"

#include "common/core/RegionalSettings.h"

namespace vm::core {

std::string dateEditMask(std::string_view shortDateFormat) {
    std::string mask = "!";
    for (char c : shortDateFormat) {
        switch (c) {
        case 'D':
        case 'd':
        case 'M':
        case 'm':
        case 'Y':
        case 'y':
            mask += '9';
            break;
        default:
            mask += c;
        }
    }
    mask += ";1; ";
    return mask;
}

bool isReplaceableDateMask(std::string_view mask) {
    return mask == "99/99/9999" || mask == "9999/99/99" || mask == "!99/99/9999" || mask == "!99/99/9999;1; ";
}

std::string currencyMask(std::string_view designedMask, const RegionalSettings& settings) {
    if (designedMask.empty() || designedMask.front() != '$') return std::string(designedMask);
    const std::string_view rest = designedMask.substr(1);
    if (settings.symbolBefore()) return settings.currencySymbol + std::string(rest);
    return std::string(rest) + settings.currencySymbol;
}

} // namespace vm::core
