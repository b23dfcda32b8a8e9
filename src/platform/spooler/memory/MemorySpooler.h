// In-memory spoolers for tests: printers, drivers and dependent files are set up by the test;
// every job is recorded (document name, datatype, every byte written, how it ended). The
// failing variant fails, or takes fewer bytes than asked, once a job has taken N bytes, so the
// abort paths of the job sequence can be driven.
#pragma once

#include "platform/spooler/Spooler.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nv::platform {

// One job as the memory spooler saw it.
struct RecordedJob {
    CString printer;
    CString docName;
    std::optional<CString> datatype;
    std::string data;              // every byte taken, in order
    std::vector<DWORD> writeSizes; // the size asked for by each WritePrinter call
    bool ended = false;            // EndDocPrinter succeeded
    bool aborted = false;          // cancelled (AbortDocPrinter, or destroyed unended)
};

// How a failing spooler misbehaves once its byte limit is reached.
enum class FailMode {
    failWrite, // the write that would cross the limit takes what fits and then writes fail
    shortWrite // writes take at most what is left below the limit, then take nothing (TRUE, 0)
};

class MemorySpooler : public ISpooler {
public:
    MemorySpooler();
    ~MemorySpooler() override;

    // Adds a printer; enumeration lists printers in the order added. The driver record is
    // returned as given (its name is the entry's driver name when left empty, its directory the
    // part of its driver path up to the last '/' or '\\' when left empty).
    void AddPrinter(const PrinterInfo& printer, const DriverInfo& driver);
    // A printer that is listed but whose driver record cannot be read.
    void AddPrinterWithoutDriver(const PrinterInfo& printer);
    void SetDefaultPrinter(const CString& name);
    // Makes OpenPrinter fail for NAME although it is listed.
    void SetUnopenable(const CString& name);
    // Makes StartDocPrinter fail on every printer.
    void SetStartDocFails(bool fails);
    // Makes EndDocPrinter fail (the job is then cancelled, as on a real spooler).
    void SetEndDocFails(bool fails);
    // The cause every failure reports through LastError (SpoolError::other unless set).
    void SetFailureCause(SpoolError cause);
    // What LeftOut reports (none unless set).
    void SetLeftOut(std::optional<LeftOutPrinters> left) { leftOut_ = std::move(left); }
    std::optional<LeftOutPrinters> LeftOut() const override { return leftOut_; }

    // Every job started, in order.
    const std::vector<RecordedJob>& Jobs() const;
    // Printer handles open right now (to check that every path closes what it opened).
    int OpenHandles() const;
    // Documents that exist right now (started and not yet destroyed).
    int LiveDocuments() const;

    std::vector<PrinterInfo> EnumPrinters() override;
    std::unique_ptr<IPrinter> OpenPrinter(const CString& name) override;
    CString GetDefaultPrinter() override;

    struct State;

protected:
    // Limits every job to LIMIT bytes, misbehaving as MODE says once it is reached.
    void SetByteLimit(std::uint64_t limit, FailMode mode);

private:
    std::optional<LeftOutPrinters> leftOut_;
    std::shared_ptr<State> state_;
};

// A memory spooler whose jobs fail (or write short) after LIMIT bytes each.
class FailingSpooler : public MemorySpooler {
public:
    FailingSpooler(std::uint64_t limit, FailMode mode) { SetByteLimit(limit, mode); }
};

} // namespace nv::platform
