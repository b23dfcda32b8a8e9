#include "dialog/SettingsTemplate.h"

#include "resources/ResourceIds.h"

namespace nv {

namespace {

using platform::ES_NUMBER;
using platform::ES_PASSWORD;
using platform::UDS_NOTHOUSANDS;
using platform::UDS_SETBUDDYINT;
namespace ctl = res::ctl;

// Up-down controls show their position in the buddy as plain digits: without
// UDS_NOTHOUSANDS a page of 1000 or more would be written as "1,000", which the number
// reading of the edit takes as 1.
constexpr DWORD kSpinStyle = UDS_SETBUDDYINT | UDS_NOTHOUSANDS;

constexpr TemplateControl kControls[] = {
    {ctl::kPrinterLabel, TemplateKind::label},
    {ctl::kPrinterList, TemplateKind::comboBox},
    {ctl::kPortLabel, TemplateKind::label},
    {ctl::kPortText, TemplateKind::label},
    {ctl::kSettingsLabel, TemplateKind::label},
    {ctl::kPaperSourceLabel, TemplateKind::label},
    {ctl::kPaperSourceList, TemplateKind::comboBox},
    {ctl::kCopiesLabel, TemplateKind::label},
    {ctl::kCopiesEdit, TemplateKind::edit, ES_NUMBER},
    {ctl::kCopiesSpin, TemplateKind::upDown, kSpinStyle, ctl::kCopiesEdit},
    {ctl::kDuplexCheck, TemplateKind::checkBox},
    {ctl::kBindingLabel, TemplateKind::label},
    {ctl::kBindingList, TemplateKind::comboBox},
    {ctl::kBindingIcon, TemplateKind::staticIcon},
    {ctl::kCollateCheck, TemplateKind::checkBox},
    {ctl::kFitToPageCheck, TemplateKind::checkBox},
    {ctl::kPageRangeCheck, TemplateKind::checkBox},
    {ctl::kRangeLabel1, TemplateKind::label},
    {ctl::kStartPageEdit, TemplateKind::edit, ES_NUMBER},
    {ctl::kStartPageSpin, TemplateKind::upDown, kSpinStyle, ctl::kStartPageEdit},
    {ctl::kRangeLabel2, TemplateKind::label},
    {ctl::kEndPageEdit, TemplateKind::edit, ES_NUMBER},
    {ctl::kEndPageSpin, TemplateKind::upDown, kSpinStyle, ctl::kEndPageEdit},
    {ctl::kPasswordSectionLabel, TemplateKind::label},
    {ctl::kPasswordCheck, TemplateKind::checkBox},
    {ctl::kPasswordLabel, TemplateKind::label},
    {ctl::kPasswordEdit, TemplateKind::edit, ES_PASSWORD},
    {ctl::kSavePasswordButton, TemplateKind::pushButton},
    {ctl::kClearPasswordButton, TemplateKind::pushButton},
    {ctl::kDefaultsButton, TemplateKind::pushButton},
    {ctl::kSaveSettingsButton, TemplateKind::pushButton},
    {ctl::kAboutButton, TemplateKind::pushButton},
    {ctl::kPrintButton, TemplateKind::pushButton},
    {ctl::kCloseButton, TemplateKind::pushButton},
};

} // namespace

std::span<const TemplateControl> SettingsTemplate() {
    return kControls;
}

void BuildSettingsTemplate(platform::DialogSurface& surface) {
    for (const TemplateControl& control : kControls) {
        const int id = static_cast<int>(control.id);
        switch (control.kind) {
        case TemplateKind::label:
            surface.AddLabel(id);
            break;
        case TemplateKind::comboBox:
            surface.AddComboBox(id);
            break;
        case TemplateKind::edit:
            surface.AddEdit(id, control.style);
            break;
        case TemplateKind::upDown:
            surface.AddUpDown(id, static_cast<int>(control.buddy), control.style);
            break;
        case TemplateKind::checkBox:
            surface.AddCheckBox(id);
            break;
        case TemplateKind::pushButton:
            surface.AddPushButton(id);
            break;
        case TemplateKind::staticIcon:
            surface.AddStaticIcon(id);
            break;
        }
    }
}

} // namespace nv
