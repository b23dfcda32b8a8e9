#include "platform/modules/ModuleFile.h"

#include <fstream>

namespace nv::platform::pe {

std::optional<std::vector<std::uint8_t>> ReadModuleFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<std::uint64_t>(size) > kMaxModuleFileSize) {
        return std::nullopt;
    }
    in.seekg(0, std::ios::beg);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<Bytes> FindElfSection(Bytes file, std::string_view name) {
    // e_ident: magic, class 2 (64-bit), data 1 (little-endian).
    if (file.size() < 64 || file[0] != 0x7F || file[1] != 'E' || file[2] != 'L' ||
        file[3] != 'F' || file[4] != 2 || file[5] != 1) {
        return std::nullopt;
    }
    auto tableOffset = ReadU64(file, 0x28);
    auto entrySize = ReadU16(file, 0x3A);
    auto count = ReadU16(file, 0x3C);
    auto namesIndex = ReadU16(file, 0x3E);
    if (!tableOffset || !entrySize || !count || !namesIndex || *entrySize < 64 ||
        *namesIndex >= *count || *tableOffset > file.size()) {
        return std::nullopt;
    }
    auto section = [&](std::size_t index) -> std::optional<std::pair<std::uint32_t, Bytes>> {
        const std::uint64_t at = *tableOffset + std::uint64_t{index} * *entrySize;
        if (at > file.size()) {
            return std::nullopt;
        }
        auto nameOffset = ReadU32(file, static_cast<std::size_t>(at));
        auto type = ReadU32(file, static_cast<std::size_t>(at) + 4);
        auto offset = ReadU64(file, static_cast<std::size_t>(at) + 0x18);
        auto size = ReadU64(file, static_cast<std::size_t>(at) + 0x20);
        if (!nameOffset || !type || !offset || !size || *type == 8 /* SHT_NOBITS */ ||
            *offset > file.size() || *size > file.size() - *offset) {
            return std::nullopt;
        }
        return std::pair{*nameOffset, file.subspan(static_cast<std::size_t>(*offset),
                                                   static_cast<std::size_t>(*size))};
    };
    auto names = section(*namesIndex);
    if (!names) {
        return std::nullopt;
    }
    const Bytes table = names->second;
    for (std::size_t i = 0; i < *count; ++i) {
        auto candidate = section(i);
        if (!candidate || candidate->first >= table.size()) {
            continue;
        }
        const Bytes rest = table.subspan(candidate->first);
        if (rest.size() > name.size() && rest[name.size()] == 0 &&
            std::equal(name.begin(), name.end(), rest.begin())) {
            return candidate->second;
        }
    }
    return std::nullopt;
}

std::optional<Bytes> ResourceImageOf(Bytes file) {
    if (file.size() >= 2 && file[0] == 'M' && file[1] == 'Z') {
        return file;
    }
    return FindElfSection(file, kEmbeddedResourceSection);
}

} // namespace nv::platform::pe
