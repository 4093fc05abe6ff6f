#pragma once

#include <openssl/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/storage/CryptoBlock.h"

namespace vorkel::crypto {

/// One keyed AES-128 operation over an owned EVP context, which is wiped and freed with it.
class Aes128 {
public:
    /// ECB runs single blocks of the forward cipher; CBC and CFB8 chain from the constructor's
    /// initial vector.
    enum class Mode { EncryptEcb, EncryptCbc, DecryptCbc, EncryptCfb8 };

    /// Keys the cipher (no padding); `iv` is required for the chaining modes. Throws Error.
    Aes128(Mode mode, const SecretBlock& key, const SecretBlock* iv = nullptr);
    ~Aes128();
    Aes128(Aes128&&) noexcept = default;
    Aes128& operator=(Aes128&&) noexcept = default;

    /// Runs n bytes from `in` to `out`; in == out is allowed, other overlaps are not. n must be
    /// a multiple of the block size except in CFB8 mode. The chaining runs on between calls.
    void update(const std::uint8_t* in, std::uint8_t* out, std::size_t n);

    /// One block through the cipher: the forward cipher for an EncryptEcb context.
    void block(const std::uint8_t* in, std::uint8_t* out) { update(in, out, kBlockSize); }

private:
    struct ContextFree {
        void operator()(EVP_CIPHER_CTX* ctx) const noexcept;
    };
    std::unique_ptr<EVP_CIPHER_CTX, ContextFree> m_ctx;
};

}  // namespace vorkel::crypto
