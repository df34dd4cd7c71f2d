// The store half of the commands: listing, creating, updating, deleting,
// counting launches, resolving names and ids, and the backup file.
#include "cli/storecommands.h"
#include "cli/workspacejson.h"
#include "model/backup/backuplimits.h"
#include "model/workspacestore.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

EntryData editor(double x = 0)
{
    EntryData e;
    e.appBundleIdentifier = QStringLiteral("org.example.Editor");
    e.monitorID = QStringLiteral("MON-A");
    e.frameX = x;
    return e;
}

QJsonObject req(const QString &command, const QJsonObject &fields = {})
{
    QJsonObject request = fields;
    request[QLatin1String("command")] = command;
    return request;
}

} // namespace

class TestStoreCommands : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<WorkspaceStore> m_store;
    QDateTime m_now = QDateTime(QDate(2030, 1, 2), QTime(3, 4, 5), Qt::UTC);

    StoreCommands commands()
    {
        return StoreCommands(*m_store, [this] { return m_now; });
    }

    CommandResult create(const QString &name, const QList<EntryData> &entries = {},
        const QString &category = QStringLiteral("Development"))
    {
        return commands().execute(req(QStringLiteral("create"),
            { { QStringLiteral("name"), name }, { QStringLiteral("icon"), QStringLiteral("briefcase.fill") },
                { QStringLiteral("category"), category }, { QStringLiteral("entries"), entriesToJson(entries) } }));
    }

    std::unique_ptr<WorkspaceStore> reopened()
    {
        QString error;
        return WorkspaceStore::open(m_dir->path(), &error);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QString error;
        m_store = WorkspaceStore::open(m_dir->path(), &error);
        QVERIFY2(m_store, qPrintable(error));
    }

    void cleanup()
    {
        m_store.reset();
        m_dir.reset();
    }

    void createStoresAWorkspaceAsTheDashboardDoes()
    {
        const CommandResult result = create(QStringLiteral(" Dev Desk"), { editor(), editor(5) });
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.out.startsWith(QStringLiteral("Saved workspace \" Dev Desk\" with 2 entries (")));
        auto store = reopened();
        QCOMPARE(store->count(), 1);
        const Workspace *w = store->workspaces().first();
        QCOMPARE(w->name(), QStringLiteral(" Dev Desk"));
        QCOMPARE(w->icon(), QStringLiteral("briefcase.fill"));
        QCOMPARE(w->category(), QStringLiteral("Development"));
        QVERIFY(!w->autoLaunch());
        QVERIFY(w->restoreDocuments());
        QCOMPARE(w->entryCount(), 2);
        QCOMPARE(w->launchCount(), 0);
    }

    void createRefusesBlankNamesAndUnknownCategories()
    {
        CommandResult blank = create(QStringLiteral(" \t"));
        QCOMPARE(blank.exitCode, 2);
        QCOMPARE(blank.err, QStringLiteral("corvalint: a workspace needs a name that is not blank\n"));
        CommandResult category = create(QStringLiteral("X"), {}, QStringLiteral("videoEditing"));
        QCOMPARE(category.exitCode, 2);
        QVERIFY(category.err.startsWith(QStringLiteral("corvalint: unknown category \"videoEditing\"; choose one of")));
        QCOMPARE(m_store->count(), 0);
    }

    void listShowsNewestFirstWithCountsAndMonitors()
    {
        create(QStringLiteral("Old"), { editor() });
        m_store->workspaces().first()->setCreatedAt(QDateTime::currentDateTimeUtc().addDays(-1));
        EntryData other = editor();
        other.monitorID = QStringLiteral("MON-B");
        create(QStringLiteral("New"), { editor(), other, editor() }, QStringLiteral("Video Editing"));
        const CommandResult result = commands().execute(req(QStringLiteral("list")));
        QCOMPARE(result.exitCode, 0);
        const QStringList lines = result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith(QStringLiteral("NAME")));
        QCOMPARE(lines[1].simplified(), QStringLiteral("New Video Editing 3 2"));
        QCOMPARE(lines[2].simplified(), QStringLiteral("Old Development 1 1"));
    }

    void listOfAnEmptyStorePrintsNothing()
    {
        const CommandResult result = commands().execute(req(QStringLiteral("list")));
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.out.isEmpty());
        const CommandResult json
            = commands().execute(req(QStringLiteral("list"), { { QStringLiteral("json"), true } }));
        QCOMPARE(QJsonDocument::fromJson(json.out.toUtf8()).array(), QJsonArray());
    }

    void jsonListHasEveryFieldWithNullsForAbsences()
    {
        EntryData bare;
        bare.typeRawValue = QStringLiteral("website");
        bare.websiteURL = QStringLiteral("https://example.com");
        create(QStringLiteral("Web"), { bare });
        const CommandResult result
            = commands().execute(req(QStringLiteral("list"), { { QStringLiteral("json"), true } }));
        const QJsonArray array = QJsonDocument::fromJson(result.out.toUtf8()).array();
        QCOMPARE(array.size(), 1);
        const QJsonObject w = array[0].toObject();
        for (const char *key : { "id", "name", "icon", "category", "createdAt", "modifiedAt", "autoLaunch",
                 "restoreDocuments", "isFavorite", "launchCount", "lastLaunchedAt", "timeSavedInSeconds", "entries" })
            QVERIFY2(w.contains(QLatin1String(key)), key);
        QVERIFY(w.value(QLatin1String("lastLaunchedAt")).isNull());
        const QJsonObject e = w.value(QLatin1String("entries")).toArray()[0].toObject();
        QCOMPARE(e.size(), 20);
        QVERIFY(e.value(QLatin1String("windowTitle")).isNull());
        QCOMPARE(e.value(QLatin1String("isMaximized")), QJsonValue(false));
        QCOMPARE(e.value(QLatin1String("additionalTabURLs")), QJsonValue(QJsonArray()));
        QVERIFY(e.value(QLatin1String("appBundleIdentifier")).isNull());
        QVERIFY(e.value(QLatin1String("monitorID")).isNull());
        QVERIFY(e.value(QLatin1String("originalScreenHeight")).isNull());
        QCOMPARE(e.value(QLatin1String("websiteURL")).toString(), QStringLiteral("https://example.com"));
        QCOMPARE(e.value(QLatin1String("delayAfterLaunch")).toDouble(), 0.5);
        QCOMPARE(entryFromJson(e), bare);
    }

    void browserWindowTravelsWithItsTabsAndBrowser()
    {
        EntryData browser;
        browser.typeRawValue = QStringLiteral("website");
        browser.appBundleIdentifier = QStringLiteral("firefox-esr");
        browser.websiteURL = QStringLiteral("https://example.com/1");
        browser.additionalTabURLs
            = { QStringLiteral("https://example.com/2"), QStringLiteral("https://example.com/1") };
        browser.isMaximized = true;
        QCOMPARE(entryFromJson(entryToJson(browser)), browser);

        create(QStringLiteral("Web"), { browser });
        QCOMPARE(reopened()->workspaces().first()->entries().first()->data(), browser);
        const CommandResult result
            = commands().execute(req(QStringLiteral("list"), { { QStringLiteral("json"), true } }));
        const QJsonObject w = QJsonDocument::fromJson(result.out.toUtf8()).array()[0].toObject();
        QCOMPARE(entryFromJson(w.value(QLatin1String("entries")).toArray()[0].toObject()), browser);
    }

    void mistypedTabsAndMaximisingReadAsTheirDefaults()
    {
        QJsonObject o = entryToJson(editor());
        o[QLatin1String("isMaximized")] = QStringLiteral("yes");
        o[QLatin1String("additionalTabURLs")] = QStringLiteral("https://example.com/");
        EntryData read = entryFromJson(o);
        QVERIFY(!read.isMaximized);
        QVERIFY(read.additionalTabURLs.isEmpty());

        o.remove(QLatin1String("isMaximized"));
        QJsonArray tabs { QStringLiteral("https://example.com/a"), 7, QJsonValue::Null,
            QString(BackupLimits::maxStringLength + 1, u'x'), QStringLiteral("https://example.com/b") };
        o[QLatin1String("additionalTabURLs")] = tabs;
        read = entryFromJson(o);
        QVERIFY(!read.isMaximized);
        QCOMPARE(read.additionalTabURLs,
            QStringList({ QStringLiteral("https://example.com/a"), QStringLiteral("https://example.com/b") }));

        for (qsizetype i = 0; i <= BackupLimits::maxAdditionalTabs; ++i)
            tabs.append(QStringLiteral("https://example.com/%1").arg(i));
        o[QLatin1String("additionalTabURLs")] = tabs;
        QCOMPARE(entryFromJson(o).additionalTabURLs.size(), BackupLimits::maxAdditionalTabs);
    }

    void namesMatchExactlyAndIdsInAnyCase()
    {
        create(QStringLiteral("Dev"));
        const QUuid id = m_store->workspaces().first()->id();
        QString error;
        QVERIFY(!commands().resolve(QStringLiteral("dev"), &error));
        QCOMPARE(error, QStringLiteral("corvalint: no workspace is named or has the id \"dev\""));
        QVERIFY(commands().resolve(QStringLiteral("Dev"), &error));
        QVERIFY(commands().resolve(id.toString(QUuid::WithoutBraces).toLower(), &error));
        QVERIFY(commands().resolve(id.toString(QUuid::WithoutBraces).toUpper(), &error));
        QVERIFY(commands().resolve(id.toString(), &error));
    }

    void aChangeThatCannotBeSavedIsWithdrawn()
    {
        QCOMPARE(create(QStringLiteral("Kept"), { editor(1), editor(2) }).exitCode, 0);
        m_store->setBusyTimeout(50);
        const QString blockerName = QStringLiteral("blocker");
        {
            // Another writer holds the file: every save of ours fails for now.
            QSqlDatabase blocker = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), blockerName);
            blocker.setDatabaseName(m_store->filePath());
            QVERIFY(blocker.open());
            QVERIFY(QSqlQuery(blocker).exec(QStringLiteral("BEGIN EXCLUSIVE")));

            const CommandResult created = create(QStringLiteral("Lost"), { editor() });
            QCOMPARE(created.exitCode, 1);
            QVERIFY(created.err.contains(QStringLiteral("nothing was changed")));
            const CommandResult deleted = commands().execute(
                req(QStringLiteral("delete"), { { QStringLiteral("target"), QStringLiteral("Kept") } }));
            QCOMPARE(deleted.exitCode, 1);
            const CommandResult updated = commands().execute(req(QStringLiteral("update"),
                { { QStringLiteral("target"), QStringLiteral("Kept") },
                    { QStringLiteral("entries"), entriesToJson({ editor(9) }) } }));
            QCOMPARE(updated.exitCode, 1);

            // What the store shows is what the file will hold once saving works again.
            QCOMPARE(m_store->count(), 1);
            const Workspace *kept = m_store->workspaces().first();
            QCOMPARE(kept->name(), QStringLiteral("Kept"));
            QCOMPARE(kept->entryCount(), 2);
            QCOMPARE(kept->entries().at(0)->frameX(), 1.0);
            QVERIFY(QSqlQuery(blocker).exec(QStringLiteral("ROLLBACK")));
            blocker.close();
        }
        QSqlDatabase::removeDatabase(blockerName);
        QVERIFY(m_store->save());
        m_store.reset();
        const auto again = reopened();
        QVERIFY(again);
        QCOMPARE(again->count(), 1);
        QCOMPARE(again->workspaces().first()->name(), QStringLiteral("Kept"));
        QCOMPARE(again->workspaces().first()->entryCount(), 2);
        QCOMPARE(again->workspaces().first()->entries().at(1)->frameX(), 2.0);
    }

    void ambiguousNamesAskForAnId()
    {
        // Two of one name come from elsewhere (a backup, the window); the
        // command line itself refuses to make the second.
        m_store->insert(new Workspace(
            QStringLiteral("Twin"), QStringLiteral("briefcase.fill"), QStringLiteral("Design"), false, true));
        m_store->insert(new Workspace(
            QStringLiteral("Twin"), QStringLiteral("briefcase.fill"), QStringLiteral("Design"), false, true));
        QCOMPARE(create(QStringLiteral("Twin")).exitCode, 1);
        const CommandResult result = commands().execute(
            req(QStringLiteral("delete"), { { QStringLiteral("target"), QStringLiteral("Twin") } }));
        QCOMPARE(result.exitCode, 1);
        QVERIFY(
            result.err.startsWith(QStringLiteral("corvalint: \"Twin\" names 2 workspaces; give one of their ids: ")));
        QCOMPARE(m_store->count(), 2);
    }

    void deleteRemovesTheWorkspaceWithItsEntries()
    {
        create(QStringLiteral("Gone"), { editor() });
        create(QStringLiteral("Kept"), { editor() });
        const CommandResult result = commands().execute(
            req(QStringLiteral("delete"), { { QStringLiteral("target"), QStringLiteral("Gone") } }));
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.out.startsWith(QStringLiteral("Deleted workspace \"Gone\" (")));
        auto store = reopened();
        QCOMPARE(store->count(), 1);
        QCOMPARE(store->workspaces().first()->name(), QStringLiteral("Kept"));
    }

    void updateMergesTheCaptureAndStampsModifiedAt()
    {
        create(QStringLiteral("Desk"), { editor(1) });
        EntryData moved = editor(99);
        EntryData fresh;
        fresh.appBundleIdentifier = QStringLiteral("org.example.Terminal");
        const CommandResult result = commands().execute(req(QStringLiteral("update"),
            { { QStringLiteral("target"), QStringLiteral("Desk") },
                { QStringLiteral("entries"), entriesToJson({ moved, fresh }) } }));
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(
            result.out, QStringLiteral("Updated workspace \"Desk\": 2 windows captured, 1 new entries, 2 in all\n"));
        auto store = reopened();
        const Workspace *w = store->workspaces().first();
        QCOMPARE(w->entryCount(), 2);
        QCOMPARE(w->entries()[0]->frameX(), 99.0);
        QCOMPARE(w->entries()[1]->appBundleIdentifier(), fresh.appBundleIdentifier);
        QCOMPARE(w->modifiedAt(), m_now);
    }

    void launchCountsUnlessAskedNotTo()
    {
        create(QStringLiteral("Run"), { editor(), editor(), editor() });
        const CommandResult counted = commands().execute(req(QStringLiteral("launch"),
            { { QStringLiteral("target"), QStringLiteral("Run") }, { QStringLiteral("count"), true } }));
        QCOMPARE(counted.exitCode, 0);
        QCOMPARE(counted.data.value(QLatin1String("entries")).toArray().size(), 3);
        QCOMPARE(counted.data.value(QLatin1String("restoreDocuments")).toBool(), true);
        QCOMPARE(counted.data.value(QLatin1String("autoLaunch")).toBool(), false);
        commands().execute(req(QStringLiteral("launch"),
            { { QStringLiteral("target"), QStringLiteral("Run") }, { QStringLiteral("count"), false } }));
        auto store = reopened();
        const Workspace *w = store->workspaces().first();
        QCOMPARE(w->launchCount(), 1);
        QCOMPARE(w->timeSavedInSeconds(), 60.0);
        QCOMPARE(w->lastLaunchedAt(), std::optional<QDateTime>(m_now));
    }

    void unknownTargetsFail()
    {
        for (const char *command : { "delete", "update", "launch", "show" }) {
            const CommandResult result = commands().execute(
                req(QLatin1String(command), { { QStringLiteral("target"), QStringLiteral("Nope") } }));
            QCOMPARE(result.exitCode, 1);
            QCOMPARE(result.err, QStringLiteral("corvalint: no workspace is named or has the id \"Nope\"\n"));
        }
    }

    void exportThenImportIntoAnotherStoreBringsEverythingOver()
    {
        create(QStringLiteral("A"), { editor() });
        create(QStringLiteral("B"));
        const QString file = m_dir->filePath(QStringLiteral("backup.workspace"));
        const CommandResult exported
            = commands().execute(req(QStringLiteral("export"), { { QStringLiteral("file"), file } }));
        QCOMPARE(exported.exitCode, 0);
        QCOMPARE(exported.out, QStringLiteral("2 workspaces exported\n"));

        QTemporaryDir other;
        QString error;
        auto target = WorkspaceStore::open(other.path(), &error);
        StoreCommands into(*target);
        const CommandResult imported
            = into.execute(req(QStringLiteral("import"), { { QStringLiteral("file"), file } }));
        QCOMPARE(imported.exitCode, 0);
        QCOMPARE(imported.out, QStringLiteral("2 workspaces imported\n"));
        QCOMPARE(target->count(), 2);
        // Importing again adds nothing: the ids are there already.
        const CommandResult again = into.execute(req(QStringLiteral("import"), { { QStringLiteral("file"), file } }));
        QCOMPARE(again.exitCode, 0);
        QCOMPARE(again.out, QStringLiteral("No new workspaces (all already present)\n"));
        QCOMPARE(target->count(), 2);
    }

    void damagedOrMissingBackupChangesNothing()
    {
        const QString file = m_dir->filePath(QStringLiteral("broken.workspace"));
        QFile broken(file);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("{\"version\": 1, \"workspaces\": [");
        broken.close();
        const CommandResult damaged
            = commands().execute(req(QStringLiteral("import"), { { QStringLiteral("file"), file } }));
        QCOMPARE(damaged.exitCode, 1);
        // The command line speaks English, the backup's German stays on the settings page.
        QVERIFY2(damaged.err.startsWith(QStringLiteral("corvalint: import refused: the file is not valid JSON")),
            qPrintable(damaged.err));
        const CommandResult missing = commands().execute(
            req(QStringLiteral("import"), { { QStringLiteral("file"), m_dir->filePath(QStringLiteral("none")) } }));
        QCOMPARE(missing.exitCode, 1);
        QCOMPARE(missing.err, QStringLiteral("corvalint: import refused: file not found\n"));
        QCOMPARE(m_store->count(), 0);
    }

    void exportToAnUnwritablePlaceFails()
    {
        const CommandResult result = commands().execute(req(QStringLiteral("export"),
            { { QStringLiteral("file"), m_dir->filePath(QStringLiteral("no/such/dir/x.workspace")) } }));
        QCOMPARE(result.exitCode, 1);
        QVERIFY(result.err.startsWith(QStringLiteral("corvalint: export failed: ")));
    }

    void unknownRequestFails() { QCOMPARE(commands().execute(req(QStringLiteral("format"))).exitCode, 1); }
};

QTEST_GUILESS_MAIN(TestStoreCommands)
#include "tst_storecommands.moc"
