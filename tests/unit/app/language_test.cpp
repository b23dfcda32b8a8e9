// Which resource library a run loads for the languages the user's environment names.
#include "app/PdfSendApp.h"
#include "platform/files/Files.h"
#include "platform/modules/UserLanguage.h"
#include "support/ScratchDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace nv {
namespace {

namespace fs = std::filesystem;
using Languages = std::vector<std::string>;

TEST(UserLanguage, TheFirstVariableThatNamesALanguageDecides) {
    const struct {
        std::map<std::string, std::string> environment;
        Languages languages;
    } cases[] = {
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
            const auto found = c.environment.find(name);
            return found != c.environment.end() ? found->second.c_str() : nullptr;
        };
        std::string trace;
        for (const auto& [name, value] : c.environment) {
            trace += name + "=" + value + " ";
        }
        EXPECT_EQ(platform::LanguagesFromEnvironment(lookup), c.languages) << trace;
    }
}

TEST(UserLanguage, ALanguageFolderIsUsedOnlyWhenItHoldsTheLibrary) {
    test::ScratchDir dir;
    const fs::path built = std::getenv("NV_PROGRAM_DIR");
    const fs::path program = dir.Path() / "program";
    fs::create_directories(program / "lang" / "en");
    fs::create_directories(program / "lang" / "de"); // a folder without a library
    fs::copy_file(built / "Norvres.dll", program / "Norvres.dll");
    fs::copy_file(built / "lang" / "en" / "Norvres.dll", program / "lang" / "en" / "Norvres.dll");
    const char sep = platform::kPathSeparator;
    const std::string dirText = program.string() + sep;
    const std::string english = dirText + "lang" + sep + "en" + sep + "Norvres.dll";
    const std::string fallback = dirText + "Norvres.dll";
    const struct {
        Languages languages;
        std::string chosen;
    } cases[] = {
        {{}, fallback},
        {{"en"}, english},
        {{"de", "en"}, english},
        {{"fr"}, fallback},
        {{"ja", "en"}, fallback}, // the default library's own language comes first
        {{"fr", "ja", "en"}, fallback},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChooseResourceLibrary(dirText, c.languages), c.chosen) << c.languages.size();
    }
    // Help goes with the library: its folder's help file when it has one.
    EXPECT_EQ(HelpFileFor(dirText, english), dirText + kHelpFileName);
    std::ofstream(program / "lang" / "en" / kHelpFileName) << "help";
    EXPECT_EQ(HelpFileFor(dirText, english), dirText + "lang" + sep + "en" + sep + kHelpFileName);
}

} // namespace
} // namespace nv
