// Taskbar presence, tray creation and reopening.
#include "applifecycle.h"

#include "mainwindowhost.h"
#include "traymenu.h"

#include <QSettings>

AppLifecycle::AppLifecycle(MainWindowHost &host, TrayMenuFactory makeTrayMenu, QObject *parent)
    : QObject(parent)
    , m_host(host)
    , m_makeTrayMenu(std::move(makeTrayMenu))
{
}

AppLifecycle::~AppLifecycle() = default;

void AppLifecycle::started(const QSettings &settings)
{
    setTaskbarPresence(readTaskbarPresence(settings));
}

void AppLifecycle::setTaskbarPresence(TaskbarPresence policy)
{
    m_host.setTaskbarPresence(policy);
}

void AppLifecycle::mainWindowAppeared()
{
    if (m_trayMenu || !m_makeTrayMenu)
        return;
    m_trayMenu = m_makeTrayMenu();
    if (m_trayMenu)
        m_trayMenu->setupStatusItem();
}

void AppLifecycle::reopen()
{
    m_host.reopen();
}
