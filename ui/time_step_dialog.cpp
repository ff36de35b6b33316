// time_step_dialog.cpp — typing a new time step in window 1.
#include "ui/ui.h"

#include "model/decimal.h"
#include "model/layout.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/render.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

double InputValue = 0;

namespace {

// ReadLine takes at most this many bytes, and refuses a key that would pass
// them, or the window's edge, where the pupil sees it: what it reads is the
// line as window 1 shows it, never one cut short. A line longer than
// LongestNumber is not read as a number: no sensible time step is that long.
constexpr std::size_t LongestLine = 64;
constexpr std::size_t LongestNumber = LongestLine - 4;
// What the time step is when nothing better is known.
constexpr double StartTimeStep = 0.5;

// Did the last InputNumber get a line? Not when its window was closed.
bool lineEntered = false;

bool InRange(double dt) {
    return dt > 0 && dt < 20;
}

// Characters, not bytes: UTF-8 continuation bytes do not count.
std::size_t Characters(const std::string& text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// The shortest text that reads back as the same number, with a decimal point.
std::string NumberText(double value) {
    return DecimalText(value);
}

// The typed line as a number, read the same way whatever the system's locale:
// surrounding spaces are ignored, a decimal comma counts as a point, a leading
// "+" is allowed. Anything else than one finite decimal number (letters,
// control characters, "nan", "inf", a number too large for a double) gives NaN.
double LineValue(std::string line) {
    std::size_t first = line.find_first_not_of(' ');
    std::size_t last = line.find_last_not_of(' ');
    line = line.substr(first, last - first + 1);
    std::replace(line.begin(), line.end(), ',', '.');
    const char* begin = line.data();
    const char* end = begin + line.size();
    if (begin != end && *begin == '+' && end - begin > 1 && begin[1] != '-') ++begin;
    double value = 0;
    if (!ReadDecimal(std::string_view(begin, static_cast<std::size_t>(end - begin)), value) || !std::isfinite(value))
        return std::numeric_limits<double>::quiet_NaN();
    return value;
}

bool Blank(const std::string& line) {
    return line.find_first_not_of(' ') == std::string::npos;
}

}  // namespace

void TimeStepDialog() {
    double before = InRange(Settings.TimeStep) ? Settings.TimeStep : StartTimeStep;
    OpenInputWindow();
    for (;;) {
        InputNumber(1.0, 1.0, "Zeitschritt dt = <.5 d>", Settings.TimeStep);
        if (!lineEntered) {
            // Window 1 (or window 0) was closed: the time step stays as it was.
            Settings.TimeStep = before;
            break;
        }
        if (TakeTimeStep(InputValue, Settings.TimeStep)) break;
        // The question is asked again on a clean window, with nothing left of
        // the line typed before.
        ClearWindow(Win_1);
    }
    RebuildViewWindows();
}

double OpenInputWindow(std::size_t columns) {
    // The background colour comes first, so the window never shows another.
    SetWindowBackground(Win_1, Colours.ColMagenta);
    OpenWindow(Win_1, 10, ScaleY(15), static_cast<int>(Layout.InputWinWidthBase) - 10, ScaleY(30));
    SetWindowBackground(Win_1, Colours.ColMagenta);
    SetForeground(Colours.ColBlack);
    SetBackground(Colours.ColMagenta);
    SelectWindow(Win_1);
    ClearWindow(Win_1);
    // A fixed-pitch font, so that the prompt takes exactly one cell per
    // character and the typed line starts right after it.
    SetFontFace("courier");
    double size = std::max(14.0 * Layout.ScreenWidth / 800, 8.0 * PixelRatio());
    SetFontSize(size);
    // On a very small screen the letters get smaller still, so that the
    // prompt and what is typed fit into the window (for the time step a
    // step of ten characters: 34 in all). The echo moves on by each typed
    // character's own width, in whole pixels, so the cells are counted so.
    const int width = static_cast<int>(Layout.InputWinWidthBase) - 10;
    while (size > 5 && static_cast<int>(columns) * TextWidth("0") > width) SetFontSize(size -= 1);
    return size;
}

void InputNumber(double column, double line, const std::string& prompt, double defaultValue) {
    std::size_t length = Characters(prompt);
    SetForeground(Colours.ColBlack);
    SetBackground(Colours.ColWhite);
    int row = static_cast<int>(std::lround(Layout.ScaleYFactor * line));
    TextCursorTo(static_cast<int>(std::lround(column)), row);
    PrintText(prompt + "    " + NumberText(defaultValue));
    TextCursorTo(static_cast<int>(std::lround(column + static_cast<double>(length))), row);

    std::string typed;
    lineEntered = ReadLine(typed, LongestLine);
    InputValue = lineEntered ? LineToNumber(typed, defaultValue) : defaultValue;
}

double LineToNumber(const std::string& typed, double defaultValue) {
    if (Blank(typed)) return defaultValue;
    if (typed.size() > LongestNumber) return std::numeric_limits<double>::quiet_NaN();
    return LineValue(typed);
}

bool TakeTimeStep(double value, double& timeStep) {
    // A rejected number is offered again as the default; what was no number
    // at all leaves the last number there.
    if (!std::isnan(value)) timeStep = value;
    return InRange(value);
}
