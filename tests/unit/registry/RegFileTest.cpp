// The REGEDIT4 text form: what is written, that it reads back the same, and what survives
// damaged files.
#include "platform/registry/RegFile.h"

#include "platform/registry/Registry.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace nv::platform {
namespace {

using namespace std::string_literals;

constexpr const char* kKey = "HKEY_CURRENT_USER\\Software\\VELMORA\\Velmora Quillet\\Norvane";

HiveValue Value(std::string name, DWORD type, const std::string& bytes) {
    return HiveValue{std::move(name), type, std::vector<std::uint8_t>(bytes.begin(), bytes.end())};
}

void Put(Hive& hive, const std::string& path, const HiveValue& value) {
    hive.EnsureKey(path).values[FoldName(value.name)] = value;
}

// The bytes of NAME in KEY of HIVE, or "<absent>".
std::string Bytes(const Hive& hive, const std::string& key, const std::string& name) {
    const HiveKey* found = hive.FindKey(key);
    if (found == nullptr) {
        return "<absent>";
    }
    auto it = found->values.find(FoldName(name));
    if (it == found->values.end()) {
        return "<absent>";
    }
    return std::string(it->second.data.begin(), it->second.data.end());
}

TEST(RegFile, WritesTheExportForm) {
    Hive hive;
    Put(hive, std::string(kKey) + "\\Settings", Value("Printer", REG_SZ, std::string("P\0", 2)));
    Put(hive, std::string(kKey) + "\\Settings", Value("Password Flag", REG_DWORD, "\x0a\0\0\0"s));
    Put(hive, std::string(kKey) + "\\Settings", Value("", REG_SZ, std::string("a\"b\\\0", 5)));
    EXPECT_EQ(SerializeRegFile(hive), "REGEDIT4\n\n"
                                      "[HKEY_CURRENT_USER\\Software]\n\n"
                                      "[HKEY_CURRENT_USER\\Software\\VELMORA]\n\n"
                                      "[HKEY_CURRENT_USER\\Software\\VELMORA\\Velmora Quillet]\n\n"
                                      "[HKEY_CURRENT_USER\\Software\\VELMORA\\Velmora Quillet\\"
                                      "Norvane]\n\n"
                                      "[HKEY_CURRENT_USER\\Software\\VELMORA\\Velmora Quillet\\"
                                      "Norvane\\Settings]\n"
                                      "@=\"a\\\"b\\\\\"\n"
                                      "\"Password Flag\"=dword:0000000a\n"
                                      "\"Printer\"=\"P\"\n\n");
}

TEST(RegFile, EveryValueReadsBackAsWritten) {
    const std::string longText(kMaxRegLineBytes, 'x');
    struct Case {
        const char* what;
        HiveValue value;
        const char* form; // how the data is written (start of the text after '=')
    } cases[] = {
        {"plain text", Value("PaperFeed", REG_SZ, std::string("Tray 1\0", 7)), "\"Tray 1\""},
        {"quotes and backslashes", Value("Q\"\\", REG_SZ, std::string("\\\\srv\\\"q\"\0", 10)),
         "\"\\\\\\\\srv\\\\\\\"q\\\"\""},
        {"UTF-8", Value("\xE7\xB4\x99", REG_SZ, std::string("\xE6\x89\x8B\xE5\xB7\xAE\0", 7)),
         "\"\xE6\x89\x8B"},
        {"empty text", Value("Empty", REG_SZ, std::string(1, '\0')), "\"\""},
        {"CR LF", Value("Lines", REG_SZ, std::string("a\r\nb\0", 5)), "hex(1):61,0d,0a,62,00"},
        {"no NUL", Value("Cut", REG_SZ, "abc"), "hex(1):61,62,63"},
        {"inner NUL", Value("Inner", REG_SZ, std::string("a\0b\0", 4)), "hex(1):61,00,62,00"},
        {"no bytes", Value("None", REG_SZ, ""), "hex(1):"},
        {"line too long", Value("Long", REG_SZ, longText + '\0'), "hex(1):78,78"},
        {"binary", Value("Bin", REG_BINARY, std::string("\x00\xff", 2)), "hex:00,ff"},
        {"narrow number", Value("Short", REG_DWORD, "\x01\x02"), "hex(4):01,02"},
        {"number", Value("Wide", REG_DWORD, "\x78\x56\x34\x12"), "dword:12345678"},
        {"type 0", Value("Nothing", REG_NONE, "z"), "hex(0):7a"},
        {"large type", Value("Odd", 0xFFFFFFFFu, "z"), "hex(ffffffff):7a"},
        {"many bytes", Value("Many", REG_BINARY, std::string(100, '\x11')), "hex:11,11"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Hive hive;
        Put(hive, kKey, c.value);
        std::string text = SerializeRegFile(hive);
        EXPECT_NE(text.find("=" + std::string(c.form)), std::string::npos) << text;
        std::size_t unreadable = 99;
        Hive back = ParseRegFile(text, &unreadable);
        EXPECT_EQ(unreadable, 0u);
        EXPECT_TRUE(back == hive) << text;
        for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
            end = text.find('\n', start);
            EXPECT_LE(end - start, kMaxRegLineBytes);
        }
    }
}

TEST(RegFile, FileCutAnywhereNeverMisreadsAValue) {
    Hive hive;
    Put(hive, kKey, Value("Printer", REG_SZ, std::string(",,srv,Q\0", 8)));
    Put(hive, kKey, Value("Duplex", REG_DWORD, std::string("\x01\0\0\0", 4)));
    Put(hive, kKey, Value("Lines", REG_SZ, std::string("a\r\nb\0", 5)));
    Put(hive, kKey, Value("Blob", REG_BINARY, std::string(60, '\x5a')));
    Put(hive, kKey + std::string("\\Sub"), Value("", REG_SZ, std::string("d\0", 2)));
    const std::string text = SerializeRegFile(hive);
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        Hive part = ParseRegFile(std::string_view(text).substr(0, cut));
        for (const auto& [folded, key] : part.Keys()) {
            const HiveKey* whole = hive.FindKey(key.path);
            ASSERT_NE(whole, nullptr) << "cut " << cut;
            for (const auto& [name, value] : key.values) {
                auto it = whole->values.find(name);
                ASSERT_NE(it, whole->values.end()) << "cut " << cut;
                EXPECT_EQ(it->second, value) << "cut " << cut << " " << name;
            }
        }
    }
    EXPECT_TRUE(ParseRegFile(text) == hive);
}

TEST(RegFile, ReadsHandWrittenAndForeignVariants) {
    struct Case {
        const char* what;
        std::string text;
    } cases[] = {
        {"CR LF lines", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\S]\r\n\"V\"=\"x\"\r\n"},
        {"byte order mark", "\xEF\xBB\xBFREGEDIT4\n[HKEY_CURRENT_USER\\S]\n\"V\"=\"x\"\n"},
        {"no header", "[HKEY_CURRENT_USER\\S]\n\"V\"=\"x\"\n"},
        {"version 5 header", "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\S]\n"
                             "\"V\"=\"x\"\n"},
        {"comments and blanks", "REGEDIT4\n; saved\n\n[HKEY_CURRENT_USER\\S]\n  ; here\n"
                                "\"V\" = \"x\"  \n"},
        {"other case", "REGEDIT4\n[hkey_current_user\\s]\n\"v\"=\"x\"\n"},
        {"hex text", "REGEDIT4\n[HKEY_CURRENT_USER\\S]\n\"V\"=hex(1):78,\\\n  00\n"},
        {"no final newline", "REGEDIT4\n[HKEY_CURRENT_USER\\S]\n\"V\"=\"x\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::size_t unreadable = 99;
        Hive hive = ParseRegFile(c.text, &unreadable);
        EXPECT_EQ(unreadable, 0u);
        EXPECT_EQ(Bytes(hive, "HKEY_CURRENT_USER\\S", "V"), std::string("x\0", 2));
    }
}

TEST(RegFile, DamagedFilesKeepWhatCanBeRead) {
    const std::string head = "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"Good\"=\"kept\"\n";
    struct Case {
        const char* what;
        std::string tail;
        std::string expected; // the bytes of "Bad" in K, or <absent>
        std::size_t unreadable;
    } cases[] = {
        {"cut in a text", "\"Bad\"=\"ha", "<absent>", 1},
        {"cut in a number", "\"Bad\"=dword:0000", "<absent>", 1},
        {"cut in a byte", "\"Bad\"=hex:01,0", "<absent>", 1},
        {"cut after a continuation", "\"Bad\"=hex:01,\\\n", "<absent>", 1},
        {"continuation swallowed by a value", "\"Bad\"=hex:01,\\\n\"Next\"=\"n\"\n", "<absent>", 1},
        {"bad digit", "\"Bad\"=dword:0000000g\n", "<absent>", 1},
        {"deletion mark", "\"Bad\"=-\n", "<absent>", 1},
        {"no equals", "\"Bad\" \"x\"\n", "<absent>", 1},
        {"junk after text", "\"Bad\"=\"x\" y\n", "<absent>", 1},
        {"binary junk", std::string("\x00\xff\x01\n", 4), "<absent>", 1},
        {"line too long", "\"Bad\"=\"" + std::string(kMaxRegLineBytes, 'x') + "\"\n", "<absent>",
         1},
        {"duplicate: later wins", "\"Bad\"=\"1\"\n\"BAD\"=\"2\"\n", std::string("2\0", 2), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::size_t unreadable = 99;
        Hive hive = ParseRegFile(head + c.tail, &unreadable);
        EXPECT_EQ(unreadable, c.unreadable);
        EXPECT_EQ(Bytes(hive, "HKEY_CURRENT_USER\\K", "Good"), std::string("kept\0", 5));
        EXPECT_EQ(Bytes(hive, "HKEY_CURRENT_USER\\K", "Bad"), c.expected);
    }
}

TEST(RegFile, ValuesOfAnUnreadableKeyLandNowhere) {
    const std::string tails[] = {
        "[HKEY_CURRENT_USER\\Other\n\"V\"=\"x\"\n",                    // no closing bracket
        "[HKEY_CURRENT_USER\\\\Other]\n\"V\"=\"x\"\n",                 // empty component
        "[-HKEY_CURRENT_USER\\Other]\n\"V\"=\"x\"\n",                  // deletion mark
        "[" + std::string(kMaxRegLineBytes, 'k') + "]\n\"V\"=\"x\"\n", // line too long
    };
    for (const std::string& tail : tails) {
        SCOPED_TRACE(tail.substr(0, 40));
        Hive hive = ParseRegFile("REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"W\"=\"w\"\n" + tail);
        EXPECT_EQ(Bytes(hive, "HKEY_CURRENT_USER\\K", "W"), std::string("w\0", 2));
        EXPECT_EQ(Bytes(hive, "HKEY_CURRENT_USER\\K", "V"), "<absent>");
    }
    // A value before any key has nowhere to go either.
    std::size_t unreadable = 0;
    Hive hive = ParseRegFile("REGEDIT4\n\"V\"=\"x\"\n", &unreadable);
    EXPECT_TRUE(hive.Keys().empty());
    EXPECT_EQ(unreadable, 1u);
}

// A rewrite carries every line it could not read, and none of them turns into a value or moves
// under another key on the way.
TEST(RegFile, RewriteKeepsUnreadableLinesWithTheirMeaning) {
    const std::string key = "[HKEY_CURRENT_USER\\K]\n";
    struct Case {
        const char* what;
        std::string text;
    } cases[] = {
        {"garbage and comments", "REGEDIT4\n; top\n" + key + "\"V\"=\"v\"\njunk\r\n; note\n"},
        {"value before every key", "REGEDIT4\n\"Lost\"=\"x\"\n" + key + "\"V\"=\"v\"\n"},
        {"broken key and its values",
         "REGEDIT4\n" + key + "[HKEY_CURRENT_USER\\\\B]\n\"W\"=\"w\"\n[HKEY_CURRENT_USER\\A]\n"},
        // A cut hex value, a good value, then a stray line that looks like its continuation:
        // kept side by side they must not join into a value.
        {"cut value and stray continuation",
         "REGEDIT4\n" + key + "\"Bad\"=hex:01,\\\n\"V\"=\"v\"\n  02\n"},
        {"continued garbage", "REGEDIT4\n" + key + "\"Half\"=hex:01,\\\n  zz\n\"V\"=\"v\"\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const RegFileContent first = ReadRegFile(c.text);
        ASSERT_TRUE(first.rewritable);
        EXPECT_GT(first.kept.size(), 0u);
        const std::string written = WriteRegFile(first.hive, first.kept);
        const RegFileContent back = ReadRegFile(written);
        EXPECT_TRUE(back.rewritable);
        EXPECT_TRUE(back.hive == first.hive) << written;
        EXPECT_EQ(back.kept, first.kept) << written;
        EXPECT_EQ(WriteRegFile(back.hive, back.kept), written);
        EXPECT_EQ(Bytes(back.hive, "HKEY_CURRENT_USER\\K", "Bad"), "<absent>");
        EXPECT_EQ(Bytes(back.hive, "HKEY_CURRENT_USER\\A", "W"), "<absent>");
    }
}

TEST(RegFile, KeysExistThroughTheirSubKeys) {
    Hive hive = ParseRegFile("REGEDIT4\n[HKEY_CURRENT_USER\\A\\B\\C]\n");
    EXPECT_TRUE(hive.KeyExists("HKEY_CURRENT_USER\\a\\b"));
    EXPECT_TRUE(hive.KeyExists("HKEY_CURRENT_USER"));
    EXPECT_FALSE(hive.KeyExists("HKEY_CURRENT_USER\\A\\B\\C\\D"));
    EXPECT_FALSE(hive.KeyExists("HKEY_CURRENT_USER\\A\\B\\"));
    EXPECT_FALSE(hive.KeyExists("HKEY_CURRENT_USER\\A\\BC"));
}

// Deep paths: a file of chains of nested keys is read with every key and its ancestors there,
// and listing a key below existing ones keeps their spelling and lists only what is missing.
TEST(RegFile, DeepKeysAreReadWithTheirAncestorsAndSpelling) {
    std::string text = "REGEDIT4\n";
    std::string path = "HKEY_CURRENT_USER";
    for (int depth = 0; depth < 300; ++depth) {
        path += "\\K" + std::to_string(depth % 7);
        if (path.size() > kMaxKeyPathBytes) {
            break;
        }
        text += "[" + path + "]\n\"D\"=dword:" + std::string(7, '0') + "1\n";
    }
    Hive hive = ParseRegFile(text);
    EXPECT_TRUE(hive.KeyExists("HKEY_CURRENT_USER\\k0\\k1\\k2"));
    ASSERT_NE(hive.FindKey(path), nullptr);
    EXPECT_EQ(hive.FindKey(path)->values.size(), 1u);

    Hive built;
    built.EnsureKey("HKEY_CURRENT_USER\\Software\\Vendor");
    const HiveKey& deep = built.EnsureKey("HKEY_CURRENT_USER\\SOFTWARE\\VENDOR\\App\\Sub");
    EXPECT_EQ(deep.path, "HKEY_CURRENT_USER\\Software\\Vendor\\App\\Sub");
    ASSERT_NE(built.FindKey("HKEY_CURRENT_USER\\software\\vendor\\app"), nullptr);
    EXPECT_EQ(built.FindKey("HKEY_CURRENT_USER\\software\\vendor\\app")->path,
              "HKEY_CURRENT_USER\\Software\\Vendor\\App");
    EXPECT_EQ(built.Keys().size(), 4u);
}

} // namespace
} // namespace nv::platform
