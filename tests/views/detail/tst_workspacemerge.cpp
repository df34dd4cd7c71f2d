// The refresh of a workspace from a capture: which entries are the same item, what
// they take from it, and what is appended.
#include "detailfixture.h"
#include "model/workspacemerge.h"

#include <QSignalSpy>
#include <QTest>

using namespace detailfixture;

namespace {

EntryData website(const std::optional<QString> &url)
{
    EntryData entry;
    entry.typeRawValue = QStringLiteral("website");
    entry.websiteURL = url;
    return entry;
}

EntryData pathEntry(const QString &kind, const std::optional<QString> &path)
{
    EntryData entry;
    entry.typeRawValue = kind;
    entry.filePath = path;
    return entry;
}

std::unique_ptr<Workspace> workspaceWith(const QList<EntryData> &entries)
{
    auto workspace = std::make_unique<Workspace>(
        QStringLiteral("W"), QStringLiteral("curlybraces"), QStringLiteral("Development"), false, true);
    for (const EntryData &entry : entries)
        workspace->appendEntry(entry);
    return workspace;
}

} // namespace

class TestWorkspaceMerge : public QObject
{
    Q_OBJECT

private slots:
    void applicationsMatchByIdentifier()
    {
        QVERIFY(isSameItem(application(QStringLiteral("a.b")), application(QStringLiteral("a.b"))));
        QVERIFY(!isSameItem(application(QStringLiteral("a.b")), application(QStringLiteral("a.B"))));
        EntryData noIdentifier = application(QString());
        noIdentifier.appBundleIdentifier.reset();
        QVERIFY(isSameItem(noIdentifier, noIdentifier));
        QVERIFY(!isSameItem(noIdentifier, application(QStringLiteral("a.b"))));
    }

    void websitesMatchByAddress()
    {
        QVERIFY(isSameItem(website(QStringLiteral("https://a")), website(QStringLiteral("https://a"))));
        QVERIFY(!isSameItem(website(QStringLiteral("https://a")), website(QStringLiteral("https://a/"))));
        QVERIFY(isSameItem(website(std::nullopt), website(std::nullopt)));
    }

    void fileMayMatchFolderWithTheSamePath()
    {
        QVERIFY(isSameItem(pathEntry(QStringLiteral("file"), QStringLiteral("/p")),
            pathEntry(QStringLiteral("folder"), QStringLiteral("/p"))));
        QVERIFY(!isSameItem(pathEntry(QStringLiteral("file"), QStringLiteral("/p")),
            pathEntry(QStringLiteral("file"), QStringLiteral("/q"))));
    }

    void differentKindsNeverMatch()
    {
        EntryData app = application(QStringLiteral("x"));
        EntryData site = website(QStringLiteral("x"));
        site.appBundleIdentifier = QStringLiteral("x");
        QVERIFY(!isSameItem(app, site));
        QVERIFY(!isSameItem(pathEntry(QStringLiteral("file"), std::nullopt), site));
        // An unknown kind reads as an application.
        EntryData odd = application(QStringLiteral("x"));
        odd.typeRawValue = QStringLiteral("Application");
        QVERIFY(isSameItem(odd, app));
    }

    void movedWindowUpdatesOnlyGeometryAndMonitor()
    {
        EntryData stored = application(QStringLiteral("com.apple.Safari"), leftUUID);
        stored.delayAfterLaunch = 2;
        auto workspace = workspaceWith({ stored });
        const QUuid id = workspace->entries().first()->id();

        EntryData captured = application(QStringLiteral("com.apple.Safari"), rightUUID, QRectF(2000, 50, 1024, 768));
        captured.isFullscreen = true;
        captured.isMaximized = true;
        captured.originalScreenX = 1920;
        captured.originalScreenY = 0;
        captured.originalScreenWidth = 1920;
        captured.originalScreenHeight = 1080;
        mergeCapturedEntries(*workspace, { captured });

        QCOMPARE(workspace->entryCount(), 1);
        const EntryData after = workspace->entries().first()->data();
        QCOMPARE(after.id, id);
        QCOMPARE(after.delayAfterLaunch, 2.0);
        QCOMPARE(QRectF(after.frameX, after.frameY, after.width, after.height), QRectF(2000, 50, 1024, 768));
        QCOMPARE(after.monitorID, rightUUID);
        QVERIFY(after.isFullscreen);
        QVERIFY(after.isMaximized);
        QCOMPARE(after.originalScreenX, 1920.0);
        QCOMPARE(after.originalScreenHeight, 1080.0);
    }

    void recapturedBrowserWindowTakesItsTabsAndStateButKeepsItsBrowser()
    {
        EntryData stored = website(QStringLiteral("https://a"));
        stored.isMaximized = true;
        stored.additionalTabURLs = { QStringLiteral("https://b"), QStringLiteral("https://c") };
        stored.appBundleIdentifier = QStringLiteral("firefox-esr");
        auto workspace = workspaceWith({ stored, website(QStringLiteral("https://x")) });

        EntryData captured = website(QStringLiteral("https://a"));
        captured.additionalTabURLs
            = { QStringLiteral("https://c"), QStringLiteral("https://d"), QStringLiteral("https://b") };
        captured.appBundleIdentifier = QStringLiteral("chromium");
        EntryData singleTab = website(QStringLiteral("https://x"));
        singleTab.isMaximized = true;
        mergeCapturedEntries(*workspace, { captured, singleTab });

        QCOMPARE(workspace->entryCount(), 2);
        const EntryData first = workspace->entries().at(0)->data();
        QVERIFY(!first.isMaximized);
        QCOMPARE(first.additionalTabURLs, captured.additionalTabURLs);
        QCOMPARE(first.appBundleIdentifier, stored.appBundleIdentifier);
        QVERIFY(workspace->entries().at(1)->data().isMaximized);
        QVERIFY(workspace->entries().at(1)->data().additionalTabURLs.isEmpty());

        // A window that now shows one tab drops the rest.
        mergeCapturedEntries(*workspace, { website(QStringLiteral("https://a")) });
        QVERIFY(workspace->entries().at(0)->data().additionalTabURLs.isEmpty());
    }

    void applicationKeepsItsTabListWhateverTheCapture()
    {
        EntryData stored = application(QStringLiteral("org.kde.kate"));
        stored.additionalTabURLs = { QStringLiteral("https://kept") };
        auto workspace = workspaceWith({ stored });
        EntryData captured = application(QStringLiteral("org.kde.kate"));
        captured.isMaximized = true;
        mergeCapturedEntries(*workspace, { captured });
        QVERIFY(workspace->entries().first()->isMaximized());
        QCOMPARE(workspace->entries().first()->additionalTabURLs(), stored.additionalTabURLs);
    }

    void twoWindowsOfOneApplicationBothUpdateTheFirstEntryAndTheSecondWins()
    {
        auto workspace = workspaceWith({ application(QStringLiteral("com.apple.Safari"), leftUUID),
            application(QStringLiteral("com.apple.Safari"), leftUUID, QRectF(5, 5, 50, 50)) });
        mergeCapturedEntries(*workspace,
            { application(QStringLiteral("com.apple.Safari"), leftUUID, QRectF(1, 2, 3, 4)),
                application(QStringLiteral("com.apple.Safari"), rightUUID, QRectF(7, 8, 9, 10)) });
        QCOMPARE(workspace->entryCount(), 2);
        const EntryData first = workspace->entries().at(0)->data();
        QCOMPARE(QRectF(first.frameX, first.frameY, first.width, first.height), QRectF(7, 8, 9, 10));
        QCOMPARE(first.monitorID, rightUUID);
        const EntryData second = workspace->entries().at(1)->data();
        QCOMPARE(QRectF(second.frameX, second.frameY, second.width, second.height), QRectF(5, 5, 50, 50));
    }

    void newApplicationIsAppendedAndClosedOneStays()
    {
        auto workspace = workspaceWith(
            { application(QStringLiteral("com.apple.Safari")), application(QStringLiteral("com.apple.Mail")) });
        const EntryData mailBefore = workspace->entries().at(1)->data();
        const EntryData chrome = application(QStringLiteral("com.google.Chrome"), rightUUID);
        mergeCapturedEntries(*workspace, { application(QStringLiteral("com.apple.Safari")), chrome });
        QCOMPARE(workspace->entryCount(), 3);
        QCOMPARE(workspace->entries().at(1)->data(), mailBefore);
        QCOMPARE(workspace->entries().at(2)->data(), chrome);
    }

    void appendedEntryTakesPartInLaterMatching()
    {
        auto workspace = workspaceWith({ application(QStringLiteral("com.apple.Safari")) });
        mergeCapturedEntries(*workspace,
            { application(QStringLiteral("org.gnome.Terminal"), leftUUID, QRectF(0, 0, 10, 10)),
                application(QStringLiteral("org.gnome.Terminal"), rightUUID, QRectF(1, 1, 20, 20)) });
        QCOMPARE(workspace->entryCount(), 2);
        const EntryData terminal = workspace->entries().at(1)->data();
        QCOMPARE(terminal.monitorID, rightUUID);
        QCOMPARE(terminal.width, 20.0);
    }

    void emptyCaptureChangesNothing()
    {
        auto workspace = workspaceWith({ application(QStringLiteral("com.apple.Safari")) });
        const WorkspaceData before = workspace->data();
        mergeCapturedEntries(*workspace, {});
        QCOMPARE(workspace->data(), before);
    }

    void updateFromDesktopWithEmptyCaptureChangesNothingAndSaysWhy()
    {
        DetailFixture f;
        Workspace *workspace = f.show({ application(QStringLiteral("com.apple.Safari"), leftUUID) });
        const WorkspaceData expected = workspace->data();
        QSignalSpy problem(&f.controller, &DetailController::captureProblemChanged);
        f.controller.updateFromDesktop();
        // Nothing was refreshed, so nothing is stamped as modified either; the view says why.
        QCOMPARE(workspace->data(), expected);
        QVERIFY(!f.store->hasUnsavedChanges());
        QCOMPARE(problem.count(), 1);
        QVERIFY(f.controller.captureProblem().startsWith(QStringLiteral("Kein Anwendungsfenster gefunden")));

        // A later update that finds windows clears it.
        const QString editor = QStringLiteral("com.example.Editor");
        f.desktop.installApplication({ editor, QStringLiteral("/usr/share/applications/editor.desktop"), {} });
        SimApplication running;
        running.appId = editor;
        running.windows = { simWindow(editor, QRectF(10, 10, 400, 300)) };
        f.desktop.addRunningApplication(running);
        f.controller.updateFromDesktop();
        QCOMPARE(f.controller.captureProblem(), QString());
    }

    void updateFromDesktopMergesWhatTheDesktopShows()
    {
        DetailFixture f;
        Workspace *workspace = f.show({ application(QStringLiteral("com.apple.Safari"), leftUUID),
            application(QStringLiteral("com.apple.Mail"), leftUUID) });
        SimApplication safari;
        safari.appId = QStringLiteral("com.apple.Safari");
        safari.windows = { simWindow(QStringLiteral("Safari"), QRectF(2000, 40, 1000, 700)) };
        f.desktop.addRunningApplication(safari);
        f.desktop.setScriptResult(QStringLiteral("com.apple.Safari"), ScriptResult { false, QVariantList {} });
        SimApplication chrome;
        chrome.appId = QStringLiteral("com.google.Chrome");
        chrome.windows = { simWindow(QStringLiteral("Chrome"), QRectF(10, 20, 640, 480)) };
        f.desktop.addRunningApplication(chrome);
        f.desktop.setScriptResult(QStringLiteral("com.google.Chrome"), ScriptResult { false, QVariantList {} });

        f.controller.updateFromDesktop();

        QCOMPARE(workspace->entryCount(), 3);
        const EntryData safariEntry = workspace->entries().at(0)->data();
        QCOMPARE(safariEntry.frameX, 2000.0);
        QCOMPARE(safariEntry.monitorID, rightUUID);
        QCOMPARE(workspace->entries().at(1)->appBundleIdentifier(), QStringLiteral("com.apple.Mail"));
        QCOMPARE(workspace->entries().at(2)->appBundleIdentifier(), QStringLiteral("com.google.Chrome"));
        QCOMPARE(workspace->modifiedAt(), f.now);
        QVERIFY(!f.store->hasUnsavedChanges());
    }
};

QTEST_MAIN(TestWorkspaceMerge)
#include "tst_workspacemerge.moc"
