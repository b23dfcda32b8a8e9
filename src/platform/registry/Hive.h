// The whole content of a store in memory: keys by full path (root name first), each with its
// typed values. Names compare case-insensitively (ASCII letters) and keep their first spelling.
#pragma once

#include "platform/registry/Registry.h"
#include "platform/wintypes.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace nv::platform {

struct HiveValue {
    std::string name; // as first spelled; empty for the key's default value
    DWORD type = 0;
    std::vector<std::uint8_t> data;

    bool operator==(const HiveValue&) const = default;
};

struct HiveKey {
    std::string path; // full path as first spelled, components joined by backslashes
    // Values by folded name.
    std::map<std::string, HiveValue> values;

    bool operator==(const HiveKey&) const = default;
};

// The ordering/lookup form of a name: ASCII letters lowered, backslashes made 0x01 so that a
// key sorts right before its sub-keys.
std::string FoldName(std::string_view name);

// True when PATH is a full key path this store can hold: non-empty components of at most
// kMaxKeyNameChars, no control characters, at most kMaxKeyPathBytes in all.
bool IsValidKeyPath(std::string_view path);
// Checks SUBKEY below ROOT as every store checks it: one trailing backslash is ignored, a
// leading or doubled one is a bad path name, a name too long or with control characters a bad
// parameter. On success PATH holds SUBKEY without its trailing backslash and the full path.
struct KeyPath {
    std::string sub;
    std::string full;
};
LONG CheckKeyPath(RegistryRoot root, const char* subKey, KeyPath& path);
// True when NAME can be a value name: at most kMaxValueNameBytes, no NUL, CR or LF.
bool IsValidValueName(std::string_view name);

class Hive {
public:
    // The key listed under PATH, or null.
    const HiveKey* FindKey(std::string_view path) const;
    HiveKey* FindKey(std::string_view path);
    // True when PATH is a root (one component), is listed, or has a listed sub-key.
    bool KeyExists(std::string_view path) const;
    // Lists PATH (which must be valid) and every missing ancestor below its root; returns the
    // key. Existing components keep their spelling. Costs one look-up per missing key and one
    // for the deepest listed one, each logarithmic in the number of keys.
    HiveKey& EnsureKey(std::string_view path);
    // Lists PATH (which must be valid) alone, with the caller's spelling when it is new; its
    // ancestors exist through it (KeyExists) without being listed. One look-up, so that reading
    // a file of deep paths costs what the file holds, not the square of each path's depth.
    HiveKey& ListKey(std::string_view path);

    using KeyMap = std::map<std::string, HiveKey, std::less<>>; // by folded path
    const KeyMap& Keys() const { return keys_; }
    bool operator==(const Hive&) const = default;

private:
    KeyMap keys_;
};

} // namespace nv::platform
