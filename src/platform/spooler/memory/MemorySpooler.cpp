#include "platform/spooler/memory/MemorySpooler.h"

#include <algorithm>
#include <limits>

namespace nv::platform {

namespace {

struct MemoryPrinterEntry {
    PrinterInfo info;
    DriverInfo driver;
    bool hasDriver = true;
    bool openable = true;
};

} // namespace

struct MemorySpooler::State {
    std::vector<MemoryPrinterEntry> printers;
    CString defaultPrinter;
    std::vector<RecordedJob> jobs;
    bool startDocFails = false;
    bool endDocFails = false;
    SpoolError failureCause = SpoolError::other;
    std::uint64_t byteLimit = std::numeric_limits<std::uint64_t>::max();
    FailMode failMode = FailMode::failWrite;
    int openHandles = 0;
    int liveDocuments = 0;

    MemoryPrinterEntry* Find(const CString& name) {
        auto it = std::find_if(printers.begin(), printers.end(),
                               [&](const MemoryPrinterEntry& p) { return p.info.name == name; });
        return it == printers.end() ? nullptr : &*it;
    }
};

namespace {

class MemoryDocument : public IPrintDocument {
public:
    MemoryDocument(std::shared_ptr<MemorySpooler::State> state, std::size_t job)
        : state_(std::move(state)), job_(job) {
        ++state_->liveDocuments;
    }
    ~MemoryDocument() override {
        if (open_) {
            Job().aborted = true;
        }
        --state_->liveDocuments;
    }

    DWORD JobId() const override { return static_cast<DWORD>(job_ + 1); }

    BOOL WritePrinter(const void* data, DWORD size, DWORD* written) override {
        *written = 0;
        RecordedJob& job = Job();
        job.writeSizes.push_back(size);
        if (!open_ || failed_) {
            return FALSE;
        }
        const std::uint64_t taken = job.data.size();
        const std::uint64_t room = state_->byteLimit > taken ? state_->byteLimit - taken : 0;
        const DWORD take = static_cast<DWORD>(std::min<std::uint64_t>(size, room));
        job.data.append(static_cast<const char*>(data), take);
        *written = take;
        if (take < size && state_->failMode == FailMode::failWrite) {
            failed_ = true;
            error_ = state_->failureCause;
            *written = 0;
            return FALSE;
        }
        return TRUE;
    }

    SpoolError LastError() const override { return error_; }

    BOOL EndDocPrinter() override {
        if (!open_) {
            return FALSE;
        }
        open_ = false;
        if (state_->endDocFails || failed_) {
            error_ = state_->failureCause;
            Job().aborted = true;
            return FALSE;
        }
        Job().ended = true;
        return TRUE;
    }

    BOOL AbortDocPrinter() override {
        if (open_) {
            open_ = false;
            Job().aborted = true;
        }
        return TRUE;
    }

private:
    RecordedJob& Job() { return state_->jobs[job_]; }

    std::shared_ptr<MemorySpooler::State> state_;
    std::size_t job_;
    bool open_ = true;
    bool failed_ = false;
    SpoolError error_ = SpoolError::none;
};

class MemoryPrinter : public IPrinter {
public:
    MemoryPrinter(std::shared_ptr<MemorySpooler::State> state, CString name)
        : state_(std::move(state)), name_(std::move(name)) {
        ++state_->openHandles;
    }
    ~MemoryPrinter() override { --state_->openHandles; }

    const CString& Name() const override { return name_; }

    BOOL GetPrinterDriver(DriverInfo* info) override {
        const MemoryPrinterEntry* entry = state_->Find(name_);
        if (entry == nullptr || !entry->hasDriver) {
            return FALSE;
        }
        *info = entry->driver;
        return TRUE;
    }

    SpoolError LastError() const override { return error_; }

    std::unique_ptr<IPrintDocument> StartDocPrinter(const DocInfo& doc) override {
        if (state_->startDocFails || state_->Find(name_) == nullptr) {
            error_ = state_->failureCause;
            return nullptr;
        }
        RecordedJob job;
        job.printer = name_;
        job.docName = doc.docName;
        job.datatype = doc.datatype;
        state_->jobs.push_back(std::move(job));
        return std::make_unique<MemoryDocument>(state_, state_->jobs.size() - 1);
    }

private:
    std::shared_ptr<MemorySpooler::State> state_;
    CString name_;
    SpoolError error_ = SpoolError::none;
};

} // namespace

MemorySpooler::MemorySpooler() : state_(std::make_shared<State>()) {}
MemorySpooler::~MemorySpooler() = default;

void MemorySpooler::AddPrinter(const PrinterInfo& printer, const DriverInfo& driver) {
    MemoryPrinterEntry entry{printer, driver};
    if (entry.driver.name.empty()) {
        entry.driver.name = printer.driver;
    }
    if (entry.driver.directory.empty()) {
        const std::size_t separator = entry.driver.driverPath.find_last_of("/\\");
        if (separator != CString::npos) {
            entry.driver.directory = entry.driver.driverPath.substr(0, separator + 1);
        }
    }
    state_->printers.push_back(std::move(entry));
}

void MemorySpooler::AddPrinterWithoutDriver(const PrinterInfo& printer) {
    MemoryPrinterEntry entry{printer, {}};
    entry.hasDriver = false;
    state_->printers.push_back(std::move(entry));
}

void MemorySpooler::SetDefaultPrinter(const CString& name) {
    state_->defaultPrinter = name;
}

void MemorySpooler::SetUnopenable(const CString& name) {
    if (MemoryPrinterEntry* entry = state_->Find(name)) {
        entry->openable = false;
    }
}

void MemorySpooler::SetStartDocFails(bool fails) {
    state_->startDocFails = fails;
}
void MemorySpooler::SetEndDocFails(bool fails) {
    state_->endDocFails = fails;
}

void MemorySpooler::SetFailureCause(SpoolError cause) {
    state_->failureCause = cause;
}

void MemorySpooler::SetByteLimit(std::uint64_t limit, FailMode mode) {
    state_->byteLimit = limit;
    state_->failMode = mode;
}

const std::vector<RecordedJob>& MemorySpooler::Jobs() const {
    return state_->jobs;
}
int MemorySpooler::OpenHandles() const {
    return state_->openHandles;
}
int MemorySpooler::LiveDocuments() const {
    return state_->liveDocuments;
}

std::vector<PrinterInfo> MemorySpooler::EnumPrinters() {
    std::vector<PrinterInfo> result;
    for (const MemoryPrinterEntry& entry : state_->printers) {
        result.push_back(entry.info);
    }
    return result;
}

std::unique_ptr<IPrinter> MemorySpooler::OpenPrinter(const CString& name) {
    const MemoryPrinterEntry* entry = state_->Find(name);
    if (entry == nullptr || !entry->openable) {
        return nullptr;
    }
    return std::make_unique<MemoryPrinter>(state_, name);
}

CString MemorySpooler::GetDefaultPrinter() {
    return state_->defaultPrinter;
}

} // namespace nv::platform
