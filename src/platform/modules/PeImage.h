// A bounded reader of PE files: headers, sections and the resource directory tree. Every
// offset and size read from the file is checked against the file before use; a damaged file
// is refused by Parse or yields "absent" from the lookups, never a read outside it.
#pragma once

#include "platform/wintypes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace nv::platform::pe {

using Bytes = std::span<const std::uint8_t>;

// Little-endian reads that report failure instead of reading past the end.
std::optional<std::uint16_t> ReadU16(Bytes bytes, std::size_t offset);
std::optional<std::uint32_t> ReadU32(Bytes bytes, std::size_t offset);
std::optional<std::uint64_t> ReadU64(Bytes bytes, std::size_t offset);

class PeImage {
public:
    // Parses the headers and locates the resource directory of FILE, which must outlive the
    // image. Nothing when FILE is not a PE file with a resource directory, or when its
    // headers, sections or resource data point past its end.
    static std::optional<PeImage> Parse(Bytes file);

    // The data of resource TYPE/ID in its first language, or nothing.
    std::optional<Bytes> Find(UINT type, UINT id) const;

    // The numeric IDs of resources of TYPE, ascending.
    std::vector<UINT> Ids(UINT type) const;

private:
    struct Section {
        std::uint32_t virtualAddress;
        std::uint32_t virtualSize;
        std::uint32_t rawSize;
        std::uint32_t rawOffset;
    };

    // File bytes from RVA to the end of its section's data; nothing when outside every section.
    std::optional<Bytes> AtRva(std::uint32_t rva) const;
    // Whether every resource below the directory at DIROFFSET (DEPTH levels below the root)
    // has its data inside the file, visiting at most BUDGET entries (lowered as it goes).
    bool DataInFile(std::uint32_t dirOffset, int depth, std::size_t& budget) const;
    // The subdirectory that entry ID of the directory at DIROFFSET points to.
    std::optional<std::uint32_t> SubDirectory(std::uint32_t dirOffset, UINT id) const;

    Bytes file_;
    std::vector<Section> sections_;
    Bytes resources_; // from the resource directory's root to the end of its section
};

} // namespace nv::platform::pe
