// test_model.cpp — the design grid, the planet table and the clock, checked
// against figures worked out by hand and against astronomy. No window needed.
#include "model/decimal.h"
#include "model/layout.h"
#include "model/planets.h"
#include "model/state.h"
#include "model/text_items.h"
#include "tolerances.h"

#include <QtTest>

#include <cmath>
#include <cstring>

namespace {

// The model as start-up leaves it on a screen of the given size.
void StartModel(int width, int height) {
    ResetModelState();
    Planets.FlattenFactor = 0.82;
    SetScreenSize(width, height);
    InitModel();
}


}  // namespace

class TestModel : public QObject {
    Q_OBJECT

private slots:
    void layout_data();
    void layout();
    void inputWindowWidthNeverBelow314();
    void startValues();
    void radiiAt1024x768();
    void firstStep();
    void newTimeStepChangesSpeedNotPlace();
    void positionsDependOnSimTimeOnly();
    void geocentricEarthStaysAtCentre();
    void geocentricSunIsEarthMirrored();
    void geocentricShiftIsTheSameForEveryBody();
    void marsTurnsBackOncePerSynodicPeriod();
    void textItems();
    void decimalTextBothWays();
};

void TestModel::layout_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("helioLeft");
    QTest::addColumn<int>("geoLeft");
    QTest::addColumn<int>("viewTop");
    QTest::addColumn<int>("viewWidth");
    QTest::addColumn<int>("viewHeight");
    QTest::addColumn<int>("centreX");
    QTest::addColumn<int>("centreY");
    QTest::addColumn<int>("discX");
    QTest::addColumn<int>("discY");
    QTest::addColumn<int>("inputBase");
    // Worked out from the grid formulas: n * size / grid, truncated.
    QTest::newRow("1024x768") << 1024 << 768 << 16 << 515 << 65 << 492 << 691 << 256 << 334 << 19 << 19 << 505;
    QTest::newRow("800x600") << 800 << 600 << 12 << 402 << 52 << 385 << 544 << 200 << 261 << 15 << 15 << 395;
    // Below about 500 pixels high the caption allowances, 19 pixels twice,
    // would take the views past the foot (the formula's top: 37, 26, 23).
    QTest::newRow("600x400") << 600 << 400 << 9 << 301 << 31 << 288 << 369 << 150 << 174 << 11 << 10 << 314;
    QTest::newRow("320x200") << 320 << 200 << 5 << 161 << 6 << 154 << 194 << 80 << 87 << 6 << 5 << 314;
    // Window 1 no wider than the screen.
    QTest::newRow("200x150") << 200 << 150 << 3 << 100 << 0 << 96 << 150 << 50 << 65 << 3 << 3 << 200;
    QTest::newRow("1920x1080") << 1920 << 1080 << 30 << 966 << 100 << 924 << 964 << 480 << 469 << 36 << 26 << 948;
    // From about 1 500 pixels high the formula's top (299 here, 1055 below)
    // would take the views past the foot: they end at it instead.
    QTest::newRow("3840x2160") << 3840 << 2160 << 60 << 1932 << 251 << 1848 << 1909 << 960 << 939 << 72 << 52
                               << 1896;
    // 158 * 7680 and 317 * 7680 are far beyond 16 bits.
    QTest::newRow("7680x4320") << 7680 << 4320 << 120 << 3864 << 521 << 3696 << 3799 << 1920 << 1879 << 144 << 106
                               << 3792;
}

void TestModel::layout() {
    QFETCH(int, width);
    QFETCH(int, height);
    StartModel(width, height);
    QTEST(static_cast<int>(Layout.HelioWinLeft), "helioLeft");
    QTEST(static_cast<int>(Layout.GeoWinLeft), "geoLeft");
    QTEST(ViewWinTop(Layout.HelioWinTopBase), "viewTop");
    QTEST(ViewWinTop(Layout.GeoWinTopBase), "viewTop");
    QTEST(Layout.ViewWinWidthInt, "viewWidth");
    QTEST(static_cast<int>(Layout.ViewWinWidth), "viewWidth");
    QTEST(static_cast<int>(Layout.ViewWinHeight), "viewHeight");
    QTEST(static_cast<int>(Layout.HelioCentreX), "centreX");
    QTEST(static_cast<int>(Layout.HelioCentreY), "centreY");
    QTEST(static_cast<int>(Layout.GeoCentreX), "centreX");
    QTEST(static_cast<int>(Layout.GeoCentreY), "centreY");
    QTEST(static_cast<int>(Layout.DiscRadiusX), "discX");
    QTEST(static_cast<int>(Layout.DiscRadiusY), "discY");
    QTEST(static_cast<int>(Layout.InputWinWidthBase), "inputBase");
    // The rest of the grid, straight from the formula.
    QCOMPARE(ScaleX(317), static_cast<int32_t>(317LL * width / 320));
    QCOMPARE(ScaleY(199), static_cast<int32_t>(199LL * height / 200));
    QCOMPARE(Layout.ScaleXFactor, width / 320.0);
    QCOMPARE(Layout.ScaleYFactor, height / 200.0);
}

void TestModel::inputWindowWidthNeverBelow314() {
    // ScaleX(158) is 314 at 636 pixels and 313 just below.
    StartModel(636, 480);
    QCOMPARE(static_cast<int>(Layout.InputWinWidthBase), 314);
    StartModel(637, 480);
    QCOMPARE(static_cast<int>(Layout.InputWinWidthBase), 314);
    StartModel(640, 480);
    QCOMPARE(static_cast<int>(Layout.InputWinWidthBase), 316);
    StartModel(635, 480);
    QCOMPARE(static_cast<int>(Layout.InputWinWidthBase), 314);
}

void TestModel::startValues() {
    StartModel(1024, 768);
    QCOMPARE(Settings.SystemMode, 0.0);
    QCOMPARE(Settings.DrawMode, 6);
    QCOMPARE(Settings.PolygonOn, -1.0);
    QCOMPARE(Settings.TimeStep, 0.5);
    for (int i = 0; i <= 6; ++i) QCOMPARE(Settings.PlanetOn[i], int16_t(1));
    QCOMPARE(Planets.SimTime, 0.0);
    QCOMPARE(Layout.CaptionAllowance, int16_t(19));
    // Every planet starts at angle 0, right of the Sun; the Sun at the origin.
    for (int i = Earth; i <= Jupiter; ++i) {
        QCOMPARE(Planets.PrevX[i], Planets.RadiusX[i]);
        QCOMPARE(Planets.PrevY[i], 0.0);
    }
    QCOMPARE(Planets.PrevX[Sun], 0.0);
    // Omega is 6.28312 / T, not 2π / T.
    QCOMPARE(Planets.Omega[Earth], 6.28312 / 365);
    QCOMPARE(Planets.Omega[Mars], 6.28312 / 667);
    QVERIFY(std::abs(Planets.Omega[Mercury] - 0.0705969) < HandRounding);  // radians a day
}

void TestModel::radiiAt1024x768() {
    StartModel(1024, 768);
    const double radiusX[] = {0, 192, 73, 134, 256, 352};
    const double radiusY[] = {0, 188.6, 72.16, 132.02, 251.74, 346.04};
    for (int i = Earth; i <= Jupiter; ++i) {
        QCOMPARE(Planets.RadiusX[i], radiusX[i]);
        QVERIFY2(std::abs(Planets.RadiusY[i] - radiusY[i]) < PixelTolerance, qPrintable(QString::number(i)));
    }
}

void TestModel::firstStep() {
    StartModel(1024, 768);
    AdvanceModel();
    QCOMPARE(Planets.SimTime, 0.5);
    // The Earth turns by 0.5 * 6.28312 / 365 = 0.0086070 rad.
    double phi = 0.5 * 6.28312 / 365;
    QVERIFY(std::abs(phi - 0.0086070) < HandRounding);
    QVERIFY(std::abs(Planets.PosX[Earth] / Planets.RadiusX[Earth] - 0.9999630) < HandRounding);
    QVERIFY(std::abs(Planets.PosY[Earth] / Planets.RadiusY[Earth] - 0.0086069) < HandRounding);
    // Clockwise on screen: y grows downward, so the first step goes down.
    for (int i = Earth; i <= Jupiter; ++i) QVERIFY(Planets.PosY[i] > 0);
    QCOMPARE(Planets.PosX[Sun], 0.0);
    QCOMPARE(Planets.PosY[Sun], 0.0);
    // The old positions are untouched until the step is done.
    QCOMPARE(Planets.PrevX[Earth], 192.0);
    KeepPositions();
    QCOMPARE(Planets.PrevX[Earth], Planets.PosX[Earth]);
    QCOMPARE(Planets.PrevY[Jupiter], Planets.PosY[Jupiter]);
}

void TestModel::newTimeStepChangesSpeedNotPlace() {
    StartModel(1024, 768);
    for (int n = 0; n < 100; ++n) {
        AdvanceModel();
        KeepPositions();
    }
    double x = Planets.PosX[Mercury], y = Planets.PosY[Mercury];
    double stepAt05 = Planets.Omega[Mercury] * 0.5;
    Settings.TimeStep = 0.2;
    AdvanceModel();
    // No jump: the new angle is one small step on from the old one…
    double moved = std::hypot(Planets.PosX[Mercury] - x, Planets.PosY[Mercury] - y);
    double arc = Planets.RadiusX[Mercury] * Planets.Omega[Mercury] * 0.2;
    QVERIFY2(moved < 1.01 * arc, qPrintable(QString("moved %1, one step %2").arg(moved).arg(arc)));
    // …and 2.5 times smaller than before.
    QVERIFY(std::abs(Planets.Omega[Mercury] * 0.2 * 2.5 - stepAt05) < 1e-15);
}

void TestModel::positionsDependOnSimTimeOnly() {
    // 1000 steps of 0.5 days and 250 of 2 days reach the same place.
    StartModel(1024, 768);
    for (int n = 0; n < 1000; ++n) AdvanceModel();
    double x = Planets.PosX[Venus], y = Planets.PosY[Venus];
    StartModel(1024, 768);
    Settings.TimeStep = 2;
    for (int n = 0; n < 250; ++n) AdvanceModel();
    QCOMPARE(Planets.SimTime, 500.0);
    QVERIFY(std::abs(Planets.PosX[Venus] - x) < PixelTolerance);
    QVERIFY(std::abs(Planets.PosY[Venus] - y) < PixelTolerance);
}

void TestModel::geocentricEarthStaysAtCentre() {
    StartModel(1024, 768);
    for (int n = 0; n < 2000; ++n) {
        AdvanceModel();
        TransformGeo();
        QCOMPARE(Views.GeoScreenX[Earth], Layout.GeoCentreX);
        QCOMPARE(Views.GeoScreenY[Earth], double(Layout.GeoCentreY));
        QCOMPARE(Views.GeoPrevScreenX[Earth], Layout.GeoCentreX);
        KeepPositions();
    }
}

void TestModel::geocentricSunIsEarthMirrored() {
    StartModel(1024, 768);
    for (int n = 0; n < 1000; ++n) {
        AdvanceModel();
        MapHelio();
        TransformGeo();
        // The Earth seen from the Sun, turned half a turn: on the Earth's orbit.
        double ex = Views.HelioScreenX[Earth] - Layout.HelioCentreX;
        double ey = Views.HelioScreenY[Earth] - Layout.HelioCentreY;
        QVERIFY(std::abs(Views.GeoScreenX[Sun] - (Layout.GeoCentreX - ex)) < PixelTolerance);
        QVERIFY(std::abs(Views.GeoScreenY[Sun] - (Layout.GeoCentreY - ey)) < PixelTolerance);
        double u = (Views.GeoScreenX[Sun] - Layout.GeoCentreX) / Planets.RadiusX[Earth];
        double v = (Views.GeoScreenY[Sun] - Layout.GeoCentreY) / Planets.RadiusY[Earth];
        QVERIFY(std::abs(u * u + v * v - 1) < PixelTolerance / Planets.RadiusX[Earth]);  // on the Earth's orbit
        KeepPositions();
    }
}

void TestModel::geocentricShiftIsTheSameForEveryBody() {
    // A pure change of origin: every body moves by the same vector between the views.
    StartModel(1024, 768);
    for (int n = 0; n < 500; ++n) {
        AdvanceModel();
        MapHelio();
        TransformGeo();
        double dx = Views.GeoScreenX[Earth] - Views.HelioScreenX[Earth];
        double dy = Views.GeoScreenY[Earth] - Views.HelioScreenY[Earth];
        for (int i = Mercury; i <= Jupiter; ++i) {
            QVERIFY(std::abs(Views.GeoScreenX[i] - Views.HelioScreenX[i] - dx) < PixelTolerance);
            QVERIFY(std::abs(Views.GeoScreenY[i] - Views.HelioScreenY[i] - dy) < PixelTolerance);
            QVERIFY(std::abs(Views.GeoPrevScreenX[i] - Views.HelioPrevScreenX[i] -
                             (Views.GeoPrevScreenX[Earth] - Views.HelioPrevScreenX[Earth])) < PixelTolerance);
        }
        // The Sun too: it stands at the heliocentric centre.
        QVERIFY(std::abs(Views.GeoScreenX[Sun] - Layout.HelioCentreX - dx) < PixelTolerance);
        KeepPositions();
    }
}

void TestModel::marsTurnsBackOncePerSynodicPeriod() {
    // Seen from the Earth, Mars's direction turns backwards (retrograde) once
    // per synodic period: 1/S = 1/365 - 1/667 per day (with this program's
    // periods), so S = 806 days. Over 4 synodic periods 4 new loops begin,
    // each one synodic period after the last.
    StartModel(1024, 768);
    Settings.TimeStep = 0.5;
    const double synodic = 1 / (1.0 / 365 - 1.0 / 667);
    QVERIFY(std::abs(synodic - 806.2) < 0.1);
    double previousAngle = 0;
    // At time 0 all bodies are in line: Mars stands in opposition, in the
    // middle of a loop, already moving backwards.
    bool wasRetrograde = true;
    int loops = 0;
    QList<double> starts;
    const int steps = static_cast<int>(4 * synodic / 0.5);
    for (int n = 0; n < steps; ++n) {
        AdvanceModel();
        TransformGeo();
        double angle = std::atan2(Views.GeoScreenY[Mars] - Layout.GeoCentreY, Views.GeoScreenX[Mars] - Layout.GeoCentreX);
        if (n > 0) {
            double turn = std::remainder(angle - previousAngle, 2 * M_PI);
            bool retrograde = turn < 0;  // counter-clockwise on screen: backwards
            if (n == 1) QVERIFY(retrograde);
            if (retrograde && !wasRetrograde) {
                ++loops;
                starts.append(Planets.SimTime);
            }
            wasRetrograde = retrograde;
        }
        previousAngle = angle;
        KeepPositions();
    }
    QCOMPARE(loops, 4);
    for (int i = 1; i < starts.size(); ++i)
        QVERIFY2(std::abs(starts[i] - starts[i - 1] - synodic) < 5, qPrintable(QString::number(starts[i] - starts[i - 1])));
}

void TestModel::textItems() {
    RestoreTextItems(PlanetNumbersItem);
    QCOMPARE(QString::fromStdString(ReadTextItem()), QString("365"));
    RestoreTextItems(PlanetNumbersItem + 5);
    QCOMPARE(ReadNumberItem(), 60.0);
    RestoreTextItems(MenuTextsItem);
    QCOMPARE(QString::fromStdString(ReadTextItem()), QString("DESK |"));
    QCOMPARE(QString::fromStdString(ReadTextItem()), QString("&Quit"));
    // Read on to the end: the list ends with "ende", then nothing.
    std::string item, last;
    for (int n = 0; n < 100; ++n) {
        item = ReadTextItem();
        if (item.empty() && last == "ende") break;
        last = item;
    }
    QCOMPARE(QString::fromStdString(last), QString("ende"));
}

// The browser's edition writes numbers with the C library, the desktop with
// the C++ one: the same text either way, for typical time steps and for
// numbers of every size.
void TestModel::decimalTextBothWays() {
    std::vector<double> values = {10, 0.5, 0.2, 19.999999999999996, 0.001, 1e-5, 1e22, 123456789, -2.5, 0};
    uint64_t bits = 0x9E3779B97F4A7C15;
    for (int i = 0; i < 20000; ++i) {
        bits ^= bits << 13, bits ^= bits >> 7, bits ^= bits << 17;
        double v = 0;
        std::memcpy(&v, &bits, sizeof v);
        if (std::isfinite(v)) values.push_back(v);
        values.push_back(static_cast<double>(bits % 200000) / 1000);  // 0 to 200 in thousandths
    }
    for (double v : values) QCOMPARE(DecimalTextC(v), DecimalText(v));
    QCOMPARE(DecimalTextC(10), std::string("10"));
}

QTEST_APPLESS_MAIN(TestModel)
#include "test_model.moc"
