// Tests asking a file manager for its windows' folders over a private D-Bus, and reading folder titles.
#include "platform/x11/documents/filemanagercollector.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using LocationMap = QMap<QString, QStringList>;

// Stands in for Nautilus: answers OpenWindowsWithLocations with what the test set.
class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
    Q_PROPERTY(LocationMap OpenWindowsWithLocations READ openWindowsWithLocations)

public:
    explicit FakeFileManager(LocationMap windows)
        : m_windows(std::move(windows))
    {
    }
    LocationMap openWindowsWithLocations() const { return m_windows; }

private:
    LocationMap m_windows;
};

class TestFileManagerCollector : public QObject
{
    Q_OBJECT

private:
    QProcess m_bus;
    QString m_address;
    QThread m_serviceThread;

    // Publishes a fake file manager on the private bus; it answers from its own
    // thread, since the collector blocks this one while it waits for the reply.
    void publish(const LocationMap &windows)
    {
        auto *service = new FakeFileManager(windows);
        service->moveToThread(&m_serviceThread);
        connect(&m_serviceThread, &QThread::finished, service, &QObject::deleteLater);
        QDBusConnection connection = QDBusConnection::connectToBus(m_address, QStringLiteral("fake-file-manager"));
        QVERIFY(connection.isConnected());
        QVERIFY(connection.registerObject(
            QStringLiteral("/org/freedesktop/FileManager1"), service, QDBusConnection::ExportAllProperties));
        QVERIFY(connection.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    }

    static void restore(const char *name, const QByteArray &value)
    {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    void unpublish()
    {
        QDBusConnection connection(QStringLiteral("fake-file-manager"));
        if (!connection.isConnected())
            return;
        connection.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
        connection.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-file-manager"));
    }

private slots:
    void initTestCase()
    {
        qDBusRegisterMetaType<LocationMap>();
        m_serviceThread.start();
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            return;
        m_bus.start(QStringLiteral("dbus-daemon"), { "--session", "--nofork", "--print-address=1" });
        if (!m_bus.waitForStarted(5000))
            return;
        QElapsedTimer waited;
        waited.start();
        while (!m_bus.canReadLine() && waited.elapsed() < 5000 && m_bus.state() == QProcess::Running)
            m_bus.waitForReadyRead(500);
        m_address = QString::fromUtf8(m_bus.readLine()).trimmed();
    }

    void cleanupTestCase()
    {
        m_serviceThread.quit();
        m_serviceThread.wait();
        if (m_bus.state() != QProcess::NotRunning) {
            m_bus.kill();
            m_bus.waitForFinished(5000);
        }
    }

    void cleanup() { unpublish(); }

    void windowsComeInTheOrderTheyOpened()
    {
        if (m_address.isEmpty())
            QSKIP("no dbus-daemon to start a private bus");
        publish({ { "/org/gnome/Nautilus/window/10", { "file:///srv/ten" } },
            { "/org/gnome/Nautilus/window/2", { "file:///srv/two%20words", "file:///srv/second-tab" } },
            { "/org/gnome/Nautilus/window/9", { "file:///srv/nine/" } } });
        QCOMPARE(FileManagerCollector(m_address).openLocations(),
            (QStringList { "/srv/two words", "/srv/nine", "/srv/ten" }));
    }

    void locationThatIsNoFolderEndsTheList()
    {
        if (m_address.isEmpty())
            QSKIP("no dbus-daemon to start a private bus");
        publish({ { "/org/gnome/Nautilus/window/1", { "file:///home" } },
            { "/org/gnome/Nautilus/window/2", { "trash:///" } },
            { "/org/gnome/Nautilus/window/3", { "file:///srv" } } });
        QCOMPARE(FileManagerCollector(m_address).openLocations(), QStringList { "/home" });
    }

    void localhostLocationIsAPlainPathAndAnotherHostEndsTheList()
    {
        if (m_address.isEmpty())
            QSKIP("no dbus-daemon to start a private bus");
        publish({ { "/org/gnome/Nautilus/window/1", { "file://localhost/home" } },
            { "/org/gnome/Nautilus/window/2", { "file://fileserver/srv" } },
            { "/org/gnome/Nautilus/window/3", { "file:///srv" } } });
        QCOMPARE(FileManagerCollector(m_address).openLocations(), QStringList { "/home" });
    }

    void absentFileManagerGivesNothingAndIsNotStarted()
    {
        if (m_address.isEmpty())
            QSKIP("no dbus-daemon to start a private bus");
        QElapsedTimer timer;
        timer.start();
        QVERIFY(FileManagerCollector(m_address).openLocations().isEmpty());
        QVERIFY2(timer.elapsed() < 1500, qPrintable(QString::number(timer.elapsed())));
    }

    void missingBusGivesNothingQuickly()
    {
        QTemporaryDir dir;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(FileManagerCollector(QString()).openLocations().isEmpty());
        QVERIFY(FileManagerCollector("unix:path=" + dir.filePath("no-bus-here")).openLocations().isEmpty());
        QVERIFY(FileManagerCollector("not an address").openLocations().isEmpty());
        QVERIFY2(timer.elapsed() < 1500, qPrintable(QString::number(timer.elapsed())));
    }

    void noBusInTheEnvironmentIsNotAutolaunched()
    {
        QTemporaryDir runtime;
        const QByteArray oldAddress = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        const QString withoutSocket = FileManagerCollector::sessionBusFromEnvironment();
        QFile socket(runtime.filePath("bus"));
        QVERIFY(socket.open(QIODevice::WriteOnly));
        const QString withSocket = FileManagerCollector::sessionBusFromEnvironment();
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/given");
        const QString given = FileManagerCollector::sessionBusFromEnvironment();
        restore("DBUS_SESSION_BUS_ADDRESS", oldAddress);
        restore("XDG_RUNTIME_DIR", oldRuntime);
        QVERIFY(withoutSocket.isEmpty());
        QCOMPARE(withSocket, "unix:path=" + runtime.filePath("bus"));
        QCOMPARE(given, QStringLiteral("unix:path=/given"));
    }

    void titlesThatAreFolderPathsCount()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("a"));
        QFile file(dir.filePath("file.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QStringList titles { dir.filePath("a") + "/", "Downloads", dir.filePath("file.txt"),
            dir.filePath("missing"), "", dir.path() };
        QCOMPARE(FileManagerCollector::titledFolders(titles), (QStringList { dir.filePath("a"), dir.path() }));
    }
};

QTEST_GUILESS_MAIN(TestFileManagerCollector)
#include "tst_filemanagercollector.moc"
