#include "platform/modules/ModuleLanguage.h"

#include "platform/modules/Modules.h"

namespace nv::platform {

std::string LanguageTagOfId(unsigned languageId) {
    switch (languageId & 0x3FF) {
    case 0x04:
        return "zh";
    case 0x07:
        return "de";
    case 0x09:
        return "en";
    case 0x0C:
        return "fr";
    case 0x11:
        return "ja";
    case 0x12:
        return "ko";
    default:
        return {};
    }
}

std::string LanguageTagOf(const ResourceModule& module) {
    const std::vector<std::uint8_t> block = module.FindResourceData(kRtVersion, 1);
    // The block's own length comes first; a block claiming more than it holds is damaged.
    if (block.size() < 2 || static_cast<std::size_t>(block[0] | block[1] << 8) > block.size()) {
        return {};
    }
    void* table = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &table, &length) ||
        table == nullptr || length < 4) {
        return {};
    }
    const auto* bytes = static_cast<const std::uint8_t*>(table);
    return LanguageTagOfId(static_cast<unsigned>(bytes[0] | bytes[1] << 8));
}

} // namespace nv::platform
