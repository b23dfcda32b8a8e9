// Reads arbitrary file bytes as text lines through the buffered reader, with raw reads cut
// short at arbitrary sizes and arbitrary line buffers, and checks every line against the
// text-mode view computed directly (CR LF as LF, a 0x1A byte ends the data): same bytes, never
// more than the buffer holds, nothing written past it.
//
// Input layout: byte 0 bounds each raw read (1-64 bytes, or no bound from 192 on), bytes 1-4
// are the line-buffer sizes used in turn (0-39), the rest is the file.
#include "platform/files/BufferedFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

class MemoryFile final : public nv::platform::BufferedFile {
public:
    MemoryFile(std::string bytes, std::size_t chunk) : bytes_(std::move(bytes)), chunk_(chunk) {}
    std::int64_t Length() const override { return static_cast<std::int64_t>(bytes_.size()); }

protected:
    std::int64_t ReadRaw(void* buffer, std::size_t size) override {
        const std::size_t take = std::min({size, chunk_, bytes_.size() - pos_});
        std::memcpy(buffer, bytes_.data() + pos_, take);
        pos_ += take;
        return static_cast<std::int64_t>(take);
    }

private:
    std::string bytes_;
    std::size_t chunk_;
    std::size_t pos_ = 0;
};

std::string TextView(const std::string& bytes) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size() && bytes[i] != '\x1A'; ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            continue;
        }
        text += bytes[i];
    }
    return text;
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) {
        return 0;
    }
    const std::size_t chunk = data[0] >= 192 ? SIZE_MAX : 1 + data[0] % 64;
    const std::size_t sizes[4] = {data[1] % 40u, data[2] % 40u, data[3] % 40u, data[4] % 40u};
    const std::string bytes(reinterpret_cast<const char*>(data + 5), size - 5);
    const std::string text = TextView(bytes);

    MemoryFile file(bytes, chunk);
    std::size_t pos = 0;
    for (std::size_t call = 0;; ++call) {
        const std::size_t bufferSize = sizes[call % 4];
        std::vector<char> buffer(bufferSize + 8, '\x5A');
        const bool got = file.ReadTextLine(buffer.data(), bufferSize);
        for (std::size_t i = bufferSize; i < buffer.size(); ++i) {
            Check(buffer[i] == '\x5A');
        }
        if (bufferSize < 2) {
            Check(!got);
            if (std::all_of(sizes, sizes + 4, [](std::size_t s) { return s < 2; })) {
                break;
            }
            continue;
        }
        if (!got) {
            Check(pos == text.size() && buffer[0] == '\0');
            break;
        }
        std::size_t length = 0;
        while (length < bufferSize - 1 && pos + length < text.size()) {
            if (text[pos + length++] == '\n') {
                break;
            }
        }
        Check(length > 0);
        Check(std::memcmp(buffer.data(), text.data() + pos, length) == 0);
        Check(buffer[length] == '\0');
        pos += length;
    }
    return 0;
}
