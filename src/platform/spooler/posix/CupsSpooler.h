// The CUPS scheduler as a spooler, through libcups. The scheduler is the one libcups finds on
// its own (CUPS_SERVER, client.conf, else the local scheduler), so a remote server works too.
//
// - Printers are the scheduler's destinations in its order (instances of the user's options
//   file are left out); the port is the queue's "device-uri", the driver name its
//   "printer-make-and-model".
// - A raw document is one job of format application/vnd.cups-raw named after the document,
//   streamed to the scheduler as it is written. The job asks for exactly one copy, so a
//   queue's default copy count never multiplies the job; nothing else is asked, as the job
//   stream carries every setting itself.
// - Aborting (or destroying an unended document) cancels the job on the scheduler.
// - The default printer is the user's default destination (LPDEST/PRINTER, the user's
//   options file, else the scheduler's default).
// - A scheduler that cannot be reached lists no printers and opens none.
#pragma once

#include "platform/spooler/Spooler.h"

namespace nv::platform {

class CupsSpooler : public ISpooler {
public:
    std::vector<PrinterInfo> EnumPrinters() override;
    std::unique_ptr<IPrinter> OpenPrinter(const CString& name) override;
    CString GetDefaultPrinter() override;
};

} // namespace nv::platform
