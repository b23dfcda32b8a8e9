// What a printer model can do, as its capability file says: the command dialect of its job
// header, the option flags and the job-info library. The dialog holds one of these for the
// chosen printer; the job header is composed from it without the dialog.
#pragma once

#include "platform/wintypes.h"

namespace nv {

// The command dialect of a model's job header ("DPTray" in the capability file). The value is
// also the number the file gives, which picks the command library.
enum PrinterDialect : UINT {
    // Library C: options as job-ticket attributes, the owner line and three fixed lines.
    kDialectTicket = 0,
    // Library A without page ranges or owner.
    kDialectPlain = 1,
    // Library B: a ticket that repeats each value in lower case; no password.
    kDialectLowerCaseTicket = 2,
    // Library A with manual feed and media source as separate lines, the range as job start.
    kDialectMediaSource = 3,
    kDialectMediaSourceAlike = 4, // the same header as kDialectMediaSource
};

// The highest printer type ("DPTray") there is a command dialect for.
inline constexpr UINT kMaxPrinterType = kDialectMediaSourceAlike;

struct PrinterCapability {
    CString m_strDriverName = {}; // the driver whose model section describes the printer
    CString m_strCapFile = {};    // the capability file, read again for the paper sources
    PrinterDialect m_nPrinterType = kDialectTicket;
    BOOL m_bCanDuplex = FALSE;
    BOOL m_bCanCollate = FALSE;
    BOOL m_bCanFitToPage = FALSE;
    BOOL m_bRangeWithDuplex = FALSE; // a page range may go with duplex
    BOOL m_bRangeWithCopies = FALSE; // a page range may go with uncollated copies
    BOOL m_bCanPageRange = FALSE;
    BOOL m_bOpenEndRange = FALSE; // a blank end page means "to the last page"
    BOOL m_bCanPassword = FALSE;
    BOOL m_bHasJobInfoDll = FALSE;
    CString m_strJobInfoDll = {}; // the job-info library's file name in the driver folder
};

enum class CapabilityRead {
    taken,       // the type and every flag were taken over
    typeOnly,    // "DirectPrint" is 0: only the type was taken over
    unknownType, // "DPTray" is above kMaxPrinterType: nothing changed
};

// Reads the model of DRIVERNAME in CAPFILE into CAPABILITY: its type, its flags and its
// job-info library. The driver and file members are the caller's and stay as they are.
CapabilityRead ReadCapability(const CString& driverName, const CString& capFile,
                              PrinterCapability& capability);

} // namespace nv
