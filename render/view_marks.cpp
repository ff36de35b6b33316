// view_marks.cpp — what the views show in the real sky besides the bodies:
// the scale, a bar one astronomical unit long ("1 AE") under the line
// "Bahnen maßstabsgetreu", and the direction of the vernal equinox (♈), a
// dashed arrow from the Sun (in the geocentric view from the Earth) along +x
// to the view's edge. The model's circles are not to scale and have no
// equinox: there the views show none of it.
//
// The views are drawn step by step and never cleared by a step, so the marks
// are made where nothing a step does can wipe them for good: the arrow is
// overlay lines, shown over the view like the lines of sight; the legend and
// the arrow's label are images put again at the end of each step, over
// whatever the step drew there, so that a disc erased under them or a view
// cleared has them back by the next step.
#include "render/render.h"

#include "model/real_sky.h"
#include "model/sky.h"
#include "model/state.h"
#include "platform/platform.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr double SmallestText = 9;  // pixels at a pixel ratio of 1

// What one view's marks were made for, and the marks.
struct Marks {
    std::array<double, 7> MadeFor{};  // width, height, ratio, disc radius, pixels per AE, centre x and y
    bool LinesMade = false, ImagesMade = false;
    std::vector<OverlayLine> Lines;   // the arrow
    Image Legend, Equinox;            // "1 AE" and its line; "♈ Frühlingspunkt"
    int LegendX = 0, LegendY = 0, EquinoxX = 0, EquinoxY = 0;
};

std::array<Marks, 2> ViewMarks;  // windows 2 and 3

int Round(double v) { return static_cast<int>(std::lround(v)); }

bool Shown(int n) {
    const int mode = Settings.SystemMode;
    return n == Win_2 ? mode == 1 || mode == 3 : mode == 2 || mode == 3;
}

// The fixed point of view n: the Sun's centre in window 2, the Earth's in 3.
void Centre(int n, double& x, double& y) {
    x = n == Win_2 ? Layout.HelioCentreX : Layout.GeoCentreX;
    y = n == Win_2 ? Layout.HelioCentreY : Layout.GeoCentreY;
}

// Sizes grow with the pixel ratio as the strip's do.
double Scale() { return std::min(PixelRatio(), std::max(1.0, Layout.DiscRadiusX / 19.0)); }

// View n's marks, made anew where the view's size, the pixel ratio or the
// scale has changed since they were made.
Marks& MarksOf(int n) {
    Marks& m = ViewMarks[n == Win_2 ? 0 : 1];
    double cx = 0, cy = 0;
    Centre(n, cx, cy);
    const std::array<double, 7> now{static_cast<double>(WindowWidth(n)), static_cast<double>(WindowHeight(n)),
                                    PixelRatio(), Layout.DiscRadiusX, RealSkyPixelsPerAu(), cx, cy};
    if (now != m.MadeFor) {
        m.MadeFor = now;
        m.LinesMade = m.ImagesMade = false;
    }
    return m;
}

// The arrow: dashes from beside the fixed body's disc to the right edge,
// and a head at the edge.
void MakeLines(int n, Marks& m) {
    m.LinesMade = true;
    m.Lines.clear();
    double cx = 0, cy = 0;
    Centre(n, cx, cy);
    const double scale = Scale(), right = WindowWidth(n) - 1, y = std::floor(cy);
    const int width = std::max(1, Round(PixelRatio()));
    const double dash = Round(6 * scale), gap = Round(4 * scale), head = Round(6 * scale);
    for (double x = cx + Layout.DiscRadiusX + gap; x + dash <= right - head; x += dash + gap)
        m.Lines.push_back(OverlayLine{x, y, x + dash - 1, y, Colours.ColBlack, width});
    if (right - head <= cx + Layout.DiscRadiusX) return;
    m.Lines.push_back(OverlayLine{right - head, y, right, y, Colours.ColBlack, width});
    m.Lines.push_back(OverlayLine{right - head, y - head / 2, right, y, Colours.ColBlack, width});
    m.Lines.push_back(OverlayLine{right - head, y + head / 2, right, y, Colours.ColBlack, width});
}

// Draws into view n (its drawing target) what `draw` draws on the view's
// background in the rectangle, keeps it as an image and puts back what was
// there.
template <class Draw>
void MakeImage(int left, int top, int width, int height, Image& into, Draw draw) {
    Image under;
    CaptureImage(left, top, left + width - 1, top + height - 1, under);
    SetForeground(Colours.ColAzure);
    FillBox(left, top, left + width - 1, top + height - 1);
    draw();
    CaptureImage(left, top, left + width - 1, top + height - 1, into);
    PutImage(left, top, under);
}

// The legend in the lower left corner, "1 AE" beside a bar of that length
// and above it "Bahnen maßstabsgetreu"; the arrow's label over its head. In
// letters 9 pixels high at a ratio of 1 at least; what does not fit in the
// view is left out rather than shrunk.
void MakeImages(int n, Marks& m) {
    m.ImagesMade = true;
    EmptyImage(m.Legend);
    EmptyImage(m.Equinox);
    const uint32_t foreground = Foreground(), background = Background();
    const int fill = FillPattern();
    const double scale = Scale();
    SetFontFace("courier");
    SetFontBold(false);
    SetFontSize(std::max(Round(SmallestText * PixelRatio()), Round(10 * scale)));
    SetFillPattern(0);
    const int w = WindowWidth(n), h = WindowHeight(n), text = TextHeight();
    const int margin = Round(4 * scale), thick = std::max(1, Round(PixelRatio()));
    const int bar = Round(RealSkyPixelsPerAu());
    const std::string unit = "1 AE", line = "Bahnen maßstabsgetreu";
    const int barRow = bar + margin + TextWidth(unit);
    const bool withLine = margin + TextWidth(line) + margin <= w;
    if (bar >= 2 && margin + barRow + margin <= w && 2 * margin + 2 * text <= h) {
        const int width = std::max(barRow, withLine ? TextWidth(line) : 0) + 2 * margin;
        const int height = (withLine ? 2 : 1) * text + 2 * margin;
        m.LegendX = 0;
        m.LegendY = h - height;
        MakeImage(m.LegendX, m.LegendY, width, height, m.Legend, [&] {
            SetForeground(Colours.ColBlack);
            SetBackground(Colours.ColAzure);
            const int top = h - margin - text, middle = top + text / 2;
            FillBox(margin, middle, margin + bar - 1, middle + thick - 1);
            FillBox(margin, top + text / 4, margin + thick - 1, top + 3 * text / 4);
            FillBox(margin + bar - thick, top + text / 4, margin + bar - 1, top + 3 * text / 4);
            DrawText(margin + bar + margin, top, unit);
            if (withLine) DrawText(margin, top - text, line);
        });
    }
    // "♈" asks for the letter, not a picture, where a system would draw one.
    double cx = 0, cy = 0;
    Centre(n, cx, cy);
    for (const std::string label : {"\u2648\uFE0E Frühlingspunkt", "\u2648\uFE0E"}) {
        const int width = TextWidth(label) + 2 * margin;
        const int top = static_cast<int>(std::floor(cy)) - Round(6 * scale) / 2 - margin - text;
        if (width > w / 2 || top < 0) continue;
        m.EquinoxX = w - width;
        m.EquinoxY = top;
        MakeImage(m.EquinoxX, m.EquinoxY, width, text + margin, m.Equinox, [&] {
            SetForeground(Colours.ColBlack);
            SetBackground(Colours.ColAzure);
            DrawText(m.EquinoxX + margin, m.EquinoxY, label);
        });
        break;
    }
    SetForeground(foreground);
    SetBackground(background);
    SetFillPattern(fill);
}

}  // namespace

const std::vector<OverlayLine>& ViewMarkLines(int n) {
    static const std::vector<OverlayLine> none;
    if (!Skies.Real || !Shown(n)) return none;
    Marks& m = MarksOf(n);
    if (!m.LinesMade) MakeLines(n, m);
    return m.Lines;
}

void PutViewMarks(int n) {
    if (!Skies.Real) return;
    Marks& m = MarksOf(n);
    if (!m.ImagesMade) MakeImages(n, m);
    PutImage(m.LegendX, m.LegendY, m.Legend);
    PutImage(m.EquinoxX, m.EquinoxY, m.Equinox);
}
