// test_worksheet.cpp — "&Arbeitsblatt speichern": the worksheet and its
// solution sheet from known moments, on an offscreen 1024 x 768 screen.
// HELIOGEO_WORKSHEET=folder keeps the files of Mars's opposition there.
#include "app/saving.h"
#include "app/worksheet.h"
#include "model/decimal.h"
#include "model/event_list.h"
#include "ui/ui.h"
#include "ui_support.h"
#include "tolerances.h"

#include <QRegularExpression>
#include <QTemporaryDir>

using namespace test_support;
using namespace ui_test;

namespace {

// The cells of each row of the table or list of a class, their tags taken out.
QList<QStringList> Rows(const QString& html, const QString& what) {
    const QRegularExpression block("<(table|ol) class=\"" + what + "\">(.*?)</\\1>",
                                   QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression row("<(tr|li)[^>]*>(.*?)</\\1>"), cell("<(td|p)>(.*?)</\\1>");
    QList<QStringList> rows;
    for (auto r = row.globalMatch(block.match(html).captured(2)); r.hasNext();) {
        QStringList cells;
        for (auto c = cell.globalMatch(r.next().captured(2)); c.hasNext();) cells << c.next().captured(2);
        if (!cells.isEmpty()) rows << cells;  // not a table's heading
    }
    return rows;
}

QString Answer(const QString& solution, const QString& id) {
    return QRegularExpression("<tr id=\"" + id + "\"><th>.*?</th><td>(.*?)</td>").match(solution).captured(1);
}

QImage Decoded(const QString& html, int n) {
    QStringList uris;
    for (auto m = QRegularExpression("src=\"data:image/png;base64,([^\"]*)\"").globalMatch(html); m.hasNext();)
        uris << m.next().captured(1);
    return QImage::fromData(QByteArray::fromBase64(uris.value(n).toLatin1())).convertToFormat(QImage::Format_RGB32);
}

QImage AsQImage(const Image& image) {
    return QImage(reinterpret_cast<const uchar*>(image.Pixels.data()), image.Width, image.Height, image.Width * 4,
                  QImage::Format_RGB32).copy();
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

class TestWorksheet : public QObject {
    Q_OBJECT

private slots:
    void init() { SetUpLikeStartUp(); }
    void cleanup() { PlatformEnd(); }

    // The sheets about the planet of the event reached, else the first shown
    // one: its events as the list has them, tasks of its kind, the
    // information box's questions, and the answers on the solution sheet only.
    void theSheetsFitTheirPlanet_data() {
        QTest::addColumn<QList<int>>("shown");
        QTest::addColumn<int>("reached");  // the planet of an event jumped to, 0 none
        QTest::addColumn<int>("body");
        QTest::newRow("Mars at its opposition") << QList<int>{Mars} << int(Mars) << int(Mars);
        QTest::newRow("Venus, no event reached") << QList<int>{Venus, Mars} << 0 << int(Venus);
        QTest::newRow("Jupiter's event beside Mercury") << QList<int>{Mercury, Jupiter} << int(Jupiter)
                                                         << int(Jupiter);
    }
    void theSheetsFitTheirPlanet() {
        QFETCH(QList<int>, shown);
        QFETCH(int, reached);
        QFETCH(int, body);
        for (int k = Mercury; k <= Jupiter; ++k) Settings.PlanetOn[k] = shown.contains(k) ? 1 : -1;
        Planets.SimTime = 300.5;
        const EventKind kind = reached == Mars ? EventKind::Opposition : EventKind::StationDirect;
        if (reached) {
            Classroom.AtEvent = NextOf(reached, kind, Planets.SimTime);
            Planets.SimTime = Classroom.AtEvent->Day;
        }
        const double day = Planets.SimTime;
        QCOMPARE(WorksheetPlanet(Classroom.AtEvent, Settings.PlanetOn), body);
        const QString sheet = Q(WorksheetHtml(body, day, {})), solution = Q(SolutionSheetHtml(body, day));

        const QString planet = Q(BodyName(body)), moment = Q(ModelSky.MomentText(day, 0));
        QVERIFY(sheet.contains("<h1>Arbeitsblatt: " + planet + " \u2013 " + moment + " (im Modell)</h1>"));
        QVERIFY(solution.contains("<h1>Lösungsblatt: " + planet + " \u2013 " + moment + " (im Modell)</h1>"));
        QList<QStringList> listed;
        for (const SkyEvent& e : EventsBetween(day, day + EventListDays, Settings.PlanetOn))
            if (e.Body == body) listed << QStringList{Q(ModelSky.MomentText(e.Day, 0)), Q(EventName(e.Kind))};
        QCOMPARE(Rows(sheet, "events"), listed);

        const QList<QStringList> tasks = Rows(sheet, "tasks");
        for (const QStringList& task : tasks)
            QVERIFY2(QRegularExpression("^(Beschreiben|Bestimmen|Erklären) Sie ").match(task.value(0)).hasMatch(),
                     qPrintable(task.value(0)));
        QString all;
        for (const QStringList& task : tasks) all += task.join(" ");
        const bool inner = body == Venus;
        QCOMPARE(all.contains("größte östliche"), inner);
        QCOMPARE(all.contains("\u201Euntere Konjunktion\u201C"), inner);
        QCOMPARE(all.contains("um die Opposition herum"), !inner);
        QVERIFY(all.contains("synodische Umlaufzeit von " + planet + " im Modell"));
        QList<QStringList> questions;
        for (const std::string& q : InfoQuestions()) questions << QStringList{Q(q)};
        QCOMPARE(Rows(sheet, "questions"), questions);
        QCOMPARE(questions.size(), 4);
        QCOMPARE(questions[0][0], "Inwiefern ist das heliozentrische System dem geozentrischen System überlegen?");

        // The answers: the loop of the list, the time between two of the
        // planet's defining events; none of them on the worksheet.
        const LoopFigures loop = NextLoop(body, day);
        QCOMPARE(Answer(solution, "schleife-von"), Q(ModelSky.MomentText(loop.FirstDay, 0)));
        QCOMPARE(Answer(solution, "schleife-bis"), Q(ModelSky.MomentText(loop.LastDay, 0)));
        QCOMPARE(Answer(solution, "schleife-tage"), Q(GermanNumber(loop.Days, 2)) + " Tage im Modell");
        QCOMPARE(Answer(solution, "schleife-grad"), Q(GermanNumber(loop.WidthDegrees, 1)) + "° im Modell");
        const EventKind defining = inner ? EventKind::InferiorConjunction : EventKind::Opposition;
        const SkyEvent first = NextOf(body, defining, day - DayTolerance);
        const double synodic = NextOf(body, defining, first.Day + 1).Day - first.Day;
        QVERIFY(Answer(solution, "synodisch").startsWith(Q(GermanNumber(synodic, 2)) + " Tage im Modell ("));
        for (const char* id : {"winkel", "schleife-tage", "schleife-grad", "synodisch", "elongation-1"}) {
            const QString answer = Answer(solution, id).section(" (", 0, 0).section(" im Modell", 0, 0);
            QVERIFY2(answer.isEmpty() == (!inner && QString(id) == "elongation-1"), id);
            QVERIFY2(answer.isEmpty() || !sheet.contains(answer), qPrintable(answer));
        }
    }

    // Saved: the worksheet whole, its pictures those of the views and of the
    // print version at that moment, the solution sheet beside it; neither
    // over another file; one box says where both went.
    void bothFilesAreSavedWholeBesideTheOthers() {
        QTemporaryDir home;
        QDir pictures(home.filePath("Bilder"));
        QFile dirs(home.filePath("user-dirs.dirs"));
        QVERIFY(pictures.mkpath(".") && dirs.open(QIODevice::WriteOnly));
        dirs.write(("XDG_PICTURES_DIR=\"" + pictures.path() + "\"\n").toUtf8());
        dirs.close();
        qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
        const QString kept = "not the program's";
        for (QString name : {"arbeitsblatt", "loesungsblatt"}) {
            name = "heliogeo-" + name + "-2027-02-19-164900.html";
            QFile file(pictures.filePath(name));
            QVERIFY(file.open(QIODevice::NewOnly) && file.write(kept.toUtf8()) > 0);
        }
        // Mars alone at its opposition, paths, lines of sight and the strip.
        Settings.SystemMode = 3;
        Settings.DrawMode = 7;
        Settings.TimeStep = 2;
        for (int k : {Mercury, Venus, Jupiter}) Settings.PlanetOn[k] = -1;
        ClassroomMenu(SightLines);
        ClassroomMenu(SkyStripCommand);
        LayOutWhereDue();
        ClassroomMenu(NextEventCommand);
        while (Classroom.AtEvent->Kind != EventKind::Opposition) ClassroomMenu(NextEventCommand);

        QString box;
        AnswerNextBox(&box);
        SaveWorksheetFiles("2027-02-19 16:49:00");
        const QString sheetPath = pictures.filePath("heliogeo-arbeitsblatt-2027-02-19-164900-2.html");
        const QString solutionPath = pictures.filePath("heliogeo-loesungsblatt-2027-02-19-164900-2.html");
        QCOMPARE(box, "Das Arbeitsblatt ist gespeichert: \n \n " + sheetPath +
                          "\n \nDas Lösungsblatt ist gespeichert: \n \n " + solutionPath);
        auto read = [](const QString& path) {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        };
        const QStringList before = pictures.entryList({"*-164900.html"});
        QCOMPARE(before.size(), 2);
        for (const QString& name : before) QCOMPARE(read(pictures.filePath(name)), kept);
        const QString sheet = read(sheetPath);

        Image shown, print;
        ComposePicture(shown);
        PrintPicture(shown, print);
        QCOMPARE(Decoded(sheet, 0), AsQImage(shown));
        QCOMPARE(Decoded(sheet, 1), AsQImage(print));
        QVERIFY(sheet.contains("Himmelsstreifen") && IsWindowOpen(Win_4));
        WorksheetPicture picture{{}, {}, true};
        QVERIFY(EncodePng(shown, picture.Png) && EncodePng(print, picture.PrintPng));
        QCOMPARE(sheet, Q(WorksheetHtml(Mars, Planets.SimTime, picture)));
        QCOMPARE(read(solutionPath), Q(SolutionSheetHtml(Mars, Planets.SimTime)));
        if (const QString keep = qEnvironmentVariable("HELIOGEO_WORKSHEET"); !keep.isEmpty())
            for (const QString& path : {sheetPath, solutionPath})
                QFile::copy(path, keep + "/" + QFileInfo(path).fileName());

        // Without a planet but the Earth there is no worksheet.
        Settings.PlanetOn[Mars] = -1;
        AnswerNextBox(&box);
        ClassroomMenu(SaveWorksheetCommand);
        QCOMPARE(box, "Kein Planet außer der Erde ist eingeschaltet: es gibt kein Arbeitsblatt.");
    }

private:
    // A planet's first event of a kind after `day`.
    static SkyEvent NextOf(int body, EventKind kind, double day) {
        for (const SkyEvent& e : ModelSky.EventsOf(body, day, day + 2 * EventListDays))
            if (e.Kind == kind && e.Day > day) return e;
        return {};
    }
};

QTEST_MAIN(TestWorksheet)
#include "test_worksheet.moc"
