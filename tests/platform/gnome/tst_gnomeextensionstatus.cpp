// What Corvalint says when its GNOME Shell extension is not working, against a stand-in GNOME Shell on a private
// bus: not installed, installed after the shell started, switched off, failed; and the command line's exit 1 with
// that sentence.
#include "platform/gnome/gnomeextensionstatus.h"
#include "platform/gnome/gnomeshellclient.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QVariantMap>

namespace {

/// What the stand-in shell answers; read on the service's thread.
struct ShellAnswers {
    QVariantMap extensionInfo;
};

class ShellObject : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString ShellVersion READ shellVersion)

public:
    explicit ShellObject(const ShellAnswers &answers)
        : m_answers(answers)
    {
    }
    QString shellVersion() const { return QStringLiteral("43.9"); }
    const ShellAnswers &answers() const { return m_answers; }

private:
    const ShellAnswers &m_answers;
};

class ShellAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Shell")
    Q_PROPERTY(QString ShellVersion READ shellVersion)

public:
    explicit ShellAdaptor(ShellObject *parent)
        : QDBusAbstractAdaptor(parent)
    {
    }
    QString shellVersion() const { return QStringLiteral("43.9"); }
};

class ExtensionsAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Shell.Extensions")

public:
    explicit ExtensionsAdaptor(ShellObject *parent)
        : QDBusAbstractAdaptor(parent)
        , m_shell(parent)
    {
    }

public slots:
    QVariantMap GetExtensionInfo(const QString &uuid)
    {
        return uuid == QString(GnomeExtensionStatus::uuid) ? m_shell->answers().extensionInfo : QVariantMap();
    }

private:
    ShellObject *m_shell;
};

/// An extension that takes calls and never answers them: a shell stuck in a loop.
class StuckShell : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.corvalint.Shell")

public slots:
    QString GetDesktop()
    {
        setDelayedReply(true);
        return {};
    }
};

} // namespace

class TestGnomeExtensionStatus : public QObject
{
    Q_OBJECT

private:
    QProcess m_daemon;
    QString m_address;
    QThread m_serviceThread;
    ShellAnswers m_answers;
    ShellObject *m_shell = nullptr;
    QTemporaryDir m_home;

    GnomeExtensionStatus::Report inspect()
    {
        return GnomeExtensionStatus::inspect(QDBusConnection::connectToBus(m_address, QStringLiteral("client")));
    }

    void setInstalled(bool installed)
    {
        const QString folder = m_home.path() + QStringLiteral("/gnome-shell/extensions/") + GnomeExtensionStatus::uuid;
        if (installed) {
            QDir().mkpath(folder);
            QFile metadata(folder + QStringLiteral("/metadata.json"));
            QVERIFY(metadata.open(QIODevice::WriteOnly));
            metadata.write("{}");
        } else {
            QDir(folder).removeRecursively();
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_DATA_HOME", m_home.path().toUtf8());
        m_daemon.start(QStringLiteral("dbus-daemon"),
            { QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1") });
        QVERIFY(m_daemon.waitForStarted());
        QTRY_VERIFY(m_daemon.canReadLine());
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        QVERIFY(!m_address.isEmpty());
        // The stand-in answers on a thread of its own: the code under test calls it blocking.
        m_serviceThread.start();
        m_shell = new ShellObject(m_answers);
        new ShellAdaptor(m_shell);
        new ExtensionsAdaptor(m_shell);
        m_shell->moveToThread(&m_serviceThread);
        bool registered = false;
        QMetaObject::invokeMethod(
            m_shell,
            [&] {
                QDBusConnection bus = QDBusConnection::connectToBus(m_address, QStringLiteral("shell"));
                registered = bus.registerObject(QStringLiteral("/org/gnome/Shell"), m_shell)
                    && bus.registerService(QStringLiteral("org.gnome.Shell"));
            },
            Qt::BlockingQueuedConnection);
        QVERIFY(registered);
    }

    void cleanupTestCase()
    {
        QMetaObject::invokeMethod(
            m_shell, [this] { delete m_shell; }, Qt::BlockingQueuedConnection);
        m_serviceThread.quit();
        m_serviceThread.wait();
        m_daemon.terminate();
        m_daemon.waitForFinished(3000);
    }

    void withoutAShellThereIsNothingToInstall()
    {
        QDBusConnection none(QStringLiteral("none"));
        QCOMPARE(GnomeExtensionStatus::inspect(none).state, GnomeExtensionStatus::State::noShell);
    }

    void notKnownAndNotInstalled()
    {
        m_answers.extensionInfo.clear();
        setInstalled(false);
        const auto report = inspect();
        QCOMPARE(report.state, GnomeExtensionStatus::State::notInstalled);
        QCOMPARE(report.shellVersion, QStringLiteral("43.9"));
    }

    void installedAfterTheShellStartedNeedsALogin()
    {
        m_answers.extensionInfo.clear();
        setInstalled(true);
        QCOMPARE(inspect().state, GnomeExtensionStatus::State::needsLogin);
        setInstalled(false);
    }

    void switchedOffAndFailed()
    {
        m_answers.extensionInfo = { { QStringLiteral("state"), 2.0 } };
        QCOMPARE(inspect().state, GnomeExtensionStatus::State::disabled);
        m_answers.extensionInfo
            = { { QStringLiteral("state"), 3.0 }, { QStringLiteral("error"), QStringLiteral("boom") } };
        const auto report = inspect();
        QCOMPARE(report.state, GnomeExtensionStatus::State::failed);
        QCOMPARE(report.detail, QStringLiteral("boom"));
        m_answers.extensionInfo = { { QStringLiteral("state"), 4.0 } };
        QCOMPARE(inspect().state, GnomeExtensionStatus::State::failed);
        // Enabled as the shell sees it, yet not on the bus: failed too, never "active".
        m_answers.extensionInfo = { { QStringLiteral("state"), 1.0 } };
        QCOMPARE(inspect().state, GnomeExtensionStatus::State::failed);
    }

    void aStuckShellEndsAsAnErrorNotAHang()
    {
        auto *stuck = new StuckShell;
        stuck->moveToThread(&m_serviceThread);
        bool registered = false;
        QMetaObject::invokeMethod(
            stuck,
            [&] {
                QDBusConnection bus = QDBusConnection::connectToBus(m_address, QStringLiteral("shell"));
                registered
                    = bus.registerObject(QStringLiteral("/org/corvalint/Shell"), stuck, QDBusConnection::ExportAllSlots)
                    && bus.registerService(QStringLiteral("org.corvalint.Shell"));
            },
            Qt::BlockingQueuedConnection);
        QVERIFY(registered);
        GnomeShellClient client(QDBusConnection::connectToBus(m_address, QStringLiteral("client")), false);
        QString error;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!client.desktop(&error));
        // Waited (the timer of the call is coarse), and not for ever.
        QVERIFY2(timer.elapsed() >= GnomeShellClient::callTimeoutMs / 2, qPrintable(error));
        QVERIFY(timer.elapsed() < GnomeShellClient::callTimeoutMs + 3000);
        QCOMPARE(client.timeouts(), 1);
        QVERIFY2(error.contains(QLatin1String("GetDesktop")), qPrintable(error));
        QMetaObject::invokeMethod(
            stuck,
            [&] {
                QDBusConnection bus = QDBusConnection::connectToBus(m_address, QStringLiteral("shell"));
                bus.unregisterService(QStringLiteral("org.corvalint.Shell"));
                bus.unregisterObject(QStringLiteral("/org/corvalint/Shell"));
                delete stuck;
            },
            Qt::BlockingQueuedConnection);
    }

    void theCommandLineExitsWithTheInstruction()
    {
        if (!QFile::exists(QStringLiteral(CORVALINT_BINARY)))
            QSKIP("the corvalint program is not built");
        m_answers.extensionInfo.clear();
        setInstalled(false);
        QTemporaryDir store;
        QProcess corvalint;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-none"));
        environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
        environment.insert(QStringLiteral("CORVALINT_DATA_DIR"), store.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.remove(QStringLiteral("SWAYSOCK"));
        environment.remove(QStringLiteral("I3SOCK"));
        corvalint.setProcessEnvironment(environment);
        corvalint.start(QStringLiteral(CORVALINT_BINARY), { QStringLiteral("capture"), QStringLiteral("Nichts") });
        QVERIFY(corvalint.waitForFinished(30000));
        const QString output = QString::fromUtf8(corvalint.readAllStandardError() + corvalint.readAllStandardOutput());
        QCOMPARE(corvalint.exitCode(), 1);
        QVERIFY2(output.contains(GnomeExtensionStatus::instruction(GnomeExtensionStatus::State::notInstalled)),
            qPrintable(output));
    }
};

QTEST_GUILESS_MAIN(TestGnomeExtensionStatus)
#include "tst_gnomeextensionstatus.moc"
