// Keeps the store in step with a folder that a sync engine (Nextcloud, Syncthing, a network share) copies
// between computers: each computer writes its own file there and reads the others'.
#include "foldersync.h"

#include "model/backup/backupfile.h"
#include "model/backup/backuplimits.h"
#include "model/backup/safefile.h"
#include "model/workspace.h"
#include "model/workspacestore.h"
#include "syncmerge.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

FolderSync::FolderSync(WorkspaceStore &store, const QString &folder, const QString &computer, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_folder(folder)
    , m_ownName(SyncFile::fileNameFor(computer))
{
    m_readLater.setSingleShot(true);
    m_readLater.setInterval(defaultSettleMs);
    m_writeLater.setSingleShot(true);
    m_writeLater.setInterval(defaultSettleMs);
    connect(&m_readLater, &QTimer::timeout, this, [this] {
        // Files that were replaced (renamed over) leave the watch list; they are watched again.
        watchFiles();
        if (readOthers())
            m_writeLater.start();
    });
    connect(&m_writeLater, &QTimer::timeout, this, &FolderSync::writeOwn);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_readLater, qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_readLater, qOverload<>(&QTimer::start));
}

FolderSync::~FolderSync()
{
    // Changes of the last moments still reach the folder.
    if (m_started && m_writeLater.isActive())
        writeOwn();
}

QString FolderSync::computerName()
{
    const QByteArray machine = QSysInfo::machineUniqueId();
    const QString host = QSysInfo::machineHostName();
    // Two computers may share a host name ("localhost"); the machine id tells them apart.
    const QString tag = machine.isEmpty()
        ? QString()
        : QString::fromLatin1(QCryptographicHash::hash(machine, QCryptographicHash::Sha256).toHex().left(8));
    return tag.isEmpty() ? host : host + QLatin1Char('-') + tag;
}

QString FolderSync::ownFilePath() const
{
    return QDir(m_folder).filePath(m_ownName);
}

void FolderSync::setSettleMs(int milliseconds)
{
    m_readLater.setInterval(milliseconds);
    m_writeLater.setInterval(milliseconds);
}

void FolderSync::start()
{
    if (m_started)
        return;
    m_started = true;
    QDir().mkpath(m_folder);
    readOwnTombstones();
    connect(&m_store, &WorkspaceStore::workspaceRemoved, this, &FolderSync::workspaceRemoved);
    connect(&m_store, &WorkspaceStore::saved, &m_writeLater, qOverload<>(&QTimer::start));
    connect(&m_store, &WorkspaceStore::workspaceInserted, &m_writeLater, qOverload<>(&QTimer::start));
    m_watcher.addPath(m_folder);
    syncNow();
}

void FolderSync::syncNow()
{
    m_readLater.stop();
    watchFiles();
    const bool changed = readOthers();
    writeOwn();
    emit synced(changed);
}

void FolderSync::watchFiles()
{
    const QDir dir(m_folder);
    const QStringList names
        = dir.entryList({ SyncFile::prefix + QLatin1Char('*') + SyncFile::suffix }, QDir::Files, QDir::Name);
    QStringList paths;
    for (const QString &name : names) {
        if (name != m_ownName)
            paths.append(dir.filePath(name));
    }
    const QStringList watched = m_watcher.files();
    for (const QString &path : std::as_const(paths)) {
        if (!watched.contains(path))
            m_watcher.addPath(path);
    }
}

void FolderSync::readOwnTombstones()
{
    const SafeFile::ReadResult read = SafeFile::read(ownFilePath(), BackupLimits::maxFileBytes);
    SyncFileContent own;
    if (read.status == SafeFile::ReadStatus::Ok && SyncFile::parse(read.bytes, own, nullptr)) {
        for (const SyncTombstone &tombstone : std::as_const(own.tombstones))
            m_tombstones.insert(tombstone.id, tombstone.deletedAt);
    }
}

bool FolderSync::readOthers()
{
    const QDir dir(m_folder);
    const QStringList names
        = dir.entryList({ SyncFile::prefix + QLatin1Char('*') + SyncFile::suffix }, QDir::Files, QDir::Name);
    QList<SyncFileContent> others;
    QStringList problems;
    for (const QString &name : names) {
        if (name == m_ownName)
            continue;
        const SafeFile::ReadResult read = SafeFile::read(dir.filePath(name), BackupLimits::maxFileBytes);
        if (read.status == SafeFile::ReadStatus::NotFound)
            continue;
        SyncFileContent content;
        QString why;
        // A file the sync engine is still writing reads as damaged; it is read again when it changes.
        if (read.status != SafeFile::ReadStatus::Ok || !SyncFile::parse(read.bytes, content, &why)) {
            problems.append(
                QStringLiteral("„%1“ ist unvollständig oder beschädigt und wird später erneut gelesen.").arg(name));
            continue;
        }
        others.append(std::move(content));
    }

    QString error;
    const std::optional<QList<WorkspaceData>> local = m_store.snapshot(&error);
    if (!local) {
        setProblem(QStringLiteral("Die Workspaces ließen sich nicht lesen: %1").arg(error));
        return false;
    }
    QList<SyncTombstone> tombstones;
    for (auto it = m_tombstones.cbegin(); it != m_tombstones.cend(); ++it)
        tombstones.append(SyncTombstone { it.key(), it.value() });
    const SyncChanges changes = SyncMerge::changes(*local, tombstones, others);

    // Deletions from elsewhere are kept here too, so that a computer that missed the other's file still
    // learns of them from this one.
    QList<SyncTombstone> remote;
    for (const SyncFileContent &file : std::as_const(others))
        remote += file.tombstones;
    const QHash<QUuid, QDateTime> remoteDeletions = SyncMerge::latestDeletions(remote);

    m_applying = true;
    for (const QUuid &id : changes.removed) {
        m_tombstones.insert(id, remoteDeletions.value(id));
        m_store.remove(m_store.find(id));
    }
    for (const WorkspaceData &data : changes.updated) {
        if (Workspace *workspace = m_store.find(data.id))
            apply(workspace, data);
    }
    m_applying = false;
    if (!changes.added.isEmpty() && m_store.addWorkspaces(changes.added, &error) < 0)
        problems.append(QStringLiteral("Workspaces aus dem Ordner ließen sich nicht hinzufügen: %1").arg(error));
    if (!changes.removed.isEmpty() || !changes.updated.isEmpty())
        m_store.save();
    setProblem(problems.join(QLatin1Char('\n')));
    return !changes.isEmpty();
}

void FolderSync::apply(Workspace *workspace, const WorkspaceData &data)
{
    workspace->setName(data.name);
    workspace->setIcon(data.icon);
    workspace->setCategory(data.category);
    workspace->setCreatedAt(data.createdAt);
    workspace->setAutoLaunch(data.autoLaunch);
    workspace->setRestoreDocuments(data.restoreDocuments);
    workspace->setIsFavorite(data.isFavorite);
    workspace->setLaunchCount(data.launchCount);
    workspace->setLastLaunchedAt(data.lastLaunchedAt);
    workspace->setTimeSavedInSeconds(data.timeSavedInSeconds);
    QList<WorkspaceEntry *> entries;
    for (const EntryData &entry : data.entries)
        entries.append(new WorkspaceEntry(entry));
    workspace->setEntries(entries);
    // Last: the setters above must not leave a newer time than the one that came.
    workspace->setModifiedAt(data.modifiedAt);
}

void FolderSync::writeOwn()
{
    m_writeLater.stop();
    QString error;
    const std::optional<QList<WorkspaceData>> local = m_store.snapshot(&error);
    if (!local) {
        setProblem(QStringLiteral("Die Workspaces ließen sich nicht lesen: %1").arg(error));
        return;
    }
    SyncFileContent content { *local, {} };
    for (auto it = m_tombstones.cbegin(); it != m_tombstones.cend(); ++it)
        content.tombstones.append(SyncTombstone { it.key(), it.value() });
    std::sort(content.tombstones.begin(), content.tombstones.end(),
        [](const SyncTombstone &a, const SyncTombstone &b) { return a.id < b.id; });
    const QByteArray bytes = SyncFile::serialize(content);
    // Unchanged content is not written again: every write wakes the sync engine and the other computers.
    const SafeFile::ReadResult current = SafeFile::read(ownFilePath(), BackupLimits::maxFileBytes);
    if (current.status == SafeFile::ReadStatus::Ok && current.bytes == bytes)
        return;
    if (!BackupFile::writeAtomically(ownFilePath(), bytes, &error, m_store.ownFiles()))
        setProblem(QStringLiteral("„%1“ ließ sich nicht schreiben: %2").arg(m_ownName, error));
}

void FolderSync::workspaceRemoved(Workspace *workspace)
{
    if (!m_applying)
        m_tombstones.insert(workspace->id(), QDateTime::currentDateTimeUtc());
    m_writeLater.start();
}

void FolderSync::setProblem(const QString &text)
{
    if (m_problem == text)
        return;
    m_problem = text;
    emit problemChanged();
}
