#include "platform/modules/UserLanguage.h"

#include <algorithm>

namespace nv::platform {

namespace {

// The longest value read from one variable: a user's list of languages is short.
constexpr std::size_t kMaxVariableLength = 1024;

bool IsDefaultLocale(std::string_view name) {
    const std::string_view base = name.substr(0, name.find('.'));
    return base == "C" || base == "POSIX";
}

} // namespace

std::string LanguageOfLocaleName(std::string_view name) {
    const std::string_view language = name.substr(0, name.find_first_of("_.@"));
    if (language.size() < 2 || language.size() > 3) {
        return {};
    }
    std::string tag;
    for (const char c : language) {
        if (c >= 'A' && c <= 'Z') {
            tag += static_cast<char>(c - 'A' + 'a');
        } else if (c >= 'a' && c <= 'z') {
            tag += c;
        } else {
            return {};
        }
    }
    return tag;
}

std::vector<std::string>
LanguagesFromEnvironment(const std::function<const char*(const char*)>& lookup) {
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* raw = lookup ? lookup(variable) : nullptr;
        if (raw == nullptr || *raw == '\0') {
            continue;
        }
        std::string_view value(raw);
        value = value.substr(0, std::min(value.size(), kMaxVariableLength));
        std::vector<std::string> languages;
        while (true) {
            const std::size_t colon = value.find(':');
            const std::string_view entry = value.substr(0, colon);
            if (IsDefaultLocale(entry)) {
                // The default asked for by name: nothing after it is wanted more.
                return languages;
            }
            std::string tag = LanguageOfLocaleName(entry);
            if (!tag.empty() &&
                std::find(languages.begin(), languages.end(), tag) == languages.end()) {
                languages.push_back(std::move(tag));
            }
            if (colon == std::string_view::npos) {
                break;
            }
            value.remove_prefix(colon + 1);
        }
        if (!languages.empty()) {
            return languages;
        }
    }
    return {};
}

} // namespace nv::platform
