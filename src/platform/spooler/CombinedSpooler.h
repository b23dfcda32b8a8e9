// A spooler made of several: enumeration lists each part's printers in turn (the first part's
// first), and a name opens on the first part that knows it. A part that cannot be reached
// simply lists no printers.
#pragma once

#include "platform/spooler/Spooler.h"

#include <memory>
#include <vector>

namespace nv::platform {

class CombinedSpooler : public ISpooler {
public:
    explicit CombinedSpooler(std::vector<std::unique_ptr<ISpooler>> parts);

    std::vector<PrinterInfo> EnumPrinters() override;
    std::unique_ptr<IPrinter> OpenPrinter(const CString& name) override;
    // The first non-empty default of the parts, in order.
    CString GetDefaultPrinter() override;

private:
    std::vector<std::unique_ptr<ISpooler>> parts_;
};

} // namespace nv::platform
