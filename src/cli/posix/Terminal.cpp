#include "cli/Terminal.h"

#include <unistd.h>

namespace nv::cli {

bool IsTerminal(std::FILE* file) {
    return file != nullptr && ::isatty(::fileno(file)) == 1;
}

std::optional<std::string> ReadLine(std::FILE* file, std::size_t maxBytes) {
    std::string line;
    bool any = false;
    bool ended = false;
    while (line.size() <= maxBytes) {
        const int c = std::fgetc(file);
        if (c == EOF) {
            break;
        }
        any = true;
        if (c == '\n') {
            ended = true;
            break;
        }
        line.push_back(static_cast<char>(c));
    }
    if (!any) {
        return std::nullopt;
    }
    bool cut = false;
    if (!ended && line.size() > maxBytes) {
        // Read as far as allowed: the line goes on unless a CR just read ends it.
        cut = true;
        if (line.back() == '\r') {
            const int next = std::fgetc(file);
            cut = next != '\n' && next != EOF;
            if (cut) {
                std::ungetc(next, file);
            }
        }
        if (cut && IsTerminal(file)) {
            for (int c = std::fgetc(file); c != EOF && c != '\n'; c = std::fgetc(file)) {
            }
        }
    }
    // A CR that ends the line is no part of it.
    if (!cut && !line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

} // namespace nv::cli
