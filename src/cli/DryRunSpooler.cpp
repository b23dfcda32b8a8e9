#include "cli/DryRunSpooler.h"

#include <cstdio>

namespace nv::cli {

namespace {

class FileDocument final : public platform::IPrintDocument {
public:
    FileDocument(std::string path, std::string partPath, std::FILE* file)
        : path_(std::move(path)), partPath_(std::move(partPath)), file_(file) {}
    FileDocument(const FileDocument&) = delete;
    FileDocument& operator=(const FileDocument&) = delete;
    ~FileDocument() override { AbortDocPrinter(); }

    DWORD JobId() const override { return 0; }

    BOOL WritePrinter(const void* data, DWORD size, DWORD* written) override {
        if (written != nullptr) {
            *written = 0;
        }
        if (file_ == nullptr) {
            return FALSE;
        }
        if (size > 0 && std::fwrite(data, 1, size, file_) != size) {
            AbortDocPrinter();
            return FALSE;
        }
        if (written != nullptr) {
            *written = size;
        }
        return TRUE;
    }

    BOOL EndDocPrinter() override {
        if (file_ == nullptr) {
            return FALSE;
        }
        const bool flushed = std::fflush(file_) == 0;
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        if (!flushed || !closed || std::rename(partPath_.c_str(), path_.c_str()) != 0) {
            std::remove(partPath_.c_str());
            return FALSE;
        }
        return TRUE;
    }

    BOOL AbortDocPrinter() override {
        if (file_ != nullptr) {
            std::fclose(file_);
            file_ = nullptr;
            std::remove(partPath_.c_str());
        }
        return TRUE;
    }

private:
    std::string path_;
    std::string partPath_;
    std::FILE* file_;
};

class DryRunPrinter final : public platform::IPrinter {
public:
    DryRunPrinter(std::unique_ptr<platform::IPrinter> real, std::string path)
        : real_(std::move(real)), path_(std::move(path)) {}

    const CString& Name() const override { return real_->Name(); }
    BOOL GetPrinterDriver(platform::DriverInfo* info) override {
        return real_->GetPrinterDriver(info);
    }
    std::unique_ptr<platform::IPrintDocument> StartDocPrinter(const platform::DocInfo&) override {
        return StartFileDocument(path_);
    }

private:
    std::unique_ptr<platform::IPrinter> real_;
    std::string path_;
};

} // namespace

std::unique_ptr<platform::IPrintDocument> StartFileDocument(const std::string& path) {
    const std::string partPath = path + ".part";
    std::FILE* file = std::fopen(partPath.c_str(), "wb");
    if (file == nullptr) {
        return nullptr;
    }
    return std::make_unique<FileDocument>(path, partPath, file);
}

std::unique_ptr<platform::IPrinter> DryRunSpooler::OpenPrinter(const CString& name) {
    auto real = real_.OpenPrinter(name);
    if (!real) {
        return nullptr;
    }
    return std::make_unique<DryRunPrinter>(std::move(real), path_);
}

} // namespace nv::cli
