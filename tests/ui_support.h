// ui_support.h — for the tests of the dialogs and the menu: the program as
// start-up leaves it, and a simulated user who answers every box and every
// question of the time-step dialog.
#pragma once

#include "app/animation.h"
#include "app/choices.h"
#include "app/classroom.h"
#include "app/commands.h"
#include "app/main_loop.h"
#include "app/menu.h"
#include "app/shell.h"
#include "app/startup.h"
#include "app/status_line.h"
#include "model/planets.h"
#include "model/state.h"
#include "render/render.h"
#include "support.h"

#include <functional>

namespace ui_test {

constexpr uint32_t White = 0xFFFFFF, Blue = 0xFF0000, Azure = 0xFF8000, Magenta = 0xFF00FF, Red = 0x0000FF;

// Start-up without the title screen and the warning: window 0 with its menu
// bar, both views open and empty with the bodies' images made, the start
// values set.
inline void SetUpLikeStartUp(bool withViews = true) {
    ResetModelState();
    Shell = ShellState{};
    Classroom = ClassroomState{};
    static int argc = 1;
    static char name[] = "heliogeo_test";
    static char* argv[] = {name, nullptr};
    QVERIFY(PlatformStart(argc, argv));
    SetCloseHandler(OnWindowClosed);
    OpenMainWindowAndModel();
    SetFillPattern(0);
    if (!withViews) return;
    InstallChoices();
    FitBelowMenuBar();
    OpenViewsAndDiscImages();
    ShowConstruction(nullptr, 0);  // as at start-up, not as the last test left it
    SetFillPattern(0);
}

// A window's pixels, as far as the window reaches.
inline QImage Shot(int n) {
    return platform_internal::RetainedImage(n)->copy(0, 0, WindowWidth(n), WindowHeight(n));
}

inline bool AllOneColour(int n, uint32_t colour) {
    return test_support::CountColour(n, QRect(0, 0, WindowWidth(n), WindowHeight(n)), colour) ==
           WindowWidth(n) * WindowHeight(n);
}

// The simulated user. While it lives it answers every message box with OK and
// every question of the time-step dialog with the next of Lines and Return
// ("\b" is Backspace, other control characters are typed as such; "<close1>"
// and "<close0>" click a window's close box instead, "<escape>" presses
// Escape; a line ending in "<more>" is typed without Return, and the next
// look counts as a question).
// It acts only while the program waits for input, so nothing is typed ahead.
struct User {
    QStringList Boxes;                     // the boxes' texts
    QStringList Lines;
    QList<QImage> Asked;                   // window 1 at each question, before any key
    QList<double> SimTimes;                // the simulated time at each box and question
    std::function<void()> WhileBoxIsOpen;  // done once, in the first box
    QTimer Timer;

    User() {
        QObject::connect(&Timer, &QTimer::timeout, [this] { Act(); });
        Timer.start(1);
    }

    void Act() {
        if (const test_support::OpenBox box = test_support::BoxShown(); box.Ok != nullptr) {
            Boxes << box.Text;
            SimTimes << Planets.SimTime;
            if (auto action = std::exchange(WhileBoxIsOpen, nullptr)) action();
            box.Ok->click();
            return;
        }
        if (!IsWindowOpen(Win_1) || !platform_internal::S().keys.empty()) return;
        Asked << Shot(Win_1);
        SimTimes << Planets.SimTime;
        // More questions than answers: the dialog would never end.
        QString line = Asked.size() <= Lines.size() ? Lines[Asked.size() - 1] : "<close1>";
        if (line.startsWith("<close")) {
            platform_internal::TopWidget(line == "<close0>" ? Win_0 : Win_1)->close();
            return;
        }
        QWidget* canvas = platform_internal::CanvasOf(Win_1);
        if (line == "<escape>") {
            QTest::keyClick(canvas, Qt::Key_Escape);
            return;
        }
        bool more = line.endsWith("<more>");
        for (char32_t c : (more ? line.chopped(6) : line).toUcs4()) {
            if (c == '\b')
                QTest::keyClick(canvas, Qt::Key_Backspace);
            else if (c < 0x20 || c > 0x7E)  // control characters, umlauts, emoji: by their text
                QTest::sendKeyEvent(QTest::Click, canvas, Qt::Key_unknown, QString::fromUcs4(&c, 1), Qt::NoModifier);
            else
                QTest::keyClicks(canvas, QString(QChar(c)));
        }
        if (!more) QTest::keyClick(canvas, Qt::Key_Return);
    }
};

}  // namespace ui_test
