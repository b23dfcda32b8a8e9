#include "job/DocumentJobWriter.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace nv {

std::int64_t DocumentJobWriter::Write(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::size_t left = size;
    while (left > 0) {
        const std::size_t part = std::min<std::size_t>(left, std::numeric_limits<DWORD>::max());
        if (!platform::WriteAll(document_, bytes, static_cast<DWORD>(part))) {
            return -1;
        }
        bytes += part;
        left -= part;
    }
    return static_cast<std::int64_t>(size);
}

} // namespace nv
