#include "gui/qt/DialogLayouts.h"

#include "resources/ResourceIds.h"

namespace nv::gui {
namespace {

namespace ctl = res::ctl;

constexpr int id(UINT control) {
    return static_cast<int>(control);
}

// Print settings: printer and port on top; the print options in a grid of label/control
// columns; the password options; the buttons along the bottom.
DialogLayout SettingsLayout() {
    DialogLayout layout;
    layout.templateId = res::dlg::kSettings;
    layout.sections = {
        {0,
         {
             {{{0, 1, {id(ctl::kPrinterLabel)}}, {1, 3, {id(ctl::kPrinterList)}}}},
             {{{0, 1, {id(ctl::kPortLabel)}}, {1, 3, {id(ctl::kPortText)}}}},
         }},
        {id(ctl::kSettingsLabel),
         {
             {{{0, 1, {id(ctl::kPaperSourceLabel)}},
               {1, 1, {id(ctl::kPaperSourceList)}},
               {2, 1, {id(ctl::kCopiesLabel)}},
               {3, 1, {id(ctl::kCopiesEdit), kStretchCell}}}},
             {{{0, 1, {id(ctl::kDuplexCheck)}},
               {1,
                3,
                {id(ctl::kBindingLabel), id(ctl::kBindingList), id(ctl::kBindingIcon),
                 kStretchCell}}}},
             {{{0, 1, {id(ctl::kCollateCheck)}}, {1, 3, {id(ctl::kFitToPageCheck)}}}},
             {{{0, 1, {id(ctl::kPageRangeCheck)}},
               {1,
                3,
                {id(ctl::kRangeLabel1), id(ctl::kStartPageEdit), id(ctl::kRangeLabel2),
                 id(ctl::kEndPageEdit), kStretchCell}}}},
         }},
        {id(ctl::kPasswordSectionLabel),
         {
             {{{0, 1, {id(ctl::kPasswordCheck)}},
               {1, 1, {id(ctl::kPasswordLabel)}},
               {2, 2, {id(ctl::kPasswordEdit)}}}},
             {{{2,
                2,
                {kStretchCell, id(ctl::kSavePasswordButton), id(ctl::kClearPasswordButton)}}}},
         }},
    };
    layout.leftButtons = {id(ctl::kDefaultsButton), id(ctl::kSaveSettingsButton),
                          id(ctl::kAboutButton)};
    layout.rightButtons = {id(ctl::kPrintButton), id(ctl::kCloseButton)};
    layout.defaultButton = id(ctl::kPrintButton);
    layout.buddies = {{id(ctl::kPrinterLabel), id(ctl::kPrinterList)},
                      {id(ctl::kPaperSourceLabel), id(ctl::kPaperSourceList)},
                      {id(ctl::kCopiesLabel), id(ctl::kCopiesEdit)},
                      {id(ctl::kBindingLabel), id(ctl::kBindingList)},
                      {id(ctl::kRangeLabel1), id(ctl::kStartPageEdit)},
                      {id(ctl::kRangeLabel2), id(ctl::kEndPageEdit)},
                      {id(ctl::kPasswordLabel), id(ctl::kPasswordEdit)}};
    layout.minimumWidths = {{id(ctl::kPrinterList), 320},
                            {id(ctl::kPaperSourceList), 150},
                            {id(ctl::kBindingList), 110},
                            {id(ctl::kPasswordEdit), 160}};
    layout.elidedLabels = {id(ctl::kPortText)};
    return layout;
}

// About box: the program's icon beside the product line, then each module's name and version.
DialogLayout AboutLayout() {
    DialogLayout layout;
    layout.templateId = res::dlg::kAbout;
    layout.sections = {
        {0,
         {
             {{{0, 1, {kProgramIconCell}}, {1, 2, {id(ctl::kAboutProductLine)}}}},
             {{{1, 1, {id(ctl::kAboutExeName)}}, {2, 1, {id(ctl::kAboutExeVersion)}}}},
             {{{1, 1, {id(ctl::kAboutLibName)}}, {2, 1, {id(ctl::kAboutLibVersion)}}}},
             {{{1, 1, {id(ctl::kAboutResName)}}, {2, 1, {id(ctl::kAboutResVersion)}}}},
         }},
    };
    layout.rightButtons = {1}; // OK
    layout.defaultButton = 1;
    layout.minimumWidths = {{id(ctl::kAboutExeName), 120}, {id(ctl::kAboutExeVersion), 100}};
    return layout;
}

} // namespace

const DialogLayout* LayoutForTemplate(UINT templateId) {
    static const DialogLayout settings = SettingsLayout();
    static const DialogLayout about = AboutLayout();
    if (templateId == settings.templateId) {
        return &settings;
    }
    if (templateId == about.templateId) {
        return &about;
    }
    return nullptr;
}

} // namespace nv::gui
