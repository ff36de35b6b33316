// worksheet.cpp — the worksheet and the solution sheet as HTML pages.
//
// Each is one file that any browser shows and prints offline: UTF-8, its
// styles inside, the picture inside as a data URI. Printed, the worksheet
// takes the two sides of one A4 sheet (picture, legend and table, then the
// tasks) and shows the picture for a black-and-white copier instead of the
// coloured one; the solution sheet takes one side.
//
// Every task is about the loop of the moment (sky.h) and about what the
// picture shows of it, and carries its own answer: the worksheet prints the
// tasks, the solution sheet their answers under the same numbers.
#include "app/worksheet.h"

#include "model/calendar.h"
#include "model/decimal.h"
#include "model/ephemeris.h"
#include "model/state.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace {

constexpr double Degrees = 180 / std::numbers::pi;

// The mean synodic periods of the true planets, days, by BodyIndex (an
// almanac's figures), which the model's circles do not have.
constexpr std::array<int, 7> TrueSynodicDays{0, 0, 116, 584, 780, 399, 0};

// An event closer than this (days) to the moment is the moment's own.
constexpr double SameMoment = 1e-6;
// The strip shows a loop begun once the planet has run back this far (degrees).
constexpr double LeastStripDegrees = 1;

bool Inner(int body) { return body == Mercury || body == Venus; }

std::string Quoted(const std::string& text) { return "\u201E" + text + "\u201C"; }

// A moment on the sheets, every one with the same places: "Tag 806,15",
// "19.02.2027 16:49 MEZ".
std::string MomentOf(double day) {
    if (!Skies.Real) return "Tag " + GermanNumber(day, 2);
    return DateTimeText(day) + " " + ZoneText(day);
}

// "am Tag 806,15", "am 19.02.2027 16:49 MEZ".
std::string At(double day) { return "am " + MomentOf(day); }

// A planet's distance from the Sun on the sky, seen from the Earth, degrees.
double FromSun(int body, double day) { return std::abs(TheSky().Bodies.Elongation(body, day).Radians) * Degrees; }

// An angle between two directions, degrees from 0 to 180.
double Between(double a, double b) { return std::abs(std::remainder(a - b, 2 * std::numbers::pi)) * Degrees; }

// What a sheet needs of the sky at its moment.
struct Facts {
    int Body = 0;
    double Day = 0;
    bool Model = true;                   // the model's circles, not the real sky
    std::string Planet;                  // "Mars"
    std::string He, HeCapital, His;      // "er", "Er", "sein"; "sie", "Sie", "ihr"
    std::string Conjunction;             // the bounding conjunction after "der": "Konjunktion", "oberen Konjunktion"
    MomentLoop Span;                     // the loop of the moment and the conjunctions round it
    std::vector<SkyEvent> Events;        // the table's: from the first conjunction (or the moment) to the last
    std::optional<SkyEvent> East, West;  // an inner planet's greatest elongations before and after the loop
};

Facts FactsAt(int body, double day) {
    Facts f;
    f.Body = body;
    f.Day = day;
    f.Model = !Skies.Real;
    f.Planet = BodyName(body);
    f.He = body == Venus ? "sie" : "er";
    f.HeCapital = body == Venus ? "Sie" : "Er";
    f.His = body == Venus ? "ihr" : "sein";
    f.Conjunction = Inner(body) ? "oberen Konjunktion" : "Konjunktion";
    f.Span = LoopOfMoment(body, day);
    f.Events = TheSky().Events.Of(body, std::min(day, f.Span.Before.Day), f.Span.After.Day);
    for (const SkyEvent& e : f.Events) {
        if (e.Kind == EventKind::GreatestEastElongation && e.Day < f.Span.Loop.FirstDay) f.East = e;
        if (e.Kind == EventKind::GreatestWestElongation && e.Day > f.Span.Loop.LastDay && !f.West) f.West = e;
    }
    return f;
}

// The model's figures say so: "806,15 Tage im Modell".
std::string InModel(const Facts& f) { return f.Model ? " im Modell" : ""; }

// A span of days as the sheets give it: to the table's places in the
// model, whole days between dates.
std::string DaysText(const Facts& f, double days) {
    return f.Model ? GermanNumber(days, 2) + " Tage im Modell" : "etwa " + GermanNumber(days, 0) + " Tage";
}

std::string DegreesText(const Facts& f, double degrees, int places) {
    return GermanNumber(degrees, places) + "°" + InModel(f);
}

// ---------------------------------------------------------------------------
// The tasks, each with its answer.

// The picture's parts the tasks keep to.
struct Shown {
    bool Loop = false;         // the drawn paths hold a standstill of the planet: a loop, or part of one
    double StripBack = 0;      // degrees the strip shows the planet run back in the loop of the moment; 0 none
};

Shown WhatIsShown(const Facts& f, const WorksheetPicture& picture) {
    Shown s;
    if (picture.PathsTo > picture.PathsFrom) {
        const std::vector<SkyEvent> drawn = TheSky().Events.Of(f.Body, picture.PathsFrom, picture.PathsTo);
        s.Loop = std::any_of(drawn.begin(), drawn.end(), [](const SkyEvent& e) {
            return e.Kind == EventKind::StationRetrograde || e.Kind == EventKind::StationDirect;
        });
    }
    const LoopFigures& loop = f.Span.Loop;
    if (picture.StripShown && loop.FirstDay <= f.Day && f.Day <= loop.LastDay) {
        const double back = std::remainder(StripDirection(f.Body, loop.FirstDay) -
                                               StripDirection(f.Body, f.Day),
                                           2 * std::numbers::pi) *
                            Degrees;
        if (back >= LeastStripDegrees) s.StripBack = back;
    }
    return s;
}

SheetTask PathTask(const Facts& f, const Shown& shown) {
    const std::string& p = f.Planet;
    const std::string orbit = f.Model ? "einem Kreis gleichmäßig" : "einer Ellipse";
    if (!shown.Loop)
        return {"Beschreiben Sie, wo die Sonne, die Erde und " + p + " im linken und im rechten Bild stehen, und "
                "vergleichen Sie die Richtung von der Erde zu " + p + " in beiden Bildern.",
                3, 2, 4,
                "Im linken Bild steht die Sonne in der Mitte; die Erde und " + p + " stehen auf ihren Bahnen um "
                "sie. Im rechten Bild steht die Erde in der Mitte, und die Sonne und " + p + " stehen um sie "
                "herum. Die Richtung und der Abstand von der Erde zu " + p + " sind in beiden Bildern dieselben: "
                "Das rechte Bild ist das linke, nur mit der Erde als Mittelpunkt."};
    const std::string same = " Beide Bilder zeigen dieselbe Bewegung, einmal von der Sonne und einmal von der Erde "
                             "aus gesehen.";
    return {"Beschreiben Sie die Bahn von " + p + " im rechten Bild, in dem die Erde ruht, und vergleichen Sie sie "
            "mit " + f.His + "er Bahn im linken Bild, in dem die Sonne ruht.",
            3, 2, 4,
            Inner(f.Body)
                ? "Im linken Bild läuft " + p + " auf " + orbit + " innerhalb der Erdbahn um die Sonne. Im rechten "
                  "Bild läuft die Sonne um die Erde, und " + p + " läuft in Schleifen mit ihr: " + f.HeCapital +
                  " bleibt immer in der Nähe der Sonne und läuft zeitweise rückwärts." + same
                : "Im linken Bild läuft " + p + " auf " + orbit + " um die Sonne, immer in derselben Richtung. Im "
                  "rechten Bild läuft " + f.He + " um die Erde, zieht dabei aber eine Schleife: Eine Zeit lang "
                  "läuft " + f.He + " rückwärts und dann wieder vorwärts." + same};
}

SheetTask AngleTask(const Facts& f) {
    const std::string& p = f.Planet;
    const double picture = Between(ScreenDirection(f.Body, f.Day), ScreenDirection(Sun, f.Day));
    std::string answer = "Im Bild misst der Winkel etwa " + DegreesText(f, picture, 0) + ".";
    // The views show the orbits from above: directions in the plane of the
    // Earth's orbit. On the sky the planet stands off that plane by its
    // latitude, and its distance from the Sun differs.
    const double sky = FromSun(f.Body, f.Day);
    if (!f.Model && GermanNumber(sky, 0) != GermanNumber(picture, 0)) {
        const double latitude = Apparent(f.Body, f.Day).Latitude * Degrees;
        answer += " Am Himmel stehen " + p + " und die Sonne " + GermanNumber(sky, 0) + "° voneinander entfernt, "
                  "wie es die Ereignisliste angibt: Das Bild zeigt die Bahnen von oben, also nur die Richtungen in "
                  "der Ebene der Erdbahn; " + p + " steht aber " + GermanNumber(std::abs(latitude), 1) + "° " +
                  (latitude < 0 ? "südlich" : "nördlich") + " dieser Ebene.";
    }
    return {Inner(f.Body) ? "Messen Sie im rechten Bild mit dem Geodreieck die Elongation von " + p +
                                ": den Winkel zwischen der Richtung von der Erde zur Sonne und der Richtung von der "
                                "Erde zu " + p + "."
                          : "Messen Sie im rechten Bild mit dem Geodreieck den Winkel zwischen der Richtung von "
                            "der Erde zur Sonne und der Richtung von der Erde zu " + p + ".",
            1, 1, 2, answer};
}

SheetTask ElongationTask(const Facts& f) {
    const std::string& p = f.Planet;
    auto angle = [&f](const SkyEvent& e) { return DegreesText(f, FromSun(f.Body, e.Day), 1); };
    return {"Geben Sie mithilfe der Tabelle an, wann " + p + " vor " + f.His + "er Schleife die größte östliche "
            "und wann " + f.He + " nach ihr die größte westliche Elongation erreicht. Geben Sie an, ob " + p +
            " dann jeweils am Abendhimmel oder am Morgenhimmel zu sehen ist, und begründen Sie Ihre Angabe.",
            3, 2, 4,
            "Die größte östliche Elongation erreicht " + p + " " + At(f.East->Day) + " (" + angle(*f.East) +
                "), die größte westliche " + At(f.West->Day) + " (" + angle(*f.West) + "). Bei der östlichen "
                "steht " + p + " östlich der Sonne und geht nach ihr unter: " + f.HeCapital +
                " ist am Abendhimmel zu sehen. Bei der westlichen steht " + f.He + " westlich der Sonne und geht "
                "vor ihr auf: " + f.HeCapital + " ist am Morgenhimmel zu sehen."};
}

SheetTask LoopTask(const Facts& f) {
    const LoopFigures& loop = f.Span.Loop;
    const std::string& p = f.Planet;
    return {"Geben Sie mithilfe der Tabelle an, wann " + p + " rückläufig wird (" +
                Quoted(EventName(EventKind::StationRetrograde)) + ") und wann " + f.He + " wieder rechtläufig wird (" +
                Quoted(EventName(EventKind::StationDirect)) + "). Berechnen Sie, wie viele Tage diese Schleife "
                "dauert.",
            2, 1, 3,
            p + " wird " + At(loop.FirstDay) + " rückläufig und " + At(loop.LastDay) + " wieder rechtläufig. Die "
                "Schleife dauert " + DaysText(f, loop.Days) + "."};
}

SheetTask StripTask(const Facts& f, const Shown& shown) {
    const std::string& p = f.Planet;
    const std::string still = "Stillstand am " + TheSky().Texts.DayLabel(f.Span.Loop.FirstDay);
    return {"Messen Sie am Himmelsstreifen unter den Bildern, über wie viel Grad " + p + " seit " + f.His +
                "em " + still + " schon zurückgelaufen ist.",
            1, 1, 2,
            "Seit " + f.His + "em " + still + " ist " + p + " im Himmelsstreifen um etwa " +
                DegreesText(f, shown.StripBack, 1) + " zurückgelaufen. Die ganze Schleife misst " +
                DegreesText(f, f.Span.Loop.WidthDegrees, 1) + "; der Streifen zeigt sie bis zum Moment des Bildes."};
}

SheetTask SynodicTask(const Facts& f) {
    const std::string& p = f.Planet;
    const SkyEvent& from = f.Span.Before;
    const SkyEvent& to = f.Span.After;
    const int mean = TrueSynodicDays[f.Body];
    const std::string conjunction = Quoted(EventName(from.Kind));
    const double days = to.Day - from.Day;
    const long apart = std::lround(days - mean);
    std::string answer = "Von der " + f.Conjunction + " " + At(from.Day) + " bis zu der " + At(to.Day) +
                         " vergehen " + DaysText(f, days) + ".";
    const std::string difference = std::to_string(std::abs(apart)) + (std::abs(apart) == 1 ? " Tag " : " Tage ") +
                                   (apart > 0 ? "mehr" : "weniger");
    if (f.Model)
        answer += (apart != 0 ? " Das sind " + difference + " als " +
                                    (f.Body == Venus ? "bei der echten Venus, die" : "beim echten " + p + ", der") +
                                    " im Mittel " + std::to_string(mean) + " Tage braucht."
                              : "") +
                  " Die Umlaufzeiten des Modells sind nicht die echten.";
    else
        answer += " Im Mittel sind es " + std::to_string(mean) + " Tage" +
                  (apart != 0 ? ", hier also etwa " + difference : "") +
                  ". Eine einzelne synodische Umlaufzeit weicht vom Mittel ab, weil die Bahnen der Erde und von " + p +
                  " Ellipsen sind: Nahe der Sonne laufen die Planeten schneller, und so holt die Erde " + p +
                  " mal früher und mal später wieder ein.";
    return {"Berechnen Sie mithilfe der Tabelle die synodische Umlaufzeit von " + p + InModel(f) +
                ": die Zeit zwischen den beiden Ereignissen " + conjunction + ". Vergleichen Sie sie mit der " +
                (f.Model ? "echten" : "mittleren") + " synodischen Umlaufzeit von " + std::to_string(mean) +
                " Tagen.",
            2, 2, 3, answer};
}

SheetTask ExplainTask(const Facts& f) {
    const std::string& p = f.Planet;
    if (Inner(f.Body)) {
        // The table's two greatest elongations, both where they differ (Mercury's orbit is eccentric).
        std::string greatest;
        if (f.East && f.West) {
            auto angle = [&f](const SkyEvent& e) { return GermanNumber(FromSun(f.Body, e.Day), 0) + "°"; };
            const std::string east = angle(*f.East), west = angle(*f.West);
            greatest = " (hier " + east + (west != east ? " und " + west : "") + InModel(f) + ")";
        }
        return {"Erklären Sie mithilfe beider Bilder, warum " + p + " von der Erde aus gesehen nie weiter als bis "
                "zur größten Elongation von der Sonne abrückt und deshalb nie um Mitternacht am Himmel steht.",
                4, 2, 4,
                p + " läuft innerhalb der Erdbahn um die Sonne. Von der Erde aus gesehen ist " + f.His + " Winkel "
                "zur Sonne am größten, wenn die Sichtlinie " + f.His + "e Bahn gerade berührt: Das ist die größte "
                "Elongation" + greatest + ". Um Mitternacht blickt man genau von der Sonne weg, 180° von ihr "
                "entfernt; so weit kann " + p + " nie von der Sonne abrücken."};
    }
    return {"Erklären Sie mithilfe des linken Bildes, warum " + p + " um die Opposition herum von der Erde aus "
            "gesehen rückwärts läuft.",
            4, 2, 4,
            "Die Erde läuft auf ihrer inneren Bahn schneller um die Sonne als " + p + ". Um die Opposition stehen "
            "Sonne, Erde und " + p + " in einer Linie, und die Erde überholt " + p + ". Die Sichtlinie von der "
            "Erde zu " + p + " dreht sich deshalb eine Zeit lang rückwärts, und " + p + " scheint vor den Sternen "
            "zurückzulaufen. " + p + " selbst läuft dabei immer vorwärts um die Sonne."};
}

// The information box's questions (DESK, "Info"), put with operators.
std::vector<SheetTask> Questions() {
    return {
        {"Erläutern Sie, inwiefern das heliozentrische und das geozentrische Bild gleichwertig sind und weshalb "
         "dennoch das heliozentrische bevorzugt wird.",
         3, 2, 4,
         "Beide Bilder beschreiben dieselbe Bewegung: heliogeo rechnet das rechte Bild aus dem linken, indem es nur "
         "den Ursprung von der Sonne zur Erde verschiebt, und die Sichtlinien zeigen in beiden Bildern in dieselbe "
         "Richtung. Bevorzugt wird das heliozentrische Bild, weil die Planeten darin auf einfachen Bahnen um die "
         "Sonne laufen statt in Schleifen; so lassen sich ihre Bewegungen einfacher beschreiben und mit der "
         "Anziehung der Sonne erklären (Kepler, Newton)."},
        {"Beurteilen Sie die Aussage \u201EDas geozentrische Bild ist falsch.\u201C",
         3, 3, 4,
         "Die Aussage trifft so nicht zu: Als Beschreibung dessen, was man von der Erde aus sieht, ist das "
         "geozentrische Bild ebenso richtig wie das heliozentrische, denn beide zeigen dieselbe Bewegung von zwei "
         "Standpunkten aus. Falsch ist nur die Vorstellung, die Erde sei der Mittelpunkt, um den alles läuft: Die "
         "Schleifen entstehen gerade, weil die Erde selbst um die Sonne läuft. Zum Erklären der Bewegungen ist das "
         "heliozentrische Bild das einfachere und physikalisch begründete."},
    };
}

std::vector<SheetTask> Tasks(const Facts& f, const WorksheetPicture& picture) {
    const Shown shown = WhatIsShown(f, picture);
    std::vector<SheetTask> tasks{PathTask(f, shown), AngleTask(f)};
    if (Inner(f.Body) && f.East && f.West) tasks.push_back(ElongationTask(f));
    tasks.push_back(LoopTask(f));
    if (shown.StripBack > 0) tasks.push_back(StripTask(f, shown));
    tasks.push_back(SynodicTask(f));
    tasks.push_back(ExplainTask(f));
    return tasks;
}

// ---------------------------------------------------------------------------
// The page round a sheet.

constexpr const char* Style = R"(
@page { size: A4; margin: 12mm 14mm; }
html { color: #000; background: #fff; }
body { font-family: "DejaVu Sans", Arial, Helvetica, sans-serif; font-size: 10pt; line-height: 1.3;
       max-width: 182mm; margin: 1em auto; padding: 0 1em; }
h1 { font-size: 14pt; margin: 0 0 .2em; }
h2 { font-size: 11.5pt; margin: .7em 0 .3em; break-after: avoid; page-break-after: avoid; }
p { margin: .25em 0; }
p.note { font-style: italic; }
table.fields { width: 100%; border-collapse: collapse; table-layout: fixed; margin: .4em 0 .6em; }
table.fields td { padding: .3em 1em .3em 0; white-space: nowrap; }
table.fields td:first-child { width: 45%; }
span.blank { display: inline-block; width: calc(100% - 4.5em); height: 1.1em; border-bottom: 1px solid #000;
             vertical-align: bottom; }
figure { margin: 0; }
figure img { display: block; width: 100%; height: auto; border: 1px solid #000; box-sizing: border-box; }
figure img.print { display: none; }
figcaption { font-size: 8.5pt; line-height: 1.25; margin-top: .3em; }
table.events { border-collapse: collapse; width: 100%; }
table.events th, table.events td { border: 1px solid #000; padding: .12em .5em; text-align: left; }
table.events tr { break-inside: avoid; page-break-inside: avoid; }
table.events tr.now { font-weight: bold; }
ol { padding-left: 1.6em; margin: .2em 0; }
ol.tasks > li { margin-bottom: .5em; break-inside: avoid; page-break-inside: avoid; }
div.room > div { height: 6mm; border-bottom: 1px solid #666; }
ol.answers { list-style: none; padding-left: 0; }
ol.answers > li { margin-bottom: .6em; break-inside: avoid; page-break-inside: avoid; }
ol.answers p.task { font-weight: bold; margin-bottom: .1em; }
@media print {
  body { max-width: none; margin: 0; padding: 0; }
  figure img.screen { display: none; }
  figure img.print { display: block; width: auto; max-width: 100%; max-height: 135mm; margin: 0 auto; }
}
)";

// The heading both sheets share: the planet and the moment.
std::string Heading(const std::string& kind, const Facts& f) {
    return kind + ": " + f.Planet + " \u2013 " + MomentOf(f.Day) + (f.Model ? " (im Modell)" : "");
}

// Room to write: ruled lines.
std::string Room(int lines) {
    std::string room = "<div class=\"room\">";
    for (int i = 0; i < lines; ++i) room += "<div></div>";
    return room + "</div>";
}

// What a pupil needs to read the black-and-white picture.
std::string Legend(const Facts& f, const WorksheetPicture& picture) {
    std::string legend = "Zum Bild: SO Sonne, ME Merkur, VE Venus, ER Erde, MA Mars, JU Jupiter. Beide Bilder "
                         "zeigen die Bahnen von der Südseite der Ekliptik (der Ebene der Erdbahn) aus; deshalb "
                         "laufen die Planeten im Uhrzeigersinn.";
    if (picture.PathsTo > picture.PathsFrom)
        legend += " Im rechten Bild ist die Linie durch SO rund um die Erde die Bahn der Sonne.";
    if (picture.SightLines)
        legend += " Die Linien von der Erde aus sind Sichtlinien: Sie zeigen, in welcher Richtung ein Planet von der "
                  "Erde aus zu sehen ist.";
    if (!f.Model)
        legend += " Die Bahnen sind maßstabsgetreu: Der Balken zeigt 1 AE, der Pfeil die Richtung zum "
                  "Frühlingspunkt.";
    if (picture.StripShown)
        legend += " Der Himmelsstreifen darunter zeigt den ganzen Himmel rund um die Erde, wie man ihn nach Süden "
                  "blickend sieht, mit Osten links; die oberste Punktreihe ist der Moment des Bildes, darunter "
                  "folgen die Tage bis ein Jahr zuvor.";
    return legend;
}

// The table's rows, the moment of the picture among them (bold).
std::string EventRows(const Facts& f) {
    std::string rows;
    bool placed = false;
    auto row = [&rows](double day, const std::string& what, bool now) {
        rows += std::string(now ? "<tr class=\"now\">" : "<tr>") + "<td>" + HtmlEscaped(MomentOf(day)) + "</td><td>" +
                HtmlEscaped(what) + "</td></tr>\n";
    };
    for (const SkyEvent& e : f.Events) {
        const bool now = std::abs(e.Day - f.Day) < SameMoment;
        if (!placed && !now && e.Day > f.Day) {
            row(f.Day, "Moment des Bildes", true);
            placed = true;
        }
        placed = placed || now;
        row(e.Day, EventName(e.Kind) + (now ? " (Moment des Bildes)" : ""), now);
    }
    if (!placed) row(f.Day, "Moment des Bildes", true);
    return rows;
}

std::string AreaText(int area) { return area == 1 ? "I" : area == 2 ? "II" : "III"; }

}  // namespace

std::string HtmlEscaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string SheetPage(const std::string& title, const std::string& body, const std::string& style) {
    return "<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
           HtmlEscaped(title) + "</title>\n<style>" + Style + style + "</style>\n</head>\n<body>\n" + body +
           "</body>\n</html>\n";
}

std::string TaskItem(int number, const SheetTask& task) {
    return "<li id=\"aufgabe-" + std::to_string(number) + "\"><p>" + HtmlEscaped(task.Text) + "</p>" +
           Room(task.Lines) + "</li>\n";
}

std::string AnswerItem(int number, const SheetTask& task) {
    const std::string n = std::to_string(number);
    return "<li id=\"loesung-" + n + "\"><p class=\"task\">Aufgabe " + n + " \u2013 Anforderungsbereich " +
           AreaText(task.Area) + ", " + std::to_string(task.Points) + " Punkte</p><p>" + HtmlEscaped(task.Answer) +
           "</p></li>\n";
}

int WorksheetPlanet(const std::optional<SkyEvent>& atEvent, const std::array<int16_t, 7>& planetOn) {
    if (atEvent && atEvent->Body >= Mercury && atEvent->Body <= Jupiter && planetOn[atEvent->Body] == 1)
        return atEvent->Body;
    for (int k = Mercury; k <= Jupiter; ++k)
        if (planetOn[k] == 1) return k;
    return 0;
}

std::string WorksheetHtml(int body, double day, const WorksheetPicture& picture) {
    const Facts f = FactsAt(body, day);
    const std::vector<SheetTask> tasks = Tasks(f, picture);
    std::string html = "<section class=\"picture\">\n<h1>" + HtmlEscaped(Heading("Arbeitsblatt", f)) + "</h1>\n";
    if (f.Model)
        html += "<p class=\"note\">Die Zahlen dieses Blattes gelten im Modell von heliogeo: Seine Bahnen sind "
                "Kreise, seine Umlaufzeiten und Radien nicht die echten.</p>\n";
    html += "<table class=\"fields\"><tr><td>Name: <span class=\"blank\"></span></td>"
            "<td>Klasse: <span class=\"blank\"></span></td><td>Datum: <span class=\"blank\"></span></td></tr>"
            "</table>\n";
    const std::string shows = std::string("links die Sonne in Ruhe (heliozentrisch), rechts die Erde in Ruhe "
                                          "(geozentrisch)") +
                              (picture.StripShown ? ", darunter der Himmelsstreifen" : "");
    html += "<figure>\n<img class=\"screen\" alt=\"Das Bild von heliogeo: " + shows +
            "\" src=\"data:image/png;base64," + Base64(picture.Png) + "\">\n";
    html += "<img class=\"print\" alt=\"Dasselbe Bild für den Schwarz-Weiß-Druck\" src=\"data:image/png;base64," +
            Base64(picture.PrintPng) + "\">\n";
    html += "<figcaption>Das Bild von heliogeo " + HtmlEscaped(At(day)) + ": " + shows + ". " +
            HtmlEscaped(Legend(f, picture)) + "</figcaption>\n</figure>\n";

    html += "<h2>Die Ereignisse von " + HtmlEscaped(f.Planet) + " um " + f.His + "e Schleife</h2>\n";
    html += "<p>Aus der Ereignisliste von heliogeo" + InModel(f) + ": " +
            (day < f.Span.Before.Day ? "vom Moment des Bildes"
                                     : "von der " + f.Conjunction + " vor der Schleife") +
            " bis zur " + f.Conjunction + " nach ihr; fett der Moment des Bildes.</p>\n";
    html += std::string("<table class=\"events\">\n<thead><tr><th>") +
            (f.Model ? "Tag" : "Datum und Uhrzeit") + "</th><th>Ereignis</th></tr></thead>\n<tbody>\n" +
            EventRows(f) + "</tbody>\n</table>\n</section>\n";

    html += "<section class=\"work\">\n<h2>Aufgaben</h2>\n<ol class=\"tasks\">\n";
    int n = 0;
    for (const SheetTask& task : tasks) html += TaskItem(++n, task);
    html += "</ol>\n<h2>Fragestellungen</h2>\n<p>Aus der Information von heliogeo (Menü DESK, \u201EInfo\u201C):</p>\n"
            "<ol class=\"questions\" start=\"" + std::to_string(n + 1) + "\">\n";
    for (const SheetTask& question : Questions()) html += TaskItem(++n, question);
    html += "</ol>\n</section>\n";
    return SheetPage(Heading("Arbeitsblatt", f), html);
}

std::string SolutionSheetHtml(int body, double day, const WorksheetPicture& picture) {
    const Facts f = FactsAt(body, day);
    std::vector<SheetTask> tasks = Tasks(f, picture);
    for (const SheetTask& question : Questions()) tasks.push_back(question);
    std::string html = "<section class=\"answers\">\n<h1>" + HtmlEscaped(Heading("Lösungsblatt", f)) + "</h1>\n";
    html += "<p>Erwartungshorizont zum Arbeitsblatt über " + HtmlEscaped(f.Planet) + " " + HtmlEscaped(At(day)) +
            ". Alle Zahlen hat heliogeo aus den Ereignissen von " + HtmlEscaped(f.Planet) + " berechnet" +
            (f.Model ? ", im Modell von heliogeo" : "") +
            ". Ein Winkel, den Schülerinnen und Schüler im Bild mit dem Geodreieck messen, darf um wenige Grad "
            "abweichen.</p>\n<ol class=\"answers\">\n";
    int n = 0, points = 0;
    for (const SheetTask& task : tasks) {
        points += task.Points;
        html += AnswerItem(++n, task);
    }
    html += "</ol>\n<p>Zusammen " + std::to_string(points) + " Punkte.</p>\n</section>\n";
    return SheetPage(Heading("Lösungsblatt", f), html);
}

std::string Base64(const std::string& bytes) {
    static constexpr char Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        uint32_t v = 0;
        for (std::size_t k = 0; k < 3; ++k)
            v = v << 8 | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k) out += k <= n ? Digits[v >> (18 - 6 * k) & 0x3F] : '=';
    }
    return out;
}
