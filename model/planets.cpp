// planets.cpp — circular orbits, the clock and the two mappings.
#include "model/planets.h"

#include "model/layout.h"
#include "model/sky.h"
#include "model/state.h"
#include "model/text_items.h"

#include <cmath>


void InitModel() {
    for (auto& on : Settings.PlanetOn) on = 1;
    Settings.DrawMode = 6;
    Settings.PolygonOn = -1.0;
    Settings.TimeStep = 0.5;
    LayOutModel();
    // Every body starts at angle 0.
    for (int i = Earth; i <= Jupiter; ++i) {
        Planets.PrevX[i] = Planets.RadiusX[i];
        Planets.PrevY[i] = 0;
    }
}

void LayOutModel() {
    Layout.CaptionAllowance = 19;
    ComputeLayout();
    RestoreTextItems(PlanetNumbersItem);
    for (int i = Earth; i <= Jupiter; ++i) Planets.Omega[i] = FullTurn / ReadNumberItem();
    for (int i = Earth; i <= Jupiter; ++i) {
        auto r = static_cast<int32_t>(ReadNumberItem());
        Planets.RadiusX[i] = ScaleX(r);
        Planets.RadiusY[i] = ScaleY(r) * Planets.FlattenFactor;
    }
    FinishLayout();
}

void AdvanceModel() {
    Planets.SimTime += Settings.TimeStep;
    PlacePlanets();
}

void MoveModelTo(double simTime) {
    Planets.SimTime = simTime;
    PlacePlanets();
}

void PlacePlanets() {
    PlanetModel& p = Planets;
    // Where the scale has changed (the real sky fits its farthest shown
    // orbit to the view), the places a step starts from go to the new scale
    // too, so that no path runs from where a body stood at the old one.
    const Sky& sky = TheSky();
    const double scale = sky.Screen.PixelsPerUnit(Settings.PlanetOn);
    if (p.PlacedScale > 0 && scale != p.PlacedScale)
        for (int i = Earth; i <= Sun; ++i) {
            p.PrevX[i] *= scale / p.PlacedScale;
            p.PrevY[i] *= scale / p.PlacedScale;
        }
    p.PlacedScale = scale;
    for (int i = Earth; i <= Sun; ++i) sky.Screen.Place(i, p.SimTime, scale, p.PosX[i], p.PosY[i]);
}

void KeepPositions() {
    for (int i = Earth; i <= Sun; ++i) {
        Planets.PrevX[i] = Planets.PosX[i];
        Planets.PrevY[i] = Planets.PosY[i];
    }
}

void MapHelio() {
    const PlanetModel& p = Planets;
    ViewPositions& v = Views;
    for (int i = Earth; i <= Jupiter; ++i) {
        v.HelioPrevScreenX[i] = Layout.HelioCentreX + p.PrevX[i];
        v.HelioPrevScreenY[i] = Layout.HelioCentreY + p.PrevY[i];
        v.HelioScreenX[i] = Layout.HelioCentreX + p.PosX[i];
        v.HelioScreenY[i] = Layout.HelioCentreY + p.PosY[i];
    }
}

void TransformGeo() {
    const PlanetModel& p = Planets;
    ViewPositions& v = Views;
    const double cx = Layout.GeoCentreX;
    const double cy = Layout.GeoCentreY;  // a whole number
    // Each body minus the Earth, moved to the centre; the Earth lands exactly there.
    for (int i = Earth; i <= Jupiter; ++i) {
        v.GeoPrevScreenX[i] = (cx + p.PrevX[i]) - p.PrevX[Earth];
        v.GeoPrevScreenY[i] = (cy + p.PrevY[i]) - p.PrevY[Earth];
        v.GeoScreenX[i] = (cx + p.PosX[i]) - p.PosX[Earth];
        v.GeoScreenY[i] = (cy + p.PosY[i]) - p.PosY[Earth];
    }
    // The Sun, at the origin of the model, is the Earth mirrored through the centre.
    v.GeoPrevScreenX[Sun] = cx - p.PrevX[Earth];
    v.GeoPrevScreenY[Sun] = cy - p.PrevY[Earth];
    v.GeoScreenX[Sun] = cx - p.PosX[Earth];
    v.GeoScreenY[Sun] = cy - p.PosY[Earth];
}
