#include "gui/win32/CommandLine.h"

#include <optional>
#include <string_view>
#include <windows.h>

namespace nv::gui {

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// Equal without regard to case, as the file system compares names.
bool SameName(std::wstring_view a, std::wstring_view b) {
    return !a.empty() && a.size() == b.size() &&
           CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Whether TOKEN names the program at MODULEPATH: its full path, or a bare name (no folder, no
// drive) equal to its file name with or without the extension.
bool NamesProgram(std::wstring_view token, std::wstring_view modulePath) {
    if (SameName(token, modulePath)) {
        return true;
    }
    if (token.find_first_of(L"\\/:") != std::wstring_view::npos) {
        return false;
    }
    const std::size_t slash = modulePath.find_last_of(L"\\/");
    const std::wstring_view fileName =
        slash == std::wstring_view::npos ? modulePath : modulePath.substr(slash + 1);
    const std::size_t dot = fileName.rfind(L'.');
    return SameName(token, fileName) ||
           (dot != std::wstring_view::npos && SameName(token, fileName.substr(0, dot)));
}

// Where the program's name at the start of COMMANDLINE ends, or nothing when the command line
// does not begin with it.
std::optional<std::size_t> ProgramNameEnd(std::wstring_view commandLine,
                                          std::wstring_view modulePath) {
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const std::size_t close = commandLine.find(L'"', 1);
        if (close == std::wstring_view::npos) {
            return std::nullopt;
        }
        if (NamesProgram(commandLine.substr(1, close - 1), modulePath)) {
            return close + 1;
        }
        return std::nullopt;
    }
    // Unquoted, the full path may hold blanks of its own.
    const std::size_t size = modulePath.size();
    if (commandLine.size() >= size && SameName(commandLine.substr(0, size), modulePath) &&
        (commandLine.size() == size || IsBlank(commandLine[size]))) {
        return size;
    }
    std::size_t end = 0;
    while (end < commandLine.size() && !IsBlank(commandLine[end])) {
        ++end;
    }
    if (NamesProgram(commandLine.substr(0, end), modulePath)) {
        return end;
    }
    return std::nullopt;
}

} // namespace

std::wstring PathTextOf(const std::wstring& commandLine, const std::wstring& modulePath) {
    const std::optional<std::size_t> nameEnd = ProgramNameEnd(commandLine, modulePath);
    if (!nameEnd) {
        return commandLine;
    }
    std::size_t pos = *nameEnd;
    while (pos < commandLine.size() && IsBlank(commandLine[pos])) {
        ++pos;
    }
    return commandLine.substr(pos);
}

} // namespace nv::gui
