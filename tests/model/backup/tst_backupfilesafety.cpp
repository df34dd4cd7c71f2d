// Tests of what an export does to the disk and an import to the process when the file system is hostile.
#include "backupsamples.h"
#include "model/backup/backupfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace backupsamples;

namespace {
QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size() && f.flush();
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

mode_t modeOf(const QString &path)
{
    struct stat st = {};
    return ::lstat(native(path).constData(), &st) == 0 ? st.st_mode : 0;
}

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// The serialized text of random workspaces, at least `bytes` long.
QList<WorkspaceData> workspacesOfAtLeast(qsizetype bytes)
{
    for (int count = 10;; count *= 2) {
        QList<WorkspaceData> list = randomWorkspaces(11, count);
        if (BackupFile::serialize(list).size() >= bytes)
            return list;
    }
}

// A 100 KiB tmpfs of our own, so a full disk can be made without filling the real one.
class SmallDisk
{
public:
    SmallDisk()
    {
        if (::geteuid() == 0 && m_dir.isValid())
            m_mounted = ::mount("tmpfs", native(m_dir.path()).constData(), "tmpfs", 0, "size=100k") == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(native(m_dir.path()).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return m_mounted; }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    QString path() const { return m_dir.path(); }

    /// Writes zeros into `name` until the disk refuses; true when it refused for lack of room.
    bool fill(const QString &name) const
    {
        const int fd = ::open(native(filePath(name)).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        const QByteArray block(4096, '\0');
        int lastError = 0;
        while (lastError == 0) {
            if (::write(fd, block.constData(), size_t(block.size())) < 0 && errno != EINTR)
                lastError = errno;
        }
        ::close(fd);
        return lastError == ENOSPC;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

// Puts the file size limit back whatever the test's outcome.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = m_old;
        small.rlim_cur = bytes;
        m_set = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool set() const { return m_set; }

private:
    rlimit m_old = {};
    void (*m_oldHandler)(int) = SIG_DFL;
    bool m_set = false;
};

const QString exportFailed = QStringLiteral("Export fehlgeschlagen: ");
} // namespace

class TestBackupFileSafety : public QObject
{
    Q_OBJECT

private slots:
    void exportOntoAFullDiskKeepsTheOldBackup_data()
    {
        QTest::addColumn<int>("spare");
        QTest::addColumn<int>("length");
        // A short text fits the write buffer and only meets the full disk when it is flushed.
        QTest::addRow("short backup, no room") << 0 << 0;
        QTest::addRow("long backup, no room") << 0 << 32 * 1024;
        QTest::addRow("room for part of the text") << 16 * 1024 << 24 * 1024;
    }

    void exportOntoAFullDiskKeepsTheOldBackup()
    {
        QFETCH(int, spare);
        QFETCH(int, length);
        SmallDisk disk;
        if (!disk.mounted())
            QSKIP("needs root to mount a small tmpfs");
        const QString target = disk.filePath(QStringLiteral("CorvalintBackups.workspace"));
        const QByteArray old = BackupFile::serialize({ richWorkspaces().first() });
        QVERIFY(put(target, old));
        if (spare > 0)
            QVERIFY(put(disk.filePath(QStringLiteral("spare")), QByteArray(spare, 's')));
        QVERIFY(disk.fill(QStringLiteral("fill")));
        QFile::remove(disk.filePath(QStringLiteral("spare")));

        const QList<WorkspaceData> list = length > 0 ? workspacesOfAtLeast(length) : richWorkspaces();
        QCOMPARE(
            BackupFile::exportToFile(target, list), exportFailed + QStringLiteral("Kein Speicherplatz auf dem Gerät"));
        QCOMPARE(contents(target), old);
        QCOMPARE(filesIn(disk.path()),
            (QStringList { QStringLiteral("CorvalintBackups.workspace"), QStringLiteral("fill") }));
    }

    void exportOntoASmallDiskWithRoomReplacesTheBackupWhole()
    {
        SmallDisk disk;
        if (!disk.mounted())
            QSKIP("needs root to mount a small tmpfs");
        const QString target = disk.filePath(QStringLiteral("CorvalintBackups.workspace"));
        QVERIFY(put(target, BackupFile::serialize(richWorkspaces())));
        const QList<WorkspaceData> list = workspacesOfAtLeast(40 * 1024);
        QVERIFY(BackupFile::serialize(list).size() < 90 * 1024);
        QCOMPARE(BackupFile::exportToFile(target, list), QStringLiteral("%1 Workspaces exportiert").arg(list.size()));
        QCOMPARE(contents(target), BackupFile::serialize(list));
        QCOMPARE(filesIn(disk.path()), QStringList { QStringLiteral("CorvalintBackups.workspace") });
    }

    void exportPastTheFileSizeLimitKeepsTheOldBackup_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("length");
        QTest::addRow("short backup") << 1024 << 0;
        QTest::addRow("long backup") << 16 * 1024 << 64 * 1024;
    }

    // The process ignores SIGXFSZ, as the application does, so going past
    // `ulimit -f` is a write error instead of a silent death.
    void exportPastTheFileSizeLimitKeepsTheOldBackup()
    {
        QFETCH(int, limit);
        QFETCH(int, length);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("CorvalintBackups.workspace"));
        const QByteArray old = BackupFile::serialize({});
        QVERIFY(put(target, old));
        const QList<WorkspaceData> list = length > 0 ? workspacesOfAtLeast(length) : richWorkspaces();
        QVERIFY(BackupFile::serialize(list).size() > limit);
        QString line;
        {
            const FileSizeLimit sizeLimit { rlim_t(limit) };
            QVERIFY(sizeLimit.set());
            line = BackupFile::exportToFile(target, list);
        }
        QCOMPARE(line, exportFailed + QStringLiteral("Datei überschreitet die erlaubte Größe"));
        QCOMPARE(contents(target), old);
        QCOMPARE(filesIn(dir.path()), QStringList { QStringLiteral("CorvalintBackups.workspace") });
    }

    void replacingKeepsTheOldFilesPermissions_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addRow("0640") << 0640;
        QTest::addRow("0664, wider than the umask") << 0664;
        QTest::addRow("0400, read-only") << 0400;
    }

    void replacingKeepsTheOldFilesPermissions()
    {
        QFETCH(int, mode);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("shared.workspace"));
        QVERIFY(put(target, "old"));
        QCOMPARE(::chmod(native(target).constData(), mode_t(mode)), 0);
        QString error;
        QVERIFY2(BackupFile::writeAtomically(target, "new", &error), qPrintable(error));
        QCOMPARE(contents(target), QByteArray("new"));
        QCOMPARE(int(modeOf(target) & 07777), mode);
    }

    void aNewFileIsPrivateToItsOwner()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("new.workspace"));
        QString error;
        QVERIFY2(BackupFile::writeAtomically(target, "{}", &error), qPrintable(error));
        QCOMPARE(int(modeOf(target) & 07777), int(0600 & ~currentUmask()));
    }

    void exportRefusesTheStoreItself_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addRow("the store") << QStringLiteral("store.sqlite");
        QTest::addRow("its journal") << QStringLiteral("store.sqlite-wal");
        QTest::addRow("its shared memory") << QStringLiteral("store.sqlite-shm");
        QTest::addRow("the store by a longer way") << QStringLiteral("sub/../store.sqlite");
        QTest::addRow("the store by ./") << QStringLiteral("./store.sqlite");
        QTest::addRow("a hard link to the store") << QStringLiteral("hardlink.workspace");
        QTest::addRow("an own symbolic link to the store") << QStringLiteral("symlink.workspace");
    }

    void exportRefusesTheStoreItself()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        const QString store = dir.filePath(QStringLiteral("store.sqlite"));
        const QByteArray database("SQLite format 3\0 pretend", 24);
        QVERIFY(put(store, database));
        QVERIFY(put(store + QStringLiteral("-shm"), "shared"));
        // No journal yet: SQLite makes it when the store is next written.
        QCOMPARE(
            ::link(native(store).constData(), native(dir.filePath(QStringLiteral("hardlink.workspace"))).constData()),
            0);
        QCOMPARE(::symlink("store.sqlite", native(dir.filePath(QStringLiteral("symlink.workspace"))).constData()), 0);
        const QStringList protectedPaths { store, store + QStringLiteral("-wal"), store + QStringLiteral("-shm") };

        const QString line = BackupFile::exportToFile(dir.filePath(name), richWorkspaces(), protectedPaths);
        QCOMPARE(line, exportFailed + QStringLiteral("Ziel ist die Datenbank von Corvalint"));
        QCOMPARE(contents(store), database);
        QCOMPARE(contents(store + QStringLiteral("-shm")), QByteArray("shared"));
        QVERIFY(!QFile::exists(store + QStringLiteral("-wal")));
        QVERIFY(S_ISLNK(modeOf(dir.filePath(QStringLiteral("symlink.workspace")))));
        QCOMPARE(filesIn(dir.path()).size(), 5);
    }

    void exportBesideTheStoreIsFine()
    {
        QTemporaryDir dir;
        const QString store = dir.filePath(QStringLiteral("store.sqlite"));
        QVERIFY(put(store, "database"));
        const QString target = dir.filePath(QStringLiteral("store.sqlite.workspace"));
        QCOMPARE(BackupFile::exportToFile(target, richWorkspaces(), { store, store + QStringLiteral("-wal") }),
            QStringLiteral("3 Workspaces exportiert"));
        QCOMPARE(contents(store), QByteArray("database"));
    }

    void writeRefusesWhatIsNoRegularFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::addRow("folder") << QStringLiteral("folder") << QStringLiteral("Ziel ist ein Ordner");
        QTest::addRow("pipe") << QStringLiteral("pipe") << QStringLiteral("Ziel ist keine normale Datei");
        QTest::addRow("socket") << QStringLiteral("socket") << QStringLiteral("Ziel ist keine normale Datei");
        QTest::addRow("device") << QStringLiteral("device") << QStringLiteral("Ziel ist keine normale Datei");
    }

    void writeRefusesWhatIsNoRegularFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString target = dir.filePath(kind);
        const QByteArray where = native(target);
        int socketFd = -1;
        if (kind == QLatin1String("folder")) {
            QVERIFY(QDir(dir.path()).mkdir(kind));
        } else if (kind == QLatin1String("pipe")) {
            QCOMPARE(::mkfifo(where.constData(), 0600), 0);
        } else if (kind == QLatin1String("socket")) {
            sockaddr_un address = {};
            address.sun_family = AF_UNIX;
            if (size_t(where.size()) >= sizeof address.sun_path)
                QSKIP("temporary folder too deep for a socket name");
            std::memcpy(address.sun_path, where.constData(), size_t(where.size()));
            socketFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            QVERIFY(socketFd >= 0);
            QCOMPARE(::bind(socketFd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        } else if (::mknod(where.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0) {
            QSKIP("making a device node needs root");
        }
        const mode_t type = modeOf(target) & S_IFMT;
        QString error;
        const bool written = BackupFile::writeAtomically(target, "{}", &error);
        if (socketFd >= 0)
            ::close(socketFd);
        QVERIFY(!written);
        QCOMPARE(error, reason);
        QCOMPARE(modeOf(target) & S_IFMT, type);
        QCOMPARE(filesIn(dir.path()), QStringList { kind });
    }

    void anOwnSymbolicLinkIsFollowedAndKept()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("real")));
        const QString file = dir.filePath(QStringLiteral("real/backup.workspace"));
        QVERIFY(put(file, "old"));
        QCOMPARE(::chmod(native(file).constData(), 0640), 0);
        // Two links in a row, the second relative to its own folder.
        const QString first = dir.filePath(QStringLiteral("first.workspace"));
        const QString second = dir.filePath(QStringLiteral("real/second.workspace"));
        QCOMPARE(::symlink("backup.workspace", native(second).constData()), 0);
        QCOMPARE(::symlink(native(second).constData(), native(first).constData()), 0);
        QString error;
        QVERIFY2(BackupFile::writeAtomically(first, "new", &error), qPrintable(error));
        QCOMPARE(contents(file), QByteArray("new"));
        QVERIFY(S_ISLNK(modeOf(first)));
        QVERIFY(S_ISLNK(modeOf(second)));
        QCOMPARE(int(modeOf(file) & 07777), 0640);
        QCOMPARE(filesIn(dir.filePath(QStringLiteral("real"))),
            (QStringList { QStringLiteral("backup.workspace"), QStringLiteral("second.workspace") }));
    }

    void anOwnDanglingSymbolicLinkGetsItsFileMade()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("link.workspace"));
        QCOMPARE(::symlink("made.workspace", native(link).constData()), 0);
        QString error;
        QVERIFY2(BackupFile::writeAtomically(link, "new", &error), qPrintable(error));
        QVERIFY(S_ISLNK(modeOf(link)));
        QCOMPARE(contents(dir.filePath(QStringLiteral("made.workspace"))), QByteArray("new"));
    }

    void aSymbolicLinkOfAnotherUserIsRefused()
    {
        if (::geteuid() != 0)
            QSKIP("only root can make a link that belongs to someone else");
        QTemporaryDir dir;
        const QString victim = dir.filePath(QStringLiteral("victim.workspace"));
        QVERIFY(put(victim, "precious"));
        const QString planted = dir.filePath(QStringLiteral("planted.workspace"));
        QCOMPARE(::symlink(native(victim).constData(), native(planted).constData()), 0);
        QCOMPARE(::lchown(native(planted).constData(), 65534, 65534), 0);
        QCOMPARE(BackupFile::exportToFile(planted, richWorkspaces()),
            exportFailed + QStringLiteral("Ziel ist eine Verknüpfung eines anderen Benutzers"));
        QCOMPARE(contents(victim), QByteArray("precious"));
        QVERIFY(S_ISLNK(modeOf(planted)));
        QCOMPARE(filesIn(dir.path()),
            (QStringList { QStringLiteral("planted.workspace"), QStringLiteral("victim.workspace") }));
    }

    // A path that is a file when looked at and a pipe when opened: opening a
    // pipe that nobody writes to used to wait for a writer forever.
    void importOfAPathSwappedToAPipeNeverBlocks()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("swapped.workspace"));
        const QByteArray file = native(dir.filePath(QStringLiteral("file")));
        const QByteArray pipe = native(dir.filePath(QStringLiteral("pipe")));
        const QByteArray next = native(dir.filePath(QStringLiteral("next")));
        const QByteArray where = native(target);
        QVERIFY(put(dir.filePath(QStringLiteral("file")), BackupFile::serialize(richWorkspaces())));
        QCOMPARE(::mkfifo(pipe.constData(), 0600), 0);
        QCOMPARE(::link(file.constData(), where.constData()), 0);

        // Every pipe put in place is the same one, still reachable as `pipe`,
        // so a reader stuck in it can be let go.
        std::atomic<bool> stop { false };
        std::thread swapper([&] {
            for (bool toPipe = true; !stop.load(); toPipe = !toPipe) {
                ::unlink(next.constData());
                if (::link((toPipe ? pipe : file).constData(), next.constData()) == 0)
                    ::rename(next.constData(), where.constData());
            }
        });
        std::atomic<int> refused { 0 };
        std::atomic<int> read { 0 };
        std::atomic<int> other { 0 };
        std::atomic<bool> done { false };
        std::thread reader([&] {
            QElapsedTimer timer;
            timer.start();
            while (timer.elapsed() < 1500 && !stop.load()) {
                const BackupParseResult r = BackupFile::readFile(target);
                if (r.ok())
                    ++read;
                else if (r.error == QLatin1String("Keine normale Datei"))
                    ++refused;
                else
                    ++other;
            }
            done = true;
        });
        QElapsedTimer waited;
        waited.start();
        while (!done.load() && waited.elapsed() < 10'000)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const bool finished = done.load();
        stop = true;
        swapper.join();
        // Let a stuck reader go: it sees a writer come and leave, reads nothing.
        while (!done.load()) {
            const int fd = ::open(pipe.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0)
                ::close(fd);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        reader.join();
        QVERIFY2(finished, "reading the file blocked");
        QCOMPARE(other.load(), 0);
        QVERIFY(read.load() + refused.load() > 0);
        qDebug("%d read, %d refused as a pipe", read.load(), refused.load());
    }

    void importRefusesASocket()
    {
        QTemporaryDir dir;
        const QByteArray where = native(dir.filePath(QStringLiteral("s.workspace")));
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        if (size_t(where.size()) >= sizeof address.sun_path)
            QSKIP("temporary folder too deep for a socket name");
        std::memcpy(address.sun_path, where.constData(), size_t(where.size()));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        QVERIFY(fd >= 0);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        const QString error = BackupFile::readFile(QFile::decodeName(where)).error;
        ::close(fd);
        QCOMPARE(error, QStringLiteral("Keine normale Datei"));
    }
};

QTEST_APPLESS_MAIN(TestBackupFileSafety)
#include "tst_backupfilesafety.moc"
