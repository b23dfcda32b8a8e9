#include "platform/text/win32/WideText.h"

#include <climits>
#include <windows.h>

namespace nv::platform {
namespace {

// TEXT converted from code page PAGE with FLAGS; none when the system refuses it.
std::optional<std::wstring> toWide(UINT page, DWORD flags, std::string_view text) {
    if (text.empty()) {
        return std::wstring();
    }
    if (text.size() > INT_MAX) {
        return std::nullopt;
    }
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(page, flags, text.data(), length, nullptr, 0);
    if (needed <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    if (MultiByteToWideChar(page, flags, text.data(), length, wide.data(), needed) != needed) {
        return std::nullopt;
    }
    return wide;
}

// TEXT converted to code page PAGE with FLAGS; empty when the system refuses it.
std::string fromWide(UINT page, DWORD flags, std::wstring_view text) {
    if (text.empty() || text.size() > INT_MAX) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int needed =
        WideCharToMultiByte(page, flags, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        return {};
    }
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    const int written = WideCharToMultiByte(page, flags, text.data(), length, narrow.data(), needed,
                                            nullptr, nullptr);
    narrow.resize(written > 0 ? static_cast<std::size_t>(written) : 0u);
    return narrow;
}

} // namespace

std::optional<std::wstring> WideFromUtf8(std::string_view text) {
    if (text.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    return toWide(CP_UTF8, MB_ERR_INVALID_CHARS, text);
}

std::optional<std::wstring> WideDataFromUtf8(std::string_view data) {
    return toWide(CP_UTF8, MB_ERR_INVALID_CHARS, data);
}

std::wstring WideFromUtf8Replacing(std::string_view text) {
    return toWide(CP_UTF8, 0, text).value_or(std::wstring());
}

std::string Utf8FromWide(std::wstring_view text) {
    return fromWide(CP_UTF8, 0, text);
}

std::string AnsiFromWide(std::wstring_view text) {
    // Code pages that take no flags (UTF-7, UTF-8 and a few others) refuse this one; the system
    // then converts without it, having no look-alikes to map to in those.
    std::string ansi = fromWide(CP_ACP, WC_NO_BEST_FIT_CHARS, text);
    if (ansi.empty() && !text.empty()) {
        ansi = fromWide(CP_ACP, 0, text);
    }
    return ansi;
}

std::wstring WideFromAnsi(std::string_view text) {
    return toWide(CP_ACP, 0, text).value_or(std::wstring());
}

} // namespace nv::platform
