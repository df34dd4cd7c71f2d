// The settings page's state: the taskbar switch and its stored value, window
// control polled only while the page is shown, the hotkey field, the cloud
// switch starting afresh, and the help behind "Hilfe zur Fenstersteuerung öffnen".
#include "settingscontroller.h"
#include "showdockiconsetting.h"
#include "viewsfixture.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

class SettingsControllerTest : public QObject
{
    Q_OBJECT

private slots:
    void dockSwitchIsOnWhenNothingIsStored()
    {
        ViewsFixture fixture;
        SettingsController settings;
        settings.setServices(fixture.services.get());
        QVERIFY(!fixture.settings->contains(QStringLiteral("showDockIcon")));
        QVERIFY(settings.showDockIcon());
    }

    void uncheckingTheDockSwitchStoresFalseAndAnnouncesIt()
    {
        ViewsFixture fixture;
        SettingsController settings;
        settings.setServices(fixture.services.get());
        QSignalSpy announced(fixture.services.get(), &ViewServices::showDockIconChanged);
        QSignalSpy changed(&settings, &SettingsController::showDockIconChanged);

        settings.setShowDockIcon(false);

        QCOMPARE(announced.count(), 1);
        QCOMPARE(announced.at(0).at(0).toBool(), false);
        QCOMPARE(changed.count(), 1);
        QVERIFY(!settings.showDockIcon());
        const QVariant stored = fixture.settings->value(QStringLiteral("showDockIcon"));
        QCOMPARE(stored.typeId(), QMetaType::Bool);
        QCOMPARE(stored.toBool(), false);

        // Setting the same value again is no change to announce.
        settings.setShowDockIcon(false);
        QCOMPARE(announced.count(), 1);
    }

    void storedFalseIsStillOffAfterARestart()
    {
        ViewsFixture fixture;
        fixture.services->setShowDockIcon(false);
        // A new process reads the ini file, where the type is gone. A copy
        // under another name gets past QSettings' cache within this process.
        const QString file = fixture.dir.filePath(QStringLiteral("restarted.ini"));
        QVERIFY(QFile::copy(fixture.settings->fileName(), file));
        QSettings reread(file, QSettings::IniFormat);
        QCOMPARE(reread.value(QStringLiteral("showDockIcon")).typeId(), QMetaType::QString);
        ViewServices services(*fixture.store, *fixture.automation, fixture.desktop, reread);
        SettingsController settings;
        settings.setServices(&services);
        QVERIFY(!settings.showDockIcon());

        settings.setShowDockIcon(true);
        QSettings again(file, QSettings::IniFormat);
        QVERIFY(ViewServices(*fixture.store, *fixture.automation, fixture.desktop, again).showDockIcon());
    }

    void windowWaitIsStoredBoundedAndReachesTheAutomation()
    {
        ViewsFixture fixture;
        QCOMPARE(fixture.services->windowWaitSeconds(), 30);
        QSignalSpy changed(fixture.services.get(), &ViewServices::windowWaitSecondsChanged);
        fixture.services->setWindowWaitSeconds(90);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(fixture.settings->value(QStringLiteral("windowWaitSeconds")).toInt(), 90);
        QCOMPARE(fixture.automation->windowWaitSeconds(), 90.0);
        fixture.services->setWindowWaitSeconds(100000);
        QCOMPARE(fixture.services->windowWaitSeconds(), ViewServices::longestWindowWait);
        fixture.services->setWindowWaitSeconds(-3);
        QCOMPARE(fixture.automation->windowWaitSeconds(), double(ViewServices::shortestWindowWait));

        // The next start hands the stored value on; a value that is no number reads as the default.
        fixture.settings->setValue(QStringLiteral("windowWaitSeconds"), 45);
        ViewServices again(*fixture.store, *fixture.automation, fixture.desktop, *fixture.settings);
        QCOMPARE(fixture.automation->windowWaitSeconds(), 45.0);
        fixture.settings->setValue(QStringLiteral("windowWaitSeconds"), QStringLiteral("soon"));
        QCOMPARE(again.windowWaitSeconds(), 30);
    }

    void wronglyTypedValueReadsAsOn()
    {
        ViewsFixture fixture;
        SettingsController settings;
        settings.setServices(fixture.services.get());
        for (const QVariant &stray : { QVariant(QStringLiteral("no")), QVariant(QStringLiteral("0")), QVariant(0),
                 QVariant(QStringList { QStringLiteral("false") }) }) {
            fixture.settings->setValue(QStringLiteral("showDockIcon"), stray);
            QVERIFY2(settings.showDockIcon(), qPrintable(stray.toString()));
        }
    }

    void dockRuleAgreesWithTheStart()
    {
        QVERIFY(showDockIconFromSetting(QVariant()));
        QVERIFY(showDockIconFromSetting(true));
        QVERIFY(!showDockIconFromSetting(false));
        QVERIFY(showDockIconFromSetting(QStringLiteral("true")));
        QVERIFY(!showDockIconFromSetting(QStringLiteral("false")));
        QVERIFY(showDockIconFromSetting(QStringLiteral("False")));
        QVERIFY(showDockIconFromSetting(0));
    }

    void trustIsReadTheMomentThePageIsShown()
    {
        ViewsFixture fixture;
        SettingsController settings;
        settings.setServices(fixture.services.get());
        QVERIFY(!settings.isAccessibilityTrusted()); // nothing read before the page shows
        settings.setActive(true);
        QVERIFY(settings.isAccessibilityTrusted());
    }

    void trustFollowsThePlatformWithinATick()
    {
        ViewsFixture fixture;
        SettingsController settings;
        settings.setServices(fixture.services.get());
        settings.setActive(true);
        QVERIFY(settings.isAccessibilityTrusted());
        QSignalSpy changed(&settings, &SettingsController::isAccessibilityTrustedChanged);

        fixture.desktop.setTrusted(false); // the window manager went away
        QTRY_VERIFY_WITH_TIMEOUT(!settings.isAccessibilityTrusted(), 3000);
        fixture.desktop.setTrusted(true); // and came back
        QTRY_VERIFY_WITH_TIMEOUT(settings.isAccessibilityTrusted(), 3000);
        QCOMPARE(changed.count(), 2);
    }

    void timerRunsOnlyWhileThePageIsShown()
    {
        ViewsFixture fixture;
        SettingsController settings;
        settings.setServices(fixture.services.get());
        QVERIFY(!settings.isRefreshing());
        settings.setActive(true);
        QVERIFY(settings.isRefreshing());
        settings.setActive(false);
        QVERIFY(!settings.isRefreshing());

        // Hidden, a change on the desktop is not picked up; shown again, at once.
        fixture.desktop.setTrusted(false);
        QVERIFY(settings.isAccessibilityTrusted());
        settings.setActive(true);
        QVERIFY(!settings.isAccessibilityTrusted());
        QVERIFY(settings.isRefreshing());
    }

    void pressingTheHotkeyFieldTwiceShowsTheKeysAgain()
    {
        SettingsController settings;
        QCOMPARE(settings.hotkeyString(), QStringLiteral("Super+Alt+D"));
        QVERIFY(!settings.recordingHotkey());
        QSignalSpy changed(&settings, &SettingsController::recordingHotkeyChanged);
        settings.toggleRecordingHotkey();
        QVERIFY(settings.recordingHotkey());
        settings.toggleRecordingHotkey();
        QVERIFY(!settings.recordingHotkey());
        QCOMPARE(changed.count(), 2);
        QCOMPARE(settings.hotkeyString(), QStringLiteral("Super+Alt+D"));
    }

    void reenteringThePageStartsAfresh()
    {
        ViewsFixture fixture;
        SettingsController settings;
        settings.setServices(fixture.services.get());
        settings.setActive(true);
        settings.setIcloudSyncEnabled(true);
        settings.toggleRecordingHotkey();
        settings.setShowDockIcon(false);

        settings.setActive(false);
        settings.setActive(true);

        QVERIFY(!settings.icloudSyncEnabled());
        QVERIFY(!settings.recordingHotkey());
        QVERIFY(!settings.showDockIcon()); // stored, so it stays
        QVERIFY(!fixture.settings->contains(QStringLiteral("icloudSyncEnabled")));
    }

    void openSystemSettingsExplainsAndLeavesTrustAlone()
    {
        ViewsFixture fixture;
        fixture.desktop.setTrusted(false);
        SettingsController settings;
        settings.setServices(fixture.services.get());
        settings.setActive(true);
        const int requestsBefore = fixture.desktop.requestCount();

        settings.openSystemSettings();

        QVERIFY(settings.showingWindowControlHelp());
        QVERIFY(!settings.isAccessibilityTrusted());
        QCOMPARE(fixture.desktop.requestCount(), requestsBefore); // nothing opened or launched
        const QString help = settings.windowControlHelpText();
        QVERIFY(help.contains(QStringLiteral("X11")));
        QVERIFY(help.contains(QStringLiteral("EWMH")));
        QVERIFY(help.contains(QStringLiteral("openbox"), Qt::CaseInsensitive));
    }
};

QTEST_GUILESS_MAIN(SettingsControllerTest)
#include "tst_settingscontroller.moc"
