// The last delete of the main window, kept for a few seconds so that
// "Rückgängig" can bring it back.
#include "deleteundo.h"

#include "model/workspace.h"
#include "model/workspaceentry.h"
#include "model/workspacestore.h"

DeleteUndo::DeleteUndo(WorkspaceStore &store, QObject *parent)
    : QObject(parent)
    , m_store(store)
{
    m_expiry.setSingleShot(true);
    connect(&m_expiry, &QTimer::timeout, this, &DeleteUndo::dismiss);
}

QString DeleteUndo::message() const
{
    if (m_workspace)
        return QStringLiteral("Workspace „%1“ gelöscht").arg(m_workspace->name);
    if (m_entry)
        return QStringLiteral("Element gelöscht");
    return {};
}

void DeleteUndo::deleteWorkspace(Workspace *workspace)
{
    if (!workspace || m_store.find(workspace->id()) != workspace)
        return;
    // Taken before the delete: data() reads entries still left in the file.
    WorkspaceData copy = workspace->data();
    m_store.remove(workspace);
    m_store.save(); // a failed save stays pending in the store; the banner says so
    m_entry.reset();
    m_workspace = std::move(copy);
    keep();
}

void DeleteUndo::deleteEntry(WorkspaceEntry *entry)
{
    Workspace *owner = entry ? entry->workspace() : nullptr;
    if (!owner)
        return;
    DeletedEntry copy { owner->id(), owner->entries().indexOf(entry), entry->data() };
    m_store.removeEntry(entry);
    m_store.save();
    m_workspace.reset();
    m_entry = std::move(copy);
    keep();
}

bool DeleteUndo::undo()
{
    bool restored = false;
    if (m_workspace) {
        // The delete is written first, so the file never holds the id twice.
        m_store.save();
        Workspace *workspace = Workspace::fromData(*m_workspace);
        m_store.insert(workspace);
        m_store.save();
        restored = true;
        m_workspace.reset();
        m_expiry.stop();
        emit availableChanged();
        emit workspaceRestored(workspace);
    } else if (m_entry) {
        if (Workspace *owner = m_store.find(m_entry->workspaceId)) {
            QList<WorkspaceEntry *> entries = owner->entries();
            entries.insert(qBound<qsizetype>(0, m_entry->index, entries.size()), new WorkspaceEntry(m_entry->data));
            owner->setEntries(entries);
            m_store.save();
            restored = true;
        }
        m_entry.reset();
        m_expiry.stop();
        emit availableChanged();
    }
    return restored;
}

void DeleteUndo::dismiss()
{
    if (!available())
        return;
    m_workspace.reset();
    m_entry.reset();
    m_expiry.stop();
    emit availableChanged();
}

void DeleteUndo::keep()
{
    m_expiry.start(m_lifetime);
    emit availableChanged();
}
