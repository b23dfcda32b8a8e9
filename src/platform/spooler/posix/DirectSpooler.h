// Printers reached without a scheduler, listed in a printers file (format in PrintersFile.h).
//
// The printers file is $NORVANE_PRINTERS when that is set and not empty; otherwise the user's
// file $XDG_CONFIG_HOME/velmora-quillet/printers.ini (an unset, empty or relative
// XDG_CONFIG_HOME means $HOME/.config) followed by the system's file
// /etc/velmora-quillet/printers.ini; a name in both is taken from the user's file.
//
// Ports:
// - socket://host[:port] (AppSocket, port 9100 by default; an IPv6 address in brackets). The
//   connection is made when a document starts; connecting and each write give up after
//   30 seconds. Until the document is ended the connection is reset when closed (linger 0),
//   so a job aborted, or broken off by the end of the process, never looks complete to the
//   printer. Ending the document closes the sending side and waits for the printer to close
//   (while it answers, up to ten timeouts; silence for one timeout ends the wait), so the
//   printer has taken every byte.
// - file:///path (percent escapes decoded). A regular file is written under a temporary
//   name in the same folder and renamed to the path when the document ends, so the path only
//   ever holds complete documents; aborting removes the temporary file. A path that exists and
//   is not a regular file (a device, a pipe) is written directly, without blocking: a pipe
//   nobody reads refuses the document, and a write that finds no room for 30 seconds fails.
//
// Waits on a printer ask the document's DocInfo::cancelRequested every 100 ms and after each
// signal, and give up when it says so. Failures say their cause through LastError.
//
// The default printer: none (the scheduler supplies it).
#pragma once

#include "platform/spooler/Spooler.h"
#include "platform/spooler/posix/DriverDirectory.h"
#include "platform/spooler/posix/PrintersFile.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace nv::platform {

// The timeout of connecting and of each write on a socket port, in milliseconds.
inline constexpr int kDirectSocketTimeoutMs = 30000;

class DirectSpooler : public ISpooler {
public:
    // Looks at the printers files named above on every call (a file is parsed again only when it
    // changed).
    DirectSpooler() = default;
    // Reads only the file at PATH (tests); waits on printers give up after TIMEOUTMS.
    explicit DirectSpooler(std::string path, int timeoutMs = kDirectSocketTimeoutMs);
    // Reads only the files at PATHS, the first one first (tests).
    explicit DirectSpooler(std::vector<std::string> paths);

    std::vector<PrinterInfo> EnumPrinters() override;
    std::optional<PrinterInfo> FindPrinter(const CString& name) override;
    std::unique_ptr<IPrinter> OpenPrinter(const CString& name) override;
    CString GetDefaultPrinter() override;
    // The printers past a file's size bound (kMaxPrintersFileBytes), by the last look at the
    // files.
    std::optional<LeftOutPrinters> LeftOut() const override { return leftOut_; }

private:
    std::vector<std::string> Files() const;
    // Looks at the files and, when one changed, lists their printers afresh: each name once,
    // from the first file that has it, in file order.
    void Refresh();
    // The listed printer called NAME, or null (after Refresh).
    const DirectPrinterEntry* Listed(const CString& name) const;

    std::vector<std::string> paths_;
    PrintersFileCache files_;
    // The listing of the files LISTEDFILES_ at change count LISTEDCHANGES_ of FILES_.
    std::vector<std::string> listedFiles_;
    std::size_t listedChanges_ = 0;
    bool listedOnce_ = false;
    std::vector<const DirectPrinterEntry*> listed_;
    std::unordered_map<std::string_view, std::size_t> byName_; // index into LISTED_
    std::optional<LeftOutPrinters> leftOut_;
    int timeoutMs_ = kDirectSocketTimeoutMs;
    // The driver folder, read once for every printer this spooler opens.
    std::shared_ptr<DriverDirectoryCache> drivers_ = std::make_shared<DriverDirectoryCache>();
};

} // namespace nv::platform
