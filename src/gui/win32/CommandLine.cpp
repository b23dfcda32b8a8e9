#include "gui/win32/CommandLine.h"

#include <windows.h>

namespace nv::gui {

namespace {

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

// The first token of COMMANDLINE without its quotes, as ArgumentTextOf delimits it.
std::wstring FirstTokenOf(const std::wstring& commandLine) {
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const std::size_t close = commandLine.find(L'"', 1);
        return commandLine.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
    }
    std::size_t end = 0;
    while (end < commandLine.size() && !IsBlank(commandLine[end])) {
        ++end;
    }
    return commandLine.substr(0, end);
}

// Equal without regard to case, as the file system compares names.
bool SameName(const std::wstring& a, const std::wstring& b) {
    return !a.empty() && a.size() == b.size() &&
           CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Whether TOKEN, the command line's first token, names the program at MODULEPATH.
bool NamesProgram(const std::wstring& token, const std::wstring& modulePath) {
    if (SameName(token, modulePath)) {
        return true;
    }
    // A bare name, as typed in a console: never a path with a folder or drive of its own.
    if (token.find_first_of(L"\\/:") != std::wstring::npos) {
        return false;
    }
    const std::size_t slash = modulePath.find_last_of(L"\\/");
    const std::wstring fileName =
        slash == std::wstring::npos ? modulePath : modulePath.substr(slash + 1);
    const std::size_t dot = fileName.rfind(L'.');
    return SameName(token, fileName) ||
           (dot != std::wstring::npos && SameName(token, fileName.substr(0, dot)));
}

} // namespace

std::wstring ArgumentTextOf(const std::wstring& commandLine) {
    std::size_t pos = 0;
    const std::size_t size = commandLine.size();
    if (size > 0 && commandLine[0] == L'"') {
        pos = commandLine.find(L'"', 1);
        pos = pos == std::wstring::npos ? size : pos + 1;
    } else {
        while (pos < size && !IsBlank(commandLine[pos])) {
            ++pos;
        }
    }
    while (pos < size && IsBlank(commandLine[pos])) {
        ++pos;
    }
    return commandLine.substr(pos);
}

std::wstring PathTextOf(const std::wstring& commandLine, const std::wstring& modulePath) {
    return NamesProgram(FirstTokenOf(commandLine), modulePath) ? ArgumentTextOf(commandLine)
                                                               : commandLine;
}

} // namespace nv::gui
