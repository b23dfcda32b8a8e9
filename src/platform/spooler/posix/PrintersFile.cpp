#include "platform/spooler/posix/PrintersFile.h"

#include "platform/files/posix/UniqueFd.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

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

// Adds the section's printer unless it has no port or name, or its name was taken by an earlier
// section. NAMES holds the names kept so far, so a file of many printers is parsed in linear
// time.
void Keep(std::vector<DirectPrinterEntry>& result, std::unordered_set<std::string>& names,
          Section& section) {
    if (!section.hasPort || section.entry.name.empty()) {
        return;
    }
    if (names.insert(section.entry.name).second) {
        result.push_back(std::move(section.entry));
    }
}

// Counts the section lines ('[' first after blanks) of a text read piece by piece.
class SectionCounter {
public:
    void Add(std::string_view piece) {
        for (char c : piece) {
            if (c == '\n') {
                lineStart_ = true;
            } else if (lineStart_ && c != ' ' && c != '\t' && c != '\r') {
                sections_ += c == '[' ? 1 : 0;
                lineStart_ = false;
            }
        }
    }
    std::size_t Sections() const { return sections_; }

private:
    bool lineStart_ = true;
    std::size_t sections_ = 0;
};

// Parses TEXT, or when CUT (the file goes on past the bound) the complete lines of its first
// kMaxPrintersFileBytes, whose count of bytes *PARSED receives; the section still open at their
// end may go on past them, so it is left out and counted in *CUTSECTIONS (0 or 1).
std::vector<DirectPrinterEntry> ParseBounded(std::string_view text, bool cut,
                                             std::size_t* cutSections, std::size_t* parsed) {
    *cutSections = 0;
    if (cut) {
        const std::size_t end = text.substr(0, kMaxPrintersFileBytes).rfind('\n');
        text = text.substr(0, end == std::string_view::npos ? 0 : end + 1);
    }
    *parsed = text.size();
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    std::vector<DirectPrinterEntry> result;
    std::unordered_set<std::string> names;
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
                Keep(result, names, section);
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
    if (inSection && cut) {
        *cutSections = 1;
    } else if (inSection) {
        Keep(result, names, section);
    }
    return result;
}

} // namespace

PrintersFileContent ParsePrintersText(std::string_view text) {
    PrintersFileContent content;
    const bool cut = text.size() > kMaxPrintersFileBytes;
    std::size_t parsed = 0;
    content.printers = ParseBounded(text, cut, &content.leftOut, &parsed);
    if (cut) {
        SectionCounter rest;
        const std::string_view after = text.substr(parsed);
        rest.Add(after.substr(0, kMaxPrintersCountBytes));
        content.leftOut += rest.Sections();
        content.leftOutAtLeast = after.size() > kMaxPrintersCountBytes;
    }
    return content;
}

std::vector<DirectPrinterEntry> ParsePrintersFile(std::string_view text) {
    return ParsePrintersText(text).printers;
}

namespace {

// Opens PATH for reading when it is a regular file, filling *IDENTITY; -1 otherwise. The open
// does not block, so a FIFO without a writer cannot hold it, and a FIFO or a device is refused
// rather than read as configuration.
int OpenRegularFile(const std::string& path, FileIdentity* identity) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    *identity = IdentityOf(info);
    return fd;
}

// Reads up to SIZE bytes from FD into BUFFER (fewer at the end of the file); false when a
// read fails.
bool ReadUpTo(int fd, char* buffer, std::size_t size, std::size_t* done) {
    *done = 0;
    while (*done < size) {
        const ssize_t n = ::read(fd, buffer + *done, size - *done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            break;
        }
        *done += static_cast<std::size_t>(n);
    }
    return true;
}

// Reads and parses FD: kMaxPrintersFileBytes at most are kept, the sections after them are
// counted in pieces; none when a read fails.
std::optional<PrintersFileContent> ReadContent(int fd) {
    std::string text(kMaxPrintersFileBytes + 1, '\0');
    std::size_t done = 0;
    if (!ReadUpTo(fd, text.data(), text.size(), &done)) {
        return std::nullopt;
    }
    text.resize(done);
    if (done <= kMaxPrintersFileBytes) {
        return ParsePrintersText(text);
    }
    PrintersFileContent content;
    std::size_t parsed = 0;
    content.printers = ParseBounded(text, true, &content.leftOut, &parsed);
    std::size_t counted = text.size() - parsed;
    SectionCounter rest;
    rest.Add(std::string_view(text).substr(parsed));
    char piece[65536];
    while (counted < kMaxPrintersCountBytes) {
        const std::size_t want = std::min(sizeof piece, kMaxPrintersCountBytes - counted);
        if (!ReadUpTo(fd, piece, want, &done)) {
            return std::nullopt;
        }
        if (done == 0) {
            break;
        }
        rest.Add(std::string_view(piece, done));
        counted += done;
    }
    content.leftOut += rest.Sections();
    content.leftOutAtLeast =
        counted >= kMaxPrintersCountBytes && ReadUpTo(fd, piece, 1, &done) && done == 1;
    return content;
}

} // namespace

PrintersFileContent ReadPrintersContent(const std::string& path) {
    FileIdentity identity;
    const UniqueFd fd(OpenRegularFile(path, &identity));
    if (fd.Get() < 0) {
        return {};
    }
    return ReadContent(fd.Get()).value_or(PrintersFileContent{});
}

std::vector<DirectPrinterEntry> ReadPrintersFile(const std::string& path) {
    return ReadPrintersContent(path).printers;
}

const PrintersFileContent& PrintersFileCache::Read(const std::string& path) {
    auto it = std::find_if(files_.begin(), files_.end(),
                           [&](const CachedFile& file) { return file.path == path; });
    if (it == files_.end()) {
        it = files_.insert(files_.end(), CachedFile{path, std::nullopt, {}});
    }
    FileIdentity identity;
    const UniqueFd fd(OpenRegularFile(path, &identity));
    if (fd.Get() < 0) {
        if (it->identity) {
            ++changes_;
        }
        it->identity.reset();
        it->content = {};
        return it->content;
    }
    if (it->identity != identity) {
        ++changes_;
        std::optional<PrintersFileContent> content = ReadContent(fd.Get());
        it->identity = content ? std::optional<FileIdentity>(identity) : std::nullopt;
        it->content = std::move(content).value_or(PrintersFileContent{});
    }
    return it->content;
}

} // namespace nv::platform
