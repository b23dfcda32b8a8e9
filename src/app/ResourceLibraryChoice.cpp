// Which resource library a run loads: the one of the user's language when the program directory
// holds it, else the default one beside the program.
#include "app/PdfSendApp.h"
#include "platform/files/Files.h"
#include "platform/modules/ModuleLanguage.h"
#include "resources/ResourceIds.h"

#include <filesystem>
#include <optional>
#include <string>

namespace nv {

namespace {

// Whether PATH (UTF-8) names a regular file; never throws.
bool IsRegularFile(const CString& path) {
    std::error_code error;
    const std::u8string text(path.begin(), path.end());
    return std::filesystem::is_regular_file(std::filesystem::path(text), error);
}

} // namespace

CString ChooseResourceLibrary(const CString& programDir,
                              const std::vector<std::string>& languages) {
    const CString fallback = programDir + res::kResourceLibrary;
    // The default library's own language is read only when a wanted language has no folder:
    // a user who wants that language first is given it, not a later one that has a folder.
    std::optional<std::string> fallbackLanguage;
    for (const std::string& language : languages) {
        const CString candidate = programDir + res::kLanguageFolder + platform::kPathSeparator +
                                  language + platform::kPathSeparator + res::kResourceLibrary;
        if (IsRegularFile(candidate)) {
            return candidate;
        }
        if (!fallbackLanguage) {
            const auto module = platform::ResourceModule::Load(fallback);
            fallbackLanguage = module ? platform::LanguageTagOf(*module) : std::string();
        }
        if (*fallbackLanguage == language) {
            return fallback;
        }
    }
    return fallback;
}

CString HelpFileFor(const CString& programDir, const CString& libraryPath) {
    const CString besideLibrary = ProgramDirectoryOf(libraryPath) + kHelpFileName;
    return IsRegularFile(besideLibrary) ? besideLibrary : programDir + kHelpFileName;
}

} // namespace nv
