// wsprintfA-compatible formatting of command templates that come from outside files. Arguments
// are passed typed, so a template whose conversions do not match its arguments can never make
// the formatter read memory it was not given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

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
// except on truncation at the 1024 cap, where it returns 1024 as the platform does.
int wsprintfA(char* out, std::size_t outSize, const char* format,
              std::initializer_list<FormatArg> args);

struct FormatResult {
    int length;     // bytes stored before the NUL
    bool truncated; // the full result did not fit in OUTSIZE-1 bytes
};

// The same formatting, telling the caller whether the result was cut, so that a caller that
// must not lose a line end can shorten its free-text arguments and try again.
FormatResult FormatChecked(char* out, std::size_t outSize, const char* format,
                           std::initializer_list<FormatArg> args);

} // namespace nv::platform
