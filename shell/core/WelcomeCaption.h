#pragma once
#include "engine/Date.h"

#include <string>

namespace vm::shell {

// The main window's caption: a welcome text and the date.
class WelcomeCaption {
public:
    // After start-up and after every launch. withAddOn: after the Tools-menu
    // maintenance module, whose caption names the add-on as well.
    static std::string afterLaunch(int language, const DateTime& now, bool withAddOn = false);
    // After a language change: the translated window caption, then the date
    // as weekday, day, month name and year.
    static std::string afterLanguageChange(const std::string& translatedCaption, int language,
                                           const DateTime& now);
};

} // namespace vm::shell
