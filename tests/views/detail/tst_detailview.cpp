// The detail view as the main window shows it: it loads without QML errors, lists the
// entries by id text, follows the screens, and opens the edit sheet.
#include "detailfixture.h"

#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(CorvalintPlugin)
Q_IMPORT_QML_PLUGIN(Corvalint_ThemePlugin)

using namespace detailfixture;

namespace {

QList<QQuickItem *> itemsNamed(QQuickItem *parent, const QString &objectName)
{
    QList<QQuickItem *> found;
    for (QQuickItem *child : parent->childItems()) {
        if (child->objectName() == objectName)
            found.append(child);
        found += itemsNamed(child, objectName);
    }
    return found;
}

QStringList texts(QQuickItem *root, const QString &objectName)
{
    QStringList list;
    for (const QQuickItem *item : itemsNamed(root, objectName)) {
        if (item->isVisible())
            list.append(item->property("text").toString());
    }
    return list;
}

EntryData withId(EntryData entry, const char *uuid)
{
    entry.id = QUuid::fromString(QLatin1String(uuid));
    return entry;
}

/// The main window on the fixture's services, with the fixture's workspace selected.
struct ShownDetail {
    QQmlApplicationEngine engine;
    QStringList warnings;
    QQuickWindow *window = nullptr;
    DetailController *controller = nullptr;

    explicit ShownDetail(DetailFixture &f, Workspace *workspace)
    {
        ViewServices::setInstance(f.services.get());
        QObject::connect(&engine, &QQmlEngine::warnings, [this](const QList<QQmlError> &list) {
            for (const QQmlError &error : list)
                warnings.append(error.toString());
        });
        engine.load(QUrl(QStringLiteral("qrc:/Corvalint/Main.qml")));
        if (engine.rootObjects().isEmpty())
            return;
        window = qobject_cast<QQuickWindow *>(engine.rootObjects().first());
        auto *navigation = window->findChild<NavigationController *>();
        navigation->showWorkspace(workspace);
        controller = window->findChild<DetailController *>();
    }
};

} // namespace

class TestDetailView : public QObject
{
    Q_OBJECT

private slots:
    void detailViewLoadsWithoutErrors()
    {
        DetailFixture f;
        Workspace *workspace = f.show({ application(QStringLiteral("com.apple.Safari"), leftUUID) });
        ShownDetail shown(f, workspace);
        QVERIFY(shown.window);
        QVERIFY(shown.controller);
        QCOMPARE(shown.warnings, QStringList());
        QCOMPARE(texts(shown.window->contentItem(), QStringLiteral("workspaceName")), QStringList { "Studio" });
        QCOMPARE(texts(shown.window->contentItem(), QStringLiteral("workspaceSummary")),
            QStringList { "Development \u2022 1 Elemente" });
    }

    void rowsFollowTheIdOrderAndShowTheirMonitor()
    {
        DetailFixture f;
        Workspace *workspace = f.show({ withId(application(QStringLiteral("com.google.Chrome"), rightUUID),
                                            "b0000000-0000-0000-0000-000000000000"),
            withId(
                application(QStringLiteral("com.apple.Safari"), leftUUID), "a0000000-0000-0000-0000-000000000000") });
        ShownDetail shown(f, workspace);
        QVERIFY(shown.window);
        QQuickItem *root = shown.window->contentItem();
        QCOMPARE(texts(root, QStringLiteral("entryTitle")), (QStringList { "Safari", "Chrome" }));
        QCOMPARE(texts(root, QStringLiteral("monitorLabel")), (QStringList { "Bildschirm 1", "Bildschirm 2" }));
        QCOMPARE(texts(root, QStringLiteral("monitorMessage")), QStringList { "Konfiguration optimal" });

        // Unplugging the right monitor changes the badge and the row at once.
        f.desktop.setScreens({ leftScreen() });
        QCOMPARE(
            texts(root, QStringLiteral("monitorLabel")), (QStringList { "Bildschirm 1", "Unbekannter Bildschirm" }));
        QCOMPARE(texts(root, QStringLiteral("monitorMessage")),
            QStringList { "Bildschirm-Anzahl weicht ab (Erforderlich: 2, Aktuell: 1)" });
        QVERIFY(itemsNamed(root, QStringLiteral("emptyEntries")).first()->isVisible() == false);
    }

    void emptyWorkspaceShowsTheEmptyState()
    {
        DetailFixture f;
        ShownDetail shown(f, f.show({}));
        QVERIFY(shown.window);
        QVERIFY(itemsNamed(shown.window->contentItem(), QStringLiteral("emptyEntries")).first()->isVisible());
    }

    void headerButtonsStayInsideTheWindowWithTheLongestBadge_data()
    {
        QTest::addColumn<int>("width");
        QTest::newRow("minimum width") << 900;
        QTest::newRow("default width") << 1100;
        QTest::newRow("wide") << 1600;
    }

    void headerButtonsStayInsideTheWindowWithTheLongestBadge()
    {
        QFETCH(int, width);
        DetailFixture f;
        // Three monitors wanted, two here: the longest message the badge shows.
        EntryData third
            = application(QStringLiteral("com.example.Third"), QStringLiteral("33333333-3333-3333-3333-333333333333"));
        ShownDetail shown(f,
            f.show({ application(QStringLiteral("com.apple.Safari"), leftUUID),
                application(QStringLiteral("com.google.Chrome"), rightUUID), third }));
        QVERIFY(shown.window);
        shown.window->resize(width, 760);
        QQuickItem *root = shown.window->contentItem();
        QVERIFY(texts(root, QStringLiteral("monitorMessage")).value(0).startsWith(QStringLiteral("Bildschirm-Anzahl")));
        for (const char *name : { "launchButton", "previewButton", "editButton", "monitorStatusBadge" }) {
            QQuickItem *item = itemsNamed(root, QLatin1String(name)).value(0);
            QVERIFY2(item, name);
            QTRY_VERIFY2(item->mapToScene(QPointF(item->width(), item->height())).x() <= width,
                qPrintable(QStringLiteral("%1 ends at %2 of %3")
                               .arg(QLatin1String(name))
                               .arg(item->mapToScene(QPointF(item->width(), 0)).x())
                               .arg(width)));
            QVERIFY(item->width() > 0);
        }
        // Wide enough, the buttons stand beside the name; otherwise on a line of their own below it.
        QQuickItem *launch = itemsNamed(root, QStringLiteral("launchButton")).value(0);
        QQuickItem *name = itemsNamed(root, QStringLiteral("workspaceName")).value(0);
        const auto besideName
            = [&] { return launch->mapToScene(QPointF(0, 0)).y() < name->mapToScene(QPointF(0, name->height())).y(); };
        QTRY_COMPARE(besideName(), width >= 1600);
    }

    void editButtonOpensTheSheetWithTheWorkspaceName()
    {
        DetailFixture f;
        ShownDetail shown(f, f.show({}));
        QVERIFY(shown.window);
        QQuickItem *edit = itemsNamed(shown.window->contentItem(), QStringLiteral("editButton")).value(0);
        QVERIFY(edit);
        QMetaObject::invokeMethod(edit, "clicked");
        QVERIFY(shown.controller->showingEditSheet());
        QTRY_VERIFY(!itemsNamed(shown.window->contentItem(), QStringLiteral("editNameField")).isEmpty());
        QQuickItem *field = itemsNamed(shown.window->contentItem(), QStringLiteral("editNameField")).first();
        QCOMPARE(field->property("text").toString(), QStringLiteral("Studio"));
    }
};

QTEST_MAIN(TestDetailView)
#include "tst_detailview.moc"
