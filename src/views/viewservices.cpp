// The one object through which QML reaches the shared instances: the store,
// the automation service, the desktop platform and the user settings.
#include "viewservices.h"

#include "automation/automationservice.h"
#include "automation/desktopplatform.h"
#include "model/workspacestore.h"
#include "showdockiconsetting.h"

#include <QJSEngine>
#include <QQmlEngine>
#include <QSettings>

QPointer<ViewServices> ViewServices::s_instance;

ViewServices::ViewServices(WorkspaceStore &store, AutomationService &automation, DesktopPlatform &platform,
    QSettings &settings, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_automation(automation)
    , m_platform(platform)
    , m_settings(settings)
    , m_screenCount(int(platform.monitors().size()))
    , m_undo(new DeleteUndo(store, this))
{
    m_automation.setWindowWaitSeconds(windowWaitSeconds());
    connect(&m_platform, &DesktopPlatform::monitorsChanged, this, [this] {
        const int count = int(m_platform.monitors().size());
        if (count == m_screenCount)
            return;
        m_screenCount = count;
        emit screenCountChanged();
    });
    connect(&m_store, &WorkspaceStore::writeProblemChanged, this, &ViewServices::updateStoreProblem);
    connect(&m_platform, &DesktopPlatform::controlInstructionChanged, this, &ViewServices::desktopProblemChanged);
    // Damage does not mend itself while the application runs, so the note stays.
    connect(&m_store, &WorkspaceStore::readFailed, this, [this] {
        m_entriesUnreadable = true;
        updateStoreProblem();
    });
    updateStoreProblem();
}

ViewServices::~ViewServices()
{
    if (s_instance == this)
        s_instance = nullptr;
}

void ViewServices::setInstance(ViewServices *services)
{
    s_instance = services;
}

ViewServices *ViewServices::create(QQmlEngine *qmlEngine, QJSEngine *jsEngine)
{
    Q_UNUSED(qmlEngine)
    Q_ASSERT_X(s_instance, "ViewServices::create", "ViewServices::setInstance must run before QML loads");
    // The engine must never delete what main() owns.
    QJSEngine::setObjectOwnership(s_instance, QJSEngine::CppOwnership);
    Q_UNUSED(jsEngine)
    return s_instance;
}

int ViewServices::screenCount() const
{
    return m_screenCount;
}

namespace {
const char windowWaitSettingKey[] = "windowWaitSeconds";
}

int ViewServices::windowWaitSeconds() const
{
    bool number = false;
    const int stored = m_settings.value(QLatin1String(windowWaitSettingKey)).toInt(&number);
    if (!number)
        return int(AutomationService::defaultWindowWaitSeconds);
    return qBound(shortestWindowWait, stored, longestWindowWait);
}

void ViewServices::setWindowWaitSeconds(int seconds)
{
    const int value = qBound(shortestWindowWait, seconds, longestWindowWait);
    if (value == windowWaitSeconds() && m_settings.contains(QLatin1String(windowWaitSettingKey)))
        return;
    m_settings.setValue(QLatin1String(windowWaitSettingKey), value);
    m_settings.sync();
    m_automation.setWindowWaitSeconds(value);
    emit windowWaitSecondsChanged();
}

bool ViewServices::showDockIcon() const
{
    return showDockIconFromSetting(m_settings.value(QLatin1String(showDockIconSettingKey)));
}

void ViewServices::setShowDockIcon(bool show)
{
    const bool before = showDockIcon();
    // A stray value that merely reads as true is replaced by a real boolean too.
    m_settings.setValue(QLatin1String(showDockIconSettingKey), show);
    // Written now rather than at exit, so a crash cannot bring the old policy back.
    m_settings.sync();
    if (before != show)
        emit showDockIconChanged(show);
}

QString ViewServices::unreadableEntriesText()
{
    return QStringLiteral("Einige Einträge ließen sich nicht aus der Datenbank lesen; sie ist vermutlich beschädigt.");
}

void ViewServices::updateStoreProblem()
{
    // Unsaved changes matter more than unreadable ones: they are being lost now.
    QString text = m_store.writeProblem();
    if (text.isEmpty() && m_entriesUnreadable)
        text = unreadableEntriesText();
    if (text == m_storeProblem)
        return;
    m_storeProblem = text;
    emit storeProblemChanged();
}

void ViewServices::setOverlay(PreviewOverlayManager *overlay)
{
    if (m_overlay == overlay)
        return;
    m_overlay = overlay;
    emit overlayChanged();
}

void ViewServices::setHotkey(HotkeySetting *hotkey)
{
    if (m_hotkey == hotkey)
        return;
    m_hotkey = hotkey;
    emit hotkeyChanged();
}

void ViewServices::setFolderSync(FolderSyncControl *folderSync)
{
    if (m_folderSync == folderSync)
        return;
    m_folderSync = folderSync;
    emit folderSyncChanged();
}

void ViewServices::noteLaunch(const QString &id)
{
    if (m_launchedWorkspaceId == id)
        return;
    m_launchedWorkspaceId = id;
    emit launchedWorkspaceChanged();
}

QString ViewServices::desktopProblem() const
{
    return m_platform.controlInstruction();
}
