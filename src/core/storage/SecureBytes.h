#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vorkel {

/// Overwrites n bytes at p in a way the compiler may not optimise away.
void secureWipe(void* p, std::size_t n) noexcept;

/// An allocator that wipes memory before handing it back, for buffers that held secrets.
template <typename T>
struct WipingAllocator {
    using value_type = T;
    WipingAllocator() noexcept = default;
    template <typename U>
    WipingAllocator(const WipingAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) { return std::allocator<T>{}.allocate(n); }
    void deallocate(T* p, std::size_t n) noexcept {
        secureWipe(p, n * sizeof(T));
        std::allocator<T>{}.deallocate(p, n);
    }
    template <typename U>
    bool operator==(const WipingAllocator<U>&) const noexcept {
        return true;
    }
};

/// Bytes that may hold a secret (key material, deciphered documents); wiped when freed.
using SecureBytes = std::vector<std::uint8_t, WipingAllocator<std::uint8_t>>;

/// Text that may hold a secret (the master password); wiped when freed.
using SecureString = std::basic_string<char, std::char_traits<char>, WipingAllocator<char>>;

}  // namespace vorkel
