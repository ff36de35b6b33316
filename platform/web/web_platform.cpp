// web_platform.cpp — the browser's window system behind platform.h: the page
// is the screen, window 0 the page with its menu bar, windows 1 to 3 canvases
// over it; events come from the page's script (page.js), which the program
// asks for them whenever it lets events through. A procedure that waits (a
// key wait, a line of input, the message box, the pause between passes)
// stays a plain call: the program sleeps in the browser's event loop
// (Asyncify) and wakes when input comes or the time is up.
#include "platform/core.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------
// The page's side, in page.js (object HG).

EM_JS(void, hg_start, (), { HG.start(); });
EM_JS(void, hg_end, (), { HG.end(); });
EM_JS(int, hg_screen_width, (), { return HG.screenWidth; });
EM_JS(int, hg_screen_height, (), { return HG.screenHeight; });
EM_JS(void, hg_open_window, (int n, int left, int top, int width, int height, int main),
      { HG.openWindow(n, left, top, width, height, main != 0); });
EM_JS(void, hg_close_window, (int n), { HG.closeWindow(n); });
EM_JS(void, hg_set_caption, (int n, const char* text), { HG.setCaption(n, UTF8ToString(text)); });
EM_JS(int, hg_client, (int n, int what), { return HG.client(n, what); });
EM_JS(void, hg_blit, (int n, int x, int y, int w, int h, const void* rgba), { HG.blit(n, x, y, w, h, rgba); });
EM_JS(int, hg_next_event, (int* out), { return HG.nextEvent(out); });
EM_JS(int, hg_mouse_buttons, (), { return HG.buttons; });
EM_JS(void, hg_install_menu, (const char* entries), { HG.installMenu(UTF8ToString(entries)); });
EM_JS(void, hg_menu_enabled, (int enabled), { HG.setMenuEnabled(enabled != 0); });
EM_JS(void, hg_install_commands, (const char* title, const char* items),
      { HG.installCommands(UTF8ToString(title), UTF8ToString(items)); });
EM_JS(void, hg_status, (const char* text), { HG.setStatus(UTF8ToString(text)); });
EM_JS(int, hg_save_picture, (const char* name, const void* pixels, int width, int height),
      { return HG.savePicture(UTF8ToString(name), pixels, width, height); });
EM_JS(void, hg_measure, (const char* face, int size, int bold, const char* text, int* out),
      { HG.measureText(UTF8ToString(face), size, bold != 0, UTF8ToString(text), out); });
EM_JS(void, hg_glyphs, (const char* face, int size, int bold, const char* text, unsigned char* mask),
      { HG.glyphs(UTF8ToString(face), size, bold != 0, UTF8ToString(text), mask); });
EM_JS(double, hg_cell_width, (const char* face, int size, int bold),
      { return HG.cellWidth(UTF8ToString(face), size, bold != 0); });
EM_JS(void, hg_mark, (const char* what), { HG.mark(UTF8ToString(what)); });
EM_ASYNC_JS(void, hg_sleep, (double ms), { await HG.sleep(ms); });
EM_ASYNC_JS(void, hg_message_box, (const char* caption, const char* text),
            { await HG.messageBox(UTF8ToString(caption), UTF8ToString(text)); });

using namespace core;

namespace {

// The page is asked for events this often at least, even by a loop that never
// waits (unpaced), so that it stays responsive.
constexpr int64_t LongestBusyNs = 50'000'000;
int64_t lastYieldNs = 0;
int64_t lastFlushNs = 0;
constexpr int64_t FrameNs = 16'666'667;
bool menuInstalled = false;
CommandHandler onCommand = nullptr;

std::vector<uint8_t> rgba;  // one changed rectangle, as the canvas takes it

// What the window system shows of window n (client size): 0 while it has none.
int Shown(int n, int what) { return WindowOf(n) != nullptr && WindowOf(n)->created ? hg_client(n, what) : 0; }

void Show(int n, Window& w) {
    const int shownW = Shown(n, 2), shownH = Shown(n, 3);
    // What the window shows: its pixels, with its overlay lines if it has any.
    const pixels::Surface& shown = core::Shown(n);
    for (const pixels::Rect& d : pixels::DirtyRects(w.surface)) {
        const pixels::Rect r = pixels::Intersect(d, pixels::Rect{0, 0, shownW, shownH});
        if (r.Empty()) continue;
        rgba.resize(static_cast<std::size_t>(r.w) * r.h * 4);
        uint8_t* out = rgba.data();
        for (int y = r.y; y <= r.Bottom(); ++y) {
            const uint32_t* in = shown.px.data() + static_cast<std::size_t>(y) * shown.width + r.x;
            for (int x = 0; x < r.w; ++x, out += 4) {
                const uint32_t p = in[x];
                out[0] = static_cast<uint8_t>(p >> 16);
                out[1] = static_cast<uint8_t>(p >> 8);
                out[2] = static_cast<uint8_t>(p);
                out[3] = 255;
            }
        }
        hg_blit(n, r.x, r.y, r.w, r.h, rgba.data());
    }
    core::ForgetDirty(n);
}

// Takes what the page collected and hands it to the program.
void Deliver() {
    State& s = S();
    int e[4];
    while (hg_next_event(e) != 0) {
        switch (e[0]) {
            case 1: {  // a key: window, code, character
                const KeyCode code = e[2] == 1 ? KeyCode::Return : e[2] == 2 ? KeyCode::Backspace
                                                         : e[2] == 3 ? KeyCode::Escape
                                                                     : KeyCode::Other;
                std::u32string text;
                if (e[3] > 0) text += static_cast<char32_t>(e[3]);
                QueueKey(e[1], code, std::move(text));
                break;
            }
            case 2:  // a mouse button (or a finger) went down
                CountClick();
                break;
            case 4: {  // a menu choice: the entry's index
                int32_t item = e[1];
                if (s.onMenu != nullptr) s.onMenu(item);
                break;
            }
            case 5:  // a command of the command menu, by menu or key: its position
                if (onCommand != nullptr) onCommand(e[1]);
                break;
            default: break;
        }
    }
}

void Yield(double ms) {
    hg_sleep(ms);
    lastYieldNs = SteadyNanoseconds();
}

}  // namespace

// ---------------------------------------------------------------------------
// What the shared code asks of the window system

namespace backend {

namespace {

void Measure(const core::Font& font, const std::string& text, int* out) {
    hg_measure(font.face.c_str(), font.pixelSize, font.bold ? 1 : 0, text.c_str(), out);
}

}  // namespace

void Glyphs(const core::Font& font, const std::string& text, pixels::GlyphMask& mask, int& advance, int& height) {
    int m[6];  // advance, height, mask x, mask y, mask width, mask height
    Measure(font, text, m);
    advance = m[0];
    height = m[1];
    mask.x = m[2];
    mask.y = m[3];
    mask.width = m[4];
    mask.height = m[5];
    mask.on.assign(static_cast<std::size_t>(mask.width) * mask.height, 0);
    if (!mask.on.empty()) hg_glyphs(font.face.c_str(), font.pixelSize, font.bold ? 1 : 0, text.c_str(), mask.on.data());
}

int TextAdvance(const core::Font& font, const std::string& text) {
    int m[6];
    Measure(font, text, m);
    return m[0];
}

int TextHeight(const core::Font& font) {
    int m[6];
    Measure(font, "Xg", m);
    return m[1];
}

double CellWidth(const core::Font& font) {
    return std::max(1.0, hg_cell_width(font.face.c_str(), font.pixelSize, font.bold ? 1 : 0));
}

int ShownWidth(int n) { return Shown(n, 2); }
int ShownHeight(int n) { return Shown(n, 3); }

void SetMenuBarEnabled(bool enabled) {
    if (menuInstalled) hg_menu_enabled(enabled ? 1 : 0);
}

void FlushDirty(bool force) {
    const int64_t now = SteadyNanoseconds();
    if (!force && now - lastFlushNs < FrameNs) return;
    lastFlushNs = now;
    State& s = S();
    for (int n = 0; n < MaxWindows; ++n) {
        Window& w = s.windows[n];
        if (!w.surface.dirty) continue;
        if (w.created && w.open)
            Show(n, w);
        else
            core::ForgetDirty(n);
    }
}

}  // namespace backend

// ---------------------------------------------------------------------------
// Start and end, the screen

bool PlatformStart(int&, char**) {
    hg_start();
    State& s = S();
    s.ending = false;
    s.font = core::Font{};
    lastYieldNs = SteadyNanoseconds();
    return true;
}

void PlatformEnd() {
    State& s = S();
    s.ending = true;
    backend::FlushDirty(true);
    core::Reset();
    menuInstalled = false;
    onCommand = nullptr;
    hg_end();
}

int ScreenWidthPixels() { return hg_screen_width(); }
int ScreenHeightPixels() { return hg_screen_height(); }

// ---------------------------------------------------------------------------
// Windows

void OpenWindowDefault(int n) {
    Window* w = WindowOf(n);
    if (w == nullptr) return;
    // Window 0 is the page; another window opens at the page's top left.
    const int width = n == 0 ? ScreenWidthPixels() : 640, height = n == 0 ? ScreenHeightPixels() : 480;
    pixels::Grow(w->surface, width, height, w->background);
    hg_open_window(n, 0, 0, width, height, n == 0 ? 1 : 0);
    hg_set_caption(n, w->caption.c_str());
    w->created = w->open = true;
}

void OpenWindow(int n, int left, int top, int width, int height) {
    Window* w = WindowOf(n);
    if (w == nullptr) return;
    width = std::max(width, 1);
    height = std::max(height, 1);
    pixels::Grow(w->surface, width, height, w->background);
    hg_open_window(n, left, top, width, height, 0);
    hg_set_caption(n, w->caption.c_str());
    w->created = w->open = true;
    // What it holds shows at once.
    pixels::MarkDirty(w->surface, pixels::Rect{0, 0, width, height});
}

void CloseWindow(int n) {
    Window* w = WindowOf(n);
    if (w == nullptr || !w->created) return;
    hg_close_window(n);
    w->open = false;
    core::ForgetDirty(n);
}

void ShowWindow(int n) {
    Window* w = WindowOf(n);
    if (w == nullptr || !w->created) return;
    if (!w->open) {
        const pixels::Rect r{0, 0, Shown(n, 2), Shown(n, 3)};
        hg_open_window(n, hg_client(n, 0), hg_client(n, 1), r.w, r.h, n == 0 ? 1 : 0);
        pixels::MarkDirty(w->surface, r);
    }
    w->open = true;
}

void SetWindowCaption(int n, const std::string& text) {
    Window* w = WindowOf(n);
    if (w == nullptr) return;
    w->caption = text;
    if (w->created) hg_set_caption(n, text.c_str());
}

int WindowWidth(int n) { return Shown(n, 2); }
int WindowHeight(int n) { return Shown(n, 3); }
int WindowLeft(int n) { return Shown(n, 0); }
int WindowTop(int n) { return Shown(n, 1); }

// ---------------------------------------------------------------------------
// Events

void ProcessEvents() {
    backend::FlushDirty(false);
    // A loop that never waits still lets the page draw and take input now
    // and then.
    if (SteadyNanoseconds() - lastYieldNs > LongestBusyNs) {
        backend::FlushDirty(true);
        Yield(0);
    }
    Deliver();
}

void WaitForEvents() {
    backend::FlushDirty(true);
    Yield(1e9);  // the page wakes the program as soon as input comes
    Deliver();
}

void WaitEventsUntil(int64_t deadlineNs) {
    // What the last pass drew goes to the screen now, while the loop idles.
    backend::FlushDirty(true);
    for (;;) {
        const int64_t left = deadlineNs - SteadyNanoseconds();
        if (left <= 0) break;
        Yield(static_cast<double>(left) / 1e6);
        Deliver();
    }
    Deliver();
}

void InstallMenuBar(const std::vector<std::string>& entries, MenuHandler handler) {
    S().onMenu = handler;
    // One text for the page: the entries one per line, as the list has them.
    std::string text;
    for (const std::string& e : entries) {
        std::string line = e;
        std::replace(line.begin(), line.end(), '\n', ' ');
        text += line;
        text += '\n';
    }
    hg_install_menu(text.c_str());
    menuInstalled = true;
}

void InstallCommandMenu(const std::string& title, const std::vector<CommandItem>& items, CommandHandler handler) {
    onCommand = handler;
    // One text for the page: per item its text, key and key label, a tab between.
    std::string text;
    for (const CommandItem& item : items) text += item.Text + '\t' + item.Key + '\t' + item.KeyLabel + '\n';
    hg_install_commands(title.c_str(), text.c_str());
}

void SetStatusText(const std::string& text) { hg_status(text.c_str()); }

SavedAs SavePicture(const Image& picture, const std::string& fileName, std::string& where) {
    if (picture.Width <= 0 || picture.Height <= 0) {
        where = "leeres Bild";
        return SavedAs::Failed;
    }
    if (hg_save_picture(fileName.c_str(), picture.Pixels.data(), picture.Width, picture.Height) == 0) {
        where = "Der Browser bietet keinen Download an.";
        return SavedAs::Failed;
    }
    where = fileName;
    return SavedAs::Download;
}

int MouseButtons() { return hg_mouse_buttons(); }

// ---------------------------------------------------------------------------
// Message box

void MessageBox(const std::string& text) {
    backend::FlushDirty(true);
    const Window& main = S().windows[0];
    hg_message_box(main.caption.c_str(), text.c_str());
    lastYieldNs = SteadyNanoseconds();
}

// Marks a moment for those who measure (the title screen on the page, say).
extern "C" void HeliogeoMark(const char* what) { hg_mark(what); }
