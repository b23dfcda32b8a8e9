// The CUPS scheduler as a spooler, through libcups. The scheduler is the one libcups finds on
// its own (CUPS_SERVER, client.conf, else the local scheduler), so a remote server works too.
//
// - Printers are the scheduler's queues (printers and classes) ordered by name without regard
//   to ASCII case, as libcups orders destinations; the port is the queue's "device-uri", the
//   driver name its "printer-make-and-model".
// - A raw document is one job of format application/vnd.cups-raw named after the document,
//   streamed to the scheduler as it is written. The job asks for exactly one copy, so a
//   queue's default copy count never multiplies the job; nothing else is asked, as the job
//   stream carries every setting itself. The job's name is the document name made a valid
//   IPP name (bytes that are not UTF-8 become '?', at most 255 bytes), which the queue would
//   otherwise show as "Untitled".
// - Aborting (or destroying an unended document) cancels the job on the scheduler.
// - The default printer is the user's default destination (LPDEST/PRINTER, the user's
//   options file, else the scheduler's default).
// - A scheduler that cannot be reached lists no printers and opens none.
// - Every request has a time limit: connecting, and each wait for an answer or for room to
//   send, gives up after 10 seconds (NORVANE_SCHEDULER_TIMEOUT, in whole seconds from 1 to
//   3600, sets another limit). A scheduler that used up a limit counts as stalled from then on:
//   it is not asked again to list, look up or open printers, so listing waits on it at most
//   once per run; starting and cancelling a job still ask it, within the limit.
// - Listing and opening ask the scheduler for its queues only (CUPS-Get-Printers and
//   Get-Printer-Attributes on the one connection): printers merely discovered on the network
//   have no queue to take a raw job, and looking for them would wait on network browsing.
#pragma once

#include "platform/spooler/Spooler.h"

#include <memory>

namespace nv::platform {

// The scheduler as one spooler sees it, shared with the printers and documents it hands out.
struct SchedulerLink {
    int timeoutMs = 0;    // limit of each wait on the scheduler
    bool stalled = false; // a wait used up its limit: lookups no longer ask the scheduler
};

class CupsSpooler : public ISpooler {
public:
    // The time limit from NORVANE_SCHEDULER_TIMEOUT, else 10 seconds.
    CupsSpooler();
    // The time limit TIMEOUT_MS (tests).
    explicit CupsSpooler(int timeoutMs);

    std::vector<PrinterInfo> EnumPrinters() override;
    std::optional<PrinterInfo> FindPrinter(const CString& name) override;
    std::unique_ptr<IPrinter> OpenPrinter(const CString& name) override;
    CString GetDefaultPrinter() override;

private:
    std::shared_ptr<SchedulerLink> link_;
};

} // namespace nv::platform
