// The dialog templates of the resource library: every control the program addresses by ID
// exists with the right kind, and each up-down control follows the edit it works on.
#include "platform/modules/Modules.h"
#include "platform/modules/PeImage.h"
#include "platform/text/Utf8.h"
#include "resources/ResourceIds.h"
#include "unit/modules/ModuleFiles.h"

#include <gtest/gtest.h>
#include <map>
#include <optional>

namespace nv {
namespace {

using platform::pe::Bytes;
using platform::pe::ReadU16;
using platform::pe::ReadU32;

enum class Kind { Button, CheckBox, Edit, Static, Icon, ComboBox, UpDown, Other };

struct Control {
    UINT id;
    Kind kind;
};

// A string or ordinal field of a template at AT; advances AT. Sets ORDINAL for ordinals.
std::string ReadField(Bytes bytes, std::size_t& at, std::optional<UINT>* ordinal = nullptr) {
    auto first = ReadU16(bytes, at);
    if (!first) {
        throw std::runtime_error("template ends inside a field");
    }
    if (*first == 0xFFFF) {
        if (ordinal != nullptr) {
            *ordinal = ReadU16(bytes, at + 2).value_or(0);
        }
        at += 4;
        return {};
    }
    std::size_t end = at;
    while (ReadU16(bytes, end).value_or(0) != 0) {
        end += 2;
    }
    std::string text = platform::text::Utf16LeToUtf8(bytes.data() + at, (end - at) / 2);
    at = end + 2;
    return text;
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// The controls of an extended dialog template, in template order.
std::vector<Control> ParseDialogEx(Bytes bytes) {
    if (ReadU16(bytes, 0) != 1 || ReadU16(bytes, 2) != 0xFFFF) {
        throw std::runtime_error("not an extended dialog template");
    }
    const UINT style = ReadU32(bytes, 12).value();
    const UINT count = ReadU16(bytes, 16).value();
    std::size_t at = 26;
    ReadField(bytes, at); // menu
    ReadField(bytes, at); // class
    ReadField(bytes, at); // title
    if (style & 0x40) {   // DS_SETFONT: size, weight, italic, charset, face
        at += 6;
        ReadField(bytes, at);
    }
    std::vector<Control> controls;
    for (UINT i = 0; i < count; ++i) {
        at = (at + 3) & ~std::size_t{3};
        const UINT itemStyle = ReadU32(bytes, at + 8).value();
        const UINT id = ReadU32(bytes, at + 20).value();
        at += 24;
        std::optional<UINT> classOrdinal;
        const std::string className = ReadField(bytes, at, &classOrdinal);
        ReadField(bytes, at); // title
        at += 2 + ReadU16(bytes, at).value();
        Kind kind = Kind::Other;
        if (classOrdinal == 0x80u) {
            const UINT type = itemStyle & 0xF;
            kind = type == 3 ? Kind::CheckBox : (type <= 1 ? Kind::Button : Kind::Other);
        } else if (classOrdinal == 0x81u) {
            kind = Kind::Edit;
        } else if (classOrdinal == 0x82u) {
            kind = (itemStyle & 0x1F) == 3 ? Kind::Icon : Kind::Static;
        } else if (classOrdinal == 0x85u) {
            kind = Kind::ComboBox;
        } else if (Lower(className) == "msctls_updown32") { // class names ignore case
            kind = Kind::UpDown;
        }
        controls.push_back({id, kind});
    }
    return controls;
}

std::vector<Control> LoadDialog(const char* module, UINT id) {
    auto loaded = platform::ResourceModule::Load(test::ProgramFile(module));
    if (!loaded) {
        throw std::runtime_error("module missing");
    }
    return ParseDialogEx(loaded->FindResourceData(platform::kRtDialog, id));
}

const std::map<UINT, Kind> kSettingsControls = {
    {1000, Kind::Static},   {1001, Kind::ComboBox}, {1002, Kind::Static},   {1003, Kind::Static},
    {1004, Kind::Static},   {1005, Kind::Static},   {1006, Kind::ComboBox}, {1007, Kind::Static},
    {1008, Kind::Edit},     {1009, Kind::UpDown},   {1010, Kind::CheckBox}, {1011, Kind::CheckBox},
    {1012, Kind::CheckBox}, {1013, Kind::CheckBox}, {1014, Kind::Edit},     {1015, Kind::Edit},
    {1016, Kind::Static},   {1017, Kind::Static},   {1018, Kind::UpDown},   {1019, Kind::UpDown},
    {1020, Kind::Static},   {1021, Kind::ComboBox}, {1022, Kind::Icon},     {1023, Kind::Static},
    {1025, Kind::Static},   {1026, Kind::CheckBox}, {1027, Kind::Edit},     {1028, Kind::Button},
    {1029, Kind::Button},   {1030, Kind::Button},   {1031, Kind::Button},   {102, Kind::Button},
    {103, Kind::Button},    {105, Kind::Button},
};

const std::map<UINT, Kind> kAboutControls = {
    {1200, Kind::Static}, {1201, Kind::Static},     {1202, Kind::Static},
    {1203, Kind::Static}, {1204, Kind::Static},     {1205, Kind::Static},
    {1513, Kind::Static}, {0xFFFFFFFF, Kind::Icon}, {1, Kind::Button},
};

class DialogTemplate : public testing::TestWithParam<const char*> {};

TEST_P(DialogTemplate, SettingsDialogHasEveryControl) {
    const auto controls = LoadDialog(GetParam(), res::dlg::kSettings);
    std::map<UINT, Kind> found;
    for (const auto& control : controls) {
        EXPECT_TRUE(found.emplace(control.id, control.kind).second) << "duplicate " << control.id;
    }
    EXPECT_EQ(found, kSettingsControls);
}

TEST_P(DialogTemplate, UpDownsFollowTheirEdits) {
    const auto controls = LoadDialog(GetParam(), res::dlg::kSettings);
    const std::map<UINT, UINT> buddies = {{1009, 1008}, {1018, 1014}, {1019, 1015}};
    for (std::size_t i = 1; i < controls.size(); ++i) {
        if (controls[i].kind == Kind::UpDown) {
            EXPECT_EQ(controls[i - 1].id, buddies.at(controls[i].id));
        }
    }
}

TEST_P(DialogTemplate, AboutBoxHasEveryControl) {
    const auto controls = LoadDialog(GetParam(), res::dlg::kAbout);
    std::map<UINT, Kind> found;
    for (const auto& control : controls) {
        found.emplace(control.id, control.kind);
    }
    EXPECT_EQ(found, kAboutControls);
}

INSTANTIATE_TEST_SUITE_P(Editions, DialogTemplate,
                         testing::Values("Norvres.dll", "lang/en/Norvres.dll"),
                         [](const testing::TestParamInfo<const char*>& edition) {
                             return std::string(edition.index == 0 ? "Japanese" : "English");
                         });

} // namespace
} // namespace nv
