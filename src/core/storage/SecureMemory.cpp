#include <sys/mman.h>

#include <cstdlib>
#include <new>

#include "storage/SecureBytes.h"

namespace vorkel {

namespace {
constexpr std::size_t kLargeBlock = std::size_t(8) << 20;
}

void* secureAllocate(std::size_t bytes) {
    if (bytes < kLargeBlock) return ::operator new(bytes);
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    // Advice only: where huge pages are off, the block works all the same.
    (void)madvise(p, bytes, MADV_HUGEPAGE);
    (void)madvise(p, bytes, MADV_DONTDUMP);
    return p;
}

void secureDeallocate(void* p, std::size_t bytes) noexcept {
    if (p == nullptr) return;
    secureWipe(p, bytes);
    if (bytes < kLargeBlock) {
        ::operator delete(p);
        return;
    }
    munmap(p, bytes);
}

}  // namespace vorkel
