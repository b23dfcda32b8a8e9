// Every row of the observed GetDlgItemInt / SetDlgItemInt vectors, run through an edit of the
// surface exactly as the dialog reads and writes its number fields.
#include "platform/ui/DialogSurface.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace nv::platform {
namespace {

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, '\t')) {
        fields.push_back(field);
    }
    if (!line.empty() && line.back() == '\t') {
        fields.emplace_back();
    }
    return fields;
}

// Undoes the vector file's escapes: \r \n \t \\, \xNN and \{N*c}.
std::string unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 >= text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'r') {
            out += '\r';
        } else if (c == 'n') {
            out += '\n';
        } else if (c == 't') {
            out += '\t';
        } else if (c == 'x') {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else if (c == '{') {
            const std::size_t star = text.find('*', i);
            const std::size_t close = text.find('}', star);
            out.append(std::stoul(text.substr(i + 1, star - i - 1)), text[star + 1]);
            i = close;
        } else {
            out += c;
        }
    }
    return out;
}

struct Row {
    std::vector<std::string> f;
};

std::vector<Row> loadRows() {
    const char* root = std::getenv("NV_TEST_DATA");
    std::ifstream in(std::string(root ? root : "tests/data") +
                     "/vectors/getdlgitemint_vectors.tsv");
    std::vector<Row> rows;
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        if (!line.empty()) {
            rows.push_back({splitTabs(line)});
        }
    }
    return rows;
}

constexpr int kEdit = 1008;

TEST(DlgItemIntVectors, EveryRowMatchesTheObservedPlatform) {
    const std::vector<Row> rows = loadRows();
    ASSERT_EQ(rows.size(), 68u);
    DialogSurface surface;
    surface.AddEdit(kEdit, ES_NUMBER);
    int checked = 0;
    for (const Row& row : rows) {
        const auto& f = row.f;
        ASSERT_GE(f.size(), 8u) << f[0];
        const BOOL bSigned = f[3] == "TRUE" ? TRUE : FALSE;
        if (f[1] == "GetDlgItemInt") {
            surface.SetDlgItemTextA(kEdit, unescape(f[2]));
            BOOL translated = 77;
            const UINT value = surface.GetDlgItemInt(kEdit, &translated, bSigned);
            EXPECT_EQ(value, static_cast<UINT>(std::stoul(f[5]))) << f[0];
            EXPECT_EQ(static_cast<std::int32_t>(value), std::stol(f[4])) << f[0];
            EXPECT_EQ(translated, std::stoi(f[6])) << f[0];
        } else {
            // "-5(0xFFFFFFFB)": the value the program passed is the hexadecimal one.
            const std::size_t open = f[2].find("(0x");
            const auto value = static_cast<UINT>(std::stoul(f[2].substr(open + 3), nullptr, 16));
            surface.SetDlgItemInt(kEdit, value, bSigned);
            EXPECT_EQ(surface.GetDlgItemText(kEdit), f[7]) << f[0];
        }
        ++checked;
    }
    EXPECT_EQ(checked, 68);
}

TEST(DlgItemInt, MissingControlAndNullFlag) {
    DialogSurface surface;
    BOOL translated = TRUE;
    EXPECT_EQ(surface.GetDlgItemInt(5, &translated, TRUE), 0u);
    EXPECT_EQ(translated, FALSE);
    surface.AddEdit(5);
    surface.SetDlgItemTextA(5, "12");
    EXPECT_EQ(surface.GetDlgItemInt(5, nullptr, FALSE), 12u);
    // Unsigned reading of -1 gives the overflow value, which the reader refuses.
    surface.SetDlgItemTextA(5, "-1");
    EXPECT_EQ(surface.GetDlgItemInt(5, &translated, FALSE), 0u);
    EXPECT_EQ(translated, FALSE);
}

} // namespace
} // namespace nv::platform
