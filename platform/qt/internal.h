// internal.h — the Qt side of the platform layer, shared by its .cpp files
// (and by tests, which may look at the widgets and retained images directly).
// The pixels, the drawing state and the input queue are the shared core's
// (core.h); Qt adds the widgets that show them and take input, and supplies
// what backend.h lists, in its order: platform.cpp (start and end, the
// screen's area, the options, the notice and the screen reader's line, saved
// files, the message box), windows.cpp (the menu bar's foot, windows, showing
// what changed, line input), events.cpp (events, the menus, the status line,
// the mouse buttons), text.cpp (letters).
#pragma once

#include "platform/backend.h"
#include "platform/core.h"
#include "platform/platform.h"

#include <QFont>
#include <QImage>
#include <QKeySequence>
#include <QMainWindow>
#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

class QKeyEvent;
class QLabel;
class QMenu;
class QMenuBar;

namespace platform_internal {

using State = core::State;
using Window = core::Window;
inline State& S() { return core::S(); }

// The widget that shows a window's retained image and collects its input.
// For window 0 it is the central widget of the main window; for the others it
// is the top-level widget itself.
class Canvas : public QWidget {
public:
    Canvas(int number, QWidget* parent, Qt::WindowFlags flags);
    int Number() const { return number_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    int number_;
};

// Window 0: caption, menu bar and the canvas below it.
class MainWindow : public QMainWindow {
public:
    MainWindow();
    Canvas* CanvasWidget() const { return canvas_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Canvas* canvas_;
};

// The widgets of one numbered window, and its pixels seen as QImages (no
// copy: they read the core's buffers).
struct Widgets {
    QWidget* top = nullptr;          // the top-level widget (MainWindow for 0)
    Canvas* canvas = nullptr;        // where the image is shown
    QImage view;                     // over what it shows (core::Shown)
    const uint32_t* viewOf = nullptr;  // the buffer `view` reads
    QImage retained;                 // over the retained pixels alone
    const uint32_t* retainedOf = nullptr;
};

// Where the status line stands: at the end of the menu bar's first row, or
// on a row of its own below the bar (wrapped there where even the short line
// is wider than the window); in full or short.
enum class StatusPlace { BarFull, BarShort, RowFull, RowShort };

// Everything the desktop's window system keeps, in one place: the widgets
// behind the numbered windows, the menus and the status line, and what the
// events, the letters and line input need between calls. The windows'
// pixels, the drawing state, the input and the handlers are the shared
// core's (core::State), never copied here.
struct QtState {
    std::array<Widgets, MaxWindows> windows;
    // Window 0's menu widget: the menu bar's rows, one below the other, and
    // the status line's own row. The titles fill the first row and go on in
    // the next where the window is too narrow for them all.
    QWidget* menuRows = nullptr;
    std::vector<QMenuBar*> rows;      // rows[0] is the menu bar proper
    std::vector<QMenu*> menus;        // every menu, in the bar's order
    QMenuBar* menuBar = nullptr;      // rows[0]
    std::vector<QMenu*> commandMenus; // the menus of commands after the menu bar's own, in order
    std::vector<QAction*> commands;   // every command, by its position through those menus
    std::vector<QKeySequence> commandKeys;  // the key of each command; empty where it has none
    QLabel* status = nullptr;         // the status line at the menu bar's right end
    QLabel* statusRow = nullptr;      // the status line on its own row
    StatusPlace statusPlace = StatusPlace::BarFull;
    std::string statusText, statusShort;    // what the program asked to show
    std::string widest, widestShort;        // the widest it will ask for
    bool arranging = false;           // the menus are being put into rows (which lays them out anew)
    int titleBar = 0;                 // the highest title bar seen above a window's client area (logical pixels)
    bool ownsApplication = false;     // PlatformStart made the application, PlatformEnd ends it

    // Waiting until a deadline: one precise single-shot timer, made once and
    // gone with the application, and whether it has rung.
    QPointer<QTimer> wake;
    bool rang = false;

    int lineWindow = -1;              // the window a line is read in; -1 while none is

    // The font the program last asked for, as the system resolved it.
    core::Font fontAsked;
    QFont font;
    bool fontMade = false;

    // A disk of the tests' own under the saved files (the picture, a text
    // file): told the file's path and its size, it says how many of the
    // bytes it takes (fewer when it is full).
    std::function<qint64(const QString& path, qint64 size)> pictureDisk;
    // Told the path a saved file is put under, at the last moment before it
    // is: another program of the tests' may take the name then.
    std::function<void(const QString& path)> beforePlacing;
    // The first way of putting a saved file in place that is tried (0 a
    // rename that replaces nothing, 1 a link, 2 the name taken first by an
    // empty file): the tests start later, as on a file system without the
    // earlier ones (NFS has no such rename, FAT no links).
    int placeFrom = 0;
};

QtState& Q();
Widgets* WidgetsOf(int n);             // nullptr if n is out of range

// Device pixels per logical pixel, a logical size in whole device pixels, and
// the logical rectangle that covers a device rectangle.
double Ratio();
int DeviceOf(double logical);
QRect LogicalCovering(const QRect& device);

// Puts the menus into as many rows as window 0's width needs, and the status
// line where it has room.
void ArrangeMenuRows();

// A key that chooses a command of the command menus: chooses it and says so.
bool ChooseCommandByKey(const QKeyEvent* event);

// For tests: the widgets and images behind the numbers.
QWidget* TopWidget(int n);
Canvas* CanvasOf(int n);
const QImage* RetainedImage(int n);
QMenuBar* MenuBarWidget();
QLabel* StatusWidget();
QRegion RegionOf(const std::vector<pixels::Rect>& rects);  // logical pixels covering device rectangles
QRegion DirtyRegion(Window& w);        // what changed since the last repaint
void ForgetDirty(Window& w);

}  // namespace platform_internal
