// Tests replaying Chromium session files and finding the newest one of the running profile.
#include "platform/linux/documents/chromiumcollector.h"
#include "platform/linux/documents/snssreader.h"
#include "snsswriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestSnssReader : public QObject
{
    Q_OBJECT

private:
    static QStringList urlsOf(const SnssWriter &writer)
    {
        const SnssReader::Result result = SnssReader::read(writer.bytes());
        if (result.status != SnssReader::Status::read)
            return { QStringLiteral("<not read>") };
        return result.urls;
    }

    static void writeFile(const QString &path, const QByteArray &content)
    {
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }

private slots:
    void listsWindowsInCreationOrderAndTabsByIndex()
    {
        SnssWriter writer;
        // Window 7 appears first in the file but was created after window 3.
        writer.window(7).tabWindow(7, 20).tabIndex(20, 1).navigation(20, 0, "http://c/");
        writer.tabWindow(7, 21).tabIndex(21, 0).navigation(21, 0, "http://b/");
        writer.windowWithTabs(3, { { 10, "http://a1/" }, { 11, "http://a2/" } });
        QCOMPARE(urlsOf(writer), (QStringList { "http://a1/", "http://a2/", "http://b/", "http://c/" }));
    }

    void windowsKeepTheirTabsAndTheSelectedTabsTitle()
    {
        const QByteArray file = SnssWriter()
                                    .windowWithTabs(1, { { 10, "https://a/" }, { 11, "https://b/" } })
                                    .window(2)
                                    .tabWindow(2, 20)
                                    .tabIndex(20, 0)
                                    .navigation(20, 0, "https://old/", QStringLiteral("Old"))
                                    .navigation(20, 1, "https://c/", QStringLiteral("Größe – 日本"))
                                    .selectedNavigation(20, 1)
                                    .navigation(11, 0, "https://b/", QStringLiteral("Bee"))
                                    .selectedTab(1, 1)
                                    .bytes();
        const SnssReader::Result result = SnssReader::read(file);
        QCOMPARE(result.status, SnssReader::Status::read);
        QCOMPARE(result.windows.size(), 2);
        QCOMPARE(result.windows[0].urls, (QStringList { "https://a/", "https://b/" }));
        QCOMPARE(result.windows[0].title, QStringLiteral("Bee"));
        QCOMPARE(result.windows[1].urls, QStringList { "https://c/" });
        // No selected tab recorded: no title to pair by.
        QCOMPARE(result.windows[1].title, QString());
        QCOMPARE(result.urls, (QStringList { "https://a/", "https://b/", "https://c/" }));
    }

    void selectedNavigationIsTheCurrentAddress()
    {
        SnssWriter writer;
        writer.window(1).tabWindow(1, 5).tabIndex(5, 0);
        writer.navigation(5, 0, "http://first/").navigation(5, 1, "http://second/").navigation(5, 2, "http://third/");
        writer.selectedNavigation(5, 1);
        QCOMPARE(urlsOf(writer), QStringList { "http://second/" });
    }

    void laterNavigationReplacesTheSameIndex()
    {
        SnssWriter writer;
        writer.windowWithTabs(1, { { 5, "http://old/" } }).navigation(5, 0, "http://new/");
        QCOMPARE(urlsOf(writer), QStringList { "http://new/" });
    }

    void selectedIndexBeyondTheNavigationsTakesTheLast()
    {
        SnssWriter writer;
        writer.windowWithTabs(1, { { 5, "http://only/" } }).selectedNavigation(5, 9);
        QCOMPARE(urlsOf(writer), QStringList { "http://only/" });
    }

    void closedTabIsLeftOut()
    {
        SnssWriter writer;
        writer.windowWithTabs(1, { { 5, "http://kept/" }, { 6, "http://closed/" } }).tabClosed(6);
        QCOMPARE(urlsOf(writer), QStringList { "http://kept/" });
    }

    void closedWindowTakesItsTabsAlong()
    {
        SnssWriter writer;
        writer.windowWithTabs(1, { { 5, "http://gone/" } })
            .windowWithTabs(2, { { 6, "http://kept/" } })
            .windowClosed(1);
        QCOMPARE(urlsOf(writer), QStringList { "http://kept/" });
    }

    void tabMovedToAnotherWindowFollowsIt()
    {
        SnssWriter writer;
        writer.windowWithTabs(1, { { 5, "http://a/" }, { 6, "http://moved/" } })
            .windowWithTabs(2, { { 7, "http://b/" } });
        writer.tabWindow(2, 6).tabIndex(6, 1);
        QCOMPARE(urlsOf(writer), (QStringList { "http://a/", "http://b/", "http://moved/" }));
    }

    void windowWithoutTypeDoesNotCount()
    {
        SnssWriter writer;
        writer.tabWindow(4, 5).navigation(5, 0, "http://untyped/");
        writer.windowWithTabs(1, { { 6, "http://typed/" } });
        QCOMPARE(urlsOf(writer), QStringList { "http://typed/" });
    }

    void unknownRecordIsSkippedBySize()
    {
        SnssWriter writer;
        writer.windowWithTabs(1, { { 5, "http://before/" } });
        writer.command(200, QByteArray(37, '\x7f'));
        writer.command(14, QByteArray(24, '\x01')); // window bounds: known to Chromium, not needed here
        writer.windowWithTabs(2, { { 6, "http://after/" } });
        QCOMPARE(urlsOf(writer), (QStringList { "http://before/", "http://after/" }));
    }

    void malformedNavigationIsSkipped()
    {
        SnssWriter writer;
        writer.windowWithTabs(1, { { 5, "http://good/" } });
        writer.command(6, QByteArray::fromHex("ffffff7f05000000")); // pickle claims more than it holds
        writer.command(6, QByteArray::fromHex("0c00000005000000010000000000ff7f")); // string longer than the pickle
        QCOMPARE(urlsOf(writer), QStringList { "http://good/" });
    }

    void tornLastRecordIsTolerated()
    {
        SnssWriter writer;
        writer.windowWithTabs(1, { { 5, "http://complete/" } });
        const QByteArray whole = SnssWriter(writer).navigation(5, 0, "http://being-written/").bytes();
        for (qsizetype cut : { 1, 2, 3, 10 }) {
            const SnssReader::Result result = SnssReader::read(whole.chopped(cut));
            QCOMPARE(result.status, SnssReader::Status::read);
            QCOMPARE(result.urls, QStringList { "http://complete/" });
        }
    }

    void prunedNavigationsShiftTheLaterOnes()
    {
        SnssWriter writer;
        writer.window(1).tabWindow(1, 5).tabIndex(5, 0);
        writer.navigation(5, 0, "http://0/").navigation(5, 1, "http://1/").navigation(5, 2, "http://2/");
        writer.selectedNavigation(5, 2);
        writer.ints(24, { 5, 0, 2 }); // the first two are pruned: index 2 becomes 0
        writer.navigation(5, 1, "http://new-1/").selectedNavigation(5, 1);
        QCOMPARE(urlsOf(writer), QStringList { "http://new-1/" });

        SnssWriter fromBack;
        fromBack.window(1).tabWindow(1, 5).tabIndex(5, 0);
        fromBack.navigation(5, 0, "http://0/").navigation(5, 1, "http://forward/").selectedNavigation(5, 0);
        fromBack.ints(5, { 5, 1 });
        fromBack.selectedNavigation(5, 1);
        QCOMPARE(urlsOf(fromBack), QStringList { "http://0/" });
    }

    void encryptedFilesAreRefused()
    {
        for (qint32 version : { 2, 4, 5, -1 }) {
            SnssWriter writer(version);
            writer.windowWithTabs(1, { { 5, "http://secret/" } });
            const SnssReader::Result result = SnssReader::read(writer.bytes());
            QCOMPARE(result.status, SnssReader::Status::refused);
            QVERIFY(result.urls.isEmpty());
        }
    }

    void versionWithMarkerNeedsTheMarker()
    {
        SnssWriter withMarker(3);
        withMarker.windowWithTabs(1, { { 5, "http://a/" } }).marker().windowWithTabs(2, { { 6, "http://b/" } });
        QCOMPARE(urlsOf(withMarker), (QStringList { "http://a/", "http://b/" }));

        SnssWriter withoutMarker(3);
        withoutMarker.windowWithTabs(1, { { 5, "http://a/" } });
        QCOMPARE(SnssReader::read(withoutMarker.bytes()).status, SnssReader::Status::incomplete);
    }

    void garbageIsNotASession()
    {
        QCOMPARE(SnssReader::read(QByteArray()).status, SnssReader::Status::incomplete);
        QCOMPARE(SnssReader::read("SNS").status, SnssReader::Status::incomplete);
        QCOMPARE(SnssReader::read("NOPE\1\0\0\0").status, SnssReader::Status::incomplete);
        const SnssReader::Result empty = SnssReader::read(SnssWriter().bytes());
        QCOMPARE(empty.status, SnssReader::Status::read);
        QVERIFY(empty.urls.isEmpty());
    }

    void tooManyTabsAreRefused()
    {
        SnssWriter writer;
        for (qint32 tab = 0; tab <= SnssReader::maxObjects; ++tab)
            writer.tabIndex(tab, 0);
        QCOMPARE(SnssReader::read(writer.bytes()).status, SnssReader::Status::refused);
    }

    void collectorReadsTheNewestSessionOfTheLastUsedProfile()
    {
        QTemporaryDir dir;
        const QDir base(dir.path());
        writeFile(base.filePath("Local State"), R"({"profile":{"last_used":"Profile 2"}})");
        writeFile(base.filePath("Default/Sessions/Session_13300000000000001"),
            SnssWriter().windowWithTabs(1, { { 1, "http://default-profile/" } }).bytes());
        writeFile(base.filePath("Profile 2/Sessions/Session_13300000000000009"),
            SnssWriter().windowWithTabs(1, { { 1, "http://older/" } }).bytes());
        writeFile(base.filePath("Profile 2/Sessions/Session_13300000000000010"),
            SnssWriter().windowWithTabs(1, { { 1, "http://newest/" } }).bytes());
        writeFile(base.filePath("Profile 2/Sessions/Tabs_13300000000000011"),
            SnssWriter().windowWithTabs(1, { { 1, "http://closed-tabs/" } }).bytes());
        const ChromiumCollector collector(dir.path());
        QCOMPARE(collector.profileDir(), base.filePath("Profile 2"));
        QCOMPARE(collector.collect(), QStringList { "http://newest/" });
    }

    void incompleteNewestSessionGivesWayToTheOlderOne()
    {
        QTemporaryDir dir;
        const QDir sessions(dir.filePath("Default/Sessions"));
        writeFile(sessions.filePath("Session_100"),
            SnssWriter(3).windowWithTabs(1, { { 1, "http://older/" } }).marker().bytes());
        writeFile(sessions.filePath("Session_200"), SnssWriter(3).windowWithTabs(1, { { 1, "http://half/" } }).bytes());
        QCOMPARE(ChromiumCollector(dir.path()).collect(), QStringList { "http://older/" });
        writeFile(
            sessions.filePath("Session_300"), SnssWriter(4).windowWithTabs(1, { { 1, "http://secret/" } }).bytes());
        QVERIFY(ChromiumCollector(dir.path()).collect().isEmpty());
    }

    void collectorFallsBackToTheOlderFileNameAndDefaultProfile()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("Local State"), "{ not json");
        writeFile(dir.filePath("Default/Current Session"),
            SnssWriter().windowWithTabs(1, { { 1, "http://legacy/" } }).bytes());
        QCOMPARE(ChromiumCollector(dir.path()).collect(), QStringList { "http://legacy/" });
    }

    void profileNameCannotLeaveTheDataFolder()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("Local State"), R"({"profile":{"last_used":"../elsewhere"}})");
        QCOMPARE(ChromiumCollector(dir.path()).profileDir(), QDir(dir.path()).filePath("Default"));
    }

    void aBrowserStartedWithItsOwnDataFolderIsReadThere()
    {
        QTemporaryDir dir;
        const QDir root(dir.path());
        QVERIFY(root.mkpath("proc/10") && root.mkpath("proc/11") && root.mkpath("home/work/data")
            && root.mkpath("home/other data"));
        QVERIFY(QFile::link(root.filePath("home"), root.filePath("proc/10/cwd")));
        QVERIFY(QFile::link(root.filePath("home"), root.filePath("proc/11/cwd")));
        const auto startedWith = [&](const char *pid, const QStringList &arguments) {
            writeFile(root.filePath(QStringLiteral("proc/%1/cmdline").arg(QLatin1String(pid))),
                arguments.join(QChar(0)).toUtf8() + '\0');
        };
        const ProcessLookup processes(root.filePath("proc"));
        const auto folderOf
            = [&](const QList<qint64> &pids) { return ChromiumCollector::userDataDirOf("/default", pids, processes); };

        // The renderer names no folder; the browser names one relative to where it was started.
        startedWith("10", { "chromium", "--type=renderer" });
        startedWith("11", { "chromium", "--user-data-dir=work/data", "https://example.org" });
        QCOMPARE(folderOf({ 10, 11 }), root.filePath("home/work/data"));
        QCOMPARE(folderOf({ 10 }), QStringLiteral("/default"));

        // A folder with a space in its name; not one that does not exist, nor one after "--" (an address).
        const QString spaced = "--user-data-dir=" + root.filePath("home/other data");
        startedWith("11", { "chromium", spaced });
        QCOMPARE(folderOf({ 11 }), root.filePath("home/other data"));
        startedWith("11", { "chromium", "--user-data-dir=/nowhere" });
        QCOMPARE(folderOf({ 11 }), QStringLiteral("/default"));
        startedWith("11", { "chromium", "--", spaced });
        QCOMPARE(folderOf({ 11 }), QStringLiteral("/default"));

        // Chromium rewrites its command line into one string: the longest reading that is a folder.
        startedWith("11", { "/usr/lib/chromium/chromium --no-first-run " + spaced + " https://example.org" });
        QCOMPARE(folderOf({ 11 }), root.filePath("home/other data"));
        startedWith("11", { "/usr/lib/chromium/chromium --user-data-dir=work/data file:///x.txt" });
        QCOMPARE(folderOf({ 11 }), root.filePath("home/work/data"));
    }

    void missingOrUnreadableFolderGivesNothing()
    {
        QVERIFY(ChromiumCollector(QStringLiteral("/nonexistent/chromium")).collect().isEmpty());
        QTemporaryDir dir;
        const QString session = dir.filePath("Default/Sessions/Session_1");
        writeFile(session, SnssWriter().windowWithTabs(1, { { 1, "http://x/" } }).bytes());
        QVERIFY(QFile::setPermissions(session, QFileDevice::WriteOwner));
        if (QFile(session).open(QIODevice::ReadOnly))
            QSKIP("running with privileges that ignore file permissions");
        QVERIFY(ChromiumCollector(dir.path()).collect().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSnssReader)
#include "tst_snssreader.moc"
