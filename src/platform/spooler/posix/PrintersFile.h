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

// Reads and parses the file at PATH; empty when it cannot be read.
std::vector<DirectPrinterEntry> ReadPrintersFile(const std::string& path);

} // namespace nv::platform
