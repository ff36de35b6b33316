#!/usr/bin/env python3
"""mutants.py — do the tests notice small deliberate faults?

A developer's tool, not part of the test run. Each mutant in the table below
is one small fault a careless edit could make (an off-by-one, a wrong store,
a set instead of a negation, a swapped order, a wrong constant). For each,
the script puts the fault into a copy of the sources (build-mutants/src, kept
in step with this work tree), rebuilds there (build-mutants/build, Release,
benchmarks off), runs the fast CTest tests (all but end_to_end_* and package)
and says whether a test failed ("killed") or every test passed ("survived").
The work tree itself is never written; the copy gets its original file back
after every mutant, also after a failed build, a timeout or Ctrl-C. A mutant
that does not compile counts as "invalid", one whose text is no longer in its
file as "stale". Mutants that cannot change what the program does are marked
equivalent in the table, with the reason.

    tools/mutants.py                  every mutant (about 35 minutes on 2 cores)
    tools/mutants.py --only NAME,...  just these (shell patterns allowed)
    tools/mutants.py --list           the table, and whether each still applies

Logs go to build-mutants/logs/, the summary to build-mutants/report.md.
"""

from __future__ import annotations

import argparse
import fnmatch
import os
import re
import shutil
import signal
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
WORK = ROOT / "build-mutants"
SRC = WORK / "src"
BUILD = WORK / "build"
LOGS = WORK / "logs"

# Never run: they need real windows, a browser or packaging and take minutes.
EXCLUDED = r"^end_to_end_.*$|^package$|^web_build$|^compare_editions$"
# Run only when the quick ones have all passed.
SLOW = r"_3840x2160$|^test_soak"


@dataclass
class Mutant:
    name: str
    file: str
    edits: list[tuple[str, str]]  # (original text, replacement), each original found exactly once
    what: str
    equivalent: str | None = None  # why no test can tell it from the real program
    result: str = ""
    by: str = ""
    seconds: float = 0.0


def M(name: str, file: str, original: str, replacement: str, what: str, equivalent: str | None = None) -> Mutant:
    return Mutant(name, file, [(original, replacement)], what, equivalent)


def Ms(name: str, file: str, edits: list[tuple[str, str]], what: str, equivalent: str | None = None) -> Mutant:
    return Mutant(name, file, edits, what, equivalent)


MUTANTS: list[Mutant] = [
    # ---- model/
    M("planets-omega-jupiter", "model/planets.cpp",
      "for (int i = Earth; i <= Jupiter; ++i) Planets.Omega[i]",
      "for (int i = Earth; i < Jupiter; ++i) Planets.Omega[i]",
      "Omega is filled for Earth to Mars only (< Jupiter)"),
    M("planets-full-turn", "model/planets.h",
      "constexpr double FullTurn = 6.28312;", "constexpr double FullTurn = 6.283185307179586;",
      "one turn is 2 pi instead of 6.28312"),
    M("planets-advance-jupiter", "model/model_sky.cpp",
      "    if (body < Earth || body > Jupiter) return;\n    const PlanetModel& p",
      "    if (body < Earth || body >= Jupiter) return;\n    const PlanetModel& p",
      "the views' place of Jupiter stays at the Sun: Jupiter stands still"),
    M("sky-event-window", "model/sky.cpp",
      "if (e.Day > day + Same) return e;", "if (e.Day >= day) return e;",
      "the next event from an event is the event itself: PageDown stays where it is"),
    M("sky-moment-zeros", "model/model_sky.cpp",
      "text.erase(text.find_last_not_of('0') + 1);", "text.erase(text.find_last_not_of('0') + 2);",
      "a day keeps one trailing zero (\"Tag 812,50\")"),
    M("planets-time-after-move", "model/planets.cpp",
      "    Planets.SimTime += Settings.TimeStep;\n    PlacePlanets();\n",
      "    PlacePlanets();\n    Planets.SimTime += Settings.TimeStep;\n",
      "SimTime advanced after the positions instead of before"),
    M("planets-keep-not-sun", "model/planets.cpp",
      "for (int i = Earth; i <= Sun; ++i) {\n        Planets.PrevX[i]",
      "for (int i = Earth; i <= Jupiter; ++i) {\n        Planets.PrevX[i]",
      "KeepPositions stops before the Sun",
      "the Sun's position is 0, 0 in every step and PrevX/PrevY[Sun] are never read (the geocentric Sun "
      "comes from the Earth's position)"),
    M("planets-helio-prev-from-pos", "model/planets.cpp",
      "v.HelioPrevScreenY[i] = Layout.HelioCentreY + p.PrevY[i];",
      "v.HelioPrevScreenY[i] = Layout.HelioCentreY + p.PosY[i];",
      "heliocentric old y from the Pos table instead of Prev"),
    M("planets-geo-sun-sign", "model/planets.cpp",
      "v.GeoScreenX[Sun] = cx - p.PosX[Earth];", "v.GeoScreenX[Sun] = cx + p.PosX[Earth];",
      "the geocentric Sun not mirrored in x"),
    M("planets-caption-allowance", "model/planets.cpp",
      "Layout.CaptionAllowance = 19;", "Layout.CaptionAllowance = 18;", "CaptionAllowance 18 instead of 19"),
    M("layout-centre-y", "model/layout.cpp",
      "l.HelioCentreY = ScaleY(87);", "l.HelioCentreY = ScaleY(86);", "the Sun's y ScaleY(86)"),
    M("layout-view-top", "model/layout.cpp",
      "const int32_t top = ScaleY(static_cast<int32_t>(topBase) + 5) + Layout.CaptionAllowance;",
      "const int32_t top = ScaleY(static_cast<int32_t>(topBase)) + 5 + Layout.CaptionAllowance;",
      "view top: the 5 added after scaling"),
    M("layout-view-top-foot", "model/layout.cpp",
      "return std::max<int32_t>(0, std::min(top, fits));", "return std::max<int32_t>(0, top);",
      "the views' top never moved up, so on a 4K screen they run past its foot"),
    M("text-jupiter-period", "model/text_items.cpp",
      '"667", "700",', '"667", "770",', "Jupiter's period 770 days"),

    # The calendar, the theories and the real sky.
    M("calendar-no-400-rule", "model/calendar.cpp",
      "return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;", "return y % 4 == 0 && y % 100 != 0;",
      "2000 (and 1600, 2400) no leap year: 29.02.2000 refused"),
    M("calendar-last-year-open", "model/calendar.cpp",
      "if (t.Year < FirstYear || t.Year > LastYear) {", "if (t.Year < FirstYear || t.Year >= LastYear) {",
      "a date of 2400 refused: the range's end kept open"),
    M("calendar-local-offset-sign", "model/calendar.cpp",
      "return MomentFromUnixSeconds(asUtc - static_cast<double>(LocalOffsetSeconds(guess)));",
      "return MomentFromUnixSeconds(asUtc + static_cast<double>(LocalOffsetSeconds(guess)));",
      "a local date typed is read with the zone's offset (MEZ, MESZ) added instead of taken off"),
    M("calendar-delta-t-sign", "model/calendar.cpp",
      "const double ut = moment - DeltaTSeconds(moment) / SecondsPerDay;",
      "const double ut = moment + DeltaTSeconds(moment) / SecondsPerDay;",
      "UTC from TT by adding ΔT: every time shown two ΔT late (2 minutes today, 4 in 1600)"),
    M("calendar-weekday-shift", "model/calendar.cpp",
      "t.Weekday = static_cast<int>(jdn % 7);", "t.Weekday = static_cast<int>((jdn + 1) % 7);",
      "weekdays one day on: Friday 19.02.2027 shown as \"Sa\""),
    M("ephemeris-light-time-sign", "model/ephemeris.cpp",
      "const BodyState then = sun ? BodyState{} : HeliocentricState(body, moment - lightTime);",
      "const BodyState then = sun ? BodyState{} : HeliocentricState(body, moment + lightTime);",
      "a planet seen where it stands a light time later, not where its light left it"),
    M("ephemeris-aberration-sign", "model/ephemeris.cpp",
      "const BodyState earthThen = HeliocentricState(Earth, moment - lightTime);",
      "const BodyState earthThen = HeliocentricState(Earth, moment + lightTime);",
      "the aberration turned the wrong way: the Sun 40″ off"),
    M("ephemeris-nutation-sign", "model/ephemeris.cpp",
      "const double dpsi = NutationInLongitude(moment), c", "const double dpsi = -NutationInLongitude(moment), c",
      "apparent places turned to the true equinox by minus the nutation in longitude"),
    M("ephemeris-velocity-span", "model/ephemeris.cpp",
      "s.V[i] = (after[i] - before[i]) / (2 * VelocitySpan);", "s.V[i] = (after[i] - before[i]) / VelocitySpan;",
      "the grid's velocities twice as large: the interpolation bends away between its points"),
    M("realsky-quadratures-swapped", "model/real_sky.cpp",
      "case Crossing::EastQuadrature: return Turned(a.Difference - Pi / 2);",
      "case Crossing::EastQuadrature: return Turned(a.Difference + Pi / 2);",
      "the eastern quadrature found where the western one is"),
    M("realsky-station-kinds", "model/real_sky.cpp",
      "kind = v0 > 0 ? EventKind::StationRetrograde : EventKind::StationDirect;",
      "kind = v0 < 0 ? EventKind::StationRetrograde : EventKind::StationDirect;",
      "the two standstills' names swapped"),
    M("realsky-bisect-to-hour", "model/real_sky.cpp",
      "while (t1 - t0 > 1.0 / 1440) {", "while (t1 - t0 > 1.0 / 24) {",
      "events bisected to an hour instead of a minute"),
    M("realsky-strip-nutation-sign", "model/real_sky.cpp",
      "turn = pa + NutationInLongitude(moment);", "turn = pa - NutationInLongitude(moment);",
      "the strip's longitudes of date turned by minus the nutation"),
    M("realsky-elongation-side", "model/real_sky.cpp",
      "return {Turned(p.Longitude - sun.Longitude) < 0 ? -separation : separation};",
      "return {Turned(p.Longitude - sun.Longitude) > 0 ? -separation : separation};",
      "east and west of the Sun swapped in the real sky: the evening sky called the morning sky"),
    M("eventlist-sky-side", "model/event_list.cpp",
      'return elongation > 0 ? "am Abendhimmel" : "am Morgenhimmel";',
      'return elongation < 0 ? "am Abendhimmel" : "am Morgenhimmel";',
      "the list's evening and morning sky swapped"),
    M("eventlist-glare-in-radians", "model/event_list.cpp",
      "if (degrees < NearSunDegrees)", "if (elongation < NearSunDegrees)",
      "the glare's bound compared with the signed angle in radians: every planet \"nahe der Sonne\""),
    M("eventlist-past-the-span", "model/event_list.cpp",
      "return std::min(day + EventListDays, span.Last);", "return day + EventListDays;",
      "the real sky's list runs past 31.12.2400"),
    M("eventlist-jupiter-alone", "model/event_list.cpp",
      "for (int k = Mercury; k <= Jupiter; ++k)\n        if (planetOn[k] == 1) return true;",
      "for (int k = Mercury; k < Jupiter; ++k)\n        if (planetOn[k] == 1) return true;",
      "with Jupiter the only planet shown, the list says there is no planet"),

    # ---- render/
    M("discs-rect-left", "render/discs.cpp",
      "return {x - rx - 1, y - ry - 1, x + rx + 1, y + ry + 1};",
      "return {x - rx, y - ry - 1, x + rx + 1, y + ry + 1};",
      "disc rectangle's left edge one pixel in"),
    M("discs-screen-no-bottom", "render/discs.cpp",
      "across(r.Left) && across(r.Right) && down(r.Top) && down(r.Bottom)",
      "across(r.Left) && across(r.Right) && down(r.Top)",
      "screen test forgets the bottom edge"),
    M("discs-screen-edge-strict", "render/discs.cpp",
      "return v >= 0 && std::floor(v) <= sw;", "return v >= 0 && std::floor(v) < sw;",
      "an edge on the screen's width fails the screen test",
      "whether an edge exactly on SW passes is left open; draw, erase and save still agree"),
    M("discs-store-swap", "render/discs.cpp",
      "if (w == Win_2) return &Images.HelioBackground[k];", "if (w == Win_2) return &Images.GeoBackground[k];",
      "window 2 saves into and erases from GeoBackground"),
    M("discs-erase-condition", "render/discs.cpp",
      "Settings.PolygonOn < 0 ? *saved : Images.BlankImage[k]",
      "Settings.PolygonOn > 0 ? *saved : Images.BlankImage[k]",
      "EraseDisc: PolygonOn > 0 instead of < 0"),
    M("discs-erase-disc-image", "render/discs.cpp",
      "Settings.PolygonOn < 0 ? *saved : Images.BlankImage[k]",
      "Settings.PolygonOn < 0 ? *saved : Images.DiscImage[k]",
      "EraseDisc puts DiscImage instead of BlankImage"),
    M("discs-draw-raster", "render/discs.cpp",
      "PutImage(r.Left, r.Top, Images.DiscImage[k]);\n    }\n    SetRasterMode(0);",
      "PutImage(r.Left, r.Top, Images.DiscImage[k]);\n    }",
      "DrawDisc does not return to raster mode 0"),
    M("discs-draw-colour", "render/discs.cpp",
      "SetForeground(Colours.ColBlack);\n    SetBackground(Colours.ColWhite);\n    DiscRect r",
      "SetForeground(Colours.ColWhite);\n    SetBackground(Colours.ColWhite);\n    DiscRect r",
      "DrawDisc leaves the foreground white instead of black"),
    M("discs-draw-put-first", "render/discs.cpp",
      "        if (Image* saved = SavedBackground(k, w)) CaptureImage(r.Left, r.Top, r.Right, r.Bottom, *saved);\n"
      "        SetRasterMode(13);\n        PutImage(r.Left, r.Top, Images.DiscImage[k]);",
      "        SetRasterMode(13);\n        PutImage(r.Left, r.Top, Images.DiscImage[k]);\n"
      "        if (Image* saved = SavedBackground(k, w)) CaptureImage(r.Left, r.Top, r.Right, r.Bottom, *saved);",
      "DrawDisc puts the disc before saving what is under it"),
    M("discs-save-nothing", "render/discs.cpp",
      "    if (IsBody(k) && OnScreen(r))\n        if (Image* saved",
      "    if (IsBody(k) && OnScreen(r) && k < 0)\n        if (Image* saved",
      "SaveBackground saves nothing"),

    M("helio-sun-corner", "render/helio_view.cpp",
      "PutImage(Layout.HelioCentreX - rx, Layout.HelioCentreY - ry, Images.DiscImage[Sun]);",
      "PutImage(Layout.HelioCentreX - rx - 1, Layout.HelioCentreY - ry - 1, Images.DiscImage[Sun]);",
      "the Sun put at centre - radius - 1 (as DrawDisc places a box)"),
    Ms("helio-sun-last", "render/helio_view.cpp", [
        ("    PutImage(Layout.HelioCentreX - rx, Layout.HelioCentreY - ry, Images.DiscImage[Sun]);\n", ""),
        ("        HelioPolygon(v.HelioScreenX, v.HelioScreenY);\n    }\n",
         "        HelioPolygon(v.HelioScreenX, v.HelioScreenY);\n    }\n"
         "    PutImage(Layout.HelioCentreX - rx, Layout.HelioCentreY - ry, Images.DiscImage[Sun]);\n")],
      "the Sun's image put last instead of first"),
    M("helio-erase-colour", "render/helio_view.cpp",
      "SetForeground(Colours.ColAzure);\n        HelioPolygon", "SetForeground(Colours.ColWhite);\n        HelioPolygon",
      "old polygon erased in ColWhite instead of ColAzure"),
    M("helio-erase-width", "render/helio_view.cpp",
      "SolidLines(3);", "SolidLines(1);", "old polygon erased one pixel wide instead of three"),
    M("helio-erase-store", "render/helio_view.cpp",
      "EraseDisc(oldX, oldY, rx, ry, k, Win_2);", "EraseDisc(oldX, oldY, rx, ry, k, Win_3);",
      "window 2 erases from window 3's store"),
    Ms("helio-path-before-erase", "render/helio_view.cpp", [
        ("        if (draw.Discs && shown) EraseDisc(oldX, oldY, rx, ry, k, Win_2);\n", ""),
        ("            if (shown) DrawLine(oldX, oldY, newX, newY);\n        }\n",
         "            if (shown) DrawLine(oldX, oldY, newX, newY);\n        }\n"
         "        if (draw.Discs && shown) EraseDisc(oldX, oldY, rx, ry, k, Win_2);\n")],
      "path segment drawn before the old disc is erased"),
    M("helio-loop-jupiter", "render/helio_view.cpp",
      "for (int16_t k = Earth; k <= Jupiter; ++k) {", "for (int16_t k = Earth; k < Jupiter; ++k) {",
      "window 2 never draws Jupiter (k < Jupiter)"),
    M("helio-polygon-jupiter", "render/helio_view.cpp",
      "for (int k : {Mercury, Venus, Mars})", "for (int k : {Mercury, Venus, Mars, Jupiter})",
      "Jupiter a vertex of the heliocentric polygon"),
    M("helio-polygon-hidden", "render/helio_view.cpp",
      "if (Settings.PlanetOn[k] == 1) LineTo(x[k], y[k]);", "LineTo(x[k], y[k]);",
      "hidden planets stay vertices of the heliocentric polygon"),
    M("helio-remove-negation", "render/helio_view.cpp",
      "Settings.PlanetOn[k] != -1) return;", "Settings.PlanetOn[k] == -1) return;",
      "RemoveHelioBody acts on shown bodies instead of hidden ones"),
    M("geo-earth-corner", "render/geo_view.cpp",
      "PutImage(Layout.GeoCentreX - rx, Layout.GeoCentreY - ry, Images.DiscImage[Earth]);",
      "PutImage(Layout.GeoCentreX - rx - 1, Layout.GeoCentreY - ry - 1, Images.DiscImage[Earth]);",
      "the Earth put at centre - radius - 1"),
    Ms("geo-earth-last", "render/geo_view.cpp", [
        ("    PutImage(Layout.GeoCentreX - rx, Layout.GeoCentreY - ry, Images.DiscImage[Earth]);\n", ""),
        ("        GeoPolygon(v.GeoScreenX, v.GeoScreenY);\n    }\n",
         "        GeoPolygon(v.GeoScreenX, v.GeoScreenY);\n    }\n"
         "    PutImage(Layout.GeoCentreX - rx, Layout.GeoCentreY - ry, Images.DiscImage[Earth]);\n")],
      "the Earth's image put last instead of first"),
    M("geo-loop-sun", "render/geo_view.cpp",
      "for (int16_t k = Mercury; k <= Sun; ++k) {", "for (int16_t k = Mercury; k < Sun; ++k) {",
      "window 3 never draws the Sun (k < Sun)"),
    M("geo-save-condition", "render/geo_view.cpp",
      "if (Settings.PolygonOn < 0 && !DiscOnScreen", "if (Settings.PolygonOn > 0 && !DiscOnScreen",
      "geocentric SaveBackground while the polygon is on instead of off",
      "SaveBackground runs only when the new box is left out; what it saves is read by nothing before "
      "ClearViews empties the stores (EraseDisc of a left-out box puts nothing, RemoveBody runs after ClearViews)"),
    M("geo-erase-store", "render/geo_view.cpp",
      "EraseDisc(oldX, oldY, rx, ry, k, Win_3);", "EraseDisc(oldX, oldY, rx, ry, k, Win_2);",
      "window 3 erases from window 2's store"),
    Ms("geo-path-before-erase", "render/geo_view.cpp", [
        ("        if (draw.Discs && shown) EraseDisc(oldX, oldY, rx, ry, k, Win_3);\n", ""),
        ("            if (shown) DrawLine(oldX, oldY, newX, newY);\n        }\n",
         "            if (shown) DrawLine(oldX, oldY, newX, newY);\n        }\n"
         "        if (draw.Discs && shown) EraseDisc(oldX, oldY, rx, ry, k, Win_3);\n")],
      "geocentric path segment drawn before the old disc is erased"),
    M("geo-polygon-hidden", "render/geo_view.cpp",
      "if (Settings.PlanetOn[k] == 1) LineTo(x[k], y[k]);", "LineTo(x[k], y[k]);",
      "hidden planets stay vertices of the geocentric polygon"),
    M("geo-remove-body-windows", "render/views.cpp",
      "    SelectWindow(Win_2);\n    RemoveHelioBody(k);", "    SelectWindow(Win_3);\n    RemoveHelioBody(k);",
      "RemoveBody puts the heliocentric background into window 3"),
    M("images-mars-outline", "render/disc_images.cpp",
      "if (look.Body == Mars || jupiter) SetForeground(Colours.ColBlack);",
      "if (jupiter) SetForeground(Colours.ColBlack);",
      "Mars outlined in its white letter colour"),
    M("images-jupiter-pattern", "render/disc_images.cpp",
      "SetFillPattern(8);", "SetFillPattern(0);", "Jupiter's disc solid black instead of pattern 8"),
    M("images-earth-order", "render/disc_images.cpp",
      '{Earth, "ER", c.ColBlue, c.ColWhite, c.ColBlue, true},',
      '{Earth, "ER", c.ColBlue, c.ColWhite, c.ColBlue, false},',
      "Earth: outline then label instead of label then outline"),
    M("images-clean-rect", "render/disc_images.cpp",
      "if (i + 1 < looks.size()) PutImage", "if (i + 2 < looks.size()) PutImage",
      "the canvas is not cleaned before the last body (Jupiter)",
      "Jupiter's fill, outline and label cell cover exactly the pixels of Mars's (the same ellipse, two letters "
      "of a fixed-pitch font), so nothing of Mars can show, on any screen"),
    M("images-label-x", "render/disc_images.cpp",
      "DrawText(cx - 9 * scale, cy - 7 * scale, look.Label);", "DrawText(cx - 8 * scale, cy - 7 * scale, look.Label);",
      "label one pixel right of (cx - 9, cy - 7)"),

    M("colours-pair4", "render/colours.cpp",
      "{15, 5},  // 4", "{15, 3},  // 4", "colour pair 4 is 15 on 3"),
    M("colours-pair5-range", "render/colours.cpp",
      "if (n < 1 || n > 5) return;", "if (n < 1 || n > 4) return;", "SetSchemeColours ignores pair 5"),
    M("common-row-round", "render/view_common.h",
      "double r = std::floor(y);", "double r = std::round(y);",
      "discs drawn at the rounded row instead of the row y lies in"),
    M("common-polygon-mode", "render/view_common.h",
      "s.DrawMode == 6 && s.PolygonOn > 0", "s.DrawMode != 5 && s.PolygonOn > 0",
      "polygon also in DrawMode 7",
      "no command reaches DrawMode 7 with the polygon on: 'Planten &und Bahnen' switches it off and "
      "'&Vieleck ein/aus' sets DrawMode 6"),
    M("common-paths-mode", "render/view_common.h",
      "s.DrawMode == 5 || s.DrawMode == 7", "s.DrawMode == 5 || s.DrawMode == 6",
      "paths drawn in DrawMode 5 and 6 instead of 5 and 7"),
    M("common-discs-mode", "render/view_common.h",
      "s.DrawMode == 6 || s.DrawMode == 7", "s.DrawMode != 5",
      "discs drawn unless DrawMode is 5",
      "DrawMode is only ever 5, 6 or 7"),
    M("common-raster", "render/view_common.h",
      "    SetRasterMode(13);\n}", "    SetRasterMode(0);\n}",
      "lines drawn in raster mode 0 instead of 13",
      "the platform records the raster mode but draws every mode by copying"),
    M("common-putback-order", "render/view_common.h",
      "    if (newY > ry + 1) PutImage(newX - rx, newY - ry, saved);\n"
      "    if (oldY > ry + 1) PutImage(oldX - rx, oldY - ry, saved);",
      "    if (oldY > ry + 1) PutImage(oldX - rx, oldY - ry, saved);\n"
      "    if (newY > ry + 1) PutImage(newX - rx, newY - ry, saved);",
      "a removed body's old place put before the new one"),

    # ---- ui/
    M("service-clear-windows", "ui/service.cpp",
      "ClearWindow(Win_2);\n    ClearWindow(Win_3);", "ClearWindow(Win_2);\n    ClearWindow(Win_2);",
      "ClearViews clears window 2 twice, window 3 never"),
    M("service-target", "ui/service.cpp",
      "if (Settings.SystemMode != 2) SelectWindow(Win_2);", "if (Settings.SystemMode != 2) SelectWindow(Win_3);",
      "ClearViews leaves window 3 selected"),
    M("service-backgrounds-from-mercury", "ui/service.cpp",
      "for (int k = Earth; k <= Sun; ++k) {\n        EmptyImage", "for (int k = Mercury; k <= Sun; ++k) {\n        EmptyImage",
      "ClearBackgrounds keeps the Earth's saved backgrounds"),
    Ms("service-backgrounds-first", "ui/service.cpp", [
        ("    ResetMainWindowColours();\n    ClearWindow(Win_2);", "    ClearBackgrounds();\n    ResetMainWindowColours();\n    ClearWindow(Win_2);"),
        ("    ClearWindow(SelectedWindow());\n    ClearBackgrounds();\n", "    ClearWindow(SelectedWindow());\n")],
      "ClearBackgrounds first instead of after clearing the windows",
      "clearing windows and emptying the stores do not touch each other"),
    M("messages-info-append", "ui/messages.cpp",
      'Shell.MessageText = InfoText();', 'Shell.MessageText += InfoText();', "the information box appends to the last text"),
    M("title-wide", "ui/title_screen.cpp",
      "bool wide = Layout.ScaleXFactor > 1;", "bool wide = Layout.ScaleXFactor >= 1;",
      "the long prompt also at 320 pixels"),
    M("title-left-panel", "ui/title_screen.cpp",
      "FillBox(4, 2, ScaleX(159), ScaleY(199));", "FillBox(4, 2, ScaleX(160), ScaleY(199));",
      "left panel one grid column too wide"),
    M("title-right-pattern", "ui/title_screen.cpp",
      "SetFillPattern(8);", "SetFillPattern(0);", "right panel solid white instead of pattern 8"),
    M("title-click-drain", "ui/title_screen.cpp",
      "    while (MouseClicked()) {\n    }\n", "", "a click from before the prompt ends the wait"),
    M("dialog-range-20", "ui/time_step_dialog.cpp",
      "return dt > 0 && dt < 20;", "return dt > 0 && dt <= 20;", "20 accepted as a time step"),
    M("dialog-range-0", "ui/time_step_dialog.cpp",
      "return dt > 0 && dt < 20;", "return dt >= 0 && dt < 20;", "0 accepted as a time step"),
    M("dialog-window-width", "ui/time_step_dialog.cpp",
      "static_cast<int>(Layout.InputWinWidthBase) - 10, ScaleY(30)",
      "static_cast<int>(Layout.InputWinWidthBase), ScaleY(30)",
      "window 1 as wide as InputWinWidthBase, not 10 less"),
    M("date-empty-line-no-moment", "ui/date_dialog.cpp",
      "            moment = shown;\n            break;", "            break;",
      "an empty line takes the date offered but leaves the moment unset"),
    M("date-skipped-time-silent", "ui/date_dialog.cpp",
      "            if (reason.empty()) break;\n            shown = moment;\n", "            break;\n",
      "a time the clocks skip taken at once, the pupil not told"),
    M("date-target-lost", "ui/date_dialog.cpp",
      "    SelectWindow(target);\n", "",
      "after the date dialog window 1 stays selected: the next drawing goes into it"),
    M("date-longest-short", "ui/date_dialog.cpp",
      "constexpr std::size_t LongestDate = 32;", "constexpr std::size_t LongestDate = 22;",
      "a typed line kept to 22 characters: a date with its time and zone cut off"),

    # ---- app/
    M("menu-range-desk-end", "app/menu.cpp",
      "if (item >= 1 && item <= 5)", "if (item >= 1 && item <= 4)", "DESK range 1..4 instead of 1..5",
      "5 is DESK's closing entry: DeskMenu ignores it (and the bar never reports it)"),
    M("menu-range-system-start", "app/menu.cpp",
      "else if (item >= 7 && item <= 10)", "else if (item >= 8 && item <= 10)", "SYSTEM range starts at 8"),
    M("menu-count-system", "app/menu.cpp",
      "ChoiceIn(item, 6, 3)", "ChoiceIn(item, 6, 4)", "SYSTEM takes its closing entry as a fourth item"),
    M("menu-count-planets", "app/menu.cpp",
      "ChoiceIn(item, 17, 5)", "ChoiceIn(item, 17, 4)", "PLANETEN counts 4 items: Jupiter's toggle lost"),
    M("menu-count-desk", "app/menu.cpp",
      "ChoiceIn(item, 0, 4)", "ChoiceIn(item, 0, 5)", "DESK takes its closing entry as a fifth item",
      "DeskMenu has no command 5: the choice falls through the switch"),
    M("menu-polygon-set", "app/menu.cpp",
      "Settings.PolygonOn = -Settings.PolygonOn;", "Settings.PolygonOn = 1;",
      "'&Vieleck ein/aus' sets PolygonOn = 1 instead of negating it"),
    M("menu-planet-set", "app/menu.cpp",
      "Settings.PlanetOn[k] = static_cast<int16_t>(-Settings.PlanetOn[k]);", "Settings.PlanetOn[k] = -1;",
      "a planet's toggle sets -1 instead of negating"),
    M("menu-vieleck-step", "app/menu.cpp",
      "Settings.TimeStep = 0.2;\n            Settings.PolygonOn = -Settings.PolygonOn;",
      "Settings.TimeStep = 0.5;\n            Settings.PolygonOn = -Settings.PolygonOn;",
      "'&Vieleck ein/aus' sets TimeStep 0.5"),
    M("menu-bahnen-step", "app/menu.cpp",
      "Settings.TimeStep = 0.2;\n            Settings.PolygonOn = -1.0;",
      "Settings.TimeStep = 0.5;\n            Settings.PolygonOn = -1.0;",
      "'nur &Bahnen' sets TimeStep 0.5"),
    M("menu-system-mode-early", "app/menu.cpp",
      "    // Still with the old SystemMode: the new one is set below.\n    ClearViews();",
      "    Settings.SystemMode = choice;\n    ClearViews();",
      "SYSTEM sets the new SystemMode before ClearViews"),
    M("menu-display-clear-condition", "app/menu.cpp",
      "if (Shell.MenuChoice != 2) {", "if (Shell.MenuChoice == 2) {",
      "DARSTELLUNG clears the views again only after 'nur &Bahnen'",
      "ClearViews (step 2 of the command) has already cleared both views and nothing is drawn in between"),
    M("menu-no-remove-body", "app/menu.cpp",
      "        RemoveBody(k);\n", "",
      "a planet's toggle does not call RemoveBody",
      "ClearViews has just cleared both views and emptied the stores, so RemoveBody puts nothing"),
    M("anim-helio-modes", "render/views.cpp",
      "Settings.SystemMode == 1 || Settings.SystemMode == 3", "Settings.SystemMode == 1 || Settings.SystemMode == 2",
      "the heliocentric view drawn in modes 1 and 2"),
    Ms("anim-keep-first", "render/views.cpp", [
        ("void DrawStep() {\n", "void DrawStep() {\n    KeepPositions();\n"),
        ("    }\n    KeepPositions();\n    Views.DrawnFrom", "    }\n    Views.DrawnFrom")],
      "positions kept before the views draw"),
    M("anim-select-window", "render/views.cpp",
      "SelectWindow(Win_2);\n        DrawHelioView();", "SelectWindow(Win_3);\n        DrawHelioView();",
      "window 3 selected for the heliocentric view",
      "DrawHelioView selects window 2 itself after letting events through"),
    M("shell-scheme-last", "render/colours.cpp",
      "    SetSchemeColours(1);\n    SetForeground(Colours.ColBlue);\n    SetBackground(Colours.ColWhite);",
      "    SetForeground(Colours.ColBlue);\n    SetBackground(Colours.ColWhite);\n    SetSchemeColours(1);",
      "colour pair 1 set after blue on white"),
    M("shell-view-left-swap", "render/views.cpp",
      "helio ? Layout.HelioWinLeft : Layout.GeoWinLeft", "helio ? Layout.GeoWinLeft : Layout.HelioWinLeft",
      "view windows' left edges swapped"),
    M("startup-flatten", "app/startup.cpp",
      "Planets.FlattenFactor = 0.82;", "Planets.FlattenFactor = 0.8;", "FlattenFactor 0.8 instead of 0.82"),
    Ms("loop-quit-before-step", "app/main_loop.cpp", [
        ("        RunGuarded(ClassroomPass);\n", "        if (Shell.EndMarker == \"*\") break;\n        RunGuarded(ClassroomPass);\n")],
      "the loop ends before the pass's step once quit is chosen"),

    # The worksheet, saving, the status line.
    M("worksheet-moment-row-left-out", "app/worksheet.cpp",
      '            row(f.Day, "Moment des Bildes", true);\n            placed = true;', "            placed = true;",
      "the table leaves out the row of the picture's moment between two events"),
    M("worksheet-table-from-moment", "app/worksheet.cpp",
      "TheSky().Events.Of(body, std::min(day, f.Span.Before.Day), f.Span.After.Day);",
      "TheSky().Events.Of(body, day, f.Span.After.Day);",
      "the table starts at the moment: the conjunction before the loop left out"),
    M("worksheet-elongations-mercury-only", "app/worksheet.cpp",
      "if (Inner(f.Body) && f.East && f.West) tasks.push_back(ElongationTask(f));",
      "if (f.Body == Mercury && f.East && f.West) tasks.push_back(ElongationTask(f));",
      "Venus's sheet without the task on its greatest elongations"),
    M("worksheet-solution-without-questions", "app/worksheet.cpp",
      "    for (const SheetTask& question : Questions()) tasks.push_back(question);\n", "",
      "the solution sheet leaves out the answers to the information box's questions"),
    M("saving-stamp-keeps-colons", "app/saving.cpp",
      "else if (ch != ':') name += ch;", "else name += ch;",
      "file names keep the clock's colons (\"-16:49:00.html\"), which some systems refuse"),
    M("saving-solution-own-stamp", "app/saving.cpp",
      'StampedFileName("heliogeo-loesungsblatt", ".html", localTime)',
      'StampedFileName("heliogeo-loesungsblatt", ".html", LocalTimeText())',
      "the solution sheet stamped with the clock as it is saved, not with the worksheet's stamp"),
    M("saving-solution-after-failure", "app/saving.cpp",
      "if (sheet != SavedAs::Failed)\n            solution = SaveTextFile(SolutionSheetHtml",
      "if (sheet == SavedAs::Failed)\n            solution = SaveTextFile(SolutionSheetHtml",
      "the solution sheet saved only when the worksheet was not"),
    M("saving-paths-in-mode-6", "app/saving.cpp",
      "const bool paths = Settings.DrawMode == 5 || Settings.DrawMode == 7;",
      "const bool paths = Settings.DrawMode == 5 || Settings.DrawMode == 6;",
      "the worksheet takes the paths as drawn in DrawMode 6 (discs, polygon) instead of 7"),
    M("status-step-seven-digits", "app/status_line.cpp",
      "return GermanDecimalText(timeStep, 6);", "return GermanDecimalText(timeStep, 7);",
      "the time step to seven significant digits: \"0,1234568 d\""),
    M("status-first-end-unnamed", "app/status_line.cpp",
      "return day == span.First || day == span.Last;", "return day == span.Last;",
      "at 01.01.1600 the status line does not say why the clock stands"),
    M("status-end-reason-short", "app/status_line.cpp",
      '(full ? "angehalten: " : "")', '(full ? "" : "angehalten: ")',
      "at an end of the sky's span \"angehalten\" in the short line instead of the full one"),
    M("status-event-without-time", "app/status_line.cpp",
      "return sky.Texts.MomentText(e.Day, 0) + ", "return sky.Texts.MomentText(e.Day, 1) + ",
      "an event on the status line by its day alone: the real sky's time of it left out"),

    # The construction of a loop.
    M("construction-steps-by-time", "app/classroom.cpp",
      "    if (Classroom.Construction) {\n        const LoopConstruction& c",
      "    if (false) {\n        const LoopConstruction& c",
      "with the construction shown, → and ← are time steps, not from number to number"),
    M("construction-geo-from-moving-earth", "render/construction.cpp",
      "const double ex = helio ? cx + p.Ex[i] : cx, ey = helio ? cy + p.Ey[i] : cy;",
      "const double ex = cx + p.Ex[i], ey = cy + p.Ey[i];",
      "the geocentric view's construction lines start where the Earth stands in the heliocentric view"),
    M("construction-strip-all-numbers", "render/sky_strip.cpp",
      "for (int i = 0; i < c.Reached && i < static_cast<int>(c.X.size()); ++i) {",
      "for (int i = 0; i < static_cast<int>(c.X.size()); ++i) {",
      "the strip shows every number of the construction, not only those the clock has reached",
      "a number not reached lies after the clock, and the strip shows only the year before it"),
    M("construction-kept-on-system", "app/menu.cpp",
      "    // Another choice of system or of planets takes the construction away.\n    EndConstruction();\n",
      "",
      "a choice of system leaves the construction of a planet that may no longer be shown"),
    # The classroom controls.
    M("classroom-steps-by-arithmetic", "app/classroom.cpp",
      "    if (!visits.empty() && visits.back().TimeStep == dt) {",
      "    if (false) {",
      "single steps add or subtract the time step instead of returning to where the last step the other way began"),
    M("choices-no-redraw-while-paused", "app/choices.cpp",
      "    if (Classroom.Paused) Classroom.RedrawPending = true;", "",
      "a command that clears the views while paused leaves them empty"),
    M("classroom-first-step-key-steps", "app/classroom.cpp",
      "        Classroom.PendingSteps = 0;\n        return;\n", "        Classroom.PendingSteps = 0;\n",
      "the first step key while running pauses and steps at once"),
    M("events-back-in-one-step", "app/classroom.cpp",
      "if (day > Planets.SimTime || paths) {", "if (day > Planets.SimTime) {",
      "a jump back with paths drawn is one step: a chord across the orbits"),
    M("events-step-history-kept", "app/classroom.cpp",
      "    Classroom.Earlier.clear();\n    Classroom.Later.clear();\n", "    Classroom.Earlier.clear();\n",
      "after a jump back, → returns to where the jump started"),
    M("choices-jump-drops-keys", "app/choices.cpp",
      "        Queued = {true, source, item};\n", "        Queued = {};\n",
      "a key pressed during a jump is dropped"),
    M("shell-strip-over-views", "app/shell.cpp",
      "ReserveScreenBottom(Classroom.SkyStripOn ? SkyStripHeight() : 0);", "ReserveScreenBottom(0);",
      "the layout keeps no room for the sky strip: it lies over the views"),
    M("shell-paths-lost", "app/shell.cpp",
      "    DrawPathsAgain(from, to, now);\n", "    DrawPathsAgain(now, now, now);\n",
      "a new layout forgets the paths drawn so far"),
    M("strip-small-letters", "render/sky_strip.cpp",
      "Round(SmallestText * s.Ratio)", "Round(SmallestText)",
      "the strip's letters 9 device pixels on a sharp screen: too small to read"),
    M("keys-page-swap", "platform/qt/events.cpp",
      "case KeyName::PageDown: qt = Qt::Key_PageDown;", "case KeyName::PageDown: qt = Qt::Key_PageUp;",
      "PageDown chooses what PageUp does"),
    M("compositor-no-frame", "platform/web/compositor.cpp",
      "if (!frame.Empty()) Paint(r, frame, out, FrameColour);", "",
      "the page's windows have no line round them"),
    M("sightlines-geo-from-moving-earth", "render/sight_lines.cpp",
      "LinesFrom(Win_3, Layout.GeoCentreX, Layout.GeoCentreY,",
      "LinesFrom(Win_3, v.HelioScreenX[Earth], v.HelioScreenY[Earth],",
      "the geocentric view's lines start where the Earth stands in the heliocentric view"),
]


# ---------------------------------------------------------------------------
# Running commands

def on_terminate(signum, frame):  # SIGTERM: leave through the same clean-up as Ctrl-C
    raise KeyboardInterrupt


def stop_group(proc: subprocess.Popen) -> None:
    """Ends a command this script started, with everything it started."""
    for sig, wait in ((signal.SIGTERM, 5), (signal.SIGKILL, 5)):
        try:
            os.killpg(proc.pid, sig)
        except ProcessLookupError:
            return
        try:
            proc.wait(timeout=wait)
            return
        except subprocess.TimeoutExpired:
            continue


def run(cmd: list[str], log: Path, timeout: float | None = None) -> int | None:
    """Runs a command with its output appended to log. None: timed out."""
    with open(log, "ab") as out:
        out.write(("$ " + " ".join(cmd) + "\n").encode())
        out.flush()
        proc = subprocess.Popen(cmd, stdout=out, stderr=subprocess.STDOUT, start_new_session=True)
        try:
            return proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            stop_group(proc)
            out.write(f"\n*** timed out after {timeout:.0f} s\n".encode())
            return None
        except BaseException:
            stop_group(proc)
            raise


# ---------------------------------------------------------------------------
# The copy of the sources

def tracked_files() -> list[str]:
    out = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=ROOT, check=True,
                         capture_output=True).stdout.decode()
    return [f for f in out.split("\0") if f and (ROOT / f).is_file()]


def sync_copy() -> None:
    """Brings build-mutants/src in step with the work tree; files whose bytes
    are unchanged keep their time stamp, so the rebuild stays small."""
    for f in tracked_files():
        src, dst = ROOT / f, SRC / f
        data = src.read_bytes()
        if dst.is_file() and dst.read_bytes() == data:
            continue
        dst.parent.mkdir(parents=True, exist_ok=True)
        dst.write_bytes(data)
        shutil.copymode(src, dst)


def configure(log: Path) -> None:
    if (BUILD / "CMakeCache.txt").is_file():
        return
    cmd = ["cmake", "-S", str(SRC), "-B", str(BUILD), "-DCMAKE_BUILD_TYPE=Release", "-DHELIOGEO_BENCH=OFF"]
    if shutil.which("ninja"):
        cmd += ["-G", "Ninja"]
    if run(cmd, log) != 0:
        sys.exit(f"configuring {BUILD} failed; see {log}")


def build(jobs: int, log: Path) -> bool:
    return run(["cmake", "--build", str(BUILD), "-j", str(jobs)], log, timeout=1800) == 0


def run_tests(jobs: int, log: Path, stop_early: bool, timeout: float) -> tuple[bool, str]:
    """The fast tests, quick ones first. Returns (all passed, what failed)."""
    phases = [["-E", f"{EXCLUDED}|{SLOW}"], ["-R", SLOW, "-E", EXCLUDED]]
    start = log.stat().st_size if log.exists() else 0
    passed = True
    for phase in phases:
        cmd = ["ctest", "--test-dir", str(BUILD), "-j", str(jobs), "--output-on-failure", "--no-tests=error", *phase]
        if stop_early:
            cmd.append("--stop-on-failure")
        rc = run(cmd, log, timeout=timeout)
        if rc != 0:
            passed = False
            if rc is None:
                break
            if stop_early:
                break
    text = log.read_bytes()[start:].decode(errors="replace")
    return passed, failures(text)


def failures(text: str) -> str:
    """Which tests failed, and in which test functions."""
    tests = re.findall(r"^\s*\d+ - (\S+) \(([^)]*)\)", text.split("The following tests FAILED:")[-1], re.M) \
        if "The following tests FAILED:" in text else []
    functions = []
    for m in re.finditer(r"^FAIL!\s*:\s*(\S+?\(.*?\))\s", text, re.M):
        if m.group(1) not in functions:
            functions.append(m.group(1))
    parts = []
    for name, why in tests:
        parts.append(name + ("" if why == "Failed" else f" [{why}]"))
    if "*** timed out" in text:
        parts.append("[timeout]")
    by = ", ".join(parts)
    if functions:
        by += ": " + "; ".join(functions[:3]) + (" …" if len(functions) > 3 else "")
    return by


# ---------------------------------------------------------------------------
# Mutants

def check(m: Mutant, base: Path) -> str | None:
    """None if every edit's text is found exactly once, else what is wrong."""
    path = base / m.file
    if not path.is_file():
        return f"{m.file} does not exist"
    text = path.read_text()
    for original, _ in m.edits:
        n = text.count(original)
        if n != 1:
            return f"text found {n} times in {m.file}: {original.splitlines()[0]!r}"
        text = text.replace(original, "\0" * len(original), 1)  # edits must not overlap
    return None


def mutated(m: Mutant, text: str) -> str:
    for original, replacement in m.edits:
        text = text.replace(original, replacement, 1)
    return text


def try_mutant(m: Mutant, jobs: int, stop_early: bool, timeout: float) -> None:
    log = LOGS / f"{m.name}.log"
    log.unlink(missing_ok=True)
    problem = check(m, ROOT)
    if problem:
        m.result, m.by = "stale", problem
        return
    path = SRC / m.file
    original = (ROOT / m.file).read_bytes()
    if path.read_bytes() != original:
        raise SystemExit(f"{path} differs from the work tree's copy; run again to resync")
    try:
        path.write_text(mutated(m, original.decode()))
        if not build(jobs, log):
            m.result, m.by = "invalid", "does not compile"
            return
        passed, by = run_tests(jobs, log, stop_early, timeout)
        if passed:
            m.result = "equivalent" if m.equivalent else "SURVIVED"
            m.by = m.equivalent or ""
        else:
            m.result = "killed" if not m.equivalent else "killed (marked equivalent!)"
            m.by = by
    finally:
        path.write_bytes(original)
        if path.read_bytes() != original:
            raise SystemExit(f"could not restore {path}")


def select(names: list[str]) -> list[Mutant]:
    if not names:
        return MUTANTS
    patterns = [p for n in names for p in n.split(",") if p]
    chosen = [m for m in MUTANTS if any(fnmatch.fnmatchcase(m.name, p) for p in patterns)]
    unknown = [p for p in patterns if not any(fnmatch.fnmatchcase(m.name, p) for m in MUTANTS)]
    if unknown:
        sys.exit("no mutant called " + ", ".join(unknown) + " (see --list)")
    return chosen


def report(mutants: list[Mutant], seconds: float, command: str) -> str:
    lines = [f"# Mutation run: {command}", "",
             f"Wall time {seconds / 60:.1f} min for {len(mutants)} mutants.", "",
             "| mutant | file | change | result | killed by / why equivalent |", "|---|---|---|---|---|"]
    for m in mutants:
        lines.append(f"| {m.name} | {m.file} | {m.what} | {m.result} | {m.by} |")
    counts: dict[str, int] = {}
    for m in mutants:
        counts[m.result] = counts.get(m.result, 0) + 1
    lines += ["", ", ".join(f"{n} {r}" for r, n in sorted(counts.items()))]
    return "\n".join(lines) + "\n"


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0],
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--list", action="store_true", help="show the mutants and whether each still applies")
    parser.add_argument("--only", action="append", default=[], metavar="NAME",
                        help="run only these mutants (comma-separated, shell patterns allowed; may repeat)")
    parser.add_argument("-j", "--jobs", type=int, default=2, help="build and test jobs (default 2)")
    parser.add_argument("--no-baseline", action="store_true", help="skip the run of the unchanged sources")
    parser.add_argument("--all-tests", action="store_true",
                        help="run every fast test for each mutant instead of stopping at the first failure")
    parser.add_argument("--timeout", type=float, default=600, help="seconds for one ctest run (default 600)")
    args = parser.parse_args()

    chosen = select(args.only)
    if args.list:
        for m in chosen:
            problem = check(m, ROOT)
            tag = "STALE: " + problem if problem else ("equivalent: " + m.equivalent if m.equivalent else "")
            print(f"{m.name:34} {m.file:26} {m.what}" + (f"\n{'':34} {tag}" if tag else ""))
        print(f"{len(chosen)} mutants")
        return 0

    signal.signal(signal.SIGTERM, on_terminate)
    LOGS.mkdir(parents=True, exist_ok=True)
    started = time.monotonic()
    command = " ".join(["tools/mutants.py", *sys.argv[1:]])
    try:
        sync_copy()
        setup_log = LOGS / "_baseline.log"
        setup_log.unlink(missing_ok=True)
        configure(setup_log)
        if not build(args.jobs, setup_log):
            sys.exit(f"the unchanged sources do not build; see {setup_log}")
        if not args.no_baseline:
            passed, by = run_tests(args.jobs, setup_log, False, args.timeout)
            if not passed:
                sys.exit(f"the unchanged sources fail their tests ({by}); see {setup_log}")
            print(f"baseline: every fast test passes ({time.monotonic() - started:.0f} s)", flush=True)
        for i, m in enumerate(chosen, 1):
            t0 = time.monotonic()
            try_mutant(m, args.jobs, not args.all_tests, args.timeout)
            m.seconds = time.monotonic() - t0
            print(f"[{i}/{len(chosen)}] {m.name:34} {m.result:10} {m.by}  ({m.seconds:.0f} s)", flush=True)
    except KeyboardInterrupt:
        print("\ninterrupted; the copy of the sources is back as it was", file=sys.stderr)
        return 130
    finally:
        # Whatever happened, no mutated file stays in the copy.
        for m in chosen:
            if (SRC / m.file).is_file() and (ROOT / m.file).is_file() and \
                    (SRC / m.file).read_bytes() != (ROOT / m.file).read_bytes():
                (SRC / m.file).write_bytes((ROOT / m.file).read_bytes())
    seconds = time.monotonic() - started
    text = report(chosen, seconds, command)
    (WORK / "report.md").write_text(text)
    print(text)
    survivors = [m for m in chosen if m.result in ("SURVIVED", "invalid", "stale", "killed (marked equivalent!)")]
    return 1 if survivors else 0


if __name__ == "__main__":
    sys.exit(main())
