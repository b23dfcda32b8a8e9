// norvane-virtual-printer: an AppSocket (raw TCP) printer for tests and demonstrations. It
// accepts one job per connection, splits and checks the PJL around the document, and saves for
// job N the document as job-N.pdf and a summary as job-N.json in the output folder. The
// summary appears last (written under a temporary name and renamed), and the connection is
// closed only after both files are complete, so a sender that waits for the close finds them.
#include "JobReport.h"
#include "PjlStream.h"
#include "Sha256.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <getopt.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kBufferBytes = 1 << 20;
constexpr int kReceiveTimeoutSeconds = 600;

struct Options {
    std::string bind = "127.0.0.1";
    int port = 0;
    std::string portFile;
    std::string out = ".";
    long maxJobs = 0; // 0: no limit
};

void Usage(FILE* to) {
    std::fprintf(to, "usage: norvane-virtual-printer [--port N] [--port-file FILE] [--out DIR]\n"
                     "                               [--max-jobs N] [--bind ADDRESS]\n"
                     "Listens for AppSocket jobs (port 0 picks a free port and prints it), checks\n"
                     "their PJL and saves job-N.pdf and job-N.json in DIR for each job.\n");
}

bool ParseOptions(int argc, char** argv, Options* options) {
    static const option kLong[] = {{"port", required_argument, nullptr, 'p'},
                                   {"port-file", required_argument, nullptr, 'f'},
                                   {"out", required_argument, nullptr, 'o'},
                                   {"max-jobs", required_argument, nullptr, 'n'},
                                   {"bind", required_argument, nullptr, 'b'},
                                   {"help", no_argument, nullptr, 'h'},
                                   {nullptr, 0, nullptr, 0}};
    for (;;) {
        const int c = getopt_long(argc, argv, "p:f:o:n:b:h", kLong, nullptr);
        if (c == -1) {
            break;
        }
        char* end = nullptr;
        switch (c) {
        case 'p':
            options->port = static_cast<int>(std::strtol(optarg, &end, 10));
            if (*end != '\0' || options->port < 0 || options->port > 65535) {
                return false;
            }
            break;
        case 'f':
            options->portFile = optarg;
            break;
        case 'o':
            options->out = optarg;
            break;
        case 'n':
            options->maxJobs = std::strtol(optarg, &end, 10);
            if (*end != '\0' || options->maxJobs < 0) {
                return false;
            }
            break;
        case 'b':
            options->bind = optarg;
            break;
        case 'h':
            Usage(stdout);
            std::exit(0);
        default:
            return false;
        }
    }
    return optind == argc;
}

bool WriteWhole(int fd, const void* data, std::size_t size) {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Writes TEXT to PATH through a temporary name, so PATH appears complete or not at all.
bool WriteFileAtomically(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".part";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    const bool ok = WriteWhole(fd, text.data(), text.size());
    ::close(fd);
    return ok && ::rename(temporary.c_str(), path.c_str()) == 0;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// Receives one job on CONNECTION and saves it as job NUMBER.
void ReceiveJob(int connection, int number, const std::string& out,
                std::vector<std::uint8_t>& buffer) {
    const std::string base = out + "/job-" + std::to_string(number);
    const std::string documentName = "job-" + std::to_string(number) + ".pdf";
    const std::string documentPart = base + ".pdf.part";
    const int file = ::open(documentPart.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool saved = file >= 0;

    nv::vprinter::Sha256 sha;
    nv::vprinter::PjlStreamParser parser([&](const std::uint8_t* data, std::size_t size) {
        sha.Update(data, size);
        if (saved && !WriteWhole(file, data, size)) {
            saved = false;
        }
    });
    bool receiveFailed = false;
    for (;;) {
        const ssize_t n = ::recv(connection, buffer.data(), buffer.size(), 0);
        if (n > 0) {
            parser.Feed(buffer.data(), static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        receiveFailed = n < 0;
        break;
    }
    parser.Finish();
    if (file >= 0) {
        ::close(file);
    }
    nv::vprinter::PjlReport report = parser.Report();
    if (receiveFailed) {
        report.faults.push_back("connection broken before the end of the stream");
        ++report.faultCount;
    }
    if (!saved) {
        report.faults.push_back("the document could not be saved");
        ++report.faultCount;
    } else if (::rename(documentPart.c_str(), (base + ".pdf").c_str()) != 0) {
        report.faults.push_back("the document could not be saved");
        ++report.faultCount;
    }
    const std::string json =
        nv::vprinter::JobReportJson(number, report, sha.FinishHex(), documentName);
    if (!WriteFileAtomically(base + ".json", json)) {
        std::fprintf(stderr, "norvane-virtual-printer: cannot write %s.json\n", base.c_str());
    }
    std::printf("job %d: %llu bytes, document %llu bytes, %llu faults\n", number,
                static_cast<unsigned long long>(report.totalBytes),
                static_cast<unsigned long long>(report.documentBytes),
                static_cast<unsigned long long>(report.faultCount));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        Usage(stderr);
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);
    ::mkdir(options.out.c_str(), 0755);

    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(options.port));
    if (::inet_pton(AF_INET, options.bind.c_str(), &address.sin_addr) != 1) {
        std::fprintf(stderr, "norvane-virtual-printer: bad address %s\n", options.bind.c_str());
        return 2;
    }
    if (listener < 0 ||
        ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, 16) != 0) {
        std::fprintf(stderr, "norvane-virtual-printer: cannot listen: %s\n", std::strerror(errno));
        return 1;
    }
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    const int port = ntohs(address.sin_port);
    std::printf("%d\n", port);
    std::fflush(stdout);
    if (!options.portFile.empty() &&
        !WriteFileAtomically(options.portFile, std::to_string(port) + "\n")) {
        std::fprintf(stderr, "norvane-virtual-printer: cannot write %s\n",
                     options.portFile.c_str());
        return 1;
    }

    std::vector<std::uint8_t> buffer(kBufferBytes);
    int number = 1;
    for (long done = 0; options.maxJobs == 0 || done < options.maxJobs; ++done) {
        const int connection = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) {
            if (errno == EINTR || errno == ECONNABORTED) {
                --done;
                continue;
            }
            std::fprintf(stderr, "norvane-virtual-printer: accept: %s\n", std::strerror(errno));
            return 1;
        }
        const timeval timeout{kReceiveTimeoutSeconds, 0};
        ::setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        const int receiveBuffer = 4 << 20;
        ::setsockopt(connection, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        while (Exists(options.out + "/job-" + std::to_string(number) + ".json")) {
            ++number;
        }
        ReceiveJob(connection, number, options.out, buffer);
        ::close(connection);
        ++number;
    }
    ::close(listener);
    return 0;
}
