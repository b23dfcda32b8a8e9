// Resource modules (PE resource-only libraries: string tables, icons, dialogs, version
// information) and code modules (shared objects with C entry points), each owned by a handle
// that frees it on destruction.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/wintypes.h"

namespace nv::platform {

// A loaded resource module. Loading never throws: a missing, truncated or hostile file gives
// null.
class ResourceModule {
public:
    static std::unique_ptr<ResourceModule> Load(const std::string& path);
    virtual ~ResourceModule() = default;

    // LoadStringA: copies string ID as UTF-8 into BUFFER of BUFFERMAX bytes, cut at a
    // character boundary to at most BUFFERMAX-1 bytes and NUL-terminated; returns the bytes
    // copied. A missing or empty string reads as "" (returns 0). BUFFERMAX 0 returns -1.
    virtual int LoadStringA(UINT id, char* buffer, int bufferMax) const = 0;

    // The raw data of resource TYPE/ID (first language found), empty when absent.
    virtual std::vector<std::uint8_t> FindResourceData(UINT type, UINT id) const = 0;
};

// A loaded code module (a shared object on Linux; the ".dll" names map to ".so").
class CodeModule {
public:
    static std::unique_ptr<CodeModule> Load(const std::string& path);
    virtual ~CodeModule() = default;
    // The address of exported symbol NAME, or null.
    virtual void* GetProcAddress(const char* name) const = 0;
};

} // namespace nv::platform
