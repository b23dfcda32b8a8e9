// Reads the tab-separated test-vector tables of tests/data/vectors: a header line naming the
// columns, then one case per line. Cells use the escapes \r \n \t \\, \xNN for any byte and
// \{N*c} for N repeats of the byte c; <NULL> stands for a null pointer.
#pragma once

#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace nv::test {

// Decodes the escapes of one cell; throws std::runtime_error on a malformed escape.
inline std::string UnescapeCell(const std::string& cell) {
    std::string out;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        if (cell[i] != '\\') {
            out.push_back(cell[i]);
            continue;
        }
        if (i + 1 >= cell.size()) {
            throw std::runtime_error("dangling backslash in " + cell);
        }
        char kind = cell[++i];
        switch (kind) {
        case 'r':
            out.push_back('\r');
            break;
        case 'n':
            out.push_back('\n');
            break;
        case 't':
            out.push_back('\t');
            break;
        case '\\':
            out.push_back('\\');
            break;
        case 'x':
            if (i + 2 >= cell.size()) {
                throw std::runtime_error("short \\x escape in " + cell);
            }
            out.push_back(static_cast<char>(std::stoi(cell.substr(i + 1, 2), nullptr, 16)));
            i += 2;
            break;
        case '{': {
            std::size_t star = cell.find('*', i);
            std::size_t close = cell.find('}', i);
            if (star == std::string::npos || close != star + 2) {
                throw std::runtime_error("bad repeat escape in " + cell);
            }
            out.append(std::stoul(cell.substr(i + 1, star - i - 1)), cell[star + 1]);
            i = close;
            break;
        }
        default:
            throw std::runtime_error("unknown escape in " + cell);
        }
    }
    return out;
}

// One row: raw cells by column name.
class VectorRow {
public:
    explicit VectorRow(std::map<std::string, std::string> cells) : cells_(std::move(cells)) {}

    const std::string& Raw(const std::string& column) const {
        auto found = cells_.find(column);
        if (found == cells_.end()) {
            throw std::runtime_error("no column " + column);
        }
        return found->second;
    }
    // The decoded cell, or nothing for <NULL>.
    std::optional<std::string> Text(const std::string& column) const {
        const std::string& raw = Raw(column);
        if (raw == "<NULL>") {
            return std::nullopt;
        }
        return UnescapeCell(raw);
    }
    long long Number(const std::string& column) const { return std::stoll(Raw(column)); }

private:
    std::map<std::string, std::string> cells_;
};

// The tests/data folder: NV_TEST_DATA when CTest runs the test, else the folder the build was
// configured with (test discovery runs the executable without the test environment).
inline std::string TestDataDir() {
    const char* dataDir = std::getenv("NV_TEST_DATA");
    if (dataDir != nullptr && *dataDir != '\0') {
        return dataDir;
    }
#ifdef NV_SOURCE_TEST_DATA
    return NV_SOURCE_TEST_DATA;
#else
    return "tests/data";
#endif
}

// Loads a table from tests/data/vectors.
inline std::vector<VectorRow> LoadVectorTable(const std::string& fileName) {
    std::string path = TestDataDir() + "/vectors/" + fileName;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    auto split = [](std::string line) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back(); // some tables have CR LF line ends
        }
        std::vector<std::string> cells;
        std::stringstream stream(line);
        std::string cell;
        while (std::getline(stream, cell, '\t')) {
            cells.push_back(cell);
        }
        if (!line.empty() && line.back() == '\t') {
            cells.emplace_back();
        }
        return cells;
    };
    std::string line;
    std::getline(in, line);
    std::vector<std::string> header = split(line);
    std::vector<VectorRow> rows;
    while (std::getline(in, line)) {
        if (line.empty()) {
            continue;
        }
        std::vector<std::string> cells = split(line);
        std::map<std::string, std::string> named;
        for (std::size_t i = 0; i < header.size(); ++i) {
            named[header[i]] = i < cells.size() ? cells[i] : std::string();
        }
        rows.emplace_back(std::move(named));
    }
    return rows;
}

} // namespace nv::test
