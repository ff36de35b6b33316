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
    }

    void badOptions_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("unknown") << QStringList{"--fast"};
        QTest::newRow("plain word") << QStringList{"planets"};
        QTest::newRow("missing value") << QStringList{"--steps-per-second"};
        QTest::newRow("negative") << QStringList{"--steps-per-second", "-5"};
        QTest::newRow("not a number") << QStringList{"--steps-per-second", "fast"};
        QTest::newRow("fraction") << QStringList{"--steps-per-second", "2.5"};
        QTest::newRow("trailing junk") << QStringList{"--steps-per-second=60x"};
        QTest::newRow("empty") << QStringList{"--steps-per-second="};
        QTest::newRow("too many") << QStringList{"--steps-per-second", "100000"};
        QTest::newRow("huge") << QStringList{"--steps-per-second", "99999999999999999999"};
        QTest::newRow("date missing") << QStringList{"--date"};
        QTest::newRow("date empty") << QStringList{"--date="};
        QTest::newRow("date as typed in the program") << QStringList{"--date", "10.01.2027"};
        QTest::newRow("control characters") << QStringList{"--steps-per-second", "6\x1b[2J\a\u009b\x7f"};
    }

    void badOptions() {
        QFETCH(QStringList, args);
        std::vector<std::string> a;
        for (const QString& s : args) a.push_back(s.toStdString());
        LoopOptions o;
        std::string m;
        QCOMPARE(Parse(a, o, m), OptionsOutcome::Error);
        QVERIFY(!m.empty());
        QVERIFY(std::none_of(m.begin(), m.end(), [](char c) { return (c >= 0 && c < 0x20) || c == 0x7F; }));
    }

    // The program itself: status 2 and one line on stderr, before any window,
    // the value with its control characters made visible, and the date
    // dialog's reason.
    void programRejectsBadOptions() {
        QProcess p;
        p.start(HELIOGEO_BINARY, {"--date", "2027-01-10\x1b[2J\xc2\x9b"});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 2);
        QByteArray err = p.readAllStandardError();
        QCOMPARE(err.count('\n'), 1);
        QCOMPARE(err, "heliogeo: --date '2027-01-10\\x1b[2J\\xc2\\x9b': Bitte den Tag als JJJJ-MM-TT angeben, "
                      "z. B. 2027-02-19.\n");
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
