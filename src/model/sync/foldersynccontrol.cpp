// The user's choice of a sync folder, remembered in the settings, and the folder sync that follows it.
#include "foldersynccontrol.h"

#include "foldersync.h"
#include "syncfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QUrl>

FolderSyncControl::FolderSyncControl(
    WorkspaceStore &store, QSettings &settings, const QString &computer, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_settings(settings)
    , m_computer(computer)
{
    m_enabled = m_settings.value(enabledKey, false).toBool();
    m_folder = m_settings.value(folderKey).toString();
    restart();
}

FolderSyncControl::~FolderSyncControl() = default;

void FolderSyncControl::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    m_settings.setValue(enabledKey, enabled);
    emit enabledChanged();
    restart();
}

void FolderSyncControl::setFolder(const QString &folder)
{
    const QUrl url(folder);
    QString path = url.isLocalFile() ? url.toLocalFile() : folder.trimmed();
    if (!path.isEmpty())
        path = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (m_folder == path)
        return;
    m_folder = path;
    m_settings.setValue(folderKey, path);
    emit folderChanged();
    restart();
}

QString FolderSyncControl::ownFileName() const
{
    return SyncFile::fileNameFor(m_computer);
}

QString FolderSyncControl::problem() const
{
    if (!m_setupProblem.isEmpty())
        return m_setupProblem;
    return m_sync ? m_sync->problem() : QString();
}

void FolderSyncControl::restart()
{
    const bool wasRunning = running();
    m_sync.reset();
    m_setupProblem.clear();
    if (m_enabled && !m_folder.isEmpty()) {
        // The folder must be there already: a mistyped path would otherwise become a folder nobody syncs.
        if (!QFileInfo(m_folder).isDir()) {
            m_setupProblem = QStringLiteral("Der Ordner „%1“ existiert nicht.").arg(m_folder);
        } else {
            m_sync = std::make_unique<FolderSync>(m_store, m_folder, m_computer);
            connect(m_sync.get(), &FolderSync::problemChanged, this, &FolderSyncControl::problemChanged);
            m_sync->start();
        }
    }
    emit problemChanged();
    if (wasRunning != running())
        emit runningChanged();
}
