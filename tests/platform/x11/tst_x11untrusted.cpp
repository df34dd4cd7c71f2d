// The X11 desktop without a window manager, and after its X server went away: nothing listed, nothing crashes.
#include "desktopfixture.h"
#include "platform/x11/x11desktop.h"
#include "snapshotlookup.h"

#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTest>

class TestX11Untrusted : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { DesktopFixture::prepareEnvironment(); }

    void noWindowManagerMeansNoWindows()
    {
        DesktopFixture fixture;
        fixture.clearDesktop();
        QString error;
        auto desktop = X11Desktop::connect(QString(), &error);
        QVERIFY2(desktop, qPrintable(error));
        QProcess *client = fixture.startClient({ "--title", "Orphan" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsWithPid(desktop->snapshot(), client->processId()).size(), 1, 5000);
        const WindowId window = windowsWithPid(desktop->snapshot(), client->processId()).front().id;

        QVERIFY(DesktopFixture::desktopCommand(QStringLiteral("wm-stop")));
        QTRY_VERIFY(!desktop->canControlWindows());
        // Whatever is still listed comes without windows, as unknown rather than none.
        for (const DesktopApplication &application : desktop->snapshot().applications) {
            QVERIFY(!application.windowsKnown);
            QVERIFY(application.windows.isEmpty());
        }
        // Requests go nowhere and nothing breaks.
        desktop->place(
            window, WindowPlacement { QRectF(10, 10, 100, 100), WindowState { true, true, false, false }, 1 });
        desktop->place(window, WindowPlacement { QRectF(10, 10, 100, 100), {}, {} });
        desktop->activate(window);
        QCOMPARE(desktop->monitors().size(), 2);

        QVERIFY(DesktopFixture::desktopCommand(QStringLiteral("wm-start")));
        QTRY_VERIFY(desktop->canControlWindows());
        QTRY_COMPARE_WITH_TIMEOUT(windowsWithPid(desktop->snapshot(), client->processId()).size(), 1, 5000);
        QVERIFY(applicationWithPid(desktop->snapshot(), client->processId())->windowsKnown);
        QTRY_COMPARE(desktop->placementsInFlight(), 0);
        QCOMPARE(desktop->strayErrorCount(), quint64(0));
    }

    void monitorChangesAreSignalled()
    {
        QString error;
        auto desktop = X11Desktop::connect(QString(), &error);
        QVERIFY(desktop);
        QSignalSpy changed(desktop.get(), &DesktopPlatform::monitorsChanged);
        const auto identifierB = desktop->monitors().value(1).identifier;
        QVERIFY(identifierB);
        QVERIFY(QProcess::execute(QStringLiteral("xrandr"), { "--delmonitor", "B" }) == 0);
        QVERIFY(QProcess::execute(QStringLiteral("xrandr"), { "--setmonitor", "B", "1024/270x768/200+1920+0", "none" })
            == 0);
        QTRY_VERIFY(changed.count() > 0);
        QTRY_COMPARE(desktop->monitors().value(1).bounds, QRectF(1920, 0, 1024, 768));
        // The same monitor (by name) keeps its identifier when it changes size.
        QCOMPARE(desktop->monitors().value(1).identifier, identifierB);
        QVERIFY(QProcess::execute(QStringLiteral("xrandr"), { "--delmonitor", "B" }) == 0);
        QVERIFY(QProcess::execute(QStringLiteral("xrandr"), { "--setmonitor", "B", "1280/338x1024/270+1920+0", "none" })
            == 0);
        QTRY_COMPARE(desktop->monitors().value(1).bounds, QRectF(1920, 0, 1280, 1024));
    }

    void vanishedServerYieldsNothing()
    {
        // A private X server of our own, so that the test desktop survives.
        QTemporaryFile displayFile;
        QVERIFY(displayFile.open());
        QProcess server;
        server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server.setStandardOutputFile(displayFile.fileName());
        server.start(QStringLiteral("Xvfb"), { "-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp" });
        QVERIFY(server.waitForStarted());
        auto written = [&displayFile] {
            QFile file(displayFile.fileName());
            return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
        };
        QTRY_VERIFY_WITH_TIMEOUT(!written().isEmpty(), 10000);
        const QString display = QLatin1Char(':') + QString::fromLatin1(written());
        QString error;
        auto desktop = X11Desktop::connect(display, &error);
        QVERIFY2(desktop, qPrintable(error));
        QVERIFY(!desktop->canControlWindows()); // no window manager there
        QCOMPARE(desktop->monitors().size(), 1);
        QVERIFY(desktop->monitors().front().primary);

        server.kill();
        server.waitForFinished();
        QTest::qWait(0); // let the broken connection be noticed, if it is
        QVERIFY(!desktop->canControlWindows());
        QVERIFY(desktop->snapshot().applications.isEmpty());
        desktop->place(0x200001, WindowPlacement { QRectF(1, 1, 10, 10), {}, 1 });
        desktop->activate(0x200001);
        desktop->setOwnWindowHints(0x200001, true, true);
        desktop->closeApplication(DesktopApplication {});
        desktop->monitors();
        QCOMPARE(desktop->placementsInFlight(), 0);

        QCOMPARE(X11Desktop::connect(display, &error), nullptr);
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestX11Untrusted)
#include "tst_x11untrusted.moc"
