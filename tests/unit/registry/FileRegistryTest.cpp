// The file store: where the file lies, its permissions, damaged and unreadable files, and
// several processes writing at once.
#include "platform/registry/posix/FileRegistry.h"

#include "platform/registry/RegFile.h"
#include "support/TempDir.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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
    test::TempDir folder_;
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

TEST_F(FileRegistryTest, FilesItCannotReadWholeAreReadButNeverWritten) {
    struct Case {
        const char* what;
        std::string content;
        bool writable;
    } cases[] = {
        {"empty", "", true},
        {"header only", "REGEDIT4\n", true},
        {"blank lines", "\n  \n", true},
        {"binary", std::string("\xff\xfe\x00\x01garbage", 11), false},
        {"UTF-16 export",
         std::string("\xff\xfeW\0i\0n\0\r\0\n\0[\0H\0K\0E\0Y\0_\0C\0U\0]\0\r\0\n\0", 34), false},
        {"NUL inside a value",
         "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"V\"=\"a" + std::string(1, '\0') + "b\"\n", false},
        {"no header: another text file", "[HKEY_CURRENT_USER\\Software\n\"Printer\"=\"x\"\n",
         false},
        {"notes", "shopping list\nmilk\n", false},
        {"cut off in a value", "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"V\"=hex:01,0", false},
        {"cut off in a key line", "REGEDIT4\n[HKEY_CURRENT_USER\\K", false},
    };
    FileRegistry missing(File().string());
    EXPECT_EQ(Get(missing, kSettings, "Printer"), std::nullopt);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteText(File(), c.content);
        FileRegistry registry(File().string());
        EXPECT_EQ(Get(registry, kSettings, "Printer"), std::nullopt);
        if (c.writable) {
            EXPECT_EQ(Put(registry, kSettings, "Printer", "P"), ERROR_SUCCESS);
            EXPECT_EQ(Get(registry, kSettings, "Printer"), std::string("P\0", 2));
        } else {
            EXPECT_EQ(Put(registry, kSettings, "Printer", "P"), ERROR_REGISTRY_CORRUPT);
            EXPECT_EQ(ReadText(File()), c.content);
        }
    }
}

TEST_F(FileRegistryTest, NextWriteKeepsEveryLineItCannotRead) {
    const std::string base = "HKEY_CURRENT_USER\\Software\\VELMORA\\Velmora Quillet\\Norvane\\";
    const std::string damaged[] = {
        "\"Broken\"=dword:00\n",
        "garbage line\r\n",
        "; a comment\n",
        "\"Long\"=\"" + std::string(kMaxRegLineBytes + 10, 'x') + "\"\n",
        "[" + base + "Settings\n\"Hidden\"=\"x\"\n", // a broken key line and its values
        "\"Half\"=hex:01,\\\n  zz\n",
    };
    std::string original = "REGEDIT4\n\n\"Orphan\"=\"before any key\"\n[" + base + "A]\n" +
                           "\"Duplex\"=dword:00000001\n\"PaperFeed\"=\"Tray 2\"\n";
    for (const std::string& lines : damaged) {
        original += lines;
    }
    original += "[" + base + "B]\n\"Qty\"=dword:00000000\n";
    WriteText(File(), original);
    FileRegistry registry(File().string());
    ASSERT_EQ(Put(registry, kSettings, "Printer", "A"), ERROR_SUCCESS);

    const std::string written = ReadText(File());
    for (const std::string& lines : damaged) {
        EXPECT_NE(written.find(lines), std::string::npos) << lines.substr(0, 40);
    }
    // A value before every key stays before every key, where it has no key.
    EXPECT_LT(written.find("\"Orphan\""), written.find("[HKEY_CURRENT_USER"));
    RegFileContent reread = ReadRegFile(written);
    EXPECT_TRUE(reread.rewritable);
    const HiveKey* a = reread.hive.FindKey(base + "A");
    const HiveKey* settings = reread.hive.FindKey(base + "Settings");
    ASSERT_TRUE(a != nullptr && settings != nullptr);
    EXPECT_EQ(a->values.size(), 2u);        // Duplex, PaperFeed
    EXPECT_EQ(settings->values.size(), 1u); // Printer, not the value under the broken key line
    EXPECT_EQ(reread.kept, ReadRegFile(original).kept);

    // A second write changes nothing but the value it sets.
    ASSERT_EQ(Put(registry, kSettings, "Printer", "B"), ERROR_SUCCESS);
    RegFileContent again = ReadRegFile(ReadText(File()));
    EXPECT_EQ(again.kept, reread.kept);
    EXPECT_EQ(again.unreadable, reread.unreadable);
}

TEST_F(FileRegistryTest, OpeningKeysToReadThemNeverWrites) {
    const std::string damaged = "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"V\"=\"x\"\ngarbage\n";
    for (const std::optional<std::string>& content :
         {std::optional<std::string>(), std::optional<std::string>(damaged)}) {
        fs::remove(File());
        if (content) {
            WriteText(File(), *content);
        }
        FileRegistry registry(File().string());
        RegistryKey key;
        DWORD disposition = 0;
        ASSERT_EQ(registry.CreateKeyEx(RegistryRoot::currentUser, kSettings, KEY_ALL_ACCESS, key,
                                       &disposition),
                  ERROR_SUCCESS);
        EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
        DWORD size = 0;
        EXPECT_EQ(registry.QueryValueEx(key, "Printer", nullptr, nullptr, &size),
                  ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(registry.DeleteValue(key, "Password"), ERROR_FILE_NOT_FOUND);
        if (content) {
            EXPECT_EQ(ReadText(File()), *content);
        } else {
            EXPECT_FALSE(fs::exists(File()));
        }
        // The key is listed once a value is set in it.
        ASSERT_EQ(registry.SetStringValue(key, "Printer", "P"), ERROR_SUCCESS);
        FileRegistry next(File().string());
        EXPECT_EQ(Get(next, kSettings, "Printer"), std::string("P\0", 2));
    }
}

TEST_F(FileRegistryTest, TemporaryFilesOfAKilledWriterAreRemovedByTheNext) {
    FileRegistry registry(File().string());
    ASSERT_EQ(Put(registry, kSettings, "Printer", "P"), ERROR_SUCCESS);
    const fs::path stale[] = {File().string() + ".tmp-a1B2c3", File().string() + ".tmp-ZZZZZZ"};
    const fs::path kept[] = {
        File().string() + ".tmp-abc",              // not the writer's pattern
        File().string() + ".backup",               // the user's own file
        folder_.Path() / ("other.reg.tmp-a1B2c3"), // another store's
    };
    for (const fs::path& path : stale) {
        WriteText(path, "REGEDIT4\n[HKEY_CURRENT_USER\\Half");
    }
    for (const fs::path& path : kept) {
        WriteText(path, "mine");
    }
    fs::create_directory(File().string() + ".tmp-dir123"); // not a regular file
    ASSERT_EQ(Put(registry, kSettings, "Printer", "Q"), ERROR_SUCCESS);
    for (const fs::path& path : stale) {
        EXPECT_FALSE(fs::exists(path)) << path;
    }
    for (const fs::path& path : kept) {
        EXPECT_EQ(ReadText(path), "mine") << path;
    }
    EXPECT_TRUE(fs::is_directory(File().string() + ".tmp-dir123"));
    EXPECT_EQ(Get(registry, kSettings, "Printer"), std::string("Q\0", 2));
}

TEST_F(FileRegistryTest, StoreThatCannotBeReadWholeIsNeverOverwritten) {
    // A folder where the file should be: nothing can be read, nothing is written.
    fs::create_directory(File());
    FileRegistry blocked(File().string());
    EXPECT_NE(Put(blocked, kSettings, "Printer", "P"), ERROR_SUCCESS);
    EXPECT_TRUE(fs::is_directory(File()));
    fs::remove(File());

    // A file over the size limit is refused from its size: nothing of it is read (a huge file
    // costs no time or memory), and a write would drop it.
    std::string big = "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"V\"=\"x\"\n";
    big += std::string(kMaxRegFileBytes, ';') + "\n[HKEY_CURRENT_USER\\Tail]\n";
    WriteText(File(), big);
    FileRegistry oversized(File().string());
    EXPECT_EQ(Get(oversized, "K", "V"), std::nullopt);
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

// A batch is one change: a writer killed at any moment leaves one whole batch or the one
// before, never some values of each; and a batch with a value refused writes none of it.
TEST_F(FileRegistryTest, ABatchOfValuesIsWrittenWholeOrNotAtAll) {
    const char* names[] = {"PaperFeed", "Duplex", "Binding", "FitToPage", "Qty", "SetPage"};
    // Each value of batch TAG holds TAG and its name; of no batch (no TAG), nothing.
    const auto batch = [&](const std::string& tag) {
        std::vector<std::string> texts;
        for (const char* name : names) {
            texts.push_back(tag.empty() ? "" : tag + name);
        }
        return texts;
    };
    // Writes batch TAG, with one more empty value named EXTRA when it is given.
    const auto write = [&](IRegistry& registry, const std::string& tag, const char* extra) {
        RegistryKey key;
        EXPECT_EQ(registry.CreateKeyEx(RegistryRoot::currentUser, "K", KEY_ALL_ACCESS, key),
                  ERROR_SUCCESS);
        const std::vector<std::string> texts = batch(tag);
        const std::string empty;
        std::vector<RegistryValueWrite> values;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            values.push_back(IRegistry::StringValue(names[i], texts[i]));
        }
        if (extra != nullptr) {
            values.push_back(IRegistry::StringValue(extra, empty));
        }
        return registry.SetValues(key, values);
    };
    for (int round = 0; round < 12; ++round) {
        fs::remove(File());
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            FileRegistry registry(File().string());
            for (int i = 0;; ++i) {
                write(registry, i % 2 == 0 ? "a" : "b", nullptr);
            }
        }
        ::usleep(static_cast<useconds_t>(2000 + 3000 * round));
        ::kill(child, SIGKILL);
        ASSERT_EQ(::waitpid(child, nullptr, 0), child);
        FileRegistry registry(File().string());
        std::vector<std::string> found;
        for (const char* name : names) {
            const std::optional<std::string> text = Get(registry, "K", name);
            found.push_back(text ? text->substr(0, text->size() - 1) : "");
        }
        EXPECT_EQ(found, batch(found[0].substr(0, 1))) << "round " << round;
    }
    FileRegistry registry(File().string());
    ASSERT_EQ(write(registry, "c", nullptr), ERROR_SUCCESS);
    EXPECT_EQ(write(registry, "d", "bad\nname"), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Get(registry, "K", "Duplex"), std::string("cDuplex\0", 8));
}

// What was parsed is kept only while the file is the same: a change by another writer, even
// one of the same size, is read at the next look.
TEST_F(FileRegistryTest, AChangeByAnotherWriterIsSeenAtOnce) {
    FileRegistry reader(File().string());
    FileRegistry writer(File().string());
    EXPECT_EQ(Get(reader, kSettings, "Printer"), std::nullopt);
    for (const char* printer : {"A", "B", "C"}) {
        ASSERT_EQ(Put(writer, kSettings, "Printer", printer), ERROR_SUCCESS);
        EXPECT_EQ(Get(reader, kSettings, "Printer"), std::string(printer) + '\0');
    }
    WriteText(File(),
              "REGEDIT4\n[HKEY_CURRENT_USER\\" + std::string(kSettings) + "]\n\"Printer\"=\"D\"\n");
    EXPECT_EQ(Get(reader, kSettings, "Printer"), std::string("D\0", 2));
}

} // namespace
} // namespace nv::platform
