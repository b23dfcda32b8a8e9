// The per-user key/value store: keys named by backslash-separated paths below a root, each
// holding typed values, with the calling conventions, result codes and sizing rules of the
// platform registry API (create or open a key, query a value's type and size, read it into a
// caller buffer, set, delete, close). Key and value names match case-insensitively.
#pragma once

#include "platform/wintypes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace nv::platform {

// Result codes, with the platform's values.
inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_BAD_PATHNAME = 161;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_REGISTRY_CORRUPT = 1015;
inline constexpr LONG ERROR_REGISTRY_IO_FAILED = 1016;
inline constexpr LONG ERROR_NOT_ENOUGH_QUOTA = 1816;

// Value types, with the platform's values.
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;

// Access rights, with the platform's values. Reading values needs KEY_QUERY_VALUE, setting and
// deleting them KEY_SET_VALUE.
inline constexpr DWORD KEY_QUERY_VALUE = 0x0001;
inline constexpr DWORD KEY_SET_VALUE = 0x0002;
inline constexpr DWORD KEY_READ = 0x20019;
inline constexpr DWORD KEY_WRITE = 0x20006;
inline constexpr DWORD KEY_ALL_ACCESS = 0xF003F;

// What CreateKeyEx did, with the platform's values.
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Limits of names and data; longer ones are refused with ERROR_INVALID_PARAMETER.
// One path component holds at most 255 characters (UTF-16 units, as the registry counts them).
inline constexpr std::size_t kMaxKeyNameChars = 255;
inline constexpr std::size_t kMaxKeyPathBytes = 2048; // a whole path, root name included
inline constexpr std::size_t kMaxValueNameBytes = 16383;
inline constexpr std::size_t kMaxValueDataBytes = 1u << 20;

// The predefined keys the paths start from.
enum class RegistryRoot {
    currentUser, // HKEY_CURRENT_USER
    classesRoot, // HKEY_CLASSES_ROOT
};

// An open key. Closes on destruction; Close closes it early. Movable, not copyable.
class RegistryKey {
public:
    // What an implementation keeps for one open key.
    class Handle {
    public:
        virtual ~Handle() = default;
    };

    RegistryKey() = default;
    explicit RegistryKey(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

    bool IsOpen() const { return handle_ != nullptr; }
    const Handle* Get() const { return handle_.get(); }

    // Closes the key: ERROR_SUCCESS, or ERROR_INVALID_HANDLE when it was not open.
    LONG Close() {
        if (!handle_) {
            return ERROR_INVALID_HANDLE;
        }
        handle_.reset();
        return ERROR_SUCCESS;
    }

private:
    std::unique_ptr<Handle> handle_;
};

// One value of a batch given to IRegistry::SetValues: NAME, TYPE and the exact bytes stored.
struct RegistryValueWrite {
    const char* name;
    DWORD type;
    std::span<const std::uint8_t> data;
};

class IRegistry {
public:
    virtual ~IRegistry() = default;

    // Opens ROOT\SUBKEY with ACCESS, creating it and every missing parent when absent, into
    // KEY (closed first). SUBKEY null or empty opens the root itself; components are separated
    // by single backslashes and one trailing backslash is ignored. *DISPOSITION (when given)
    // tells whether the key was created or already there. Returns ERROR_SUCCESS, or
    // ERROR_BAD_PATHNAME (leading or doubled backslash), ERROR_INVALID_PARAMETER (a name too
    // long or holding a control character), or a storage error; KEY stays closed on failure.
    virtual LONG CreateKeyEx(RegistryRoot root, const char* subKey, DWORD access, RegistryKey& key,
                             DWORD* disposition = nullptr) = 0;

    // Opens an existing key like CreateKeyEx but never creates one: ERROR_FILE_NOT_FOUND
    // when it is absent.
    virtual LONG OpenKeyEx(RegistryRoot root, const char* subKey, DWORD access,
                           RegistryKey& key) = 0;

    // Queries value NAME of KEY (null or "" for the key's default value). With DATA null,
    // stores the value's type in *TYPE and its size in bytes in *SIZE (each when given). With
    // DATA given, *SIZE is the buffer's size in bytes on entry: when the value fits it is
    // copied and *SIZE becomes its size; when it does not, nothing is copied, *SIZE becomes
    // the size needed and the result is ERROR_MORE_DATA. Stored bytes come back exactly as
    // set: no terminator is added or removed. Returns ERROR_FILE_NOT_FOUND when the value is
    // absent, ERROR_INVALID_PARAMETER for DATA without SIZE, ERROR_INVALID_HANDLE for a closed
    // key, ERROR_ACCESS_DENIED without KEY_QUERY_VALUE.
    virtual LONG QueryValueEx(const RegistryKey& key, const char* name, DWORD* type,
                              std::uint8_t* data, DWORD* size) = 0;

    // Stores SIZE bytes of DATA as value NAME of TYPE, replacing any value of that name (the
    // spelling of an existing name is kept). What is stored is exactly the bytes given: a
    // REG_SZ text is stored with its NUL only when SIZE counts it. DATA may be null only for
    // SIZE 0. Returns ERROR_SUCCESS, ERROR_INVALID_PARAMETER (bad name, too much data),
    // ERROR_ACCESS_DENIED without KEY_SET_VALUE, ERROR_INVALID_HANDLE, or a storage error.
    virtual LONG SetValueEx(const RegistryKey& key, const char* name, DWORD type,
                            const std::uint8_t* data, DWORD size) = 0;

    // Deletes value NAME of KEY. ERROR_FILE_NOT_FOUND when it is not there (callers that only
    // want it gone may ignore that), otherwise as SetValueEx.
    virtual LONG DeleteValue(const RegistryKey& key, const char* name) = 0;

    // Stores every value of VALUES in KEY as SetValueEx stores one. A store that can make the
    // batch one change does (the file store: one locked read-modify-write, so another writer or
    // a process killed meanwhile leaves either none or all of them, never a mix of two batches)
    // and then writes nothing when a value is refused. This default writes them one by one in
    // order and goes on past a failure. Returns ERROR_SUCCESS or the first error.
    virtual LONG SetValues(const RegistryKey& key, std::span<const RegistryValueWrite> values);

    // The batch entries of a REG_SZ value with its NUL (TEXT must outlive the write) and of a
    // REG_DWORD value (BYTES receives the 4 little-endian bytes and must outlive the write).
    static RegistryValueWrite StringValue(const char* name, const CString& text);
    static RegistryValueWrite DwordValue(const char* name, DWORD value,
                                         std::array<std::uint8_t, 4>& bytes);

    // Stores TEXT as a REG_SZ value with its terminating NUL (length plus 1 bytes).
    LONG SetStringValue(const RegistryKey& key, const char* name, const CString& text);
    // Stores VALUE as a REG_DWORD value: 4 bytes, little-endian.
    LONG SetDwordValue(const RegistryKey& key, const char* name, DWORD value);
};

// The 4 little-endian bytes of a REG_DWORD value as a number.
DWORD DwordFromBytes(const std::uint8_t* bytes);

// The name a root has in paths and files ("HKEY_CURRENT_USER", "HKEY_CLASSES_ROOT").
const char* RootName(RegistryRoot root);

// The current user's store of this platform. On POSIX: the file named by NORVANE_REGISTRY,
// else $XDG_CONFIG_HOME/velmora-quillet/registry.reg (XDG_CONFIG_HOME when absolute, else
// ~/.config), read afresh on every operation and written under a lock, only when a value is
// set or deleted and only when the whole file could be read.
std::unique_ptr<IRegistry> OpenUserRegistry();
// Where that store lives, in the words a message gives the user: the settings file's path on
// POSIX, the registry root on Windows.
std::string UserRegistryLocation();

} // namespace nv::platform
