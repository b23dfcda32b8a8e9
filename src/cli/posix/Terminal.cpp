#include "cli/Terminal.h"

#include <unistd.h>

namespace nv::cli {

bool IsTerminal(std::FILE* file) {
    return file != nullptr && ::isatty(::fileno(file)) == 1;
}

std::optional<std::string> ReadLine(std::FILE* file, std::size_t maxBytes) {
    std::string line;
    bool any = false;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        any = true;
        if (c == '\n') {
            break;
        }
        if (line.size() < maxBytes) {
            line.push_back(static_cast<char>(c));
        }
    }
    if (!any) {
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

} // namespace nv::cli
