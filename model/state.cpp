// state.cpp — the one instance of each part of the model's state.
#include "model/state.h"

#include "model/sky.h"

DisplaySettings Settings;
PlanetModel Planets;
ScreenLayout Layout;
ViewPositions Views;

void ResetModelState() {
    Settings = DisplaySettings{};
    Planets = PlanetModel{};
    Layout = ScreenLayout{};
    Views = ViewPositions{};
    Skies = SkyChoice{};
}
