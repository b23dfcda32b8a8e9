// The printers file of the direct-printer backend: an INI text with one section per printer,
// named after the printer, holding the keys Driver and Port:
//
//   [Office]
//   Driver=Velmora Quillet 4200
//   Port=socket://192.0.2.7:9100
//
// Keys are matched without regard to case; names and values are trimmed of spaces and tabs;
// lines starting with ';' or '#' are comments. A section without a Port is left out; the
// first of several sections with the same name wins, as does the first of repeated keys.
#pragma once

#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nv::platform {

struct DirectPrinterEntry {
    std::string name;
    std::string driver;
    std::string port;
};

// Limits that keep a hostile file from costing more than a little memory and time.
inline constexpr std::size_t kMaxPrintersFileBytes = 1 << 20;
inline constexpr std::size_t kMaxDirectPrinters = 1000;

// Parses TEXT (at most kMaxPrintersFileBytes are read; further bytes are ignored) into at most
// kMaxDirectPrinters entries, in file order.
std::vector<DirectPrinterEntry> ParsePrintersFile(std::string_view text);

// Reads and parses the file at PATH; empty when it cannot be read or is not a regular file (a
// FIFO, a device or a folder is never read as configuration).
std::vector<DirectPrinterEntry> ReadPrintersFile(const std::string& path);

// One version of a file: rewriting or replacing the file changes it.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = -1;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::int64_t changedSeconds = 0;
    std::int64_t changedNanoseconds = 0;
    bool operator==(const FileIdentity&) const = default;
};

// Printers files read as ReadPrintersFile reads them, parsed again only when a file changed: each
// call still looks at the file, so an edit is seen at once, but listing and opening many
// printers does not parse the same file over and over.
class PrintersFileCache {
public:
    // The printers of the file at PATH, valid until PATH is read again.
    const std::vector<DirectPrinterEntry>& Read(const std::string& path);

private:
    struct CachedFile {
        std::string path;
        std::optional<FileIdentity> identity; // none: nothing could be read
        std::vector<DirectPrinterEntry> printers;
    };
    std::list<CachedFile> files_; // a list: reading one file leaves the others in place
};

} // namespace nv::platform
