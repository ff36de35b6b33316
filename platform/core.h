// core.h — what every window system shares behind platform.h: the numbered
// windows' retained pixels, the drawing state, the text cursor and the input
// collected between polls, showing what changed once per frame, and the
// handlers a choice goes to.
//
// Plain C++: the desktop (Qt) and the browser (emscripten) supply what
// backend.h lists; everything else is here and in pixels.h, once for both.
#pragma once

#include "platform/pixels.h"
#include "platform/platform.h"

#include <array>
#include <cstdint>
#include <deque>
#include <string>

namespace core {

// A font as the program asks for it; the window system resolves the face.
struct Font {
    std::string face = "courier";
    int pixelSize = 13;
    bool bold = false;
    bool operator==(const Font&) const = default;
};

// One numbered window as the program sees it.
struct Window {
    pixels::Surface surface;         // retained pixels, 0xFFRRGGBB
    uint32_t background = 0xFF000000;  // the colour it is cleared to, 0xFFRRGGBB
    std::string caption;
    bool created = false;            // the window system has made it
    bool open = false;               // shown (a closed window keeps its pixels)
    // Lines shown over the pixels, and what is shown while there are any:
    // the pixels with the lines drawn over them. Outside the changed area
    // `shown` is always up to date.
    std::vector<OverlayLine> overlay;
    pixels::Surface shown;
    uint64_t shownAt = 0;            // surface.changes when `shown` was last brought up to date
};

enum class KeyCode { Other, Return, Backspace, Escape };

// The colour of the text cursor while it shows that a key was refused (a
// colour value, dark red).
constexpr uint32_t RefusedCursorColour = 0x0000AA;

struct Key {
    int window = 0;                  // where it was typed
    KeyCode code = KeyCode::Other;
    std::u32string text;             // what it types
};

// The whole shared state.
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
    Font font;
    double penX = 0, penY = 0;

    // Text cursor: the column and row as asked, and where that is in pixels.
    int cursorColumn = 0, cursorRow = 0;
    int cursorX = 0, cursorY = 0;

    // Input collected between polls.
    std::deque<Key> keys;
    int clicks = 0;

    // The screen: the available area and its pixel ratio as the window
    // system last told them, the room kept free at its top and foot, and the 4:3
    // rectangle fitted into what is left (from the area's corner; device
    // pixels). Fitted when the program first asks, and again when it takes
    // room off the top or has been told that the screen changed.
    int areaWidth = 0, areaHeight = 0;
    double ratio = 1;
    int reserveTop = 0;
    int reserveBottom = 0;
    pixels::Rect screen;
    bool fitted = false;
    bool screenChanged = false;      // the window system saw the area change for good

    CloseHandler onClose = nullptr;
    MenuHandler onMenu = nullptr;
    CommandHandler onCommand = nullptr;
    bool ending = false;
    bool closeRequested = false;     // window 0's close box was used

    // What changed reaches the screen at most once per displayed frame.
    int64_t lastFlushNs = 0;
    int64_t frameNs = 16'666'667;
    std::vector<pixels::Rect> changed;  // what a flush hands the window system, its buffer kept
};

State& S();
// Puts everything back as before the first window (for PlatformEnd).
void Reset();

// A colour value (or palette number below 16) as a stored pixel, and back.
using pixels::FromPixel;
using pixels::ToPixel;
// A real coordinate as the pixel that contains it. Far-off points are held at
// a distance that no window reaches, so the conversion stays defined.
int Px(double v);

// The largest w x h rectangle of 4:3 inside a width x height area, centred.
pixels::Rect FourByThree(int width, int height);
// Fits the screen rectangle into the available area as the window system
// gives it now.
void FitScreen();
// Where window n's pixel (0, 0) stands in its client area: the screen
// rectangle's corner for window 0, the client area's corner for the others.
int OriginX(int n);
int OriginY(int n);
// Window system: the available area or the pixel ratio changed for good.
void NoteScreenChanged();

Window* WindowOf(int n);             // nullptr if n is out of range
Window* Target();                    // the drawing target, or nullptr if it has no pixels

// What window n shows: its pixels, or, while it has overlay lines, its
// pixels with the lines over them, brought up to date for what changed.
const pixels::Surface& Shown(int n);
// Forgets what changed in window n once the screen has it (or never will):
// brings what it shows up to date first.
void ForgetDirty(int n);

// Shows what changed in every window: at once (force), or at most once per
// displayed frame. Each window that changed goes to the window system as the
// rectangles it has to show anew (backend::ShowChanged), then is forgotten.
void FlushDirty(bool force);

// Input arriving from the window system.
void QueueKey(int window, KeyCode code, std::u32string text);
void CountClick();
// A choice from the menu bar (the entry's index in its list) or from the
// command menu (the item's position), handed to the program's handler.
void ChooseMenuItem(int32_t item);
void ChooseCommand(int item);

// Whether a picture can be saved at all: false, with `where` saying why in
// German, where it cannot. The window system's SavePicture asks first.
bool PictureSavable(const Image& picture, std::string& where);
// A file's name with "-mark" before its extension ("a.png", "x": "a-x.png").
std::string MarkedName(const std::string& name, const std::string& mark);
// The k-th name for a file whose name is taken: the name itself for 1, else
// with "-k" before its extension ("a.png", "a-2.png", "a-3.png" …), in both
// editions alike.
std::string NumberedName(const std::string& name, int k);

}  // namespace core
