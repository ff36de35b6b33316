// test_pacing.cpp — when the main loop's passes run, on a clock the test
// moves by hand.
#include "app/pacing.h"

#include <QtTest>

class TestPacing : public QObject {
    Q_OBJECT

    static constexpr int64_t Period = 16'666'667;  // 60 passes a second

private slots:
    void unpacedNeverWaits() {
        Pacer p;
        StartPacer(p, 0, 5000);
        QCOMPARE(p.PeriodNs, int64_t(0));
        QCOMPARE(p.NextPassNs, int64_t(5000));
    }

    void firstPassAtOnce() {
        Pacer p;
        StartPacer(p, 60, 1'000'000);
        QCOMPARE(p.PeriodNs, Period);
        QCOMPARE(p.NextPassNs, int64_t(1'000'000));
    }

    void quickPassesKeepTheBeatWithoutDrift() {
        // Each pass takes 2 ms: the deadlines stay exactly one period apart,
        // so 600 passes take 10 seconds, not a little more.
        Pacer p;
        int64_t now = 0;
        StartPacer(p, 60, now);
        for (int n = 0; n < 600; ++n) {
            QVERIFY(now <= p.NextPassNs);
            now = p.NextPassNs;          // the wait ends at the deadline
            now += 2'000'000;            // the pass
            PassDone(p, now);
            QCOMPARE(p.NextPassNs, (n + 1) * Period);
        }
        QCOMPARE(p.NextPassNs, 600 * Period);
        QVERIFY(std::llabs(p.NextPassNs - 10'000'000'000LL) < 1000);
    }

    void latePassIsFollowedAtOnceWithoutCatchingUp() {
        Pacer p;
        int64_t now = 0;
        StartPacer(p, 60, now);
        now = p.NextPassNs;
        PassDone(p, now + 1'000'000);
        QCOMPARE(p.NextPassNs, Period);
        // This pass takes three and a half periods (a dialog, a slow machine).
        now = p.NextPassNs + 3 * Period + Period / 2;
        PassDone(p, now);
        // The next pass is due at once…
        QCOMPARE(p.NextPassNs, now);
        // …and the ones after it a period apart again: no burst of passes
        // to make up for the three that were missed.
        int64_t start = p.NextPassNs;
        PassDone(p, start + 1'000'000);
        QCOMPARE(p.NextPassNs, start + Period);
        PassDone(p, start + Period + 1'000'000);
        QCOMPARE(p.NextPassNs, start + 2 * Period);
    }

    void slightlyLatePassKeepsTheSchedule() {
        // Late by less than a period: the next deadline still lies ahead, the
        // schedule is kept.
        Pacer p;
        StartPacer(p, 60, 0);
        PassDone(p, Period / 2);
        QCOMPARE(p.NextPassNs, Period);
        PassDone(p, Period + Period / 2);
        QCOMPARE(p.NextPassNs, 2 * Period);
    }

    void hiccupsKeepTheRateOverAMinute() {
        // Every 17th pass repaints and takes 3 ms, every 250th waits 12 ms
        // for the window system: each rate is still met within 1 %.
        for (int rate : {1000, 500, 240, 60}) {
            Pacer p;
            int64_t now = 0;
            StartPacer(p, rate, now);
            int passes = 0;
            for (; now < 60'000'000'000LL; ++passes) {
                now = std::max(now, p.NextPassNs) + 50'000;  // a late wake-up
                now += passes % 250 == 0 ? 12'000'000 : passes % 17 == 0 ? 3'000'000 : 100'000;
                PassDone(p, now);
            }
            QVERIFY2(std::abs(passes - 60 * rate) <= 60 * rate / 100, qPrintable(QString::number(passes)));
        }
    }

    void otherRates() {
        Pacer p;
        StartPacer(p, 1, 0);
        QCOMPARE(p.PeriodNs, int64_t(1'000'000'000));
        StartPacer(p, 1000, 0);
        QCOMPARE(p.PeriodNs, int64_t(1'000'000));
        StartPacer(p, 7, 0);
        QCOMPARE(p.PeriodNs, int64_t(142'857'143));
    }
};

QTEST_APPLESS_MAIN(TestPacing)
#include "test_pacing.moc"
