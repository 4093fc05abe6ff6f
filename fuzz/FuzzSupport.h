#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "core/storage/PassString.h"
#include "core/storage/SecureBytes.h"

namespace vorkel::fuzz {

/// The pair every seed file is keyed with, so the seeds decipher into documents.
inline constexpr std::string_view kUser = "fuzz";
inline constexpr std::string_view kPassword = "seed pair";

/// A property that must hold broke: report it and stop, so libFuzzer keeps the input.
[[noreturn]] inline void broken(const char* what) {
    std::fprintf(stderr, "property broken: %s\n", what);
    std::abort();
}

/// The fuzz input as a buffer the loaders take.
inline SecureBytes bytesOf(const std::uint8_t* data, std::size_t size) {
    return SecureBytes(data, data + size);
}

}  // namespace vorkel::fuzz
