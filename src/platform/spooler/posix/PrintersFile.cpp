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

// Adds the section's printer unless it has no port or name, its name was taken by an earlier
// section, or the file already gave the most printers kept. NAMES holds the names kept so far,
// so a file of many printers is parsed in linear time.
void Keep(std::vector<DirectPrinterEntry>& result, std::unordered_set<std::string>& names,
          Section& section) {
    if (!section.hasPort || section.entry.name.empty() || result.size() >= kMaxDirectPrinters) {
        return;
    }
    if (names.insert(section.entry.name).second) {
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
    if (inSection) {
        Keep(result, names, section);
    }
    return result;
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
    *identity = {static_cast<std::uint64_t>(info.st_dev),
                 static_cast<std::uint64_t>(info.st_ino),
                 static_cast<std::int64_t>(info.st_size),
                 static_cast<std::int64_t>(info.st_mtim.tv_sec),
                 static_cast<std::int64_t>(info.st_mtim.tv_nsec),
                 static_cast<std::int64_t>(info.st_ctim.tv_sec),
                 static_cast<std::int64_t>(info.st_ctim.tv_nsec)};
    return fd;
}

// Reads at most kMaxPrintersFileBytes from FD; none when a read fails.
std::optional<std::string> ReadBounded(int fd) {
    std::string text(kMaxPrintersFileBytes, '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::read(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    text.resize(done);
    return text;
}

} // namespace

std::vector<DirectPrinterEntry> ReadPrintersFile(const std::string& path) {
    FileIdentity identity;
    const UniqueFd fd(OpenRegularFile(path, &identity));
    if (fd.Get() < 0) {
        return {};
    }
    const std::optional<std::string> text = ReadBounded(fd.Get());
    return text ? ParsePrintersFile(*text) : std::vector<DirectPrinterEntry>();
}

const std::vector<DirectPrinterEntry>& PrintersFileCache::Read(const std::string& path) {
    auto it = std::find_if(files_.begin(), files_.end(),
                           [&](const CachedFile& file) { return file.path == path; });
    if (it == files_.end()) {
        it = files_.insert(files_.end(), CachedFile{path, std::nullopt, {}});
    }
    FileIdentity identity;
    const UniqueFd fd(OpenRegularFile(path, &identity));
    if (fd.Get() < 0) {
        it->identity.reset();
        it->printers.clear();
        return it->printers;
    }
    if (it->identity != identity) {
        const std::optional<std::string> text = ReadBounded(fd.Get());
        it->printers = text ? ParsePrintersFile(*text) : std::vector<DirectPrinterEntry>();
        it->identity = text ? std::optional<FileIdentity>(identity) : std::nullopt;
    }
    return it->printers;
}

} // namespace nv::platform
