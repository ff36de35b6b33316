// test_worksheet.cpp — "&Arbeitsblatt speichern": the worksheet and its
// solution sheet from known moments, on an offscreen 1024 x 768 screen.
// HELIOGEO_WORKSHEET=folder keeps the files of Mars's opposition there.
#include "app/choices.h"
#include "app/construction_sheet.h"
#include "app/saving.h"
#include "app/worksheet.h"
#include "model/calendar.h"
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
    const QRegularExpression block("<(table|ol) class=\"" + what + "\"[^>]*>(.*?)</\\1>",
                                   QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression row("<(tr|li)[^>]*>(.*?)</\\1>"), cell("<(td|p)[^>]*>(.*?)</\\1>");
    QList<QStringList> rows;
    for (auto r = row.globalMatch(block.match(html).captured(2)); r.hasNext();) {
        QStringList cells;
        for (auto c = cell.globalMatch(r.next().captured(2)); c.hasNext();) cells << c.next().captured(2);
        if (!cells.isEmpty()) rows << cells;  // not a table's heading
    }
    return rows;
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
    // A German device's clock, its rules written out (no zone database needed).
    void initTestCase() {
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        tzset();
    }
    void init() { SetUpLikeStartUp(); }
    void cleanup() { PlatformEnd(); }

    // The sheets about the planet of the event reached, else the first shown
    // one, in the model and the real sky: the table from the conjunction
    // before the loop of the moment (or from the moment) to the one after
    // it, the moment and one loop in it; tasks with the curricula's
    // operators, answered on the solution sheet only, under the same
    // numbers; a strip task where the strip shows the loop begun, answered
    // with what it shows. Where the row says so, the sheets of the loop's
    // construction at that moment too.
    void theSheetsFitTheirPlanet_data() {
        QTest::addColumn<QList<int>>("shown");
        QTest::addColumn<int>("reached");  // the planet of an event jumped to, 0 none
        QTest::addColumn<int>("kind");
        QTest::addColumn<double>("from");  // the event is the first of its kind after it; else the moment
        QTest::addColumn<int>("body");
        QTest::addColumn<QString>("zone");           // the real sky's at the moment, "" the model
        QTest::addColumn<double>("stripShare");      // the share of the loop's width the strip shows, 0 none
        QTest::addColumn<QStringList>("published");  // dates of the table's rows, in order
        QTest::addColumn<bool>("construction");
        auto utc = [](int y, int mo, int d) { return MomentFromUtc({y, mo, d, 12, 0, 0, 0}); };
        const int opposition = int(EventKind::Opposition), direct = int(EventKind::StationDirect);
        QTest::newRow("Mars at its opposition") << QList<int>{Mars} << int(Mars) << opposition << 300.5 << int(Mars)
                                                << "" << 0.5 << QStringList{} << true;
        QTest::newRow("Venus, no event reached") << QList<int>{Venus, Mars} << 0 << 0 << 300.5 << int(Venus) << ""
                                                 << 0.0 << QStringList{} << true;
        QTest::newRow("Mars before the conjunction") << QList<int>{Mars} << 0 << 0 << 1000.0 << int(Mars) << ""
                                                     << 0.0 << QStringList{} << false;
        QTest::newRow("Jupiter's event beside Mercury") << QList<int>{Mercury, Jupiter} << int(Jupiter) << direct
                                                         << 300.5 << int(Jupiter) << "" << 1.0 << QStringList{}
                                                         << false;
        // in-the-sky.org (JPL DE430): Mars back from 10 January 2027, at
        // opposition on 19 February, forward again from 1 April.
        QTest::newRow("Mars 2027") << QList<int>{Mars} << int(Mars) << opposition << utc(2027, 2, 10) << int(Mars)
                                   << "MEZ" << 0.5 << QStringList{"10.01.2027", "19.02.2027", "01.04.2027"} << true;
        // EarthSky: Venus's greatest elongations of 2020, 24 March and 13 August.
        QTest::newRow("Venus 2020") << QList<int>{Venus} << 0 << 0 << utc(2020, 6, 1) << int(Venus) << "MESZ" << 0.5
                                    << QStringList{"24.03.2020", "13.08.2020"} << true;
    }
    void theSheetsFitTheirPlanet() {
        QFETCH(QList<int>, shown);
        QFETCH(int, reached);
        QFETCH(int, kind);
        QFETCH(double, from);
        QFETCH(int, body);
        QFETCH(QString, zone);
        QFETCH(double, stripShare);
        QFETCH(QStringList, published);
        QFETCH(bool, construction);
        Skies.Real = !zone.isEmpty();
        for (int k = Mercury; k <= Jupiter; ++k) Settings.PlanetOn[k] = shown.contains(k) ? 1 : -1;
        if (reached) Classroom.AtEvent = NextOf(reached, EventKind(kind), from);
        const double day = reached ? Classroom.AtEvent->Day : from;
        QCOMPARE(WorksheetPlanet(Classroom.AtEvent, Settings.PlanetOn), body);
        const WorksheetPicture picture{{}, {}, true, true, day - EventListDays, day};
        const QString sheet = Q(WorksheetHtml(body, day, picture)), solution = Q(SolutionSheetHtml(body, day, picture));
        auto text = [](double d) {
            return Skies.Real ? Q(DateTimeText(d) + " " + ZoneText(d)) : "Tag " + Q(GermanNumber(d, 2));
        };
        QVERIFY(sheet.contains("<h1>Arbeitsblatt: " + Q(BodyName(body)) + " \u2013 " +
                               (Skies.Real ? Q(DateTimeText(day)) + " " + zone : text(day) + " (im Modell)") +
                               "</h1>"));

        // The table: the planet's events in a row, the moment among them,
        // one loop, the conjunctions round it first and last.
        QList<QStringList> rows = Rows(sheet, "events"), listed;
        QStringList kinds;
        for (const QStringList& row : rows) kinds << row.value(1).section(" (Moment", 0, 0);
        qsizetype at = 0;
        while (at < rows.size() && !rows[at].value(1).contains("Moment des Bildes")) ++at;
        const QString bound = Q(EventName(body < Mars ? EventKind::SuperiorConjunction : EventKind::Conjunction));
        const qsizetype back = kinds.indexOf(Q(EventName(EventKind::StationRetrograde)));
        const qsizetype forth = kinds.indexOf(Q(EventName(EventKind::StationDirect)));
        QVERIFY(at < rows.size() && rows[at][0] == text(day) && kinds.count(bound) == 2 && kinds.endsWith(bound));
        QVERIFY(kinds.count(kinds.value(back)) == 1 && kinds.count(kinds.value(forth)) == 1 && back < forth &&
                at <= forth);
        QCOMPARE(kinds.indexOf(bound), at == 0 && kinds[0] != bound ? 1 : 0);
        for (const SkyEvent& e : TheSky().Events.Of(body, day - EventListDays, day + 2 * EventListDays))
            listed << QStringList{text(e.Day), Q(EventName(e.Kind)) + (e.Day == day ? " (Moment des Bildes)" : "")};
        rows.removeIf([](const QStringList& row) { return row.value(1) == "Moment des Bildes"; });
        QCOMPARE(listed.mid(listed.indexOf(rows.value(0)), rows.size()), rows);
        at = 0;
        for (const QString& date : published) {
            while (at < rows.size() && !rows[at][0].startsWith(date)) ++at;
            QVERIFY2(at < rows.size(), qPrintable(date));
        }

        const QList<QStringList> tasks = Rows(sheet, "tasks") + Rows(sheet, "questions");
        QString all;
        for (const QStringList& task : tasks) {
            QVERIFY2(QRegularExpression("^(Beschreiben|Messen|Geben|Berechnen|Erklären|Erläutern|Beurteilen) Sie\\b")
                         .match(task.value(0)).hasMatch(), qPrintable(task.value(0)));
            all += task.join(" ");
        }
        const bool inner = body < Mars;
        QCOMPARE(all.contains("größte östliche"), inner);
        QCOMPARE(all.contains("um die Opposition herum"), !inner);
        QVERIFY(all.contains("synodische Umlaufzeit von " + Q(BodyName(body)) + (Skies.Real ? ":" : " im Modell:")));
        QVERIFY(tasks.last().value(0).startsWith("Beurteilen Sie die Aussage"));

        // One answer for each task under its number, with its
        // Anforderungsbereich and points; none of their figures on the
        // worksheet. At the strip, the part of the loop it shows.
        const QList<QStringList> answers = Rows(solution, "answers");
        QCOMPARE(answers.size(), tasks.size());
        for (qsizetype n = 1; n <= tasks.size(); ++n)
            QVERIFY(sheet.contains(QString("<li id=\"aufgabe-%1\">").arg(n)) &&
                    answers[n - 1][0].contains(QRegularExpression(
                        QString("^Aufgabe %1 \u2013 Anforderungsbereich I{1,3}, \\d Punkte$").arg(n))));
        QVERIFY(solution.contains("Anforderungsbereich III") && solution.contains(" berechnet"));
        for (auto m = QRegularExpression("\\d+(,\\d+)?(°| Tage\\b)").globalMatch(solution); m.hasNext();) {
            const QString figure = m.next().captured(0);
            QVERIFY2(!sheet.contains(QRegularExpression(QRegularExpression::escape(figure) + "(?!\\w)")),
                     qPrintable(figure));
        }
        qsizetype strip = tasks.size() - 1;
        while (strip >= 0 && !tasks[strip][0].startsWith("Messen Sie am Himmelsstreifen")) --strip;
        QList<double> degrees;
        for (auto m = QRegularExpression("(\\d+,\\d)°").globalMatch(answers.value(strip).value(1)); m.hasNext();)
            degrees << m.next().captured(1).replace(',', '.').toDouble();
        QCOMPARE(strip >= 0, stripShare > 0);
        QVERIFY(strip < 0 || std::abs(degrees.value(0) / degrees.value(1) - stripShare) < 0.15);
        if (construction) constructionSheets(body, day);
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
        CommandChoice(SightLines);
        CommandChoice(SkyStripCommand);
        LayOutWhereDue();
        CommandChoice(NextEventCommand);
        while (Classroom.AtEvent->Kind != EventKind::Opposition) CommandChoice(NextEventCommand);

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
        WorksheetPicture picture{{}, {}, true, true, Views.DrawnFrom, Views.DrawnTo};
        QVERIFY(EncodePng(shown, picture.Png) && EncodePng(print, picture.PrintPng));
        QCOMPARE(sheet, Q(WorksheetHtml(Mars, Planets.SimTime, picture)));
        QCOMPARE(read(solutionPath), Q(SolutionSheetHtml(Mars, Planets.SimTime, picture)));
        if (const QString keep = qEnvironmentVariable("HELIOGEO_WORKSHEET"); !keep.isEmpty())
            for (const QString& path : {sheetPath, solutionPath})
                QFile::copy(path, keep + "/" + QFileInfo(path).fileName());

        // With the construction shown, its sheets instead.
        CommandChoice(ConstructionCommand);
        AnswerNextBox(&box);
        CommandChoice(SaveWorksheetCommand);
        const QString construction = box.section('\n', 2, 2).trimmed();
        QVERIFY(QFileInfo(construction).fileName().startsWith("heliogeo-arbeitsblatt-konstruktion-"));
        QCOMPARE(read(construction), Q(ConstructionSheetHtml(*Classroom.Construction, false)));
        CommandChoice(ConstructionCommand);

        // Without a planet but the Earth, or before both views are chosen,
        // there is no worksheet.
        Settings.PlanetOn[Mars] = -1;
        AnswerNextBox(&box);
        CommandChoice(SaveWorksheetCommand);
        QCOMPARE(box, "Kein Planet außer der Erde ist eingeschaltet: es gibt kein Arbeitsblatt.");
        Settings.SystemMode = 0;
        AnswerNextBox(&box);
        CommandChoice(SaveWorksheetCommand);
        QCOMPARE(box, "Wählen Sie zuerst unter SYSTEM „Beide“:\nDas Arbeitsblatt fragt nach dem linken und dem "
                      "rechten Bild.");
    }

private:
    // The construction's sheets: the figure's numbers 1 … N on both, each
    // number's day beside it; the lines through them on the solution sheet
    // only, to points on the band that turn at the numbers where the
    // planet's direction does (construction.h: 4 and 6), as the answer says;
    // an answer for each task under its number.
    static void constructionSheets(int body, double day) {
        const LoopConstruction c = ConstructionOfMoment(body, day);
        const QString sheet = Q(ConstructionSheetHtml(c, Skies.Real));
        const QString solution = Q(ConstructionSolutionHtml(c, Skies.Real));
        const qsizetype count = qsizetype(c.Moments.size());
        QVERIFY(sheet.contains("<h1>Arbeitsblatt: Die Schleife " + QString(body == Venus ? "der " : "des ") +
                               Q(BodyName(body)) + " \u2013 Konstruktion</h1>"));
        QMap<QString, QString> days, listed;
        for (qsizetype k = 1; k <= count; ++k) {
            const double moment = c.Moments[k - 1];
            days[QString::number(k)] = Skies.Real ? Q(DateText(moment)) : "Tag " + Q(GermanNumber(moment, 0));
            for (const QString& page : {sheet, solution})
                QVERIFY(page.count(QRegularExpression(QString("class=\"number\"[^>]*>%1<").arg(k))) >= 2);
        }
        for (const QStringList& row : Rows(sheet, "moments"))
            for (qsizetype i = 0; i + 1 < row.size(); i += 2) listed[row[i]] = row[i + 1];
        QCOMPARE(listed, days);
        QCOMPARE(sheet.count("class=\"sight\""), 0);
        QCOMPARE(solution.count("class=\"sight\""), count);
        QList<double> band;
        for (auto m = QRegularExpression("cy=\"([-\\d.]+)\"[^>]*class=\"hit\"").globalMatch(solution); m.hasNext();)
            band << m.next().captured(1).toDouble();
        QStringList turns;
        for (qsizetype k = 2; k < band.size(); ++k)
            if ((band[k] - band[k - 1]) * (band[k - 1] - band[k - 2]) < 0) turns << QString::number(k);
        QCOMPARE(band.size(), count);
        QCOMPARE(turns, QStringList({"4", "6"}));
        const QList<QStringList> tasks = Rows(sheet, "tasks"), answers = Rows(solution, "answers");
        QCOMPARE(answers.size(), tasks.size());
        for (qsizetype n = 1; n <= tasks.size(); ++n)
            QVERIFY(answers[n - 1][0].contains(QRegularExpression(
                QString("^Aufgabe %1 \u2013 Anforderungsbereich I{1,3}, \\d Punkte$").arg(n))));
        QVERIFY(answers.value(2).value(1).contains("Um " + turns.join(" und ") + " kehrt"));
    }

    // A planet's first event of a kind after `day`.
    static SkyEvent NextOf(int body, EventKind kind, double day) {
        for (const SkyEvent& e : TheSky().Events.Of(body, day, day + 2 * EventListDays))
            if (e.Kind == kind && e.Day > day) return e;
        return {};
    }
};

QTEST_MAIN(TestWorksheet)
#include "test_worksheet.moc"
