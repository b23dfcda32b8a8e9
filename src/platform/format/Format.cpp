// The formatting engine behind wsprintfA and FormatChecked (rules in Format.h).
#include "platform/format/Format.h"

#include <algorithm>
#include <cstring>

namespace nv::platform {
namespace {

// Stores bytes into a window of CAPACITY bytes and notes when something did not fit.
class BoundedOut {
public:
    BoundedOut(char* out, std::size_t capacity) : out_(out), capacity_(capacity) {}

    std::size_t length() const { return length_; }
    std::size_t room() const { return capacity_ - length_; }
    bool truncated() const { return truncated_; }

    void Put(char c) { Put(&c, 1); }
    void Put(const char* bytes, std::size_t count) {
        const std::size_t take = std::min(count, room());
        if (take > 0) {
            std::memcpy(out_ + length_, bytes, take);
            length_ += take;
        }
        truncated_ = truncated_ || take < count;
    }
    // Notes that the full result needed NEEDED bytes from here on.
    void Need(std::size_t needed) { truncated_ = truncated_ || needed > room(); }
    void Repeat(char c, std::size_t count) {
        const std::size_t take = std::min(count, room());
        if (take > 0) {
            std::memset(out_ + length_, c, take);
            length_ += take;
        }
        truncated_ = truncated_ || take < count;
    }

private:
    char* out_;
    std::size_t capacity_;
    std::size_t length_ = 0;
    bool truncated_ = false;
};

enum class Size { Default, Short, Long, Bits32, Bits64 };

struct Conversion {
    bool left = false;
    bool zero = false;
    bool prefix = false;
    std::size_t width = 0;
    std::size_t precision = 0; // 0: none
    Size size = Size::Default;
    char type = 0;
};

// Reads a decimal field at P. Values far above the output cap all format alike, so the field
// saturates instead of overflowing.
std::size_t ReadDecimal(const char*& p) {
    std::size_t value = 0;
    while (*p >= '0' && *p <= '9') {
        if (value < kWsprintfMax * 16) {
            value = value * 10 + static_cast<std::size_t>(*p - '0');
        }
        ++p;
    }
    return value;
}

// Parses the conversion that follows a '%' at P. Returns false for an unsupported conversion
// letter, leaving P at that letter so that the caller prints it (and what follows) as text.
bool ParseConversion(const char*& p, Conversion& conv) {
    for (;; ++p) {
        if (*p == '-') {
            conv.left = true;
        } else if (*p == '0') {
            conv.zero = true;
        } else if (*p == '#') {
            conv.prefix = true;
        } else {
            break;
        }
    }
    conv.width = ReadDecimal(p);
    if (*p == '.') {
        ++p;
        conv.precision = ReadDecimal(p);
    }
    switch (*p) {
    case 'h':
        conv.size = Size::Short;
        ++p;
        break;
    case 'l':
    case 'w':
        conv.size = Size::Long;
        ++p;
        break;
    case 'I':
        if (p[1] == '6' && p[2] == '4') {
            conv.size = Size::Bits64;
            p += 3;
        } else if (p[1] == '3' && p[2] == '2') {
            conv.size = Size::Bits32;
            p += 3;
        } else {
            conv.size = Size::Bits64; // pointer-sized on a 64-bit platform
            ++p;
        }
        break;
    default:
        break;
    }
    switch (*p) {
    case 'c':
    case 'C':
    case 'd':
    case 'i':
    case 's':
    case 'S':
    case 'u':
    case 'x':
    case 'X':
    case 'p':
        conv.type = *p++;
        return true;
    default:
        return false;
    }
}

// The argument's 64-bit pattern: an Int sign-extended, a UInt zero-extended, a Text or a
// missing argument 0.
std::uint64_t Bits(const FormatArg* arg) {
    if (arg == nullptr) {
        return 0;
    }
    switch (arg->kind()) {
    case FormatArg::Kind::Int:
        return static_cast<std::uint64_t>(static_cast<std::int64_t>(arg->asInt()));
    case FormatArg::Kind::UInt:
        return arg->asUInt();
    case FormatArg::Kind::Text:
        break;
    }
    return 0;
}

// Pads CONTENT of LENGTH bytes to the width. Like the platform, the width is first cut to the
// room left, so a conversion near the cap keeps its leading bytes instead of its padding.
void PutPadded(BoundedOut& out, const Conversion& conv, const char* content, std::size_t length) {
    const std::size_t width = std::min(conv.width, out.room());
    const std::size_t pad = width > length ? width - length : 0;
    out.Need(std::max(conv.width, length));
    if (!conv.left) {
        out.Repeat(' ', pad);
    }
    out.Put(content, length);
    if (conv.left) {
        out.Repeat(' ', pad);
    }
}

// A text is cut to the precision and never read past it or past its NUL.
void PutText(BoundedOut& out, const Conversion& conv, const char* text) {
    std::size_t length = 0;
    while ((conv.precision == 0 || length < conv.precision) && text[length] != '\0') {
        ++length;
    }
    PutPadded(out, conv, text, length);
}

// Writes MAGNITUDE in BASE with its sign and "0x" prefix, zero-extended to the precision (and
// to the width with the '0' flag); the precision counts the sign and the prefix.
void PutNumber(BoundedOut& out, const Conversion& conv, bool negative, std::uint64_t magnitude,
               unsigned base, bool upper) {
    const char* alphabet = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char digits[24];
    std::size_t count = 0;
    do {
        digits[count++] = alphabet[magnitude % base];
        magnitude /= base;
    } while (magnitude != 0);

    char lead[3];
    std::size_t leadLength = 0;
    if (negative) {
        lead[leadLength++] = '-';
    }
    if (conv.prefix && base == 16) {
        lead[leadLength++] = '0';
        lead[leadLength++] = upper ? 'X' : 'x';
    }

    const std::size_t room = out.room();
    const std::size_t length = leadLength + count;
    std::size_t body = std::max(length, std::min(conv.precision, room));
    if (conv.zero && !conv.left) {
        body = std::max(body, std::min(conv.width, room));
    }
    const std::size_t width = std::min(conv.width, room);
    const std::size_t pad = width > body ? width - body : 0;
    out.Need(std::max({conv.width, conv.precision, length}));

    if (!conv.left) {
        out.Repeat(' ', pad);
    }
    out.Put(lead, leadLength);
    out.Repeat('0', body - length);
    for (std::size_t i = count; i-- > 0;) {
        out.Put(digits[i]);
    }
    if (conv.left) {
        out.Repeat(' ', pad);
    }
}

// Stores one character: the low byte, or for a wide character its UTF-8 form.
void PutChar(BoundedOut& out, const Conversion& conv, std::uint64_t bits) {
    const bool wide = conv.size == Size::Long || (conv.type == 'C' && conv.size != Size::Short);
    char bytes[3];
    std::size_t length = 0;
    if (!wide) {
        bytes[length++] = static_cast<char>(bits & 0xFF);
    } else {
        const unsigned ch = static_cast<unsigned>(bits & 0xFFFF);
        if (ch < 0x80) {
            bytes[length++] = static_cast<char>(ch);
        } else if (ch < 0x800) {
            bytes[length++] = static_cast<char>(0xC0 | (ch >> 6));
            bytes[length++] = static_cast<char>(0x80 | (ch & 0x3F));
        } else if (ch >= 0xD800 && ch <= 0xDFFF) {
            bytes[length++] = '?';
        } else {
            bytes[length++] = static_cast<char>(0xE0 | (ch >> 12));
            bytes[length++] = static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
            bytes[length++] = static_cast<char>(0x80 | (ch & 0x3F));
        }
    }
    PutPadded(out, conv, bytes, length);
}

void Convert(BoundedOut& out, const Conversion& conv, const FormatArg* arg) {
    const std::uint64_t bits = Bits(arg);
    const bool is64 = conv.size == Size::Bits64;
    switch (conv.type) {
    case 's':
    case 'S': {
        if (arg != nullptr && arg->kind() != FormatArg::Kind::Text) {
            Conversion digits;
            const bool negative = arg->kind() == FormatArg::Kind::Int && arg->asInt() < 0;
            const std::uint64_t magnitude =
                negative ? 0 - bits : static_cast<std::uint64_t>(static_cast<std::uint32_t>(bits));
            char text[24];
            BoundedOut number(text, sizeof text - 1);
            PutNumber(number, digits, negative, magnitude, 10, false);
            text[number.length()] = '\0';
            PutText(out, conv, text);
        } else {
            const char* text = arg != nullptr ? arg->asText() : nullptr;
            PutText(out, conv, text != nullptr ? text : "(null)");
        }
        break;
    }
    case 'c':
    case 'C':
        PutChar(out, Conversion{conv.left, false, false, conv.width, 0, conv.size, conv.type},
                bits);
        break;
    case 'd':
    case 'i': {
        const std::int64_t value =
            is64 ? static_cast<std::int64_t>(bits)
                 : static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
        const std::uint64_t magnitude =
            value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
        PutNumber(out, conv, value < 0, magnitude, 10, false);
        break;
    }
    case 'u':
    case 'x':
    case 'X': {
        const std::uint64_t value = is64 ? bits : static_cast<std::uint32_t>(bits);
        PutNumber(out, conv, false, value, conv.type == 'u' ? 10 : 16, conv.type == 'X');
        break;
    }
    case 'p': {
        Conversion pointer = conv;
        pointer.prefix = false;
        pointer.zero = false;
        pointer.precision = 16;
        PutNumber(out, pointer, false, bits, 16, true);
        break;
    }
    default:
        break;
    }
}

} // namespace

FormatResult FormatChecked(char* out, std::size_t outSize, const char* format,
                           std::span<const FormatArg> args) {
    const std::size_t size = std::min(outSize, kWsprintfMax);
    BoundedOut sink(out, size > 0 ? size - 1 : 0);
    std::size_t next = 0;
    const char* p = format != nullptr ? format : "";
    while (*p != '\0' && !sink.truncated()) {
        if (*p != '%') {
            sink.Put(*p++);
            continue;
        }
        ++p;
        if (*p == '%') {
            sink.Put(*p++);
            continue;
        }
        Conversion conv;
        if (!ParseConversion(p, conv)) {
            continue; // the letter at P prints as text; no argument is consumed
        }
        const FormatArg* arg = next < args.size() ? &args[next] : nullptr;
        ++next;
        Convert(sink, conv, arg);
    }
    if (size > 0) {
        out[sink.length()] = '\0';
    }
    return {static_cast<int>(sink.length()), sink.truncated()};
}

FormatResult FormatChecked(char* out, std::size_t outSize, const char* format,
                           std::initializer_list<FormatArg> args) {
    return FormatChecked(out, outSize, format,
                         std::span<const FormatArg>(args.begin(), args.size()));
}

std::vector<std::size_t> TextPrecisions(const char* format, std::size_t count) {
    std::vector<std::size_t> precisions(count, 0);
    std::size_t next = 0;
    const char* p = format != nullptr ? format : "";
    while (*p != '\0' && next < count) {
        if (*p++ != '%') {
            continue;
        }
        if (*p == '%') {
            ++p;
            continue;
        }
        Conversion conv;
        if (!ParseConversion(p, conv)) {
            continue;
        }
        if (conv.type == 's' || conv.type == 'S') {
            precisions[next] = conv.precision;
        }
        ++next;
    }
    return precisions;
}

int wsprintfA(char* out, std::size_t outSize, const char* format, std::span<const FormatArg> args) {
    const FormatResult result = FormatChecked(out, outSize, format, args);
    if (outSize >= kWsprintfMax && result.length == static_cast<int>(kWsprintfMax) - 1) {
        return static_cast<int>(kWsprintfMax);
    }
    return result.length;
}

int wsprintfA(char* out, std::size_t outSize, const char* format,
              std::initializer_list<FormatArg> args) {
    return wsprintfA(out, outSize, format, std::span<const FormatArg>(args.begin(), args.size()));
}

} // namespace nv::platform
