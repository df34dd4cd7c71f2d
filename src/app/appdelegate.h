// The application's reactions to its own life: the dock policy at start, the
// tray menu on the main window's first appearance, and reopening.
#pragma once

#include "dockpolicy.h"

#include <QObject>
#include <functional>
#include <memory>

class MainWindowHost;
class QSettings;
class StatusBarMenuCoordinator;

class AppDelegate : public QObject
{
    Q_OBJECT

public:
    /// Makes the one tray menu coordinator (not yet set up).
    using CoordinatorFactory = std::function<std::unique_ptr<StatusBarMenuCoordinator>()>;

    AppDelegate(MainWindowHost &host, CoordinatorFactory makeCoordinator, QObject *parent = nullptr);
    ~AppDelegate() override;

    /// Reads "showDockIcon" and sets the policy: only a stored boolean false
    /// hides the main window from taskbars and switchers.
    void applicationDidFinishLaunching(const QSettings &settings);

    /// Switches the policy at once (the settings page's switch).
    void setDockPolicy(DockPolicy policy);

    /// The main window appeared: creates and sets up the tray item the first
    /// time, never a second one.
    void rootViewAppeared();

    /// Corvalint was started again (or "Corvalint öffnen"): the reopen rules.
    void reopen();

    StatusBarMenuCoordinator *statusBarCoordinator() const { return m_statusBarCoordinator.get(); }

public slots:
    /// The settings page changed "showDockIcon".
    void setShowDockIcon(bool shown) { setDockPolicy(shown ? DockPolicy::regular : DockPolicy::accessory); }

private:
    MainWindowHost &m_host;
    CoordinatorFactory m_makeCoordinator;
    std::unique_ptr<StatusBarMenuCoordinator> m_statusBarCoordinator;
};
