#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/storage/SecureBytes.h"

namespace vorkel::crypto {

/// The AES block and key size in bytes (AES-128 keys are one block long).
inline constexpr std::size_t kBlockSize = 16;

/// Sixteen bytes of key material, chaining value or key stream; wiped when it goes away.
class SecretBlock {
public:
    SecretBlock() = default;
    ~SecretBlock() { secureWipe(m_bytes.data(), m_bytes.size()); }
    SecretBlock(const SecretBlock&) = default;
    SecretBlock& operator=(const SecretBlock&) = default;

    /// The first of the sixteen bytes.
    std::uint8_t* data() { return m_bytes.data(); }
    /// The first of the sixteen bytes, read-only.
    const std::uint8_t* data() const { return m_bytes.data(); }
    /// Byte i, 0 <= i < 16.
    std::uint8_t& operator[](std::size_t i) { return m_bytes[i]; }
    /// Byte i, read-only.
    std::uint8_t operator[](std::size_t i) const { return m_bytes[i]; }

private:
    std::array<std::uint8_t, kBlockSize> m_bytes{};
};

}  // namespace vorkel::crypto
