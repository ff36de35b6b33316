// helio_view.cpp — the Sun at rest in window 2, the planets round it.
//
// The view keeps no picture of its own: every step it erases at the old
// positions what the last step drew and draws at the new ones.
#include "render/render.h"

#include "model/planets.h"
#include "model/sky.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/view_common.h"

namespace {

// Sun, Earth, the shown inner planets in order, back to the Sun. The Earth is
// always a vertex, Jupiter never.
void HelioPolygon(const std::array<double, 7>& x, const std::array<double, 7>& y) {
    PlotPoint(Layout.HelioCentreX, Layout.HelioCentreY);
    LineTo(x[Earth], y[Earth]);
    for (int k : {Mercury, Venus, Mars})
        if (Settings.PlanetOn[k] == 1) LineTo(x[k], y[k]);
    LineTo(Layout.HelioCentreX, Layout.HelioCentreY);
}

}  // namespace

void DrawHelioView() {
    // A menu command chosen meanwhile runs here, before anything of this step
    // is drawn. It may have switched this view off or left another window as
    // drawing target: the step goes on only in this view's own window.
    ProcessEvents();
    if (Settings.SystemMode != 1 && Settings.SystemMode != 3) return;
    SelectWindow(Win_2);
    if (Skies.Real) {
        // The Sun stands still at the view's point, a body like the others.
        ViewPositions& v = Views;
        MapHelio();
        v.HelioPrevScreenX[Sun] = v.HelioScreenX[Sun] = Layout.HelioCentreX;
        v.HelioPrevScreenY[Sun] = v.HelioScreenY[Sun] = Layout.HelioCentreY;
        StepRealSkyView(Win_2, Sun, Earth, Jupiter, v.HelioPrevScreenX, v.HelioPrevScreenY, v.HelioScreenX,
                        v.HelioScreenY, HelioPolygon);
        PutViewMarks(Win_2);
        return;
    }

    const double rx = Layout.DiscRadiusX, ry = Layout.DiscRadiusY;
    ViewPositions& v = Views;
    // The Sun first, so that this step's paths and polygon lie on top of it.
    PutImage(Layout.HelioCentreX - rx, Layout.HelioCentreY - ry, Images.DiscImage[Sun]);
    MapHelio();

    const StepParts draw = PartsToDraw();

    // Last step's polygon goes by drawing it again, three times as wide, in
    // the view's background.
    SolidLines(3);
    if (draw.Polygon) {
        SetForeground(Colours.ColAzure);
        HelioPolygon(v.HelioPrevScreenX, v.HelioPrevScreenY);
    }

    // The geocentric view's loop (geo_view.cpp) is this same step but for
    // two places, both on purpose. Which body stands still: here the Sun,
    // put at the view's centre above and left out of the loop, so the loop
    // runs from the Earth to Jupiter; there the Earth, and the Sun moves with
    // the planets. That is the comparison the program is for. And the save
    // under the old box: here whenever the new box is left out; there only
    // while the polygon is off, as that view has always drawn it (with the
    // polygon on, EraseDisc puts a plain box and never reads the save).
    for (int16_t k = Earth; k <= Jupiter; ++k) {
        const bool shown = Settings.PlanetOn[k] == 1;
        const double oldX = v.HelioPrevScreenX[k], oldY = v.HelioPrevScreenY[k];
        const double newX = v.HelioScreenX[k];
        const int16_t newY = ToPixelRow(v.HelioScreenY[k]);
        if (draw.Discs && shown) EraseDisc(oldX, oldY, rx, ry, k, Win_2);
        // The segment goes in before the background under the new disc is
        // saved, so the saved pixels hold its end and the trail stays whole.
        if (draw.Paths) {
            SetForeground(Colours.ColWhite);
            SetLineStyle(1);
            SetLineWidth(1);
            if (shown) DrawLine(oldX, oldY, newX, newY);
        }
        if (draw.Discs && shown) {
            // DrawDisc saves the background under the new box itself, which
            // replaces a save under the old box; that save only counts when
            // the new box is left out.
            if (!DiscOnScreen(newX, newY, rx, ry)) SaveBackground(oldX, oldY, rx, ry, k, Win_2);
            DrawDisc(newX, newY, rx, ry, k, Win_2);
        }
    }

    // The new polygon last, over all discs.
    SolidLines(1);
    if (draw.Polygon) {
        SetForeground(Colours.ColWhite);
        HelioPolygon(v.HelioScreenX, v.HelioScreenY);
    }
    // The real sky's legend and the equinox's label last, over what this
    // step drew and erased under them.
    PutViewMarks(Win_2);
}

void RemoveHelioBody(int16_t k) {
    if (k < Earth || k > Jupiter || Settings.PlanetOn[k] != -1) return;
    const ViewPositions& v = Views;
    PutBackSaved(v.HelioPrevScreenX[k], v.HelioPrevScreenY[k], v.HelioScreenX[k], ToPixelRow(v.HelioScreenY[k]),
                 Images.HelioBackground[k]);
}
