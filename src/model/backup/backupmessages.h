// The one-line German results the settings page shows after an export or import.
#pragma once

#include <QString>

class BackupMessages
{
public:
    /// "3 Workspaces importiert", "1 Workspace importiert", or for none added
    /// "Keine neuen Workspaces (alle bereits vorhanden)". When `inFile` is
    /// given, a file without workspaces says so and a partial import names
    /// how many were already there.
    static QString importSummary(int added, qsizetype inFile = -1);
    /// "Import abgelehnt: <reason>": the file was not accepted; nothing changed.
    static QString importRefused(const QString &reason);
    /// "Import fehlgeschlagen: <reason>": the file was fine but the store
    /// could not take it; nothing changed.
    static QString importFailed(const QString &reason);
    /// "3 Workspaces exportiert", "1 Workspace exportiert".
    static QString exportSummary(qsizetype written);
    /// "Export fehlgeschlagen: <reason>": no file was written or replaced.
    static QString exportFailed(const QString &reason);
};
