#include "platform/modules/DialogTemplate.h"

#include "platform/modules/Modules.h"
#include "platform/text/Utf8.h"

namespace nv::platform {
namespace {

using pe::Bytes;
using pe::ReadU16;
using pe::ReadU32;

constexpr DWORD kDsSetFont = 0x40;
constexpr DWORD kDsShellFont = 0x48;

// Sequential reader over a template; every read fails once the data runs out.
class Cursor {
public:
    explicit Cursor(Bytes data) : data_(data) {}

    std::optional<std::uint16_t> u16() {
        auto value = ReadU16(data_, at_);
        at_ += 2;
        return value;
    }
    std::optional<std::uint32_t> u32() {
        auto value = ReadU32(data_, at_);
        at_ += 4;
        return value;
    }
    std::optional<int> s16() {
        auto value = u16();
        if (!value) {
            return std::nullopt;
        }
        return static_cast<int>(static_cast<std::int16_t>(*value));
    }
    bool skip(std::size_t bytes) {
        at_ += bytes;
        return at_ <= data_.size();
    }
    void alignDword() { at_ = (at_ + 3) & ~std::size_t{3}; }

    // A NUL-terminated UTF-16 text, as UTF-8.
    std::optional<std::string> text() {
        const std::size_t start = at_;
        for (;;) {
            auto unit = u16();
            if (!unit) {
                return std::nullopt;
            }
            if (*unit == 0) {
                break;
            }
        }
        return text::Utf16LeToUtf8(data_.data() + start, (at_ - start) / 2 - 1);
    }

    // A field that holds nothing (0), an ordinal (0xFFFF then the ordinal) or a text.
    bool textOrOrdinal(std::string& text, std::optional<UINT>& ordinal) {
        auto first = ReadU16(data_, at_);
        if (!first) {
            return false;
        }
        if (*first == 0xFFFF) {
            at_ += 2;
            auto value = u16();
            if (!value) {
                return false;
            }
            ordinal = *value;
            return true;
        }
        auto read = this->text();
        if (!read) {
            return false;
        }
        text = std::move(*read);
        return true;
    }

private:
    Bytes data_;
    std::size_t at_ = 0;
};

DialogItemClass ClassOfOrdinal(UINT ordinal) {
    switch (ordinal) {
    case 0x80:
        return DialogItemClass::Button;
    case 0x81:
        return DialogItemClass::Edit;
    case 0x82:
        return DialogItemClass::Static;
    case 0x83:
        return DialogItemClass::ListBox;
    case 0x84:
        return DialogItemClass::ScrollBar;
    case 0x85:
        return DialogItemClass::ComboBox;
    default:
        return DialogItemClass::Other;
    }
}

// Window class names compare without regard to case.
DialogItemClass ClassOfName(const std::string& name) {
    std::string lower;
    for (char c : name) {
        lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    if (lower == "msctls_updown32") {
        return DialogItemClass::UpDown;
    }
    static const char* const kNames[] = {"button",  "edit",      "static",
                                         "listbox", "scrollbar", "combobox"};
    for (UINT i = 0; i < 6; ++i) {
        if (lower == kNames[i]) {
            return ClassOfOrdinal(0x80 + i);
        }
    }
    return DialogItemClass::Other;
}

std::optional<DialogItem> ReadItem(Cursor& in) {
    in.alignDword();
    DialogItem item;
    auto helpId = in.u32();
    auto exStyle = in.u32();
    auto style = in.u32();
    auto x = in.s16();
    auto y = in.s16();
    auto cx = in.s16();
    auto cy = in.s16();
    auto id = in.u32();
    if (!helpId || !exStyle || !style || !x || !y || !cx || !cy || !id) {
        return std::nullopt;
    }
    item.helpId = *helpId;
    item.exStyle = *exStyle;
    item.style = *style;
    item.x = *x;
    item.y = *y;
    item.cx = *cx;
    item.cy = *cy;
    item.id = *id;
    std::optional<UINT> classOrdinal;
    if (!in.textOrOrdinal(item.className, classOrdinal) ||
        !in.textOrOrdinal(item.text, item.textOrdinal)) {
        return std::nullopt;
    }
    item.itemClass = classOrdinal ? ClassOfOrdinal(*classOrdinal) : ClassOfName(item.className);
    auto extra = in.u16();
    if (!extra || !in.skip(*extra)) {
        return std::nullopt;
    }
    return item;
}

} // namespace

std::optional<DialogTemplate> ParseDialogTemplate(Bytes data) {
    Cursor in(data);
    if (in.u16() != std::optional<std::uint16_t>(1) ||
        in.u16() != std::optional<std::uint16_t>(0xFFFF)) {
        return std::nullopt;
    }
    DialogTemplate dialog;
    auto helpId = in.u32();
    auto exStyle = in.u32();
    auto style = in.u32();
    auto count = in.u16();
    auto x = in.s16();
    auto y = in.s16();
    auto cx = in.s16();
    auto cy = in.s16();
    if (!helpId || !exStyle || !style || !count || !x || !y || !cx || !cy ||
        *count > kMaxDialogItems) {
        return std::nullopt;
    }
    dialog.exStyle = *exStyle;
    dialog.style = *style;
    dialog.x = *x;
    dialog.y = *y;
    dialog.cx = *cx;
    dialog.cy = *cy;
    std::string menu, windowClass;
    std::optional<UINT> menuOrdinal, classOrdinal;
    auto caption = std::optional<std::string>();
    if (!in.textOrOrdinal(menu, menuOrdinal) || !in.textOrOrdinal(windowClass, classOrdinal) ||
        !(caption = in.text())) {
        return std::nullopt;
    }
    dialog.caption = std::move(*caption);
    if ((dialog.style & kDsSetFont) != 0 || (dialog.style & kDsShellFont) == kDsShellFont) {
        auto size = in.u16();
        if (!size || !in.skip(4)) { // weight, italic, character set
            return std::nullopt;
        }
        auto face = in.text();
        if (!face) {
            return std::nullopt;
        }
        dialog.fontPointSize = *size;
        dialog.fontFace = std::move(*face);
    }
    dialog.items.reserve(*count);
    for (UINT i = 0; i < *count; ++i) {
        auto item = ReadItem(in);
        if (!item) {
            return std::nullopt;
        }
        dialog.items.push_back(std::move(*item));
    }
    return dialog;
}

std::optional<DialogTemplate> LoadDialogTemplate(const ResourceModule& module, UINT id) {
    const std::vector<std::uint8_t> data = module.FindResourceData(kRtDialog, id);
    if (data.empty()) {
        return std::nullopt;
    }
    return ParseDialogTemplate(data);
}

} // namespace nv::platform
