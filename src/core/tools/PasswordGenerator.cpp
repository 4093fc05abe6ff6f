#include "core/tools/PasswordGenerator.h"

#include <openssl/evp.h>

#include "core/Error.h"
#include "core/storage/CryptoAes.h"
#include "core/storage/CryptoMd5.h"
#include "core/storage/PassString.h"
#include "core/storage/SecureBytes.h"

namespace vorkel {

namespace {

std::string base64(const SecureBytes& bytes) {
    std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()), bytes.data(),
                                       static_cast<int>(bytes.size()));
    if (length < 0) throw Error("Cannot encode the generated password.");
    text.resize(static_cast<std::size_t>(length));
    return text;
}

}  // namespace

std::string generatePasswordFrom(const std::array<std::uint8_t, 8>& random,
                                 std::string_view masterPasswordBytes,
                                 std::string_view dateTimeText) {
    using crypto::Aes128;
    crypto::Md5 md5;
    md5.update(random.data(), random.size());
    md5.update(masterPasswordBytes.data(), masterPasswordBytes.size());
    const crypto::SecretBlock key = md5.finish();

    crypto::SecretBlock iv;
    {
        Aes128 forward(Aes128::Mode::EncryptEcb, key);
        const crypto::SecretBlock zero;
        forward.block(zero.data(), iv.data());
    }

    SecureBytes cipher(dateTimeText.begin(), dateTimeText.end());
    Aes128 cfb8(Aes128::Mode::EncryptCfb8, key, &iv);
    cfb8.update(cipher.data(), cipher.data(), cipher.size());
    return base64(cipher);
}

std::string GeneratePassword(RandomSource& random, const Clock& clock,
                             std::string_view masterPasswordUtf8) {
    std::array<std::uint8_t, 8> drawn{};
    random.fill(drawn.data(), drawn.size());
    const SecureBytes password = eightBitText(masterPasswordUtf8);
    const std::string_view passwordBytes(reinterpret_cast<const char*>(password.data()),
                                         password.size());
    std::string generated = generatePasswordFrom(drawn, passwordBytes, formatDateTime(clock.now()));
    secureWipe(drawn.data(), drawn.size());
    return generated;
}

std::string cutPassword(const std::string& generated, std::size_t n) {
    return generated.substr(0, n);
}

}  // namespace vorkel
