// A spooler made of several: enumeration lists each part's printers in turn (the first part's
// first), and a name opens on the first part that knows it. A part that cannot be reached
// simply lists no printers.
//
// A name the last enumeration listed is looked up and opened on the part that listed it first,
// without asking the parts before it: a direct printer never waits on a scheduler, and each of
// many listed printers costs one lookup, not one per part. Other names (and a listed printer
// that has since gone from its part) are looked for in every part, in order.
#pragma once

#include "platform/spooler/Spooler.h"

#include <cstddef>
#include <memory>
#include <unordered_map>
#include <vector>

namespace nv::platform {

class CombinedSpooler : public ISpooler {
public:
    explicit CombinedSpooler(std::vector<std::unique_ptr<ISpooler>> parts);

    std::vector<PrinterInfo> EnumPrinters() override;
    std::optional<PrinterInfo> FindPrinter(const CString& name) override;
    std::unique_ptr<IPrinter> OpenPrinter(const CString& name) override;
    // The first non-empty default of the parts, in order.
    CString GetDefaultPrinter() override;
    BOOL GetPrinterDriver(const CString& name, DriverInfo* info) override;
    std::optional<QueueStatus> GetQueueStatus(const CString& name) override;
    std::optional<JobState> GetJobState(const CString& printer, DWORD job) override;
    // The first part's problem that is not none.
    SchedulerSilence SchedulerProblem(CString* server) const override;
    // The parts' counts added up, the place of the first part that left printers out.
    std::optional<LeftOutPrinters> LeftOut() const override;

private:
    // The part that listed NAME first in the last enumeration; the number of parts when none.
    std::size_t OwnerOf(const CString& name) const;

    std::vector<std::unique_ptr<ISpooler>> parts_;
    std::unordered_map<CString, std::size_t> listedBy_; // name -> part, by the last enumeration
};

} // namespace nv::platform
