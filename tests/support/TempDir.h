// A scratch directory for one test, removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace nv::test {

class TempDir {
public:
    TempDir() {
        std::random_device random;
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            auto candidate = base / ("nv-test-" + std::to_string(random()));
            std::error_code ec;
            if (std::filesystem::create_directory(candidate, ec)) {
                path_ = candidate;
            }
        }
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir() {
        // A test may have taken the owner's rights away from something inside.
        std::error_code ignored;
        if (!path_.empty()) {
            std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ignored);
            std::filesystem::remove_all(path_, ignored);
        }
    }

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

    // Writes BYTES as the file NAME (UTF-8) inside the directory and returns its full path,
    // NAME kept as it was given.
    std::string Write(const std::string& name, std::string_view bytes) const {
        std::ofstream out(path_ / std::filesystem::u8path(name),
                          std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path_.string() + static_cast<char>(std::filesystem::path::preferred_separator) +
               name;
    }

private:
    std::filesystem::path path_;
};

} // namespace nv::test
