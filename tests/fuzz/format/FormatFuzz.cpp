// Formats an arbitrary template with arbitrary typed arguments into every output size the
// callers use and checks the bounds: nothing written past the limit, the NUL in place, the
// reported length and truncation consistent, both entry points storing the same bytes.
//
// Input layout: byte 0 picks the output size, byte 1 the argument count (0-7); each argument is
// a kind byte (Int, UInt or Text) followed by 4 value bytes or, for a text, a length byte and
// that many bytes (a length of 255 stands for a null text); the rest is the format.
#include "platform/format/Format.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

using nv::platform::FormatArg;

constexpr std::size_t kSizes[] = {0, 1, 2, 16, 128, 260, 320, 1024, 1500};
constexpr std::size_t kGuard = 32;
constexpr char kFill = '\xA5';

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::string Bytes(std::size_t count) {
        count = std::min(count, size_ - pos_);
        std::string out(reinterpret_cast<const char*>(data_ + pos_), count);
        pos_ += count;
        return out;
    }
    std::string Rest() { return Bytes(size_ - pos_); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input(data, size);
    const std::size_t outSize = kSizes[input.Byte() % std::size(kSizes)];
    const std::size_t count = input.Byte() % 8;
    std::deque<std::string> texts;
    std::vector<FormatArg> args;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t kind = input.Byte() % 3;
        if (kind == 2) {
            const std::uint8_t length = input.Byte();
            if (length == 255) {
                args.push_back(FormatArg::Text(nullptr));
            } else {
                texts.push_back(input.Bytes(length));
                args.push_back(FormatArg::Text(texts.back().c_str()));
            }
            continue;
        }
        std::uint32_t value = 0;
        for (int b = 0; b < 4; ++b) {
            value = (value << 8) | input.Byte();
        }
        args.push_back(kind == 0 ? FormatArg::Int(static_cast<std::int32_t>(value))
                                 : FormatArg::UInt(value));
    }
    const std::string format = input.Rest(); // c_str() ends the format at its first NUL

    const std::size_t limit = std::min(outSize, nv::platform::kWsprintfMax);
    std::vector<char> checked(outSize + kGuard, kFill);
    const nv::platform::FormatResult result =
        nv::platform::FormatChecked(checked.data(), outSize, format.c_str(), args);
    Check(result.length >= 0);
    const std::size_t length = static_cast<std::size_t>(result.length);
    Check(limit == 0 ? length == 0 : length < limit);
    if (limit > 0) {
        Check(checked[length] == '\0');
    }
    for (std::size_t i = limit; i < checked.size(); ++i) {
        Check(checked[i] == kFill);
    }
    if (limit > 0 && length < limit - 1) {
        Check(!result.truncated);
    }

    std::vector<char> plain(outSize + kGuard, kFill);
    const int returned = nv::platform::wsprintfA(plain.data(), outSize, format.c_str(), args);
    Check(plain == checked);
    const bool filledCap =
        outSize >= nv::platform::kWsprintfMax && length == nv::platform::kWsprintfMax - 1;
    Check(returned == (filledCap ? static_cast<int>(nv::platform::kWsprintfMax) : result.length));

    // The precisions that cut the arguments: one per argument, from a scan of the same format.
    Check(nv::platform::TextPrecisions(format.c_str(), args.size()).size() == args.size());
    return 0;
}
