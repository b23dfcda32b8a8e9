// The languages the user wants the program to speak, most wanted first, as the short tags the
// language folders of the program directory are named by ("en", "ja").
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace nv::platform {

// The user's languages as the platform tells them: on Windows the user's interface language
// (GetUserDefaultUILanguage); elsewhere the first of LANGUAGE, LC_ALL, LC_MESSAGES and LANG
// that is set and not empty (see LanguagesFromEnvironment). Empty: the default library.
std::vector<std::string> UserLanguages();

// The languages named by the environment that LOOKUP reads (a getenv; null for unset): the
// first of LANGUAGE, LC_ALL, LC_MESSAGES and LANG that is set and not empty decides. "C" and
// "POSIX" (with or without a ".codeset") ask for the default library: the result is empty.
// LANGUAGE may hold a colon-separated list; every entry that names a language is kept, in
// order. A value naming no language at all lets the next variable decide.
std::vector<std::string>
LanguagesFromEnvironment(const std::function<const char*(const char*)>& lookup);

// The language tag of locale name NAME ("en_US.UTF-8" -> "en", "ja" -> "ja"): two or three
// ASCII letters before any '_', '.' or '@', lower-cased; "" when NAME names no language. The
// tag is safe as a folder name: it never holds anything but letters.
std::string LanguageOfLocaleName(std::string_view name);

} // namespace nv::platform
