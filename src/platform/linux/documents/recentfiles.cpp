// The files the desktop remembers as recently opened, and by which application: freedesktop's shared list and KDE's.
#include "recentfiles.h"

#include "automation/localfileurl.h"
#include "boundedfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QUrl>
#include <QXmlStreamReader>
#include <algorithm>
#include <glib.h>
#include <memory>

namespace {
const QString bookmarkNamespace = QStringLiteral("http://www.freedesktop.org/standards/desktop-bookmarks");

struct KeyFileFree {
    void operator()(GKeyFile *file) const { g_key_file_free(file); }
};
struct GFree {
    void operator()(gchar *text) const { g_free(text); }
};

QDateTime parseTime(QStringView text)
{
    QDateTime time = QDateTime::fromString(text.toString(), Qt::ISODateWithMs);
    return time.isValid() ? time : QDateTime::fromString(text.toString(), Qt::ISODate);
}

/// "'mousepad %u'" or "/usr/bin/gedit %U" → "mousepad", "gedit".
QString programOf(const QString &exec)
{
    QString command = exec.trimmed();
    while (!command.isEmpty() && (command.front() == QLatin1Char('\'') || command.front() == QLatin1Char('"')))
        command = command.mid(1);
    const QString first = command.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    QString program = QFileInfo(first).fileName();
    while (!program.isEmpty() && (program.back() == QLatin1Char('\'') || program.back() == QLatin1Char('"')))
        program.chop(1);
    return program;
}

std::optional<QString> localPath(const QString &url)
{
    const auto path = localPathOfFileUrl(QUrl(url, QUrl::StrictMode));
    if (!path)
        return std::nullopt;
    return QDir::cleanPath(*path);
}

void readApplications(QXmlStreamReader &xml, RecentFile &file)
{
    while (xml.readNextStartElement()) {
        if (xml.namespaceUri() == bookmarkNamespace && xml.name() == QLatin1String("application")) {
            const QXmlStreamAttributes a = xml.attributes();
            RecentUse use { a.value(QLatin1String("name")).toString(),
                programOf(a.value(QLatin1String("exec")).toString()), parseTime(a.value(QLatin1String("modified"))) };
            if (!use.modified.isValid())
                use.modified = file.modified;
            file.uses.append(use);
        }
        xml.skipCurrentElement();
    }
}

// Descends <info>/<metadata> to <bookmark:applications>; everything else is skipped whole.
void readBookmarkBody(QXmlStreamReader &xml, RecentFile &file)
{
    while (xml.readNextStartElement()) {
        const QStringView name = xml.name();
        if (name == QLatin1String("info") || name == QLatin1String("metadata"))
            readBookmarkBody(xml, file);
        else if (xml.namespaceUri() == bookmarkNamespace && name == QLatin1String("applications"))
            readApplications(xml, file);
        else
            xml.skipCurrentElement();
    }
}

QDateTime lastUse(const RecentFile &file, const QStringList &names)
{
    QDateTime newest;
    for (const RecentUse &use : file.uses) {
        const bool named = std::any_of(names.begin(), names.end(), [&](const QString &n) {
            return !n.isEmpty()
                && (use.name.compare(n, Qt::CaseInsensitive) == 0 || use.program.compare(n, Qt::CaseInsensitive) == 0);
        });
        // A use without a time still counts, as the oldest.
        const QDateTime when = use.modified.isValid() ? use.modified : QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
        if (named && (!newest.isValid() || when > newest))
            newest = when;
    }
    return newest;
}
} // namespace

RecentFiles::RecentFiles(QString dataDir, QString homeDir)
    : m_dataDir(std::move(dataDir))
    , m_home(std::move(homeDir))
{
}

QList<RecentFile> RecentFiles::parseXbel(const QByteArray &content)
{
    QList<RecentFile> files;
    QXmlStreamReader xml(content);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("xbel"))
        return files;
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("bookmark")) {
            xml.skipCurrentElement();
            continue;
        }
        const QXmlStreamAttributes a = xml.attributes();
        const auto path = localPath(a.value(QLatin1String("href")).toString());
        RecentFile file { path.value_or(QString()), parseTime(a.value(QLatin1String("modified"))), {} };
        readBookmarkBody(xml, file);
        // A bookmark cut off by an error is not trusted: its applications may be missing.
        if (path && !xml.hasError())
            files.append(file);
    }
    return files;
}

std::optional<RecentFile> RecentFiles::parseKdeEntry(
    const QByteArray &content, const QDateTime &modified, const QString &home)
{
    // KDE marks the key "URL[$e]" (expand variables) and writes the home folder as $HOME there; GKeyFile
    // refuses that key name, so the mark is taken off and honoured here.
    QByteArray plain = content;
    const bool expand = plain.contains("\nURL[$e]=");
    plain.replace("\nURL[$e]=", "\nURL=");
    const std::unique_ptr<GKeyFile, KeyFileFree> keys(g_key_file_new());
    if (!g_key_file_load_from_data(keys.get(), plain.constData(), gsize(plain.size()), G_KEY_FILE_NONE, nullptr))
        return std::nullopt;
    const auto read = [&](const char *key) {
        const std::unique_ptr<gchar, GFree> value(g_key_file_get_string(keys.get(), "Desktop Entry", key, nullptr));
        return value ? QString::fromUtf8(value.get()) : QString();
    };
    QString url = read("URL");
    if (expand && !home.isEmpty()) {
        if (url.startsWith(QLatin1String("file://$HOME/")))
            url = QUrl::fromLocalFile(home).toString() + url.mid(12);
        else if (url.startsWith(QLatin1String("$HOME/")))
            url = QUrl::fromLocalFile(home).toString() + url.mid(5);
    }
    // KDE writes the URL for display: spaces and accents unencoded.
    const auto path = localPathOfFileUrl(QUrl(url, QUrl::TolerantMode));
    if (!path)
        return std::nullopt;
    RecentFile file { QDir::cleanPath(*path), modified, {} };
    if (const QString app = read("X-KDE-LastOpenedWith"); !app.isEmpty())
        file.uses.append({ app, app, modified });
    return file;
}

const QList<RecentFile> &RecentFiles::xbel()
{
    const QString path = QDir(m_dataDir).filePath(QStringLiteral("recently-used.xbel"));
    const QFileInfo info(path);
    const Stamp stamp { info.exists() ? info.lastModified() : QDateTime(), info.exists() ? info.size() : -1 };
    if (!(stamp == m_xbel.stamp)) {
        m_xbel.stamp = stamp;
        const auto content = BoundedFile::read(path, maxXbelBytes);
        m_xbel.files = content ? parseXbel(*content) : QList<RecentFile>();
    }
    return m_xbel.files;
}

QList<RecentFile> RecentFiles::kde()
{
    const QDir dir(QDir(m_dataDir).filePath(QStringLiteral("RecentDocuments")));
    // KDE replaces an entry by writing a new file and renaming it: the folder's time tells any change.
    const QFileInfo folder(dir.path());
    const Stamp folderStamp { folder.isDir() ? folder.lastModified() : QDateTime(), folder.isDir() ? 0 : -1 };
    if (folderStamp == m_kdeFolder.stamp)
        return m_kdeFolder.files;
    m_kdeFolder.stamp = folderStamp;
    if (!folder.isDir()) {
        m_kdeFolder.files.clear();
        m_kde.clear();
        return {};
    }
    const QFileInfoList entries = dir.entryInfoList({ QStringLiteral("*.desktop") }, QDir::Files, QDir::Time);
    QHash<QString, Cached> kept;
    QList<RecentFile> files;
    for (const QFileInfo &info : entries.mid(0, maxKdeEntries)) {
        const Stamp stamp { info.lastModified(), info.size() };
        Cached cached = m_kde.value(info.fileName());
        if (!(cached.stamp == stamp)) {
            cached = { stamp, {} };
            if (const auto content = BoundedFile::read(info.filePath(), maxKdeEntryBytes)) {
                if (auto file = parseKdeEntry(*content, stamp.modified, m_home))
                    cached.files.append(*file);
            }
        }
        files.append(cached.files);
        kept.insert(info.fileName(), cached);
    }
    m_kde = kept;
    m_kdeFolder.files = files;
    return files;
}

QList<RecentFile> RecentFiles::merged()
{
    QList<RecentFile> files = xbel();
    files.append(kde());
    return files;
}

QStringList RecentFiles::openedBy(const QStringList &names)
{
    QList<std::pair<QDateTime, QString>> used;
    for (const RecentFile &file : merged()) {
        if (const QDateTime when = lastUse(file, names); when.isValid())
            used.append({ when, file.path });
    }
    std::stable_sort(used.begin(), used.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    QStringList paths;
    QSet<QString> seen;
    for (const auto &[when, path] : std::as_const(used)) {
        if (!seen.contains(path)) {
            seen.insert(path);
            paths.append(path);
        }
    }
    return paths;
}

QStringList RecentFiles::all()
{
    QList<RecentFile> files = merged();
    std::stable_sort(files.begin(), files.end(), [](const auto &a, const auto &b) { return a.modified > b.modified; });
    QStringList paths;
    for (const RecentFile &file : std::as_const(files))
        paths.append(file.path);
    paths.removeDuplicates();
    return paths;
}
