// Real editors and file managers on the test desktop: the snapshot's windows carry the file or folder they show.
#include "desktopfixture.h"
#include "platform/x11/x11desktop.h"
#include "snapshotlookup.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <csignal>
#include <memory>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

class TestX11RealApps : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DesktopFixture> m_fixture;
    std::unique_ptr<X11Desktop> m_desktop;
    std::unique_ptr<QProcess> m_bus;
    std::vector<std::unique_ptr<QProcess>> m_processes;
    QTemporaryDir m_files;
    QTemporaryDir m_settings;
    QString m_busAddress;

    QProcess *start(const QString &program, const QStringList &arguments)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SESSION_BUS_ADDRESS", m_busAddress);
        // The settings the test writes (<config>/glib-2.0/settings/keyfile), whatever a developer's dconf holds.
        environment.insert("GSETTINGS_BACKEND", "keyfile");
        environment.insert("XDG_CONFIG_HOME", m_settings.path());
        environment.insert("NO_AT_BRIDGE", "1");
        process->setProcessEnvironment(environment);
        process->setWorkingDirectory(m_files.path());
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->setStandardOutputFile(QProcess::nullDevice());
        process->start(program, arguments);
        m_processes.push_back(std::move(process));
        return m_processes.back().get();
    }

    // The documents of the windows of `pid`, once they are `expected` (in any order), or at the deadline.
    QStringList documentsOf(qint64 pid, QStringList expected)
    {
        expected.sort();
        QStringList seen;
        QDeadlineTimer deadline(20000);
        do {
            seen.clear();
            for (const DesktopWindow &window : windowsWithPid(m_desktop->snapshot(), pid)) {
                if (window.kind == WindowKind::normal)
                    seen.append(window.document.value_or(QStringLiteral("(none: %1)").arg(window.title)));
            }
            seen.sort();
            if (seen == expected)
                break;
            QTest::qWait(100);
        } while (!deadline.hasExpired());
        return seen;
    }

    bool writeSettings(const QByteArray &keyfile)
    {
        const QString path = m_settings.filePath("glib-2.0/settings/keyfile");
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(keyfile) == keyfile.size();
    }

    static void stop(QProcess &process)
    {
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(2000);
        }
    }

    QString url(const QString &name) const
    {
        return QUrl::fromLocalFile(m_files.filePath(name)).toString(QUrl::FullyEncoded);
    }

    // Ends what the applications left behind (bus-activated helpers come back to us as the subreaper).
    static void endOrphans()
    {
        const QStringList entries = QDir("/proc").entryList(QDir::Dirs);
        for (const QString &entry : entries) {
            QFile stat("/proc/" + entry + "/stat");
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            const QByteArray text = stat.readAll();
            // "self" and "thread-self" read as 0, which kill() takes for our whole process group.
            bool number = false;
            const int pid = entry.toInt(&number);
            if (number && pid > 1 && text.mid(text.lastIndexOf(')') + 2).split(' ').value(1).toInt() == getpid())
                ::kill(pid, SIGTERM);
        }
        QDeadlineTimer deadline(5000);
        while (!deadline.hasExpired() && ::waitpid(-1, nullptr, WNOHANG) >= 0)
            QTest::qWait(50);
    }

private slots:
    void initTestCase()
    {
        ::prctl(PR_SET_CHILD_SUBREAPER, 1);
        DesktopFixture::prepareEnvironment();
        m_fixture = std::make_unique<DesktopFixture>();
        QString error;
        m_desktop = X11Desktop::connect(QString(), &error);
        QVERIFY2(m_desktop, qPrintable(error));
        QVERIFY(m_files.isValid());
        QVERIFY(QDir(m_files.path()).mkpath("project folder"));
        for (const char *name : { "notes.txt", "other notes.txt" }) {
            QFile file(m_files.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("text\n");
        }
        // A bus of the test's own: the applications must not find copies of themselves already running.
        QVERIFY(m_settings.isValid());
        m_bus = std::make_unique<QProcess>();
        m_bus->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_bus->start("dbus-daemon", { "--session", "--nofork", "--print-address=1" });
        QVERIFY(m_bus->waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(m_bus->canReadLine(), 5000);
        m_busAddress = QString::fromUtf8(m_bus->readLine()).trimmed();
    }

    // Every test starts its applications afresh: a single-instance one still running would take the next
    // test's files into its old settings.
    void cleanup()
    {
        for (auto it = m_processes.rbegin(); it != m_processes.rend(); ++it)
            stop(**it);
        m_processes.clear();
    }

    void cleanupTestCase()
    {
        cleanup();
        if (m_bus)
            stop(*m_bus);
        endOrphans();
    }

    void mousepadWindowsCarryTheirFiles_data()
    {
        QTest::addColumn<bool>("pathInTitle");
        // Debian's default: "/tmp/…/notes.txt - Mousepad".
        QTest::newRow("path in the title") << true;
        // Upstream's default: "notes.txt - Mousepad", the title that came back "Untitled".
        QTest::newRow("name in the title") << false;
    }

    void mousepadWindowsCarryTheirFiles()
    {
        QFETCH(bool, pathInTitle);
        if (QStandardPaths::findExecutable("mousepad").isEmpty())
            QSKIP("mousepad is not installed");
        QVERIFY(writeSettings(QByteArray("[org/xfce/mousepad/preferences/window]\npath-in-title=")
            + (pathInTitle ? "true" : "false") + "\n"));
        QProcess *mousepad = start("mousepad", { "notes.txt" });
        QVERIFY(mousepad->waitForStarted(5000));
        QCOMPARE(documentsOf(mousepad->processId(), { url("notes.txt") }), QStringList { url("notes.txt") });
        const QString firstTitle = windowsWithPid(m_desktop->snapshot(), mousepad->processId()).value(0).title;
        QCOMPARE(firstTitle.startsWith('/'), pathInTitle);
        // The same process opens the second window (single instance): its file is found by its own title, in
        // the recent list Mousepad writes, not on the first process's command line.
        QProcess *second = start("mousepad", { "--opening-mode=window", "other notes.txt" });
        QVERIFY(second->waitForFinished(10000));
        const QStringList both { url("notes.txt"), url("other notes.txt") };
        QCOMPARE(documentsOf(mousepad->processId(), both), both);
    }

    void thunarWindowCarriesItsFolder()
    {
        if (QStandardPaths::findExecutable("thunar").isEmpty())
            QSKIP("thunar is not installed");
        QProcess *thunar = start("thunar", { m_files.filePath("project folder") });
        QVERIFY(thunar->waitForStarted(5000));
        // "project folder - Thunar": the folder's name, found among the process's arguments.
        QCOMPARE(documentsOf(thunar->processId(), { url("project folder") }), QStringList { url("project folder") });
    }
};

QTEST_GUILESS_MAIN(TestX11RealApps)
#include "tst_x11realapps.moc"
