// The changes a user makes to the store from anywhere, with one rule for a failed save.
#include "workspaceactions.h"

#include "model/workspace.h"
#include "model/workspaceentry.h"
#include "model/workspacemerge.h"
#include "model/workspacestore.h"

WorkspaceActions::WorkspaceActions(WorkspaceStore &store, FailedSave failedSave, Clock now)
    : m_store(store)
    , m_failedSave(failedSave)
    , m_now(std::move(now))
{
}

WorkspaceActions::Outcome WorkspaceActions::create(
    const QString &name, const QString &icon, const QString &category, const QList<EntryData> &entries)
{
    auto *workspace = new Workspace(name, icon, category, false, true);
    for (const EntryData &entry : entries)
        workspace->appendEntry(entry);
    m_store.insert(workspace);
    Outcome outcome { workspace, save() };
    if (!outcome.saved() && m_failedSave == FailedSave::withdraw) {
        m_store.remove(workspace);
        outcome.workspace = nullptr;
    }
    return outcome;
}

WorkspaceActions::Outcome WorkspaceActions::refresh(Workspace &workspace, const QList<EntryData> &captured)
{
    const WorkspaceData previous = workspace.data();
    mergeCapturedEntries(workspace, captured);
    workspace.setModifiedAt(m_now());
    Outcome outcome { &workspace, save() };
    if (!outcome.saved() && m_failedSave == FailedSave::withdraw) {
        QList<WorkspaceEntry *> entries;
        for (const EntryData &entry : previous.entries)
            entries << new WorkspaceEntry(entry);
        workspace.setEntries(entries);
        workspace.setModifiedAt(previous.modifiedAt);
    }
    return outcome;
}

WorkspaceActions::Outcome WorkspaceActions::recordLaunch(Workspace &workspace)
{
    workspace.recordLaunch(m_now());
    return { &workspace, save() };
}

QList<EntryData> WorkspaceActions::entriesOf(const Workspace &workspace)
{
    QList<EntryData> entries;
    for (const WorkspaceEntry *entry : workspace.entries())
        entries.append(entry->data());
    return entries;
}

QString WorkspaceActions::save()
{
    QString error;
    if (m_store.save(&error))
        return {};
    // A store that refuses without a reason still refused.
    return error.isEmpty() ? QStringLiteral("the store could not be written") : error;
}
