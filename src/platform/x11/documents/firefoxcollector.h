// Collects the tab addresses of a running Firefox from its profile's session store.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class FirefoxCollector
{
public:
    /// `firefoxDir` is the folder holding profiles.ini (normally ~/.mozilla/firefox).
    explicit FirefoxCollector(QString firefoxDir);

    /// Every tab's address, window after window, as the running profile's
    /// `sessionstore-backups/recovery.jsonlz4` records them; empty on any failure.
    /// `processIds` are those of the Firefox windows (used to pick the profile).
    QStringList collect(const QList<qint64> &processIds) const;

private:
    QString m_dir;
};
