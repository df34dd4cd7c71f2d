// The main window by keyboard alone: Tab reaches the sidebar and the card
// grid, the arrows move through them (over the section headers), Return
// opens or starts, Delete deletes and Ctrl+Z takes it back, the creation
// sheet lets Tab out of its name field, and the focused item wears the cyan ring.
#include "creationsheetcontroller.h"
#include "deleteundo.h"
#include "navigationcontroller.h"
#include "viewsfixture.h"

#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(CorvalintPlugin)
Q_IMPORT_QML_PLUGIN(Corvalint_ThemePlugin)

namespace {

/// The workspace of the card or sidebar row that holds `item`, or null.
Workspace *workspaceAt(QQuickItem *item)
{
    for (; item; item = item->parentItem()) {
        const QVariant workspace = item->property("workspace");
        if (workspace.isValid())
            return workspace.value<Workspace *>();
    }
    return nullptr;
}

/// The name of the focused item's workspace, or its accessible-looking label.
QString focusedName(QQuickWindow *window)
{
    QQuickItem *item = window->activeFocusItem();
    if (Workspace *workspace = workspaceAt(item))
        return workspace->name();
    return item ? item->property("label").toString() : QString();
}

/// Whether a visible cyan focus ring named `name` lies inside the focused item.
bool ringShown(QQuickWindow *window, const char *name)
{
    QQuickItem *focused = window->activeFocusItem();
    if (!focused)
        return false;
    const auto rings = focused->findChildren<QQuickItem *>(QString::fromLatin1(name));
    for (QQuickItem *ring : rings) {
        if (ring->isVisible() && ring->property("border").value<QObject *>()
            && ring->property("border").value<QObject *>()->property("color").value<QColor>()
                == QColor::fromRgbF(0.0, 0.95, 1.0))
            return true;
    }
    return false;
}

} // namespace

class KeyboardTest : public QObject
{
    Q_OBJECT

private:
    struct Loaded {
        std::unique_ptr<QQmlApplicationEngine> engine;
        QQuickWindow *window = nullptr;
        NavigationController *navigation = nullptr;
    };

    static std::unique_ptr<Loaded> load()
    {
        auto loaded = std::make_unique<Loaded>();
        loaded->engine = std::make_unique<QQmlApplicationEngine>();
        loaded->engine->load(QUrl(QStringLiteral("qrc:/Corvalint/Main.qml")));
        if (loaded->engine->rootObjects().isEmpty())
            return loaded;
        loaded->window = qobject_cast<QQuickWindow *>(loaded->engine->rootObjects().first());
        loaded->navigation = loaded->window->findChild<NavigationController *>();
        loaded->window->requestActivate();
        return loaded;
    }

    /// Presses Tab until the focus is in the item named `objectName` (at most 40 times).
    static bool tabInto(QQuickWindow *window, const QString &objectName)
    {
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(window, Qt::Key_Tab);
            for (QQuickItem *item = window->activeFocusItem(); item; item = item->parentItem()) {
                if (item->objectName() == objectName)
                    return true;
            }
        }
        return false;
    }

private slots:
    void arrowsMoveThroughTheSidebarOverItsHeaders()
    {
        ViewsFixture fixture;
        fixture.addWorkspace("Eins", "Office", 1, 1, false, 30);
        fixture.addWorkspace("Zwei", "Office", 2, 2, false, 20);
        const auto loaded = load();
        QVERIFY(loaded->window);
        QVERIFY(QTest::qWaitForWindowActive(loaded->window));

        QVERIFY(tabInto(loaded->window, QStringLiteral("sidebarList")));
        QCOMPARE(focusedName(loaded->window), QStringLiteral("Dashboard"));
        QVERIFY(ringShown(loaded->window, "sidebarFocusRing"));
        // Down steps over the section header of one-monitor workspaces.
        QTest::keyClick(loaded->window, Qt::Key_Down);
        QCOMPARE(focusedName(loaded->window), QStringLiteral("Eins"));
        QVERIFY(ringShown(loaded->window, "sidebarFocusRing"));
        QTest::keyClick(loaded->window, Qt::Key_Down);
        QCOMPARE(focusedName(loaded->window), QStringLiteral("Zwei"));
        QTest::keyClick(loaded->window, Qt::Key_Down);
        QCOMPARE(focusedName(loaded->window), QStringLiteral("Einstellungen"));
        QTest::keyClick(loaded->window, Qt::Key_Down); // the last row stays
        QCOMPARE(focusedName(loaded->window), QStringLiteral("Einstellungen"));
        QTest::keyClick(loaded->window, Qt::Key_Up);
        QTest::keyClick(loaded->window, Qt::Key_Up);
        QCOMPARE(focusedName(loaded->window), QStringLiteral("Eins"));
        // The arrows only move; Return opens, Space too.
        QCOMPARE(loaded->navigation->selection(), NavigationController::Dashboard);
        QTest::keyClick(loaded->window, Qt::Key_Return);
        QCOMPARE(loaded->navigation->selection(), NavigationController::WorkspaceSelection);
        QCOMPARE(loaded->navigation->workspace()->name(), QStringLiteral("Eins"));
        QTest::keyClick(loaded->window, Qt::Key_End);
        QTest::keyClick(loaded->window, Qt::Key_Space);
        QCOMPARE(loaded->navigation->selection(), NavigationController::Settings);
    }

    void deleteInTheSidebarIsUndoneByControlZ()
    {
        ViewsFixture fixture;
        Workspace *workspace = fixture.addWorkspace("Weg", "Office", 3, 1);
        const WorkspaceData before = workspace->data();
        const auto loaded = load();
        QVERIFY(QTest::qWaitForWindowActive(loaded->window));
        QVERIFY(tabInto(loaded->window, QStringLiteral("sidebarList")));
        QTest::keyClick(loaded->window, Qt::Key_Down);
        QCOMPARE(focusedName(loaded->window), QStringLiteral("Weg"));
        QTest::keyClick(loaded->window, Qt::Key_Delete);
        QCOMPARE(fixture.store->count(), 0);
        QVERIFY(fixture.services->undo()->available());
        QTRY_VERIFY(loaded->window->findChild<QQuickItem *>(QStringLiteral("undoBar"))->isVisible());
        QTest::keyClick(loaded->window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(fixture.store->count(), 1);
        QCOMPARE(fixture.store->workspaces().first()->data(), before);
        QTRY_VERIFY(!loaded->window->findChild<QQuickItem *>(QStringLiteral("undoBar"))->isVisible());
    }

    void arrowsMoveThroughTheCardsAndReturnStarts()
    {
        ViewsFixture fixture;
        for (int i = 0; i < 7; ++i)
            fixture.addWorkspace(QStringLiteral("Karte %1").arg(i), "Office", 1, 1, false, 100 - i);
        const auto loaded = load();
        QVERIFY(QTest::qWaitForWindowActive(loaded->window));
        auto *dashboard = loaded->window->findChild<QQuickItem *>(QStringLiteral("dashboard"));
        auto *grid = dashboard->property("allGrid").value<QQuickItem *>();
        const int columns = grid->property("columns").toInt();
        QVERIFY(columns >= 2 && columns < 7);

        // Tab onwards until a card has the focus: the grid is one stop.
        bool onCard = false;
        for (int i = 0; i < 40 && !onCard; ++i) {
            QTest::keyClick(loaded->window, Qt::Key_Tab);
            onCard = workspaceAt(loaded->window->activeFocusItem()) != nullptr
                && focusedName(loaded->window).startsWith(QLatin1String("Karte"));
        }
        QVERIFY(onCard);
        QCOMPARE(focusedName(loaded->window), QStringLiteral("Karte 6")); // the newest first
        QVERIFY(ringShown(loaded->window, "cardFocusRing"));
        QTest::keyClick(loaded->window, Qt::Key_Right);
        QCOMPARE(focusedName(loaded->window), QStringLiteral("Karte 5"));
        QTest::keyClick(loaded->window, Qt::Key_Down);
        QCOMPARE(focusedName(loaded->window), QStringLiteral("Karte %1").arg(5 - columns));
        QTest::keyClick(loaded->window, Qt::Key_Left);
        QTest::keyClick(loaded->window, Qt::Key_Up);
        QCOMPARE(focusedName(loaded->window), QStringLiteral("Karte 6"));
        QTest::keyClick(loaded->window, Qt::Key_End);
        QCOMPARE(focusedName(loaded->window), QStringLiteral("Karte 0"));

        // Return starts the focused card's workspace, counted as a start.
        Workspace *last = workspaceAt(loaded->window->activeFocusItem());
        QTest::keyClick(loaded->window, Qt::Key_Return);
        QCOMPARE(last->launchCount(), 1);

        // Delete deletes it at once, the focus stays in the grid, Ctrl+Z brings it back.
        const QUuid id = last->id();
        QTest::keyClick(loaded->window, Qt::Key_Delete);
        QVERIFY(!fixture.store->find(id));
        QTRY_COMPARE(focusedName(loaded->window), QStringLiteral("Karte 1"));
        QTest::keyClick(loaded->window, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(fixture.store->find(id));
        QCOMPARE(fixture.store->find(id)->launchCount(), 1);
    }

    void tabLeavesTheSheetsNameField()
    {
        ViewsFixture fixture;
        const auto loaded = load();
        QVERIFY(QTest::qWaitForWindowActive(loaded->window));
        auto *dashboard = loaded->window->findChild<QQuickItem *>(QStringLiteral("dashboard"));
        auto *sheet = dashboard->property("creation").value<CreationSheetController *>();
        sheet->open();
        QQuickItem *field = nullptr;
        QTRY_VERIFY((field = loaded->window->findChild<QQuickItem *>(QStringLiteral("nameField"))));
        QTRY_VERIFY(field->hasActiveFocus());
        for (const char key : QByteArray("Tasten"))
            QTest::keyClick(loaded->window, key);
        QCOMPARE(sheet->name(), QStringLiteral("Tasten"));

        // Tab goes on to the first category, then the next; Space chooses it.
        QTest::keyClick(loaded->window, Qt::Key_Tab);
        QVERIFY(!field->hasActiveFocus());
        QCOMPARE(loaded->window->activeFocusItem()->property("category").toString(), sheet->categories().first());
        QTest::keyClick(loaded->window, Qt::Key_Tab);
        const QString second = sheet->categories().at(1);
        QCOMPARE(loaded->window->activeFocusItem()->property("category").toString(), second);
        QTest::keyClick(loaded->window, Qt::Key_Space);
        QCOMPARE(sheet->category(), second);
        QTest::keyClick(loaded->window, Qt::Key_Backtab);
        QTest::keyClick(loaded->window, Qt::Key_Backtab);
        QVERIFY(field->hasActiveFocus());

        // Onwards to a symbol, chosen with Return, and to the create button.
        QQuickItem *create = loaded->window->findChild<QQuickItem *>(QStringLiteral("createButton"));
        bool onSymbol = false;
        for (int i = 0; i < 30 && !onSymbol; ++i) {
            QTest::keyClick(loaded->window, Qt::Key_Tab);
            onSymbol = loaded->window->activeFocusItem()->property("symbol").toString() == QLatin1String("book.fill");
        }
        QVERIFY(onSymbol);
        QTest::keyClick(loaded->window, Qt::Key_Return);
        QCOMPARE(sheet->icon(), QStringLiteral("book.fill"));
        for (int i = 0; i < 30 && loaded->window->activeFocusItem() != create; ++i)
            QTest::keyClick(loaded->window, Qt::Key_Tab);
        QCOMPARE(loaded->window->activeFocusItem(), create);
        QTest::keyClick(loaded->window, Qt::Key_Escape);
        QTRY_VERIFY(!sheet->showing());
    }

    void deleteInTheDetailViewIsUndoneAndShowsTheWorkspaceAgain()
    {
        ViewsFixture fixture;
        Workspace *workspace = fixture.addWorkspace("Offen", "Office", 2, 1);
        const WorkspaceData before = workspace->data();
        const auto loaded = load();
        QVERIFY(QTest::qWaitForWindowActive(loaded->window));
        loaded->navigation->showWorkspace(workspace);
        QVERIFY(tabInto(loaded->window, QStringLiteral("launchButton")));
        // A button Tab reached wears the ring.
        QVERIFY(ringShown(loaded->window, "focusRing"));
        QTest::keyClick(loaded->window, Qt::Key_Delete);
        QCOMPARE(fixture.store->count(), 0);
        QCOMPARE(loaded->navigation->selection(), NavigationController::Dashboard);
        QTest::keyClick(loaded->window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(fixture.store->count(), 1);
        QCOMPARE(loaded->navigation->selection(), NavigationController::WorkspaceSelection);
        QCOMPARE(loaded->navigation->workspace()->data(), before);
    }

    void tabScrollsTheSettingsPageToTheFocusedControl()
    {
        ViewsFixture fixture;
        const auto loaded = load();
        QVERIFY(QTest::qWaitForWindowActive(loaded->window));
        loaded->window->resize(1000, 600); // the page runs far below the window
        loaded->navigation->showSettings();
        QQuickItem *settings = nullptr;
        QTRY_VERIFY((settings = loaded->window->findChild<QQuickItem *>(QStringLiteral("settings"))));
        auto *page = settings->property("page").value<QQuickItem *>();
        QQuickItem *flickable = page->property("contentItem").value<QQuickItem *>();
        QVERIFY(flickable);
        QCOMPARE(flickable->property("contentY").toReal(), 0.0);

        QVERIFY(tabInto(loaded->window, QStringLiteral("windowWaitSpinBox")));
        QQuickItem *focused = loaded->window->activeFocusItem();
        const QRectF inView = focused->mapRectToItem(flickable, QRectF(0, 0, focused->width(), focused->height()));
        QVERIFY2(flickable->property("contentY").toReal() > 0, "the page did not follow the focus");
        QVERIFY2(inView.top() >= 0 && inView.bottom() <= flickable->height(),
            qPrintable(QStringLiteral("focused control at %1..%2 of %3")
                           .arg(inView.top())
                           .arg(inView.bottom())
                           .arg(flickable->height())));
    }
};

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
