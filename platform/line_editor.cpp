// line_editor.cpp — the text cursor and the one line of input a dialog
// reads, with its echo, its refusals and its cursor bar, and the polls for a
// key and a click: plain C++ that every window system shares, from the keys
// and clicks it collects (core.h).
#include "platform/backend.h"
#include "platform/core.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace core;

// ---------------------------------------------------------------------------
// Text cursor and keyboard

namespace {

// The visible part of a window: the shown client area, within its pixels,
// measured from its origin.
int VisibleHeight(int n, const Window& w) {
    const int shown = backend::ShownHeight(n);
    return (shown > 1 ? std::min(w.surface.height, shown) : w.surface.height) - OriginY(n);
}

int VisibleWidth(int n, const Window& w) {
    const int shown = backend::ShownWidth(n);
    return (shown > 1 ? std::min(w.surface.width, shown) : w.surface.width) - OriginX(n);
}

// The top of text written at the cursor, moved up if it would pass the foot.
int TextTop(int n, const Window& w) {
    const int limit = VisibleHeight(n, w) - TextHeight();
    return std::max(0, std::min(S().cursorY, limit));
}

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

std::string Utf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

}  // namespace

void TextCursorTo(int column, int row) {
    State& s = S();
    s.cursorColumn = column;
    s.cursorRow = row;
    s.cursorX = static_cast<int>(std::lround(column * backend::CellWidth(s.font)));
    s.cursorY = row * TextRowPixels;
}

int TextCursorColumn() { return S().cursorColumn; }
int TextCursorRow() { return S().cursorRow; }

void PrintText(const std::string& text) {
    State& s = S();
    Window* w = Target();
    if (w == nullptr) return;
    DrawText(s.cursorX, TextTop(s.target, *w), text);
    s.cursorX += TextWidth(text);
}

namespace {

// Reads the line; Escape ends it only where `escapeLeaves`. A touch screen
// offers its keyboard for numbers where `numbers`, else the one for text.
LineEnd ReadInto(std::string& line, std::size_t maxBytes, bool escapeLeaves, bool numbers) {
    State& s = S();
    line.clear();
    Window* w = Target();
    if (w == nullptr || !w->open) return LineEnd::Closed;
    const int window = s.target;
    s.keys.clear();
    s.closeRequested = false;
    backend::SetMenuBarEnabled(false);

    // What is read is exactly what the echo shows. A character is taken only
    // when it is echoed: control characters (Escape, Tab ...) and characters
    // without width are never taken, and one whose echo would pass the
    // visible part of the window (less room for the cursor) or whose bytes
    // would pass maxBytes is refused: it is not taken, and the text cursor
    // turns into a wide dark red bar until the line changes. Refusing is
    // simpler than scrolling the echo along: the echo only ever grows or
    // shrinks at its end, so Backspace takes back exactly the last cell,
    // and a scrolled line would still have to refuse at maxBytes.
    struct Typed {
        std::string utf8;
        int width;  // of its echo
    };
    std::vector<Typed> typed;
    std::size_t bytes = 0;
    int x = s.cursorX;
    const int y = TextTop(window, *w);
    bool refused = false;
    // The text cursor after the echo: a bar in the letters' colour (wider,
    // in dark red, after a refused key), shown over the window's pixels,
    // never drawn into them, and always inside the visible part.
    const std::vector<OverlayLine> overlay = w->overlay;
    const int bar = std::max(1, static_cast<int>(std::lround(s.ratio)));
    auto showCursor = [&] {
        const int width = refused ? 3 * bar : bar;
        const int left = std::max(0, std::min(x, VisibleWidth(window, *w) - width));
        const int half = (width - 1) / 2;  // how far a line this wide reaches beside its middle and past its ends
        const double cx = left + half + OriginX(window), top = y + OriginY(window);
        std::vector<OverlayLine> lines = overlay;
        lines.push_back(OverlayLine{cx, top + half, cx, top + TextHeight() - 1 - half,
                                    refused ? RefusedCursorColour : s.foreground, width});
        SetOverlayLines(window, lines);
    };
    showCursor();
    backend::BeginLineInput(window, x + OriginX(window), y + OriginY(window), TextHeight(), numbers);
    bool done = false;
    LineEnd end = LineEnd::Entered;
    while (!done) {
        if (!w->open || s.closeRequested || s.target != window) {
            end = LineEnd::Closed;
            break;
        }
        if (s.keys.empty()) {
            WaitForEvents();
            continue;
        }
        Key key = s.keys.front();
        s.keys.pop_front();
        if (key.code == KeyCode::Return) {
            done = true;
        } else if (key.code == KeyCode::Escape && escapeLeaves) {
            end = LineEnd::Escaped;
            break;
        } else if (key.code == KeyCode::Backspace) {
            if (typed.empty()) continue;
            const Typed last = typed.back();
            typed.pop_back();
            bytes -= last.utf8.size();
            x -= last.width;
            const uint32_t fg = s.foreground;
            s.foreground = s.background;
            FillBox(x, y, x + last.width - 1, y + TextHeight() - 1);
            s.foreground = fg;
            refused = false;
        } else {
            for (char32_t c : key.text) {
                if (IsControl(c)) continue;
                std::string one = Utf8(c);
                const int advance = TextWidth(one);
                if (advance <= 0) continue;
                if (bytes + one.size() > maxBytes || x + advance + bar > VisibleWidth(window, *w)) {
                    refused = true;
                    break;
                }
                DrawText(x, y, one);
                x += advance;
                bytes += one.size();
                typed.push_back(Typed{std::move(one), advance});
                refused = false;
            }
        }
        showCursor();
        FlushDirty(true);
    }
    SetOverlayLines(window, overlay);
    backend::EndLineInput();
    backend::SetMenuBarEnabled(true);
    s.cursorX = x;
    if (end != LineEnd::Entered) return end;
    for (const Typed& t : typed) line += t.utf8;
    return end;
}

}  // namespace

bool ReadLine(std::string& line, std::size_t maxBytes) {
    return ReadInto(line, maxBytes, false, true) == LineEnd::Entered;
}

LineEnd ReadTextLine(std::string& line, std::size_t maxBytes) {
    return ReadInto(line, maxBytes, true, false);
}

bool KeyPressed() {
    State& s = S();
    if (s.keys.empty()) return false;
    s.keys.pop_front();
    return true;
}

bool MouseClicked() {
    State& s = S();
    if (s.clicks == 0) return false;
    --s.clicks;
    return true;
}
