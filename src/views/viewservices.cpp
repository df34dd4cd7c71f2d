// The one object through which QML reaches the shared instances: the store,
// the automation service, the desktop platform and the user settings.
#include "viewservices.h"

#include "automation/desktopplatform.h"

#include <QJSEngine>
#include <QQmlEngine>

QPointer<ViewServices> ViewServices::s_instance;

ViewServices::ViewServices(WorkspaceStore &store, AutomationService &automation, DesktopPlatform &platform,
                           QSettings &settings, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_automation(automation)
    , m_platform(platform)
    , m_settings(settings)
    , m_screenCount(int(platform.screens().size()))
{
    connect(&m_platform, &DesktopPlatform::screensChanged, this, [this] {
        const int count = int(m_platform.screens().size());
        if (count == m_screenCount)
            return;
        m_screenCount = count;
        emit screenCountChanged();
    });
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
