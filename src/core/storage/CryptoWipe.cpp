#include <openssl/crypto.h>

#include "core/storage/SecureBytes.h"

namespace vorkel {

void secureWipe(void* p, std::size_t n) noexcept {
    if (p != nullptr && n != 0) OPENSSL_cleanse(p, n);
}

}  // namespace vorkel
