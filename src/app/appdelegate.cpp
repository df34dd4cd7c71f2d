// Dock policy, tray creation and reopening.
#include "appdelegate.h"

#include "mainwindowhost.h"
#include "statusbarmenucoordinator.h"

#include <QSettings>

AppDelegate::AppDelegate(MainWindowHost &host, CoordinatorFactory makeCoordinator, QObject *parent)
    : QObject(parent)
    , m_host(host)
    , m_makeCoordinator(std::move(makeCoordinator))
{
}

AppDelegate::~AppDelegate() = default;

void AppDelegate::applicationDidFinishLaunching(const QSettings &settings)
{
    setDockPolicy(readDockPolicy(settings));
}

void AppDelegate::setDockPolicy(DockPolicy policy)
{
    m_host.setDockPolicy(policy);
}

void AppDelegate::rootViewAppeared()
{
    if (m_statusBarCoordinator || !m_makeCoordinator)
        return;
    m_statusBarCoordinator = m_makeCoordinator();
    if (m_statusBarCoordinator)
        m_statusBarCoordinator->setupStatusItem();
}

void AppDelegate::reopen()
{
    m_host.reopen();
}
