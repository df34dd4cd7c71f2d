// Keeps the store in step with a folder that a sync engine (Nextcloud, Syncthing, a network share) copies
// between computers: each computer writes its own file there and reads the others'.
#pragma once

#include "syncfile.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QTimer>

class Workspace;
class WorkspaceStore;

class FolderSync : public QObject
{
    Q_OBJECT
    /// What went wrong at the last exchange, one German line; empty when all went well.
    Q_PROPERTY(QString problem READ problem NOTIFY problemChanged)

public:
    /// Pauses that gather bursts: a sync engine writes a file in several steps, and an edit saves several times.
    static constexpr int defaultSettleMs = 400;

    /// Syncs `store` through `folder` under this computer's name (its file
    /// is SyncFile::fileNameFor(computer)). Nothing happens before `start`.
    FolderSync(WorkspaceStore &store, const QString &folder, const QString &computer, QObject *parent = nullptr);
    ~FolderSync() override;

    /// A name for this computer that stays the same across restarts: the host
    /// name and the start of the machine id.
    static QString computerName();

    /// Reads the other computers' files, applies them, writes this computer's
    /// file, and from then on follows both the folder and the store.
    void start();
    /// The same exchange at once, without waiting for the pauses (for tests
    /// and the command line).
    void syncNow();
    void setSettleMs(int milliseconds);

    QString folder() const { return m_folder; }
    QString ownFilePath() const;
    QString problem() const { return m_problem; }

signals:
    void problemChanged();
    /// One exchange is over; `changed` tells whether the store took anything.
    void synced(bool changed);

private:
    /// Applies the other computers' files to the store; true when anything changed.
    bool readOthers();
    void writeOwn();
    void watchFiles();
    void readOwnTombstones();
    void workspaceRemoved(Workspace *workspace);
    void setProblem(const QString &text);
    void apply(Workspace *workspace, const WorkspaceData &data);

    WorkspaceStore &m_store;
    const QString m_folder;
    const QString m_ownName;
    QFileSystemWatcher m_watcher;
    QTimer m_readLater;
    QTimer m_writeLater;
    QHash<QUuid, QDateTime> m_tombstones;
    /// Deletions that the exchange itself makes carry the other computer's time, not a new one.
    bool m_applying = false;
    bool m_started = false;
    QString m_problem;
};
