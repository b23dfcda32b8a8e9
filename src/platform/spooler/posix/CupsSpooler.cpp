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

// Length of the valid UTF-8 sequence at TEXT[I], or 0 when the bytes there are not one.
std::size_t Utf8SequenceLength(const CString& text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned value = 0;
    unsigned minimum = 0;
    if (lead < 0x80) {
        return lead == 0 ? 0 : 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1Fu, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0Fu, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07u, minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (byte(i + k) & 0x3Fu);
    }
    const bool valid = value >= minimum && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF);
    return valid ? length : 0;
}

// The document name as an IPP name: a job name that is not UTF-8 or is longer than 255 bytes
// is dropped (the queue shows "Untitled"), so bytes that are not UTF-8 become '?' and the name is
// cut to 255 bytes at a character boundary.
CString IppName(const CString& text) {
    constexpr std::size_t kMaxNameBytes = 255;
    CString name;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, i);
        const std::size_t take = length == 0 ? 1 : length;
        if (name.size() + take > kMaxNameBytes) {
            break;
        }
        if (length == 0) {
            name.push_back('?');
        } else {
            name.append(text, i, length);
        }
        i += take;
    }
    return name;
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
    // Every failure of a document is the scheduler's: it holds the connection to the printer.
    SpoolError LastError() const override {
        return failed_ ? SpoolError::scheduler : SpoolError::none;
    }

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
            failed_ = true;
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

    // A document that could not start was refused by the scheduler, or it could not be reached.
    SpoolError LastError() const override { return SpoolError::scheduler; }

    std::unique_ptr<IPrintDocument> StartDocPrinter(const DocInfo& doc) override {
        HttpPtr http = ConnectToScheduler();
        if (!http) {
            return nullptr;
        }
        const CString title = IppName(doc.docName);
        cups_option_t* options = nullptr;
        int count = cupsAddOption("copies", "1", 0, &options);
        const int job = cupsCreateJob(http.get(), name_.c_str(), title.c_str(), count, options);
        cupsFreeOptions(count, options);
        if (job <= 0) {
            return nullptr;
        }
        if (cupsStartDocument(http.get(), name_.c_str(), job, title.c_str(), CUPS_FORMAT_RAW, 1) !=
            HTTP_STATUS_CONTINUE) {
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
