// The tray menu's content as data: order, texts, enabled states, warnings.
#include "app/traymenucontent.h"

#include <QTest>

namespace {

using Kind = StatusMenuItem::Kind;

EntryData entryOn(const std::optional<QString> &monitor)
{
    EntryData entry;
    entry.appBundleIdentifier = QStringLiteral("org.example.App");
    entry.monitorID = monitor;
    return entry;
}

WorkspaceSummary workspace(const QString &name, const QList<std::optional<QString>> &monitors)
{
    WorkspaceData data;
    data.name = name;
    data.icon = QStringLiteral("terminal.fill");
    for (const auto &monitor : monitors)
        data.entries << entryOn(monitor);
    return WorkspaceSummary::of(data);
}

QList<Kind> kinds(const QList<StatusMenuItem> &items)
{
    QList<Kind> result;
    for (const StatusMenuItem &item : items)
        result << item.kind;
    return result;
}

} // namespace

class TestTrayMenuContent : public QObject
{
    Q_OBJECT

private slots:
    void emptyStoreShowsTheDisabledNote()
    {
        const auto items = statusMenuContent(QList<WorkspaceSummary> {}, 1);
        QCOMPARE(kinds(items),
            (QList<Kind> {
                Kind::header, Kind::separator, Kind::emptyNote, Kind::separator, Kind::openMainWindow, Kind::quit }));
        QCOMPARE(items[0].title, QStringLiteral("Corvalint Workspaces"));
        QVERIFY(!items[0].enabled);
        QCOMPARE(items[2].title, QStringLiteral("Keine Workspaces vorhanden"));
        QVERIFY(!items[2].enabled);
        QCOMPARE(items[4].title, QStringLiteral("Corvalint öffnen"));
        QVERIFY(items[4].enabled);
        QCOMPARE(items[4].shortcut, QKeySequence(Qt::CTRL | Qt::Key_O));
        QCOMPARE(items[5].title, QStringLiteral("Beenden"));
        QVERIFY(items[5].enabled);
        QCOMPARE(items[5].shortcut, QKeySequence(Qt::CTRL | Qt::Key_Q));
    }

    void failedReadShowsNeitherItemsNorNote()
    {
        const auto items = statusMenuContent(std::nullopt, 1);
        QCOMPARE(kinds(items),
            (QList<Kind> { Kind::header, Kind::separator, Kind::separator, Kind::openMainWindow, Kind::quit }));
    }

    void workspacesKeepTheReadOrderNewestFirst()
    {
        const QList<WorkspaceSummary> newestFirst { workspace(QStringLiteral("Neu"), {}),
            workspace(QStringLiteral("Alt"), {}) };
        const auto items = statusMenuContent(newestFirst, 1);
        QCOMPARE(kinds(items),
            (QList<Kind> { Kind::header, Kind::separator, Kind::workspace, Kind::workspace, Kind::separator,
                Kind::openMainWindow, Kind::quit }));
        QCOMPARE(items[2].title, QStringLiteral("Neu"));
        QCOMPARE(items[3].title, QStringLiteral("Alt"));
        QCOMPARE(items[2].workspaceId, newestFirst[0].id);
        QCOMPARE(items[3].workspaceId, newestFirst[1].id);
        QVERIFY(items[2].enabled);
        QCOMPARE(items[2].symbol, QStringLiteral("terminal.fill"));
    }

    void workspaceNeedingMoreMonitorsIsWarned()
    {
        const auto items = statusMenuContent(
            QList<WorkspaceSummary> { workspace(QStringLiteral("Dual"), { QStringLiteral("A"), QStringLiteral("B") }) },
            1);
        QCOMPARE(items[2].title, QStringLiteral("Dual (⚠️ Erfordert 2 Monitore)"));
    }

    void workspaceNeedingFewerMonitorsIsWarnedWithThePluralKept()
    {
        const auto items
            = statusMenuContent(QList<WorkspaceSummary> { workspace(QStringLiteral("Solo"), { std::nullopt }) }, 2);
        QCOMPARE(items[2].title, QStringLiteral("Solo (⚠️ Erfordert 1 Monitore)"));
    }

    void matchingMonitorCountShowsThePlainName()
    {
        const auto items = statusMenuContent(
            QList<WorkspaceSummary> {
                workspace(QStringLiteral("Zwei"), { QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("A") }),
                workspace(QStringLiteral("Leer"), {}) },
            2);
        QCOMPARE(items[2].title, QStringLiteral("Zwei"));
        QCOMPARE(items[3].title, QStringLiteral("Leer (⚠️ Erfordert 1 Monitore)"));
    }

    void titleFormatIsExact()
    {
        QCOMPARE(
            statusMenuWorkspaceTitle(QStringLiteral("X"), 3, 1), QStringLiteral("X (⚠️ Erfordert 3 Monitore)"));
        QCOMPARE(statusMenuWorkspaceTitle(QStringLiteral("X"), 1, 1), QStringLiteral("X"));
    }
};

QTEST_GUILESS_MAIN(TestTrayMenuContent)
#include "tst_traymenucontent.moc"
