#include "core/entries/Clock.h"

#include <cstdio>
#include <ctime>

namespace vorkel {

LocalDateTime SystemClock::now() const {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string formatDate(const LocalDateTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", t.day, t.month, t.year);
    return buf;
}

std::string formatDateTime(const LocalDateTime& t) {
    std::string text = formatDate(t);
    if (t.hour == 0 && t.minute == 0 && t.second == 0) return text;
    char buf[32];
    std::snprintf(buf, sizeof buf, " %02d:%02d:%02d", t.hour, t.minute, t.second);
    return text + buf;
}

}  // namespace vorkel
