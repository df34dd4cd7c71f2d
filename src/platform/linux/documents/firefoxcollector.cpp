// Collects the tab addresses of a running Firefox from its profile's session store.
#include "firefoxcollector.h"

#include "firefoxprofiles.h"
#include "firefoxsession.h"

#include <QDir>

FirefoxCollector::FirefoxCollector(QString firefoxDir)
    : m_dirs { std::move(firefoxDir) }
{
}

FirefoxCollector::FirefoxCollector(QStringList firefoxDirs)
    : m_dirs(std::move(firefoxDirs))
{
}

QStringList FirefoxCollector::profileRoots(const QString &homeDir, const QString &configDir)
{
    const QDir home(homeDir);
    return { QDir(configDir).filePath(QStringLiteral("mozilla/firefox")),
        home.filePath(QStringLiteral(".mozilla/firefox")),
        home.filePath(QStringLiteral(".var/app/org.mozilla.firefox/config/mozilla/firefox")),
        home.filePath(QStringLiteral(".var/app/org.mozilla.firefox/.mozilla/firefox")),
        home.filePath(QStringLiteral("snap/firefox/common/.mozilla/firefox")) };
}

QStringList FirefoxCollector::collect(const QList<qint64> &processIds) const
{
    const std::optional<QString> profile = FirefoxProfiles::runningProfileIn(m_dirs, processIds);
    if (!profile)
        return {};
    // Firefox replaces this file by renaming a finished temporary file over it, so
    // a read never sees half a write; the older copy next to it may belong to the
    // previous run and is not used.
    return FirefoxSession::tabUrlsFromFile(
        QDir(*profile).filePath(QStringLiteral("sessionstore-backups/recovery.jsonlz4")));
}

QList<BrowserWindowTabs> FirefoxCollector::collectWindows(const QList<qint64> &processIds) const
{
    const std::optional<QString> profile = FirefoxProfiles::runningProfileIn(m_dirs, processIds);
    if (!profile)
        return {};
    return FirefoxSession::windowsFromFile(
        QDir(*profile).filePath(QStringLiteral("sessionstore-backups/recovery.jsonlz4")));
}
