// The user-interface language of a resource module, taken from the first translation of its
// version information, as a short tag ("ja", "en") for choosing files that follow the module's
// language (help topics, button texts).
#pragma once

#include <string>

namespace nv::platform {

class ResourceModule;

// "ja" for Japanese, "en" for English, another ISO 639-1 tag for the few others known; "" when
// the module has no readable translation or its language is not known here.
std::string LanguageTagOf(const ResourceModule& module);

// The tag of primary language LANGID (the low 10 bits of a language ID); "" when not known.
std::string LanguageTagOfId(unsigned languageId);

} // namespace nv::platform
