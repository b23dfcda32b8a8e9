#include "platform/modules/UserLanguage.h"

#include <cstdlib>

namespace nv::platform {

std::vector<std::string> UserLanguages() {
    return LanguagesFromEnvironment([](const char* name) { return std::getenv(name); });
}

} // namespace nv::platform
