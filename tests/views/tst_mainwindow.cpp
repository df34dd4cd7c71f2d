// The QML module as the application loads it: the main window comes up
// without QML errors, the dashboard shows its empty state, the sheet's create
// button follows the name, and a thousand workspaces build only visible cards.
#include "creationsheetcontroller.h"
#include "navigationcontroller.h"
#include "viewsfixture.h"

#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(CorvalintPlugin)
Q_IMPORT_QML_PLUGIN(Corvalint_ThemePlugin)

class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    struct Loaded {
        std::unique_ptr<QQmlApplicationEngine> engine;
        QQuickWindow *window = nullptr;
        QQuickItem *dashboard = nullptr;
        QStringList warnings;
    };

    static std::unique_ptr<Loaded> load()
    {
        auto loaded = std::make_unique<Loaded>();
        loaded->engine = std::make_unique<QQmlApplicationEngine>();
        QObject::connect(
            loaded->engine.get(), &QQmlEngine::warnings, [raw = loaded.get()](const QList<QQmlError> &list) {
                for (const QQmlError &error : list)
                    raw->warnings.append(error.toString());
            });
        loaded->engine->load(QUrl(QStringLiteral("qrc:/Corvalint/Main.qml")));
        if (loaded->engine->rootObjects().isEmpty())
            return loaded;
        loaded->window = qobject_cast<QQuickWindow *>(loaded->engine->rootObjects().first());
        loaded->dashboard = loaded->window->findChild<QQuickItem *>(QStringLiteral("dashboard"));
        return loaded;
    }

    static QQuickItem *child(QQuickItem *root, const char *name)
    {
        return root->findChild<QQuickItem *>(QString::fromLatin1(name));
    }

private slots:
    void mainWindowLoadsWithoutErrors()
    {
        ViewsFixture fixture;
        fixture.addWorkspace("Wide", "Design", 3, 2, true);
        const auto loaded = load();
        QVERIFY(loaded->window);
        QVERIFY(loaded->dashboard);
        QCOMPARE(loaded->window->title(), QStringLiteral("Corvalint"));
        QCOMPARE(loaded->window->minimumSize(), QSize(900, 600));
        QVERIFY(QTest::qWaitForWindowExposed(loaded->window));
        QVERIFY2(loaded->warnings.isEmpty(), qPrintable(loaded->warnings.join('\n')));
    }

    void emptyDashboardShowsTheEmptyState()
    {
        ViewsFixture fixture;
        const auto loaded = load();
        QVERIFY(loaded->dashboard);
        QVERIFY(child(loaded->dashboard, "emptyState")->isVisible());
        QCOMPARE(loaded->dashboard->property("favoritesGrid").value<QQuickItem *>()->parentItem()->isVisible(), false);
    }

    void createButtonFollowsTheTrimmedName()
    {
        ViewsFixture fixture;
        const auto loaded = load();
        QVERIFY(loaded->dashboard);
        auto *sheet = loaded->dashboard->property("creation").value<CreationSheetController *>();
        QVERIFY(sheet);
        sheet->open();
        QQuickItem *create = nullptr;
        QTRY_VERIFY((create = loaded->window->findChild<QQuickItem *>("createButton")));
        QVERIFY(!create->isEnabled());
        sheet->setName(QStringLiteral(" \t "));
        QVERIFY(!create->isEnabled());
        sheet->setName(QStringLiteral(" Coding"));
        QVERIFY(create->isEnabled());
    }

    void selectionSwitchesTheDetailArea()
    {
        ViewsFixture fixture;
        Workspace *workspace = fixture.addWorkspace("Shown", "Office", 2);
        const auto loaded = load();
        QVERIFY(loaded->dashboard);
        auto *navigation = loaded->window->findChild<NavigationController *>();
        QVERIFY(navigation);
        navigation->showWorkspace(workspace);
        QTRY_VERIFY(!loaded->window->findChild<QQuickItem *>(QStringLiteral("dashboard")));
        navigation->showSettings();
        navigation->deleteWorkspace(workspace);
        navigation->showDashboard();
        QTRY_VERIFY(loaded->window->findChild<QQuickItem *>(QStringLiteral("dashboard")));
        QVERIFY2(loaded->warnings.isEmpty(), qPrintable(loaded->warnings.join('\n')));
    }

    void thousandWorkspacesBuildOnlyVisibleCards()
    {
        ViewsFixture fixture;
        for (int i = 0; i < 1000; ++i)
            fixture.addWorkspace(QStringLiteral("Workspace %1").arg(i), "Office", 2, 1, i % 100 == 0, i);
        const auto loaded = load();
        QVERIFY(loaded->dashboard);
        QVERIFY(QTest::qWaitForWindowExposed(loaded->window));
        auto *grid = loaded->dashboard->property("allGrid").value<QQuickItem *>();
        QVERIFY(grid);
        QTRY_VERIFY(grid->property("builtCards").toInt() > 0);
        const int visibleRows = grid->property("rows").toInt();
        QCOMPARE(visibleRows, 334); // 1000 cards in 3 columns beside the sidebar at 1100 points
        QVERIFY2(grid->property("builtCards").toInt() <= 24, qPrintable(grid->property("builtCards").toString()));

        // Scrolling far down still builds only what is on screen.
        auto *page = loaded->dashboard->property("page").value<QQuickItem *>();
        page->setProperty("contentY", 20000);
        QTRY_VERIFY(grid->property("builtCards").toInt() > 0);
        QVERIFY2(grid->property("builtCards").toInt() <= 24, qPrintable(grid->property("builtCards").toString()));
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
