#include "core/storage/RandomSource.h"

#include <sys/random.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include "core/Error.h"

namespace vorkel {

void SystemRandom::fill(std::uint8_t* out, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        // getrandom hands back at most 32 MiB per call and may be cut short by a signal.
        const ssize_t got = ::getrandom(out + done, n - done, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            throw Error(std::string("Cannot draw random bytes. ") + std::strerror(errno));
        }
        done += static_cast<std::size_t>(got);
    }
}

FixedRandom::FixedRandom(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {
    if (m_bytes.empty()) throw Error("A fixed random source needs at least one byte.");
}

void FixedRandom::fill(std::uint8_t* out, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) out[i] = m_bytes[(m_drawn + i) % m_bytes.size()];
    m_drawn += n;
}

}  // namespace vorkel
