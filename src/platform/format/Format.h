// wsprintfA-compatible formatting of command templates that come from outside files. Arguments
// are passed typed, so a template whose conversions do not match its arguments can never make
// the formatter read memory it was not given.
//
// Conversions: %s %d %i %u %x %X %c and %p, with the size prefixes h, l, w, I, I32 and I64
// (%ld %lu %lx %hs %ls %S %lc %C %I64d %I64u %Id ...); flags '-', '0', '#' in any order, a
// decimal width and a decimal precision. As on the platform:
//   - precision 0 is no precision: %.0s prints the whole text, %.0d with 0 prints "0";
//   - a number's precision and zero padding count its sign and its "0x" prefix (%.3d of -5 is
//     "-05", %05d of -42 is "-0042"); '-' beats '0'; '0' pads texts with spaces; %#x of 0 is
//     "0x0"; %h does not narrow (%hd of 70000 is "70000");
//   - %p prints 16 upper-case hex digits (a 64-bit pointer), %I and %I64 take 64-bit values,
//     h, l, w and I32 take 32-bit ones;
//   - %c of 0 stores a NUL byte, which counts in the result; a wide character (%lc, %wc, %C)
//     is stored in UTF-8, the system's code page (a surrogate half gives '?');
//   - "%%" is '%'; a '%' at the end of the format prints nothing; any other conversion letter
//     (%f %e %g %o %n %+d % d %*d, the second l of %lld ...) prints itself and everything after
//     it literally, consumes no argument, and drops what stood between '%' and it.
//   - near the output limit a conversion's width is first cut to the room left, so a number
//     keeps its leading digits rather than its padding;
//   - precision and the output limit cut byte-wise and may split a UTF-8 character.
//
// Arguments are taken in order, one per conversion that consumes one. Decisions where the
// platform would read memory it was not given:
//   - a missing argument (more conversions than arguments) formats as the platform formats a
//     zero or NULL argument: numbers print 0, %c stores a NUL byte, texts print "(null)";
//   - a Text argument given to a number or character conversion is consumed and counts as 0,
//     the value of a null pointer; an Int or UInt given to a text conversion is consumed and
//     prints as decimal digits (signed for Int, unsigned for UInt), cut and padded as a text;
//   - an Int is sign-extended and a UInt zero-extended where a 64-bit value is read; %d of a
//     UInt and %u/%x of an Int reinterpret the 32 bits, as the platform does;
//   - arguments left over after the last conversion are ignored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

namespace nv::platform {

class FormatArg {
public:
    enum class Kind { Int, UInt, Text };

    static FormatArg Int(std::int32_t value) { return FormatArg(Kind::Int, value, 0, nullptr); }
    static FormatArg UInt(std::uint32_t value) { return FormatArg(Kind::UInt, 0, value, nullptr); }
    // TEXT may be null (formats as "(null)"); it must stay alive until formatting returns.
    static FormatArg Text(const char* text) { return FormatArg(Kind::Text, 0, 0, text); }

    Kind kind() const { return kind_; }
    std::int32_t asInt() const { return i_; }
    std::uint32_t asUInt() const { return u_; }
    const char* asText() const { return s_; }

private:
    FormatArg(Kind kind, std::int32_t i, std::uint32_t u, const char* s)
        : kind_(kind), i_(i), u_(u), s_(s) {}
    Kind kind_;
    std::int32_t i_;
    std::uint32_t u_;
    const char* s_;
};

// The platform's own output cap: wsprintfA never writes more than 1024 bytes.
inline constexpr std::size_t kWsprintfMax = 1024;

// Formats FORMAT with ARGS into OUT, which holds OUTSIZE bytes, like wsprintfA would into a
// buffer of that size (OUTSIZE is capped at kWsprintfMax). Always NUL-terminates when OUTSIZE
// > 0 and never writes past OUT[OUTSIZE-1]. Returns the number of bytes stored before the NUL,
// except on truncation at the 1024 cap, where it returns 1024 as the platform does. Like the
// platform, it returns 1024 as well when the result fills the 1023 bytes exactly. A null FORMAT
// formats as "".
int wsprintfA(char* out, std::size_t outSize, const char* format,
              std::initializer_list<FormatArg> args);
int wsprintfA(char* out, std::size_t outSize, const char* format, std::span<const FormatArg> args);

struct FormatResult {
    int length;     // bytes stored before the NUL
    bool truncated; // the full result did not fit in OUTSIZE-1 bytes
};

// The same formatting, telling the caller whether the result was cut, so that a caller that
// must not lose a line end can shorten its free-text arguments and try again.
FormatResult FormatChecked(char* out, std::size_t outSize, const char* format,
                           std::initializer_list<FormatArg> args);
FormatResult FormatChecked(char* out, std::size_t outSize, const char* format,
                           std::span<const FormatArg> args);

// The precision that would cut each of the first COUNT arguments of FORMAT, taken in the order
// the formatter takes them: the precision of the text conversion (%s, %S and their sized forms)
// that consumes the argument; 0 when that conversion has no precision, is not a text
// conversion, or no conversion consumes the argument. A caller that must not split a character
// of a text cuts it at a character boundary within this length before formatting.
std::vector<std::size_t> TextPrecisions(const char* format, std::size_t count);

} // namespace nv::platform
