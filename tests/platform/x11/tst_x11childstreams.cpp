// What Corvalint starts on the test desktop holds none of its standard streams, and xdg-open gets no options.
#include "testdesktop.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

/// Our standard streams replaced by pipes until restore(): what `out=$(corvalint launch W)` or a `| cat`
/// hands the command line. We keep the far ends: the write end of stdin, the read ends of stdout and stderr.
class PipedStreams
{
public:
    PipedStreams()
    {
        std::fflush(stdout);
        std::fflush(stderr);
        for (int stream = 0; stream < 3; ++stream) {
            std::array<int, 2> ends {};
            if (::pipe2(ends.data(), O_CLOEXEC) != 0)
                return;
            const int near = stream == 0 ? ends[0] : ends[1];
            m_far[stream] = stream == 0 ? ends[1] : ends[0];
            m_saved[stream] = ::fcntl(stream, F_DUPFD_CLOEXEC, 3);
            ::dup2(near, stream);
            ::close(near);
        }
        m_valid = true;
    }
    ~PipedStreams()
    {
        restore();
        for (int fd : m_far) {
            if (fd >= 0)
                ::close(fd);
        }
    }
    PipedStreams(const PipedStreams &) = delete;
    PipedStreams &operator=(const PipedStreams &) = delete;

    bool isValid() const { return m_valid; }

    /// Puts our own streams back; from then on only the programs started meanwhile can hold the pipes.
    void restore()
    {
        std::fflush(stdout);
        std::fflush(stderr);
        for (int stream = 0; stream < 3; ++stream) {
            if (m_saved[stream] >= 0) {
                ::dup2(m_saved[stream], stream);
                ::close(m_saved[stream]);
                m_saved[stream] = -1;
            }
        }
    }

    /// True once the pipe behind our `stream` (1 or 2) reaches its end: nobody can write to it any more.
    bool reachesEnd(int stream, int timeoutMs) const
    {
        pollfd wait { m_far[stream], POLLIN, 0 };
        while (::poll(&wait, 1, timeoutMs) > 0) {
            char buffer[256];
            const ssize_t read = ::read(m_far[stream], buffer, sizeof buffer);
            if (read == 0)
                return true;
            if (read < 0)
                return false;
        }
        return false;
    }

private:
    std::array<int, 3> m_saved { -1, -1, -1 };
    std::array<int, 3> m_far { -1, -1, -1 };
    bool m_valid = false;
};

bool writeExecutable(const QString &path, const QByteArray &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return false;
    file.close();
    return file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QStringList linesOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// Where the shell's own descriptors lead, read through /proc so that no redirection of ours changes them.
const QByteArray readStreams = "in=$(readlink /proc/$$/fd/0); out=$(readlink /proc/$$/fd/1); "
                               "err=$(readlink /proc/$$/fd/2)\n";

} // namespace

class TestX11ChildStreams : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DesktopFixture> m_fixture;
    std::unique_ptr<X11Desktop> m_desktop;
    QTemporaryDir m_dir;
    QByteArray m_path;
    bool m_subreaper = false;
    pid_t m_started = 0;
    QString m_entry;

    QString file(const QString &name) const { return QDir(m_dir.path()).filePath(name); }

private slots:
    void initTestCase()
    {
        QString error;
        m_desktop = openTestDesktop(m_fixture, &error);
        QVERIFY2(m_desktop, qPrintable(error));
        QVERIFY(m_dir.isValid());
        QVERIFY(!m_dir.path().contains(QLatin1Char(' ')) && !m_dir.path().contains(QLatin1Char(':')));
        // xdg-open is started twice removed: as our subreaper its orphan comes back to us to be reaped.
        m_subreaper = ::prctl(PR_SET_CHILD_SUBREAPER, 1) == 0;
        m_path = qgetenv("PATH");
    }

    void cleanup()
    {
        if (m_started > 0) {
            ::kill(m_started, SIGKILL);
            // The launcher's child watch reaps it while events are processed.
            QTRY_VERIFY(!QFileInfo::exists(QStringLiteral("/proc/%1").arg(m_started)));
            m_started = 0;
        }
        qputenv("PATH", m_path);
        if (!m_entry.isEmpty())
            QFile::remove(m_entry);
        m_entry.clear();
    }

    void launchedProgramHoldsNoneOfOurStreams()
    {
        const QString report = file(QStringLiteral("streams"));
        const QString program = file(QStringLiteral("report-streams"));
        QVERIFY(writeExecutable(program,
            "#!/bin/sh\n" + readStreams
                + "printf '%s\\n' \"$$\" \"$in\" \"$out\" \"$err\" > \"$1.part\" && mv \"$1.part\" \"$1\"\n"
                  "exec sleep 30\n"));
        // Launched by id: the entry goes where the desktop looks for applications.
        const QString entry = DesktopFixture::stateDir() + QStringLiteral("/data/applications/streamreport.desktop");
        m_entry = entry;
        QVERIFY(writeExecutable(entry,
            QStringLiteral("[Desktop Entry]\nType=Application\nName=Stream report\nExec=\"%1\" \"%2\"\n")
                .arg(program, report)
                .toUtf8()));

        PipedStreams streams;
        QVERIFY(streams.isValid());
        m_desktop->launch(LaunchRequest { QStringLiteral("streamreport"), {} }, {});
        streams.restore();

        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(report), 10000);
        const QStringList lines = linesOf(report);
        QCOMPARE(lines.size(), 4);
        m_started = pid_t(lines[0].toInt());
        QVERIFY(m_started > 0);
        QCOMPARE(lines.mid(1), QStringList(3, QStringLiteral("/dev/null")));
        // Still running, and yet whoever reads our output sees its end.
        QVERIFY(QFileInfo::exists(QStringLiteral("/proc/%1").arg(m_started)));
        QVERIFY(streams.reachesEnd(1, 3000));
        QVERIFY(streams.reachesEnd(2, 3000));
    }

    void openedAddressReachesXdgOpenAloneWithNullStreams()
    {
        // A stand-in xdg-open first on the PATH writes down how it was called.
        const QString calls = file(QStringLiteral("calls"));
        const QString bin = file(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        QVERIFY(writeExecutable(QDir(bin).filePath(QStringLiteral("xdg-open")),
            "#!/bin/sh\n" + readStreams
                + "printf '%s\\t%s\\t%s\\t%s\\t%s\\t%s\\n' \"$$\" \"$#\" \"$*\" \"$in\" \"$out\" \"$err\" >> \""
                + calls.toUtf8() + "\"\n"));
        qputenv("PATH", QFile::encodeName(bin) + ':' + m_path);

        // Options first: had any gone out, its line would be written before the address's.
        for (const char *text : { "-h", "--version", "--", "-" })
            m_desktop->openUrl(QUrl(QString::fromUtf8(text)));
        m_desktop->openUrl(QUrl(QStringLiteral("https://example.com/page?q=-h")));

        QTRY_VERIFY_WITH_TIMEOUT(!linesOf(calls).isEmpty(), 10000);
        const QStringList fields = linesOf(calls).first().split(QLatin1Char('\t'));
        QCOMPARE(fields.size(), 6);
        if (m_subreaper) {
            // Asked again after success by QTRY_VERIFY: only the first answer counts.
            const pid_t pid = pid_t(fields[0].toInt());
            bool reaped = false;
            const auto reap = [&] { return reaped = reaped || ::waitpid(pid, nullptr, WNOHANG) == pid; };
            QTRY_VERIFY(reap());
        }
        QCOMPARE(fields[1], QStringLiteral("1"));
        QCOMPARE(fields[2], QStringLiteral("https://example.com/page?q=-h"));
        QCOMPARE(fields.mid(3), QStringList(3, QStringLiteral("/dev/null")));
        QCOMPARE(linesOf(calls).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestX11ChildStreams)
#include "tst_x11childstreams.moc"
