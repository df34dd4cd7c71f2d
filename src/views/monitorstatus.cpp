// Whether the connected screens match the ones a workspace was captured on.
#include "monitorstatus.h"

#include <QSet>

MonitorConfigStatus monitorStatus(
    const QList<std::optional<QString>> &entryMonitorIDs, const QList<std::optional<QString>> &screenMonitorIDs)
{
    QSet<QString> required;
    for (const std::optional<QString> &id : entryMonitorIDs) {
        if (id)
            required.insert(*id);
    }
    QSet<QString> connected;
    for (const std::optional<QString> &id : screenMonitorIDs) {
        if (id)
            connected.insert(*id);
    }

    MonitorConfigStatus status;
    status.requiredCount = std::max(1, int(required.size()));
    status.connectedCount = int(screenMonitorIDs.size());
    status.isMatching = status.requiredCount == status.connectedCount;
    if (!status.isMatching) {
        status.message = QStringLiteral("Bildschirm-Anzahl weicht ab (Erforderlich: %1, Aktuell: %2)")
                             .arg(status.requiredCount)
                             .arg(status.connectedCount);
        status.isWarning = true;
    } else if (connected.contains(required)) {
        status.message = QStringLiteral("Konfiguration optimal");
        status.isWarning = false;
    } else {
        status.message = QStringLiteral("Bildschirme weichen ab (gleiche Anzahl)");
        status.isWarning = true;
    }
    return status;
}
