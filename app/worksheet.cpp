// worksheet.cpp — the worksheet and the solution sheet as HTML pages.
//
// Each is one file that any browser shows and prints offline: UTF-8, its
// styles inside, the picture inside as a data URI. Printed, it fills A4
// pages, each section starting a page of its own, and shows the picture
// for a black-and-white copier instead of the coloured one.
#include "app/worksheet.h"

#include "model/decimal.h"
#include "model/event_list.h"
#include "model/state.h"
#include "ui/ui.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

namespace {

constexpr double Degrees = 180 / std::numbers::pi;

// The mean synodic periods of the true planets, days, by BodyIndex (an
// almanac's figures), which the model's circles do not have.
constexpr std::array<int, 7> TrueSynodicDays{0, 0, 116, 584, 780, 399, 0};

bool Inner(int body) { return body == Mercury || body == Venus; }

// The event that a planet's synodic period runs between: inner planets pass
// between the Sun and the Earth, outer ones stand opposite the Sun.
EventKind Defining(int body) { return Inner(body) ? EventKind::InferiorConjunction : EventKind::Opposition; }

std::string Escaped(const std::string& text) {
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

// What a sheet needs of the sky at its moment.
struct Facts {
    int Body = 0;
    double Day = 0;
    bool Model = true;               // the model's circles, not the real sky
    std::string Planet;              // "Mars"
    std::string Moment;              // "Tag 806,15", "19.02.2027 16:49"
    std::vector<SkyEvent> Events;    // the planet's events of the table
    double TableEnd = 0;             // the table's last day
    std::pair<SkyEvent, SkyEvent> Synodic;  // the two its synodic period is read between
    LoopFigures Loop;
};

std::string MomentOf(double day) { return TheSky().MomentText(day, 0); }

// The model's figures say so: "806,15 Tage im Modell".
std::string InModel(const Facts& f) { return f.Model ? " im Modell" : ""; }

Facts FactsAt(int body, double day) {
    Facts f;
    f.Body = body;
    f.Day = day;
    f.Model = !Skies.Real;
    f.Planet = BodyName(body);
    f.Moment = MomentOf(day);
    f.Loop = NextLoop(body, day);
    // The list's events of this planet, and on to the end of a synodic
    // period that the list holds twice: two of the defining events where it
    // has them, else the first event that comes again. Only where the list
    // holds no event twice does the table go on past it.
    std::array<int16_t, 7> only{};
    only.fill(-1);
    only[body] = 1;
    const std::vector<SkyEvent> ahead = EventsBetween(day, day + 2 * EventListDays, only);
    std::optional<std::pair<SkyEvent, SkyEvent>> defining, earliest;
    for (std::size_t i = 0; i < ahead.size(); ++i)
        for (std::size_t j = i + 1; j < ahead.size(); ++j) {
            if (ahead[j].Kind != ahead[i].Kind) continue;
            const std::pair pair{ahead[i], ahead[j]};
            if (ahead[i].Kind == Defining(body) && !defining) defining = pair;
            if (!earliest || ahead[j].Day < earliest->second.Day) earliest = pair;
            break;
        }
    if (defining && defining->second.Day <= day + EventListDays) f.Synodic = *defining;
    else if (earliest) f.Synodic = *earliest;
    f.TableEnd = std::max(day + EventListDays, f.Synodic.second.Day);
    for (const SkyEvent& e : ahead)
        if (e.Day <= f.TableEnd) f.Events.push_back(e);
    return f;
}

// ---------------------------------------------------------------------------
// The page round a sheet's sections.

constexpr const char* Style = R"(
@page { size: A4; margin: 15mm; }
html { color: #000; background: #fff; }
body { font-family: "DejaVu Sans", Arial, Helvetica, sans-serif; font-size: 11pt; line-height: 1.35;
       max-width: 180mm; margin: 1em auto; padding: 0 1em; }
h1 { font-size: 16pt; margin: 0 0 .3em; }
h2 { font-size: 13pt; margin: 1.2em 0 .4em; }
p.note { font-style: italic; margin: .2em 0; }
table.fields { width: 100%; border-collapse: collapse; table-layout: fixed; margin: .8em 0 1em; }
table.fields td { padding: .4em 1em .4em 0; white-space: nowrap; }
table.fields td:first-child { width: 45%; }
span.blank { display: inline-block; width: calc(100% - 4.5em); height: 1.1em; border-bottom: 1px solid #000;
             vertical-align: bottom; }
figure { margin: 0; }
figure img { display: block; width: 100%; height: auto; border: 1px solid #000; box-sizing: border-box; }
figure img.print { display: none; }
figcaption { font-size: 9.5pt; margin-top: .4em; }
table.events, table.answers { border-collapse: collapse; width: 100%; }
table.events th, table.events td, table.answers th, table.answers td {
  border: 1px solid #000; padding: .25em .5em; text-align: left; vertical-align: top; }
table.events tr, table.answers tr { break-inside: avoid; page-break-inside: avoid; }
ol.tasks > li, ol.questions > li { margin-bottom: 1em; break-inside: avoid; page-break-inside: avoid; }
div.room > div { height: 8mm; border-bottom: 1px solid #666; }
section + section { break-before: page; page-break-before: always; }
@media screen {
  section + section { border-top: 2px solid #999; margin-top: 2em; padding-top: 1em; }
}
@media print {
  body { max-width: none; margin: 0; padding: 0; }
  figure img.screen { display: none; }
  figure img.print { display: block; width: auto; max-width: 100%; max-height: 200mm; }
}
)";

std::string Page(const std::string& title, const std::string& body) {
    return "<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
           Escaped(title) + "</title>\n<style>" + Style + "</style>\n</head>\n<body>\n" + body + "</body>\n</html>\n";
}

// The heading both sheets share: the planet and the moment.
std::string Heading(const std::string& kind, const Facts& f) {
    return kind + ": " + f.Planet + " \u2013 " + f.Moment + (f.Model ? " (im Modell)" : "");
}

// Room to write: ruled lines.
std::string Room(int lines) {
    std::string room = "<div class=\"room\">";
    for (int i = 0; i < lines; ++i) room += "<div></div>";
    return room + "</div>";
}

struct Task {
    std::string Text;
    int Lines;
};

std::vector<Task> Tasks(const Facts& f, bool stripShown) {
    const std::string& p = f.Planet;
    const std::string when = f.Model ? "an welchem Tag" : "an welchem Datum";
    const std::string period =
        "Bestimmen Sie aus der Tabelle die synodische Umlaufzeit von " + p + InModel(f) +
        ": die Zeit zwischen zwei aufeinanderfolgenden Ereignissen \u201E" + EventName(f.Synodic.first.Kind) +
        "\u201C." +
        (f.Model ? " Vergleichen Sie sie mit der echten synodischen Umlaufzeit von " +
                       std::to_string(TrueSynodicDays[f.Body]) + " Tagen."
                 : "");
    const std::string loop = "Bestimmen Sie aus der Tabelle, " + when + " " + p +
                             " beginnt, rückwärts zu laufen (\u201EStillstand (rückläufig)\u201C), " + when +
                             " " + p + " wieder vorwärts läuft (\u201EStillstand (rechtläufig)\u201C) und wie "
                             "viele Tage diese Schleife dauert. Nehmen Sie die erste Schleife, die in der Tabelle mit "
                             "\u201EStillstand (rückläufig)\u201C beginnt.";
    std::vector<Task> tasks{
        {"Beschreiben Sie die Bahn von " + p + " im rechten Bild, in dem die Erde ruht, und vergleichen Sie sie "
         "mit der Bahn im linken Bild, in dem die Sonne ruht.",
         4},
    };
    if (Inner(f.Body)) {
        tasks.push_back({"Bestimmen Sie im rechten Bild mit dem Geodreieck die Elongation von " + p +
                             ": den Winkel zwischen der Richtung von der Erde zur Sonne und der Richtung von der "
                             "Erde zu " + p + ".",
                         2});
        tasks.push_back({"Bestimmen Sie aus der Tabelle, " + when + " " + p + " die größte östliche und " + when +
                             " die größte westliche Elongation erreicht. Beschreiben Sie, ob " + p +
                             " dann am Abendhimmel oder am Morgenhimmel zu sehen ist.",
                         3});
        tasks.push_back({period, 3});
        tasks.push_back({loop, 3});
        tasks.push_back({"Erklären Sie mithilfe beider Bilder, warum " + p + " von der Erde aus gesehen nie weiter "
                             "als bis zur größten Elongation von der Sonne abrückt und deshalb nie um Mitternacht "
                             "am Himmel steht.",
                         5});
    } else {
        tasks.push_back({"Bestimmen Sie im rechten Bild mit dem Geodreieck den Winkel zwischen der Richtung von "
                         "der Erde zur Sonne und der Richtung von der Erde zu " + p + ".",
                         2});
        tasks.push_back({loop, 3});
        if (stripShown)
            tasks.push_back({"Bestimmen Sie am Himmelsstreifen unter den Bildern, über wie viel Grad " + p +
                                 " in seiner Schleife am Himmel zurückläuft.",
                             2});
        tasks.push_back({period, 3});
        tasks.push_back({"Erklären Sie mithilfe des linken Bildes, warum " + p + " um die Opposition herum von "
                         "der Erde aus gesehen rückwärts läuft.",
                         5});
    }
    return tasks;
}

// A planet's angle from the Sun as the picture shows it, seen from the
// Earth: what a set square measures in the views.
double PictureAngle(int body, double day) {
    return std::abs(std::remainder(ScreenDirection(body, day) - ScreenDirection(Sun, day), 2 * std::numbers::pi)) *
           Degrees;
}

std::string DaysText(double days) { return GermanNumber(days, 2) + " Tage"; }

}  // namespace

int WorksheetPlanet(const std::optional<SkyEvent>& atEvent, const std::array<int16_t, 7>& planetOn) {
    if (atEvent && atEvent->Body >= Mercury && atEvent->Body <= Jupiter && planetOn[atEvent->Body] == 1)
        return atEvent->Body;
    for (int k = Mercury; k <= Jupiter; ++k)
        if (planetOn[k] == 1) return k;
    return 0;
}

std::string WorksheetHtml(int body, double day, const WorksheetPicture& picture) {
    const Facts f = FactsAt(body, day);
    std::string html = "<section class=\"picture\">\n<h1>" + Escaped(Heading("Arbeitsblatt", f)) + "</h1>\n";
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
    html += "<figcaption>Das Bild von heliogeo am " + Escaped(f.Moment) + ": " + shows + ".</figcaption>\n"
            "</figure>\n</section>\n";

    html += "<section class=\"work\">\n<h2>Die Ereignisse von " + Escaped(f.Planet) + "</h2>\n";
    html += "<p>Aus der Ereignisliste von heliogeo: die nächsten " + GermanNumber(EventListDays, 0) + " Tage ab " +
            Escaped(f.Moment) + InModel(f) +
            (f.TableEnd > day + EventListDays ? ", und weiter bis " + Escaped(MomentOf(f.TableEnd)) : "") + ".</p>\n";
    html += std::string("<table class=\"events\">\n<thead><tr><th>") + (f.Model ? "Tag" : "Datum und Uhrzeit") +
            "</th><th>Ereignis</th></tr></thead>\n<tbody>\n";
    for (const SkyEvent& e : f.Events)
        html += "<tr><td>" + Escaped(MomentOf(e.Day)) + "</td><td>" + Escaped(EventName(e.Kind)) + "</td></tr>\n";
    html += "</tbody>\n</table>\n<h2>Aufgaben</h2>\n<ol class=\"tasks\">\n";
    for (const Task& task : Tasks(f, picture.StripShown))
        html += "<li><p>" + Escaped(task.Text) + "</p>" + Room(task.Lines) + "</li>\n";
    html += "</ol>\n</section>\n";

    html += "<section class=\"questions\">\n<h2>Fragestellungen</h2>\n"
            "<p>Aus der Information von heliogeo (DESK, &amp;Info):</p>\n<ol class=\"questions\">\n";
    for (const std::string& question : InfoQuestions())
        html += "<li><p>" + Escaped(question) + "</p>" + Room(4) + "</li>\n";
    html += "</ol>\n</section>\n";
    return Page(Heading("Arbeitsblatt", f), html);
}

std::string SolutionSheetHtml(int body, double day) {
    const Facts f = FactsAt(body, day);
    const std::string m = InModel(f);
    std::string rows;
    auto row = [&rows](const std::string& id, const std::string& what, const std::string& value) {
        rows += "<tr id=\"" + id + "\"><th>" + Escaped(what) + "</th><td>" + Escaped(value) + "</td></tr>\n";
    };
    row("winkel", "Winkel zwischen der Sonne und " + f.Planet + ", von der Erde aus, im Bild",
        GermanNumber(PictureAngle(body, day), 0) + "°");
    int elongations = 0;
    if (Inner(body))
        for (const SkyEvent& e : f.Events) {
            if (e.Kind != EventKind::GreatestEastElongation && e.Kind != EventKind::GreatestWestElongation) continue;
            const bool east = e.Kind == EventKind::GreatestEastElongation;
            row("elongation-" + std::to_string(++elongations), EventName(e.Kind) + " (" + MomentOf(e.Day) + ")",
                GermanNumber(std::abs(TheSky().Elongation(body, e.Day)) * Degrees, 1) + "°" + m + ", " +
                    (east ? "am Abendhimmel" : "am Morgenhimmel"));
        }
    row("schleife-von", "Die erste Schleife, die in der Tabelle beginnt: rückläufig ab", MomentOf(f.Loop.FirstDay));
    row("schleife-bis", "wieder rechtläufig ab", MomentOf(f.Loop.LastDay));
    row("schleife-tage", "Dauer der Schleife", DaysText(f.Loop.Days) + m);
    row("schleife-grad", "Breite der Schleife am Himmel", GermanNumber(f.Loop.WidthDegrees, 1) + "°" + m);
    const auto [from, to] = f.Synodic;
    row("synodisch", "Synodische Umlaufzeit (" + EventName(from.Kind) + " bis " + EventName(to.Kind) + ")",
        DaysText(to.Day - from.Day) + m + " (" + MomentOf(from.Day) + " bis " + MomentOf(to.Day) + ")");
    if (f.Model) row("echt", "Die echte synodische Umlaufzeit", std::to_string(TrueSynodicDays[body]) + " Tage");

    std::string html = "<section class=\"answers\">\n<h1>" + Escaped(Heading("Lösungsblatt", f)) + "</h1>\n";
    html += "<p>Zum Arbeitsblatt über " + Escaped(f.Planet) + " am " + Escaped(f.Moment) +
            ": was heliogeo aus seinen Ereignissen gemessen hat" + (f.Model ? " (im Modell von heliogeo)" : "") +
            ". Ein Winkel, im Bild mit dem Geodreieck gemessen, weicht um wenige Grad ab.</p>\n";
    html += "<table class=\"answers\">\n<thead><tr><th>Gefragt</th><th>Gemessen</th></tr></thead>\n<tbody>\n" + rows +
            "</tbody>\n</table>\n</section>\n";
    return Page(Heading("Lösungsblatt", f), html);
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
