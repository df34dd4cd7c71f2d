// The X11 desktop without a window manager, and after its X server went away: nothing listed, nothing crashes.
#include "automation/axattributes.h"
#include "desktopfixture.h"
#include "platform/x11/x11desktop.h"

#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTest>

class TestX11Untrusted : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { DesktopFixture::prepareEnvironment(); }

    void noWindowManagerMeansUntrusted()
    {
        DesktopFixture fixture;
        fixture.clearDesktop();
        QString error;
        auto desktop = X11Desktop::connect(QString(), &error);
        QVERIFY2(desktop, qPrintable(error));
        QProcess *client = fixture.startClient({"--title", "Orphan"});
        QTRY_COMPARE_WITH_TIMEOUT(desktop->copyWindowList(client->processId()).value_or(QList<WindowRef>()).size(), 1, 5000);
        const WindowRef window = desktop->copyWindowList(client->processId())->front();

        QVERIFY(DesktopFixture::desktopCommand(QStringLiteral("wm-stop")));
        QTRY_VERIFY(!desktop->isTrusted());
        QCOMPARE(desktop->copyWindowList(client->processId()), std::nullopt);
        // Writes go nowhere and nothing breaks.
        desktop->setAttribute(window, Ax::position, QPointF(10, 10));
        desktop->setAttribute(window, Ax::size, QSizeF(100, 100));
        desktop->setAttribute(window, Ax::main, true);
        QCOMPARE(desktop->screens().size(), 2);

        QVERIFY(DesktopFixture::desktopCommand(QStringLiteral("wm-start")));
        QTRY_VERIFY(desktop->isTrusted());
        QTRY_COMPARE_WITH_TIMEOUT(desktop->copyWindowList(client->processId()).value_or(QList<WindowRef>()).size(), 1, 5000);
        QCOMPARE(desktop->strayErrorCount(), quint64(0));
    }

    void monitorChangesAreSignalled()
    {
        QString error;
        auto desktop = X11Desktop::connect(QString(), &error);
        QVERIFY(desktop);
        QSignalSpy changed(desktop.get(), &DesktopPlatform::screensChanged);
        const QString uuidB = *desktop->displayUUID(*desktop->screens()[1].displayNumber);
        QVERIFY(QProcess::execute(QStringLiteral("xrandr"), {"--delmonitor", "B"}) == 0);
        QVERIFY(QProcess::execute(QStringLiteral("xrandr"), {"--setmonitor", "B", "1024/270x768/200+1920+0", "none"}) == 0);
        QTRY_VERIFY(changed.count() > 0);
        QTRY_COMPARE(desktop->screens().value(1).frame, QRectF(1920, 0, 1024, 768));
        // The same monitor (by name) keeps its identifier when it changes size.
        QCOMPARE(desktop->displayUUID(*desktop->screens()[1].displayNumber), uuidB);
        QVERIFY(QProcess::execute(QStringLiteral("xrandr"), {"--delmonitor", "B"}) == 0);
        QVERIFY(QProcess::execute(QStringLiteral("xrandr"), {"--setmonitor", "B", "1280/338x1024/270+1920+0", "none"}) == 0);
        QTRY_COMPARE(desktop->screens().value(1).frame, QRectF(1920, 0, 1280, 1024));
    }

    void vanishedServerYieldsNothing()
    {
        // A private X server of our own, so that the test desktop survives.
        QTemporaryFile displayFile;
        QVERIFY(displayFile.open());
        QProcess server;
        server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server.setStandardOutputFile(displayFile.fileName());
        server.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp"});
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
        QVERIFY(!desktop->isTrusted()); // no window manager there
        QCOMPARE(desktop->screens().size(), 1);
        const quint32 number = *desktop->screens()[0].displayNumber;

        server.kill();
        server.waitForFinished();
        QTest::qWait(0); // let the broken connection be noticed, if it is
        QVERIFY(!desktop->isTrusted());
        QVERIFY(desktop->runningApplications().isEmpty());
        QCOMPARE(desktop->copyWindowList(1), std::nullopt);
        QVERIFY(!desktop->copyAttribute(0x200001, Ax::title).isValid());
        desktop->setAttribute(0x200001, Ax::position, QPointF(1, 1));
        desktop->setAttribute(0x200001, Ax::size, QSizeF(1, 1));
        desktop->setAttribute(0x200001, Ax::main, true);
        desktop->screens();
        desktop->mainScreenIndex();
        desktop->displayBounds(number);

        QCOMPARE(X11Desktop::connect(display, &error), nullptr);
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestX11Untrusted)
#include "tst_x11untrusted.moc"
