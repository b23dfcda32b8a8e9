#include "platform/help/posix/DesktopHelpRuntime.h"

#include "platform/help/HelpTopics.h"

#include <cstdlib>
#include <string_view>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace nv::platform {
namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The first executable NAME in the folders of PATH, or "".
std::string FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string_view rest = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const std::size_t colon = rest.find(':');
        // An empty entry stands for the current folder. The candidate is built by appending
        // to one string: assigning a literal to a copied entry made GCC 12 at -O2 report a
        // false overlap inside std::string.
        const std::string_view dir = rest.substr(0, colon);
        std::string candidate(dir.empty() ? std::string_view(".") : dir);
        candidate += '/';
        candidate += name;
        if (IsExecutableFile(candidate)) {
            return candidate;
        }
        if (colon == std::string_view::npos) {
            return {};
        }
        rest.remove_prefix(colon + 1);
    }
}

// Runs PROGRAM with ARGUMENT in a grandchild, so that it outlives nothing of ours and leaves
// no zombie: the child forks again and exits at once, and is reaped here. True when started.
bool SpawnDetached(const std::string& program, const std::string& argument) {
    std::vector<char> prog(program.begin(), program.end());
    prog.push_back('\0');
    std::vector<char> arg(argument.begin(), argument.end());
    arg.push_back('\0');
    char* const argv[] = {prog.data(), arg.data(), nullptr};
    const pid_t child = ::fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            ::setsid();
            ::execv(argv[0], argv);
            ::_exit(127);
        }
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class DesktopHelpRuntime final : public HelpRuntimeModule {
public:
    DesktopHelpRuntime(std::string viewer, std::string language)
        : viewer_(std::move(viewer)), language_(std::move(language)) {}

    HtmlHelpProc GetProcAddress(UINT ordinal) override {
        if (ordinal != kHtmlHelpEntryOrdinal) {
            return {};
        }
        return [this](HWND, const char* file, UINT command, DWORD_PTR data) {
            return HtmlHelp(file, command, data);
        };
    }

private:
    HWND HtmlHelp(const char* file, UINT command, DWORD_PTR data) {
        switch (command) {
        case HH_INITIALIZE:
            if (data != 0) {
                *reinterpret_cast<DWORD*>(data) = kCookie;
            }
            return 0;
        case HH_HELP_CONTEXT: {
            const std::string topic =
                ResolveHelpTopic(HelpFileOf(file != nullptr ? file : ""), static_cast<UINT>(data),
                                 language_, FileExists);
            if (topic.empty() || !SpawnDetached(viewer_, FileUrl(topic))) {
                return 0;
            }
            return 1;
        }
        default:
            return 0;
        }
    }

    static constexpr DWORD kCookie = 0x4E56;
    std::string viewer_;
    std::string language_;
};

} // namespace

std::unique_ptr<HelpRuntimeModule> DesktopHelpRuntimeLoader::LoadLibraryA(const char* pathOrName) {
    if (pathOrName == nullptr || *pathOrName == '\0') {
        return nullptr;
    }
    const std::string name(pathOrName);
    const std::string viewer =
        name.find('/') == std::string::npos ? FindOnPath(kDesktopHelpViewer) : name;
    if (viewer.empty() || !IsExecutableFile(viewer)) {
        return nullptr;
    }
    return std::make_unique<DesktopHelpRuntime>(viewer, language_);
}

} // namespace nv::platform
