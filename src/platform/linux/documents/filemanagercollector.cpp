// Collects the folders file manager windows show: Nautilus over D-Bus, other file managers by their titles.
#include "filemanagercollector.h"

#include "automation/localfileurl.h"
#include "titledocument.h"

#include <QAtomicInteger>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <utility>

namespace {
const QString serviceName = QStringLiteral("org.freedesktop.FileManager1");
const QString objectPath = QStringLiteral("/org/freedesktop/FileManager1");

// A private connection per collection: the application's own session bus
// connection may not exist, and a private one can be dropped right after.
class PrivateBus
{
public:
    explicit PrivateBus(const QString &address)
        : m_name(QStringLiteral("corvalint-documents-%1").arg(counter.fetchAndAddRelaxed(1)))
        , m_connection(QDBusConnection::connectToBus(address, m_name))
    {
    }
    ~PrivateBus() { QDBusConnection::disconnectFromBus(m_name); }
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    QDBusConnection &connection() { return m_connection; }

private:
    static inline QAtomicInteger<int> counter;
    QString m_name;
    QDBusConnection m_connection;
};

// Window object paths end in a number that grows as windows open: compare that
// number as a number, so that window 10 follows window 9.
std::pair<QString, qint64> splitTrailingNumber(const QString &path)
{
    qsizetype start = path.size();
    while (start > 0 && path.at(start - 1).isDigit() && path.size() - start < 18)
        --start;
    return { path.left(start), start < path.size() ? path.mid(start).toLongLong() : -1 };
}

QList<std::pair<QString, QStringList>> readWindowMap(const QDBusArgument &argument)
{
    QList<std::pair<QString, QStringList>> windows;
    if (argument.currentSignature() != QLatin1String("a{sas}"))
        return windows;
    argument.beginMap();
    while (!argument.atEnd()) {
        QString window;
        QStringList locations;
        argument.beginMapEntry();
        argument >> window >> locations;
        argument.endMapEntry();
        windows.append({ window, locations });
    }
    argument.endMap();
    return windows;
}
} // namespace

FileManagerCollector::FileManagerCollector(QString sessionBusAddress)
    : m_address(std::move(sessionBusAddress))
{
}

QStringList FileManagerCollector::openLocations(int timeoutMs) const
{
    if (m_address.isEmpty())
        return {};
    PrivateBus bus(m_address);
    if (!bus.connection().isConnected())
        return {};
    QDBusMessage get = QDBusMessage::createMethodCall(
        serviceName, objectPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << serviceName << QStringLiteral("OpenWindowsWithLocations");
    // The service is D-Bus activatable: asking must not start a file manager.
    get.setAutoStartService(false);
    const QDBusMessage reply = bus.connection().call(get, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    const QVariant value = reply.arguments().first().value<QDBusVariant>().variant();
    if (!value.canConvert<QDBusArgument>())
        return {};
    QList<std::pair<QString, QStringList>> windows = readWindowMap(value.value<QDBusArgument>());
    std::sort(windows.begin(), windows.end(),
        [](const auto &a, const auto &b) { return splitTrailingNumber(a.first) < splitTrailingNumber(b.first); });

    QStringList folders;
    for (const auto &[window, locations] : windows) {
        if (locations.isEmpty())
            break;
        const auto path = localPathOfFileUrl(QUrl(locations.first()));
        if (!path)
            break;
        folders.append(QDir::cleanPath(*path));
    }
    return folders;
}

QStringList FileManagerCollector::titledFolders(const QStringList &windowTitles)
{
    QStringList folders;
    for (const QString &title : windowTitles) {
        if (QDir::isAbsolutePath(title) && QFileInfo(title).isDir())
            folders.append(QDir::cleanPath(title));
    }
    return folders;
}

bool FileManagerCollector::isNautilus(const QString &applicationId)
{
    return applicationId == QLatin1String("org.gnome.Nautilus") || applicationId == QLatin1String("nautilus");
}

bool FileManagerCollector::titlesFolders(const QString &applicationId)
{
    static const QStringList ids { QStringLiteral("thunar"), QStringLiteral("org.xfce.thunar"), QStringLiteral("nemo"),
        QStringLiteral("caja"), QStringLiteral("caja-browser"), QStringLiteral("org.kde.dolphin"),
        QStringLiteral("dolphin"), QStringLiteral("pcmanfm"), QStringLiteral("pcmanfm-qt") };
    return ids.contains(applicationId, Qt::CaseInsensitive);
}

std::optional<QString> FileManagerCollector::folderOfTitle(
    const QString &title, const QStringList &candidates, const QString &home)
{
    if (auto path = TitleDocument::pathIn(title, home, true))
        return path;
    const QStringList parts = TitleDocument::parts(title);
    if (parts.isEmpty())
        return std::nullopt;
    const QString &name = parts.front();
    QStringList named;
    for (const QString &candidate : candidates) {
        const QString path = QDir::cleanPath(candidate);
        if (QFileInfo(path).fileName() == name && !named.contains(path) && QFileInfo(path).isDir())
            named.append(path);
    }
    if (named.size() == 1)
        return named.front();
    if (!named.isEmpty())
        return std::nullopt;
    // The names file managers give these folders instead of their own; untranslated only.
    if (name == QLatin1String("Home") && QFileInfo(home).isDir())
        return QDir::cleanPath(home);
    if (name == QLatin1String("File System"))
        return QStringLiteral("/");
    return std::nullopt;
}

QString FileManagerCollector::sessionBusFromEnvironment()
{
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    if (!address.isEmpty())
        return address;
    // Without an address libdbus would fall back to autolaunching a bus on the X
    // display; the per-user bus socket is the only other place worth trying.
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtimeDir.isEmpty())
        return {};
    const QString socket = QDir(runtimeDir).filePath(QStringLiteral("bus"));
    if (!QFileInfo::exists(socket))
        return {};
    return QStringLiteral("unix:path=") + socket;
}
