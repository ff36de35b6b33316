// test_ui.cpp — the message boxes, the clearing step, the title screen and
// the time-step dialog; built for several offscreen screen sizes.
#include "app/startup.h"
#include "model/calendar.h"
#include "model/layout.h"
#include "ui/ui.h"
#include "ui_support.h"

#include <cmath>

using namespace test_support;
using namespace ui_test;

namespace {

int Row(double line) {
    return static_cast<int>(std::lround(Layout.ScaleYFactor * line));
}

// Window 0's pixels from its origin, the screen rectangle's corner.
QImage MainPixels() {
    const QImage* all = platform_internal::RetainedImage(Win_0);
    const int x = core::OriginX(Win_0), y = core::OriginY(Win_0);
    return all->copy(x, y, all->width() - x, all->height() - y);
}

// Window 0 as a key wait for `line` should show it on a cleared window.
QImage ExpectedPrompt(int line, double fontSize, uint32_t fg, uint32_t bg) {
    bool wide = ScreenWidthPixels() > 320;
    ClearWindow(Win_0);
    SetFontFace("times");
    SetFontSize(fontSize * ScreenWidthPixels() / 800);
    SetForeground(fg);
    SetBackground(bg);
    TextCursorTo(wide ? 19 : 2, Row(line));
    PrintText(wide ? "Weiter ?  <RETURN>" : "Weiter ? ");
    return MainPixels();
}

// The pupil at the title screen: at each key wait it keeps what window 0
// shows, then does the next action ('k' a key, 'c' a click, '0' window 0's
// close box); when they run out it presses keys.
struct Pupil {
    QString Actions;
    QList<QImage> Shown;
    QTimer Timer;

    explicit Pupil(QString actions) : Actions(std::move(actions)) {
        QObject::connect(&Timer, &QTimer::timeout, [this] {
            const auto& s = platform_internal::S();
            if (!s.keys.empty() || s.clicks > 0 || QApplication::activeModalWidget() != nullptr) return;
            Shown << MainPixels();
            QChar act = Shown.size() <= Actions.size() ? Actions[Shown.size() - 1] : QChar('k');
            if (act == 'c')
                QTest::mouseClick(platform_internal::CanvasOf(Win_0), Qt::LeftButton);
            else if (act == '0')
                platform_internal::TopWidget(Win_0)->close();
            else
                KeyInto(Win_0, Qt::Key_Space);
        });
        Timer.start(1);
    }
};

const std::string Prompt = "Zeitschritt dt = <.5 d>";

// Window 1 as a question offering `shownDefault` should look.
QImage ExpectedQuestion(const QString& shownDefault) {
    OpenInputWindow();
    SetForeground(0);
    SetBackground(White);
    TextCursorTo(1, Row(1));
    PrintText(Prompt + "    " + shownDefault.toStdString());
    return Shot(Win_1);
}

}  // namespace

class TestUi : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { PlatformEnd(); }

    // Window 0's menu rows end above the views on every screen, above their
    // title bars too (at 640 x 480 with frames: the status line's row); on a
    // 4:3 screen of a usual size that needs no room beyond the layout's own.
    void theMenuRowsStayClearOfTheViews() {
        SetUpLikeStartUp();
        QVERIFY(ScreenTop() + WindowTop(Win_2) >= MenuBarBottom());
        const QWidget* view = platform_internal::TopWidget(Win_2);
        QCOMPARE(MenuBarBottom(), platform_internal::CanvasOf(Win_0)->mapToGlobal(QPoint(0, 0)).y() +
                                      view->geometry().top() - view->frameGeometry().top());
        if (ScreenWidthPixels() * 3 == ScreenHeightPixels() * 4 && ScreenWidthPixels() >= 800) QCOMPARE(ScreenTop(), 0);
    }

    void theInformationBox() {
        SetUpLikeStartUp();
        const QString expected =
            "|| Das GEOZENTRISCHE System von Ptolemäus   | und das HELIOZENTRISCHE System von Kopernikus  |"
            " werden einander gegenübergestellt.   || Der Rechner transformiert dabei rein mathematisch   |"
            " von einem System in das andere.   || Der 'Blick von außen' auf das Planetensystem"
            " erleichtert den Durchblick.  ||Fragestellungen:   || - Inwiefern ist das heliozentrische System   |"
            "   dem geozentrischen System überlegen?   | - Inwiefern sind die beiden Systeme gleichwertig?   |"
            " - Inwiefern handelt es sich um zwei gleich richtige   |   Beschreibungen des Planetensystems?  |"
            " - Weshalb wird dennoch das heliozentrische System bevorzugt?   |   || Die Radien sind nicht maßstäblich"
            " gezeichnet!   |";
        User user;
        ShowInfo();
        ShowInfo();
        QCOMPARE(QString::fromStdString(Shell.MessageText), expected);
        QCOMPARE(user.Boxes, QStringList(2, QString(expected).replace('|', '\n')));
    }

    void theAuthorBoxTellsWhatTheProgramIs() {
        SetUpLikeStartUp();
        User user;
        ShowAuthor();
        QStringList lines = user.Boxes.value(0).split('\n');
        QCOMPARE(lines.mid(0, 2), QStringList({"  Programmautor:", " "}));
        QCOMPARE(lines.size(), 12);  // four lines, a blank, the four parts, nothing after the last "|"
        for (int i : {2, 3, 4, 5, 7, 8, 9, 10}) QVERIFY(lines[i].endsWith("   "));
        QCOMPARE(lines[6], " ");
        for (const char* fact : {"heliogeo", "freie Unterrichtssoftware", "MIT-Lizenz", "Version 1.", "VSOP87",
                                 "astronomia, MIT-Lizenz", "ERFA", "BSD-Lizenz"})
            QVERIFY2(user.Boxes[0].contains(fact), fact);
    }

    void startUpWarnsAboutTheCloseBox() {
        SetUpLikeStartUp(false);
        User user;
        Pupil pupil("kk");
        StartUp();
        QCOMPARE(user.Boxes, QStringList{"Beenden nur mit QUIT ! \n \n Nicht mit Schließfeld !"});
    }

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
        SetForeground(Red);
        for (int n : {Win_0, Win_2, Win_3}) {
            SelectWindow(n);
            FillBox(0, 0, 40, 40);
        }
        for (int k = Earth; k <= Sun; ++k) {
            CaptureImage(0, 0, 5, 5, Images.HelioBackground[k]);
            CaptureImage(0, 0, 5, 5, Images.GeoBackground[k]);
        }
        ClearViews();
        QCOMPARE(SelectedWindow(), target);
        QVERIFY(AllOneColour(Win_0, Magenta) && AllOneColour(Win_2, Azure) && AllOneColour(Win_3, Azure));
        for (int k = Earth; k <= Sun; ++k)
            QVERIFY(IsEmptyImage(Images.HelioBackground[k]) && IsEmptyImage(Images.GeoBackground[k]));
    }

    void titleScreenNeedsTwoPresses_data() {
        QTest::addColumn<QString>("actions");
        QTest::newRow("two keys") << "kk";
        QTest::newRow("two clicks") << "cc";
        QTest::newRow("a click, then a key") << "ck";
    }

    void titleScreenNeedsTwoPresses() {
        QFETCH(QString, actions);
        SetUpLikeStartUp(false);
        Pupil pupil(actions);
        TitleScreen();
        QCOMPARE(pupil.Shown.size(), 2);
        QCOMPARE(platform_internal::TopWidget(Win_0)->windowTitle(), QString("Helio- und geozentrisches Planetensystem"));
        QCOMPARE(platform_internal::S().windows[Win_1].caption, std::string("Eingabe des Zeitschritts"));
        QVERIFY(AllOneColour(Win_0, Magenta));
        // First wait: the blue left panel, the prompt at the foot, white on blue.
        QImage first = pupil.Shown[0], expected = ExpectedPrompt(24, 20, White, Blue);
        QCOMPARE(first.pixel(ScaleX(10), ScaleY(20)), qRgb(0, 0, 255));
        // The panels' edges: the left one solid blue from x 4 to ScaleX(159), the
        // right one white bands on blue from ScaleX(161) to ScaleX(317), both
        // from y 2; magenta round and between them.
        const QRgb magenta = qRgb(255, 0, 255), blue = qRgb(0, 0, 255);
        // (A screen rectangle 266 pixels wide leaves no gap between the panels.)
        const bool gap = ScaleX(161) - ScaleX(159) > 1;
        for (int x : {3, ScaleX(159) + 1, ScaleX(161) - 1, ScaleX(317) + 1})
            if (gap || x == 3 || x > ScaleX(161)) QCOMPARE(first.pixel(x, ScaleY(10)), magenta);
        QCOMPARE(first.pixel(4, ScaleY(10)), blue);
        QCOMPARE(first.pixel(ScaleX(159), ScaleY(10)), blue);
        QCOMPARE(first.pixel(ScaleX(200), 1), magenta);
        QSet<QRgb> right;  // the right panel's edge columns
        for (int y = 2; y <= ScaleY(30); ++y) right << first.pixel(ScaleX(161), y) << first.pixel(ScaleX(317), y);
        QCOMPARE(right, (QSet<QRgb>{qRgb(255, 255, 255), blue}));
        int prompt = 0;
        for (int y = 0; y < first.height(); ++y)
            for (int x = 0; x < first.width(); ++x) {
                if (expected.pixel(x, y) == qRgb(255, 0, 255)) continue;
                ++prompt;
                QCOMPARE(first.pixel(x, y), expected.pixel(x, y));
            }
        QVERIFY(prompt > 0);
        // Second wait: the prompt alone, a line higher, smaller, in colour pair 2.
        QCOMPARE(pupil.Shown[1], ExpectedPrompt(23, 10, 15, 3));
    }

    void keyWaitAndTheMouse_data() {
        // What happens to window 0 just before the prompt is written, and
        // whether the wait then ends at once or only on the pupil's key.
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("waits");
        QTest::newRow("a click before the prompt") << "click" << true;
        QTest::newRow("a button held down as the prompt appears") << "press" << false;
        QTest::newRow("a key typed ahead") << "key" << false;
    }

    void keyWaitAndTheMouse() {
        QFETCH(QString, before);
        QFETCH(bool, waits);
        SetUpLikeStartUp(false);
        QWindow* window = platform_internal::TopWidget(Win_0)->windowHandle();
        const QPoint middle(WindowWidth(Win_0) / 2, WindowHeight(Win_0) / 2);
        if (before == "click") QTest::mouseClick(window, Qt::LeftButton, {}, middle);
        if (before == "press") {
            QTest::mousePress(window, Qt::LeftButton, {}, middle);
            QVERIFY(MouseClicked());  // the press ended an earlier wait
        }
        if (before == "key") KeyInto(Win_0, Qt::Key_Return);
        Pupil pupil("k");
        WaitForKey(24);
        QCOMPARE(pupil.Shown.size(), waits ? 1 : 0);
        if (before == "press") QTest::mouseRelease(window, Qt::LeftButton, {}, middle);
    }

    void closingWindow0EndsTheTitleScreen() {
        SetUpLikeStartUp(false);
        Pupil pupil("0");
        TitleScreen();
        QCOMPARE(pupil.Shown.size(), 1);
        QCOMPARE(Shell.EndMarker, std::string("*"));
    }

    void timeStepDialog_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<double>("result");
        QTest::addColumn<QStringList>("offered");  // the default at each question
        auto row = [](const char* name, double start, QStringList typed, double result, QStringList offered) {
            QTest::newRow(name) << start << typed << result << offered;
        };
        row("empty line", 0.5, {""}, 0.5, {"0.5"});
        row("20 rejected, 19.99 accepted", 0.5, {"20", "19.99"}, 19.99, {"0.5", "20"});
        row("0 rejected, 0.001 accepted", 0.5, {"0", "0.001"}, 0.001, {"0.5", "0"});
        row("25, empty line, 3", 0.5, {"25", "", "-1", "3"}, 3, {"0.5", "25", "25", "-1"});
        row("decimal comma", 0.2, {"0,5"}, 0.5, {"0.2"});
        row("spaces, plus sign, exponent", 0.2, {"  +1e1 "}, 10, {"0.2"});
        row("not numbers", 0.2, {"abc", "5abc", "1,5.3", "nan", "-inf", "1e999", "1e-999", ""}, 0.2,
            QStringList(8, "0.2"));
        row("letters after a number", 0.5, {"25", "abc", "7"}, 7, {"0.5", "25", "25"});
        // Only the zeros that fit are read: 0, which is rejected and offered.
        row("10 000 characters", 0.2, {QString(9999, '0') + "5", "3"}, 3, {"0.2", "0"});
        row("control characters are not read", 0.2, {"\x1b\t2\a"}, 2, {"0.2"});
        row("Backspace", 0.5, {"\b25\b\b3"}, 3, {"0.5"});
        row("Escape is no answer", 0.5, {"<escape>", "3"}, 3, {"0.5", "0.5"});
        row("closing window 1", 0.5, {"25", "<close1>"}, 0.5, {"0.5", "25"});
        row("closing window 0", 0.5, {"25", "<close0>"}, 0.5, {"0.5", "25"});
    }

    void timeStepDialog() {
        QFETCH(double, start);
        QFETCH(QStringList, typed);
        QFETCH(double, result);
        QFETCH(QStringList, offered);
        SetUpLikeStartUp();
        Settings.TimeStep = start;
        SetForeground(Red);
        for (int n : {Win_2, Win_3}) {
            SelectWindow(n);
            FillBox(0, 0, 40, 40);
        }
        QImage mainWindow = platform_internal::RetainedImage(Win_0)->copy();
        User user;
        user.Lines = typed;
        TimeStepDialog();
        user.Timer.stop();
        QCOMPARE(Settings.TimeStep, result);
        QCOMPARE(user.Asked.size(), offered.size());
        QCOMPARE(Shell.EndMarker, std::string(typed.last() == "<close0>" ? "*" : ""));
        // Window 1 is gone, the views are back and empty, nothing was drawn
        // outside window 1.
        QVERIFY(!IsWindowOpen(Win_1) && IsWindowOpen(Win_2) && IsWindowOpen(Win_3));
        QVERIFY(AllOneColour(Win_2, Azure) && AllOneColour(Win_3, Azure));
        QCOMPARE(*platform_internal::RetainedImage(Win_0), mainWindow);
        QCOMPARE(platform_internal::RetainedImage(Win_1)->width(), WindowWidth(Win_1));
        // Each question stood alone on window 1, offering the row's default.
        for (int i = 0; i < offered.size(); ++i) QVERIFY2(user.Asked[i] == ExpectedQuestion(offered[i]), qPrintable(offered[i]));
    }

    // The date read as typed, or the date offered; a refused one asked
    // again with the reason below the prompt; Escape and the close box
    // leave the dialog with nothing read.
    void dateDialog_data() {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("read");  // the moment read, as the calendar writes it; "" for none
        QTest::newRow("a date") << QStringList{"10.01.2027"} << "10.01.2027 00:00";
        QTest::newRow("a date and its time") << QStringList{" 19.02.2027 16:49 "} << "19.02.2027 16:49";
        QTest::newRow("an empty line: the date offered") << QStringList{""} << "01.03.2030 12:30";
        QTest::newRow("refused, then a date")
            << QStringList{"morgen", "10.13.2027", "10.01.2027"} << "10.01.2027 00:00";
        QTest::newRow("Escape") << QStringList{"<escape>"} << "";
        QTest::newRow("typed, then Escape") << QStringList{"10.01.2027<more>", "<escape>"} << "";
        QTest::newRow("refused, then Escape") << QStringList{"morgen", "<escape>"} << "";
        QTest::newRow("closing window 1") << QStringList{"<close1>"} << "";
        QTest::newRow("a zone, the widest line") << QStringList{" 31.12.2027 23:59 MESZ "} << "31.12.2027 22:59";
        QTest::newRow("as wide, ending in the zone") << QStringList{"31.12.2027  23:59  MESZ"} << "31.12.2027 22:59";
        QTest::newRow("a skipped time, offered as read") << QStringList{"31.03.2030 02:30", ""} << "31.03.2030 03:30";
    }

    void dateDialog() {
        QFETCH(QStringList, typed);
        QFETCH(QString, read);
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);  // a German device's clock
        tzset();
        SetUpLikeStartUp();
        SetForeground(Red);
        SelectWindow(Win_2);
        FillBox(0, 0, 40, 40);
        const QImage helio = Shot(Win_2);
        User user;
        user.Lines = typed;
        double moment = -1;
        const bool ok = DateDialog(MomentFromLocal(CivilTime{2030, 3, 1, 12, 30, 0, 0}), moment);
        user.Timer.stop();
        QCOMPARE(ok ? QString::fromStdString(DateTimeText(moment)) : QString(), read);
        QVERIFY(ok == !read.isEmpty() && (ok || moment == -1) && user.Asked.size() == typed.size());
        QCOMPARE(platform_internal::S().windows[Win_1].caption, std::string("Eingabe des Zeitschritts"));
        QVERIFY(!IsWindowOpen(Win_1) && SelectedWindow() == Win_2 && Shot(Win_2) == helio);
        // Asked again: the same prompt (on white) on a clean window, the
        // reason below it, whole, instead of what to type; after a time the
        // clocks skip, the time read is offered instead.
        const QImage& first = user.Asked[0];
        int below = 0;
        for (int y = 0; y < first.height(); ++y)
            for (int x = 0; x < first.width(); ++x)
                if (first.pixel(x, y) == qRgb(255, 255, 255)) below = y + 1;
        const int width = first.width(), height = first.height() - below, edge = TextWidth("0") / 2;
        for (int i = 1; i < typed.size() && !typed[i - 1].endsWith("<more>"); ++i) {
            const QImage& again = user.Asked[i];
            QVERIFY(below > 0 && (again.copy(0, 0, width, below) == first.copy(0, 0, width, below)) !=
                                     QByteArray(QTest::currentDataTag()).contains("skip"));
            QVERIFY(again.copy(0, below, width, height) != first.copy(0, below, width, height));
            for (int y = below; y < first.height(); ++y)
                for (int x = width - edge; x < width; ++x) QVERIFY(again.pixel(x, y) != qRgb(0, 0, 0));
        }
    }

    void theEchoFollowsThePromptAndBackspaceTakesItBack() {
        SetUpLikeStartUp();
        User user;
        user.Lines = {"7<more>", "\b<more>", "4"};
        TimeStepDialog();
        QCOMPARE(Settings.TimeStep, 4.0);
        QCOMPARE(user.Asked[0].size(), QSize(static_cast<int>(Layout.InputWinWidthBase) - 10, ScaleY(30)));
        // The prompt and a long default fit; the fixed-pitch font puts column
        // 24, where the typed line starts, right after the prompt.
        QCOMPARE(TextWidth(Prompt), TextWidth(std::string(23, '0')));
        QVERIFY(TextWidth(" " + Prompt + "    19.999") < WindowWidth(Win_1));
        QVERIFY(Row(1) * TextRowPixels + TextHeight() <= WindowHeight(Win_1));
        // The "7" changed the first cell after the prompt and nothing else;
        // Backspace made the line as it was. At the smallest sizes a glyph
        // may reach a pixel into the next cell.
        int left = TextWidth(std::string(24, '0')), right = TextWidth(std::string(25, '0')) + 1;
        QImage before = user.Asked[0], typed = user.Asked[1];
        QCOMPARE(before.copy(0, 0, left, before.height()), typed.copy(0, 0, left, before.height()));
        QCOMPARE(before.copy(right, 0, before.width(), before.height()), typed.copy(right, 0, before.width(), before.height()));
        QVERIFY(before != typed);
        QCOMPARE(user.Asked[2], before);
    }
};

QTEST_MAIN(TestUi)
#include "test_ui.moc"
