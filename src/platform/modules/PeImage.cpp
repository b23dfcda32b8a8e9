#include "platform/modules/PeImage.h"

#include <algorithm>

namespace nv::platform::pe {

namespace {

constexpr std::size_t kMaxSections = 96; // the loader's own limit
constexpr std::uint32_t kSubdirectoryBit = 0x80000000u;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
// More resource directory entries than any of our modules holds by far; a tree beyond it is
// refused rather than walked.
constexpr std::size_t kMaxResourceEntries = 1u << 16;

} // namespace

std::optional<std::uint16_t> ReadU16(Bytes bytes, std::size_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < 2) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::optional<std::uint32_t> ReadU32(Bytes bytes, std::size_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < 4) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(bytes[offset]) |
           (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

std::optional<std::uint64_t> ReadU64(Bytes bytes, std::size_t offset) {
    auto low = ReadU32(bytes, offset);
    auto high = offset <= SIZE_MAX - 4 ? ReadU32(bytes, offset + 4) : std::nullopt;
    if (!low || !high) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(*low) | (static_cast<std::uint64_t>(*high) << 32);
}

std::optional<PeImage> PeImage::Parse(Bytes file) {
    if (ReadU16(file, 0) != 0x5A4D) { // "MZ"
        return std::nullopt;
    }
    auto peOffset = ReadU32(file, 0x3C);
    if (!peOffset || ReadU32(file, *peOffset) != 0x00004550u) { // "PE\0\0"
        return std::nullopt;
    }
    const std::size_t coff = static_cast<std::size_t>(*peOffset) + 4;
    auto sectionCount = ReadU16(file, coff + 2);
    auto optionalSize = ReadU16(file, coff + 16);
    const std::size_t optional = coff + 20;
    auto magic = ReadU16(file, optional);
    if (!sectionCount || !optionalSize || !magic || *sectionCount > kMaxSections) {
        return std::nullopt;
    }
    std::size_t countOffset = 0;
    if (*magic == 0x10B) { // PE32
        countOffset = 92;
    } else if (*magic == 0x20B) { // PE32+
        countOffset = 108;
    } else {
        return std::nullopt;
    }
    auto directoryCount = ReadU32(file, optional + countOffset);
    const std::size_t directoryOffset = optional + countOffset + 4 + 8 * kResourceDirectoryIndex;
    if (!directoryCount || *directoryCount <= kResourceDirectoryIndex ||
        directoryOffset + 8 > optional + *optionalSize) {
        return std::nullopt;
    }
    auto resourceRva = ReadU32(file, directoryOffset);
    if (!resourceRva || *resourceRva == 0) {
        return std::nullopt;
    }

    PeImage image;
    image.file_ = file;
    const std::size_t table = optional + *optionalSize;
    for (std::size_t i = 0; i < *sectionCount; ++i) {
        const std::size_t at = table + 40 * i;
        auto virtualSize = ReadU32(file, at + 8);
        auto virtualAddress = ReadU32(file, at + 12);
        auto rawSize = ReadU32(file, at + 16);
        auto rawOffset = ReadU32(file, at + 20);
        if (!virtualSize || !virtualAddress || !rawSize || !rawOffset) {
            return std::nullopt;
        }
        // A section whose data lies past the end of the file: the file was cut or is damaged.
        if (*rawSize != 0 && std::uint64_t{*rawOffset} + *rawSize > file.size()) {
            return std::nullopt;
        }
        image.sections_.push_back({*virtualAddress, *virtualSize, *rawSize, *rawOffset});
    }
    auto resources = image.AtRva(*resourceRva);
    if (!resources || resources->size() < 16) {
        return std::nullopt;
    }
    image.resources_ = *resources;
    std::size_t budget = kMaxResourceEntries;
    if (!image.DataInFile(0, 0, budget)) {
        return std::nullopt;
    }
    return image;
}

bool PeImage::DataInFile(std::uint32_t dirOffset, int depth, std::size_t& budget) const {
    auto named = ReadU16(resources_, std::size_t{dirOffset} + 12);
    auto numbered = ReadU16(resources_, std::size_t{dirOffset} + 14);
    if (!named || !numbered) {
        return false;
    }
    const std::size_t count = std::size_t{*named} + *numbered;
    if (count > budget) {
        return false;
    }
    budget -= count;
    const std::size_t first = std::size_t{dirOffset} + 16;
    for (std::size_t i = 0; i < count; ++i) {
        auto target = ReadU32(resources_, first + 8 * i + 4);
        if (!target) {
            return false;
        }
        if ((*target & kSubdirectoryBit) != 0) {
            // Types, names, languages: a deeper subdirectory is not a resource tree.
            if (depth >= 2 || !DataInFile(*target & ~kSubdirectoryBit, depth + 1, budget)) {
                return false;
            }
            continue;
        }
        auto dataRva = ReadU32(resources_, *target);
        auto dataSize = ReadU32(resources_, std::size_t{*target} + 4);
        auto data = dataRva && dataSize ? AtRva(*dataRva) : std::nullopt;
        if (!data || data->size() < *dataSize) {
            return false;
        }
    }
    return true;
}

std::optional<Bytes> PeImage::AtRva(std::uint32_t rva) const {
    for (const auto& section : sections_) {
        const std::uint64_t start = section.virtualAddress;
        const std::uint64_t span = std::max(section.virtualSize, section.rawSize);
        if (rva < start || rva - start >= span) {
            continue;
        }
        const std::uint64_t delta = rva - start;
        if (delta >= section.rawSize) {
            return std::nullopt; // uninitialised data: nothing in the file
        }
        const std::uint64_t offset = static_cast<std::uint64_t>(section.rawOffset) + delta;
        if (offset >= file_.size()) {
            return std::nullopt;
        }
        const std::uint64_t available =
            std::min<std::uint64_t>(section.rawSize - delta, file_.size() - offset);
        return file_.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(available));
    }
    return std::nullopt;
}

std::optional<std::uint32_t> PeImage::SubDirectory(std::uint32_t dirOffset, UINT id) const {
    auto named = ReadU16(resources_, std::size_t{dirOffset} + 12);
    auto numbered = ReadU16(resources_, std::size_t{dirOffset} + 14);
    if (!named || !numbered) {
        return std::nullopt;
    }
    const std::size_t first = std::size_t{dirOffset} + 16;
    for (std::size_t i = 0; i < std::size_t{*named} + *numbered; ++i) {
        auto name = ReadU32(resources_, first + 8 * i);
        auto target = ReadU32(resources_, first + 8 * i + 4);
        if (!name || !target) {
            return std::nullopt;
        }
        if (i >= *named && *name == id) {
            if ((*target & kSubdirectoryBit) == 0) {
                return std::nullopt;
            }
            return *target & ~kSubdirectoryBit;
        }
    }
    return std::nullopt;
}

std::optional<Bytes> PeImage::Find(UINT type, UINT id) const {
    auto names = SubDirectory(0, type);
    auto languages = names ? SubDirectory(*names, id) : std::nullopt;
    if (!languages) {
        return std::nullopt;
    }
    auto named = ReadU16(resources_, std::size_t{*languages} + 12);
    auto numbered = ReadU16(resources_, std::size_t{*languages} + 14);
    if (!named || !numbered || *named + *numbered == 0) {
        return std::nullopt;
    }
    // The first language: the module's own, since each of our modules holds one language.
    auto target = ReadU32(resources_, std::size_t{*languages} + 20);
    if (!target || (*target & kSubdirectoryBit) != 0) {
        return std::nullopt;
    }
    auto dataRva = ReadU32(resources_, *target);
    auto dataSize = ReadU32(resources_, std::size_t{*target} + 4);
    if (!dataRva || !dataSize) {
        return std::nullopt;
    }
    auto data = AtRva(*dataRva);
    if (!data || data->size() < *dataSize) {
        return std::nullopt;
    }
    return data->first(*dataSize);
}

std::vector<UINT> PeImage::Ids(UINT type) const {
    std::vector<UINT> ids;
    auto names = SubDirectory(0, type);
    if (!names) {
        return ids;
    }
    auto named = ReadU16(resources_, std::size_t{*names} + 12);
    auto numbered = ReadU16(resources_, std::size_t{*names} + 14);
    if (!named || !numbered) {
        return ids;
    }
    const std::size_t first = std::size_t{*names} + 16 + 8 * std::size_t{*named};
    for (std::size_t i = 0; i < *numbered; ++i) {
        auto name = ReadU32(resources_, first + 8 * i);
        if (!name) {
            break;
        }
        if ((*name & kSubdirectoryBit) == 0) {
            ids.push_back(*name);
        }
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

} // namespace nv::platform::pe
