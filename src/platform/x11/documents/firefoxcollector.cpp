// Collects the tab addresses of a running Firefox from its profile's session store.
#include "firefoxcollector.h"

#include "firefoxprofiles.h"
#include "firefoxsession.h"

#include <QDir>

FirefoxCollector::FirefoxCollector(QString firefoxDir)
    : m_dir(std::move(firefoxDir))
{
}

QStringList FirefoxCollector::collect(const QList<qint64> &processIds) const
{
    const std::optional<QString> profile = FirefoxProfiles(m_dir).runningProfile(processIds);
    if (!profile)
        return {};
    // Firefox replaces this file by renaming a finished temporary file over it, so
    // a read never sees half a write; the older copy next to it may belong to the
    // previous run and is not used.
    return FirefoxSession::tabUrlsFromFile(
        QDir(*profile).filePath(QStringLiteral("sessionstore-backups/recovery.jsonlz4")));
}
