// A spooler that hands every call to another one: the front end's spoolers derive from it and
// change only how printers are opened.
#pragma once

#include "platform/spooler/Spooler.h"

namespace nv::cli {

class ForwardingSpooler : public platform::ISpooler {
public:
    explicit ForwardingSpooler(platform::ISpooler& real) : real_(real) {}

    std::vector<platform::PrinterInfo> EnumPrinters() override { return real_.EnumPrinters(); }
    std::optional<platform::PrinterInfo> FindPrinter(const CString& name) override {
        return real_.FindPrinter(name);
    }
    std::unique_ptr<platform::IPrinter> OpenPrinter(const CString& name) override {
        return real_.OpenPrinter(name);
    }
    CString GetDefaultPrinter() override { return real_.GetDefaultPrinter(); }
    BOOL GetPrinterDriver(const CString& name, platform::DriverInfo* info) override {
        return real_.GetPrinterDriver(name, info);
    }
    std::optional<platform::QueueStatus> GetQueueStatus(const CString& name) override {
        return real_.GetQueueStatus(name);
    }
    std::optional<platform::JobState> GetJobState(const CString& printer, DWORD job) override {
        return real_.GetJobState(printer, job);
    }
    platform::SchedulerSilence SchedulerProblem(CString* server) const override {
        return real_.SchedulerProblem(server);
    }
    std::optional<platform::LeftOutPrinters> LeftOut() const override { return real_.LeftOut(); }

protected:
    platform::ISpooler& real_;
};

} // namespace nv::cli
