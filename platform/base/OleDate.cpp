#include "base/OleDate.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace kx {
namespace {

// Days between 1899-12-30 and 1970-01-01.
constexpr long kUnixEpochDays = 25569;

// Civil-date conversions on the proleptic Gregorian calendar (days relative to 1970-01-01).
long DaysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long yy = static_cast<long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) return 29;
    return days[m - 1];
}

} // namespace

// The DATE values of years 100 to 9999, the range the calendar fields can express; anything
// outside (a damaged record, a huge value from the wire) is treated as no date.
constexpr double kMinDate = -657434.0;
constexpr double kMaxDate = 2958466.0;

bool IsDateInRange(DATE dt) { return std::isfinite(dt) && dt >= kMinDate && dt < kMaxDate; }

DateParts SplitDate(DATE dt) {
    DateParts p;
    if (!IsDateInRange(dt)) return p;
    // An OLE DATE below 0 keeps a positive time fraction: -1.25 is 1899-12-29 06:00.
    double whole = std::trunc(dt);
    double frac = std::fabs(dt - whole);
    long days = static_cast<long>(whole);
    long secs = std::lround(frac * 86400.0);
    if (secs >= 86400) {
        secs -= 86400;
        days += dt < 0 ? -1 : 1;
    }
    long unixDays = days - kUnixEpochDays;
    CivilFromDays(unixDays, p.year, p.month, p.day);
    p.hour = static_cast<int>(secs / 3600);
    p.minute = static_cast<int>(secs / 60 % 60);
    p.second = static_cast<int>(secs % 60);
    long wd = (unixDays % 7 + 7 + 4) % 7; // 1970-01-01 was a Thursday (4, Sunday 0)
    p.dayOfWeek = static_cast<int>(wd) + 1;
    return p;
}

bool MakeDate(int year, int month, int day, int hour, int minute, int second, DATE& out) {
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59)
        return false;
    long days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
                kUnixEpochDays;
    double frac = (hour * 3600 + minute * 60 + second) / 86400.0;
    out = days >= 0 ? days + frac : days - frac;
    return true;
}

std::string DateText(DATE dt) {
    if (dt == 0 || !IsDateInRange(dt)) return {};
    DateParts p = SplitDate(dt);
    char buf[64];
    if (p.hour != 0 || p.minute != 0 || p.second != 0)
        std::snprintf(buf, sizeof buf, "%d-%d-%d %d:%d:%d", p.year, p.month, p.day, p.hour,
                      p.minute, p.second);
    else
        std::snprintf(buf, sizeof buf, "%d-%d-%d", p.year, p.month, p.day);
    return buf;
}

std::string IsoDateText(DATE dt) {
    DateParts p = SplitDate(dt);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour,
                  p.minute, p.second);
    return buf;
}

} // namespace kx

int COleDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second) {
    DATE d = 0;
    if (!kx::MakeDate(year, month, day, hour, minute, second, d)) {
        m_dt = 0;
        m_status = invalid;
        return 1;
    }
    m_dt = d;
    m_status = valid;
    return 0;
}

int COleDateTime::GetYear() const { return kx::SplitDate(m_dt).year; }
int COleDateTime::GetMonth() const { return kx::SplitDate(m_dt).month; }
int COleDateTime::GetDay() const { return kx::SplitDate(m_dt).day; }
int COleDateTime::GetHour() const { return kx::SplitDate(m_dt).hour; }
int COleDateTime::GetMinute() const { return kx::SplitDate(m_dt).minute; }
int COleDateTime::GetSecond() const { return kx::SplitDate(m_dt).second; }
int COleDateTime::GetDayOfWeek() const { return kx::SplitDate(m_dt).dayOfWeek; }

namespace {
// The calendar fields of a DATE as a struct tm (local time, DST left to mktime).
std::tm ToTm(DATE dt) {
    kx::DateParts p = kx::SplitDate(dt);
    std::tm tm{};
    tm.tm_year = p.year - 1900;
    tm.tm_mon = p.month - 1;
    tm.tm_mday = p.day;
    tm.tm_hour = p.hour;
    tm.tm_min = p.minute;
    tm.tm_sec = p.second;
    tm.tm_wday = p.dayOfWeek - 1;
    tm.tm_isdst = -1;
    return tm;
}
} // namespace

std::string COleDateTime::Format(const char* fmt) const {
    std::tm tm = ToTm(m_dt);
    char buf[256];
    size_t n = std::strftime(buf, sizeof buf, fmt ? fmt : "", &tm);
    return std::string(buf, n);
}

namespace {

// Reads "y-m-d h:m:s" the way "%d-%d-%d %d:%d:%d" reads it, with '/' read as '-' and 'T' as a
// space, but by hand: every catalogue row carries several dates, and a formatted scan of a
// copied text cost more than the rest of the row.
class DateFields {
public:
    explicit DateFields(std::string_view text) : m_text(text) {}

    // How many fields were read (the scan stops at the first that does not match).
    int Read(int (&out)[6]) {
        static const char separators[] = {'-', '-', ' ', ':', ':'};
        int n = 0;
        for (; n < 6; ++n) {
            if (n > 0 && !Literal(separators[n - 1])) break;
            if (!Number(out[n])) break;
        }
        return n;
    }

private:
    char At(size_t i) const {
        const char c = m_text[i];
        return c == '/' ? '-' : c == 'T' ? ' ' : c;
    }
    static bool Space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
    void SkipSpace() {
        while (m_pos < m_text.size() && Space(At(m_pos))) ++m_pos;
    }
    // A space in the pattern takes any run of white space, even none; any other character
    // must be there.
    bool Literal(char c) {
        if (c == ' ') {
            SkipSpace();
            return true;
        }
        if (m_pos >= m_text.size() || At(m_pos) != c) return false;
        ++m_pos;
        return true;
    }
    bool Number(int& out) {
        SkipSpace();
        size_t i = m_pos;
        bool negative = false;
        if (i < m_text.size() && (At(i) == '-' || At(i) == '+')) negative = At(i++) == '-';
        const size_t digits = i;
        int64_t v = 0;
        for (; i < m_text.size() && At(i) >= '0' && At(i) <= '9'; ++i)
            if (v < 100000000) v = v * 10 + (At(i) - '0'); // far out of every field's range
        if (i == digits) return false;
        m_pos = i;
        out = static_cast<int>(negative ? -v : v);
        return true;
    }

    std::string_view m_text;
    size_t m_pos = 0;
};

} // namespace

bool COleDateTime::ParseDateTime(std::string_view text) {
    int f[6] = {0, 0, 0, 0, 0, 0};
    const int n = DateFields(text).Read(f);
    if (n < 3 || n == 4) return false;
    DATE out = 0;
    if (!kx::MakeDate(f[0], f[1], f[2], f[3], f[4], f[5], out)) return false;
    m_dt = out;
    m_status = valid;
    return true;
}

COleDateTime COleDateTime::GetCurrentTime() {
    return FromTimeT(std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()));
}

COleDateTime COleDateTime::FromTimeT(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return COleDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                        tm.tm_sec);
}

std::time_t COleDateTime::ToTimeT() const {
    std::tm tm = ToTm(m_dt);
    return std::mktime(&tm);
}
