// The last delete of the main window, kept for a few seconds so that
// "Rückgängig" can bring it back: deletes ask nothing, so a slip must be
// cheap to take back.
#pragma once

#include "model/entrydata.h"
#include "model/workspacedata.h"

#include <QObject>
#include <QTimer>
#include <QUuid>
#include <QtQml/qqmlregistration.h>
#include <chrono>
#include <optional>

class Workspace;
class WorkspaceEntry;
class WorkspaceStore;

class DeleteUndo : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Reached through Services.undo")
    /// Whether the last delete can still be taken back.
    Q_PROPERTY(bool available READ available NOTIFY availableChanged)
    /// What went: "Workspace „Coding“ gelöscht" or "Element gelöscht"; empty when nothing can be taken back.
    Q_PROPERTY(QString message READ message NOTIFY availableChanged)

public:
    /// How long a delete can be taken back unless `setLifetime` says otherwise.
    static constexpr std::chrono::milliseconds defaultLifetime { 6000 };

    /// `store` must outlive this object.
    explicit DeleteUndo(WorkspaceStore &store, QObject *parent = nullptr);

    bool available() const { return m_workspace.has_value() || m_entry.has_value(); }
    QString message() const;
    std::chrono::milliseconds lifetime() const { return m_lifetime; }
    void setLifetime(std::chrono::milliseconds lifetime) { m_lifetime = lifetime; }

    /// Deletes `workspace` with its entries and saves, keeping a copy for `undo`.
    Q_INVOKABLE void deleteWorkspace(Workspace *workspace);
    /// Deletes one entry and saves, keeping a copy and its place for `undo`.
    Q_INVOKABLE void deleteEntry(WorkspaceEntry *entry);
    /// Puts the last deleted workspace (same id, fields, counters and entries)
    /// or entry (at its old place) back through the store and saves. False when
    /// nothing can be taken back any more, or the entry's workspace is gone.
    Q_INVOKABLE bool undo();
    /// Makes the last delete final now.
    Q_INVOKABLE void dismiss();

signals:
    void availableChanged();
    /// A workspace came back: the record that now stands for the deleted one.
    void workspaceRestored(Workspace *workspace);

private:
    struct DeletedEntry {
        QUuid workspaceId;
        qsizetype index = 0;
        EntryData data;
    };

    void keep();

    WorkspaceStore &m_store;
    std::chrono::milliseconds m_lifetime = defaultLifetime;
    QTimer m_expiry;
    std::optional<WorkspaceData> m_workspace;
    std::optional<DeletedEntry> m_entry;
};
