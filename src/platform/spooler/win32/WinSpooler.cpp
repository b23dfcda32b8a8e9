// Every call here is the spooler's own; what this file adds is ownership (handles close and
// unfinished jobs are aborted when their objects go) and the conversion of the spooler's
// records into the program's.
#include "platform/spooler/win32/WinSpooler.h"

#include "platform/spooler/SystemSpooler.h"

#include <vector>
#include <windows.h>
#include <winspool.h>

// The system's headers map these names to their A or W forms; here they are the interface's.
#undef EnumPrinters
#undef OpenPrinter
#undef GetDefaultPrinter
#undef GetPrinterDriver
#undef StartDocPrinter

namespace nv::platform {
namespace {

CString Text(const char* text) {
    return text != nullptr ? CString(text) : CString();
}

// Owns one printer handle.
class PrinterHandle {
public:
    PrinterHandle() = default;
    PrinterHandle(const PrinterHandle&) = delete;
    PrinterHandle& operator=(const PrinterHandle&) = delete;
    ~PrinterHandle() {
        if (handle_ != nullptr) {
            ClosePrinter(handle_);
        }
    }
    // Opens NAME; false when the spooler refuses.
    bool Open(const CString& name) {
        return !name.empty() &&
               OpenPrinterA(const_cast<char*>(name.c_str()), &handle_, nullptr) != 0 &&
               handle_ != nullptr;
    }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};

// A started document. It holds a printer handle of its own, so it may outlive the printer
// object it was started from.
class WinDocument final : public IPrintDocument {
public:
    WinDocument(std::unique_ptr<PrinterHandle> printer, DWORD job)
        : printer_(std::move(printer)), job_(job) {}
    ~WinDocument() override { AbortDocPrinter(); }

    DWORD JobId() const override { return job_; }

    BOOL WritePrinter(const void* data, DWORD size, DWORD* written) override {
        *written = 0;
        if (state_ != State::streaming) {
            return FALSE;
        }
        if (size == 0) {
            return TRUE;
        }
        unsigned long took = 0;
        if (!::WritePrinter(printer_->get(), const_cast<void*>(data), size, &took)) {
            state_ = State::failed;
            return FALSE;
        }
        *written = static_cast<DWORD>(took);
        return TRUE;
    }

    BOOL EndDocPrinter() override {
        if (state_ != State::streaming) {
            return FALSE;
        }
        if (::EndDocPrinter(printer_->get())) {
            state_ = State::ended;
            return TRUE;
        }
        AbortDocPrinter();
        return FALSE;
    }

    BOOL AbortDocPrinter() override {
        if (state_ == State::ended) {
            return TRUE;
        }
        if (state_ == State::cancelled) {
            return TRUE;
        }
        if (state_ == State::cancelFailed) {
            return FALSE;
        }
        state_ = ::AbortPrinter(printer_->get()) ? State::cancelled : State::cancelFailed;
        return state_ == State::cancelled ? TRUE : FALSE;
    }

private:
    // failed: a write failed; the job is still open and is aborted like a streaming one.
    enum class State { streaming, failed, ended, cancelled, cancelFailed };

    std::unique_ptr<PrinterHandle> printer_;
    DWORD job_;
    State state_ = State::streaming;
};

class WinPrinter final : public IPrinter {
public:
    WinPrinter(CString name, std::unique_ptr<PrinterHandle> handle)
        : name_(std::move(name)), handle_(std::move(handle)) {}

    const CString& Name() const override { return name_; }

    BOOL GetPrinterDriver(DriverInfo* info) override {
        unsigned long needed = 0;
        ::GetPrinterDriverA(handle_->get(), nullptr, 3, nullptr, 0, &needed);
        if (needed == 0) {
            return FALSE;
        }
        std::vector<BYTE> buffer(needed);
        if (!::GetPrinterDriverA(handle_->get(), nullptr, 3, buffer.data(), needed, &needed)) {
            return FALSE;
        }
        const auto* record = reinterpret_cast<const DRIVER_INFO_3A*>(buffer.data());
        DriverInfo read;
        read.name = Text(record->pName);
        read.driverPath = Text(record->pDriverPath);
        // A list of names, each NUL-terminated, ended by an empty one; it lies in BUFFER.
        if (const char* file = record->pDependentFiles; file != nullptr) {
            const char* end = reinterpret_cast<const char*>(buffer.data() + buffer.size());
            while (file < end && *file != '\0') {
                const char* stop = file;
                while (stop < end && *stop != '\0') {
                    ++stop;
                }
                read.dependentFiles.emplace_back(file, stop);
                file = stop + 1;
            }
        }
        *info = std::move(read);
        return TRUE;
    }

    std::unique_ptr<IPrintDocument> StartDocPrinter(const DocInfo& doc) override {
        auto handle = std::make_unique<PrinterHandle>();
        if (!handle->Open(name_)) {
            return nullptr;
        }
        CString docName = doc.docName;
        CString datatype = doc.datatype.value_or(CString());
        DOC_INFO_1A info{};
        info.pDocName = docName.data();
        info.pOutputFile = nullptr;
        info.pDatatype = doc.datatype ? datatype.data() : nullptr;
        const DWORD job = ::StartDocPrinterA(handle->get(), 1, reinterpret_cast<BYTE*>(&info));
        if (job == 0) {
            return nullptr;
        }
        return std::make_unique<WinDocument>(std::move(handle), job);
    }

private:
    CString name_;
    std::unique_ptr<PrinterHandle> handle_;
};

} // namespace

std::vector<PrinterInfo> WinSpooler::EnumPrinters() {
    std::vector<PrinterInfo> result;
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    unsigned long needed = 0;
    unsigned long count = 0;
    ::EnumPrintersA(flags, nullptr, 2, nullptr, 0, &needed, &count);
    if (needed == 0) {
        return result;
    }
    std::vector<BYTE> buffer(needed);
    if (!::EnumPrintersA(flags, nullptr, 2, buffer.data(), needed, &needed, &count)) {
        return result;
    }
    const auto* printers = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    for (unsigned long i = 0; i < count; ++i) {
        result.push_back({Text(printers[i].pPrinterName), Text(printers[i].pPortName),
                          Text(printers[i].pDriverName)});
    }
    return result;
}

std::unique_ptr<IPrinter> WinSpooler::OpenPrinter(const CString& name) {
    auto handle = std::make_unique<PrinterHandle>();
    if (!handle->Open(name)) {
        return nullptr;
    }
    return std::make_unique<WinPrinter>(name, std::move(handle));
}

CString WinSpooler::GetDefaultPrinter() {
    unsigned long size = 0;
    ::GetDefaultPrinterA(nullptr, &size);
    if (size == 0) {
        return {};
    }
    std::vector<char> name(size);
    if (!::GetDefaultPrinterA(name.data(), &size)) {
        return {};
    }
    return CString(name.data());
}

std::unique_ptr<ISpooler> CreateSystemSpooler(const CString& /*chosen*/) {
    return std::make_unique<WinSpooler>();
}

} // namespace nv::platform
