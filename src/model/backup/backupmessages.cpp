// The one-line results of an export or import: German on the settings page,
// English on the command line.
#include "backupmessages.h"

namespace {
QString workspaces(qsizetype n)
{
    return n == 1 ? QStringLiteral("1 Workspace") : QStringLiteral("%1 Workspaces").arg(n);
}

QString englishSummary(int added, qsizetype inFile)
{
    if (inFile == 0)
        return QStringLiteral("No workspaces in the file");
    if (added <= 0)
        return QStringLiteral("No new workspaces (all already present)");
    const QString line
        = added == 1 ? QStringLiteral("1 workspace imported") : QStringLiteral("%1 workspaces imported").arg(added);
    if (inFile > added)
        return line + QStringLiteral(" (%1 already present)").arg(inFile - added);
    return line;
}
} // namespace

QString BackupMessages::importSummary(int added, qsizetype inFile, Language language)
{
    if (language == Language::english)
        return englishSummary(added, inFile);
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

QString BackupMessages::importRefused(const BackupProblem &problem, Language language)
{
    if (language == Language::english)
        return QStringLiteral("import refused: ") + problem.englishText();
    return importRefused(problem.germanText());
}

QString BackupMessages::importFailed(const QString &reason, Language language)
{
    if (language == Language::english)
        return QStringLiteral("import failed: ") + reason;
    return QStringLiteral("Import fehlgeschlagen: ") + reason;
}

QString BackupMessages::exportSummary(qsizetype written, Language language)
{
    if (language == Language::english)
        return written == 1 ? QStringLiteral("1 workspace exported")
                            : QStringLiteral("%1 workspaces exported").arg(written);
    return workspaces(written) + QStringLiteral(" exportiert");
}

QString BackupMessages::exportFailed(const QString &reason, Language language)
{
    if (language == Language::english)
        return QStringLiteral("export failed: ") + reason;
    return QStringLiteral("Export fehlgeschlagen: ") + reason;
}
