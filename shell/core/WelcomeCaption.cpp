#include "shell/core/WelcomeCaption.h"

#include "common/core/DateTimeFormat.h"

namespace vm::shell {

std::string WelcomeCaption::afterLaunch(int language, const DateTime& now, bool withAddOn) {
    const char* pattern = nullptr;
    if (language == 1)
        pattern = withAddOn ? "\"Welcome to Valmorand/Tollmere  \" dddd, mmmm d, yyyy "
                            : "\"Welcome to Valmorand  \" dddd, mmmm d, yyyy ";
    else
        pattern = withAddOn ? "\"Bienvenue à Valmorand/Tollmere  \" dddd, d mmmm yyyy "
                            : "\"Bienvenue à Valmorand  \" dddd, d mmmm yyyy ";
    return core::formatDateTime(pattern, now, language);
}

std::string WelcomeCaption::afterLanguageChange(const std::string& translatedCaption, int language,
                                                const DateTime& now) {
    // The caption is quoted text of the pattern; a quote inside it would end
    // the quoted part, so it is left out rather than read as date letters.
    std::string text;
    for (char c : translatedCaption)
        if (c != '"') text += c;
    return core::formatDateTime("\"" + text + " \"   dddd, d mmmm yyyy ", now, language);
}

} // namespace vm::shell
