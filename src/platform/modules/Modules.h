// Resource modules (PE resource-only libraries: string tables, icons, dialogs, version
// information) and code modules (shared objects with C entry points), each owned by a handle
// that frees it on destruction.
#pragma once

#include "platform/wintypes.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nv::platform {

using WORD = std::uint16_t;

// Resource types as numbered in a module's resource directory.
inline constexpr UINT kRtIcon = 3;
inline constexpr UINT kRtDialog = 5;
inline constexpr UINT kRtString = 6;
inline constexpr UINT kRtGroupIcon = 14;
inline constexpr UINT kRtVersion = 16;

// One image of an icon group: the group entry's description and the image's own data (a
// BITMAPINFOHEADER with its pixels and mask, or a PNG).
struct IconImage {
    int width = 0;  // pixels; 256 where the entry stores 0
    int height = 0; // pixels; 256 where the entry stores 0
    int colorCount = 0;
    int planes = 0;
    int bitCount = 0;
    UINT resourceId = 0; // ID of the image's icon resource
    std::vector<std::uint8_t> data;
};

// An icon group: every image the module holds for one icon, in the group's order.
struct IconGroup {
    std::vector<IconImage> images;

    // The group as the bytes of an .ico file, ready for any icon reader.
    std::vector<std::uint8_t> ToIcoFile() const;
};

// A loaded resource module. Loading never throws: a missing, truncated or hostile file gives
// null.
class ResourceModule {
public:
    // The module at PATH (UTF-8), through the platform's own loader: on Windows the system
    // maps it as a data file and every read goes through the system's resource calls; elsewhere
    // our PE reader reads the file. A relative PATH is taken from the current folder, never
    // looked up on a search path.
    static std::unique_ptr<ResourceModule> Load(const std::string& path);
    // A module image already in memory, read by our PE reader on every platform (tests,
    // fuzzing).
    static std::unique_ptr<ResourceModule> LoadFromMemory(std::vector<std::uint8_t> image);
    virtual ~ResourceModule() = default;

    // LoadStringA: copies string ID as UTF-8 into BUFFER of BUFFERMAX bytes, cut at a
    // character boundary to at most BUFFERMAX-1 bytes and NUL-terminated; returns the bytes
    // copied. A missing or empty string reads as "" (returns 0). BUFFERMAX 0 returns -1.
    // Modules read their texts with LoadText; stand-ins may answer here directly.
    virtual int LoadStringA(UINT id, char* buffer, int bufferMax) const;

    // The raw data of resource TYPE/ID (first language found), empty when absent.
    virtual std::vector<std::uint8_t> FindResourceData(UINT type, UINT id) const = 0;

    // The numeric IDs of the resources of TYPE, ascending. A module that cannot enumerate
    // returns none.
    virtual std::vector<UINT> ResourceIds(UINT type) const;

    // Icon group ID with its images, or nothing when the group is absent or damaged. Images
    // whose icon resource is missing are left out.
    std::optional<IconGroup> LoadIconGroup(UINT id) const;

    // The full text of string ID (UTF-8), "" when absent or when ID is above 0xFFFF.
    virtual std::string LoadText(UINT id) const;

    // Every string ID with a non-empty text, ascending (needs ResourceIds).
    std::vector<UINT> StringIds() const;
};

// Version information, read with the platform's two-step shape: ask for the size, allocate,
// read the block, then query values in it.
//
// GetFileVersionInfoSizeA: the size of the block that GetFileVersionInfoA fills for the module
// at PATH (a PE module, or an executable carrying its version module in section ".nvrsrc");
// 0 when the file is missing or has no readable version resource. *HANDLE is set to 0. On
// Windows the system's version calls read the file and find the values; texts still come out
// as UTF-8.
DWORD GetFileVersionInfoSizeA(const char* path, DWORD* handle);

// GetFileVersionInfoA: fills DATA (LEN bytes) with the version block of PATH. Returns FALSE
// when the file has no version resource or LEN is smaller than the size reported above (the
// block is never truncated, so that queries on it stay within it).
BOOL GetFileVersionInfoA(const char* path, DWORD handle, DWORD len, void* data);

// VerQueryValueA: looks SUBBLOCK up in BLOCK (filled by GetFileVersionInfoA). "\" gives the
// 52-byte fixed file information, "\VarFileInfo\Translation" the (language, code page) word
// pairs, "\StringFileInfo\<lang><cp>\<Name>" a NUL-terminated UTF-8 string with *LEN its bytes
// including the NUL. Keys compare case-insensitively; leading and trailing backslashes are
// optional. A block with no value gives TRUE with *LEN 0; a missing path gives FALSE, *LEN 0.
BOOL VerQueryValueA(const void* block, const char* subBlock, void** buffer, UINT* len);

// The version information of PATH decoded at once, for tools: the translation pairs and
// every string value of every string block, in file order.
struct VersionStrings {
    std::vector<std::pair<WORD, WORD>> translations; // (language, code page)
    struct Value {
        std::string block; // e.g. "041104b0"
        std::string name;
        std::string value;
    };
    std::vector<Value> values;
};
std::optional<VersionStrings> ReadVersionStrings(const std::string& path);

// A loaded code module (a shared object on Linux; the ".dll" names map to ".so").
class CodeModule {
public:
    static std::unique_ptr<CodeModule> Load(const std::string& path);
    virtual ~CodeModule() = default;
    // The address of exported symbol NAME, or null.
    virtual void* GetProcAddress(const char* name) const = 0;
};

// The file name this platform gives the code module called NAME in the program's terms, the
// same way on every platform: a name without an extension gets the platform's library
// extension and a trailing "." means "no extension" (as the Windows loader reads names); on
// Linux a trailing ".dll" (any case) becomes ".so". Only the last component of NAME counts.
std::string NativeCodeModuleName(const std::string& name);

// Called first thing by each program: on Windows no library the process loads from then on,
// by name or as a dependency, comes from the current folder or PATH (only the program's own
// folder and the system's are searched); elsewhere nothing to do.
void RestrictCodeModuleSearch();

// Whether NAME is a plain file name for a side library in a known folder: not empty, not
// absolute, without a path separator (either slash), a drive colon or "..".
bool IsPlainFileName(const std::string& name);

// Whether PATH is rooted on this platform ("/..." on Linux; "X:\...", "\..." or a server's
// share on Windows), so that loading it never searches.
bool IsAbsolutePath(const std::string& path);

} // namespace nv::platform
