// Tests asking a file manager for its windows' folders over a private D-Bus, and reading folder titles.
#include "platform/linux/documents/filemanagercollector.h"

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

    void folderTitlesResolveAgainstCandidates()
    {
        QTemporaryDir root;
        const QDir dir(root.path());
        for (const char *folder : { "home/dir one", "a/src", "b/src", "home/Home" })
            QVERIFY(dir.mkpath(folder));
        const QString home = dir.filePath("home");
        const QStringList candidates { home, dir.filePath("home/dir one"), dir.filePath("a/src"), dir.filePath("b/src"),
            dir.filePath("gone/missing") };
        const auto folder = [&](const QString &title, const QStringList &from) {
            return FileManagerCollector::folderOfTitle(title, from, home).value_or(QString());
        };
        // Titles as Thunar 4.18, Dolphin 22.12, Nemo 5.6 and Caja 1.26 write them.
        QCOMPARE(folder("dir one - Thunar", candidates), dir.filePath("home/dir one"));
        QCOMPARE(folder("dir one \u2014 Dolphin", candidates), dir.filePath("home/dir one"));
        QCOMPARE(folder("dir one", candidates), dir.filePath("home/dir one"));
        QCOMPARE(folder("home - Thunar", candidates), home);
        QCOMPARE(folder(dir.filePath("a/src") + " - Thunar", {}), dir.filePath("a/src"));
        QCOMPARE(folder("~/dir one \u2014 Dolphin", {}), dir.filePath("home/dir one"));
        // Two candidates of the name and nothing else in the title: none rather than a guess.
        QCOMPARE(folder("src - Thunar", candidates), QString());
        QCOMPARE(folder("missing - Thunar", candidates), QString());
        QCOMPARE(folder("Trash - Thunar", candidates), QString());
        QCOMPARE(folder("", candidates), QString());
        // Nemo calls home "Home", unless a folder of that name is among the candidates.
        QCOMPARE(folder("Home", candidates), home);
        QCOMPARE(folder("Home", { dir.filePath("home/Home") }), dir.filePath("home/Home"));
        QCOMPARE(folder("File System - Thunar", candidates), QString("/"));
    }

    void fileManagersAreKnownById()
    {
        for (const char *id : { "thunar", "nemo", "caja", "caja-browser", "org.kde.dolphin", "pcmanfm", "pcmanfm-qt" })
            QVERIFY2(FileManagerCollector::titlesFolders(id), id);
        QVERIFY(!FileManagerCollector::titlesFolders("org.gnome.Nautilus"));
        QVERIFY(!FileManagerCollector::titlesFolders("org.xfce.mousepad"));
        QVERIFY(FileManagerCollector::isNautilus("org.gnome.Nautilus"));
    }
};

QTEST_GUILESS_MAIN(TestFileManagerCollector)
#include "tst_filemanagercollector.moc"
