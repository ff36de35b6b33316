// date_dialog.cpp — typing a date for the real sky in window 1.
#include "ui/ui.h"

#include "model/calendar.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/render.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// The prompt's line (as the time step's); below it what is wanted, or why a
// date was refused.
constexpr double PromptLine = 1;
// The letters small enough for the prompt with the date it offers and a date
// typed after it with its zone, a space before and the cursor after it:
// "Datum = <19.02.2027 16:49> " and " 19.02.2027 16:49 MESZ".
constexpr std::size_t DateColumns = 51;
// A date with its time, and spaces around it, is never longer.
constexpr std::size_t LongestDate = 32;

// Writes a text at the start of a row of window 1 (rows of TextRowPixels).
void WriteAt(int row, const std::string& text) {
    TextCursorTo(1, row);
    PrintText(text);
}

}  // namespace

bool DateDialog(double shown, double& moment) {
    const int target = SelectedWindow();
    SetWindowCaption(Win_1, "Eingabe des Datums");
    const double size = OpenInputWindow(DateColumns);
    // The note in the rows below the prompt's; on a small screen the prompt
    // moves up for it.
    const int fits = (WindowHeight(Win_1) - 2 * TextHeight()) / TextRowPixels;
    const int promptRow = std::max(0, std::min(static_cast<int>(std::lround(Layout.ScaleYFactor * PromptLine)), fits));
    const int noteRow = (promptRow * TextRowPixels + TextHeight() + TextRowPixels - 1) / TextRowPixels;
    std::string note = "TT.MM.JJJJ, auf Wunsch HH:MM und MEZ/MESZ/UTC";
    LineEnd end = LineEnd::Closed;
    for (;;) {
        // The note as large as the prompt, smaller where it is wider than
        // the window (with a cell to spare on either side).
        SetForeground(Colours.ColBlack);
        SetBackground(Colours.ColMagenta);
        for (double noteSize = size; noteSize > 5 && TextWidth("  " + note + " ") > WindowWidth(Win_1);)
            SetFontSize(noteSize -= 1);
        WriteAt(noteRow, note);
        SetFontSize(size);
        SetBackground(Colours.ColWhite);
        WriteAt(promptRow, "Datum = <" + DateTimeText(shown) + "> ");
        std::string typed, reason;
        end = ReadTextLine(typed, LongestDate);
        if (end != LineEnd::Entered) break;
        if (typed.find_first_not_of(' ') == std::string::npos) {
            moment = shown;
            break;
        }
        // A time the clocks skip is offered as it was read, with a line that
        // says so: Return takes it.
        if (ReadDate(typed, moment, reason)) {
            if (reason.empty()) break;
            shown = moment;
        }
        // Asked again on a clean window, the reason below the line.
        note = reason;
        ClearWindow(Win_1);
    }
    CloseWindow(Win_1);
    SetWindowCaption(Win_1, "Eingabe des Zeitschritts");
    SelectWindow(target);
    return end == LineEnd::Entered;
}
