// A spooler that lists and opens the printers of another one, but whose documents are written
// to one file instead of being sent: the job stream a dry run produces is exactly the bytes
// the real printer would have been given.
#pragma once

#include "platform/spooler/Spooler.h"

#include <string>

namespace nv::cli {

class DryRunSpooler final : public platform::ISpooler {
public:
    // Printers and driver records come from REAL; every document goes to PATH.
    DryRunSpooler(platform::ISpooler& real, std::string path)
        : real_(real), path_(std::move(path)) {}

    std::vector<platform::PrinterInfo> EnumPrinters() override { return real_.EnumPrinters(); }
    std::optional<platform::PrinterInfo> FindPrinter(const CString& name) override {
        return real_.FindPrinter(name);
    }
    std::unique_ptr<platform::IPrinter> OpenPrinter(const CString& name) override;
    CString GetDefaultPrinter() override { return real_.GetDefaultPrinter(); }

private:
    platform::ISpooler& real_;
    std::string path_;
};

// A raw document written to the file at PATH: the bytes go to a temporary file beside it,
// which replaces PATH when the document ends, so PATH only ever holds a whole job. Aborting,
// or destroying the document before it ended, removes the temporary file. Null when the
// temporary file cannot be created.
std::unique_ptr<platform::IPrintDocument> StartFileDocument(const std::string& path);

} // namespace nv::cli
