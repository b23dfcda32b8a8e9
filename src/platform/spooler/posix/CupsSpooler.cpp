#include "platform/spooler/posix/CupsSpooler.h"

#include "platform/spooler/posix/DriverDirectory.h"
#include "platform/text/Utf8.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cups/cups.h>
#include <iterator>
#include <optional>
#include <string_view>
#include <sys/socket.h>
#include <vector>

namespace nv::platform {

namespace {

constexpr int kDefaultSchedulerTimeoutMs = 10000;
// libcups may wait twice on one answer before it gives up: two waits stay under 2 seconds.
constexpr int kDefaultLookupTimeoutMs = 750;
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

// The time limit of each wait on the scheduler set by NORVANE_SCHEDULER_TIMEOUT (whole seconds
// from 1 to 3600); none when it is unset or not such a number.
std::optional<int> SchedulerTimeoutFromEnvironment() {
    const char* text = std::getenv("NORVANE_SCHEDULER_TIMEOUT");
    if (text == nullptr || *text == '\0') {
        return std::nullopt;
    }
    char* end = nullptr;
    const long seconds = std::strtol(text, &end, 10);
    if (*end != '\0' || seconds < 1 || seconds > kMaxSchedulerTimeoutSeconds) {
        return std::nullopt;
    }
    return static_cast<int>(seconds * 1000);
}

} // namespace

// Owns a connection to the scheduler.
struct HttpCloser {
    void operator()(http_t* http) const { httpClose(http); }
};
using HttpPtr = std::unique_ptr<http_t, HttpCloser>;

struct SchedulerLink {
    int timeoutMs = 0;        // limit of each wait of a job on the scheduler
    int lookupTimeoutMs = 0;  // limit of each wait of a listing or lookup
    bool stalled = false;     // a wait used up its limit: lookups no longer ask the scheduler
    bool unreachable = false; // connecting failed at once: lookups no longer ask either
    HttpPtr lookups;          // the connection kept for listing and lookups
};

namespace {

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
// room to send) gives up after TIMEOUTMS. Null when the scheduler cannot be reached; a connect
// that used up the whole limit marks the scheduler stalled, one that failed sooner unreachable.
HttpPtr ConnectToScheduler(SchedulerLink& link, int timeoutMs) {
    const auto start = std::chrono::steady_clock::now();
    HttpPtr http(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                              timeoutMs, nullptr));
    if (!http) {
        if (std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(timeoutMs)) {
            link.stalled = true;
        } else {
            link.unreachable = true;
        }
        return nullptr;
    }
    link.unreachable = false;
    httpSetTimeout(http.get(), timeoutMs / 1000.0, GiveUpWaiting, &link);
    return http;
}

HttpPtr ConnectToScheduler(SchedulerLink& link) {
    return ConnectToScheduler(link, link.timeoutMs);
}

// The kept connection for a lookup: none once the scheduler has stalled or could not be
// reached, so that a run waits on such a scheduler once, not once per printer.
http_t* ConnectionForLookup(SchedulerLink& link) {
    if (link.stalled || link.unreachable) {
        link.lookups.reset();
        return nullptr;
    }
    if (!link.lookups) {
        link.lookups = ConnectToScheduler(link, link.lookupTimeoutMs);
    }
    return link.lookups.get();
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

// The printer groups of RESPONSE, in its order; groups without a name are left out.
std::vector<QueueRecord> QueuesOf(ipp_t* response) {
    std::vector<QueueRecord> queues;
    QueueRecord current;
    const auto finish = [&] {
        if (!current.name.empty()) {
            queues.push_back(std::move(current));
        }
        current = QueueRecord();
    };
    for (ipp_attribute_t* attr = ippFirstAttribute(response); attr != nullptr;
         attr = ippNextAttribute(response)) {
        const char* name = ippGetName(attr);
        if (ippGetGroupTag(attr) != IPP_TAG_PRINTER || name == nullptr) {
            finish(); // a separator or another group ends the printer's group
            continue;
        }
        const std::string_view key = name;
        if (key == "printer-state") {
            switch (ippGetInteger(attr, 0)) {
            case IPP_PSTATE_IDLE:
                current.status.state = QueueState::idle;
                break;
            case IPP_PSTATE_PROCESSING:
                current.status.state = QueueState::printing;
                break;
            case IPP_PSTATE_STOPPED:
                current.status.state = QueueState::paused;
                break;
            default:
                current.status.state = QueueState::unknown;
                break;
            }
            continue;
        }
        if (key == "printer-is-accepting-jobs") {
            current.status.accepting = ippGetBoolean(attr, 0) != 0;
            continue;
        }
        const char* value = ippGetString(attr, 0, nullptr);
        const CString text = value == nullptr ? CString() : CString(value);
        if (key == "printer-name") {
            current.name = text;
        } else if (key == "device-uri") {
            current.deviceUri = text;
        } else if (key == "printer-make-and-model") {
            current.makeAndModel = text;
        } else if (key == "printer-state-message") {
            current.status.message = text;
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

// Asks for what a queue record holds.
void AskForQueueRecords(ipp_t* request) {
    static constexpr const char* kNames[] = {"printer-name",           "device-uri",
                                             "printer-make-and-model", "printer-state",
                                             "printer-state-message",  "printer-is-accepting-jobs"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  static_cast<int>(std::size(kNames)), nullptr, kNames);
}

// The queue called NAME as the scheduler describes it (the scheduler matches names without
// regard to case and answers with the queue's own name); none when it has no such queue or
// cannot be reached.
std::optional<QueueRecord> LookUpQueue(SchedulerLink& link, const CString& name) {
    if (name.empty()) {
        return std::nullopt;
    }
    http_t* http = ConnectionForLookup(link);
    if (http == nullptr) {
        return std::nullopt;
    }
    char uri[HTTP_MAX_URI];
    if (httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost",
                         ippPort(), "/printers/%s", name.c_str()) != HTTP_URI_STATUS_OK) {
        return std::nullopt;
    }
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    AskForQueueRecords(request);
    const IppPtr response = Ask(http, request);
    if (!response) {
        return std::nullopt;
    }
    std::vector<QueueRecord> queues = QueuesOf(response.get());
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
    CupsPrinter(std::shared_ptr<SchedulerLink> link, std::shared_ptr<DriverDirectoryCache> drivers,
                CString name, CString driver)
        : link_(std::move(link)), drivers_(std::move(drivers)), name_(std::move(name)),
          driver_(std::move(driver)) {}

    const CString& Name() const override { return name_; }

    BOOL GetPrinterDriver(DriverInfo* info) override { return drivers_->Read(driver_, info); }

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
    std::shared_ptr<DriverDirectoryCache> drivers_;
    CString name_;
    CString driver_;
};

} // namespace

CupsSpooler::CupsSpooler() : CupsSpooler(kDefaultSchedulerTimeoutMs, kDefaultLookupTimeoutMs) {
    if (const std::optional<int> limit = SchedulerTimeoutFromEnvironment()) {
        link_->timeoutMs = *limit;
        link_->lookupTimeoutMs = *limit;
    }
}

CupsSpooler::CupsSpooler(int timeoutMs) : CupsSpooler(timeoutMs, timeoutMs) {}

CupsSpooler::CupsSpooler(int timeoutMs, int lookupTimeoutMs)
    : link_(std::make_shared<SchedulerLink>()), drivers_(std::make_shared<DriverDirectoryCache>()) {
    link_->timeoutMs = timeoutMs;
    link_->lookupTimeoutMs = lookupTimeoutMs;
}

CupsSpooler::~CupsSpooler() = default;

std::vector<PrinterInfo> CupsSpooler::EnumPrinters() {
    std::vector<PrinterInfo> result;
    known_.clear();
    http_t* http = ConnectionForLookup(*link_);
    if (http == nullptr) {
        return result;
    }
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    AskForQueueRecords(request);
    const IppPtr response = Ask(http, request);
    if (!response) {
        return result;
    }
    std::vector<QueueRecord> queues = QueuesOf(response.get());
    result.reserve(queues.size());
    known_.reserve(queues.size());
    for (QueueRecord& queue : queues) {
        result.push_back({queue.name, queue.deviceUri, queue.makeAndModel});
        known_.insert_or_assign(queue.name, std::move(queue));
    }
    std::stable_sort(result.begin(), result.end(), [](const PrinterInfo& a, const PrinterInfo& b) {
        return BeforeIgnoringCase(a.name, b.name);
    });
    return result;
}

std::optional<PrinterInfo> CupsSpooler::FindPrinter(const CString& name) {
    if (const auto known = known_.find(name); known != known_.end()) {
        const QueueRecord& queue = known->second;
        return PrinterInfo{queue.name, queue.deviceUri, queue.makeAndModel};
    }
    std::optional<QueueRecord> queue = LookUpQueue(*link_, name);
    if (!queue || queue->name != name) {
        return std::nullopt; // the listing's names are exact
    }
    return PrinterInfo{std::move(queue->name), std::move(queue->deviceUri),
                       std::move(queue->makeAndModel)};
}

std::unique_ptr<IPrinter> CupsSpooler::OpenPrinter(const CString& name) {
    std::optional<QueueRecord> queue = LookUpQueue(*link_, name);
    if (!queue) {
        known_.erase(name);
        return nullptr;
    }
    auto printer = std::make_unique<CupsPrinter>(link_, drivers_, queue->name, queue->makeAndModel);
    if (queue->name == name) {
        known_.insert_or_assign(name, std::move(*queue));
    }
    return printer;
}

BOOL CupsSpooler::GetPrinterDriver(const CString& name, DriverInfo* info) {
    if (const auto known = known_.find(name); known != known_.end()) {
        return drivers_->Read(known->second.makeAndModel, info);
    }
    return ISpooler::GetPrinterDriver(name, info);
}

std::optional<QueueStatus> CupsSpooler::GetQueueStatus(const CString& name) {
    const auto known = known_.find(name);
    if (known == known_.end()) {
        return std::nullopt;
    }
    return known->second.status;
}

// Asked even of a scheduler that stalled once: the user asked to follow the job.
std::optional<JobState> CupsSpooler::GetJobState(const CString& /*printer*/, DWORD job) {
    if (job == 0) {
        return std::nullopt;
    }
    if (!link_->lookups) {
        link_->lookups = ConnectToScheduler(*link_, link_->timeoutMs);
        if (!link_->lookups) {
            return std::nullopt;
        }
    }
    char uri[HTTP_MAX_URI];
    std::snprintf(uri, sizeof uri, "ipp://localhost/jobs/%lu", static_cast<unsigned long>(job));
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri);
    static constexpr const char* kNames[] = {"job-state"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 1, nullptr,
                  kNames);
    const IppPtr response = Ask(link_->lookups.get(), request);
    if (!response) {
        return std::nullopt;
    }
    ipp_attribute_t* state = ippFindAttribute(response.get(), "job-state", IPP_TAG_ENUM);
    if (state == nullptr) {
        return std::nullopt;
    }
    switch (ippGetInteger(state, 0)) {
    case IPP_JSTATE_PENDING:
        return JobState::pending;
    case IPP_JSTATE_HELD:
        return JobState::held;
    case IPP_JSTATE_PROCESSING:
        return JobState::processing;
    case IPP_JSTATE_STOPPED:
        return JobState::stopped;
    case IPP_JSTATE_CANCELED:
        return JobState::cancelled;
    case IPP_JSTATE_ABORTED:
        return JobState::aborted;
    case IPP_JSTATE_COMPLETED:
        return JobState::completed;
    default:
        return std::nullopt;
    }
}

SchedulerSilence CupsSpooler::SchedulerProblem(CString* server) const {
    if (!link_->stalled && !link_->unreachable) {
        return SchedulerSilence::none;
    }
    const char* named = std::getenv("CUPS_SERVER");
    *server = named == nullptr ? CString() : CString(named);
    return link_->stalled ? SchedulerSilence::silent : SchedulerSilence::unreachable;
}

CString CupsSpooler::GetDefaultPrinter() {
    http_t* http = ConnectionForLookup(*link_);
    if (http == nullptr) {
        return {};
    }
    cups_dest_t* dest = cupsGetNamedDest(http, nullptr, nullptr);
    if (dest == nullptr) {
        return {};
    }
    CString name = dest->name;
    cupsFreeDests(1, dest);
    return name;
}

} // namespace nv::platform
