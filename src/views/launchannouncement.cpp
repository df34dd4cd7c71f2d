// What a screen reader says about the launch of a workspace, wherever it was
// started from.
#include "launchannouncement.h"

#include "automation/automationservice.h"

LaunchAnnouncement::LaunchAnnouncement(QObject *parent)
    : QObject(parent)
{
}

void LaunchAnnouncement::setServices(ViewServices *services)
{
    if (m_services == services)
        return;
    for (const QMetaObject::Connection &connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    m_services = services;
    if (m_services) {
        AutomationService *automation = &m_services->automation();
        m_connections.append(
            connect(automation, &AutomationService::launchingChanged, this, &LaunchAnnouncement::follow));
        m_connections.append(
            connect(automation, &AutomationService::launchProblemsChanged, this, &LaunchAnnouncement::follow));
    }
    emit servicesChanged();
    follow();
}

void LaunchAnnouncement::follow()
{
    if (!m_services)
        return setText({});
    const AutomationService &automation = m_services->automation();
    if (automation.launching()) {
        m_seenLaunch = true;
        return setText(QStringLiteral("Workspace wird gestartet …"));
    }
    if (!automation.launchProblems().isEmpty())
        return setText(
            QStringLiteral("Nicht alles ließ sich öffnen: ") + automation.launchProblems().join(QLatin1Char(' ')));
    // Kept after the end, so that it can still be read after it was heard.
    if (m_seenLaunch)
        setText(QStringLiteral("Workspace gestartet"));
}

void LaunchAnnouncement::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    emit textChanged();
}
