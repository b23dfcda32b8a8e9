// Version information in the platform's shape, read by our PE reader where the system has no
// version calls (the Windows build uses the system's). The block handed out is the raw
// VS_VERSIONINFO followed by a conversion area twice its size: a text value at offset o of n
// UTF-16 units is returned as UTF-8 written at area + 2*o, which has room for the at most
// 3*n+1 bytes of its conversion, so every query stays inside the block.
#include "platform/modules/ModuleFile.h"
#include "platform/modules/Modules.h"
#include "platform/modules/VersionBlock.h"

#include <cstring>

namespace nv::platform {

namespace {

std::size_t Align4(std::size_t n) {
    return (n + 3) & ~std::size_t{3};
}

// The raw VS_VERSIONINFO of the module or executable at PATH, trimmed to its declared length.
std::optional<std::vector<std::uint8_t>> RawVersionBlock(const char* path) {
    if (path == nullptr) {
        return std::nullopt;
    }
    auto image = pe::ReadResourceImage(path);
    return image ? pe::VersionBlockOfImage(*image) : std::nullopt;
}

DWORD BlockSize(std::size_t raw) {
    return static_cast<DWORD>(Align4(raw) * 3);
}

} // namespace

DWORD GetFileVersionInfoSizeA(const char* path, DWORD* handle) {
    if (handle != nullptr) {
        *handle = 0;
    }
    auto raw = RawVersionBlock(path);
    return raw ? BlockSize(raw->size()) : 0;
}

BOOL GetFileVersionInfoA(const char* path, DWORD /*handle*/, DWORD len, void* data) {
    auto raw = RawVersionBlock(path);
    if (!raw || data == nullptr || len < BlockSize(raw->size())) {
        return FALSE;
    }
    auto* out = static_cast<std::uint8_t*>(data);
    std::memset(out, 0, BlockSize(raw->size()));
    std::memcpy(out, raw->data(), raw->size());
    return TRUE;
}

BOOL VerQueryValueA(const void* block, const char* subBlock, void** buffer, UINT* len) {
    if (len != nullptr) {
        *len = 0;
    }
    if (block == nullptr || subBlock == nullptr || buffer == nullptr) {
        return FALSE;
    }
    const auto* base = static_cast<const std::uint8_t*>(block);
    const std::size_t raw = static_cast<std::size_t>(base[0] | (base[1] << 8));
    const pe::Bytes bytes(base, raw);
    auto node = pe::FindVersionNode(bytes, subBlock);
    if (!node) {
        return FALSE;
    }
    auto* mutableBase = const_cast<std::uint8_t*>(base);
    if (node->valueBytes == 0) {
        *buffer = mutableBase + node->valueOffset;
        return TRUE;
    }
    if (!node->text) {
        *buffer = mutableBase + node->valueOffset;
        if (len != nullptr) {
            *len = static_cast<UINT>(node->valueBytes);
        }
        return TRUE;
    }
    const std::string text = pe::VersionText(bytes, *node);
    char* converted = reinterpret_cast<char*>(mutableBase + Align4(raw) + 2 * node->valueOffset);
    std::memcpy(converted, text.data(), text.size());
    converted[text.size()] = '\0';
    *buffer = converted;
    if (len != nullptr) {
        *len = static_cast<UINT>(text.size() + 1);
    }
    return TRUE;
}

} // namespace nv::platform
