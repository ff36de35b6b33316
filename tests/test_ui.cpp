// test_ui.cpp — the title screen, the message boxes, the clearing step and
// the time-step dialog, on an offscreen screen whose size the build chooses
// (the same cases run on a small and on large screens).
#include "app/startup.h"
#include "model/layout.h"
#include "ui/ui.h"
#include "ui_support.h"

#include <QtTest>

#include <cmath>

using namespace test_support;
using namespace ui_test;

namespace {

// The prompt of the key waits on this screen, and its column.
QString WaitPrompt() {
    return ScreenWidthPixels() > 320 ? QStringLiteral("Weiter ?  <RETURN>") : QStringLiteral("Weiter ? ");
}
int WaitColumn() {
    return ScreenWidthPixels() > 320 ? 19 : 2;
}

// Draws what a key wait should show for `line` on a cleared window 0, in the
// given font size and colours.
QImage ExpectedPrompt(int line, double fontSize, uint32_t fg, uint32_t bg) {
    ClearWindow(Win_0);
    SetFontFace("times");
    SetFontSize(fontSize * ScreenWidthPixels() / 800);
    SetForeground(fg);
    SetBackground(bg);
    TextCursorTo(WaitColumn(), static_cast<int>(std::lround(Layout.ScaleYFactor * line)));
    PrintText(WaitPrompt().toStdString());
    return Shot(Win_0);
}

// Does `shot` show what `expected` has wherever that differs from `background`?
bool ShowsTheSame(const QImage& shot, const QImage& expected, uint32_t background) {
    QRgb bg = qRgb(background & 0xFF, (background >> 8) & 0xFF, (background >> 16) & 0xFF);
    int compared = 0;
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x) {
            QRgb e = expected.pixel(x, y);
            if (qRgb(qRed(e), qGreen(e), qBlue(e)) == bg) continue;
            if (shot.pixel(x, y) != e) return false;
            ++compared;
        }
    return compared > 0;
}

// The user in front of the title screen: at each key wait it keeps what
// window 0 shows and then does the next of `actions` ('k' a key, 'c' a click,
// '0' the close box of window 0); when they run out it keeps pressing keys.
struct TitleUser {
    QString actions;
    QList<QImage> shown;
    QTimer timer;

    explicit TitleUser(QString what) : actions(std::move(what)) {
        timer.setInterval(1);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            const auto& s = platform_internal::S();
            if (!s.keys.empty() || s.clicks > 0) return;  // the last input is not taken yet
            if (QApplication::activeModalWidget() != nullptr) return;  // a box, not a key wait
            shown << Shot(Win_0);
            QChar act = shown.size() <= actions.size() ? actions[shown.size() - 1] : QChar('k');
            if (act == 'c')
                QTest::mouseClick(platform_internal::CanvasOf(Win_0), Qt::LeftButton);
            else if (act == '0')
                platform_internal::TopWidget(Win_0)->close();
            else
                KeyInto(Win_0, Qt::Key_Space);
        });
        timer.start();
    }
};

// Window 0 as start-up has it when the title screen begins.
void OpenMainWindow() {
    Planets.FlattenFactor = 0.82;
    OpenWindowDefault(Win_0);
    SelectWindow(Win_0);
    InitScreenAndColours();
    InitModel();
    SetWindowBackground(Win_0, Colours.ColMagenta);
    ClearWindow(Win_0);
}

const char* const Prompt = "Zeitschritt dt = <.5 d>";

// Window 1 as a question of the dialog shows it with the given default.
QImage ExpectedQuestion(const QString& shownDefault) {
    OpenInputWindow();
    SetForeground(Black);
    SetBackground(White);
    TextCursorTo(1, static_cast<int>(std::lround(Layout.ScaleYFactor)));
    PrintText(Prompt + std::string("    ") + shownDefault.toStdString());
    QImage image = Shot(Win_1);
    CloseWindow(Win_1);
    return image;
}

// Where column n of the text cursor begins in the dialog's fixed-pitch font.
int ColumnX(int n) {
    return TextWidth(std::string(n, '0'));
}

}  // namespace

class TestUi : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(StartPlatform()); }
    void cleanup() { PlatformEnd(); }

    // ---- Message boxes

    void theInformationBox() {
        SetUpLikeStartUp();
        const QString expected = QStringList{
            "||",
            " Das GEOZENTRISCHE System von Ptolemäus   |",
            " und das HELIOZENTRISCHE System von Kopernikus  |",
            " werden einander gegenübergestellt.   ||",
            " Der Rechner transformiert dabei rein mathematisch   |",
            " von einem System in das andere.   ||",
            " Der 'Blick von außen' auf das Planetensystem",
            " erleichtert den Durchblick.  ||",
            "Fragestellungen:   ||",
            " - Inwiefern ist das heliozentrische System   |",
            "   dem geozentrischen System überlegen?   |",
            " - Inwiefern sind die beiden Systeme gleichwertig?   |",
            " - Inwiefern handelt es sich um zwei gleich richtige   |",
            "   Beschreibungen des Planetensystems?  |",
            " - Weshalb wird dennoch das heliozentrische System bevorzugt?   |",
            "   ||",
            " Die Radien sind nicht maßstäblich gezeichnet!   |",
        }.join(QString());
        User user;
        ShowInfo();
        ShowInfo();
        QCOMPARE(QString::fromStdString(Shell.MessageText), expected);
        QCOMPARE(user.Boxes.size(), 2);
        QCOMPARE(user.Boxes[0], QString(expected).replace('|', '\n'));
        QCOMPARE(user.Boxes[1], user.Boxes[0]);
        QVERIFY(user.Boxes[0].startsWith("\n\n Das GEOZENTRISCHE"));
    }

    void theAuthorBoxTellsWhatTheProgramIs() {
        SetUpLikeStartUp();
        Shell.MessageText = "something before";
        User user;
        ShowAuthor();
        QCOMPARE(user.Boxes.size(), 1);
        QStringList lines = QString::fromStdString(Shell.MessageText).split('|');
        QCOMPARE(lines.size(), 7);  // heading, empty line, four lines, nothing after the last "|"
        QCOMPARE(lines[0], QString("  Programmautor:"));
        QCOMPARE(lines[1], QString(" "));
        for (int i = 2; i < 6; ++i) QVERIFY2(lines[i].endsWith("   "), qPrintable(lines[i]));
        QString text = lines.join('\n');
        QVERIFY(text.contains("heliogeo"));
        QVERIFY(text.contains("freie Unterrichtssoftware"));
        QVERIFY(text.contains("MIT-Lizenz"));
        QVERIFY(text.contains(QRegularExpression("Version \\d+\\.\\d+")));
    }

    void startUpWarnsOnceAboutTheCloseBox() {
        User user;
        TitleUser pupil("kk");
        StartUp();
        QCOMPARE(user.Boxes, QStringList{"Beenden nur mit QUIT ! \n \n Nicht mit Schließfeld !"});
        QCOMPARE(QString::fromStdString(Shell.MenuItems[0]), QString("DESK |"));
    }

    // ---- Clearing step

    void clearViews_data() {
        QTest::addColumn<double>("systemMode");
        QTest::addColumn<int>("target");
        QTest::newRow("right after start") << 0.0 << Win_2;
        QTest::newRow("heliocentric") << 1.0 << Win_2;
        QTest::newRow("geocentric") << 2.0 << Win_0;
        QTest::newRow("both") << 3.0 << Win_2;
    }

    void clearViews() {
        QFETCH(double, systemMode);
        QFETCH(int, target);
        SetUpLikeStartUp();
        Settings.SystemMode = systemMode;
        SetFillPattern(0);
        SetForeground(Red);
        for (int n : {Win_0, Win_2, Win_3}) {
            SelectWindow(n);
            FillBox(0, 0, 40, 40);
        }
        for (int k = Earth; k <= Sun; ++k) {
            CaptureImage(0, 0, 5, 5, Images.HelioBackground[k]);
            CaptureImage(0, 0, 5, 5, Images.GeoBackground[k]);
        }
        SelectWindow(Win_3);
        ClearViews();
        QCOMPARE(SelectedWindow(), target);
        QVERIFY(AllOneColour(Win_0, Magenta));
        QVERIFY(AllOneColour(Win_2, Azure));
        QVERIFY(AllOneColour(Win_3, Azure));
        for (int k = Earth; k <= Sun; ++k) {
            QVERIFY(IsEmptyImage(Images.HelioBackground[k]));
            QVERIFY(IsEmptyImage(Images.GeoBackground[k]));
        }
        // Colour pair 3 and fill pattern 4 for window 0.
        QCOMPARE(Foreground(), uint32_t(1));
        QCOMPARE(Background(), uint32_t(5));
        QCOMPARE(FillPattern(), 4);
    }

    // ---- Title screen

    void titleScreenNeedsTwoPresses_data() {
        QTest::addColumn<QString>("actions");
        QTest::newRow("two keys") << "kk";
        QTest::newRow("two clicks") << "cc";
        QTest::newRow("a click, then a key") << "ck";
    }

    void titleScreenNeedsTwoPresses() {
        QFETCH(QString, actions);
        OpenMainWindow();
        TitleUser pupil(actions);
        TitleScreen();
        QCOMPARE(pupil.shown.size(), 2);
        QCOMPARE(platform_internal::TopWidget(Win_0)->windowTitle(),
                 QString("Helio- und geozentrisches Planetensystem"));
        QCOMPARE(platform_internal::S().windows[Win_1].caption, QString("Eingabe des Zeitschritts"));
        // It ends on a cleared window 0 in colour pair 2 (white on cyan).
        QVERIFY(AllOneColour(Win_0, Magenta));
        QCOMPARE(Foreground(), uint32_t(15));
        QCOMPARE(Background(), uint32_t(3));

        // The first wait: the panels, and the prompt near the foot of the
        // screen, white on blue in the larger font.
        const QImage& first = pupil.shown[0];
        QRgb blue = qRgb(0, 0, 255), white = qRgb(255, 255, 255);
        QCOMPARE(first.pixel(ScaleX(10), ScaleY(20)), blue);
        QCOMPARE(first.pixel(2, 1), qRgb(255, 0, 255));  // outside the panels
        int whites = 0, blues = 0;
        for (int y = ScaleY(150); y < ScaleY(160); ++y) {
            QRgb p = first.pixel(ScaleX(300), y);
            whites += p == white;
            blues += p == blue;
        }
        QVERIFY(whites > 0 && blues > 0);  // the right panel's bands
        QVERIFY(ShowsTheSame(first, ExpectedPrompt(24, 20, White, Blue), Magenta));

        // The second wait: the prompt alone on the cleared window, a line
        // higher, in the smaller font and colour pair 2.
        QCOMPARE(pupil.shown[1], ExpectedPrompt(23, 10, 15, 3));
    }

    void aClickBeforeTheFirstPromptEndsOnlyOneWait() {
        OpenMainWindow();
        QTest::mouseClick(platform_internal::CanvasOf(Win_0), Qt::LeftButton);
        TitleUser pupil("k");
        TitleScreen();
        QCOMPARE(pupil.shown.size(), 1);
    }

    void closingWindow0EndsTheTitleScreen() {
        OpenMainWindow();
        TitleUser pupil("0");
        TitleScreen();
        QCOMPARE(pupil.shown.size(), 1);
        QCOMPARE(Shell.EndMarker, std::string("*"));
    }

    void theCreditsStayInTheirPanels() {
        OpenMainWindow();
        TitleUser pupil("kk");
        TitleScreen();
        // The panels' pixels in the first wait: any letter beyond a panel's
        // edge would leave white on window 0's magenta between the panels or
        // right of them.
        const QImage& first = pupil.shown[0];
        QRgb magenta = qRgb(255, 0, 255);
        for (int y = ScaleY(20); y < ScaleY(190); ++y) {
            for (int x = ScaleX(159) + 1; x < ScaleX(161); ++x) QCOMPARE(first.pixel(x, y), magenta);
            for (int x = ScaleX(317) + 1; x < WindowWidth(Win_0); ++x) QCOMPARE(first.pixel(x, y), magenta);
        }
    }

    // ---- Time-step dialog

    void timeStepDialog_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<double>("result");
        QTest::addColumn<QStringList>("defaults");  // offered at each question
        auto row = [](const char* name, double start, QStringList typed, double result, QStringList defaults) {
            QTest::newRow(name) << start << typed << result << defaults;
        };
        row("empty line takes the default", 0.5, {""}, 0.5, {"0.5"});
        row("20 rejected, 19.99 accepted", 0.5, {"20", "19.99"}, 19.99, {"0.5", "20"});
        row("0 rejected, 0.001 accepted", 0.5, {"0", "0.001"}, 0.001, {"0.5", "0"});
        row("-1 rejected", 2, {"-1", "1"}, 1, {"2", "-1"});
        row("25, empty line, 3", 0.5, {"25", "", "3"}, 3, {"0.5", "25", "25"});
        row("decimal comma", 0.2, {"0,5"}, 0.5, {"0.2"});
        row("leading point", 0.5, {".25"}, 0.25, {"0.5"});
        row("exponent", 0.5, {"1e1"}, 10, {"0.5"});
        row("spaces around", 0.5, {"  2.5  "}, 2.5, {"0.5"});
        row("only spaces take the default", 0.2, {"   "}, 0.2, {"0.2"});
        row("plus sign", 0.5, {"+4"}, 4, {"0.5"});
        row("letters", 0.2, {"abc", ""}, 0.2, {"0.2", "0.2"});
        row("letters after a number", 0.5, {"25", "abc", "7"}, 7, {"0.5", "25", "25"});
        row("number with letters", 0.5, {"5abc", "3"}, 3, {"0.5", "0.5"});
        row("two separators", 0.2, {"1,5.3", ""}, 0.2, {"0.2", "0.2"});
        row("nan", 0.2, {"nan", ""}, 0.2, {"0.2", "0.2"});
        row("inf", 0.2, {"inf", "-infinity", ""}, 0.2, {"0.2", "0.2", "0.2"});
        row("1e999", 0.2, {"1e999", ""}, 0.2, {"0.2", "0.2"});
        row("1e-999", 0.2, {"1e-999", ""}, 0.2, {"0.2", "0.2"});
        row("large but a number", 0.2, {"1e300", "2"}, 2, {"0.2", "1e+300"});
        row("a line of 10 000 characters", 0.2, {QString(10000, '7'), ""}, 0.2, {"0.2", "0.2"});
        row("a line of 10 000 zeros and a 5", 0.2, {QString(9999, '0') + "5", ""}, 0.2, {"0.2", "0.2"});
        row("control characters", 0.2, {"1\a", QString("\x1b"), "2\t", ""}, 0.2, {"0.2", "0.2", "0.2", "0.2"});
        row("Backspace", 0.5, {"25\b\b3"}, 3, {"0.5"});
        row("Backspace on an empty line", 0.5, {"\b\b\b4"}, 4, {"0.5"});
        row("closing window 1", 0.5, {"<close1>"}, 0.5, {"0.5"});
        row("closing window 1 after a rejected number", 0.5, {"25", "<close1>"}, 0.5, {"0.5", "25"});
    }

    void timeStepDialog() {
        QFETCH(double, start);
        QFETCH(QStringList, typed);
        QFETCH(double, result);
        QFETCH(QStringList, defaults);
        SetUpLikeStartUp();
        Settings.TimeStep = start;
        SetFillPattern(0);
        SetForeground(Red);
        for (int n : {Win_2, Win_3}) {
            SelectWindow(n);
            FillBox(0, 0, 40, 40);
        }
        SelectWindow(Win_2);
        QImage mainWindow = platform_internal::RetainedImage(Win_0)->copy();
        double simTime = Planets.SimTime = 123;

        User user;
        user.Lines = typed;
        TimeStepDialog();
        user.Timer.stop();

        QCOMPARE(Settings.TimeStep, result);
        QCOMPARE(user.Questions, defaults.size());
        // The dialog's window is gone, both views are back in place and
        // empty, window 0 was not drawn on, the clock runs on.
        QVERIFY(!IsWindowOpen(Win_1));
        QVERIFY(IsWindowOpen(Win_2) && IsWindowOpen(Win_3));
        QVERIFY(AllOneColour(Win_2, Azure));
        QVERIFY(AllOneColour(Win_3, Azure));
        QCOMPARE(*platform_internal::RetainedImage(Win_0), mainWindow);
        QCOMPARE(Planets.SimTime, simTime);
        QCOMPARE(Shell.EndMarker, std::string());
        // Nothing was echoed beyond window 1.
        QCOMPARE(platform_internal::RetainedImage(Win_1)->width(), WindowWidth(Win_1));
        // Each question stood alone, offering what the row says.
        for (int i = 0; i < defaults.size(); ++i)
            QVERIFY2(user.Asked[i] == ExpectedQuestion(defaults[i]), qPrintable(QString::number(i)));
    }

    void closingWindow0DuringTheDialog() {
        SetUpLikeStartUp();
        User user;
        user.Lines = {"25", "<close0>"};
        TimeStepDialog();
        QCOMPARE(Settings.TimeStep, 0.5);
        QCOMPARE(Shell.EndMarker, std::string("*"));
        QVERIFY(!IsWindowOpen(Win_1));
    }

    void theInputWindow() {
        SetUpLikeStartUp();
        OpenInputWindow();
        QCOMPARE(SelectedWindow(), Win_1);
        QTRY_COMPARE(WindowLeft(Win_1), 10);
        QCOMPARE(WindowTop(Win_1), ScaleY(15));
        QCOMPARE(WindowWidth(Win_1), static_cast<int>(Layout.InputWinWidthBase) - 10);
        QCOMPARE(WindowHeight(Win_1), ScaleY(30));
        QCOMPARE(WindowBackground(Win_1), Magenta);
        QVERIFY(AllOneColour(Win_1, Magenta));
        // The prompt takes one cell per character, so the typed line starts
        // right after it; prompt, spaces and a long default fit in the window.
        QCOMPARE(TextWidth(Prompt), ColumnX(23));
        QVERIFY(ColumnX(1) + TextWidth(Prompt + std::string("    19.999")) < WindowWidth(Win_1));
        int row = static_cast<int>(std::lround(Layout.ScaleYFactor));
        QVERIFY(row * TextRowPixels + TextHeight() <= WindowHeight(Win_1));
    }

    void theEchoFollowsThePromptAndBackspaceTakesItBack() {
        SetUpLikeStartUp();
        User user;
        user.Lines = {"7<more>", "\b<more>", "4"};
        TimeStepDialog();
        QCOMPARE(Settings.TimeStep, 4.0);
        QCOMPARE(user.Asked.size(), 3);
        const QImage &before = user.Asked[0], &typed = user.Asked[1], &erased = user.Asked[2];
        // The "7" changed only the first cell after the prompt.
        int left = ColumnX(24), right = ColumnX(25);
        int changed = 0;
        for (int y = 0; y < before.height(); ++y)
            for (int x = 0; x < before.width(); ++x)
                if (before.pixel(x, y) != typed.pixel(x, y)) {
                    QVERIFY2(x >= left && x < right, qPrintable(QString("%1,%2").arg(x).arg(y)));
                    ++changed;
                }
        QVERIFY(changed > 0);
        QCOMPARE(erased, before);
    }
};

QTEST_MAIN(TestUi)
#include "test_ui.moc"
