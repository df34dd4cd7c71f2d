// The tray menu as GNOME Shell's top-bar button: the items as the extension takes them, each chosen item reaching
// the tray's own actions (and nothing else reaching them), and no tray icon beside the button.
#include "app/gnometopbarmenu.h"
#include "app/traymenu.h"
#include "model/workspacestore.h"
#include "platform/gnome/gnomeshellclient.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

class TestGnomeTopBarMenu : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<WorkspaceStore> m_store;
    int m_launches = 0;
    int m_opened = 0;
    int m_quits = 0;

    std::unique_ptr<TrayMenu> makeTrayMenu()
    {
        TrayMenu::Actions actions;
        actions.launch = [this](const QList<EntryData> &, bool, bool) { ++m_launches; };
        actions.screenCount = [] { return 2; };
        actions.openMainWindow = [this] { ++m_opened; };
        actions.quit = [this] { ++m_quits; };
        actions.menuShownElsewhere = [] { return true; };
        return std::make_unique<TrayMenu>(*m_store, std::move(actions));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QString error;
        m_store = WorkspaceStore::open(m_dir.path(), &error);
        QVERIFY2(m_store, qPrintable(error));
        auto *workspace = new Workspace(
            QStringLiteral("Arbeit"), QStringLiteral("briefcase.fill"), QStringLiteral("Development"), false, true);
        EntryData entry;
        entry.appBundleIdentifier = QStringLiteral("org.example.Editor");
        entry.monitorID = QStringLiteral("A");
        workspace->appendEntry(entry);
        m_store->insert(workspace);
        QVERIFY(m_store->save());
    }

    void itemsAsTheExtensionTakesThem()
    {
        const QList<StatusMenuItem> items = statusMenuContent(m_store->fetchSummaries(), 2);
        const QJsonObject menu = QJsonDocument::fromJson(gnomeTopBarMenuJson(items)).object();
        const QJsonArray list = menu.value(QLatin1String("items")).toArray();
        QCOMPARE(list.size(), items.size());
        QStringList kinds;
        for (const QJsonValue &item : list)
            kinds << item.toObject().value(QLatin1String("kind")).toString();
        QCOMPARE(kinds, QStringList({ "header", "separator", "workspace", "separator", "open", "quit" }));
        QCOMPARE(list[0].toObject().value(QLatin1String("title")).toString(), QStringLiteral("Corvalint Workspaces"));
        const QJsonObject workspace = list[2].toObject();
        QVERIFY(workspace.value(QLatin1String("action")).toString().startsWith(QLatin1String("workspace:")));
        QCOMPARE(
            workspace.value(QLatin1String("title")).toString(), QStringLiteral("Arbeit (⚠️ Erfordert 1 Monitore)"));
        QVERIFY(!workspace.value(QLatin1String("glyph")).toString().isEmpty());
        QCOMPARE(list[4].toObject().value(QLatin1String("title")).toString(), QStringLiteral("Corvalint öffnen"));
        QCOMPARE(list[4].toObject().value(QLatin1String("action")).toString(), QStringLiteral("open"));
        QCOMPARE(list[5].toObject().value(QLatin1String("action")).toString(), QStringLiteral("quit"));
        QVERIFY(!list[0].toObject().contains(QLatin1String("action")));
    }

    void chosenItemsReachTheTraysActionsAndNothingElseDoes()
    {
        auto trayMenu = makeTrayMenu();
        trayMenu->setupStatusItem();
        QVERIFY2(!trayMenu->statusItem(), "a tray icon beside the top-bar button");

        // No bus here: sending fails quietly, choosing still works.
        GnomeShellClient client(QDBusConnection(QStringLiteral("no bus")), false);
        GnomeTopBarMenu menu(client, *trayMenu, *m_store, [] { return 2; });
        const QJsonObject sent
            = QJsonDocument::fromJson(gnomeTopBarMenuJson(statusMenuContent(m_store->fetchSummaries(), 2))).object();
        const QString workspaceAction
            = sent.value(QLatin1String("items")).toArray()[2].toObject().value(QLatin1String("action")).toString();

        for (const QString &stray :
            { QStringLiteral(""), QStringLiteral("workspace:"), QStringLiteral("workspace:not-a-uuid"),
                QStringLiteral("workspace:00000000-0000-0000-0000-000000000001"), QStringLiteral("OPEN"),
                QStringLiteral("quit now") })
            emit client.menuActivated(stray);
        QCOMPARE(m_launches + m_opened + m_quits, 0);

        emit client.menuActivated(workspaceAction);
        QTRY_COMPARE(m_launches, 1);
        emit client.menuActivated(QStringLiteral("open"));
        QCOMPARE(m_opened, 1);
        emit client.menuActivated(QStringLiteral("quit"));
        QCOMPARE(m_quits, 1);
    }
};

QTEST_MAIN(TestGnomeTopBarMenu)
#include "tst_gnometopbarmenu.moc"
