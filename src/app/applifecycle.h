// The application's reactions to its own life: the taskbar presence at start, the
// tray menu on the main window's first appearance, and reopening.
#pragma once

#include "taskbarpresence.h"

#include <QObject>
#include <functional>
#include <memory>

class MainWindowHost;
class QSettings;
class TrayMenu;

class AppLifecycle : public QObject
{
    Q_OBJECT

public:
    /// Makes the one tray menu (not yet set up).
    using TrayMenuFactory = std::function<std::unique_ptr<TrayMenu>()>;

    AppLifecycle(MainWindowHost &host, TrayMenuFactory makeTrayMenu, QObject *parent = nullptr);
    ~AppLifecycle() override;

    /// Reads "showDockIcon" and sets the policy: only a stored boolean false
    /// hides the main window from taskbars and switchers.
    void started(const QSettings &settings);

    /// Switches the policy at once (the settings page's switch).
    void setTaskbarPresence(TaskbarPresence policy);

    /// The main window appeared: creates and sets up the tray item the first
    /// time, never a second one.
    void mainWindowAppeared();

    /// Corvalint was started again (or "Corvalint öffnen"): the reopen rules.
    void reopen();

    TrayMenu *trayMenu() const { return m_trayMenu.get(); }

public slots:
    /// The settings page changed "showDockIcon".
    void setShowDockIcon(bool shown)
    {
        setTaskbarPresence(shown ? TaskbarPresence::listed : TaskbarPresence::trayOnly);
    }

private:
    MainWindowHost &m_host;
    TrayMenuFactory m_makeTrayMenu;
    std::unique_ptr<TrayMenu> m_trayMenu;
};
