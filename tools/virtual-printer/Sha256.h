// Incremental SHA-256 through libcrypto, so a document of any size is hashed as it streams by.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct evp_md_ctx_st;

namespace nv::vprinter {

class Sha256 {
public:
    // Throws std::runtime_error when libcrypto cannot set up the digest (out of memory).
    Sha256();
    void Update(const void* data, std::size_t size);
    // The digest of everything given so far; the object must not be updated afterwards.
    std::array<std::uint8_t, 32> Finish();
    // Finish() as 64 lower-case hex digits.
    std::string FinishHex();

private:
    struct ContextFree {
        void operator()(evp_md_ctx_st* context) const;
    };
    std::unique_ptr<evp_md_ctx_st, ContextFree> context_;
};

} // namespace nv::vprinter
