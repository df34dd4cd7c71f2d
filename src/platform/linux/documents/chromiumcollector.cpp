// Collects the tab addresses of a running Chromium-based browser from its newest session file.
#include "chromiumcollector.h"

#include "boundedfile.h"
#include "snssreader.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

ChromiumCollector::ChromiumCollector(QString userDataDir)
    : m_dir(std::move(userDataDir))
{
}

QString ChromiumCollector::userDataDirOf(
    const QString &defaultDir, const QList<qint64> &processIds, const ProcessLookup &processes)
{
    static const QString option = QStringLiteral("--user-data-dir=");
    for (const qint64 pid : processIds) {
        const std::optional<ProcessView> process = processes.view(pid);
        if (!process || process->arguments.isEmpty())
            continue;
        // Chromium rewrites its command line into one string with spaces between the arguments, so a folder
        // with a space in its name cannot be told from the next argument: the longest reading that names an
        // existing folder wins. Switches end at "--"; what follows are addresses and files.
        // The switches after the program, each with a space before it, whichever form the command line has.
        const QString program = process->arguments.first();
        const QString line = QLatin1Char(' ') + program.section(QLatin1Char(' '), 1) + QLatin1Char(' ')
            + process->arguments.mid(1).join(QLatin1Char(' '));
        const qsizetype switchesEnd = line.indexOf(QLatin1String(" -- "));
        for (qsizetype at = line.indexOf(QLatin1Char(' ') + option); at >= 0 && (switchesEnd < 0 || at < switchesEnd);
             at = line.indexOf(QLatin1Char(' ') + option, at + 1)) {
            const qsizetype start = at + 1 + option.size();
            for (qsizetype end = line.size(); end > start; end = line.lastIndexOf(QLatin1Char(' '), end - 1)) {
                const QString value = line.mid(start, end - start);
                if (QDir::isRelativePath(value) && process->cwd.isEmpty())
                    continue;
                const QFileInfo folder(QDir(process->cwd).filePath(value));
                if (folder.isDir())
                    return QDir::cleanPath(folder.absoluteFilePath());
            }
        }
    }
    return defaultDir;
}

QString ChromiumCollector::profileDir() const
{
    const QDir base(m_dir);
    QString name = QStringLiteral("Default");
    if (const std::optional<QByteArray> state
        = BoundedFile::read(base.filePath(QStringLiteral("Local State")), 16 * 1024 * 1024)) {
        const QString lastUsed = QJsonDocument::fromJson(*state)
                                     .object()
                                     .value(QLatin1String("profile"))
                                     .toObject()
                                     .value(QLatin1String("last_used"))
                                     .toString();
        // A name that could leave the user data folder is not a profile name.
        if (!lastUsed.isEmpty() && !lastUsed.contains(QLatin1Char('/')) && lastUsed != QLatin1String("..")
            && lastUsed != QLatin1String("."))
            name = lastUsed;
    }
    return base.filePath(name);
}

QStringList ChromiumCollector::sessionFiles() const
{
    const QDir profile(profileDir());
    QFileInfoList sessions = QDir(profile.filePath(QStringLiteral("Sessions")))
                                 .entryInfoList({ QStringLiteral("Session_*") }, QDir::Files | QDir::Hidden);
    auto stamp = [](const QFileInfo &info) { return info.fileName().mid(8).toLongLong(); };
    std::sort(sessions.begin(), sessions.end(), [&stamp](const QFileInfo &a, const QFileInfo &b) {
        if (stamp(a) != stamp(b))
            return stamp(a) > stamp(b);
        return a.lastModified() > b.lastModified();
    });
    QStringList files;
    for (const QFileInfo &info : sessions)
        files.append(info.filePath());
    // Browsers that keep a Sessions folder leave an old "Current Session" behind.
    const QString legacy = profile.filePath(QStringLiteral("Current Session"));
    if (files.isEmpty() && QFileInfo(legacy).isFile())
        files.append(legacy);
    return files;
}

std::optional<SnssReader::Result> ChromiumCollector::newestSession() const
{
    for (const QString &path : sessionFiles()) {
        const std::optional<QByteArray> data = BoundedFile::read(path, SnssReader::maxFileSize);
        if (!data)
            return std::nullopt;
        SnssReader::Result result = SnssReader::read(*data);
        if (result.status == SnssReader::Status::read)
            return result;
        if (result.status == SnssReader::Status::refused)
            return std::nullopt;
    }
    return std::nullopt;
}

QStringList ChromiumCollector::collect() const
{
    const std::optional<SnssReader::Result> session = newestSession();
    return session ? session->urls : QStringList();
}

QList<BrowserWindowTabs> ChromiumCollector::collectWindows() const
{
    const std::optional<SnssReader::Result> session = newestSession();
    return session ? session->windows : QList<BrowserWindowTabs>();
}
