// test_soak.cpp — a long, rough session: thousands of random menu choices
// (valid item numbers and others) between animation steps in every mode,
// random typing into the time-step dialog, and a million unpaced steps with
// both views. Meant for the sanitizer build as well as the normal one: what
// it checks is that nothing breaks, every setting stays within its values,
// the positions stay exact and memory does not grow.
#include "app/startup.h"
#include "ui/ui.h"
#include "ui_support.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <fstream>
#include <unistd.h>

using namespace test_support;
using namespace ui_test;

namespace {

// Every setting within its set of values, the windows as they should be.
void CheckSettings(const char* after) {
    const DisplaySettings& s = Settings;
    QVERIFY2(s.SystemMode == 0 || s.SystemMode == 1 || s.SystemMode == 2 || s.SystemMode == 3, after);
    QVERIFY2(s.DrawMode == 5 || s.DrawMode == 6 || s.DrawMode == 7, after);
    QVERIFY2(s.PolygonOn == 1.0 || s.PolygonOn == -1.0, after);
    for (int k = Earth; k <= Sun; ++k) QVERIFY2(s.PlanetOn[k] == 1 || s.PlanetOn[k] == -1, after);
    QVERIFY2(s.TimeStep > 0 && s.TimeStep < 20, after);
    QVERIFY2(SelectedWindow() >= Win_0 && SelectedWindow() <= Win_3, after);
    QVERIFY2(!IsWindowOpen(Win_1), after);
    QVERIFY2(IsWindowOpen(Win_2) && IsWindowOpen(Win_3), after);
}

// A line a pupil (or a cat on the keyboard) might type.
QString RandomLine(QRandomGenerator& random) {
    static const QStringList Words = {"0,5", "1e999", "nan", "inf", "-inf", "19.99", "20", "0", "-1", "0.001",
                                      "1e-300", "0x10", "+3", "--2", "1,2,3", "2.5.1", "e", ".", ",", "  7  ",
                                      "ä", "ß€", "😀", "1\t", "\x01", "\x7f", "\b\b\b", "12\b3"};
    static const QString Characters = "0123456789.,eE+- abcxyzäöüß\t";
    QString line;
    int parts = static_cast<int>(random.bounded(4));
    for (int p = 0; p < parts; ++p) {
        if (random.bounded(2) == 0) {
            line += Words[static_cast<int>(random.bounded(Words.size()))];
        } else {
            int length = static_cast<int>(random.bounded(12));
            for (int n = 0; n < length; ++n) line += Characters[static_cast<int>(random.bounded(Characters.size()))];
        }
    }
    if (random.bounded(50) == 0) line = QString(static_cast<int>(random.bounded(60, 400)), QChar('1'));
    return line;
}

long ResidentBytes() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

}  // namespace

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void init() { SetUpLikeStartUp(); }
    void cleanup() { PlatformEnd(); }

    void randomMenuChoicesBetweenSteps() {
        QRandomGenerator random(4711);
        User user;
        int quits = 0, dialogs = 0;
        for (int n = 0; n < 4000; ++n) {
            // Mostly the program's own items, sometimes anything at all.
            int32_t item = random.bounded(8) == 0 ? static_cast<int32_t>(random.bounded(-20, 120))
                                                  : static_cast<int32_t>(random.bounded(0, 31));
            if (item == 27) {
                ++dialogs;
                user.Asked.clear();
                user.Lines.clear();
                int tries = static_cast<int>(random.bounded(4));
                for (int t = 0; t < tries; ++t) user.Lines << RandomLine(random);
                user.Lines << (random.bounded(3) == 0 ? QString("<close1>") : QString::number(random.bounded(1, 40) * 0.5));
            }
            Win_0_MenuEvent(item);
            if (Shell.EndMarker == "*") {
                // "&Quit" ends the program after the pass; the soak goes on.
                QCOMPARE(item, 1);
                ++quits;
                Shell.EndMarker.clear();
            }
            CheckSettings(qPrintable(QString("item %1 (choice %2)").arg(item).arg(n)));
            int steps = static_cast<int>(random.bounded(1, 6));
            for (int s = 0; s < steps; ++s) AnimationStep();
        }
        QVERIFY(quits > 0);
        QVERIFY(dialogs > 0);
        QVERIFY(Shell.CurrentError.empty());
    }

    void randomTypingIntoTheTimeStepDialog() {
        QRandomGenerator random(1234);
        User user;
        for (int n = 0; n < 300; ++n) {
            const double before = Settings.TimeStep;
            user.Asked.clear();
            user.Lines.clear();
            int tries = static_cast<int>(random.bounded(1, 8));
            for (int t = 0; t < tries; ++t) user.Lines << RandomLine(random);
            // When all that was rejected, the user either types a good step
            // or gives up and clicks the close box (the step then stays).
            bool givesUp = random.bounded(2) == 0;
            if (!givesUp) user.Lines << QString::number(random.bounded(1, 39) * 0.5);
            TimeStepDialog();
            QVERIFY2(Settings.TimeStep > 0 && Settings.TimeStep < 20,
                     qPrintable(QString("after %1: %2").arg(user.Lines.join(" | ")).arg(Settings.TimeStep)));
            QVERIFY(!IsWindowOpen(Win_1));
            if (user.Asked.size() > user.Lines.size()) QCOMPARE(Settings.TimeStep, before);
            AnimationStep();
        }
    }

    void aMillionStepsStayExactAndSmall() {
        Settings.SystemMode = 3;
        Settings.DrawMode = 7;
        Settings.TimeStep = 0.5;
        for (int n = 0; n < 20'000; ++n) AnimationStep();
        const long warm = ResidentBytes();
        const long steps = 1'000'000;
        for (long n = 0; n < steps; ++n) {
            AnimationStep();
            if (n % 100'000 == 0) {
                // The angle grows without bound; sine and cosine still give
                // the exact place for the time reached.
                for (int k = Earth; k <= Jupiter; ++k) {
                    double phi = Planets.Omega[k] * Planets.SimTime;
                    QVERIFY(std::abs(Planets.PosX[k] - Planets.RadiusX[k] * std::cos(phi)) < 1e-9);
                    QVERIFY(std::abs(Planets.PosY[k] - Planets.RadiusY[k] * std::sin(phi)) < 1e-9);
                }
            }
        }
        // 0.5 is exact in binary: the clock is exactly steps times the step.
        QCOMPARE(Planets.SimTime, (20'000 + steps) * 0.5);
        // Where the Earth stands after 510 000 days, from the closed form.
        const double phi = 6.28312 / 365 * Planets.SimTime;
        QVERIFY(std::abs(Planets.PosX[Earth] - 192 * std::cos(phi)) < 1e-6);
        const long grown = ResidentBytes() - warm;
        QVERIFY2(grown < 1024 * 1024, qPrintable(QString("resident size grew by %1 bytes").arg(grown)));
    }
};

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
