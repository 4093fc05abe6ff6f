#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace vorkel {

/// Overwrites n bytes at p in a way the compiler may not optimise away.
void secureWipe(void* p, std::size_t n) noexcept;

/// Memory for secret buffers, on pages of their own that are left out of core dumps
/// (MADV_DONTDUMP) and locked against swap while RLIMIT_MEMLOCK allows. Small blocks share
/// pooled pages; large blocks come straight from the system, backed by huge pages where it
/// offers them, since first touching hundreds of megabytes page by page costs more than
/// deciphering them.
void* secureAllocate(std::size_t bytes);
/// Wipes and releases a block from secureAllocate of the same size.
void secureDeallocate(void* p, std::size_t bytes) noexcept;
/// Bytes of secret memory now locked against swap (never above RLIMIT_MEMLOCK).
std::size_t secureLockedBytes();
/// Blocks handed out by secureAllocate and not yet released: a leak check for tests.
std::size_t secureBlocksInUse() noexcept;
/// For fault tests: after `successes` more secure allocations, the next one throws
/// std::bad_alloc, once; a negative count disarms. Returns the count that was pending (-1: none).
long failSecureAllocationAfter(long successes) noexcept;

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
    /// A grown buffer is left as it comes (zero from fresh pages or a wiped slot) rather than
    /// cleared again: documents of hundreds of megabytes are sized and then read or written
    /// over whole, and a second pass over them costs as much as deciphering.
    template <typename U>
    void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... A>
    void construct(U* p, A&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<A>(args)...);
    }
    template <typename U>
    bool operator==(const WipingAllocator<U>&) const noexcept {
        return true;
    }
};

/// Bytes that may hold a secret (key material, deciphered documents); wiped when freed.
using SecureBytes = std::vector<std::uint8_t, WipingAllocator<std::uint8_t>>;

/// Text that may hold a secret (the master password). A plain string keeps up to fifteen
/// characters inside the object itself, where no allocator sees them and nothing wipes them; this
/// one reserves a buffer from the wiping allocator from the start and never gives it up, so
/// every character it ever held lies there and is wiped, whole capacity, when freed.
class SecureString : public std::basic_string<char, std::char_traits<char>, WipingAllocator<char>> {
    using Base = std::basic_string<char, std::char_traits<char>, WipingAllocator<char>>;

public:
    SecureString() { Base::reserve(kInlineCapacity + 1); }
    /// Takes the arguments of std::string's assign (text, view, range, count and character).
    template <typename... A>
    requires(sizeof...(A) > 0 &&
             !(sizeof...(A) == 1 && (std::is_base_of_v<Base, std::decay_t<A>> && ...)))
        SecureString(A&&... args)
        : SecureString() {
        Base::assign(std::forward<A>(args)...);
    }
    SecureString(const SecureString& other) : SecureString() { Base::assign(other); }
    // Swapping keeps both buffers in the allocator; a moved-from string stays usable.
    SecureString(SecureString&& other) : SecureString() { Base::swap(other); }
    SecureString& operator=(const SecureString& other) {
        if (this != &other) Base::assign(other);
        return *this;
    }
    SecureString& operator=(SecureString&& other) noexcept {
        Base::swap(other);
        return *this;
    }
    /// Assigns in place: the buffer, on the heap from the start, only ever grows.
    template <typename T>
    requires(!std::is_same_v<std::decay_t<T>, SecureString>) SecureString& operator=(T&& value) {
        Base::assign(std::forward<T>(value));
        return *this;
    }
    /// Would move short text into the object: not offered.
    void shrink_to_fit() = delete;

private:
    static constexpr std::size_t kInlineCapacity = 15;
};

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
