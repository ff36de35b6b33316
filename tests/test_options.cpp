// test_options.cpp — the command line, parsed and as the program answers it.
#include "app/options.h"
#include "model/calendar.h"

#include <QProcess>
#include <QtTest>

#include <algorithm>
#include <vector>

namespace {

OptionsOutcome Parse(std::vector<std::string> args, LoopOptions& options, std::string& message,
                     std::string* addressNotice = nullptr) {
    args.insert(args.begin(), "heliogeo");
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    return ParseOptions(static_cast<int>(argv.size()), argv.data(), options, message, addressNotice);
}

}  // namespace

class TestOptions : public QObject {
    Q_OBJECT

private slots:
    void noOptions() {
        LoopOptions o;
        std::string m;
        QCOMPARE(Parse({}, o, m), OptionsOutcome::Run);
        QCOMPARE(o.StepsPerSecond, 60);
    }

    void stepsPerSecond_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("steps");
        QTest::newRow("separate") << QStringList{"--steps-per-second", "30"} << 30;
        QTest::newRow("joined") << QStringList{"--steps-per-second=120"} << 120;
        QTest::newRow("unpaced") << QStringList{"--steps-per-second", "0"} << 0;
        QTest::newRow("highest") << QStringList{"--steps-per-second", "1000"} << 1000;
    }

    void stepsPerSecond() {
        QFETCH(QStringList, args);
        QFETCH(int, steps);
        std::vector<std::string> a;
        for (const QString& s : args) a.push_back(s.toStdString());
        LoopOptions o;
        std::string m;
        QCOMPARE(Parse(a, o, m), OptionsOutcome::Run);
        QCOMPARE(o.StepsPerSecond, steps);
    }

    // --date: the real sky at 00:00 UTC of that day. From a page's address
    // a bad value is named in one line, and only its own option keeps its
    // default.
    void startDateAndAnAddress() {
        double moment = 0;
        std::string reason, m, notice;
        QVERIFY(ReadIsoDate("2027-01-10", moment, reason));
        LoopOptions o, joined;
        QVERIFY(Parse({"--date", "2027-01-10"}, o, m) == OptionsOutcome::Run && o.StartsReal);
        QVERIFY(Parse({"--date=2027-01-10"}, joined, m) == OptionsOutcome::Run && joined.StartMoment == moment);
        QCOMPARE(o.StartMoment, moment);
        o = LoopOptions{};
        QCOMPARE(Parse({"--steps-per-second", "120", "--date", "2027-13-01"}, o, m, &notice), OptionsOutcome::Run);
        QVERIFY(!o.StartsReal && o.StepsPerSecond == 120 && notice.find("2027-13-01") != std::string::npos);
        // A NUL comes from the page as the text \x00; other control characters as they are.
        notice.clear();
        QCOMPARE(Parse({"--date", "2027-01-10\\x00junk\x1b"}, o, m, &notice), OptionsOutcome::Run);
        QCOMPARE(QString::fromStdString(notice), "Ungültiger Wert date=2027-01-10\\x00junk\\x1b in der Adresse: Bitte den "
                                                 "Tag als JJJJ-MM-TT angeben, z. B. 2027-02-19. Es startet das Modell.");
    }

    // One line, the value in it with its control characters and stray bytes
    // made visible, and for a date the reason the date dialog gives.
    void badOptions_data() {
        QTest::addColumn<QByteArrayList>("args");
        QTest::addColumn<QByteArray>("said");  // a part of the line
        QTest::newRow("unknown") << QByteArrayList{"--fast"} << QByteArray("'--fast'");
        QTest::newRow("plain word") << QByteArrayList{"planets"} << QByteArray();
        QTest::newRow("missing value") << QByteArrayList{"--steps-per-second"} << QByteArray();
        QTest::newRow("negative") << QByteArrayList{"--steps-per-second", "-5"} << QByteArray();
        QTest::newRow("not a number") << QByteArrayList{"--steps-per-second", "fast"} << QByteArray("not 'fast'");
        QTest::newRow("fraction") << QByteArrayList{"--steps-per-second", "2.5"} << QByteArray();
        QTest::newRow("trailing junk") << QByteArrayList{"--steps-per-second=60x"} << QByteArray();
        QTest::newRow("empty") << QByteArrayList{"--steps-per-second="} << QByteArray();
        QTest::newRow("too many") << QByteArrayList{"--steps-per-second", "100000"} << QByteArray();
        QTest::newRow("huge") << QByteArrayList{"--steps-per-second", "99999999999999999999"} << QByteArray();
        QTest::newRow("date missing") << QByteArrayList{"--date"} << QByteArray();
        QTest::newRow("date empty") << QByteArrayList{"--date="} << QByteArray();
        QTest::newRow("date as typed in the program")
            << QByteArrayList{"--date", "10.01.2027"}
            << QByteArray("--date '10.01.2027': Bitte den Tag als JJJJ-MM-TT angeben, z. B. 2027-02-19.");
        QTest::newRow("no such day") << QByteArrayList{"--date=2027-02-29"}
                                     << QByteArray("--date '2027-02-29': Den 29.02.2027 gibt es nicht.");
        QTest::newRow("out of range") << QByteArrayList{"--date=2401-01-01"}
                                      << QByteArray("Bitte ein Datum von 1600 bis 2400 eingeben.");
        QTest::newRow("escape sequence") << QByteArrayList{"--date", "2027-01-10\x1b[2J\x1b]0;x\a"}
                                         << QByteArray("'2027-01-10\\x1b[2J\\x1b]0;x\\x07'");
        QTest::newRow("C1, DEL, stray bytes") << QByteArrayList{"--steps-per-second", "6\xc2\x9b\x7f\xff\xc3"}
                                              << QByteArray("not '6\\xc2\\x9b\\x7f\\xff\\xc3'");
        QTest::newRow("umlaut, tab") << QByteArrayList{"--sch\xc3\xb6n\t"} << QByteArray("'--sch\xc3\xb6n\\x09'");
    }

    void badOptions() {
        QFETCH(QByteArrayList, args);
        QFETCH(QByteArray, said);
        std::vector<std::string> a;
        for (const QByteArray& s : args) a.push_back(s.toStdString());
        LoopOptions o;
        std::string m;
        QCOMPARE(Parse(a, o, m), OptionsOutcome::Error);
        QVERIFY(!m.empty());
        QVERIFY2(std::none_of(m.begin(), m.end(), [](char c) { return (c >= 0 && c < 0x20) || c == 0x7F; }), m.c_str());
        QVERIFY2(QByteArray::fromStdString(m).contains(said), m.c_str());
    }

    // The program itself: status 2 and one line on stderr, before any window.
    void programRejectsBadOptions() {
        QProcess p;
        p.start(HELIOGEO_BINARY, {"--steps-per-second", "soon"});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 2);
        QByteArray err = p.readAllStandardError();
        QCOMPARE(err.count('\n'), 1);
        QVERIFY(err.contains("soon"));
        QVERIFY(p.readAllStandardOutput().isEmpty());
    }

    void programHelp() {
        QProcess p;
        p.start(HELIOGEO_BINARY, {"--help"});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(p.readAllStandardOutput().contains("--steps-per-second"));
    }

    // With no display at all, one plain sentence instead of Qt's abort.
    void programWithoutDisplay() {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        env.remove("XDG_SESSION_TYPE");
        p.setProcessEnvironment(env);
        p.start(HELIOGEO_BINARY, {});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 1);
        QByteArray err = p.readAllStandardError();
        QCOMPARE(err.count('\n'), 1);
        QVERIFY(err.contains("xvfb-run"));
    }
};

QTEST_GUILESS_MAIN(TestOptions)
#include "test_options.moc"
