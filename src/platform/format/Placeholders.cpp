#include "platform/format/Placeholders.h"

namespace nv::platform {

std::string FillPlaceholders(std::string_view pattern,
                             std::initializer_list<std::string_view> args) {
    std::string text;
    text.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        if (c == '%' && next == '%') {
            text += '%';
            ++i;
        } else if (c == '%' && next >= '1' && next <= '9') {
            const auto index = static_cast<std::size_t>(next - '1');
            if (index < args.size()) {
                text += *(args.begin() + index);
            }
            ++i;
        } else {
            text += c;
        }
    }
    return text;
}

} // namespace nv::platform
