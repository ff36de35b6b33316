// construction_sheet.cpp — the two pages of a loop's construction.
//
// The figure is reckoned in its own frame: the Sun at the origin, B along
// the mean line of sight from the Earth to the planet (the mean of the
// numbered ones), A across it. On paper it lies across the page, B to the
// left, where the band of fixed stars runs down the figure's left side,
// perpendicular to the mean line of sight; the places are turned as the
// views show them (seen from the ecliptic's south, the planets going round
// clockwise), so that forward (eastward) on the band is up.
//
// The band is at least three times as far from the Sun as the farthest
// point of either orbit, and farther where that is too near: a band close
// to the orbits shows the Earth's own motion as well, and its points would
// turn at other numbers than the planet's directions do (for Venus at three
// times the Earth's orbit at 3 and 7 instead of 4 and 6). Its distance is the
// first of 3, 3.5, 4 … times that radius at which the points run forward
// and back between the same numbers as the directions. The figure is drawn
// as large as the page allows, the numbers' days beside it or under it,
// whichever leaves it larger.
#include "app/construction_sheet.h"

#include "app/worksheet.h"
#include "model/calendar.h"
#include "model/decimal.h"
#include "model/real_sky.h"
#include "model/state.h"
#include "model/zodiac.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double Pi = std::numbers::pi, Degrees = 180 / Pi;

// The true planets' sidereal periods in days, by BodyIndex, for their
// orbits' shape in the real sky (NASA, Planetary Fact Sheet).
constexpr std::array<double, 6> SiderealDays{0, 365.256, 87.969, 224.701, 686.980, 4332.589};

// The nearest star, Proxima Centauri, in astronomical units: its parallax
// 768.07 mas (Gaia DR3), 1.3020 pc.
constexpr double NearestStarAu = 268550;

// The band's distance from the Sun in radii of the larger orbit: the least,
// the step, and a bound that no planet of either sky reaches.
constexpr double LeastFactor = 3, FactorStep = 0.5, MostFactor = 40;

// Sizes on paper in millimetres: the page's width; the room the numbers'
// days take beside the figure or under it; the figure's height with the
// days under it; the band and the names beside it; the numbers.
constexpr double PageWidth = 182, SideWidth = 48, UnderHeight = 20;
constexpr double SheetFigureHeight = 100, SolutionFigureHeight = 76;
constexpr double NamesWidth = 5, BandWidth = 12.5, Margin = 4;
constexpr double NumberSize = 2.6, NameSize = 2.8, NumberOffset = 2.6, ColumnWidth = 3;

// Where a body stands on a day of the sky: all this file asks of the sky.
GridPoint PlaceIn(bool real, int body, double day) { return (real ? RealSky : ModelSky).Bodies.Place(body, day); }

bool Inner(int body) { return body == Mercury || body == Venus; }

// A place in the figure's frame, in the sky's units.
struct Point {
    double A = 0, B = 0;
};

struct Figure {
    std::vector<Point> Earth, Planet;            // number k at [k − 1]
    std::vector<Point> EarthOrbit, PlanetOrbit;  // closed paths
    std::vector<double> Hits;                    // where line k meets the band, A
    double UX = 0, UY = 1;                       // the figure's B in the sky's x and y
    double Largest = 0;                          // the farthest point of either orbit from the Sun
    double Low = 0, High = 0, Back = 0;          // what is drawn: from Low to High across, from Back to the band
    double Factor = 0, Band = 0;                 // the band's distance from the Sun: in Largest, in units
    std::string Run, RunAtLeast;                 // "+" and "-" for each step on the band; the same at LeastFactor
    std::vector<double> Advance;                 // degrees per number round the Sun: [0] the Earth, [1] the planet
};

Point InFrame(const Figure& f, GridPoint g) { return {-g.X * f.UY + g.Y * f.UX, g.X * f.UX + g.Y * f.UY}; }

std::vector<double> HitsAt(const Figure& f, double band) {
    std::vector<double> hits;
    for (std::size_t k = 0; k < f.Earth.size(); ++k) {
        const Point e = f.Earth[k], p = f.Planet[k];
        hits.push_back(e.A + (band - e.B) / std::max(p.B - e.B, 1e-9) * (p.A - e.A));
    }
    return hits;
}

std::string RunOf(const std::vector<double>& values) {
    std::string run;
    for (std::size_t k = 1; k < values.size(); ++k) run += values[k] > values[k - 1] ? '+' : '-';
    return run;
}

std::vector<Point> OrbitOf(bool real, int body, const Figure& f, double middle) {
    std::vector<Point> path;
    constexpr int Samples = 240;
    const GridPoint at = PlaceIn(real, body, middle);
    for (int i = 0; i < Samples; ++i) {
        if (real) {
            path.push_back(InFrame(f, PlaceIn(true, body, middle + (double(i) / Samples - 0.5) * SiderealDays[body])));
        } else {
            const double r = std::hypot(at.X, at.Y), phi = 2 * Pi * i / Samples;
            path.push_back({r * std::cos(phi), r * std::sin(phi)});
        }
    }
    return path;
}

Figure FigureOf(const LoopConstruction& c, bool real) {
    Figure f;
    std::vector<GridPoint> earth, planet;
    double ux = 0, uy = 0;
    for (double day : c.Moments) {
        earth.push_back(PlaceIn(real, Earth, day));
        planet.push_back(PlaceIn(real, c.Body, day));
        const double dx = planet.back().X - earth.back().X, dy = planet.back().Y - earth.back().Y;
        ux += dx / std::hypot(dx, dy);
        uy += dy / std::hypot(dx, dy);
    }
    f.UX = ux / std::hypot(ux, uy);
    f.UY = uy / std::hypot(ux, uy);
    std::vector<double> directions;
    for (std::size_t k = 0; k < earth.size(); ++k) {
        f.Earth.push_back(InFrame(f, earth[k]));
        f.Planet.push_back(InFrame(f, planet[k]));
        directions.push_back(std::atan2(f.Planet[k].A - f.Earth[k].A, f.Planet[k].B - f.Earth[k].B));
    }
    const double middle = c.Moments[c.Moments.size() / 2];
    f.EarthOrbit = OrbitOf(real, Earth, f, middle);
    f.PlanetOrbit = OrbitOf(real, c.Body, f, middle);
    for (const auto* orbit : {&f.EarthOrbit, &f.PlanetOrbit})
        for (Point p : *orbit) f.Largest = std::max(f.Largest, std::hypot(p.A, p.B));
    const std::string directionRun = RunOf(directions);
    f.RunAtLeast = RunOf(HitsAt(f, LeastFactor * f.Largest));
    for (f.Factor = LeastFactor; f.Factor < MostFactor; f.Factor += FactorStep)
        if (RunOf(HitsAt(f, f.Factor * f.Largest)) == directionRun) break;
    f.Band = f.Factor * f.Largest;
    f.Hits = HitsAt(f, f.Band);
    f.Run = RunOf(f.Hits);
    f.Low = *std::min_element(f.Hits.begin(), f.Hits.end());
    f.High = *std::max_element(f.Hits.begin(), f.Hits.end());
    for (const auto* orbit : {&f.EarthOrbit, &f.PlanetOrbit})
        for (Point p : *orbit) {
            f.Low = std::min(f.Low, p.A);
            f.High = std::max(f.High, p.A);
            f.Back = std::min(f.Back, p.B);
        }
    for (const auto& places : {earth, planet}) {
        double turned = 0;
        for (std::size_t k = 1; k < places.size(); ++k)
            turned += std::abs(std::remainder(std::atan2(places[k].Y, places[k].X) -
                                                  std::atan2(places[k - 1].Y, places[k - 1].X),
                                              2 * Pi));
        f.Advance.push_back(turned / double(places.size() - 1) * Degrees);
    }
    return f;
}

// ---------------------------------------------------------------------------
// The constellations along the band (the real sky's).

// A direction of the ecliptic of date in the figure's frame.
Point Toward(const Figure& f, double longitude) {
    return InFrame(f, {std::cos(longitude), std::sin(longitude)});
}

// The constellation a longitude of date lies in at a moment.
int ConstellationAt(double longitude, double moment) {
    const int count = static_cast<int>(std::size(Zodiac));
    for (int i = 0; i < count; ++i) {
        const double from = LongitudeOfDate(Zodiac[i].From / Degrees, moment);
        const double to = LongitudeOfDate(Zodiac[(i + 1) % count].From / Degrees, moment);
        if (std::remainder(longitude - from, 2 * Pi) >= 0 && std::remainder(longitude - to, 2 * Pi) < 0) return i;
    }
    return 0;
}

// Where the boundaries meet the band, as seen from the middle of the Earth's
// numbered places: approximately, since the band is not as far as the stars.
// A boundary that does not reach it lies off its end, far to its side.
std::vector<double> BoundariesOnBand(const Figure& f, double moment) {
    Point from;
    for (Point e : f.Earth) from = {from.A + e.A / f.Earth.size(), from.B + e.B / f.Earth.size()};
    std::vector<double> crossings;
    for (const Constellation& z : Zodiac) {
        const Point d = Toward(f, LongitudeOfDate(z.From / Degrees, moment));
        crossings.push_back(d.B > 0.1 ? from.A + (f.Band - from.B) * d.A / d.B : d.A < 0 ? -1e9 : 1e9);
    }
    return crossings;
}

// ---------------------------------------------------------------------------
// The figure as SVG.

std::string Mm(double value) { return PointNumber(value, 2); }

// Letters are about 0.6 of their size wide.
double TextWidth(const std::string& text, double size) {
    const auto letters = std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; });
    return 0.6 * size * double(letters);
}

// A text, centred on x, turned a quarter turn to be read upward where `up`.
std::string Text(double x, double y, const std::string& text, double size, const std::string& extra = "",
                 bool up = false) {
    const std::string at = up ? " transform=\"translate(" + Mm(x) + " " + Mm(y) + ") rotate(-90)\""
                              : " x=\"" + Mm(x) + "\" y=\"" + Mm(y) + "\"";
    return "<text" + at + " font-size=\"" + Mm(size) + "\" text-anchor=\"middle\"" + extra + ">" +
           HtmlEscaped(text) + "</text>\n";
}

std::string Line(double x1, double y1, double x2, double y2, const std::string& extra) {
    return "<line x1=\"" + Mm(x1) + "\" y1=\"" + Mm(y1) + "\" x2=\"" + Mm(x2) + "\" y2=\"" + Mm(y2) +
           "\" stroke=\"#000\"" + extra + "/>\n";
}

std::string Dot(double x, double y, double r, const std::string& extra = "") {
    return "<circle cx=\"" + Mm(x) + "\" cy=\"" + Mm(y) + "\" r=\"" + Mm(r) + "\"" + extra + "/>\n";
}

// Millimetres per unit of the sky where the figure is to fit `width` by `height`.
double ScaleOf(const Figure& f, double width, double height) {
    return std::min((width - NamesWidth - BandWidth - Margin) / (f.Band - f.Back),
                    (height - 2 * Margin) / (f.High - f.Low));
}

// The figure across the page, the band down its left side: the figure's
// frame turned a quarter turn, so that B runs to the left and forward on the
// band (A) is up.
std::string FigureSvg(const LoopConstruction& c, bool real, const Figure& f, bool solved, double width,
                      double scale) {
    const double bandOut = NamesWidth, bandFoot = NamesWidth + BandWidth;
    const double height = 2 * Margin + scale * (f.High - f.Low);
    auto x = [&](double b) { return bandFoot + scale * (f.Band - b); };
    auto y = [&](double a) { return Margin + scale * (f.High - a); };

    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Mm(width) + "mm\" height=\"" +
                      Mm(height) + "mm\" viewBox=\"0 0 " + Mm(width) + " " + Mm(height) +
                      "\" font-family=\"DejaVu Sans, Arial, Helvetica, sans-serif\">\n";
    // The band, its stars, and the constellations beside it.
    svg += "<rect x=\"" + Mm(bandOut) + "\" y=\"0\" width=\"" + Mm(BandWidth) + "\" height=\"" + Mm(height) +
           "\" fill=\"#eee\" stroke=\"none\"/>\n" + Line(bandFoot, 0, bandFoot, height, " stroke-width=\"0.35\"");
    for (int i = 0; i * 4.2 < height; ++i) {
        const double u = std::fmod(0.5 + i * 0.6180339887, 1), v = std::fmod(i * 0.7548776662, 1);
        svg += Dot(bandOut + 0.9 + 2.6 * v, (i + u) * 4.2, 0.22 + 0.16 * (i % 3));
    }
    const std::string italic = " font-style=\"italic\"";
    if (real) {
        const double moment = c.Moments[c.Moments.size() / 2];
        const std::vector<double> crossings = BoundariesOnBand(f, moment);
        const std::size_t count = crossings.size();
        for (std::size_t i = 0; i < count; ++i) {
            const double from = y(crossings[i]), to = y(crossings[(i + 1) % count]);
            if (from > 0 && from < height) svg += Line(0.5, from, bandFoot, from, " stroke-width=\"0.2\" "
                                                                                  "stroke-dasharray=\"0.8 0.8\"");
            const double bottom = std::min(from, height), top = std::max(to, 0.0);
            if (to < from && bottom - top > TextWidth(Zodiac[i].Name, NameSize) + 2)
                svg += Text(NamesWidth - 1.3, (bottom + top) / 2, Zodiac[i].Name, NameSize, italic, true);
        }
    } else {
        svg += Text(NamesWidth - 1.3, height / 2, "Fixsterne", NameSize, italic, true);
    }

    // The orbits and the Sun.
    for (const auto* orbit : {&f.EarthOrbit, &f.PlanetOrbit}) {
        std::string d;
        for (Point p : *orbit) d += (d.empty() ? "M" : " L") + Mm(x(p.B)) + " " + Mm(y(p.A));
        svg += "<path d=\"" + d + " Z\" fill=\"none\" stroke=\"#000\" stroke-width=\"0.3\"/>\n";
    }
    svg += Dot(x(0), y(0), 1.6, " fill=\"#fff\" stroke=\"#000\" stroke-width=\"0.35\"") + Dot(x(0), y(0), 0.45);

    const std::string halo = " class=\"number\" stroke=\"#fff\" stroke-width=\"0.7\" paint-order=\"stroke\"";
    // The lines of sight, under the places and their numbers.
    if (solved)
        for (std::size_t k = 0; k < f.Hits.size(); ++k)
            svg += Line(x(f.Earth[k].B), y(f.Earth[k].A), bandFoot, y(f.Hits[k]),
                        " class=\"sight\" stroke-width=\"0.2\"");
    // The numbered places, each number on the side of its orbit away from the other.
    const double lift = 0.35 * NumberSize;  // from a number's middle to its foot
    const bool earthOuter = Inner(c.Body);
    for (int which = 0; which < 2; ++which) {
        const std::vector<Point>& places = which == 0 ? f.Earth : f.Planet;
        const double outward = (which == 0) == earthOuter ? NumberOffset : -NumberOffset;
        for (std::size_t k = 0; k < places.size(); ++k) {
            const Point p = places[k];
            const double r = std::hypot(p.A, p.B);
            svg += Dot(x(p.B), y(p.A), 0.7) + Text(x(p.B) - outward * p.B / r, y(p.A) - outward * p.A / r + lift,
                                                   std::to_string(k + 1), NumberSize, halo);
        }
    }
    // The points on the band, numbered in columns from the band's foot out,
    // each in the first column where it stands clear of those before it.
    if (solved) {
        std::vector<std::vector<double>> columns(3);
        for (std::size_t k = 0; k < f.Hits.size(); ++k) {
            const double at = y(f.Hits[k]);
            std::size_t column = 0;
            while (column + 1 < columns.size() &&
                   std::any_of(columns[column].begin(), columns[column].end(),
                               [at](double other) { return std::abs(other - at) < NumberSize; }))
                ++column;
            columns[column].push_back(at);
            svg += Dot(bandFoot, at, 0.8, " class=\"hit\" fill=\"#fff\" stroke=\"#000\" stroke-width=\"0.3\"") +
                   Text(bandFoot - 2 - ColumnWidth * double(column), at + lift, std::to_string(k + 1), NumberSize,
                        halo + " font-weight=\"bold\"");
        }
    }
    return svg + "</svg>\n";
}

// ---------------------------------------------------------------------------
// The words.

struct Words {
    std::string Planet, He, Him;  // "Mars", "er", "ihn"
    std::string Title;            // "Die Schleife des Mars – Konstruktion"
    std::string InModel;          // " im Modell" in the model
};

Words WordsFor(int body, bool real) {
    Words w;
    w.Planet = BodyName(body);
    const bool she = body == Venus;
    w.He = she ? "sie" : "er";
    w.Him = she ? "sie" : "ihn";
    w.Title = "Die Schleife " + std::string(she ? "der " : "des ") + w.Planet + " \u2013 Konstruktion";
    w.InModel = real ? "" : " im Modell";
    return w;
}

// A number's day as the table gives it: "Tag 806", "15.10.2026".
std::string DayOf(bool real, double day) { return real ? DateText(day) : "Tag " + GermanNumber(day, 0); }

// The stretches of a run on the band: "von 1 bis 4 vorwärts …, von 4 bis 6
// zurück … und von 6 bis 9 wieder vorwärts".
std::string RunText(const std::string& run, bool explained) {
    std::vector<std::string> parts;
    bool forwardSaid = false;
    for (std::size_t from = 0; from < run.size();) {
        std::size_t to = from;
        while (to < run.size() && run[to] == run[from]) ++to;
        std::string part = "von " + std::to_string(from + 1) + " bis " + std::to_string(to + 1);
        const bool forward = run[from] == '+';
        if (forward && forwardSaid)
            part += " wieder vorwärts";
        else if (forward)
            part += explained ? " vorwärts (rechtläufig, am Himmel nach Osten, in der Zeichnung nach oben)"
                              : " vorwärts";
        else
            part += explained ? " zurück (rückläufig, nach Westen, in der Zeichnung nach unten)" : " zurück";
        forwardSaid = forwardSaid || forward;
        parts.push_back(part);
        from = to;
    }
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i == 0 ? "" : i + 1 == parts.size() ? " und " : ", ") + parts[i];
    return text;
}

std::vector<SheetTask> TasksFor(const LoopConstruction& c, bool real, const Figure& f) {
    const Words w = WordsFor(c.Body, real);
    const std::string& p = w.Planet;
    const bool inner = Inner(c.Body);
    std::vector<SheetTask> tasks;

    tasks.push_back({"Zeichnen Sie mit dem Lineal durch jedes Paar gleich nummerierter Orte von Erde und " + p +
                         " eine Gerade: von der Erde aus durch " + p + " hindurch bis zum Fixsternband.",
                     0, 1, 2,
                     "Neun Geraden wie in der Zeichnung, jede vom Ort der Erde durch den gleich nummerierten Ort "
                     "von " + p + " bis zum Fixsternband: Jede ist eine Sichtlinie, in deren Richtung man " + p +
                         " zu diesem Zeitpunkt von der Erde aus sieht."});

    std::string where;
    if (real) {
        const std::size_t m = c.Moments.size() / 2;
        const double middle = c.Moments[m];
        const GridPoint e = PlaceIn(true, Earth, middle), q = PlaceIn(true, c.Body, middle);
        where = " Der Punkt " + std::to_string(m + 1) + " liegt im Sternbild " +
                Zodiac[ConstellationAt(std::atan2(q.Y - e.Y, q.X - e.X), middle)].Name + ".";
    }
    tasks.push_back({"Markieren Sie die Schnittpunkte der Geraden mit dem Fixsternband, und beschriften Sie sie mit "
                     "den Nummern der Geraden.",
                     0, 1, 2,
                     "Die Schnittpunkte wie in der Zeichnung, jeder mit der Nummer seiner Geraden: Dort sieht man " +
                         p + " zu den neun Zeitpunkten vor den Fixsternen." + where +
                         " Gezeichnete Punkte dürfen um wenige Millimeter abweichen."});

    std::string turns;
    for (std::size_t k = 1; k < f.Run.size(); ++k)
        if (f.Run[k] != f.Run[k - 1]) turns += (turns.empty() ? "" : " und ") + std::to_string(k + 1);
    const auto back = f.Run.find('-'), forward = f.Run.find('+', back);
    std::string span = "Die Schnittpunkte laufen " + RunText(f.Run, true) + ".";
    if (back != std::string::npos && back > 0 && forward != std::string::npos)
        span += " Um " + turns + " kehrt " + p + " um und zieht eine Schleife vor den Fixsternen. Nach der Tabelle "
                "läuft " + w.He + " etwa " + (real ? "vom " : "von ") + DayOf(real, c.Moments[back]) +
                (real ? " bis zum " : " bis ") + DayOf(real, c.Moments[forward]) + " zurück; heliogeo gibt für die "
                "Stillstände " + (real ? "den " : "") + DayOf(real, c.Loop.FirstDay) + " und " + (real ? "den " : "") +
                DayOf(real, c.Loop.LastDay) + " an.";
    tasks.push_back({"Beschreiben Sie, wie sich " + p + " von Nummer 1 bis Nummer " +
                         std::to_string(c.Moments.size()) + " vor den Fixsternen bewegt. Geben Sie mithilfe der "
                         "Tabelle an, in welchem Zeitraum " + w.He + " rückwärts läuft.",
                     3, 2, 4, span});

    // How far each goes round the Sun from one number to the next.
    auto advance = [&f](int which) { return GermanNumber(f.Advance[which], 0) + "°"; };
    const std::string faster = inner ? p + " um etwa " + advance(1) + ", die Erde nur um etwa " + advance(0)
                                     : "die Erde um etwa " + advance(0) + ", " + p + " nur um etwa " + advance(1);
    tasks.push_back(
        {"Erklären Sie die beschriebene Bewegung. Vergleichen Sie dazu, wie weit die Erde und " + p +
             " von einer Nummer zur nächsten auf ihren Bahnen um die Sonne vorankommen.",
         3, 2, 4,
         "Von einer Nummer zur nächsten kommt" + w.InModel + " " + faster + " um die Sonne voran: " +
             (inner ? p + " läuft auf der inneren Bahn schneller und überholt um Nummer 5, nahe der unteren "
                          "Konjunktion, die Erde; " + w.He + " steht dann zwischen Erde und Sonne."
                    : "Die Erde läuft auf der inneren Bahn schneller und überholt um Nummer 5, nahe der Opposition, " +
                          p + "; Sonne, Erde und " + p + " stehen dann in einer Linie.") +
             " Dabei dreht sich die Sichtlinie von der Erde zu " + p + " eine Zeit lang rückwärts, und " + p +
             " scheint vor den Fixsternen zurückzulaufen. Vorher und nachher dreht sie sich vorwärts, " +
             (inner ? "während " + p + " auf die Erde zu- oder von ihr wegläuft."
                    : "während die Erde nicht gerade an " + p + " vorbeizieht.") +
             " " + p + " selbst läuft immer vorwärts um die Sonne; die Schleife entsteht, weil wir " + w.Him +
             " von der bewegten Erde aus sehen."});

    const std::string factor = GermanNumber(f.Factor, f.Factor == std::round(f.Factor) ? 0 : 1);
    const std::string larger = inner ? "Erd" : p;
    std::string nearer;
    if (f.RunAtLeast != f.Run)
        nearer = " (bei nur dreifachem Abstand der " + larger + "bahn liefen die Punkte hier " +
                 RunText(f.RunAtLeast, false) + ")";
    tasks.push_back(
        {"Das Fixsternband ist in der Zeichnung " + factor + "-mal so weit von der Sonne entfernt wie " +
             (real ? "der sonnenfernste Punkt der " : "die ") + larger + "bahn. Begründen Sie, warum es weit von "
             "den Bahnen entfernt liegen muss, und beurteilen Sie, wie gut die Zeichnung die Entfernung der "
             "Fixsterne wiedergibt.",
         3, 3, 3,
         "Die Fixsterne sind so weit entfernt, dass Sichtlinien mit derselben Richtung denselben Stern treffen, "
         "gleich von welchem Ort der Erdbahn aus: Nur dann zeigen die Schnittpunkte die Richtungen, in denen man " +
             p + " sieht. Ein nahes Band zeigte auch die Bewegung der Erde, und die Schleife erschiene verzerrt" +
             nearer + ". Die Zeichnung gibt die Richtungen richtig wieder, die Entfernungen aber bei weitem nicht: "
             "Schon der nächste Fixstern, Proxima Centauri, ist rund " +
             GermanNumber(std::round(NearestStarAu / 10000) * 10000, 0) +
             "-mal so weit von der Sonne entfernt wie die Erde."});
    return tasks;
}

// ---------------------------------------------------------------------------
// The pages.

constexpr const char* Style = R"(
div.construction { display: flex; gap: 4mm; align-items: flex-start; margin: .4em 0; font-size: 9pt; }
div.construction.below { flex-direction: column; gap: 2mm; }
div.construction svg { flex: none; display: block; }
div.construction div.side { display: flex; flex-direction: column; gap: 2mm; }
div.construction.below div.side { flex-direction: row; gap: 5mm; }
div.construction p { margin: 0; }
table.moments { flex: none; border-collapse: collapse; align-self: flex-start; }
table.moments th, table.moments td { border: 1px solid #000; padding: .05em .5em; text-align: left; }
)";

// The figure and the numbers' days, on the worksheet with what the figure
// shows: in one column beside the figure where that lets it be drawn
// larger, else under it in three columns of three.
std::string FigureAndTable(const LoopConstruction& c, bool real, const Figure& f, bool solved) {
    const Words w = WordsFor(c.Body, real);
    const double height = solved ? SolutionFigureHeight : SheetFigureHeight;
    const double under = ScaleOf(f, PageWidth, height);
    const double beside = ScaleOf(f, PageWidth - SideWidth, height + UnderHeight);
    const bool side = beside > under;
    std::string html = std::string("<div class=\"construction") + (side ? "" : " below") + "\">\n" +
                       FigureSvg(c, real, f, solved, PageWidth - (side ? SideWidth : 0), std::max(under, beside)) +
                       "<div class=\"side\">\n<table class=\"moments\">\n<thead><tr>";
    const std::size_t count = c.Moments.size(), rows = side ? count : (count + 2) / 3;
    const std::string day = real ? "Datum" : "Tag";
    for (std::size_t column = 0; column * rows < count; ++column) html += "<th>Nr.</th><th>" + day + "</th>";
    html += "</tr></thead>\n<tbody>\n";
    for (std::size_t row = 0; row < rows; ++row) {
        html += "<tr>";
        for (std::size_t k = row; k < count; k += rows)
            html += "<td>" + std::to_string(k + 1) + "</td><td>" + DayOf(real, c.Moments[k]) + "</td>";
        html += "</tr>\n";
    }
    const bool inner = Inner(c.Body);
    html += "</tbody>\n</table>\n";
    if (!solved)
        html += "<p>Von Nummer zu Nummer " + std::to_string(c.Interval) + " Tage. Rechts die Sonne, innen die " +
                (inner ? w.Planet : "Erd") + "bahn, außen die " + (inner ? "Erd" : w.Planet) + "bahn. Die Bahnen "
                "sind " + (real ? "maßstabsgetreu" : "die Kreise des Modells") + ", von der Südseite der Ekliptik aus "
                "gesehen wie in heliogeo: Die Planeten laufen im Uhrzeigersinn. Links das Fixsternband" +
                (real ? " mit den Sternbildern (ungefähr)" : "") + ".</p>\n";
    html += "</div>\n</div>\n";
    return html;
}

}  // namespace

std::string ConstructionSheetHtml(const LoopConstruction& c, bool real) {
    if (c.Moments.empty()) return {};
    const Words w = WordsFor(c.Body, real);
    const Figure f = FigureOf(c, real);
    std::string html = "<h1>Arbeitsblatt: " + HtmlEscaped(w.Title) + "</h1>\n";
    if (!real)
        html += "<p class=\"note\">Die Zahlen dieses Blattes gelten im Modell von heliogeo: Seine Bahnen sind "
                "Kreise, seine Umlaufzeiten und Radien nicht die echten.</p>\n";
    html += "<table class=\"fields\"><tr><td>Name: <span class=\"blank\"></span></td>"
            "<td>Klasse: <span class=\"blank\"></span></td><td>Datum: <span class=\"blank\"></span></td></tr>"
            "</table>\n";
    html += FigureAndTable(c, real, f, false) + "<h2>Aufgaben</h2>\n<ol class=\"tasks\">\n";
    int n = 0;
    for (const SheetTask& task : TasksFor(c, real, f)) html += TaskItem(++n, task);
    html += "</ol>\n";
    return SheetPage("Arbeitsblatt: " + w.Title, html, Style);
}

std::string ConstructionSolutionHtml(const LoopConstruction& c, bool real) {
    if (c.Moments.empty()) return {};
    const Words w = WordsFor(c.Body, real);
    const Figure f = FigureOf(c, real);
    std::string html = "<h1>Lösungsblatt: " + HtmlEscaped(w.Title) + "</h1>\n";
    html += "<p>Erwartungshorizont: die Erde und " + HtmlEscaped(w.Planet) + (real ? " vom " : " von ") +
            DayOf(real, c.Moments.front()) + (real ? " bis zum " : " bis ") + DayOf(real, c.Moments.back()) +
            (real ? "" : " im Modell von heliogeo") + ".</p>\n";
    html += FigureAndTable(c, real, f, true) + "<ol class=\"answers\">\n";
    int n = 0, points = 0;
    for (const SheetTask& task : TasksFor(c, real, f)) {
        points += task.Points;
        html += AnswerItem(++n, task);
    }
    html += "</ol>\n<p>Zusammen " + std::to_string(points) + " Punkte.</p>\n";
    return SheetPage("Lösungsblatt: " + w.Title, html, Style);
}
