// test_platform.cpp — the platform layer on Qt's offscreen platform with a
// 1024 x 768 screen: windows, pixel-exact drawing, images, text input and
// the message box.
#include "model/layout.h"
#include "model/planets.h"
#include "model/state.h"
#include "platform/backend.h"
#include "platform/platform.h"
#include "support.h"

#include <QBackingStore>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWindow>
#include <QRandomGenerator>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using namespace test_support;

namespace {

constexpr uint32_t Black = 0x000000, White = 0xFFFFFF, Azure = 0xFF8000, Magenta = 0xFF00FF, Yellow = 0x00FFFF,
                   Red = 0x0000FF;

int closedWindow = -1;
void RecordClose(int n) { closedWindow = n; }

int chosenItem = -1;
void RecordMenu(int32_t& item) { chosenItem = item; }
int chosenCommand = -1;
void RecordCommand(int item) { chosenCommand = item; }

// A view-sized window with an azure background, cleared and selected.
void OpenView(int n = 2) {
    SetWindowBackground(n, Azure);
    OpenWindow(n, 16, 65, 492, 691);
    SelectWindow(n);
    ClearWindow(n);
}

// HOME set to these bytes (null: unset) and no XDG_CONFIG_HOME while it lives.
struct HomeAt {
    explicit HomeAt(const QByteArray& home) {
        qunsetenv("XDG_CONFIG_HOME");
        home.isNull() ? qunsetenv("HOME") : qputenv("HOME", home);
    }
    ~HomeAt() { had ? qputenv("HOME", before) : qunsetenv("HOME"); }
    const bool had = qEnvironmentVariableIsSet("HOME");
    const QByteArray before = qgetenv("HOME");
};

}  // namespace

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void init() {
        int argc = 1;
        char name[] = "test_platform";
        char* argv[] = {name, nullptr};
        QVERIFY(PlatformStart(argc, argv));
        SetForeground(Black);
        SetBackground(White);
        SetFillPattern(0);
        SetLineWidth(1);
        SetLineStyle(1);
    }
    void cleanup() { PlatformEnd(); }

    void screenSize() {
        QCOMPARE(ScreenWidthPixels(), 1024);
        QCOMPARE(ScreenHeightPixels(), 768);
    }

    // The program lays itself out on the largest 4:3 rectangle of the
    // available area, centred, in device pixels; the layout's formulas fed
    // with it give round discs and orbits. CMake runs this on screens of
    // several shapes and pixel ratios.
    void screensOfEveryShape() {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QSize native = screen->size() * screen->devicePixelRatio();
        struct Case {
            QSize native;
            double ratio;
            QRect rect;  // the screen rectangle, from the area's corner
        };
        const Case cases[] = {
            {{1024, 768}, 1, {0, 0, 1024, 768}},    {{1366, 768}, 1, {171, 0, 1024, 768}},
            {{1920, 1080}, 1, {240, 0, 1440, 1080}}, {{768, 1024}, 1, {0, 224, 768, 576}},
            {{390, 844}, 1, {0, 276, 390, 292}},     {{2048, 1536}, 2, {0, 0, 2048, 1536}},
            {{1280, 960}, 1.25, {0, 0, 1280, 960}},
        };
        const Case* c = std::find_if(std::begin(cases), std::end(cases),
                                     [&](const Case& c) { return c.native == native; });
        if (c == std::end(cases)) QSKIP("no figures for this screen");
        QCOMPARE(PixelRatio(), c->ratio);
        QCOMPARE(QRect(0, ScreenTop(), ScreenWidthPixels(), ScreenHeightPixels()), QRect(0, c->rect.y(), c->rect.width(), c->rect.height()));
        // The layout on it: discs round within a pixel, orbits as round as
        // the formulas make them (their flattening, 0.82, is 1.6 % short of
        // the grid's 1 / 1.2, and truncation adds up to 0.7 %), both views
        // side by side inside the rectangle.
        Planets.FlattenFactor = 0.82;
        SetScreenSize(ScreenWidthPixels(), ScreenHeightPixels());
        LayOutModel();
        QVERIFY(std::abs(Layout.DiscRadiusX - Layout.DiscRadiusY) <= 1);
        for (int k = Earth; k <= Jupiter; ++k)
            QVERIFY2(std::abs(Planets.RadiusY[k] - Planets.RadiusX[k]) <= 0.025 * Planets.RadiusX[k] + 1,
                     qPrintable(QString::number(k)));
        QVERIFY(Layout.HelioWinLeft >= 0 && Layout.GeoWinLeft + Layout.ViewWinWidth <= ScreenWidthPixels());
        // Placed where the layout says, in device pixels, window 2 shows what
        // it holds pixel for pixel (theScreenShowsTheRetainedPixels, on the
        // same screens, checks that as it changes).
        OpenWindowDefault(0);
        OpenView(2);
        OpenWindow(2, static_cast<int>(Layout.HelioWinLeft), ViewWinTop(Layout.HelioWinTopBase),
                   Layout.ViewWinWidthInt, static_cast<int>(Layout.ViewWinHeight));
        const int slack = c->ratio == 1 ? 0 : 1;  // logical places and sizes are whole
        QTRY_VERIFY(std::abs(WindowLeft(2) - static_cast<int>(Layout.HelioWinLeft)) <= slack);
        QVERIFY(std::abs(WindowTop(2) - ViewWinTop(Layout.HelioWinTopBase)) <= slack);
        QVERIFY(std::abs(WindowWidth(2) - Layout.ViewWinWidthInt) <= slack);
        // Window 0's pixel (0, 0) stands at the rectangle's corner.
        SelectWindow(0);
        ClearWindow(0);
        SetForeground(Red);
        PlotPoint(0, 0);
        const QImage* main = platform_internal::RetainedImage(0);
        QCOMPARE(main->pixel(c->rect.x(), c->rect.y()), qRgb(255, 0, 0));
    }

    void windowsStandWhereTheyAreOpened() {
        OpenWindowDefault(0);
        OpenView(2);
        SetWindowBackground(3, Azure);
        OpenWindow(3, 515, 65, 492, 691);
        QTRY_COMPARE(WindowLeft(2), 16);
        QCOMPARE(WindowTop(2), 65);
        QCOMPARE(WindowWidth(2), 492);
        QCOMPARE(WindowHeight(2), 691);
        QCOMPARE(WindowLeft(3), 515);
        QVERIFY(IsWindowOpen(3));
        // Window 0 opens maximised; the views belong to it.
        QTRY_VERIFY(platform_internal::TopWidget(0)->isMaximized());
        QCOMPARE(platform_internal::TopWidget(2)->parentWidget(), platform_internal::TopWidget(0));
        QVERIFY(platform_internal::TopWidget(2)->isWindow());
        // Opening an open window places it anew and keeps its background.
        OpenWindow(2, 30, 70, 300, 200);
        QTRY_COMPARE(WindowLeft(2), 30);
        QCOMPARE(WindowBackground(2), Azure);
        CloseWindow(3);
        QVERIFY(!IsWindowOpen(3));
    }

    // Window 0 is on the screen, filling the available area, once opening it
    // returns; windows are placed from that area's corner. test_platform_corner
    // runs this on a screen whose corner stands at 100,50, as a second
    // monitor's may (or one with panels at the top and the left).
    void windowsCountFromTheAvailableAreasCorner() {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(QSize(ScreenWidthPixels(), ScreenHeightPixels()), area.size());
        OpenWindowDefault(0);
        QVERIFY(platform_internal::TopWidget(0)->windowHandle()->isExposed());
        const QWidget* canvas = platform_internal::CanvasOf(0);
        QCOMPARE(QRect(canvas->mapToGlobal(QPoint(0, 0)), canvas->size()), area);
        QCOMPARE(WindowTop(0), 0);
        if (area.topLeft().isNull()) QSKIP("the screen's corner is at 0,0 (see test_platform_corner)");
        OpenView(2);
        QTRY_COMPARE(platform_internal::CanvasOf(2)->mapToGlobal(QPoint(0, 0)), area.topLeft() + QPoint(16, 65));
        QCOMPARE(WindowLeft(2), 16);
        QCOMPARE(WindowTop(2), 65);
    }

    void captionBeforeTheWindowExists() {
        SetWindowCaption(1, "Eingabe des Zeitschritts");
        OpenWindow(1, 10, 57, 495, 115);
        QCOMPARE(platform_internal::TopWidget(1)->windowTitle(), QString("Eingabe des Zeitschritts"));
    }

    void clearingPaintsTheWindowBackground() {
        OpenView(2);
        // The drawing background is another setting: clearing never reads it.
        SetBackground(White);
        SetForeground(Red);
        FillBox(0, 0, 100, 100);
        ClearWindow(2);
        QCOMPARE(CountColour(2, QRect(0, 0, 492, 691), Azure), 492 * 691);
        QCOMPARE(Background(), White);
    }

    void captureThenPutRestoresExactly() {
        OpenView(2);
        // Something with many colours: lines, an ellipse, text.
        SetForeground(Red);
        DrawLine(0, 0, 300, 200);
        SetForeground(Yellow);
        FillEllipse(100, 100, 30, 20);
        SetForeground(Black);
        SetBackground(White);
        SetFontSize(14);
        DrawText(80, 95, "MA");
        QImage before = platform_internal::RetainedImage(2)->copy();
        Image saved;
        CaptureImage(60, 70, 140.4, 130.4, saved);  // both corners included
        QCOMPARE(saved.Width, 81);
        QCOMPARE(saved.Height, 61);
        SetForeground(Magenta);
        FillBox(0, 0, 400, 400);
        PutImage(60, 70, saved);
        QImage after = *platform_internal::RetainedImage(2);
        QCOMPARE(after.copy(60, 70, 81, 61), before.copy(60, 70, 81, 61));
        QCOMPARE(ImagePixel(saved, 40, 30), WindowPixel(2, 100, 100));
    }

    void samePointSamePixels() {
        // A real coordinate lies on the pixel that contains it, for capture
        // and put alike.
        OpenView(2);
        SetForeground(Red);
        FillBox(50.99, 50.5, 60, 60);  // pixels 50 .. 60
        QCOMPARE(Pixel(2, 50, 50), Red);
        QCOMPARE(Pixel(2, 51, 49), Azure);
        Image a;
        CaptureImage(50.99, 50.0, 61.99, 61.5, a);  // pixels 50 .. 61
        QCOMPARE(a.Width, 12);
        QCOMPARE(ImagePixel(a, 0, 0), Red);
        QCOMPARE(ImagePixel(a, 11, 11), Azure);
        ClearWindow(2);
        PutImage(50.7, 50.2, a);
        QCOMPARE(Pixel(2, 50, 50), Red);
        QCOMPARE(Pixel(2, 49, 50), Azure);
        QCOMPARE(Pixel(2, 50, 49), Azure);
    }

    void emptyImageChangesNothing() {
        OpenView(2);
        SetForeground(Red);
        FillBox(10, 10, 20, 20);
        QImage before = platform_internal::RetainedImage(2)->copy();
        Image empty;
        QVERIFY(IsEmptyImage(empty));
        PutImage(5, 5, empty);
        Image emptied;
        CaptureImage(0, 0, 30, 30, emptied);
        EmptyImage(emptied);
        PutImage(0, 0, emptied);
        QCOMPARE(*platform_internal::RetainedImage(2), before);
    }

    void captureReusesItsBuffer() {
        OpenView(2);
        Image img;
        CaptureImage(0, 0, 40, 40, img);
        const uint32_t* buffer = img.Pixels.data();
        for (int n = 0; n < 100; ++n) CaptureImage(n, n, n + 40, n + 40, img);
        QCOMPARE(img.Pixels.data(), buffer);
        EmptyImage(img);
        CaptureImage(0, 0, 40, 40, img);
        QCOMPARE(img.Pixels.data(), buffer);
    }

    void captureBeyondTheWindowReadsBackground() {
        OpenView(2);
        SetForeground(Red);
        FillBox(480, 0, 491, 10);
        Image img;
        CaptureImage(480, -5, 500, 10, img);
        QCOMPARE(ImagePixel(img, 0, 5), Red);      // inside: what is there
        QCOMPARE(ImagePixel(img, 15, 5), Azure);   // right of the window
        QCOMPARE(ImagePixel(img, 0, 0), Azure);    // above it
        // Putting it back beyond the edge is clipped, not a crash.
        PutImage(480, -5, img);
        PutImage(-1000, 5000, img);
        QCOMPARE(Pixel(2, 480, 0), Red);
    }

    void linesArePixelExact() {
        OpenView(2);
        SetForeground(White);
        SetLineWidth(1);
        DrawLine(10, 10, 20, 10);
        QCOMPARE(Pixel(2, 9, 10), Azure);
        for (int x = 10; x <= 20; ++x) QCOMPARE(Pixel(2, x, 10), White);
        QCOMPARE(Pixel(2, 21, 10), Azure);
        QCOMPARE(Pixel(2, 15, 9), Azure);
        QCOMPARE(Pixel(2, 15, 11), Azure);
        // Only the two colours: nothing blended at the ends.
        QCOMPARE(CountColour(2, QRect(0, 0, 40, 20), White) + CountColour(2, QRect(0, 0, 40, 20), Azure), 40 * 20);
        // A wide line covers the thin one completely, ends included.
        PlotPoint(50, 50);
        LineTo(80, 70);
        SetForeground(Azure);
        SetLineWidth(3);
        PlotPoint(50, 50);
        LineTo(80, 70);
        QCOMPARE(CountColour(2, QRect(40, 40, 50, 40), White), 0);
    }

    void wideLinesCoverThinOnes() {
        // Erasing a line by drawing it again three pixels wide in the
        // background leaves nothing of it: in every direction, and where the
        // line runs out of the window.
        OpenView(2);
        QRandomGenerator random(20261208);
        auto between = [&](double low, double high) { return low + random.generateDouble() * (high - low); };
        for (int n = 0; n < 300; ++n) {
            const double ax = between(-300, 800), ay = between(-300, 1000);
            const double bx = between(-300, 800), by = between(-300, 1000);
            SetForeground(White);
            SetLineWidth(1);
            PlotPoint(ax, ay);
            LineTo(bx, by);
            SetForeground(Azure);
            SetLineWidth(3);
            PlotPoint(ax, ay);
            LineTo(bx, by);
            QVERIFY2(CountColour(2, QRect(0, 0, 492, 691), White) == 0,
                     qPrintable(QString("%1,%2 to %3,%4").arg(ax).arg(ay).arg(bx).arg(by)));
        }
        // A thin line is one pixel per step along its longer axis, ends included.
        SetForeground(White);
        SetLineWidth(1);
        DrawLine(100, 100, 140, 110);
        QCOMPARE(CountColour(2, QRect(90, 90, 60, 30), White), 41);
        QCOMPARE(Pixel(2, 100, 100), White);
        QCOMPARE(Pixel(2, 140, 110), White);
        // Far-off points are harmless.
        DrawLine(-1e12, 5, 1e12, 5);
        DrawLine(std::nan(""), 0, 10, 10);
        QCOMPARE(Pixel(2, 200, 5), White);
    }

    void ellipsesCoverTheirHalfAxes() {
        OpenView(2);
        SetForeground(Yellow);
        FillEllipse(100, 100, 10, 6);
        QCOMPARE(Pixel(2, 90, 100), Yellow);
        QCOMPARE(Pixel(2, 110, 100), Yellow);
        QCOMPARE(Pixel(2, 89, 100), Azure);
        QCOMPARE(Pixel(2, 111, 100), Azure);
        QCOMPARE(Pixel(2, 100, 94), Yellow);
        QCOMPARE(Pixel(2, 100, 106), Yellow);
        QCOMPARE(Pixel(2, 100, 93), Azure);
        QCOMPARE(Pixel(2, 100, 107), Azure);
        // The outline runs on the same boundary.
        SetForeground(Black);
        DrawEllipse(100, 100, 10, 6);
        QCOMPARE(Pixel(2, 90, 100), Black);
        QCOMPARE(Pixel(2, 110, 100), Black);
        QCOMPARE(Pixel(2, 100, 94), Black);
        QCOMPARE(Pixel(2, 100, 106), Black);
        QCOMPARE(Pixel(2, 100, 100), Yellow);
        QCOMPARE(Pixel(2, 111, 100), Azure);
    }

    void textIsOpaque() {
        OpenView(2);
        SetFontFace("courier");
        SetFontBold(true);
        SetFontSize(13);
        SetForeground(Black);
        SetBackground(Yellow);
        DrawText(50, 50, "SO");
        int w = TextWidth("SO"), h = TextHeight();
        QVERIFY(w > 0 && h > 0);
        QRect cell(50, 50, w, h);
        int yellow = CountColour(2, cell, Yellow), black = CountColour(2, cell, Black);
        QCOMPARE(yellow + black, w * h);  // no antialiasing, no azure in the cell
        QVERIFY(black > 0);
        QVERIFY(yellow > black);
        QCOMPARE(Pixel(2, 49, 50), Azure);
    }

    void paletteNumbersBelow16() {
        OpenView(2);
        SetForeground(15);
        FillBox(0, 0, 5, 5);
        QCOMPARE(Pixel(2, 2, 2), White);
        SetForeground(3);
        FillBox(0, 0, 5, 5);
        QCOMPARE(Pixel(2, 2, 2), uint32_t(0xAAAA00));  // cyan: R 0, G AA, B AA
        SetForeground(1);
        FillBox(0, 0, 5, 5);
        QCOMPARE(Pixel(2, 2, 2), uint32_t(0xAA0000));  // blue
        // The state keeps the number as it was given.
        QCOMPARE(Foreground(), uint32_t(1));
        // 16 and above are colour values.
        SetForeground(16);
        FillBox(0, 0, 5, 5);
        QCOMPARE(Pixel(2, 2, 2), uint32_t(16));
    }

    void patternFillsStrokesAndGaps() {
        OpenView(2);
        SetForeground(Black);
        SetBackground(Magenta);
        SetFillPattern(8);
        FillBox(10, 10, 49, 49);
        QRect r(10, 10, 40, 40);
        int black = CountColour(2, r, Black), magenta = CountColour(2, r, Magenta);
        QCOMPARE(black + magenta, 40 * 40);
        QVERIFY(black > 0 && magenta > 0);
        SetFillPattern(0);
        FillBox(10, 10, 49, 49);
        QCOMPARE(CountColour(2, r, Black), 40 * 40);
    }

    // After every repaint the screen shows exactly the retained pixels: a few
    // scattered changes a frame (repainted rectangle by rectangle), very many
    // (repainted as tiles), and in each frame a disc put three pixels on, so
    // that its old and new boxes overlap as in the animation.
    void theScreenShowsTheRetainedPixels_data() {
        QTest::addColumn<int>("window");
        QTest::addColumn<int>("changesPerFrame");
        QTest::newRow("view, few changes") << 2 << 6;
        QTest::newRow("view, many changes") << 2 << 200;
        QTest::newRow("main window, below its menu bar") << 0 << 6;
    }
    void theScreenShowsTheRetainedPixels() {
        QFETCH(int, window);
        QFETCH(int, changesPerFrame);
        if (window == 0) {
            OpenWindowDefault(0);
            InstallMenuBar({"Datei", "&Ende", "", ""}, RecordMenu);
            // Qt shows a new menu bar once events have gone round.
            QTRY_VERIFY(platform_internal::MenuBarWidget()->isVisible());
            SelectWindow(0);
            ClearWindow(0);
        } else {
            OpenView(window);
        }
        QWidget* top = platform_internal::TopWidget(window);
        QVERIFY(QTest::qWaitForWindowExposed(top));
        // On a sharp screen the grab has the device's pixels, as the window.
        const QPoint origin = platform_internal::CanvasOf(window)->mapTo(top, QPoint(0, 0)) * PixelRatio();
        const int width = WindowWidth(window), height = WindowHeight(window);
        SetForeground(Yellow);
        FillEllipse(30, 30, 19, 19);
        Image disc;
        CaptureImage(11, 11, 49, 49, disc);
        QRandomGenerator random(42);
        for (int frame = 0; frame < 12; ++frame) {
            for (int k = 0; k < changesPerFrame; ++k) {
                SetForeground(random.bounded(16));
                const double x = random.bounded(width), y = random.bounded(height);
                if (k % 2 == 0)
                    FillBox(x, y, x + random.bounded(50), y + random.bounded(50));
                else
                    DrawLine(x, y, x + random.bounded(-80, 80), y + random.bounded(-80, 80));
            }
            PutImage(100 + 3 * frame, 200 + 2 * frame, disc);
            WaitEventsUntil(SteadyNanoseconds() + 1'000'000);
            // What the window system shows: the window's backing store, in
            // device pixels (the offscreen screen's grab has logical ones).
            QImage shown = *dynamic_cast<QImage*>(top->backingStore()->paintDevice());
            shown.setDevicePixelRatio(1);
            QCOMPARE(shown.convertToFormat(QImage::Format_RGB32).copy(origin.x(), origin.y(), width, height),
                     platform_internal::RetainedImage(window)->copy(0, 0, width, height));
        }
    }

    void keysAndClicksAreCollected() {
        OpenWindowDefault(0);
        QVERIFY(!KeyPressed());
        KeyInto(0, Qt::Key_A);
        KeyInto(0, Qt::Key_Return);
        QVERIFY(KeyPressed());
        QVERIFY(KeyPressed());
        QVERIFY(!KeyPressed());
        // A whole click between two polls is not missed.
        QVERIFY(!MouseClicked());
        QTest::mouseClick(platform_internal::CanvasOf(0), Qt::LeftButton);
        QCOMPARE(MouseButtons(), 0);
        QVERIFY(MouseClicked());
        QVERIFY(!MouseClicked());
    }

    void readLineWithEcho() {
        OpenWindowDefault(0);
        SetWindowBackground(1, Magenta);
        OpenWindow(1, 10, 57, 495, 115);
        SelectWindow(1);
        ClearWindow(1);
        SetForeground(Black);
        SetBackground(White);
        TextCursorTo(1, 4);
        Soon([] {
            TypeInto(1, "12,57");
            KeyInto(1, Qt::Key_Backspace);
            KeyInto(1, Qt::Key_Return);
        });
        std::string line;
        QVERIFY(ReadLine(line));
        QCOMPARE(QString::fromStdString(line), QString("12,5"));
        // The echo stands at the cursor: white cells, black letters, in window 1.
        QVERIFY(CountColour(1, QRect(0, 32, 200, TextHeight()), White) > 0);
        QVERIFY(CountColour(1, QRect(0, 32, 200, TextHeight()), Black) > 0);
    }

    // What is read is what the echo shows: keys that show nothing are not taken,
    // one that does not fit (ten cells, or maxBytes) is refused with a dark red
    // cursor. Window 1 has the focus meanwhile, so keys and a window manager's
    // close (Alt+F4) go to it; afterwards window 0 has it again.
    void readLineKeepsTheEchoInsideTheWindow_data() {
        QTest::addColumn<QString>("keys");  // \x1b Escape, \t Tab, \b Backspace; \n: then closed
        QTest::addColumn<int>("maxBytes");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("refused");
        QTest::newRow("Escape and Tab before 2") << "\x1b\t2" << 64 << "2" << false;
        QTest::newRow("ten cells fit") << "0123456789" << 64 << "0123456789" << false;
        QTest::newRow("seventy spaces, then 2") << QString(70, ' ') + "2" << 64 << QString(10, ' ') << true;
        QTest::newRow("Backspace after a refusal") << QString(70, ' ') + "\b2" << 64 << QString(9, ' ') + "2" << false;
        QTest::newRow("an umlaut past maxBytes") << "1\u00e4" << 2 << "1" << true;
        QTest::newRow("closed by the window manager") << "2\n" << 64 << "<closed>" << false;
    }

    void readLineKeepsTheEchoInsideTheWindow() {
        QFETCH(QString, keys);
        QFETCH(int, maxBytes);
        OpenWindowDefault(0);
        SetWindowBackground(1, Magenta);
        OpenWindow(1, 10, 57, 10 * TextWidth("0") + 1, 40);  // and a pixel for the cursor
        SelectWindow(1);
        ClearWindow(1);
        TextCursorTo(0, 1);
        platform_internal::TopWidget(0)->activateWindow();  // where a window manager leaves the focus
        QWindow* active = nullptr;
        Image shown;
        Soon([&] {
            Soon([&] {  // once the window system has moved the focus
                active = QGuiApplication::focusWindow();
                for (QChar c : keys) {
                    const Qt::Key key = c == '\x1b' ? Qt::Key_Escape : c == '\t' ? Qt::Key_Tab
                                        : c == '\b' ? Qt::Key_Backspace : Qt::Key_unknown;
                    QTest::sendKeyEvent(QTest::Click, active, key, c, {});
                }
                Soon([&] {
                    CaptureShownWindow(1, shown);
                    if (keys.endsWith('\n')) active->close();
                    QTest::keyClick(active, Qt::Key_Return);
                });
            });
        });
        std::string line;
        QTEST(ReadLine(line, maxBytes) ? QString::fromStdString(line) : "<closed>", "line");
        QTEST(std::ranges::count(shown.Pixels, core::ToPixel(core::RefusedCursorColour)) > 0, "refused");
        QCOMPARE(active, platform_internal::TopWidget(1)->windowHandle());
        ProcessEvents();
        QVERIFY(IsWindowOpen(0) && QGuiApplication::focusWindow() == platform_internal::TopWidget(0)->windowHandle());
        // The window's pixels are its own size: nothing was drawn beyond them.
        QCOMPARE(platform_internal::RetainedImage(1)->width(), 10 * TextWidth("0") + 1);
    }

    void readLineEndsWhenItsWindowIsClosed() {
        OpenWindowDefault(0);
        OpenWindow(1, 10, 57, 300, 100);
        SelectWindow(1);
        Soon([] {
            TypeInto(1, "3");
            platform_internal::TopWidget(1)->close();
        });
        std::string line = "x";
        QVERIFY(!ReadLine(line));
        QVERIFY(line.empty());
        QVERIFY(!IsWindowOpen(1));
    }

    void readLineIgnoresTheMenuBar() {
        // While a line is read no menu command can start.
        OpenWindowDefault(0);
        InstallMenuBar({"DESK |", "&Quit", "", ""}, RecordMenu);
        OpenWindow(1, 10, 57, 300, 100);
        SelectWindow(1);
        bool barEnabledMeanwhile = true;
        Soon([&] {
            barEnabledMeanwhile = platform_internal::MenuBarWidget()->isEnabled();
            KeyInto(1, Qt::Key_Return);
        });
        std::string line;
        QVERIFY(ReadLine(line));
        QVERIFY(!barEnabledMeanwhile);
        QVERIFY(platform_internal::MenuBarWidget()->isEnabled());
    }

    void menuBarReportsTheIndex() {
        OpenWindowDefault(0);
        InstallMenuBar({"DESK |", "&Quit", "-------------", "", "SYSTEM |", "&Heliozentrisch", "&Beide", "", ""},
                       RecordMenu);
        QMenuBar* bar = platform_internal::MenuBarWidget();
        QCOMPARE(bar->actions().size(), 2);
        QCOMPARE(bar->actions()[0]->text(), QString("DESK |"));
        QMenu* system = bar->actions()[1]->menu();
        QCOMPARE(system->actions().size(), 2);
        QCOMPARE(system->actions()[1]->text(), QString("&Beide"));
        chosenItem = -1;
        system->actions()[1]->trigger();
        QCOMPARE(chosenItem, 6);
        bar->actions()[0]->menu()->actions()[0]->trigger();
        QCOMPARE(chosenItem, 1);
    }

    // Menus of commands come after the bar's own (a second call replaces
    // them); a choice, by menu or key, is the item's position through all of
    // them; with the bar disabled (a line is read) the keys choose nothing.
    void commandMenusCountThroughAllMenus_data() {
        QTest::addColumn<int>("menu");  // the menu and item chosen, or -1 and the key pressed
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("position");
        QTest::newRow("second menu, first item") << 1 << 0 << 2;
        QTest::newRow("PageDown") << -1 << int(Qt::Key_PageDown) << 3;
        QTest::newRow("H") << -1 << int(Qt::Key_H) << 5;
        QTest::newRow("Space, the first menu") << -1 << int(Qt::Key_Space) << 0;
    }
    void commandMenusCountThroughAllMenus() {
        QFETCH(int, menu);
        QFETCH(int, item);
        OpenWindowDefault(0);
        InstallMenuBar({"DESK |", "&Quit", "", ""}, RecordMenu);
        InstallCommandMenus({{"ALT |", {{"&Alt", {KeyName::Space}, "Leertaste", -1, ""}}}}, RecordCommand);
        InstallCommandMenus({{"EXTRAS |",
                              {{"&Anhalten", {KeyName::Space}, "Leertaste", 1, "||"}, {"&Vor", {KeyName::Right}, "\u2192", -1, ""}}},
                             {"EREIGNISSE |",
                              {{"&Vorheriges", {KeyName::PageUp}, "Bild\u2191", 3, "|<"},
                               {"&Nächstes", {KeyName::PageDown}, "Bild\u2193", 4, ">|"},
                               {"&Liste", {}, "", -1, ""},
                               {"&Heliozentrisch", {KeyName::Letter, 'H'}, "H", -1, ""}}}},
                            RecordCommand);
        const QList<QAction*> titles = platform_internal::MenuBarWidget()->actions();
        const QList<QAction*> second = titles.last()->menu()->actions();
        QVERIFY(titles.size() == 3 && second[1]->text() == "&Nächstes\tBild\u2193" && second[2]->text() == "&Liste");
        chosenCommand = -1;
        if (menu >= 0)
            titles[1 + menu]->menu()->actions()[item]->trigger();
        else
            KeyInto(0, Qt::Key(item));
        QTEST(chosenCommand, "position");
        backend::SetMenuBarEnabled(false);
        chosenCommand = -1;
        if (menu < 0) KeyInto(0, Qt::Key(item));
        QVERIFY(chosenCommand == -1 && !second[0]->isEnabled());
    }

    // However narrow window 0 is, every menu title stays in reach: the titles
    // go on in a further row, and the status line gives way (shortened, on
    // a row of its own, wrapped there) rather than push a title aside.
    void menusStayInReach_data() {
        QTest::addColumn<int>("width");
        for (int width : {1024, 800, 640, 480, 390, 320, 160})
            QTest::newRow(qPrintable(QString::number(width))) << width;
    }
    void menusStayInReach() {
        QFETCH(int, width);
        OpenWindowDefault(0);
        QWidget* main = platform_internal::TopWidget(0);
        main->showNormal();
        main->resize(width, 600);
        InstallMenuBar({"DESK |", "&Quit", "", "SYSTEM |", "&Beide", "", "DARSTELLUNG |", "nur &Bahnen", "",
                        "PLANETEN |", "&Jupiter aus/ein", "", "SERVICE |", "&Test", "", ""},
                       RecordMenu);
        InstallCommandMenus({{"EXTRAS |", {{"&Anhalten / Weiter", {KeyName::Space}, "Leertaste", 1, "||"}}}}, nullptr);
        const std::string full = "Tag 8.888.888,888   Zeitschritt 8,88888 d   angehalten";
        const std::string shortened = "Tag 8.888.888,888   angehalten";
        SetStatusRoom(full, shortened);
        SetStatusText(full, shortened);
        QTRY_COMPARE(main->width(), width);
        const auto& q = platform_internal::Q();
        int titles = 0, rightmost = 0;
        for (QMenuBar* row : q.rows) {
            if (!row->isVisible()) continue;
            for (QAction* title : row->actions()) {
                const QRect r = row->actionGeometry(title);
                QVERIFY2(row->rect().contains(r), qPrintable(title->text()));
                if (row == q.menuBar) rightmost = std::max(rightmost, r.right());
                ++titles;
            }
        }
        QCOMPARE(titles, 6);
        // The status line never lies over a title, shows its text whole
        // (wrapped on its own row where it must be), 9 pixels at least.
        QLabel* onBar = q.status;
        QLabel* onRow = q.statusRow;
        QVERIFY(onBar->isVisible() != onRow->isVisible());
        for (QLabel* label : {onBar, onRow})
            if (label->isVisible()) {
                QVERIFY(label->contentsRect().contains(
                    label->fontMetrics().boundingRect(label->contentsRect(), Qt::TextWordWrap, label->text())));
                QVERIFY(label->mapTo(main, QPoint(label->width(), 0)).x() <= width);
                QVERIFY(QFontInfo(label->font()).pixelSize() >= 9);
            }
        if (onBar->isVisible()) QVERIFY(onBar->mapTo(main, QPoint(0, 0)).x() > rightmost);
        if (width >= 1024) QVERIFY(onBar->isVisible() && onBar->text().contains("Zeitschritt"));
        // The canvas starts below every row.
        QCOMPARE(MenuBarBottom(), platform_internal::CanvasOf(0)->mapTo(main, QPoint(0, 0)).y());
    }

    void closeBoxes() {
        SetCloseHandler(RecordClose);
        OpenWindowDefault(0);
        OpenView(2);
        // Window 0 stays; the program decides.
        closedWindow = -1;
        platform_internal::TopWidget(0)->close();
        QCOMPARE(closedWindow, 0);
        QVERIFY(IsWindowOpen(0));
        QVERIFY(platform_internal::TopWidget(0)->isVisible());
        // A view goes, and drawing into it afterwards is harmless.
        platform_internal::TopWidget(2)->close();
        QCOMPARE(closedWindow, 2);
        QVERIFY(!IsWindowOpen(2));
        SelectWindow(2);
        SetForeground(Red);
        DrawLine(0, 0, 100, 100);
        Image img;
        CaptureImage(0, 0, 10, 10, img);
        PutImage(5, 5, img);
        ProcessEvents();
        SetCloseHandler(nullptr);
    }

    void drawingIntoAWindowThatNeverOpened() {
        SelectWindow(5);
        DrawLine(0, 0, 10, 10);
        FillEllipse(5, 5, 3, 3);
        DrawText(0, 0, "x");
        Image img;
        CaptureImage(0, 0, 10, 10, img);
        QVERIFY(IsEmptyImage(img));
        PutImage(0, 0, img);
        SelectWindow(99);  // out of range: ignored
        QCOMPARE(SelectedWindow(), 5);
    }

    void messageBoxIsAnsweredByTheTest() {
        OpenWindowDefault(0);
        QString text;
        AnswerNextBox(&text);
        MessageBox("Beenden nur mit QUIT ! | | Nicht mit Schließfeld !");
        QCOMPARE(text, QString("Beenden nur mit QUIT ! \n \n Nicht mit Schließfeld !"));
    }

    // A box with more lines than the screen has room for scrolls, inside the
    // available area (a short one stays the plain box, which AnswerNextBox answers).
    void aLongBoxScrolls() {
        const int lines = 100;
        OpenWindowDefault(0);
        std::vector<std::string> shown(lines, "Tag 806,15  Mars  Opposition");
        shown.back() = "Tag 1171,15  Jupiter  Konjunktion";
        bool plain = true, scrolls = false, whole = false, inside = false;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (box == nullptr || !box->isVisible()) return;
            answer.stop();
            plain = qobject_cast<QMessageBox*>(box) != nullptr;
            const QScrollArea* scroll = box->findChild<QScrollArea*>();
            scrolls = scroll != nullptr && scroll->verticalScrollBar()->maximum() > 0;
            for (const QLabel* label : box->findChildren<QLabel*>())
                whole |= label->text().count('\n') == lines - 1 && label->text().endsWith("Konjunktion");
            inside = QGuiApplication::primaryScreen()->availableGeometry().contains(box->frameGeometry());
            box->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        answer.start(5);
        MessageBoxLines(shown);
        QVERIFY(!plain && scrolls && whole && inside);
    }

    // A text file is saved as the picture is, beside it, byte for byte, never
    // over another file.
    void aTextFileIsSavedBesideThePictures() {
        QTemporaryDir home;
        QFile dirs(home.filePath("user-dirs.dirs"));
        QVERIFY(dirs.open(QIODevice::WriteOnly) && dirs.write("XDG_PICTURES_DIR=\"" + home.filePath("B").toUtf8() + "\"\n"));
        dirs.close();
        qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
        for (const char* name : {"e.csv", "e-2.csv"}) {
            const std::string text = std::string("Tag;Ereignis\n806,15;Mars in Opposition für ") + name;
            std::string where;
            QCOMPARE(SaveTextFile(text, "e.csv", "text/csv", where), SavedAs::File);
            QFile file(QString::fromStdString(where));
            QVERIFY(where == home.filePath("B/").toStdString() + name && file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll().toStdString(), text);
        }
        qunsetenv("XDG_CONFIG_HOME");
    }

    // Another program that takes the name at the last moment keeps its file,
    // on every file system: this one goes to the next free name, and leaves
    // nothing else behind.
    void aNameTakenAtTheLastMomentIsKept_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("a rename that replaces nothing") << 0;
        QTest::newRow("a link, as on NFS") << 1;
        QTest::newRow("the name taken first, as on FAT") << 2;
    }
    void aNameTakenAtTheLastMomentIsKept() {
        QTemporaryDir home;
        const HomeAt at(home.path().toUtf8());
        QFETCH(int, way);
        platform_internal::Q().placeFrom = way;
        QStringList others;
        platform_internal::Q().beforePlacing = [&](const QString& path) {
            QFile other(path);
            if (others.size() < 2 && other.open(QIODevice::NewOnly) && other.write("other") == 5) others << path;
        };
        std::string where;
        const SavedAs saved = SaveTextFile("mine", "e.csv", "text/csv", where);
        platform_internal::Q().beforePlacing = nullptr, platform_internal::Q().placeFrom = 0;
        const QDir pictures(home.filePath("Pictures"));
        QVERIFY(saved == SavedAs::File && where == pictures.filePath("e-3.csv").toStdString());
        QCOMPARE(others, QStringList({pictures.filePath("e.csv"), pictures.filePath("e-2.csv")}));
        for (const QString& name : pictures.entryList(QDir::Files | QDir::Hidden)) {
            QFile file(pictures.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == (name == "e-3.csv" ? "mine" : "other"));
        }
        QCOMPARE(pictures.entryList(QDir::Files | QDir::Hidden).size(), 3);
    }

    // The home folder's bytes as they are, whatever they are, and the box's
    // path as the system's locale (the test's UTF-8 one, or Latin-1) reads
    // them; no home at all saves nothing; why not is said in German. The home
    // (in a folder of the test's own; null: unset), its user-dirs.dirs, the
    // file's name, and what `where` says: the file's path in that folder, or
    // why it is not saved.
    void oddHomeFolders_data() {
        QTest::addColumn<QByteArray>("homeName");
        QTest::addColumn<QByteArray>("dirs");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("said");
        const QByteArray j = "J\xF6rg", none = "kein persönlicher Ordner (HOME fehlt oder ist kein Ordner)";
        QTest::newRow("a home in Latin-1") << j << QByteArray() << QByteArray("e.csv")
                                           << QByteArray("J\uFFFDrg/Pictures/e.csv");
        QTest::newRow("on a Latin-1 system") << j << QByteArray() << QByteArray("e.csv")
                                             << QByteArray("Jörg/Pictures/e.csv");
        QTest::newRow("its picture folder, on a Latin-1 system")
            << j << QByteArray("XDG_PICTURES_DIR=\"$HOME/B\xE4lder\"\n") << QByteArray("e.csv")
            << QByteArray("Jörg/Bälder/e.csv");
        QTest::newRow("no HOME") << QByteArray() << QByteArray() << QByteArray("e.csv") << none;
        QTest::newRow("an empty HOME") << QByteArray("") << QByteArray() << QByteArray("e.csv") << none;
        QTest::newRow("a HOME that is a file") << QByteArray("f") << QByteArray() << QByteArray("e.csv") << none;
        QTest::newRow("a name too long") << j << QByteArray() << QByteArray(300, 'x') << QByteArray("Dateiname zu lang");
    }
    void oddHomeFolders() {
        QFETCH(QByteArray, homeName);
        QFETCH(QByteArray, dirs);
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, said);
        // A Latin-1 locale of the test's own, as an old German system has.
        static QTemporaryDir locales;
        const bool latin1 = QByteArray(QTest::currentDataTag()).contains("Latin-1 system");
        if (latin1 && !QFile::exists(locales.filePath("de/LC_CTYPE")) &&
            (QProcess::execute("localedef", {"-i", "de_DE", "-f", "ISO-8859-1", locales.filePath("de")}), true) &&
            !QFile::exists(locales.filePath("de/LC_CTYPE")))
            QSKIP("localedef makes no Latin-1 locale here");
        QTemporaryDir top;
        const QByteArray root = top.path().toUtf8() + "/";
        const auto gone = qScopeGuard([&] { std::filesystem::remove_all(root.toStdString()); });  // Qt cannot
        QFile plain(top.filePath("f"));
        QVERIFY(mkdir(root + "J\xF6rg", 0777) == 0 && mkdir(root + "J\xF6rg/.config", 0777) == 0 &&
                plain.open(QIODevice::WriteOnly));
        std::ofstream((root + "J\xF6rg/.config/user-dirs.dirs").toStdString()) << dirs.toStdString();
        const HomeAt at(homeName.isEmpty() ? homeName : root + homeName);
        const bool rootPictures = QFileInfo::exists("/Pictures");
        std::string where;
        const QByteArray locale = qgetenv("LC_ALL");
        if (latin1) qputenv("LOCPATH", locales.path().toUtf8()), qputenv("LC_ALL", "de");
        const SavedAs saved = SaveTextFile("Tag;Ereignis\n", name.toStdString(), "text/csv", where);
        qunsetenv("LOCPATH"), locale.isNull() ? qunsetenv("LC_ALL") : qputenv("LC_ALL", locale);
        const bool file = said.startsWith("J");
        QCOMPARE(QByteArray::fromStdString(where), file ? root + said : said);
        QCOMPARE(saved, file ? SavedAs::File : SavedAs::Failed);
        QCOMPARE(std::distance(std::filesystem::directory_iterator(root.toStdString()), {}), 2);  // no new folder
        QCOMPARE(QFileInfo::exists("/Pictures"), rootPictures);
    }

    void waitingUntilADeadline() {
        int64_t start = SteadyNanoseconds();
        WaitEventsUntil(start + 20'000'000);
        int64_t waited = SteadyNanoseconds() - start;
        QVERIFY2(waited >= 20'000'000, qPrintable(QString::number(waited)));
        // A deadline in the past returns at once, without a word from Qt even
        // when it passes between the platform's look at the clock and the window system's.
        QTest::failOnWarning(QRegularExpression("."));
        start = SteadyNanoseconds();
        WaitEventsUntil(start - 1000);
        backend::AwaitEventsUntil(start - 5'000'000);
        QVERIFY(SteadyNanoseconds() - start < 20'000'000);
    }
};

QTEST_MAIN(TestPlatform)
#include "test_platform.moc"
