// Reading module files and finding the PE resource image in them: a PE module is its own image;
// an ELF executable carries its version module in a section of its own.
#pragma once

#include "platform/modules/PeImage.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nv::platform::pe {

// Largest module or section read; anything bigger is not one of ours and is refused.
inline constexpr std::uint64_t kMaxModuleFileSize = 64u * 1024u * 1024u;

// The ELF section in which executables carry their version module.
inline constexpr std::string_view kEmbeddedResourceSection = ".nvrsrc";

// Reads SIZE bytes at OFFSET of some file; nothing when they are not all there.
using ReadAt =
    std::function<std::optional<std::vector<std::uint8_t>>(std::uint64_t, std::uint64_t)>;

// Whether HEADER begins like a PE file ("MZ").
bool IsPe(Bytes header);

// The bytes of the file at PATH, or nothing when it cannot be read, is too big or is not a
// regular file (a FIFO or a device is refused without blocking).
std::optional<std::vector<std::uint8_t>> ReadModuleFile(const std::string& path);

// The contents of section NAME of the 64-bit little-endian ELF file READ gives access to,
// reading only its headers, section table, section names and that section; nothing when the
// file is not such a file, lacks the section or any of them lies outside it.
std::optional<std::vector<std::uint8_t>> ReadElfSection(const ReadAt& read, std::string_view name);

// The PE image in FILE: FILE itself when it is a PE file, else the module an ELF executable
// carries in its resource section. Nothing when neither.
std::optional<std::vector<std::uint8_t>> ResourceImageOf(Bytes file);

// The same for the file at PATH, reading only the section of an ELF executable; nothing when
// PATH is not a regular file.
std::optional<std::vector<std::uint8_t>> ReadResourceImage(const std::string& path);

} // namespace nv::platform::pe
