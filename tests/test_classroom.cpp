// test_classroom.cpp — the EXTRAS menu: pausing, single steps, lines of
// sight, the saved picture and the status line, on an offscreen 1024 x 768
// screen.
#include "app/choices.h"
#include "app/classroom.h"
#include "app/main_loop.h"
#include "app/sky_switch.h"
#include "model/calendar.h"
#include "model/decimal.h"
#include "ui_support.h"
#include "tolerances.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

#include <cmath>

using namespace test_support;
using namespace ui_test;

namespace {

// Both views drawn, the planets only, a few steps taken.
void Animating(double timeStep = 0.5, int steps = 40) {
    Settings.SystemMode = 3;
    Settings.DrawMode = 6;
    Settings.TimeStep = timeStep;
    for (int i = 0; i < steps; ++i) ClassroomPass();
}

// The lines a window shows over its pixels, as the platform keeps them.
const std::vector<OverlayLine>& LinesOf(int n) {
    return platform_internal::S().windows[n].overlay;
}

struct Picture {
    std::array<double, 21> x, y;
    QImage helio, geo;
    std::vector<OverlayLine> over2, over3;
    bool operator==(const Picture& o) const {
        return x == o.x && y == o.y && helio == o.helio && geo == o.geo && over2 == o.over2 && over3 == o.over3;
    }
};

Picture Now() {
    return {Planets.PosX, Planets.PosY, Shot(Win_2), Shot(Win_3), LinesOf(Win_2), LinesOf(Win_3)};
}

QAction* CommandAction(int item) {
    const auto& commands = platform_internal::Q().commands;
    return item < static_cast<int>(commands.size()) ? commands[item] : nullptr;
}

// A picture folder of the tests' own, as the desktop names it.
QString PictureFolder(const QTemporaryDir& home, const QString& name) {
    QFile dirs(home.filePath("user-dirs.dirs"));
    if (dirs.open(QIODevice::WriteOnly)) dirs.write(("XDG_PICTURES_DIR=\"" + home.filePath(name) + "\"\n").toUtf8());
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    return home.filePath(name);
}

}  // namespace

class TestClassroom : public QObject {
    Q_OBJECT

private slots:
    void init() { SetUpLikeStartUp(); }
    void cleanup() { platform_internal::Q().pictureDisk = nullptr, PlatformEnd(); }

    // The sixth to eighth menus, their keys, and the keys' silence while a
    // line is read.
    void theExtrasMenuAndItsKeys() {
        const QStringList texts = {"&Anhalten / Weiter\tLeertaste", "Schritt &vor\t\u2192", "Schritt &zurück\t\u2190",
                                   "&Sichtlinien ein/aus\tS", "&Konstruktion ein/aus\tK", "&Bild speichern\tStrg+S", "&Arbeitsblatt speichern\tA",
                                   "&Nächstes Ereignis\tBild\u2193", "&Voriges Ereignis\tBild\u2191",
                                   "&Himmelsstreifen ein/aus\tH", "&Ereignisliste\tL", "Ereignisliste &speichern",
                                   "&Modell\tM", "&Echter Himmel\tE", "&Jetzt\tJ", "&Datum \u2026\tD"};
        const auto titles = platform_internal::MenuBarWidget()->actions();
        QCOMPARE(titles[titles.size() - 3]->text(), QString("EXTRAS |"));
        QCOMPARE(titles[titles.size() - 2]->text(), QString("EREIGNISSE |"));
        QCOMPARE(titles.last()->text(), QString("HIMMEL |"));
        for (int i = 0; i < texts.size(); ++i) QCOMPARE(CommandAction(i)->text(), texts[i]);
        // The keys as they reach window 0 (the arrows from the keypad too).
        KeyInto(Win_0, Qt::Key_Space);
        QVERIFY(Classroom.Paused);
        QVERIFY(platform_internal::StatusWidget()->text().endsWith("angehalten"));
        QTest::keyClick(platform_internal::CanvasOf(Win_0), Qt::Key_Right, Qt::KeypadModifier);
        KeyInto(Win_0, Qt::Key_Right);
        KeyInto(Win_0, Qt::Key_Left);
        QCOMPARE(Classroom.PendingSteps, 1);
        KeyInto(Win_0, Qt::Key_S);
        QVERIFY(Classroom.SightLinesOn);
        QVERIFY(platform_internal::S().keys.empty());  // none of them is typed input

        // While the time-step dialog reads its line, the commands rest.
        bool restingWhileTyping = false;
        User user;
        user.Lines = {"2"};
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            if (IsWindowOpen(Win_1)) restingWhileTyping = !CommandAction(PauseResume)->isEnabled();
        });
        probe.start(1);
        int32_t item = 27;  // "&Zeitschritt"
        Win_0_MenuEvent(item);
        QVERIFY(restingWhileTyping);
        QVERIFY(CommandAction(PauseResume)->isEnabled());
    }

    // Paused, no pass moves the clock or a pixel, and the main loop sleeps.
    void pausingFreezesTheClock() {
        Animating();
        CommandChoice(PauseResume);
        const double t = Planets.SimTime;
        const Picture before = Now();
        for (int i = 0; i < 1000; ++i) ClassroomPass();
        QCOMPARE(Planets.SimTime, t);
        QVERIFY(Now() == before);
        QVERIFY(ClassroomWaitsForEvents());

        // The real loop, paused for half a second at 60 passes a second.
        QTimer::singleShot(500, [] { QuitCommand(); });
        RunMainLoop(LoopOptions{});
        QCOMPARE(Planets.SimTime, t);
        Shell.EndMarker.clear();
        CommandChoice(PauseResume);
        ClassroomPass();
        QCOMPARE(Planets.SimTime, t + Settings.TimeStep);
    }

    void stepsBackAndForthLandExactly_data() {
        QTest::addColumn<double>("runningStep");  // the time step while the animation ran
        QTest::addColumn<double>("timeStep");     // the one stepped with
        QTest::addColumn<int>("steps");
        QTest::addColumn<bool>("construction");  // Mars's, from its number 4: number to number
        QTest::newRow("0.5 d, 3 steps") << 0.5 << 0.5 << 3 << false;
        QTest::newRow("0.2 d, 7 steps") << 0.2 << 0.2 << 7 << false;
        // Where adding and subtracting 4.4 d again misses the start by a bit.
        QTest::newRow("4.4 d typed after 0.2 d, 7 steps") << 0.2 << 4.4 << 7 << false;
        QTest::newRow("construction, 3 numbers") << 0.5 << 0.5 << 3 << true;
    }
    void stepsBackAndForthLandExactly() {
        QFETCH(double, runningStep);
        QFETCH(double, timeStep);
        QFETCH(int, steps);
        QFETCH(bool, construction);
        Animating(runningStep, 57);
        Settings.TimeStep = timeStep;
        // The first step key stops the animation and takes no step.
        double t0 = Planets.SimTime;
        CommandChoice(StepForward);
        QVERIFY(Classroom.Paused);
        ClassroomPass();
        QCOMPARE(Planets.SimTime, t0);
        if (construction) {
            ChooseFromTheBar(18);  // "&nur Erde-Sonne"
            ChooseFromTheBar(21);  // "M&ars ein/aus"
            CommandChoice(ConstructionCommand);
            while (NumbersReached(*Classroom.Construction, Planets.SimTime) != 4)
                CommandChoice(NumbersReached(*Classroom.Construction, Planets.SimTime) > 4 ? StepBack : StepForward),
                    ClassroomPass();
            t0 = Planets.SimTime;
            QCOMPARE(t0, Classroom.Construction->Moments[3]);
        }

        const Picture start = Now();
        auto step = [steps](int item) {
            for (int i = 0; i < steps; ++i) {
                CommandChoice(item);
                ClassroomPass();
            }
        };
        step(StepForward);
        const Picture ahead = Now();
        QVERIFY(!(ahead == start));
        if (construction) QCOMPARE(Planets.SimTime, Classroom.Construction->Moments[3 + steps]);
        step(StepBack);
        QVERIFY(Now() == start);
        step(StepForward);
        QVERIFY(Now() == ahead);
        step(StepBack);
        // Back past where the pause began, and forward again.
        step(StepBack);
        QVERIFY(!(Now() == start));
        step(StepForward);
        QVERIFY(Now() == start);
        QVERIFY(Planets.SimTime == t0);
    }

    // A command that clears the views while paused draws the state again at once.
    void aClearingCommandWhilePausedDrawsTheStateAgain_data() {
        QTest::addColumn<int>("item");
        QTest::newRow("&Beide") << 9;
        QTest::newRow("nur &Planeten") << 12;
        QTest::newRow("Planten &und Bahnen") << 14;
        QTest::newRow("&Merkur ein/aus") << 19;
        QTest::newRow("Bildschirm &löschen") << 25;
    }
    void aClearingCommandWhilePausedDrawsTheStateAgain() {
        QFETCH(int, item);
        Animating();
        CommandChoice(PauseResume);
        const double t = Planets.SimTime;
        ChooseFromTheBar(item);
        ClassroomPass();
        QCOMPARE(Planets.SimTime, t);
        for (int n : {Win_2, Win_3}) QVERIFY2(!AllOneColour(n, Azure), "a view left empty");
        QVERIFY(ClassroomWaitsForEvents());
    }

    // The lines of sight: parallel in the two views, over the pixels and not in them.
    void linesOfSightAreParallelAndLeaveThePixelsAlone() {
        Animating(0.5, 310);
        const Picture without = Now();
        PlatformEnd();
        SetUpLikeStartUp();
        Animating(0.5, 10);
        CommandChoice(SightLines);
        for (int i = 0; i < 300; ++i) {
            ClassroomPass();
            const auto& helio = LinesOf(Win_2);
            const auto& geo = LinesOf(Win_3);
            QCOMPARE(helio.size(), geo.size());
            QCOMPARE(helio.size(), std::size_t(8));  // four planets, a line and a mark each
            for (std::size_t k = 0; k < helio.size(); k += 2) {
                // From the moving Earth in window 2, from the fixed one in window 3.
                QCOMPARE(QPointF(helio[k].X1, helio[k].Y1), QPointF(Views.HelioScreenX[Earth], Views.HelioScreenY[Earth]));
                QCOMPARE(QPointF(geo[k].X1, geo[k].Y1), QPointF(Layout.GeoCentreX, Layout.GeoCentreY));
                const double a = std::atan2(helio[k].Y2 - helio[k].Y1, helio[k].X2 - helio[k].X1);
                const double b = std::atan2(geo[k].Y2 - geo[k].Y1, geo[k].X2 - geo[k].X1);
                QVERIFY2(std::abs(std::remainder(a - b, 2 * M_PI)) < AngleTolerance, "a planet's two lines are parallel");
                QCOMPARE(helio[k].Colour, geo[k].Colour);
            }
        }
        // The same steps without the lines left the same retained pixels.
        const Picture with = Now();
        QVERIFY(with.x == without.x);
        QVERIFY(with.helio == without.helio);
        QVERIFY(with.geo == without.geo);

        // The shown pixels hold the lines: Mercury's green runs from the Earth.
        Image shown;
        CaptureShownWindow(Win_3, shown);
        const OverlayLine& mercury = LinesOf(Win_3)[0];
        QCOMPARE(mercury.Colour, static_cast<uint32_t>(Colours.ColGreen));
        const double x = mercury.X1 + 0.9 * (mercury.X2 - mercury.X1), y = mercury.Y1 + 0.9 * (mercury.Y2 - mercury.Y1);
        QCOMPARE(ImagePixel(shown, static_cast<int>(x), static_cast<int>(y)), mercury.Colour);
        QCOMPARE(Pixel(Win_3, static_cast<int>(x), static_cast<int>(y)), Azure);
    }

    // Mars seen from the Earth: the mark of its line of sight runs back while
    // the Earth overtakes it (day 0 is an opposition, so it starts running
    // back), turns forward, and at the next opposition runs back once more.
    // HELIOGEO_PICTURE=file.png saves the picture in the middle of that loop
    // (the README's).
    void marsRunsBackWhileTheEarthOvertakesIt() {
        ChooseFromTheBar(9);   // "&Beide"
        ChooseFromTheBar(14);  // "Planten &und Bahnen"
        ChooseFromTheBar(18);  // "&nur Erde-Sonne"
        ChooseFromTheBar(21);  // "M&ars ein/aus"
        Settings.TimeStep = 2;
        CommandChoice(SightLines);
        const double synodic = 2 * M_PI / (Planets.Omega[Earth] - Planets.Omega[Mars]);
        const int steps = static_cast<int>((synodic + 60) / Settings.TimeStep);
        std::vector<double> turns;  // the days on which the mark turns
        double last = 0, lastMove = 0;
        for (int i = 0; i < steps; ++i) {
            ClassroomPass();
            QCOMPARE(LinesOf(Win_3).size(), std::size_t(2));  // Mars alone: its line and its mark
            const OverlayLine& line = LinesOf(Win_3)[0];
            const double angle = std::atan2(line.Y2 - line.Y1, line.X2 - line.X1);
            if (i > 0) {
                const double move = std::remainder(angle - last, 2 * M_PI);
                // The mark stood still between this step's move and the last one's.
                if (i > 1 && (move > 0) != (lastMove > 0)) turns.push_back(Planets.SimTime - Settings.TimeStep);
                lastMove = move;
            }
            last = angle;
            const QByteArray picture = qgetenv("HELIOGEO_PICTURE");
            if (!picture.isEmpty() && std::abs(Planets.SimTime - (synodic + 20)) < Settings.TimeStep / 2) {
                Image composed;
                ComposePicture(composed);
                QVERIFY(QImage(reinterpret_cast<const uchar*>(composed.Pixels.data()), composed.Width,
                               composed.Height, composed.Width * 4, QImage::Format_RGB32)
                            .save(QString::fromLocal8Bit(picture)));
            }
        }
        QCOMPARE(turns.size(), std::size_t(3));
        // Forward again before a tenth of the way; back and forward again
        // round the next opposition, evenly.
        QVERIFY(turns[0] < synodic / 10);
        QVERIFY(std::abs((turns[1] + turns[2]) / 2 - synodic) < 2 * Settings.TimeStep);
        QVERIFY(std::abs(turns[2] - turns[1] - 2 * turns[0]) < 2 * Settings.TimeStep);
    }

    // The construction of the loop of the moment, number by number: each
    // line starts at its Earth and passes its planet, in the geocentric view
    // parallel to the heliocentric one; the strip's points run forward, back
    // and forward again. The model's days; the real sky at published loops:
    // Mercury's inferior conjunction of 30.01.2015 (NASA Sky Calendar),
    // Venus's of 03.06.2020 (HAO), Mars's opposition of 19.02.2027 (Espenak).
    void theConstructionStandsOnItsNumbers_data() {
        QTest::addColumn<bool>("real");
        QTest::addColumn<int>("body");
        QTest::addColumn<double>("day");
        QTest::newRow("model, Mercury") << false << int(Mercury) << 100.0;
        QTest::newRow("model, Venus") << false << int(Venus) << 573.0;
        QTest::newRow("model, Mars") << false << int(Mars) << 860.0;
        QTest::newRow("Mercury 2015") << true << int(Mercury) << MomentFromUtc({2015, 1, 21});
        QTest::newRow("Venus 2020") << true << int(Venus) << MomentFromUtc({2020, 5, 13});
        QTest::newRow("Mars 2027") << true << int(Mars) << MomentFromUtc({2027, 1, 10});
    }
    void theConstructionStandsOnItsNumbers() {
        QFETCH(bool, real);
        QFETCH(int, body);
        QFETCH(double, day);
        ChooseFromTheBar(9);   // "&Beide"
        ChooseFromTheBar(18);  // "&nur Erde-Sonne"
        QString text;
        AnswerNextBox(&text);
        CommandChoice(ConstructionCommand);
        QVERIFY(text.startsWith("Zeigen Sie dazu nur einen Planeten: PLANETEN"));
        ChooseFromTheBar(17 + body);  // the planet's "ein/aus"
        if (real) {
            ShowRealSkyAt(day);
        } else {
            MoveModelTo(day);
            KeepPositions();
            CommandChoice(PauseResume);
        }
        CommandChoice(SkyStripCommand);
        LayOutWhereDue();
        ClassroomPass();
        CommandChoice(ConstructionCommand);
        QCOMPARE(Planets.SimTime, day);  // the clock stays
        const LoopConstruction c = *Classroom.Construction;
        while (NumbersReached(c, Planets.SimTime) > 1) CommandChoice(StepBack), ClassroomPass();
        auto place = [](int k, double t) {
            double x = 0, y = 0;
            TheSky().Screen.Place(k, t, TheSky().Screen.PixelsPerUnit(Settings.PlanetOn), x, y);
            return QPointF(x, y);
        };
        // The construction's long lines in a view (its numbers' strokes are short).
        auto longLines = [](int n) {
            std::vector<OverlayLine> lines;
            for (const OverlayLine& l : LinesOf(n))
                if (l.Colour == 0x202020 && std::hypot(l.X2 - l.X1, l.Y2 - l.Y1) > 20) lines.push_back(l);
            return lines;
        };
        auto through = [](const OverlayLine& l, QPointF p) {  // p on the line, ahead of its start
            const double dx = l.X2 - l.X1, dy = l.Y2 - l.Y1, t = (p.x() - l.X1) * dx + (p.y() - l.Y1) * dy;
            return std::abs((p.x() - l.X1) * dy - (p.y() - l.Y1) * dx) / std::hypot(dx, dy) < 0.01 && t > 0;
        };
        for (std::size_t k = 1; k <= c.Moments.size(); ++k) {
            if (k > 1) CommandChoice(StepForward), ClassroomPass();
            const double t = c.Moments[k - 1];
            QCOMPARE(Planets.SimTime, t);
            const auto helio = longLines(Win_2), geo = longLines(Win_3);
            QCOMPARE(helio.size(), k);
            QCOMPARE(geo.size(), k);
            const QPointF sun(Layout.HelioCentreX, Layout.HelioCentreY), earth(Layout.GeoCentreX, Layout.GeoCentreY);
            const QPointF e = place(Earth, t), p = place(body, t);
            QCOMPARE(QPointF(helio.back().X1, helio.back().Y1), sun + e);
            QVERIFY(through(helio.back(), sun + p));
            QCOMPARE(QPointF(geo.back().X1, geo.back().Y1), earth);
            QVERIFY(through(geo.back(), earth + p - e));
            QCOMPARE(StripConstructionPoints().size(), k);
        }
        // Forward, back and forward on the strip: its direction turns twice.
        const std::vector<NumberedPoint> points = StripConstructionPoints();
        int turns = 0;
        for (std::size_t i = 2; i < points.size(); ++i)
            turns += std::remainder(points[i].X - points[i - 1].X, WindowWidth(Win_4)) *
                         std::remainder(points[i - 1].X - points[i - 2].X, WindowWidth(Win_4)) < 0;
        QCOMPARE(turns, 2);
        // Past the last number → is a time step again; "K" again takes it
        // away, and so does a choice of system.
        CommandChoice(StepForward), ClassroomPass();
        QCOMPARE(Planets.SimTime, c.Moments.back() + Settings.TimeStep);
        CommandChoice(ConstructionCommand);
        QVERIFY(!Classroom.Construction && longLines(Win_2).empty() && StripConstructionPoints().empty());
        CommandChoice(ConstructionCommand);
        ChooseFromTheBar(9);  // "&Beide"
        QVERIFY(!Classroom.Construction && longLines(Win_2).empty());
    }

    // "&Bild speichern": a PNG in the picture folder holding both views as shown.
    void theSavedPictureHoldsTheViews() {
        QTemporaryDir home;
        const QString pictures = PictureFolder(home, "Bilder | 7a");

        Animating();
        CommandChoice(SightLines);
        ClassroomPass();
        QStringList saved;
        for (int i = 0; i < 2; ++i) {
            QString text;
            AnswerNextBox(&text);
            CommandChoice(SavePictureCommand);
            QVERIFY2(text.startsWith("Das Bild ist gespeichert:"), qPrintable(text));
            saved << text.section('\n', -1).trimmed();
        }
        QVERIFY(saved[0].startsWith(pictures + "/heliogeo-") && saved[0].endsWith(".png"));  // a "|" in it, too
        QVERIFY(saved[1] != saved[0]);  // a second picture in the same second is kept beside the first

        const QImage png(saved[0]);
        const int left = WindowLeft(Win_2), top = WindowTop(Win_2);
        QCOMPARE(png.size(), QSize(WindowLeft(Win_3) + WindowWidth(Win_3) - left, WindowHeight(Win_2)));
        for (int n : {Win_2, Win_3}) {
            Image shown;
            CaptureShownWindow(n, shown);
            const QImage view(reinterpret_cast<const uchar*>(shown.Pixels.data()), shown.Width, shown.Height,
                              shown.Width * 4, QImage::Format_RGB32);
            QCOMPARE(png.copy(WindowLeft(n) - left, WindowTop(n) - top, WindowWidth(n), WindowHeight(n))
                         .convertToFormat(QImage::Format_RGB32),
                     view.copy(0, 0, WindowWidth(n), WindowHeight(n)));
        }
        QCOMPARE(png.pixel(WindowLeft(Win_3) - left - 1, 10) & 0xFFFFFF, 0xFF00FFu);  // window 0's magenta between
    }

    // A full disk or too little memory: said so, nothing left in the folder,
    // and the program goes on. The bytes the disk takes (-1: the memory runs
    // out), and why the box says the picture is not saved:
    void aPictureNotSavedLeavesNothing() {
        QTemporaryDir home;
        const QDir pictures(PictureFolder(home, "Bilder"));
        for (auto [room, why] : {std::pair{0, "kein Platz auf dem Datenträger"},
                                 {100, "kein Platz auf dem Datenträger"}, {-1, "zu wenig Speicher"}}) {
            platform_internal::Q().pictureDisk = [room = room](const QString&, qint64) {
                return room >= 0 ? room : throw std::bad_alloc();
            };
            QString text;
            AnswerNextBox(&text);
            CommandChoice(SavePictureCommand);
            QCOMPARE(text, "Das Bild ließ sich nicht speichern: " + QString(why));
            QVERIFY(pictures.isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
        }
        QCOMPARE(Shell.EndMarker, std::string());
    }

    // Never over another file: not over the thousand of a busy second, nor
    // over one that takes the name while the picture is written.
    void aPictureNeverReplacesAFile() {
        QTemporaryDir home;
        QDir pictures(PictureFolder(home, "Bilder"));
        QStringList others = {"heliogeo-x.png"};
        for (int k = 2; k < 1000; ++k) others << QString("heliogeo-x-%1.png").arg(k);
        const auto put = [&](const QString& name) {
            QFile file(pictures.filePath(name));
            QVERIFY(pictures.mkpath(".") && file.open(QIODevice::NewOnly) && file.write(name.toUtf8()) == name.size());
        };
        for (const QString& name : others) put(name);
        platform_internal::Q().pictureDisk = [&](const QString& path, qint64 size) {
            if (others.size() == 999) put(others.emplaceBack(QFileInfo(path).fileName()));  // the first name tried
            return size;
        };
        Image picture;
        ComposePicture(picture);
        std::string where;
        QCOMPARE(SavePicture(picture, "heliogeo-x.png", where), SavedAs::File);
        QVERIFY2(others.size() == 1000 && !others.contains(QFileInfo(QString::fromStdString(where)).fileName()),
                 where.c_str());
        for (const QString& name : others) QCOMPARE(QFileInfo(pictures.filePath(name)).size(), qint64(name.size()));
    }

    void theStatusLineWritesGerman_data() {
        QTest::addColumn<double>("day");
        QTest::addColumn<double>("timeStep");
        QTest::addColumn<bool>("paused");
        QTest::addColumn<QString>("text");
        // The day to two places, as exact as an event's, more where the
        // step has more, without trailing zeros.
        QTest::newRow("paused") << 812.5 << 0.5 << true << "Tag 812,5   Zeitschritt 0,5 d   angehalten";
        QTest::newRow("on an event") << 806.15 << 0.5 << true << "Tag 806,15   Zeitschritt 0,5 d   angehalten";
        QTest::newRow("start") << 0.0 << 0.2 << false << "Tag 0   Zeitschritt 0,2 d   läuft";
        QTest::newRow("whole step") << 24.0 << 2.0 << false << "Tag 24   Zeitschritt 2 d   läuft";
        QTest::newRow("places of the step") << 12345.25 << 0.05 << false
                                            << "Tag 12.345,25   Zeitschritt 0,05 d   läuft";
        QTest::newRow("before the start") << -1.5 << 0.5 << true << "Tag -1,5   Zeitschritt 0,5 d   angehalten";
        QTest::newRow("rounding") << 1000.04999 << 0.1 << false << "Tag 1000,05   Zeitschritt 0,1 d   läuft";
        QTest::newRow("rounded to whole") << 812.999 << 0.5 << false << "Tag 813   Zeitschritt 0,5 d   läuft";
        QTest::newRow("long run") << 1234567.5 << 19.5 << false << "Tag 1.234.567,5   Zeitschritt 19,5 d   läuft";
        QTest::newRow("step of a sum") << 9.5 << 19.999999999999996 << false << "Tag 9,5   Zeitschritt 20 d   läuft";
        QTest::newRow("six digits") << 9.1234567 << 0.123456789 << true
                                    << "Tag 9,123457   Zeitschritt 0,123457 d   angehalten";
        // Every step the dialog takes in German, none wider than "0,888888".
        QTest::newRow("a millionth") << 9.5 << 1e-6 << false << "Tag 9,5   Zeitschritt 0,000001 d   läuft";
        QTest::newRow("the smallest") << 9.5 << 5e-324 << false << "Tag 9,5   Zeitschritt 5·10⁻³²⁴ d   läuft";
    }
    void theStatusLineWritesGerman() {
        QFETCH(double, day);
        QFETCH(double, timeStep);
        QFETCH(bool, paused);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(StatusText(day, timeStep, paused)), text);
    }

    // "läuft" only while steps run: not before the first pass, nor while a
    // box holds the animation.
    void theStatusLineSaysWhenNoStepRuns() {
        QLabel* status = platform_internal::StatusWidget();
        QVERIFY(status->text().endsWith("angehalten"));
        ClassroomPass();
        QVERIFY(status->text().endsWith("läuft"));
        QString duringTheBox;
        User user;
        user.WhileBoxIsOpen = [&] { duringTheBox = status->text(); };
        ChooseFromTheBar(3);  // "&Info"
        QVERIFY(duringTheBox.endsWith("angehalten"));
        QVERIFY(status->text().endsWith("läuft"));
        QCOMPARE(StatusShortText(812.5, 0.5, true), std::string("Tag 812,5   angehalten"));
        Skies.Real = true;  // an event of the real sky to its minute
        QCOMPARE(EventStatusText({806.15, Mars, EventKind::Opposition}), DateTimeText(806.15) + "   Mars: Opposition");
    }

    // A browser page that turns lays the program out anew: the same session,
    // drawn again where the clock stands.
    void layingOutAgainKeepsTheSession() {
        Animating(2.0);
        KeyInto(Win_0, Qt::Key_Space);
        KeyInto(Win_0, Qt::Key_S);
        ClassroomPass();
        const Picture before = Now();
        const std::vector<OverlayLine> lines = LinesOf(Win_3);
        const double day = Planets.SimTime;
        AskForNewLayout();
        LayOutWhereDue();  // as the main loop does between two passes
        QVERIFY(AllOneColour(Win_2, Azure) && AllOneColour(Win_3, Azure));
        ClassroomPass();
        QCOMPARE(Planets.SimTime, day);
        QVERIFY(Classroom.Paused && Classroom.SightLinesOn && !LinesOf(Win_3).empty());
        QCOMPARE(Settings.TimeStep, 2.0);
        QCOMPARE(Settings.SystemMode, 3.0);
        // Drawn anew on the same screen: the bodies where they were, the
        // same lines of sight.
        QVERIFY(Now().x == before.x && Now().y == before.y && LinesOf(Win_3) == lines);
        for (int n : {Win_2, Win_3}) QVERIFY(!AllOneColour(n, Azure));
    }

    // The sky strip gets a band of its own below the views, which cover no
    // pixel of it and stay inside the screen; the paths drawn so far are
    // drawn again at the views' new size, and hiding the strip gives the
    // views their room back. Run on screens of several shapes.
    void theStripLeavesTheViewsWhole() {
        Settings.SystemMode = 3;
        Settings.DrawMode = 5;
        for (int i = 0; i < 400; ++i) ClassroomPass();
        auto rect = [](int n) { return QRect(WindowLeft(n), WindowTop(n), WindowWidth(n), WindowHeight(n)); };
        const QRect helio = rect(Win_2), geo = rect(Win_3);
        const double day = Planets.SimTime;
        CommandChoice(SkyStripCommand);
        LayOutWhereDue();
        QVERIFY(IsWindowOpen(Win_4));
        const QRect strip = rect(Win_4), screen(0, -ScreenTop(), ScreenWidthPixels(), AvailableHeightPixels());
        for (int n : {Win_2, Win_3}) QVERIFY(!rect(n).intersects(strip) && screen.contains(rect(n)));
        QVERIFY(screen.contains(strip));
        QCOMPARE(Planets.SimTime, day);
        // The Earth's path of 150 days ago, at the new size.
        const double phi = Planets.Omega[Earth] * (day - 150);
        QCOMPARE(Pixel(Win_2, static_cast<int>(Layout.HelioCentreX + Planets.RadiusX[Earth] * std::cos(phi)),
                       static_cast<int>(Layout.HelioCentreY + Planets.RadiusY[Earth] * std::sin(phi))),
                 White);
        CommandChoice(SkyStripCommand);
        LayOutWhereDue();
        QVERIFY(!IsWindowOpen(Win_4) && rect(Win_2) == helio && rect(Win_3) == geo);
    }

    // A jump lands exactly on the event: forward over steps drawn as the
    // animation draws them (the paths grow on), the last one shortened; back
    // over steps too where paths are drawn. Single steps go on from there.
    void jumpsLandExactlyOnTheEvents_data() {
        QTest::addColumn<QList<int>>("shown");
        QTest::addColumn<double>("timeStep");
        QTest::newRow("Mars, 0.5 d") << QList<int>{Mars} << 0.5;
        QTest::newRow("Venus, 0.7 d") << QList<int>{Venus} << 0.7;
        QTest::newRow("every planet, 3 d") << QList<int>{Mercury, Venus, Mars, Jupiter} << 3.0;
    }
    void jumpsLandExactlyOnTheEvents() {
        QFETCH(QList<int>, shown);
        QFETCH(double, timeStep);
        Settings.SystemMode = 3;
        Settings.DrawMode = 5;  // paths only: every step leaves its pixels
        for (int k = Mercury; k <= Jupiter; ++k) Settings.PlanetOn[k] = shown.contains(k) ? 1 : -1;
        Settings.TimeStep = timeStep;
        for (int i = 0; i < 3; ++i) ClassroomPass();
        for (int jump = 0; jump < 4; ++jump) {
            const double from = Planets.SimTime;
            const SkyEvent e = NextEvent(from, Settings.PlanetOn).value();
            CommandChoice(NextEventCommand);
            QCOMPARE(Planets.SimTime, e.Day);
            QVERIFY(Classroom.Paused);
            QCOMPARE(platform_internal::StatusWidget()->text(), QString::fromStdString(EventStatusText(e)));
            // The Earth's path passes where it stood at a step half-way.
            const double phi = Planets.Omega[Earth] * (from + std::floor((e.Day - from) / 2 / timeStep) * timeStep);
            QCOMPARE(Pixel(Win_2, static_cast<int>(Layout.HelioCentreX + Planets.RadiusX[Earth] * std::cos(phi)),
                           static_cast<int>(Layout.HelioCentreY + Planets.RadiusY[Earth] * std::sin(phi))),
                     White);
        }
        // From an event → and ← are one time step, whichever way the jump went.
        const double event = Planets.SimTime;
        CommandChoice(StepBack);
        ClassroomPass();
        QCOMPARE(Planets.SimTime, event - timeStep);
        CommandChoice(StepForward);
        ClassroomPass();
        QCOMPARE(Planets.SimTime, event);
        // Every white pixel of window 2 lies on an orbit of a shown body: a
        // jump back leaves no chord across them.
        auto onOrbits = [&] {
            const QImage helio = Shot(Win_2);
            for (int y = 0; y < helio.height(); ++y)
                for (int x = 0; x < helio.width(); ++x) {
                    const double dx = x + 0.5 - Layout.HelioCentreX, dy = y + 0.5 - Layout.HelioCentreY;
                    if (helio.pixel(x, y) != qRgb(255, 255, 255) || std::hypot(dx, dy) < 3 * Layout.DiscRadiusX)
                        continue;
                    bool on = false;
                    for (int k = Earth; k <= Jupiter && !on; ++k)
                        on = Settings.PlanetOn[k] == 1 &&
                             std::abs(std::hypot(dx / Planets.RadiusX[k], dy / Planets.RadiusY[k]) - 1) *
                                     Planets.RadiusX[k] < 2;
                    if (!on) return false;
                }
            return true;
        };
        for (int jump = 0; jump < 3; ++jump) {
            const SkyEvent e = PreviousEvent(Planets.SimTime, Settings.PlanetOn).value();
            CommandChoice(PreviousEventCommand);
            QCOMPARE(Planets.SimTime, e.Day);
            QVERIFY(onOrbits());
            CommandChoice(StepForward);
            ClassroomPass();
            QCOMPARE(Planets.SimTime, e.Day + timeStep);
            CommandChoice(StepBack);
            ClassroomPass();
            QCOMPARE(Planets.SimTime, e.Day);
        }
        // A key pressed while a jump draws its steps runs when it is done:
        // here PageUp during PageDown, which ends on the event before the
        // one jumped to.
        const SkyEvent ahead = NextEvent(Planets.SimTime, Settings.PlanetOn).value();
        QCoreApplication::postEvent(platform_internal::CanvasOf(Win_0),
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier));
        CommandChoice(NextEventCommand);
        QCOMPARE(Planets.SimTime, PreviousEvent(ahead.Day, Settings.PlanetOn)->Day);
        // A tiny time step: the jump draws no more than 2000 longer steps.
        Settings.TimeStep = 1e-4;
        Classroom.Earlier.clear();
        const SkyEvent e = NextEvent(Planets.SimTime, Settings.PlanetOn).value();
        CommandChoice(NextEventCommand);
        QCOMPARE(Planets.SimTime, e.Day);
        QVERIFY(Classroom.Earlier.size() <= 2001);
        // With no planet but the Earth there is nothing to jump to: a box says so.
        for (int k = Mercury; k <= Jupiter; ++k) Settings.PlanetOn[k] = -1;
        QString text;
        AnswerNextBox(&text);
        CommandChoice(NextEventCommand);
        QVERIFY(text.startsWith("Kein Planet"));
    }

    // HIMMEL: each sky's clock kept where it was left, every setting kept,
    // the views empty after a switch as after a choice of system, and the
    // sky shown marked; a choice of the sky shown changes nothing.
    void switchingTheSkyKeepsSettingsAndEachClock() {
        Animating(2.0, 30);
        KeyInto(Win_0, Qt::Key_S);
        Settings.PlanetOn[Jupiter] = -1;
        CommandChoice(NextEventCommand);
        CommandChoice(PauseResume);
        const DisplaySettings settings = Settings;
        const double modelDay = Planets.SimTime;
        // The sky and its mark; every setting as it was; the views, the step
        // history and the event reached gone; the bodies where the clock
        // stands, with no path from the other sky.
        auto switched = [&](bool real) {
            return Skies.Real == real && CommandAction(RealSkyCommand)->isChecked() == real &&
                   CommandAction(ModelSkyCommand)->isChecked() == !real && Settings.SystemMode == settings.SystemMode &&
                   Settings.DrawMode == settings.DrawMode && Settings.PolygonOn == settings.PolygonOn &&
                   Settings.PlanetOn == settings.PlanetOn && Settings.TimeStep == settings.TimeStep &&
                   Classroom.SightLinesOn && !Classroom.Paused && AllOneColour(Win_2, Azure) &&
                   AllOneColour(Win_3, Azure) && Classroom.Earlier.empty() && !Classroom.AtEvent &&
                   std::equal(Planets.PrevX.begin(), Planets.PrevX.end(), Planets.PosX.begin());
        };
        CommandAction(ModelSkyCommand)->trigger();  // the sky shown: its mark stays, nothing is cleared
        QVERIFY(CommandAction(ModelSkyCommand)->isChecked() && !AllOneColour(Win_2, Azure) && Classroom.AtEvent);

        // No date set yet: the real sky opens now.
        const double before = MomentNow();
        KeyInto(Win_0, Qt::Key_E);
        QVERIFY(switched(true) && Planets.SimTime >= before && Planets.SimTime <= MomentNow());
        for (int i = 0; i < 10; ++i) ClassroomPass();
        const double realDay = Planets.SimTime;
        CommandChoice(ModelSkyCommand);
        QVERIFY(switched(false) && Planets.SimTime == modelDay);
        ClassroomPass();
        CommandChoice(RealSkyCommand);
        QVERIFY(switched(true) && Planets.SimTime == realDay);
    }

    // "&Jetzt" at the computer's clock, today's date in the status line;
    // "&Datum …" at the date typed; the date offered, taken in the real sky,
    // leaves its views, and Escape the model's.
    void nowAndADate() {
        ClassroomPass();  // running: a moment chosen is landed on paused
        KeyInto(Win_0, Qt::Key_J);
        QVERIFY(Skies.Real && Classroom.Paused && std::abs(Planets.SimTime - MomentNow()) < 1.0 / 86400);
        QVERIFY(platform_internal::StatusWidget()->text().contains(QDate::currentDate().toString("dd.MM.yyyy")));
        User user;
        user.Lines = {"10.01.2027 12:00", "", "<escape>"};
        CommandChoice(PauseResume);
        CommandChoice(DateCommand);
        QVERIFY(Classroom.Paused);
        ClassroomPass();
        const Picture drawn = Now();
        CommandChoice(DateCommand);
        QVERIFY(DateTimeText(Planets.SimTime) == "10.01.2027 12:00" && Now() == drawn);
        CommandChoice(ModelSkyCommand);
        ClassroomPass();
        const Picture model = Now();
        CommandChoice(DateCommand);
        QVERIFY(!Skies.Real && Now() == model);
    }

    // The real sky's clock stays within its years (calendar.h): towards either
    // end a step lands on it and stops there, as a jump and the running clock
    // do, each time with a box and the status line saying why.
    void theRealSkyStopsAtItsEnds_data() {
        QTest::addColumn<int>("towards");
        QTest::newRow("01.01.1600") << -1;
        QTest::newRow("31.12.2400") << +1;
    }
    void theRealSkyStopsAtItsEnds() {
        QFETCH(int, towards);
        const double end = towards > 0 ? LastMoment() : FirstMoment(), start = end - towards * 30;
        Settings.SystemMode = 3;
        Settings.TimeStep = 19.9;
        User user;
        ShowRealSkyAt(start);
        for (int i = 0; i < 3; ++i) CommandChoice(towards > 0 ? StepForward : StepBack), ClassroomPass();
        QCOMPARE(Planets.SimTime, end);
        QVERIFY(Classroom.Paused && platform_internal::StatusWidget()->text().endsWith("angehalten: nur 1600 bis 2400"));
        CommandChoice(towards > 0 ? NextEventCommand : PreviousEventCommand);
        QCOMPARE(Planets.SimTime, end);
        QCOMPARE(user.Boxes, QStringList(3, "Angehalten: der echte Himmel reicht nur von 1600 bis 2400."));
        // A step back lands where the last one began; running, the clock stops on the end.
        CommandChoice(towards > 0 ? StepBack : StepForward);
        ClassroomPass();
        QCOMPARE(Planets.SimTime, start + towards * 19.9);
        CommandChoice(PauseResume);
        for (int i = 0; i < 3 && towards > 0; ++i) ClassroomPass();
        QVERIFY(towards < 0 || (Planets.SimTime == end && Classroom.Paused && user.Boxes.size() == 4));
    }

private:
    static void ChooseFromTheBar(int item) {
        // Through the bar's own handler, as a pupil's choice arrives.
        QMenuBar* bar = platform_internal::MenuBarWidget();
        int index = 0;
        for (QAction* title : bar->actions()) {
            for (QAction* a : title->menu()->actions())
                if (++index == item) {
                    a->trigger();
                    return;
                }
            index += 2;
        }
        QFAIL("no such item");
    }
};

QTEST_MAIN(TestClassroom)
#include "test_classroom.moc"
