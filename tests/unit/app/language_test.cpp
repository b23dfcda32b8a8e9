// Which resource library a run loads for the languages the user's environment names.
#include "app/PdfSendApp.h"
#include "platform/files/Files.h"
#include "platform/modules/UserLanguage.h"
#include "support/ScratchDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace nv {
namespace {

namespace fs = std::filesystem;
using Languages = std::vector<std::string>;

TEST(UserLanguage, TheFirstVariableThatNamesALanguageDecides) {
    // The environment, and the languages it asks for.
    const std::pair<std::map<std::string, std::string>, Languages> cases[] = {
        {{}, {}},
        {{{"LANG", "ja_JP.UTF-8"}}, {"ja"}},
        {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "ja_JP"}}, {"ja"}},
        {{{"LANG", "ja_JP"}, {"LC_ALL", "en_GB@euro"}, {"LC_MESSAGES", "fr_FR"}}, {"en"}},
        {{{"LANGUAGE", "en:ja"}, {"LC_ALL", "ja_JP.UTF-8"}}, {"en", "ja"}},
        {{{"LANGUAGE", "FR_ca:En::en"}}, {"fr", "en"}},
        {{{"LANGUAGE", ""}, {"LANG", "ja_JP"}}, {"ja"}},
        // C and POSIX ask for the default library, also after languages wanted more.
        {{{"LC_ALL", "C"}, {"LANG", "en_US"}}, {}},
        {{{"LANG", "C.UTF-8"}}, {}},
        {{{"LANGUAGE", "en:POSIX:ja"}}, {"en"}},
        // Values naming no language leave the decision to the next variable; nothing but
        // letters ever becomes a folder name.
        {{{"LANGUAGE", "../..:x:1234"}, {"LANG", "ja_JP"}}, {"ja"}},
        {{{"LC_ALL", "e/n_US"}, {"LANG", "en"}}, {"en"}},
    };
    for (const auto& c : cases) {
        const auto lookup = [&c](const char* name) -> const char* {
            const auto found = c.first.find(name);
            return found != c.first.end() ? found->second.c_str() : nullptr;
        };
        EXPECT_EQ(platform::LanguagesFromEnvironment(lookup), c.second) << "case " << &c - cases;
    }
}

// Help goes with the library: its folder's help file when it has one (the choice of the library
// itself is run end to end in the command-line tests).
TEST(UserLanguage, HelpFileLiesBesideTheChosenLibraryWhenThereIsOne) {
    test::ScratchDir dir;
    const char sep = platform::kPathSeparator;
    const std::string program = dir.Path().string() + sep;
    const std::string english = program + "lang" + sep + "en" + sep + "Norvres.dll";
    fs::create_directories(dir.Path() / "lang" / "en");
    EXPECT_EQ(HelpFileFor(program, english), program + kHelpFileName);
    std::ofstream(dir.Path() / "lang" / "en" / kHelpFileName) << "help";
    EXPECT_EQ(HelpFileFor(program, english), program + "lang" + sep + "en" + sep + kHelpFileName);
}

} // namespace
} // namespace nv
