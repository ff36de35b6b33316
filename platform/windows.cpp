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
constexpr std::size_t MaxDirtyRects = 32;

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
        // The other windows belong to window 0 and stay above it. They never
        // take the keyboard focus, so that Alt always reaches the menu bar;
        // keys typed anywhere are collected all the same.
        QWidget* owner = s.windows[0].top;
        auto* canvas = new Canvas(n, owner, Qt::Window | Qt::WindowDoesNotAcceptFocus);
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
    for (const QRect& r : event->region()) {
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

void MarkDirty(Window& w, const QRect& r) {
    QRect clipped = r & w.image.rect();
    if (clipped.isEmpty()) return;
    if (w.dirty.size() >= MaxDirtyRects) {
        QRect all = clipped;
        for (const QRect& d : w.dirty) all |= d;
        w.dirty.clear();
        w.dirty.push_back(all);
        return;
    }
    w.dirty.push_back(clipped);
}

void FlushDirty(bool force) {
    State& s = S();
    int64_t now = SteadyNanoseconds();
    if (!force && now - s.lastFlushNs < s.frameNs) return;
    s.lastFlushNs = now;
    for (Window& w : s.windows) {
        if (w.dirty.empty()) continue;
        if (w.canvas != nullptr && w.canvas->isVisible())
            for (const QRect& r : w.dirty) w.canvas->update(r);
        w.dirty.clear();
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
    w->dirty.clear();
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
    w->dirty.clear();
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
