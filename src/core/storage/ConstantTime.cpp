#include "core/storage/ConstantTime.h"

#include <algorithm>

namespace vorkel {

bool constantTimeEquals(std::string_view a, std::string_view b) {
    const std::size_t n = std::max(a.size(), b.size());
    volatile unsigned char diff = a.size() == b.size() ? 0 : 1;
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = i < a.size() ? static_cast<unsigned char>(a[i]) : 0;
        unsigned char y = i < b.size() ? static_cast<unsigned char>(b[i]) : 0;
        diff = static_cast<unsigned char>(diff | (x ^ y));
    }
    return diff == 0;
}

}  // namespace vorkel
