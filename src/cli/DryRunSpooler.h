// A spooler that lists and opens the printers of another one, but whose documents are written
// to one file instead of being sent: the job stream a dry run produces is exactly the bytes
// the real printer would have been given.
#pragma once

#include "cli/ForwardingSpooler.h"
#include "platform/spooler/Spooler.h"

#include <string>

namespace nv::cli {

class DryRunSpooler final : public ForwardingSpooler {
public:
    // Printers and driver records come from REAL; every document goes to PATH, which must not
    // be the file at INPUTPATH.
    DryRunSpooler(platform::ISpooler& real, std::string path, std::string inputPath = {})
        : ForwardingSpooler(real), path_(std::move(path)), inputPath_(std::move(inputPath)) {}

    std::unique_ptr<platform::IPrinter> OpenPrinter(const CString& name) override;

private:
    std::string path_;
    std::string inputPath_;
};

// A raw document written to PATH. For a regular file, or none yet, the bytes go to a temporary
// file of unpredictable name created exclusively beside it (beside the file a link names),
// which replaces it when the document ends, so PATH only ever holds a whole job; aborting, or
// destroying the document before it ended, removes the temporary file. A character device or a
// FIFO takes the bytes directly (a FIFO needs a reader within a few seconds). Null when PATH is
// anything else, is the file at INPUTPATH, or cannot be written.
// *ERROR (when given) says why it could not start: folderUnwritable, deviceUnwritable or other.
std::unique_ptr<platform::IPrintDocument> StartFileDocument(const std::string& path,
                                                            const std::string& inputPath = {},
                                                            platform::SpoolError* error = nullptr);

// Why a dry run refuses the file it was given: a folder, a block device, something else that
// is neither a file nor a character device or FIFO (pipe on Windows), the document itself, a
// link to nothing, a name the system cannot take, a missing folder, or a system error.
enum class DryRunRefusal {
    none,
    folder,
    blockDevice,
    notFileDeviceOrFifo,
    notFileDeviceOrPipe,
    input,
    danglingLink,
    badName,
    noFolder,
    system,
};

struct DryRunProblem {
    DryRunRefusal reason = DryRunRefusal::none;
    unsigned long systemError = 0; // system: errno, or GetLastError on Windows
};

// Why a dry run cannot write its job to PATH, the file at INPUTPATH being the document;
// reason none when it may.
DryRunProblem DryRunFileProblem(const std::string& path, const std::string& inputPath);

} // namespace nv::cli
