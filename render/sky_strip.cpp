// sky_strip.cpp — the sky strip (window 4): what a pupil on the Earth sees of
// the planets' path round the sky in the last year, as a band below both
// views, in room the layout keeps free for it.
//
// Across: all 360 degrees of direction from the Earth, east to the left, as
// the southern sky looks from Germany. Down: time, now on the top row and a
// year ago above the scale at the foot. The directions are those on the
// screen (sky.h): the angles of the lines of sight in the views, so that
// strip and lines of sight agree.
//
// In the real sky the directions are ecliptic longitudes of date, and the
// sky behind the dots is a chart of what lies along the ecliptic: the
// thirteen constellations it crosses, between their boundaries, and the
// bright stars by it as ticks at their longitudes. The strip's height is
// time, so a star cannot stand at its latitude: a tick says where along the
// ecliptic it is. In the model the sky is a field of made-up stars.
//
// Sky, stars and scale are made once per layout as one image (in the real
// sky again when precession has moved the chart by a third of a pixel); a
// step sets the dots in a frame of it, puts that, and draws the standstills'
// days and the discs over it. The directions of whole days and the
// standstills are kept for three years round the clock, so that a step
// reckons none of them.
#include "render/render.h"

#include "model/real_sky.h"
#include "model/sky.h"
#include "model/state.h"
#include "model/zodiac.h"
#include "platform/platform.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr double TwoPi = 2 * std::numbers::pi;
constexpr int YearDays = 365;
// The smallest letters, in pixels at a ratio of 1.
constexpr double SmallestText = 9;
// Colour values 0x00BBGGRR.
constexpr uint32_t NightBlue = 0x3C1408, BrightStar = 0xE6E6E6, FaintStar = 0x8C8C8C, ScaleGrey = 0xB4B4B4;
// The real sky's chart: boundaries, the constellations' names, the stars.
constexpr uint32_t BoundaryBlue = 0x8C643C, NameBlue = 0xD2AA82, StarYellow = 0xB4F0FF;

// The bright stars by the ecliptic, at their longitudes of J2000.0 in
// degrees: their positions in the Hipparcos catalogue (new reduction, F. van
// Leeuwen 2007, CDS I/311; ICRS, epoch J2000.0, as SIMBAD gives them) turned
// into the ecliptic of J2000.0 with ERFA's eraEqec06.
struct Star {
    double Longitude;
    const char* Name;
};
constexpr Star BrightStars[] = {
    {69.789, "Aldebaran"}, {113.216, "Pollux"}, {149.829, "Regulus"}, {203.841, "Spica"}, {249.762, "Antares"},
};

struct Standstill {
    int16_t Body = 0;
    double Day = 0, X = 0;
    Image Label;  // its day, drawn when first shown
    std::string Text;
};

// A box of pixels in the strip: columns [Left, Right), rows [Top, Bottom).
struct Box {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool Meets(const Box& o, int gap) const {
        return Left < o.Right + gap && o.Left < Right + gap && Top < o.Bottom && o.Top < Bottom;
    }
};

// A name of the chart, drawn into the background, and the sky under it, put
// back while a date or a disc stands over the name: a name is whole or absent.
struct ChartName {
    std::string Text;
    Box Place;
    Image Bare;
    bool Hidden = false;
};

struct SkyStrip {
    // What the background was made for, and the rows and sizes it set.
    int Width = 0, Height = 0;
    double Ratio = 0, DiscRadiusX = 0;
    Image Background;
    std::vector<ChartName> Names;
    Image Base;                           // the background without the names hidden now
    Image Frame;                          // the base with the last dots, put at once
    std::vector<StripLabel> Dates;        // the dates shown now
    std::vector<std::pair<int, int>> Dots;  // where they are: each one's top-left corner
    int FontSize = 0, Dot = 2, Disc = 2, NowRow = 0, YearRow = 0, ScaleTop = 0;
    // Each planet's x on whole days from First on, and the standstills within
    // those days, for the directions the sky's key says (sky.h) and the width
    // DaysWidth.
    long long First = 0;
    std::vector<std::array<double, 7>> DayX;
    std::vector<Standstill> Standstills;
    StripKey DaysFor;
    int DaysWidth = 0;
    // The background's sky: the real one's chart and the moment whose frame
    // it is drawn in, and for how many days that frame stays within a third
    // of a pixel.
    bool Real = false;
    double MadeAt = 0, KeepFor = 0;
};

SkyStrip Strip;

int StripWidth() {
    return static_cast<int>(Layout.GeoWinLeft) + Layout.ViewWinWidthInt - static_cast<int>(Layout.HelioWinLeft);
}


double SkyX(double direction) { return Strip.Width * (1 - direction / TwoPi); }

// A longitude of J2000.0 in degrees as a direction of date at `moment`, 0 up to 2π.
double OfDate(double degrees, double moment) {
    const double d = std::fmod(LongitudeOfDate(degrees * TwoPi / 360, moment), TwoPi);
    return d < 0 ? d + TwoPi : d;
}

int Round(double v) { return static_cast<int>(std::lround(v)); }

// Calls draw(x) at x and, where something `reach` pixels wide about x passes
// an end of the strip, once more a full turn further on at the other end.
template <class Draw>
void Wrapped(double x, int reach, Draw draw) {
    draw(x);
    if (x - reach < 0) draw(x + Strip.Width);
    if (x + reach >= Strip.Width) draw(x - Strip.Width);
}

// The first column of a mark `star` pixels wide at a direction; the right
// end's 0 just inside the strip.
int TickColumn(double direction, int star) {
    return std::min(Strip.Width - star, static_cast<int>(std::floor(SkyX(direction))));
}

// Where a label of `width` pixels centred at x stands, whole inside the strip
// and clear of its ends; false where it is wider than that.
bool LabelLeft(double x, int width, int margin, int& left) {
    if (width > Strip.Width - 2 * margin) return false;
    left = std::clamp(Round(x - width / 2.0), margin, Strip.Width - margin - width);
    return true;
}

// A name drawn into the chart, and recorded with the sky under it.
void DrawName(int left, int top, const std::string& name) {
    ChartName n{name, {left, top, left + TextWidth(name), top + TextHeight()}, {}, false};
    CaptureImage(left, top, n.Place.Right - 1, n.Place.Bottom - 1, n.Bare);
    DrawText(left, top, name);
    Strip.Names.push_back(std::move(n));
}

// Whether [left, left + width) keeps `gap` pixels from every label in `row`;
// if so, it is taken into the row.
bool Free(std::vector<std::pair<int, int>>& row, int left, int width, int gap) {
    for (const auto& [l, r] : row)
        if (left < r + gap && l < left + width + gap) return false;
    row.emplace_back(left, left + width);
    return true;
}

// The real sky's chart at `moment`, low in the sky: the constellations'
// boundaries as dotted lines up the sky, their names in two rows (a name
// goes to the upper row where the lower has no room for it, and is left out
// where neither has), and below them the bright stars' names, each over
// where its tick through the scale stands (TickColumn). Letters in rows of
// `text` pixels, never smaller: a name that does not fit is left out.
void DrawChart(double moment, int text, int tick, int star, int margin) {
    const SkyStrip& s = Strip;
    const int gap = std::max(1, text / 2);
    SetForeground(BoundaryBlue);
    for (const Constellation& c : Zodiac) {
        const int x = TickColumn(OfDate(c.From, moment), star);
        for (int y = 0; y < s.ScaleTop; y += 3 * star) FillBox(x, y, x + star - 1, y + star - 1);
    }
    const int starNames = s.ScaleTop - tick - text;
    const int nameRows[] = {starNames - text, starNames - 2 * text};
    std::vector<std::pair<int, int>> taken[2];
    SetForeground(NameBlue);
    SetBackground(NightBlue);
    const std::size_t count = std::size(Zodiac);
    for (std::size_t i = 0; i < count; ++i) {
        const double from = OfDate(Zodiac[i].From, moment);
        double to = OfDate(Zodiac[(i + 1) % count].From, moment);
        if (to < from) to += TwoPi;
        const std::string name = Zodiac[i].Name;
        const int width = TextWidth(name);
        int left = 0;
        if (!LabelLeft(SkyX(std::fmod((from + to) / 2, TwoPi)), width, margin, left)) continue;
        for (int row = 0; row < 2; ++row)
            if (nameRows[row] >= 0 && Free(taken[row], left, width, gap)) {
                DrawName(left, nameRows[row], name);
                break;
            }
    }
    std::vector<std::pair<int, int>> starsTaken;
    SetForeground(StarYellow);
    for (const Star& bright : BrightStars) {
        const int x = TickColumn(OfDate(bright.Longitude, moment), star);
        const int width = TextWidth(bright.Name);
        int left = 0;
        if (starNames >= 0 && LabelLeft(x + star / 2.0, width, margin, left) && Free(starsTaken, left, width, gap))
            DrawName(left, starNames, bright.Name);
    }
}

// Sky, stars and scale for the layout as it stands, into window 4 and then
// into Strip.Background.
void MakeBackground() {
    SkyStrip& s = Strip;
    // The days and labels anew where the sizes are new.
    if (s.Width != StripWidth() || s.Height != SkyStripHeight() || s.Ratio != PixelRatio() ||
        s.DiscRadiusX != Layout.DiscRadiusX)
        s.DaysFor = {};
    s.Width = StripWidth();
    s.Height = SkyStripHeight();
    s.Ratio = PixelRatio();
    s.DiscRadiusX = Layout.DiscRadiusX;
    s.Real = Skies.Real;
    s.MadeAt = Planets.SimTime;
    const int w = s.Width, h = s.Height;
    // Sizes grow with the pixel ratio as the disc labels do; text is never
    // smaller than a pupil can read (9 pixels at a ratio of 1).
    const double scale = std::min(s.Ratio, std::max(1.0, Layout.DiscRadiusX / 19.0));
    const int star = std::max(1, Round(s.Ratio));
    SetFontFace("courier");
    SetFontBold(false);
    s.FontSize = std::max(Round(SmallestText * s.Ratio), Round(10 * scale));
    SetFontSize(s.FontSize);
    const int text = TextHeight(), tick = std::max(2, Round(4 * scale));
    // Under the sky, a row for the compass points and one for the degrees;
    // where a low strip has no room for them and four rows of sky, the
    // compass points are left out first, then the degrees, rather than
    // shrunk.
    int rows = 2;
    while (rows > 0 && h - rows * text - tick < (rows + 1) * text) --rows;
    const int wordsTop = rows >= 2 ? h - text : h, degreesTop = wordsTop - (rows >= 1 ? text : 0);
    s.ScaleTop = degreesTop - tick;
    s.Dot = std::max(2, Round(2 * s.Ratio));
    s.Disc = std::max(2, Round(4 * scale));
    s.NowRow = s.Disc + 1;
    s.YearRow = std::max(s.NowRow + 1, s.ScaleTop - s.Dot - 1);

    ClearWindow(Win_4);
    SetFillPattern(0);
    s.Names.clear();
    const int margin = 2 * star;
    if (s.Real) {
        DrawChart(s.MadeAt, text, tick, star, margin);
        // Precession moves the chart some 50" a year: how long it stays put.
        constexpr double TenYears = 3652.5;
        const double turn = LongitudeOfDate(0, s.MadeAt + TenYears) - LongitudeOfDate(0, s.MadeAt);
        const double drift = std::abs(std::remainder(turn, TwoPi)) / TenYears;
        s.KeepFor = drift > 0 ? std::clamp(TwoPi / w / 3 / drift, 1.0, TenYears) : TenYears;
    } else {
        // The same stars every time: a fixed seed, one star per 300 pixels of sky.
        uint32_t seed = 0x2545F491u;
        auto next = [&seed] {
            seed ^= seed << 13;
            seed ^= seed >> 17;
            seed ^= seed << 5;
            return seed;
        };
        const int skyRows = std::max(1, s.ScaleTop);
        for (long i = 0, n = static_cast<long>(w) * skyRows / (300L * star * star); i < n; ++i) {
            const int x = static_cast<int>(next() % w), y = static_cast<int>(next() % skyRows);
            SetForeground(next() % 4 == 0 ? BrightStar : FaintStar);
            FillBox(x, y, x + star - 1, y + star - 1);
        }
    }
    // The scale: a tick every 30 degrees (0 at the right end, which the left
    // end meets), its number under it, and the two compass points.
    SetForeground(ScaleGrey);
    SetBackground(NightBlue);
    // Where the numbers of every tick would run into each other (a narrow
    // strip), only every second, third … tick gets one.
    int every = 1;
    while (every < 12 && (12 % every != 0 || w * every / 12 < TextWidth("330°") + text)) ++every;
    for (int degrees = 0; degrees < 360; degrees += 30) {
        const int x = std::min(w - star, static_cast<int>(std::floor(SkyX(degrees * TwoPi / 360))));
        FillBox(x, s.ScaleTop, x + star - 1, degreesTop - 1);
        if (degrees == 0) FillBox(0, s.ScaleTop, star - 1, degreesTop - 1);
        if (rows < 1 || degrees / 30 % every != 0) continue;
        // Whole inside the strip, clear of its ends.
        const std::string label = std::to_string(degrees) + "°";
        const int width = TextWidth(label);
        DrawText(std::clamp(x - width / 2, margin, std::max(margin, w - margin - width)), degreesTop, label);
    }
    if (rows >= 2) {
        DrawText(margin, wordsTop, "Osten");
        DrawText(std::max(0, w - margin - TextWidth("Westen")), wordsTop, "Westen");
    }
    // The stars' ticks through the scale, over the degrees', reaching a
    // tick's length into the sky.
    if (s.Real) {
        SetForeground(StarYellow);
        for (const Star& bright : BrightStars) {
            const int x = TickColumn(OfDate(bright.Longitude, s.MadeAt), star);
            FillBox(x, s.ScaleTop - tick, x + star - 1, degreesTop - 1);
        }
    }
    CaptureImage(0, 0, w - 1, h - 1, s.Background);
    s.Base = s.Frame = s.Background;
    s.Dots.clear();
}

// Each planet's x on every whole day of three years round `today`, and the
// standstills among them, unless they are held for today's directions
// already.
void KeepDays(long long today) {
    SkyStrip& s = Strip;
    const StripKey key = StripDirectionsKey();
    const long long held = static_cast<long long>(s.DayX.size());
    if (key == s.DaysFor && s.Width == s.DaysWidth && today - (YearDays - 1) >= s.First && today < s.First + held)
        return;
    s.DaysFor = key;
    s.DaysWidth = s.Width;
    s.First = today - 2 * YearDays;
    s.DayX.resize(3 * YearDays);
    for (std::size_t i = 0; i < s.DayX.size(); ++i)
        for (int16_t k = Mercury; k <= Jupiter; ++k)
            s.DayX[i][k] = SkyX(StripDirection(k, static_cast<double>(s.First + static_cast<long long>(i))));
    s.Standstills.clear();
    const double last = static_cast<double>(s.First) + static_cast<double>(s.DayX.size()) - 1;
    for (int16_t k = Mercury; k <= Jupiter; ++k)
        for (const SkyEvent& e : TheSky().Events.Of(k, static_cast<double>(s.First), last))
            if (e.Kind == EventKind::StationRetrograde || e.Kind == EventKind::StationDirect)
                s.Standstills.push_back({k, e.Day, SkyX(StripDirection(k, e.Day)), Image{}, {}});
}

// The row of something `age` days old.
double AgeRow(double age) { return Strip.NowRow + (Strip.YearRow - Strip.NowRow) * age / YearDays; }

// The construction's points over the strip (below).
void ShowStripConstruction(double now);

// A standstill's label, drawn the first time in the strip's corner (which
// the background covers again before anything is shown).
void MakeLabel(Standstill& still) {
    if (!IsEmptyImage(still.Label)) return;
    SetFontFace("courier");
    SetFontBold(false);
    SetFontSize(Strip.FontSize);
    SetForeground(DiscColour(still.Body));
    SetBackground(NightBlue);
    still.Text = TheSky().Texts.DayLabel(still.Day);
    DrawText(0, 0, still.Text);
    CaptureImage(0, 0, TextWidth(still.Text) - 1, TextHeight() - 1, still.Label);
}

// The boxes of the discs on the top row now.
std::vector<Box> DiscBoxes(double now, const std::vector<int16_t>& bodies) {
    std::vector<Box> discs;
    const int r = Strip.Disc;
    for (int16_t k : bodies)
        Wrapped(SkyX(StripDirection(k, now)), Strip.Disc, [&](double x) {
            const int c = static_cast<int>(std::floor(x));
            discs.push_back({c - r, Strip.NowRow - r, c + r + 1, Strip.NowRow + r + 1});
        });
    return discs;
}

// Where the standstills' dates stand: the newest first, each beside its dot
// on the side with room for it, else on the other side, else a row lower or
// higher, clear of the discs and of the dates placed before it, and where it
// can, clear of the chart's names too; a date with no such place is left
// out. A name under a date or a disc gives way (PutNames).
std::vector<std::pair<const Standstill*, Box>> PlaceDates(double now, const std::vector<const Standstill*>& stills,
                                                         const std::vector<Box>& discs) {
    const SkyStrip& s = Strip;
    const int gap = s.Disc + 1, apart = std::max(1, s.FontSize / 2);
    std::vector<std::pair<const Standstill*, Box>> placed;
    for (const Standstill* still : stills) {
        const Image& label = still->Label;
        if (label.Height > s.ScaleTop) continue;  // no room for it above the scale
        const double row = AgeRow(now - still->Day) - label.Height / 2.0, lowest = s.ScaleTop - label.Height;
        std::vector<Box> places;
        for (int shift : {0, 1, -1})
            for (const double x : {still->X + gap, still->X - gap - label.Width}) {
                const double y = row + shift * label.Height;
                if (x < 0 || x + label.Width > s.Width || (shift != 0 && (y < 0 || y > lowest))) continue;
                const auto left = static_cast<int>(std::floor(x));
                const auto top = static_cast<int>(std::floor(std::clamp(y, 0.0, std::max(0.0, lowest))));
                places.push_back({left, top, left + label.Width, top + label.Height});
            }
        std::optional<Box> chosen;
        for (const Box& box : places) {
            auto meets = [&](const Box& o) { return box.Meets(o, 0); };
            if (std::any_of(discs.begin(), discs.end(), meets) ||
                std::any_of(placed.begin(), placed.end(), [&](const auto& p) { return box.Meets(p.second, apart); }))
                continue;
            const bool overName = std::any_of(s.Names.begin(), s.Names.end(), [&](auto& n) { return meets(n.Place); });
            if (!chosen || !overName) chosen = box;
            if (!overName) break;
        }
        if (chosen) placed.emplace_back(still, *chosen);
    }
    return placed;
}

// Copies the rectangle of `from` at (fx, fy), w by h pixels, into `into` at (x, y).
void Blit(Image& into, int x, int y, const Image& from, int fx, int fy, int w, int h) {
    for (int row = 0; row < h; ++row)
        std::copy_n(from.Pixels.begin() + static_cast<std::ptrdiff_t>((fy + row) * from.Width + fx), w,
                    into.Pixels.begin() + static_cast<std::ptrdiff_t>((y + row) * into.Width + x));
}

// Each chart name that a date or a disc now stands over is taken out of the
// base and the frame, and each one they left is put back.
void PutNames(const std::vector<Box>& over) {
    SkyStrip& s = Strip;
    for (ChartName& n : s.Names) {
        const Box& b = n.Place;
        const bool hidden = std::any_of(over.begin(), over.end(), [&](const Box& o) { return b.Meets(o, 0); });
        if (hidden == n.Hidden) continue;
        n.Hidden = hidden;
        for (Image* into : {&s.Base, &s.Frame}) {
            if (hidden) Blit(*into, b.Left, b.Top, n.Bare, 0, 0, n.Bare.Width, n.Bare.Height);
            else Blit(*into, b.Left, b.Top, s.Background, b.Left, b.Top, b.Right - b.Left, b.Bottom - b.Top);
        }
    }
}

}  // namespace

int SkyStripHeight() {
    return std::max(1, (AvailableHeightPixels() - MenuBarBottom()) / 6);
}

void ShowSkyStrip(bool on) {
    if (!on) {
        CloseWindow(Win_4);
        return;
    }
    // The background colour first, so that the window never shows another.
    // Right below the screen rectangle, where the views end, in the room
    // the layout kept for it.
    SetWindowBackground(Win_4, NightBlue);
    OpenWindow(Win_4, static_cast<int>(Layout.HelioWinLeft), Layout.ScreenHeight, StripWidth(), SkyStripHeight());
    DrawSkyStrip();
}

void DrawSkyStrip() {
    if (!IsWindowOpen(Win_4) || StripWidth() < 1) return;
    const int selected = SelectedWindow();
    const uint32_t foreground = Foreground(), background = Background();
    const int fill = FillPattern();
    SelectWindow(Win_4);
    SkyStrip& s = Strip;
    const double now = Planets.SimTime;
    if (s.Width != StripWidth() || s.Height != SkyStripHeight() || s.Ratio != PixelRatio() ||
        s.DiscRadiusX != Layout.DiscRadiusX || s.Real != Skies.Real || (s.Real && std::abs(now - s.MadeAt) > s.KeepFor))
        MakeBackground();
    const auto today = static_cast<long long>(std::floor(now));
    KeepDays(today);
    auto shown = [](int k) { return Settings.PlanetOn[k] == 1; };
    auto inYear = [&](const Standstill& still) {
        return shown(still.Body) && still.Day > now - YearDays && still.Day <= now;
    };
    // Labels still missing are drawn in the strip itself, before the frame goes over it.
    std::vector<const Standstill*> stills;
    for (Standstill& still : s.Standstills)
        if (inYear(still)) {
            MakeLabel(still);
            stills.push_back(&still);
        }
    std::stable_sort(stills.begin(), stills.end(), [](auto* a, auto* b) { return a->Day > b->Day; });
    std::vector<int16_t> bodies;
    for (int16_t k : {Mercury, Venus, Mars, Jupiter, Sun})
        if (shown(k)) bodies.push_back(k);
    std::vector<Box> over = DiscBoxes(now, bodies);
    const auto dates = PlaceDates(now, stills, over);
    for (const auto& [still, box] : dates) over.push_back(box);
    PutNames(over);
    // A dot for each whole day of the last year, at its direction and age,
    // set in the frame where the background is put back under the last ones:
    // far cheaper than a box each, or than the whole background anew.
    Image& f = s.Frame;
    auto box = [&](int left, int top, auto set) {
        for (int y = std::max(0, top); y < std::min(f.Height, top + s.Dot); ++y)
            for (int x = std::max(0, left); x < std::min(f.Width, left + s.Dot); ++x)
                set(static_cast<std::size_t>(y) * f.Width + x);
    };
    for (const auto& [left, top] : s.Dots) box(left, top, [&](std::size_t i) { f.Pixels[i] = s.Base.Pixels[i]; });
    s.Dots.clear();
    const int half = (s.Dot - 1) / 2;
    for (int16_t k = Mercury; k <= Jupiter; ++k) {
        if (!shown(k)) continue;
        const uint32_t colour = ImageColour(DiscColour(k));
        for (long long day = today - (YearDays - 1); day <= today; ++day) {
            const int top = static_cast<int>(std::floor(AgeRow(now - static_cast<double>(day)))) - half;
            Wrapped(s.DayX[static_cast<std::size_t>(day - s.First)][k], s.Dot, [&](double x) {
                const int left = static_cast<int>(std::floor(x)) - half;
                box(left, top, [&](std::size_t i) { f.Pixels[i] = colour; });
                s.Dots.emplace_back(left, top);
            });
        }
    }
    PutImage(0, 0, f);
    s.Dates.clear();
    for (const auto& [still, b] : dates) {
        PutImage(b.Left, b.Top, still->Label);
        s.Dates.push_back({still->Text, b.Left, b.Top, b.Right, b.Bottom});
    }

    // The discs, now, on the top row; the Sun last, over a planet beside it.
    SetFillPattern(0);
    for (int16_t k : bodies) {
        SetForeground(DiscColour(k));
        Wrapped(SkyX(StripDirection(k, now)), s.Disc, [&](double x) { FillEllipse(x, s.NowRow, s.Disc, s.Disc); });
    }
    SetForeground(foreground);
    SetBackground(background);
    SetFillPattern(fill);
    SelectWindow(selected);
    ShowStripConstruction(now);
}

namespace {

// The construction's points on the strip: the planet's direction at each
// numbered moment, kept for the strip's width, and how many are reached.
struct StripConstruction {
    std::optional<LoopConstruction> Figure;
    int Reached = 0;
    int Width = 0;
    StripKey Key;
    std::vector<double> X;
    std::vector<NumberedPoint> Shown;
} Figure;

// White strokes on the night-blue strip: a ring round each numbered point
// of the last year and its number beside it.
void ShowStripConstruction(double now) {
    StripConstruction& c = Figure;
    std::vector<OverlayLine> lines;
    c.Shown.clear();
    if (c.Figure) {
        const StripKey key = StripDirectionsKey();
        if (c.Width != Strip.Width || !(c.Key == key) || c.X.size() != c.Figure->Moments.size()) {
            c.Width = Strip.Width;
            c.Key = key;
            c.X.clear();
            for (double t : c.Figure->Moments) c.X.push_back(SkyX(StripDirection(c.Figure->Body, t)));
        }
        const double ratio = PixelRatio(), ring = Strip.Dot + 2 * ratio, digits = 7 * ratio;
        for (int i = 0; i < c.Reached && i < static_cast<int>(c.X.size()); ++i) {
            const double age = now - c.Figure->Moments[static_cast<std::size_t>(i)];
            if (age < 0 || age >= YearDays) continue;
            const double y = AgeRow(age);
            c.Shown.push_back({i + 1, c.X[static_cast<std::size_t>(i)], y});
            Wrapped(c.X[static_cast<std::size_t>(i)], static_cast<int>(std::ceil(ring)), [&](double x) {
                RingStrokes(lines, x, y, ring, 0xFFFFFF);
                NumberStrokes(lines, x + ring + ratio, y - digits / 2, digits, i + 1, 0xFFFFFF);
            });
        }
    }
    SetOverlayLines(Win_4, lines);
}

}  // namespace

void SetStripConstruction(const LoopConstruction* c, int reached) {
    StripConstruction& s = Figure;
    const bool same = c ? s.Figure && s.Figure->Moments == c->Moments && s.Figure->Body == c->Body : !s.Figure;
    if (!same) {
        s.Figure = c ? std::optional<LoopConstruction>(*c) : std::nullopt;
        s.X.clear();
    }
    // The strip shows it again after each step it draws; here only what
    // changed without a step (the construction on or off, a number reached).
    const bool changed = !same || reached != s.Reached;
    s.Reached = reached;
    if (changed && IsWindowOpen(Win_4)) ShowStripConstruction(Planets.SimTime);
}

std::vector<NumberedPoint> StripConstructionPoints() {
    return Figure.Shown;
}

std::vector<StripLabel> SkyStripLabels() {
    std::vector<StripLabel> labels = Strip.Dates;
    for (const ChartName& n : Strip.Names)
        if (!n.Hidden) labels.push_back({n.Text, n.Place.Left, n.Place.Top, n.Place.Right, n.Place.Bottom});
    return labels;
}
