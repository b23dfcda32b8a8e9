// The file store: where the file lies, its permissions, damaged and unreadable files, and
// several processes writing at once.
#include "platform/registry/posix/FileRegistry.h"

#include "platform/registry/RegFile.h"
#include "unit/registry/TempFolder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nv::platform {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSettings = "Software\\VELMORA\\Velmora Quillet\\Norvane\\Settings";

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

unsigned Mode(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

// The bytes of value NAME of KEY (below HKEY_CURRENT_USER) as the store reads them.
std::optional<std::string> Get(IRegistry& registry, const char* key, const char* name) {
    RegistryKey handle;
    if (registry.OpenKeyEx(RegistryRoot::currentUser, key, KEY_READ, handle) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::string data(300, '\0');
    DWORD size = static_cast<DWORD>(data.size());
    if (registry.QueryValueEx(handle, name, nullptr, reinterpret_cast<std::uint8_t*>(data.data()),
                              &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    data.resize(size);
    return data;
}

LONG Put(IRegistry& registry, const char* key, const char* name, const std::string& text) {
    RegistryKey handle;
    LONG rc = registry.CreateKeyEx(RegistryRoot::currentUser, key, KEY_ALL_ACCESS, handle);
    return rc != ERROR_SUCCESS ? rc : registry.SetStringValue(handle, name, text);
}

class FileRegistryTest : public ::testing::Test {
protected:
    fs::path File() const { return folder_.Path() / "registry.reg"; }
    test::TempFolder folder_;
};

TEST_F(FileRegistryTest, FileAndFolderArePrivate) {
    fs::path nested = folder_.Path() / "config" / "velmora-quillet" / "registry.reg";
    FileRegistry registry(nested.string());
    ASSERT_EQ(Put(registry, kSettings, "Password", "1234"), ERROR_SUCCESS);
    EXPECT_EQ(Mode(nested), 0600u);
    EXPECT_EQ(Mode(nested.string() + ".lock"), 0600u);
    EXPECT_EQ(Mode(nested.parent_path()), 0700u);
    EXPECT_EQ(Mode(nested.parent_path().parent_path()), 0700u);

    // A file made readable by others becomes private again at the next write.
    ::chmod(nested.c_str(), 0644);
    ASSERT_EQ(Put(registry, kSettings, "Password", "5678"), ERROR_SUCCESS);
    EXPECT_EQ(Mode(nested), 0600u);
    // Nothing but the file and its lock file is left in the folder.
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(nested.parent_path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 2u);
}

TEST_F(FileRegistryTest, MissingEmptyOrGarbledFilesReadAsAbsent) {
    const std::string contents[] = {"", "REGEDIT4\n", std::string("\xff\xfe\x00\x01garbage", 11),
                                    "[HKEY_CURRENT_USER\\Software\n\"Printer\"=\"x\"\n"};
    FileRegistry missing(File().string());
    EXPECT_EQ(Get(missing, kSettings, "Printer"), std::nullopt);
    for (const std::string& content : contents) {
        WriteText(File(), content);
        FileRegistry registry(File().string());
        EXPECT_EQ(Get(registry, kSettings, "Printer"), std::nullopt);
        EXPECT_EQ(Put(registry, kSettings, "Printer", "P"), ERROR_SUCCESS);
        EXPECT_EQ(Get(registry, kSettings, "Printer"), std::string("P\0", 2));
    }
}

TEST_F(FileRegistryTest, NextWriteKeepsEveryReadableValue) {
    WriteText(File(), "REGEDIT4\n\n"
                      "[HKEY_CURRENT_USER\\Software\\VELMORA\\Velmora Quillet\\Norvane\\A]\n"
                      "\"Duplex\"=dword:00000001\n"
                      "\"Broken\"=dword:00\n"
                      "garbage line\n"
                      "\"PaperFeed\"=\"Tray 2\"\n"
                      "[HKEY_CURRENT_USER\\Software\\VELMORA\\Velmora Quillet\\Norvane\\Settings\n"
                      "\"Lost\"=\"x\"\n"
                      "[HKEY_CURRENT_USER\\Software\\VELMORA\\Velmora Quillet\\Norvane\\B]\n"
                      "\"Qty\"=dword:00000000\n"
                      "\"Cut\"=\"unterminat");
    FileRegistry registry(File().string());
    ASSERT_EQ(Put(registry, kSettings, "Printer", "A"), ERROR_SUCCESS);
    std::size_t unreadable = 99;
    Hive written = ParseRegFile(ReadText(File()), &unreadable);
    EXPECT_EQ(unreadable, 0u);
    const std::string base = "HKEY_CURRENT_USER\\Software\\VELMORA\\Velmora Quillet\\Norvane\\";
    const HiveKey* a = written.FindKey(base + "A");
    const HiveKey* b = written.FindKey(base + "B");
    const HiveKey* settings = written.FindKey(base + "Settings");
    ASSERT_TRUE(a != nullptr && b != nullptr && settings != nullptr);
    EXPECT_EQ(a->values.size(), 2u); // Duplex, PaperFeed
    EXPECT_TRUE(a->values.contains("paperfeed"));
    EXPECT_EQ(b->values.size(), 1u);        // Qty
    EXPECT_EQ(settings->values.size(), 1u); // Printer, not the value under the broken key line
}

TEST_F(FileRegistryTest, StoreThatCannotBeReadWholeIsNeverOverwritten) {
    // A folder where the file should be: nothing can be read, nothing is written.
    fs::create_directory(File());
    FileRegistry blocked(File().string());
    EXPECT_NE(Put(blocked, kSettings, "Printer", "P"), ERROR_SUCCESS);
    EXPECT_TRUE(fs::is_directory(File()));
    fs::remove(File());

    // A file over the size limit: its beginning is still read, but a write would drop the rest.
    std::string big = "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"V\"=\"x\"\n";
    big += std::string(kMaxRegFileBytes, ';') + "\n[HKEY_CURRENT_USER\\Tail]\n";
    WriteText(File(), big);
    FileRegistry oversized(File().string());
    EXPECT_EQ(Get(oversized, "K", "V"), std::string("x\0", 2));
    EXPECT_EQ(Put(oversized, "K", "W", "w"), ERROR_NOT_ENOUGH_QUOTA);
    EXPECT_EQ(fs::file_size(File()), big.size());
}

TEST_F(FileRegistryTest, LinkedFileIsUpdatedWhereItLies) {
    fs::path target = folder_.Path() / "elsewhere.reg";
    WriteText(target, "REGEDIT4\n");
    fs::create_symlink(target, File());
    FileRegistry registry(File().string());
    ASSERT_EQ(Put(registry, kSettings, "Printer", "P"), ERROR_SUCCESS);
    EXPECT_TRUE(fs::is_symlink(File()));
    EXPECT_NE(ReadText(target).find("\"Printer\"=\"P\""), std::string::npos);
}

TEST_F(FileRegistryTest, ConcurrentProcessesLoseNoValue) {
    constexpr int kProcesses = 3;
    constexpr int kWrites = 100;
    pid_t children[kProcesses] = {};
    for (int p = 0; p < kProcesses; ++p) {
        children[p] = ::fork();
        ASSERT_GE(children[p], 0);
        if (children[p] == 0) {
            FileRegistry registry(File().string());
            int failures = 0;
            for (int i = 0; i < kWrites; ++i) {
                std::string name = "P" + std::to_string(p) + "V" + std::to_string(i);
                failures += Put(registry, kSettings, name.c_str(), name) != ERROR_SUCCESS;
            }
            ::_exit(failures == 0 ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    FileRegistry registry(File().string());
    for (int p = 0; p < kProcesses; ++p) {
        for (int i = 0; i < kWrites; ++i) {
            std::string name = "P" + std::to_string(p) + "V" + std::to_string(i);
            EXPECT_EQ(Get(registry, kSettings, name.c_str()), name + '\0') << name;
        }
    }
}

TEST(UserRegistryPath, FollowsTheEnvironment) {
    struct Case {
        const char* registry;
        const char* config;
        const char* home;
        const char* expected;
    } cases[] = {
        {"/tmp/r.reg", "/cfg", "/home/u", "/tmp/r.reg"},
        {nullptr, "/cfg", "/home/u", "/cfg/velmora-quillet/registry.reg"},
        {"", "/cfg", "/home/u", "/cfg/velmora-quillet/registry.reg"},
        {nullptr, "relative", "/home/u", "/home/u/.config/velmora-quillet/registry.reg"},
        {nullptr, nullptr, "/home/u", "/home/u/.config/velmora-quillet/registry.reg"},
    };
    auto set = [](const char* name, const char* value) {
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    };
    const char* names[] = {"NORVANE_REGISTRY", "XDG_CONFIG_HOME", "HOME"};
    std::optional<std::string> saved[3];
    for (int i = 0; i < 3; ++i) {
        if (const char* value = std::getenv(names[i])) {
            saved[i] = value;
        }
    }
    for (const Case& c : cases) {
        set("NORVANE_REGISTRY", c.registry);
        set("XDG_CONFIG_HOME", c.config);
        set("HOME", c.home);
        EXPECT_EQ(UserRegistryPath(), c.expected);
    }
    for (int i = 0; i < 3; ++i) {
        set(names[i], saved[i] ? saved[i]->c_str() : nullptr);
    }
}

} // namespace
} // namespace nv::platform
