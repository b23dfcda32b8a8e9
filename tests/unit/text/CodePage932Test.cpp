// The Windows edition under code page 932 (Wine with a Japanese locale): text bound for the
// printer family leaves in Shift-JIS and is cut at character boundaries, settings an ANSI
// program of the same code page stored read back the same through the store, and a capability
// file saved in Shift-JIS reads as the program's UTF-8.
#include "job/PjlText.h"
#include "platform/profile/Profile.h"
#include "platform/registry/win32/Win32Registry.h"
#include "platform/text/PrinterText.h"
#include "support/TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace nv::platform {
namespace {

const std::string kHyo = "\xE8\xA1\xA8";                          // 表, 0x95 0x5C in code page 932
const std::string kSo = "\xE3\x82\xBD";                           // ソ, 0x83 0x5C
const std::string kTray = "\xE6\x89\x8B\xE5\xB7\xAE\xE3\x81\x97"; // 手差し
const std::string kTray932 = "\x8E\xE8\x8D\xB7\x82\xB5";

class CodePage932 : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 932u) << "run under Wine with NV_WINE_LOCALE=ja_JP.UTF-8 (the locale "
                                     "scripts/bootstrap generates)";
    }
};

TEST_F(CodePage932, TextTowardThePrinterTakesTheSystemsCodePage) {
    const struct {
        std::string utf8;
        std::string sent;
    } cases[] = {
        {"\xE8\xB3\x87\xE6\x96\x99.pdf", "\x8E\x91\x97\xBF.pdf"}, // 資料.pdf
        {kHyo + kSo, "\x95\x5C\x83\x5C"},
        {"Caf\xC3\xA9", "Caf?"},    // a character the code page lacks
        {"\xF0\x9F\x98\x80", "??"}, // one for each half of a character beyond U+FFFF
        {"bad\xFFutf8", "bad?utf8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(text::ToPrinterText(c.utf8), c.sent);
    }
    EXPECT_EQ(text::FromPrinterText("\x8E\x52\x93\x63"), "\xE5\xB1\xB1\xE7\x94\xB0"); // 山田

    // Cuts never leave half a double-byte character, even when its trail byte is ASCII.
    const std::string sent = text::ToPrinterText(kHyo + "a" + kSo);
    EXPECT_EQ(text::PrinterTextPrefixLength(sent, 1), 0u);
    EXPECT_EQ(text::PrinterTextPrefixLength(sent, 3), 3u);
    EXPECT_EQ(text::PrinterTextPrefixLength(sent, 4), 3u);
    EXPECT_EQ(text::PrinterTextPrefixLength(sent, 5), 5u);
}

// A trail byte 0x5C is escaped like any backslash, so it can never escape the closing
// parenthesis; a password the code page cannot carry unchanged is refused.
TEST_F(CodePage932, PasswordsAreCheckedAsThePrinterReadsThem) {
    const std::optional<CString> password = PjlPassword(kHyo + ")");
    ASSERT_TRUE(password);
    EXPECT_EQ(EscapePassword(*password), "\x95\x5C\x5C\\)");
    EXPECT_FALSE(PjlPassword("Caf\xC3\xA9"));
    EXPECT_EQ(PjlNameAttribute(kSo + "\";user=x"), "\x83\x5C'_user_x");
}

TEST_F(CodePage932, SettingsOfAnAnsiProgramReadBackTheSame) {
    const std::string base =
        "Software\\NorvaneTests\\cp932-" + std::to_string(GetCurrentProcessId());
    Win32Registry store(base);
    RegistryKey key;
    ASSERT_EQ(store.CreateKeyEx(RegistryRoot::currentUser, ("Settings\\" + kHyo).c_str(),
                                KEY_ALL_ACCESS, key),
              ERROR_SUCCESS);

    // What an ANSI program of code page 932 stores, key and value named in Shift-JIS.
    HKEY ansi = nullptr;
    const std::string path = base + "\\HKEY_CURRENT_USER\\Settings\\\x95\x5C";
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &ansi),
              ERROR_SUCCESS);
    const std::string value = kTray932 + '\0';
    ASSERT_EQ(RegSetValueExA(ansi, "\x8B\x8B\x8E\x86", 0, REG_SZ, // 給紙
                             reinterpret_cast<const BYTE*>(value.data()),
                             static_cast<DWORD>(value.size())),
              ERROR_SUCCESS);

    std::uint8_t read[64] = {};
    DWORD size = sizeof read;
    DWORD type = 0;
    ASSERT_EQ(store.QueryValueEx(key, "\xE7\xB5\xA6\xE7\xB4\x99", &type, read, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(read), size), kTray + '\0');

    RegCloseKey(ansi);
    key.Close();
    Win32Registry::DeleteTree(base);
}

TEST_F(CodePage932, ShiftJisCapabilityFileReadsAsUtf8) {
    test::TempDir dir;
    const std::string file = (dir.Path() / "nvsjis.cap").string();
    std::ofstream(file, std::ios::binary)
        << "[Capability]\r\nVelmora \x95\x5C\x83\x5C=M1\r\n[M1]\r\nTray=" << kTray932 << "\r\n";
    char buffer[64] = {};
    const DWORD got = GetPrivateProfileStringA("Capability", ("Velmora " + kHyo + kSo).c_str(), "",
                                               buffer, sizeof buffer, file.c_str());
    EXPECT_EQ(std::string(buffer, got), "M1");
    GetPrivateProfileStringA("M1", "Tray", "", buffer, sizeof buffer, file.c_str());
    EXPECT_EQ(std::string(buffer), kTray);
    // A buffer too small for the whole value keeps whole characters only.
    EXPECT_EQ(GetPrivateProfileStringA("M1", "Tray", "", buffer, 5, file.c_str()), 3u);
}

} // namespace
} // namespace nv::platform
