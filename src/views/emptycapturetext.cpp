// What the views say when a capture found no window to save.
#include "emptycapturetext.h"

#include "automation/automationservice.h"

QString emptyCaptureText(const AutomationService &automation)
{
    if (!automation.canReadWindows())
        return QStringLiteral("Dieser Desktop lässt Corvalint seine Fenster nicht lesen. Es wurde nichts gespeichert.");
    return QStringLiteral("Kein Anwendungsfenster gefunden. Öffne die Fenster, die der Workspace enthalten soll, "
                          "und versuche es erneut.");
}
