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
//   send, gives up after 10 seconds for a job and after 0.75 seconds for listing and looking up
//   printers (NORVANE_SCHEDULER_TIMEOUT, in whole seconds from 1 to 3600, sets both limits).
//   So a scheduler that takes connections and never answers costs a listing under 2 seconds.
//   A scheduler that used up a limit counts as stalled from then on, and one that could not be
//   reached at all as unreachable: neither is asked again to list, look up or open printers,
//   so listing waits on it at most once per run; starting, following and cancelling a job
//   still ask it, within the limit.
// - Listing and looking up keep one connection for the spooler's lifetime. The listing is one
//   CUPS-Get-Printers request for every queue's name, model, device URI and state; looking up a
//   listed printer, and reading its driver record, take what the listing learnt. Opening a
//   printer for a job asks for that one queue again (Get-Printer-Attributes on the same
//   connection), so a queue removed since the listing is not printed to. The driver folder is
//   read once per spooler.
// - Listing and opening ask the scheduler for its queues only (CUPS-Get-Printers and
//   Get-Printer-Attributes): printers merely discovered on the network have no queue to take a
//   raw job, and looking for them would wait on network browsing.
#pragma once

#include "platform/spooler/Spooler.h"
#include "platform/spooler/posix/DriverDirectory.h"

#include <memory>
#include <unordered_map>

namespace nv::platform {

// The scheduler as one spooler sees it (its time limits, whether it answers, the connection
// kept for lookups), shared with the printers and documents it hands out.
struct SchedulerLink;

// What the scheduler says of one queue.
struct QueueRecord {
    CString name;
    CString deviceUri;
    CString makeAndModel;
    QueueStatus status;
};

class CupsSpooler : public ISpooler {
public:
    // The time limit from NORVANE_SCHEDULER_TIMEOUT, else 10 seconds.
    CupsSpooler();
    // The time limit TIMEOUT_MS for every wait (tests).
    explicit CupsSpooler(int timeoutMs);
    ~CupsSpooler() override;

    std::vector<PrinterInfo> EnumPrinters() override;
    std::optional<PrinterInfo> FindPrinter(const CString& name) override;
    std::unique_ptr<IPrinter> OpenPrinter(const CString& name) override;
    CString GetDefaultPrinter() override;
    BOOL GetPrinterDriver(const CString& name, DriverInfo* info) override;
    // From the last listing, or the last opening of the queue; no request.
    std::optional<QueueStatus> GetQueueStatus(const CString& name) override;
    std::optional<JobState> GetJobState(const CString& printer, DWORD job) override;
    SchedulerSilence SchedulerProblem(CString* server) const override;

private:
    CupsSpooler(int timeoutMs, int lookupTimeoutMs);

    std::shared_ptr<SchedulerLink> link_;
    std::shared_ptr<DriverDirectoryCache> drivers_;
    std::unordered_map<CString, QueueRecord> known_; // by the last listing and openings
};

} // namespace nv::platform
