// The store half of every command: run by whoever owns the store — the
// running application for a request that came over the instance channel, or
// the command line itself when no application runs — so there is one writer.
#pragma once

#include "commandresult.h"
#include "model/workspaceactions.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <functional>

class Workspace;
class WorkspaceStore;

/// Requests are JSON objects with "command" and its fields:
///   list    {json}                        newest first, a table or JSON
///   export  {file}                        every workspace into a backup file
///   import  {file}                        adds the workspaces of a backup file
///   delete  {target}                      removes a workspace
///   create  {name, icon, category, entries}  a new workspace from a capture
///   update  {target, entries}             merges a capture into a workspace
///   launch  {target, count}               counts the launch (when asked), and
///                                         returns what to launch in data
///   show    {target}                      returns the entries in data
/// `target` is a name (exact) or an id (UUID text, any letter case); files are
/// absolute paths. Data of launch and show: {id, name, entries,
/// restoreDocuments, autoLaunch}.
class StoreCommands
{
public:
    using Clock = std::function<QDateTime()>;

    explicit StoreCommands(WorkspaceStore &store, Clock now = &QDateTime::currentDateTime);

    CommandResult execute(const QJsonObject &request);

    /// The one workspace `target` names: the one with that id, else the one
    /// with exactly that name. An error line when there is none or several.
    Workspace *resolve(const QString &target, QString *error) const;

private:
    CommandResult list(const QJsonObject &request) const;
    CommandResult exportFile(const QJsonObject &request) const;
    CommandResult importFile(const QJsonObject &request);
    CommandResult remove(const QJsonObject &request);
    CommandResult create(const QJsonObject &request);
    CommandResult update(const QJsonObject &request);
    CommandResult launch(const QJsonObject &request);
    CommandResult show(const QJsonObject &request) const;
    /// Saves; an error result when the store refused.
    std::optional<CommandResult> saveFailure();
    static CommandResult saveFailure(const WorkspaceActions::Outcome &outcome);
    /// The shared actions, withdrawn when their save fails: a command that
    /// reports failure has changed nothing.
    WorkspaceActions actions();
    /// `failure` of a change that was taken back after its save failed.
    static CommandResult withdrawn(CommandResult failure);

    WorkspaceStore &m_store;
    Clock m_now;
};
