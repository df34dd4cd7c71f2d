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
// One snapshot asks for every window of a process within milliseconds; a process's command line
// is read once for all of them. A new process could only reuse the number after its pid space wrapped.
constexpr int processesMaxAgeMs = 1000;
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
    Process &started = process(pid);
    if (FileManagerCollector::titlesFolders(applicationId))
        return folderOf(started, title);
    return fileOf(applicationId, started, title);
}

WindowDocuments::Process &WindowDocuments::process(std::optional<qint64> pid)
{
    if (!m_processesAge.isValid() || m_processesAge.elapsed() > processesMaxAgeMs) {
        m_read.clear();
        m_processesAge.start();
    }
    const qint64 key = pid.value_or(0);
    auto found = m_read.find(key);
    if (found == m_read.end())
        found = m_read.insert(key, Process { pid ? m_processes.view(*pid) : std::nullopt, {}, {} });
    return *found;
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

std::optional<QString> WindowDocuments::fileOf(const QString &applicationId, Process &process, const QString &title)
{
    if (auto path = TitleDocument::pathIn(title, m_home, false))
        return path;
    if (!process.files)
        process.files = process.view ? ProcessLookup::existingArguments(*process.view, false) : QStringList();
    QStringList candidates = *process.files;
    candidates.append(m_recent.openedBy(recordedNames(applicationId, process.view)));
    return TitleDocument::match(title, candidates, *process.files);
}

std::optional<QString> WindowDocuments::folderOf(Process &process, const QString &title)
{
    QStringList candidates;
    if (process.view) {
        if (!process.folders)
            process.folders = ProcessLookup::existingArguments(*process.view, true);
        candidates = *process.folders;
        if (!process.view->cwd.isEmpty())
            candidates.append(process.view->cwd);
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
