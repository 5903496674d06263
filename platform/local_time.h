#pragma once
// The device's local date and time and its 64-bit file times (100-nanosecond
// units since 1601-01-01 00:00, here of local time, as the program stores
// them). Tests fix the local time with ScopedLocalTime.
#include <cstdint>
#include <optional>

namespace platform {

struct LocalTime {
    int year = 1601;
    int month = 1; // 1-12
    int day = 1; // 1-31
    int dayOfWeek = 1; // 0 Sunday
    int hour = 0;
    int minute = 0;
    int second = 0;
    int milliseconds = 0;
};

// Now, from the fixed time a test set, else the system's local time.
LocalTime GetLocalTime();

// The file time of the calendar fields (the day of the week is not read).
uint64_t LocalTimeToFileTime(const LocalTime& time);
// The calendar fields of a file time; nothing for one past the year 30827.
std::optional<LocalTime> FileTimeToLocalTime(uint64_t fileTime);

// Makes GetLocalTime answer `time` for the life of the object.
class ScopedLocalTime {
public:
    explicit ScopedLocalTime(const LocalTime& time);
    ~ScopedLocalTime();
    ScopedLocalTime(const ScopedLocalTime&) = delete;
    ScopedLocalTime& operator=(const ScopedLocalTime&) = delete;
    void Set(const LocalTime& time);
};

} // namespace platform
