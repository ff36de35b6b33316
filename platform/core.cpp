// core.cpp — the half of platform.h that every window system shares: the
// drawing state and everything drawn with it, images, showing what changed,
// and the handlers (the text cursor, line input and the polls are in
// line_editor.cpp). Each window system adds what backend.h lists: windows,
// events, the menu bar, the message box and the letters' shapes.
#include "platform/core.h"

#include "platform/backend.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>

namespace core {

State& S() {
    static State state;
    return state;
}

void Reset() {
    State& s = S();
    for (Window& w : s.windows) w = Window{};
    s.keys.clear();
    s.clicks = 0;
    s.target = 0;
    s.closeRequested = false;
    s.reserveTop = 0;
    s.reserveBottom = 0;
    s.fitted = false;
    s.screenChanged = false;
}

pixels::Rect FourByThree(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    // As wide as the area allows where it is taller than 4:3, as high as it
    // allows where it is wider.
    const bool wide = int64_t{width} * 3 >= int64_t{height} * 4;
    const int w = wide ? static_cast<int>(int64_t{height} * 4 / 3) : width;
    const int h = wide ? height : static_cast<int>(int64_t{width} * 3 / 4);
    return pixels::Rect{(width - w) / 2, (height - h) / 2, w, h};
}

void FitScreen() {
    State& s = S();
    backend::AvailableArea(s.areaWidth, s.areaHeight, s.ratio);
    if (!(s.ratio > 0)) s.ratio = 1;
    const int reserve = std::clamp(s.reserveTop, 0, std::max(0, s.areaHeight - 1));
    const int foot = std::clamp(s.reserveBottom, 0, std::max(0, s.areaHeight - reserve - 1));
    s.screen = FourByThree(s.areaWidth, s.areaHeight - reserve - foot);
    s.screen.y += reserve;
    s.fitted = true;
}

int OriginX(int n) {
    return n == 0 ? S().screen.x : 0;
}

int OriginY(int n) {
    // Window 0's client area starts below its menu rows already.
    return n == 0 ? S().screen.y - std::clamp(S().reserveTop, 0, S().screen.y) : 0;
}

void NoteScreenChanged() {
    S().screenChanged = true;
}

int Px(double v) {
    if (!(v > -1e8)) return -100'000'000;
    if (!(v < 1e8)) return 100'000'000;
    return static_cast<int>(std::floor(v));
}

Window* WindowOf(int n) {
    if (n < 0 || n >= MaxWindows) return nullptr;
    return &S().windows[n];
}

Window* Target() {
    Window* w = WindowOf(S().target);
    return (w != nullptr && !w->surface.px.empty()) ? w : nullptr;
}

void QueueKey(int window, KeyCode code, std::u32string text) {
    // A pupil leaning on the keyboard fills no memory.
    constexpr std::size_t MaxQueuedKeys = 256;
    State& s = S();
    if (s.keys.size() >= MaxQueuedKeys) s.keys.pop_front();
    s.keys.push_back(Key{window, code, std::move(text)});
}

void CountClick() {
    ++S().clicks;
}

void ChooseMenuItem(int32_t item) {
    if (S().onMenu != nullptr) S().onMenu(item);
}

void ChooseCommand(int item) {
    if (S().onCommand != nullptr) S().onCommand(item);
}

bool PictureSavable(const Image& picture, std::string& where) {
    if (picture.Width <= 0 || picture.Height <= 0) {
        where = "leeres Bild";
        return false;
    }
    return true;
}

std::string MarkedName(const std::string& name, const std::string& mark) {
    const std::size_t dot = name.rfind('.');
    const std::size_t split = dot == std::string::npos || dot == 0 ? name.size() : dot;
    return name.substr(0, split) + "-" + mark + name.substr(split);
}

std::string NumberedName(const std::string& name, int k) {
    return k <= 1 ? name : MarkedName(name, std::to_string(k));
}

namespace {

// An overlay line as the pixels it changes, in short pieces, so that a long
// slanting line marks a narrow band and not the box round it.
void MarkLine(pixels::Surface& s, const OverlayLine& line) {
    constexpr int Piece = 24;
    const int ax = Px(line.X1), ay = Px(line.Y1), bx = Px(line.X2), by = Px(line.Y2);
    const int reach = line.Width / 2 + 1;
    const int pieces = std::max(1, std::max(std::abs(bx - ax), std::abs(by - ay)) / Piece + 1);
    for (int i = 0; i < pieces; ++i) {
        const int x1 = ax + static_cast<int>(static_cast<int64_t>(bx - ax) * i / pieces);
        const int y1 = ay + static_cast<int>(static_cast<int64_t>(by - ay) * i / pieces);
        const int x2 = ax + static_cast<int>(static_cast<int64_t>(bx - ax) * (i + 1) / pieces);
        const int y2 = ay + static_cast<int>(static_cast<int64_t>(by - ay) * (i + 1) / pieces);
        pixels::Rect r = pixels::Between(x1, y1, x2, y2);
        pixels::MarkDirty(s, pixels::Rect{r.x - reach, r.y - reach, r.w + 2 * reach, r.h + 2 * reach});
    }
}

void DrawOverlay(pixels::Surface& into, const std::vector<OverlayLine>& lines) {
    for (const OverlayLine& l : lines)
        pixels::Line(into, Px(l.X1), Px(l.Y1), Px(l.X2), Px(l.Y2), std::max(1, l.Width), 1, ToPixel(l.Colour));
}

}  // namespace

const pixels::Surface& Shown(int n) {
    Window& w = *WindowOf(n);
    if (w.overlay.empty()) return w.surface;
    pixels::Surface& shown = w.shown;
    const bool sameSize = shown.width == w.surface.width && shown.height == w.surface.height && !shown.px.empty();
    // Painting and then forgetting what changed both ask: compose once.
    if (sameSize && w.shownAt == w.surface.changes) return shown;
    w.shownAt = w.surface.changes;
    if (!sameSize) {
        shown.width = w.surface.width;
        shown.height = w.surface.height;
        shown.px = w.surface.px;
    } else if (w.surface.dirty) {
        for (const pixels::Rect& r : pixels::DirtyRects(w.surface))
            for (int y = r.y; y <= r.Bottom(); ++y)
                std::copy_n(w.surface.px.data() + static_cast<std::size_t>(y) * w.surface.width + r.x, r.w,
                            pixels::Row(shown, y) + r.x);
    }
    DrawOverlay(shown, w.overlay);
    pixels::ForgetDirty(shown);
    return shown;
}

void ForgetDirty(int n) {
    Window& w = *WindowOf(n);
    if (!w.overlay.empty()) Shown(n);
    pixels::ForgetDirty(w.surface);
}

void FlushDirty(bool force) {
    State& s = S();
    const int64_t now = SteadyNanoseconds();
    if (!force && now - s.lastFlushNs < s.frameNs) return;
    s.lastFlushNs = now;
    for (int n = 0; n < MaxWindows; ++n) {
        if (!s.windows[n].surface.dirty) continue;
        pixels::DirtyRects(s.windows[n].surface, s.changed);
        backend::ShowChanged(n, s.changed);
        ForgetDirty(n);
    }
    backend::FrameShown();
}

}  // namespace core

using namespace core;

// ---------------------------------------------------------------------------
// Overlay lines

void SetOverlayLines(int n, const std::vector<OverlayLine>& lines) {
    Window* w = WindowOf(n);
    if (w == nullptr || w->overlay == lines) return;
    if (w->surface.px.empty()) {
        w->overlay = lines;
        return;
    }
    // Where the old lines were and where the new ones go must be shown anew.
    if (!w->overlay.empty()) Shown(n);
    for (const OverlayLine& l : w->overlay) MarkLine(w->surface, l);
    for (const OverlayLine& l : lines) MarkLine(w->surface, l);
    w->overlay = lines;
    if (lines.empty()) w->shown = pixels::Surface{};
}

void CaptureShownWindow(int n, Image& into) {
    Window* w = WindowOf(n);
    if (w == nullptr || w->surface.px.empty()) {
        EmptyImage(into);
        return;
    }
    const pixels::Surface& s = Shown(n);
    pixels::Capture(s, pixels::Rect{0, 0, s.width, s.height}, w->background, into);
}

void CaptureShownWindows(const std::vector<int>& windows, int ground, Image& into) {
    int left = 0, top = 0, right = 0, bottom = 0;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const int n = windows[i];
        const int l = WindowLeft(n), t = WindowTop(n), r = l + WindowWidth(n), b = t + WindowHeight(n);
        left = i == 0 ? l : std::min(left, l);
        top = i == 0 ? t : std::min(top, t);
        right = i == 0 ? r : std::max(right, r);
        bottom = i == 0 ? b : std::max(bottom, b);
    }
    into.Width = std::max(0, right - left);
    into.Height = std::max(0, bottom - top);
    const Window* g = WindowOf(ground);
    into.Pixels.assign(static_cast<std::size_t>(into.Width) * into.Height,
                       g != nullptr ? g->background : ToPixel(0));
    Image shown;
    for (int n : windows) {
        CaptureShownWindow(n, shown);
        const int x0 = WindowLeft(n) - left, y0 = WindowTop(n) - top;
        const int w = std::min(shown.Width, WindowWidth(n)), h = std::min(shown.Height, WindowHeight(n));
        for (int y = 0; y < h; ++y)
            std::copy_n(shown.Pixels.data() + static_cast<std::size_t>(y) * shown.Width, w,
                        into.Pixels.data() + static_cast<std::size_t>(y0 + y) * into.Width + x0);
    }
}

// ---------------------------------------------------------------------------
// Screen

int ScreenWidthPixels() {
    if (!S().fitted) FitScreen();
    return S().screen.w;
}

int ScreenHeightPixels() {
    if (!S().fitted) FitScreen();
    return S().screen.h;
}

int ScreenTop() {
    if (!S().fitted) FitScreen();
    return S().screen.y;
}

double PixelRatio() {
    if (!S().fitted) FitScreen();
    return S().ratio;
}

void ReserveScreenTop(int pixels) {
    S().reserveTop = std::max(0, pixels);
    FitScreen();
}

void ReserveScreenBottom(int pixels) {
    S().reserveBottom = std::max(0, pixels);
    FitScreen();
}

int AvailableHeightPixels() {
    if (!S().fitted) FitScreen();
    return S().areaHeight;
}

bool ScreenChanged() {
    State& s = S();
    if (!s.screenChanged) return false;
    s.screenChanged = false;
    FitScreen();
    return true;
}

// ---------------------------------------------------------------------------
// Windows: what needs no window system

void SetCloseHandler(CloseHandler handler) { S().onClose = handler; }

int64_t SteadyNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool IsWindowOpen(int n) {
    Window* w = WindowOf(n);
    return w != nullptr && w->open;
}

bool SetWindowBackground(int n, uint32_t colour) {
    Window* w = WindowOf(n);
    if (w == nullptr) return false;
    w->background = ToPixel(colour);
    return true;
}

uint32_t WindowBackground(int n) {
    Window* w = WindowOf(n);
    return w != nullptr ? FromPixel(w->background) : 0;
}

void ClearWindow(int n) {
    Window* w = WindowOf(n);
    if (w == nullptr || w->surface.px.empty()) return;
    pixels::Fill(w->surface, w->background);
}

void SelectWindow(int n) {
    if (WindowOf(n) != nullptr) S().target = n;
}

int SelectedWindow() { return S().target; }

uint32_t WindowPixel(int n, int x, int y) {
    Window* w = WindowOf(n);
    if (w == nullptr || w->surface.px.empty()) return 0;
    x += OriginX(n);
    y += OriginY(n);
    if (x < 0 || y < 0 || x >= w->surface.width || y >= w->surface.height) return FromPixel(w->background);
    return FromPixel(pixels::At(w->surface, x, y));
}

// ---------------------------------------------------------------------------
// Drawing state

void SetForeground(uint32_t colour) { S().foreground = colour; }
void SetBackground(uint32_t colour) { S().background = colour; }
void SetFillPattern(int pattern) { S().fillPattern = pattern; }
void SetLineStyle(int style) { S().lineStyle = style; }
void SetLineWidth(int width) { S().lineWidth = std::clamp(width, 1, 1000); }
void SetRasterMode(int mode) { S().rasterMode = mode; }
uint32_t Foreground() { return S().foreground; }
uint32_t Background() { return S().background; }
int FillPattern() { return S().fillPattern; }
int LineStyle() { return S().lineStyle; }
int LineWidth() { return S().lineWidth; }
int RasterMode() { return S().rasterMode; }

void SetFontFace(const std::string& face) { S().font.face = face; }
void SetFontSize(double pixels) { S().font.pixelSize = std::clamp(Px(pixels + 0.5), 1, 2000); }
void SetFontBold(bool bold) { S().font.bold = bold; }

// ---------------------------------------------------------------------------
// Drawing

namespace {

// The drawing target's origin: where its point (0, 0) lies in its pixels.
int Ox() { return OriginX(S().target); }
int Oy() { return OriginY(S().target); }

void LineBetween(double x1, double y1, double x2, double y2) {
    Window* w = Target();
    if (w == nullptr) return;
    const State& s = S();
    pixels::Line(w->surface, Px(x1) + Ox(), Px(y1) + Oy(), Px(x2) + Ox(), Px(y2) + Oy(), s.lineWidth, s.lineStyle,
                 ToPixel(s.foreground));
}

}  // namespace

void PlotPoint(double x, double y) {
    State& s = S();
    s.penX = x;
    s.penY = y;
    LineBetween(x, y, x, y);
}

void LineTo(double x, double y) {
    State& s = S();
    LineBetween(s.penX, s.penY, x, y);
    s.penX = x;
    s.penY = y;
}

void DrawLine(double x1, double y1, double x2, double y2) {
    LineBetween(x1, y1, x2, y2);
    S().penX = x2;
    S().penY = y2;
}

void FillEllipse(double cx, double cy, double rx, double ry) {
    Window* w = Target();
    if (w == nullptr || rx < 0 || ry < 0) return;
    const State& s = S();
    pixels::FillEllipse(w->surface, Px(cx) + Ox(), Px(cy) + Oy(), Px(rx + 0.5), Px(ry + 0.5), s.fillPattern,
                        ToPixel(s.foreground), ToPixel(s.background));
}

void DrawEllipse(double cx, double cy, double rx, double ry) {
    Window* w = Target();
    if (w == nullptr || rx < 0 || ry < 0) return;
    pixels::OutlineEllipse(w->surface, Px(cx) + Ox(), Px(cy) + Oy(), Px(rx + 0.5), Px(ry + 0.5),
                           ToPixel(S().foreground));
}

void FillBox(double x1, double y1, double x2, double y2) {
    Window* w = Target();
    if (w == nullptr) return;
    const State& s = S();
    pixels::FillBox(w->surface, pixels::Between(Px(x1) + Ox(), Px(y1) + Oy(), Px(x2) + Ox(), Px(y2) + Oy()),
                    s.fillPattern, ToPixel(s.foreground), ToPixel(s.background));
}

void DrawText(double x, double y, const std::string& text) {
    Window* w = Target();
    if (w == nullptr || text.empty()) return;
    const State& s = S();
    static pixels::GlyphMask mask;  // reused: text is drawn often while a line is typed
    int advance = 0, height = 0;
    backend::Glyphs(s.font, text, mask, advance, height);
    pixels::DrawGlyphs(w->surface, Px(x) + Ox(), Px(y) + Oy(), advance, height, mask, ToPixel(s.foreground),
                       ToPixel(s.background));
}

int TextWidth(const std::string& text) { return backend::TextAdvance(S().font, text); }

int TextHeight() { return backend::TextHeight(S().font); }

void CaptureImage(double x1, double y1, double x2, double y2, Image& into) {
    Window* w = Target();
    if (w == nullptr) {
        EmptyImage(into);
        return;
    }
    pixels::Capture(w->surface, pixels::Between(Px(x1) + Ox(), Px(y1) + Oy(), Px(x2) + Ox(), Px(y2) + Oy()),
                    w->background, into);
}

void PutImage(double x, double y, const Image& image) {
    Window* w = Target();
    if (w == nullptr) return;
    pixels::Put(w->surface, Px(x) + Ox(), Px(y) + Oy(), image);
}

// ---------------------------------------------------------------------------
// Events: what changed is shown before the window system delivers events.

void ProcessEvents() {
    FlushDirty(false);
    backend::PumpEvents();
}

void WaitForEvents() {
    FlushDirty(true);
    backend::AwaitEvents();
}

void WaitEventsUntil(int64_t deadlineNs) {
    if (SteadyNanoseconds() >= deadlineNs) {
        ProcessEvents();
        return;
    }
    // What the last pass drew goes to the screen now, while the loop idles.
    FlushDirty(true);
    backend::AwaitEventsUntil(deadlineNs);
}

void InstallMenuBar(const std::vector<std::string>& entries, MenuHandler handler) {
    S().onMenu = handler;
    backend::ShowMenuBar(entries);
}

void InstallCommandMenus(const std::vector<CommandMenu>& menus, CommandHandler handler) {
    S().onCommand = handler;
    backend::ShowCommandMenus(menus);
}

// ---------------------------------------------------------------------------
// Message box: "|" ends a line; the window system shows the lines, once
// what changed is on the screen.

void MessageBoxLines(const std::vector<std::string>& lines) {
    FlushDirty(true);
    backend::ShowMessageBox(lines);
}

void MessageBox(const std::string& text) {
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '|') lines.emplace_back();
        else lines.back() += c;
    }
    MessageBoxLines(lines);
}
