// Real editors and file managers on the test desktop: the snapshot's windows carry the file or folder they show.
#include "adoptedchildren.h"
#include "privatesessionbus.h"
#include "snapshotlookup.h"
#include "testdesktop.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>

class TestX11RealApps : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DesktopFixture> m_fixture;
    std::unique_ptr<X11Desktop> m_desktop;
    PrivateSessionBus m_bus;
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

private slots:
    void initTestCase()
    {
        adoptOrphans();
        QString error;
        m_desktop = openTestDesktop(m_fixture, &error);
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
        m_busAddress = QString::fromUtf8(m_bus.start());
        QVERIFY(!m_busAddress.isEmpty());
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
        m_bus.stop();
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
