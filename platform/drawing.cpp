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

Qt::PenStyle LineStyleOf(int style) {
    switch (style) {
        case 2: return Qt::DashLine;
        case 3: return Qt::DotLine;
        case 4: return Qt::DashDotLine;
        default: return Qt::SolidLine;
    }
}

QColor Fg() { return QColor::fromRgb(ToRgb(S().foreground)); }
QColor Bg() { return QColor::fromRgb(ToRgb(S().background)); }

QPen LinePen() {
    const State& s = S();
    return QPen(Fg(), std::max(s.lineWidth, 1), LineStyleOf(s.lineStyle), Qt::SquareCap, Qt::MiterJoin);
}

void LineBetween(double x1, double y1, double x2, double y2) {
    Window* w = Target();
    if (w == nullptr) return;
    QPoint a(Px(x1), Px(y1)), b(Px(x2), Px(y2));
    QPainter& p = PainterFor(*w);
    p.setPen(LinePen());
    p.drawLine(a, b);
    int m = S().lineWidth + 1;
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
    Window* w = Target();
    if (w == nullptr) return;
    QPoint a(Px(x), Px(y));
    QPainter& p = PainterFor(*w);
    p.setPen(LinePen());
    p.drawPoint(a);
    int m = s.lineWidth + 1;
    MarkDirty(*w, QRect(a, a).adjusted(-m, -m, m, m));
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
    int left = Px(std::min(x1, x2)), top = Px(std::min(y1, y2));
    long width = static_cast<long>(Px(std::max(x1, x2))) - left + 1;
    long height = static_cast<long>(Px(std::max(y1, y2))) - top + 1;
    // A rectangle far larger than any screen is a mistake, not a picture.
    if (w == nullptr || width * height > 64L * 1024 * 1024) {
        EmptyImage(into);
        return;
    }
    into.Width = static_cast<int>(width);
    into.Height = static_cast<int>(height);
    into.Pixels.resize(static_cast<std::size_t>(width * height));  // keeps its capacity
    const QImage& img = w->image;
    for (int row = 0; row < into.Height; ++row) {
        QRgb* out = into.Pixels.data() + static_cast<std::size_t>(row) * into.Width;
        int y = top + row;
        if (y < 0 || y >= img.height()) {
            std::fill_n(out, into.Width, w->background);
            continue;
        }
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        int from = std::clamp(left, 0, img.width()), to = std::clamp(left + into.Width, 0, img.width());
        std::fill_n(out, into.Width, w->background);
        if (from < to) std::memcpy(out + (from - left), line + from, sizeof(QRgb) * (to - from));
    }
}

void PutImage(double x, double y, const Image& image) {
    Window* w = Target();
    if (w == nullptr || IsEmptyImage(image)) return;
    int left = Px(x), top = Px(y);
    QImage& img = w->image;
    QRect r = QRect(left, top, image.Width, image.Height) & img.rect();
    if (r.isEmpty()) return;
    for (int y2 = r.top(); y2 <= r.bottom(); ++y2) {
        const QRgb* in = image.Pixels.data() + static_cast<std::size_t>(y2 - top) * image.Width + (r.left() - left);
        std::memcpy(reinterpret_cast<QRgb*>(img.scanLine(y2)) + r.left(), in, sizeof(QRgb) * r.width());
    }
    MarkDirty(*w, r);
}

void EmptyImage(Image& image) {
    image.Width = 0;
    image.Height = 0;
    image.Pixels.clear();
}

bool IsEmptyImage(const Image& image) {
    return image.Width <= 0 || image.Height <= 0;
}

uint32_t ImagePixel(const Image& image, int x, int y) {
    if (x < 0 || y < 0 || x >= image.Width || y >= image.Height) return 0;
    return FromRgb(image.Pixels[static_cast<std::size_t>(y) * image.Width + x]);
}
