// Every string of a file's version information, read through the platform's version calls:
// the names come from walking the block's tree, each value from a query for its path.
#include "platform/modules/Modules.h"
#include "platform/modules/VersionBlock.h"

#include <algorithm>
#include <cstring>

namespace nv::platform {

std::optional<VersionStrings> ReadVersionStrings(const std::string& path) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size < 2) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> block(size);
    if (!GetFileVersionInfoA(path.c_str(), handle, size, block.data())) {
        return std::nullopt;
    }
    // The block starts with the tree, whose root gives its own length.
    const std::size_t raw = std::min<std::size_t>(block[0] | (block[1] << 8), block.size());
    const pe::Bytes tree(block.data(), raw);

    VersionStrings result;
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length)) {
        const auto* bytes = static_cast<const std::uint8_t*>(value);
        for (UINT at = 0; at + 4 <= length; at += 4) {
            result.translations.emplace_back(
                static_cast<WORD>(bytes[at] | (bytes[at + 1] << 8)),
                static_cast<WORD>(bytes[at + 2] | (bytes[at + 3] << 8)));
        }
    }
    if (auto strings = pe::FindVersionNode(tree, "\\StringFileInfo")) {
        for (const auto& table : pe::VersionChildren(tree, *strings)) {
            for (const auto& entry : pe::VersionChildren(tree, table)) {
                std::string text;
                const std::string query = "\\StringFileInfo\\" + table.key + "\\" + entry.key;
                if (entry.text && VerQueryValueA(block.data(), query.c_str(), &value, &length) &&
                    length > 0) {
                    const char* chars = static_cast<const char*>(value);
                    text.assign(chars, strnlen(chars, length));
                }
                result.values.push_back({table.key, entry.key, std::move(text)});
            }
        }
    }
    return result;
}

} // namespace nv::platform
