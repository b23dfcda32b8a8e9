// The version resource's tree of blocks (VS_VERSIONINFO): each node has a UTF-16 key, an
// optional value (binary or UTF-16 text) and children, all 32-bit aligned. Readers here stay
// within the bytes they are given whatever the lengths inside claim.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/modules/PeImage.h"

namespace nv::platform::pe {

struct VersionNode {
    std::size_t offset = 0;       // of the node within the block
    std::size_t end = 0;          // offset + length, within the block
    std::string key;              // UTF-8
    bool text = false;            // value is UTF-16 text
    std::size_t valueOffset = 0;  // of the value within the block
    std::size_t valueBytes = 0;   // bytes of the value present in the block
    std::size_t childrenOffset = 0;
};

// The node starting at OFFSET of BLOCK, which must end within LIMIT; nothing when its header
// or key does not fit.
std::optional<VersionNode> ReadVersionNode(Bytes block, std::size_t offset, std::size_t limit);

// The children of NODE in order (stops at the first that does not fit).
std::vector<VersionNode> VersionChildren(Bytes block, const VersionNode& node);

// The node that PATH ("\StringFileInfo\041104b0\FileVersion"; components compared without
// regard to ASCII case) names, starting from the root node of BLOCK.
std::optional<VersionNode> FindVersionNode(Bytes block, std::string_view path);

// The raw VS_VERSIONINFO of module FILE (a PE module, or an ELF executable carrying one),
// trimmed to the root node's length; nothing when FILE holds no readable version resource.
std::optional<std::vector<std::uint8_t>> VersionBlockOf(Bytes file);

// The text value of NODE as UTF-8, up to its first NUL.
std::string VersionText(Bytes block, const VersionNode& node);

} // namespace nv::platform::pe
