// Finds the file or folder one window shows from its title, its process's command line and the recent-files lists.
#pragma once

#include "processlookup.h"
#include "recentfiles.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

class WindowDocuments
{
public:
    /// `homeDir` expands `~` in titles and gives the folders file managers are
    /// usually in; `dataDir` holds the recent-files lists; `processes` reads /proc
    /// (or a test's stand-in).
    WindowDocuments(QString homeDir, QString dataDir, ProcessLookup processes = ProcessLookup());

    /// The existing local file or folder that the window titled `title` of
    /// `applicationId` shows, as an absolute path; nothing when the clues do not
    /// point at exactly one. File managers (see FileManagerCollector::titlesFolders())
    /// give folders, every other application a regular file:
    /// 1. a title naming an existing absolute or `~` path wins outright;
    /// 2. else the candidates are the process's arguments that are files, and the
    ///    recent files that this application opened (by desktop entry id, its last
    ///    dotted part, or the process's program name), newest first; the one whose
    ///    name stands in the title wins (TitleDocument::match());
    /// 3. for a file manager the candidates are folders: its arguments and working
    ///    folder, the home folder and its children, the XDG user folders, and the
    ///    recent files' folders (FileManagerCollector::folderOfTitle()).
    /// Each window of a single-instance editor is matched by its own title.
    std::optional<QString> documentOf(const QString &applicationId, std::optional<qint64> pid, const QString &title);

    /// The names a recent-files list may record `applicationId` under.
    static QStringList recordedNames(const QString &applicationId, const std::optional<ProcessView> &process);

private:
    /// What one process was started with, read once for all its windows.
    struct Process {
        std::optional<ProcessView> view;
        std::optional<QStringList> files;
        std::optional<QStringList> folders;
    };

    Process &process(std::optional<qint64> pid);
    std::optional<QString> fileOf(const QString &applicationId, Process &process, const QString &title);
    std::optional<QString> folderOf(Process &process, const QString &title);
    const QStringList &homeFolders();

    QString m_home;
    RecentFiles m_recent;
    ProcessLookup m_processes;
    QDateTime m_homeStamp;
    QStringList m_homeFolders;
    QHash<qint64, Process> m_read;
    QElapsedTimer m_processesAge;
};
