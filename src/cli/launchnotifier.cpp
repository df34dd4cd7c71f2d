// A desktop notification when a launch ends that the user is not watching.
#include "launchnotifier.h"

#include "automation/automationservice.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>

LaunchNotifier::Message LaunchNotifier::message(const QStringList &problems)
{
    if (problems.isEmpty())
        return { QStringLiteral("Workspace gestartet"), QStringLiteral("Alle Elemente sind geöffnet und platziert."),
            false };
    // Notification servers show a few lines; the window's detail view keeps the full list.
    constexpr qsizetype shown = 4;
    QStringList lines = problems.mid(0, shown);
    if (problems.size() > shown)
        lines.append(QStringLiteral("… und %1 weitere").arg(problems.size() - shown));
    return { problems.size() == 1
            ? QStringLiteral("Workspace gestartet: 1 Element mit Problem")
            : QStringLiteral("Workspace gestartet: %1 Elemente mit Problemen").arg(problems.size()),
        lines.join(QLatin1Char('\n')), true };
}

QDBusMessage LaunchNotifier::notifyCall(const Message &text, uint replaces)
{
    QDBusMessage notify = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"), QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("Notify"));
    // Urgency 1 is "normal"; the desktop entry name lets the server group and theme the notification.
    const QVariantMap hints { { QStringLiteral("urgency"), QVariant::fromValue(uchar(1)) },
        { QStringLiteral("desktop-entry"), QStringLiteral("corvalint") } };
    notify << QStringLiteral("Corvalint") << replaces << QStringLiteral("corvalint") << text.summary << text.body
           << QStringList() << hints << qint32(-1);
    return notify;
}

void LaunchNotifier::notifyNow(const QStringList &problems)
{
    // Without an address libdbus would start a bus of its own through X11 autolaunch,
    // which outlives this process; the desktop session's bus has an address or socket.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")
        && (runtime.isEmpty() || !QFileInfo(runtime + QStringLiteral("/bus")).exists()))
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected())
        bus.call(notifyCall(message(problems), 0), QDBus::Block, 2000);
}

LaunchNotifier::LaunchNotifier(
    AutomationService &automation, std::function<bool()> windowShown, QDBusConnection bus, QObject *parent)
    : QObject(parent)
    , m_automation(automation)
    , m_windowShown(std::move(windowShown))
    , m_bus(std::move(bus))
{
    connect(&automation, &AutomationService::launchFinished, this, &LaunchNotifier::launchFinished);
}

void LaunchNotifier::launchFinished()
{
    const bool askedElsewhere = std::exchange(m_askedElsewhere, false);
    if (!askedElsewhere && m_windowShown && m_windowShown())
        return;
    if (!m_bus.isConnected())
        return;
    const QDBusMessage notify = notifyCall(message(m_automation.launchProblems()), m_lastId);
    // Never waited for: without a notification server the launch simply ends quietly.
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(notify, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        const QDBusPendingReply<uint> reply = *watcher;
        // The next launch replaces this notification rather than piling up.
        if (!reply.isError())
            m_lastId = reply.value();
    });
}
