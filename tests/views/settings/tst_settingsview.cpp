// The settings page as the main window shows it: it loads without QML
// warnings, swaps the "Aktiv" badge and the button as window control comes and
// goes, and its fields and switches reach the controller and the settings.
#include "navigationcontroller.h"
#include "settingscontroller.h"
#include "viewsfixture.h"

#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(CorvalintPlugin)

namespace {

struct LoadedWindow {
    std::unique_ptr<QQmlApplicationEngine> engine;
    QQuickWindow *window = nullptr;
    NavigationController *navigation = nullptr;
    QStringList warnings;

    QQuickItem *page() const { return window->contentItem()->findChild<QQuickItem *>(QStringLiteral("settings")); }
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
    loaded->engine->load(QUrl(QStringLiteral("qrc:/Corvalint/Main.qml")));
    if (loaded->engine->rootObjects().isEmpty())
        return loaded;
    loaded->window = qobject_cast<QQuickWindow *>(loaded->engine->rootObjects().first());
    loaded->navigation = loaded->window->findChild<NavigationController *>();
    if (loaded->navigation)
        loaded->navigation->showSettings();
    return loaded;
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
        QVERIFY(QTest::qWaitForWindowExposed(loaded->window));
        QObject *help = loaded->page()->findChild<QObject *>(QStringLiteral("windowControlHelp"));
        QVERIFY(help);
        QVERIFY(!help->property("opened").toBool());

        QMetaObject::invokeMethod(loaded->item("openSystemSettingsButton"), "click");
        QTRY_VERIFY(help->property("opened").toBool());
        QMetaObject::invokeMethod(help, "close");
        QTRY_VERIFY(!loaded->controller()->showingWindowControlHelp());
    }

    void hotkeyFieldShowsThePromptWhileRecording()
    {
        ViewsFixture fixture;
        const auto loaded = loadSettings();
        QQuickItem *field = loaded->item("hotkeyField");
        QVERIFY(field);
        QCOMPARE(field->property("text").toString(), QStringLiteral("⌥⌘D"));
        QMetaObject::invokeMethod(field, "click");
        QCOMPARE(field->property("text").toString(), QStringLiteral("Tastenkombination drücken..."));
        QMetaObject::invokeMethod(field, "click");
        QCOMPARE(field->property("text").toString(), QStringLiteral("⌥⌘D"));
    }

    void dockCheckBoxStoresTheSetting()
    {
        ViewsFixture fixture;
        const auto loaded = loadSettings();
        QQuickItem *box = loaded->item("dockCheckBox");
        QVERIFY(box);
        QVERIFY(box->property("checked").toBool());
        QMetaObject::invokeMethod(box, "click");
        QVERIFY(!box->property("checked").toBool());
        QCOMPARE(fixture.settings->value(QStringLiteral("showDockIcon")), QVariant(false));
        QMetaObject::invokeMethod(box, "click");
        QCOMPARE(fixture.settings->value(QStringLiteral("showDockIcon")), QVariant(true));
    }

    void cloudCheckBoxIsUncheckedAfterComingBack()
    {
        ViewsFixture fixture;
        const auto loaded = loadSettings();
        QQuickItem *box = loaded->item("icloudCheckBox");
        QVERIFY(box);
        QMetaObject::invokeMethod(box, "click");
        QVERIFY(loaded->controller()->icloudSyncEnabled());

        loaded->navigation->showDashboard();
        QTRY_VERIFY(!loaded->page());
        loaded->navigation->showSettings();
        QTRY_VERIFY(loaded->page());
        QVERIFY(!loaded->controller()->icloudSyncEnabled());
        QVERIFY(!loaded->item("icloudCheckBox")->property("checked").toBool());
    }
};

QTEST_MAIN(SettingsViewTest)
#include "tst_settingsview.moc"
