#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/storage/SecureBytes.h"

namespace vorkel::bench {

/// A whole file in fresh, uninitialised memory: what the fastest possible open starts from.
struct RawFile {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t size = 0;
};

/// Reads the whole file at `path` into fresh memory with plain read() calls.
RawFile readWholeFile(const std::string& path);

/// Deciphers a read store in place (salt first, document after): with readWholeFile, the floor
/// under any open.
void decipherInPlace(RawFile& file, const SecureBytes& passString);

/// Enciphers `plain` in place under a fixed salt and writes salt and cipher text to `path`
/// (created or truncated), then fsyncs it: the floor under any save.
void encipherAndWrite(std::uint8_t* plain, std::size_t size, const std::string& path,
                      const SecureBytes& passString);

/// Writes salt and data to `path` (created or truncated) and fsyncs it, without enciphering.
void writeAndSync(const std::uint8_t* data, std::size_t size, const std::string& path);

}  // namespace vorkel::bench
