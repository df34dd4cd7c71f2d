// The changes a user makes to the store from anywhere: the window, the tray,
// the launcher and the command line all create, refresh and launch through
// here, so a workspace made or counted one way looks the same as any other.
#pragma once

#include "model/entrydata.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>

class Workspace;
class WorkspaceStore;

class WorkspaceActions
{
public:
    using Clock = std::function<QDateTime()>;

    /// What happens to a change whose save failed. The window keeps it: it is
    /// shown, stays pending in the store and a later save may still write it.
    /// A command withdraws it, so that a command that reports failure has
    /// changed nothing.
    enum class FailedSave { keepPending, withdraw };

    /// What an action did: the workspace it made or changed (nullptr when a
    /// withdrawn creation took it away again), and why the save failed.
    struct Outcome {
        Workspace *workspace = nullptr;
        QString saveError;
        bool saved() const { return saveError.isEmpty(); }
    };

    WorkspaceActions(WorkspaceStore &store, FailedSave failedSave, Clock now = &QDateTime::currentDateTime);

    /// A new workspace holding `entries` in their order, as the dashboard makes
    /// it: not in focus mode, documents restored.
    Outcome create(const QString &name, const QString &icon, const QString &category, const QList<EntryData> &entries);

    /// Merges a capture into `workspace` and stamps it modified.
    Outcome refresh(Workspace &workspace, const QList<EntryData> &captured);

    /// Counts a launch of `workspace`. Never withdrawn whatever the policy: a
    /// failed save must not stop the launch, and the count stays pending.
    Outcome recordLaunch(Workspace &workspace);

    /// The entries to launch, in their order.
    static QList<EntryData> entriesOf(const Workspace &workspace);

private:
    /// Saves; the store's reason when it refused.
    QString save();

    WorkspaceStore &m_store;
    FailedSave m_failedSave;
    Clock m_now;
};
