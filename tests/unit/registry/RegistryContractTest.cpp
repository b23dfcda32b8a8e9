// The registry calls' contract, run against every store: the in-memory one and the platform's
// own (the file store on POSIX systems, the system registry on Windows).
#include "platform/registry/Registry.h"
#include "platform/registry/memory/MemoryRegistry.h"
#include "support/TempDir.h"
#ifdef _WIN32
#include "platform/registry/win32/Win32Registry.h"
#else
#include "platform/registry/posix/FileRegistry.h"
#endif

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace nv::platform {
namespace {

constexpr const char* kSettings = "Software\\VELMORA\\Velmora Quillet\\Norvane\\Settings";

struct MemoryStore {
    static std::unique_ptr<IRegistry> Make(const std::filesystem::path&) {
        return std::make_unique<MemoryRegistry>();
    }
};

#ifdef _WIN32
// The system registry, in a private tree of the current user named after the test's folder;
// the tree goes with the store.
class ScratchRegistry final : public IRegistry {
public:
    explicit ScratchRegistry(std::string base)
        : base_(std::move(base)), store_(std::make_unique<Win32Registry>(base_)) {}
    ~ScratchRegistry() override {
        store_.reset();
        Win32Registry::DeleteTree(base_);
    }
    LONG CreateKeyEx(RegistryRoot root, const char* subKey, DWORD access, RegistryKey& key,
                     DWORD* disposition = nullptr) override {
        return store_->CreateKeyEx(root, subKey, access, key, disposition);
    }
    LONG OpenKeyEx(RegistryRoot root, const char* subKey, DWORD access, RegistryKey& key) override {
        return store_->OpenKeyEx(root, subKey, access, key);
    }
    LONG QueryValueEx(const RegistryKey& key, const char* name, DWORD* type, std::uint8_t* data,
                      DWORD* size) override {
        return store_->QueryValueEx(key, name, type, data, size);
    }
    LONG SetValueEx(const RegistryKey& key, const char* name, DWORD type, const std::uint8_t* data,
                    DWORD size) override {
        return store_->SetValueEx(key, name, type, data, size);
    }
    LONG DeleteValue(const RegistryKey& key, const char* name) override {
        return store_->DeleteValue(key, name);
    }

private:
    std::string base_;
    std::unique_ptr<Win32Registry> store_;
};

struct SystemStore {
    static std::unique_ptr<IRegistry> Make(const std::filesystem::path& folder) {
        return std::make_unique<ScratchRegistry>("Software\\Norvane Tests\\" +
                                                 folder.filename().string());
    }
};
using PlatformStore = SystemStore;
#else
struct FileStore {
    static std::unique_ptr<IRegistry> Make(const std::filesystem::path& folder) {
        return std::make_unique<FileRegistry>(folder / "config" / "registry.reg");
    }
};
using PlatformStore = FileStore;
#endif

template <typename Store>
class RegistryContract : public ::testing::Test {
protected:
    RegistryContract() : registry_(Store::Make(folder_.Path())) {}

    RegistryKey Create(const char* path, DWORD access = KEY_ALL_ACCESS) {
        RegistryKey key;
        EXPECT_EQ(registry_->CreateKeyEx(RegistryRoot::currentUser, path, access, key),
                  ERROR_SUCCESS);
        return key;
    }

    // The stored bytes of NAME, read with the size-then-value pattern.
    std::vector<std::uint8_t> Read(const RegistryKey& key, const char* name, DWORD* type) {
        DWORD size = 0;
        EXPECT_EQ(registry_->QueryValueEx(key, name, type, nullptr, &size), ERROR_SUCCESS);
        std::vector<std::uint8_t> data(size);
        EXPECT_EQ(registry_->QueryValueEx(key, name, type, data.data(), &size), ERROR_SUCCESS);
        EXPECT_EQ(size, data.size());
        return data;
    }

    test::TempDir folder_;
    std::unique_ptr<IRegistry> registry_;
};

using Stores = ::testing::Types<MemoryStore, PlatformStore>;
TYPED_TEST_SUITE(RegistryContract, Stores);

TYPED_TEST(RegistryContract, CreateMakesKeyAndParentsThenOpensExisting) {
    RegistryKey key;
    DWORD disposition = 0;
    EXPECT_EQ(this->registry_->OpenKeyEx(RegistryRoot::currentUser, kSettings, KEY_READ, key),
              ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(key.IsOpen());
    ASSERT_EQ(this->registry_->CreateKeyEx(RegistryRoot::currentUser, kSettings, KEY_ALL_ACCESS,
                                           key, &disposition),
              ERROR_SUCCESS);
    EXPECT_TRUE(key.IsOpen());
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    ASSERT_EQ(this->registry_->CreateKeyEx(RegistryRoot::currentUser, kSettings, KEY_ALL_ACCESS,
                                           key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    for (const char* path : {"Software\\VELMORA", "software\\velmora\\velmora quillet\\norvane",
                             "SOFTWARE\\VELMORA\\VELMORA QUILLET\\NORVANE\\SETTINGS\\"}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(this->registry_->OpenKeyEx(RegistryRoot::currentUser, path, KEY_READ, key),
                  ERROR_SUCCESS);
    }
    // The same path under another root is another key.
    EXPECT_EQ(this->registry_->OpenKeyEx(RegistryRoot::classesRoot, kSettings, KEY_READ, key),
              ERROR_FILE_NOT_FOUND);
}

TYPED_TEST(RegistryContract, KeyPathsAreChecked) {
    const std::string longName(kMaxKeyNameChars + 1, 'k');
    const std::string longestName(kMaxKeyNameChars, 'k');
    // The limit counts characters: 255 Japanese ones are 765 bytes of UTF-8.
    std::string longestJapanese;
    for (std::size_t i = 0; i < kMaxKeyNameChars; ++i) {
        longestJapanese += "\xE8\xA1\xA8"; // 表
    }
    struct Case {
        std::string path;
        LONG expected;
    } cases[] = {
        {"\\Software", ERROR_BAD_PATHNAME},
        {"Software\\\\Norvane", ERROR_BAD_PATHNAME},
        {"Software\\" + longName, ERROR_INVALID_PARAMETER},
        {"Software\\line\nbreak", ERROR_INVALID_PARAMETER},
        {"Software\\" + longestName, ERROR_SUCCESS},
        {"Software\\" + longestJapanese, ERROR_SUCCESS},
        {"Software\\" + longestJapanese + "k", ERROR_INVALID_PARAMETER},
        {"Software\\Printers\\,,server,queue", ERROR_SUCCESS},
        {"Software\\Unicode \xE3\x83\x97\xE3\x83\xAA\xE3\x83\xB3\xE3\x82\xBF", ERROR_SUCCESS},
        {"", ERROR_SUCCESS}, // the root itself
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        RegistryKey key;
        EXPECT_EQ(this->registry_->CreateKeyEx(RegistryRoot::currentUser, c.path.c_str(),
                                               KEY_ALL_ACCESS, key),
                  c.expected);
        EXPECT_EQ(key.IsOpen(), c.expected == ERROR_SUCCESS);
    }
}

TYPED_TEST(RegistryContract, ClosedForeignOrReadOnlyKeysAreRefused) {
    RegistryKey key = this->Create(kSettings);
    ASSERT_EQ(this->registry_->SetDwordValue(key, "Password Flag", 1), ERROR_SUCCESS);
    DWORD size = 0;

    RegistryKey readOnly;
    ASSERT_EQ(this->registry_->OpenKeyEx(RegistryRoot::currentUser, kSettings, KEY_READ, readOnly),
              ERROR_SUCCESS);
    EXPECT_EQ(this->registry_->QueryValueEx(readOnly, "Password Flag", nullptr, nullptr, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(this->registry_->SetDwordValue(readOnly, "Password Flag", 0), ERROR_ACCESS_DENIED);
    EXPECT_EQ(this->registry_->DeleteValue(readOnly, "Password Flag"), ERROR_ACCESS_DENIED);

    MemoryRegistry other;
    EXPECT_EQ(other.QueryValueEx(key, "Password Flag", nullptr, nullptr, &size),
              ERROR_INVALID_HANDLE);

    EXPECT_EQ(key.Close(), ERROR_SUCCESS);
    EXPECT_EQ(key.Close(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(this->registry_->QueryValueEx(key, "Password Flag", nullptr, nullptr, &size),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(this->registry_->SetDwordValue(key, "Password Flag", 0), ERROR_INVALID_HANDLE);
}

TYPED_TEST(RegistryContract, SmallBufferGivesMoreDataAndTheSizeNeeded) {
    RegistryKey key = this->Create(kSettings);
    ASSERT_EQ(this->registry_->SetStringValue(key, "Password", "1234"), ERROR_SUCCESS);
    struct Case {
        DWORD buffer;
        LONG expected;
    } cases[] = {
        {0, ERROR_MORE_DATA}, {4, ERROR_MORE_DATA}, {5, ERROR_SUCCESS}, {260, ERROR_SUCCESS}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.buffer);
        std::vector<std::uint8_t> buffer(c.buffer + 1, 0xEE);
        DWORD size = c.buffer;
        DWORD type = 0;
        EXPECT_EQ(this->registry_->QueryValueEx(key, "Password", &type, buffer.data(), &size),
                  c.expected);
        EXPECT_EQ(size, 5u);
        EXPECT_EQ(type, REG_SZ);
        if (c.expected == ERROR_SUCCESS) {
            EXPECT_EQ(std::memcmp(buffer.data(), "1234", 5), 0);
            EXPECT_EQ(buffer[5], 0xEE); // nothing written past the value
        } else {
            EXPECT_EQ(buffer[0], 0xEE); // nothing written at all
        }
    }
    DWORD type = 0;
    std::uint8_t byte = 0;
    EXPECT_EQ(this->registry_->QueryValueEx(key, "Password", &type, &byte, nullptr),
              ERROR_INVALID_PARAMETER);
}

TYPED_TEST(RegistryContract, StoresExactlyTheBytesGiven) {
    RegistryKey key = this->Create(kSettings);
    const std::string withNul("a\0b\0", 4);
    struct Case {
        const char* name;
        DWORD type;
        std::string bytes;
    } cases[] = {
        {"NoTerminator", REG_SZ, "abc"},
        {"EmptyText", REG_SZ, std::string(1, '\0')},
        {"NoBytes", REG_SZ, ""},
        {"InnerNul", REG_SZ, withNul},
        {"Lines", REG_SZ, std::string("line 1\r\nline 2\n", 16)},
        {"Escapes", REG_SZ, std::string("C:\\\"quoted\"\\\0", 13)},
        {"Utf8", REG_SZ, std::string("\xE7\xB4\x99 A4\0", 7)},
        {"Binary", REG_BINARY, std::string("\x00\xFF\x10", 3)},
        {"WideNumber", REG_DWORD, std::string("\x01\x02\x03\x04\x05", 5)},
        {"", REG_SZ, std::string("default\0", 8)},
        {"Odd type", 0x12345u, "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(this->registry_->SetValueEx(key, c.name, c.type,
                                              reinterpret_cast<const std::uint8_t*>(c.bytes.data()),
                                              static_cast<DWORD>(c.bytes.size())),
                  ERROR_SUCCESS);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DWORD type = 0;
        std::vector<std::uint8_t> data = this->Read(key, c.name, &type);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(std::string(data.begin(), data.end()), c.bytes);
    }
    DWORD size = 0;
    EXPECT_EQ(this->registry_->QueryValueEx(key, nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 8u); // null names the default value too
}

TYPED_TEST(RegistryContract, DwordRoundTripsLittleEndian) {
    RegistryKey key = this->Create("Software\\VELMORA\\Velmora Quillet\\Norvane\\Quillet 5");
    for (DWORD value : {0u, 1u, 0x0Au, 0x12345678u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(value);
        ASSERT_EQ(this->registry_->SetDwordValue(key, "Duplex", value), ERROR_SUCCESS);
        DWORD type = 0;
        std::vector<std::uint8_t> data = this->Read(key, "Duplex", &type);
        EXPECT_EQ(type, REG_DWORD);
        ASSERT_EQ(data.size(), 4u);
        EXPECT_EQ(data[0], value & 0xFF);
        EXPECT_EQ(data[3], value >> 24);
        EXPECT_EQ(DwordFromBytes(data.data()), value);
    }
}

TYPED_TEST(RegistryContract, ValueNamesMatchWhateverTheirCase) {
    RegistryKey key = this->Create(kSettings);
    ASSERT_EQ(this->registry_->SetDwordValue(key, "FitToPage", 1), ERROR_SUCCESS);
    ASSERT_EQ(this->registry_->SetDwordValue(key, "FITTOPAGE", 0), ERROR_SUCCESS);
    DWORD type = 0;
    std::vector<std::uint8_t> data = this->Read(key, "fittopage", &type);
    ASSERT_EQ(data.size(), 4u);
    EXPECT_EQ(DwordFromBytes(data.data()), 0u);
    EXPECT_EQ(this->registry_->DeleteValue(key, "fitToPage"), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(this->registry_->QueryValueEx(key, "FitToPage", nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
}

TYPED_TEST(RegistryContract, AbsentValuesAndDeletes) {
    RegistryKey key = this->Create(kSettings);
    DWORD type = 77;
    DWORD size = 99;
    EXPECT_EQ(this->registry_->QueryValueEx(key, "Password", &type, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(type, 77u);
    EXPECT_EQ(size, 99u);
    EXPECT_EQ(this->registry_->DeleteValue(key, "Password"), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(this->registry_->SetStringValue(key, "Password", "1234"), ERROR_SUCCESS);
    ASSERT_EQ(this->registry_->SetDwordValue(key, "Password Flag", 1), ERROR_SUCCESS);
    EXPECT_EQ(this->registry_->DeleteValue(key, "Password"), ERROR_SUCCESS);
    EXPECT_EQ(this->registry_->DeleteValue(key, "Password"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(this->registry_->QueryValueEx(key, "Password", &type, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(this->registry_->QueryValueEx(key, "Password Flag", &type, nullptr, &size),
              ERROR_SUCCESS);
}

TYPED_TEST(RegistryContract, KeysHoldTheirOwnValues) {
    RegistryKey a = this->Create("Software\\VELMORA\\Velmora Quillet\\Norvane\\A");
    RegistryKey b = this->Create("Software\\VELMORA\\Velmora Quillet\\Norvane\\B");
    ASSERT_EQ(this->registry_->SetDwordValue(a, "Qty", 0), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(this->registry_->QueryValueEx(b, "Qty", nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    // A second handle on the same key sees the first one's writes.
    RegistryKey again = this->Create("software\\velmora\\velmora quillet\\norvane\\a");
    EXPECT_EQ(this->registry_->QueryValueEx(again, "Qty", nullptr, nullptr, &size), ERROR_SUCCESS);
}

TYPED_TEST(RegistryContract, BadValueArgumentsAreRefused) {
    RegistryKey key = this->Create(kSettings);
    const std::string longName(kMaxValueNameBytes + 1, 'n');
    const std::uint8_t byte = 1;
    EXPECT_EQ(this->registry_->SetValueEx(key, "Line\nBreak", REG_BINARY, &byte, 1),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(this->registry_->SetValueEx(key, longName.c_str(), REG_BINARY, &byte, 1),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(this->registry_->SetValueEx(key, "NoData", REG_BINARY, nullptr, 1),
              ERROR_INVALID_PARAMETER);
    std::vector<std::uint8_t> big(kMaxValueDataBytes + 1);
    EXPECT_EQ(this->registry_->SetValueEx(key, "Big", REG_BINARY, big.data(),
                                          static_cast<DWORD>(big.size())),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(this->registry_->SetValueEx(key, "Empty", REG_BINARY, nullptr, 0), ERROR_SUCCESS);
}

TEST(MemoryRegistry, InjectedFailuresReachTheCaller) {
    MemoryRegistry registry;
    RegistryKey key;
    registry.FailWritesWith(ERROR_ACCESS_DENIED);
    EXPECT_EQ(registry.CreateKeyEx(RegistryRoot::currentUser, kSettings, KEY_ALL_ACCESS, key),
              ERROR_ACCESS_DENIED);
    registry.FailWritesWith(0);
    ASSERT_EQ(registry.CreateKeyEx(RegistryRoot::currentUser, kSettings, KEY_ALL_ACCESS, key),
              ERROR_SUCCESS);
    registry.FailWritesWith(ERROR_REGISTRY_IO_FAILED);
    EXPECT_EQ(registry.SetDwordValue(key, "Qty", 1), ERROR_REGISTRY_IO_FAILED);
    EXPECT_TRUE(
        registry.Content().FindKey(std::string("HKEY_CURRENT_USER\\") + kSettings)->values.empty());
    registry.FailOpensWith(ERROR_ACCESS_DENIED);
    EXPECT_EQ(registry.OpenKeyEx(RegistryRoot::currentUser, kSettings, KEY_READ, key),
              ERROR_ACCESS_DENIED);
    EXPECT_FALSE(key.IsOpen());
}

} // namespace
} // namespace nv::platform
