// --list: the supported printers, as the print-settings dialog lists them, with what each
// printer's model offers.
#pragma once

#include "cli/CliOptions.h"
#include "dialog/PdfSendDlg.h"

#include <cstdio>

namespace nv::cli {

// Opens the dialog headless on SERVICES (whose resources must be set), selects each listed
// printer in turn and writes its description to OUT (with a queue's state where the spooler
// tells it); a scheduler that did not answer is noted on standard error after the list.
// Changes no stored setting. Returns kStatusPrinted (0) when printers were listed, kStatusStartup
// when the dialog found none (its message has then been shown).
CliStatus ListPrinters(const DialogServices& services, std::FILE* out);

} // namespace nv::cli
