// geo_view.cpp — the Earth at rest in window 3, the Sun and the planets
// round it: the same motion as in window 2, with the origin moved to the Earth.
#include "render/render.h"

#include "model/planets.h"
#include "model/sky.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/view_common.h"

namespace {

// Sun, Earth, the shown inner planets in order, back to the Sun. Here the
// Sun moves and the Earth is the fixed point.
void GeoPolygon(const std::array<double, 7>& x, const std::array<double, 7>& y) {
    PlotPoint(x[Sun], y[Sun]);
    LineTo(Layout.GeoCentreX, Layout.GeoCentreY);
    for (int k : {Mercury, Venus, Mars})
        if (Settings.PlanetOn[k] == 1) LineTo(x[k], y[k]);
    LineTo(x[Sun], y[Sun]);
}

}  // namespace

void DrawGeoView() {
    SelectWindow(Win_3);
    // A menu command chosen meanwhile runs here; the step goes on only if
    // this view is still shown, and only in its own window.
    ProcessEvents();
    if (Settings.SystemMode != 2 && Settings.SystemMode != 3) return;
    SelectWindow(Win_3);
    if (Skies.Real) {
        ViewPositions& v = Views;
        TransformGeo();
        StepRealSkyView(Win_3, Earth, Mercury, Sun, v.GeoPrevScreenX, v.GeoPrevScreenY, v.GeoScreenX, v.GeoScreenY,
                        GeoPolygon);
        PutViewMarks(Win_3);
        return;
    }

    const double rx = Layout.DiscRadiusX, ry = Layout.DiscRadiusY;
    ViewPositions& v = Views;
    // The Earth at the centre in every step, whatever its switch says.
    PutImage(Layout.GeoCentreX - rx, Layout.GeoCentreY - ry, Images.DiscImage[Earth]);
    TransformGeo();

    const StepParts draw = PartsToDraw();

    SolidLines(3);
    if (draw.Polygon) {
        SetForeground(Colours.ColAzure);
        GeoPolygon(v.GeoPrevScreenX, v.GeoPrevScreenY);
    }

    // Mercury to Jupiter, then the Sun; the Earth stands still. The
    // heliocentric view's loop (helio_view.cpp) is this same step but for
    // two places, both on purpose. Which body stands still: here the Earth,
    // put at the view's centre above, so the Sun is one of the bodies that
    // move; there the Sun, and the loop runs from the Earth to Jupiter. That
    // is the comparison the program is for. And the save under the old box:
    // here only while the polygon is off, as this view has always drawn it
    // (with the polygon on, EraseDisc puts a plain box and never reads the
    // save); there whenever the new box is left out.
    for (int16_t k = Mercury; k <= Sun; ++k) {
        const bool shown = Settings.PlanetOn[k] == 1;
        const double oldX = v.GeoPrevScreenX[k], oldY = v.GeoPrevScreenY[k];
        const double newX = v.GeoScreenX[k];
        const int16_t newY = ToPixelRow(v.GeoScreenY[k]);
        if (draw.Discs && shown) EraseDisc(oldX, oldY, rx, ry, k, Win_3);
        SetForeground(Colours.ColWhite);
        if (draw.Paths) {
            SetLineStyle(1);
            SetLineWidth(1);
            if (shown) DrawLine(oldX, oldY, newX, newY);
        }
        if (draw.Discs && shown) {
            // As in window 2: DrawDisc's own save replaces this one unless
            // the new box is left out.
            if (Settings.PolygonOn < 0 && !DiscOnScreen(newX, newY, rx, ry))
                SaveBackground(oldX, oldY, rx, ry, k, Win_3);
            DrawDisc(newX, newY, rx, ry, k, Win_3);
        }
    }

    SolidLines(1);
    if (draw.Polygon) {
        SetForeground(Colours.ColWhite);
        GeoPolygon(v.GeoScreenX, v.GeoScreenY);
    }
    // The real sky's legend and the equinox's label last, over what this
    // step drew and erased under them.
    PutViewMarks(Win_3);
}

void RemoveGeoBody(int16_t k) {
    if (k < Earth || k > Sun || Settings.PlanetOn[k] != -1) return;
    const ViewPositions& v = Views;
    PutBackSaved(v.GeoPrevScreenX[k], v.GeoPrevScreenY[k], v.GeoScreenX[k], ToPixelRow(v.GeoScreenY[k]),
                 Images.GeoBackground[k]);
}
