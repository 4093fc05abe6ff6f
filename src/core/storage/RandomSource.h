#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorkel {

/// The process's one source of random bytes; salts and generated passwords draw from it.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    /// Fills out[0..n) with bytes 0 to 255; throws Error when no randomness can be had.
    virtual void fill(std::uint8_t* out, std::size_t n) = 0;
};

/// Draws from the operating system's CSPRNG (getrandom), so no two runs repeat.
class SystemRandom final : public RandomSource {
public:
    void fill(std::uint8_t* out, std::size_t n) override;
};

/// Replays a fixed byte sequence, cycling; for tests that need repeatable salts.
class FixedRandom final : public RandomSource {
public:
    explicit FixedRandom(std::vector<std::uint8_t> bytes);
    void fill(std::uint8_t* out, std::size_t n) override;
    /// How many bytes have been drawn so far.
    std::size_t drawn() const { return m_drawn; }

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_drawn = 0;
};

}  // namespace vorkel
