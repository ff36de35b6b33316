// drawing.cpp — the drawing state and what is drawn with it: points, lines,
// ellipses, boxes, text and images, all pixel-exact into the drawing target's
// retained image.
#include "platform/internal.h"

#include <QBrush>
#include <QFontMetrics>
#include <QPen>

#include <algorithm>
#include <cstring>

using namespace platform_internal;

namespace {

// Fill patterns by number: 0 solid, then Qt's dense patterns and hatches.
// Pattern 8 gives horizontal bands.
constexpr Qt::BrushStyle Patterns[] = {
    Qt::SolidPattern,  Qt::Dense1Pattern, Qt::Dense2Pattern, Qt::Dense3Pattern, Qt::Dense4Pattern,
    Qt::Dense5Pattern, Qt::Dense6Pattern, Qt::Dense7Pattern, Qt::HorPattern,    Qt::VerPattern,
    Qt::CrossPattern,  Qt::BDiagPattern,  Qt::FDiagPattern,  Qt::DiagCrossPattern,
};

Qt::BrushStyle PatternStyle(int pattern) {
    if (pattern < 0 || pattern >= static_cast<int>(std::size(Patterns))) return Qt::SolidPattern;
    return Patterns[pattern];
}

QColor Fg() { return QColor::fromRgb(ToRgb(S().foreground)); }
QColor Bg() { return QColor::fromRgb(ToRgb(S().background)); }

// Whether step i of a line is drawn in the given style (solid: always).
bool StyleOn(int style, int i) {
    switch (style) {
        case 2: return (i % 10) < 6;                        // dashed
        case 3: return (i % 4) < 2;                         // dotted
        case 4: return (i % 14) < 6 || ((i % 14) >= 9 && (i % 14) < 11);  // dash-dot
        default: return true;
    }
}

// floor(a / b) for b > 0.
long long FloorDiv(long long a, long long b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// A pixel-exact line from a to b, `width` pixels across, into img.
//
// Step i (0 at a, len at b) of the line lies at major = a + i along the
// longer axis and minor = a + round(i * dminor / len) along the other; a wide
// line paints width pixels across the minor axis at each step and goes on
// width/2 steps beyond either end (square ends). Its middle run is therefore
// exactly the one-pixel line between the same points, so a wider line drawn
// over a thin one always covers it. Only the steps inside the image are
// visited. Qt's own stroker gives no such guarantee and costs far more per line.
void RasterLine(QImage& img, QPoint a, QPoint b, int width, int style, QRgb colour) {
    const int half = (std::max(width, 1) - 1) / 2;
    const int across = std::max(width, 1);
    const long long dx = b.x() - a.x(), dy = b.y() - a.y();
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const long long len = std::max(std::llabs(dx), std::llabs(dy));
    const int sMajor = (xMajor ? dx : dy) >= 0 ? 1 : -1;
    const int sMinor = (xMajor ? dy : dx) >= 0 ? 1 : -1;
    const long long dMinor = xMajor ? std::llabs(dy) : std::llabs(dx);
    const long long major0 = xMajor ? a.x() : a.y(), minor0 = xMajor ? a.y() : a.x();
    const long long majorSize = xMajor ? img.width() : img.height();
    const long long minorSize = xMajor ? img.height() : img.width();

    // The steps whose major coordinate lies inside the image.
    long long iLo = -half, iHi = len + half;
    if (sMajor > 0) {
        iLo = std::max(iLo, -major0);
        iHi = std::min(iHi, majorSize - 1 - major0);
    } else {
        iLo = std::max(iLo, major0 - (majorSize - 1));
        iHi = std::min(iHi, major0);
    }
    if (iLo > iHi) return;

    // minor offset at step i: floor((2 i dMinor + len) / (2 len)), kept as a
    // quotient and a remainder that grow step by step.
    const long long den = 2 * std::max(len, 1LL);
    long long num = 2 * iLo * dMinor + len;
    long long q = FloorDiv(num, den);
    long long r = num - q * den;

    // Walk a pointer: one step along the major axis, sometimes one along the
    // minor; each span runs `across` pixels in the growing minor direction.
    const qsizetype line = img.bytesPerLine();
    const qsizetype px = sizeof(QRgb);
    const qsizetype majorStep = xMajor ? sMajor * px : sMajor * line;
    const qsizetype minorStep = xMajor ? sMinor * line : sMinor * px;
    const qsizetype spanStep = xMajor ? line : px;
    long long spanFrom = minor0 + sMinor * q - half;  // minor coordinate of the span's first pixel
    const long long major = major0 + sMajor * iLo;
    uchar* const bits = img.bits();
    uchar* p = bits + (xMajor ? spanFrom * line + major * px : major * line + spanFrom * px);
    const bool solid = style <= 1;
    for (long long i = iLo; i <= iHi; ++i) {
        if (solid || StyleOn(style, static_cast<int>(i < 0 ? -i : i))) {
            if (spanFrom >= 0 && spanFrom + across <= minorSize) {
                for (int j = 0; j < across; ++j) *reinterpret_cast<QRgb*>(p + j * spanStep) = colour;
            } else {
                for (int j = 0; j < across; ++j)
                    if (spanFrom + j >= 0 && spanFrom + j < minorSize) *reinterpret_cast<QRgb*>(p + j * spanStep) = colour;
            }
        }
        p += majorStep;
        r += 2 * dMinor;
        if (r >= den) {
            r -= den;
            p += minorStep;
            spanFrom += sMinor;
        }
    }
}

void LineBetween(double x1, double y1, double x2, double y2) {
    Window* w = Target();
    if (w == nullptr) return;
    const State& s = S();
    QPoint a(Px(x1), Px(y1)), b(Px(x2), Px(y2));
    RasterLine(w->image, a, b, s.lineWidth, s.lineStyle, ToRgb(s.foreground));
    int m = s.lineWidth / 2 + 1;
    MarkDirty(*w, QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
                        QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())))
                      .adjusted(-m, -m, m, m));
}

// Fills a shape in the foreground colour: solid, or the pattern's strokes on
// gaps of the background colour. The rim is drawn with a one-pixel pen of the
// same paint, which makes filled ellipses exactly as large as their outlines
// (Qt's aliased brush alone leaves the top row out).
template <class Draw>
void Filled(QPainter& p, Draw draw) {
    Qt::BrushStyle style = PatternStyle(S().fillPattern);
    if (style != Qt::SolidPattern) {
        p.setPen(QPen(Bg(), 1));
        p.setBrush(QBrush(Bg()));
        draw();
    }
    QBrush paint(Fg(), style);
    p.setPen(QPen(paint, 1));
    p.setBrush(paint);
    draw();
    p.setBrush(Qt::NoBrush);
}

}  // namespace

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

void SetFontFace(const std::string& face) {
    S().font.setFamily(QString::fromStdString(face));
}

void SetFontSize(double pixels) {
    S().font.setPixelSize(std::clamp(Px(pixels), 1, 2000));
}

void SetFontBold(bool bold) {
    S().font.setBold(bold);
}

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
    int a = Px(rx), b = Px(ry);
    // With the one-pixel rim, a rectangle of width 2a covers cx-a to cx+a.
    QRect r(Px(cx) - a, Px(cy) - b, 2 * a, 2 * b);
    QPainter& p = PainterFor(*w);
    Filled(p, [&] { p.drawEllipse(r); });
    MarkDirty(*w, r.adjusted(-1, -1, 2, 2));
}

void DrawEllipse(double cx, double cy, double rx, double ry) {
    Window* w = Target();
    if (w == nullptr || rx < 0 || ry < 0) return;
    int a = Px(rx), b = Px(ry);
    // A one-pixel pen adds one pixel to the right and below, so a rectangle of
    // width 2a runs from cx-a to cx+a.
    QRect r(Px(cx) - a, Px(cy) - b, 2 * a, 2 * b);
    QPainter& p = PainterFor(*w);
    p.setPen(QPen(Fg(), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(r);
    MarkDirty(*w, r.adjusted(-1, -1, 2, 2));
}

void FillBox(double x1, double y1, double x2, double y2) {
    Window* w = Target();
    if (w == nullptr) return;
    QRect r(QPoint(Px(std::min(x1, x2)), Px(std::min(y1, y2))), QPoint(Px(std::max(x1, x2)), Px(std::max(y1, y2))));
    QPainter& p = PainterFor(*w);
    Qt::BrushStyle style = PatternStyle(S().fillPattern);
    if (style != Qt::SolidPattern) p.fillRect(r, Bg());
    p.fillRect(r, QBrush(Fg(), style));
    MarkDirty(*w, r);
}

void DrawText(double x, double y, const std::string& text) {
    Window* w = Target();
    if (w == nullptr || text.empty()) return;
    const State& s = S();
    QString q = QString::fromStdString(text);
    QFontMetrics fm(s.font);
    QRect cell(Px(x), Px(y), fm.horizontalAdvance(q), fm.ascent() + fm.descent());
    QPainter& p = PainterFor(*w);
    p.fillRect(cell, Bg());
    p.setFont(s.font);
    p.setPen(Fg());
    p.drawText(cell.left(), cell.top() + fm.ascent(), q);
    // Some glyphs reach a little past their cell.
    MarkDirty(*w, cell.adjusted(-fm.height(), -2, fm.height(), 2));
}

int TextWidth(const std::string& text) {
    return QFontMetrics(S().font).horizontalAdvance(QString::fromStdString(text));
}

int TextHeight() {
    QFontMetrics fm(S().font);
    return fm.ascent() + fm.descent();
}

void CaptureImage(double x1, double y1, double x2, double y2, Image& into) {
    Window* w = Target();
    const int left = Px(std::min(x1, x2)), top = Px(std::min(y1, y2));
    const long width = static_cast<long>(Px(std::max(x1, x2))) - left + 1;
    const long height = static_cast<long>(Px(std::max(y1, y2))) - top + 1;
    // A rectangle far larger than any screen is a mistake, not a picture.
    if (w == nullptr || width * height > 64L * 1024 * 1024) {
        EmptyImage(into);
        return;
    }
    into.Width = static_cast<int>(width);
    into.Height = static_cast<int>(height);
    into.Pixels.resize(static_cast<std::size_t>(width * height));  // keeps its capacity
    const QImage& img = w->image;
    const uchar* bits = img.constBits();
    const qsizetype line = img.bytesPerLine();
    const int imgWidth = img.width(), imgHeight = img.height();
    // The columns that lie inside the window; the rest reads as background.
    const int from = std::clamp(left, 0, imgWidth), to = std::clamp(left + into.Width, 0, imgWidth);
    const bool allColumns = from == left && to == left + into.Width;
    for (int row = 0; row < into.Height; ++row) {
        QRgb* out = into.Pixels.data() + static_cast<std::size_t>(row) * into.Width;
        const int y = top + row;
        if (allColumns && y >= 0 && y < imgHeight) {
            std::memcpy(out, reinterpret_cast<const QRgb*>(bits + y * line) + left, sizeof(QRgb) * into.Width);
            continue;
        }
        if (y < 0 || y >= imgHeight || from >= to) {
            std::fill_n(out, into.Width, w->background);
            continue;
        }
        std::fill_n(out, from - left, w->background);
        std::memcpy(out + (from - left), reinterpret_cast<const QRgb*>(bits + y * line) + from,
                    sizeof(QRgb) * (to - from));
        std::fill_n(out + (to - left), left + into.Width - to, w->background);
    }
}

void PutImage(double x, double y, const Image& image) {
    Window* w = Target();
    if (w == nullptr || IsEmptyImage(image)) return;
    const int left = Px(x), top = Px(y);
    QImage& img = w->image;
    const QRect r = QRect(left, top, image.Width, image.Height) & img.rect();
    if (r.isEmpty()) return;
    uchar* bits = img.bits();
    const qsizetype line = img.bytesPerLine();
    const QRgb* in = image.Pixels.data() + static_cast<std::size_t>(r.top() - top) * image.Width + (r.left() - left);
    for (int row = r.top(); row <= r.bottom(); ++row, in += image.Width)
        std::memcpy(reinterpret_cast<QRgb*>(bits + row * line) + r.left(), in, sizeof(QRgb) * r.width());
    MarkDirty(*w, r);
}
