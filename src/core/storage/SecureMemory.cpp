#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <new>
#include <unordered_set>

#include "core/storage/SecureBytes.h"

namespace vorkel {

namespace {

constexpr std::size_t kLargeBlock = std::size_t(8) << 20;
// Small blocks (master passwords, keys, short fields) share pages of their own, cut into
// power-of-two slots; a slot comes back to its size's free list, never to the general heap,
// where its page could not be kept out of core dumps.
constexpr std::size_t kSmallestSlot = 16;
constexpr std::size_t kLargestSlot = 2048;
constexpr std::size_t kSlotClasses = 8;  // 16, 32, ..., 2048
constexpr std::size_t kChunk = std::size_t(64) << 10;

std::size_t pageSize() {
    static const std::size_t size = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return size;
}

std::size_t roundToPages(std::size_t bytes) {
    const std::size_t page = pageSize();
    return (bytes + page - 1) / page * page;
}

struct FreeSlot {
    FreeSlot* next;
};

// The state shared by every secret block. One thread uses it in practice; the lock is cheap
// insurance for tests and tools that are not.
struct Pool {
    std::mutex lock;
    std::array<FreeSlot*, kSlotClasses> free{};
    std::size_t locked = 0;  // bytes held by mlock, kept within RLIMIT_MEMLOCK
    std::size_t lockLimit = 0;
    std::unordered_set<void*> lockedBlocks;  // mapped blocks that were locked
    Pool() {
        rlimit limit{};
        if (::getrlimit(RLIMIT_MEMLOCK, &limit) == 0)
            lockLimit = limit.rlim_cur == RLIM_INFINITY ? SIZE_MAX
                                                        : static_cast<std::size_t>(limit.rlim_cur);
    }
};

Pool& pool() {
    // Never destroyed: blocks may be freed by other static objects' destructors at exit.
    static Pool* const p = new Pool;
    return *p;
}

std::size_t slotClass(std::size_t bytes) {
    std::size_t c = 0;
    for (std::size_t size = kSmallestSlot; size < bytes; size <<= 1) ++c;
    return c;
}

// Fresh pages for secrets: kept out of core dumps, and locked against swap while the limit
// allows (over it, or where the system refuses, they work all the same).
void* mapSecretPages(Pool& p, std::size_t bytes, bool allowLock) {
    void* block =
        ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) throw std::bad_alloc();
    (void)::madvise(block, bytes, MADV_DONTDUMP);
    if (allowLock && bytes <= p.lockLimit - p.locked && ::mlock(block, bytes) == 0) {
        p.locked += bytes;
        try {
            p.lockedBlocks.insert(block);
        } catch (...) {
            ::munlock(block, bytes);
            p.locked -= bytes;
        }
    }
    return block;
}

void unmapSecretPages(Pool& p, void* block, std::size_t bytes) {
    // Unmapping unlocks: a separate munlock walks the pages once more for nothing.
    if (p.lockedBlocks.erase(block) != 0) p.locked -= bytes;
    ::munmap(block, bytes);
}

std::atomic<long> g_faultCountdown{-1};
std::atomic<std::size_t> g_blocksInUse{0};

void* allocateBlock(std::size_t bytes) {
    Pool& p = pool();
    if (bytes == 0) bytes = 1;
    if (bytes <= kLargestSlot) {
        const std::lock_guard<std::mutex> guard(p.lock);
        const std::size_t c = slotClass(bytes);
        if (!p.free[c]) {
            // A new chunk, cut into slots of this class.
            auto* chunk = static_cast<unsigned char*>(mapSecretPages(p, kChunk, true));
            const std::size_t slot = kSmallestSlot << c;
            for (std::size_t at = kChunk; at >= slot; at -= slot) {
                auto* s = reinterpret_cast<FreeSlot*>(chunk + at - slot);
                s->next = p.free[c];
                p.free[c] = s;
            }
        }
        FreeSlot* s = p.free[c];
        p.free[c] = s->next;
        s->next = nullptr;
        return s;
    }
    const std::size_t mapped = roundToPages(bytes);
    if (bytes < kLargeBlock) {
        const std::lock_guard<std::mutex> guard(p.lock);
        return mapSecretPages(p, mapped, true);
    }
    void* block = nullptr;
    {
        const std::lock_guard<std::mutex> guard(p.lock);
        block = mapSecretPages(p, mapped, true);
    }
    // Advice only: where huge pages are off, the block works all the same.
    (void)::madvise(block, mapped, MADV_HUGEPAGE);
    return block;
}

}  // namespace

void* secureAllocate(std::size_t bytes) {
    if (g_faultCountdown.load(std::memory_order_relaxed) >= 0 &&
        g_faultCountdown.fetch_sub(1, std::memory_order_relaxed) == 0)
        throw std::bad_alloc();
    void* block = allocateBlock(bytes);
    g_blocksInUse.fetch_add(1, std::memory_order_relaxed);
    return block;
}

std::size_t secureBlocksInUse() noexcept {
    return g_blocksInUse.load(std::memory_order_relaxed);
}

long failSecureAllocationAfter(long successes) noexcept {
    return g_faultCountdown.exchange(successes < 0 ? -1 : successes, std::memory_order_relaxed);
}

void secureDeallocate(void* block, std::size_t bytes) noexcept {
    if (block == nullptr) return;
    g_blocksInUse.fetch_sub(1, std::memory_order_relaxed);
    Pool& p = pool();
    if (bytes == 0) bytes = 1;
    if (bytes <= kLargestSlot) {
        const std::size_t c = slotClass(bytes);
        secureWipe(block, kSmallestSlot << c);
        const std::lock_guard<std::mutex> guard(p.lock);
        auto* s = static_cast<FreeSlot*>(block);
        s->next = p.free[c];
        p.free[c] = s;
        return;
    }
    const std::size_t mapped = roundToPages(bytes);
    secureWipe(block, bytes);
    const std::lock_guard<std::mutex> guard(p.lock);
    unmapSecretPages(p, block, mapped);
}

std::size_t secureLockedBytes() {
    Pool& p = pool();
    const std::lock_guard<std::mutex> guard(p.lock);
    return p.locked;
}

}  // namespace vorkel
