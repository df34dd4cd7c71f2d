// The settings page as the main window holds it: it loads without QML
// warnings, swaps the "Aktiv" badge and the button as window control comes and
// goes, and its fields and switches reach the controller and the settings.
#include "model/sync/foldersynccontrol.h"
#include "settingscontroller.h"
#include "viewsfixture.h"

#include <QFile>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(CorvalintPlugin)
Q_IMPORT_QML_PLUGIN(Corvalint_ThemePlugin)

namespace {

// The page in a window of its own, inside a Loader as the main window holds
// it, so that leaving and coming back can be played without the sidebar.
constexpr char harness[] = R"(
import QtQuick
import QtQuick.Controls.Basic
import Corvalint
import Corvalint.Theme

ApplicationWindow {
    width: 1100
    height: 900
    visible: true
    color: Theme.windowTop
    Loader {
        objectName: "loader"
        anchors.fill: parent
        sourceComponent: Component { SettingsView {} }
    }
}
)";

struct LoadedWindow {
    std::unique_ptr<QQmlApplicationEngine> engine;
    QQuickWindow *window = nullptr;
    QStringList warnings;

    QQuickItem *page() const { return window->findChild<QQuickItem *>(QStringLiteral("settings")); }
    QQuickItem *loader() const { return window->findChild<QQuickItem *>(QStringLiteral("loader")); }
    SettingsController *controller() const
    {
        QQuickItem *settings = page();
        return settings ? settings->property("controller").value<SettingsController *>() : nullptr;
    }
    QQuickItem *item(const char *name) const { return page()->findChild<QQuickItem *>(QString::fromLatin1(name)); }
};

std::unique_ptr<LoadedWindow> loadSettings()
{
    auto loaded = std::make_unique<LoadedWindow>();
    loaded->engine = std::make_unique<QQmlApplicationEngine>();
    QObject::connect(loaded->engine.get(), &QQmlEngine::warnings, [raw = loaded.get()](const QList<QQmlError> &list) {
        for (const QQmlError &error : list)
            raw->warnings.append(error.toString());
    });
    // The module's QML files live under qrc:/Corvalint/.
    loaded->engine->addImportPath(QStringLiteral("qrc:/"));
    loaded->engine->loadData(harness);
    if (loaded->engine->rootObjects().isEmpty())
        return loaded;
    loaded->window = qobject_cast<QQuickWindow *>(loaded->engine->rootObjects().first());
    return loaded;
}

// A real press and release in the middle of `item`, which must be on screen.
bool click(QQuickWindow *window, QQuickItem *item)
{
    if (!item || !item->isVisible())
        return false;
    const QPoint centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
    if (!QRect(QPoint(0, 0), window->size()).contains(centre))
        return false;
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, centre);
    return true;
}

} // namespace

class SettingsViewTest : public QObject
{
    Q_OBJECT

private slots:
    void pageLoadsWithoutWarningsAndPollsWhileShown()
    {
        ViewsFixture fixture;
        const auto loaded = loadSettings();
        QVERIFY(loaded->window);
        QVERIFY(QTest::qWaitForWindowExposed(loaded->window));
        QVERIFY(loaded->page());
        SettingsController *controller = loaded->controller();
        QVERIFY(controller);
        QVERIFY(controller->active());
        QVERIFY(controller->isRefreshing());
        QVERIFY2(loaded->warnings.isEmpty(), qPrintable(loaded->warnings.join('\n')));

        // A closed main window is no page on screen.
        loaded->window->hide();
        QTRY_VERIFY(!controller->isRefreshing());
        loaded->window->show();
        QTRY_VERIFY(controller->isRefreshing());
    }

    void badgeAndButtonFollowWindowControl()
    {
        ViewsFixture fixture;
        fixture.desktop.setTrusted(false);
        const auto loaded = loadSettings();
        QVERIFY(loaded->window);
        QVERIFY(QTest::qWaitForWindowExposed(loaded->window));
        QQuickItem *badge = loaded->item("activeBadge");
        QQuickItem *button = loaded->item("openSystemSettingsButton");
        QQuickItem *symbol = loaded->item("trustSymbol");
        QVERIFY(badge && button && symbol);
        QVERIFY(!badge->isVisible());
        QVERIFY(button->isVisible());

        fixture.desktop.setTrusted(true);
        QTRY_VERIFY_WITH_TIMEOUT(badge->isVisible(), 3000);
        QVERIFY(!button->isVisible());
        QCOMPARE(symbol->property("name").toString(), QStringLiteral("shield.checkered"));

        fixture.desktop.setTrusted(false);
        QTRY_VERIFY_WITH_TIMEOUT(button->isVisible(), 3000);
        QCOMPARE(symbol->property("name").toString(), QStringLiteral("shield.slash.fill"));
    }

    void systemSettingsButtonOpensTheHelp()
    {
        ViewsFixture fixture;
        fixture.desktop.setTrusted(false);
        const auto loaded = loadSettings();
        QVERIFY(loaded->window);
        QVERIFY(QTest::qWaitForWindowExposed(loaded->window));
        QObject *help = loaded->page()->findChild<QObject *>(QStringLiteral("windowControlHelp"));
        QVERIFY(help);
        QVERIFY(!help->property("opened").toBool());

        QVERIFY(click(loaded->window, loaded->item("openSystemSettingsButton")));
        QTRY_VERIFY(help->property("opened").toBool());
        QMetaObject::invokeMethod(help, "close");
        QTRY_VERIFY(!loaded->controller()->showingWindowControlHelp());
    }

    void hotkeyFieldShowsThePromptWhileRecording()
    {
        ViewsFixture fixture;
        const auto loaded = loadSettings();
        QVERIFY(loaded->window && loaded->page());
        QVERIFY(QTest::qWaitForWindowExposed(loaded->window));
        QQuickItem *field = loaded->item("hotkeyField");
        QVERIFY(field);
        QCOMPARE(field->property("text").toString(), QStringLiteral("Super+Alt+D"));
        QVERIFY(click(loaded->window, field));
        QCOMPARE(field->property("text").toString(), QStringLiteral("Tastenkombination drücken..."));
        QVERIFY(click(loaded->window, field));
        QCOMPARE(field->property("text").toString(), QStringLiteral("Super+Alt+D"));
    }

    void dockCheckBoxStoresTheSetting()
    {
        ViewsFixture fixture;
        const auto loaded = loadSettings();
        QVERIFY(loaded->window && loaded->page());
        QVERIFY(QTest::qWaitForWindowExposed(loaded->window));
        QQuickItem *box = loaded->item("dockCheckBox");
        QVERIFY(box);
        QVERIFY(box->property("checked").toBool());
        QVERIFY(click(loaded->window, box));
        QVERIFY(!box->property("checked").toBool());
        QCOMPARE(fixture.settings->value(QStringLiteral("showDockIcon")), QVariant(false));
        QVERIFY(click(loaded->window, box));
        QCOMPARE(fixture.settings->value(QStringLiteral("showDockIcon")), QVariant(true));
    }

    void syncSwitchStartsTheFolderSyncAndStaysOnAfterComingBack()
    {
        ViewsFixture fixture;
        QTemporaryDir folder;
        FolderSyncControl control(*fixture.store, *fixture.settings, QStringLiteral("testrechner"));
        fixture.services->setFolderSync(&control);
        const auto loaded = loadSettings();
        QVERIFY(loaded->window && loaded->page());
        QVERIFY(QTest::qWaitForWindowExposed(loaded->window));
        QQuickItem *box = loaded->item("syncCheckBox");
        QVERIFY(box);
        QVERIFY(box->isEnabled());
        QVERIFY(!box->property("checked").toBool());
        QVERIFY(click(loaded->window, box));
        QVERIFY(control.enabled());
        QCOMPARE(fixture.settings->value(QStringLiteral("syncEnabled")), QVariant(true));
        // No folder yet: nothing runs, and the page says what is missing.
        QVERIFY(!control.running());
        QTRY_COMPARE(loaded->item("syncStatus")->property("text").toString(),
            QStringLiteral("Wähle einen Ordner, um zu synchronisieren."));
        control.setFolder(folder.path());
        QVERIFY(control.running());
        QVERIFY(QFile::exists(folder.filePath(QStringLiteral("Corvalint-testrechner.workspace"))));
        QTRY_COMPARE(loaded->item("syncFolderField")->property("text").toString(), folder.path());

        // A stored choice, unlike the page's own state, outlives the page.
        loaded->loader()->setProperty("active", false);
        QTRY_VERIFY(!loaded->page());
        loaded->loader()->setProperty("active", true);
        QTRY_VERIFY(loaded->page());
        QVERIFY(loaded->item("syncCheckBox")->property("checked").toBool());
        fixture.services->setFolderSync(nullptr);
    }
};

QTEST_MAIN(SettingsViewTest)
#include "tst_settingsview.moc"
