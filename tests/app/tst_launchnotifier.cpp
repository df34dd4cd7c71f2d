// Desktop notifications after a launch, against a stand-in notification
// server on a private session bus: sent when the user is not watching the
// window, never when they are, and saying what went wrong.
#include "automation/automationfixture.h"
#include "cli/launchnotifier.h"

#include <QDBusConnection>
#include <QTest>

namespace {

class StandInNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Shown {
        uint replaces;
        QString summary;
        QString body;
    };
    QList<Shown> shown;

public slots:
    uint Notify(const QString &, uint replaces, const QString &, const QString &summary, const QString &body,
        const QStringList &, const QVariantMap &, int)
    {
        shown.append({ replaces, summary, body });
        return 40 + uint(shown.size());
    }
};

EntryData entryOf(const QString &appId)
{
    EntryData entry;
    entry.appBundleIdentifier = appId;
    entry.delayAfterLaunch = 0.1;
    entry.frameX = 300;
    entry.frameY = 200;
    entry.width = 640;
    entry.height = 480;
    entry.monitorID = fixture::leftUUID;
    return entry;
}

void launch(AutomationFixture &f, QList<EntryData> entries)
{
    QCoro::Task<> task = f.service.launchWorkspace(std::move(entries), true, false);
    QVERIFY(f.clock.runUntilIdle(120));
}

} // namespace

class LaunchNotifierTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("needs a session bus (run under dbus-run-session)");
        m_server = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("server"));
        QVERIFY(m_server.registerObject(
            QStringLiteral("/org/freedesktop/Notifications"), &m_notifications, QDBusConnection::ExportAllSlots));
        QVERIFY(m_server.registerService(QStringLiteral("org.freedesktop.Notifications")));
    }

    void notifiesOnlyWhenTheWindowIsNotWatched()
    {
        m_notifications.shown.clear();
        AutomationFixture f;
        f.desktop.installApplication(fixture::installed(fixture::editor));
        bool windowShown = true;
        LaunchNotifier notifier(
            f.service, [&windowShown] { return windowShown; }, QDBusConnection::sessionBus());

        // Started from the open window: the window shows how it went.
        launch(f, { entryOf(fixture::editor) });
        QTest::qWait(100);
        QCOMPARE(m_notifications.shown.size(), 0);

        // From the tray while the window is open.
        notifier.launchAskedElsewhere();
        launch(f, { entryOf(fixture::editor) });
        QTRY_COMPARE(m_notifications.shown.size(), 1);
        QCOMPARE(m_notifications.shown[0].summary, QStringLiteral("Workspace gestartet"));
        QCOMPARE(m_notifications.shown[0].replaces, 0u);

        // From the window, which was closed before the launch ended; this one replaces the last.
        windowShown = false;
        f.desktop.installApplication(fixture::installed(fixture::safari, [] {
            SimLaunchPlan broken;
            broken.fails = true;
            return broken;
        }()));
        launch(f, { entryOf(QStringLiteral("org.example.Gone")), entryOf(fixture::safari) });
        QTRY_COMPARE(m_notifications.shown.size(), 2);
        QCOMPARE(m_notifications.shown[1].summary, QStringLiteral("Workspace gestartet: 2 Elemente mit Problemen"));
        QVERIFY(m_notifications.shown[1].body.contains(QStringLiteral("„org.example.Gone“ ist nicht installiert.")));
        QCOMPARE(m_notifications.shown[1].replaces, 41u);
    }

    void longProblemListsAreShortened()
    {
        QStringList problems;
        for (int i = 0; i < 7; ++i)
            problems.append(QStringLiteral("Problem %1").arg(i));
        const LaunchNotifier::Message text = LaunchNotifier::message(problems);
        QVERIFY(text.troubled);
        QCOMPARE(text.body.count(QLatin1Char('\n')), 4);
        QVERIFY(text.body.endsWith(QStringLiteral("… und 3 weitere")));
        QCOMPARE(LaunchNotifier::message({ QStringLiteral("x") }).summary,
            QStringLiteral("Workspace gestartet: 1 Element mit Problem"));
    }

private:
    StandInNotifications m_notifications;
    QDBusConnection m_server { QString() };
};

QTEST_GUILESS_MAIN(LaunchNotifierTest)
#include "tst_launchnotifier.moc"
