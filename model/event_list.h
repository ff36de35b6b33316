// event_list.h — the coming events of the shown planets and each one's next
// loop, as the lines of a box and as a table for a spreadsheet.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// How far ahead the list looks: a synodic period of every planet fits.
constexpr double EventListDays = 1000;

// The list runs to the end of the sky's span (sky.h) where that comes first,
// and its heading then says so; a loop that does not end before it is named
// as none in the box and left out of the file.
// The box's lines: a heading, where each shown planet stands then (its angle
// from the Sun, in the evening or the morning sky), one line per event ("Tag
// 806,15  Mars  Opposition, die ganze Nacht am Himmel"; a greatest
// elongation with its angle), then each shown planet's next loop.
std::vector<std::string> EventListLines(double day, const std::array<int16_t, 7>& planetOn);
// The same list as comma-separated values with a header line, numbers with a
// decimal point; each loop is a row of its own, and a greatest elongation has
// its angle from the Sun in the degrees' column. Every row ends with the day
// the list starts from and the planets it was made for ("Mars Jupiter").
std::string EventListCsv(double day, const std::array<int16_t, 7>& planetOn);
