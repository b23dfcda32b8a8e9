// Every observed wsprintfA case whose arguments our typed arguments can carry, replayed from the
// vector file: result, the bytes stored (NUL included), and no byte written after them.
#include "platform/format/Format.h"
#include "support/VectorTable.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <deque>
#include <gtest/gtest.h>
#include <optional>
#include <regex>
#include <set>
#include <vector>

namespace nv::platform {
namespace {

// Rows whose arguments a typed list cannot carry, with the reason.
const std::map<std::string, std::string> kNotExpressible = {
    {"I64u_big", "0x100000001 needs 64 bits; Int and UInt carry 32"},
    {"f_then_d", "its %d read the low half of the double 1.5; a typed list holds no double "
                 "(with typed arguments %d takes the next one: FormatRules.Mismatch)"},
};

// Rows whose only argument is a double that no conversion reads: run with no arguments.
const std::set<std::string> kUnreadDouble = {"f", "e", "g"};

// Holds the texts the arguments point to.
struct ArgList {
    std::deque<std::string> texts;
    std::vector<FormatArg> args;
};

// Splits the args cell at commas outside quotes.
std::vector<std::string> SplitArgs(const std::string& cell) {
    std::vector<std::string> tokens;
    std::string current;
    char quote = 0;
    for (char c : cell) {
        if (quote != 0) {
            quote = c == quote ? 0 : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ',') {
            tokens.push_back(current);
            current.clear();
            continue;
        }
        current += c;
    }
    tokens.push_back(current);
    for (auto& token : tokens) {
        token = std::regex_replace(token, std::regex("^\\s+|\\s+$"), "");
    }
    return tokens;
}

// Maps one C argument expression of the vector file to a typed argument; nullopt when it
// cannot be carried (a double, a value wider than 32 bits).
std::optional<FormatArg> MapArg(std::string token, ArgList& list) {
    std::smatch m;
    if (token == "NULL") {
        return FormatArg::Text(nullptr);
    }
    if (token == "INT_MIN") {
        return FormatArg::Int(INT_MIN);
    }
    if (std::regex_match(token, m, std::regex("^L?\"(.*)\"$"))) {
        list.texts.push_back(test::UnescapeCell(m[1]));
        return FormatArg::Text(list.texts.back().c_str());
    }
    if (std::regex_match(token, m, std::regex("^L?'(.)'$"))) {
        return FormatArg::Int(static_cast<unsigned char>(m.str(1)[0]));
    }
    if (std::regex_match(token, m, std::regex("^(\\d+) (.)$"))) {
        list.texts.emplace_back(std::stoul(m[1]), m.str(2)[0]);
        return FormatArg::Text(list.texts.back().c_str());
    }
    token = std::regex_replace(token, std::regex("^\\(void\\*\\)|\\s*\\(INT_PTR\\)$|L+$"), "");
    if (!std::regex_match(token, std::regex("^-?(0x[0-9A-Fa-f]+|\\d+)$"))) {
        return std::nullopt;
    }
    const long long value = std::stoll(token, nullptr, 0);
    if (value >= INT32_MIN && value <= INT32_MAX) {
        return FormatArg::Int(static_cast<std::int32_t>(value));
    }
    if (value > 0 && value <= static_cast<long long>(UINT32_MAX)) {
        return FormatArg::UInt(static_cast<std::uint32_t>(value));
    }
    return std::nullopt;
}

TEST(FormatVectors, EveryExpressibleCaseMatchesThePlatform) {
    const auto rows = test::LoadVectorTable("wsprintf_vectors.tsv");
    ASSERT_EQ(rows.size(), 72u);
    int checked = 0;
    for (const auto& row : rows) {
        const std::string& id = row.Raw("case_id");
        SCOPED_TRACE(id);
        if (kNotExpressible.count(id) != 0) {
            continue;
        }
        ArgList list;
        const std::string& cell = row.Raw("args");
        if (kUnreadDouble.count(id) == 0 && !cell.empty() && cell != "(none)") {
            for (const std::string& token : SplitArgs(cell)) {
                const std::optional<FormatArg> arg = MapArg(token, list);
                ASSERT_TRUE(arg.has_value()) << "unmapped argument " << token;
                list.args.push_back(*arg);
            }
        }
        const std::string format = test::UnescapeCell(row.Raw("format"));
        std::string expected = test::UnescapeCell(row.Raw("observed_text"));
        if (row.Raw("nul_at_return_index") == "yes") {
            expected += '\0';
        }
        ASSERT_EQ(expected.size(), std::stoul(row.Raw("bytes_written_incl_nul")));

        std::vector<char> buffer(kWsprintfMax + 64, '\xCC');
        const int result = wsprintfA(buffer.data(), kWsprintfMax, format.c_str(), list.args);
        EXPECT_EQ(result, std::stoi(row.Raw("observed_return")));
        EXPECT_EQ(std::string(buffer.data(), expected.size()), expected);
        EXPECT_EQ(buffer[expected.size()], '\xCC') << "wrote past the result";
        ++checked;
    }
    EXPECT_EQ(checked + kNotExpressible.size(), rows.size());
}

} // namespace
} // namespace nv::platform
