// The actions of one dashboard card: favourite toggle, counted start without
// focus mode, and deletion, each followed by a save.
#include "workspacecardcontroller.h"

#include "categorypalette.h"
#include "automation/automationservice.h"
#include "model/workspace.h"
#include "model/workspacestore.h"

#include <QDateTime>

WorkspaceCardController::WorkspaceCardController(QObject *parent)
    : QObject(parent)
{
}

QString WorkspaceCardController::entriesText(int entryCount)
{
    return QString::number(entryCount) + QStringLiteral(" Apps & Elemente");
}

void WorkspaceCardController::setServices(ViewServices *services)
{
    if (m_services == services)
        return;
    m_services = services;
    emit servicesChanged();
}

void WorkspaceCardController::setWorkspace(Workspace *workspace)
{
    if (m_workspace == workspace)
        return;
    if (m_workspace)
        disconnect(m_workspace, nullptr, this, nullptr);
    m_workspace = workspace;
    if (m_workspace) {
        connect(m_workspace, &Workspace::entriesChanged, this, &WorkspaceCardController::entriesTextChanged);
        connect(m_workspace, &Workspace::categoryChanged, this, &WorkspaceCardController::categoryChanged);
    }
    emit workspaceChanged();
    emit entriesTextChanged();
    emit categoryChanged();
}

QString WorkspaceCardController::entriesText() const
{
    return entriesText(m_workspace ? m_workspace->entryCount() : 0);
}

QColor WorkspaceCardController::gradientStart() const
{
    return CategoryPalette::gradientStart(m_workspace ? m_workspace->category() : QString());
}

QColor WorkspaceCardController::gradientEnd() const
{
    return CategoryPalette::gradientEnd(m_workspace ? m_workspace->category() : QString());
}

void WorkspaceCardController::toggleFavorite()
{
    if (!m_workspace)
        return;
    m_workspace->setIsFavorite(!m_workspace->isFavorite());
    save();
}

void WorkspaceCardController::start()
{
    if (!m_workspace || !m_services)
        return;
    m_workspace->recordLaunch(QDateTime::currentDateTime());
    save();

    QList<EntryData> entries;
    for (const WorkspaceEntry *entry : m_workspace->entries())
        entries.append(entry->data());
    // The task runs to its end on its own (its frame outlives the handle); it
    // holds copies only, so the card may go away meanwhile. A card never
    // launches in focus mode, whatever the workspace's autoLaunch says.
    auto launch = m_services->automation().launchWorkspace(std::move(entries), m_workspace->restoreDocuments(), false);
    Q_UNUSED(launch)
}

void WorkspaceCardController::remove()
{
    if (!m_workspace || !m_services)
        return;
    m_services->undo()->deleteWorkspace(m_workspace);
}

void WorkspaceCardController::save()
{
    if (m_services)
        m_services->store().save(); // failures stay pending in the store; nothing is shown
}
