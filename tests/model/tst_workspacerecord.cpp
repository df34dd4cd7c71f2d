// The workspace and entry records: monitor count, the two-sided entry
// relationship, kind and category text, the counted launch, deferred entries.
#include "model/workspace.h"
#include "model/workspacecategory.h"
#include "storetestdata.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

class TestWorkspaceRecord : public QObject
{
    Q_OBJECT

private:
    static std::unique_ptr<Workspace> withMonitors(const QList<std::optional<QString>> &monitors)
    {
        auto workspace = std::make_unique<Workspace>(
            QStringLiteral("w"), QStringLiteral("star"), QStringLiteral("Development"), false, true);
        for (const std::optional<QString> &monitor : monitors) {
            EntryData e = storetest::sparseEntry(QStringLiteral("application"));
            e.monitorID = monitor;
            workspace->appendEntry(e);
        }
        return workspace;
    }

private slots:
    void monitorCountIsOneWithoutEntries() { QCOMPARE(withMonitors({})->requiredMonitorCount(), 1); }

    void monitorCountIsOneWhenNoEntryHasAMonitor()
    {
        QCOMPARE(withMonitors({ std::nullopt, std::nullopt })->requiredMonitorCount(), 1);
    }

    void monitorCountCountsDistinctIdentifiers()
    {
        QCOMPARE(
            withMonitors({ QStringLiteral("A"), QStringLiteral("A"), QStringLiteral("B") })->requiredMonitorCount(), 2);
    }

    void monitorCountCountsTheEmptyString()
    {
        QCOMPARE(withMonitors({ QStringLiteral("A"), QStringLiteral(""), std::nullopt })->requiredMonitorCount(), 2);
        QCOMPARE(withMonitors({ QString() })->requiredMonitorCount(), 1);
        QCOMPARE(withMonitors({ QString(), QStringLiteral("a"), QStringLiteral("A") })->requiredMonitorCount(), 3);
    }

    void monitorCountFollowsAnEntryChange()
    {
        auto workspace = withMonitors({ QStringLiteral("A"), QStringLiteral("A") });
        QSignalSpy spy(workspace.get(), &Workspace::requiredMonitorCountChanged);
        workspace->entries().at(1)->setMonitorID(QStringLiteral("B"));
        QCOMPARE(workspace->requiredMonitorCount(), 2);
        QVERIFY(spy.count() >= 1);
    }

    void appendSetsTheEntrysWorkspace()
    {
        Workspace workspace;
        auto *entry = new WorkspaceEntry(storetest::fullEntry(1));
        QCOMPARE(entry->workspace(), nullptr);
        workspace.appendEntry(entry);
        QCOMPARE(entry->workspace(), &workspace);
        QCOMPARE(workspace.entries(), QList<WorkspaceEntry *> { entry });
        QCOMPARE(entry->parent(), &workspace);
    }

    void settingTheWorkspacePutsTheEntryIntoItsList()
    {
        Workspace workspace;
        workspace.appendEntry(storetest::fullEntry(1));
        auto *entry = new WorkspaceEntry(storetest::fullEntry(2));
        entry->setWorkspace(&workspace);
        QCOMPARE(workspace.entryCount(), 2);
        QCOMPARE(workspace.entries().last(), entry);
        QCOMPARE(entry->workspace(), &workspace);
    }

    void movingAnEntryLeavesTheOldWorkspace()
    {
        Workspace first;
        Workspace second;
        WorkspaceEntry *entry = first.appendEntry(storetest::fullEntry(1));
        QSignalSpy firstChanged(&first, &Workspace::entriesChanged);
        entry->setWorkspace(&second);
        QCOMPARE(first.entryCount(), 0);
        QCOMPARE(second.entries(), QList<WorkspaceEntry *> { entry });
        QCOMPARE(entry->workspace(), &second);
        QCOMPARE(firstChanged.count(), 1);

        first.appendEntry(entry);
        QCOMPARE(second.entryCount(), 0);
        QCOMPARE(entry->workspace(), &first);

        entry->setWorkspace(nullptr);
        QCOMPARE(first.entryCount(), 0);
        QCOMPARE(entry->workspace(), nullptr);
        delete entry;
    }

    // The capture's two newer fields are properties like every other: a
    // change notifies once (and marks the record for saving), the same value never.
    void maximisedFlagAndTabsNotifyOnlyWhenTheyChange()
    {
        WorkspaceEntry entry(storetest::sparseEntry(QStringLiteral("website")));
        QSignalSpy maximized(&entry, &WorkspaceEntry::isMaximizedChanged);
        QSignalSpy tabs(&entry, &WorkspaceEntry::additionalTabURLsChanged);
        QSignalSpy changed(&entry, &WorkspaceEntry::changed);
        entry.setIsMaximized(true);
        entry.setIsMaximized(true);
        const QStringList list { QStringLiteral("https://b.example/"), QStringLiteral("https://c.example/") };
        QVERIFY(entry.setProperty("additionalTabURLs", list));
        entry.setAdditionalTabURLs(list);
        QCOMPARE(maximized.count(), 1);
        QCOMPARE(tabs.count(), 1);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(entry.property("isMaximized").toBool(), true);
        QCOMPARE(entry.property("additionalTabURLs").toStringList(), list);

        EntryData data = entry.data();
        data.additionalTabURLs.removeFirst();
        data.isMaximized = false;
        entry.setData(data);
        QCOMPARE(maximized.count(), 2);
        QCOMPARE(tabs.count(), 2);
        QCOMPARE(entry.data(), data);
    }

    void typeFallsBackToApplication_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<EntryType>("type");
        QTest::newRow("application") << "application" << EntryType::application;
        QTest::newRow("website") << "website" << EntryType::website;
        QTest::newRow("file") << "file" << EntryType::file;
        QTest::newRow("folder") << "folder" << EntryType::folder;
        QTest::newRow("capitalised") << "Application" << EntryType::application;
        QTest::newRow("capitalised website") << "Website" << EntryType::application;
        QTest::newRow("empty") << "" << EntryType::application;
        QTest::newRow("unknown") << "foo" << EntryType::application;
    }

    void typeFallsBackToApplication()
    {
        QFETCH(QString, text);
        QFETCH(EntryType, type);
        WorkspaceEntry entry(storetest::sparseEntry(text));
        QCOMPARE(entry.type(), type);
        // The stored text itself is never rewritten.
        QCOMPARE(entry.typeRawValue(), text);
    }

    void categoryTextRoundTrips()
    {
        for (WorkspaceCategory category : allCategories())
            QCOMPARE(categoryFromText(categoryText(category)), std::optional<WorkspaceCategory>(category));
        QCOMPARE(categoryFromText(QStringLiteral("Video Editing")),
            std::optional<WorkspaceCategory>(WorkspaceCategory::videoEditing));
    }

    void categoryTextIsExact_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("no space") << "VideoEditing";
        QTest::newRow("lower case") << "video editing";
        QTest::newRow("case name") << "videoEditing";
        QTest::newRow("empty") << "";
        QTest::newRow("trailing space") << "Design ";
    }

    void categoryTextIsExact()
    {
        QFETCH(QString, text);
        QCOMPARE(categoryFromText(text), std::nullopt);
    }

    void allCategoriesInPickerOrder()
    {
        const auto &all = allCategories();
        QCOMPARE(all.size(), size_t(8));
        QCOMPARE(all.front(), WorkspaceCategory::development);
        QCOMPARE(all.back(), WorkspaceCategory::custom);
        QStringList texts;
        for (WorkspaceCategory category : all)
            texts.append(categoryText(category));
        QCOMPARE(texts,
            (QStringList {
                "Development", "Design", "Office", "Personal", "Gaming", "Video Editing", "Photography", "Custom" }));
    }

    void countedLaunchAddsTwentySecondsPerEntry()
    {
        auto workspace = withMonitors({ std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt });
        const QDateTime first = QDateTime::fromMSecsSinceEpoch(1'700'000'000'000, Qt::UTC);
        workspace->recordLaunch(first);
        workspace->recordLaunch(first.addSecs(5));
        QCOMPARE(workspace->launchCount(), 2);
        QCOMPARE(workspace->timeSavedInSeconds(), 200.0);
        QCOMPARE(workspace->lastLaunchedAt(), std::optional<QDateTime>(first.addSecs(5)));
    }

    void newWorkspaceStartsClean()
    {
        Workspace workspace(QStringLiteral("n"), QStringLiteral("i"), QStringLiteral("Office"), false, true);
        QVERIFY(workspace.createdAt().isValid());
        QVERIFY(qAbs(workspace.createdAt().msecsTo(workspace.modifiedAt())) < 1000);
        QCOMPARE(workspace.launchCount(), 0);
        QCOMPARE(workspace.timeSavedInSeconds(), 0.0);
        QCOMPARE(workspace.lastLaunchedAt(), std::nullopt);
        QCOMPARE(workspace.entryCount(), 0);
    }

    void deferredEntriesAnswerFiguresWithoutLoading()
    {
        Workspace workspace;
        int loads = 0;
        const QList<EntryData> stored { storetest::fullEntry(1), storetest::fullEntry(2) };
        workspace.deferEntries(2, 2, [&]() -> std::optional<QList<EntryData>> {
            ++loads;
            return stored;
        });
        QCOMPARE(workspace.entryCount(), 2);
        QCOMPARE(workspace.requiredMonitorCount(), 2);
        QVERIFY(!workspace.entriesLoaded());
        QCOMPARE(loads, 0);

        QCOMPARE(workspace.entries().size(), 2);
        QCOMPARE(loads, 1);
        QVERIFY(workspace.entriesLoaded());
        QCOMPARE(workspace.entries().at(1)->data(), stored.at(1));
        QCOMPARE(workspace.entries().at(0)->workspace(), &workspace);
        workspace.entries();
        QCOMPARE(loads, 1);
    }

    void deferredEntriesCountBeforeACountedLaunch()
    {
        Workspace workspace;
        workspace.deferEntries(5, 1, [] { return std::optional<QList<EntryData>>(QList<EntryData>(5)); });
        workspace.recordLaunch(QDateTime::currentDateTimeUtc());
        QCOMPARE(workspace.timeSavedInSeconds(), 100.0);
    }

    void appendLoadsDeferredEntriesFirst()
    {
        Workspace workspace;
        workspace.deferEntries(1, 1, [] { return std::optional<QList<EntryData>>({ storetest::fullEntry(1) }); });
        workspace.appendEntry(storetest::fullEntry(2));
        QCOMPARE(workspace.entryCount(), 2);
        QCOMPARE(workspace.entries().at(0)->data().frameX, storetest::fullEntry(1).frameX);
    }

    void failingLoaderSkipsListChanges()
    {
        Workspace workspace;
        workspace.deferEntries(3, 1, [] { return std::optional<QList<EntryData>>(); });
        QVERIFY(workspace.entries().isEmpty());
        auto *entry = new WorkspaceEntry(storetest::fullEntry(1));
        workspace.appendEntry(entry);
        // Nothing listed, nothing leaked, and the stored entries still count.
        QCOMPARE(entry->workspace(), nullptr);
        QCOMPARE(entry->parent(), &workspace);
        QVERIFY(!workspace.entriesLoaded());
        QCOMPARE(workspace.entryCount(), 3);
    }
};

QTEST_GUILESS_MAIN(TestWorkspaceRecord)
#include "tst_workspacerecord.moc"
