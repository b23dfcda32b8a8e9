#include "app/JobProgressRelay.h"

namespace nv {

class JobProgressRelay::WatchingDocument final : public platform::IPrintDocument {
public:
    WatchingDocument(std::unique_ptr<platform::IPrintDocument> real, JobProgressRelay& relay)
        : real_(std::move(real)), relay_(relay) {}
    ~WatchingDocument() override {
        real_.reset();
        relay_.DocumentReleased();
    }
    DWORD JobId() const override { return real_->JobId(); }
    BOOL WritePrinter(const void* data, DWORD size, DWORD* written) override {
        return real_->WritePrinter(data, size, written);
    }
    BOOL EndDocPrinter() override { return real_->EndDocPrinter(); }
    BOOL AbortDocPrinter() override { return real_->AbortDocPrinter(); }
    platform::SpoolError LastError() const override { return real_->LastError(); }

private:
    std::unique_ptr<platform::IPrintDocument> real_;
    JobProgressRelay& relay_;
};

class JobProgressRelay::WatchingPrinter final : public platform::IPrinter {
public:
    WatchingPrinter(std::unique_ptr<platform::IPrinter> real, JobProgressRelay& relay)
        : real_(std::move(real)), relay_(relay) {}
    const CString& Name() const override { return real_->Name(); }
    BOOL GetPrinterDriver(platform::DriverInfo* info) override {
        return real_->GetPrinterDriver(info);
    }
    platform::SpoolError LastError() const override { return real_->LastError(); }
    std::unique_ptr<platform::IPrintDocument>
    StartDocPrinter(const platform::DocInfo& doc) override {
        auto document = real_->StartDocPrinter(doc);
        if (!document) {
            return nullptr;
        }
        return std::make_unique<WatchingDocument>(std::move(document), relay_);
    }

private:
    std::unique_ptr<platform::IPrinter> real_;
    JobProgressRelay& relay_;
};

class JobProgressRelay::WatchingSpooler final : public platform::ISpooler {
public:
    WatchingSpooler(platform::ISpooler& real, JobProgressRelay& relay)
        : real_(real), relay_(relay) {}
    std::vector<platform::PrinterInfo> EnumPrinters() override { return real_.EnumPrinters(); }
    std::optional<platform::PrinterInfo> FindPrinter(const CString& name) override {
        return real_.FindPrinter(name);
    }
    std::unique_ptr<platform::IPrinter> OpenPrinter(const CString& name) override {
        auto printer = real_.OpenPrinter(name);
        if (!printer) {
            return nullptr;
        }
        return std::make_unique<WatchingPrinter>(std::move(printer), relay_);
    }
    CString GetDefaultPrinter() override { return real_.GetDefaultPrinter(); }

private:
    platform::ISpooler& real_;
    JobProgressRelay& relay_;
};

JobProgressRelay::JobProgressRelay(platform::ISpooler& spooler, platform::IJobProgress& progress)
    : progress_(progress), spooler_(std::make_unique<WatchingSpooler>(spooler, *this)) {}

JobProgressRelay::~JobProgressRelay() = default;

platform::ISpooler& JobProgressRelay::Spooler() {
    return *spooler_;
}

std::function<void(std::uint64_t, std::uint64_t)> JobProgressRelay::Hook() {
    return [this](std::uint64_t sent, std::uint64_t total) { Advanced(sent, total); };
}

void JobProgressRelay::Advanced(std::uint64_t sent, std::uint64_t total) {
    if (!started_) {
        started_ = true;
        progress_.Started(total);
    }
    progress_.Advanced(sent);
}

void JobProgressRelay::DocumentReleased() {
    if (started_) {
        started_ = false;
        progress_.Finished();
    }
}

} // namespace nv
