// sight_lines.cpp — the lines of sight from the Earth through the planets.
//
// In the heliocentric view the line starts at the moving Earth, in the
// geocentric view at the fixed one; the geocentric transform only moves the
// origin, so the two lines of one planet are always parallel. They are
// overlay lines: the views' own pixels, and so their erasing, stay as they are.
#include "render/render.h"
#include "render/view_common.h"

#include "model/state.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace {

// Each view's lines of sight as last set: windows 2 and 3.
std::array<std::vector<OverlayLine>, 2> Sight;
// The construction shown, and how many of its numbers the clock has reached.
std::optional<LoopConstruction> Construction;
int Reached = 0;

std::vector<OverlayLine> LinesFrom(int n, double ex, double ey, const std::array<double, 7>& xs,
                                   const std::array<double, 7>& ys) {
    std::vector<OverlayLine> lines;
    const double width = WindowWidth(n) > 0 ? WindowWidth(n) : Layout.ViewWinWidth;
    const double height = WindowHeight(n) > 0 ? WindowHeight(n) : Layout.ViewWinHeight;
    // The mark at the edge: as long as a disc is wide, three pixels thick.
    const double markLength = std::max(6.0, 2 * Layout.DiscRadiusX);
    for (int k = Mercury; k <= Jupiter; ++k) {
        if (Settings.PlanetOn[k] != 1) continue;
        double x = 0, y = 0;
        if (!RayExit(ex, ey, xs[k], ys[k], width, height, x, y)) continue;
        const uint32_t colour = DiscColour(static_cast<int16_t>(k));
        lines.push_back(OverlayLine{ex, ey, x, y, colour, 1});
        const double length = std::hypot(x - ex, y - ey);
        if (length <= 0) continue;
        const double f = std::min(1.0, markLength / length);
        lines.push_back(OverlayLine{x - (x - ex) * f, y - (y - ey) * f, x, y, colour, 3});
    }
    return lines;
}

}  // namespace

void ShowSightLines(bool on) {
    const bool helio = on && (Settings.SystemMode == 1 || Settings.SystemMode == 3);
    const bool geo = on && (Settings.SystemMode == 2 || Settings.SystemMode == 3);
    const ViewPositions& v = Views;
    Sight[0] = helio ? LinesFrom(Win_2, v.HelioScreenX[Earth], v.HelioScreenY[Earth], v.HelioScreenX, v.HelioScreenY)
                     : std::vector<OverlayLine>{};
    Sight[1] = geo ? LinesFrom(Win_3, Layout.GeoCentreX, Layout.GeoCentreY, v.GeoScreenX, v.GeoScreenY)
                   : std::vector<OverlayLine>{};
    ShowViewOverlays();
}

void ShowViewOverlays() {
    // The lines of sight first: they change from step to step, so a list
    // that has changed is told from the one shown at its first line.
    static std::vector<OverlayLine> lines;
    for (int n : {Win_2, Win_3}) {
        const std::vector<OverlayLine>& marks = ViewMarkLines(n);
        lines = Sight[n - Win_2];
        if (Construction) {
            const std::vector<OverlayLine>& figure = ConstructionLines(n, *Construction, Reached);
            lines.insert(lines.end(), figure.begin(), figure.end());
        }
        lines.insert(lines.end(), marks.begin(), marks.end());
        SetOverlayLines(n, lines);
    }
}

void ShowConstruction(const LoopConstruction* c, double now) {
    const int reached = c ? NumbersReached(*c, now) : 0;
    // Nothing new while the clock stays between two numbers.
    const bool same = c ? Construction && Construction->Moments == c->Moments && Construction->Body == c->Body
                        : !Construction;
    if (!same) Construction = c ? std::optional<LoopConstruction>(*c) : std::nullopt;
    SetStripConstruction(c, reached);
    if (same && reached == Reached) return;
    Reached = reached;
    ShowViewOverlays();
}
