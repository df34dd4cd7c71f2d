// The state and the create action of the dashboard's sheet that captures the
// current desktop into a new workspace.
#include "creationsheetcontroller.h"

#include "automation/automationservice.h"
#include "categorypalette.h"
#include "emptycapturetext.h"
#include "model/workspace.h"
#include "model/workspaceactions.h"
#include "model/workspacestore.h"
#include "overridecursorguard.h"

CreationSheetController::CreationSheetController(QObject *parent)
    : QObject(parent)
    , m_category(categoryText(allCategories().front()))
{
}

QString CreationSheetController::trimSpacesAndTabs(const QString &text)
{
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && blank(text.at(begin)))
        ++begin;
    while (end > begin && blank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QStringList CreationSheetController::icons()
{
    return { QStringLiteral("briefcase.fill"), QStringLiteral("curlybraces"), QStringLiteral("paintpalette.fill"),
        QStringLiteral("gamecontroller.fill"), QStringLiteral("camera.fill"), QStringLiteral("music.note"),
        QStringLiteral("book.fill"), QStringLiteral("terminal.fill") };
}

QStringList CreationSheetController::categories()
{
    return CategoryPalette::texts();
}

void CreationSheetController::setServices(ViewServices *services)
{
    if (m_services == services)
        return;
    m_services = services;
    emit servicesChanged();
}

void CreationSheetController::setShowing(bool showing)
{
    if (m_showing == showing)
        return;
    m_showing = showing;
    emit showingChanged();
}

void CreationSheetController::setName(const QString &name)
{
    if (m_name == name)
        return;
    m_name = name;
    emit nameChanged();
}

void CreationSheetController::setIcon(const QString &icon)
{
    if (m_icon == icon)
        return;
    m_icon = icon;
    emit iconChanged();
}

void CreationSheetController::setCategory(const QString &category)
{
    if (m_category == category)
        return;
    m_category = category;
    emit categoryChanged();
}

bool CreationSheetController::canCreate() const
{
    return !trimSpacesAndTabs(m_name).isEmpty();
}

void CreationSheetController::open()
{
    setName(QString());
    setCaptureProblem({});
    setShowing(true);
}

void CreationSheetController::cancel()
{
    setShowing(false);
}

void CreationSheetController::setCaptureProblem(const QString &problem)
{
    if (problem == m_captureProblem)
        return;
    m_captureProblem = problem;
    emit captureProblemChanged();
}

Workspace *CreationSheetController::create()
{
    if (!canCreate() || !m_services || m_capturing)
        return nullptr;
    m_lastCreated = nullptr;
    const QCoro::Task<> task = captureAndCreate(m_name, m_icon, m_category);
    return task.isReady() ? m_lastCreated : nullptr;
}

QCoro::Task<> CreationSheetController::captureAndCreate(QString name, QString icon, QString category)
{
    const QPointer<CreationSheetController> self(this);
    const QPointer<ViewServices> services = m_services;
    m_capturing = true;
    QList<EntryData> captured;
    {
        // While other programs answer: the window keeps drawing, but the
        // pointer says that something is under way.
        const OverrideCursorGuard busy;
        captured = co_await services->automation().captureDesktop();
    }
    if (!self)
        co_return;
    m_capturing = false;
    if (!services)
        co_return;
    // An empty workspace saved as if all were well would hide a desktop Corvalint cannot read.
    if (captured.isEmpty()) {
        setCaptureProblem(emptyCaptureText(services->automation()));
        co_return;
    }
    setCaptureProblem({});

    // A failed save stays pending; the workspace is shown anyway.
    Workspace *workspace = WorkspaceActions(services->store(), WorkspaceActions::FailedSave::keepPending)
                               .create(name, icon, category, captured)
                               .workspace;
    m_lastCreated = workspace;
    setShowing(false);
    emit created(workspace);
}
