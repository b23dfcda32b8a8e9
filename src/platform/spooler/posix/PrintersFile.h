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

#include "platform/files/posix/FileIdentity.h"

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

// The part of a file that is read: a hostile file costs at most this much memory, and time
// linear in it. Past it, sections are only counted (up to kMaxPrintersCountBytes further, in
// constant memory), so that the user can be told how many printers were left out.
inline constexpr std::size_t kMaxPrintersFileBytes = 1 << 20;
inline constexpr std::size_t kMaxPrintersCountBytes = std::size_t{64} << 20;
// The most printers kMaxPrintersFileBytes can hold ("[a]\nPort=\n" per printer).
inline constexpr std::size_t kMaxDirectPrinters = kMaxPrintersFileBytes / 10;

// What a printers file gives: its printers, in file order, and the sections past the size bound
// that are not listed (the section the bound cuts through included, so that no printer is ever
// listed with a value cut short).
struct PrintersFileContent {
    std::vector<DirectPrinterEntry> printers;
    std::size_t leftOut = 0;
    bool leftOutAtLeast = false; // the file goes on past kMaxPrintersCountBytes: maybe more
};

// Parses TEXT; of a text longer than kMaxPrintersFileBytes only that much is parsed and the
// rest is counted as above.
PrintersFileContent ParsePrintersText(std::string_view text);
// The printers of ParsePrintersText(TEXT).
std::vector<DirectPrinterEntry> ParsePrintersFile(std::string_view text);

// Reads and parses the file at PATH; empty when it cannot be read or is not a regular file (a
// FIFO, a device or a folder is never read as configuration).
PrintersFileContent ReadPrintersContent(const std::string& path);
std::vector<DirectPrinterEntry> ReadPrintersFile(const std::string& path);

// Printers files read as ReadPrintersFile reads them, parsed again only when a file changed: each
// call still looks at the file, so an edit is seen at once, but listing and opening many
// printers does not parse the same file over and over.
class PrintersFileCache {
public:
    // The content of the file at PATH, valid until PATH is read again.
    const PrintersFileContent& Read(const std::string& path);
    // How many times a file's content changed (parsed anew, or gone): what was read before
    // may be gone.
    std::size_t Changes() const { return changes_; }

private:
    struct CachedFile {
        std::string path;
        std::optional<FileIdentity> identity; // none: nothing could be read
        PrintersFileContent content;
    };
    std::size_t changes_ = 0;
    std::list<CachedFile> files_; // a list: reading one file leaves the others in place
};

} // namespace nv::platform
