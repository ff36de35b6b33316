// calendar.h — the real sky's clock and the calendar. A moment is a number
// of days of Terrestrial Time (TT) since J2000.0 (2000 January 1, 12:00 TT),
// the time the planetary theory runs on; people read it in UTC (TT less ΔT)
// and in their device's local time, on the Gregorian calendar (1600 to 2400).
#pragma once

#include <string>

struct CivilTime {
    int Year = 2000, Month = 1, Day = 1;  // Gregorian
    int Hour = 0, Minute = 0;
    double Second = 0;
    int Weekday = 0;                      // 0 Monday … 6 Sunday (set by UtcOf and LocalOf)
};

// A moment from a date and time of UTC, and back.
double MomentFromUtc(const CivilTime& utc);
CivilTime UtcOf(double moment);
// The same in the device's local time (its zone's offset at that moment).
double MomentFromLocal(const CivilTime& local);
CivilTime LocalOf(double moment);
// ΔT = TT − UT in seconds at a moment (UTC is taken for UT: they differ by
// less than a second).
double DeltaTSeconds(double moment);
// The computer's clock, as a moment.
double MomentNow();

// The calendar's years: the date dialog reads dates in them, and the real
// sky's clock runs from the first moment of the first, 01.01.1600 00:00, to
// the last minute of the last, 31.12.2400 23:59, both in local time.
constexpr int FirstYear = 1600, LastYear = 2400;
double FirstMoment();
double LastMoment();

// Reads a date as a pupil types it: "TT.MM.JJJJ", optionally followed by
// "HH:MM", in local time unless a zone follows ("MEZ", "MESZ" or "UTC");
// false, with a one-line German reason, for anything else or a date outside
// 1600 to 2400. A local time the clocks skip is read as the same time after
// the change, with a German line in `reason` that says so; else `reason` is
// left empty.
bool ReadDate(const std::string& text, double& moment, std::string& reason);
// Reads "YYYY-MM-DD" (the desktop's --date, the page's ?date=): 00:00 UTC of
// that day; false, with a one-line German reason, for anything else.
bool ReadIsoDate(const std::string& text, double& moment, std::string& reason);

// Texts of a moment in local time, to the nearest minute: "Fr 19.02.2027",
// "Fr 19.02.2027 16:49", "19.02.2027 16:49", "10.01.2027"; in UTC as ISO 8601
// to the minute: "2027-02-19T15:49Z".
std::string WeekdayDateText(double moment);
std::string WeekdayDateTimeText(double moment);
std::string DateTimeText(double moment);
std::string DateText(double moment);
std::string IsoText(double moment);
// The zone those local times are in at a moment, as a German reader names
// it: "MEZ", "MESZ"; elsewhere "UTC" or its offset from it, "UTC+3",
// "UTC−4", "UTC+5:30".
std::string ZoneText(double moment);
