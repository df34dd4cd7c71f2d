// Tests reading a process's command line and working folder from a folder laid out like /proc.
#include "platform/linux/documents/processlookup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestProcessLookup : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_proc;
    QString m_files;

    void makeProcess(qint64 pid, const QStringList &arguments, const QString &cwd)
    {
        QByteArray commandLine;
        for (const QString &argument : arguments)
            commandLine += argument.toUtf8() + '\0';
        makeProcess(pid, commandLine, cwd);
    }

    void makeProcess(qint64 pid, const QByteArray &commandLine, const QString &cwd)
    {
        const QString dir = QDir(m_proc).filePath(QString::number(pid));
        QVERIFY(QDir().mkpath(dir));
        QFile file(dir + "/cmdline");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(commandLine);
        if (!cwd.isEmpty())
            QVERIFY(QFile::link(cwd, dir + "/cwd"));
    }

    static void touch(const QString &path)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_proc = m_root.filePath("proc");
        m_files = m_root.filePath("files");
        touch(m_files + "/work/notes.txt");
        touch(m_files + "/work/plan b.txt");
        touch(m_files + "/abs.txt");
        QVERIFY(QDir().mkpath(m_files + "/work/sub"));
        makeProcess(100,
            QStringList { "mousepad", "--line=3", "notes.txt", "../abs.txt", "missing.txt",
                "file://" + m_files + "/work/plan%20b.txt", "https://example.org/x.txt", "sub", "-", "--", "-odd",
                "notes.txt" },
            m_files + "/work");
    }

    void commandLineAndFolderAreRead()
    {
        const ProcessLookup lookup(m_proc, ProcessLookup::currentUid());
        const auto view = lookup.view(100);
        QVERIFY(view);
        QCOMPARE(view->arguments.front(), QString("mousepad"));
        QCOMPARE(view->arguments.size(), 12);
        QCOMPARE(view->cwd, m_files + "/work");
    }

    void argumentsThatAreFilesAreResolved()
    {
        const ProcessLookup lookup(m_proc, ProcessLookup::currentUid());
        const auto view = lookup.view(100);
        QVERIFY(view);
        QCOMPARE(ProcessLookup::existingArguments(*view, false),
            (QStringList { m_files + "/work/notes.txt", m_files + "/abs.txt", m_files + "/work/plan b.txt" }));
        QCOMPARE(ProcessLookup::existingArguments(*view, true), QStringList { m_files + "/work/sub" });
    }

    void relativeArgumentsNeedAFolder()
    {
        const ProcessView view { { "thunar", "work", m_files + "/work" }, QString() };
        QCOMPARE(ProcessLookup::existingArguments(view, true), QStringList { m_files + "/work" });
        QVERIFY(ProcessLookup::existingArguments({ { "thunar" }, m_files }, true).isEmpty());
        QVERIFY(ProcessLookup::existingArguments({}, true).isEmpty());
    }

    void otherUsersAndMissingProcessesAreNotRead()
    {
        const ProcessLookup stranger(m_proc, ProcessLookup::currentUid() + 1);
        QVERIFY(!stranger.view(100));
        const ProcessLookup lookup(m_proc, ProcessLookup::currentUid());
        QVERIFY(!lookup.view(101));
        QVERIFY(!lookup.view(0));
        QVERIFY(!lookup.view(-100));
    }

    void hugeCommandLineIsRefused()
    {
        makeProcess(102, QByteArray(ProcessLookup::maxCommandLineBytes + 1, 'a'), m_files);
        const ProcessLookup lookup(m_proc, ProcessLookup::currentUid());
        QVERIFY(!lookup.view(102));
    }

    void ownProcessIsReadFromTheRealProc()
    {
        const auto view = ProcessLookup().view(QCoreApplication::applicationPid());
        QVERIFY(view);
        QCOMPARE(QFileInfo(view->arguments.front()).fileName(), QString("tst_processlookup"));
        QCOMPARE(view->cwd, QDir::currentPath());
    }
};

QTEST_GUILESS_MAIN(TestProcessLookup)
#include "tst_processlookup.moc"
