// calendar.cpp — moments, dates and their texts.
#include "model/calendar.h"

#include <erfa.h>

#include <chrono>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <limits>

namespace {

// J2000.0 as a Julian date, and the Unix epoch (1970-01-01 00:00 UTC) as one.
constexpr double J2000 = 2451545.0;
constexpr double UnixEpoch = 2440587.5;
constexpr double SecondsPerDay = 86400;

// The day number (Julian day number, of the noon that starts at the date's
// midnight) of a Gregorian date, from ERFA's calendar: the modified Julian
// date of that midnight, 2 400 001 days after the day number's count.
long long DayNumber(int y, int m, int d) {
    double mjd0 = 0, mjd = 0;
    eraCal2jd(y, m, d, &mjd0, &mjd);
    return static_cast<long long>(mjd) + 2400001;
}

// A civil time from a count of seconds since the day number's midnight epoch;
// the date of that day number's noon from ERFA's calendar.
CivilTime FromSeconds(double secondsSinceDayZero) {
    const double days = std::floor(secondsSinceDayZero / SecondsPerDay);
    const auto jdn = static_cast<long long>(days);
    CivilTime t;
    double fraction = 0;
    eraJd2cal(static_cast<double>(jdn), 0, &t.Year, &t.Month, &t.Day, &fraction);
    t.Weekday = static_cast<int>(jdn % 7);
    const double seconds = secondsSinceDayZero - days * SecondsPerDay;
    t.Hour = static_cast<int>(seconds / 3600);
    t.Minute = static_cast<int>((seconds - t.Hour * 3600) / 60);
    t.Second = seconds - t.Hour * 3600 - t.Minute * 60;
    return t;
}

double SecondsOf(const CivilTime& t) {
    return static_cast<double>(DayNumber(t.Year, t.Month, t.Day)) * SecondsPerDay + t.Hour * 3600.0 +
           t.Minute * 60.0 + t.Second;
}

// The day number's epoch is a midnight half a day before Julian date 0.
double SecondsFromJulianDate(double jd) {
    return (jd + 0.5) * SecondsPerDay;
}
double JulianDateFromSeconds(double seconds) {
    return seconds / SecondsPerDay - 0.5;
}

bool Leap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static const int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && Leap(y) ? 29 : Days[m - 1];
}

// ΔT in seconds for a decimal year: the polynomials of Espenak and Meeus
// (Five Millennium Canon of Solar Eclipses, NASA/TP-2006-214141, "Polynomial
// Expressions for Delta T"), from the historical record up to 2005 and
// extrapolated after it.
double DeltaTForYear(double y) {
    if (y < 1700) {
        const double t = y - 1600;
        return 120 - 0.9808 * t - 0.01532 * t * t + t * t * t / 7129;
    }
    if (y < 1800) {
        const double t = y - 1700;
        return 8.83 + 0.1603 * t - 0.0059285 * t * t + 0.00013336 * t * t * t - t * t * t * t / 1174000;
    }
    if (y < 1860) {
        const double t = y - 1800;
        return 13.72 +
               t * (-0.332447 +
                    t * (0.0068612 +
                         t * (0.0041116 + t * (-0.00037436 + t * (0.0000121272 + t * (-0.0000001699 + t * 0.000000000875))))));
    }
    if (y < 1900) {
        const double t = y - 1860;
        return 7.62 + t * (0.5737 + t * (-0.251754 + t * (0.01680668 + t * (-0.0004473624 + t / 233174))));
    }
    if (y < 1920) {
        const double t = y - 1900;
        return -2.79 + t * (1.494119 + t * (-0.0598939 + t * (0.0061966 - 0.000197 * t)));
    }
    if (y < 1941) {
        const double t = y - 1920;
        return 21.20 + t * (0.84493 + t * (-0.076100 + 0.0020936 * t));
    }
    if (y < 1961) {
        const double t = y - 1950;
        return 29.07 + 0.407 * t - t * t / 233 + t * t * t / 2547;
    }
    if (y < 1986) {
        const double t = y - 1975;
        return 45.45 + 1.067 * t - t * t / 260 - t * t * t / 718;
    }
    if (y < 2005) {
        const double t = y - 2000;
        return 63.86 + t * (0.3345 + t * (-0.060374 + t * (0.0017275 + t * (0.000651814 + 0.00002373599 * t))));
    }
    if (y < 2050) {
        const double t = y - 2000;
        return 62.92 + 0.32217 * t + 0.005589 * t * t;
    }
    const double u = (y - 1820) / 100;
    return -20 + 32 * u * u - (y < 2150 ? 0.5628 * (2150 - y) : 0);
}

// The device's clock (its offset from UTC in seconds, daylight saving time
// or not) at a moment given as seconds since 1970 (UTC). The C library answers for every moment its time_t holds; the
// web edition's is 32 bits wide (from December 1901 to January 2038). So that
// both editions show the same, a moment outside 1902 to 2037 takes its
// offset from the same date and time of UTC in a year from 2010 to 2037 of
// the same calendar (leap or not, the same weekday on 1 January): the zone's
// rules as they stand today, daylight saving time on the same Sundays.
std::tm LocalClock(double unixSeconds) {
    CivilTime t = FromSeconds(SecondsFromJulianDate(unixSeconds / SecondsPerDay + UnixEpoch));
    if (t.Year < 1902 || t.Year > 2037) {
        const int weekday = static_cast<int>(DayNumber(t.Year, 1, 1) % 7);
        for (int y = 2010; y <= 2037; ++y)
            if (Leap(y) == Leap(t.Year) && DayNumber(y, 1, 1) % 7 == weekday) {
                t.Year = y;
                break;
            }
        unixSeconds = (JulianDateFromSeconds(SecondsOf(t)) - UnixEpoch) * SecondsPerDay;
    }
    const auto clock = static_cast<std::time_t>(std::floor(unixSeconds));
    std::tm local{};
    if (localtime_r(&clock, &local) == nullptr) return {};
    return local;
}

long LocalOffsetSeconds(double unixSeconds) {
    return LocalClock(unixSeconds).tm_gmtoff;
}

double UnixSecondsOf(double moment) {
    const double ut = moment - DeltaTSeconds(moment) / SecondsPerDay;
    return (ut + J2000 - UnixEpoch) * SecondsPerDay;
}

double MomentFromUnixSeconds(double unixSeconds) {
    const double ut = unixSeconds / SecondsPerDay + UnixEpoch - J2000;
    // ΔT at the moment itself: it changes by less than a second a year, so
    // taking it at UT instead errs by far less than a millisecond.
    return ut + DeltaTSeconds(ut) / SecondsPerDay;
}

}  // namespace

double DeltaTSeconds(double moment) {
    return DeltaTForYear(2000 + moment / 365.2425);
}

double MomentFromUtc(const CivilTime& utc) {
    return MomentFromUnixSeconds((JulianDateFromSeconds(SecondsOf(utc)) - UnixEpoch) * SecondsPerDay);
}

CivilTime UtcOf(double moment) {
    return FromSeconds(SecondsFromJulianDate(UnixSecondsOf(moment) / SecondsPerDay + UnixEpoch));
}

double MomentFromLocal(const CivilTime& local) {
    // The offset at the moment the local time would be in UTC, then at the
    // moment that gives: the second guess is right but for the hour that a
    // change to or from daylight saving time skips or repeats.
    const double asUtc = (JulianDateFromSeconds(SecondsOf(local)) - UnixEpoch) * SecondsPerDay;
    const double guess = asUtc - static_cast<double>(LocalOffsetSeconds(asUtc));
    return MomentFromUnixSeconds(asUtc - static_cast<double>(LocalOffsetSeconds(guess)));
}

CivilTime LocalOf(double moment) {
    const double utc = UnixSecondsOf(moment);
    return FromSeconds(SecondsFromJulianDate((utc + static_cast<double>(LocalOffsetSeconds(utc))) / SecondsPerDay +
                                             UnixEpoch));
}

double MomentNow() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return MomentFromUnixSeconds(std::chrono::duration<double>(now).count());
}

double FirstMoment() {
    return MomentFromLocal(CivilTime{FirstYear, 1, 1, 0, 0, 0, 0});
}

double LastMoment() {
    return MomentFromLocal(CivilTime{LastYear, 12, 31, 23, 59, 0, 0});
}

namespace {

const char* const FormatReason = "Bitte das Datum als TT.MM.JJJJ eingeben, z. B. 19.02.2027.";
const std::string RangeReason =
    "Bitte ein Datum von " + std::to_string(FirstYear) + " bis " + std::to_string(LastYear) + " eingeben.";

// The zones a time may name, by their offsets from UTC in seconds; the first
// two are the names of the program's home, Germany.
struct NamedZone {
    const char* Name;
    long Offset;
};
constexpr NamedZone Zones[] = {{"MEZ", 3600}, {"MESZ", 7200}, {"UTC", 0}};

std::string TwoDigits(int n) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", n);
    return text;
}

std::string Date(const CivilTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", t.Day, t.Month, t.Year);
    return text;
}

// A local time's zone at a moment, by its German name where it has one,
// else by its offset ("UTC-5", "UTC+5:30").
std::string ZoneName(double moment) {
    const long offset = LocalOffsetSeconds(UnixSecondsOf(moment));
    for (const NamedZone& z : Zones)
        if (z.Offset == offset) return z.Name;
    const long minutes = std::abs(offset) / 60;
    return std::string("UTC") + (offset < 0 ? "-" : "+") + std::to_string(minutes / 60) +
           (minutes % 60 != 0 ? ":" + TwoDigits(static_cast<int>(minutes % 60)) : "");
}

// A zone's name at `at` (of any case), its offset in seconds; false where
// there is none of them.
bool ReadZone(const std::string& text, std::size_t& at, long& offset) {
    std::size_t end = at;
    std::string word;
    while (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end])))
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(text[end++])));
    for (const NamedZone& z : Zones)
        if (word == z.Name) {
            offset = z.Offset;
            at = end;
            return true;
        }
    return false;
}

// Digits only, at least `least` and at most `most` of them, for a number.
bool ReadNumber(const std::string& text, std::size_t& at, std::size_t least, std::size_t most, int& value) {
    std::size_t n = 0;
    value = 0;
    while (at < text.size() && n < most && text[at] >= '0' && text[at] <= '9') {
        value = value * 10 + (text[at] - '0');
        ++at;
        ++n;
    }
    return n >= least && !(at < text.size() && text[at] >= '0' && text[at] <= '9');
}

bool Expect(const std::string& text, std::size_t& at, char c) {
    if (at >= text.size() || text[at] != c) return false;
    ++at;
    return true;
}

void SkipSpaces(const std::string& text, std::size_t& at) {
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
}

// The date itself: a year from 1600 to 2400 and a day its month has.
bool CheckDate(const CivilTime& t, std::string& reason) {
    if (t.Month < 1 || t.Month > 12 || t.Day < 1 || t.Day > DaysInMonth(t.Year, t.Month)) {
        reason = "Den " + TwoDigits(t.Day) + "." + TwoDigits(t.Month) + "." + std::to_string(t.Year) +
                 " gibt es nicht.";
        return false;
    }
    if (t.Year < FirstYear || t.Year > LastYear) {
        reason = RangeReason;
        return false;
    }
    return true;
}

}  // namespace

bool ReadDate(const std::string& text, double& moment, std::string& reason) {
    CivilTime t;
    std::size_t at = 0;
    SkipSpaces(text, at);
    if (!ReadNumber(text, at, 1, 2, t.Day) || !Expect(text, at, '.') || !ReadNumber(text, at, 1, 2, t.Month) ||
        !Expect(text, at, '.') || !ReadNumber(text, at, 4, 4, t.Year)) {
        reason = FormatReason;
        return false;
    }
    SkipSpaces(text, at);
    // The zone named after the time (or the date alone); without one, local time.
    long offset = 0;
    bool zoned = ReadZone(text, at, offset);
    if (at < text.size() && !zoned) {
        if (!ReadNumber(text, at, 1, 2, t.Hour) || !Expect(text, at, ':') || !ReadNumber(text, at, 2, 2, t.Minute)) {
            reason = "Bitte die Uhrzeit als HH:MM eingeben, z. B. 20:30.";
            return false;
        }
        SkipSpaces(text, at);
        zoned = ReadZone(text, at, offset);
        SkipSpaces(text, at);
        if (at < text.size()) {
            reason = "Nach der Uhrzeit bitte nur MEZ, MESZ oder UTC, z. B. 20:30 MEZ.";
            return false;
        }
        if (t.Hour > 23 || t.Minute > 59) {
            reason = "Die Uhrzeit " + TwoDigits(t.Hour) + ":" + TwoDigits(t.Minute) + " gibt es nicht.";
            return false;
        }
    }
    SkipSpaces(text, at);
    if (at < text.size()) {
        reason = FormatReason;
        return false;
    }
    if (!CheckDate(t, reason)) return false;
    reason.clear();
    if (zoned) {
        moment = MomentFromUtc(t) - static_cast<double>(offset) / SecondsPerDay;
        return true;
    }
    moment = MomentFromLocal(t);
    // A time the clocks skip, as they go over to summer time, is read as
    // the same time after the change; the pupil is told.
    const CivilTime read = LocalOf(moment + 0.5 / 1440);
    if (read.Day != t.Day || read.Hour != t.Hour || read.Minute != t.Minute)
        reason = TwoDigits(t.Hour) + ":" + TwoDigits(t.Minute) + " gibt es am " + Date(t) + " nicht: gelesen als " +
                 TwoDigits(read.Hour) + ":" + TwoDigits(read.Minute) + " " + ZoneName(moment) + ".";
    return true;
}

bool ReadIsoDate(const std::string& text, double& moment, std::string& reason) {
    CivilTime t;
    std::size_t at = 0;
    if (!ReadNumber(text, at, 4, 4, t.Year) || !Expect(text, at, '-') || !ReadNumber(text, at, 2, 2, t.Month) ||
        !Expect(text, at, '-') || !ReadNumber(text, at, 2, 2, t.Day) || at != text.size()) {
        reason = "Bitte den Tag als JJJJ-MM-TT angeben, z. B. 2027-02-19.";
        return false;
    }
    if (!CheckDate(t, reason)) return false;
    moment = MomentFromUtc(t);
    return true;
}

namespace {

// A moment to the nearest minute, in local time: every text of it shows the
// same day as its minute.
CivilTime LocalMinute(double moment) {
    return LocalOf(moment + 0.5 / 1440);
}

std::string Weekday(const CivilTime& t) {
    static const char* const Names[] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};
    return Names[t.Weekday];
}

}  // namespace

std::string WeekdayDateText(double moment) {
    const CivilTime t = LocalMinute(moment);
    return Weekday(t) + " " + Date(t);
}

std::string WeekdayDateTimeText(double moment) {
    const CivilTime t = LocalMinute(moment);
    return Weekday(t) + " " + Date(t) + " " + TwoDigits(t.Hour) + ":" + TwoDigits(t.Minute);
}

std::string DateText(double moment) {
    return Date(LocalMinute(moment));
}

std::string DateTimeText(double moment) {
    const CivilTime t = LocalMinute(moment);
    return Date(t) + " " + TwoDigits(t.Hour) + ":" + TwoDigits(t.Minute);
}

std::string ZoneText(double moment) {
    const std::tm local = LocalClock(UnixSecondsOf(moment + 0.5 / 1440));
    const long offset = local.tm_gmtoff;
    if (offset == 3600 && local.tm_isdst <= 0) return "MEZ";
    if (offset == 7200 && local.tm_isdst > 0) return "MESZ";
    if (offset == 0) return "UTC";
    const long minutes = std::abs(offset) / 60;
    return std::string("UTC") + (offset < 0 ? "\u2212" : "+") + std::to_string(minutes / 60) +
           (minutes % 60 != 0 ? ":" + TwoDigits(static_cast<int>(minutes % 60)) : "");
}

std::string IsoText(double moment) {
    const CivilTime t = UtcOf(moment + 0.5 / 1440);
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02dZ", t.Year, t.Month, t.Day, t.Hour, t.Minute);
    return text;
}
