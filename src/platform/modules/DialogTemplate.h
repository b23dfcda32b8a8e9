// Dialog templates (the extended form a resource compiler writes) read into plain values: the
// dialog's caption, font and size, and each control's ID, class, style, caption and place.
// The reader is bounded: every field is checked against the data, and a damaged template is
// refused as a whole, never read past its end.
#pragma once

#include "platform/modules/PeImage.h"
#include "platform/wintypes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nv::platform {

class ResourceModule;

// The predefined window classes a template names by ordinal.
enum class DialogItemClass { Button, Edit, Static, ListBox, ScrollBar, ComboBox, UpDown, Other };

struct DialogItem {
    UINT id = 0; // the control ID as stored (a static's "no ID" reads as 0xFFFF or 0xFFFFFFFF)
    DialogItemClass itemClass = DialogItemClass::Other;
    std::string className; // the class name when the template names it by text
    DWORD style = 0;
    DWORD exStyle = 0;
    DWORD helpId = 0;
    std::string text;                 // the caption, UTF-8; empty when given by ordinal
    std::optional<UINT> textOrdinal;  // a resource ordinal (an icon's ID for SS_ICON statics)
    int x = 0, y = 0, cx = 0, cy = 0; // dialog units
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string caption;
    int x = 0, y = 0, cx = 0, cy = 0; // dialog units
    int fontPointSize = 0;            // 0 when the template names no font
    std::string fontFace;
    std::vector<DialogItem> items;
};

// Reads the extended dialog template in DATA. Nothing when DATA is not one or is damaged.
// Templates with more than kMaxDialogItems items are refused.
inline constexpr std::size_t kMaxDialogItems = 1024;
std::optional<DialogTemplate> ParseDialogTemplate(pe::Bytes data);

// Dialog template ID of MODULE, or nothing when absent or damaged.
std::optional<DialogTemplate> LoadDialogTemplate(const ResourceModule& module, UINT id);

} // namespace nv::platform
