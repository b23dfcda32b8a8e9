// The command libraries as built: each template's conversions take the arguments the job
// header composer passes for its ID and printer type, and what it produces is PJL a printer
// accepts: "@PJL" at column 0, CR LF after every line, no blank line, lines within 255 bytes,
// quoted strings closed on their line, and no command that changes stored defaults or reaches
// the printer's file system.
#include <gtest/gtest.h>

#include <variant>

#include "platform/modules/Modules.h"
#include "resources/CommandIds.h"
#include "unit/modules/ModuleFiles.h"

namespace nv {
namespace {

const std::string kCrLf = "\r\n";
// Longest texts the composer supports: a 259-byte document name, a long user name, a
// 128-digit password and a 31-character paper-source value.
const std::string kLongName = std::string(255, 'n') + ".pdf";
const std::string kLongUser = std::string(200, 'u');
const std::string kPassword = std::string(128, '7');
const std::string kTrayValue = std::string(31, 'T');

using Arg = std::variant<std::string, int>;

struct Use {
    const char* library;
    UINT id;
    std::vector<Arg> args;  // in the composer's order; kCrLf marks a line terminator
};

void PrintTo(const Use& use, std::ostream* out) {
    *out << use.library << " template " << use.id;
}

Arg Text(const std::string& text) {
    return text;
}

const std::vector<Use> kUses = {
    // Type 0.
    {"nvcComDLL.dll", 1, {kLongName, kCrLf}},
    {"nvcComDLL.dll", 2, {kCrLf}},
    {"nvcComDLL.dll", 3, {65535, kCrLf}},
    {"nvcComDLL.dll", 4, {Text("false"), kCrLf}},
    {"nvcComDLL.dll", 7, {Text("true"), 999, kCrLf}},
    {"nvcComDLL.dll", 8, {Text("OFF"), kCrLf}},
    {"nvcComDLL.dll", 9, {Text("SHORTEDGE"), kCrLf}},
    {"nvcComDLL.dll", 11, {7, kCrLf}},
    {"nvcComDLL.dll", 12, {kLongUser, kLongName, kCrLf}},
    {"nvcComDLL.dll", 13, {-2147483647 - 1, kLongUser, kLongName, kCrLf}},
    {"nvcComDLL.dll", 16, {kLongName, 9999, 9999, kCrLf}},
    {"nvcComDLL.dll", 17, {kLongName, kCrLf}},
    {"nvcComDLL.dll", 18, {}},
    {"nvcComDLL.dll", 19, {}},
    {"nvcComDLL.dll", 20, {}},
    {"nvcComDLL.dll", 21, {kPassword, kCrLf}},
    {"nvcComDLL.dll", 22, {3, -1, kCrLf}},
    // Types 1, 3 and 4.
    {"nvaComDLL.dll", 1, {kLongName, kCrLf}},
    {"nvaComDLL.dll", 4, {Text("ON"), kCrLf}},
    {"nvaComDLL.dll", 5, {kTrayValue, kCrLf}},
    {"nvaComDLL.dll", 7, {999, kCrLf}},
    {"nvaComDLL.dll", 8, {Text("ON"), kCrLf}},
    {"nvaComDLL.dll", 9, {Text("LONGEDGE"), kCrLf}},
    {"nvaComDLL.dll", 10, {999, kCrLf}},
    {"nvaComDLL.dll", 11, {0, kCrLf}},
    {"nvaComDLL.dll", 12, {kLongUser, kLongName, kCrLf}},
    {"nvaComDLL.dll", 13, {1234, kLongUser, kLongName, kCrLf}},
    {"nvaComDLL.dll", 16, {kLongName, 3, 7, kCrLf}},
    {"nvaComDLL.dll", 17, {kLongName, kCrLf}},
    {"nvaComDLL.dll", 18, {}},
    {"nvaComDLL.dll", 21, {kPassword, kCrLf}},
    {"nvaComDLL.dll", 22, {3, -1, kCrLf}},
    {"nvaComDLL.dll", 26, {kLongName, 3, 7, kCrLf}},
    {"nvaComDLL.dll", 27, {kTrayValue, kCrLf}},
    {"nvaComDLL.dll", 28, {Text("OFF"), kCrLf}},
    // Type 2.
    {"nvbComDLL.dll", 1, {kLongName, kCrLf}},
    {"nvbComDLL.dll", 5, {kTrayValue, kCrLf, Text("manualfeed"), kCrLf, kCrLf}},
    {"nvbComDLL.dll", 7, {999, kCrLf, 999, kCrLf, kCrLf}},
    {"nvbComDLL.dll", 8, {Text("ShortEdge"), kCrLf, Text("shortedge"), kCrLf, kCrLf}},
    {"nvbComDLL.dll", 10, {kCrLf, kCrLf, kCrLf}},
    {"nvbComDLL.dll", 11, {kCrLf, kCrLf, kCrLf}},
    {"nvbComDLL.dll", 12, {kLongUser, kLongName, kCrLf}},
    {"nvbComDLL.dll", 13, {1234, kLongUser, kLongName, kCrLf}},
    {"nvbComDLL.dll", 16, {3, -1, kCrLf}},
    {"nvbComDLL.dll", 17, {kLongName, kCrLf}},
    {"nvbComDLL.dll", 18, {}},
    {"nvbComDLL.dll", 21, {kPassword, kCrLf}},
};

// Formats TEMPLATE with ARGS the way the composer's formatter does for the conversions the
// templates use (%s, %.Ns, %d, %u). Fails the test on any other conversion, on a conversion
// whose argument has another type, and when an argument left over is anything but CR LF.
std::string Format(const std::string& format, const std::vector<Arg>& args) {
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            out += format[i];
            continue;
        }
        std::size_t precision = std::string::npos;
        ++i;
        if (i < format.size() && format[i] == '.') {
            precision = 0;
            while (++i < format.size() && format[i] >= '0' && format[i] <= '9') {
                precision = precision * 10 + static_cast<std::size_t>(format[i] - '0');
            }
        }
        if (i >= format.size()) {
            ADD_FAILURE() << "lone % at the end";
            return out;
        }
        const char conversion = format[i];
        if (conversion == '%') {
            out += '%';
            continue;
        }
        if (next >= args.size()) {
            ADD_FAILURE() << "conversion %" << conversion << " has no argument";
            return out;
        }
        const Arg& arg = args[next++];
        if (conversion == 's' && std::holds_alternative<std::string>(arg)) {
            out += std::get<std::string>(arg).substr(0, precision);
        } else if (conversion == 'd' && std::holds_alternative<int>(arg)) {
            out += std::to_string(std::get<int>(arg));
        } else if (conversion == 'u' && std::holds_alternative<int>(arg)) {
            out += std::to_string(static_cast<unsigned>(std::get<int>(arg)));
        } else {
            ADD_FAILURE() << "conversion %" << conversion << " does not match argument " << next;
        }
    }
    for (; next < args.size(); ++next) {
        EXPECT_EQ(args[next], Arg(kCrLf)) << "argument " << next + 1 << " is left unused";
    }
    return out;
}

class CommandTemplate : public testing::TestWithParam<Use> {};

TEST_P(CommandTemplate, ProducesValidPjlLines) {
    const Use& use = GetParam();
    auto module = platform::ResourceModule::Load(test::ProgramFile(use.library));
    ASSERT_NE(module, nullptr);
    const std::string format = module->LoadText(use.id);
    ASSERT_FALSE(format.empty()) << "template missing";
    EXPECT_LT(static_cast<int>(format.size()), cmd::TemplateBufferSize(use.id));

    std::string text = Format(format, use.args);
    if (use.args.empty()) {
        EXPECT_EQ(format.find('%'), std::string::npos) << "fixed lines take no arguments";
        text += kCrLf;  // the composer ends fixed lines itself
    }
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), kCrLf) << "the last line must end with CR LF";
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find(kCrLf, start);
        ASSERT_NE(end, std::string::npos);
        const std::string line = text.substr(start, end - start);
        start = end + 2;
        EXPECT_EQ(line.rfind("@PJL ", 0), 0u) << "line: " << line;
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "line: " << line;
        EXPECT_LE(line.size(), 255u) << "line: " << line;
        EXPECT_EQ(std::count(line.begin(), line.end(), '"') % 2, 0) << "line: " << line;
        for (const char* forbidden : {" DEFAULT", " INITIALIZE", " FS", " RDYMSG", "\x1B"}) {
            EXPECT_EQ(line.find(forbidden), std::string::npos) << "line: " << line;
        }
    }
}

std::string UseName(const testing::TestParamInfo<Use>& info) {
    return std::string(info.param.library).substr(0, 3) + "_" + std::to_string(info.param.id);
}

INSTANTIATE_TEST_SUITE_P(Libraries, CommandTemplate, testing::ValuesIn(kUses), UseName);

// The line after which the document follows switches the printer to PDF; a dialect whose
// header continues after its fixed line leaves the switch to the printer's detection.
TEST(CommandLibrary, DocumentFollowsTheLanguageSwitch) {
    auto a = platform::ResourceModule::Load(test::ProgramFile("nvaComDLL.dll"));
    auto b = platform::ResourceModule::Load(test::ProgramFile("nvbComDLL.dll"));
    auto c = platform::ResourceModule::Load(test::ProgramFile("nvcComDLL.dll"));
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(a->LoadText(cmd::kFixedLine18), "@PJL ENTER LANGUAGE=PDF");
    EXPECT_EQ(c->LoadText(cmd::kFixedLine20), "@PJL ENTER LANGUAGE=PDF");
    for (UINT id : b->StringIds()) {
        EXPECT_EQ(b->LoadText(id).find("ENTER"), std::string::npos) << "template " << id;
    }
}

// Each library holds exactly the templates its printer types read.
TEST(CommandLibrary, HoldsExactlyTheTemplatesItsTypesUse) {
    for (const char* library : {"nvaComDLL.dll", "nvbComDLL.dll", "nvcComDLL.dll"}) {
        std::vector<UINT> expected;
        for (const auto& use : kUses) {
            if (std::string(use.library) == library) {
                expected.push_back(use.id);
            }
        }
        auto module = platform::ResourceModule::Load(test::ProgramFile(library));
        ASSERT_NE(module, nullptr);
        EXPECT_EQ(module->StringIds(), expected) << library;
    }
}

TEST(CommandLibrary, LibraryPerPrinterType) {
    EXPECT_STREQ(cmd::CommandLibraryName(0), "nvcComDLL.dll");
    EXPECT_STREQ(cmd::CommandLibraryName(1), "nvaComDLL.dll");
    EXPECT_STREQ(cmd::CommandLibraryName(2), "nvbComDLL.dll");
    EXPECT_STREQ(cmd::CommandLibraryName(3), "nvaComDLL.dll");
    EXPECT_STREQ(cmd::CommandLibraryName(4), "nvaComDLL.dll");
    EXPECT_STREQ(cmd::CommandLibraryName(5), "nvcComDLL.dll");
}

} // namespace
} // namespace nv
