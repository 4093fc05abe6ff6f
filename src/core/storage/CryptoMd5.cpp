#include "core/storage/CryptoMd5.h"

#include <openssl/evp.h>

#include "core/Error.h"

namespace vorkel::crypto {

void Md5::ContextFree::operator()(EVP_MD_CTX* ctx) const noexcept {
    EVP_MD_CTX_free(ctx);
}

Md5::Md5() : m_ctx(EVP_MD_CTX_new()) {
    if (!m_ctx || EVP_DigestInit_ex(m_ctx.get(), EVP_md5(), nullptr) != 1)
        throw Error("Cannot set up the MD5 digest.");
}

Md5::~Md5() = default;

void Md5::update(const void* data, std::size_t n) {
    if (n != 0 && EVP_DigestUpdate(m_ctx.get(), data, n) != 1)
        throw Error("The MD5 digest failed.");
}

SecretBlock Md5::finish() {
    SecretBlock digest;
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(m_ctx.get(), digest.data(), &length) != 1 || length != kBlockSize)
        throw Error("The MD5 digest failed.");
    return digest;
}

}  // namespace vorkel::crypto
