// The scratch folder of the file tests on Windows (the second-process probe is POSIX only).
#include "../FilesTestSupport.h"

#include <filesystem>
#include <fstream>
#include <random>

namespace nv::test {

TempDir::TempDir() {
    std::random_device random;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const auto candidate = base / ("nv-files-" + std::to_string(random()));
        std::error_code ec;
        if (std::filesystem::create_directory(candidate, ec)) {
            path_ = candidate.string();
        }
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
    const std::string path = path_ + "\\" + name;
    std::ofstream(std::filesystem::u8path(path), std::ios::binary) << bytes;
    return path;
}

} // namespace nv::test
