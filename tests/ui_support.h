// ui_support.h — for the tests of the dialogs and the menu: the program set
// up as start-up leaves it, and a simulated user who answers every box and
// every question of the time-step dialog.
#pragma once

#include "app/menu.h"
#include "app/shell.h"
#include "model/planets.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/render.h"
#include "support.h"

#include <QMessageBox>
#include <QStringList>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace ui_test {

constexpr uint32_t Black = 0x000000, White = 0xFFFFFF, Blue = 0xFF0000, Azure = 0xFF8000, Magenta = 0xFF00FF,
                   Red = 0x0000FF;

inline bool StartPlatform() {
    ResetModelState();
    Shell = ShellState{};
    static int argc = 1;
    static char name[] = "heliogeo_test";
    static char* argv[] = {name, nullptr};
    if (!PlatformStart(argc, argv)) return false;
    SetCloseHandler(OnWindowClosed);
    return true;
}

// What start-up leaves behind, without the title screen and the warning:
// window 0 with its menu bar, both views open and empty, start values set.
inline void SetUpLikeStartUp() {
    Planets.FlattenFactor = 0.82;
    OpenWindowDefault(Win_0);
    SelectWindow(Win_0);
    InitScreenAndColours();
    InitModel();
    SetWindowBackground(Win_0, Colours.ColMagenta);
    ClearWindow(Win_0);
    BuildMenuBar();
    SetWindowBackground(Win_2, Colours.ColAzure);
    OpenViewWindow(Win_2);
    SetWindowBackground(Win_3, Colours.ColAzure);
    OpenViewWindow(Win_3);
    SelectWindow(Win_0);
}

// A window's retained pixels, as far as the window reaches.
inline QImage Shot(int n) {
    const QImage* image = platform_internal::RetainedImage(n);
    if (image == nullptr) return {};
    return image->copy(0, 0, std::min(image->width(), std::max(WindowWidth(n), 1)),
                       std::min(image->height(), std::max(WindowHeight(n), 1)));
}

inline bool AllOneColour(int n, uint32_t colour) {
    QRect r(0, 0, WindowWidth(n), WindowHeight(n));
    return test_support::CountColour(n, r, colour) == r.width() * r.height();
}

// Types one key with the given text (control characters included).
inline void TypeKey(int n, QChar c) {
    QWidget* canvas = platform_internal::CanvasOf(n);
    if (c == QLatin1Char('\b'))
        QTest::keyClick(canvas, Qt::Key_Backspace);
    else if (c.unicode() < 0x20 || c.unicode() == 0x7F)
        QTest::sendKeyEvent(QTest::Click, canvas, Qt::Key_A, QString(c), Qt::NoModifier);
    else
        QTest::keyClicks(canvas, QString(c));
}

// The simulated user. While it lives it answers every message box with OK
// (keeping its text) and every question of the time-step dialog with the
// next of `Lines` and Return ("\b" is Backspace; "<close1>" and "<close0>"
// click the close box of window 1 or window 0 instead; a line ending in
// "<more>" is typed without Return, and what follows counts as the next
// question). It acts only when the
// program waits for input, so no key is typed ahead.
struct User {
    QStringList Boxes;          // the texts of the boxes answered, lines joined by "\n"
    QStringList Lines;          // one per question
    int Questions = 0;          // how many questions window 1 asked
    QList<QImage> Asked;        // window 1 as each question stood, before any key
    std::function<void()> WhileBoxIsOpen;  // done once, in the first box
    QList<double> SimTimes;     // the simulated time at each box and question
    QTimer Timer;

    User() {
        Timer.setInterval(1);
        QObject::connect(&Timer, &QTimer::timeout, [this] { Act(); });
        Timer.start();
    }

    void Act() {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            Boxes << box->text();
            SimTimes << Planets.SimTime;
            if (WhileBoxIsOpen) {
                auto action = std::move(WhileBoxIsOpen);
                WhileBoxIsOpen = nullptr;
                action();
            }
            box->button(QMessageBox::Ok)->click();
            return;
        }
        if (!IsWindowOpen(Win_1) || !platform_internal::S().keys.empty()) return;
        ++Questions;
        Asked << Shot(Win_1);
        SimTimes << Planets.SimTime;
        // More questions than answers: the dialog would never end.
        QString line = Questions <= Lines.size() ? Lines[Questions - 1] : QStringLiteral("<close1>");
        if (line == QLatin1String("<close1>")) {
            platform_internal::TopWidget(Win_1)->close();
        } else if (line == QLatin1String("<close0>")) {
            platform_internal::TopWidget(Win_0)->close();
        } else {
            bool more = line.endsWith(QLatin1String("<more>"));
            if (more) line.chop(6);
            for (QChar c : line) TypeKey(Win_1, c);
            if (!more) test_support::KeyInto(Win_1, Qt::Key_Return);
        }
    }
};

}  // namespace ui_test
