// calendar.cpp — moments, dates and their texts.
#include "model/calendar.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

// Days from J2000.0 to the Julian day number's noon, and the day number of a
// Gregorian date (Fliegel and Van Flandern, Communications of the ACM 11, 1968).
constexpr double J2000 = 2451545.0;

long DayNumber(int y, int m, int d) {
    const long a = (14 - m) / 12, yy = y + 4800 - a, mm = m + 12 * a - 3;
    return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
}

CivilTime FromDayNumber(long jdn, double dayFraction) {
    const long a = jdn + 32044, b = (4 * a + 3) / 146097, c = a - 146097 * b / 4;
    const long d = (4 * c + 3) / 1461, e = c - 1461 * d / 4, m = (5 * e + 2) / 153;
    CivilTime t;
    t.Day = static_cast<int>(e - (153 * m + 2) / 5 + 1);
    t.Month = static_cast<int>(m + 3 - 12 * (m / 10));
    t.Year = static_cast<int>(100 * b + d - 4800 + m / 10);
    t.Weekday = static_cast<int>(jdn % 7);
    const double seconds = dayFraction * 86400;
    t.Hour = static_cast<int>(seconds / 3600);
    t.Minute = static_cast<int>((seconds - t.Hour * 3600) / 60);
    t.Second = seconds - t.Hour * 3600 - t.Minute * 60;
    return t;
}

}  // namespace

double DeltaTSeconds(double) {
    return 69;
}

double MomentFromUtc(const CivilTime& utc) {
    const double ut = DayNumber(utc.Year, utc.Month, utc.Day) - 0.5 +
                      (utc.Hour * 3600 + utc.Minute * 60 + utc.Second) / 86400.0 - J2000;
    return ut + DeltaTSeconds(ut) / 86400;
}

CivilTime UtcOf(double moment) {
    const double jd = moment - DeltaTSeconds(moment) / 86400 + J2000 + 0.5;
    const double day = std::floor(jd);
    return FromDayNumber(static_cast<long>(day), jd - day);
}

double MomentFromLocal(const CivilTime& local) {
    return MomentFromUtc(local);
}

CivilTime LocalOf(double moment) {
    return UtcOf(moment);
}

double MomentNow() {
    return static_cast<double>(std::time(nullptr)) / 86400.0 + 2440587.5 - J2000 + DeltaTSeconds(0) / 86400;
}

bool ReadDate(const std::string& text, double& moment, std::string& reason) {
    CivilTime t;
    char rest = 0;
    const int n = std::sscanf(text.c_str(), " %d.%d.%d %d:%d %c", &t.Day, &t.Month, &t.Year, &t.Hour, &t.Minute, &rest);
    if ((n != 3 && n != 5) || t.Month < 1 || t.Month > 12 || t.Day < 1 || t.Day > 31 || t.Year < 1600 || t.Year > 2400) {
        reason = "Bitte ein Datum als TT.MM.JJJJ eingeben.";
        return false;
    }
    moment = MomentFromLocal(t);
    return true;
}

bool ReadIsoDate(const std::string& text, double& moment, std::string& reason) {
    CivilTime t;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%d-%d-%d%c", &t.Year, &t.Month, &t.Day, &rest) != 3 || t.Year < 1600 ||
        t.Year > 2400 || t.Month < 1 || t.Month > 12 || t.Day < 1 || t.Day > 31) {
        reason = "kein Datum JJJJ-MM-TT: " + text;
        return false;
    }
    moment = MomentFromUtc(t);
    return true;
}

std::string WeekdayDateText(double moment) {
    static const char* const Names[] = {"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"};
    const CivilTime t = LocalOf(moment);
    return std::string(Names[t.Weekday]) + " " + DateText(moment);
}

std::string DateText(double moment) {
    const CivilTime t = LocalOf(moment);
    char text[32];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", t.Day, t.Month, t.Year);
    return text;
}

std::string DateTimeText(double moment) {
    const CivilTime t = LocalOf(moment + 0.5 / 1440);
    char text[48];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d", t.Day, t.Month, t.Year, t.Hour, t.Minute);
    return text;
}

std::string IsoText(double moment) {
    const CivilTime t = UtcOf(moment + 0.5 / 1440);
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02dZ", t.Year, t.Month, t.Day, t.Hour, t.Minute);
    return text;
}
