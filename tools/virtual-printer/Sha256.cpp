#include "Sha256.h"

#include <openssl/evp.h>
#include <stdexcept>

namespace nv::vprinter {

namespace {

void Check(int result, const char* what) {
    if (result != 1) {
        throw std::runtime_error(std::string("SHA-256: ") + what + " failed in libcrypto");
    }
}

} // namespace

void Sha256::ContextFree::operator()(evp_md_ctx_st* context) const {
    EVP_MD_CTX_free(context);
}

Sha256::Sha256() : context_(EVP_MD_CTX_new()) {
    if (!context_) {
        throw std::runtime_error("SHA-256: no digest context");
    }
    Check(EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr), "init");
}

void Sha256::Update(const void* data, std::size_t size) {
    if (size != 0) {
        Check(EVP_DigestUpdate(context_.get(), data, size), "update");
    }
}

std::array<std::uint8_t, 32> Sha256::Finish() {
    std::array<std::uint8_t, 32> digest{};
    unsigned int length = 0;
    Check(EVP_DigestFinal_ex(context_.get(), digest.data(), &length), "final");
    if (length != digest.size()) {
        throw std::runtime_error("SHA-256: digest of unexpected length");
    }
    return digest;
}

std::string Sha256::FinishHex() {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(64);
    for (const std::uint8_t byte : Finish()) {
        hex.push_back(kHex[byte >> 4]);
        hex.push_back(kHex[byte & 0x0F]);
    }
    return hex;
}

} // namespace nv::vprinter
