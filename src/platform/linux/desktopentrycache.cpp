// The installed desktop entries kept between runs.
#include "desktopentrycache.h"

#include "privatedirectory.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int format = 1;
// A system with more than this is unusual enough to read through GIO each time.
constexpr int maxFiles = 20000;
constexpr int maxDepth = 8;
constexpr qint64 maxCacheBytes = 8 * 1024 * 1024;

struct Walk {
    QCryptographicHash hash { QCryptographicHash::Sha256 };
    QSet<QString> files;
    int seen = 0;

    void add(const QByteArray &name, const struct stat &info)
    {
        hash.addData(name);
        const qint64 facts[] = { qint64(info.st_dev), qint64(info.st_ino), qint64(info.st_size),
            qint64(info.st_mtim.tv_sec), qint64(info.st_mtim.tv_nsec), qint64(info.st_mode) };
        hash.addData(QByteArrayView(reinterpret_cast<const char *>(facts), sizeof facts));
    }

    // GIO reads *.desktop files in the folder and its subfolders (their IDs joined with "-"); stat()
    // follows links as GIO does, and the depth bound ends a link that loops.
    bool folder(const QByteArray &path, int depth)
    {
        struct stat info {
        };
        if (::stat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            hash.addData(QByteArrayView("\0missing", 8));
            return true;
        }
        add(path, info);
        DIR *dir = ::opendir(path.constData());
        if (!dir)
            return true;
        QList<QByteArray> names;
        while (const dirent *entry = ::readdir(dir)) {
            const QByteArray name(entry->d_name);
            if (name != "." && name != "..")
                names.append(name);
        }
        ::closedir(dir);
        // The order readdir gives may differ between two reads of the same folder.
        std::sort(names.begin(), names.end());
        for (const QByteArray &name : names) {
            if (++seen > maxFiles)
                return false;
            const QByteArray child = path + '/' + name;
            if (::stat(child.constData(), &info) != 0)
                continue;
            if (S_ISDIR(info.st_mode)) {
                if (depth < maxDepth && !folder(child, depth + 1))
                    return false;
            } else if (S_ISREG(info.st_mode) && name.endsWith(".desktop")) {
                add(child, info);
                files.insert(QString::fromLocal8Bit(child));
            }
        }
        return true;
    }
};

bool isString(const QJsonValue &value)
{
    return value.isString();
}

} // namespace

DesktopEntryCache::DesktopEntryCache(QString file)
    : m_file(std::move(file))
{
}

QString DesktopEntryCache::defaultFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
        + QStringLiteral("/corvalint/desktop-entries.json");
}

std::optional<DesktopEntryCache::Fingerprint> DesktopEntryCache::fingerprint(
    const QStringList &folders, const QString &path)
{
    Walk walk;
    for (const QString &folder : folders) {
        if (!walk.folder(QFile::encodeName(QDir::cleanPath(folder)), 0))
            return std::nullopt;
        walk.hash.addData(QByteArrayView("\0", 1));
    }
    walk.hash.addData(path.toUtf8());
    for (const QString &program : path.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        struct stat info {
        };
        const QByteArray native = QFile::encodeName(program);
        if (::stat(native.constData(), &info) == 0)
            walk.add(native, info);
    }
    return Fingerprint { walk.hash.result().toHex(), std::move(walk.files) };
}

std::optional<QList<DesktopEntryIndex::Entry>> DesktopEntryCache::parse(
    const QByteArray &data, const Fingerprint &expected)
{
    const QJsonDocument document = QJsonDocument::fromJson(data);
    const QJsonObject root = document.object();
    if (root.value(QLatin1String("format")).toInt() != format
        || root.value(QLatin1String("fingerprint")).toString().toLatin1() != expected.hash)
        return std::nullopt;
    const QJsonValue list = root.value(QLatin1String("entries"));
    if (!list.isArray())
        return std::nullopt;
    QList<DesktopEntryIndex::Entry> entries;
    for (const QJsonValue &item : list.toArray()) {
        const QJsonArray fields = item.toArray();
        if (fields.size() != 4 || !std::all_of(fields.begin(), fields.end(), isString))
            return std::nullopt;
        DesktopEntryIndex::Entry entry { .id = fields[0].toString(),
            .path = fields[1].toString(),
            .startupWMClass = fields[2].toString(),
            .executable = fields[3].toString() };
        // A cached entry is only ever one of the files just looked at: whatever else the file says, it
        // cannot send a launch to a desktop file outside the installed folders.
        if (entry.id.isEmpty() || !expected.files.contains(entry.path))
            return std::nullopt;
        entries.append(std::move(entry));
    }
    return entries;
}

QByteArray DesktopEntryCache::serialize(const QList<DesktopEntryIndex::Entry> &entries, const Fingerprint &fingerprint)
{
    QJsonArray list;
    for (const DesktopEntryIndex::Entry &entry : entries)
        list.append(QJsonArray { entry.id, entry.path, entry.startupWMClass, entry.executable });
    const QJsonObject root { { QStringLiteral("format"), format },
        { QStringLiteral("fingerprint"), QString::fromLatin1(fingerprint.hash) }, { QStringLiteral("entries"), list } };
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

DesktopEntryIndex DesktopEntryCache::load() const
{
    const auto now = fingerprint(
        QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation), qEnvironmentVariable("PATH"));
    if (!now)
        return DesktopEntryIndex::loadInstalled();
    if (auto cached = read(*now))
        return DesktopEntryIndex(*cached);
    const QList<DesktopEntryIndex::Entry> entries = DesktopEntryIndex::installedEntries();
    // GIO keeps what it read for the life of the process and hears of changes only from its event loop:
    // after a change, a long-running process may still be given the entries from before. They are kept
    // for others only while nothing has changed since this process first looked (a command always).
    // The fingerprint was taken before GIO read, so a change while it read makes the next one differ.
    static const QByteArray firstSeen = now->hash;
    if (now->hash == firstSeen)
        write(entries, *now);
    return DesktopEntryIndex(entries);
}

std::optional<QList<DesktopEntryIndex::Entry>> DesktopEntryCache::read(const Fingerprint &expected) const
{
    if (m_file.isEmpty() || !PrivateDirectory::isPrivate(QFileInfo(m_file).path()))
        return std::nullopt;
    QFile file(m_file);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QFileInfo info(file.fileName());
    if (!info.isFile() || info.ownerId() != ::getuid() || info.size() > maxCacheBytes)
        return std::nullopt;
    return parse(file.read(maxCacheBytes), expected);
}

void DesktopEntryCache::write(const QList<DesktopEntryIndex::Entry> &entries, const Fingerprint &fingerprint) const
{
    if (m_file.isEmpty())
        return;
    const QString folder = QFileInfo(m_file).path();
    // The cache folder's parent is made as the user's own; the folder itself must be private.
    if (!QDir().mkpath(QFileInfo(folder).path()) || !PrivateDirectory::ensure(folder, nullptr))
        return;
    // A full disk or a read-only home only costs the next run its speed.
    QSaveFile file(m_file);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(serialize(entries, fingerprint));
        file.commit();
    }
}
