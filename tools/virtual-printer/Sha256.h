// Incremental SHA-256 (FIPS 180-4), so a document of any size is hashed as it streams by.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace nv::vprinter {

class Sha256 {
public:
    Sha256();
    void Update(const void* data, std::size_t size);
    // The digest of everything given so far; the object must not be updated afterwards.
    std::array<std::uint8_t, 32> Finish();
    // Finish() as 64 lower-case hex digits.
    std::string FinishHex();

private:
    void Block(const std::uint8_t* block);

    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0;
};

} // namespace nv::vprinter
