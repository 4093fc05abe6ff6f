#include "PhysicalLimit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "core/storage/Container.h"
#include "core/storage/FileHandle.h"

namespace vorkel::bench {

namespace {

const container::Salt kSalt = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};

[[noreturn]] void failed(const char* what, const std::string& path) {
    throw std::runtime_error(std::string(what) + " " + path + ": " + std::strerror(errno));
}

void writeAll(const FileHandle& file, const std::uint8_t* data, std::size_t size,
              const std::string& path) {
    while (size > 0) {
        const ssize_t n = ::write(file.get(), data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            failed("cannot write", path);
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

}  // namespace

RawFile readWholeFile(const std::string& path) {
    const FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file) failed("cannot open", path);
    struct stat st {};
    if (::fstat(file.get(), &st) != 0) failed("cannot stat", path);
    RawFile raw;
    raw.size = static_cast<std::size_t>(st.st_size);
    raw.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(raw.size);
    std::size_t done = 0;
    while (done < raw.size) {
        const ssize_t n = ::read(file.get(), raw.bytes.get() + done, raw.size - done);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            failed("cannot read", path);
        }
        done += static_cast<std::size_t>(n);
    }
    raw.size = done;
    return raw;
}

void decipherInPlace(RawFile& file, const SecureBytes& passString) {
    if (file.size < container::kSaltSize) return;
    container::Salt salt;
    std::memcpy(salt.data(), file.bytes.get(), salt.size());
    container::decipher(salt, passString, file.bytes.get() + salt.size(), file.size - salt.size());
}

void writeAndSync(const std::uint8_t* data, std::size_t size, const std::string& path) {
    FileHandle file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (!file) failed("cannot create", path);
    writeAll(file, kSalt.data(), kSalt.size(), path);
    writeAll(file, data, size, path);
    if (::fsync(file.get()) != 0) failed("cannot fsync", path);
    if (file.close() != 0) failed("cannot close", path);
}

void encipherAndWrite(std::uint8_t* plain, std::size_t size, const std::string& path,
                      const SecureBytes& passString) {
    container::encipher(kSalt, passString, plain, size);
    writeAndSync(plain, size, path);
}

}  // namespace vorkel::bench
