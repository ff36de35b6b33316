// render.h — the drawing colour state, the bodies' disc images, the disc
// operations, the two views and their windows.
#pragma once

#include "model/construction.h"
#include "platform/platform.h"
#include "render/tables.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// A drawing of the real sky's views: an image and which of its pixels are
// the drawing's own (where the rest lies, what is under it stays in sight),
// its corner placed from the pixel of a body's centre.
struct Sprite {
    int Left = 0, Top = 0;          // the corner, from the centre's pixel
    Image Pixels;
    // The drawing's own pixels, as runs along its rows.
    struct Run {
        int Row = 0, Column = 0, Length = 0;
    };
    std::vector<Run> Own;
};

// The images of the bodies, by BodyIndex (entry 0 stays empty).
struct BodyImages {
    std::array<Image, 7> DiscImage;        // the body's disc and label on a ColAzure margin
    std::array<Image, 7> BlankImage;       // the same rectangle in plain ColAzure
    std::array<Image, 7> HelioBackground;  // window 2's pixels saved under each body's disc
    std::array<Image, 7> GeoBackground;    // window 3's pixels saved under each body's disc
    // The real sky's: each body's disc at the size its scale gives it, and
    // its label where that stands beside the disc (else empty), with the
    // half-sizes and the pixel ratio they were made for.
    std::array<Sprite, 7> RealDisc, RealLabel;
    std::array<double, 8> RealMadeFor{};
    // Where each body's last drawing stands in windows 2 and 3 (the corner
    // of the pixels saved under it), and the order they were drawn in.
    std::array<std::array<int, 2>, 7> HelioPlaced{}, GeoPlaced{};
    std::vector<int16_t> HelioDrawn, GeoDrawn;
};

extern BodyImages Images;

// Reads the screen size, sets the colour values, selects colour pair 1 and
// then blue on white.
void InitScreenAndColours();
// Colour scheme.
void SetSchemeColours(int16_t n);
void ResetMainWindowColours();

// Disc images, made once at start-up and after each new layout (which also
// measures the real sky's legend: Layout.ViewLegendHeight).
void BuildDiscImages();
// The real sky's disc images for the sizes its scale gives as it stands,
// made anew only where those or the pixel ratio have changed: drawn in the
// drawing target's corner and taken away again. A label stands beside its
// disc where letters of the views' smallest size do not fit inside.
void MakeRealSkyDiscs();

// A body's own colour: its disc's (Jupiter's is the magenta under its bands).
uint32_t DiscColour(int16_t k);
// A colour value (0x00BBGGRR) as an image holds it (0xFFRRGGBB).
uint32_t ImageColour(uint32_t c);

// Disc operations on window w (2 or 3) for body k at centre (x, y).
void DrawDisc(double x, double y, double rx, double ry, int16_t k, int16_t w);
void EraseDisc(double x, double y, double rx, double ry, int16_t k, int16_t w);
void SaveBackground(double x, double y, double rx, double ry, int16_t k, int16_t w);
// Whether a disc at that centre passes the screen test (and so is drawn).
bool DiscOnScreen(double x, double y, double rx, double ry);
// The real sky's bodies in view w (2 or 3), the drawing target. Discs sized
// to the scale may overlap, so a step takes every body away before any is
// drawn again: newest first, each putting back what lay under it. Then the
// bodies listed are drawn in their order at (x, y), each with its label
// where that stands clear of every disc and label: a label beside its disc
// stands right of it, else left; the labels of the bodies farther out (by
// their orbits) are placed first, and one with no clear place goes without.
void TakeAwayRealSkyBodies(int16_t w);
void PutRealSkyBodies(int16_t w, const std::vector<int16_t>& bodies, const std::array<double, 7>& x,
                      const std::array<double, 7>& y);
// The real sky's step in view w, the drawing target: every body taken away,
// last step's polygon erased, the paths of the shown bodies first .. last
// from (prevX, prevY) to (x, y) drawn, so that they run under every disc;
// then the body that stands still (`fixed`, at its x and y) and the shown
// ones drawn, and the polygon through the new places.
using PolygonThrough = void (*)(const std::array<double, 7>& x, const std::array<double, 7>& y);
void StepRealSkyView(int16_t w, int16_t fixed, int16_t first, int16_t last, const std::array<double, 7>& prevX,
                     const std::array<double, 7>& prevY, const std::array<double, 7>& x,
                     const std::array<double, 7>& y, PolygonThrough polygon);

// The views.
void DrawHelioView();
void RemoveHelioBody(int16_t k);
void DrawGeoView();
void RemoveGeoBody(int16_t k);

// Both views at once (views.cpp).
// Opens view window 2 or 3 at its place and size and makes it the drawing target.
void OpenViewWindow(int n);
// After the time-step dialog: closes window 1 and puts both views back, empty.
void RebuildViewWindows();
// A step's drawing: the views move their bodies from the old positions to the
// new ones, which then become the old.
void DrawStep();
// Takes a body that was just hidden out of both views.
void RemoveBody(int16_t k);
// The picture of both views as they stand on the screen, lines of sight
// included.
void ComposePicture(Image& picture);
// The same picture for a black-and-white copier (print_picture.cpp): white
// paper for the views' azure and the strip's night, the paths and letters
// black, each body's disc a light grey of its own with its black label and
// outline, the lines in a body's colour dark grey.
void PrintPicture(const Image& picture, Image& print);

// Lines of sight: from the Earth through each shown planet to the edge of
// each view that is shown, in the planet's colour, with a short heavier mark
// where the line leaves the view (the direction in which the planet is seen
// against the fixed stars). Shown over the views, never drawn into them; off
// takes them away.
void ShowSightLines(bool on);
// Shows over each view its lines of sight as last set, the construction and
// its marks' lines (after each step: the marks follow the sky shown).
void ShowViewOverlays();

// The construction of a loop (construction.cpp), shown over the views and
// the sky strip with its numbers up to the clock at `now`; none (nullptr)
// takes it away.
void ShowConstruction(const LoopConstruction* c, double now);
// Its lines over view n with the first `reached` numbers.
const std::vector<OverlayLine>& ConstructionLines(int n, const LoopConstruction& c, int reached);
// A small ring of radius r round (x, y), as eight short strokes.
void RingStrokes(std::vector<OverlayLine>& lines, double x, double y, double r, uint32_t colour);
// A whole number in strokes `height` pixels high, its top left corner at (x, y).
void NumberStrokes(std::vector<OverlayLine>& lines, double x, double y, double height, int number, uint32_t colour);
// The strip's part of it: the planet's direction at each number reached, a
// numbered point at its day's row (sky_strip.cpp).
void SetStripConstruction(const LoopConstruction* c, int reached);
// Where the strip shows the construction's points: each number with its
// centre, in the strip's pixels.
struct NumberedPoint {
    int Number = 0;
    double X = 0, Y = 0;
};
std::vector<NumberedPoint> StripConstructionPoints();

// The real sky's marks in the views (view_marks.cpp): a scale bar "1 AE"
// under "Bahnen maßstabsgetreu, Scheiben vergrößert" (on two lines where one
// is too wide) in the lower left corner, and the
// direction of the vernal equinox (♈), an arrow from the fixed body along +x
// to the right edge. None in the model. The arrow's lines, for window 2 or 3
// while it is shown:
const std::vector<OverlayLine>& ViewMarkLines(int n);
// Puts the legend and the arrow's label into window n, the drawing target,
// over what the step drew there (at the end of each view's step).
void PutViewMarks(int n);
// Sets the room the legend takes at the foot of a view of the layout as it
// stands (Layout.ViewLegendHeight), which the real sky's scale keeps free.
void MeasureViewLegend();

// The sky strip (window 4): the whole sky round the Earth, 360 degrees of
// direction, as a band right below both views, as wide as they are, with
// fixed background stars, a scale in degrees, the Sun and each shown planet
// at its direction, a dot per day of the last year behind each planet and the
// days of its standstills at their dots. It lies in room the layout keeps
// free below the screen rectangle (ReserveScreenBottom), so it covers no
// pixel of the views. On opens (or places anew) window 4 and draws it for the
// clock as it stands; off closes it.
void ShowSkyStrip(bool on);
// Its height: a sixth of the available area below the menu bar.
int SkyStripHeight();
// Draws the shown strip anew for the clock as it stands (after each step).
// Where labels would collide, one gives way: the discs come first, then the
// standstills' dates, the newest first, each beside its dot on the side with
// room, else on the other side, else left out; a name of the chart gives way
// to a date or a disc. No label is cut: each is whole or absent.
void DrawSkyStrip();
// The labels the strip shows now, dates and names, with their boxes.
struct StripLabel {
    std::string Text;
    int Left = 0, Top = 0, Right = 0, Bottom = 0;  // columns [Left, Right), rows [Top, Bottom)
};
std::vector<StripLabel> SkyStripLabels();
