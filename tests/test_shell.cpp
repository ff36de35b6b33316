// test_shell.cpp — start-up, the main loop, quitting, the views' rebuild and
// the error report, with real (offscreen) windows on a 1024 x 768 screen.
#include "app/animation.h"
#include "app/main_loop.h"
#include "app/shell.h"
#include "app/startup.h"
#include "model/planets.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/render.h"
#include "support.h"
#include "tolerances.h"

#include <QtTest>

#include <cmath>
#include <stdexcept>

using namespace test_support;

namespace {

constexpr uint32_t Azure = 0xFF8000, Magenta = 0xFF00FF;

// Runs start-up as a user would meet it: every key wait gets a key press and
// every box is answered with OK.
void DriveStartUp() {
    QTimer user;
    user.setInterval(10);
    QObject::connect(&user, &QTimer::timeout, [] {
        if (const OpenBox box = BoxShown(); box.Ok != nullptr) {
            box.Ok->click();
            return;
        }
        if (platform_internal::CanvasOf(0) != nullptr) KeyInto(0, Qt::Key_Return);
    });
    user.start();
    StartUp();
    user.stop();
}

// The user's click on a window's close box (if the window is still there).
void CloseByItsBox(int n) {
    if (QWidget* w = platform_internal::TopWidget(n)) w->close();
}

bool AllOneColour(int n, uint32_t colour) {
    const QImage* img = platform_internal::RetainedImage(n);
    QRect r(0, 0, WindowWidth(n), WindowHeight(n));
    return CountColour(n, r, colour) == r.width() * r.height() && img != nullptr;
}

}  // namespace

class TestShell : public QObject {
    Q_OBJECT

private slots:
    void init() {
        ResetModelState();
        Shell = ShellState{};
        int argc = 1;
        char name[] = "test_shell";
        char* argv[] = {name, nullptr};
        QVERIFY(PlatformStart(argc, argv));
        SetCloseHandler(OnWindowClosed);
    }
    void cleanup() { PlatformEnd(); }

    void screenAndColours() {
        OpenWindowDefault(Win_0);
        InitScreenAndColours();
        QCOMPARE(Layout.ScreenWidth, int16_t(1024));
        QCOMPARE(Layout.ScreenHeight, int16_t(768));
        QCOMPARE(Layout.ScaleXFactor, 3.2);
        QCOMPARE(Layout.ScaleYFactor, 3.84);
        QCOMPARE(Colours.ColAzure, uint32_t(0xFF8000));
        QCOMPARE(Colours.ColYellow, uint32_t(0x00FFFF));
        QCOMPARE(Colours.ColGreen, 65280.0);
        // Colour pair 1 leaves no trace: blue on white.
        QCOMPARE(Foreground(), Colours.ColBlue);
        QCOMPARE(Background(), Colours.ColWhite);
    }

    void startUpOpensTheViewsWhereTheLayoutSays() {
        DriveStartUp();
        QCOMPARE(Shell.EndMarker, std::string());
        QVERIFY(IsWindowOpen(Win_0) && IsWindowOpen(Win_2) && IsWindowOpen(Win_3));
        QVERIFY(!IsWindowOpen(Win_1));
        QTRY_COMPARE(WindowLeft(Win_2), 16);
        QCOMPARE(WindowTop(Win_2), 65);
        QCOMPARE(WindowWidth(Win_2), 492);
        QCOMPARE(WindowHeight(Win_2), 691);
        QCOMPARE(WindowLeft(Win_3), 515);
        QCOMPARE(WindowTop(Win_3), 65);
        QCOMPARE(WindowWidth(Win_3), 492);
        QCOMPARE(WindowHeight(Win_3), 691);
        QCOMPARE(WindowBackground(Win_0), Magenta);
        QCOMPARE(WindowBackground(Win_2), Azure);
        QCOMPARE(WindowBackground(Win_3), Azure);
        QVERIFY(AllOneColour(Win_2, Azure));
        QVERIFY(AllOneColour(Win_3, Azure));
        // The model is set up for this screen.
        QCOMPARE(Planets.RadiusX[Earth], 192.0);
        QVERIFY(std::abs(Planets.RadiusY[Earth] - 230 * 0.82) < PixelTolerance);  // flattened by 0.82
        QCOMPARE(Settings.TimeStep, 0.5);
    }

    void withNoSystemOnlyTheClockRuns() {
        DriveStartUp();
        QCOMPARE(Settings.SystemMode, 0.0);
        for (int n = 0; n < 10; ++n) AnimationStep();
        QCOMPARE(Planets.SimTime, 5.0);
        QCOMPARE(Planets.PrevX[Earth], Planets.PosX[Earth]);
        QVERIFY(Planets.PosY[Earth] > 0);
        QVERIFY(AllOneColour(Win_2, Azure));
        QVERIFY(AllOneColour(Win_3, Azure));
    }

    void quitEndsTheLoopAfterThatPass() {
        DriveStartUp();
        LoopOptions unpaced{0, 100000};
        QTimer::singleShot(0, [] { QuitCommand(); });
        RunMainLoop(unpaced);
        QCOMPARE(Shell.EndMarker, std::string("*"));
        double passes = Planets.SimTime / Settings.TimeStep;
        QVERIFY(passes > 0 && passes < 100000);
        QCOMPARE(passes, std::round(passes));  // whole passes only
        // A second quit changes nothing.
        QuitCommand();
        QCOMPARE(Shell.EndMarker, std::string("*"));
    }

    void closingWindow0EndsTheProgramAsQuitDoes() {
        DriveStartUp();
        QTimer::singleShot(0, [] { CloseByItsBox(Win_0); });
        RunMainLoop(LoopOptions{0, 1000000});
        QCOMPARE(Shell.EndMarker, std::string("*"));
        QVERIFY(Planets.SimTime < 1000000 * 0.5);
    }

    void closingAViewWindowKeepsTheAnimationRunning() {
        DriveStartUp();
        Settings.SystemMode = 3;
        // Both close boxes are clicked at the loop's first look at the events.
        QTimer::singleShot(0, [] { CloseByItsBox(Win_2); });
        QTimer::singleShot(0, [] { CloseByItsBox(Win_3); });
        RunMainLoop(LoopOptions{0, 20000});
        QCOMPARE(Shell.EndMarker, std::string());
        QCOMPARE(Planets.SimTime, 20000 * 0.5);
        QVERIFY(!IsWindowOpen(Win_2));
    }

    void pacedLoopTakesItsTime() {
        DriveStartUp();
        int64_t start = SteadyNanoseconds();
        RunMainLoop(LoopOptions{60, 13});
        int64_t took = SteadyNanoseconds() - start;
        // 13 passes at 60 a second: the first at once, then 12 periods.
        QVERIFY2(took >= 12 * 16'666'667LL, qPrintable(QString::number(took)));
        QCOMPARE(Planets.SimTime, 13 * 0.5);
    }

    void rebuildingTheViews() {
        DriveStartUp();
        SetWindowBackground(Win_1, Colours.ColMagenta);
        OpenWindow(Win_1, 10, 57, 495, 115);
        SelectWindow(Win_2);
        SetForeground(Colours.ColRed);
        FillBox(0, 0, 100, 100);
        SelectWindow(Win_3);
        FillBox(0, 0, 100, 100);
        double time = Planets.SimTime;
        RebuildViewWindows();
        QVERIFY(!IsWindowOpen(Win_1));
        QVERIFY(IsWindowOpen(Win_2) && IsWindowOpen(Win_3));
        QTRY_COMPARE(WindowLeft(Win_3), 515);
        QCOMPARE(WindowLeft(Win_2), 16);
        QVERIFY(AllOneColour(Win_2, Azure));
        QVERIFY(AllOneColour(Win_3, Azure));
        QCOMPARE(Planets.SimTime, time);
    }

    void aFailureIsReportedAndEndsTheProgram() {
        DriveStartUp();
        QString text;
        AnswerNextBox(&text);
        RunGuarded([] { throw std::runtime_error("Testfehler 42"); });
        QCOMPARE(Shell.EndMarker, std::string("*"));
        QVERIFY(text.startsWith(" Fehler : \n Testfehler 42 \n\n Wenden Sie sich ggf. an \n\n "));
        QVERIFY(text.contains("Computer"));
        QCOMPARE(QString::fromStdString(Shell.MessageText), QString(text).replace('\n', '|'));
        // The loop ends after the pass in which it happened.
        RunMainLoop(LoopOptions{0, 1000});
        QCOMPARE(Planets.SimTime, 0.5);
    }

    void aFailureInsideAStepIsReportedToo() {
        DriveStartUp();
        int boxes = 0;
        AnswerNextBox(nullptr, &boxes);
        Settings.TimeStep = 0.5;
        RunGuarded([] {
            AnimationStep();
            throw std::bad_alloc();
        });
        QCOMPARE(boxes, 1);
        QCOMPARE(Shell.EndMarker, std::string("*"));
    }
};

QTEST_MAIN(TestShell)
#include "test_shell.moc"
