#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/storage/RandomSource.h"
#include "core/storage/SecureBytes.h"

namespace vorkel {

/// The salted AES-128 envelope of every file: 8 bytes of salt, then the document enciphered in
/// CBC mode under MD5(salt || pass string), with IV = AES(K, 0) and the final partial block
/// xored with AES(K, last chaining value). The cipher text is exactly as long as the plain text.
namespace container {

inline constexpr std::size_t kSaltSize = 8;
using Salt = std::array<std::uint8_t, kSaltSize>;
/// The largest file DecryptFromFile reads: ten times a million-entry store, far below a size
/// that only a damaged or hostile file has.
inline constexpr std::uint64_t kLargestFile = std::uint64_t(8) << 30;

/// Enciphers data[0..n) in place under the given salt and pass string.
void encipher(const Salt& salt, const SecureBytes& passString, std::uint8_t* data, std::size_t n);

/// Deciphers data[0..n) in place under the given salt and pass string.
void decipher(const Salt& salt, const SecureBytes& passString, std::uint8_t* data, std::size_t n);

/// Draws a fresh salt and enciphers `plain` in place under it; the file is the salt, then
/// `plain`.
Salt Seal(SecureBytes& plain, const SecureBytes& passString, RandomSource& random);

/// Draws a fresh salt, enciphers `plain` (consumed: it is enciphered in place) and replaces the
/// file at `path` atomically. Throws Error "Cannot create file "<path>". <reason>" on failure,
/// leaving any previous file whole.
void EncryptToFile(SecureBytes plain, const std::string& path, const SecureBytes& passString,
                   RandomSource& random);

/// Reads and deciphers the file at `path`. A file shorter than the salt gives an empty buffer
/// (the parser then rejects it). Throws Error "Cannot open file "<path>". <reason>" when it
/// cannot be opened (missing included) and "Cannot read file "<path>". <reason>" when a read fails,
/// the path names no regular file (a folder, a FIFO, a device) or the size is beyond
/// kLargestFile or the memory available; nothing is read or allocated before those checks.
SecureBytes DecryptFromFile(const std::string& path, const SecureBytes& passString);

}  // namespace container
}  // namespace vorkel
