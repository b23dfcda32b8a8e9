#include "gui/win32/CommandLine.h"

namespace nv::gui {

std::wstring ArgumentTextOf(const std::wstring& commandLine) {
    std::size_t pos = 0;
    const std::size_t size = commandLine.size();
    if (size > 0 && commandLine[0] == L'"') {
        pos = commandLine.find(L'"', 1);
        pos = pos == std::wstring::npos ? size : pos + 1;
    } else {
        while (pos < size && commandLine[pos] != L' ' && commandLine[pos] != L'\t') {
            ++pos;
        }
    }
    while (pos < size && (commandLine[pos] == L' ' || commandLine[pos] == L'\t')) {
        ++pos;
    }
    return commandLine.substr(pos);
}

} // namespace nv::gui
