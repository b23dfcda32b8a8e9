#include "platform/spooler/posix/PrintersFile.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace nv::platform {

namespace {

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool SameKey(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

struct Section {
    DirectPrinterEntry entry;
    bool hasDriver = false;
    bool hasPort = false;
};

void Keep(std::vector<DirectPrinterEntry>& result, Section& section) {
    if (!section.hasPort || section.entry.name.empty() || result.size() >= kMaxDirectPrinters) {
        return;
    }
    const bool known = std::any_of(result.begin(), result.end(), [&](const DirectPrinterEntry& e) {
        return e.name == section.entry.name;
    });
    if (!known) {
        result.push_back(std::move(section.entry));
    }
}

} // namespace

std::vector<DirectPrinterEntry> ParsePrintersFile(std::string_view text) {
    if (text.size() > kMaxPrintersFileBytes) {
        text = text.substr(0, kMaxPrintersFileBytes);
    }
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    std::vector<DirectPrinterEntry> result;
    Section section;
    bool inSection = false;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            if (close == std::string_view::npos) {
                continue;
            }
            if (inSection) {
                Keep(result, section);
            }
            section = Section{};
            section.entry.name = std::string(Trim(line.substr(1, close - 1)));
            inSection = true;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inSection || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = Trim(line.substr(0, equals));
        const std::string_view value = Trim(line.substr(equals + 1));
        if (SameKey(key, "Driver") && !section.hasDriver) {
            section.entry.driver = std::string(value);
            section.hasDriver = true;
        } else if (SameKey(key, "Port") && !section.hasPort) {
            section.entry.port = std::string(value);
            section.hasPort = true;
        }
    }
    if (inSection) {
        Keep(result, section);
    }
    return result;
}

std::vector<DirectPrinterEntry> ReadPrintersFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {};
    }
    std::string text(kMaxPrintersFileBytes, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return ParsePrintersFile(text);
}

} // namespace nv::platform
