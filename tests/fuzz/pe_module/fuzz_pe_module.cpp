// Fuzz target for the resource module reader: any bytes given as a module file (or as an
// executable carrying one) are parsed and every kind of read the program makes is tried.
#include "platform/modules/Modules.h"
#include "platform/modules/VersionBlock.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace nv::platform;
    const std::vector<std::uint8_t> bytes(data, data + size);
    if (auto module = ResourceModule::LoadFromMemory(bytes)) {
        char buffer[260];
        for (nv::UINT id : module->StringIds()) {
            module->LoadStringA(id, buffer, sizeof buffer);
        }
        for (nv::UINT id : {0u, 1u, 17u, 93u, 1500u, 1508u}) {
            module->LoadStringA(id, buffer, 4);
        }
        for (nv::UINT id : module->ResourceIds(kRtGroupIcon)) {
            if (auto group = module->LoadIconGroup(id)) {
                group->ToIcoFile();
            }
        }
        module->FindResourceData(kRtDialog, 300);
    }
    if (auto raw = pe::VersionBlockOf(bytes)) {
        std::vector<std::uint8_t> block(((raw->size() + 3) & ~std::size_t{3}) * 3);
        std::copy(raw->begin(), raw->end(), block.begin());
        for (const char* path :
             {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\041104b0\\FileVersion",
              "\\StringFileInfo\\041104B0\\originalfilename", "StringFileInfo\\040904b0\\",
              "\\StringFileInfo"}) {
            void* value = nullptr;
            nv::UINT len = 0;
            VerQueryValueA(block.data(), path, &value, &len);
        }
        if (auto strings = pe::FindVersionNode(*raw, "\\StringFileInfo")) {
            for (const auto& table : pe::VersionChildren(*raw, *strings)) {
                for (const auto& value : pe::VersionChildren(*raw, table)) {
                    pe::VersionText(*raw, value);
                }
            }
        }
    }
    return 0;
}
