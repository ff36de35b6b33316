// test_render.cpp — the disc images, the disc operations and the two views,
// checked on the views' pixels against the geometry of the orbits (computed
// here from the closed form, not from the program's tables). Colours and
// positions are asserted, never glyph shapes: fonts differ between machines.
#include "app/animation.h"
#include "app/choices.h"
#include "app/menu.h"
#include "app/shell.h"
#include "app/startup.h"
#include "model/calendar.h"
#include "model/real_sky.h"
#include "model/sky.h"
#include "model/layout.h"
#include "model/planets.h"
#include "model/state.h"
#include "platform/platform.h"
#include "render/render.h"
#include "render/view_common.h"
#include "support.h"
#include "ui/ui.h"
#include "tolerances.h"

#include <QPainter>
#include <QtTest>

#include <cmath>
#include <map>
#include <set>

using namespace test_support;

namespace {

constexpr uint32_t Black = 0x000000, White = 0xFFFFFF, Blue = 0xFF0000, Cyan = 0xFFFF00, Green = 0x00FF00,
                   Yellow = 0x00FFFF, Magenta = 0xFF00FF, Azure = 0xFF8000, Red = 0x0000FF;

// What a pixel of window n may be: a boolean picture of the window.
using Mask = QImage;

Mask EmptyMask(int n) {
    Mask m(WindowWidth(n), WindowHeight(n), QImage::Format_Grayscale8);
    m.fill(0);
    return m;
}

bool Marked(const Mask& m, int x, int y) {
    return m.rect().contains(x, y) && qGray(m.pixel(x, y)) > 0;
}

// A pen `reach` pixels to either side of the line.
QPainter& MaskPainter(QPainter& p, int reach) {
    p.setPen(QPen(Qt::white, 2 * reach + 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    return p;
}

// White pixels of window n that the mask does not allow.
int StrayWhite(int n, const Mask& allowed, QPoint* first = nullptr) {
    int stray = 0;
    for (int y = 0; y < WindowHeight(n); ++y)
        for (int x = 0; x < WindowWidth(n); ++x)
            if (Pixel(n, x, y) == White && !Marked(allowed, x, y)) {
                if (stray++ == 0 && first != nullptr) *first = QPoint(x, y);
            }
    return stray;
}

bool WhiteNear(int n, double x, double y, int reach) {
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
            if (Pixel(n, static_cast<int>(std::lround(x)) + dx, static_cast<int>(std::lround(y)) + dy) == White)
                return true;
    return false;
}

// A body's place at simulated time t, relative to the Sun (closed form).
QPointF Orbit(int k, double t) {
    if (k == Sun) return {0, 0};
    double phi = 6.28312 / std::array<double, 6>{0, 365, 89, 223, 667, 700}[k] * t;
    return {Planets.RadiusX[k] * std::cos(phi), Planets.RadiusY[k] * std::sin(phi)};
}

QPointF HelioPoint(int k, double t) {
    return QPointF(Layout.HelioCentreX, Layout.HelioCentreY) + Orbit(k, t);
}

QPointF GeoPoint(int k, double t) {
    return QPointF(Layout.GeoCentreX, Layout.GeoCentreY) + Orbit(k, t) - Orbit(Earth, t);
}

// The rectangle a disc image covers when its centre is at p: a real
// coordinate lies on the pixel that contains it.
QRect DiscBox(QPointF p) {
    int rx = static_cast<int>(Layout.DiscRadiusX), ry = static_cast<int>(Layout.DiscRadiusY);
    int x = static_cast<int>(std::floor(p.x()));
    int y = static_cast<int>(std::floor(p.y()));
    return QRect(x - rx - 1, y - ry - 1, 2 * rx + 3, 2 * ry + 3);
}

void Run(int steps) {
    for (int n = 0; n < steps; ++n) AnimationStep();
}

// Whether some size of "courier", bold or not, draws the text with its
// corner at (left, top) of the image exactly as the image shows it there
// (this machine's glyphs on both sides, whatever the font).
bool LabelDrawnAt(const Image& img, int left, int top, const std::string& text, uint32_t letters, uint32_t cell) {
    SelectWindow(Win_3);
    SetFontFace("courier");
    SetForeground(letters);
    SetBackground(cell);
    for (bool bold : {true, false})
        for (int size = 5; size <= 40; ++size) {
            SetFontBold(bold);
            SetFontSize(size);
            const int w = TextWidth(text), h = TextHeight();
            if (left + w > img.Width || top + h > img.Height) continue;
            ClearWindow(Win_3);
            DrawText(0, 0, text);
            bool same = true;
            for (int y = 0; same && y < h; ++y)
                for (int x = 0; same && x < w; ++x) same = WindowPixel(Win_3, x, y) == ImagePixel(img, left + x, top + y);
            if (same) return true;
        }
    return false;
}

int DistinctColours(const Image& img, uint32_t colour) {
    int count = 0;
    for (int y = 0; y < img.Height; ++y)
        for (int x = 0; x < img.Width; ++x)
            if (ImagePixel(img, x, y) == colour) ++count;
    return count;
}

// Whether window n shows the text in that colour on its background, its corner
// in the area: "courier" of some size drawn here (this machine's glyphs), in
// the scratch window. Letters alone: its letters' pixels in that colour over
// whatever is there, few others of it in their cell.
bool TextShownIn(int n, const QRect& area, const std::string& text, uint32_t colour, int smallest = 5,
                 int scratch = Win_3, bool lettersAlone = false) {
    for (int size = smallest; size <= 40; ++size) {
        SelectWindow(scratch);
        SetFontFace("courier");
        SetFontBold(false);
        SetFontSize(size);
        SetForeground(colour);
        SetBackground(WindowBackground(n));
        ClearWindow(scratch);
        DrawText(0, 0, text);
        std::vector<std::pair<QPoint, uint32_t>> cell;  // the letters' pixels first, to fail fast
        for (int y = 0; y < TextHeight(); ++y)
            for (int x = 0; x < TextWidth(text); ++x) cell.push_back({QPoint(x, y), Pixel(scratch, x, y)});
        const auto letters = std::stable_partition(cell.begin(), cell.end(), [&](auto& p) { return p.second == colour; });
        for (int top = area.top(); top <= area.bottom(); ++top)
            for (int left = area.left(); left <= area.right(); ++left) {
                auto at = [&](const auto& p) { return Pixel(n, left + p.first.x(), top + p.first.y()); };
                if (!lettersAlone && std::all_of(cell.begin(), cell.end(), [&](auto& p) { return at(p) == p.second; }))
                    return true;
                if (lettersAlone && std::all_of(cell.begin(), letters, [&](auto& p) { return at(p) == colour; }) &&
                    10 * std::count_if(letters, cell.end(), [&](auto& p) { return at(p) == colour; }) <
                        std::ssize(cell))
                    return true;
            }
    }
    return false;
}

}  // namespace

class TestRender : public QObject {
    Q_OBJECT

private slots:
    void init() {
        ResetModelState();
        Shell = ShellState{};
        Images = BodyImages{};
        int argc = 1;
        char name[] = "test_render";
        char* argv[] = {name, nullptr};
        QVERIFY(PlatformStart(argc, argv));
        OpenMainWindowAndModel();
        OpenViewsAndDiscImages();
        ShowSightLines(false);  // as at start-up, not as the last test left them
    }
    void cleanup() { PlatformEnd(); }

    // ---- Disc images

    void discImages_data() {
        QTest::addColumn<int>("body");
        QTest::addColumn<uint32_t>("disc");
        QTest::addColumn<uint32_t>("outline");
        QTest::addColumn<uint32_t>("letters");
        QTest::addColumn<QString>("label");
        QTest::newRow("Sun") << int(Sun) << Yellow << Black << Black << "SO";
        QTest::newRow("Mercury") << int(Mercury) << Green << Black << Black << "ME";
        QTest::newRow("Earth") << int(Earth) << Blue << White << White << "ER";
        QTest::newRow("Venus") << int(Venus) << Cyan << Black << Black << "VE";
        QTest::newRow("Mars") << int(Mars) << Red << Black << White << "MA";
        QTest::newRow("Jupiter") << int(Jupiter) << Magenta << Black << Black << "JU";
    }

    void discImages() {
        QFETCH(int, body);
        QFETCH(uint32_t, disc);
        QFETCH(uint32_t, outline);
        QFETCH(uint32_t, letters);
        QFETCH(QString, label);
        const int rx = static_cast<int>(Layout.DiscRadiusX), ry = static_cast<int>(Layout.DiscRadiusY);
        const Image& img = Images.DiscImage[body];
        QCOMPARE(img.Width, 2 * rx + 3);
        QCOMPARE(img.Height, 2 * ry + 3);
        const int cx = rx + 1, cy = ry + 1;  // the disc centre, in the image
        // The margin is the view background, all round.
        for (int x = 0; x < img.Width; ++x) {
            QCOMPARE(ImagePixel(img, x, 0), Azure);
            QCOMPARE(ImagePixel(img, x, img.Height - 1), Azure);
        }
        for (int y = 0; y < img.Height; ++y) {
            QCOMPARE(ImagePixel(img, 0, y), Azure);
            QCOMPARE(ImagePixel(img, img.Width - 1, y), Azure);
        }
        // The outline at the four ends of the disc's axes.
        QCOMPARE(ImagePixel(img, cx - (rx - 1), cy), outline);
        QCOMPARE(ImagePixel(img, cx + (rx - 1), cy), outline);
        QCOMPARE(ImagePixel(img, cx, cy - (ry - 1)), outline);
        QCOMPARE(ImagePixel(img, cx, cy + (ry - 1)), outline);
        // The disc's colour at its centre (or a letter stroke there), and
        // below the label.
        uint32_t centre = ImagePixel(img, cx, cy);
        QVERIFY2(centre == disc || centre == letters || (body == Jupiter && centre == Black),
                 qPrintable(QString::number(centre, 16)));
        uint32_t below = ImagePixel(img, cx, cy + ry - 3);
        QVERIFY(below == disc || (body == Jupiter && below == Black));
        // The label: letters of their colour on a cell of the disc's colour.
        QRect cell(cx - 9, cy - 7, 18, TextHeight());
        int letterPixels = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x) {
                uint32_t c = ImagePixel(img, x, y);
                if (c == letters) ++letterPixels;
                QVERIFY2(c == letters || c == disc || c == outline || (body == Jupiter && c == Black),
                         qPrintable(QString("%1 at %2,%3").arg(c, 0, 16).arg(x).arg(y)));
            }
        QVERIFY(letterPixels > 10);
        QVERIFY(LabelDrawnAt(img, cx - 9, cy - 7, label.toStdString(), letters, disc));
        // Only the body's own colours: nothing left from a body drawn before
        // at the same place (Jupiter follows Mars's red disc and white "MA").
        int own = DistinctColours(img, Azure) + DistinctColours(img, disc) + DistinctColours(img, outline);
        if (letters != outline && letters != disc) own += DistinctColours(img, letters);
        if (body == Jupiter) own += 0;  // its strokes are the outline's black
        QCOMPARE(own, img.Width * img.Height);
        if (body == Jupiter) {
            QCOMPARE(DistinctColours(img, Red), 0);
            QCOMPARE(DistinctColours(img, White), 0);
            QVERIFY(DistinctColours(img, Black) > 0 && DistinctColours(img, Magenta) > 0);
            int gaps = 0;  // pattern 8: the disc shows magenta beside its label too
            for (int y = 0; y < img.Height; ++y)
                for (int x = 0; x < img.Width; ++x) gaps += !cell.contains(x, y) && ImagePixel(img, x, y) == Magenta;
            QVERIFY(gaps > 0);
        }
    }

    void theEarthsOutlineLiesOverItsLabel_data() {
        QTest::addColumn<QSize>("screen");
        QTest::newRow("320x200") << QSize(320, 200);
        QTest::newRow("640x480") << QSize(640, 480);
    }

    void theEarthsOutlineLiesOverItsLabel() {
        // On small screens the label is wider than the disc and crosses its
        // outline. The Earth's white outline, drawn after the label as Mars's
        // black one is, shows the whole ring that Mars's does.
        QFETCH(QSize, screen);
        SetScreenSize(screen.width(), screen.height());
        InitModel();
        SelectWindow(Win_3);
        BuildDiscImages();
        const Image &mars = Images.DiscImage[Mars], &earth = Images.DiscImage[Earth];
        int ring = 0;
        for (int y = 0; y < mars.Height; ++y)
            for (int x = 0; x < mars.Width; ++x)
                if (ImagePixel(mars, x, y) == Black) {
                    ++ring;
                    QCOMPARE(ImagePixel(earth, x, y), White);
                }
        QVERIFY(ring > 0);
    }

    void blankImagesAndWhatBuildingLeaves() {
        for (int k = Earth; k <= Sun; ++k) {
            const Image& blank = Images.BlankImage[k];
            QCOMPARE(blank.Width, Images.DiscImage[k].Width);
            QCOMPARE(blank.Height, Images.DiscImage[k].Height);
            QCOMPARE(DistinctColours(blank, Azure), blank.Width * blank.Height);
        }
        QVERIFY(IsEmptyImage(Images.DiscImage[0]));
        QVERIFY(IsEmptyImage(Images.BlankImage[0]));
        // Window 3 is cleared again, window 0 is the drawing target with
        // colour pair 3 and fill pattern 4.
        QCOMPARE(CountColour(Win_3, QRect(0, 0, WindowWidth(Win_3), WindowHeight(Win_3)), Azure),
                 WindowWidth(Win_3) * WindowHeight(Win_3));
        QCOMPARE(SelectedWindow(), Win_0);
        QCOMPARE(Foreground(), uint32_t(1));
        QCOMPARE(Background(), uint32_t(5));
        QCOMPARE(FillPattern(), 4);
    }

    void colourPairs() {
        SetForeground(Colours.ColBlue);
        SetFillPattern(8);
        SetSchemeColours(2);
        QCOMPARE(Foreground(), uint32_t(15));
        QCOMPARE(Background(), uint32_t(3));
        QCOMPARE(FillPattern(), 8);
        SetSchemeColours(0);
        SetSchemeColours(6);
        QCOMPARE(Foreground(), uint32_t(15));
        // Every pair, foreground and background.
        const uint32_t pairs[6][2] = {{}, {1, 3}, {15, 3}, {1, 5}, {15, 5}, {4, 15}};
        for (int16_t n = 1; n <= 5; ++n) {
            SetSchemeColours(n);
            QCOMPARE(Foreground(), pairs[n][0]);
            QCOMPARE(Background(), pairs[n][1]);
        }
        SelectWindow(Win_3);
        ResetMainWindowColours();
        QCOMPARE(SelectedWindow(), Win_0);
        QCOMPARE(Foreground(), uint32_t(1));
        QCOMPARE(Background(), uint32_t(5));
        QCOMPARE(FillPattern(), 4);
    }

    // ---- Disc operations

    void drawThenEraseRestoresTheWindow() {
        Settings.PolygonOn = -1;
        SelectWindow(Win_2);
        // A background worth restoring: paths under the disc.
        SetForeground(White);
        DrawLine(100, 250, 300, 320);
        DrawLine(200, 200, 210, 400);
        QImage before = platform_internal::RetainedImage(Win_2)->copy();
        DrawDisc(205.4, 300, Layout.DiscRadiusX, Layout.DiscRadiusY, Mars, Win_2);
        QVERIFY(*platform_internal::RetainedImage(Win_2) != before);
        QCOMPARE(Pixel(Win_2, 205, 300 + static_cast<int>(Layout.DiscRadiusY) - 3), Red);
        // DrawDisc returns in raster mode 0 with black on white; EraseDisc sets no colour.
        QCOMPARE(RasterMode(), 0);
        QCOMPARE(Foreground(), Black);
        QCOMPARE(Background(), White);
        const Image saved = Images.HelioBackground[Mars];
        SetForeground(Red);
        EraseDisc(205.4, 300, Layout.DiscRadiusX, Layout.DiscRadiusY, Mars, Win_2);
        QCOMPARE(*platform_internal::RetainedImage(Win_2), before);
        QCOMPARE(RasterMode(), 0);
        QCOMPARE(Foreground(), Red);
        // SaveBackground takes the same pixels as DrawDisc did, into window 2's store only, and draws nothing.
        EmptyImage(Images.HelioBackground[Mars]);
        SaveBackground(205.4, 300, Layout.DiscRadiusX, Layout.DiscRadiusY, Mars, Win_2);
        QCOMPARE(Images.HelioBackground[Mars].Pixels, saved.Pixels);
        QVERIFY(IsEmptyImage(Images.GeoBackground[Mars]));
        QCOMPARE(*platform_internal::RetainedImage(Win_2), before);
    }

    void eraseWithThePolygonOnLeavesPlainBackground() {
        Settings.PolygonOn = 1;
        SelectWindow(Win_2);
        SetForeground(White);
        const double x = 3 * Layout.DiscRadiusX;
        DrawLine(0, 300, 2 * x, 300);
        DrawDisc(x, 300, Layout.DiscRadiusX, Layout.DiscRadiusY, Venus, Win_2);
        EraseDisc(x, 300, Layout.DiscRadiusX, Layout.DiscRadiusY, Venus, Win_2);
        QRect box = DiscBox(QPointF(x, 300));
        QCOMPARE(CountColour(Win_2, box, Azure), box.width() * box.height());
        // Outside the rectangle the line is still there.
        QCOMPARE(Pixel(Win_2, box.left() - 1, 300), White);
    }

    void discsTooHighAreLeftOut() {
        // A centre closer than DiscRadiusY + 1 to the top: the rectangle's top
        // is negative, so nothing is saved, drawn or erased.
        Settings.PolygonOn = 1;
        SelectWindow(Win_2);
        QImage before = platform_internal::RetainedImage(Win_2)->copy();
        double y = Layout.DiscRadiusY;  // top edge at -1
        DrawDisc(200, y, Layout.DiscRadiusX, Layout.DiscRadiusY, Mars, Win_2);
        SaveBackground(200, y, Layout.DiscRadiusX, Layout.DiscRadiusY, Mars, Win_2);
        QVERIFY(IsEmptyImage(Images.HelioBackground[Mars]));
        QCOMPARE(*platform_internal::RetainedImage(Win_2), before);
        SetForeground(White);
        FillBox(150, 0, 250, 30);
        QImage lined = platform_internal::RetainedImage(Win_2)->copy();
        EraseDisc(200, y, Layout.DiscRadiusX, Layout.DiscRadiusY, Mars, Win_2);
        QCOMPARE(*platform_internal::RetainedImage(Win_2), lined);
        // The steps outside the screen test still happen.
        QCOMPARE(RasterMode(), 0);
        // One pixel lower, it is drawn.
        DrawDisc(200, y + 1, Layout.DiscRadiusX, Layout.DiscRadiusY, Mars, Win_2);
        QVERIFY(!IsEmptyImage(Images.HelioBackground[Mars]));
    }

    void discsBeyondTheWindowButOnTheScreen() {
        // Right of window 2 but within the screen's width: saved and put in
        // the window's coordinates (and clipped there), no failure.
        SelectWindow(Win_2);
        double x = WindowWidth(Win_2) + 30;
        DrawDisc(x, 300, Layout.DiscRadiusX, Layout.DiscRadiusY, Jupiter, Win_2);
        QVERIFY(!IsEmptyImage(Images.HelioBackground[Jupiter]));
        // Beyond the screen's width: left out.
        Images.HelioBackground[Jupiter] = Image{};
        DrawDisc(ScreenWidthPixels() + 5, 300, Layout.DiscRadiusX, Layout.DiscRadiusY, Jupiter, Win_2);
        QVERIFY(IsEmptyImage(Images.HelioBackground[Jupiter]));
    }

    void eachViewErasesFromItsOwnStore() {
        Settings.PolygonOn = -1;
        SelectWindow(Win_3);
        SetFillPattern(0);
        SetForeground(Red);
        FillBox(0, 0, 100, 100);
        CaptureImage(10, 10, 10 + 2 * Layout.DiscRadiusX + 2, 10 + 2 * Layout.DiscRadiusY + 2,
                     Images.HelioBackground[Mars]);
        SetForeground(Green);
        FillBox(0, 0, 100, 100);
        CaptureImage(10, 10, 10 + 2 * Layout.DiscRadiusX + 2, 10 + 2 * Layout.DiscRadiusY + 2,
                     Images.GeoBackground[Mars]);
        ClearWindow(Win_3);
        EraseDisc(200, 300, Layout.DiscRadiusX, Layout.DiscRadiusY, Mars, Win_3);
        QCOMPARE(Pixel(Win_3, 200, 300), Green);
        // Another window number puts nothing, neither a saved background nor,
        // with the polygon on, the blank rectangle.
        for (double polygon : {-1.0, 1.0}) {
            Settings.PolygonOn = polygon;
            SetForeground(Red);
            FillBox(150, 250, 250, 350);
            for (int w : {Win_0, Win_1, 4, -1})
                EraseDisc(200, 300, Layout.DiscRadiusX, Layout.DiscRadiusY, Mars, static_cast<int16_t>(w));
            QCOMPARE(CountColour(Win_3, QRect(150, 250, 101, 101), Red), 101 * 101);
        }
    }

    void drawnAtTheWholeNumberErasedAtTheRealPlace_data() {
        // The rule is the same on every screen; on the largest, starting the
        // program and a window of its size for each of the 32 rows would take
        // most of this program's time.
        if (QGuiApplication::primaryScreen()->size().width() > 2048) QSKIP("checked on the smaller screens");
        // A view draws a disc at the whole-number y below its centre and
        // erases it next step at the real centre. Near every edge of the
        // screen both must pass or fail the screen test together and cover
        // the same pixels. offset: how far the centre lies inside the last
        // centre whose box is wholly on the screen at that edge.
        QTest::addColumn<int>("edge");  // 0 left, 1 top, 2 right, 3 bottom
        QTest::addColumn<double>("offset");
        for (int edge = 0; edge < 4; ++edge)
            for (double offset : {-1.5, -0.5, -0.01, 0.0, 0.3, 0.7, 0.99, 1.0})
                QTest::addRow("%s %+g", std::array{"left", "top", "right", "bottom"}[edge], offset) << edge << offset;
    }

    void drawnAtTheWholeNumberErasedAtTheRealPlace() {
        QFETCH(int, edge);
        QFETCH(double, offset);
        // A window as large as the screen, so that every edge can be seen.
        const int sw = ScreenWidthPixels(), sh = ScreenHeightPixels();
        OpenWindow(Win_2, 0, 0, sw, sh);
        SelectWindow(Win_2);
        const double rx = Layout.DiscRadiusX, ry = Layout.DiscRadiusY;
        double x = sw / 2.0 + 0.25, y = sh / 2.0 + 0.25;
        if (edge == 0) x = rx + 1 + offset;
        if (edge == 1) y = ry + 1 + offset;
        if (edge == 2) x = sw - rx - 1 - offset;
        if (edge == 3) y = sh - ry - 1 - offset;
        const int16_t row = ToPixelRow(y);
        QCOMPARE(DiscOnScreen(x, row, rx, ry), DiscOnScreen(x, y, rx, ry));
        // Every edge is tested: a box inside passes, one a pixel or more beyond
        // an edge fails (left open: an edge right on the screen's border).
        if (offset > 0 || offset <= -1 || (edge < 2 && offset < 0)) QCOMPARE(DiscOnScreen(x, y, rx, ry), offset > 0);
        // Whatever the two operations touch lies near the disc: a background
        // worth restoring there, and that part of the window compared.
        const QRect near = DiscBox(QPointF(x, y)).adjusted(-4, -4, 4, 4) & QRect(0, 0, sw, sh);
        SetForeground(White);
        for (int i = near.left(); i <= near.right(); i += 5) DrawLine(i, near.top(), near.right() - (i - near.left()), near.bottom());
        auto part = [&] { return platform_internal::RetainedImage(Win_2)->copy(near); };
        for (double polygon : {-1.0, 1.0}) {
            Settings.PolygonOn = polygon;
            const QImage before = part();
            DrawDisc(x, row, rx, ry, Venus, Win_2);
            const bool drawn = part() != before;
            QCOMPARE(drawn, DiscOnScreen(x, y, rx, ry));
            if (drawn) QCOMPARE(Pixel(Win_2, static_cast<int>(std::floor(x)), row + static_cast<int>(ry) - 3), Cyan);
            EraseDisc(x, y, rx, ry, Venus, Win_2);
            QImage expected = before;
            if (drawn && polygon > 0) {
                // The blank rectangle takes the lines under the disc away too.
                const QRect box = DiscBox(QPointF(x, y)) & QRect(0, 0, sw, sh);
                QCOMPARE(CountColour(Win_2, box, Azure), box.width() * box.height());
                QPainter(&expected).fillRect(box.translated(-near.topLeft()), QColor(0, 128, 255));
            }
            QCOMPARE(part(), expected);
        }
    }

    // ---- The views

    void heliocentricPathsAreTheOrbits() {
        // DrawMode 5, one Jupiter period: every white pixel lies within 2 px
        // of one of the five orbit ellipses, and each ellipse is traced all
        // round wherever it lies inside the window.
        Settings.SystemMode = 1;
        Settings.DrawMode = 5;
        Run(static_cast<int>(std::ceil(700 * 1.0000104 / Settings.TimeStep)) + 1);
        Mask allowed = EmptyMask(Win_2);
        {
            QPainter p(&allowed);
            MaskPainter(p, 2);
            for (int k = Earth; k <= Jupiter; ++k)
                p.drawEllipse(QPointF(Layout.HelioCentreX, Layout.HelioCentreY), Planets.RadiusX[k],
                              Planets.RadiusY[k]);
        }
        QPoint stray;
        QCOMPARE(StrayWhite(Win_2, allowed, &stray), 0);
        const QRect window(3, 3, WindowWidth(Win_2) - 6, WindowHeight(Win_2) - 6);
        for (int k = Earth; k <= Jupiter; ++k)
            for (double deg = 0; deg < 360; deg += 0.5) {
                double th = deg * M_PI / 180;
                double x = Layout.HelioCentreX + Planets.RadiusX[k] * std::cos(th);
                double y = Layout.HelioCentreY + Planets.RadiusY[k] * std::sin(th);
                if (!window.contains(QPoint(std::lround(x), std::lround(y)))) continue;
                QVERIFY2(WhiteNear(Win_2, x, y, 2), qPrintable(QString("body %1 at %2°").arg(k).arg(deg)));
            }
        // The Sun's disc is put every step, in the middle.
        QCOMPARE(Pixel(Win_2, static_cast<int>(Layout.HelioCentreX),
                       static_cast<int>(Layout.HelioCentreY + Layout.DiscRadiusY - 3)),
                 Yellow);
    }

    void geocentricPathsAndMarsLoops() {
        // DrawMode 5 seen from the Earth over two synodic periods of Mars.
        Settings.SystemMode = 2;
        Settings.DrawMode = 5;
        const double synodic = 1 / (1.0 / 365 - 1.0 / 667);
        const int steps = static_cast<int>(2 * synodic / Settings.TimeStep);
        Run(steps);
        const double end = steps * Settings.TimeStep;
        // Every white pixel lies near the path one of the bodies took.
        Mask allowed = EmptyMask(Win_3);
        {
            QPainter p(&allowed);
            MaskPainter(p, 2);
            for (int k : {Mercury, Venus, Mars, Jupiter, Sun}) {
                QPolygonF path;
                for (double t = 0; t <= end + DayTolerance; t += Settings.TimeStep) path << GeoPoint(k, t);
                p.drawPolyline(path);
            }
            p.fillRect(DiscBox(QPointF(Layout.GeoCentreX, Layout.GeoCentreY)).adjusted(1, 1, 1, 1), Qt::white);
        }
        QPoint stray;
        int strays = StrayWhite(Win_3, allowed, &stray);
        QVERIFY2(strays == 0, qPrintable(QString("%1 stray, first at %2,%3").arg(strays).arg(stray.x()).arg(stray.y())));
        // The Sun's path is the Earth's orbit turned half a turn, round the
        // fixed Earth: traced all round where it is inside the window.
        const QRect window(3, 3, WindowWidth(Win_3) - 6, WindowHeight(Win_3) - 6);
        for (double deg = 0; deg < 360; deg += 1) {
            double th = deg * M_PI / 180;
            double x = Layout.GeoCentreX + Planets.RadiusX[Earth] * std::cos(th);
            double y = Layout.GeoCentreY + Planets.RadiusY[Earth] * std::sin(th);
            if (!window.contains(QPoint(std::lround(x), std::lround(y)))) continue;
            QVERIFY2(WhiteNear(Win_3, x, y, 2), qPrintable(QString("Sun's path at %1°").arg(deg)));
        }
        // Mars's loop around its opposition after one synodic period: the
        // direction seen from the Earth turns backwards there, and the loop
        // is drawn where it turns.
        int backwards = 0;
        for (double t = synodic - 60; t <= synodic + 60; t += 1) {
            QPointF a = GeoPoint(Mars, t) - QPointF(Layout.GeoCentreX, Layout.GeoCentreY);
            QPointF b = GeoPoint(Mars, t + 1) - QPointF(Layout.GeoCentreX, Layout.GeoCentreY);
            double turn = std::remainder(std::atan2(b.y(), b.x()) - std::atan2(a.y(), a.x()), 2 * M_PI);
            if (turn < 0) ++backwards;
            QPointF p = GeoPoint(Mars, t);
            if (window.contains(p.toPoint())) QVERIFY2(WhiteNear(Win_3, p.x(), p.y(), 2), qPrintable(QString::number(t)));
        }
        QVERIFY2(backwards > 20 && backwards < 120, qPrintable(QString::number(backwards)));
        // The Earth's disc stays in the middle.
        QCOMPARE(Pixel(Win_3, static_cast<int>(Layout.GeoCentreX),
                       static_cast<int>(Layout.GeoCentreY + Layout.DiscRadiusY - 3)),
                 Blue);
    }

    void planetsAndPathsLeaveWholeTrails_data() {
        QTest::addColumn<int>("window");
        QTest::newRow("heliocentric") << int(Win_2);
        QTest::newRow("geocentric") << int(Win_3);
    }

    void planetsAndPathsLeaveWholeTrails() {
        // DrawMode 7: discs move and leave their trails unbroken behind them.
        QFETCH(int, window);
        const bool helio = window == Win_2;
        Settings.SystemMode = helio ? 1 : 2;
        Settings.DrawMode = 7;
        Run(400);
        const double t = Planets.SimTime;
        auto at = [&](int k, double when) { return helio ? HelioPoint(k, when) : GeoPoint(k, when); };
        for (int k = Earth; k <= Sun; ++k) {
            if (k == (helio ? Sun : Earth)) continue;  // at rest
            // Where the body was 30 to 60 days ago, well behind its disc.
            for (double back = 30; back <= 60; back += 1) {
                QPointF p = at(k, t - back);
                bool underADisc = false;
                for (int j = Earth; j <= Sun; ++j) underADisc |= DiscBox(at(j, t)).adjusted(-2, -2, 2, 2).contains(p.toPoint());
                if (underADisc || !QRect(2, 2, WindowWidth(window) - 4, WindowHeight(window) - 4).contains(p.toPoint()))
                    continue;
                QVERIFY2(WhiteNear(window, p.x(), p.y(), 1), qPrintable(QString("body %1, %2 days back").arg(k).arg(back)));
            }
        }
        // Each body's disc is where the clock says.
        QPointF mars = at(Mars, t);
        // A real centre lies on the pixel that contains it.
        if (QRect(0, 0, WindowWidth(window), WindowHeight(window)).contains(mars.toPoint()) &&
            DiscOnScreen(mars.x(), mars.y(), Layout.DiscRadiusX, Layout.DiscRadiusY))
            QCOMPARE(Pixel(window, static_cast<int>(std::floor(mars.x())),
                           static_cast<int>(std::floor(mars.y())) + static_cast<int>(Layout.DiscRadiusY) - 3),
                     Red);
    }

    void theFixedBodyIsPutFirst_data() {
        QTest::addColumn<int>("window");
        QTest::newRow("the Sun in window 2") << int(Win_2);
        QTest::newRow("the Earth in window 3") << int(Win_3);
    }

    void theFixedBodyIsPutFirst() {
        // Every step puts the body at rest with its corner at centre - radius
        // (one pixel right of and below a DrawDisc box), before anything else.
        QFETCH(int, window);
        const int body = window == Win_2 ? Sun : Earth;
        const int rx = static_cast<int>(Layout.DiscRadiusX), ry = static_cast<int>(Layout.DiscRadiusY);
        const int cx = ScreenWidthPixels() * 80 / 320, cy = ScreenHeightPixels() * 87 / 200;
        Settings.SystemMode = 3;
        AnimationStep();
        const Image& img = Images.DiscImage[body];
        for (int y = 0; y < img.Height; ++y)
            for (int x = 0; x < img.Width; ++x) QCOMPARE(Pixel(window, cx - rx + x, cy - ry + y), ImagePixel(img, x, y));
        // So the polygon lies on top of it. A step that moves nothing erases
        // the polygon three pixels wide and draws it anew one pixel wide on
        // the same lines: where they cross the disc (right of the label; the
        // bodies are nearly in line still), white between azure.
        Settings.PolygonOn = 1;
        Settings.PlanetOn[Jupiter] = -1;
        Settings.TimeStep = 0;
        AnimationStep();
        const int x = cx + rx - 4;
        int top = cy - 3, bottom = top;
        while (top <= cy + 3 && Pixel(window, x, top) != White) ++top;
        QVERIFY(top <= cy + 3);
        for (bottom = top; Pixel(window, x, bottom + 1) == White; ++bottom) {
        }
        QCOMPARE(Pixel(window, x, top - 1), Azure);
        QCOMPARE(Pixel(window, x, bottom + 1), Azure);
    }

    void polygonLeavesNothingBehind_data() {
        QTest::addColumn<int>("window");
        QTest::addColumn<QList<int>>("hidden");
        QTest::newRow("heliocentric") << int(Win_2) << QList<int>{Jupiter};
        QTest::newRow("geocentric") << int(Win_3) << QList<int>{Jupiter};
        // Hidden planets are no vertices, the Earth always is, Jupiter never.
        QTest::newRow("heliocentric, Earth and Jupiter") << int(Win_2) << QList<int>{Mercury, Venus, Mars};
        QTest::newRow("geocentric, Earth and Jupiter") << int(Win_3) << QList<int>{Mercury, Venus, Mars};
    }

    void polygonLeavesNothingBehind() {
        // DrawMode 6 with the polygon on, after many steps: every white pixel
        // lies on the current polygon or belongs to a disc (the Earth's
        // outline and label, Mars's label). Old polygons are fully erased.
        QFETCH(int, window);
        QFETCH(QList<int>, hidden);
        Settings.SystemMode = 3;
        Settings.DrawMode = 6;
        Settings.PolygonOn = 1;
        Settings.TimeStep = 0.2;
        for (int k : hidden) Settings.PlanetOn[k] = -1;
        Run(600);
        const double t = Planets.SimTime;
        const bool helio = window == Win_2;
        auto at = [&](int k) { return helio ? HelioPoint(k, t) : GeoPoint(k, t); };
        Mask allowed = EmptyMask(window);
        QPolygonF polygon;
        polygon << at(Sun) << at(Earth);
        for (int k : {Mercury, Venus, Mars})
            if (!hidden.contains(k)) polygon << at(k);
        polygon << at(Sun);
        {
            QPainter p(&allowed);
            MaskPainter(p, 1);
            p.drawPolyline(polygon);
            for (int k = Earth; k <= Mars; ++k) p.fillRect(DiscBox(at(k)), Qt::white);
            p.fillRect(DiscBox(at(Sun)).adjusted(0, 0, 1, 1), Qt::white);
        }
        QPoint stray;
        int strays = StrayWhite(window, allowed, &stray);
        QVERIFY2(strays == 0, qPrintable(QString("%1 stray, first at %2,%3").arg(strays).arg(stray.x()).arg(stray.y())));
        // And the polygon is there: the middle of each edge is white unless a
        // disc lies on it.
        for (int i = 0; i + 1 < polygon.size(); ++i) {
            QPointF mid = (polygon[i] + polygon[i + 1]) / 2;
            bool covered = false;
            for (int k = Earth; k <= Sun; ++k) covered |= DiscBox(at(k)).adjusted(-2, -2, 2, 2).contains(mid.toPoint());
            if (covered || !QRect(0, 0, WindowWidth(window), WindowHeight(window)).contains(mid.toPoint())) continue;
            QVERIFY2(WhiteNear(window, mid.x(), mid.y(), 1), qPrintable(QString("edge %1").arg(i)));
        }
    }

    void hiddenBodiesAreNotDrawn() {
        Settings.SystemMode = 3;
        Settings.DrawMode = 6;
        for (int k : {Mercury, Venus, Mars, Jupiter}) Settings.PlanetOn[k] = -1;
        Run(50);
        for (int n : {Win_2, Win_3}) {
            QRect all(0, 0, WindowWidth(n), WindowHeight(n));
            QCOMPARE(CountColour(n, all, Green), 0);
            QCOMPARE(CountColour(n, all, Red), 0);
            QCOMPARE(CountColour(n, all, Cyan), 0);
        }
        QVERIFY(CountColour(Win_3, QRect(0, 0, WindowWidth(Win_3), WindowHeight(Win_3)), Yellow) > 0);
        // RemoveBody for a body that is shown puts nothing.
        QImage before = platform_internal::RetainedImage(Win_2)->copy();
        Settings.PlanetOn[Earth] = 1;
        RemoveBody(Earth);
        QCOMPARE(*platform_internal::RetainedImage(Win_2), before);
    }

    void removingABodyBeforeTheFirstStepPutsNothing() {
        Settings.PlanetOn[Mars] = -1;
        QImage before2 = platform_internal::RetainedImage(Win_2)->copy();
        QImage before3 = platform_internal::RetainedImage(Win_3)->copy();
        RemoveBody(Mars);
        QCOMPARE(*platform_internal::RetainedImage(Win_2), before2);
        QCOMPARE(*platform_internal::RetainedImage(Win_3), before3);
        QCOMPARE(SelectedWindow(), Win_3);
    }

    void removingAHiddenBodyPutsItsSavedBackground_data() {
        // Where the last step left the body (its old centre and the real new
        // y, whose whole number is used), and which of the two puts happen.
        QTest::addColumn<int>("window");
        QTest::addColumn<int>("body");
        QTest::addColumn<int>("planetOn");
        QTest::addColumn<double>("oldY");
        QTest::addColumn<double>("newY");
        QTest::addColumn<bool>("putNew");
        QTest::addColumn<bool>("putOld");
        QTest::addColumn<bool>("viaRemoveBody");  // RemoveBody: window 2 from its store, then window 3 from its
        const double low = Layout.DiscRadiusY + 1;  // a y must lie below this
        for (int w : {Win_2, Win_3}) {
            const char* view = w == Win_2 ? "helio" : "geo";
            QTest::addRow("%s: both places", view) << w << int(Mars) << -1 << 300.0 << 310.7 << true << true << false;
            QTest::addRow("%s: new place too high", view) << w << int(Venus) << -1 << 300.0 << low + 0.9 << false << true << false;
            QTest::addRow("%s: old place too high", view) << w << int(Venus) << -1 << low << 310.0 << true << false << false;
            QTest::addRow("%s: old place just low enough", view) << w << int(Jupiter) << -1 << low + 0.01 << 310.0 << true << true << false;
            QTest::addRow("%s: body shown", view) << w << int(Mars) << 1 << 300.0 << 310.0 << false << false << false;
            QTest::addRow("%s: through RemoveBody", view) << w << int(Mars) << -1 << 300.0 << 310.7 << true << true << true;
        }
        QTest::newRow("helio: the Sun never") << int(Win_2) << int(Sun) << -1 << 300.0 << 310.0 << false << false << false;
        QTest::newRow("geo: the Sun too") << int(Win_3) << int(Sun) << -1 << 300.0 << 310.0 << true << true << false;
    }

    void removingAHiddenBodyPutsItsSavedBackground() {
        QFETCH(int, window);
        QFETCH(int, body);
        QFETCH(int, planetOn);
        QFETCH(double, oldY);
        QFETCH(double, newY);
        QFETCH(bool, putNew);
        QFETCH(bool, putOld);
        QFETCH(bool, viaRemoveBody);
        const int rx = static_cast<int>(Layout.DiscRadiusX), ry = static_cast<int>(Layout.DiscRadiusY);
        // A saved background whose every pixel tells where in it it lies.
        Image saved;
        saved.Width = 2 * rx + 3;
        saved.Height = 2 * ry + 3;
        for (int y = 0; y < saved.Height; ++y)
            for (int x = 0; x < saved.Width; ++x) saved.Pixels.push_back(0xFF000000u | (y + 1) << 8 | (x + 1));
        (window == Win_2 ? Images.HelioBackground : Images.GeoBackground)[body] = saved;
        const double oldX = 200.4, newX = 207.6;  // boxes that overlap
        auto& v = Views;
        (window == Win_2 ? v.HelioPrevScreenX : v.GeoPrevScreenX)[body] = oldX;
        (window == Win_2 ? v.HelioPrevScreenY : v.GeoPrevScreenY)[body] = oldY;
        (window == Win_2 ? v.HelioScreenX : v.GeoScreenX)[body] = newX;
        (window == Win_2 ? v.HelioScreenY : v.GeoScreenY)[body] = newY;
        Settings.PlanetOn[body] = static_cast<int16_t>(planetOn);
        ClearWindow(Win_2);
        ClearWindow(Win_3);
        SelectWindow(viaRemoveBody ? Win_0 : window);
        if (viaRemoveBody) RemoveBody(static_cast<int16_t>(body));
        else if (window == Win_2) RemoveHelioBody(static_cast<int16_t>(body));
        else RemoveGeoBody(static_cast<int16_t>(body));
        // What each pixel should be: the corner at centre - radius, the new
        // place first, the old one over it.
        QImage expected = platform_internal::RetainedImage(window)->copy();
        expected.fill(QColor(0, 128, 255));
        auto put = [&](double cx, double cy) {
            const QPoint corner(static_cast<int>(std::floor(cx)) - rx, static_cast<int>(std::floor(cy)) - ry);
            for (int y = 0; y < saved.Height; ++y)
                for (int x = 0; x < saved.Width; ++x)
                    expected.setPixel(corner + QPoint(x, y), saved.Pixels[static_cast<std::size_t>(y * saved.Width + x)]);
        };
        if (putNew) put(newX, std::floor(newY));
        if (putOld) put(oldX, oldY);
        QCOMPARE(*platform_internal::RetainedImage(window), expected);
        QCOMPARE(SelectedWindow(), viaRemoveBody ? Win_3 : window);
        const int other = window == Win_2 ? Win_3 : Win_2;  // nothing there
        QCOMPARE(CountColour(other, QRect(0, 0, WindowWidth(other), WindowHeight(other)), Azure),
                 WindowWidth(other) * WindowHeight(other));
    }

    void longRunsLeaveEachDiscOnce_data() {
        QTest::addColumn<bool>("real");
        QTest::addColumn<double>("polygon");
        QTest::newRow("model") << false << -1.0;
        QTest::newRow("real sky") << true << -1.0;
        QTest::newRow("real sky, polygon") << true << 1.0;
    }

    void longRunsLeaveEachDiscOnce() {
        QFETCH(bool, real);
        QFETCH(double, polygon);
        if (real) {
            // The real sky, all planets, from 18.10.2027 on over eight
            // years: its discs, sized to the scale, overlap near the Sun and
            // round the Earth, yet every step leaves exactly what the same
            // moment drawn afresh shows.
            Skies.Real = true;
            Settings.SystemMode = 3;
            Settings.PolygonOn = polygon;
            MoveModelTo(MomentFromUtc({2027, 10, 18}));
            KeepPositions();
            for (int n = 1; n <= 12; ++n) {
                Run(500);
                Image h, g;
                CaptureShownWindow(Win_2, h);
                CaptureShownWindow(Win_3, g);
                ClearViews();
                MoveModelTo(Planets.SimTime);
                DrawStep();
                Image h2, g2;
                CaptureShownWindow(Win_2, h2);
                CaptureShownWindow(Win_3, g2);
                QVERIFY2(h.Pixels == h2.Pixels && g.Pixels == g2.Pixels, qPrintable(QString("after %1 steps").arg(n * 500)));
            }
            // On a 1024-pixel screen the inner planets' discs are too small
            // for their labels, which stand beside them; Jupiter's disc is the model's.
            if (Layout.ScreenWidth == 1024)
                QVERIFY(Images.RealLabel[Mercury].Pixels.Width > 0 && Images.RealLabel[Jupiter].Pixels.Width == 0 &&
                        Images.RealDisc[Jupiter].Pixels.Pixels == Images.DiscImage[Jupiter].Pixels);
            return;
        }
        // Both views, planets only, the start settings, many steps: bodies
        // pass the views' top and bottom edges again and again (Jupiter in
        // window 2, all but Mercury in window 3). Every view must show each
        // shown body's disc exactly once: as many pixels of the body's own
        // colour as its image brings to where it stands, none where it is
        // left out. The orbits keep the moving discs apart, but for the
        // smallest screens, where Mercury's and the Earth's discs can meet
        // Venus's and Mars's; discs drawn over each other leave pieces behind
        // by design, so those two are hidden there.
        QVERIFY(DistinctColours(Images.DiscImage[Sun], Yellow) > 0);  // on every screen
        Settings.SystemMode = 3;
        if (Layout.ScreenWidth < 640) Settings.PlanetOn[Mercury] = Settings.PlanetOn[Earth] = -1;
        const std::array<uint32_t, 7> colour{0, Blue, Green, Cyan, Red, Magenta, Yellow};
        auto expected = [&](int k, double x, double y, int window) {
            const double rx = Layout.DiscRadiusX, ry = Layout.DiscRadiusY;
            const int16_t row = ToPixelRow(y);
            if (!DiscOnScreen(x, row, rx, ry)) return 0;
            const Image& img = Images.DiscImage[k];
            const QPoint corner(static_cast<int>(std::floor(x - rx - 1)), row - static_cast<int>(ry) - 1);
            int count = 0;
            for (int iy = 0; iy < img.Height; ++iy)
                for (int ix = 0; ix < img.Width; ++ix)
                    if (ImagePixel(img, ix, iy) == colour[k] &&
                        QRect(0, 0, WindowWidth(window), WindowHeight(window)).contains(corner + QPoint(ix, iy)))
                        ++count;
            return count;
        };
        // How many pixels of each colour a window shows.
        auto histogram = [](int window) {
            std::map<QRgb, int> count;
            const QImage& img = *platform_internal::RetainedImage(window);
            for (int y = 0; y < WindowHeight(window); ++y) {
                const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
                for (int x = 0; x < WindowWidth(window); ++x) ++count[row[x]];
            }
            return count;
        };
        auto shown = [&](const std::map<QRgb, int>& count, int k) {
            auto it = count.find(qRgb(colour[k] & 0xFF, (colour[k] >> 8) & 0xFF, colour[k] >> 16));
            return it == count.end() ? 0 : it->second;
        };
        for (int n = 1; n <= 14; ++n) {
            Run(500);
            const auto in2 = histogram(Win_2), in3 = histogram(Win_3);
            for (int k = Earth; k <= Sun; ++k) {
                if (Settings.PlanetOn[k] != 1) continue;
                // The Sun in window 2 and the Earth in window 3 stand still.
                const QPointF h = k == Sun ? QPointF(Layout.HelioCentreX + 1, Layout.HelioCentreY + 1)
                                           : QPointF(Views.HelioScreenX[k], Views.HelioScreenY[k]);
                const QPointF g = k == Earth ? QPointF(Layout.GeoCentreX + 1, Layout.GeoCentreY + 1)
                                             : QPointF(Views.GeoScreenX[k], Views.GeoScreenY[k]);
                QVERIFY2(shown(in2, k) == expected(k, h.x(), h.y(), Win_2),
                         qPrintable(QString("body %1 in window 2 after %2 steps").arg(k).arg(n * 500)));
                QVERIFY2(shown(in3, k) == expected(k, g.x(), g.y(), Win_3),
                         qPrintable(QString("body %1 in window 3 after %2 steps").arg(k).arg(n * 500)));
            }
        }
    }

    // ---- Commands that run while a view lets events through

    void aCommandDuringTheHeliocentricViewKeepsItInItsWindow() {
        Settings.SystemMode = 3;
        Settings.DrawMode = 6;
        Run(5);
        const QRect main(0, 0, WindowWidth(Win_0), WindowHeight(Win_0));
        const int magentaBefore = CountColour(Win_0, main, Magenta);
        // A command chosen just as the heliocentric view starts: it selects
        // window 0 (as the clearing step does) and switches to paths only.
        Soon([] {
            SelectWindow(Win_0);
            Settings.DrawMode = 5;
        });
        AnimationStep();
        // Nothing was drawn into window 0, and the step used the new setting:
        // paths, no new discs in either view.
        QCOMPARE(CountColour(Win_0, main, Magenta), magentaBefore);
        QVERIFY(CountColour(Win_2, QRect(0, 0, WindowWidth(Win_2), WindowHeight(Win_2)), White) > 0);
        QVERIFY(CountColour(Win_3, QRect(0, 0, WindowWidth(Win_3), WindowHeight(Win_3)), White) > 0);
    }

    void aCommandDuringTheGeocentricViewKeepsItInItsWindow() {
        Settings.SystemMode = 3;
        Settings.DrawMode = 5;
        Run(3);
        ClearWindow(Win_2);
        // Let the heliocentric view's look at the events pass, then choose a
        // command as the geocentric view looks: it selects window 2.
        Settings.SystemMode = 2;
        Soon([] { SelectWindow(Win_2); });
        AnimationStep();
        QCOMPARE(CountColour(Win_2, QRect(0, 0, WindowWidth(Win_2), WindowHeight(Win_2)), Azure),
                 WindowWidth(Win_2) * WindowHeight(Win_2));
    }

    void aCommandThatHidesAViewStopsItsStep() {
        Settings.SystemMode = 3;
        Settings.DrawMode = 6;
        Run(3);
        ClearWindow(Win_2);
        ClearWindow(Win_3);
        // "&Geozentrisch" chosen while the heliocentric view looks at events:
        // window 2 stays empty, window 3 draws.
        Soon([] { Settings.SystemMode = 2; });
        AnimationStep();
        QCOMPARE(CountColour(Win_2, QRect(0, 0, WindowWidth(Win_2), WindowHeight(Win_2)), Azure),
                 WindowWidth(Win_2) * WindowHeight(Win_2));
        QVERIFY(CountColour(Win_3, QRect(0, 0, WindowWidth(Win_3), WindowHeight(Win_3)), Blue) > 0);
    }

    void aRealCommandRunsWholeBeforeTheViewDraws() {
        // "nur &Bahnen" chosen just as the heliocentric view looks at events:
        // the command runs completely (it clears both views and window 0 and
        // leaves window 2 selected), then the step draws with its settings:
        // path segments, no discs, nothing in window 0.
        BuildMenuBar(MenuBarChoice);
        Settings.SystemMode = 3;
        Settings.DrawMode = 6;
        Run(20);
        Soon([] {
            int32_t item = 13;  // "nur &Bahnen"
            Win_0_MenuEvent(item);
        });
        AnimationStep();
        QCOMPARE(Settings.DrawMode, 5);
        QCOMPARE(Settings.TimeStep, 0.2);
        const QRect main(0, 0, WindowWidth(Win_0), WindowHeight(Win_0));
        QCOMPARE(CountColour(Win_0, main, Magenta), main.width() * main.height());
        for (int n : {Win_2, Win_3}) {
            const QRect all(0, 0, WindowWidth(n), WindowHeight(n));
            QVERIFY(CountColour(n, all, White) > 0);
            QCOMPARE(CountColour(n, all, Green), 0);
            QCOMPARE(CountColour(n, all, Red), 0);
        }
    }

    void aBoxOpenedByACommandHoldsTheDrawingBack() {
        // "&Info" chosen as the heliocentric view looks at events: while its
        // box is open nothing is drawn; the step goes on after "OK".
        BuildMenuBar(MenuBarChoice);
        Settings.SystemMode = 1;
        Settings.DrawMode = 5;
        Run(5);
        const QRect all(0, 0, WindowWidth(Win_2), WindowHeight(Win_2));
        const int whiteBefore = CountColour(Win_2, all, White);
        int whileOpen = -1;
        auto* watcher = new QTimer;
        watcher->setInterval(5);
        QObject::connect(watcher, &QTimer::timeout, [&] {
            const OpenBox box = BoxShown();
            if (box.Ok == nullptr) return;
            watcher->stop();
            watcher->deleteLater();
            whileOpen = CountColour(Win_2, all, White);
            box.Ok->click();
        });
        watcher->start();
        Soon([] {
            int32_t item = 3;  // "&Info"
            Win_0_MenuEvent(item);
        });
        AnimationStep();
        QCOMPARE(whileOpen, whiteBefore);
        QVERIFY(CountColour(Win_2, all, White) > whiteBefore);
    }

    // ---- Cost of a step

    void noImageIsAllocatedOnceRunning() {
        Settings.SystemMode = 3;
        Settings.DrawMode = 7;
        Run(200);
        std::vector<const uint32_t*> buffers;
        for (int k = Earth; k <= Sun; ++k) {
            buffers.push_back(Images.HelioBackground[k].Pixels.data());
            buffers.push_back(Images.GeoBackground[k].Pixels.data());
        }
        Run(2000);
        std::size_t i = 0;
        for (int k = Earth; k <= Sun; ++k) {
            QCOMPARE(Images.HelioBackground[k].Pixels.data(), buffers[i++]);
            QCOMPARE(Images.GeoBackground[k].Pixels.data(), buffers[i++]);
        }
    }

    void aStepMarksOnlyWhatItChanged() {
        Settings.SystemMode = 1;
        Settings.DrawMode = 6;
        Run(10);
        // Hold back the repaint so that one step's changes can be read.
        platform_internal::State& s = platform_internal::S();
        platform_internal::ForgetDirty(s.windows[Win_2]);
        s.lastFlushNs = std::numeric_limits<int64_t>::max() / 2;
        AnimationStep();
        QRegion changed = platform_internal::DirtyRegion(s.windows[Win_2]);
        long area = 0;
        for (const QRect& r : changed) area += static_cast<long>(r.width()) * r.height();
        const long window = static_cast<long>(WindowWidth(Win_2)) * WindowHeight(Win_2);
        // The Sun's box and five discs' boxes, old and new: a small part of
        // the window.
        QVERIFY2(area > 0 && area < window / 5, qPrintable(QString("%1 of %2").arg(area).arg(window)));
        for (int k = Earth; k <= Jupiter; ++k) {
            QPointF p = HelioPoint(k, Planets.SimTime);
            if (QRect(0, 0, WindowWidth(Win_2), WindowHeight(Win_2)).contains(p.toPoint()))
                QVERIFY(changed.contains(p.toPoint()));
        }
        s.lastFlushNs = 0;
    }

    void theStripsDirectionIsTheLineOfSight_data() {
        QTest::addColumn<double>("day");
        for (double day : {0.5, 100.0, 417.25, 806.0, 850.5, 2000.0}) QTest::newRow(qPrintable(QString::number(day))) << day;
    }

    // A planet's direction is its line of sight's in both views; the Sun's as the geocentric view places it.
    void theStripsDirectionIsTheLineOfSight() {
        QFETCH(double, day);
        Settings.SystemMode = 3;
        MoveModelTo(day);
        MapHelio();
        TransformGeo();
        ShowSightLines(true);
        auto off = [&](int k, double angle) { return std::abs(std::remainder(angle - ScreenDirection(k, day), 2 * M_PI)); };
        for (int n : {Win_2, Win_3}) {
            const std::vector<OverlayLine>& lines = platform_internal::S().windows[n].overlay;
            QCOMPARE(lines.size(), std::size_t(8));  // four planets, a line and a mark each
            for (int k = Mercury; k <= Jupiter; ++k) {
                const OverlayLine& l = lines[2 * (k - Mercury)];
                QVERIFY(off(k, std::atan2(l.Y2 - l.Y1, l.X2 - l.X1)) < AngleTolerance);
                QVERIFY(ScreenDirection(k, day) >= 0 && ScreenDirection(k, day) < 2 * M_PI);
            }
        }
        QVERIFY(off(Sun, std::atan2(Views.GeoScreenY[Sun] - Layout.GeoCentreY, Views.GeoScreenX[Sun] - Layout.GeoCentreX)) <
                AngleTolerance);
    }

    void theStripShowsTheSunAndMarsAndMarssStandstills_data() {
        QTest::addColumn<double>("day");
        for (double day : {150.0, 600.5, 850.0, 1230.0}) QTest::newRow(qPrintable(QString::number(day))) << day;
    }

    void theStripShowsTheSunAndMarsAndMarssStandstills() {
        QFETCH(double, day);
        for (int k : {Mercury, Venus, Jupiter}) Settings.PlanetOn[k] = -1;
        MoveModelTo(day);
        SelectWindow(Win_2);
        ShowSkyStrip(true);
        QCOMPARE(SelectedWindow(), Win_2);  // put back as it was
        const int w = static_cast<int>(Layout.GeoWinLeft - Layout.HelioWinLeft) + Layout.ViewWinWidthInt;  // both views
        const int h = SkyStripHeight();  // right below the views' rectangle
        const int slack = PixelRatio() == 1 ? 0 : 1;  // on a sharp screen logical places and sizes are whole
        for (auto [shown, asked] : {std::pair{WindowLeft(Win_4), static_cast<int>(Layout.HelioWinLeft)},
                                    {WindowTop(Win_4), int{Layout.ScreenHeight}}, {WindowWidth(Win_4), w},
                                    {WindowHeight(Win_4), h}})
            QVERIFY(std::abs(shown - asked) <= slack);
        auto column = [&](double direction) { return static_cast<int>(std::floor(w * (1 - direction / (2 * M_PI)))); };
        auto found = [&](int x, int from, int to, uint32_t colour) {
            for (int y = from; y <= to; ++y)
                if (Pixel(Win_4, x, y) == colour) return y;
            return -1;
        };
        // The discs on the top rows, east to the left; Mars's dots lower the older they are.
        const int sun = found(column(ScreenDirection(Sun, day)), 0, h / 8, Yellow);
        QVERIFY(sun >= 0 && found(column(ScreenDirection(Mars, day)), 0, h / 8, Red) >= 0);
        for (double age : {30.0, 120.0, 300.0})
            QVERIFY(found(column(ScreenDirection(Mars, std::floor(day) - age)), static_cast<int>(h * age / 730) - 2,
                          static_cast<int>(h * age / 365) + h / 8, Red) >= 0);
        for (const SkyEvent& e : TheSky().Events.Of(Mars, day - 365, day))
            if (e.Kind == EventKind::StationRetrograde || e.Kind == EventKind::StationDirect)
                QVERIFY(TextShownIn(Win_4, QRect(column(ScreenDirection(Mars, e.Day)) - w / 8, 0, w / 4, h),
                                    "Tag " + std::to_string(std::lround(e.Day)), Red,
                                    static_cast<int>(9 * PixelRatio())));  // at their dots, in letters a pupil can read
        Image picture;  // the strip is in the picture; off takes it away
        ComposePicture(picture);
        QCOMPARE(ImagePixel(picture, WindowLeft(Win_4) - WindowLeft(Win_2) + column(ScreenDirection(Sun, day)),
                            WindowTop(Win_4) - WindowTop(Win_2) + sun),
                 Yellow);
        ShowSkyStrip(false);
        QVERIFY(!IsWindowOpen(Win_4));
    }

    // In the real sky each view shows the scale and the direction of the
    // vernal equinox, whole after any steps whatever they drew and erased
    // there; the model shows none of it.
    void theRealViewsShowTheScaleAndTheEquinox_data() {
        QTest::addColumn<bool>("real");
        QTest::addColumn<int>("drawMode");
        QTest::addColumn<double>("polygon");
        QTest::newRow("planets") << true << 6 << -1.0;
        QTest::newRow("polygon") << true << 6 << 1.0;
        QTest::newRow("planets and paths") << true << 7 << -1.0;
        QTest::newRow("model") << false << 7 << -1.0;
    }

    void theRealViewsShowTheScaleAndTheEquinox() {
        QFETCH(bool, real);
        QFETCH(int, drawMode);
        QFETCH(double, polygon);
        Skies.Real = real;
        Settings.SystemMode = 3;
        Settings.DrawMode = drawMode;
        Settings.PolygonOn = polygon;
        MoveModelTo(MomentFromUtc({2026, 1, 1}));
        KeepPositions();
        Run(3000);
        const int letters = static_cast<int>(9 * PixelRatio()), w = WindowWidth(Win_2), h = WindowHeight(Win_2);
        OpenWindow(5, 0, 0, w, 4 * letters);  // to draw the letters looked for
        SetWindowBackground(5, Azure);
        for (int n : {Win_2, Win_3}) {
            Image shown;
            CaptureShownWindow(n, shown);
            const int row = Layout.HelioCentreY, corner = h - 6 * letters;
            const std::vector<OverlayLine>& overlay = platform_internal::S().windows[n].overlay;
            if (!real) {  // as it always was: nothing over the views, nothing black in the corner but discs' outlines
                QVERIFY(overlay.empty());
                QVERIFY(!TextShownIn(n, QRect(0, corner, w / 2, h - corner), "1 AE", Black, letters, 5, true));
                continue;
            }
            // The arrow to the vernal equinox along the fixed body's row, its head at the edge.
            QCOMPARE(ImagePixel(shown, w - 2, row), Black);
            int dashes = 0;
            for (int x = w / 2 + 2 * letters; x < w - 2 * letters; ++x) dashes += ImagePixel(shown, x, row) == Black;
            QVERIFY(dashes > (w / 2 - 4 * letters) / 3);
            QVERIFY(TextShownIn(n, QRect(w / 2, row - 4 * letters, w / 2, 4 * letters), "\u2648\uFE0E Frühlingspunkt",
                                Black, letters, 5, true));
            // The legend: a bar one AE long beside "1 AE", and the line saying so.
            int longest = 0;
            for (int y = corner; y < h; ++y)
                for (int x = 0, run = 0; x < w; ++x)
                    longest = std::max(longest, run = ImagePixel(shown, x, y) == Black ? run + 1 : 0);
            QCOMPARE(longest, static_cast<int>(std::lround(RealSkyPixelsPerAu())));
            QVERIFY(TextShownIn(n, QRect(0, corner, w / 2, h - corner), "1 AE", Black, letters, 5, true));
            QVERIFY(TextShownIn(n, QRect(0, corner, w / 2, h - corner), "Bahnen maßstabsgetreu", Black, letters, 5, true));
        }
        if (!real) return;
        // The arrow points where the Earth sees the Sun at the March equinox
        // (20 March 2027, 14:25 UTC): the Earth then stands on the other side,
        // 0.996 AE from the Sun, as long as the bar times that.
        MoveModelTo(MomentFromUtc({2027, 3, 20, 14, 25}));
        const double au = RealSkyPixelsPerAu();
        QVERIFY(std::abs(Planets.PosX[Earth] + 0.996 * au) < 0.002 * au + 1);
        QVERIFY(std::abs(Planets.PosY[Earth]) < 0.002 * au + 1);
    }

    // The real sky's strip is a chart along the ecliptic at the clock's
    // moment: the constellations between their boundaries and the bright
    // stars' ticks where precession puts them; the model's stays as it was.
    void theRealStripIsAChartOfTheEcliptic() {
        constexpr uint32_t Boundary = 0x8C643C, Name = 0xD2AA82, Star = 0xB4F0FF;
        for (int k = Mercury; k <= Jupiter; ++k) Settings.PlanetOn[k] = -1;  // no dots over the chart
        const double moment = MomentFromUtc({2027, 2, 19});
        MoveModelTo(moment);
        ShowSkyStrip(true);
        Image model;
        CaptureShownWindow(Win_4, model);
        Skies.Real = true;
        DrawSkyStrip();
        const int w = WindowWidth(Win_4), h = WindowHeight(Win_4), letters = static_cast<int>(9 * PixelRatio());
        SelectWindow(Win_3);  // to measure names in the smallest letters
        SetFontFace("courier");
        SetFontSize(letters);
        // Longitudes of J2000.0 in degrees (sky_strip.cpp names the sources), as columns of date.
        auto column = [&](double degrees) {
            const double d = std::fmod(LongitudeOfDate(degrees * M_PI / 180, moment) + 2 * M_PI, 2 * M_PI);
            return std::min(w - 1, static_cast<int>(std::floor(w * (1 - d / (2 * M_PI)))));
        };
        auto found = [&](int x, int from, int to, uint32_t colour) {
            for (int y = from; y <= to; ++y)
                if (Pixel(Win_4, x, y) == colour || Pixel(Win_4, x + 1, y) == colour) return true;
            return false;
        };
        // Each star's tick; the names where the closest two stars leave room for them.
        const std::pair<const char*, double> stars[] = {
            {"Aldebaran", 69.789}, {"Pollux", 113.216}, {"Regulus", 149.829}, {"Spica", 203.841}, {"Antares", 249.762}};
        const bool room = column(113.216) - column(149.829) > TextWidth("Aldebaran") + letters;
        for (auto [name, longitude] : stars) {
            QVERIFY2(found(column(longitude), h / 2, h - 1, Star), name);
            QVERIFY2(!room || TextShownIn(Win_4, QRect(column(longitude) - w / 10, 0, w / 5, h), name, Star, letters),
                     name);
        }
        // Each boundary's dotted line, and in a strip with rows for them each
        // constellation's name within its stretch of the ecliptic where that is
        // as wide as the name (Fische's stretch runs over the strip's ends).
        const std::pair<const char*, double> zodiac[] = {
            {"Widder", 28.687},   {"Stier", 53.417},     {"Zwillinge", 90.140}, {"Krebs", 117.988},
            {"Löwe", 138.038},    {"Jungfrau", 173.851}, {"Waage", 217.810},    {"Skorpion", 241.047},
            {"Schlangenträger", 247.638}, {"Schütze", 266.238}, {"Steinbock", 299.656}, {"Wassermann", 327.488},
            {"Fische", 351.650},  {"", 388.687}};
        int names = 0;
        for (std::size_t i = 0; i + 1 < std::size(zodiac); ++i) {
            const int east = column(zodiac[i + 1].second), west = column(zodiac[i].second);
            QVERIFY(found(west, 0, h / 4, Boundary));
            if (h < 8 * letters || TextWidth(zodiac[i].first) + 2 * letters > (west - east + w) % w) continue;
            QVERIFY2(TextShownIn(Win_4, QRect(east < west ? east : 0, 0, east < west ? west - east : w, h),
                                 zodiac[i].first, Name, letters),
                     zodiac[i].first);
            ++names;
        }
        QVERIFY(names >= 8 || w < 100 * letters);  // on a strip as wide as a 1024-pixel screen's
        // The random field is the model's: gone here, and back there unchanged.
        QCOMPARE(CountColour(Win_4, QRect(0, 0, w, h), 0xE6E6E6), 0);
        Skies.Real = false;
        DrawSkyStrip();
        Image again;
        CaptureShownWindow(Win_4, again);
        QVERIFY(again.Pixels == model.Pixels);
        // Mars at its opposition of February 2027 (Espenak's table: 19
        // February) in the Löwe, by Regulus, its disc on the top rows.
        Skies.Real = true;
        Settings.PlanetOn[Mars] = 1;
        const std::vector<SkyEvent> events = TheSky().Events.Of(Mars, moment - 10, moment + 10);
        QVERIFY(events.size() == 1 && events[0].Kind == EventKind::Opposition);
        MoveModelTo(events[0].Day);
        DrawSkyStrip();
        const double mars = StripDirection(Mars, events[0].Day);
        const int x = std::min(w - 1, static_cast<int>(std::floor(w * (1 - mars / (2 * M_PI)))));
        QVERIFY(found(x, 0, h / 8, Red));
        QVERIFY(x > column(173.851) && x < column(138.038));
        QVERIFY(std::abs(std::remainder(mars - LongitudeOfDate(149.829 * M_PI / 180, events[0].Day), 2 * M_PI)) <
                2 * M_PI / 180);
    }

    // Labels that would collide stand apart (render.h), at moments where they
    // met: no label's box meets another's, each date is whole at its box (no
    // disc over it), and a name left out leaves no letter. Standstills (the
    // real sky's, as test_real_sky checks it): Mercury 13.11.2026 at 215° and
    // Venus 14.11.2026 at 203°, Venus 03.10.2026 and Mercury 24.10.2026; the
    // Sun by Mercury's of 09.02.2027; Jupiter's of 04.02.2025, at 71°, by
    // Aldebaran's name a year on.
    void theStripsLabelsStandApart_data() {
        QTest::addColumn<QDate>("date");
        for (QDate date : {QDate(2026, 11, 20), QDate(2027, 2, 12), QDate(2027, 2, 15), QDate(2026, 1, 20)})
            QTest::newRow(qPrintable(date.toString(Qt::ISODate))) << date;
    }
    void theStripsLabelsStandApart() {
        QFETCH(QDate, date);
        constexpr uint32_t Night = 0x3C1408, Name = 0xD2AA82, Star = 0xB4F0FF;
        Skies.Real = true;
        MoveModelTo(MomentFromUtc({date.year(), date.month(), date.day()}));
        ShowSkyStrip(true);
        const int w = WindowWidth(Win_4), h = WindowHeight(Win_4);
        QRegion labels;
        for (const StripLabel& l : SkyStripLabels()) {
            const QRect box(l.Left, l.Top, l.Right - l.Left, l.Bottom - l.Top);
            QVERIFY(QRect(0, 0, w, h).contains(box) && !labels.intersects(box));
            labels += box;
            // A date stands over the trails, whole (names lie under them).
            uint32_t colour = Night;
            for (int x = box.left(); x <= box.right() && colour == Night; ++x) colour = Pixel(Win_4, x, box.center().y());
            if (std::isdigit(l.Text[0]))
                QVERIFY2(TextShownIn(Win_4, QRect(box.topLeft(), QSize(1, 1)), l.Text, colour, 9 * PixelRatio()), l.Text.c_str());
        }
        // No letter of a name left out: outside the labels the stars' colour is their ticks'.
        std::set<int> starColumns;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (!labels.contains(QPoint(x, y))) {
                    QVERIFY(Pixel(Win_4, x, y) != Name);
                    if (Pixel(Win_4, x, y) == Star) starColumns.insert(x);
                }
        QVERIFY(std::ssize(starColumns) <= 5 * std::lround(PixelRatio()));
    }

    // The picture for a black-and-white copier: paper for the views' azure
    // and the strip's night, paths and outlines black, each body's fill a
    // light grey of its own, lines in a body's colour (one and three pixels
    // wide) dark; nothing but greys.
    void thePrintPictureTellsTheBodiesApartInGrey() {
        const uint32_t fills[] = {Yellow, Cyan, Green, Magenta, Blue, Red}, night = 0x3C1408;
        Image picture{56, 9, std::vector<uint32_t>(56 * 9)};
        auto put = [&](int x, int y, uint32_t c) {
            picture.Pixels[y * 56 + x] = 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | c >> 16;
        };
        const std::array lines{Red, Azure, Magenta, Magenta, Magenta, night, White, Azure};
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 56; ++x) {
                const int i = x / 8, u = x % 8;  // discs 7 pixels wide, outlined, on azure; then the lines
                const bool outline = u == 0 || u == 6 || y == 1 || y == 7;
                put(x, y, i == 6 ? lines[u] : u == 7 || y == 0 || y == 8 ? Azure : outline ? Black : fills[i]);
            }
        Image print;
        PrintPicture(picture, print);
        auto level = [&](int x, int y) { return static_cast<int>(print.Pixels[y * 56 + x] & 0xFF); };
        for (uint32_t p : print.Pixels) QVERIFY((p & 0xFF) == (p >> 8 & 0xFF) && (p & 0xFF) == (p >> 16 & 0xFF));
        std::set<int> greys;
        for (int i = 0; i < 6; ++i) greys.insert(level(8 * i + 3, 4));
        QCOMPARE(greys.size(), std::size_t(6));
        QVERIFY(*greys.begin() >= 0x90 && *greys.rbegin() < 0xFF);  // black letters read on each
        for (auto [x, grey] : {std::pair{7, 0xFF}, {0, 0}, {48, 0x50}, {51, 0x50}, {53, 0xFF}, {54, 0}})
            QCOMPARE(level(x, 4), grey);
    }
};

QTEST_MAIN(TestRender)
#include "test_render.moc"
