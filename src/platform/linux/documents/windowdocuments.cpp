// Finds the file or folder one window shows from its title, its process's command line and the recent-files lists.
#include "windowdocuments.h"

#include "filemanagercollector.h"
#include "titledocument.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
// A home folder with thousands of entries is not read on every look.
constexpr int maxHomeFolders = 1000;
} // namespace

WindowDocuments::WindowDocuments(QString homeDir, QString dataDir, ProcessLookup processes)
    : m_home(std::move(homeDir))
    , m_recent(std::move(dataDir), m_home)
    , m_processes(std::move(processes))
{
}

std::optional<QString> WindowDocuments::documentOf(
    const QString &applicationId, std::optional<qint64> pid, const QString &title)
{
    if (title.trimmed().isEmpty())
        return std::nullopt;
    const std::optional<ProcessView> process = pid ? m_processes.view(*pid) : std::nullopt;
    if (FileManagerCollector::titlesFolders(applicationId))
        return folderOf(process, title);
    return fileOf(applicationId, process, title);
}

QStringList WindowDocuments::recordedNames(const QString &applicationId, const std::optional<ProcessView> &process)
{
    // GTK records its applications' names ("Mousepad") and commands ("'mousepad %u'"), KDE the desktop entry
    // name: an id "org.xfce.mousepad" meets them by its last part, a program by its file name.
    QStringList names;
    if (!applicationId.isEmpty())
        names << applicationId << applicationId.section(QLatin1Char('.'), -1);
    if (process && !process->arguments.isEmpty())
        names << QFileInfo(process->arguments.front()).fileName();
    names.removeAll(QString());
    names.removeDuplicates();
    return names;
}

std::optional<QString> WindowDocuments::fileOf(
    const QString &applicationId, const std::optional<ProcessView> &process, const QString &title)
{
    if (auto path = TitleDocument::pathIn(title, m_home, false))
        return path;
    const QStringList started = process ? ProcessLookup::existingArguments(*process, false) : QStringList();
    QStringList candidates = started;
    candidates.append(m_recent.openedBy(recordedNames(applicationId, process)));
    return TitleDocument::match(title, candidates, started);
}

std::optional<QString> WindowDocuments::folderOf(const std::optional<ProcessView> &process, const QString &title)
{
    QStringList candidates;
    if (process) {
        candidates = ProcessLookup::existingArguments(*process, true);
        if (!process->cwd.isEmpty())
            candidates.append(process->cwd);
    }
    candidates.append(homeFolders());
    // Qt reads the user folders (user-dirs.dirs) of the real home only.
    if (QDir(m_home) == QDir(QDir::homePath())) {
        for (const auto location :
            { QStandardPaths::DesktopLocation, QStandardPaths::DocumentsLocation, QStandardPaths::DownloadLocation,
                QStandardPaths::MusicLocation, QStandardPaths::PicturesLocation, QStandardPaths::MoviesLocation })
            candidates.append(QStandardPaths::writableLocation(location));
    }
    // The recent list's folders and the folders of its files: where the user has been. Only the ones
    // whose name fits the title are looked at on disk.
    for (const QString &path : m_recent.all()) {
        candidates.append(path);
        candidates.append(QFileInfo(path).path());
    }
    candidates.removeAll(QString());
    return FileManagerCollector::folderOfTitle(title, candidates, m_home);
}

const QStringList &WindowDocuments::homeFolders()
{
    const QFileInfo home(m_home);
    const QDateTime stamp = home.isDir() ? home.lastModified() : QDateTime();
    if (stamp != m_homeStamp || m_homeFolders.isEmpty()) {
        m_homeStamp = stamp;
        m_homeFolders = { m_home };
        if (home.isDir()) {
            const QFileInfoList children = QDir(m_home).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
            for (const QFileInfo &child : children.mid(0, maxHomeFolders))
                m_homeFolders.append(child.filePath());
        }
    }
    return m_homeFolders;
}
