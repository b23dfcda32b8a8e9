// The resource library as built: every string, icon group and dialog template the program
// takes from it, read through the module layer.
#include "platform/modules/Modules.h"
#include "resources/ResourceIds.h"
#include "unit/modules/ModuleFiles.h"

#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <utility>

namespace nv {
namespace {

using platform::ResourceModule;

struct FixedText {
    UINT id;
    const char* text;
};

// Texts of the Japanese edition that the program's messages and lists rely on word for word.
const FixedText kJapaneseTexts[] = {
    {93, "自動選択"},
    {94, "ﾄﾚｲ1"},
    {95, "ﾄﾚｲ2"},
    {96, "ﾄﾚｲ3"},
    {97, "ﾄﾚｲ4"},
    {98, "ﾄﾚｲ5"},
    {99, "ﾏﾙﾁﾊﾟｰﾊﾟｽﾄﾚｲ"},
    {100, "手差し"},
    {1426, "Norvane のﾊﾞｰｼﾞｮﾝ情報(&A)..."},
    {1500, "警告"},
    {1501, "エラー"},
    {1502, "印刷部数は半角数字で1から999の範囲から指定して下さい。"},
    {1503, "指定されたファイルが取得できません。"},
    {1504, "指定されたファイルが開けません。"},
    {1505, "指定されたファイルは現在使用中のため開けません。"},
    {1506, "指定されたファイルは未サポート形式のファイルです。"},
    {1507, "プリンタがサポートしていないファイルバージョンのため、正しく印刷できない可能性があり"
           "ます。\n印刷を継続しますか？"},
    {1508, "印刷ページ指定が正しく入力されていません。\n開始ページの指定と終了ページの指定は、"
           "それぞれ0より大きい数値で入力してください。また、開始ページは終了ページを超えては"
           "いけません。"},
    {1509, "パスワードが正しく指定されていません。\nパスワードは半角数字で128以内で指定してくだ"
           "さい。"},
    {1510, "インストールされているプリンタがありません。"},
    {1511, "サポートプリンタがインストールされていません。"},
};

// Every string ID a resource library must hold, in ascending order: the dialog's texts and
// messages (up to 1545), a damaged command library (1580-), the scheduler (1600-), printers
// left out (1640-), the open-file dialog (1650-) and the command-line program (1700-, with
// the refused dry-run targets from 1780).
std::vector<UINT> RequiredStringIds() {
    const std::pair<UINT, UINT> ranges[] = {{93, 100},    {1406, 1427}, {1500, 1512}, {1514, 1514},
                                            {1530, 1536}, {1540, 1545}, {1580, 1584}, {1600, 1624},
                                            {1640, 1641}, {1650, 1656}, {1700, 1715}, {1720, 1732},
                                            {1750, 1765}, {1770, 1771}, {1780, 1788}};
    std::vector<UINT> ids;
    for (const auto& [first, last] : ranges) {
        for (UINT id = first; id <= last; ++id) {
            ids.push_back(id);
        }
    }
    return ids;
}

std::unique_ptr<ResourceModule> Open(const char* name) {
    auto module = ResourceModule::Load(test::ProgramFile(name));
    EXPECT_NE(module, nullptr) << name;
    return module;
}

TEST(ResourceLibrary, JapaneseEditionHoldsTheFixedTextsExactly) {
    auto module = Open("Norvres.dll");
    ASSERT_NE(module, nullptr);
    for (const auto& [id, text] : kJapaneseTexts) {
        EXPECT_EQ(module->LoadText(id), text) << "string " << id;
    }
}

TEST(ResourceLibrary, BothEditionsHoldTheSameStringIds) {
    auto japanese = Open("Norvres.dll");
    auto english = Open("lang/en/Norvres.dll");
    ASSERT_NE(japanese, nullptr);
    ASSERT_NE(english, nullptr);
    const auto required = RequiredStringIds();
    EXPECT_EQ(japanese->StringIds(), required);
    EXPECT_EQ(english->StringIds(), required);
    // Installing the other edition changes every text.
    for (UINT id : required) {
        EXPECT_NE(japanese->LoadText(id), english->LoadText(id)) << "string " << id;
    }
}

TEST(ResourceLibrary, ProductLineTakesTwoTexts) {
    for (const char* name : {"Norvres.dll", "lang/en/Norvres.dll"}) {
        auto module = Open(name);
        ASSERT_NE(module, nullptr);
        const std::string line = module->LoadText(res::str::kProductLineFormat);
        const auto first = line.find("%s");
        ASSERT_NE(first, std::string::npos) << name;
        EXPECT_NE(line.find("%s", first + 2), std::string::npos) << name;
        EXPECT_EQ(std::count(line.begin(), line.end(), '%'), 2) << name;
    }
}

struct Cut {
    int bufferMax;
    int expected;
    const char* text;
};

// String 1500 is two three-byte characters; 94 is three three-byte characters and a digit.
TEST(ResourceLibrary, LoadStringCutsAtCharacterBoundaries) {
    auto module = Open("Norvres.dll");
    ASSERT_NE(module, nullptr);
    const Cut cuts[] = {{1, 0, ""},   {3, 0, ""},     {4, 3, "警"},
                        {6, 3, "警"}, {7, 6, "警告"}, {260, 6, "警告"}};
    for (const auto& cut : cuts) {
        char buffer[300];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(module->LoadStringA(1500, buffer, cut.bufferMax), cut.expected)
            << "buffer " << cut.bufferMax;
        EXPECT_STREQ(buffer, cut.text) << "buffer " << cut.bufferMax;
    }
}

TEST(ResourceLibrary, MissingAndZeroSizedReads) {
    auto module = Open("Norvres.dll");
    ASSERT_NE(module, nullptr);
    char buffer[16] = "untouched";
    EXPECT_EQ(module->LoadStringA(1513, buffer, sizeof buffer), 0); // gap inside a block
    EXPECT_STREQ(buffer, "");
    std::strcpy(buffer, "untouched");
    EXPECT_EQ(module->LoadStringA(5000, buffer, sizeof buffer), 0); // no such block
    EXPECT_STREQ(buffer, "");
    std::strcpy(buffer, "untouched");
    EXPECT_EQ(module->LoadStringA(1500, buffer, 0), -1);
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_EQ(module->LoadText(0x10000 + 1500), "");
}

TEST(ResourceLibrary, LongMessageIsCutTo259Bytes) {
    auto module = Open("Norvres.dll");
    ASSERT_NE(module, nullptr);
    ASSERT_GT(module->LoadText(1508).size(), 259u);
    char buffer[260];
    const int length = module->LoadStringA(1508, buffer, sizeof buffer);
    EXPECT_LE(length, 259);
    EXPECT_GE(length, 257); // at most one three-byte character is dropped
    EXPECT_EQ(std::string(buffer), module->LoadText(1508).substr(0, length));
}

TEST(ResourceLibrary, IconGroupsHaveSeveralSizes) {
    for (const char* name : {"Norvres.dll", "lang/en/Norvres.dll"}) {
        auto module = Open(name);
        ASSERT_NE(module, nullptr);
        EXPECT_EQ(
            module->ResourceIds(platform::kRtGroupIcon),
            (std::vector<UINT>{res::icon::kLongEdge, res::icon::kShortEdge, res::icon::kProgram}));
        for (UINT id : {res::icon::kLongEdge, res::icon::kShortEdge, res::icon::kProgram}) {
            auto group = module->LoadIconGroup(id);
            ASSERT_TRUE(group) << name << " icon " << id;
            std::set<int> sizes;
            for (const auto& image : group->images) {
                EXPECT_EQ(image.width, image.height);
                EXPECT_EQ(image.bitCount, 32);
                // Each image is a bitmap header with pixels and mask of the declared size.
                ASSERT_GE(image.data.size(), 40u);
                EXPECT_EQ(image.data[0], 40);
                sizes.insert(image.width);
            }
            EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48})) << name << " icon " << id;
            const auto ico = group->ToIcoFile();
            ASSERT_GE(ico.size(), 6u + 16 * group->images.size());
            EXPECT_EQ(ico[2], 1);
            EXPECT_EQ(ico[4], group->images.size());
        }
        EXPECT_FALSE(module->LoadIconGroup(203));
    }
}

} // namespace
} // namespace nv
