#include "platform/spooler/posix/CupsSpooler.h"

#include "platform/spooler/posix/DriverDirectory.h"
#include "platform/text/Utf8.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cups/cups.h>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <sys/socket.h>
#include <vector>

namespace nv::platform {

namespace {

constexpr int kDefaultSchedulerTimeoutMs = 10000;
constexpr int kMaxSchedulerTimeoutSeconds = 3600;

// The document name as an IPP name: a job name that is not UTF-8 or is longer than 255 bytes
// is dropped (the queue shows "Untitled"), so bytes that are not UTF-8 become '?' and the name is
// cut to 255 bytes at a character boundary. A NUL, which would end the name early, becomes '?'
// as well.
CString IppName(const CString& text) {
    constexpr std::size_t kMaxNameBytes = 255;
    CString name;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = text[i] == '\0' ? 0 : text::Utf8SequenceLength(text, i);
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

// The time limit of each wait on the scheduler: NORVANE_SCHEDULER_TIMEOUT seconds when that
// is a whole number from 1 to 3600, else the default.
int SchedulerTimeoutFromEnvironment() {
    const char* text = std::getenv("NORVANE_SCHEDULER_TIMEOUT");
    if (text == nullptr || *text == '\0') {
        return kDefaultSchedulerTimeoutMs;
    }
    char* end = nullptr;
    const long seconds = std::strtol(text, &end, 10);
    if (*end != '\0' || seconds < 1 || seconds > kMaxSchedulerTimeoutSeconds) {
        return kDefaultSchedulerTimeoutMs;
    }
    return static_cast<int>(seconds * 1000);
}

// Owns a connection to the scheduler.
struct HttpCloser {
    void operator()(http_t* http) const { httpClose(http); }
};
using HttpPtr = std::unique_ptr<http_t, HttpCloser>;

// Owns an IPP message.
struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using IppPtr = std::unique_ptr<ipp_t, IppDeleter>;

// Called by libcups when a wait on the scheduler used up its time limit: notes that the
// scheduler stalled and gives up the wait.
int GiveUpWaiting(http_t*, void* data) {
    static_cast<SchedulerLink*>(data)->stalled = true;
    return 0;
}

// A connection to the scheduler whose every wait (connecting, each wait for an answer or for
// room to send) gives up after the link's time limit. Null when the scheduler cannot be
// reached; a connect that used up the whole limit marks the scheduler stalled.
HttpPtr ConnectToScheduler(SchedulerLink& link) {
    const auto start = std::chrono::steady_clock::now();
    HttpPtr http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                              link.timeoutMs, nullptr));
    if (!http) {
        if (std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(link.timeoutMs)) {
            link.stalled = true;
        }
        return nullptr;
    }
    httpSetTimeout(http.get(), link.timeoutMs / 1000.0, GiveUpWaiting, &link);
    return http;
}

// A connection for a lookup: none once the scheduler has stalled, so that a run waits on a
// stalled scheduler once, not once per printer.
HttpPtr ConnectForLookup(SchedulerLink& link) {
    return link.stalled ? nullptr : ConnectToScheduler(link);
}

// Cancels JOB on PRINTER over a fresh connection; true when the scheduler agreed or the job
// no longer needs cancelling.
bool CancelJob(SchedulerLink& link, const CString& printer, int job) {
    HttpPtr http = ConnectToScheduler(link);
    if (!http) {
        return false;
    }
    const ipp_status_t status = cupsCancelJob2(http.get(), printer.c_str(), job, 0);
    return status <= IPP_STATUS_OK_CONFLICTING || status == IPP_STATUS_ERROR_NOT_POSSIBLE;
}

// Sends REQUEST (consumed) and returns the answer, or null when there is none or the
// scheduler refused.
IppPtr Ask(http_t* http, ipp_t* request) {
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    IppPtr response(cupsDoRequest(http, request, "/"));
    if (!response || ippGetStatusCode(response.get()) > IPP_STATUS_OK_CONFLICTING) {
        return nullptr;
    }
    return response;
}

// One printer group of an answer: the attributes a printer record needs.
struct QueueAttributes {
    CString name;
    CString deviceUri;
    CString makeAndModel;
};

// The printer groups of RESPONSE, in its order; groups without a name are left out.
std::vector<QueueAttributes> QueuesOf(ipp_t* response) {
    std::vector<QueueAttributes> queues;
    QueueAttributes current;
    const auto finish = [&] {
        if (!current.name.empty()) {
            queues.push_back(std::move(current));
        }
        current = QueueAttributes();
    };
    for (ipp_attribute_t* attr = ippFirstAttribute(response); attr != nullptr;
         attr = ippNextAttribute(response)) {
        const char* name = ippGetName(attr);
        if (ippGetGroupTag(attr) != IPP_TAG_PRINTER || name == nullptr) {
            finish(); // a separator or another group ends the printer's group
            continue;
        }
        const char* value = ippGetString(attr, 0, nullptr);
        const CString text = value == nullptr ? CString() : CString(value);
        const std::string_view key = name;
        if (key == "printer-name") {
            current.name = text;
        } else if (key == "device-uri") {
            current.deviceUri = text;
        } else if (key == "printer-make-and-model") {
            current.makeAndModel = text;
        }
    }
    finish();
    return queues;
}

// Orders names as the destination list of libcups does: ASCII letters without regard to case.
bool BeforeIgnoringCase(const CString& a, const CString& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) {
            return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
        };
        return lower(x) < lower(y);
    });
}

void AskFor(ipp_t* request, std::initializer_list<const char*> attributes) {
    const std::vector<const char*> names(attributes);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(names.size()), nullptr, names.data());
}

// The queue called NAME as the scheduler describes it (the scheduler matches names without
// regard to case and answers with the queue's own name); none when it has no such queue or
// cannot be reached.
std::optional<QueueAttributes> LookUpQueue(SchedulerLink& link, const CString& name) {
    if (name.empty()) {
        return std::nullopt;
    }
    HttpPtr http = ConnectForLookup(link);
    if (!http) {
        return std::nullopt;
    }
    char uri[HTTP_MAX_URI];
    if (httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost",
                         ippPort(), "/printers/%s", name.c_str()) != HTTP_URI_STATUS_OK) {
        return std::nullopt;
    }
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    AskFor(request, {"printer-name", "device-uri", "printer-make-and-model"});
    const IppPtr response = Ask(http.get(), request);
    if (!response) {
        return std::nullopt;
    }
    std::vector<QueueAttributes> queues = QueuesOf(response.get());
    if (queues.empty()) {
        return std::nullopt;
    }
    return std::move(queues.front());
}

class CupsDocument : public IPrintDocument {
public:
    CupsDocument(std::shared_ptr<SchedulerLink> link, HttpPtr http, CString printer, int job)
        : link_(std::move(link)), http_(std::move(http)), printer_(std::move(printer)), job_(job) {}
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
        state_ = CancelJob(*link_, printer_, job_) ? State::cancelled : State::cancelFailed;
        return state_ == State::cancelled ? TRUE : FALSE;
    }

private:
    enum class State { streaming, ended, cancelled, cancelFailed };

    std::shared_ptr<SchedulerLink> link_; // outlives http_, whose time-out callback uses it
    HttpPtr http_;
    CString printer_;
    int job_;
    State state_ = State::streaming;
    bool failed_ = false;
};

class CupsPrinter : public IPrinter {
public:
    CupsPrinter(std::shared_ptr<SchedulerLink> link, CString name, CString driver)
        : link_(std::move(link)), name_(std::move(name)), driver_(std::move(driver)) {}

    const CString& Name() const override { return name_; }

    BOOL GetPrinterDriver(DriverInfo* info) override { return ReadDriverRecord(driver_, info); }

    // A document that could not start was refused by the scheduler, or it could not be reached.
    SpoolError LastError() const override { return SpoolError::scheduler; }

    // A job is started on the user's say-so, so the scheduler is asked even after it stalled
    // once (within the time limit): it may have recovered.
    std::unique_ptr<IPrintDocument> StartDocPrinter(const DocInfo& doc) override {
        HttpPtr http = ConnectToScheduler(*link_);
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
            CancelJob(*link_, name_, job);
            return nullptr;
        }
        return std::make_unique<CupsDocument>(link_, std::move(http), name_, job);
    }

private:
    std::shared_ptr<SchedulerLink> link_;
    CString name_;
    CString driver_;
};

} // namespace

CupsSpooler::CupsSpooler() : CupsSpooler(SchedulerTimeoutFromEnvironment()) {}

CupsSpooler::CupsSpooler(int timeoutMs) : link_(std::make_shared<SchedulerLink>()) {
    link_->timeoutMs = timeoutMs;
}

std::vector<PrinterInfo> CupsSpooler::EnumPrinters() {
    std::vector<PrinterInfo> result;
    HttpPtr http = ConnectForLookup(*link_);
    if (!http) {
        return result;
    }
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    AskFor(request, {"printer-name", "device-uri", "printer-make-and-model"});
    const IppPtr response = Ask(http.get(), request);
    if (!response) {
        return result;
    }
    for (QueueAttributes& queue : QueuesOf(response.get())) {
        result.push_back(
            {std::move(queue.name), std::move(queue.deviceUri), std::move(queue.makeAndModel)});
    }
    std::stable_sort(result.begin(), result.end(), [](const PrinterInfo& a, const PrinterInfo& b) {
        return BeforeIgnoringCase(a.name, b.name);
    });
    return result;
}

std::optional<PrinterInfo> CupsSpooler::FindPrinter(const CString& name) {
    std::optional<QueueAttributes> queue = LookUpQueue(*link_, name);
    if (!queue || queue->name != name) {
        return std::nullopt; // the listing's names are exact
    }
    return PrinterInfo{std::move(queue->name), std::move(queue->deviceUri),
                       std::move(queue->makeAndModel)};
}

std::unique_ptr<IPrinter> CupsSpooler::OpenPrinter(const CString& name) {
    std::optional<QueueAttributes> queue = LookUpQueue(*link_, name);
    if (!queue) {
        return nullptr;
    }
    return std::make_unique<CupsPrinter>(link_, std::move(queue->name),
                                         std::move(queue->makeAndModel));
}

CString CupsSpooler::GetDefaultPrinter() {
    HttpPtr http = ConnectForLookup(*link_);
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
