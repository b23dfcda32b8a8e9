#include "VectorText.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace nv::test {

std::string DecodeVectorText(const std::string& cell) {
    std::string out;
    for (std::size_t i = 0; i < cell.size(); ++i) {
        if (cell[i] != '\\' || i + 1 >= cell.size()) {
            out += cell[i];
            continue;
        }
        const char e = cell[++i];
        if (e == 'r') {
            out += '\r';
        } else if (e == 'n') {
            out += '\n';
        } else if (e == 't') {
            out += '\t';
        } else if (e == '\\') {
            out += '\\';
        } else if (e == 'x' && i + 2 < cell.size()) {
            out += static_cast<char>(std::stoi(cell.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else if (e == '{') {
            // \{N*c}
            const std::size_t star = cell.find('*', i);
            const std::size_t close = cell.find('}', star);
            const std::size_t count = std::stoul(cell.substr(i + 1, star - i - 1));
            const std::string unit = DecodeVectorText(cell.substr(star + 1, close - star - 1));
            for (std::size_t n = 0; n < count; ++n) {
                out += unit;
            }
            i = close;
        } else {
            out += '\\';
            out += e;
        }
    }
    return out;
}

std::vector<std::map<std::string, std::string>> ReadVectorRows(const std::string& relativePath) {
    std::vector<std::map<std::string, std::string>> rows;
    const char* root = std::getenv("NV_TEST_DATA");
    const std::string path =
        std::string(root != nullptr ? root : "tests/data") + "/" + relativePath;
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    auto split = [](std::string line) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back(); // the files have CR LF line ends
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
    if (!std::getline(in, line)) {
        return rows;
    }
    const std::vector<std::string> header = split(line);
    while (std::getline(in, line)) {
        if (line.empty()) {
            continue;
        }
        const std::vector<std::string> cells = split(line);
        std::map<std::string, std::string> row;
        for (std::size_t c = 0; c < header.size(); ++c) {
            row[header[c]] = c < cells.size() ? cells[c] : std::string();
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace nv::test
