// The creation sheet's rules: blank names cannot create, names are stored as
// typed, the sheet keeps symbol and category but starts with an empty name.
#include "creationsheetcontroller.h"
#include "viewsfixture.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

class CreationSheetTest : public QObject
{
    Q_OBJECT

private slots:
    void trimsSpacesAndTabsOnly()
    {
        QCOMPARE(CreationSheetController::trimSpacesAndTabs(" \t Coding\t "), QStringLiteral("Coding"));
        QCOMPARE(CreationSheetController::trimSpacesAndTabs(" \t "), QString());
        // Line breaks are not trimmed, so a name of a line break counts as given.
        QCOMPARE(CreationSheetController::trimSpacesAndTabs("\n"), QStringLiteral("\n"));
        QCOMPARE(CreationSheetController::trimSpacesAndTabs(" a b "), QStringLiteral("a b"));
    }

    void blankNameCannotCreate()
    {
        ViewsFixture fixture;
        CreationSheetController sheet;
        sheet.setServices(fixture.services.get());
        sheet.open();
        QVERIFY(!sheet.canCreate());
        sheet.setName(QStringLiteral("   \t"));
        QVERIFY(!sheet.canCreate());
        QCOMPARE(sheet.create(), nullptr); // Return in the field does nothing either
        QVERIFY(sheet.showing());
        QCOMPARE(fixture.store->count(), 0);
        sheet.setName(QStringLiteral(" x"));
        QVERIFY(sheet.canCreate());
    }

    void createStoresTheNameAsTypedWithTheCapture()
    {
        ViewsFixture fixture;
        fixture.addRunningWindow(QStringLiteral("com.example.Editor"), QRectF(100, 120, 900, 700));
        CreationSheetController sheet;
        sheet.setServices(fixture.services.get());
        sheet.open();
        sheet.setName(QStringLiteral(" Coding "));
        sheet.setIcon(QStringLiteral("terminal.fill"));
        sheet.setCategory(QStringLiteral("Video Editing"));
        QSignalSpy created(&sheet, &CreationSheetController::created);

        Workspace *workspace = sheet.create();
        QVERIFY(workspace);
        QCOMPARE(created.count(), 1);
        QVERIFY(!sheet.showing());
        QCOMPARE(workspace->name(), QStringLiteral(" Coding "));
        QCOMPARE(workspace->icon(), QStringLiteral("terminal.fill"));
        QCOMPARE(workspace->category(), QStringLiteral("Video Editing"));
        QVERIFY(!workspace->autoLaunch());
        QVERIFY(workspace->restoreDocuments());
        QVERIFY(!workspace->isFavorite());
        QCOMPARE(workspace->launchCount(), 0);
        QCOMPARE(workspace->entryCount(), 1);
        QCOMPARE(workspace->entries().first()->appBundleIdentifier(), std::optional<QString>("com.example.Editor"));
        QCOMPARE(workspace->entries().first()->workspace(), workspace);

        const auto reopened = fixture.reopenStore();
        QCOMPARE(reopened->count(), 1);
        QCOMPARE(reopened->workspaces().first()->name(), QStringLiteral(" Coding "));
        QCOMPARE(reopened->workspaces().first()->entryCount(), 1);
    }

    void emptyCaptureSavesNothingAndSaysWhy()
    {
        ViewsFixture fixture;
        CreationSheetController sheet;
        sheet.setServices(fixture.services.get());
        sheet.open();
        sheet.setName(QStringLiteral("Nothing open"));
        QSignalSpy created(&sheet, &CreationSheetController::created);
        QCOMPARE(sheet.create(), nullptr);
        // An empty workspace would look like a success; the sheet stays open and says what happened.
        QCOMPARE(created.count(), 0);
        QCOMPARE(fixture.store->count(), 0);
        QVERIFY(sheet.showing());
        QVERIFY(sheet.captureProblem().startsWith(QStringLiteral("Kein Anwendungsfenster gefunden")));

        // A desktop that hides its windows is named as the reason.
        fixture.desktop.setTrusted(false);
        sheet.create();
        QVERIFY(sheet.captureProblem().contains(QStringLiteral("nicht lesen")));

        // Opening the sheet again starts without the old message; a capture with windows creates.
        fixture.desktop.setTrusted(true);
        sheet.open();
        QCOMPARE(sheet.captureProblem(), QString());
        fixture.addRunningWindow(QStringLiteral("com.example.Editor"), QRectF(10, 10, 400, 300));
        sheet.setName(QStringLiteral("Something open"));
        QVERIFY(sheet.create());
        QCOMPARE(fixture.store->count(), 1);
    }

    void reopeningKeepsSymbolAndCategoryButClearsTheName()
    {
        ViewsFixture fixture;
        CreationSheetController sheet;
        sheet.setServices(fixture.services.get());
        QCOMPARE(sheet.icon(), QStringLiteral("briefcase.fill"));
        QCOMPARE(sheet.category(), QStringLiteral("Development"));

        sheet.open();
        sheet.setName(QStringLiteral("Draft"));
        sheet.setIcon(QStringLiteral("book.fill"));
        sheet.setCategory(QStringLiteral("Gaming"));
        sheet.cancel();
        QVERIFY(!sheet.showing());
        QCOMPARE(sheet.name(), QStringLiteral("Draft")); // kept until the next open

        sheet.open();
        QVERIFY(sheet.showing());
        QCOMPARE(sheet.name(), QString());
        QCOMPARE(sheet.icon(), QStringLiteral("book.fill"));
        QCOMPARE(sheet.category(), QStringLiteral("Gaming"));

        // The same after a successful create.
        fixture.addRunningWindow(QStringLiteral("com.example.Editor"), QRectF(10, 10, 400, 300));
        sheet.setName(QStringLiteral("Made"));
        QVERIFY(sheet.create());
        QCOMPARE(sheet.name(), QStringLiteral("Made"));
        sheet.open();
        QCOMPARE(sheet.name(), QString());
        QCOMPARE(sheet.icon(), QStringLiteral("book.fill"));
    }

    void theBusyCursorIsGoneAfterTheCapture()
    {
        ViewsFixture fixture;
        CreationSheetController sheet;
        sheet.setServices(fixture.services.get());
        sheet.setName(QStringLiteral("Cursor"));
        sheet.create();
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        fixture.addRunningWindow(QStringLiteral("com.example.Editor"), QRectF(10, 10, 400, 300));
        QVERIFY(sheet.create());
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void offersEightSymbolsAndEightCategoriesInOrder()
    {
        QCOMPARE(CreationSheetController::icons(),
            (QStringList { "briefcase.fill", "curlybraces", "paintpalette.fill", "gamecontroller.fill", "camera.fill",
                "music.note", "book.fill", "terminal.fill" }));
        QCOMPARE(CreationSheetController::categories(),
            (QStringList {
                "Development", "Design", "Office", "Personal", "Gaming", "Video Editing", "Photography", "Custom" }));
    }
};

QTEST_MAIN(CreationSheetTest)
#include "tst_creationsheet.moc"
