#pragma once

#include <openssl/types.h>

#include <cstddef>
#include <memory>

#include "core/storage/CryptoBlock.h"

namespace vorkel::crypto {

/// A streaming MD5 digest over an owned EVP context.
class Md5 {
public:
    /// Starts a digest; throws Error when the digest is not available.
    Md5();
    ~Md5();
    Md5(Md5&&) noexcept = default;
    Md5& operator=(Md5&&) noexcept = default;

    /// Feeds n bytes.
    void update(const void* data, std::size_t n);
    /// The 16-byte digest of everything fed; the object is spent afterwards.
    SecretBlock finish();

private:
    struct ContextFree {
        void operator()(EVP_MD_CTX* ctx) const noexcept;
    };
    std::unique_ptr<EVP_MD_CTX, ContextFree> m_ctx;
};

}  // namespace vorkel::crypto
