// A D-Bus session bus of the test's own, as every desktop session has: single-instance applications must not find
// copies of themselves from elsewhere, and a running one takes further windows over it.
#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QTest>
#include <unistd.h>

class PrivateSessionBus
{
public:
    PrivateSessionBus() = default;
    PrivateSessionBus(const PrivateSessionBus &) = delete;
    PrivateSessionBus &operator=(const PrivateSessionBus &) = delete;
    ~PrivateSessionBus() { stop(); }

    /// Starts the bus; its address, or an empty text when it did not start or say where it listens within 5 s.
    QByteArray start()
    {
        m_daemon.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // A session of its own: what it starts (the accessibility bus) signals its own process group on the way
        // out, never the test's.
        m_daemon.setChildProcessModifier([] { ::setsid(); });
        m_daemon.start(QStringLiteral("dbus-daemon"),
            { QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1") });
        if (!m_daemon.waitForStarted(5000) || !QTest::qWaitFor([this] { return m_daemon.canReadLine(); }, 5000))
            return {};
        return m_daemon.readLine().trimmed();
    }

    void stop()
    {
        if (m_daemon.state() == QProcess::NotRunning)
            return;
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(5000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(2000);
        }
    }

private:
    QProcess m_daemon;
};
