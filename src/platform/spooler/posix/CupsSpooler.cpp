#include "platform/spooler/posix/CupsSpooler.h"

#include "platform/spooler/posix/DriverDirectory.h"

#include <cups/cups.h>
#include <sys/socket.h>

namespace nv::platform {

namespace {

constexpr int kConnectTimeoutMs = 30000;

CString OptionOf(const cups_dest_t& dest, const char* name) {
    const char* value = cupsGetOption(name, dest.num_options, dest.options);
    return value == nullptr ? CString() : CString(value);
}

// Owns a connection to the scheduler.
struct HttpCloser {
    void operator()(http_t* http) const { httpClose(http); }
};
using HttpPtr = std::unique_ptr<http_t, HttpCloser>;

HttpPtr ConnectToScheduler() {
    return HttpPtr(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                kConnectTimeoutMs, nullptr));
}

// Cancels JOB on PRINTER over a fresh connection; true when the scheduler agreed or the job
// no longer needs cancelling.
bool CancelJob(const CString& printer, int job) {
    HttpPtr http = ConnectToScheduler();
    if (!http) {
        return false;
    }
    const ipp_status_t status = cupsCancelJob2(http.get(), printer.c_str(), job, 0);
    return status <= IPP_STATUS_OK_CONFLICTING || status == IPP_STATUS_ERROR_NOT_POSSIBLE;
}

class CupsDocument : public IPrintDocument {
public:
    CupsDocument(HttpPtr http, CString printer, int job)
        : http_(std::move(http)), printer_(std::move(printer)), job_(job) {}
    ~CupsDocument() override { AbortDocPrinter(); }

    DWORD JobId() const override { return static_cast<DWORD>(job_); }

    // libcups sends the whole buffer or fails, so a successful write takes every byte.
    BOOL WritePrinter(const void* data, DWORD size, DWORD* written) override {
        *written = 0;
        if (state_ != State::streaming) {
            return FALSE;
        }
        if (size == 0) {
            return TRUE;
        }
        if (cupsWriteRequestData(http_.get(), static_cast<const char*>(data), size) !=
            HTTP_STATUS_CONTINUE) {
            failed_ = true;
            return FALSE;
        }
        *written = size;
        return TRUE;
    }

    BOOL EndDocPrinter() override {
        if (state_ != State::streaming) {
            return FALSE;
        }
        if (!failed_) {
            const ipp_status_t status = cupsFinishDocument(http_.get(), printer_.c_str());
            if (status <= IPP_STATUS_OK_CONFLICTING) {
                state_ = State::ended;
                http_.reset();
                return TRUE;
            }
        }
        AbortDocPrinter();
        return FALSE;
    }

    // Drops the unfinished request (the scheduler discards a partial document) and cancels the
    // job itself.
    BOOL AbortDocPrinter() override {
        if (state_ != State::streaming) {
            return state_ == State::cancelFailed ? FALSE : TRUE;
        }
        http_.reset();
        state_ = CancelJob(printer_, job_) ? State::cancelled : State::cancelFailed;
        return state_ == State::cancelled ? TRUE : FALSE;
    }

private:
    enum class State { streaming, ended, cancelled, cancelFailed };

    HttpPtr http_;
    CString printer_;
    int job_;
    State state_ = State::streaming;
    bool failed_ = false;
};

class CupsPrinter : public IPrinter {
public:
    CupsPrinter(CString name, CString driver)
        : name_(std::move(name)), driver_(std::move(driver)) {}

    const CString& Name() const override { return name_; }

    BOOL GetPrinterDriver(DriverInfo* info) override { return ReadDriverRecord(driver_, info); }

    std::unique_ptr<IPrintDocument> StartDocPrinter(const DocInfo& doc) override {
        HttpPtr http = ConnectToScheduler();
        if (!http) {
            return nullptr;
        }
        cups_option_t* options = nullptr;
        int count = cupsAddOption("copies", "1", 0, &options);
        const int job =
            cupsCreateJob(http.get(), name_.c_str(), doc.docName.c_str(), count, options);
        cupsFreeOptions(count, options);
        if (job <= 0) {
            return nullptr;
        }
        if (cupsStartDocument(http.get(), name_.c_str(), job, doc.docName.c_str(), CUPS_FORMAT_RAW,
                              1) != HTTP_STATUS_CONTINUE) {
            http.reset();
            CancelJob(name_, job);
            return nullptr;
        }
        return std::make_unique<CupsDocument>(std::move(http), name_, job);
    }

private:
    CString name_;
    CString driver_;
};

} // namespace

std::vector<PrinterInfo> CupsSpooler::EnumPrinters() {
    std::vector<PrinterInfo> result;
    HttpPtr http = ConnectToScheduler();
    if (!http) {
        return result;
    }
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(http.get(), &dests);
    for (int i = 0; i < count; ++i) {
        if (dests[i].instance != nullptr) {
            continue;
        }
        result.push_back({dests[i].name, OptionOf(dests[i], "device-uri"),
                          OptionOf(dests[i], "printer-make-and-model")});
    }
    cupsFreeDests(count, dests);
    return result;
}

std::unique_ptr<IPrinter> CupsSpooler::OpenPrinter(const CString& name) {
    HttpPtr http = ConnectToScheduler();
    if (!http || name.empty()) {
        return nullptr;
    }
    cups_dest_t* dest = cupsGetNamedDest(http.get(), name.c_str(), nullptr);
    if (dest == nullptr) {
        return nullptr;
    }
    auto printer =
        std::make_unique<CupsPrinter>(dest->name, OptionOf(*dest, "printer-make-and-model"));
    cupsFreeDests(1, dest);
    return printer;
}

CString CupsSpooler::GetDefaultPrinter() {
    HttpPtr http = ConnectToScheduler();
    if (!http) {
        return {};
    }
    cups_dest_t* dest = cupsGetNamedDest(http.get(), nullptr, nullptr);
    if (dest == nullptr) {
        return {};
    }
    CString name = dest->name;
    cupsFreeDests(1, dest);
    return name;
}

} // namespace nv::platform
