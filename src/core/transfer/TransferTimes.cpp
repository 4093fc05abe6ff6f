#include "core/transfer/TransferTimes.h"

#include <cstdio>
#include <ctime>

#include "core/entries/TextRules.h"

namespace vorkel {
namespace {

// Digits at [pos, pos + count) as a number, or -1.
int digits(std::string_view s, std::size_t pos, std::size_t count) {
    if (pos + count > s.size()) return -1;
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (s[i] < '0' || s[i] > '9') return -1;
        value = value * 10 + (s[i] - '0');
    }
    return value;
}

LocalDateTime fromTm(const std::tm& tm) {
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

// Years outside 1..9999 have no four-digit text, which the stored form and ISO 8601 need.
bool fourDigitYear(const std::tm& tm) {
    return tm.tm_year + 1900 >= 1 && tm.tm_year + 1900 <= 9999;
}

std::optional<LocalDateTime> localFromUtcSeconds(std::time_t t) {
    std::tm tm{};
    if (!localtime_r(&t, &tm) || !fourDigitYear(tm)) return std::nullopt;
    return fromTm(tm);
}

bool plausible(int year, int month, int day, int hour, int minute, int second) {
    return year >= 1 && month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour >= 0 &&
           hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 60;
}

// A calendar time's fields as the C library takes them.
std::tm brokenDown(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    return tm;
}

}  // namespace

std::optional<LocalDateTime> localFromIso8601(std::string_view s) {
    const int year = digits(s, 0, 4), month = digits(s, 5, 2), day = digits(s, 8, 2);
    const int hour = digits(s, 11, 2), minute = digits(s, 14, 2), second = digits(s, 17, 2);
    if (s.size() < 19 || s[4] != '-' || s[7] != '-' || (s[10] != 'T' && s[10] != ' ') ||
        s[13] != ':' || s[16] != ':' || !plausible(year, month, day, hour, minute, second))
        return std::nullopt;
    std::size_t i = 19;
    if (i < s.size() && s[i] == '.') {
        ++i;
        const std::size_t start = i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
        if (i == start) return std::nullopt;
    }
    std::tm tm = brokenDown(year, month, day, hour, minute, second);
    if (i == s.size()) {  // no zone: already local
        tm.tm_isdst = -1;
        if (std::mktime(&tm) == -1) return std::nullopt;
        return LocalDateTime{year, month, day, hour, minute, second};
    }
    long offset = 0;
    if (s[i] == 'Z' && i + 1 == s.size()) {
        offset = 0;
    } else if ((s[i] == '+' || s[i] == '-') && s.size() == i + 6 && s[i + 3] == ':') {
        const int oh = digits(s, i + 1, 2), om = digits(s, i + 4, 2);
        if (oh < 0 || om < 0 || oh > 23 || om > 59) return std::nullopt;
        offset = (oh * 3600L + om * 60L) * (s[i] == '-' ? -1 : 1);
    } else {
        return std::nullopt;
    }
    const std::time_t utc = timegm(&tm);
    if (utc == -1) return std::nullopt;
    return localFromUtcSeconds(utc - offset);
}

std::optional<LocalDateTime> localFromEpochMillis(std::string_view text) {
    const auto ms = parseInteger(text);
    if (!ms || *ms < 0 || text.front() == '+') return std::nullopt;
    return localFromUtcSeconds(static_cast<std::time_t>(*ms / 1000));
}

std::string iso8601FromStored(std::string_view s) {
    const int day = digits(s, 0, 2), month = digits(s, 3, 2), year = digits(s, 6, 4);
    if (s.size() < 10 || s[2] != '/' || s[5] != '/') return "";
    int hour = 0, minute = 0, second = 0;
    if (s.size() != 10) {
        hour = digits(s, 11, 2), minute = digits(s, 14, 2), second = digits(s, 17, 2);
        if (s.size() != 19 || s[10] != ' ' || s[13] != ':' || s[16] != ':') return "";
    }
    if (!plausible(year, month, day, hour, minute, second)) return "";
    std::tm tm = brokenDown(year, month, day, hour, minute, second);
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    std::tm utc{};
    if (t == -1 || !gmtime_r(&t, &utc) || !fourDigitYear(utc)) return "";
    char buf[80];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return buf;
}

}  // namespace vorkel
