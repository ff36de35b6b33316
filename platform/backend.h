// backend.h — everything a window system supplies, in one list. A new window
// system starts here: it defines each procedure below, in this order, in its
// own folder under platform/ (qt/ for the desktop, web/ for the browser), and
// takes everything else of platform.h from the shared core (core.cpp and
// pixels.cpp, in plain C++).
//
// Two kinds of procedure: those of platform.h that only a window system can
// do, named here again so that the list is whole, and those of namespace
// backend that the shared core asks for. The sections are platform.h's, in
// its order. What a window system hands back goes through the shared core
// (core.h): keys to core::QueueKey, clicks to core::CountClick, a choice to
// core::ChooseMenuItem or core::ChooseCommand, a close box to the handler in
// core::S().onClose, a changed screen to core::NoteScreenChanged.
#pragma once

#include "platform/core.h"
#include "platform/pixels.h"
#include "platform/platform.h"

#include <cstdint>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------
// Start and end

bool PlatformStart(int& argc, char** argv);
// Ends with core::Reset(), so that a later PlatformStart begins afresh.
void PlatformEnd();

// ---------------------------------------------------------------------------
// Screen: the shared core fits the 4:3 rectangle into this.

namespace backend {
// The available area in device pixels, and device pixels per logical pixel.
void AvailableArea(int& width, int& height, double& ratio);
}  // namespace backend
int MenuBarBottom();

// ---------------------------------------------------------------------------
// Windows: the window system makes, places and shows them; their pixels are
// the shared core's (core::Window), grown to the client area's size.

void OpenWindowDefault(int n);
void OpenWindow(int n, int left, int top, int width, int height);
void CloseWindow(int n);
void ShowWindow(int n);
void SetWindowCaption(int n, const std::string& text);
int WindowWidth(int n);
int WindowHeight(int n);
int WindowLeft(int n);
int WindowTop(int n);
namespace backend {
// Window n's client area as the window system shows it; 0 when not known.
int ShownWidth(int n);
int ShownHeight(int n);
// Shows the rectangles `changed` of what window n shows (core::Shown(n)) on
// the screen. The shared core calls it from core::FlushDirty, at most once
// per displayed frame unless forced, for each window that changed.
void ShowChanged(int n, const std::vector<pixels::Rect>& changed);
// After a flush that showed a frame: what the window system shows besides
// the windows' changes (the browser: its page's own, a window opened or
// closed, the menu bar's foot), in the same frame.
void FrameShown();
}  // namespace backend

// ---------------------------------------------------------------------------
// Events: the shared core shows what changed first (core::FlushDirty: not
// forced while the program runs on, forced before it idles), then asks for
// these; it keeps the menus' handlers (core::S().onMenu, onCommand).

namespace backend {
// Delivers the pending events without waiting.
void PumpEvents();
// Waits until at least one event has come, and delivers it.
void AwaitEvents();
// Delivers events as they come until the steady clock reaches deadlineNs,
// idling in between.
void AwaitEventsUntil(int64_t deadlineNs);
// The menu bar from its list, and the menus of commands after it (a second
// call replaces them).
void ShowMenuBar(const std::vector<std::string>& entries);
void ShowCommandMenus(const std::vector<CommandMenu>& menus);
// While a line is read no menu command may start.
void SetMenuBarEnabled(bool enabled);
}  // namespace backend
void SetCommandChecked(int position, bool checked);
void SetStatusRoom(const std::string& widestText, const std::string& widestShortText);
void SetStatusText(const std::string& text, const std::string& shortText);
bool OptionsFromAddress();
void ShowNotice(const std::string& text);
void Announce(const std::string& text);

// ---------------------------------------------------------------------------
// Drawing: the letters' shapes. The shared core paints them.

namespace backend {
// The letters of `text` in `font` as a mask, with the cell they stand in:
// `advance` wide and `height` (ascent + descent) high from the text's corner.
void Glyphs(const core::Font& font, const std::string& text, pixels::GlyphMask& mask, int& advance, int& height);
int TextAdvance(const core::Font& font, const std::string& text);
int TextHeight(const core::Font& font);
// A character cell of the text cursor: the advance of every character in a
// fixed-pitch font, with its fraction; the average width in another.
double CellWidth(const core::Font& font);
}  // namespace backend

// ---------------------------------------------------------------------------
// Images: saving the picture, once it has passed core::PictureSavable, and
// a text file the same way; a picture's PNG bytes.

SavedAs SavePicture(const Image& picture, const std::string& fileName, std::string& where);
SavedAs SaveTextFile(const std::string& text, const std::string& fileName, const std::string& mimeType,
                     std::string& where);
bool EncodePng(const Image& picture, std::string& bytes);

// ---------------------------------------------------------------------------
// Text cursor and keyboard

namespace backend {
// A line is read in window n, in the strip that starts at (x, y) of its
// pixels and is `height` high: the window takes the keyboard focus, as a
// dialog does (a touch screen's keyboard is asked for: one for numbers, or
// for text); and the reading has ended: window 0 gets the focus back.
void BeginLineInput(int n, int x, int y, int height, bool numbers);
void EndLineInput();
}  // namespace backend
int MouseButtons();

// ---------------------------------------------------------------------------
// Message box: the shared core shows what changed at once first.

namespace backend {
void ShowMessageBox(const std::vector<std::string>& lines);
}  // namespace backend
