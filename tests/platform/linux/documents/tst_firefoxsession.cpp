// Tests reading Firefox's compressed session store and finding the profile a running Firefox uses.
#include "platform/linux/documents/firefoxcollector.h"
#include "platform/linux/documents/firefoxprofiles.h"
#include "platform/linux/documents/firefoxsession.h"
#include "platform/linux/documents/mozlz4.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <unistd.h>

namespace {
QJsonObject tab(std::initializer_list<const char *> urls, std::optional<double> index = std::nullopt)
{
    QJsonArray entries;
    for (const char *url : urls)
        entries.append(QJsonObject { { "url", url }, { "title", "t" } });
    QJsonObject result { { "entries", entries } };
    if (index)
        result.insert("index", *index);
    return result;
}

QByteArray session(std::initializer_list<QJsonArray> windows)
{
    QJsonArray all;
    for (const QJsonArray &tabs : windows)
        all.append(QJsonObject { { "tabs", tabs }, { "selected", 1 } });
    return QJsonDocument(QJsonObject { { "version", QJsonArray { "sessionrestore", 1 } }, { "windows", all } })
        .toJson();
}
} // namespace

class TestFirefoxSession : public QObject
{
    Q_OBJECT

private:
    static void writeFile(const QString &path, const QByteArray &content)
    {
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }

    static void writeSession(const QString &profileDir, const QByteArray &json)
    {
        writeFile(QDir(profileDir).filePath("sessionstore-backups/recovery.jsonlz4"), MozLz4::encode(json));
    }

    static void lock(const QString &profileDir, qint64 pid)
    {
        const QByteArray target = "127.0.1.1:+" + QByteArray::number(pid);
        const QByteArray link = QFile::encodeName(QDir(profileDir).filePath("lock"));
        QVERIFY(QDir().mkpath(profileDir));
        QCOMPARE(::symlink(target.constData(), link.constData()), 0);
    }

    // Two profiles as Firefox leaves them: "b" is the install's default, "a" the
    // one marked Default=1 by hand (which Firefox ignores).
    static void writeProfiles(const QDir &firefox)
    {
        writeFile(firefox.filePath("profiles.ini"),
            "[Profile1]\nName=a\nIsRelative=1\nPath=aaaa.a\nDefault=1\n\n"
            "[Profile0]\nName=b\nIsRelative=1\nPath=bbbb.default-esr\n\n"
            "[General]\nStartWithLastProfile=1\nVersion=2\n\n"
            "[Install3B6073811A6ABF12]\nDefault=bbbb.default-esr\nLocked=1\n");
        writeFile(firefox.filePath("installs.ini"), "[Install3B6073811A6ABF12]\nDefault=bbbb.default-esr\nLocked=1\n");
        writeSession(firefox.filePath("aaaa.a"), session({ { tab({ "http://a/" }) } }));
        writeSession(firefox.filePath("bbbb.default-esr"), session({ { tab({ "http://b/" }) } }));
    }

private slots:
    void encodedStoreDecodesToTheSameText()
    {
        const QByteArray json = session({ { tab({ "http://x/" }) } });
        const QByteArray file = MozLz4::encode(json);
        QVERIFY(file.startsWith(QByteArray("mozLz40\0", 8)));
        QCOMPARE(MozLz4::decode(file).value_or("<failed>"), json);
    }

    void tabsComeWindowAfterWindowInTabOrder()
    {
        const QByteArray json = session({ { tab({ "http://w1t1/" }), tab({ "http://w1t2/" }) },
            { tab({ "http://w2t1/" }), tab({ "http://w2t2/" }) } });
        QCOMPARE(FirefoxSession::tabUrls(json),
            (QStringList { "http://w1t1/", "http://w1t2/", "http://w2t1/", "http://w2t2/" }));
    }

    void windowsKeepTheirTabsAndTheSelectedTabsTitle()
    {
        QJsonArray first { tab({ "https://a/" }), tab({ "https://b/" }) };
        QJsonObject titled { { "entries",
                                 QJsonArray { QJsonObject { { "url", "https://c/" }, { "title", "Cee" } },
                                     QJsonObject { { "url", "https://d/" }, { "title", "Dee" } } } },
            { "index", 1 } };
        const QJsonArray windows { QJsonObject { { "tabs", first }, { "selected", 2 } },
            QJsonObject { { "tabs", QJsonArray { titled, tab({}) } }, { "selected", 99 } },
            QJsonObject { { "tabs", QJsonArray { titled } } } };
        const QByteArray json = QJsonDocument(QJsonObject { { "windows", windows } }).toJson();
        const QList<BrowserWindowTabs> parsed = FirefoxSession::windows(json);
        QCOMPARE(parsed.size(), 3);
        QCOMPARE(parsed[0].urls, (QStringList { "https://a/", "https://b/" }));
        QCOMPARE(parsed[0].title, QStringLiteral("t"));
        // A tab without entries is left out; a selection beyond the tabs takes the last one.
        QCOMPARE(parsed[1].urls, QStringList { "https://c/" });
        QCOMPARE(parsed[1].title, QString());
        QCOMPARE(parsed[2].title, QStringLiteral("Cee"));
        QCOMPARE(
            FirefoxSession::tabUrls(json), (QStringList { "https://a/", "https://b/", "https://c/", "https://c/" }));
    }

    void tabIndexNamesTheCurrentEntry()
    {
        const QByteArray json = session({ { tab({ "http://1/", "http://2/", "http://3/" }, 2),
            tab({ "http://1/", "http://2/", "http://last/" }), tab({ "http://low/", "http://2/" }, 0),
            tab({ "http://1/", "http://high/" }, 9), tab({}, 1), tab({ "http://1/", "http://2/" }, -4) } });
        QCOMPARE(FirefoxSession::tabUrls(json),
            (QStringList { "http://2/", "http://last/", "http://low/", "http://high/", "http://1/" }));
    }

    void emptySessionGivesNothing()
    {
        QVERIFY(FirefoxSession::tabUrls(session({})).isEmpty());
        QVERIFY(FirefoxSession::tabUrls(session({ QJsonArray() })).isEmpty());
        QVERIFY(FirefoxSession::tabUrls("{\"windows\": 5}").isEmpty());
        QVERIFY(FirefoxSession::tabUrls("not json at all").isEmpty());
        QVERIFY(FirefoxSession::tabUrls(QByteArray()).isEmpty());
    }

    void brokenMagicIsRefused()
    {
        QByteArray file = MozLz4::encode(session({ { tab({ "http://x/" }) } }));
        file[3] = 'X';
        QVERIFY(!MozLz4::decode(file));
        QVERIFY(!MozLz4::decode(QByteArray("mozLz40", 7)));
        QVERIFY(!MozLz4::decode(QByteArray()));
    }

    void truncatedBlockIsRefused()
    {
        const QByteArray file = MozLz4::encode(session({ { tab({ "http://x/" }), tab({ "http://y/" }) } }));
        for (qsizetype cut : { 1, 5, 20 })
            QVERIFY(!MozLz4::decode(file.chopped(cut)));
    }

    void wrongDeclaredSizeIsRefused()
    {
        QByteArray file = MozLz4::encode(session({ { tab({ "http://x/" }) } }));
        const quint32 real = qFromLittleEndian<quint32>(file.constData() + 8);
        qToLittleEndian<quint32>(real + 1, file.data() + 8);
        QVERIFY(!MozLz4::decode(file));
        qToLittleEndian<quint32>(real - 1, file.data() + 8);
        QVERIFY(!MozLz4::decode(file));
    }

    void hugeDeclaredSizeIsRefusedWithoutAllocating()
    {
        QByteArray file = MozLz4::encode("{}");
        qToLittleEndian<quint32>(0xFFFFFFFFu, file.data() + 8);
        QVERIFY(!MozLz4::decode(file));
        // Below the absolute cap, but far beyond what so few bytes can expand to.
        qToLittleEndian<quint32>(200u * 1024 * 1024, file.data() + 8);
        QVERIFY(!MozLz4::decode(file));
    }

    void installDefaultIsThePreferredProfile()
    {
        QTemporaryDir dir;
        writeProfiles(QDir(dir.path()));
        const FirefoxProfiles profiles(dir.path());
        QCOMPARE(profiles.candidates(), (QStringList { dir.filePath("bbbb.default-esr"), dir.filePath("aaaa.a") }));
        QCOMPARE(FirefoxCollector(dir.path()).collect({}), QStringList { "http://b/" });
        // Unlocked profiles cannot tell which one runs: the install's default it is.
        QCOMPARE(FirefoxCollector(dir.path()).collect({ 4242 }), QStringList { "http://b/" });
    }

    void profileLockedByTheApplicationWins()
    {
        QTemporaryDir dir;
        writeProfiles(QDir(dir.path()));
        lock(dir.filePath("aaaa.a"), 4242);
        QCOMPARE(FirefoxProfiles::lockOwner(dir.filePath("aaaa.a")), std::optional<qint64>(4242));
        QCOMPARE(FirefoxCollector(dir.path()).collect({ 17, 4242 }), QStringList { "http://a/" });
    }

    void profileLockedByAnotherProcessIsNotTheRunningOne()
    {
        QTemporaryDir dir;
        writeProfiles(QDir(dir.path()));
        lock(dir.filePath("bbbb.default-esr"), 999);
        QVERIFY(FirefoxCollector(dir.path()).collect({ 4242 }).isEmpty());
    }

    void absoluteProfilePathIsUsedAsItIs()
    {
        QTemporaryDir dir;
        QTemporaryDir elsewhere;
        writeFile(
            dir.filePath("profiles.ini"), "[Profile0]\nName=x\nIsRelative=0\nPath=" + elsewhere.path().toUtf8() + "\n");
        writeSession(elsewhere.path(), session({ { tab({ "http://absolute/" }) } }));
        QCOMPARE(FirefoxCollector(dir.path()).collect({}), QStringList { "http://absolute/" });
    }

    void profilesUnderTheConfigFolderAreFound()
    {
        // A fresh account of a current Firefox: nothing in ~/.mozilla at all.
        QTemporaryDir home;
        const QString config = home.filePath(".config");
        writeProfiles(QDir(config + "/mozilla/firefox"));
        const QStringList roots = FirefoxCollector::profileRoots(home.path(), config);
        QCOMPARE(roots.first(), config + "/mozilla/firefox");
        QCOMPARE(FirefoxCollector(roots).collect({ 4242 }), QStringList { "http://b/" });
    }

    void theLockDecidesBetweenFolders()
    {
        QTemporaryDir home;
        const QString config = home.filePath(".config");
        writeProfiles(QDir(config + "/mozilla/firefox"));
        writeProfiles(QDir(home.filePath(".var/app/org.mozilla.firefox/.mozilla/firefox")));
        const QString flatpakProfile = home.filePath(".var/app/org.mozilla.firefox/.mozilla/firefox/aaaa.a");
        writeSession(flatpakProfile, session({ { tab({ "http://flatpak/" }) } }));
        lock(flatpakProfile, 4242);
        const QStringList roots = FirefoxCollector::profileRoots(home.path(), config);
        QCOMPARE(FirefoxCollector(roots).collect({ 4242 }), QStringList { "http://flatpak/" });
        // Another Firefox (no lock of its own anywhere): the first folder with profiles decides.
        QCOMPARE(FirefoxCollector(roots).collect({ 17 }), QStringList { "http://b/" });
    }

    void aProfileFolderNamedOnTheCommandLineIsFound()
    {
        QTemporaryDir dir;
        writeProfiles(QDir(dir.path()));
        const QDir root(dir.filePath("elsewhere"));
        const QString custom = root.filePath("my profile");
        writeSession(custom, session({ { tab({ "http://custom/" }) } }));
        QVERIFY(root.mkpath("proc/4242"));
        QVERIFY(QFile::link(root.path(), root.filePath("proc/4242/cwd")));
        const ProcessLookup processes(root.filePath("proc"));
        const auto startedWith = [&](const QStringList &arguments) {
            writeFile(root.filePath("proc/4242/cmdline"), arguments.join(QChar(0)).toUtf8() + '\0');
        };
        // Relative to where Firefox was started, with a space in its name; only while Firefox holds it.
        startedWith({ "firefox-esr", "--profile", "my profile", "https://example.org" });
        QCOMPARE(
            FirefoxProfiles::runningProfileIn({ dir.path() }, { 4242 }, processes), dir.filePath("bbbb.default-esr"));
        lock(custom, 4242);
        QCOMPARE(FirefoxProfiles::runningProfileIn({ dir.path() }, { 4242 }, processes), custom);
        startedWith({ "firefox-esr", "-profile", custom });
        QCOMPARE(FirefoxProfiles::runningProfileIn({ dir.path() }, { 4242 }, processes), custom);
        // Locked by another Firefox: not this one's.
        QVERIFY(QFile::remove(custom + "/lock"));
        lock(custom, 17);
        QCOMPARE(
            FirefoxProfiles::runningProfileIn({ dir.path() }, { 4242 }, processes), dir.filePath("bbbb.default-esr"));
    }

    void missingOrBrokenFilesGiveNothing()
    {
        QVERIFY(FirefoxCollector("/nonexistent/firefox").collect({ 1 }).isEmpty());
        QTemporaryDir dir;
        writeProfiles(QDir(dir.path()));
        writeFile(dir.filePath("bbbb.default-esr/sessionstore-backups/recovery.jsonlz4"), "mozLz40\0garbage-garbage");
        QVERIFY(FirefoxCollector(dir.path()).collect({}).isEmpty());
        QVERIFY(FirefoxSession::tabUrlsFromFile(dir.filePath("nothing-here")).isEmpty());
        QVERIFY(FirefoxSession::tabUrlsFromFile(dir.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFirefoxSession)
#include "tst_firefoxsession.moc"
