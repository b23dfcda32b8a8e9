// The Windows print spooler through winspool: the printers the spooler lists, their driver
// records (driver path and dependent files as the driver was installed) and raw documents.
#pragma once

#include "platform/spooler/Spooler.h"

namespace nv::platform {

class WinSpooler final : public ISpooler {
public:
    // Local and connected printers, in the spooler's order.
    std::vector<PrinterInfo> EnumPrinters() override;
    std::unique_ptr<IPrinter> OpenPrinter(const CString& name) override;
    CString GetDefaultPrinter() override;
};

} // namespace nv::platform
