// windows.cpp — numbered windows, their retained images and what the user
// does to them (keys, clicks, the close box).
#include "platform/internal.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScreen>

#include <algorithm>

namespace platform_internal {

namespace {

constexpr std::size_t MaxQueuedKeys = 256;

void Create(int n) {
    State& s = S();
    Window& w = s.windows[n];
    if (w.top != nullptr) return;
    if (n == 0) {
        auto* main = new MainWindow();
        w.top = main;
        w.canvas = main->CanvasWidget();
        // Window 0 holds the whole screen's worth of pixels from the start, so
        // that what start-up draws before the window system has maximised it
        // is not lost.
        EnsureImage(w, ScreenWidthPixels(), ScreenHeightPixels());
    } else {
        // The other windows belong to window 0 and stay above it: as tool
        // windows they are transient for it (on X11 Qt marks only dialog and
        // tool windows so), and a window manager keeps them on top even when
        // a menu choice raises the maximised window 0. They never take the
        // keyboard focus, so that Alt always reaches the menu bar; keys typed
        // anywhere are collected all the same.
        QWidget* owner = s.windows[0].top;
        auto* canvas = new Canvas(n, owner, Qt::Tool | Qt::WindowDoesNotAcceptFocus);
        w.top = canvas;
        w.canvas = canvas;
    }
    w.top->setWindowTitle(w.caption);
}

}  // namespace

Canvas::Canvas(int number, QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags), number_(number) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(number == 0 ? Qt::StrongFocus : Qt::NoFocus);
}

void Canvas::paintEvent(QPaintEvent* event) {
    Window& w = S().windows[number_];
    QPainter p(this);
    // The retained pixels are opaque: copy them, no blending.
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& r : event->region()) {
        // Clipped to one rectangle, the copy is a plain row-by-row blit;
        // under the whole region's clip it would go pixel by pixel.
        p.setClipRect(r);
        QRect inside = r & w.image.rect();
        if (!inside.isEmpty()) p.drawImage(inside.topLeft(), w.image, inside);
        if (inside != r) {
            // Beyond the retained image (only while a resize is under way).
            QRegion rest = QRegion(r) - QRegion(inside);
            for (const QRect& q : rest) p.fillRect(q, QColor::fromRgb(w.background));
        }
    }
}

void Canvas::resizeEvent(QResizeEvent*) {
    EnsureImage(S().windows[number_], width(), height());
}

void Canvas::keyPressEvent(QKeyEvent* event) {
    State& s = S();
    if (s.keys.size() >= MaxQueuedKeys) s.keys.pop_front();
    s.keys.push_back(Key{number_, event->key(), event->text()});
}

void Canvas::mousePressEvent(QMouseEvent*) {
    ++S().clicks;
}

void Canvas::closeEvent(QCloseEvent* event) {
    State& s = S();
    event->accept();
    if (s.ending) return;
    s.windows[number_].open = false;
    if (s.onClose != nullptr) s.onClose(number_);
}

MainWindow::MainWindow() : canvas_(new Canvas(0, this, Qt::Widget)) {
    setCentralWidget(canvas_);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    State& s = S();
    if (s.ending || s.onClose == nullptr) {
        event->accept();
        s.windows[0].open = false;
        return;
    }
    // The program decides how window 0 ends; it stays until then.
    event->ignore();
    s.closeRequested = true;
    s.onClose(0);
}

Window* WindowOf(int n) {
    if (n < 0 || n >= MaxWindows) return nullptr;
    return &S().windows[n];
}

void EndPainter(Window& w) {
    if (w.painter) {
        w.painter->end();
        w.painter.reset();
    }
}

QPainter& PainterFor(Window& w) {
    if (!w.painter) w.painter = std::make_unique<QPainter>(&w.image);
    return *w.painter;
}

void EnsureImage(Window& w, int width, int height) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (!w.image.isNull() && w.image.width() >= width && w.image.height() >= height) return;
    QImage grown(std::max(width, w.image.width()), std::max(height, w.image.height()), QImage::Format_RGB32);
    grown.fill(w.background);
    if (!w.image.isNull()) {
        EndPainter(w);
        for (int y = 0; y < w.image.height(); ++y)
            std::copy_n(reinterpret_cast<const QRgb*>(w.image.constScanLine(y)), w.image.width(),
                        reinterpret_cast<QRgb*>(grown.scanLine(y)));
    }
    w.image = std::move(grown);
}

namespace {

void MarkTiles(Window& w, const QRect& clipped) {
    const int across = (w.image.width() + TileSize - 1) / TileSize;
    const int down = (w.image.height() + TileSize - 1) / TileSize;
    if (w.tilesAcross != across || static_cast<int>(w.dirtyTiles.size()) != across * down) {
        w.dirtyTiles.assign(static_cast<std::size_t>(across) * down, 0);
        w.tilesAcross = across;
    }
    for (int ty = clipped.top() / TileSize; ty <= clipped.bottom() / TileSize; ++ty) {
        uint8_t* row = w.dirtyTiles.data() + static_cast<std::size_t>(ty) * across;
        std::fill(row + clipped.left() / TileSize, row + clipped.right() / TileSize + 1, uint8_t{1});
    }
}

}  // namespace

void MarkDirty(Window& w, const QRect& r) {
    QRect clipped = r & w.image.rect();
    if (clipped.isEmpty()) return;
    w.dirty = true;
    if (!w.tiled && w.dirtyRects.size() < MaxDirtyRects) {
        w.dirtyRects.push_back(clipped);
        return;
    }
    if (!w.tiled) {
        for (const QRect& d : w.dirtyRects) MarkTiles(w, d);
        w.dirtyRects.clear();
        w.tiled = true;
    }
    MarkTiles(w, clipped);
}

QRegion DirtyRegion(const Window& w) {
    QRegion region;
    if (!w.dirty) return region;
    if (!w.tiled) {
        for (const QRect& r : w.dirtyRects) region += r;
        return region;
    }
    const int down = static_cast<int>(w.dirtyTiles.size()) / w.tilesAcross;
    for (int ty = 0; ty < down; ++ty) {
        const uint8_t* row = w.dirtyTiles.data() + static_cast<std::size_t>(ty) * w.tilesAcross;
        for (int tx = 0; tx < w.tilesAcross;) {
            if (row[tx] == 0) {
                ++tx;
                continue;
            }
            int end = tx;
            while (end < w.tilesAcross && row[end] != 0) ++end;
            region += QRect(tx * TileSize, ty * TileSize, (end - tx) * TileSize, TileSize) & w.image.rect();
            tx = end;
        }
    }
    return region;
}

void ForgetDirty(Window& w) {
    if (!w.dirty) return;
    w.dirtyRects.clear();
    if (w.tiled) std::fill(w.dirtyTiles.begin(), w.dirtyTiles.end(), uint8_t{0});
    w.dirty = false;
    w.tiled = false;
}

namespace {

long Area(const QRect& r) {
    return static_cast<long>(r.width()) * r.height();
}

// Overlapping rectangles become one where that costs no more pixels than the
// two: a disc's old and new box, mostly. Overlaps would split the repainted
// region into many thin bands, each copied on its own.
void Coalesce(std::vector<QRect>& rects) {
    for (bool merged = true; merged;) {
        merged = false;
        for (std::size_t i = 0; i < rects.size() && !merged; ++i)
            for (std::size_t j = i + 1; j < rects.size(); ++j) {
                if (!rects[i].intersects(rects[j])) continue;
                QRect both = rects[i] | rects[j];
                if (Area(both) > Area(rects[i]) + Area(rects[j])) continue;
                rects[i] = both;
                rects.erase(rects.begin() + static_cast<long>(j));
                merged = true;
                break;
            }
    }
}

}  // namespace

void FlushDirty(bool force) {
    State& s = S();
    int64_t now = SteadyNanoseconds();
    if (!force && now - s.lastFlushNs < s.frameNs) return;
    s.lastFlushNs = now;
    for (Window& w : s.windows) {
        if (!w.dirty) continue;
        if (w.canvas != nullptr && w.canvas->isVisible()) {
            // All of a window's changes in one region, painted and sent to the
            // window system right here, without posting an update request
            // to the event loop (which costs system calls to wake it).
            if (!w.tiled) Coalesce(w.dirtyRects);
            w.canvas->repaint(DirtyRegion(w));
        }
        ForgetDirty(w);
    }
}

Window* Target() {
    Window* w = WindowOf(S().target);
    return (w != nullptr && !w->image.isNull()) ? w : nullptr;
}

QWidget* TopWidget(int n) {
    Window* w = WindowOf(n);
    return w != nullptr ? w->top : nullptr;
}

Canvas* CanvasOf(int n) {
    Window* w = WindowOf(n);
    return w != nullptr ? w->canvas : nullptr;
}

const QImage* RetainedImage(int n) {
    Window* w = WindowOf(n);
    return w != nullptr ? &w->image : nullptr;
}

QMenuBar* MenuBarWidget() {
    return S().menuBar;
}

}  // namespace platform_internal

using namespace platform_internal;

void OpenWindowDefault(int n) {
    Window* w = WindowOf(n);
    if (w == nullptr) return;
    bool fresh = w->top == nullptr;
    Create(n);
    if (n == 0) {
        // Maximised, so that the title screen's panels fill the screen. Without
        // a window manager nobody maximises, so the window takes the available
        // area itself first.
        if (fresh)
            if (QScreen* screen = QGuiApplication::primaryScreen()) w->top->setGeometry(screen->availableGeometry());
        w->top->showMaximized();
    } else {
        if (fresh) w->top->resize(640, 480);
        EnsureImage(*w, w->canvas->width(), w->canvas->height());
        w->top->show();
    }
    w->open = true;
}

void OpenWindow(int n, int left, int top, int width, int height) {
    Window* w = WindowOf(n);
    if (w == nullptr) return;
    Create(n);
    EnsureImage(*w, width, height);
    w->top->setGeometry(left, top, std::max(width, 1), std::max(height, 1));
    w->top->show();
    // Offscreen (in tests) there is nothing to raise above.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) w->top->raise();
    w->open = true;
}

void CloseWindow(int n) {
    Window* w = WindowOf(n);
    if (w == nullptr || w->top == nullptr) return;
    w->top->hide();
    w->open = false;
    ForgetDirty(*w);
}

void ShowWindow(int n) {
    Window* w = WindowOf(n);
    if (w == nullptr || w->top == nullptr) return;
    if (!w->top->isVisible()) w->top->show();
    w->open = true;
}

bool IsWindowOpen(int n) {
    Window* w = WindowOf(n);
    return w != nullptr && w->open;
}

void SetWindowCaption(int n, const std::string& text) {
    Window* w = WindowOf(n);
    if (w == nullptr) return;
    w->caption = QString::fromStdString(text);
    if (w->top != nullptr) w->top->setWindowTitle(w->caption);
}

bool SetWindowBackground(int n, uint32_t colour) {
    Window* w = WindowOf(n);
    if (w == nullptr) return false;
    w->background = ToRgb(colour);
    return true;
}

uint32_t WindowBackground(int n) {
    Window* w = WindowOf(n);
    return w != nullptr ? FromRgb(w->background) : 0;
}

void ClearWindow(int n) {
    Window* w = WindowOf(n);
    if (w == nullptr || w->image.isNull()) return;
    w->image.fill(w->background);
    MarkDirty(*w, w->image.rect());
}

void SelectWindow(int n) {
    if (WindowOf(n) != nullptr) S().target = n;
}

int SelectedWindow() {
    return S().target;
}

int WindowWidth(int n) {
    Window* w = WindowOf(n);
    return (w != nullptr && w->canvas != nullptr) ? w->canvas->width() : 0;
}

int WindowHeight(int n) {
    Window* w = WindowOf(n);
    return (w != nullptr && w->canvas != nullptr) ? w->canvas->height() : 0;
}

int WindowLeft(int n) {
    Window* w = WindowOf(n);
    return (w != nullptr && w->canvas != nullptr) ? w->canvas->mapToGlobal(QPoint(0, 0)).x() : 0;
}

int WindowTop(int n) {
    Window* w = WindowOf(n);
    return (w != nullptr && w->canvas != nullptr) ? w->canvas->mapToGlobal(QPoint(0, 0)).y() : 0;
}

void SetCloseHandler(CloseHandler handler) {
    S().onClose = handler;
}

uint32_t WindowPixel(int n, int x, int y) {
    Window* w = WindowOf(n);
    if (w == nullptr || w->image.isNull()) return 0;
    if (!w->image.rect().contains(x, y)) return FromRgb(w->background);
    return FromRgb(reinterpret_cast<const QRgb*>(w->image.constScanLine(y))[x]);
}
