#include "platform/modules/ModuleLanguage.h"
#include "platform/modules/UserLanguage.h"

#include <windows.h>

namespace nv::platform {

std::vector<std::string> UserLanguages() {
    std::string tag = LanguageTagOfId(PRIMARYLANGID(GetUserDefaultUILanguage()));
    if (tag.empty()) {
        return {};
    }
    return {std::move(tag)};
}

} // namespace nv::platform
