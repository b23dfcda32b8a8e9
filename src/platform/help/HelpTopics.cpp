#include "platform/help/HelpTopics.h"

#include <array>

namespace nv::platform {

std::string HelpFileOf(const std::string& fileText) {
    // A window type is a name after the last '>'; a '>' followed by a path separator is part of
    // a folder name (legal on Linux), not the start of a window type.
    const std::size_t mark = fileText.rfind('>');
    if (mark == std::string::npos || fileText.find_first_of("/\\", mark) != std::string::npos) {
        return fileText;
    }
    return fileText.substr(0, mark);
}

std::string ResolveHelpTopic(const std::string& helpFile, UINT context, const std::string& language,
                             const std::function<bool(const std::string&)>& exists) {
    const std::size_t slash = helpFile.find_last_of("/\\");
    const std::string dir =
        slash == std::string::npos ? std::string() : helpFile.substr(0, slash + 1);
    const std::array<std::string, 3> languages = {language, "en", "ja"};
    for (const std::string& lang : languages) {
        if (lang.empty()) {
            continue;
        }
        const std::string folder = dir + "help/" + lang + "/";
        const std::string main = folder + "index.html";
        if (!exists(main)) {
            continue;
        }
        if (context != 1) {
            const std::string topic = folder + "topic-" + std::to_string(context) + ".html";
            if (exists(topic)) {
                return topic;
            }
        }
        return main;
    }
    return {};
}

std::string FileUrl(const std::string& path) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~' ||
                           c == '/';
        if (plain) {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += kHex[c >> 4];
            url += kHex[c & 0x0F];
        }
    }
    return url;
}

} // namespace nv::platform
