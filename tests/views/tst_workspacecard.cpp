// A dashboard card's actions: the counted start without focus mode, the
// favourite toggle, deletion, and the category colours it paints.
#include "categorypalette.h"
#include "viewsfixture.h"
#include "workspacecardcontroller.h"

#include <QSignalSpy>
#include <QTest>

class WorkspaceCardTest : public QObject
{
    Q_OBJECT

private slots:
    void startCountsTwentySecondsPerEntry()
    {
        ViewsFixture fixture;
        Workspace *workspace = fixture.addWorkspace("Four", "Office", 4);
        const QDateTime modified = workspace->modifiedAt();
        WorkspaceCardController card;
        card.setServices(fixture.services.get());
        card.setWorkspace(workspace);

        const QDateTime before = QDateTime::currentDateTime();
        card.start();
        QCOMPARE(workspace->launchCount(), 1);
        QCOMPARE(workspace->timeSavedInSeconds(), 80.0);
        QVERIFY(workspace->lastLaunchedAt().has_value());
        QVERIFY(*workspace->lastLaunchedAt() >= before.addMSecs(-1));
        QCOMPARE(workspace->modifiedAt(), modified);

        card.start();
        QCOMPARE(workspace->launchCount(), 2);
        QCOMPARE(workspace->timeSavedInSeconds(), 160.0);

        // Counted before the launch and saved at once.
        const auto reopened = fixture.reopenStore();
        QCOMPARE(reopened->workspaces().first()->launchCount(), 2);
        QCOMPARE(reopened->workspaces().first()->timeSavedInSeconds(), 160.0);
    }

    void fiveEntriesStartedTwiceSaveTwoHundredSeconds()
    {
        ViewsFixture fixture;
        Workspace *workspace = fixture.addWorkspace("Five", "Office", 5);
        WorkspaceCardController card;
        card.setServices(fixture.services.get());
        card.setWorkspace(workspace);
        card.start();
        card.start();
        QCOMPARE(workspace->launchCount(), 2);
        QCOMPARE(workspace->timeSavedInSeconds(), 200.0);
    }

    void startWithoutEntriesStillCounts()
    {
        ViewsFixture fixture;
        Workspace *workspace = fixture.addWorkspace("Empty");
        WorkspaceCardController card;
        card.setServices(fixture.services.get());
        card.setWorkspace(workspace);
        card.start();
        QCOMPARE(workspace->launchCount(), 1);
        QCOMPARE(workspace->timeSavedInSeconds(), 0.0);
    }

    void startNeverUsesFocusMode()
    {
        ViewsFixture fixture;
        // Another application with a window is running; focus mode would ask it to quit.
        fixture.addRunningWindow(QStringLiteral("com.other.Editor"), QRectF(100, 100, 800, 600));
        SimInstalledApplication installed;
        installed.appId = QStringLiteral("org.example.app0");
        installed.location = QStringLiteral("/apps/app0");
        fixture.desktop.installApplication(installed);

        Workspace *workspace = fixture.addWorkspace("Focus", "Office", 1);
        workspace->setAutoLaunch(true);
        WorkspaceCardController card;
        card.setServices(fixture.services.get());
        card.setWorkspace(workspace);
        card.start();
        fixture.clock.runUntilIdle(60);

        QVERIFY(fixture.desktop.requests(QStringLiteral("terminate")).isEmpty());
        // The launch itself did run: the workspace's application was opened.
        const QList<SimRequest> opened = fixture.desktop.requests(QStringLiteral("openApplication"));
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.first().application, QStringLiteral("org.example.app0"));
    }

    void onlyTheLaunchedCardShowsTheLaunchAndWhatFailed()
    {
        ViewsFixture fixture;
        Workspace *launched = fixture.addWorkspace("Launched", "Office", 2);
        Workspace *other = fixture.addWorkspace("Other", "Office", 1);
        WorkspaceCardController card;
        card.setServices(fixture.services.get());
        card.setWorkspace(launched);
        WorkspaceCardController otherCard;
        otherCard.setServices(fixture.services.get());
        otherCard.setWorkspace(other);
        QSignalSpy changes(&card, &WorkspaceCardController::launchStateChanged);

        // Neither of the two entries' applications is installed on this desktop.
        card.start();
        QVERIFY(card.launching());
        QVERIFY(!otherCard.launching());
        QVERIFY(card.launchProblemText().isEmpty());
        QVERIFY(changes.count() > 0);

        fixture.clock.runUntilIdle(120);
        QVERIFY(!card.launching());
        QCOMPARE(card.launchProblemText(), QStringLiteral("2 Elemente nicht geöffnet"));
        QCOMPARE(card.launchProblemDetails().count(QLatin1Char('\n')), 1);
        QVERIFY(otherCard.launchProblemText().isEmpty());

        // Launching the other one moves the report there.
        otherCard.start();
        fixture.clock.runUntilIdle(120);
        QVERIFY(card.launchProblemText().isEmpty());
        QCOMPARE(otherCard.launchProblemText(), QStringLiteral("1 Element nicht geöffnet"));
    }

    void toggleFavoriteTwiceRestoresAndSavesEachTime()
    {
        ViewsFixture fixture;
        Workspace *workspace = fixture.addWorkspace("Star");
        const QDateTime modified = workspace->modifiedAt();
        WorkspaceCardController card;
        card.setServices(fixture.services.get());
        card.setWorkspace(workspace);
        QSignalSpy saves(fixture.store.get(), &WorkspaceStore::saved);

        card.toggleFavorite();
        QVERIFY(workspace->isFavorite());
        QVERIFY(fixture.reopenStore()->workspaces().first()->isFavorite());
        card.toggleFavorite();
        QVERIFY(!workspace->isFavorite());
        QVERIFY(!fixture.reopenStore()->workspaces().first()->isFavorite());
        QCOMPARE(saves.count(), 2);
        QCOMPARE(workspace->modifiedAt(), modified);
    }

    void removeDeletesAndSaves()
    {
        ViewsFixture fixture;
        Workspace *workspace = fixture.addWorkspace("Gone", "Office", 3);
        WorkspaceCardController card;
        card.setServices(fixture.services.get());
        card.setWorkspace(workspace);
        card.remove();
        QCOMPARE(fixture.store->count(), 0);
        QTRY_COMPARE(card.workspace(), nullptr); // the store deletes the record once control returns
        QCOMPARE(fixture.reopenStore()->count(), 0);
    }

    void entriesTextCountsEntries()
    {
        QCOMPARE(WorkspaceCardController::entriesText(3), QStringLiteral("3 Apps & Elemente"));
        QCOMPARE(WorkspaceCardController::entriesText(0), QStringLiteral("0 Apps & Elemente"));
    }

    void unknownCategoryPaintsCustom()
    {
        const QColor customStart = QColor::fromRgbF(0.4f, 0.5f, 0.6f);
        const QColor customEnd = QColor::fromRgbF(0.1f, 0.2f, 0.3f);
        for (const QString &text : { QStringLiteral("Gardening"), QStringLiteral("videoEditing"),
                 QStringLiteral("VideoEditing"), QStringLiteral("development"), QString() }) {
            QCOMPARE(CategoryPalette::displayCategory(text), WorkspaceCategory::custom);
            QCOMPARE(CategoryPalette::gradientStart(text), customStart);
            QCOMPARE(CategoryPalette::gradientEnd(text), customEnd);
        }
        QCOMPARE(CategoryPalette::displayCategory(QStringLiteral("Video Editing")), WorkspaceCategory::videoEditing);
        QCOMPARE(CategoryPalette::gradientStart(QStringLiteral("Gaming")), QColor::fromRgbF(1.0f, 0.2f, 0.2f));
    }

    void cardFollowsCategoryAndEntryChanges()
    {
        ViewsFixture fixture;
        Workspace *workspace = fixture.addWorkspace("Live", "Gaming", 1);
        WorkspaceCardController card;
        card.setServices(fixture.services.get());
        card.setWorkspace(workspace);
        QSignalSpy colours(&card, &WorkspaceCardController::categoryChanged);
        QSignalSpy entries(&card, &WorkspaceCardController::entriesTextChanged);
        workspace->setCategory(QStringLiteral("Not a category"));
        QCOMPARE(colours.count(), 1);
        QCOMPARE(card.gradientStart(), QColor::fromRgbF(0.4f, 0.5f, 0.6f));
        workspace->appendEntry(EntryData {});
        QCOMPARE(entries.count(), 1);
        QCOMPARE(card.entriesText(), QStringLiteral("2 Apps & Elemente"));
    }

    void chipSymbolsFollowTheSheetTable()
    {
        QCOMPARE(CategoryPalette::chipSymbol("Development"), QStringLiteral("curlybraces"));
        QCOMPARE(CategoryPalette::chipSymbol("Office"), QStringLiteral("doc.text.fill"));
        QCOMPARE(CategoryPalette::chipSymbol("Video Editing"), QStringLiteral("video.fill"));
        QCOMPARE(CategoryPalette::chipSymbol("Custom"), QStringLiteral("slider.horizontal.3"));
        QCOMPARE(CategoryPalette::texts().size(), 8);
        QCOMPARE(CategoryPalette::texts().first(), QStringLiteral("Development"));
        QCOMPARE(CategoryPalette::texts().last(), QStringLiteral("Custom"));
    }
};

QTEST_MAIN(WorkspaceCardTest)
#include "tst_workspacecard.moc"
