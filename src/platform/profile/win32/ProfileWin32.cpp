// The profile services on Windows are the system's own wide reader, which also reads a
// capability file saved in the system's code page (or in UTF-16) correctly; the results are
// handed on in UTF-8 with the buffer rules of Profile.h. The shared reader (ProfileText)
// reproduces it on other platforms and is checked against it in the tests.
#include "platform/profile/Profile.h"
#include "platform/text/Utf8.h"
#include "platform/text/win32/WideText.h"

#include <cstring>
#include <optional>
#include <string>
#include <windows.h>

namespace nv::platform {
namespace {

// The most characters one value or list is read in; a longer one is cut like a short buffer.
constexpr DWORD kMaxWideRead = 1u << 20;

// TEXT as UTF-16 for the wide call (null stays null); none when TEXT is not UTF-8.
std::optional<std::wstring> wideArgument(const char* text, bool& isNull) {
    isNull = text == nullptr;
    return isNull ? std::optional<std::wstring>(std::wstring()) : WideFromUtf8(text);
}

const wchar_t* pointer(const std::optional<std::wstring>& text, bool isNull) {
    return isNull ? nullptr : text->c_str();
}

} // namespace

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    const bool list = section == nullptr || key == nullptr;
    bool noSection = false;
    bool noKey = false;
    bool noDefault = false;
    bool noFile = false;
    const auto wideSection = wideArgument(section, noSection);
    const auto wideKey = wideArgument(key, noKey);
    const auto wideDefault = wideArgument(defaultValue, noDefault);
    const auto wideFile = wideArgument(fileName, noFile);

    std::string text;
    if (wideSection && wideKey && wideFile) {
        // Read whole: the wide count says nothing about the UTF-8 length of the result.
        std::wstring read;
        for (DWORD room = 256;; room *= 2) {
            read.assign(room, L'\0');
            const DWORD got =
                ::GetPrivateProfileStringW(pointer(wideSection, noSection), pointer(wideKey, noKey),
                                           wideDefault ? pointer(wideDefault, noDefault) : L"",
                                           read.data(), room, pointer(wideFile, noFile));
            const DWORD full = list ? room - 2 : room - 1;
            if (got < full || room >= kMaxWideRead) {
                read.resize(got);
                break;
            }
        }
        text = Utf8FromWide(read);
    } else if (!list && defaultValue != nullptr) {
        text = defaultValue;
    }

    if (!list) {
        const std::size_t kept = text::Utf8PrefixLength(text, size - 1);
        std::memcpy(buffer, text.data(), kept);
        buffer[kept] = '\0';
        return static_cast<DWORD>(kept);
    }
    // Names each followed by a NUL; one more NUL closes the list.
    if (!text.empty() && text.back() != '\0') {
        text.push_back('\0');
    }
    if (text.size() + 1 <= size) {
        std::memcpy(buffer, text.data(), text.size());
        buffer[text.size()] = '\0';
        return static_cast<DWORD>(text.size());
    }
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    const std::size_t kept = text::Utf8PrefixLength(text, size - 2);
    std::memcpy(buffer, text.data(), kept);
    buffer[kept] = '\0';
    buffer[kept + 1] = '\0';
    return static_cast<DWORD>(size - 2);
}

UINT GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                           const char* fileName) {
    const auto wideSection = section != nullptr ? WideFromUtf8(section) : std::nullopt;
    const auto wideKey = key != nullptr ? WideFromUtf8(key) : std::nullopt;
    const auto wideFile = fileName != nullptr ? WideFromUtf8(fileName) : std::nullopt;
    if (!wideSection || !wideKey || !wideFile) {
        return static_cast<UINT>(defaultValue);
    }
    return static_cast<UINT>(::GetPrivateProfileIntW(wideSection->c_str(), wideKey->c_str(),
                                                     defaultValue, wideFile->c_str()));
}

} // namespace nv::platform
