// view_marks.cpp — what the views show in the real sky besides the bodies:
// the scale, a bar one astronomical unit long beside "1 AE" under the line
// "Bahnen maßstabsgetreu, Scheiben vergrößert", and the direction of the vernal equinox, a dashed
// arrow from the Sun (in the geocentric view from the Earth) along +x to the
// view's edge, "♈ Frühlingspunkt" over its head. The model's circles are not
// to scale and have no equinox: there the views show none of it.
//
// The views are drawn step by step and never cleared by a step, so the marks
// are made where nothing a step does can wipe them for good. The bar and the
// arrow are overlay lines, shown over the view like the lines of sight. The
// letters are set into the view's pixels again at the end of each step, over
// whatever the step drew there, and only the letters' own pixels: a path or
// a disc under them stays in sight between them, and a disc erased under
// them or a view cleared has them back by the next step.
#include "render/render.h"

#include "model/real_sky.h"
#include "model/sky.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/view_common.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

// A line of letters: where its box stands and which of the box's pixels
// are letters.
struct Lettering {
    int X = 0, Y = 0, Width = 0, Height = 0;
    std::vector<int> Letters;  // indices into the box's pixels, row by row
    uint32_t Ink = 0;          // their colour as an image holds it
};

// What one view's marks were made for, and the marks.
struct Marks {
    std::array<double, 7> MadeFor{};  // width, height, ratio, disc radius, pixels per AE, centre x and y
    bool Made = false;
    std::vector<OverlayLine> Lines;   // the bar and the arrow
    std::vector<Lettering> Texts;     // "1 AE", its line, the arrow's label
};

std::array<Marks, 2> ViewMarks;  // windows 2 and 3
Image Under;                      // the pixels a lettering is set into, each step

int Round(double v) { return static_cast<int>(std::lround(v)); }

bool Shown(int n) {
    const int mode = Settings.SystemMode;
    return n == Win_2 ? mode == 1 || mode == 3 : mode == 2 || mode == 3;
}

// A line of letters drawn at (x, y) in window n, its drawing target, in the
// font set: drawn on the view's background, read and taken away again.
Lettering Letters(double x, double y, const std::string& text) {
    Lettering l{Round(x), Round(y), TextWidth(text), TextHeight(), {}, 0};
    Image under, drawn;
    CaptureImage(l.X, l.Y, l.X + l.Width - 1, l.Y + l.Height - 1, under);
    SetForeground(Colours.ColBlack);
    SetBackground(Colours.ColAzure);
    DrawText(l.X, l.Y, text);
    CaptureImage(l.X, l.Y, l.X + l.Width - 1, l.Y + l.Height - 1, drawn);
    PutImage(l.X, l.Y, under);
    for (int i = 0; i < l.Width * l.Height; ++i)
        if (ImagePixel(drawn, i % l.Width, i / l.Width) == Colours.ColBlack) {
            l.Letters.push_back(i);
            l.Ink = drawn.Pixels[static_cast<std::size_t>(i)];
        }
    return l;
}

// The legend's letters, in the drawing target.
void SetLegendFont() {
    SetFontFace("courier");
    SetFontBold(false);
    SetFontSize(SmallLetterSize());
}

// What the legend says above the bar, in a view `width` pixels wide: on
// one line where it fits, else on two, else nothing.
std::vector<std::string> LegendLines(int width) {
    const int room = width - 2 * Round(4 * LetterScale());
    const std::string whole = "Bahnen maßstabsgetreu, Scheiben vergrößert";
    if (TextWidth(whole) <= room) return {whole};
    const std::vector<std::string> two{"Bahnen maßstabsgetreu,", "Scheiben vergrößert"};
    if (TextWidth(two[0]) <= room) return two;
    return {};
}

// View n's marks for the view's size, the pixel ratio and the scale as they
// stand, in letters 9 pixels high at a ratio of 1 at least; what does not
// fit in the view is left out rather than shrunk. Drawn (and taken away
// again) in window n, its drawing target.
void MakeMarks(int n, Marks& m) {
    m.Made = true;
    m.Lines.clear();
    m.Texts.clear();
    const uint32_t foreground = Foreground(), background = Background();
    const double scale = LetterScale();
    SetLegendFont();
    const int w = WindowWidth(n), h = WindowHeight(n), text = TextHeight();
    const int margin = Round(4 * scale), thick = std::max(1, Round(PixelRatio()));
    const uint32_t black = Colours.ColBlack;
    auto line = [&](double x1, double y1, double x2, double y2) {
        m.Lines.push_back(OverlayLine{x1, y1, x2, y2, black, thick});
    };

    // The scale in the lower left corner: "1 AE" beside the bar, with
    // short ticks at its ends, and above them the line saying so.
    const int bar = Round(RealSkyPixelsPerAu()), top = h - margin - text;
    const std::string unit = "1 AE";
    const std::vector<std::string> above = LegendLines(w);
    const int barLeft = margin + TextWidth(unit) + margin;
    if (bar >= 2 && barLeft + bar + margin <= w && top - text >= 0) {
        m.Texts.push_back(Letters(margin, top, unit));
        // A line `thick` pixels wide reaches (thick - 1) / 2 of them past its
        // ends and to the left of its points: bar and ticks are placed so
        // that they cover the bar's length exactly.
        const int half = (thick - 1) / 2, first = barLeft + half, last = barLeft + bar - thick + half;
        const double middle = top + text / 2, tick = text / 4.0;
        line(first, middle, barLeft + bar - 1 - half, middle);
        line(first, middle - tick, first, middle + tick);
        line(last, middle - tick, last, middle + tick);
        for (std::size_t i = 0; i < above.size(); ++i)
            m.Texts.push_back(Letters(margin, top - static_cast<int>(above.size() - i) * text, above[i]));
    }

    // The arrow: dashes from beside the fixed body's disc to the right edge,
    // a head there and its label over it.
    const double cx = n == Win_2 ? Layout.HelioCentreX : Layout.GeoCentreX;
    const double y = std::floor(n == Win_2 ? Layout.HelioCentreY : Layout.GeoCentreY);
    const double right = w - 1, dash = Round(6 * scale), gap = Round(4 * scale), head = Round(6 * scale);
    if (right - head > cx + Layout.DiscRadiusX + gap) {
        for (double x = cx + Layout.DiscRadiusX + gap; x + dash <= right - head; x += dash + gap)
            line(x, y, x + dash - 1, y);
        line(right - head, y, right, y);
        line(right - head, y - head / 2, right, y);
        line(right - head, y + head / 2, right, y);
        // "♈" asks for the letter, not a picture, where a system would draw one.
        for (const std::string label : {"\u2648\uFE0E Frühlingspunkt", "\u2648\uFE0E"}) {
            const int width = TextWidth(label), labelTop = Round(y - head / 2 - margin - text);
            if (margin + width + margin > w / 2 || labelTop < 0) continue;
            m.Texts.push_back(Letters(w - margin - width, labelTop, label));
            break;
        }
    }
    SetForeground(foreground);
    SetBackground(background);
}

// View n's marks, made anew where the view's size, the pixel ratio or the
// scale has changed since they were made.
Marks& MarksOf(int n) {
    Marks& m = ViewMarks[n == Win_2 ? 0 : 1];
    const std::array<double, 7> now{static_cast<double>(WindowWidth(n)),
                                    static_cast<double>(WindowHeight(n)),
                                    PixelRatio(),
                                    Layout.DiscRadiusX,
                                    RealSkyPixelsPerAu(),
                                    n == Win_2 ? Layout.HelioCentreX : Layout.GeoCentreX,
                                    n == Win_2 ? Layout.HelioCentreY : Layout.GeoCentreY};
    if (now != m.MadeFor) {
        m.MadeFor = now;
        m.Made = false;
    }
    return m;
}

}  // namespace

void MeasureViewLegend() {
    SetLegendFont();
    const int lines = static_cast<int>(LegendLines(Layout.ViewWinWidthInt).size());
    Layout.ViewLegendHeight = Round(4 * LetterScale()) + (1 + lines) * TextHeight();
}

const std::vector<OverlayLine>& ViewMarkLines(int n) {
    static const std::vector<OverlayLine> none;
    if (!Skies.Real || !Shown(n)) return none;
    Marks& m = MarksOf(n);
    if (!m.Made) {
        const int selected = SelectedWindow();
        SelectWindow(n);
        MakeMarks(n, m);
        SelectWindow(selected);
    }
    return m.Lines;
}

void PutViewMarks(int n) {
    if (!Skies.Real) return;
    Marks& m = MarksOf(n);
    if (!m.Made) MakeMarks(n, m);
    // Where the step may have drawn: round each body's way from its old
    // place to its new one, as far as a disc and a label beside it reach,
    // and over the polygons' corners. A lettering beyond all of that is
    // left alone, unless its first letter is gone (the view was cleared).
    const ViewPositions& v = Views;
    const bool helio = n == Win_2;
    const double reach = Layout.DiscRadiusX + 2 + 3 * SmallLetterSize();
    double polygon[4] = {1e9, 1e9, -1e9, -1e9};
    static std::vector<std::array<double, 4>> ways;
    ways.clear();
    for (int k = Earth; k <= Sun; ++k) {
        const double x0 = helio ? v.HelioPrevScreenX[k] : v.GeoPrevScreenX[k], x1 = helio ? v.HelioScreenX[k] : v.GeoScreenX[k];
        const double y0 = helio ? v.HelioPrevScreenY[k] : v.GeoPrevScreenY[k], y1 = helio ? v.HelioScreenY[k] : v.GeoScreenY[k];
        ways.push_back({std::min(x0, x1) - reach, std::min(y0, y1) - reach, std::max(x0, x1) + reach,
                        std::max(y0, y1) + reach});
        polygon[0] = std::min({polygon[0], x0, x1});
        polygon[1] = std::min({polygon[1], y0, y1});
        polygon[2] = std::max({polygon[2], x0, x1});
        polygon[3] = std::max({polygon[3], y0, y1});
    }
    if (Settings.PolygonOn > 0) ways.push_back({polygon[0] - 2, polygon[1] - 2, polygon[2] + 2, polygon[3] + 2});
    // The letters' pixels into what the step left there, put back at once
    // where the step changed one of them (else the box is left alone, and
    // nothing is shown again for it).
    for (const Lettering& l : m.Texts) {
        const bool near = std::any_of(ways.begin(), ways.end(), [&](const std::array<double, 4>& w) {
            return w[0] <= l.X + l.Width - 1 && l.X <= w[2] && w[1] <= l.Y + l.Height - 1 && l.Y <= w[3];
        });
        if (!near && !l.Letters.empty() &&
            WindowPixel(n, l.X + l.Letters[0] % l.Width, l.Y + l.Letters[0] / l.Width) == Colours.ColBlack)
            continue;
        CaptureImage(l.X, l.Y, l.X + l.Width - 1, l.Y + l.Height - 1, Under);
        bool changed = false;
        for (int i : l.Letters) {
            uint32_t& pixel = Under.Pixels[static_cast<std::size_t>(i)];
            changed |= pixel != l.Ink;
            pixel = l.Ink;
        }
        if (changed) PutImage(l.X, l.Y, Under);
    }
}
