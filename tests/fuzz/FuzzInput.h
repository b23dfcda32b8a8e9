// A fuzzer's input read as a stream of choices: bytes, 32-bit numbers and short texts. Reading
// past the end gives zeros and empty texts, so a target can read as much as it likes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace nv::fuzz {

struct FuzzInput {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos = 0;

    bool done() const { return pos >= size; }
    std::uint8_t byte() { return pos < size ? data[pos++] : 0; }
    int int32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            v = (v << 8) | byte();
        }
        return static_cast<int>(v);
    }
    // A text of up to MAXLENGTH-1 bytes (its length is the next byte modulo MAXLENGTH).
    std::string text(std::size_t maxLength = 48) {
        const std::size_t length = byte() % maxLength;
        const std::size_t n = length < size - pos ? length : size - pos;
        std::string result(reinterpret_cast<const char*>(data + pos), n);
        pos += n;
        return result;
    }
};

} // namespace nv::fuzz
