// Resource modules read with our own PE reader (modules in memory on every platform, module
// files where the system has no loader for them), and what every resource module offers on
// top of its raw resources: strings, string IDs, icon groups.
#include "platform/modules/Modules.h"
#include "platform/modules/PeImage.h"
#include "platform/text/Utf8.h"

#include <algorithm>
#include <cstring>

namespace nv::platform {

namespace {

constexpr UINT kStringsPerBlock = 16;

class PeResourceModule final : public ResourceModule {
public:
    PeResourceModule(std::vector<std::uint8_t> bytes, pe::PeImage image)
        : bytes_(std::move(bytes)), image_(image) {}

    std::vector<std::uint8_t> FindResourceData(UINT type, UINT id) const override {
        auto data = image_.Find(type, id);
        if (!data) {
            return {};
        }
        return {data->begin(), data->end()};
    }

    std::vector<UINT> ResourceIds(UINT type) const override { return image_.Ids(type); }

private:
    // bytes_ owns the file that image_ points into; a moved vector keeps its buffer.
    std::vector<std::uint8_t> bytes_;
    pe::PeImage image_;
};

// The text of string ID in string-table block DATA (16 counted UTF-16 strings), "" when the
// block ends before it.
std::string StringInBlock(pe::Bytes data, UINT index) {
    std::size_t at = 0;
    for (UINT i = 0; i <= index; ++i) {
        auto units = pe::ReadU16(data, at);
        if (!units || data.size() - at - 2 < std::size_t{*units} * 2) {
            return {};
        }
        if (i == index) {
            return text::Utf16LeToUtf8(data.data() + at + 2, *units);
        }
        at += 2 + std::size_t{*units} * 2;
    }
    return {};
}

} // namespace

std::unique_ptr<ResourceModule> ResourceModule::LoadFromMemory(std::vector<std::uint8_t> image) {
    auto parsed = pe::PeImage::Parse(image);
    if (!parsed) {
        return nullptr;
    }
    return std::make_unique<PeResourceModule>(std::move(image), *parsed);
}

std::vector<UINT> ResourceModule::ResourceIds(UINT /*type*/) const {
    return {};
}

int ResourceModule::LoadStringA(UINT id, char* buffer, int bufferMax) const {
    if (bufferMax <= 0) {
        return -1;
    }
    if (buffer == nullptr) {
        return 0;
    }
    const std::string text = LoadText(id);
    const std::size_t length =
        text::Utf8PrefixLength(text, static_cast<std::size_t>(bufferMax) - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

std::string ResourceModule::LoadText(UINT id) const {
    if (id > 0xFFFF) {
        return {};
    }
    const auto block = FindResourceData(kRtString, id / kStringsPerBlock + 1);
    return StringInBlock(block, id % kStringsPerBlock);
}

std::vector<UINT> ResourceModule::StringIds() const {
    std::vector<UINT> ids;
    for (UINT block : ResourceIds(kRtString)) {
        if (block == 0 || block > 0x1000) {
            continue;
        }
        for (UINT index = 0; index < kStringsPerBlock; ++index) {
            const UINT id = (block - 1) * kStringsPerBlock + index;
            if (!LoadText(id).empty()) {
                ids.push_back(id);
            }
        }
    }
    return ids;
}

std::optional<IconGroup> ResourceModule::LoadIconGroup(UINT id) const {
    const auto data = FindResourceData(kRtGroupIcon, id);
    const pe::Bytes bytes = data;
    auto type = pe::ReadU16(bytes, 2);
    auto count = pe::ReadU16(bytes, 4);
    if (!type || !count || *type != 1 || bytes.size() < 6 + std::size_t{*count} * 14) {
        return std::nullopt;
    }
    IconGroup group;
    for (std::size_t i = 0; i < *count; ++i) {
        const pe::Bytes entry = bytes.subspan(6 + i * 14, 14);
        IconImage image;
        image.width = entry[0] == 0 ? 256 : entry[0];
        image.height = entry[1] == 0 ? 256 : entry[1];
        image.colorCount = entry[2];
        image.planes = *pe::ReadU16(entry, 4);
        image.bitCount = *pe::ReadU16(entry, 6);
        image.resourceId = *pe::ReadU16(entry, 12);
        image.data = FindResourceData(kRtIcon, image.resourceId);
        if (!image.data.empty()) {
            group.images.push_back(std::move(image));
        }
    }
    if (group.images.empty()) {
        return std::nullopt;
    }
    return group;
}

std::vector<std::uint8_t> IconGroup::ToIcoFile() const {
    std::vector<std::uint8_t> out;
    auto put16 = [&out](std::uint32_t v) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto put32 = [&](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    put16(0);
    put16(1);
    put16(static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (const auto& image : images) {
        out.push_back(static_cast<std::uint8_t>(image.width >= 256 ? 0 : image.width));
        out.push_back(static_cast<std::uint8_t>(image.height >= 256 ? 0 : image.height));
        out.push_back(static_cast<std::uint8_t>(image.colorCount));
        out.push_back(0);
        put16(static_cast<std::uint32_t>(image.planes));
        put16(static_cast<std::uint32_t>(image.bitCount));
        put32(static_cast<std::uint32_t>(image.data.size()));
        put32(offset);
        offset += static_cast<std::uint32_t>(image.data.size());
    }
    for (const auto& image : images) {
        out.insert(out.end(), image.data.begin(), image.data.end());
    }
    return out;
}

} // namespace nv::platform
