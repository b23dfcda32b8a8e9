// Fuzz target for the document's UEL check. The first byte chooses a piece size; the rest is a
// document fed in pieces of that size (and of sizes drawn from the document itself). The check
// must report a UEL exactly when a plain search of the whole document finds one.
#include "job/UelScanner.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t step = data[0] % 17 + 1;
    const std::string_view document(reinterpret_cast<const char*>(data + 1), size - 1);
    const bool expected = document.find(nv::kUel) != std::string_view::npos;

    nv::UelScanner fixed;
    bool found = false;
    for (std::size_t at = 0; at < document.size() && !found; at += step) {
        const std::size_t take = std::min(step, document.size() - at);
        found = fixed.Contains(document.data() + at, take);
    }
    if (found != expected) {
        std::abort();
    }

    // Pieces of sizes read from the document, empty pieces among them.
    nv::UelScanner varied;
    found = false;
    for (std::size_t at = 0, i = 0; at < document.size() && !found; ++i) {
        std::size_t take = static_cast<unsigned char>(document[i % document.size()]) % 11;
        if (take == 0) {
            found = varied.Contains(document.data() + at, 0);
            take = 1;
        }
        take = std::min(take, document.size() - at);
        found = found || varied.Contains(document.data() + at, take);
        at += take;
    }
    if (found != expected) {
        std::abort();
    }
    return 0;
}
