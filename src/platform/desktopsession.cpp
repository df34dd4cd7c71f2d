// Opening the X11, the sway or i3, the KWin (Wayland), or the simulated desktop and running launches on it to the end.
#include "desktopsession.h"

#include "automation/automationservice.h"
#include "automation/qtautomationclock.h"
#include "platform/gnome/gnomedesktop.h"
#include "platform/i3ipc/i3ipcdesktop.h"
#include "platform/i3ipc/ipcsocketlocator.h"
#include "platform/kwin/kwindesktop.h"
#include "platform/sim/simulateddesktop.h"
#include "platform/sim/virtualclock.h"
#include "platform/x11/x11desktop.h"

#include <QCoro/QCoroTask>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

namespace {

// Virtual time is free, but a scenario whose application never stops retrying
// must still end: an hour of virtual time is far beyond any real launch.
constexpr double virtualTimeLimitSeconds = 3600;

bool namesI3Ipc(const QString &choice)
{
    return choice == QLatin1String(DesktopSession::i3ipcChoice) || choice == QLatin1String("sway")
        || choice == QLatin1String("i3");
}

} // namespace

QString DesktopSession::automaticChoice()
{
    if (IpcSocketLocator::sessionSpeaksIpc())
        return QString::fromLatin1(i3ipcChoice);
    // On Plasma's Wayland session only KWin itself can list and move windows; under XWayland Corvalint would
    // see X11 windows alone.
    if (KWinDesktop::sessionIsKWinWayland())
        return QString::fromLatin1(kwinChoice);
    // Likewise on GNOME's: only the shell itself, through Corvalint's extension.
    if (GnomeDesktop::sessionIsGnomeWayland())
        return QString::fromLatin1(gnomeChoice);
    return QString::fromLatin1(x11Choice);
}

bool DesktopSession::knows(const QString &choice)
{
    return choice == QLatin1String(x11Choice) || namesI3Ipc(choice) || choice == QLatin1String(kwinChoice)
        || choice == QLatin1String(gnomeChoice) || choice.startsWith(QLatin1String(simPrefix));
}

std::unique_ptr<DesktopSession> DesktopSession::open(const QString &choice, bool needWindowManager, QString *error)
{
    std::unique_ptr<DesktopSession> session(new DesktopSession);
    if (choice.startsWith(QLatin1String(simPrefix))) {
        const QString path = choice.mid(int(qstrlen(simPrefix)));
        auto clock = std::make_unique<VirtualClock>();
        auto desktop = std::make_unique<SimulatedDesktop>(*clock);
        QString reason;
        if (path.isEmpty() || !desktop->loadScenario(path, &reason)) {
            *error = QStringLiteral("cannot use the scenario \"%1\": %2")
                         .arg(path, path.isEmpty() ? QStringLiteral("no file named") : reason);
            return nullptr;
        }
        session->m_virtualClock = clock.get();
        session->m_simulated = desktop.get();
        session->m_clock = std::move(clock);
        session->m_platform = std::move(desktop);
    } else if (choice == QLatin1String(x11Choice)) {
        const QString display = qEnvironmentVariable("DISPLAY");
        if (display.isEmpty()) {
            *error = QStringLiteral("needs an X11 session, and DISPLAY is not set");
            return nullptr;
        }
        QString reason;
        auto desktop = X11Desktop::connect(display, &reason);
        if (!desktop) {
            *error = QStringLiteral("needs an X11 session; cannot open the display %1: %2").arg(display, reason);
            return nullptr;
        }
        if (needWindowManager && !desktop->canControlWindows()) {
            *error = QStringLiteral("needs an EWMH window manager on the display %1, and none is running").arg(display);
            return nullptr;
        }
        session->m_clock = std::make_unique<QtAutomationClock>();
        session->m_platform = std::move(desktop);
    } else if (namesI3Ipc(choice)) {
        QString reason;
        auto desktop = I3IpcDesktop::connect(QString(), &reason);
        if (!desktop) {
            *error = QStringLiteral("needs sway or i3; cannot reach its IPC socket: %1").arg(reason);
            return nullptr;
        }
        session->m_clock = std::make_unique<QtAutomationClock>();
        session->m_platform = std::move(desktop);
    } else if (choice == QLatin1String(kwinChoice)) {
        QString reason;
        auto desktop = KWinDesktop::connect(&reason);
        if (!desktop) {
            *error = QStringLiteral("needs KWin on Wayland; cannot reach it on the session bus: %1").arg(reason);
            return nullptr;
        }
        session->m_clock = std::make_unique<QtAutomationClock>();
        session->m_platform = std::move(desktop);
    } else if (choice == QLatin1String(gnomeChoice)) {
        // The command line needs the extension working (the error then says what to do); the app opens without
        // it and shows the same instruction.
        QString reason;
        auto desktop = GnomeDesktop::connect(needWindowManager, &reason);
        if (!desktop) {
            *error = reason;
            return nullptr;
        }
        session->m_clock = std::make_unique<QtAutomationClock>();
        session->m_platform = std::move(desktop);
    } else {
        *error = QStringLiteral("unknown desktop \"%1\"; use x11, i3ipc (sway, i3) or sim:SCENARIO.json").arg(choice);
        return nullptr;
    }
    session->m_automation = std::make_unique<AutomationService>(*session->m_platform, *session->m_clock);
    return session;
}

DesktopPlatform &DesktopSession::ownWindows()
{
    if (!m_simulated)
        return *m_platform;
    if (!m_ownWindows && !qEnvironmentVariableIsEmpty("DISPLAY")) {
        QString ignored;
        m_ownWindows = X11Desktop::connect(qEnvironmentVariable("DISPLAY"), &ignored);
    }
    return m_ownWindows ? *m_ownWindows : *m_platform;
}

DesktopSession::~DesktopSession()
{
    // Suspended launch steps hold references into the clock: let them finish
    // first so that nothing is left waiting on a clock that is gone.
    drainVirtualTime();
    m_automation.reset();
    m_ownWindows.reset();
    m_platform.reset();
    m_clock.reset();
}

void DesktopSession::runLaunch(
    const QList<EntryData> &entries, bool restoreDocuments, bool focusMode, int placementWaitMs)
{
    QCoro::Task<> launch = m_automation->launchWorkspace(entries, restoreDocuments, focusMode);
    if (m_virtualClock) {
        drainVirtualTime();
        return;
    }
    QCoro::waitFor(launch);
    if (m_automation->pendingPlacements() == 0)
        return;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(m_automation.get(), &AutomationService::placementsIdle, &loop, &QEventLoop::quit);
    limit.start(placementWaitMs);
    if (m_automation->pendingPlacements() > 0)
        loop.exec();
}

void DesktopSession::drainVirtualTime()
{
    if (m_virtualClock)
        m_virtualClock->runUntilIdle(virtualTimeLimitSeconds);
}

void DesktopSession::driveVirtualTime()
{
    if (!m_virtualClock)
        return;
    QObject::connect(m_virtualClock, &VirtualClock::pendingEventsChanged, m_virtualClock, [this] {
        if (m_drainQueued || m_virtualClock->pendingEvents() == 0)
            return;
        m_drainQueued = true;
        // Not from inside the signal: the clock may be in the middle of running events.
        QMetaObject::invokeMethod(
            m_virtualClock,
            [this] {
                drainVirtualTime();
                m_drainQueued = false;
            },
            Qt::QueuedConnection);
    });
}

bool DesktopSession::writeRequestLog(const QString &path, QString *error) const
{
    if (!m_simulated) {
        *error = QStringLiteral("--log needs a simulated desktop (--desktop sim:SCENARIO.json)");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *error = QStringLiteral("cannot write the log \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray lines = m_simulated->requestLogJsonLines();
    if (file.write(lines) != lines.size()) {
        *error = QStringLiteral("cannot write the log \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
