// A capture or an update completed with the windows on the desktop.
#include "capturerequest.h"

#include "automation/automationservice.h"
#include "workspacejson.h"

std::variant<QJsonObject, QString> CaptureRequest::withDesktop(
    QJsonObject request, AutomationService &automation, bool desktopReadable)
{
    const QList<EntryData> captured = automation.captureCurrentDesktop();
    if (captured.isEmpty()) {
        const bool update = request.value(QLatin1String("command")).toString() == QLatin1String("update");
        return (update ? QStringLiteral("update: ") : QStringLiteral("capture: "))
            + (desktopReadable ? QStringLiteral("found no application window to save; nothing was changed")
                               : QStringLiteral("this desktop does not let Corvalint read its windows; nothing was "
                                                "changed"));
    }
    request[QLatin1String("entries")] = entriesToJson(captured);
    return request;
}
