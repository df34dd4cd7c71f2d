// The one-line results of an export or import: German on the settings page,
// English on the command line.
#pragma once

#include "backupproblem.h"

#include <QString>

class BackupMessages
{
public:
    enum class Language { german, english };

    /// "3 Workspaces importiert", "1 Workspace importiert", or for none added
    /// "Keine neuen Workspaces (alle bereits vorhanden)". When `inFile` is
    /// given, a file without workspaces says so and a partial import names
    /// how many were already there.
    /// In English: "3 workspaces imported", "1 workspace imported", "No new
    /// workspaces (all already present)", "No workspaces in the file", "(2
    /// already present)".
    static QString importSummary(int added, qsizetype inFile = -1, Language language = Language::german);
    /// "Import abgelehnt: <reason>": the file was not accepted; nothing changed.
    static QString importRefused(const QString &reason);
    /// The same for a problem: "Import abgelehnt: <German text>" or
    /// "import refused: <English text>".
    static QString importRefused(const BackupProblem &problem, Language language);
    /// "Import fehlgeschlagen: <reason>": the file was fine but the store
    /// could not take it; nothing changed. In English "import failed: <reason>".
    static QString importFailed(const QString &reason, Language language = Language::german);
    /// "3 Workspaces exportiert", "1 Workspace exportiert"; in English
    /// "3 workspaces exported", "1 workspace exported".
    static QString exportSummary(qsizetype written, Language language = Language::german);
    /// "Export fehlgeschlagen: <reason>": no file was written or replaced. In
    /// English "export failed: <reason>".
    static QString exportFailed(const QString &reason, Language language = Language::german);
};
