// Runs the real Firefox and Chromium on the test desktop and reads back the tabs they show.
#include "platform/linux/documents/linuxdocuments.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <functional>
#include <memory>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QStringList chromiumFlags { "--no-sandbox", "--no-first-run", "--no-default-browser-check",
    "--disable-background-networking", "--disable-component-update", "--disable-sync", "--disable-default-apps",
    "--disable-domain-reliability", "--disable-breakpad", "--disable-gpu", "--disable-dev-shm-usage",
    "--password-store=basic", "--host-resolver-rules=MAP * ~NOTFOUND , EXCLUDE 127.0.0.1" };

// A browser (or bus) started by the test: ended and reaped when the test ends,
// however it ends.
struct OwnedProcess {
    std::unique_ptr<QProcess> process = std::make_unique<QProcess>();
    ~OwnedProcess() { stop(); }
    void stop()
    {
        if (process->state() == QProcess::NotRunning)
            return;
        process->terminate();
        if (!process->waitForFinished(15000)) {
            process->kill();
            process->waitForFinished(5000);
        }
    }
};

// What `collect` returns once it returns `expected`, or at the deadline. Unlike
// QTRY_COMPARE this reports what was seen last, and gives up at the deadline.
QStringList collectUntil(const std::function<QStringList()> &collect, const QStringList &expected, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QStringList seen = collect();
    while (seen != expected && !deadline.hasExpired()) {
        QTest::qWait(250);
        seen = collect();
    }
    return seen;
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}
} // namespace

class TestBrowserSessions : public QObject
{
    Q_OBJECT

private:
    QTcpServer m_server;
    QTemporaryDir m_root;
    OwnedProcess m_bus;
    QString m_busAddress;

    QString pageUrl(const QString &name) const
    {
        return QStringLiteral("http://127.0.0.1:%1/%2.html").arg(m_server.serverPort()).arg(name);
    }

    // Pages whose title is their name, enough for a browser to record them.
    void answer()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                const QByteArray request = socket->peek(8192);
                if (!request.contains("\r\n\r\n"))
                    return;
                const QByteArray name = QString::fromLatin1(request.split(' ').value(1)).toHtmlEscaped().toUtf8();
                const QByteArray body
                    = "<html><head><title>" + name + "</title></head><body>" + name + "</body></html>";
                socket->readAll();
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: "
                    + QByteArray::number(body.size()) + "\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
        }
    }

    // A fresh user for one browser: home, XDG folders, the private bus.
    QProcessEnvironment freshUser(const QString &home) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QDir dir(home);
        dir.mkpath("runtime");
        QFile::setPermissions(
            dir.filePath("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        env.insert("HOME", home);
        env.insert("XDG_CONFIG_HOME", dir.filePath(".config"));
        env.insert("XDG_CACHE_HOME", dir.filePath(".cache"));
        env.insert("XDG_DATA_HOME", dir.filePath(".local/share"));
        env.insert("XDG_RUNTIME_DIR", dir.filePath("runtime"));
        env.insert("DBUS_SESSION_BUS_ADDRESS", m_busAddress);
        env.remove("WAYLAND_DISPLAY");
        return env;
    }

    // Ends and reaps what the browsers left behind: their helpers became our
    // children when the browser went, and nothing else here would reap them.
    static void reapOrphans()
    {
        const QStringList entries = QDir("/proc").entryList(QDir::Dirs);
        for (const QString &entry : entries) {
            bool ok = false;
            const pid_t pid = entry.toInt(&ok);
            if (!ok)
                continue;
            QFile stat("/proc/" + entry + "/stat");
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            const QByteArray text = stat.readAll();
            const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
            if (fields.value(1).toInt() == getpid())
                ::kill(pid, SIGKILL);
        }
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 5000) {
            const pid_t reaped = ::waitpid(-1, nullptr, WNOHANG);
            if (reaped < 0)
                break; // no children left
            if (reaped == 0)
                QTest::qWait(50);
        }
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X display");
        QVERIFY(m_root.isValid());
        ::prctl(PR_SET_CHILD_SUBREAPER, 1);
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
        connect(&m_server, &QTcpServer::newConnection, this, &TestBrowserSessions::answer);
        // Firefox cannot reach its running copy without a session bus.
        m_bus.process->start("dbus-daemon", { "--session", "--nofork", "--print-address=1" });
        QVERIFY(m_bus.process->waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(m_bus.process->canReadLine(), 5000);
        m_busAddress = QString::fromUtf8(m_bus.process->readLine()).trimmed();
    }

    void cleanupTestCase()
    {
        m_bus.stop();
        reapOrphans();
    }

    void firefoxTabsComeWindowAfterWindow()
    {
        const QString firefox = QStandardPaths::findExecutable("firefox-esr");
        if (firefox.isEmpty())
            QSKIP("firefox-esr is not installed");
        const QString home = m_root.filePath("firefox-user");
        const QDir profiles(home + "/.mozilla/firefox");
        QVERIFY(writeFile(profiles.filePath("profiles.ini"),
            "[General]\nStartWithLastProfile=1\nVersion=2\n\n"
            "[Profile0]\nName=test\nIsRelative=1\nPath=test.default\nDefault=1\n"));
        QFile prefs(QStringLiteral(CORVALINT_DOCUMENTS_TEST_DATA "/firefox-user.js"));
        QVERIFY(prefs.open(QIODevice::ReadOnly));
        QVERIFY(writeFile(profiles.filePath("test.default/user.js"), prefs.readAll()));
        QProcessEnvironment env = freshUser(home);
        // Use the hand-made profile (with the prefs above) rather than a new one per install.
        env.insert("MOZ_LEGACY_PROFILES", "1");
        env.insert("MOZ_ENABLE_WAYLAND", "0");

        OwnedProcess browser;
        browser.process->setProcessEnvironment(env);
        browser.process->setStandardOutputFile(QProcess::nullDevice());
        browser.process->setStandardErrorFile(QProcess::nullDevice());
        browser.process->start(firefox, { pageUrl("one") });
        QVERIFY(browser.process->waitForStarted(10000));
        const LinuxDocuments documents(home, home + "/.config", QString());
        const QList<qint64> pids { browser.process->processId() };
        auto collect = [&] { return documents.collect(DocumentRole::browser0, "firefox-esr", pids, {}); };
        const QStringList oneWindow { pageUrl("one") };
        QCOMPARE(collectUntil(collect, oneWindow, 90000), oneWindow);

        // The second window once the first is recorded: two windows opened at once
        // register with the session store in whichever order they finish loading.
        QProcess second;
        second.setProcessEnvironment(env);
        second.setStandardOutputFile(QProcess::nullDevice());
        second.setStandardErrorFile(QProcess::nullDevice());
        second.start(firefox, { "-new-window", pageUrl("two") });
        QVERIFY(second.waitForFinished(30000));
        const QStringList twoWindows { pageUrl("one"), pageUrl("two") };
        QCOMPARE(collectUntil(collect, twoWindows, 60000), twoWindows);
        // Another process's Firefox: the same profile is not its running one.
        QVERIFY(documents.collect(DocumentRole::browser0, "firefox-esr", { pids.first() + 100000 }, {}).isEmpty());
    }

    void chromiumTabsComeWindowAfterWindow()
    {
        const QString chromium = QStandardPaths::findExecutable("chromium");
        if (chromium.isEmpty())
            QSKIP("chromium is not installed");
        const QString home = m_root.filePath("chromium-user");
        const QProcessEnvironment env = freshUser(home);

        OwnedProcess browser;
        browser.process->setProcessEnvironment(env);
        browser.process->setStandardOutputFile(QProcess::nullDevice());
        browser.process->setStandardErrorFile(QProcess::nullDevice());
        browser.process->start(chromium, chromiumFlags + QStringList { pageUrl("first"), pageUrl("second") });
        QVERIFY(browser.process->waitForStarted(10000));
        const LinuxDocuments documents(home, home + "/.config", QString());
        auto collect = [&] { return documents.collect(DocumentRole::browser1, "chromium", {}, {}); };
        const QStringList oneWindow { pageUrl("first"), pageUrl("second") };
        QCOMPARE(collectUntil(collect, oneWindow, 60000), oneWindow);

        // A second window through the running browser.
        QProcess second;
        second.setProcessEnvironment(env);
        second.setStandardOutputFile(QProcess::nullDevice());
        second.setStandardErrorFile(QProcess::nullDevice());
        second.start(chromium, chromiumFlags + QStringList { "--new-window", pageUrl("third") });
        QVERIFY(second.waitForFinished(30000));
        const QStringList twoWindows { pageUrl("first"), pageUrl("second"), pageUrl("third") };
        QCOMPARE(collectUntil(collect, twoWindows, 60000), twoWindows);
    }
};

QTEST_GUILESS_MAIN(TestBrowserSessions)
#include "tst_browsersessions.moc"
