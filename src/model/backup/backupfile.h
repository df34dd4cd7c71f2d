// The backup file: writing every workspace to it and reading them back, checked.
#pragma once

#include "backupparseresult.h"

#include <QByteArray>
#include <QLatin1String>
#include <QStringList>
#include <functional>

class BackupFile
{
public:
    // Texts and filters of the file panels on the settings page.
    static constexpr QLatin1String exportPanelTitle { "Workspace exportieren" };
    static constexpr QLatin1String importPanelTitle { "Workspace importieren" };
    static constexpr QLatin1String suggestedFileName { "CorvalintBackups.workspace" };
    /// Name filter for the panels: the files are JSON, under their own suffix.
    static constexpr QLatin1String nameFilter { "JSON (*.workspace *.json)" };
    static constexpr QLatin1String mimeType { "application/json" };

    /// Adds the workspaces whose id the store does not hold yet, in one
    /// transaction; returns how many were added, or -1 with `error` set and
    /// nothing changed (the shape of WorkspaceStore::addWorkspaces).
    using AddWorkspaces = std::function<int(const QList<WorkspaceData> &workspaces, QString *error)>;

    /// The file content for `workspaces`; see BackupWriter::serialize.
    static QByteArray serialize(const QList<WorkspaceData> &workspaces);

    /// Checks `bytes` completely (size, strict UTF-8, nesting depth, JSON, then
    /// every field) and returns all workspaces or the reason to refuse them.
    /// A leading UTF-8 byte-order mark is tolerated.
    static BackupParseResult parse(const QByteArray &bytes);

    /// Reads and parses the file at `path`. Anything that is not a regular
    /// file, or is larger than BackupLimits::maxFileBytes, is refused without
    /// reading it whole. Never blocks on a pipe, even one swapped in for the
    /// file at the last moment.
    static BackupParseResult readFile(const QString &path);

    /// Writes `bytes` to `path` through a temporary file that replaces the
    /// target only once complete and read back: an existing file is replaced
    /// whole or left as it was. Refuses folders, pipes, devices, sockets,
    /// symbolic links of other users, and the files in `protectedPaths` (the
    /// store and its -wal and -shm) by any name. On failure returns false
    /// with a German reason in `error` ("Kein Speicherplatz auf dem Gerät").
    static bool writeAtomically(
        const QString &path, const QByteArray &bytes, QString *error, const QStringList &protectedPaths = {});

    /// The whole export: refuses (and writes nothing) when the file would not
    /// read back, otherwise writes it as writeAtomically does. Returns the
    /// line to show; `failed` (when given) tells whether that line reports a failure.
    static QString exportToFile(const QString &path, const QList<WorkspaceData> &workspaces,
        const QStringList &protectedPaths = {}, bool *failed = nullptr);

    /// The whole import: reads and checks the file, hands every workspace to
    /// `add` at once, and returns the line to show. A refused file never
    /// reaches `add`. `failed` as for exportToFile.
    static QString importFromFile(const QString &path, const AddWorkspaces &add, bool *failed = nullptr);
};
