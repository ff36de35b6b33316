// text.cpp — the text cursor, one-line input with echo, and polling the
// keyboard and the mouse.
#include "platform/internal.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMenuBar>

#include <algorithm>
#include <cmath>

using namespace platform_internal;

namespace {

// A character cell in pixels: the advance of every character in a fixed-pitch
// font, with its fraction (text is laid out with fractional advances, so a
// whole-pixel cell would put column 24 several pixels away from the end of 23
// characters; so would the font tables' average width); the average width in a
// proportional font.
double CellWidth() {
    double width = QFontInfo(S().font).fixedPitch() ? QFontMetricsF(S().font).horizontalAdvance(QLatin1Char('0'))
                                                    : QFontMetrics(S().font).averageCharWidth();
    return std::max(1.0, width);
}

// The visible height of a window: the shown client area, within its pixels.
int VisibleHeight(const Window& w) {
    int h = w.image.height();
    if (w.canvas != nullptr && w.canvas->height() > 1) h = std::min(h, w.canvas->height());
    return h;
}

int VisibleWidth(const Window& w) {
    int width = w.image.width();
    if (w.canvas != nullptr && w.canvas->width() > 1) width = std::min(width, w.canvas->width());
    return width;
}

// The top of text written at the cursor, moved up if it would pass the foot.
int TextTop(const Window& w) {
    const State& s = S();
    int limit = VisibleHeight(w) - TextHeight();
    return std::max(0, std::min(s.cursorY, limit));
}

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

}  // namespace

void TextCursorTo(int column, int row) {
    State& s = S();
    s.cursorColumn = column;
    s.cursorRow = row;
    s.cursorX = static_cast<int>(std::lround(column * CellWidth()));
    s.cursorY = row * TextRowPixels;
}

int TextCursorColumn() { return S().cursorColumn; }
int TextCursorRow() { return S().cursorRow; }

void PrintText(const std::string& text) {
    State& s = S();
    Window* w = Target();
    if (w == nullptr) return;
    DrawText(s.cursorX, TextTop(*w), text);
    s.cursorX += TextWidth(text);
}

bool ReadLine(std::string& line, std::size_t maxBytes) {
    State& s = S();
    line.clear();
    Window* w = Target();
    if (w == nullptr || !w->open) return false;
    int window = s.target;
    s.keys.clear();
    s.closeRequested = false;
    // No menu command may start while a line is being read.
    bool barEnabled = s.menuBar != nullptr && s.menuBar->isEnabled();
    if (s.menuBar != nullptr) s.menuBar->setEnabled(false);

    struct Typed {
        char32_t code;
        int shownWidth;  // 0: not echoed (no room, or a control character)
    };
    std::vector<Typed> typed;
    std::size_t bytes = 0;
    int x = s.cursorX;
    const int y = TextTop(*w);
    bool done = false, ok = true;
    while (!done) {
        if (!w->open || s.closeRequested || s.target != window) {
            ok = false;
            break;
        }
        if (s.keys.empty()) {
            WaitForEvents();
            continue;
        }
        Key key = s.keys.front();
        s.keys.pop_front();
        if (key.code == Qt::Key_Return || key.code == Qt::Key_Enter) {
            done = true;
        } else if (key.code == Qt::Key_Backspace) {
            if (typed.empty()) continue;
            Typed last = typed.back();
            typed.pop_back();
            bytes -= QString::fromUcs4(&last.code, 1).toUtf8().size();
            if (last.shownWidth > 0) {
                x -= last.shownWidth;
                uint32_t fg = s.foreground;
                s.foreground = s.background;
                FillBox(x, y, x + last.shownWidth - 1, y + TextHeight() - 1);
                s.foreground = fg;
            }
        } else {
            for (char32_t c : key.text.toUcs4()) {
                QString one = QString::fromUcs4(&c, 1);
                std::size_t size = one.toUtf8().size();
                if (bytes + size > maxBytes) break;
                int width = 0;
                if (!IsControl(c)) {
                    int advance = TextWidth(one.toStdString());
                    // The echo stays inside the window; what does not fit is
                    // still typed, only not shown.
                    if (x + advance <= VisibleWidth(*w)) {
                        DrawText(x, y, one.toStdString());
                        x += advance;
                        width = advance;
                    }
                }
                typed.push_back(Typed{c, width});
                bytes += size;
            }
        }
        FlushDirty(true);
    }
    if (s.menuBar != nullptr) s.menuBar->setEnabled(barEnabled);
    s.cursorX = x;
    if (!ok) return false;
    std::u32string codes;
    for (const Typed& t : typed) codes.push_back(t.code);
    line = QString::fromStdU32String(codes).toStdString();
    return true;
}

bool KeyPressed() {
    State& s = S();
    if (s.keys.empty()) return false;
    s.keys.pop_front();
    return true;
}

int MouseButtons() {
    return static_cast<int>(QGuiApplication::mouseButtons().toInt());
}

bool MouseClicked() {
    State& s = S();
    if (s.clicks == 0) return false;
    --s.clicks;
    return true;
}
