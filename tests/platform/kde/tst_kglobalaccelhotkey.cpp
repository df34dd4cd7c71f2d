// The hotkey through KGlobalAccel, on a private session bus with the real kglobalaccel5 on the test desktop: the
// key pressed with xdotool reaches us, and keys another component holds are reported as taken.
#include "platform/kde/kglobalaccelhotkey.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestKGlobalAccelHotkey : public QObject
{
    Q_OBJECT

    QProcess m_bus;
    QProcess m_daemon;
    QTemporaryDir m_config;
    std::optional<QDBusConnection> m_connection;

private slots:
    void initTestCase()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("kglobalaccel5"));
        if (daemon.isEmpty() || qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs kglobalaccel5 and the test desktop");
        // A bus of our own: nothing of a real session is touched.
        m_bus.start(QStringLiteral("dbus-daemon"),
            { QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1") });
        QVERIFY(m_bus.waitForReadyRead(5000));
        const QString address = QString::fromUtf8(m_bus.readLine()).trimmed();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        m_daemon.setProcessEnvironment(environment);
        m_daemon.start(daemon, {});
        m_connection = QDBusConnection::connectToBus(address, QStringLiteral("kglobalaccel-test"));
        QVERIFY(m_connection->isConnected());
        QTRY_VERIFY_WITH_TIMEOUT(
            m_connection->interface()->isServiceRegistered(QString(KGlobalAccelHotkey::service)).value(), 10000);
        QVERIFY(KGlobalAccelHotkey::available(*m_connection));
    }

    void cleanupTestCase()
    {
        for (QProcess *process : { &m_daemon, &m_bus }) {
            process->terminate();
            if (!process->waitForFinished(3000)) {
                process->kill();
                process->waitForFinished(3000);
            }
        }
    }

    void keyCodesAreQtsOwn()
    {
        QCOMPARE(KGlobalAccelHotkey::qtKeyCode(*KeyCombination::fromText(QStringLiteral("Super+Alt+D"))),
            (Qt::META | Qt::ALT | Qt::Key_D).toCombined());
        QCOMPARE(KGlobalAccelHotkey::qtKeyCode(*KeyCombination::fromText(QStringLiteral("Ctrl+F5"))),
            (Qt::CTRL | Qt::Key_F5).toCombined());
    }

    void thePressedShortcutReachesUs()
    {
        KGlobalAccelHotkey hotkey(*m_connection);
        QCOMPARE(hotkey.setCombination(*KeyCombination::fromText(QStringLiteral("Super+Alt+D"))),
            GlobalHotkey::Result::registered);
        QSignalSpy activated(&hotkey, &GlobalHotkey::activated);
        QCOMPARE(
            QProcess::execute(QStringLiteral("xdotool"), { QStringLiteral("key"), QStringLiteral("super+alt+d") }), 0);
        QTRY_COMPARE_WITH_TIMEOUT(activated.count(), 1, 5000);
        hotkey.clear();
    }

    void keysAnotherComponentHoldsAreTaken()
    {
        // Another program's global shortcut on Ctrl+Alt+J.
        const QStringList other { QStringLiteral("othertool"), QStringLiteral("act"), QStringLiteral("Other"),
            QStringLiteral("Act") };
        auto call = [&](const QString &method, const QVariantList &arguments) {
            QDBusMessage message = QDBusMessage::createMethodCall(QString(KGlobalAccelHotkey::service),
                QStringLiteral("/kglobalaccel"), QStringLiteral("org.kde.KGlobalAccel"), method);
            message.setArguments(arguments);
            return m_connection->call(message);
        };
        qDBusRegisterMetaType<QList<int>>();
        call(QStringLiteral("doRegister"), { other });
        const int key = (Qt::CTRL | Qt::ALT | Qt::Key_J).toCombined();
        QCOMPARE(call(QStringLiteral("setShortcut"), { other, QVariant::fromValue(QList<int> { key }), 6u }).type(),
            QDBusMessage::ReplyMessage);

        KGlobalAccelHotkey hotkey(*m_connection);
        QCOMPARE(hotkey.setCombination(*KeyCombination::fromText(QStringLiteral("Ctrl+Alt+J"))),
            GlobalHotkey::Result::taken);
        QCOMPARE(hotkey.setCombination(*KeyCombination::fromText(QStringLiteral("Ctrl+Alt+K"))),
            GlobalHotkey::Result::registered);
        hotkey.clear();
    }
};

QTEST_GUILESS_MAIN(TestKGlobalAccelHotkey)
#include "tst_kglobalaccelhotkey.moc"
