// construction.cpp — the construction of a loop over the views: the Earth's
// and the planet's places at the numbered moments as small numbered marks,
// and through each numbered pair a thin line on to the view's edge; in the
// geocentric view the same lines from the fixed Earth, through the planet's
// numbered places along its loop. The geocentric transform only moves the
// origin, so the two views' lines of one number are parallel, as the lines
// of sight are. All of it is overlay lines, numbers included (drawn in
// strokes), so the views' own pixels stay as they are.
#include "render/render.h"
#include "render/view_common.h"

#include "model/planets.h"
#include "model/sky.h"
#include "model/state.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

// The construction's lines and numbers: dark grey, so that they stand apart
// from the lines of sight in the planets' colours.
constexpr uint32_t Ink = 0x202020;

// The places of the numbered moments, relative to the Sun in the views'
// pixels, made again where the moments or what the sky reckons its places
// on the screen from have changed.
struct Places {
    std::vector<double> Moments;
    const Sky* Of = nullptr;
    ScreenKey Key;
    int Body = 0;
    std::vector<double> Ex, Ey, Px, Py;
};

const Places& PlacesOf(const LoopConstruction& c) {
    static Places p;
    const Sky& sky = TheSky();
    const ScreenKey key = sky.Screen.Key(Settings.PlanetOn);
    if (p.Moments == c.Moments && p.Of == &sky && p.Key == key && p.Body == c.Body) return p;
    p.Moments = c.Moments;
    p.Of = &sky;
    p.Key = key;
    p.Body = c.Body;
    const std::size_t n = c.Moments.size();
    p.Ex.assign(n, 0), p.Ey.assign(n, 0), p.Px.assign(n, 0), p.Py.assign(n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        sky.Screen.Place(Earth, c.Moments[i], key.PixelsPerUnit, p.Ex[i], p.Ey[i]);
        sky.Screen.Place(c.Body, c.Moments[i], key.PixelsPerUnit, p.Px[i], p.Py[i]);
    }
    return p;
}

}  // namespace

// A small ring round a numbered place, as eight short strokes.
void RingStrokes(std::vector<OverlayLine>& lines, double x, double y, double r, uint32_t colour) {
    constexpr double Step = std::numbers::pi / 4;
    for (int i = 0; i < 8; ++i)
        lines.push_back(OverlayLine{x + r * std::cos(i * Step), y + r * std::sin(i * Step), x + r * std::cos((i + 1) * Step),
                                    y + r * std::sin((i + 1) * Step), colour, 1});
}

void NumberStrokes(std::vector<OverlayLine>& lines, double x, double y, double height, int number, uint32_t colour) {
    // Seven segments: a top, upper right, lower right, bottom, lower left,
    // upper left and middle; each digit lights some of them.
    constexpr uint8_t Lit[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    const std::string digits = std::to_string(std::max(0, number));
    const double w = height / 2, gap = std::max(1.0, height / 4);
    const int width = std::max(1, static_cast<int>(std::lround(height / 7)));
    for (char d : digits) {
        const uint8_t lit = Lit[d - '0'];
        const double l = x, r = x + w, t = y, m = y + height / 2, b = y + height;
        const double segments[7][4] = {{l, t, r, t}, {r, t, r, m}, {r, m, r, b}, {l, b, r, b},
                                       {l, m, l, b}, {l, t, l, m}, {l, m, r, m}};
        for (int s = 0; s < 7; ++s)
            if (lit & (1 << s))
                lines.push_back(OverlayLine{segments[s][0], segments[s][1], segments[s][2], segments[s][3], colour, width});
        x += w + gap;
    }
}

const std::vector<OverlayLine>& ConstructionLines(int n, const LoopConstruction& c, int reached) {
    // Made again only where the numbers reached, the view or the places have
    // changed: a step between two numbers costs no more than a look.
    struct Made {
        std::array<double, 8> Key{};
        std::vector<double> Moments;
        std::vector<OverlayLine> Lines;
    };
    static std::array<Made, 2> made;
    Made& m = made[n == Win_2 ? 0 : 1];
    const std::array<double, 8> key{static_cast<double>(reached), static_cast<double>(WindowWidth(n)),
                                    static_cast<double>(WindowHeight(n)), Settings.SystemMode,
                                    n == Win_2 ? Layout.HelioCentreX : Layout.GeoCentreX,
                                    n == Win_2 ? Layout.HelioCentreY : Layout.GeoCentreY, LetterScale(),
                                    static_cast<double>(c.Body)};
    const Places& p = PlacesOf(c);
    if (key == m.Key && m.Moments == p.Moments && !m.Lines.empty()) return m.Lines;
    m.Key = key;
    m.Moments = p.Moments;
    std::vector<OverlayLine>& lines = m.Lines;
    lines.clear();
    const bool helio = n == Win_2;
    const bool shown = helio ? Settings.SystemMode == 1 || Settings.SystemMode == 3
                             : Settings.SystemMode == 2 || Settings.SystemMode == 3;
    if (!shown || reached <= 0) return lines;
    const double width = WindowWidth(n) > 0 ? WindowWidth(n) : Layout.ViewWinWidth;
    const double height = WindowHeight(n) > 0 ? WindowHeight(n) : Layout.ViewWinHeight;
    const double scale = LetterScale(), ring = 3 * scale, digits = 7 * scale;
    const double cx = helio ? Layout.HelioCentreX : Layout.GeoCentreX;
    const double cy = helio ? Layout.HelioCentreY : Layout.GeoCentreY;
    const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(reached), p.Moments.size());
    for (std::size_t i = 0; i < count; ++i) {
        // The Earth where it stood (in the geocentric view, fixed at the
        // centre), and the planet.
        const double ex = helio ? cx + p.Ex[i] : cx, ey = helio ? cy + p.Ey[i] : cy;
        const double px = ex + p.Px[i] - p.Ex[i], py = ey + p.Py[i] - p.Ey[i];
        double x = 0, y = 0;
        if (RayExit(ex, ey, px, py, width, height, x, y)) lines.push_back(OverlayLine{ex, ey, x, y, Ink, 1});
        const int number = static_cast<int>(i) + 1;
        RingStrokes(lines, px, py, ring, DiscColour(static_cast<int16_t>(c.Body)));
        NumberStrokes(lines, px + ring + 1, py - ring - 1 - digits, digits, number, Ink);
        if (helio) {
            RingStrokes(lines, ex, ey, ring, DiscColour(Earth));
            NumberStrokes(lines, ex + ring + 1, ey + ring + 1, digits, number, Ink);
        }
    }
    return lines;
}
