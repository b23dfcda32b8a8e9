// A resource module held in memory: a string table given by the test, read with the
// platform's LoadStringA rules (cut at a character boundary, NUL-terminated, -1 for a
// zero-sized buffer).
#pragma once

#include "platform/modules/Modules.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace nv::test {

class StringTableModule : public platform::ResourceModule {
public:
    StringTableModule() = default;
    explicit StringTableModule(std::map<UINT, std::string> strings)
        : strings_(std::move(strings)) {}

    int LoadStringA(UINT id, char* buffer, int bufferMax) const override {
        if (bufferMax <= 0) {
            return -1;
        }
        const auto it = strings_.find(id);
        std::size_t length = it == strings_.end() ? 0 : it->second.size();
        const std::size_t room = static_cast<std::size_t>(bufferMax) - 1;
        if (length > room) {
            length = room;
            while (length > 0 && (static_cast<unsigned char>(it->second[length]) & 0xC0) == 0x80) {
                --length;
            }
        }
        if (length > 0) {
            std::memcpy(buffer, it->second.data(), length);
        }
        buffer[length] = '\0';
        return static_cast<int>(length);
    }

    std::vector<std::uint8_t> FindResourceData(UINT, UINT) const override { return {}; }

    std::map<UINT, std::string> strings_;
};

} // namespace nv::test
