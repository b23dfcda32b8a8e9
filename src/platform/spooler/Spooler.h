// The print spooler as the program sees it: the installed printers, the driver record of a
// printer (whose dependent files name the capability files) and raw documents written to a
// printer. Calls keep the shape of the platform's spooler calls; handles are objects that
// release what they hold when destroyed.
//
// Lifetimes: a printer handle and a document are independent objects. A document owns the job
// it started, so it may outlive the printer handle it was started on; destroying a document
// that was not ended cancels its job, so a started job never prints in part.
#pragma once

#include "platform/wintypes.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace nv::platform {

// One entry of the printer enumeration.
struct PrinterInfo {
    CString name;   // printer name as the spooler lists it
    CString port;   // where the printer's jobs go (a device URI on Linux)
    CString driver; // the driver's name, the key into the capability files
};

// The driver record of a printer.
struct DriverInfo {
    CString name;       // the driver's name (equal to PrinterInfo::driver)
    CString driverPath; // full path of the driver "file": a path inside the driver directory,
                        // whose directory part is that directory (the file need not exist)
    std::vector<CString> dependentFiles; // full paths, in the driver's order
    // The driver's folder, ending in the path separator: where the driver's side libraries are
    // loaded from. On Windows it is the folder of driverPath (up to and including its last
    // backslash). Elsewhere the spooler gives it from the driver's own record, never by cutting
    // driverPath, whose file name (the driver's name) may itself hold a separator there.
    CString directory = {};
};

// What a queue is doing, where the spooler tells it.
enum class QueueState { unknown, idle, printing, paused };

struct QueueStatus {
    QueueState state = QueueState::unknown;
    bool accepting = true; // whether the queue takes new jobs
    CString message;       // the queue's own state message; empty when it has none
};

// Where a job handed to the spooler is (the spooler's own job states).
enum class JobState { pending, held, processing, stopped, cancelled, aborted, completed };

// Why a scheduler could not be asked: it is not there (nobody listens where it should), or it
// took the connection and never answered within the time limit.
enum class SchedulerSilence { none, unreachable, silent };

// A raw document: the record given when a document is started.
struct DocInfo {
    CString docName;                 // the name the queue shows
    std::optional<CString> datatype; // none: the printer's default datatype
    // Asked while a start or a write waits on the printer (about every 100 ms, and when a
    // signal interrupts the wait); true gives the wait up and the call fails with
    // SpoolError::cancelled. None: waits run to their own time limit.
    std::function<bool()> cancelRequested = {};
    // None: ending a document that goes to a socket waits for the printer as usual. A value:
    // ending it waits up to that many milliseconds for the printer to close its side, however
    // long the printer stays silent (the front end's --wait); EndState then tells whether it did.
    std::optional<int> closeWaitMs = {};
};

// Why the last call of a printer or a document failed.
enum class SpoolError {
    none,             // nothing failed
    refused,          // the printer refused the connection (nobody listens, no reader on a pipe)
    reset,            // the printer broke the connection off while the job was sent
    timedOut,         // the printer took nothing for the whole time limit
    scheduler,        // the print scheduler could not be reached or refused the job
    diskFull,         // no space left on the device a file port writes to
    hostUnknown,      // the host name of the printer's address does not resolve
    cancelled,        // the caller's cancelRequested said so
    folderUnwritable, // the folder of the file written to is missing or read-only
    deviceUnwritable, // the device written to cannot be opened for writing
    other             // any other failure, or a spooler that does not tell
};

// A started raw document (one spooler job).
class IPrintDocument {
public:
    // Cancels the job unless EndDocPrinter succeeded or AbortDocPrinter ran.
    virtual ~IPrintDocument() = default;

    // The spooler's job number (0 when the spooler has none).
    virtual DWORD JobId() const = 0;

    // Writes up to SIZE bytes of DATA. Returns TRUE and the count taken in *WRITTEN (may be
    // less than SIZE: the caller writes the rest again), or FALSE on failure (*WRITTEN = 0).
    // After a failure, or after the document was ended or aborted, every write fails.
    virtual BOOL WritePrinter(const void* data, DWORD size, DWORD* written) = 0;

    // Ends the document: the job is complete and may print. Returns TRUE on success; on
    // failure the job is cancelled and FALSE returned. Fails when already ended or aborted.
    virtual BOOL EndDocPrinter() = 0;

    // Cancels the job: nothing of it prints. Returns TRUE when the job is cancelled (or there
    // was nothing left to cancel), FALSE when the spooler refused. Idempotent.
    virtual BOOL AbortDocPrinter() = 0;

    // Why the last failed WritePrinter or EndDocPrinter failed (none while nothing failed).
    virtual SpoolError LastError() const { return SpoolError::other; }

    // After a successful EndDocPrinter of a document that goes straight to a printer and was
    // started with DocInfo::closeWaitMs: completed when the printer read everything and closed
    // its side, processing when the wait ran out first or was stopped. None for other documents
    // (a scheduler's job is followed through ISpooler::GetJobState).
    virtual std::optional<JobState> EndState() const { return std::nullopt; }
};

// An open printer. Closes on destruction.
class IPrinter {
public:
    virtual ~IPrinter() = default;

    virtual const CString& Name() const = 0;

    // Fills *INFO with the printer's driver record; returns TRUE, or FALSE when the driver
    // record cannot be read (*INFO is then left as it was).
    virtual BOOL GetPrinterDriver(DriverInfo* info) = 0;

    // Starts a raw document. Returns the document, or null when the spooler refuses.
    virtual std::unique_ptr<IPrintDocument> StartDocPrinter(const DocInfo& doc) = 0;

    // Why the last StartDocPrinter returned null.
    virtual SpoolError LastError() const { return SpoolError::other; }
};

// Printers that a bound of the spooler's own kept out of its enumeration.
struct LeftOutPrinters {
    std::size_t count = 0;      // how many
    bool atLeast = false;       // there may be more than COUNT
    CString source;             // where they are listed (the first such place)
    std::size_t boundBytes = 0; // the size bound of SOURCE that left them out
};

class ISpooler {
public:
    virtual ~ISpooler() = default;

    // Every installed printer, in the spooler's order. Empty when there are none or the
    // spooler cannot be reached.
    virtual std::vector<PrinterInfo> EnumPrinters() = 0;

    // The enumeration entry of the printer called NAME: the first entry EnumPrinters would list
    // whose name equals NAME byte for byte, or none. A spooler may answer it without listing
    // every printer, so looking up one printer does not cost a whole enumeration.
    virtual std::optional<PrinterInfo> FindPrinter(const CString& name) {
        for (PrinterInfo& printer : EnumPrinters()) {
            if (printer.name == name) {
                return std::move(printer);
            }
        }
        return std::nullopt;
    }

    // Opens the printer called NAME; null when no such printer exists or it cannot be reached.
    virtual std::unique_ptr<IPrinter> OpenPrinter(const CString& name) = 0;

    // The driver record of the printer called NAME, as the printer opened by OpenPrinter gives
    // it. A spooler may answer from its last enumeration without opening the printer, so that
    // finding the capability files of many listed printers costs no request per printer.
    virtual BOOL GetPrinterDriver(const CString& name, DriverInfo* info) {
        const std::unique_ptr<IPrinter> printer = OpenPrinter(name);
        return printer && printer->GetPrinterDriver(info) ? TRUE : FALSE;
    }

    // The state of the queue called NAME as the spooler last saw it; none when the spooler
    // does not tell (direct printers) or has no such queue.
    virtual std::optional<QueueStatus> GetQueueStatus(const CString& /*name*/) {
        return std::nullopt;
    }

    // The state of job JOB on the printer called PRINTER, asked afresh; none when the spooler
    // does not follow jobs or cannot be asked.
    virtual std::optional<JobState> GetJobState(const CString& /*printer*/, DWORD /*job*/) {
        return std::nullopt;
    }

    // Whether a scheduler this spooler asked did not answer, and where it is: SERVER gets the
    // scheduler's address when the user named one (CUPS_SERVER), else stays empty.
    virtual SchedulerSilence SchedulerProblem(CString* /*server*/) const {
        return SchedulerSilence::none;
    }

    // The user's default printer's name, or empty when there is none.
    virtual CString GetDefaultPrinter() = 0;

    // What the last EnumPrinters left out for a bound of the spooler's own; none when it
    // listed every printer it was given.
    virtual std::optional<LeftOutPrinters> LeftOut() const { return std::nullopt; }
};

// Writes all SIZE bytes of DATA, repeating short writes. Returns TRUE when every byte was
// taken, FALSE on the first failure or when a write takes nothing.
BOOL WriteAll(IPrintDocument& doc, const void* data, DWORD size);

} // namespace nv::platform
