#include "platform/spooler/posix/DirectSpooler.h"

#include "platform/files/posix/UniqueFd.h"
#include "platform/spooler/posix/DriverDirectory.h"
#include "platform/spooler/posix/PrintersFile.h"
#include "platform/text/Hex.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <netdb.h>
#include <poll.h>
#include <pthread.h>
#include <string_view>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>
#include <utility>

namespace nv::platform {

namespace {

constexpr const char* kSystemPrintersFile = "/etc/velmora-quillet/printers.ini";

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// How a wait for a printer ended.
enum class Wait { ready, timedOut, cancelled, failed };

// The longest a wait sleeps before it asks whether the job is still wanted.
constexpr int kCancelPollMs = 100;

// Waits until FD is ready for EVENTS, for at most TIMEOUTMS. While it waits, CANCEL (when set)
// is asked every kCancelPollMs and after every signal; true ends the wait as cancelled.
Wait WaitUntilReady(int fd, short events, int timeoutMs, const std::function<bool()>& cancel) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd p{fd, events, 0};
    for (;;) {
        if (cancel && cancel()) {
            return Wait::cancelled;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) {
            return Wait::timedOut;
        }
        const int slice =
            cancel ? std::min<int>(static_cast<int>(left), kCancelPollMs) : static_cast<int>(left);
        const int n = ::poll(&p, 1, slice);
        if (n > 0) {
            return Wait::ready;
        }
        if (n < 0 && errno != EINTR) {
            return Wait::failed;
        }
    }
}

SpoolError ErrorOfWait(Wait wait) {
    switch (wait) {
    case Wait::timedOut:
        return SpoolError::timedOut;
    case Wait::cancelled:
        return SpoolError::cancelled;
    case Wait::ready:
    case Wait::failed:
        break;
    }
    return SpoolError::other;
}

// The cause of a failed write or connect with errno value ERROR.
SpoolError ErrorOfErrno(int error) {
    switch (error) {
    case ECONNREFUSED:
    case ENXIO: // a pipe nobody reads
        return SpoolError::refused;
    case EPIPE:
    case ECONNRESET:
    case ECONNABORTED:
        return SpoolError::reset;
    case ETIMEDOUT:
        return SpoolError::timedOut;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return SpoolError::diskFull;
    default:
        return SpoolError::other;
    }
}

std::string PercentDecoded(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && text::HexDigitValue(text[i + 1]) >= 0 &&
            text::HexDigitValue(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(text::HexDigitValue(text[i + 1]) * 16 +
                                            text::HexDigitValue(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

// Splits "socket://host[:port][/...]" into host and port; false when malformed.
bool ParseSocketPort(const std::string& port, std::string* host, std::string* service) {
    constexpr std::string_view scheme = "socket://";
    if (port.compare(0, scheme.size(), scheme) != 0) {
        return false;
    }
    std::string rest = port.substr(scheme.size());
    rest = rest.substr(0, rest.find_first_of("/?"));
    std::string portText;
    if (!rest.empty() && rest.front() == '[') {
        const std::size_t close = rest.find(']');
        if (close == std::string::npos) {
            return false;
        }
        *host = rest.substr(1, close - 1);
        const std::string after = rest.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':') {
                return false;
            }
            portText = after.substr(1);
        }
    } else {
        const std::size_t colon = rest.rfind(':');
        *host = rest.substr(0, colon);
        if (colon != std::string::npos) {
            portText = rest.substr(colon + 1);
        }
    }
    if (portText.empty()) {
        portText = "9100";
    }
    if (host->empty() || portText.size() > 5 ||
        portText.find_first_not_of("0123456789") != std::string::npos ||
        std::atoi(portText.c_str()) > 65535) {
        return false;
    }
    *service = portText;
    return true;
}

// Connects to HOST:SERVICE within TIMEOUTMS; an invalid UniqueFd and the cause in *ERROR on
// failure. The connection lingers for no time when closed, so that a job broken off (also by the
// process's end) reaches the printer as a reset rather than as a complete job.
UniqueFd ConnectSocket(const std::string& host, const std::string& service, int timeoutMs,
                       const std::function<bool()>& cancel, SpoolError* error) {
    *error = SpoolError::other;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (const int failed = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
        failed != 0) {
        // A name the resolver does not know, or cannot find now, is its own failure.
        if (failed == EAI_NONAME || failed == EAI_AGAIN || failed == EAI_FAIL
#ifdef EAI_NODATA
            || failed == EAI_NODATA
#endif
        ) {
            *error = SpoolError::hostUnknown;
        }
        return UniqueFd();
    }
    UniqueFd result;
    for (addrinfo* ai = list; ai != nullptr && !result; ai = ai->ai_next) {
        UniqueFd fd(::socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK,
                             ai->ai_protocol));
        if (!fd) {
            continue;
        }
        const linger reset{1, 0};
        ::setsockopt(fd.Get(), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        if (::connect(fd.Get(), ai->ai_addr, ai->ai_addrlen) != 0) {
            if (errno != EINPROGRESS) {
                *error = ErrorOfErrno(errno);
                continue;
            }
            const Wait wait = WaitUntilReady(fd.Get(), POLLOUT, timeoutMs, cancel);
            if (wait != Wait::ready) {
                *error = ErrorOfWait(wait);
                if (wait == Wait::cancelled) {
                    break;
                }
                continue;
            }
            int status = 0;
            socklen_t length = sizeof status;
            if (::getsockopt(fd.Get(), SOL_SOCKET, SO_ERROR, &status, &length) != 0 ||
                status != 0) {
                *error = ErrorOfErrno(status);
                continue;
            }
        }
        result = std::move(fd);
    }
    ::freeaddrinfo(list);
    if (result) {
        *error = SpoolError::none;
    }
    return result;
}

// A document sent over an AppSocket connection.
class SocketDocument : public IPrintDocument {
public:
    SocketDocument(UniqueFd fd, int timeoutMs, std::function<bool()> cancel,
                   std::optional<int> closeWaitMs)
        : fd_(std::move(fd)), timeoutMs_(timeoutMs), cancel_(std::move(cancel)),
          closeWaitMs_(closeWaitMs) {}
    ~SocketDocument() override { AbortDocPrinter(); }

    DWORD JobId() const override { return 0; }
    SpoolError LastError() const override { return error_; }
    std::optional<JobState> EndState() const override { return endState_; }

    BOOL WritePrinter(const void* data, DWORD size, DWORD* written) override {
        *written = 0;
        if (!fd_ || error_ != SpoolError::none) {
            return FALSE;
        }
        if (size == 0) {
            return TRUE;
        }
        for (;;) {
            const ssize_t n = ::send(fd_.Get(), data, size, MSG_NOSIGNAL);
            if (n > 0) {
                *written = static_cast<DWORD>(n);
                return TRUE;
            }
            if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) {
                const Wait wait = WaitUntilReady(fd_.Get(), POLLOUT, timeoutMs_, cancel_);
                if (wait == Wait::ready) {
                    continue;
                }
                error_ = ErrorOfWait(wait);
                return FALSE;
            }
            error_ = n < 0 ? ErrorOfErrno(errno) : SpoolError::other;
            return FALSE;
        }
    }

    // Ends the broken-off-on-close state, closes the sending side and waits for the printer to
    // close its side, reading (and discarding) whatever status it sends back meanwhile.
    BOOL EndDocPrinter() override {
        if (!fd_ || error_ != SpoolError::none) {
            AbortDocPrinter();
            return FALSE;
        }
        const linger graceful{0, 0};
        ::setsockopt(fd_.Get(), SOL_SOCKET, SO_LINGER, &graceful, sizeof graceful);
        if (::shutdown(fd_.Get(), SHUT_WR) != 0) {
            error_ = ErrorOfErrno(errno);
            AbortDocPrinter();
            return FALSE;
        }
        if (closeWaitMs_) {
            endState_ =
                WaitForPrinterToClose(*closeWaitMs_) ? JobState::completed : JobState::processing;
            fd_.Reset();
            return TRUE;
        }
        // A printer that stays silent for the timeout, or keeps talking for ten of them, is
        // taken to have the job: every byte was handed to the connection before the shutdown.
        // A stop requested meanwhile ends the wait the same way.
        char buffer[4096];
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(10 * timeoutMs_);
        while (std::chrono::steady_clock::now() < deadline &&
               WaitUntilReady(fd_.Get(), POLLIN, timeoutMs_, cancel_) == Wait::ready) {
            const ssize_t n = ::recv(fd_.Get(), buffer, sizeof buffer, 0);
            if (n > 0 || (n < 0 && (errno == EINTR || errno == EAGAIN))) {
                continue;
            }
            break;
        }
        fd_.Reset();
        return TRUE;
    }

    // Resets the connection (linger 0), so the printer sees the job broken off.
    BOOL AbortDocPrinter() override {
        if (fd_) {
            const linger reset{1, 0};
            ::setsockopt(fd_.Get(), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            fd_.Reset();
        }
        return TRUE;
    }

private:
    // Reads (and discards) what the printer sends until it closes its side; false when WAITMS
    // ran out or a stop was requested first. A printer that resets the connection once every
    // byte was sent has closed it too.
    bool WaitForPrinterToClose(int waitMs) {
        char buffer[4096];
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  deadline - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0 ||
                WaitUntilReady(fd_.Get(), POLLIN, static_cast<int>(left), cancel_) != Wait::ready) {
                return false;
            }
            const ssize_t n = ::recv(fd_.Get(), buffer, sizeof buffer, 0);
            if (n == 0) {
                return true;
            }
            if (n < 0 && errno != EINTR && errno != EAGAIN) {
                return errno == ECONNRESET;
            }
        }
    }

    UniqueFd fd_;
    int timeoutMs_;
    std::function<bool()> cancel_;
    std::optional<int> closeWaitMs_;
    std::optional<JobState> endState_;
    SpoolError error_ = SpoolError::none;
};

// write(2) that reports a pipe whose reader went away as EPIPE without raising SIGPIPE, which
// would end the process: the signal is blocked around the write and taken if it came.
ssize_t WriteWithoutSigpipe(int fd, const void* data, std::size_t size) {
    sigset_t pipeSignal;
    sigset_t previous;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigset_t pendingBefore;
    sigemptyset(&pendingBefore);
    ::pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    ::sigpending(&pendingBefore);
    const ssize_t n = ::write(fd, data, size);
    const int error = errno;
    if (n < 0 && error == EPIPE && sigismember(&pendingBefore, SIGPIPE) == 0) {
        const timespec now{};
        ::sigtimedwait(&pipeSignal, nullptr, &now);
    }
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return n;
}

// A document written to a file: to a temporary name beside it, renamed at the end; or, for
// a device or a pipe, straight into it without blocking, each write waiting for room for at
// most the timeout.
class FileDocument : public IPrintDocument {
public:
    FileDocument(UniqueFd fd, std::string path, std::string temporary, int timeoutMs,
                 std::function<bool()> cancel)
        : fd_(std::move(fd)), path_(std::move(path)), temporary_(std::move(temporary)),
          timeoutMs_(timeoutMs), cancel_(std::move(cancel)) {}
    ~FileDocument() override { AbortDocPrinter(); }

    DWORD JobId() const override { return 0; }
    SpoolError LastError() const override { return error_; }

    BOOL WritePrinter(const void* data, DWORD size, DWORD* written) override {
        *written = 0;
        if (!fd_ || error_ != SpoolError::none) {
            return FALSE;
        }
        for (;;) {
            const ssize_t n = WriteWithoutSigpipe(fd_.Get(), data, size);
            if (n >= 0) {
                *written = static_cast<DWORD>(n);
                return TRUE;
            }
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) {
                const Wait wait = WaitUntilReady(fd_.Get(), POLLOUT, timeoutMs_, cancel_);
                if (wait == Wait::ready) {
                    continue;
                }
                error_ = ErrorOfWait(wait);
                return FALSE;
            }
            error_ = ErrorOfErrno(errno);
            return FALSE;
        }
    }

    BOOL EndDocPrinter() override {
        if (!fd_ || error_ != SpoolError::none) {
            AbortDocPrinter();
            return FALSE;
        }
        if (!temporary_.empty()) {
            if (::fsync(fd_.Get()) != 0 || ::close(fd_.Release()) != 0 ||
                ::rename(temporary_.c_str(), path_.c_str()) != 0) {
                error_ = ErrorOfErrno(errno);
                AbortDocPrinter();
                return FALSE;
            }
            temporary_.clear();
            return TRUE;
        }
        if (::close(fd_.Release()) != 0) {
            error_ = ErrorOfErrno(errno);
            return FALSE;
        }
        return TRUE;
    }

    BOOL AbortDocPrinter() override {
        fd_.Reset();
        if (!temporary_.empty()) {
            ::unlink(temporary_.c_str());
            temporary_.clear();
        }
        return TRUE;
    }

private:
    UniqueFd fd_;
    std::string path_;
    std::string temporary_; // empty when writing straight to the path
    int timeoutMs_;
    std::function<bool()> cancel_;
    SpoolError error_ = SpoolError::none;
};

std::unique_ptr<IPrintDocument> StartFileDocument(const std::string& path, int timeoutMs,
                                                  const std::function<bool()>& cancel,
                                                  SpoolError* error) {
    *error = SpoolError::other;
    if (path.empty() || path.front() != '/') {
        return nullptr;
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        // Opened without blocking: a pipe with no reader refuses at once instead of waiting
        // for one for ever.
        UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        if (!fd) {
            *error = ErrorOfErrno(errno);
            return nullptr;
        }
        *error = SpoolError::none;
        return std::make_unique<FileDocument>(std::move(fd), path, std::string(), timeoutMs,
                                              cancel);
    }
    const std::size_t slash = path.rfind('/');
    std::string pattern = path.substr(0, slash + 1) + "." + path.substr(slash + 1) + ".XXXXXX";
    UniqueFd fd(::mkostemp(pattern.data(), O_CLOEXEC));
    if (!fd) {
        *error = ErrorOfErrno(errno);
        return nullptr;
    }
    // mkstemp creates the file for its owner only; give the document the usual mode.
    ::fchmod(fd.Get(), 0644);
    *error = SpoolError::none;
    return std::make_unique<FileDocument>(std::move(fd), path, pattern, timeoutMs, cancel);
}

class DirectPrinter : public IPrinter {
public:
    DirectPrinter(DirectPrinterEntry entry, int timeoutMs,
                  std::shared_ptr<DriverDirectoryCache> drivers)
        : entry_(std::move(entry)), timeoutMs_(timeoutMs), drivers_(std::move(drivers)) {}

    const CString& Name() const override { return entry_.name; }
    SpoolError LastError() const override { return error_; }

    BOOL GetPrinterDriver(DriverInfo* info) override { return drivers_->Read(entry_.driver, info); }

    std::unique_ptr<IPrintDocument> StartDocPrinter(const DocInfo& doc) override {
        error_ = SpoolError::other;
        std::string host;
        std::string service;
        if (ParseSocketPort(entry_.port, &host, &service)) {
            UniqueFd fd = ConnectSocket(host, service, timeoutMs_, doc.cancelRequested, &error_);
            if (!fd) {
                return nullptr;
            }
            return std::make_unique<SocketDocument>(std::move(fd), timeoutMs_, doc.cancelRequested,
                                                    doc.closeWaitMs);
        }
        constexpr std::string_view fileScheme = "file://";
        if (entry_.port.compare(0, fileScheme.size(), fileScheme) == 0) {
            return StartFileDocument(PercentDecoded(entry_.port.substr(fileScheme.size())),
                                     timeoutMs_, doc.cancelRequested, &error_);
        }
        return nullptr;
    }

private:
    DirectPrinterEntry entry_;
    int timeoutMs_;
    std::shared_ptr<DriverDirectoryCache> drivers_;
    SpoolError error_ = SpoolError::none;
};

} // namespace

DirectSpooler::DirectSpooler(std::string path, int timeoutMs) : timeoutMs_(timeoutMs) {
    if (!path.empty()) {
        paths_.push_back(std::move(path));
    }
}

DirectSpooler::DirectSpooler(std::vector<std::string> paths) : paths_(std::move(paths)) {}

std::vector<std::string> DirectSpooler::Files() const {
    if (!paths_.empty()) {
        return paths_;
    }
    const std::string overridden = Env("NORVANE_PRINTERS");
    if (!overridden.empty()) {
        return {overridden};
    }
    std::vector<std::string> files;
    std::string config = Env("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/') {
        const std::string home = Env("HOME");
        config = home.empty() ? std::string() : home + "/.config";
    }
    if (!config.empty()) {
        files.push_back(config + "/velmora-quillet/printers.ini");
    }
    files.push_back(kSystemPrintersFile);
    return files;
}

void DirectSpooler::Refresh() {
    const std::vector<std::string> files = Files();
    std::vector<const PrintersFileContent*> contents;
    for (const std::string& file : files) {
        contents.push_back(&files_.Read(file));
    }
    if (listedOnce_ && files == listedFiles_ && files_.Changes() == listedChanges_) {
        return;
    }
    listedOnce_ = true;
    listedFiles_ = files;
    listedChanges_ = files_.Changes();
    listed_.clear();
    byName_.clear();
    leftOut_.reset();
    for (std::size_t f = 0; f < contents.size(); ++f) {
        for (const DirectPrinterEntry& entry : contents[f]->printers) {
            if (byName_.emplace(entry.name, listed_.size()).second) {
                listed_.push_back(&entry);
            }
        }
        if (contents[f]->leftOut == 0) {
            continue;
        }
        if (!leftOut_) {
            leftOut_ = LeftOutPrinters{0, false, files[f], kMaxPrintersFileBytes};
        }
        leftOut_->count += contents[f]->leftOut;
        leftOut_->atLeast = leftOut_->atLeast || contents[f]->leftOutAtLeast;
    }
}

const DirectPrinterEntry* DirectSpooler::Listed(const CString& name) const {
    const auto it = byName_.find(std::string_view(name));
    return it == byName_.end() ? nullptr : listed_[it->second];
}

std::vector<PrinterInfo> DirectSpooler::EnumPrinters() {
    Refresh();
    std::vector<PrinterInfo> result;
    result.reserve(listed_.size());
    for (const DirectPrinterEntry* entry : listed_) {
        result.push_back({entry->name, entry->port, entry->driver});
    }
    return result;
}

std::optional<PrinterInfo> DirectSpooler::FindPrinter(const CString& name) {
    Refresh();
    const DirectPrinterEntry* entry = Listed(name);
    if (entry == nullptr) {
        return std::nullopt;
    }
    return PrinterInfo{entry->name, entry->port, entry->driver};
}

std::unique_ptr<IPrinter> DirectSpooler::OpenPrinter(const CString& name) {
    Refresh();
    const DirectPrinterEntry* entry = Listed(name);
    return entry == nullptr ? nullptr : std::make_unique<DirectPrinter>(*entry, timeoutMs_, drivers_);
}

CString DirectSpooler::GetDefaultPrinter() {
    return {};
}

} // namespace nv::platform
