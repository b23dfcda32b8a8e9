// Every kind of read the program makes of a resource module, tried on arbitrary bytes: the
// fuzz target's body, also run by the unit tests on damaged copies of the built modules. Only
// that it returns matters (no crash, no read outside the input, no endless loop).
#pragma once

#include "platform/modules/Modules.h"
#include "platform/modules/VersionBlock.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace nv::test {

inline void ExerciseModule(const std::vector<std::uint8_t>& bytes) {
    using namespace nv::platform;
    if (auto module = ResourceModule::LoadFromMemory(bytes)) {
        char buffer[260];
        for (UINT id : module->StringIds()) {
            module->LoadStringA(id, buffer, sizeof buffer);
        }
        for (UINT id : {0u, 1u, 17u, 93u, 1500u, 1508u}) {
            module->LoadStringA(id, buffer, 4);
        }
        for (UINT id : module->ResourceIds(kRtGroupIcon)) {
            if (auto group = module->LoadIconGroup(id)) {
                group->ToIcoFile();
            }
        }
        module->FindResourceData(kRtDialog, 300);
    }
    if (auto raw = pe::VersionBlockOf(bytes)) {
        // The block as GetFileVersionInfoA hands it out: the raw tree and its conversion area.
        std::vector<std::uint8_t> block(((raw->size() + 3) & ~std::size_t{3}) * 3);
        std::copy(raw->begin(), raw->end(), block.begin());
        for (const char* path :
             {"\\", "\\VarFileInfo\\Translation", "\\StringFileInfo\\041104b0\\FileVersion",
              "\\StringFileInfo\\041104B0\\originalfilename", "StringFileInfo\\040904b0\\",
              "\\StringFileInfo"}) {
            void* value = nullptr;
            UINT len = 0;
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
}

} // namespace nv::test
