// The detail view's actions: entry order, counted launch with focus mode, preview,
// the edit sheet, and deleting entries or the whole workspace.
#include "detailfixture.h"
#include "overlay/previewoverlaymanager.h"

#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(CorvalintPlugin)
Q_IMPORT_QML_PLUGIN(Corvalint_ThemePlugin)

using namespace detailfixture;

namespace {

EntryData withId(EntryData entry, const char *uuid)
{
    entry.id = QUuid::fromString(QLatin1String(uuid));
    return entry;
}

QStringList identifiersOf(const QList<WorkspaceEntry *> &entries)
{
    QStringList list;
    for (const WorkspaceEntry *entry : entries)
        list.append(entry->appBundleIdentifier().value_or(QString()));
    return list;
}

QStringList boxNames(QQuickItem *parent)
{
    QStringList names;
    for (QQuickItem *child : parent->childItems()) {
        if (child->objectName() == QLatin1String("boxName"))
            names.append(child->property("text").toString());
        names += boxNames(child);
    }
    return names;
}

SimInstalledApplication installed(const QString &identifier)
{
    return SimInstalledApplication { identifier, QStringLiteral("/usr/share/applications/%1.desktop").arg(identifier),
        {} };
}

} // namespace

class TestDetailController : public QObject
{
    Q_OBJECT

private slots:
    void entriesAreListedByTheirIdText()
    {
        DetailFixture f;
        Workspace *workspace
            = f.show({ withId(application(QStringLiteral("c")), "c0000000-0000-0000-0000-000000000000"),
                withId(application(QStringLiteral("a")), "0a000000-0000-0000-0000-000000000000"),
                withId(application(QStringLiteral("b")), "b0000000-0000-0000-0000-000000000000") });
        // Digits sort before letters in the upper-case text, whatever the capture order.
        QCOMPARE(identifiersOf(f.controller.sortedEntries()), (QStringList { "a", "b", "c" }));
        QCOMPARE(identifiersOf(workspace->entries()), (QStringList { "c", "a", "b" }));
        QCOMPARE(f.controller.summary(), QStringLiteral("Development \u2022 3 Elemente"));
    }

    void listFollowsAnEntryAdded()
    {
        DetailFixture f;
        Workspace *workspace
            = f.show({ withId(application(QStringLiteral("b")), "b0000000-0000-0000-0000-000000000000") });
        QSignalSpy changed(&f.controller, &DetailController::sortedEntriesChanged);
        workspace->appendEntry(withId(application(QStringLiteral("a")), "a0000000-0000-0000-0000-000000000000"));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(identifiersOf(f.controller.sortedEntries()), (QStringList { "a", "b" }));
        QCOMPARE(f.controller.summary(), QStringLiteral("Development \u2022 2 Elemente"));
    }

    void unknownCategoryPaintsTheCustomGradient()
    {
        DetailFixture f;
        f.show({}, QStringLiteral("Hobby"));
        QCOMPARE(f.controller.gradientStart(), QColor::fromRgbF(0.4f, 0.5f, 0.6f));
        QCOMPARE(f.controller.summary(), QStringLiteral("Hobby \u2022 0 Elemente"));
    }

    void launchIsCountedSavedAndUsesFocusMode()
    {
        DetailFixture f;
        f.desktop.installApplication(installed(QStringLiteral("com.apple.Safari")));
        SimApplication other;
        other.appId = QStringLiteral("com.apple.Music");
        other.windows = { simWindow(QStringLiteral("Music"), QRectF(0, 0, 400, 300)) };
        f.desktop.addRunningApplication(other);
        Workspace *workspace = f.show({ application(QStringLiteral("com.apple.Safari"), leftUUID) });
        workspace->setAutoLaunch(true);

        f.controller.launch();
        QCOMPARE(workspace->launchCount(), 1);
        QCOMPARE(workspace->lastLaunchedAt(), f.now);
        QCOMPARE(workspace->timeSavedInSeconds(), 20.0);
        QVERIFY(!f.store->hasUnsavedChanges());
        f.clock.runUntilIdle(60);
        QCOMPARE(f.desktop.requests(QStringLiteral("terminate")).size(), 1);
        QCOMPARE(f.desktop.requests(QStringLiteral("openApplication")).size(), 1);
    }

    void launchWithoutFocusModeLeavesOthersRunning()
    {
        DetailFixture f;
        f.desktop.installApplication(installed(QStringLiteral("com.apple.Safari")));
        SimApplication other;
        other.appId = QStringLiteral("com.apple.Music");
        other.windows = { simWindow(QStringLiteral("Music"), QRectF(0, 0, 400, 300)) };
        f.desktop.addRunningApplication(other);
        Workspace *workspace = f.show({ application(QStringLiteral("com.apple.Safari")) });
        f.controller.launch();
        f.controller.launch();
        f.clock.runUntilIdle(60);
        QCOMPARE(workspace->launchCount(), 2);
        QVERIFY(f.desktop.requests(QStringLiteral("terminate")).isEmpty());
    }

    void launchShowsThatItRunsAndWhatItCouldNotOpen()
    {
        DetailFixture f;
        f.desktop.installApplication(installed(QStringLiteral("com.apple.Safari")));
        f.show({ application(QStringLiteral("com.apple.Safari"), leftUUID),
            application(QStringLiteral("org.example.Missing"), leftUUID) });
        QSignalSpy changed(&f.controller, &DetailController::launchStateChanged);
        QCOMPARE(f.controller.launchMessage(), QString());
        f.controller.launch();
        QCOMPARE(f.controller.launchMessage(), QStringLiteral("Workspace wird gestartet …"));
        QVERIFY(!f.controller.launchTroubled());
        f.clock.runUntilIdle(60);
        QVERIFY(f.controller.launchTroubled());
        QCOMPARE(f.controller.launchMessage(),
            QStringLiteral("Nicht alles ließ sich öffnen: „org.example.Missing“ ist nicht installiert."));
        QVERIFY(changed.count() >= 2);
    }

    void previewShowsTheEntriesInStoredOrder()
    {
        DetailFixture f;
        PreviewOverlayManager overlay(f.desktop);
        f.controller.setOverlay(&overlay);
        f.show({ withId(application(QStringLiteral("z.Second")), "00000000-0000-0000-0000-000000000002"),
            withId(application(QStringLiteral("z.First")), "00000000-0000-0000-0000-000000000001") });
        f.controller.showPreview();
        QCOMPARE(overlay.windowCount(), 2);
        // The boxes are drawn in the order handed to the overlay.
        QCOMPARE(boxNames(overlay.windowList().first()->rootObject()), (QStringList { "SECOND", "FIRST" }));
        overlay.close();
    }

    void editSheetStartsFromTheWorkspace()
    {
        DetailFixture f;
        Workspace *workspace = f.show({}, QStringLiteral("Design"));
        f.controller.beginEdit();
        QVERIFY(f.controller.showingEditSheet());
        QCOMPARE(f.controller.editedName(), workspace->name());
        QCOMPARE(f.controller.editedIcon(), workspace->icon());
        QCOMPARE(f.controller.editedCategory(), QStringLiteral("Design"));
    }

    void editSheetPreselectsDevelopmentForAnUnknownCategory()
    {
        DetailFixture f;
        f.show({}, QStringLiteral("design"));
        f.controller.beginEdit();
        QCOMPARE(f.controller.editedCategory(), QStringLiteral("Development"));
    }

    void savingStoresTheNameAsTyped()
    {
        DetailFixture f;
        Workspace *workspace = f.show({});
        f.controller.beginEdit();
        f.controller.setEditedName(QStringLiteral("  Lumenfern \t"));
        f.controller.setEditedCategory(QStringLiteral("Gaming"));
        f.controller.setEditedIcon(QStringLiteral("gamecontroller.fill"));
        QVERIFY(f.controller.canSave());
        f.controller.saveEdit();
        QCOMPARE(workspace->name(), QStringLiteral("  Lumenfern \t"));
        QCOMPARE(workspace->category(), QStringLiteral("Gaming"));
        QCOMPARE(workspace->icon(), QStringLiteral("gamecontroller.fill"));
        QCOMPARE(workspace->modifiedAt(), f.now);
        QVERIFY(!f.controller.showingEditSheet());
        QVERIFY(!f.store->hasUnsavedChanges());
    }

    void blankNameCannotBeSaved()
    {
        DetailFixture f;
        Workspace *workspace = f.show({});
        f.controller.beginEdit();
        f.controller.setEditedName(QStringLiteral(" \t  "));
        QVERIFY(!f.controller.canSave());
        f.controller.saveEdit();
        QCOMPARE(workspace->name(), QStringLiteral("Studio"));
        QVERIFY(f.controller.showingEditSheet());
    }

    void cancellingWritesNothing()
    {
        DetailFixture f;
        Workspace *workspace = f.show({});
        const WorkspaceData before = workspace->data();
        f.controller.beginEdit();
        f.controller.setEditedName(QStringLiteral("Other"));
        f.controller.setEditedIcon(QStringLiteral("book.fill"));
        f.controller.cancelEdit();
        QVERIFY(!f.controller.showingEditSheet());
        QCOMPARE(workspace->data(), before);
        // The edited values stay until the next press of the edit button.
        QCOMPARE(f.controller.editedName(), QStringLiteral("Other"));
        f.controller.beginEdit();
        QCOMPARE(f.controller.editedName(), QStringLiteral("Studio"));
    }

    void deletingTheWorkspaceReturnsToTheDashboardWithoutAsking()
    {
        DetailFixture f;
        f.show({ application(QStringLiteral("com.apple.Safari")) });
        f.controller.beginEdit();
        f.controller.deleteWorkspace();
        QCOMPARE(f.navigation.selection(), NavigationController::Dashboard);
        QCOMPARE(f.store->count(), 0);
        QVERIFY(!f.store->hasUnsavedChanges());
        QVERIFY(!f.controller.showingEditSheet());
        QCOMPARE(f.store->fetchAll(true)->size(), 0);
    }

    void deletingAnEntryRemovesItAndSaves()
    {
        DetailFixture f;
        Workspace *workspace = f.show({ application(QStringLiteral("a")), application(QStringLiteral("b")) });
        f.controller.deleteEntry(workspace->entries().first());
        QCOMPARE(identifiersOf(workspace->entries()), QStringList { "b" });
        QCOMPARE(f.controller.sortedEntries().size(), 1);
        QVERIFY(!f.store->hasUnsavedChanges());
        QCOMPARE(f.store->fetchAll(true)->first().entries.size(), 1);
    }
};

QTEST_MAIN(TestDetailController)
#include "tst_detailcontroller.moc"
