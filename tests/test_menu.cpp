// test_menu.cpp — the menu bar of window 0 and the commands it dispatches, on
// an offscreen 1024 x 768 screen.
#include "app/main_loop.h"
#include "app/startup.h"
#include "ui_support.h"

#include <QMenuBar>

#include <climits>
#include <map>

using namespace test_support;
using namespace ui_test;

namespace {

// The bar's entries by item number, as the pupils see them.
const char* const MenuTexts[31] = {
    "DESK |", "&Quit", "-------------", "&Info", "&Autor", "",
    "SYSTEM |", "&Heliozentrisch", "&Geozentrisch", "&Beide", "",
    "DARSTELLUNG |", "nur &Planeten", "nur &Bahnen", "Planten &und Bahnen", "&Vieleck ein/aus", "",
    "PLANETEN |", "&nur Erde-Sonne", "&Merkur ein/aus", "&Venus ein/aus", "M&ars ein/aus", "&Jupiter aus/ein", "",
    "SERVICE |", "Bildschirm &löschen", "&Hardcopy", "&Zeitschritt", "&Test", "", "",
};

// What each item does, from the state that Prepare() sets: no system yet,
// paths only, the polygon on, a typed time step, the Sun hidden, window 0 the
// drawing target. Item numbers not listed do nothing. "target=any": the
// window that RemoveBody leaves as the drawing target is its own affair.
const std::map<int, QString> Expected = {
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
    {19, "PlanetOn=1,-1,1,1,1,-1 cleared=0,2,3 target=any"},
    {20, "PlanetOn=1,1,-1,1,1,-1 cleared=0,2,3 target=any"},
    {21, "PlanetOn=1,1,1,-1,1,-1 cleared=0,2,3 target=any"},
    {22, "PlanetOn=1,1,1,1,-1,-1 cleared=0,2,3 target=any"},
    {25, "cleared=0,2,3 target=2"},
    {27, "dialog cleared=2,3 target=2"},  // answered with an empty line
    {28, "text"},
};

const QList<int> Items = {1, 2, 3, 4, 7, 8, 9, 12, 13, 14, 15, 18, 19, 20, 21, 22, 25, 26, 27, 28};

// Prepare() also puts a red mark into windows 0, 2 and 3 that clearing removes.
void Prepare() {
    Settings.SystemMode = 0;
    Settings.DrawMode = 5;
    Settings.PolygonOn = 1;
    Settings.TimeStep = 3;
    Settings.PlanetOn = {0, 1, 1, 1, 1, 1, -1};
    SetForeground(Red);
    for (int n : {Win_0, Win_2, Win_3}) {
        SelectWindow(n);
        FillBox(300, 300, 309, 309);
    }
    SelectWindow(Win_0);
}

// Everything a command did since Prepare(), in a fixed order.
QString Effects(const DisplaySettings& before, const User& user, const QString& expected) {
    QStringList e;
    auto number = [&e](const char* name, double now, double was) {
        if (now != was) e << name + ("=" + QString::number(now));
    };
    number("SystemMode", Settings.SystemMode, before.SystemMode);
    number("DrawMode", Settings.DrawMode, before.DrawMode);
    number("TimeStep", Settings.TimeStep, before.TimeStep);
    number("PolygonOn", Settings.PolygonOn, before.PolygonOn);
    if (Settings.PlanetOn != before.PlanetOn) {
        QStringList on;
        for (int k = Earth; k <= Sun; ++k) on << QString::number(Settings.PlanetOn[k]);
        e << "PlanetOn=" + on.join(',');
    }
    if (Shell.EndMarker == "*") e << "quit";
    for (const QString& box : user.Boxes)
        e << (box.startsWith("\n\n Das GEOZENTRISCHE") ? "box=info"
              : box.startsWith("  Programmautor:")    ? "box=author"
                                                      : "box=" + box);
    if (!user.Asked.isEmpty()) e << "dialog";
    if (CountColour(Win_0, QRect(0, 0, 400, 60), Blue) > 0) e << "text";  // "&Test" is white on blue
    QStringList cleared;
    for (int n : {Win_0, Win_2, Win_3})
        if (Pixel(n, 305, 305) != Red) cleared << QString::number(n);
    if (!cleared.isEmpty()) e << "cleared=" + cleared.join(',');
    if (expected.contains("target=any"))
        e << "target=any";
    else if (SelectedWindow() != Win_0)
        e << "target=" + QString::number(SelectedWindow());
    return e.join(' ');
}

QMenuBar* Bar() {
    return platform_internal::MenuBarWidget();
}

// The bar's menu and action of an item number.
std::pair<int, QAction*> Entry(int item) {
    int index = 0;
    for (int m = 0; m < Bar()->actions().size(); ++m, index += 2)  // past the closing entry and the title
        for (QAction* a : Bar()->actions()[m]->menu()->actions())
            if (++index == item) return {m, a};
    return {-1, nullptr};
}

void Choose(int32_t item) {
    Win_0_MenuEvent(item);
}

}  // namespace

class TestMenu : public QObject {
    Q_OBJECT

private slots:
    void init() { SetUpLikeStartUp(); }
    void cleanup() { PlatformEnd(); }

    void theBarShowsTheMenuTextsAsTheyAre() {
        for (int i = 0; i < 81; ++i) QCOMPARE(Shell.MenuItems[i], std::string(i <= 30 ? MenuTexts[i] : ""));
        QStringList titles;
        for (QAction* a : Bar()->actions()) titles << a->text();
        QCOMPARE(titles, QStringList({"DESK |", "SYSTEM |", "DARSTELLUNG |", "PLANETEN |", "SERVICE |", "EXTRAS |", "EREIGNISSE |",
                                    "HIMMEL |"}));
        for (int item : Items) QCOMPARE(Entry(item).second->text(), QString(MenuTexts[item]));
        QCOMPARE(Entry(29).second, nullptr);
        QVERIFY(AllOneColour(Win_0, Magenta));
    }

    void dispatch_data() {
        QTest::addColumn<int>("item");
        for (int item = 0; item <= 80; ++item) QTest::addRow("%d %s", item, item <= 30 ? MenuTexts[item] : "") << item;
        for (int item : {-1, 81, 1000, INT_MIN, INT_MAX}) QTest::addRow("%d", item) << item;
    }

    void dispatch() {
        QFETCH(int, item);
        Prepare();
        DisplaySettings before = Settings;
        User user;
        Choose(item);
        QString expected = Expected.count(item) ? Expected.at(item) : QString();
        QCOMPARE(Effects(before, user, expected), expected);
    }

    // Every item reached as a pupil would: with the mouse, or with the keyboard
    // alone (tap Alt, arrows, then Return or the item's mnemonic letter).
    void everyItemCanBeReached_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QString>("how");
        for (int item : Items)
            for (QString how : {"mouse", "arrows", "mnemonic"})
                if (how != "mnemonic" || QString(MenuTexts[item]).contains('&'))
                    QTest::addRow("%s %s", MenuTexts[item], qPrintable(how)) << item << how;
    }

    void everyItemCanBeReached() {
        QFETCH(int, item);
        QFETCH(QString, how);
        QWidget* top = platform_internal::TopWidget(Win_0);
        top->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(top));
        // Qt shows a bar added to a shown window only once events flow.
        QTRY_VERIFY(Bar()->isVisible());
        Prepare();
        DisplaySettings before = Settings;
        User user;
        auto [m, action] = Entry(item);
        QMenu* menu = Bar()->actions()[m]->menu();
        auto focus = [] { return QApplication::focusWidget(); };
        if (how == "mouse") {
            QTest::mouseClick(Bar(), Qt::LeftButton, {}, Bar()->actionGeometry(Bar()->actions()[m]).center());
            QTRY_VERIFY(menu->isVisible());
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        } else {
            QTest::keyClick(focus(), Qt::Key_Alt);
            for (int i = 0; i < m; ++i) QTest::keyClick(focus(), Qt::Key_Right);
            QTest::keyClick(focus(), Qt::Key_Down);
            QTRY_VERIFY(menu->isVisible());
            QString text = MenuTexts[item];
            if (how == "mnemonic") {
                QTest::keyClicks(menu, text.mid(text.indexOf('&') + 1, 1).toLower());
            } else {
                for (int i = 0; i < menu->actions().indexOf(action); ++i) QTest::keyClick(menu, Qt::Key_Down);
                QTest::keyClick(menu, Qt::Key_Return);
            }
        }
        QTRY_VERIFY(!menu->isVisible());
        QString expected = Expected.count(item) ? Expected.at(item) : QString();
        QCOMPARE(Effects(before, user, expected), expected);
    }

    void sequences_data() {
        QTest::addColumn<QList<int>>("items");
        QTest::addColumn<QString>("typed");  // at the time-step dialog (27)
        QTest::addColumn<QString>("after");  // PolygonOn DrawMode TimeStep PlanetOn
        QTest::newRow("&Vieleck twice, Jupiter on between") << QList<int>{15, 22, 15} << "" << "-1 6 0.2 1,1,1,1,-1,1";
        QTest::newRow("&Merkur twice") << QList<int>{19, 19} << "" << "-1 6 0.5 1,1,1,1,1,1";
        QTest::newRow("nur &Planeten keeps a typed step") << QList<int>{27, 12} << "7" << "-1 6 7 1,1,1,1,1,1";
        QTest::newRow("nur &Bahnen overrides it") << QList<int>{27, 13} << "7" << "-1 5 0.2 1,1,1,1,1,1";
        QTest::newRow("Planten &und Bahnen keeps it") << QList<int>{27, 14} << "7" << "-1 7 7 1,1,1,1,1,1";
    }

    void sequences() {
        QFETCH(QList<int>, items);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        User user;
        user.Lines = {typed};
        for (int item : items) Choose(item);
        QStringList on;
        for (int k = Earth; k <= Sun; ++k) on << QString::number(Settings.PlanetOn[k]);
        QCOMPARE(QString("%1 %2 %3 %4").arg(Settings.PolygonOn).arg(Settings.DrawMode).arg(Settings.TimeStep).arg(on.join(',')),
                 after);
    }

    void aSystemCommandClearsWithTheOldMode() {
        // "&Beide" after "&Geozentrisch": the clearing step still saw SystemMode
        // 2 and left window 0 the drawing target, and "&Beide" selects none.
        Choose(8);
        Choose(9);
        QCOMPARE(SelectedWindow(), Win_0);
    }

    void testAfterNurErdeSonne() {
        Choose(18);
        Choose(28);
        QImage shown = Shot(Win_2);
        // The same written by hand, white on blue at the top left of window 2.
        ClearWindow(Win_2);
        SetForeground(White);
        SetBackground(Blue);
        TextCursorTo(1, 1);
        for (const char* piece : {"1 ", "-1 ", "-1 ", "-1 ", "-1 ", "1 "}) PrintText(piece);
        QCOMPARE(shown, Shot(Win_2));
        QVERIFY(CountColour(Win_2, QRect(0, 0, 400, 60), Blue) > 0);
    }

    void aChoiceWhileACommandRunsIsIgnored() {
        User user;
        user.WhileBoxIsOpen = [] { Entry(1).second->trigger(); };  // "&Quit" while "&Info" shows
        Entry(3).second->trigger();
        QCOMPARE(user.Boxes.size(), 1);
        QCOMPARE(Shell.EndMarker, std::string());
        Entry(1).second->trigger();
        Entry(1).second->trigger();  // a second "&Quit" changes nothing
        Entry(27).second->trigger();
        QCOMPARE(Shell.EndMarker, std::string("*"));
        QVERIFY(user.Asked.isEmpty());
    }

    // A command chosen in the main loop runs to completion within its pass,
    // its box or dialog included; no animation step runs meanwhile.
    void theAnimationWaitsWhileACommandRuns_data() {
        QTest::addColumn<int>("item");
        QTest::newRow("&Info") << 3;
        QTest::newRow("&Zeitschritt") << 27;
    }

    void theAnimationWaitsWhileACommandRuns() {
        QFETCH(int, item);
        User user;
        user.Lines = {"25", "abc", "3"};
        user.WhileBoxIsOpen = [&user] {
            QTest::qWait(50);
            user.SimTimes << Planets.SimTime;
        };
        QTimer::singleShot(5, [item] {
            Entry(item).second->trigger();
            QuitCommand();
        });
        RunMainLoop(LoopOptions{0, 100'000'000});
        QCOMPARE(user.SimTimes.size(), item == 3 ? 2 : 3);
        for (double t : user.SimTimes) QCOMPARE(t, user.SimTimes[0]);
        QCOMPARE(Planets.SimTime, user.SimTimes[0] + Settings.TimeStep);  // that pass's one step
    }
};

QTEST_MAIN(TestMenu)
#include "test_menu.moc"
