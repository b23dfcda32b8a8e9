// Reading the platform's observed test vectors: tab-separated rows with a header line, and the
// escapes the vector files use inside their cells.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace nv::test {

// Decodes \r \n \t \\, \xNN and \{N*c} (N repeats of byte c) into raw bytes.
std::string DecodeVectorText(const std::string& cell);

// The rows of a vector file below the tests' data folder (NV_TEST_DATA), each a map from
// column name to the raw cell text. Fails the current test when the file cannot be read.
std::vector<std::map<std::string, std::string>> ReadVectorRows(const std::string& relativePath);

} // namespace nv::test
