#include "platform/modules/ModuleFile.h"

#include <algorithm>

namespace nv::platform::pe {

namespace {

constexpr std::uint64_t kElfHeaderSize = 64;
constexpr std::uint64_t kMaxSectionTable = 1u << 20;

ReadAt MemoryReader(Bytes file) {
    return [file](std::uint64_t offset,
                  std::uint64_t size) -> std::optional<std::vector<std::uint8_t>> {
        if (offset > file.size() || size > file.size() - offset) {
            return std::nullopt;
        }
        const auto first = file.begin() + static_cast<std::ptrdiff_t>(offset);
        return std::vector<std::uint8_t>(first, first + static_cast<std::ptrdiff_t>(size));
    };
}

} // namespace

bool IsPe(Bytes header) {
    return header.size() >= 2 && header[0] == 'M' && header[1] == 'Z';
}

std::optional<std::vector<std::uint8_t>> ReadElfSection(const ReadAt& read, std::string_view name) {
    // e_ident: magic, class 2 (64-bit), data 1 (little-endian).
    const auto header = read(0, kElfHeaderSize);
    if (!header || (*header)[0] != 0x7F || (*header)[1] != 'E' || (*header)[2] != 'L' ||
        (*header)[3] != 'F' || (*header)[4] != 2 || (*header)[5] != 1) {
        return std::nullopt;
    }
    const Bytes h = *header;
    const std::uint64_t tableOffset = ReadU64(h, 0x28).value_or(0);
    const std::uint16_t entrySize = ReadU16(h, 0x3A).value_or(0);
    const std::uint16_t count = ReadU16(h, 0x3C).value_or(0);
    const std::uint16_t namesIndex = ReadU16(h, 0x3E).value_or(0);
    if (entrySize < 64 || namesIndex >= count ||
        std::uint64_t{count} * entrySize > kMaxSectionTable) {
        return std::nullopt;
    }
    const auto table = read(tableOffset, std::uint64_t{count} * entrySize);
    if (!table) {
        return std::nullopt;
    }
    struct Section {
        std::uint32_t name;
        std::uint64_t offset;
        std::uint64_t size;
    };
    auto section = [&](std::size_t index) -> std::optional<Section> {
        const std::size_t at = index * entrySize;
        const auto type = ReadU32(*table, at + 4);
        if (!type || *type == 8 /* SHT_NOBITS: no bytes in the file */) {
            return std::nullopt;
        }
        return Section{*ReadU32(*table, at), *ReadU64(*table, at + 0x18),
                       *ReadU64(*table, at + 0x20)};
    };
    const auto namesSection = section(namesIndex);
    if (!namesSection || namesSection->size > kMaxSectionTable) {
        return std::nullopt;
    }
    const auto names = read(namesSection->offset, namesSection->size);
    if (!names) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const auto candidate = section(i);
        if (!candidate || candidate->name >= names->size()) {
            continue;
        }
        const Bytes rest = Bytes(*names).subspan(candidate->name);
        if (rest.size() > name.size() && rest[name.size()] == 0 &&
            std::equal(name.begin(), name.end(), rest.begin())) {
            if (candidate->size > kMaxModuleFileSize) {
                return std::nullopt;
            }
            return read(candidate->offset, candidate->size);
        }
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> ResourceImageOf(Bytes file) {
    if (IsPe(file)) {
        return std::vector<std::uint8_t>(file.begin(), file.end());
    }
    return ReadElfSection(MemoryReader(file), kEmbeddedResourceSection);
}

} // namespace nv::platform::pe
