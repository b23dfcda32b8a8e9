// The system's open-file dialog, asking a window program started without a file which PDF to
// print.
#pragma once

#include "app/PdfSendApp.h"

#include <optional>

namespace nv::gui {

// Shows the system's open-file dialog without an owner, titled and filtered with TEXTS (PDF
// files only), for an existing file. Returns the chosen path as UTF-8, or nothing when the user
// cancels or the dialog cannot be shown. The current folder is left as it was.
std::optional<CString> AskForPdfFile(const PickFileTexts& texts);

} // namespace nv::gui
