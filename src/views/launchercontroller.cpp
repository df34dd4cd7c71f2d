// The quick launcher's state: the search text, the workspaces that match it, the chosen one, and its launch.
#include "launchercontroller.h"

#include "automation/automationservice.h"
#include "model/workspace.h"
#include "model/workspaceactions.h"
#include "model/workspacestore.h"

#include <QDateTime>
#include <algorithm>

LauncherController::LauncherController(QObject *parent)
    : QObject(parent)
{
}

void LauncherController::setServices(ViewServices *services)
{
    if (m_services == services)
        return;
    m_services = services;
    emit servicesChanged();
    refresh();
}

void LauncherController::setQuery(const QString &query)
{
    if (m_query == query)
        return;
    m_query = query;
    emit queryChanged();
    refresh();
}

void LauncherController::setCurrentIndex(int index)
{
    const int bounded = m_results.isEmpty() ? -1 : std::clamp(index, 0, int(m_results.size()) - 1);
    if (m_currentIndex == bounded)
        return;
    m_currentIndex = bounded;
    emit currentIndexChanged();
}

bool LauncherController::matches(const Workspace &workspace, const QString &query)
{
    const QString wanted = query.trimmed();
    return wanted.isEmpty() || workspace.name().contains(wanted, Qt::CaseInsensitive)
        || workspace.category().contains(wanted, Qt::CaseInsensitive);
}

void LauncherController::reset()
{
    setQuery(QString());
    refresh();
}

void LauncherController::refresh()
{
    QList<Workspace *> found;
    if (m_services) {
        for (Workspace *workspace : m_services->store().workspaces()) {
            if (matches(*workspace, m_query))
                found.append(workspace);
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const Workspace *a, const Workspace *b) {
        if (a->isFavorite() != b->isFavorite())
            return a->isFavorite();
        return a->name().localeAwareCompare(b->name()) < 0;
    });
    QVariantList results;
    for (const Workspace *workspace : std::as_const(found)) {
        results.append(QVariantMap { { QStringLiteral("id"), workspace->idText() },
            { QStringLiteral("name"), workspace->name() }, { QStringLiteral("category"), workspace->category() },
            { QStringLiteral("icon"), workspace->icon() }, { QStringLiteral("entryCount"), workspace->entryCount() } });
    }
    m_results = results;
    emit resultsChanged();
    // A new search chooses its best (first) row.
    m_currentIndex = -2;
    setCurrentIndex(0);
}

void LauncherController::moveSelection(int delta)
{
    setCurrentIndex(m_currentIndex + delta);
}

bool LauncherController::launchCurrent()
{
    if (!m_services || m_currentIndex < 0 || m_currentIndex >= m_results.size())
        return false;
    const QUuid id(m_results[m_currentIndex].toMap().value(QStringLiteral("id")).toString());
    Workspace *workspace = m_services->store().find(id);
    if (!workspace)
        return false;
    WorkspaceActions(m_services->store(), WorkspaceActions::FailedSave::keepPending).recordLaunch(*workspace);
    m_services->noteLaunch(workspace->id().toString(QUuid::WithoutBraces));
    // As from a card: counted, never in focus mode; the launch goes on by itself.
    auto launch = m_services->automation().launchWorkspace(
        WorkspaceActions::entriesOf(*workspace), workspace->restoreDocuments(), false);
    Q_UNUSED(launch)
    emit closeRequested();
    return true;
}
