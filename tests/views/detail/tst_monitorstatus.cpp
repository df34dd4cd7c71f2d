// The monitor check of the detail view: its three outcomes, and the badge following
// screens that are plugged in or out while the view is open.
#include "detailfixture.h"
#include "monitorstatus.h"

#include <QSignalSpy>
#include <QTest>

using namespace detailfixture;

class TestMonitorStatus : public QObject
{
    Q_OBJECT

private slots:
    void twoRequiredOnOneScreenWarnsWithBothCounts()
    {
        const MonitorConfigStatus status = monitorStatus({ leftUUID, rightUUID }, { leftUUID });
        QCOMPARE(status.message, QStringLiteral("Bildschirm-Anzahl weicht ab (Erforderlich: 2, Aktuell: 1)"));
        QVERIFY(status.isWarning);
        QVERIFY(!status.isMatching);
        QCOMPARE(status.requiredCount, 2);
        QCOMPARE(status.connectedCount, 1);
    }

    void sameCountAndSameMonitorsIsOptimal()
    {
        const MonitorConfigStatus status = monitorStatus({ rightUUID, leftUUID, rightUUID }, { leftUUID, rightUUID });
        QCOMPARE(status.message, QStringLiteral("Konfiguration optimal"));
        QVERIFY(!status.isWarning);
        QVERIFY(status.isMatching);
    }

    void sameCountButOtherMonitorWarns()
    {
        const MonitorConfigStatus status = monitorStatus({ leftUUID, thirdUUID }, { leftUUID, rightUUID });
        QCOMPARE(status.message, QStringLiteral("Bildschirme weichen ab (gleiche Anzahl)"));
        QVERIFY(status.isWarning);
        QVERIFY(status.isMatching);
    }

    void noMonitorIdentifiersNeedOneScreen()
    {
        const MonitorConfigStatus status = monitorStatus({ std::nullopt, std::nullopt }, { leftUUID });
        QCOMPARE(status.requiredCount, 1);
        QCOMPARE(status.message, QStringLiteral("Konfiguration optimal"));
    }

    void emptyWorkspaceOnTwoScreensWarns()
    {
        const MonitorConfigStatus status = monitorStatus({}, { leftUUID, rightUUID });
        QCOMPARE(status.message, QStringLiteral("Bildschirm-Anzahl weicht ab (Erforderlich: 1, Aktuell: 2)"));
    }

    void screenWithoutIdentifierCountsButMatchesNothing()
    {
        const MonitorConfigStatus status = monitorStatus({ leftUUID, rightUUID }, { leftUUID, std::nullopt });
        QCOMPARE(status.connectedCount, 2);
        QCOMPARE(status.message, QStringLiteral("Bildschirme weichen ab (gleiche Anzahl)"));
    }

    void badgeFollowsScreenRemovedAndAddedAgain()
    {
        DetailFixture f;
        f.show({ application(QStringLiteral("com.apple.Safari"), leftUUID),
            application(QStringLiteral("com.google.Chrome"), rightUUID) });
        QCOMPARE(f.controller.monitorMessage(), QStringLiteral("Konfiguration optimal"));
        QCOMPARE(f.controller.screenCount(), 2);

        QSignalSpy changed(&f.controller, &DetailController::monitorStatusChanged);
        f.desktop.setScreens({ leftScreen() });
        QCOMPARE(changed.size(), 1);
        QCOMPARE(f.controller.screenCount(), 1);
        QCOMPARE(
            f.controller.monitorMessage(), QStringLiteral("Bildschirm-Anzahl weicht ab (Erforderlich: 2, Aktuell: 1)"));
        QVERIFY(f.controller.monitorWarning());

        f.desktop.setScreens({ leftScreen(), SimScreen { 3, QRectF(1920, 0, 1280, 1024), thirdUUID } });
        QCOMPARE(f.controller.monitorMessage(), QStringLiteral("Bildschirme weichen ab (gleiche Anzahl)"));

        f.desktop.setScreens({ leftScreen(), rightScreen() });
        QCOMPARE(f.controller.monitorMessage(), QStringLiteral("Konfiguration optimal"));
        QVERIFY(!f.controller.monitorWarning());
    }

    void badgeFollowsAnEntryMovedToAnotherMonitor()
    {
        DetailFixture f;
        Workspace *workspace = f.show({ application(QStringLiteral("com.apple.Safari"), leftUUID) });
        f.desktop.setScreens({ leftScreen() });
        QCOMPARE(f.controller.monitorMessage(), QStringLiteral("Konfiguration optimal"));
        workspace->entries().first()->setMonitorID(rightUUID);
        QCOMPARE(f.controller.monitorMessage(), QStringLiteral("Bildschirme weichen ab (gleiche Anzahl)"));
    }
};

QTEST_MAIN(TestMonitorStatus)
#include "tst_monitorstatus.moc"
