// test_menu.cpp — the menu bar of window 0 and the commands it dispatches, on
// an offscreen 1024 x 768 screen: which command each item number runs, what
// each command does to the settings and the windows, the bar's texts, and
// reaching every command with the mouse and with the keyboard alone.
#include "app/startup.h"
#include "ui/ui.h"
#include "ui_support.h"

#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include <climits>
#include <map>

using namespace test_support;
using namespace ui_test;

namespace {

// The menu bar's entries as the pupils see them, by item number.
const char* const MenuTexts[31] = {
    "DESK |", "&Quit", "-------------", "&Info", "&Autor", "",
    "SYSTEM |", "&Heliozentrisch", "&Geozentrisch", "&Beide", "",
    "DARSTELLUNG |", "nur &Planeten", "nur &Bahnen", "Planten &und Bahnen", "&Vieleck ein/aus", "",
    "PLANETEN |", "&nur Erde-Sonne", "&Merkur ein/aus", "&Venus ein/aus", "M&ars ein/aus", "&Jupiter aus/ein", "",
    "SERVICE |", "Bildschirm &löschen", "&Hardcopy", "&Zeitschritt", "&Test", "",
    "",
};

// The state every dispatch case starts from: chosen so that each command's
// change shows (no system yet, paths only, polygon on, a typed time step, the
// Sun hidden, window 0 the drawing target) and a red mark in windows 0, 2
// and 3 that any clearing removes.
void PrepareForDispatch() {
    Settings.SystemMode = 0;
    Settings.DrawMode = 5;
    Settings.PolygonOn = 1.0;
    Settings.TimeStep = 3;
    Settings.PlanetOn = {0, 1, 1, 1, 1, 1, -1};
    SetFillPattern(0);
    for (int n : {Win_0, Win_2, Win_3}) {
        SelectWindow(n);
        SetForeground(Red);
        FillBox(300, 300, 309, 309);
    }
    SelectWindow(Win_0);
}

QString Number(double v) {
    return QString::number(v);
}

QString PlanetList() {
    QStringList on;
    for (int k = Earth; k <= Sun; ++k) on << QString::number(Settings.PlanetOn[k]);
    return on.join(',');
}

// Everything a command can have done since PrepareForDispatch, in a fixed
// order; empty when it did nothing.
QString Effects(const DisplaySettings& before, const User& user) {
    QStringList e;
    if (Settings.SystemMode != before.SystemMode) e << "SystemMode=" + Number(Settings.SystemMode);
    if (Settings.DrawMode != before.DrawMode) e << "DrawMode=" + Number(Settings.DrawMode);
    if (Settings.TimeStep != before.TimeStep) e << "TimeStep=" + Number(Settings.TimeStep);
    if (Settings.PolygonOn != before.PolygonOn) e << "PolygonOn=" + Number(Settings.PolygonOn);
    if (Settings.PlanetOn != before.PlanetOn) e << "PlanetOn=" + PlanetList();
    if (Shell.EndMarker == "*") e << "quit";
    for (const QString& box : user.Boxes) {
        if (box.startsWith("\n\n Das GEOZENTRISCHE System"))
            e << "box=info";
        else if (box.startsWith("  Programmautor:"))
            e << "box=author";
        else
            e << "box=" + box;
    }
    if (user.Questions > 0) e << "dialog";
    // "&Test" writes white on blue at the top left of window 0.
    if (CountColour(Win_0, QRect(0, 0, 400, 60), Blue) > 0) e << "text";
    QStringList cleared;
    for (int n : {Win_0, Win_2, Win_3})
        if (Pixel(n, 305, 305) != Red) cleared << QString::number(n);
    if (!cleared.isEmpty()) e << "cleared=" + cleared.join(',');
    if (SelectedWindow() != Win_0) e << "target=" + QString::number(SelectedWindow());
    return e.join(' ');
}

// What each item number does, from the state of PrepareForDispatch. Numbers
// not listed do nothing.
const std::map<int, QString>& ExpectedEffects() {
    static const std::map<int, QString> table = {
        {1, "quit"},
        {2, "cleared=0,2,3 target=2"},
        {3, "box=info"},
        {4, "box=author"},
        {7, "SystemMode=1 cleared=0,2,3 target=2"},
        {8, "SystemMode=2 PlanetOn=1,1,1,1,1,1 cleared=0,2,3 target=3"},
        {9, "SystemMode=3 PlanetOn=1,1,1,1,1,1 cleared=0,2,3 target=2"},
        {12, "DrawMode=6 PolygonOn=-1 cleared=0,2,3 target=2"},
        {13, "TimeStep=0.2 PolygonOn=-1 cleared=0,2,3 target=2"},
        {14, "DrawMode=7 PolygonOn=-1 cleared=0,2,3 target=2"},
        {15, "DrawMode=6 TimeStep=0.2 PolygonOn=-1 PlanetOn=1,1,1,1,-1,-1 cleared=0,2,3 target=2"},
        {18, "PlanetOn=1,-1,-1,-1,-1,1 cleared=0,2,3 target=2"},
        {19, "PlanetOn=1,-1,1,1,1,-1 cleared=0,2,3 target=2"},
        {20, "PlanetOn=1,1,-1,1,1,-1 cleared=0,2,3 target=2"},
        {21, "PlanetOn=1,1,1,-1,1,-1 cleared=0,2,3 target=2"},
        {22, "PlanetOn=1,1,1,1,-1,-1 cleared=0,2,3 target=2"},
        {25, "cleared=0,2,3 target=2"},
        {26, ""},
        // The dialog, answered with an empty line: the step stays, the views
        // are rebuilt empty.
        {27, "dialog cleared=2,3 target=2"},
        {28, "text"},
    };
    return table;
}

QString ExpectedFor(int item) {
    auto found = ExpectedEffects().find(item);
    return found == ExpectedEffects().end() ? QString() : found->second;
}

// The bar's entry for item number `item` of MenuItems: its menu and action.
struct BarEntry {
    int menu = -1;
    QAction* action = nullptr;
};

BarEntry EntryFor(int item) {
    QMenuBar* bar = platform_internal::MenuBarWidget();
    int index = 0;
    for (int m = 0; m < bar->actions().size(); ++m) {
        ++index;  // the title
        for (QAction* a : bar->actions()[m]->menu()->actions()) {
            if (index == item) return {m, a};
            ++index;
        }
        ++index;  // the closing entry
    }
    return {};
}

// The items that the bar offers: every entry but titles and closing entries.
QList<int> ItemNumbers() {
    return {1, 2, 3, 4, 7, 8, 9, 12, 13, 14, 15, 18, 19, 20, 21, 22, 25, 26, 27, 28};
}

QWidget* KeyboardFocus() {
    QWidget* w = QApplication::activePopupWidget();
    if (w == nullptr) w = QApplication::focusWidget();
    return w != nullptr ? w : platform_internal::TopWidget(Win_0);
}

}  // namespace

class TestMenu : public QObject {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(StartPlatform());
        SetUpLikeStartUp();
    }
    void cleanup() { PlatformEnd(); }

    void menuItemsComeFromTheTextStore() {
        for (int i = 0; i < 81; ++i)
            QCOMPARE(QString::fromStdString(Shell.MenuItems[i]), QString(i <= 30 ? MenuTexts[i] : ""));
        // Building it cleared window 0.
        QVERIFY(AllOneColour(Win_0, Magenta));
    }

    void theBarShowsTheEntriesAsTheyAre() {
        QMenuBar* bar = platform_internal::MenuBarWidget();
        QVERIFY(bar != nullptr);
        QCOMPARE(bar->window(), platform_internal::TopWidget(Win_0));
        QStringList titles;
        for (QAction* a : bar->actions()) titles << a->text();
        QCOMPARE(titles, QStringList({"DESK |", "SYSTEM |", "DARSTELLUNG |", "PLANETEN |", "SERVICE |"}));
        for (int item : ItemNumbers()) {
            BarEntry entry = EntryFor(item);
            QVERIFY(entry.action != nullptr);
            QCOMPARE(entry.action->text(), QString::fromStdString(Shell.MenuItems[item]));
            QVERIFY(!entry.action->isCheckable());
        }
        QCOMPARE(EntryFor(29).action, nullptr);
    }

    void dispatch_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("effects");
        for (int item = 0; item <= 80; ++item)
            QTest::addRow("%d %s", item, item <= 30 ? MenuTexts[item] : "") << item << ExpectedFor(item);
        for (int item : {-1, 81, 100, 1000, INT_MIN, INT_MAX})
            QTest::addRow("%d outside", item) << item << QString();
    }

    void dispatch() {
        QFETCH(int, item);
        QFETCH(QString, effects);
        PrepareForDispatch();
        DisplaySettings before = Settings;
        User user;
        int32_t chosen = item;
        Win_0_MenuEvent(chosen);
        QCOMPARE(Effects(before, user), effects);
    }

    // Every item chosen as a pupil would: clicking with the mouse, or with the
    // keyboard alone, tapping Alt, moving with the arrows and choosing with
    // Return or with the item's mnemonic letter in the open menu.
    void everyItemCanBeReached_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("how");
        for (int item : ItemNumbers())
            for (const char* how : {"mouse", "arrows", "mnemonic"}) {
                if (QString(how) == "mnemonic" && !QString(MenuTexts[item]).contains('&')) continue;
                QTest::addRow("%s %s", MenuTexts[item], how) << item << QString(how);
            }
    }

    void everyItemCanBeReached() {
        QFETCH(int, item);
        QFETCH(QString, how);
        QWidget* top = platform_internal::TopWidget(Win_0);
        top->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(top));
        PrepareForDispatch();
        DisplaySettings before = Settings;
        User user;
        QMenuBar* bar = platform_internal::MenuBarWidget();
        BarEntry entry = EntryFor(item);
        QMenu* menu = bar->actions()[entry.menu]->menu();
        int row = static_cast<int>(menu->actions().indexOf(entry.action));
        if (how == "mouse") {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions()[entry.menu]).center());
            QTRY_VERIFY(menu->isVisible());
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry.action).center());
        } else {
            QTest::keyClick(KeyboardFocus(), Qt::Key_Alt);
            QVERIFY(bar->activeAction() != nullptr);
            for (int m = 0; m < entry.menu; ++m) QTest::keyClick(KeyboardFocus(), Qt::Key_Right);
            QTest::keyClick(KeyboardFocus(), Qt::Key_Down);
            QTRY_VERIFY(menu->isVisible());
            if (how == "arrows") {
                for (int r = 0; r < row; ++r) QTest::keyClick(menu, Qt::Key_Down);
                QCOMPARE(menu->activeAction(), entry.action);
                QTest::keyClick(menu, Qt::Key_Return);
            } else {
                QString text = QString(MenuTexts[item]);
                QChar letter = text.at(text.indexOf('&') + 1).toLower();
                QTest::keyClicks(menu, QString(letter));
            }
        }
        QTRY_VERIFY(!menu->isVisible());
        QCOMPARE(Effects(before, user), ExpectedFor(item));
    }

    void aChoiceWhileACommandRunsIsIgnored() {
        // "&Quit" chosen while the information box is open.
        User user;
        user.WhileBoxIsOpen = [] { EntryFor(1).action->trigger(); };
        EntryFor(3).action->trigger();
        QCOMPARE(user.Boxes.size(), 1);
        QCOMPARE(Shell.EndMarker, std::string());
        QVERIFY(!Shell.CommandRunning);
        // Afterwards the bar answers again.
        EntryFor(1).action->trigger();
        QCOMPARE(Shell.EndMarker, std::string("*"));
    }

    // A command chosen in the main loop runs to completion inside that pass,
    // its box or dialog included, and no animation step runs meanwhile.
    void theAnimationWaitsWhileACommandRuns_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("waits");
        QTest::newRow("&Info") << 3 << 3;
        QTest::newRow("&Zeitschritt") << 27 << 3;
    }

    void theAnimationWaitsWhileACommandRuns() {
        QFETCH(int, item);
        QFETCH(int, waits);
        User user;
        user.Lines = {"25", "abc", "3"};
        // The box stays open a while, with events flowing.
        user.WhileBoxIsOpen = [&user] {
            QTest::qWait(30);
            user.SimTimes << Planets.SimTime;
            QTest::qWait(30);
            user.SimTimes << Planets.SimTime;
        };
        QTimer::singleShot(5, [item] {
            EntryFor(item).action->trigger();
            QuitCommand();
        });
        RunMainLoop(LoopOptions{0, 100'000'000});
        QCOMPARE(user.SimTimes.size(), waits);
        for (double t : user.SimTimes) QCOMPARE(t, user.SimTimes[0]);
        // The pass in which the command ran then finished its one step.
        QCOMPARE(Planets.SimTime, user.SimTimes[0] + Settings.TimeStep);
    }

    void nothingStartsOnceTheProgramEnds() {
        User user;
        EntryFor(1).action->trigger();
        EntryFor(1).action->trigger();  // a second "&Quit" changes nothing
        QCOMPARE(Shell.EndMarker, std::string("*"));
        EntryFor(3).action->trigger();
        EntryFor(27).action->trigger();
        QCOMPARE(user.Boxes.size(), 0);
        QCOMPARE(user.Questions, 0);
    }

    void vieleckTwice() {
        // Jupiter switched on in between stays hidden by the second choice.
        int32_t vieleck = 15, jupiter = 22;
        Win_0_MenuEvent(vieleck);
        QCOMPARE(Settings.PolygonOn, 1.0);
        Win_0_MenuEvent(jupiter);
        QCOMPARE(Settings.PlanetOn[Jupiter], int16_t(1));
        Settings.TimeStep = 4;
        Settings.DrawMode = 7;
        Win_0_MenuEvent(vieleck);
        QCOMPARE(Settings.PolygonOn, -1.0);
        QCOMPARE(Settings.DrawMode, 6);
        QCOMPARE(Settings.TimeStep, 0.2);
        QCOMPARE(Settings.PlanetOn[Jupiter], int16_t(-1));
        QCOMPARE(RasterMode(), 1);
    }

    void aTogglePlanetChosenTwiceIsAsBefore_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("body");
        QTest::newRow("&Merkur ein/aus") << 19 << int(Mercury);
        QTest::newRow("&Venus ein/aus") << 20 << int(Venus);
        QTest::newRow("M&ars ein/aus") << 21 << int(Mars);
        QTest::newRow("&Jupiter aus/ein") << 22 << int(Jupiter);
    }

    void aTogglePlanetChosenTwiceIsAsBefore() {
        QFETCH(int, item);
        QFETCH(int, body);
        auto start = Settings.PlanetOn;
        int32_t chosen = item;
        Win_0_MenuEvent(chosen);
        QCOMPARE(Settings.PlanetOn[body], int16_t(-1));
        Win_0_MenuEvent(chosen);
        QCOMPARE(Settings.PlanetOn, start);
    }

    void aTypedTimeStepAndTheDisplayCommands_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<double>("timeStep");
        QTest::newRow("nur &Planeten keeps it") << 12 << 7.0;
        QTest::newRow("nur &Bahnen overrides it") << 13 << 0.2;
        QTest::newRow("Planten &und Bahnen keeps it") << 14 << 7.0;
        QTest::newRow("&Vieleck ein/aus overrides it") << 15 << 0.2;
    }

    void aTypedTimeStepAndTheDisplayCommands() {
        QFETCH(int, item);
        QFETCH(double, timeStep);
        User user;
        user.Lines = {"7"};
        int32_t zeitschritt = 27, chosen = item;
        Win_0_MenuEvent(zeitschritt);
        QCOMPARE(Settings.TimeStep, 7.0);
        Win_0_MenuEvent(chosen);
        QCOMPARE(Settings.TimeStep, timeStep);
    }

    void rasterModes_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("mode");
        QTest::newRow("nur &Planeten") << 12 << 1;
        QTest::newRow("nur &Bahnen") << 13 << 1;
        QTest::newRow("Planten &und Bahnen") << 14 << 2;
    }

    void rasterModes() {
        QFETCH(int, item);
        QFETCH(int, mode);
        SetRasterMode(13);
        int32_t chosen = item;
        Win_0_MenuEvent(chosen);
        QCOMPARE(RasterMode(), mode);
    }

    void heliozentrischLeavesTheSunAsItWas() {
        Settings.PlanetOn[Sun] = -1;
        int32_t helio = 7;
        Win_0_MenuEvent(helio);
        QCOMPARE(Settings.PlanetOn[Sun], int16_t(-1));
    }

    void testWritesTheSwitches_data() {
        QTest::addColumn<QList<int>>("before");
        QTest::addColumn<QStringList>("written");
        QTest::newRow("every body shown") << QList<int>{} << QStringList{"1 ", "1 ", "1 ", "1 ", "1 ", "1 "};
        QTest::newRow("after &nur Erde-Sonne")
            << QList<int>{18} << QStringList{"1 ", "-1 ", "-1 ", "-1 ", "-1 ", "1 "};
        QTest::newRow("after M&ars ein/aus") << QList<int>{21} << QStringList{"1 ", "1 ", "1 ", "-1 ", "1 ", "1 "};
    }

    void testWritesTheSwitches() {
        QFETCH(QList<int>, before);
        QFETCH(QStringList, written);
        for (int item : before) {
            int32_t chosen = item;
            Win_0_MenuEvent(chosen);
        }
        int32_t test = 28;
        Win_0_MenuEvent(test);
        // They go to the drawing target: window 0 after start-up, window 2
        // after a PLANETEN command (no system chosen yet).
        int target = SelectedWindow();
        QCOMPARE(target, before.isEmpty() ? Win_0 : Win_2);
        QImage shown = Shot(target);
        QVERIFY(CountColour(target, QRect(0, 0, 400, 60), Blue) > 0);
        // The same numbers written by hand, white on blue at the same place.
        ClearWindow(target);
        SetForeground(White);
        SetBackground(Blue);
        TextCursorTo(1, 1);
        for (const QString& piece : written) PrintText(piece.toStdString());
        QCOMPARE(shown, Shot(target));
    }

    void hardcopyChangesNothing() {
        int32_t beide = 9;
        Win_0_MenuEvent(beide);
        SetFillPattern(0);
        for (int n : {Win_0, Win_2, Win_3}) {
            SelectWindow(n);
            SetForeground(Red);
            FillBox(10, 10, 50, 50);
        }
        SelectWindow(Win_3);
        DisplaySettings before = Settings;
        QImage w0 = Shot(Win_0), w2 = Shot(Win_2), w3 = Shot(Win_3);
        int32_t hardcopy = 26;
        Win_0_MenuEvent(hardcopy);
        QCOMPARE(Settings.SystemMode, before.SystemMode);
        QCOMPARE(Settings.PlanetOn, before.PlanetOn);
        QCOMPARE(Settings.TimeStep, before.TimeStep);
        QCOMPARE(SelectedWindow(), Win_3);
        QCOMPARE(Shot(Win_0), w0);
        QCOMPARE(Shot(Win_2), w2);
        QCOMPARE(Shot(Win_3), w3);
        // Only the colours of every SERVICE command are set.
        QCOMPARE(Foreground(), White);
        QCOMPARE(Background(), Blue);
    }

    void aSystemChoiceSetsItsWindows_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("target");
        QTest::newRow("&Heliozentrisch") << 7 << Win_2;
        QTest::newRow("&Geozentrisch") << 8 << Win_3;
        // "&Beide" selects no window of its own; the views select theirs.
        QTest::newRow("&Beide") << 9 << Win_0;
    }

    void aSystemChoiceSetsItsWindows() {
        // From the geocentric view, so ClearViews leaves window 0 the target.
        Settings.SystemMode = 2;
        QFETCH(int, item);
        QFETCH(int, target);
        Images.HelioBackground[Venus].Width = 3;
        Images.HelioBackground[Venus].Height = 3;
        Images.HelioBackground[Venus].Pixels.assign(9, 0);
        int32_t chosen = item;
        Win_0_MenuEvent(chosen);
        QCOMPARE(SelectedWindow(), target);
        QVERIFY(IsEmptyImage(Images.HelioBackground[Venus]));
        QVERIFY(AllOneColour(Win_2, Azure));
        QVERIFY(AllOneColour(Win_3, Azure));
    }
};

QTEST_MAIN(TestMenu)
#include "test_menu.moc"
