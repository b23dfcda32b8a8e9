// Every call here is the spooler's own; what this file adds is ownership (handles close and
// unfinished jobs are aborted when their objects go) and the conversion of the spooler's
// records into the program's.
#include "platform/spooler/win32/WinSpooler.h"

#include "platform/spooler/SystemSpooler.h"
#include "platform/text/win32/WideText.h"

#include <memory>
#include <optional>
#include <string>
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

CString Text(const wchar_t* text) {
    return text != nullptr ? CString(Utf8FromWide(text)) : CString();
}

// The driver's folder: the driver path up to and including its last backslash.
CString DriverFolder(const CString& driverPath) {
    const std::size_t last = driverPath.rfind('\\');
    return last == CString::npos ? CString() : driverPath.substr(0, last + 1);
}

// Owns one printer handle; the printer and the documents started on it share it.
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
        std::optional<std::wstring> wide = WideFromUtf8(name);
        return wide && !wide->empty() && OpenPrinterW(wide->data(), &handle_, nullptr) != 0 &&
               handle_ != nullptr;
    }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};

// A started document. It shares the printer's handle, so it may outlive the printer object it
// was started from.
class WinDocument final : public IPrintDocument {
public:
    WinDocument(std::shared_ptr<PrinterHandle> printer, DWORD job)
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

    std::shared_ptr<PrinterHandle> printer_;
    DWORD job_;
    State state_ = State::streaming;
};

class WinPrinter final : public IPrinter {
public:
    WinPrinter(CString name, std::shared_ptr<PrinterHandle> handle)
        : name_(std::move(name)), handle_(std::move(handle)) {}

    const CString& Name() const override { return name_; }

    BOOL GetPrinterDriver(DriverInfo* info) override {
        unsigned long needed = 0;
        ::GetPrinterDriverW(handle_->get(), nullptr, 3, nullptr, 0, &needed);
        if (needed == 0) {
            return FALSE;
        }
        std::vector<BYTE> buffer(needed);
        if (!::GetPrinterDriverW(handle_->get(), nullptr, 3, buffer.data(), needed, &needed)) {
            return FALSE;
        }
        const auto* record = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
        DriverInfo read;
        read.name = Text(record->pName);
        read.driverPath = Text(record->pDriverPath);
        read.directory = DriverFolder(read.driverPath);
        // A list of names, each NUL-terminated, ended by an empty one; it lies in BUFFER.
        if (const wchar_t* file = record->pDependentFiles; file != nullptr) {
            const auto* end = reinterpret_cast<const wchar_t*>(buffer.data() + buffer.size());
            while (file < end && *file != L'\0') {
                const wchar_t* stop = file;
                while (stop < end && *stop != L'\0') {
                    ++stop;
                }
                read.dependentFiles.emplace_back(
                    Utf8FromWide(std::wstring_view(file, static_cast<std::size_t>(stop - file))));
                file = stop + 1;
            }
        }
        *info = std::move(read);
        return TRUE;
    }

    std::unique_ptr<IPrintDocument> StartDocPrinter(const DocInfo& doc) override {
        // The queue shows the name as it is; a name that is not UTF-8 shows with replacements.
        std::wstring docName = WideFromUtf8Replacing(doc.docName.c_str());
        std::wstring datatype = WideFromUtf8Replacing(doc.datatype.value_or(CString()).c_str());
        DOC_INFO_1W info{};
        info.pDocName = docName.data();
        info.pOutputFile = nullptr;
        info.pDatatype = doc.datatype ? datatype.data() : nullptr;
        const DWORD job = ::StartDocPrinterW(handle_->get(), 1, reinterpret_cast<BYTE*>(&info));
        if (job == 0) {
            return nullptr;
        }
        return std::make_unique<WinDocument>(handle_, job);
    }

private:
    CString name_;
    std::shared_ptr<PrinterHandle> handle_;
};

} // namespace

std::vector<PrinterInfo> WinSpooler::EnumPrinters() {
    std::vector<PrinterInfo> result;
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    unsigned long needed = 0;
    unsigned long count = 0;
    ::EnumPrintersW(flags, nullptr, 2, nullptr, 0, &needed, &count);
    if (needed == 0) {
        return result;
    }
    std::vector<BYTE> buffer(needed);
    if (!::EnumPrintersW(flags, nullptr, 2, buffer.data(), needed, &needed, &count)) {
        return result;
    }
    const auto* printers = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    for (unsigned long i = 0; i < count; ++i) {
        result.push_back({Text(printers[i].pPrinterName), Text(printers[i].pPortName),
                          Text(printers[i].pDriverName)});
    }
    return result;
}

std::unique_ptr<IPrinter> WinSpooler::OpenPrinter(const CString& name) {
    auto handle = std::make_shared<PrinterHandle>();
    if (!handle->Open(name)) {
        return nullptr;
    }
    return std::make_unique<WinPrinter>(name, std::move(handle));
}

CString WinSpooler::GetDefaultPrinter() {
    unsigned long size = 0;
    ::GetDefaultPrinterW(nullptr, &size);
    if (size == 0) {
        return {};
    }
    std::vector<wchar_t> name(size + 1, L'\0');
    if (!::GetDefaultPrinterW(name.data(), &size)) {
        return {};
    }
    return Text(name.data());
}

std::unique_ptr<ISpooler> CreateSystemSpooler(const CString& /*chosen*/) {
    return std::make_unique<WinSpooler>();
}

} // namespace nv::platform
