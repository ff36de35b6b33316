// internal.h — the Qt side of the platform layer, shared by its .cpp files
// (and by tests, which may look at the widgets and retained images directly).
#pragma once

#include "platform/platform.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QMainWindow>
#include <QPainter>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QWidget>

#include <array>
#include <cmath>
#include <deque>
#include <memory>
#include <vector>

class QMenuBar;

namespace platform_internal {

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
    void closeEvent(QCloseEvent* event) override;

private:
    Canvas* canvas_;
};

// One numbered window: its widgets, its retained pixels and what changed.
struct Window {
    QWidget* top = nullptr;          // the top-level widget (MainWindow for 0)
    Canvas* canvas = nullptr;        // where the image is shown
    QImage image;                    // retained pixels, logical resolution, RGB32
    std::unique_ptr<QPainter> painter;   // kept open on image while drawing
    QRgb background = 0xFF000000;    // window background colour
    QString caption;
    bool open = false;
    // What changed since the last repaint request: the changed rectangles
    // themselves while they are few (one paced step's worth), else a grid of
    // tiles (many unpaced steps between two frames).
    std::vector<QRect> dirtyRects;
    std::vector<uint8_t> dirtyTiles;
    int tilesAcross = 0;
    bool dirty = false;
    bool tiled = false;
};

constexpr int TileSize = 32;         // pixels; the grain of repainting once tiled
constexpr std::size_t MaxDirtyRects = 96;

struct Key {
    int window;      // where it was typed
    int code;        // Qt::Key
    QString text;
};

// The whole state of the platform layer.
struct State {
    std::array<Window, MaxWindows> windows;
    int target = 0;                  // drawing target

    // Drawing state, as the program set it (raw values, palette numbers kept).
    uint32_t foreground = 0;
    uint32_t background = 0xFFFFFF;
    int fillPattern = 0;
    int lineStyle = 1;
    int lineWidth = 1;
    int rasterMode = 13;
    QFont font;
    double penX = 0, penY = 0;

    // Text cursor.
    int cursorColumn = 0, cursorRow = 0;
    int cursorX = 0, cursorY = 0;    // pixels

    // Input collected between polls.
    std::deque<Key> keys;
    int clicks = 0;

    CloseHandler onClose = nullptr;
    MenuHandler onMenu = nullptr;
    QMenuBar* menuBar = nullptr;
    bool ownsApplication = false;
    bool ending = false;
    bool closeRequested = false;     // window 0's close box was used
    int64_t lastFlushNs = 0;
    int64_t frameNs = 16'666'667;    // repaint at most once per displayed frame
};

State& S();

// Helpers shared by the .cpp files.
QRgb ToRgb(uint32_t colour);           // colour value (or palette number) to Qt
uint32_t FromRgb(QRgb rgb);            // back to 0x00BBGGRR
inline int Px(double v) {
    // Far-off points are held at a distance that no window reaches, so that
    // the conversion stays defined whatever a caller passes.
    if (!(v > -1e8)) return -100'000'000;
    if (!(v < 1e8)) return 100'000'000;
    return static_cast<int>(std::floor(v));
}
Window* Target();                      // the drawing target, or nullptr if it has no pixels
QPainter& PainterFor(Window& w);
void EndPainter(Window& w);
void EnsureImage(Window& w, int width, int height);   // grows, keeps what is there
void MarkDirty(Window& w, const QRect& r);
void FlushDirty(bool force);
QRegion DirtyRegion(const Window& w);  // the tiles changed since the last repaint
void ForgetDirty(Window& w);
Window* WindowOf(int n);               // nullptr if n is out of range

// For tests: the widgets and images behind the numbers.
QWidget* TopWidget(int n);
Canvas* CanvasOf(int n);
const QImage* RetainedImage(int n);
QMenuBar* MenuBarWidget();

}  // namespace platform_internal
