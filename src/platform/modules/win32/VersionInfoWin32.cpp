// Version information on Windows, through the system's version calls: GetFileVersionInfoW reads
// the file's block and VerQueryValueW finds values in it. The block handed to callers has the
// same layout as everywhere: the VS_VERSIONINFO tree, then a conversion area twice its aligned
// size (and a little more), where a text value found at offset o of the tree (n UTF-16 units) is
// written as UTF-8 at area + 2*o, with room for the at most 3*n+1 bytes of its conversion. Texts
// are converted to UTF-8 here rather than by the A calls, so they do not depend on the active code
// page. The platform header comes after ours, whose TRUE and FALSE constants it would otherwise
// turn into macros.
#include "platform/modules/Modules.h"
#include "platform/modules/win32/ModulePath.h"
#include "platform/text/win32/WideText.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <optional>
#include <string_view>
#include <windows.h>

namespace nv::platform {

namespace {

std::size_t Align4(std::size_t n) {
    return (n + 3) & ~std::size_t{3};
}

// The tree's own length, from its root node.
std::size_t TreeLength(const std::uint8_t* block) {
    return static_cast<std::size_t>(block[0] | (block[1] << 8));
}

// The version tree of the file at PATH as the system reads it, trimmed to the root's length;
// nothing when the file is missing or has no version resource.
std::optional<std::vector<std::uint8_t>> SystemVersionTree(const char* path) {
    if (path == nullptr) {
        return std::nullopt;
    }
    const auto full = FullModulePath(path);
    if (!full) {
        return std::nullopt;
    }
    ::DWORD ignored = 0;
    const ::DWORD size = ::GetFileVersionInfoSizeW(full->c_str(), &ignored);
    if (size < 6) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> block(size);
    if (!::GetFileVersionInfoW(full->c_str(), 0, size, block.data())) {
        return std::nullopt;
    }
    const std::size_t tree = TreeLength(block.data());
    if (tree < 6 || tree > block.size()) {
        return std::nullopt;
    }
    block.resize(tree);
    return block;
}

// Four bytes more than the area needs for texts, so that an empty value lying at the very end
// of the tree still has room for its NUL.
DWORD BlockSize(std::size_t tree) {
    return static_cast<DWORD>(Align4(tree) * 3 + 4);
}

// Whether PATH names a value of a string table ("\StringFileInfo\<block>\<Name>"), whose values
// are texts; every other value of the tree is binary.
bool NamesStringValue(std::string_view path) {
    std::vector<std::string_view> parts;
    while (!path.empty()) {
        const std::size_t end = path.find('\\');
        const std::string_view part = path.substr(0, end);
        if (!part.empty()) {
            parts.push_back(part);
        }
        path = end == std::string_view::npos ? std::string_view() : path.substr(end + 1);
    }
    if (parts.size() != 3 || parts[0].size() != 14) {
        return false;
    }
    constexpr std::string_view kStrings = "stringfileinfo";
    for (std::size_t i = 0; i < kStrings.size(); ++i) {
        const char c = parts[0][i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != kStrings[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

DWORD GetFileVersionInfoSizeA(const char* path, DWORD* handle) {
    if (handle != nullptr) {
        *handle = 0;
    }
    auto tree = SystemVersionTree(path);
    return tree ? BlockSize(tree->size()) : 0;
}

BOOL GetFileVersionInfoA(const char* path, DWORD /*handle*/, DWORD len, void* data) {
    auto tree = SystemVersionTree(path);
    if (!tree || data == nullptr || len < BlockSize(tree->size())) {
        return FALSE;
    }
    auto* out = static_cast<std::uint8_t*>(data);
    std::memset(out, 0, BlockSize(tree->size()));
    std::memcpy(out, tree->data(), tree->size());
    return TRUE;
}

BOOL VerQueryValueA(const void* block, const char* subBlock, void** buffer, UINT* len) {
    if (len != nullptr) {
        *len = 0;
    }
    if (block == nullptr || subBlock == nullptr || buffer == nullptr) {
        return FALSE;
    }
    const auto query = WideFromUtf8(subBlock);
    if (!query) {
        return FALSE;
    }
    void* found = nullptr;
    ::UINT size = 0;
    if (!::VerQueryValueW(block, query->c_str(), &found, &size) || found == nullptr) {
        return FALSE;
    }
    auto* base = static_cast<std::uint8_t*>(const_cast<void*>(block));
    const std::size_t tree = TreeLength(base);
    auto* value = static_cast<std::uint8_t*>(found);
    if (value < base || value > base + tree) {
        return FALSE;
    }
    const std::size_t offset = static_cast<std::size_t>(value - base);
    if (!NamesStringValue(subBlock)) {
        // Binary values and blocks: SIZE is in bytes; the value stays within the tree.
        *buffer = value;
        if (len != nullptr) {
            *len = static_cast<UINT>(std::min<std::size_t>(size, tree - offset));
        }
        return TRUE;
    }
    // A text value: SIZE counts UTF-16 units; the text ends at its first NUL.
    std::wstring text(std::min<std::size_t>(size, (tree - offset) / 2), L'\0');
    std::memcpy(text.data(), value, text.size() * sizeof(wchar_t));
    text.resize(std::wcslen(text.c_str()));
    const std::string utf8 = Utf8FromWide(text);
    char* converted = reinterpret_cast<char*>(base + Align4(tree) + 2 * offset);
    std::memcpy(converted, utf8.data(), utf8.size());
    converted[utf8.size()] = '\0';
    *buffer = converted;
    if (len != nullptr) {
        *len = static_cast<UINT>(utf8.size() + 1);
    }
    return TRUE;
}

} // namespace nv::platform
