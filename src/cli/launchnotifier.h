// A desktop notification (freedesktop Notifications over D-Bus) when a launch
// ends that the user is not watching in the window: one from the tray or the
// command line, or any launch while the main window is closed.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <functional>

class AutomationService;

class LaunchNotifier : public QObject
{
    Q_OBJECT
public:
    struct Message {
        QString summary;
        QString body;
        bool troubled = false;
    };
    /// What the notification says after a launch with these problems.
    static Message message(const QStringList &problems);
    /// The freedesktop Notify call for `text`, replacing notification `replaces` (0: none).
    static QDBusMessage notifyCall(const Message &text, uint replaces);
    /// Shows the notification for a launch with these problems and waits (briefly)
    /// until the server took it: for a process that ends right after its launch.
    /// Only on a session bus that runs already (never one started for this).
    static void notifyNow(const QStringList &problems);

    /// `windowShown` tells whether the main window is on screen now.
    LaunchNotifier(AutomationService &automation, std::function<bool()> windowShown, QDBusConnection bus,
        QObject *parent = nullptr);

    /// The launch now starting was asked for outside the window (tray, command line).
    void launchAskedElsewhere() { m_askedElsewhere = true; }

private:
    void launchFinished();

    AutomationService &m_automation;
    std::function<bool()> m_windowShown;
    QDBusConnection m_bus;
    bool m_askedElsewhere = false;
    uint m_lastId = 0;
};
