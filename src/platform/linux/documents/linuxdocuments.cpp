// The document collectors of the X11 desktop: which applications play the fixed roles, and what they show.
#include "linuxdocuments.h"

#include "chromiumcollector.h"
#include "desktopentries.h"
#include "filemanagercollector.h"
#include "firefoxcollector.h"
#include "vscodecollector.h"
#include "windowdocuments.h"

#include <QDir>
#include <QUrl>

namespace {
struct NamedFolder {
    const char *applicationId;
    const char *folder;
};

// Chromium-based browsers by desktop entry, with their user data folder under
// the XDG config folder.
constexpr NamedFolder chromiumBrowsers[] = {
    { "chromium", "chromium" },
    { "chromium-browser", "chromium" },
    { "google-chrome", "google-chrome" },
    { "google-chrome-beta", "google-chrome-beta" },
    { "google-chrome-unstable", "google-chrome-unstable" },
    { "brave-browser", "BraveSoftware/Brave-Browser" },
};

// VS Code builds by desktop entry, with their folder under the XDG config folder.
constexpr NamedFolder vsCodeBuilds[] = {
    { "code", "Code" },
    { "code-oss", "Code - OSS" },
    { "codium", "VSCodium" },
};

QString folderFor(const QString &applicationId, const auto &table)
{
    for (const NamedFolder &entry : table) {
        if (applicationId == QLatin1String(entry.applicationId))
            return QString::fromLatin1(entry.folder);
    }
    return {};
}
} // namespace

LinuxDocuments::LinuxDocuments(QString homeDir, QString configDir, QString sessionBusAddress, QString dataDir)
    : m_home(std::move(homeDir))
    , m_config(std::move(configDir))
    , m_bus(std::move(sessionBusAddress))
    , m_windows(std::make_unique<WindowDocuments>(m_home, std::move(dataDir)))
{
}

LinuxDocuments::~LinuxDocuments() = default;

std::optional<QString> LinuxDocuments::windowDocument(
    const QString &applicationId, std::optional<qint64> pid, const QString &title) const
{
    // The capture pairs these applications' windows with collect()'s list one by one: a window that
    // carried its own document would shift every window after it.
    const bool firefox = applicationId == QLatin1String("firefox") || applicationId == QLatin1String("firefox-esr");
    if (firefox || !folderFor(applicationId, chromiumBrowsers).isEmpty()
        || !folderFor(applicationId, vsCodeBuilds).isEmpty() || FileManagerCollector::isNautilus(applicationId))
        return std::nullopt;
    const auto path = m_windows->documentOf(applicationId, pid, title);
    if (!path)
        return std::nullopt;
    return QUrl::fromLocalFile(*path).toString(QUrl::FullyEncoded);
}

PlatformProfile LinuxDocuments::profile() const
{
    PlatformProfile p;
    p.browsers = { DesktopEntries::firstInstalled({ QStringLiteral("firefox-esr"), QStringLiteral("firefox") }),
        DesktopEntries::firstInstalled({ QStringLiteral("chromium") }),
        DesktopEntries::firstInstalled({ QStringLiteral("google-chrome") }),
        DesktopEntries::firstInstalled({ QStringLiteral("brave-browser") }) };
    p.fileManager = DesktopEntries::defaultFor(QStringLiteral("inode/directory"));
    p.ide = DesktopEntries::firstInstalled({ QStringLiteral("code") });
    p.websiteFallback = DesktopEntries::defaultFor(QStringLiteral("x-scheme-handler/https"));
    if (p.websiteFallback.isEmpty())
        p.websiteFallback = DesktopEntries::defaultFor(QStringLiteral("x-scheme-handler/http"));
    p.folderFallback = p.fileManager;
    return p;
}

QStringList LinuxDocuments::collect(DocumentRole role, const QString &applicationId, const QList<qint64> &processIds,
    const QStringList &windowTitles) const
{
    switch (role) {
    case DocumentRole::browser0:
    case DocumentRole::browser1:
    case DocumentRole::browser2:
    case DocumentRole::browser3:
        return collectBrowser(applicationId, processIds);
    case DocumentRole::fileManager:
        return collectFileManager(applicationId, windowTitles);
    case DocumentRole::ide:
        return collectIde(applicationId);
    }
    return {};
}

QStringList LinuxDocuments::collectBrowser(const QString &applicationId, const QList<qint64> &processIds) const
{
    if (applicationId == QLatin1String("firefox") || applicationId == QLatin1String("firefox-esr"))
        return FirefoxCollector(FirefoxCollector::profileRoots(m_home, m_config)).collect(processIds);
    const QString folder = folderFor(applicationId, chromiumBrowsers);
    if (folder.isEmpty())
        return {};
    return ChromiumCollector(ChromiumCollector::userDataDirOf(QDir(m_config).filePath(folder), processIds)).collect();
}

std::optional<QList<BrowserWindowTabs>> LinuxDocuments::collectBrowserWindows(
    const QString &applicationId, const QList<qint64> &processIds) const
{
    if (applicationId == QLatin1String("firefox") || applicationId == QLatin1String("firefox-esr"))
        return FirefoxCollector(FirefoxCollector::profileRoots(m_home, m_config)).collectWindows(processIds);
    const QString folder = folderFor(applicationId, chromiumBrowsers);
    if (folder.isEmpty())
        return std::nullopt;
    return ChromiumCollector(ChromiumCollector::userDataDirOf(QDir(m_config).filePath(folder), processIds))
        .collectWindows();
}

QStringList LinuxDocuments::collectFileManager(const QString &applicationId, const QStringList &windowTitles) const
{
    // Nautilus titles its windows with the folder's name only; it tells the full
    // locations over D-Bus instead.
    if (FileManagerCollector::isNautilus(applicationId))
        return FileManagerCollector(m_bus).openLocations();
    // The file managers we know carry their folder in each window (windowDocument()); a list here would
    // pair again with the windows whose title names none.
    if (FileManagerCollector::titlesFolders(applicationId))
        return {};
    return FileManagerCollector::titledFolders(windowTitles);
}

QStringList LinuxDocuments::collectIde(const QString &applicationId) const
{
    const QString folder = folderFor(applicationId, vsCodeBuilds);
    if (folder.isEmpty())
        return {};
    return VsCodeCollector(QDir(m_config).filePath(folder + QLatin1String("/User"))).collect();
}

QString LinuxDocuments::defaultHomeDir()
{
    return QDir::homePath();
}

QString LinuxDocuments::defaultConfigDir()
{
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (QDir::isAbsolutePath(config))
        return config;
    return QDir(defaultHomeDir()).filePath(QStringLiteral(".config"));
}

QString LinuxDocuments::defaultDataDir()
{
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (QDir::isAbsolutePath(data))
        return data;
    return QDir(defaultHomeDir()).filePath(QStringLiteral(".local/share"));
}

QString LinuxDocuments::defaultSessionBusAddress()
{
    return FileManagerCollector::sessionBusFromEnvironment();
}
