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

void ShowInfo() {
    // Each call starts afresh, so the text is the same every time.
    Shell.MessageText = "||";
    Shell.MessageText += " Das GEOZENTRISCHE System von Ptolemäus   |";
    Shell.MessageText += " und das HELIOZENTRISCHE System von Kopernikus  |";
    Shell.MessageText += " werden einander gegenübergestellt.   ||";
    Shell.MessageText += " Der Rechner transformiert dabei rein mathematisch   |";
    Shell.MessageText += " von einem System in das andere.   ||";
    // These two pieces form one line.
    Shell.MessageText += " Der 'Blick von außen' auf das Planetensystem";
    Shell.MessageText += " erleichtert den Durchblick.  ||";
    Shell.MessageText += "Fragestellungen:   ||";
    Shell.MessageText += " - Inwiefern ist das heliozentrische System   |";
    Shell.MessageText += "   dem geozentrischen System überlegen?   |";
    Shell.MessageText += " - Inwiefern sind die beiden Systeme gleichwertig?   |";
    Shell.MessageText += " - Inwiefern handelt es sich um zwei gleich richtige   |";
    Shell.MessageText += "   Beschreibungen des Planetensystems?  |";
    Shell.MessageText += " - Weshalb wird dennoch das heliozentrische System bevorzugt?   |";
    Shell.MessageText += "   ||";
    Shell.MessageText += " Die Radien sind nicht maßstäblich gezeichnet!   |";
    ShowMessage();
}

void ShowAuthor() {
    // The four lines that a personal program would give to its author, school
    // and address tell what the program is instead.
    Shell.MessageText = "  Programmautor:| |";
    Shell.MessageText += std::string("  das ") + credits::Name + "-Projekt   |";
    Shell.MessageText += std::string("  ") + credits::Kind + "   |";
    Shell.MessageText += std::string("  ") + credits::Version + "   |";
    Shell.MessageText += std::string("  ") + credits::Licence + "   |";
    ShowMessage();
}
