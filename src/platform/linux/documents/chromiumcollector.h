// Collects the tab addresses of a running Chromium-based browser from its newest session file.
#pragma once

#include "automation/collecteddocuments.h"
#include "processlookup.h"
#include "snssreader.h"

#include <QString>
#include <QStringList>
#include <optional>

class ChromiumCollector
{
public:
    /// `userDataDir` holds "Local State" and the profile folders
    /// (e.g. ~/.config/chromium).
    explicit ChromiumCollector(QString userDataDir);

    /// The user data folder the browser's processes `processIds` were started
    /// with (`--user-data-dir=`, relative to the process's working folder), when it
    /// exists; else `defaultDir`.
    static QString userDataDirOf(
        const QString &defaultDir, const QList<qint64> &processIds, const ProcessLookup &processes = ProcessLookup());

    /// The folder of the profile last used, from "Local State", else "Default".
    QString profileDir() const;

    /// The session files of the profile, newest first: `Sessions/Session_<time>`
    /// by the time in the name (then by modification); only when there are none,
    /// the `Current Session` of older versions.
    QStringList sessionFiles() const;

    /// Every tab's current address, window after window; empty on any failure.
    /// A newest file that is not complete yet gives way to the one before it.
    QStringList collect() const;
    /// The same tabs window by window; empty on any failure.
    QList<BrowserWindowTabs> collectWindows() const;

private:
    /// The newest complete session file's reading, or nothing.
    std::optional<SnssReader::Result> newestSession() const;

    QString m_dir;
};
