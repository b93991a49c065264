#pragma once
#include <string>

namespace vm::forms {

// The directory that holds the language tables, found the same way by the
// shell, every module and every component:
//   1. the environment variable VALMORAND_LANGUAGES, when set and not empty;
//   2. "../languages" relative to the current directory, when it holds the
//      languages database (a program started from the program directory);
//   3. "<program directory>/../languages", the installed layout.
// The result is absolute and may not exist (case 3 is the fall-back).
std::string languagesDirectory();

// "<stem><langCode>" with the first "." of the stem removed.
std::string languageTableName(const std::string& stem, const std::string& langCode);

} // namespace vm::forms
