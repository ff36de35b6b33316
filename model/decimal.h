// decimal.h — decimal numbers as text and back, the same on every machine:
// a point as the decimal sign whatever the system's language, and the same
// digits in the desktop and the browser edition.
#pragma once

#include <string>
#include <string_view>

// Reads the whole text as one decimal number ("12", "-0.5", "1e3", "inf");
// false, with value untouched, if it is anything else (spaces, a "+", hex).
bool ReadDecimal(std::string_view text, double& value);
// The shortest text that reads back as the same number: with a point where
// that is no longer than with an exponent ("10", "0.5", "1e-05", "1e+22").
std::string DecimalText(double value);
// The same with the C library alone, for the browser's library, which has no
// such conversion of its own.
std::string DecimalTextC(double value);
// A number as a German reader writes it: a decimal comma, `decimals` places
// (rounded), and points between groups of three digits from 10 000 on
// ("812,5", "-3,0", "12.345,25").
std::string GermanNumber(double value, int decimals);
// The same with a decimal point and no groups ("12345.25"), as a spreadsheet
// of any language reads it from a file.
std::string PointNumber(double value, int decimals);
// A number for a short line: rounded to at most `digits` significant digits
// and written out with a decimal comma where that takes at most `digits` + 2
// characters, else as up to three figures times a power of ten (digits 6:
// 19.999999999999996 is "20", 0.123456789 "0,123457", 0.000001 "0,000001",
// 0.00000015 "1,5·10⁻⁷", 1e22 "1·10²²", 5e-324 "5·10⁻³²⁴"). Never a
// computer's "1e-06".
std::string GermanDecimalText(double value, int digits);
