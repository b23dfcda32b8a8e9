// norvane-inspect profile FILE SECTION KEY [--default TEXT] [--size N] [--int]: reads one value
// of a profile (INI) file exactly as the program does and prints what the program gets.
//   string read: the returned length, a tab, the returned bytes as they are, a newline;
//   --int:       the returned value as an unsigned decimal number and a newline.
// The exit status is 1 (after printing what the program would get, that is the default) when
// FILE is not a readable regular file, so that a mistyped path is not taken for a missing key.
#include "platform/profile/Profile.h"

#include "commands.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nv::inspect {

namespace {

constexpr unsigned long kDefaultSize = 260;    // the buffer size the program mostly uses
constexpr unsigned long kMaxSize = 64ul << 20; // more than any profile file can hold

int ProfileUsage(const char* problem) {
    std::fprintf(stderr, "norvane-inspect profile: %s\n", problem);
    std::fprintf(stderr, "usage: norvane-inspect profile FILE SECTION KEY [--default TEXT] "
                         "[--size N] [--int]\n");
    return 2;
}

// A whole decimal number in [MIN, MAX], or nothing.
std::optional<long long> ParseNumber(const char* text, long long min, long long max) {
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

bool Readable(const char* path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && std::ifstream(path).is_open();
}

} // namespace

int runProfile(int argc, char** argv) {
    std::vector<const char*> positional;
    const char* defaultText = nullptr;
    unsigned long size = kDefaultSize;
    bool asInt = false;
    for (int i = 0; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--int") {
            asInt = true;
        } else if (arg == "--default" || arg == "--size") {
            if (i + 1 >= argc) {
                return ProfileUsage("option needs a value");
            }
            const char* value = argv[++i];
            if (arg == "--default") {
                defaultText = value;
            } else if (auto number = ParseNumber(value, 0, static_cast<long long>(kMaxSize))) {
                size = static_cast<unsigned long>(*number);
            } else {
                return ProfileUsage("--size needs a number from 0 to 67108864");
            }
        } else {
            positional.push_back(argv[i]);
        }
    }
    if (positional.size() != 3) {
        return ProfileUsage("expected FILE SECTION KEY");
    }
    const char* file = positional[0];
    const char* section = positional[1];
    const char* key = positional[2];
    int status = Readable(file) ? 0 : 1;
    if (status != 0) {
        std::fprintf(stderr, "norvane-inspect profile: cannot read %s; showing the default\n",
                     file);
    }

    if (asInt) {
        long long defaultValue = 0;
        if (defaultText != nullptr) {
            auto number = ParseNumber(defaultText, std::numeric_limits<int>::min(),
                                      std::numeric_limits<int>::max());
            if (!number) {
                return ProfileUsage("--default needs a whole number with --int");
            }
            defaultValue = *number;
        }
        UINT value =
            platform::GetPrivateProfileIntA(section, key, static_cast<int>(defaultValue), file);
        std::printf("%u\n", static_cast<unsigned>(value));
        return status;
    }

    std::vector<char> buffer(size + 1, '\0');
    DWORD length = platform::GetPrivateProfileStringA(section, key, defaultText, buffer.data(),
                                                      static_cast<DWORD>(size), file);
    std::printf("%u\t", static_cast<unsigned>(length));
    std::fflush(stdout);
    std::fwrite(buffer.data(), 1, length, stdout);
    std::fputc('\n', stdout);
    return status;
}

} // namespace nv::inspect
