#include "core/storage/CryptoAes.h"

#include <openssl/evp.h>

#include <algorithm>
#include <climits>

#include "core/Error.h"

namespace vorkel::crypto {
namespace {

const EVP_CIPHER* cipherFor(Aes128::Mode mode) {
    switch (mode) {
        case Aes128::Mode::EncryptEcb:
            return EVP_aes_128_ecb();
        case Aes128::Mode::EncryptCbc:
        case Aes128::Mode::DecryptCbc:
            return EVP_aes_128_cbc();
        case Aes128::Mode::EncryptCfb8:
            return EVP_aes_128_cfb8();
    }
    return nullptr;
}

// EVP counts in int; larger runs go through in pieces that keep whole blocks together.
constexpr std::size_t kLargestCall = (std::size_t{INT_MAX} / kBlockSize) * kBlockSize;

}  // namespace

void Aes128::ContextFree::operator()(EVP_CIPHER_CTX* ctx) const noexcept {
    // Frees and cleanses the key schedule and chaining state.
    EVP_CIPHER_CTX_free(ctx);
}

Aes128::Aes128(Mode mode, const SecretBlock& key, const SecretBlock* iv)
    : m_ctx(EVP_CIPHER_CTX_new()) {
    if (!m_ctx) throw Error("Cannot set up the cipher: out of memory.");
    const int encrypt = mode == Mode::DecryptCbc ? 0 : 1;
    if (EVP_CipherInit_ex(m_ctx.get(), cipherFor(mode), nullptr, key.data(),
                          iv != nullptr ? iv->data() : nullptr, encrypt) != 1 ||
        EVP_CIPHER_CTX_set_padding(m_ctx.get(), 0) != 1)
        throw Error("Cannot set up the AES-128 cipher.");
}

Aes128::~Aes128() = default;

void Aes128::update(const std::uint8_t* in, std::uint8_t* out, std::size_t n) {
    while (n > 0) {
        const std::size_t piece = std::min(n, kLargestCall);
        int written = 0;
        if (EVP_CipherUpdate(m_ctx.get(), out, &written, in, static_cast<int>(piece)) != 1 ||
            static_cast<std::size_t>(written) != piece)
            throw Error("The AES-128 cipher failed.");
        in += piece;
        out += piece;
        n -= piece;
    }
}

}  // namespace vorkel::crypto
