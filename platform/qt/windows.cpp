// windows.cpp — the numbered windows as Qt widgets: where they stand, how
// they show their retained pixels, and what the user does to them (keys,
// clicks, the close box).
#include "platform/qt/internal.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cmath>

namespace platform_internal {

QtState& Q() {
    static QtState state;
    return state;
}

Widgets* WidgetsOf(int n) {
    if (n < 0 || n >= MaxWindows) return nullptr;
    return &Q().windows[n];
}

double Ratio() {
    return PixelRatio();
}

int DeviceOf(double logical) {
    return static_cast<int>(std::floor(logical * Ratio() + 1e-6));
}

QRect LogicalCovering(const QRect& device) {
    const double r = Ratio();
    if (r == 1) return device;
    const int left = static_cast<int>(std::floor(device.x() / r)), top = static_cast<int>(std::floor(device.y() / r));
    const int right = static_cast<int>(std::ceil((device.x() + device.width()) / r));
    const int bottom = static_cast<int>(std::ceil((device.y() + device.height()) / r));
    return QRect(left, top, right - left, bottom - top);
}

namespace {

// A surface as a QImage over its buffer (no copy), made anew whenever the
// buffer has moved or grown.
const QImage& ImageOver(const pixels::Surface& s, QImage& image, const uint32_t*& over) {
    if (over != s.px.data() || image.width() != s.width || image.height() != s.height) {
        image = s.px.empty() ? QImage()
                             : QImage(reinterpret_cast<const uchar*>(s.px.data()), s.width, s.height,
                                      static_cast<qsizetype>(s.width) * 4, QImage::Format_RGB32);
        over = s.px.data();
    }
    return image;
}

// What window n shows: its retained pixels, with its overlay lines over them
// if it has any.
const QImage& View(int n) {
    Widgets& q = Q().windows[n];
    return ImageOver(core::Shown(n), q.view, q.viewOf);
}

void Create(int n) {
    Widgets& q = Q().windows[n];
    Window& w = S().windows[n];
    if (q.top != nullptr) return;
    if (n == 0) {
        auto* main = new MainWindow();
        q.top = main;
        q.canvas = main->CanvasWidget();
        // Window 0 holds the whole available area's worth of pixels from the
        // start, so that what start-up draws before the window system has
        // maximised it is not lost.
        ScreenWidthPixels();
        pixels::Grow(w.surface, S().areaWidth, S().areaHeight, w.background);
    } else {
        // The other windows belong to window 0 and stay above it: as tool
        // windows they are transient for it (on X11 Qt marks only dialog and
        // tool windows so), and a window manager keeps them on top even when
        // a menu choice raises the maximised window 0. They never take the
        // keyboard focus, so that Alt always reaches the menu bar; keys typed
        // anywhere are collected all the same.
        QWidget* owner = Q().windows[0].top;
        auto* canvas = new Canvas(n, owner, Qt::Tool | Qt::WindowDoesNotAcceptFocus);
        q.top = canvas;
        q.canvas = canvas;
    }
    w.created = true;
    q.top->setWindowTitle(QString::fromStdString(w.caption));
}

}  // namespace

Canvas::Canvas(int number, QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags), number_(number) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(number == 0 ? Qt::StrongFocus : Qt::NoFocus);
}

void Canvas::paintEvent(QPaintEvent* event) {
    const QImage& image = View(number_);
    const QColor background = QColor::fromRgb(S().windows[number_].background);
    const double r = Ratio();
    QPainter p(this);
    // The retained pixels are opaque: copy them, no blending.
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& logical : event->region()) {
        // Clipped to one rectangle, the copy is a plain row-by-row blit;
        // under the whole region's clip it would go pixel by pixel.
        p.setWorldTransform(QTransform());
        p.setClipRect(logical);
        QRect d = logical;
        if (r != 1) {
            // The pixels are the screen's own (device pixels), so on a sharp
            // screen the painter works in device pixels too: one to one.
            p.setWorldTransform(QTransform::fromScale(1 / r, 1 / r));
            const int left = static_cast<int>(std::floor(logical.x() * r));
            const int top = static_cast<int>(std::floor(logical.y() * r));
            d = QRect(left, top, static_cast<int>(std::ceil((logical.x() + logical.width()) * r)) - left,
                      static_cast<int>(std::ceil((logical.y() + logical.height()) * r)) - top);
        }
        const QRect inside = d & image.rect();
        if (!inside.isEmpty()) p.drawImage(inside.topLeft(), image, inside);
        if (inside != d) {
            // Beyond the retained image (only while a resize is under way).
            for (const QRect& q : QRegion(d) - QRegion(inside)) p.fillRect(q, background);
        }
    }
}

void Canvas::resizeEvent(QResizeEvent*) {
    Window& w = S().windows[number_];
    pixels::Grow(w.surface, static_cast<int>(std::ceil(width() * Ratio() - 1e-6)),
                 static_cast<int>(std::ceil(height() * Ratio() - 1e-6)), w.background);
}

bool ChooseCommandByKey(const QKeyEvent* event) {
    const QtState& q = Q();
    const QKeySequence pressed(QKeyCombination(event->modifiers() & ~Qt::KeypadModifier, Qt::Key(event->key())));
    for (std::size_t i = 0; i < q.commands.size(); ++i) {
        if (q.commandKeys[i].isEmpty() || q.commandKeys[i] != pressed) continue;
        // A disabled command (a line is being typed) leaves the key to the line.
        if (!q.commands[i]->isEnabled()) return false;
        q.commands[i]->trigger();
        return true;
    }
    return false;
}

void Canvas::keyPressEvent(QKeyEvent* event) {
    if (ChooseCommandByKey(event)) return;
    const int key = event->key();
    const core::KeyCode code = key == Qt::Key_Return || key == Qt::Key_Enter ? core::KeyCode::Return
                               : key == Qt::Key_Backspace                   ? core::KeyCode::Backspace
                               : key == Qt::Key_Escape                      ? core::KeyCode::Escape
                                                                            : core::KeyCode::Other;
    core::QueueKey(number_, code, event->text().toStdU32String());
}

void Canvas::mousePressEvent(QMouseEvent*) {
    core::CountClick();
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

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    ArrangeMenuRows();
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

QRegion RegionOf(const std::vector<pixels::Rect>& rects) {
    QRegion region;
    for (const pixels::Rect& r : rects) region += LogicalCovering(QRect(r.x, r.y, r.w, r.h));
    return region;
}

QRegion DirtyRegion(Window& w) {
    return RegionOf(pixels::DirtyRects(w.surface));
}

void ForgetDirty(Window& w) {
    pixels::ForgetDirty(w.surface);
}

QWidget* TopWidget(int n) {
    Widgets* q = WidgetsOf(n);
    return q != nullptr ? q->top : nullptr;
}

Canvas* CanvasOf(int n) {
    Widgets* q = WidgetsOf(n);
    return q != nullptr ? q->canvas : nullptr;
}

const QImage* RetainedImage(int n) {
    Widgets* q = WidgetsOf(n);
    return q != nullptr ? &ImageOver(S().windows[n].surface, q->retained, q->retainedOf) : nullptr;
}

QMenuBar* MenuBarWidget() {
    return Q().menuBar;
}

QLabel* StatusWidget() {
    return Q().status;
}

}  // namespace platform_internal

using namespace platform_internal;

namespace {

// The top-left corner of the primary screen's available area (logical
// pixels): below a panel at the top, right of one at the left, and on the
// primary screen wherever it stands among several.
QPoint AreaCorner() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry().topLeft() : QPoint(0, 0);
}

// Where window positions are measured from: the screen rectangle's corner,
// in the available area (device pixels).
QPoint ScreenCorner() {
    ScreenWidthPixels();
    return QPoint(S().screen.x, S().screen.y);
}

// How long the client area must stay as it is before it counts as settled,
// and how long the window system is given in all.
constexpr int64_t SettleNs = 50'000'000;
constexpr int64_t ShowLimitNs = 1'000'000'000;

// Waits until the window system shows the window and has stopped changing its
// client area. A window manager maximises window 0 to its own measure (the
// screen less its caption and the desktop's panels) only after the program
// has asked for it, and what start-up draws next must be kept inside the
// client area the window ends up with. Input that arrives meanwhile is kept.
void AwaitShownAndSettled(Widgets& q) {
    const int64_t start = SteadyNanoseconds();
    auto clientArea = [&q] { return QRect(q.canvas->mapToGlobal(QPoint(0, 0)), q.canvas->size()); };
    // Offscreen (in tests) nothing changes a window once it is shown.
    const int64_t settle = QGuiApplication::platformName() == QLatin1String("offscreen") ? 0 : SettleNs;
    QRect last = clientArea();
    int64_t steadySince = start;
    for (;;) {
        const int64_t now = SteadyNanoseconds();
        const QRect area = clientArea();
        if (area != last) {
            last = area;
            steadySince = now;
        }
        const QWindow* handle = q.top->windowHandle();
        const bool exposed = handle != nullptr && handle->isExposed();
        if ((exposed && now - steadySince >= settle) || now - start >= ShowLimitNs) return;
        WaitEventsUntil(std::min(now + 5'000'000, start + ShowLimitNs));
    }
}

// A window manager that is still starting can lose a request to show a
// window (openbox can drop a map request that reaches it before it has
// finished starting), and window 0 would then never appear: a black screen
// where the program was started together with the desktop. Until the window system
// first shows window 0 it is asked again, once a second for ten seconds.
void AskAgainUntilShown(QWidget* top, int triesLeft) {
    QTimer::singleShot(1000, top, [top, triesLeft] {
        const QWindow* handle = top->windowHandle();
        if (handle == nullptr || handle->isExposed() || !top->isVisible() || top->isMinimized() || S().ending)
            return;
        top->hide();
        top->showMaximized();
        if (triesLeft > 1) AskAgainUntilShown(top, triesLeft - 1);
    });
}

// Lets a window other than window 0 take the focus while a line is read in
// it, and not otherwise. The window system is told directly: changing the
// widget's flags the usual way would hide the window and make it anew.
void AcceptFocus(QWidget* top, bool accept) {
    Qt::WindowFlags flags = top->windowFlags();
    flags.setFlag(Qt::WindowDoesNotAcceptFocus, !accept);
    top->overrideWindowFlags(flags);
    if (QWindow* handle = top->windowHandle()) handle->setFlags(flags);
}

}  // namespace

// ---------------------------------------------------------------------------
// Screen

int MenuBarBottom() {
    Canvas* canvas = CanvasOf(0);
    if (canvas == nullptr || MenuBarWidget() == nullptr) return 0;
    // The canvas starts right below the menu rows.
    if (QLayout* layout = Q().windows[0].top->layout()) layout->activate();
    // A window manager puts a title bar above the client area of each of the
    // other windows: one whose client area starts here has its title bar
    // below the rows too. Its height is the highest seen on the program's
    // windows so far (window 0, maximised, may have no border on top).
    QtState& q = Q();
    for (const Widgets& w : q.windows)
        if (w.top != nullptr && w.top->isVisible() && w.top->windowHandle() != nullptr)
            q.titleBar = std::max(q.titleBar, w.top->windowHandle()->frameMargins().top());
    return static_cast<int>(
        std::lround((canvas->mapToGlobal(QPoint(0, 0)).y() + q.titleBar - AreaCorner().y()) * Ratio()));
}

// ---------------------------------------------------------------------------
// Windows

void OpenWindowDefault(int n) {
    Widgets* q = WidgetsOf(n);
    if (q == nullptr) return;
    Window& w = S().windows[n];
    const bool fresh = q->top == nullptr;
    const bool shown = !fresh && q->top->isVisible();
    Create(n);
    if (n == 0) {
        // Maximised, so that the title screen's panels fill the screen. Without
        // a window manager nobody maximises, so the window takes the available
        // area itself first.
        if (fresh)
            if (QScreen* screen = QGuiApplication::primaryScreen()) q->top->setGeometry(screen->availableGeometry());
        q->top->showMaximized();
        if (!shown) {
            if (QGuiApplication::platformName() == QLatin1String("xcb")) AskAgainUntilShown(q->top, 10);
            AwaitShownAndSettled(*q);
        }
    } else {
        if (fresh) q->top->resize(640, 480);
        pixels::Grow(w.surface, DeviceOf(q->canvas->width()), DeviceOf(q->canvas->height()), w.background);
        q->top->show();
    }
    w.open = true;
}

void OpenWindow(int n, int left, int top, int width, int height) {
    Widgets* q = WidgetsOf(n);
    if (q == nullptr) return;
    Window& w = S().windows[n];
    Create(n);
    pixels::Grow(w.surface, width, height, w.background);
    // Qt places windows in logical pixels: the nearest place, and a size
    // that holds every device pixel of the window.
    const double r = Ratio();
    const QPoint corner = AreaCorner(), screen = ScreenCorner();
    q->top->setGeometry(corner.x() + static_cast<int>(std::lround((screen.x() + left) / r)),
                        corner.y() + static_cast<int>(std::lround((screen.y() + top) / r)),
                        std::max(static_cast<int>(std::ceil(width / r - 1e-6)), 1),
                        std::max(static_cast<int>(std::ceil(height / r - 1e-6)), 1));
    q->top->show();
    // Offscreen (in tests) there is nothing to raise above.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) q->top->raise();
    w.open = true;
}

void CloseWindow(int n) {
    Widgets* q = WidgetsOf(n);
    if (q == nullptr || q->top == nullptr) return;
    q->top->hide();
    S().windows[n].open = false;
    core::ForgetDirty(n);
}

void ShowWindow(int n) {
    Widgets* q = WidgetsOf(n);
    if (q == nullptr || q->top == nullptr) return;
    if (!q->top->isVisible()) q->top->show();
    S().windows[n].open = true;
}

void SetWindowCaption(int n, const std::string& text) {
    Widgets* q = WidgetsOf(n);
    if (q == nullptr) return;
    S().windows[n].caption = text;
    if (q->top != nullptr) q->top->setWindowTitle(QString::fromStdString(text));
}

int WindowWidth(int n) {
    return backend::ShownWidth(n);
}

int WindowHeight(int n) {
    return backend::ShownHeight(n);
}

int WindowLeft(int n) {
    Canvas* canvas = CanvasOf(n);
    if (canvas == nullptr) return 0;
    return static_cast<int>(std::lround((canvas->mapToGlobal(QPoint(0, 0)).x() - AreaCorner().x()) * Ratio())) -
           ScreenCorner().x();
}

int WindowTop(int n) {
    Canvas* canvas = CanvasOf(n);
    if (canvas == nullptr) return 0;
    return static_cast<int>(std::lround((canvas->mapToGlobal(QPoint(0, 0)).y() - AreaCorner().y()) * Ratio())) -
           ScreenCorner().y();
}

namespace backend {

int ShownWidth(int n) {
    Canvas* canvas = CanvasOf(n);
    return canvas != nullptr ? DeviceOf(canvas->width()) : 0;
}

int ShownHeight(int n) {
    Canvas* canvas = CanvasOf(n);
    return canvas != nullptr ? DeviceOf(canvas->height()) : 0;
}

// All of a window's changes in one region, painted and sent to the window
// system right here: no update request goes round the event loop, which
// would cost a wake-up of its own.
void ShowChanged(int n, const std::vector<pixels::Rect>& changed) {
    Canvas* canvas = CanvasOf(n);
    if (canvas != nullptr && canvas->isVisible()) canvas->repaint(RegionOf(changed));
}

// Every window repaints its own changes: nothing is left for the frame.
void FrameShown() {}

}  // namespace backend

// ---------------------------------------------------------------------------
// Text cursor and keyboard

namespace backend {

// The window a line is read in takes the focus, as a dialog does: keys go
// to it, and a window manager's close (Alt+F4) closes it, which ends the
// line, and not window 0. The menu bar stays disabled meanwhile (ReadLine).
void BeginLineInput(int n, int, int, int, bool) {
    QWidget* top = TopWidget(n);
    Q().lineWindow = n;
    if (top == nullptr) return;
    if (n != 0) AcceptFocus(top, true);
    // Offscreen (in tests) there is nothing to raise above.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) top->raise();
    top->activateWindow();
}

// Window 0 takes the focus back once the program has gone on, so that a line
// asked again at once keeps it where it is.
void EndLineInput() {
    Q().lineWindow = -1;
    QWidget* main = TopWidget(0);
    if (main == nullptr) return;
    QTimer::singleShot(0, main, [main] {
        if (Q().lineWindow >= 0 || S().ending) return;
        for (int n = 1; n < MaxWindows; ++n) {
            QWidget* top = TopWidget(n);
            if (top != nullptr && !top->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus)) AcceptFocus(top, false);
        }
        if (main->isVisible()) main->activateWindow();
    });
}

}  // namespace backend
