// The state and actions of the workspace detail view: monitor check, launch, preview,
// refresh from the desktop, the edit sheet, and deleting entries or the workspace.
#include "detailcontroller.h"

#include "automation/automationservice.h"
#include "categorypalette.h"
#include "creationsheetcontroller.h"
#include "emptycapturetext.h"
#include "model/workspaceactions.h"
#include "model/workspacecategory.h"
#include "model/workspacestore.h"
#include "overridecursorguard.h"

#include <algorithm>

DetailController::DetailController(QObject *parent)
    : QObject(parent)
{
}

QList<WorkspaceEntry *> DetailController::sortedByIdText(QList<WorkspaceEntry *> entries)
{
    std::stable_sort(entries.begin(), entries.end(), [](const WorkspaceEntry *a, const WorkspaceEntry *b) {
        return a->id().toString(QUuid::WithoutBraces).toUpper() < b->id().toString(QUuid::WithoutBraces).toUpper();
    });
    return entries;
}

QString DetailController::summaryText(const QString &category, int entryCount)
{
    return category + QStringLiteral(" \u2022 ") + QString::number(entryCount) + QStringLiteral(" Elemente");
}

void DetailController::setServices(ViewServices *services)
{
    if (m_services == services)
        return;
    disconnect(m_screensConnection);
    disconnect(m_launchingConnection);
    disconnect(m_problemsConnection);
    m_services = services;
    if (m_services) {
        m_launchingConnection = connect(&m_services->automation(), &AutomationService::launchingChanged, this,
            &DetailController::launchStateChanged);
        m_problemsConnection = connect(&m_services->automation(), &AutomationService::launchProblemsChanged, this,
            &DetailController::launchStateChanged);
        // The badge follows screens plugged in or out while the view is open.
        m_screensConnection
            = connect(&m_services->platform(), &DesktopPlatform::monitorsChanged, this, &DetailController::readScreens);
    }
    emit servicesChanged();
    emit launchStateChanged();
    readScreens();
}

QString DetailController::launchMessage() const
{
    if (!m_services)
        return {};
    const AutomationService &automation = m_services->automation();
    if (automation.launching())
        return QStringLiteral("Workspace wird gestartet …");
    if (automation.launchProblems().isEmpty())
        return {};
    return QStringLiteral("Nicht alles ließ sich öffnen: ") + automation.launchProblems().join(QLatin1Char(' '));
}

bool DetailController::launchTroubled() const
{
    return m_services && !m_services->automation().launching() && !m_services->automation().launchProblems().isEmpty();
}

void DetailController::setWorkspace(Workspace *workspace)
{
    if (m_workspace == workspace)
        return;
    if (m_workspace)
        disconnect(m_workspace, nullptr, this, nullptr);
    m_workspace = workspace;
    setCaptureProblem({});
    if (m_workspace) {
        connect(m_workspace, &Workspace::entriesChanged, this, &DetailController::refreshEntries);
        connect(m_workspace, &Workspace::categoryChanged, this, &DetailController::summaryChanged);
        // An entry's monitor may change without the list changing (a refresh).
        connect(m_workspace, &Workspace::changed, this, &DetailController::refreshStatus);
    }
    // The sheet belongs to the workspace it was opened for.
    setShowingEditSheet(false);
    emit workspaceChanged();
    refreshEntries();
}

void DetailController::setNavigation(NavigationController *navigation)
{
    if (m_navigation == navigation)
        return;
    m_navigation = navigation;
    emit navigationChanged();
}

void DetailController::setOverlay(PreviewOverlayManager *overlay)
{
    if (m_overlay == overlay)
        return;
    m_overlay = overlay;
    emit overlayChanged();
}

QStringList DetailController::screenMonitorIDs() const
{
    QStringList ids;
    for (const std::optional<QString> &id : m_screenMonitorIDs)
        ids.append(id.value_or(QString()));
    return ids;
}

QString DetailController::summary() const
{
    return m_workspace ? summaryText(m_workspace->category(), m_workspace->entryCount()) : QString();
}

QColor DetailController::gradientStart() const
{
    return CategoryPalette::gradientStart(m_workspace ? m_workspace->category() : QString());
}

QColor DetailController::gradientEnd() const
{
    return CategoryPalette::gradientEnd(m_workspace ? m_workspace->category() : QString());
}

void DetailController::setShowingEditSheet(bool showing)
{
    if (m_showingEditSheet == showing)
        return;
    m_showingEditSheet = showing;
    emit showingEditSheetChanged();
}

void DetailController::setEditedName(const QString &name)
{
    if (m_editedName == name)
        return;
    m_editedName = name;
    emit editedNameChanged();
}

void DetailController::setEditedIcon(const QString &icon)
{
    if (m_editedIcon == icon)
        return;
    m_editedIcon = icon;
    emit editedIconChanged();
}

void DetailController::setEditedCategory(const QString &category)
{
    if (m_editedCategory == category)
        return;
    m_editedCategory = category;
    emit editedCategoryChanged();
}

bool DetailController::canSave() const
{
    return !CreationSheetController::trimSpacesAndTabs(m_editedName).isEmpty();
}

QStringList DetailController::icons()
{
    return CreationSheetController::icons();
}

QStringList DetailController::categories()
{
    return CategoryPalette::texts();
}

void DetailController::launch()
{
    if (!m_workspace || !m_services)
        return;
    actions().recordLaunch(*m_workspace);
    m_services->noteLaunch(m_workspace->id().toString(QUuid::WithoutBraces));
    // The task runs to its end on its own and holds copies only, so the view
    // may go away meanwhile; a second press starts a second launch.
    auto task = m_services->automation().launchWorkspace(
        WorkspaceActions::entriesOf(*m_workspace), m_workspace->restoreDocuments(), m_workspace->autoLaunch());
    Q_UNUSED(task)
}

void DetailController::showPreview()
{
    if (m_workspace && m_overlay)
        m_overlay->show(WorkspaceActions::entriesOf(*m_workspace));
}

void DetailController::updateFromDesktop()
{
    if (!m_workspace || !m_services)
        return;
    captureAndMerge();
}

QCoro::Task<> DetailController::captureAndMerge()
{
    const QPointer<DetailController> self(this);
    const QPointer<Workspace> workspace = m_workspace;
    QList<EntryData> captured;
    {
        // The window keeps drawing while the other applications answer.
        OverrideCursorGuard busy;
        captured = co_await m_services->automation().captureDesktop();
    }
    // The workspace may have been deleted, or another one opened, meanwhile.
    if (!self || !workspace || workspace != m_workspace)
        co_return;
    if (captured.isEmpty()) {
        setCaptureProblem(emptyCaptureText(m_services->automation()));
        co_return;
    }
    setCaptureProblem({});
    actions().refresh(*workspace, captured);
}

void DetailController::setCaptureProblem(const QString &problem)
{
    if (problem == m_captureProblem)
        return;
    m_captureProblem = problem;
    emit captureProblemChanged();
}

void DetailController::deleteEntry(WorkspaceEntry *entry)
{
    if (!entry || !m_services || !m_workspace || entry->workspace() != m_workspace)
        return;
    m_services->undo()->deleteEntry(entry);
}

void DetailController::beginEdit()
{
    if (!m_workspace)
        return;
    setEditedName(m_workspace->name());
    setEditedIcon(m_workspace->icon());
    const auto category = categoryFromText(m_workspace->category());
    setEditedCategory(categoryText(category.value_or(WorkspaceCategory::development)));
    setShowingEditSheet(true);
}

void DetailController::cancelEdit()
{
    setShowingEditSheet(false);
}

void DetailController::saveEdit()
{
    if (!m_workspace || !canSave())
        return;
    m_workspace->setName(m_editedName);
    m_workspace->setCategory(m_editedCategory);
    m_workspace->setIcon(m_editedIcon);
    m_workspace->setModifiedAt(m_now());
    save();
    setShowingEditSheet(false);
}

void DetailController::deleteWorkspace()
{
    if (!m_workspace || !m_services)
        return;
    // Held here: leaving the workspace may unbind it from this controller.
    Workspace *workspace = m_workspace;
    setShowingEditSheet(false);
    // The navigation leaves the workspace first, so that nothing shows a deleted record,
    // and shows it again when the delete is taken back.
    if (m_navigation)
        m_navigation->deleteWorkspace(workspace);
    else
        m_services->undo()->deleteWorkspace(workspace);
}

void DetailController::readScreens()
{
    QList<std::optional<QString>> ids;
    if (m_services)
        ids = m_services->automation().monitorIds();
    if (ids != m_screenMonitorIDs) {
        m_screenMonitorIDs = ids;
        emit screensChanged();
    }
    refreshStatus();
}

void DetailController::refreshStatus()
{
    QList<std::optional<QString>> entryIDs;
    if (m_workspace) {
        for (const WorkspaceEntry *entry : m_workspace->entries())
            entryIDs.append(entry->monitorID());
    }
    const MonitorConfigStatus status = monitorStatus(entryIDs, m_screenMonitorIDs);
    if (status == m_status)
        return;
    m_status = status;
    emit monitorStatusChanged();
}

void DetailController::refreshEntries()
{
    const QList<WorkspaceEntry *> sorted
        = m_workspace ? sortedByIdText(m_workspace->entries()) : QList<WorkspaceEntry *>();
    if (sorted != m_sortedEntries) {
        m_sortedEntries = sorted;
        emit sortedEntriesChanged();
    }
    emit summaryChanged();
    refreshStatus();
}

WorkspaceActions DetailController::actions() const
{
    // Failures stay pending in the store; nothing is shown.
    return WorkspaceActions(m_services->store(), WorkspaceActions::FailedSave::keepPending, m_now);
}

void DetailController::save()
{
    if (m_services)
        m_services->store().save(); // failures stay pending in the store; nothing is shown
}
