// Finds the Firefox profile a running Firefox uses, from profiles.ini, installs.ini and the profile locks.
#pragma once

#include "processlookup.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class FirefoxProfiles
{
public:
    /// `firefoxDir` is the folder holding profiles.ini (normally ~/.mozilla/firefox).
    explicit FirefoxProfiles(QString firefoxDir);

    /// The profile folders, most likely in use first: the defaults of the
    /// `[Install<hash>]` sections (installs.ini, then profiles.ini), then profiles
    /// marked `Default=1`, then every other profile. No duplicates.
    QStringList candidates() const;

    /// The folder of the profile the Firefox with one of `processIds` runs on.
    /// A profile whose lock names one of those processes wins. Without process ids,
    /// or when no candidate carries a readable lock at all, the first candidate is
    /// taken. When candidates are locked, but by other processes, the running
    /// profile is not among them: nothing.
    std::optional<QString> runningProfile(const QList<qint64> &processIds) const;

    /// The same over several profile folders (profiles.ini each), in order: a
    /// profile folder that one of `processIds` was started with (`--profile PATH`,
    /// also `-profile`) and that it holds locked wins; then a profile locked by one
    /// of them in any of the folders; else the first folder that has profiles
    /// decides as `runningProfile` does.
    static std::optional<QString> runningProfileIn(const QStringList &firefoxDirs, const QList<qint64> &processIds,
        const ProcessLookup &processes = ProcessLookup());

    /// The process id a profile's `lock` symlink names ("<address>:+<pid>"), or nothing.
    static std::optional<qint64> lockOwner(const QString &profileDir);

private:
    QString m_dir;
};
