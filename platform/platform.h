// platform.h — everything the program asks of the window system, in one place.
//
// A thin procedural layer: windows are known by number, there is one drawing
// state that applies to whichever window is the drawing target, images are
// plain pixel blocks, and events are delivered only when the program asks for
// it. No Qt type appears here; platform/ is the only folder that includes Qt.
//
// Each section says who implements it: the shared core (core.cpp and
// pixels.cpp, plain C++, once for every window system) or the window system
// (qt/ on the desktop, web/ in a browser; backend.h lists all it supplies).
//
// Coordinates are window pixels, origin top left, x to the right, y down.
// A real coordinate lands on the pixel that contains it (floor(v): 12.7 is
// pixel 12), everywhere, so that the same point always gives the same pixel
// and a whole-number point gives the pixel of the real points just after it.
//
// Colour values are 0x00BBGGRR (red in the lowest byte). Values below 16 are
// not colours but numbers of the classic 16-colour palette (0 black, 1 blue,
// 2 green, 3 cyan, 4 red, 5 magenta, 6 brown, 7 light grey, 8 dark grey,
// 9..14 the light colours, 15 white); 0 is black either way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------
// Start and end — the window system.

// Makes the connection to the display. When none can be had, prints one plain
// sentence on stderr (with a hint how to try the program under Xvfb) and
// returns false. On a Wayland session with QT_QPA_PLATFORM unset, the X11
// platform (XWayland) is used, since Wayland windows cannot place themselves.
bool PlatformStart(int& argc, char** argv);
// Closes every window and ends the connection. Safe to call more than once.
void PlatformEnd();

// ---------------------------------------------------------------------------
// Screen — the shared core, from the area the window system says it has;
// MenuBarBottom is the window system's.
//
// The program lays itself out on the largest 4:3 rectangle that fits in the
// available area — the primary screen less what the desktop keeps for its
// panels and bars (all of it where there are none); in a browser the page —
// centred in it, so that its circles stay round on wide and on upright
// screens alike; on a 4:3 screen the rectangle is the whole area. Sizes and
// positions are device pixels: on a sharp screen (a pixel ratio of 2, say)
// the windows are drawn at the screen's own resolution.

// The rectangle's size, and how far its top lies below the available area's.
int ScreenWidthPixels();
int ScreenHeightPixels();
int ScreenTop();
// Device pixels per logical pixel (1, 1.25, 2 …). A size fixed in pixels,
// such as a label's, is this much larger to keep its size on the screen.
double PixelRatio();
// Takes `pixels` off the top of the available area before the rectangle is
// fitted into it: room for menu rows that the views would otherwise cover.
void ReserveScreenTop(int pixels);
// Takes `pixels` off the foot of the available area as well: room for a band
// below the views (the sky strip), which then never lies over them.
void ReserveScreenBottom(int pixels);
// The available area's height, before anything is taken off it.
int AvailableHeightPixels();
// How far window 0's menu bar, with every row it has (the status line's own
// row too), reaches below the available area's top, its caption included;
// 0 while there is none. Where a window manager puts a title bar above the
// other windows' client areas, that bar's height is added: a window whose
// client area starts here has its title bar below the menu bar too.
int MenuBarBottom();
// True once after the available area or the pixel ratio has changed for
// good (a browser page turned or resized): the program lays itself out anew.
bool ScreenChanged();

// ---------------------------------------------------------------------------
// Windows — the window system makes, places and shows them (OpenWindowDefault
// to ShowWindow, the caption, the client area's size and place); the shared
// core keeps their pixels, colours and the drawing target, and hands a close
// box to the handler.
//
// Windows, by number 0 .. MaxWindows-1. Window 0 is the main window with the
// menu bar; every other window belongs to it and stays above it.
// Window 0 fills the available area, and its pixels are moved with the
// screen rectangle: what is drawn at (0, 0) stands at the rectangle's
// corner, and around the rectangle it shows its background colour.

constexpr int MaxWindows = 8;

// Opens window n at the platform's default place and size, or shows it again
// if it exists. Window 0 opens maximised; opening it returns once the window
// system shows it and has stopped changing its size (a second at most), so
// that WindowHeight(0) is the height it keeps and text kept inside it stays
// in sight.
void OpenWindowDefault(int n);
// Opens window n with its client area at (left, top) from the screen
// rectangle's corner, and the given size.
// Opening a window that is open places it anew; it keeps its background colour.
void OpenWindow(int n, int left, int top, int width, int height);
void CloseWindow(int n);
void ShowWindow(int n);
bool IsWindowOpen(int n);
// The caption may be set before the window exists; it applies when it opens.
void SetWindowCaption(int n, const std::string& text);
// The colour a window is cleared to. Returns false if the window system
// refuses (the program treats that as fatal during start-up).
bool SetWindowBackground(int n, uint32_t colour);
uint32_t WindowBackground(int n);
void ClearWindow(int n);                // paint all of it in its background colour
void SelectWindow(int n);               // make it the drawing target
int SelectedWindow();
int WindowWidth(int n);                 // client area in pixels; 0 if never opened
int WindowHeight(int n);
int WindowLeft(int n);                  // client area, from the screen rectangle's corner
int WindowTop(int n);

// Called when the user closes window n by its close box. Window 0 does not
// close by itself: the handler decides. Other windows close (a closed window
// still takes drawing, so nothing that draws into it fails).
using CloseHandler = void (*)(int n);
void SetCloseHandler(CloseHandler handler);

// ---------------------------------------------------------------------------
// Events — the window system: delivering them, the menu bar, the command
// menu, the status line, where the options come from and the notice. The
// shared core: the steady clock, and handing a choice to its handler.

// Delivers the pending events without waiting; menu choices are handled in here.
void ProcessEvents();
// Waits until at least one event has come, and delivers it. Idles the CPU.
void WaitForEvents();
// Delivers events as they come until the steady clock reaches deadlineNs
// (SteadyNanoseconds), idling in between; returns at once if it has passed.
void WaitEventsUntil(int64_t deadlineNs);
int64_t SteadyNanoseconds();

// Builds the menu bar of window 0 from a list: entry 0 is the first title,
// each title is followed by its items, an empty entry closes a menu, a second
// empty entry ends the list. "&" marks an item's mnemonic. A choice is reported
// to the handler as the index of the chosen entry in the list.
using MenuHandler = void (*)(int32_t& item);
void InstallMenuBar(const std::vector<std::string>& entries, MenuHandler handler);

// A key that chooses a command, named once as a value: each window system
// maps it to its own keys (the desktop's in qt/events.cpp, the browser's in
// web/menubar.js, COMMAND_KEY), so no key's name is parsed anywhere.
enum class KeyName : int32_t { None = 0, Space = 1, Left = 2, Right = 3, PageUp = 4, PageDown = 5, Letter = 6 };
struct CommandKey {
    KeyName Name = KeyName::None;
    char Letter = 0;        // KeyName::Letter: 'A' .. 'Z'
    bool Ctrl = false;      // held with Ctrl (Cmd on a Mac)
};

// Menus of commands after the menu bar's own menus. Each item has a key that
// chooses it as well and a label for that key, shown beside the item. A
// choice, by menu or key, is reported to the handler as the item's position
// counted through all the menus in their order (0 for the first menu's first
// item). Items and keys work only while the menu bar does: not while a line
// is read or a box is open.
struct CommandItem {
    std::string Text;       // "&" marks the mnemonic
    CommandKey Key;
    std::string KeyLabel;   // what the menu shows for the key
    // On a touch screen the item may have a large button of its own as well,
    // beside the status line: this is its place among those buttons (0
    // first), or -1 for none, and TouchLabel what it shows.
    int TouchPlace = -1;
    std::string TouchLabel;
};
struct CommandMenu {
    std::string Title;
    std::vector<CommandItem> Items;
};
using CommandHandler = void (*)(int item);
// Installs the menus, in this order, after the menu bar's own; a second call
// replaces them all.
void InstallCommandMenus(const std::vector<CommandMenu>& menus, CommandHandler handler);
// Marks a command as the one chosen of a set (a check mark beside it; a
// screen reader hears it checked), or as not chosen: once marked either way,
// the item shows whether it is on. A choice of the item leaves its mark to
// the program.
void SetCommandChecked(int position, bool checked);
// The status line: a short line of text at the right end of window 0's menu
// bar row, above the views; it is not part of window 0's pixels, so clearing
// window 0 keeps it. It gives way to the menus: where the row has no room
// for it, shortText is shown there instead, and where it has no room for
// that either, the line goes on a row of its own below the menu bar (on a
// touch screen under the touch buttons where they fill a row), in full where
// that fits, else short, wrapped where even that is wider than the window.
// It is never hidden, and its font is at least 9 pixels (CSS pixels in a
// browser) in size. Which of these it is follows from the bar's width and the
// widest lines the program says it will show, so the line does not jump
// about as its text changes.
void SetStatusRoom(const std::string& widestText, const std::string& widestShortText);
void SetStatusText(const std::string& text, const std::string& shortText);

// Where the program's options come from: the command line, or a browser
// page's address ("heliogeo.html?steps-per-second=120").
bool OptionsFromAddress();
// One line for the user outside the program's windows: in a browser a line
// on the page, on the desktop a line on stderr.
void ShowNotice(const std::string& text);
// A line for a screen reader to say (a moment reached, say): in a browser a
// polite live region; the desktop has none and says nothing.
void Announce(const std::string& text);

// ---------------------------------------------------------------------------
// Drawing state — the shared core. One state serves whichever window is the
// drawing target.

void SetForeground(uint32_t colour);    // lines, points, outlines, fills, letters
void SetBackground(uint32_t colour);    // text cells, gaps of patterned fills
void SetFillPattern(int pattern);       // 0 solid; 1..13 patterns (8: horizontal bands)
void SetLineStyle(int style);           // 0 or 1 solid, 2 dashed, 3 dotted, 4 dash-dot
void SetLineWidth(int width);           // pixels; lines have square caps
void SetRasterMode(int mode);           // recorded; every drawing copies (13 = copy)
uint32_t Foreground();
uint32_t Background();
int FillPattern();
int LineStyle();
int LineWidth();
int RasterMode();

// Fonts: a face name ("courier", "times" …) resolved by the system, a size in
// pixels and a bold switch. Text is never antialiased.
void SetFontFace(const std::string& face);
void SetFontSize(double pixels);
void SetFontBold(bool bold);

// ---------------------------------------------------------------------------
// Drawing into the drawing target, in the drawing state above — the shared
// core; the letters' shapes and measures come from the window system.

void PlotPoint(double x, double y);                 // also moves the pen there
void LineTo(double x, double y);                    // from the pen; moves the pen
void DrawLine(double x1, double y1, double x2, double y2);
// Ellipses with half-axes rx, ry: the filled one covers cx-rx .. cx+rx, the
// outline (one pixel wide) runs on that boundary.
void FillEllipse(double cx, double cy, double rx, double ry);
void DrawEllipse(double cx, double cy, double rx, double ry);
void FillBox(double x1, double y1, double x2, double y2);   // both corners included
// Opaque text: the cell behind the letters is painted in the background colour.
void DrawText(double x, double y, const std::string& text);
int TextWidth(const std::string& text);             // in the current font, pixels
int TextHeight();                                   // ascent + descent, pixels

// ---------------------------------------------------------------------------
// Images: a rectangle of window pixels. A capture reuses the image's buffer.
// The shared core.

struct Image {
    int Width = 0;                  // 0: empty
    int Height = 0;
    std::vector<uint32_t> Pixels;   // Width * Height, row by row, 0xFFRRGGBB
};

// Captures the rectangle between two corners, both included, from the drawing
// target. Pixels outside the window read as the window's background colour.
void CaptureImage(double x1, double y1, double x2, double y2, Image& into);
// Puts an image with its top-left corner at (x, y), replacing the pixels under
// it. An empty image changes nothing.
void PutImage(double x, double y, const Image& image);
void EmptyImage(Image& image);      // keeps its buffer for the next capture
bool IsEmptyImage(const Image& image);
uint32_t ImagePixel(const Image& image, int x, int y);  // colour value 0x00BBGGRR
// A window's pixel as a colour value (0x00BBGGRR); outside the window: background.
uint32_t WindowPixel(int n, int x, int y);

// ---------------------------------------------------------------------------
// Overlay lines and the picture — the shared core; saving the picture is the
// window system's, once the shared core has found it fit to save.
//
// Overlay lines: shown over a window's pixels but never drawn into them, so
// everything that reads, captures or erases the window's pixels is untouched.
// Setting a window's lines replaces the ones it had; an empty list takes them
// away.

struct OverlayLine {
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    uint32_t Colour = 0;    // colour value, as for SetForeground
    int Width = 1;          // pixels; square ends, as drawn lines have
    bool operator==(const OverlayLine&) const = default;
};
void SetOverlayLines(int n, const std::vector<OverlayLine>& lines);
// The whole of window n as it is shown: its pixels with its overlay lines.
void CaptureShownWindow(int n, Image& into);
// The windows listed, each as it is shown, where they stand on the screen, in
// one picture just large enough for them all; between them the background
// colour of window `ground`.
void CaptureShownWindows(const std::vector<int>& windows, int ground, Image& into);

// Saves a picture as a PNG file named fileName: on the desktop into the
// user's picture folder (where then holds the file's full path in UTF-8, as
// the system's locale reads the path's bytes, which are used as they are),
// in a browser as a download (where holds the name). On
// the desktop the file is written whole or not at all, and never over another
// file, not even one that another program puts there meanwhile: a name that
// is taken gets a number ("…-2.png", "…-3.png" …); without a home folder
// nothing is saved. In a browser the name carries the page's own mark
// ("…-k7m2q.png"), so that no two pages offer the same one, and a name the
// page offered before gets the next number alike. Failed: nothing was
// saved, and where says why in German ("kein Platz auf dem Datenträger").
// Where the memory runs out it may throw std::bad_alloc, having saved nothing.
enum class SavedAs { Failed, File, Download };
SavedAs SavePicture(const Image& picture, const std::string& fileName, std::string& where);
// Saves a text file (UTF-8) in the same way: on the desktop beside the
// pictures, whole or not at all and never over another file; in a browser as
// a download of the given MIME type ("text/csv").
SavedAs SaveTextFile(const std::string& text, const std::string& fileName, const std::string& mimeType,
                     std::string& where);
// A picture as the bytes of a PNG file, for a file that holds the picture
// itself (a page with the picture in it): on the desktop Qt's PNG writer, in
// a browser the page's canvas. Either way the file decodes to exactly the
// picture's pixels. False, with bytes empty, where it could not be made.
bool EncodePng(const Image& picture, std::string& bytes);

// ---------------------------------------------------------------------------
// Text cursor and keyboard — the shared core, from the keys and clicks the
// window system collects; MouseButtons is the window system's.

// The text cursor stands at a character column (cells of the current font's
// average width) and a vertical position in units of TextRowPixels, so that
// row 24 is near the foot of a screen whatever its size when the caller scales
// the row with the screen.
constexpr int TextRowPixels = 8;
void TextCursorTo(int column, int row);
int TextCursorColumn();
int TextCursorRow();
// Writes at the text cursor in the current colours and font and moves the
// cursor on. Text is kept inside the window: a line that would pass the foot of
// the window is moved up.
void PrintText(const std::string& text);
// Reads one line at the text cursor, echoing what is typed; Backspace edits,
// Return ends. Never writes outside the drawing target. What is read is what
// the echo shows: control characters are not taken, and a key whose echo
// would pass the window's edge or maxBytes is refused, which the text cursor
// shows. Returns false, with the line empty, if the window is closed meanwhile.
bool ReadLine(std::string& line, std::size_t maxBytes = 255);
// The same for a dialog that Escape leaves, and whose line is no number (a
// touch screen's keyboard then offers letters, dots and the colon): how the
// reading ended, the line empty unless Entered.
enum class LineEnd { Entered, Escaped, Closed };
LineEnd ReadTextLine(std::string& line, std::size_t maxBytes = 255);
// True if a key press is waiting; takes it out of the input.
bool KeyPressed();
// The mouse buttons now held down (bit 0 left, 1 right, 2 middle).
int MouseButtons();
// True if a mouse button was pressed since the last call (and takes it), so
// that a click is never missed between two polls.
bool MouseClicked();

// ---------------------------------------------------------------------------
// Message box — the window system shows the lines; the shared core splits a
// text at its "|". Modal, one "OK" button; a box with more lines than the
// screen has room for scrolls.

void MessageBox(const std::string& text);
// The same with the box's lines as they are, a "|" in them included (a file's
// path); a line holds no line break.
void MessageBoxLines(const std::vector<std::string>& lines);
