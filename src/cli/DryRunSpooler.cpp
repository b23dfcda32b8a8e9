#include "cli/DryRunSpooler.h"

namespace nv::cli {

namespace {

class DryRunPrinter final : public platform::IPrinter {
public:
    DryRunPrinter(std::unique_ptr<platform::IPrinter> real, std::string path, std::string inputPath)
        : real_(std::move(real)), path_(std::move(path)), inputPath_(std::move(inputPath)) {}

    const CString& Name() const override { return real_->Name(); }
    BOOL GetPrinterDriver(platform::DriverInfo* info) override {
        return real_->GetPrinterDriver(info);
    }
    std::unique_ptr<platform::IPrintDocument> StartDocPrinter(const platform::DocInfo&) override {
        error_ = platform::SpoolError::none;
        return StartFileDocument(path_, inputPath_, &error_);
    }
    platform::SpoolError LastError() const override { return error_; }

private:
    std::unique_ptr<platform::IPrinter> real_;
    std::string path_;
    std::string inputPath_;
    platform::SpoolError error_ = platform::SpoolError::none;
};

} // namespace

std::unique_ptr<platform::IPrinter> DryRunSpooler::OpenPrinter(const CString& name) {
    auto real = real_.OpenPrinter(name);
    if (!real) {
        return nullptr;
    }
    return std::make_unique<DryRunPrinter>(std::move(real), path_, inputPath_);
}

} // namespace nv::cli
