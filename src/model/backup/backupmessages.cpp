// The one-line German results the settings page shows after an export or import.
#include "backupmessages.h"

namespace {
QString workspaces(qsizetype n)
{
    return n == 1 ? QStringLiteral("1 Workspace") : QStringLiteral("%1 Workspaces").arg(n);
}
} // namespace

QString BackupMessages::importSummary(int added, qsizetype inFile)
{
    if (inFile == 0)
        return QStringLiteral("Keine Workspaces in der Datei");
    if (added <= 0)
        return QStringLiteral("Keine neuen Workspaces (alle bereits vorhanden)");
    const QString line = workspaces(added) + QStringLiteral(" importiert");
    if (inFile > added)
        return line + QStringLiteral(" (%1 bereits vorhanden)").arg(inFile - added);
    return line;
}

QString BackupMessages::importRefused(const QString &reason)
{
    return QStringLiteral("Import abgelehnt: ") + reason;
}

QString BackupMessages::importFailed(const QString &reason)
{
    return QStringLiteral("Import fehlgeschlagen: ") + reason;
}

QString BackupMessages::exportSummary(qsizetype written)
{
    return workspaces(written) + QStringLiteral(" exportiert");
}

QString BackupMessages::exportFailed(const QString &reason)
{
    return QStringLiteral("Export fehlgeschlagen: ") + reason;
}
