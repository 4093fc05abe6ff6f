#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace vorkel {

/// Overwrites n bytes at p in a way the compiler may not optimise away.
void secureWipe(void* p, std::size_t n) noexcept;

/// Memory for secret buffers: large blocks come straight from the system, backed by huge pages
/// where it offers them, since first touching hundreds of megabytes page by page costs more than
/// deciphering them.
void* secureAllocate(std::size_t bytes);
/// Wipes and releases a block from secureAllocate of the same size.
void secureDeallocate(void* p, std::size_t bytes) noexcept;

/// An allocator that wipes memory before handing it back, for buffers that held secrets.
template <typename T>
struct WipingAllocator {
    using value_type = T;
    WipingAllocator() noexcept = default;
    template <typename U>
    WipingAllocator(const WipingAllocator<U>&) noexcept {}
    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(secureAllocate(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { secureDeallocate(p, n * sizeof(T)); }
    template <typename U>
    bool operator==(const WipingAllocator<U>&) const noexcept {
        return true;
    }
};

/// Bytes that may hold a secret (key material, deciphered documents); wiped when freed.
using SecureBytes = std::vector<std::uint8_t, WipingAllocator<std::uint8_t>>;

/// Text that may hold a secret (the master password); wiped when freed.
using SecureString = std::basic_string<char, std::char_traits<char>, WipingAllocator<char>>;

/// Wipes a plain string's characters when the scope ends, for copies of secrets that a toolkit
/// hands out as ordinary strings.
class WipeOnExit {
public:
    /// Wipes `text` when this goes away; `text` must outlive it.
    explicit WipeOnExit(std::string& text) : m_text(text) {}
    ~WipeOnExit() { secureWipe(m_text.data(), m_text.size()); }
    WipeOnExit(const WipeOnExit&) = delete;
    WipeOnExit& operator=(const WipeOnExit&) = delete;

private:
    std::string& m_text;
};

}  // namespace vorkel
