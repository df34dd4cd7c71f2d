// The persistent store of all workspaces: one SQLite file, the main context
// of loaded records that every view shares, and short-lived read contexts.
#pragma once

#include "workspace.h"
#include "workspacedata.h"
#include "workspacesummary.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QUuid>
#include <memory>
#include <optional>

class StoreConnection;
struct EntryFigures;
struct StoredWorkspace;

class WorkspaceStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString filePath READ filePath CONSTANT)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(bool hasUnsavedChanges READ hasUnsavedChanges NOTIFY hasUnsavedChangesChanged)
    /// A short German sentence for the user while changes cannot be saved;
    /// empty while saves work.
    Q_PROPERTY(QString writeProblem READ writeProblem NOTIFY writeProblemChanged)

public:
    /// `$CORVALINT_DATA_DIR` when set, else `$XDG_DATA_HOME/corvalint`.
    static QString defaultDirectory();
    /// The name of the store file inside its directory: "corvalint.sqlite".
    static QString fileName();
    /// The schema version this version writes: "1.1.0". Files of 1.0.0 are
    /// read as they are and upgraded in place when opened for writing.
    static QString schemaVersion();
    /// The text the application prints before it stops when `open` failed.
    static QString fatalMessage(const QString &description);

    /// Opens (creating when absent) the store file in `directory` and loads
    /// every workspace into the main context. Nothing, with a description,
    /// when the file cannot be used: it is not a store, it is damaged or
    /// truncated, or a newer version wrote it. A refused file is never
    /// written to, so a newer Corvalint or a repair tool still finds it intact.
    /// A file that can be read but not written opens, with `writeProblem` set.
    /// A file of the older schema 1.0.0 is upgraded in one transaction when
    /// it can be written, so the caller must hold the store's writer lock
    /// (InstanceLock) as every writer does; read-only it is read unchanged,
    /// and a failed upgrade leaves it unchanged and opens it read-only.
    static std::unique_ptr<WorkspaceStore> open(const QString &directory, QString *errorDescription);

    /// Saves what is still pending.
    ~WorkspaceStore() override;

    QString filePath() const { return m_filePath; }
    /// The store file and the files SQLite keeps beside it: nothing may ever
    /// write over them from outside (an export aimed at them, say).
    QStringList ownFiles() const;

    /// The main context: every loaded workspace, newest `createdAt` first;
    /// equal times keep store order (the order in which they were added).
    QList<Workspace *> workspaces() const;
    int count() const { return int(m_workspaces.size()); }
    /// The first workspace in store order whose id is `id`, or nullptr.
    Workspace *find(const QUuid &id) const;
    /// Whether `a` comes before `b` in `workspaces()`.
    bool isOrderedBefore(const Workspace *a, const Workspace *b) const;

    /// Adds `workspace` to the main context and takes ownership; written by the next save.
    void insert(Workspace *workspace);
    /// Takes `workspace` out of the main context and deletes it with its
    /// entries; the rows go with the next save. `workspaceRemoved` comes first.
    void remove(Workspace *workspace);
    /// Deletes one entry; its workspace is saved without it by the next save.
    void removeEntry(WorkspaceEntry *entry);

    /// Writes every pending insert, delete and change in one transaction.
    /// On failure the changes stay pending in memory and a later save writes them.
    bool save(QString *error = nullptr);
    bool hasUnsavedChanges() const;
    /// Why changes are not saved, for the user; empty while saves work. Set
    /// when the file or its directory is not writable at open and when a save
    /// fails, cleared by the next save that writes.
    QString writeProblem() const { return m_writeProblem; }

    /// Every workspace of the main context with all its entries, in the order
    /// of `workspaces()`, pending changes included. Entries still in the file
    /// are read now; when any read fails this gives nothing, with the reason
    /// in `error`, never a list that silently lacks entries.
    std::optional<QList<WorkspaceData>> snapshot(QString *error) const;

    /// A fresh read context: opens its own connection, reads every workspace
    /// (newest first, or in store order) and closes again. Nothing on failure.
    std::optional<QList<WorkspaceData>> fetchAll(bool newestFirst) const;
    /// The same read for lists that need no entries (the tray menu): newest
    /// first, entry and monitor counts from one aggregate query, no entry
    /// read at all. Nothing on failure.
    std::optional<QList<WorkspaceSummary>> fetchSummaries() const;

    /// Adds, in one transaction, every workspace of `items` whose id the
    /// store does not hold yet, and puts them into the main context. How many
    /// were added; -1 with `error` on failure, and then nothing changed.
    int addWorkspaces(const QList<WorkspaceData> &items, QString *error = nullptr);

    /// Reads the file again after another process wrote to it: records whose
    /// row still exists are updated in place, new rows are added, vanished
    /// ones removed. Pending changes are saved first; records whose changes
    /// could not be saved are left as they are.
    bool reload(QString *error = nullptr);

    /// How long a save waits for another process's write lock (2 s unless set).
    void setBusyTimeout(int milliseconds);
    /// How long after a change the store saves by itself (500 ms unless set).
    void setAutoSaveDelay(int milliseconds);

signals:
    void workspaceInserted(Workspace *workspace);
    /// Emitted while `workspace` is still intact, just before it is deleted.
    void workspaceRemoved(Workspace *workspace);
    void saved();
    void saveFailed(const QString &error);
    /// Entries left in the file could not be read when something asked for
    /// them (a damaged page, an I/O error); the workspace then shows none.
    /// Emitted once per workspace until a read of it succeeds again.
    void readFailed(const QString &error);
    void writeProblemChanged();
    void countChanged();
    void hasUnsavedChangesChanged();

protected:
    void childEvent(QChildEvent *event) override;

private:
    // What the store knows about a loaded record besides its fields.
    struct Tracking {
        qint64 pk = 0; // row key; 0 until the first save
        qint64 order = 0; // tie-break among equal createdAt (store order)
        qint64 createdKey = 0; // createdAt as last sorted, to notice a change
        bool dirty = false;
        bool readFailed = false; // its deferred entries could not be read
    };

    WorkspaceStore(const QString &filePath, std::unique_ptr<StoreConnection> connection);

    bool load(QString *error);
    void adopt(Workspace *workspace, qint64 pk);
    void dropRecord(Workspace *workspace, bool deleteRow);
    void sortIfNeeded() const;
    void markDirty(Workspace *workspace);
    void scheduleSave();
    void setUnsaved(bool value);
    void setWriteProblem(const QString &text);
    void noteEntryRead(Workspace *workspace, bool ok, const QString &error);
    void placeInOrder(Workspace *workspace);
    void applyStored(Workspace *workspace, qint64 pk, const WorkspaceData &data, const EntryFigures &figures);
    void deferEntries(Workspace *workspace, const EntryFigures &figures);
    qint64 orderOf(const Workspace *workspace) const;
    bool computeUnsaved() const;

    QString m_filePath;
    std::unique_ptr<StoreConnection> m_connection;
    int m_busyTimeoutMs = 2000;
    mutable QList<Workspace *> m_workspaces;
    mutable bool m_needsSort = false;
    QHash<const Workspace *, Tracking> m_tracking;
    QList<Workspace *> m_dirty; // in the order they changed
    QList<qint64> m_pendingDeletes;
    qint64 m_nextNewOrder = 0;
    bool m_unsaved = false;
    bool m_applyingStored = false;
    QString m_writeProblem;
    // How read contexts open the file: read-only, or as it lies on disk in a
    // folder where SQLite could not create what a read-only connection needs.
    bool m_readFileAlone = false;
    QTimer m_autoSave;
};
