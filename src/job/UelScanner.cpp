#include "job/UelScanner.h"

#include <algorithm>
#include <cstring>

namespace nv {

namespace {

constexpr char kEscape = '\x1B';

bool StartsWithUel(const char* at, std::size_t available) {
    return available >= kUel.size() && std::memcmp(at, kUel.data(), kUel.size()) == 0;
}

} // namespace

bool UelScanner::Contains(const char* data, std::size_t size) {
    // A sequence begun in the earlier pieces ends within the first bytes of this one.
    if (tailSize_ > 0) {
        std::array<char, 2 * (kUel.size() - 1)> joint{};
        const std::size_t head = std::min(size, kUel.size() - 1);
        std::memcpy(joint.data(), tail_.data(), tailSize_);
        std::memcpy(joint.data() + tailSize_, data, head);
        const std::size_t jointSize = tailSize_ + head;
        for (std::size_t i = 0; i < tailSize_; ++i) {
            if (joint[i] == kEscape && StartsWithUel(joint.data() + i, jointSize - i)) {
                return true;
            }
        }
    }
    const char* const end = data + size;
    for (const char* at = data; at < end; ++at) {
        at = static_cast<const char*>(std::memchr(at, kEscape, static_cast<std::size_t>(end - at)));
        if (at == nullptr) {
            break;
        }
        if (StartsWithUel(at, static_cast<std::size_t>(end - at))) {
            return true;
        }
    }
    // Keep the stream's last bytes for the next piece.
    if (size >= tail_.size()) {
        std::memcpy(tail_.data(), end - tail_.size(), tail_.size());
        tailSize_ = tail_.size();
    } else {
        const std::size_t keep = std::min(tailSize_, tail_.size() - size);
        std::memmove(tail_.data(), tail_.data() + tailSize_ - keep, keep);
        std::memcpy(tail_.data() + keep, data, size);
        tailSize_ = keep + size;
    }
    return false;
}

} // namespace nv
