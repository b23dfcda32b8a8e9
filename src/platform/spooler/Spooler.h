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
    // loaded from. The spooler gives it from the driver's own record; it is never found by
    // cutting driverPath, whose file name (the driver's name) may itself hold a separator.
    CString directory = {};
};

// A raw document: the record given when a document is started.
struct DocInfo {
    CString docName;                 // the name the queue shows
    std::optional<CString> datatype; // none: the printer's default datatype
    // Asked while a start or a write waits on the printer (about every 100 ms, and when a
    // signal interrupts the wait); true gives the wait up and the call fails with
    // SpoolError::cancelled. None: waits run to their own time limit.
    std::function<bool()> cancelRequested = {};
};

// Why the last call of a printer or a document failed.
enum class SpoolError {
    none,             // nothing failed
    refused,          // the printer refused the connection (nobody listens, no reader on a pipe)
    reset,            // the printer broke the connection off while the job was sent
    timedOut,         // the printer took nothing for the whole time limit
    scheduler,        // the print scheduler could not be reached or refused the job
    diskFull,         // no space left on the device a file port writes to
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

    // The user's default printer's name, or empty when there is none.
    virtual CString GetDefaultPrinter() = 0;
};

// Writes all SIZE bytes of DATA, repeating short writes. Returns TRUE when every byte was
// taken, FALSE on the first failure or when a write takes nothing.
BOOL WriteAll(IPrintDocument& doc, const void* data, DWORD size);

} // namespace nv::platform
