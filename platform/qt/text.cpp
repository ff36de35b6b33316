// text.cpp — letters as Qt draws them: a font's measures and the mask of the
// letter pixels that the shared core paints into a window.
#include "platform/qt/internal.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <algorithm>

using namespace platform_internal;

namespace {

// The font the program asked for, resolved by the system (fontconfig maps
// "courier" and "times" to what is installed), never antialiased.
const QFont& QtFont(const core::Font& font) {
    QtState& q = Q();
    if (!q.fontMade || !(font == q.fontAsked)) {
        q.font = QFont(QString::fromStdString(font.face));
        q.font.setStyleStrategy(QFont::NoAntialias);
        q.font.setPixelSize(font.pixelSize);
        q.font.setBold(font.bold);
        q.fontAsked = font;
        q.fontMade = true;
    }
    return q.font;
}

}  // namespace

// ---------------------------------------------------------------------------
// Drawing: the letters

namespace backend {

void Glyphs(const core::Font& font, const std::string& text, pixels::GlyphMask& mask, int& advance, int& height) {
    const QFont& f = QtFont(font);
    const QFontMetrics fm(f);
    const QString q = QString::fromStdString(text);
    advance = fm.horizontalAdvance(q);
    height = fm.ascent() + fm.descent();
    // Some glyphs reach a little past their cell: room for them all round.
    const int pad = fm.height();
    mask.x = -pad;
    mask.y = -pad;
    mask.width = advance + 2 * pad;
    mask.height = height + 2 * pad;
    QImage letters(mask.width, mask.height, QImage::Format_Grayscale8);
    letters.fill(0);
    {
        QPainter p(&letters);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(pad, pad + fm.ascent(), q);
    }
    mask.on.resize(static_cast<std::size_t>(mask.width) * mask.height);
    for (int y = 0; y < mask.height; ++y) {
        const uchar* row = letters.constScanLine(y);
        std::transform(row, row + mask.width, mask.on.begin() + static_cast<std::ptrdiff_t>(y) * mask.width,
                       [](uchar v) { return static_cast<uint8_t>(v >= 128 ? 1 : 0); });
    }
}

int TextAdvance(const core::Font& font, const std::string& text) {
    return QFontMetrics(QtFont(font)).horizontalAdvance(QString::fromStdString(text));
}

int TextHeight(const core::Font& font) {
    const QFontMetrics fm(QtFont(font));
    return fm.ascent() + fm.descent();
}

// Text is laid out with fractional advances, so a whole-pixel cell would put
// column 24 several pixels away from the end of 23 characters; so would the
// font tables' average width.
double CellWidth(const core::Font& font) {
    const QFont& f = QtFont(font);
    const double width = QFontInfo(f).fixedPitch() ? QFontMetricsF(f).horizontalAdvance(QLatin1Char('0'))
                                                   : QFontMetrics(f).averageCharWidth();
    return std::max(1.0, width);
}

}  // namespace backend
