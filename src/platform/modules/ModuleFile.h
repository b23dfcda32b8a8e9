// Reading module files from disk and finding the version resource in them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/modules/PeImage.h"

namespace nv::platform::pe {

// Largest module file read; anything bigger is not one of ours and is refused.
inline constexpr std::uint64_t kMaxModuleFileSize = 64u * 1024u * 1024u;

// The bytes of the file at PATH, or nothing when it cannot be read or is too big.
std::optional<std::vector<std::uint8_t>> ReadModuleFile(const std::string& path);

// The contents of section NAME of a 64-bit little-endian ELF file, or nothing.
std::optional<Bytes> FindElfSection(Bytes file, std::string_view name);

// The ELF section in which executables carry their version module.
inline constexpr std::string_view kEmbeddedResourceSection = ".nvrsrc";

// The PE module inside FILE: FILE itself when it is a PE file, else the module an ELF
// executable carries in its resource section. Nothing when neither.
std::optional<Bytes> ResourceImageOf(Bytes file);

} // namespace nv::platform::pe
