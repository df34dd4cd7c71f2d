// The actions of one dashboard card: favourite toggle, counted start without
// focus mode, and deletion, each followed by a save.
#include "workspacecardcontroller.h"

#include "automation/automationservice.h"
#include "categorypalette.h"
#include "model/workspace.h"
#include "model/workspaceactions.h"
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
    for (const QMetaObject::Connection &connection : std::as_const(m_launchConnections))
        disconnect(connection);
    m_launchConnections.clear();
    m_services = services;
    if (m_services) {
        AutomationService *automation = &m_services->automation();
        m_launchConnections = { connect(automation, &AutomationService::launchingChanged, this,
                                    &WorkspaceCardController::launchStateChanged),
            connect(automation, &AutomationService::launchProblemsChanged, this,
                &WorkspaceCardController::launchStateChanged),
            connect(m_services, &ViewServices::launchedWorkspaceChanged, this,
                &WorkspaceCardController::launchStateChanged) };
    }
    emit servicesChanged();
    emit launchStateChanged();
}

bool WorkspaceCardController::isLastLaunched() const
{
    return m_services && m_workspace
        && m_services->launchedWorkspaceId() == m_workspace->id().toString(QUuid::WithoutBraces);
}

bool WorkspaceCardController::launching() const
{
    return isLastLaunched() && m_services->automation().launching();
}

QString WorkspaceCardController::launchProblemText(qsizetype problems)
{
    if (problems <= 0)
        return {};
    return problems == 1 ? QStringLiteral("1 Element nicht geöffnet")
                         : QStringLiteral("%1 Elemente nicht geöffnet").arg(problems);
}

QString WorkspaceCardController::launchProblemText() const
{
    if (!isLastLaunched() || m_services->automation().launching())
        return {};
    return launchProblemText(m_services->automation().launchProblems().size());
}

QString WorkspaceCardController::launchProblemDetails() const
{
    if (launchProblemText().isEmpty())
        return {};
    return m_services->automation().launchProblems().join(QLatin1Char('\n'));
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
    emit launchStateChanged();
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
    // A failed save stays pending in the store; the launch goes on.
    WorkspaceActions(m_services->store(), WorkspaceActions::FailedSave::keepPending).recordLaunch(*m_workspace);
    m_services->noteLaunch(m_workspace->id().toString(QUuid::WithoutBraces));
    // The task runs to its end on its own (its frame outlives the handle); it
    // holds copies only, so the card may go away meanwhile. A card never
    // launches in focus mode, whatever the workspace's autoLaunch says.
    auto launch = m_services->automation().launchWorkspace(
        WorkspaceActions::entriesOf(*m_workspace), m_workspace->restoreDocuments(), false);
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
