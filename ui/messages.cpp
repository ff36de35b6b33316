// messages.cpp — every message box of the program goes through ShowMessage;
// the information box and the author box.
#include "ui/ui.h"

#include "platform/platform.h"
#include "ui/credits.h"

#include <string>

ShellState Shell;

void ShowMessage() {
    MessageBox(Shell.MessageText);
}

std::string InfoText() {
    std::string text = "||";
    text += " Das GEOZENTRISCHE System von Ptolemäus   |";
    text += " und das HELIOZENTRISCHE System von Kopernikus  |";
    text += " werden einander gegenübergestellt.   ||";
    text += " Der Rechner transformiert dabei rein mathematisch   |";
    text += " von einem System in das andere.   ||";
    // These two pieces form one line.
    text += " Der 'Blick von außen' auf das Planetensystem";
    text += " erleichtert den Durchblick.  ||";
    text += "Fragestellungen:   ||";
    text += " - Inwiefern ist das heliozentrische System   |";
    text += "   dem geozentrischen System überlegen?   |";
    text += " - Inwiefern sind die beiden Systeme gleichwertig?   |";
    text += " - Inwiefern handelt es sich um zwei gleich richtige   |";
    text += "   Beschreibungen des Planetensystems?  |";
    text += " - Weshalb wird dennoch das heliozentrische System bevorzugt?   |";
    text += "   ||";
    text += " Die Radien sind nicht maßstäblich gezeichnet!   |";
    return text;
}

void ShowInfo() {
    // Each call starts afresh, so the text is the same every time.
    Shell.MessageText = InfoText();
    ShowMessage();
}

void ShowAuthor() {
    // The four lines that a personal program would give to its author, school
    // and address tell what the program is instead.
    Shell.MessageText = "  Programmautor:| |";
    Shell.MessageText += std::string("  das ") + credits::Name + "-Projekt   |";
    Shell.MessageText += std::string("  ") + credits::Kind + "   |";
    Shell.MessageText += std::string("  ") + credits::Version + "   |";
    Shell.MessageText += std::string("  ") + credits::Licence + "   | |";
    for (const char* part : credits::Parts) Shell.MessageText += std::string("  ") + part + "   |";
    ShowMessage();
}
