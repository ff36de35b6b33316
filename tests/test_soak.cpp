// test_soak.cpp — a long, rough session: ten thousand random sequences of menu
// choices (valid item numbers and others) with animation passes between them
// in every mode, some choices arriving in the middle of a step; a hundred
// thousand random answers through the time-step dialog's own reading and
// decision, and a thousand dialogs of such answers typed into window 1; a
// million unpaced steps with both views. Meant for the sanitizer build as well
// as the normal one: what it checks is that nothing breaks, every setting
// stays within its values, the dialog does what its answers say, the positions
// stay exact and memory does not grow. The random inputs come from fixed
// seeds; a failure names the seed and the place.
#include "app/animation.h"
#include "app/choices.h"
#include "app/startup.h"
#include "ui/ui.h"
#include "ui_support.h"
#include "tolerances.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <malloc.h>
#include <unistd.h>

#ifdef __SANITIZE_ADDRESS__
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

using namespace test_support;
using namespace ui_test;

namespace {

constexpr quint32 MenuSeed = 4711, AnswerSeed = 1234, DialogSeed = 815;

// The sanitizer build checks every access to memory, at some ten times the
// cost: it plays half of each of the two long soaks, which the Release build
// plays whole.
#ifdef __SANITIZE_ADDRESS__
constexpr int SoakShare = 2;
#else
constexpr int SoakShare = 1;
#endif

// ---------------------------------------------------------------------------
// Memory

// What the process holds, in bytes: its resident size. Under AddressSanitizer
// the resident size is mostly the allocator's quarantine of freed blocks,
// which fills up to 256 MB by design whatever the program does; there the
// bytes allocated and not yet freed are measured instead (and LeakSanitizer
// looks for lost blocks at the end).
long HeldBytes() {
#ifdef __SANITIZE_ADDRESS__
    return static_cast<long>(__sanitizer_get_current_allocated_bytes());
#else
    // Freed memory the allocator still keeps (a window activated and left
    // again leaves some behind) goes back first, so that the resident size
    // follows what is held.
    malloc_trim(0);
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
#endif
}

// Memory may grow by less than `limit` bytes between the end of a soak's
// warm-up and its end.
QString Growth(const char* soak, long warm, long limit) {
    const long grown = HeldBytes() - warm;
    // Printed past QtTest's logger, which falls silent after many warnings.
    std::printf("%s: %s %ld kB after the warm-up, %+ld kB at the end (limit %ld kB)\n", soak,
#ifdef __SANITIZE_ADDRESS__
          "heap",
#else
          "resident",
#endif
          warm / 1024, grown / 1024, limit / 1024);
    std::fflush(stdout);
    return grown < limit ? QString() : QString("%1: memory grew by %2 bytes").arg(soak).arg(grown);
}

// ---------------------------------------------------------------------------
// The program's state

// What is wrong with the settings and the windows, if anything: every setting
// within its set of values, no command running or failed, window 1 closed and
// both views open.
QString Problem() {
    const DisplaySettings& s = Settings;
    if (s.SystemMode != 0 && s.SystemMode != 1 && s.SystemMode != 2 && s.SystemMode != 3)
        return QString("SystemMode %1").arg(s.SystemMode);
    if (s.DrawMode != 5 && s.DrawMode != 6 && s.DrawMode != 7) return QString("DrawMode %1").arg(s.DrawMode);
    if (s.PolygonOn != 1.0 && s.PolygonOn != -1.0) return QString("PolygonOn %1").arg(s.PolygonOn);
    for (int k = Earth; k <= Sun; ++k)
        if (s.PlanetOn[k] != 1 && s.PlanetOn[k] != -1) return QString("PlanetOn[%1] %2").arg(k).arg(s.PlanetOn[k]);
    if (!(s.TimeStep > 0 && s.TimeStep < 20)) return QString("TimeStep %1").arg(s.TimeStep);
    if (SelectedWindow() < Win_0 || SelectedWindow() > Win_3)
        return QString("window %1 selected").arg(SelectedWindow());
    if (IsWindowOpen(Win_1)) return "window 1 open";
    if (!IsWindowOpen(Win_2) || !IsWindowOpen(Win_3)) return "a view window closed";
    if (Shell.CommandRunning) return "a command still running";
    if (!Shell.CurrentError.empty()) return "failure: " + QString::fromStdString(Shell.CurrentError);
    if (std::abs(Classroom.PendingSteps) > 4) return QString("%1 steps pending").arg(Classroom.PendingSteps);
    return {};
}

// The settings the program starts with, no system chosen yet, and the views
// cleared: what a pupil meets after start-up, with the clock running on.
void BackToStart() {
    Settings.SystemMode = 0;
    Settings.DrawMode = 6;
    Settings.PolygonOn = -1.0;
    Settings.PlanetOn.fill(1);
    Settings.TimeStep = 0.5;
    ClearViews();
    Classroom = ClassroomState{};
    ShowSightLines(false);
}

// A choice as the menu bar reports it, through the handler it calls.
void Choose(int32_t item) {
    platform_internal::S().onMenu(item);
}

// Mostly an entry of the bar (titles and closing entries included), now and
// then any number at all.
int32_t RandomItem(QRandomGenerator& random) {
    static const int32_t Odd[] = {std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(),
                                  -1, 31, 80, 81};
    switch (random.bounded(16)) {
        case 0: return random.bounded(-40, 120);
        case 1: return Odd[random.bounded(static_cast<int>(std::size(Odd)))];
        default: return random.bounded(0, 31);
    }
}

// Which modes the animation ran in: SystemMode 0..3 against what is drawn
// (paths, planets, both, planets with the polygon), and each of Mercury to
// Jupiter hidden and shown while a view is animated. (Only "&Vieleck ein/aus"
// switches the polygon on, and it draws planets only; nothing hides the Earth
// or the Sun.)
struct Modes {
    bool Drawn[4][4] = {};
    bool Body[Sun + 1][2] = {};

    void Note() {
        const int system = static_cast<int>(Settings.SystemMode);
        if (system < 0 || system > 3 || Settings.DrawMode < 5 || Settings.DrawMode > 7) return;
        Drawn[system][Settings.PolygonOn > 0 ? 3 : Settings.DrawMode - 5] = true;
        if (system != 0)
            for (int k = Mercury; k <= Jupiter; ++k) Body[k][Settings.PlanetOn[k] == 1] = true;
    }

    QString Missing() const {
        static const char* const What[] = {"paths", "planets", "planets and paths", "polygon"};
        QStringList missing;
        for (int system = 0; system < 4; ++system)
            for (int d = 0; d < 4; ++d)
                if (!Drawn[system][d]) missing << QString("SystemMode %1 with %2").arg(system).arg(What[d]);
        for (int k = Mercury; k <= Jupiter; ++k)
            for (int shown = 0; shown < 2; ++shown)
                if (!Body[k][shown]) missing << QString("body %1 %2").arg(k).arg(shown ? "shown" : "hidden");
        return missing.join(", ");
    }
};

// ---------------------------------------------------------------------------
// Answers to the time-step question

// An answer, and what it stands for.
struct Answer {
    enum Kind { Blank, Number, NoNumber, Unknown };
    Kind kind = Unknown;
    std::string text;  // UTF-8; never a Backspace in it
    double value = 0;  // for a Number
};

// The longest line that the dialog reads as a number, in bytes.
constexpr std::size_t LongestNumber = 60;

// Characters that never belong to a number, to spoil one with.
const char* const Foreign[] = {"x", "a", "i", "n", "f", "d", "#", "/", "_", "*", "\t", "\x01", "\x1b", "\x7f",
                               "\r", "ä", "ß", "€", "😀", "½", "\u0663" /* Arabic-Indic 3 */,
                               "\uff11" /* fullwidth 1 */, "\u00a0" /* no-break space */, "\u2212" /* minus sign */};

// Lines that are no number to the dialog.
const char* const NoNumbers[] = {"inf", "-inf", "+inf", "nan", "-nan", "NaN", "infinity", "1e999", "-1e999", "1e309",
                                 "1e-999", "+", "-", ".", ",", "e", "e5", "1e", "1e+", "1e-", ".e1", "+-1", "-+1",
                                 "++1", "--2", "+ 1", "1 2", "1.2.3", "1,2,3", "1,2.3", "0x10", "1/2", "5d", "5 d"};

// A number from all over the line of doubles, often near the ends of the
// range 0 < dt < 20.
double RandomValue(QRandomGenerator& random) {
    static const double Edges[] = {0.0, -0.0, 20.0, std::nextafter(20.0, 0.0), std::nextafter(20.0, 21.0), 19.99,
                                   0.001, 0.2, 0.5, -1.0, 25.0, 1e-300, std::numeric_limits<double>::denorm_min(),
                                   std::numeric_limits<double>::min(), std::numeric_limits<double>::max(),
                                   std::numeric_limits<double>::lowest()};
    switch (random.bounded(4)) {
        case 0: return Edges[random.bounded(static_cast<int>(std::size(Edges)))];
        case 1: return random.generateDouble() * 20;
        case 2: return (random.generateDouble() - 0.5) * 100;
        default:
            for (;;) {
                const double any = std::bit_cast<double>(random.generate64());
                if (std::isfinite(any)) return any;
            }
    }
}

// The value written the way people might: shortest, fixed or with an
// exponent, a decimal comma, a capital E, leading zeros, a plus sign, spaces
// around. Every way reads back as exactly the same double.
std::string Spelled(double value, QRandomGenerator& random) {
    static const std::chars_format Formats[] = {std::chars_format::general, std::chars_format::fixed,
                                                std::chars_format::scientific};
    char buffer[400];
    std::string text(buffer, std::to_chars(buffer, buffer + sizeof buffer, value, Formats[random.bounded(3)]).ptr);
    if (random.bounded(3) == 0) std::replace(text.begin(), text.end(), '.', ',');
    if (random.bounded(3) == 0) std::replace(text.begin(), text.end(), 'e', 'E');
    if (random.bounded(4) == 0) text.insert(text[0] == '-' ? 1 : 0, random.bounded(1, 4), '0');
    if (!std::signbit(value) && random.bounded(4) == 0) text.insert(0, "+");
    text.insert(0, random.bounded(3), ' ');
    text.append(random.bounded(3), ' ');
    return text;
}

Answer RandomAnswer(QRandomGenerator& random) {
    Answer a;
    switch (random.bounded(12)) {
        case 0:
            a.kind = Answer::Blank;
            a.text.assign(random.bounded(4), ' ');
            break;
        case 1: case 2: case 3: case 4: case 5:
            a.value = RandomValue(random);
            a.text = Spelled(a.value, random);
            a.kind = a.text.size() > LongestNumber ? Answer::NoNumber : Answer::Number;
            break;
        case 6: case 7:  // a number with one foreign character anywhere
            a.text = Spelled(RandomValue(random), random);
            a.text.insert(random.bounded(static_cast<int>(a.text.size()) + 1),
                          Foreign[random.bounded(static_cast<int>(std::size(Foreign)))]);
            a.kind = Answer::NoNumber;
            break;
        case 8:
            a.text = std::string(random.bounded(2), ' ');
            a.text += NoNumbers[random.bounded(static_cast<int>(std::size(NoNumbers)))];
            a.kind = Answer::NoNumber;
            break;
        case 9:  // a 7 after enough zeros to come near the longest number
            a.text = std::string(random.bounded(55, 66), '0') + "7";
            a.value = 7;
            a.kind = a.text.size() > LongestNumber ? Answer::NoNumber : Answer::Number;
            break;
        default: {  // anything, mostly what numbers are made of
            static const QString Characters = "0123456789.,eE+- \t";
            QString line;
            for (int n = random.bounded(16); n > 0; --n) {
                if (random.bounded(8) == 0)
                    line += QString::fromUtf8(Foreign[random.bounded(static_cast<int>(std::size(Foreign)))]);
                else
                    line += Characters[random.bounded(static_cast<int>(Characters.size()))];
            }
            a.text = line.toStdString();
            a.kind = a.text.find_first_not_of(' ') == std::string::npos ? Answer::Blank : Answer::Unknown;
            break;
        }
    }
    return a;
}

// An answer that window 1 shows whole (some twenty cells; an emoji takes two).
Answer TypableAnswer(QRandomGenerator& random) {
    for (;;) {
        Answer a = RandomAnswer(random);
        if (QString::fromStdString(a.text).toUcs4().size() <= 10) return a;
    }
}

// How the user types an answer: now and then a slip first, taken back with
// Backspace ("\b" to the User), one press per character.
QString Typed(const Answer& a, QRandomGenerator& random) {
    QString text = QString::fromStdString(a.text);
    if (random.bounded(4) != 0) return text;
    const QString slip = QString::fromStdString(TypableAnswer(random).text).left(20);
    return slip + QString(slip.toUcs4().size(), QChar('\b')) + text;
}

// What the dialog makes of answers given in turn, through its own reading and
// decision: how many questions it asks and the time step it leaves. When no
// answer ends it, the user closes window 1 at the next question and the time
// step stays as it was.
struct Outcome {
    qsizetype Questions;
    double TimeStep;
};

Outcome DialogOutcome(const QList<Answer>& answers, double timeStep) {
    const double before = timeStep;
    for (qsizetype i = 0; i < answers.size(); ++i) {
        std::string shown = answers[i].text;  // the dialog reads no control characters
        std::erase_if(shown, [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
        if (TakeTimeStep(LineToNumber(shown, timeStep), timeStep)) return {i + 1, timeStep};
    }
    return {answers.size() + 1, before};
}

// A line fit to print: control characters and Backspace as \x escapes.
QString Printable(const QString& line) {
    QString out;
    for (QChar c : line)
        out += c.unicode() < 0x20 || c.unicode() == 0x7F ? QString("\\x%1").arg(c.unicode(), 2, 16, QChar('0'))
                                                         : QString(c);
    return '"' + out + '"';
}

QString Printable(const std::string& line) {
    return Printable(QString::fromStdString(line));
}

}  // namespace

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void init() { SetUpLikeStartUp(); }
    void cleanup() { PlatformEnd(); }

    void randomMenuChoicesBetweenSteps() {
        const int sequences = 10'000 / SoakShare;
        User user;
        Modes modes;
        int quits = 0, dialogs = 0, duringSteps = 0;
        long choicesMade = 0, passesRun = 0, warm = 0;
        for (int sequence = 0; sequence < sequences; ++sequence) {
            if (sequence == sequences / 10) warm = HeldBytes();
            QRandomGenerator random(MenuSeed + sequence);
            // The user's notes of boxes would grow all along.
            user.Boxes.clear();
            user.SimTimes.clear();
            if (random.bounded(8) == 0) BackToStart();
            const int choices = random.bounded(2, 7);
            for (int c = 0; c < choices; ++c) {
                const int32_t item = RandomItem(random);
                ++choicesMade;
                if (item == 27) {
                    ++dialogs;
                    user.Asked.clear();
                    user.Lines.clear();
                    for (int n = random.bounded(4); n > 0; --n) user.Lines << Typed(TypableAnswer(random), random);
                    const int end = random.bounded(8);
                    user.Lines << (end == 0   ? "<close1>"
                                   : end == 1 ? "<close0>"
                                              : QString::number(random.bounded(1, 40) * 0.5));
                }
                // A choice is made between two passes of the main loop, or
                // while a step lets events through, just before a view draws.
                // Now and then a command of EXTRAS, EREIGNISSE or HIMMEL
                // (pausing, stepping, lines of sight, jumps, the strip, the
                // list, the model or the real sky, and numbers beside them;
                // not saving, which writes files, nor the computer's clock).
                // A jump draws up to 2000 steps and the list lays out a long
                // box: those rarer, so that the part's time stays near what it was.
                if (random.bounded(5) == 0) {
                    static constexpr int commands[] = {-1, 0, 1, 2, 3, SkyStripCommand, ModelSkyCommand,
                                                       RealSkyCommand, 99};
                    CommandChoice(commands[random.bounded(int(std::size(commands)))]);
                }
                if (random.bounded(100) == 0) CommandChoice(NextEventCommand + random.bounded(2));
                if (random.bounded(200) == 0) CommandChoice(EventListCommand);
                const bool duringStep = random.bounded(3) == 0;
                duringSteps += duringStep;
                if (duringStep)
                    QMetaObject::invokeMethod(qApp, [item] { Choose(item); }, Qt::QueuedConnection);
                else
                    Choose(item);
                const auto where = [&](const QString& what) {
                    return QString("menu seed %1 + sequence %2, choice %3: item %4%5: %6")
                        .arg(MenuSeed).arg(sequence).arg(c).arg(item)
                        .arg(duringStep ? " during a step" : "").arg(what).toLocal8Bit();
                };
                // Passes of the main loop; a choice pending when the step
                // drew no view is handled at the top of the next pass.
                const int passes = random.bounded(duringStep ? 1 : 0, 5);
                for (int p = 0; p < passes; ++p) {
                    if (!duringStep || p > 0) ProcessEvents();
                    if (!ClassroomWaitsForEvents()) modes.Note();
                    ++passesRun;
                    RunGuarded(ClassroomPass);
                    if (QString problem = Problem(); !problem.isEmpty()) QFAIL(where(problem).constData());
                }
                ProcessEvents();
                if (Shell.EndMarker == "*") {
                    // "&Quit", or window 0's close box in the dialog, ends the
                    // program after the pass; the soak goes on.
                    if (item != 1 && item != 27) QFAIL(where("the program ended").constData());
                    ++quits;
                    Shell.EndMarker.clear();
                }
                if (QString problem = Problem(); !problem.isEmpty()) QFAIL(where(problem).constData());
            }
        }
        std::printf("menu choices: %d sequences, %ld choices (%d during a step, %d dialogs, %d quits), %ld passes\n",
                    sequences, choicesMade, duringSteps, dialogs, quits, passesRun);
        QVERIFY2(modes.Missing().isEmpty(), qPrintable("no step in " + modes.Missing()));
        QVERIFY(quits > 0 && dialogs > 0 && duringSteps > 0);
        const QString grown = Growth("menu choices", warm, 2 << 20);
        QVERIFY2(grown.isEmpty(), qPrintable(grown));
    }

    void randomAnswersThroughTheDialogsReading() {
        const long lines = 100'000;
        double timeStep = 0.5;
        long read = 0, warm = 0;
        int ended = 0, gaveUp = 0;
        for (int dialog = 0; read < lines; ++dialog) {
            if (read >= lines / 10 && warm == 0) warm = HeldBytes();
            QRandomGenerator random(AnswerSeed + dialog);
            const double start = timeStep;
            bool done = false;
            for (int asked = 0; asked < 8 && !done; ++asked, ++read) {
                const Answer a = RandomAnswer(random);
                const double shown = timeStep;
                const double value = LineToNumber(a.text, shown);
                bool right = false;
                switch (a.kind) {
                    case Answer::Blank: right = value == shown; break;
                    case Answer::Number: right = value == a.value; break;
                    case Answer::NoNumber: right = std::isnan(value); break;
                    case Answer::Unknown: right = std::isnan(value) || std::isfinite(value); break;
                }
                done = TakeTimeStep(value, timeStep);
                // Only 0 < dt < 20 ends the dialog; a rejected number is the
                // next default, what is no number leaves the default as it was.
                right = right && done == (value > 0 && value < 20) && timeStep == (std::isnan(value) ? shown : value);
                if (!right)
                    QFAIL(qPrintable(QString("answer seed %1 + dialog %2, answer %3: %4 with default %5 gave %6, %7 %8")
                                         .arg(AnswerSeed).arg(dialog).arg(asked).arg(Printable(a.text))
                                         .arg(shown, 0, 'g', 17).arg(value, 0, 'g', 17)
                                         .arg(done ? "ending the dialog with" : "asking again with")
                                         .arg(timeStep, 0, 'g', 17)));
            }
            // Whoever gives up closes window 1: the step stays as it was.
            if (done) {
                ++ended;
            } else {
                ++gaveUp;
                timeStep = start;
            }
        }
        QVERIFY(ended > lines / 20 && gaveUp > 0);
        const QString grown = Growth("answers", warm, 1 << 20);
        QVERIFY2(grown.isEmpty(), qPrintable(grown));
    }

    void randomTypingIntoTheTimeStepDialog() {
        const int dialogs = 1000;
        User user;
        long warm = 0;
        for (int n = 0; n < dialogs; ++n) {
            if (n == dialogs / 10) warm = HeldBytes();
            QRandomGenerator random(DialogSeed + n);
            QList<Answer> answers;
            user.Asked.clear();
            user.SimTimes.clear();
            user.Lines.clear();
            for (int t = random.bounded(1, 7); t > 0; --t) {
                answers << TypableAnswer(random);
                user.Lines << Typed(answers.last(), random);
            }
            // When all that was rejected, the user either types a good step
            // or gives up and clicks the close box (the step then stays).
            if (random.bounded(3) != 0) {
                Answer good;
                good.kind = Answer::Number;
                good.value = random.bounded(1, 40) * 0.5;
                good.text = Spelled(good.value, random);
                answers << good;
                user.Lines << Typed(good, random);
            }
            const Outcome expected = DialogOutcome(answers, Settings.TimeStep);
            TimeStepDialog();
            if (Settings.TimeStep != expected.TimeStep || user.Asked.size() != expected.Questions) {
                QStringList typed;
                for (const QString& line : user.Lines) typed << Printable(line);
                QFAIL(qPrintable(QString("dialog seed %1 + %2: typed %3: %4 questions, time step %5; expected %6, %7")
                                     .arg(DialogSeed).arg(n).arg(typed.join(", ")).arg(user.Asked.size())
                                     .arg(Settings.TimeStep, 0, 'g', 17).arg(expected.Questions)
                                     .arg(expected.TimeStep, 0, 'g', 17)));
            }
            if (QString problem = Problem(); !problem.isEmpty())
                QFAIL(qPrintable(QString("dialog seed %1 + %2: %3").arg(DialogSeed).arg(n).arg(problem)));
            AnimationStep();
        }
        const QString grown = Growth("typed dialogs", warm, 2 << 20);
        QVERIFY2(grown.isEmpty(), qPrintable(grown));
    }

    void aMillionStepsStayExactAndSmall() {
        Settings.SystemMode = 3;
        Settings.DrawMode = 7;
        Settings.TimeStep = 0.5;
        for (int n = 0; n < 20'000; ++n) AnimationStep();
        const long warm = HeldBytes();
        const long steps = 1'000'000 / SoakShare;
        for (long n = 0; n < steps; ++n) {
            AnimationStep();
            if (n % 100'000 == 0) {
                // The angle grows without bound; sine and cosine still give
                // the exact place for the time reached.
                for (int k = Earth; k <= Jupiter; ++k) {
                    double phi = Planets.Omega[k] * Planets.SimTime;
                    QVERIFY(std::abs(Planets.PosX[k] - Planets.RadiusX[k] * std::cos(phi)) < PixelTolerance);
                    QVERIFY(std::abs(Planets.PosY[k] - Planets.RadiusY[k] * std::sin(phi)) < PixelTolerance);
                }
            }
        }
        // 0.5 is exact in binary: the clock is exactly steps times the step.
        QCOMPARE(Planets.SimTime, (20'000 + steps) * 0.5);
        // Where the Earth stands after 510 000 days (260 000 in the sanitizer
        // build), from the closed form.
        const double phi = 6.28312 / 365 * Planets.SimTime;
        QVERIFY(std::abs(Planets.PosX[Earth] - 192 * std::cos(phi)) < 1e-6);  // pixels, the angle far from zero
        const QString grown = Growth("a million steps", warm, 1 << 20);
        QVERIFY2(grown.isEmpty(), qPrintable(grown));
    }
};

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
