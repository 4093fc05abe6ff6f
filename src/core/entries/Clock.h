#pragma once

#include <string>

namespace vorkel {

/// A local calendar date and time of day, to the second.
struct LocalDateTime {
    int year = 2000;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
    int hour = 0;   // 0..23
    int minute = 0;
    int second = 0;
};

/// Where "now" comes from; injected so tests can fix the time.
class Clock {
public:
    virtual ~Clock() = default;
    /// The current local date and time.
    virtual LocalDateTime now() const = 0;
};

/// The system's local time.
class SystemClock final : public Clock {
public:
    LocalDateTime now() const override;
};

/// A clock that reads what the test set.
class FixedClock final : public Clock {
public:
    explicit FixedClock(LocalDateTime t) : m_time(t) {}
    LocalDateTime now() const override { return m_time; }
    void set(LocalDateTime t) { m_time = t; }

private:
    LocalDateTime m_time;
};

/// Date-time text as entries store it: "dd/mm/yyyy hh:mm:ss", or "dd/mm/yyyy" alone when the
/// time is exactly midnight.
std::string formatDateTime(const LocalDateTime& t);

/// A picked date: "dd/mm/yyyy".
std::string formatDate(const LocalDateTime& t);

}  // namespace vorkel
