// test_events.cpp — the events against relations that hold however they were found.
#include "model/calendar.h"
#include "model/construction.h"
#include "model/event_list.h"
#include "model/layout.h"
#include "model/planets.h"
#include "model/sky.h"
#include "model/state.h"
#include "tolerances.h"

#include <QtTest>

#include <cmath>
#include <numbers>

class TestEvents : public QObject {
    Q_OBJECT

private slots:
    void init() { Skies.Real = false; }

    void eventsAgreeWithTheSky_data() {
        QTest::addColumn<int>("body");
        QTest::addColumn<double>("period");  // days, from the table
        QTest::newRow("Merkur") << int(Mercury) << 89.0;
        QTest::newRow("Venus") << int(Venus) << 223.0;
        QTest::newRow("Mars") << int(Mars) << 667.0;
        QTest::newRow("Jupiter") << int(Jupiter) << 700.0;
    }

    void eventsAgreeWithTheSky() {
        QFETCH(int, body);
        QFETCH(double, period);
        SetScreenSize(1024, 768);
        Planets.FlattenFactor = 0.82;
        InitModel();
        const bool inner = body < Mars;
        const EventKind line = inner ? EventKind::InferiorConjunction : EventKind::Opposition;
        const double synodic = 2 * std::numbers::pi / FullTurn / std::abs(1 / 365.0 - 1 / period);
        const std::vector<SkyEvent> events = TheSky().Events.Of(body, 0, 3000);
        QVERIFY(!events.empty());
        double lastLine = -1;
        for (std::size_t i = 0; i < events.size(); ++i) {
            const SkyEvent& e = events[i];
            QVERIFY(i == 0 || events[i - 1].Day < e.Day);
            const GridPoint p = TheSky().Bodies.Place(body, e.Day), earth = TheSky().Bodies.Place(Earth, e.Day);
            if (e.Kind == line) {
                // One synodic period apart; the Sun, the Earth and the planet in
                // line on the model's own positions, the planet on the Earth's side.
                if (lastLine >= 0) QVERIFY(std::abs(e.Day - lastLine - synodic) < DayTolerance);
                lastLine = e.Day;
                MoveModelTo(e.Day);
                auto angle = [](int k) {
                    return std::atan2(Planets.PosY[k] / Planets.RadiusY[k], Planets.PosX[k] / Planets.RadiusX[k]);
                };
                QVERIFY(std::abs(std::remainder(angle(body) - angle(Earth), 2 * std::numbers::pi)) < AngleTolerance);
                // The standstills on both sides, as far from it.
                const auto before = std::find_if(events.rbegin() + (events.size() - i), events.rend(), [](auto& s) {
                    return s.Kind == EventKind::StationRetrograde;
                });
                const auto after = std::find_if(events.begin() + i, events.end(),
                                                [](auto& s) { return s.Kind == EventKind::StationDirect; });
                if (before != events.rend() && after != events.end())
                    QVERIFY(std::abs((e.Day - before->Day) - (after->Day - e.Day)) < DayTolerance);
            } else if (e.Kind == EventKind::GreatestEastElongation || e.Kind == EventKind::GreatestWestElongation) {
                // The line of sight touches the orbit: at right angles to the radius.
                QVERIFY(std::abs((p.X - earth.X) * p.X + (p.Y - earth.Y) * p.Y) < GridTolerance);
            } else if (e.Kind == EventKind::StationRetrograde || e.Kind == EventKind::StationDirect) {
                // The direction stands still: it moves the same way on both sides.
                auto turn = [&](double dt) {
                    return std::remainder(TheSky().Bodies.GridDirection(body, e.Day + dt).Radians -
                                              TheSky().Bodies.GridDirection(body, e.Day).Radians,
                                          2 * std::numbers::pi);
                };
                QVERIFY(turn(-0.05) * turn(0.05) > 0);
                QCOMPARE(turn(0.05) < 0, e.Kind == EventKind::StationRetrograde);
            }
        }
        QVERIFY(lastLine > 0);
        // The events' order as the sky shows it: evening star (east of the Sun)
        // before it turns back into the inferior conjunction; the eastern
        // quadrature after the opposition.
        using K = EventKind;
        const std::vector<K> cycle =
            inner ? std::vector{K::InferiorConjunction, K::StationDirect, K::GreatestWestElongation,
                                K::SuperiorConjunction, K::GreatestEastElongation, K::StationRetrograde}
                  : std::vector{K::Opposition, K::StationDirect, K::EastQuadrature, K::Conjunction, K::WestQuadrature,
                                K::StationRetrograde};
        for (std::size_t i = 0; i < events.size(); ++i) QVERIFY(events[i].Kind == cycle[i % cycle.size()]);
        // Next and previous step through the same events, not stopping on the day asked about.
        std::array<int16_t, 7> on{};
        on[body] = 1;
        QCOMPARE(NextEvent(events[1].Day, on)->Day, events[2].Day);
        QCOMPARE(PreviousEvent(events[2].Day, on)->Day, events[1].Day);
        const LoopFigures loop = NextLoop(body, 0);
        QVERIFY(loop.Days > 0 && loop.WidthDegrees > 0 && loop.WidthDegrees < 60);
    }

    // The saved list says where it starts and for which planets, in columns
    // at the end of every row: the header and the first column stay as they were.
    void theListsFileSaysWhereItStarts() {
        SetScreenSize(1024, 768);
        Planets.FlattenFactor = 0.82;
        InitModel();
        std::array<int16_t, 7> on{};
        on[Mars] = on[Jupiter] = 1;
        const QStringList rows = QString::fromStdString(EventListCsv(812.5, on)).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(rows[0], QString("Tag,Planet,Ereignis,bis Tag,Tage,Grad,Liste ab Tag,Planeten der Liste"));
        QVERIFY(rows.size() > 3);
        for (const QString& row : rows.mid(1)) {
            const QStringList fields = row.split(',');
            QCOMPARE(fields.size(), 8);
            QVERIFY(fields[0].toDouble() >= 812.5);
            QCOMPARE(fields.mid(6), (QStringList{"812.50", "Mars Jupiter"}));
        }
    }

    // The real sky's list runs to the end of its years and says so (calendar.h);
    // from their first moment it is whole.
    void theRealListEndsWithItsYears() {
        Skies.Real = true;
        std::array<int16_t, 7> on{};
        on[Mercury] = on[Jupiter] = 1;
        const double from = LastMoment() - 300;
        const std::vector<std::string> cut = EventListLines(from, on), whole = EventListLines(FirstMoment(), on);
        QCOMPARE(cut[0], "Ereignisse ab " + DateTimeText(from) +
                             " bis 31.12.2400 23:59 (der echte Himmel reicht nur von 1600 bis 2400):");
        QCOMPARE(whole[0], "Ereignisse der nächsten 1000 Tage ab 01.01.1600 00:00:");
        for (const std::string& line : cut) QVERIFY(line.find(".2401") == std::string::npos);
        QVERIFY(EventListCsv(from, on).find("\n2401-") == std::string::npos);
    }

    // What a class wants to know of an event: where to look, and a greatest
    // elongation's angle, which on the model's circles is where the line of
    // sight touches the inner orbit: asin(r_planet / r_Earth).
    void theListSaysWhereToLook_data() {
        QTest::addColumn<int>("body");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("added");  // to the event's line
        QTest::addColumn<QString>("degrees");  // in the file's degrees column
        const auto angle = [](double r) { return QString::number(std::asin(r / 60) * 180 / std::numbers::pi, 'f', 1); };
        using K = EventKind;
        QTest::newRow("Merkur östlich") << int(Mercury) << int(K::GreatestEastElongation)
                                        << ", " + angle(23).replace('.', ',') + "°, am Abendhimmel" << angle(23);
        QTest::newRow("Venus westlich") << int(Venus) << int(K::GreatestWestElongation)
                                        << ", " + angle(42).replace('.', ',') + "°, am Morgenhimmel" << angle(42);
        QTest::newRow("Mars Opposition") << int(Mars) << int(K::Opposition) << ", die ganze Nacht am Himmel" << "";
        QTest::newRow("Mars östliche Quadratur") << int(Mars) << int(K::EastQuadrature) << ", am Abendhimmel" << "";
        QTest::newRow("Jupiter westliche Quadratur")
            << int(Jupiter) << int(K::WestQuadrature) << ", am Morgenhimmel" << "";
        QTest::newRow("Venus untere Konjunktion") << int(Venus) << int(K::InferiorConjunction) << "" << "";
    }

    void theListSaysWhereToLook() {
        QFETCH(int, body);
        QFETCH(int, kind);
        QFETCH(QString, added);
        QFETCH(QString, degrees);
        SetScreenSize(1024, 768);
        Planets.FlattenFactor = 0.82;
        InitModel();
        std::array<int16_t, 7> on{};
        on[body] = 1;
        const std::vector<SkyEvent> events = EventsBetween(1, 1000, on);
        const SkyEvent e = *std::find_if(events.begin(), events.end(), [&](auto& s) { return int(s.Kind) == kind; });
        const std::vector<std::string> lines = EventListLines(1, on);
        const std::string line = TheSky().Texts.MomentText(e.Day, 0) + "  " + BodyName(body) + "  " + EventName(e.Kind);
        QVERIFY(std::find(lines.begin(), lines.end(), line + added.toStdString()) != lines.end());
        const QStringList rows = QString::fromStdString(EventListCsv(1, on)).split('\n', Qt::SkipEmptyParts);
        const auto row = std::find_if(rows.begin(), rows.end(), [&](const QString& r) {
            return r.startsWith(QString::fromStdString(TheSky().Texts.MomentValue(e.Day).Text + "," +
                                                       BodyName(body) + "," + EventName(e.Kind) + ","));
        });
        QVERIFY(row != rows.end());
        QCOMPARE(row->split(',')[5], degrees);
        // At the list's start: the planet's angle from the Sun, and where it is seen then.
        const double start = TheSky().Bodies.Elongation(body, 1).Radians * 180 / std::numbers::pi;
        QVERIFY(lines[1].starts_with(BodyName(body) + ": " + std::to_string(std::lround(std::abs(start))) + "° " +
                                     (start > 0 ? "östlich" : "westlich") + " der Sonne, "));
    }

    // The construction of a loop (construction.h): numbers a whole number of
    // days apart, from before the loop's first standstill to after its last,
    // at which the planet seen from the Earth runs forward, back and forward
    // again; in the real sky each at 00:00 UTC. → and ← go from number to number.
    void constructionRunsForwardBackForward_data() {
        QTest::addColumn<bool>("real");
        QTest::addColumn<int>("body");
        QTest::addColumn<double>("day");
        QTest::newRow("Modell Merkur vor der Schleife") << false << int(Mercury) << 100.0;
        QTest::newRow("Modell Venus") << false << int(Venus) << 573.0;
        QTest::newRow("Modell Mars nach der Schleife") << false << int(Mars) << 860.0;  // its standstill: day 844
        // NASA Sky Calendar 2015 (F. Espenak): Mercury's inferior conjunction, 30.01.2015 13:40 UT.
        QTest::newRow("Merkur 2015") << true << int(Mercury) << MomentFromUtc({2015, 1, 30, 13, 40});
        // High Altitude Observatory (NCAR), Mauna Loa Solar Observatory's gallery:
        // Venus's inferior conjunction of 03.06.2020.
        QTest::newRow("Venus 2020") << true << int(Venus) << MomentFromUtc({2020, 6, 3});
        // F. Espenak's tables: Mars's opposition of 19.02.2027.
        QTest::newRow("Mars 2027") << true << int(Mars) << MomentFromUtc({2027, 2, 19});
    }

    void constructionRunsForwardBackForward() {
        QFETCH(bool, real);
        QFETCH(int, body);
        QFETCH(double, day);
        SetScreenSize(1024, 768);
        Planets.FlattenFactor = 0.82;
        InitModel();
        Skies.Real = real;
        const LoopConstruction c = ConstructionOfMoment(body, day);
        const std::vector<double>& t = c.Moments;
        QVERIFY(t.size() >= 7 && t.size() <= 11 && t[0] <= day && day <= t.back());
        QVERIFY(t[0] < c.Loop.FirstDay && t.back() > c.Loop.LastDay);
        const CivilTime utc = UtcOf(t[0] + 0.5);
        QCOMPARE(t[0], real ? MomentFromUtc({utc.Year, utc.Month, utc.Day}) : std::round(t[0]));
        const auto seen = [&](std::size_t k) { return ScreenDirection(body, t[k]); };
        int turns = 0;
        for (std::size_t k = 1; k < t.size(); ++k) {
            QVERIFY(std::abs(t[k] - t[k - 1] - c.Interval) < 1.0 / 86400);  // a second: ΔT's change in the real sky
            QVERIFY(NumbersReached(c, t[k]) == int(k) + 1 && NextNumber(c, t[k - 1]) == int(k) + 1 &&
                    PreviousNumber(c, t[k]) == int(k));
            turns += k > 1 && std::sin(seen(k) - seen(k - 1)) * std::sin(seen(k - 1) - seen(k - 2)) < 0;
        }
        QCOMPARE(turns, 2);
    }
};

QTEST_APPLESS_MAIN(TestEvents)
#include "test_events.moc"
