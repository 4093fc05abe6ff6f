#include "core/storage/Container.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>

#include "core/Error.h"
#include "core/storage/AtomicFile.h"
#include "core/storage/CryptoAes.h"
#include "core/storage/CryptoMd5.h"
#include "core/storage/FileHandle.h"

namespace vorkel::container {
namespace {

using crypto::Aes128;
using crypto::kBlockSize;
using crypto::SecretBlock;

SecretBlock deriveKey(const Salt& salt, const SecureBytes& passString) {
    crypto::Md5 md5;
    md5.update(salt.data(), salt.size());
    md5.update(passString.data(), passString.size());
    return md5.finish();
}

SecretBlock firstChainingValue(Aes128& forward) {
    const SecretBlock zero;
    SecretBlock iv;
    forward.block(zero.data(), iv.data());
    return iv;
}

// The final partial block: one step of output feedback from the last chaining value, the same
// in both directions.
void xorTail(Aes128& forward, const std::uint8_t* chainingValue, std::uint8_t* tail,
             std::size_t length) {
    SecretBlock stream;
    forward.block(chainingValue, stream.data());
    for (std::size_t i = 0; i < length; ++i) tail[i] ^= stream[i];
}

}  // namespace

void encipher(const Salt& salt, const SecureBytes& passString, std::uint8_t* data, std::size_t n) {
    const SecretBlock key = deriveKey(salt, passString);
    Aes128 forward(Aes128::Mode::EncryptEcb, key);
    const SecretBlock iv = firstChainingValue(forward);
    const std::size_t whole = n - n % kBlockSize;
    if (whole > 0) {
        // Chaining is serial, so OpenSSL's own CBC loop is the fastest way through.
        Aes128 cbc(Aes128::Mode::EncryptCbc, key, &iv);
        cbc.update(data, data, whole);
    }
    if (whole < n)
        xorTail(forward, whole > 0 ? data + whole - kBlockSize : iv.data(), data + whole,
                n - whole);
}

void decipher(const Salt& salt, const SecureBytes& passString, std::uint8_t* data, std::size_t n) {
    const SecretBlock key = deriveKey(salt, passString);
    Aes128 forward(Aes128::Mode::EncryptEcb, key);
    const SecretBlock iv = firstChainingValue(forward);
    SecretBlock chain = iv;
    const std::size_t whole = n - n % kBlockSize;
    if (whole > 0) {
        // The tail's chaining value is the last whole cipher block, gone once deciphered in place.
        std::memcpy(chain.data(), data + whole - kBlockSize, kBlockSize);
        // Unlike enciphering, the blocks decipher independently; OpenSSL's CBC decryption runs
        // them in parallel and was measured faster than ECB decryption plus a separate xor pass.
        Aes128 cbc(Aes128::Mode::DecryptCbc, key, &iv);
        cbc.update(data, data, whole);
    }
    if (whole < n) xorTail(forward, chain.data(), data + whole, n - whole);
}

Salt Seal(SecureBytes& plain, const SecureBytes& passString, RandomSource& random) {
    Salt salt;
    random.fill(salt.data(), salt.size());
    encipher(salt, passString, plain.data(), plain.size());
    return salt;
}

void EncryptToFile(SecureBytes plain, const std::string& path, const SecureBytes& passString,
                   RandomSource& random) {
    const Salt salt = Seal(plain, passString, random);
    writeFileAtomically(path, {salt, plain});
}

namespace {

// Reads up to n bytes, fewer only at the end of the file.
std::size_t readUpTo(const FileHandle& file, std::uint8_t* out, std::size_t n,
                     const std::string& path) {
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::read(file.get(), out + done, n - done);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            throw Error(fileErrorText("Cannot read file", path, errno));
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

}  // namespace

SecureBytes DecryptFromFile(const std::string& path, const SecureBytes& passString) {
    // Without O_NONBLOCK, opening a FIFO waits for a writer for ever; the type check below
    // turns it away before any read.
    const FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!file) throw Error(fileErrorText("Cannot open file", path, errno));
    struct stat st {};
    if (::fstat(file.get(), &st) != 0) throw Error(fileErrorText("Cannot read file", path, errno));
    if (!S_ISREG(st.st_mode))
        throw Error("Cannot read file \"" + path + "\". It is not a regular file.");
    const auto fileSize = static_cast<std::uint64_t>(std::max<off_t>(st.st_size, 0));
    if (fileSize > kLargestFile)
        throw Error("Cannot read file \"" + path + "\". Its size, " + std::to_string(fileSize) +
                    " bytes, is beyond the " + std::to_string(kLargestFile) +
                    " bytes a store may have.");

    Salt salt;
    if (readUpTo(file, salt.data(), salt.size(), path) < salt.size()) return {};
    SecureBytes plain;
    try {
        plain.resize(fileSize > kSaltSize ? fileSize - kSaltSize : 0);
    } catch (const std::bad_alloc&) {
        throw Error("Cannot read file \"" + path + "\". Its " + std::to_string(fileSize) +
                    " bytes do not fit in the memory available.");
    }
    // A file cut short while we read gives what was there: the cipher keeps lengths.
    plain.resize(readUpTo(file, plain.data(), plain.size(), path));
    decipher(salt, passString, plain.data(), plain.size());
    return plain;
}

}  // namespace vorkel::container
