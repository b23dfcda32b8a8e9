// The desktop's open-file dialog, asking the window program started without a file which PDF
// to print.
#pragma once

#include "app/PdfSendApp.h"

#include <optional>

namespace nv::gui {

// Shows a modal open-file dialog without a parent, titled, labelled and filtered with TEXTS
// (PDF files only), for one existing file. Returns the chosen path in the file system's own
// encoding, or nothing when the user cancels.
std::optional<CString> AskForPdfFile(const PickFileTexts& texts);

} // namespace nv::gui
