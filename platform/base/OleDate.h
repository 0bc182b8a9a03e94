// The DATE value (days since 1899-12-30, the fraction being the time of day) and the date
// object COleDateTime built on it: calendar fields, the system's text forms and ISO text for SQL.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

using DATE = double;

class COleDateTime {
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    COleDateTime() = default;
    COleDateTime(DATE dt) : m_dt(dt), m_status(valid) {} // NOLINT: a DATE converts freely
    COleDateTime(int year, int month, int day, int hour, int minute, int second) {
        SetDateTime(year, month, day, hour, minute, second);
    }

    // Sets the date and time; returns 0 on success (the status then valid), 1 when a field is
    // out of range (the status then invalid and the value 0).
    int SetDateTime(int year, int month, int day, int hour, int minute, int second);
    int SetDate(int year, int month, int day) { return SetDateTime(year, month, day, 0, 0, 0); }

    DateTimeStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeStatus s) { m_status = s; }
    operator DATE() const { return m_dt; } // NOLINT

    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const; // 1 Sunday .. 7 Saturday

    // strftime-style text of the value (local calendar fields, no time zone shift).
    std::string Format(const char* fmt) const;

    // Parses "Y-M-D", "Y-M-D H:M" or "Y-M-D H:M:S" (also with '/'); returns true and sets the
    // value (status valid) on success, leaves it as it was otherwise.
    bool ParseDateTime(std::string_view text);

    static COleDateTime GetCurrentTime();
    static COleDateTime FromTimeT(std::time_t t); // local time
    std::time_t ToTimeT() const;                  // local time

    bool operator==(const COleDateTime& o) const { return m_dt == o.m_dt; }
    bool operator<(const COleDateTime& o) const { return m_dt < o.m_dt; }

    DATE m_dt = 0;
    DateTimeStatus m_status = valid;
};

namespace kx {

struct DateParts {
    int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0, dayOfWeek = 7;
};

// True for the DATE values of years 100 to 9999 (finite, representable as calendar fields).
bool IsDateInRange(DATE dt);

// Splits a DATE into calendar fields, rounding the time to the nearest second (a time that
// rounds to 24:00:00 moves to the next day). A value out of range gives 1899-12-30 00:00:00.
DateParts SplitDate(DATE dt);

// Builds a DATE from calendar fields; returns false when a field is out of range.
bool MakeDate(int year, int month, int day, int hour, int minute, int second, DATE& out);

// The system's display text: empty for 0 (and for a value out of range), "%d-%d-%d" at
// midnight, else "%d-%d-%d %d:%d:%d".
std::string DateText(DATE dt);

// "YYYY-MM-DD HH:MM:SS" (the form of date literals in SQL).
std::string IsoDateText(DATE dt);

} // namespace kx
