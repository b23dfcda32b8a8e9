#include "platform/modules/VersionBlock.h"

#include "platform/modules/ModuleFile.h"
#include "platform/modules/Modules.h"
#include "platform/text/Utf8.h"

#include <algorithm>

namespace nv::platform::pe {

namespace {

constexpr std::size_t kMaxChildren = 4096;

std::size_t Align4(std::size_t offset) {
    return (offset + 3) & ~std::size_t{3};
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool KeyEquals(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

} // namespace

std::optional<VersionNode> ReadVersionNode(Bytes block, std::size_t offset, std::size_t limit) {
    limit = std::min(limit, block.size());
    auto length = ReadU16(block, offset);
    auto valueLength = ReadU16(block, offset + 2);
    auto type = ReadU16(block, offset + 4);
    if (!length || !valueLength || !type || *length < 6 || offset + *length > limit) {
        return std::nullopt;
    }
    VersionNode node;
    node.offset = offset;
    node.end = offset + *length;
    node.text = *type == 1;
    std::size_t keyEnd = offset + 6;
    while (true) {
        auto unit = ReadU16(block, keyEnd);
        if (!unit || keyEnd + 2 > node.end) {
            return std::nullopt;
        }
        if (*unit == 0) {
            break;
        }
        keyEnd += 2;
    }
    node.key = text::Utf16LeToUtf8(block.data() + offset + 6, (keyEnd - offset - 6) / 2);
    node.valueOffset = std::min(Align4(keyEnd + 2), node.end);
    const std::size_t declared = node.text ? std::size_t{*valueLength} * 2 : *valueLength;
    node.valueBytes = std::min(declared, node.end - node.valueOffset);
    node.childrenOffset = std::min(Align4(node.valueOffset + node.valueBytes), node.end);
    return node;
}

std::vector<VersionNode> VersionChildren(Bytes block, const VersionNode& node) {
    std::vector<VersionNode> children;
    std::size_t at = node.childrenOffset;
    while (at < node.end && children.size() < kMaxChildren) {
        auto child = ReadVersionNode(block, at, node.end);
        if (!child) {
            break;
        }
        at = Align4(child->end); // a child is at least 6 bytes long, so this advances
        children.push_back(std::move(*child));
    }
    return children;
}

std::optional<VersionNode> FindVersionNode(Bytes block, std::string_view path) {
    auto node = ReadVersionNode(block, 0, block.size());
    while (node && !path.empty()) {
        const std::size_t start = path.find_first_not_of('\\');
        if (start == std::string_view::npos) {
            break;
        }
        path.remove_prefix(start);
        const std::size_t stop = std::min(path.find('\\'), path.size());
        const std::string_view component = path.substr(0, stop);
        path.remove_prefix(stop);
        std::optional<VersionNode> next;
        for (auto& child : VersionChildren(block, *node)) {
            if (KeyEquals(child.key, component)) {
                next = std::move(child);
                break;
            }
        }
        node = std::move(next);
    }
    return node;
}

std::string VersionText(Bytes block, const VersionNode& node) {
    std::size_t units = node.valueBytes / 2;
    for (std::size_t i = 0; i < units; ++i) {
        if (block[node.valueOffset + 2 * i] == 0 && block[node.valueOffset + 2 * i + 1] == 0) {
            units = i;
            break;
        }
    }
    return text::Utf16LeToUtf8(block.data() + node.valueOffset, units);
}

std::optional<std::vector<std::uint8_t>> VersionBlockOfImage(Bytes image) {
    auto parsed = PeImage::Parse(image);
    auto ids = parsed ? parsed->Ids(kRtVersion) : std::vector<UINT>{};
    auto data = ids.empty() ? std::nullopt : parsed->Find(kRtVersion, ids.front());
    auto root = data ? ReadVersionNode(*data, 0, data->size()) : std::nullopt;
    if (!root) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(data->begin(),
                                     data->begin() + static_cast<std::ptrdiff_t>(root->end));
}

std::optional<std::vector<std::uint8_t>> VersionBlockOf(Bytes file) {
    auto image = ResourceImageOf(file);
    return image ? VersionBlockOfImage(*image) : std::nullopt;
}

} // namespace nv::platform::pe
