// web_platform.cpp — the browser's window system behind platform.h: the page
// is the screen, window 0 the page below its menu bar, the other windows
// frames over it. What all of them show is composed here into one picture of
// the page, which one canvas shows device pixel for device pixel; events come
// from the page's scripts (page.js, and menubar.js for the menu bar), which
// the program asks for them whenever it lets events through. A procedure that
// waits (a key wait, a line of input, the message box, the pause between
// passes) stays a plain call: the program sleeps in the browser's event loop
// (Asyncify) and wakes when input comes or the time is up.
#include "platform/backend.h"
#include "platform/core.h"
#include "platform/web/compositor.h"

#include <emscripten.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

// ---------------------------------------------------------------------------
// What crosses between the program and the page, named alike on both sides:
// page.js has each table below under the name given with it.

namespace bridge {

// The kinds of event the page hands over (page.js: EVENT).
enum Event : int32_t {
    KeyEvent = 1,         // a key: window, key code (KeyCode), character
    ButtonDownEvent = 2,  // a mouse button or a finger went down: window
    ButtonUpEvent = 3,    // and up again: window; it hands nothing over, it wakes
                          // the program, which then asks for the buttons (MouseButtons)
    MenuEvent = 4,        // a menu choice: the entry's index in the menu list
    CommandEvent = 5,     // a command of the command menus, by menu, key or touch button: its position
    ScreenEvent = 6,      // the page's size or pixel ratio changed for good
};

// An event as the page writes it (page.js: EVENT_FIELD).
struct EventRecord {
    int32_t kind;       // Event
    int32_t which;      // KeyEvent, ButtonDownEvent, ButtonUpEvent: the window;
                        // MenuEvent: the entry's index; CommandEvent: its position
    int32_t code;       // KeyEvent: KeyCode
    int32_t character;  // KeyEvent: the character typed, as a code point; 0: none
};
static_assert(sizeof(EventRecord) == 4 * sizeof(int32_t));

// A key event's key code (page.js: KEY_CODE).
enum KeyCode : int32_t {
    OtherKey = 0,      // a character, or a key the program takes as none
    ReturnKey = 1,     // Return, or the line's button ↵
    BackspaceKey = 2,  // Backspace, or a character taken out of the line's input
    EscapeKey = 3,     // Escape
};

// A size the page writes (page.js: SIZE_FIELD).
struct Size {
    int32_t width = 1;   // device pixels
    int32_t height = 1;  // device pixels
};
static_assert(sizeof(Size) == 2 * sizeof(int32_t));

// What the page writes of a text's letters, device pixels (page.js: METRICS_FIELD).
struct TextMetrics {
    int32_t advance;     // how far the next text starts to the right
    int32_t height;      // ascent and descent
    int32_t maskX;       // where the letters' mask starts, from the text's corner
    int32_t maskY;
    int32_t maskWidth;   // the mask's size
    int32_t maskHeight;
};
static_assert(sizeof(TextMetrics) == 6 * sizeof(int32_t));

}  // namespace bridge

// The page's side: page.js (object HG) and its menu bar (HG.menuBar, menubar.js).
EM_JS(void, hg_start, (), { HG.start(); });
EM_JS(void, hg_end, (), { HG.end(); });
EM_JS(void, hg_area, (bridge::Size* out), { HG.areaInto(out); });
EM_JS(double, hg_ratio, (), { return HG.area.ratio; });
EM_JS(void, hg_screen_rect, (int x, int y, int width, int height), { HG.setScreenRect(x, y, width, height); });
EM_JS(void, hg_open_window, (int n, int left, int top, int width, int height, int main),
      { HG.openWindow(n, left, top, width, height, main != 0); });
EM_JS(void, hg_show_window, (int n), { HG.showWindow(n); });
EM_JS(void, hg_close_window, (int n), { HG.closeWindow(n); });
EM_JS(void, hg_set_caption, (int n, const char* text), { HG.setCaption(n, UTF8ToString(text)); });
EM_JS(void, hg_page_size, (bridge::Size* out), { HG.pageSizeInto(out); });
EM_JS(void, hg_blit, (int x, int y, int w, int h, const void* rgba), { HG.blit(x, y, w, h, rgba); });
EM_JS(int, hg_next_event, (bridge::EventRecord* out), { return HG.nextEvent(out); });
EM_JS(int, hg_mouse_buttons, (), { return HG.buttons; });
EM_JS(void, hg_install_menu, (const char* entries), { HG.installMenu(UTF8ToString(entries)); });
EM_JS(void, hg_menu_enabled, (int enabled), { HG.menuBar.setEnabled(enabled != 0); });
EM_JS(int, hg_menu_bar_bottom, (), { return HG.menuBarBottom(); });
EM_JS(void, hg_install_commands, (const char* menus), { HG.menuBar.installCommands(UTF8ToString(menus)); });
EM_JS(void, hg_command_checked, (int k, int checked), { HG.menuBar.setChecked(k, checked != 0); });
EM_JS(void, hg_status_room, (const char* text, const char* shortText),
      { HG.menuBar.setStatusRoom(UTF8ToString(text), UTF8ToString(shortText)); });
EM_JS(void, hg_status, (const char* text, const char* shortText),
      { HG.menuBar.setStatus(UTF8ToString(text), UTF8ToString(shortText)); });
EM_JS(void, hg_line_begin, (int n, int x, int y, int height, int numbers),
      { HG.beginLine(n, x, y, height, numbers != 0); });
EM_JS(void, hg_line_end, (), { HG.endLine(); });
EM_JS(void, hg_notice, (const char* text), { HG.notice(UTF8ToString(text)); });
EM_JS(void, hg_announce, (const char* text), { HG.announce(UTF8ToString(text)); });
EM_JS(int, hg_save_picture, (const char* name, const void* pixels, int width, int height),
      { return HG.savePicture(UTF8ToString(name), pixels, width, height); });
EM_JS(int, hg_save_text, (const char* name, const char* bytes, int length, const char* mimeType),
      { return HG.saveText(UTF8ToString(name), bytes, length, UTF8ToString(mimeType)); });
// A picture's PNG bytes in two calls: made and counted (-1: none), then
// copied into room of that size.
EM_JS(int, hg_encode_png, (const void* pixels, int width, int height), { return HG.encodePng(pixels, width, height); });
EM_JS(void, hg_take_png, (void* into), { HG.takePng(into); });
EM_JS(void, hg_measure, (const char* face, int size, int bold, const char* text, bridge::TextMetrics* out),
      { HG.measureText(UTF8ToString(face), size, bold != 0, UTF8ToString(text), out); });
EM_JS(void, hg_glyphs, (const char* face, int size, int bold, const char* text, unsigned char* mask),
      { HG.glyphs(UTF8ToString(face), size, bold != 0, UTF8ToString(text), mask); });
EM_JS(double, hg_cell_width, (const char* face, int size, int bold),
      { return HG.cellWidth(UTF8ToString(face), size, bold != 0); });
EM_ASYNC_JS(void, hg_sleep, (double ms), { await HG.sleep(ms); });
// The box's lines come in one text, `separator` between them.
EM_ASYNC_JS(void, hg_message_box, (const char* caption, const char* lines, const char* separator),
            { await HG.messageBox(UTF8ToString(caption), UTF8ToString(lines).split(UTF8ToString(separator))); });

using namespace core;

namespace {

// The page is asked for events this often at least, even by a loop that never
// waits (unpaced), so that it stays responsive.
constexpr int64_t LongestBusyNs = 50'000'000;

// What the browser's window system keeps besides the shared state (S()).
// The page's size and pixel ratio are the page's own (HG.area): they change
// only when it says so, by a ScreenEvent.
struct Web {
    bool menuInstalled = false;  // the page shows the program's menu bar
    int64_t lastYieldNs = 0;     // when the page last had the browser's event loop

    // The page's picture, composed from the windows where it changed
    // (compositor.h).
    compositor::Page page;
    std::vector<uint8_t> rgba;                    // one changed rectangle, as the canvas takes it

    std::string mark;                      // this page's own part of the names it offers (DownloadName)
    std::map<std::string, int> offered;    // how often this page offered each name
};

Web web;

// The page's size in device pixels, and its pixel ratio.
bridge::Size PageArea() {
    bridge::Size a;
    hg_area(&a);
    return bridge::Size{std::max(1, a.width), std::max(1, a.height)};
}

double PageRatio() {
    const double r = hg_ratio();
    return r > 0 ? r : 1;
}

// Gives window n a surface of exactly this size: what it holds where it was
// as large already, else the background colour.
void SizeSurface(Window& w, int width, int height) {
    if (w.surface.width == width && w.surface.height == height) return;
    if (w.surface.width > width || w.surface.height > height) w.surface = pixels::Surface{};
    pixels::Grow(w.surface, width, height, w.background);
}

// For those who test: where the program lays itself out on the page.
void TellScreen() {
    const pixels::Rect& r = S().screen;
    hg_screen_rect(r.x, r.y, r.w, r.h);
}

const pixels::Surface& MainPixels() { return S().windows[0].surface; }

pixels::Rect PageRect(int n) { return compositor::PageRect(web.page, n, MainPixels()); }

// Window n with the line round it, a CSS pixel wide.
pixels::Rect Outer(int n) {
    web.page.frame = std::max(1, static_cast<int>(std::lround(PageRatio())));
    return compositor::Outer(web.page, n, MainPixels());
}

void Expose(const pixels::Rect& r) { compositor::Expose(web.page, r); }

// Window n stands at r on the page from now on (it was elsewhere, or not shown).
void Place(int n, const pixels::Rect& r) {
    web.page.frame = std::max(1, static_cast<int>(std::lround(PageRatio())));
    compositor::Place(web.page, n, r, MainPixels());
}

// Shows the page's changed rectangles on its canvas.
void ShowPage() {
    const compositor::ShownPixels shown = [](int n) -> const pixels::Surface* {
        return S().windows[n].open ? &core::Shown(n) : nullptr;
    };
    for (const pixels::Rect& r : pixels::DirtyRects(web.page.marks)) {
        web.rgba.resize(static_cast<std::size_t>(r.w) * r.h * 4);
        compositor::Compose(web.page, r, shown, web.rgba.data());
        hg_blit(r.x, r.y, r.w, r.h, web.rgba.data());
    }
    pixels::ForgetDirty(web.page.marks);
}

// The page's canvas has the size the page gave it: the picture follows.
void SizePage() {
    bridge::Size size;
    hg_page_size(&size);
    compositor::Resize(web.page, size.width, size.height);
}

// Window n's client area on the page, device pixels from the page's corner;
// empty while it has none. What the page shows of window 0 ends at the page's foot.
pixels::Rect Client(int n) {
    const Window* w = WindowOf(n);
    if (w == nullptr || !w->created) return pixels::Rect{};
    pixels::Rect r = PageRect(n);
    if (n == 0) r.h = std::max(1, std::min(r.h, PageArea().height - web.page.mainTop));
    return r;
}

// Takes what the page collected and hands it to the program.
void Deliver() {
    bridge::EventRecord e;
    while (hg_next_event(&e) != 0) {
        switch (e.kind) {
            case bridge::KeyEvent: {
                const KeyCode code = e.code == bridge::ReturnKey      ? KeyCode::Return
                                     : e.code == bridge::BackspaceKey ? KeyCode::Backspace
                                     : e.code == bridge::EscapeKey    ? KeyCode::Escape
                                                                      : KeyCode::Other;
                std::u32string text;
                if (e.character > 0) text += static_cast<char32_t>(e.character);
                QueueKey(e.which, code, std::move(text));
                break;
            }
            case bridge::ButtonDownEvent: CountClick(); break;
            case bridge::ButtonUpEvent: break;  // it has woken the program; MouseButtons() says the rest
            case bridge::MenuEvent: ChooseMenuItem(e.which); break;
            case bridge::CommandEvent: ChooseCommand(e.which); break;
            case bridge::ScreenEvent: NoteScreenChanged(); break;
            default: break;
        }
    }
}

// The menu bar's foot moves with its rows: window 0 with it.
void FollowMenuBar() {
    compositor::MoveMain(web.page, MenuBarBottom(), MainPixels());
}

void Yield(double ms) {
    hg_sleep(ms);
    web.lastYieldNs = SteadyNanoseconds();
}

}  // namespace

// ---------------------------------------------------------------------------
// What a window system supplies (backend.h), in its order.

// ---------------------------------------------------------------------------
// Start and end

bool PlatformStart(int&, char**) {
    hg_start();
    State& s = S();
    s.ending = false;
    s.font = core::Font{};
    web.lastYieldNs = SteadyNanoseconds();
    return true;
}

void PlatformEnd() {
    State& s = S();
    s.ending = true;
    core::FlushDirty(true);
    core::Reset();
    web = Web{};
    hg_end();
}

// ---------------------------------------------------------------------------
// Screen

void backend::AvailableArea(int& width, int& height, double& ratio) {
    const bridge::Size area = PageArea();
    width = area.width;
    height = area.height;
    ratio = PageRatio();
}

int MenuBarBottom() { return web.menuInstalled ? hg_menu_bar_bottom() : 0; }

// ---------------------------------------------------------------------------
// Windows

void OpenWindowDefault(int n) {
    Window* w = WindowOf(n);
    if (w == nullptr) return;
    // Window 0 is the page below its menu bar, its pixels as large as the
    // page; another window opens at the screen rectangle's top left.
    ScreenWidthPixels();  // the rectangle is fitted
    TellScreen();
    if (n != 0) {
        OpenWindow(n, 0, 0, 640, 480);
        return;
    }
    const bridge::Size area = PageArea();
    SizeSurface(*w, area.width, area.height);
    hg_open_window(0, 0, 0, area.width, area.height, 1);
    hg_set_caption(0, w->caption.c_str());
    w->created = w->open = true;
    web.page.mainTop = MenuBarBottom();
    SizePage();
    Place(0, PageRect(0));
}

void OpenWindow(int n, int left, int top, int width, int height) {
    Window* w = WindowOf(n);
    if (w == nullptr) return;
    width = std::max(width, 1);
    height = std::max(height, 1);
    SizeSurface(*w, width, height);
    ScreenWidthPixels();  // the rectangle is fitted
    TellScreen();
    const pixels::Rect& screen = S().screen;
    const pixels::Rect at{screen.x + left, screen.y + top, width, height};
    hg_open_window(n, at.x, at.y, width, height, 0);
    hg_set_caption(n, w->caption.c_str());
    w->created = w->open = true;
    Place(n, at);
}

void CloseWindow(int n) {
    Window* w = WindowOf(n);
    if (w == nullptr || !w->created) return;
    hg_close_window(n);
    w->open = false;
    core::ForgetDirty(n);
    Expose(Outer(n));
}

void ShowWindow(int n) {
    Window* w = WindowOf(n);
    if (w == nullptr || !w->created) return;
    if (!w->open) {
        hg_show_window(n);
        Expose(Outer(n));
    }
    w->open = true;
}

void SetWindowCaption(int n, const std::string& text) {
    Window* w = WindowOf(n);
    if (w == nullptr) return;
    w->caption = text;
    if (w->created) hg_set_caption(n, text.c_str());
}

int WindowWidth(int n) { return Client(n).w; }
int WindowHeight(int n) { return Client(n).h; }
int WindowLeft(int n) { return Client(n).x - S().screen.x; }
int WindowTop(int n) { return Client(n).y - S().screen.y; }

int backend::ShownWidth(int n) { return Client(n).w; }
int backend::ShownHeight(int n) { return Client(n).h; }

// Window n's changes go onto the page where it stands, and the page shows
// them at once (the shared core flushes by itself too, while a line is read).
void backend::ShowChanged(int n, const std::vector<pixels::Rect>& changed) {
    FollowMenuBar();
    const Window& w = S().windows[n];
    if (w.created && w.open) {
        const pixels::Rect at = PageRect(n);
        for (const pixels::Rect& d : changed) Expose(pixels::Intersect(pixels::Rect{at.x + d.x, at.y + d.y, d.w, d.h}, at));
    }
    if (web.page.marks.dirty) ShowPage();
}

// In the same frame as the windows' changes, what changed of the page itself:
// a window opened, closed or shown, the menu bar's foot.
void backend::FrameShown() {
    FollowMenuBar();
    if (web.page.marks.dirty) ShowPage();
}

// ---------------------------------------------------------------------------
// Events

void backend::PumpEvents() {
    // A loop that never waits still lets the page draw and take input now
    // and then.
    if (SteadyNanoseconds() - web.lastYieldNs > LongestBusyNs) {
        core::FlushDirty(true);
        Yield(0);
    }
    Deliver();
}

void backend::AwaitEvents() {
    Yield(1e9);  // the page wakes the program as soon as input comes
    Deliver();
}

void backend::AwaitEventsUntil(int64_t deadlineNs) {
    for (;;) {
        const int64_t left = deadlineNs - SteadyNanoseconds();
        if (left <= 0) break;
        Yield(static_cast<double>(left) / 1e6);
        Deliver();
    }
    Deliver();
}

void backend::ShowMenuBar(const std::vector<std::string>& entries) {
    // One text for the page: the entries one per line, as the list has them.
    std::string text;
    for (const std::string& e : entries) {
        std::string line = e;
        std::replace(line.begin(), line.end(), '\n', ' ');
        text += line;
        text += '\n';
    }
    hg_install_menu(text.c_str());
    web.menuInstalled = true;
}

void backend::ShowCommandMenus(const std::vector<CommandMenu>& menus) {
    // One text for the page (menubar.js: installCommands): per menu its title
    // on a line, then per item its text, its key (the KeyName's number, the
    // letter or empty, 1 or 0 for Ctrl), key label, place among the touch
    // buttons and the button's label, a tab between, a line each, and an
    // empty line closing the menu.
    std::string text;
    for (const CommandMenu& menu : menus) {
        text += menu.Title + '\n';
        for (const CommandItem& item : menu.Items) {
            const CommandKey& key = item.Key;
            const std::string letter = key.Name == KeyName::Letter ? std::string(1, key.Letter) : "";
            text += item.Text + '\t' + std::to_string(static_cast<int32_t>(key.Name)) + '\t' + letter + '\t' +
                    (key.Ctrl ? "1" : "0") + '\t' + item.KeyLabel + '\t' + std::to_string(item.TouchPlace) + '\t' +
                    item.TouchLabel + '\n';
        }
        text += '\n';
    }
    hg_install_commands(text.c_str());
}

void backend::SetMenuBarEnabled(bool enabled) {
    if (web.menuInstalled) hg_menu_enabled(enabled ? 1 : 0);
}

void SetCommandChecked(int position, bool checked) {
    if (web.menuInstalled) hg_command_checked(position, checked ? 1 : 0);
}

void SetStatusRoom(const std::string& widestText, const std::string& widestShortText) {
    hg_status_room(widestText.c_str(), widestShortText.c_str());
}

void SetStatusText(const std::string& text, const std::string& shortText) {
    hg_status(text.c_str(), shortText.c_str());
}

bool OptionsFromAddress() { return true; }

void ShowNotice(const std::string& text) { hg_notice(text.c_str()); }

void Announce(const std::string& text) { hg_announce(text.c_str()); }

// ---------------------------------------------------------------------------
// Drawing: the letters, as the browser shapes them

namespace {

bridge::TextMetrics Measure(const core::Font& font, const std::string& text) {
    bridge::TextMetrics m{};
    hg_measure(font.face.c_str(), font.pixelSize, font.bold ? 1 : 0, text.c_str(), &m);
    return m;
}

}  // namespace

void backend::Glyphs(const core::Font& font, const std::string& text, pixels::GlyphMask& mask, int& advance,
                     int& height) {
    const bridge::TextMetrics m = Measure(font, text);
    advance = m.advance;
    height = m.height;
    mask.x = m.maskX;
    mask.y = m.maskY;
    mask.width = m.maskWidth;
    mask.height = m.maskHeight;
    mask.on.assign(static_cast<std::size_t>(mask.width) * mask.height, 0);
    if (!mask.on.empty()) hg_glyphs(font.face.c_str(), font.pixelSize, font.bold ? 1 : 0, text.c_str(), mask.on.data());
}

int backend::TextAdvance(const core::Font& font, const std::string& text) { return Measure(font, text).advance; }

int backend::TextHeight(const core::Font& font) { return Measure(font, "Xg").height; }

double backend::CellWidth(const core::Font& font) {
    return std::max(1.0, hg_cell_width(font.face.c_str(), font.pixelSize, font.bold ? 1 : 0));
}

// ---------------------------------------------------------------------------
// Images: the picture, and text files, offered for download; a picture's PNG bytes

namespace {

// What the page said when it was handed a file to offer.
SavedAs Offered(bool offered, const std::string& fileName, std::string& where) {
    if (!offered) {
        where = "Der Browser bietet keinen Download an.";
        return SavedAs::Failed;
    }
    where = fileName;
    return SavedAs::Download;
}

// The name a download is offered under, so that a browser that saves
// without asking replaces no earlier file: with this page's own mark, five
// letters and digits drawn when it first saves (from the browser's
// crypto.getRandomValues), and numbered as on the desktop where this page
// offered the name before. Two tabs of the file that save in the same second
// thus offer different names whatever the timing, as nothing is read that
// another tab writes: the browser's storage is not shared atomically between
// tabs, and its locks (Web Locks) are missing from Firefox 79 and Safari 15.0.
// Two tabs draw the same mark once in 33 million.
std::string DownloadName(const std::string& fileName) {
    if (web.mark.empty()) {
        // No l, o, 0 or 1, which a reader may take for one another: 32 signs.
        constexpr std::string_view Signs = "abcdefghijkmnpqrstuvwxyz23456789";
        std::random_device chance;
        for (int i = 0; i < 5; ++i) web.mark += Signs[chance() % Signs.size()];
    }
    const std::string marked = core::MarkedName(fileName, web.mark);
    return core::NumberedName(marked, ++web.offered[marked]);
}

}  // namespace

SavedAs SavePicture(const Image& picture, const std::string& fileName, std::string& where) {
    if (!core::PictureSavable(picture, where)) return SavedAs::Failed;
    const std::string name = DownloadName(fileName);
    return Offered(hg_save_picture(name.c_str(), picture.Pixels.data(), picture.Width, picture.Height) != 0, name,
                   where);
}

SavedAs SaveTextFile(const std::string& text, const std::string& fileName, const std::string& mimeType,
                     std::string& where) {
    const std::string name = DownloadName(fileName);
    return Offered(hg_save_text(name.c_str(), text.data(), static_cast<int>(text.size()), mimeType.c_str()) != 0,
                   name, where);
}

bool EncodePng(const Image& picture, std::string& bytes) {
    bytes.clear();
    if (picture.Width <= 0 || picture.Height <= 0) return false;
    const int size = hg_encode_png(picture.Pixels.data(), picture.Width, picture.Height);
    if (size <= 0) return false;
    bytes.resize(static_cast<std::size_t>(size));
    hg_take_png(bytes.data());
    return true;
}

// ---------------------------------------------------------------------------
// Text cursor and keyboard

void backend::BeginLineInput(int n, int x, int y, int height, bool numbers) {
    hg_line_begin(n, x, y, height, numbers ? 1 : 0);
}

void backend::EndLineInput() { hg_line_end(); }

int MouseButtons() { return hg_mouse_buttons(); }

// ---------------------------------------------------------------------------
// Message box

void backend::ShowMessageBox(const std::vector<std::string>& lines) {
    // A line holds no line break: one between them.
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i > 0 ? "\n" : "") + lines[i];
    hg_message_box(S().windows[0].caption.c_str(), text.c_str(), "\n");
    web.lastYieldNs = SteadyNanoseconds();
}
