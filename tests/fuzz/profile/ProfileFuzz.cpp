// Feeds arbitrary bytes to the profile reader as the content of a profile file. The input is:
// one byte choosing the buffer size, one byte choosing the kind of read, then the section
// name, a NUL, the key name, a NUL, and the file's bytes. Checks that a read never writes
// outside the buffer and always leaves a terminated result within it.
#include "platform/profile/ProfileText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace {

using nv::DWORD;
namespace profile = nv::platform::profile;

// Splits off the text up to the next NUL (or the end).
std::string TakeName(std::string_view& rest) {
    std::size_t end = rest.find('\0');
    std::string name(rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    return name;
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    // Sizes 0 to 255, plus a few large ones so that whole files fit.
    DWORD bufferSize = data[0] < 0xF0 ? data[0] : static_cast<DWORD>(data[0] - 0xEF) * 4096;
    const std::uint8_t mode = data[1];
    std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);
    std::string section = TakeName(rest);
    std::string key = TakeName(rest);
    profile::FileBytes file(rest);
    if (mode & 0x10) {
        file.reset(); // a missing file
    }
    const char* sectionArg = (mode & 1) ? nullptr : section.c_str();
    const char* keyArg = (mode & 2) ? nullptr : key.c_str();
    const char* defaultArg = (mode & 4) ? nullptr : key.c_str();

    if (mode & 8) {
        profile::ReadProfileInt(file, sectionArg, keyArg, static_cast<int>(bufferSize));
        return 0;
    }
    // Exactly BUFFERSIZE bytes on the heap, so that the sanitizer sees any write beyond them.
    auto buffer = std::make_unique<char[]>(bufferSize == 0 ? 1 : bufferSize);
    std::memset(buffer.get(), 0x5A, bufferSize == 0 ? 1 : bufferSize);
    DWORD ret =
        profile::ReadProfileString(file, sectionArg, keyArg, defaultArg, buffer.get(), bufferSize);
    if (bufferSize == 0) {
        Check(ret == 0 && buffer[0] == 0x5A);
        return 0;
    }
    Check(ret < bufferSize);
    Check(buffer[ret] == '\0');
    if (sectionArg != nullptr && keyArg != nullptr) {
        Check(std::strlen(buffer.get()) == ret); // a single value holds no NUL
    }
    return 0;
}
