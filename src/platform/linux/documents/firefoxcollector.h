// Collects the tab addresses of a running Firefox from its profile's session store.
#pragma once

#include "automation/collecteddocuments.h"

#include <QList>
#include <QString>
#include <QStringList>

class FirefoxCollector
{
public:
    /// `firefoxDir` is the folder holding profiles.ini (normally ~/.mozilla/firefox).
    explicit FirefoxCollector(QString firefoxDir);
    /// Several such folders, in the order a profile is looked for in them.
    explicit FirefoxCollector(QStringList firefoxDirs);

    /// Every folder a Firefox of this user may keep its profiles.ini in, most
    /// likely first: `$XDG_CONFIG_HOME/mozilla/firefox` (where newer Firefox
    /// releases make new profiles), the classic `~/.mozilla/firefox`, and the Flatpak and
    /// Snap packages' own folders.
    static QStringList profileRoots(const QString &homeDir, const QString &configDir);

    /// Every tab's address, window after window, as the running profile's
    /// `sessionstore-backups/recovery.jsonlz4` records them; empty on any failure.
    /// `processIds` are those of the Firefox windows (used to pick the profile).
    QStringList collect(const QList<qint64> &processIds) const;
    /// The same tabs window by window, from the running profile's session.
    QList<BrowserWindowTabs> collectWindows(const QList<qint64> &processIds) const;

private:
    QStringList m_dirs;
};
