// How the view arranges the controls of each dialog template: sections (with an optional
// heading label), rows of cells on a grid, and a row of push buttons. A cell holds one or more
// controls side by side; an edit's up-down control joins its edit by itself. Layouts size to
// their contents, so captions of any language fit.
#pragma once

#include "platform/wintypes.h"

#include <utility>
#include <vector>

namespace nv::gui {

// A cell entry that stands for the program's icon rather than a control.
inline constexpr int kProgramIconCell = -1;
// A cell entry that takes up the rest of its cell's width.
inline constexpr int kStretchCell = -2;

struct LayoutCell {
    int column = 0;
    int span = 1;
    std::vector<int> ids;
};

struct LayoutRow {
    std::vector<LayoutCell> cells;
};

struct LayoutSection {
    int headingId = 0; // a label drawn as the section's heading; 0 for none
    std::vector<LayoutRow> rows;
};

struct DialogLayout {
    UINT templateId = 0;
    std::vector<LayoutSection> sections;
    std::vector<int> leftButtons;
    std::vector<int> rightButtons;
    int defaultButton = 0; // pressed by Enter
    // Labels and the controls their access keys move the focus to.
    std::vector<std::pair<int, int>> buddies;
    // Controls that get at least this width in pixels at 100 %.
    std::vector<std::pair<int, int>> minimumWidths;
    // Labels whose text is cut with an ellipsis when it is wider than this many average
    // characters (the whole text is then the label's tool tip); drop-down lists are never wider.
    std::vector<int> elidedLabels;
    int maximumTextColumns = 60;
};

// The layout of dialog template TEMPLATEID, or null when there is none.
const DialogLayout* LayoutForTemplate(UINT templateId);

} // namespace nv::gui
