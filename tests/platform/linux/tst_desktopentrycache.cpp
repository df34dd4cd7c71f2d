// The desktop entries kept between runs: what makes the kept list stale, and what a kept file may never do.
#include "platform/linux/desktopentrycache.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <utime.h>

class TestDesktopEntryCache : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_apps;
    QString m_cache;

    QString write(const QString &name, const QByteArray &wmClass)
    {
        const QString path = m_apps + QLatin1Char('/') + name;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write("[Desktop Entry]\nType=Application\nName=" + name.toUtf8()
            + "\nExec=/bin/true\nStartupWMClass=" + wmClass + "\n");
        return path;
    }

    QByteArray hash(const QString &path = QStringLiteral("/bin:/usr/bin")) const
    {
        const auto print = DesktopEntryCache::fingerprint({ m_apps }, path);
        return print ? print->hash : QByteArray();
    }

    static QByteArray cacheFile(const QByteArray &fingerprint, const QJsonArray &entries, int format = 1)
    {
        return QJsonDocument(QJsonObject { { QStringLiteral("format"), format },
                                 { QStringLiteral("fingerprint"), QString::fromLatin1(fingerprint) },
                                 { QStringLiteral("entries"), entries } })
            .toJson();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_apps = m_root.filePath(QStringLiteral("data/applications"));
        m_cache = m_root.filePath(QStringLiteral("cache/corvalint/desktop-entries.json"));
        // GIO reads these once per process: set before anything asks it.
        qputenv("XDG_DATA_HOME", m_root.filePath(QStringLiteral("data")).toLocal8Bit());
        qputenv("XDG_DATA_DIRS", m_root.filePath(QStringLiteral("nowhere")).toLocal8Bit());
        write(QStringLiteral("editor.desktop"), "Editor");
    }

    void fingerprintFollowsTheInstalledEntries()
    {
        const QByteArray before = hash();
        QVERIFY(!before.isEmpty());
        QCOMPARE(hash(), before);

        // Edited in place: the folder does not change, the file's time and size do.
        const QString path = write(QStringLiteral("editor.desktop"), "EditorTwo");
        const QByteArray edited = hash();
        QVERIFY(edited != before);

        // Same size, only the time moved on (an editor that keeps the length).
        struct stat info {
        };
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
        const utimbuf later { info.st_atime, info.st_mtime + 5 };
        QCOMPARE(::utime(QFile::encodeName(path).constData(), &later), 0);
        QVERIFY(hash() != edited);

        const QByteArray settled = hash();
        const QString nested = write(QStringLiteral("kde/tool.desktop"), "Tool");
        QVERIFY(hash() != settled);
        QVERIFY(DesktopEntryCache::fingerprint({ m_apps }, QStringLiteral("/bin"))->files.contains(nested));
        QVERIFY(QFile::remove(nested));
        QVERIFY(QDir(m_apps).rmdir(QStringLiteral("kde")));

        // Another search path may run another program for the same Exec, or lets another TryExec pass.
        QVERIFY(hash(QStringLiteral("/usr/bin:/bin")) != hash(QStringLiteral("/bin:/usr/bin")));
    }

    void keptFileIsOnlyTrustedForItsOwnEntries_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("accepted");
        const auto print = DesktopEntryCache::fingerprint({ m_apps }, QStringLiteral("/bin"));
        QVERIFY(print);
        const QString editor = m_apps + QStringLiteral("/editor.desktop");
        const QJsonArray good { QJsonArray { QStringLiteral("editor"), editor, QStringLiteral("Editor"), QString() } };
        QTest::newRow("as written") << DesktopEntryCache::serialize(
            { { .id = QStringLiteral("editor"), .path = editor, .startupWMClass = {}, .executable = {} } }, *print)
                                    << true;
        QTest::newRow("kept for other entries") << cacheFile("0123", good) << false;
        QTest::newRow("a later format") << cacheFile(print->hash, good, 2) << false;
        QTest::newRow("a file elsewhere") << cacheFile(print->hash,
            { QJsonArray { QStringLiteral("x"), QStringLiteral("/tmp/evil.desktop"), QString(), QString() } })
                                          << false;
        QTest::newRow("a number for a name")
            << cacheFile(print->hash, { QJsonArray { 7, editor, QString(), QString() } }) << false;
        QTest::newRow("missing fields") << cacheFile(print->hash, { QJsonArray { QStringLiteral("editor") } }) << false;
        QTest::newRow("cut short") << cacheFile(print->hash, good).left(40) << false;
        QTest::newRow("not JSON") << QByteArray("\x00\xff garbage", 10) << false;
    }

    void keptFileIsOnlyTrustedForItsOwnEntries()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, accepted);
        const auto print = DesktopEntryCache::fingerprint({ m_apps }, QStringLiteral("/bin"));
        QVERIFY(print);
        const auto entries = DesktopEntryCache::parse(data, *print);
        QCOMPARE(entries.has_value(), accepted);
        if (accepted)
            QCOMPARE(entries->front().path, m_apps + QStringLiteral("/editor.desktop"));
    }

    void folderOthersMayEnterIsNeitherReadNorWritten()
    {
        const QString folder = m_root.filePath(QStringLiteral("shared"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::setPermissions(folder, QFile::permissions(folder) | QFile::ReadOther | QFile::ExeOther));
        const QString file = folder + QStringLiteral("/desktop-entries.json");
        QVERIFY(DesktopEntryCache(file).load().contains(QStringLiteral("editor")));
        QVERIFY(!QFile::exists(file));
    }

    void loadKeepsTheEntriesForTheNextRun()
    {
        const DesktopEntryCache cache(m_cache);
        QVERIFY(cache.load().contains(QStringLiteral("editor")));
        QVERIFY(QFile::exists(m_cache));
        QCOMPARE(QFile::permissions(QFileInfo(m_cache).path()) & (QFile::ReadOther | QFile::ExeOther),
            QFileDevice::Permissions());

        // What the kept file says is what the next run sees, without reading the entries again.
        const auto print = DesktopEntryCache::fingerprint(
            QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation), qEnvironmentVariable("PATH"));
        QVERIFY(print);
        const QString editor = m_apps + QStringLiteral("/editor.desktop");
        const auto keep = [&](const DesktopEntryCache::Fingerprint &fingerprint) {
            QFile kept(m_cache);
            return kept.open(QIODevice::WriteOnly)
                && kept.write(DesktopEntryCache::serialize({ { .id = QStringLiteral("editor"),
                                                               .path = editor,
                                                               .startupWMClass = QStringLiteral("Kept"),
                                                               .executable = {} } },
                       fingerprint))
                > 0;
        };
        QVERIFY(keep(*print));
        DesktopEntryIndex::WindowClues kept;
        kept.instance = QStringLiteral("Kept");
        QCOMPARE(cache.load().resolve(kept), QStringLiteral("editor"));

        // An entry changed since: read again. This process may have seen the entries before the change
        // (GIO hears of it only later), so what it read now is not kept for others.
        write(QStringLiteral("editor.desktop"), "Changed");
        QCOMPARE(cache.load().resolve(kept), QStringLiteral("Kept"));
        QFile file(m_cache);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(DesktopEntryCache::parse(file.readAll(), *print));
    }
};

QTEST_GUILESS_MAIN(TestDesktopEntryCache)
#include "tst_desktopentrycache.moc"
