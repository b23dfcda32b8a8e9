// Fuzz target for the direct-printer backend's printers file parser: any bytes give at most
// the bounded number of printers, each with a name and a port, none named twice.
#include "platform/spooler/posix/PrintersFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto entries = nv::platform::ParsePrintersFile(
        std::string_view(reinterpret_cast<const char*>(data), size));
    std::set<std::string> names;
    if (entries.size() > nv::platform::kMaxDirectPrinters) {
        std::abort();
    }
    for (const auto& entry : entries) {
        if (entry.name.empty() || !names.insert(entry.name).second ||
            entry.name.find('\n') != std::string::npos ||
            entry.port.find('\n') != std::string::npos) {
            std::abort();
        }
    }
    return 0;
}
