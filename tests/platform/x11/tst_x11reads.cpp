// Reads of the X11 desktop on the test desktop: monitors, applications, window frames, bad properties.
#include "automation/axattributes.h"
#include "desktopfixture.h"
#include "platform/x11/x11desktop.h"

#include <QCoreApplication>
#include <QTest>
#include <cstdlib>

namespace {

// The outer frame as the test measures it on its own: client position minus _NET_FRAME_EXTENTS.
QRect measuredFrame(const DesktopFixture &fixture, xcb_window_t window)
{
    xcb_connection_t *c = fixture.x();
    auto *origin = xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, window, fixture.root(), 0, 0), nullptr);
    auto *geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    auto *extents = xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, fixture.atom("_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 0, 4), nullptr);
    QRect frame;
    if (origin && geometry && extents && xcb_get_property_value_length(extents) == 16) {
        const auto *e = static_cast<const uint32_t *>(xcb_get_property_value(extents));
        frame = QRect(origin->dst_x - int(e[0]), origin->dst_y - int(e[2]), geometry->width + int(e[0] + e[1]),
                      geometry->height + int(e[2] + e[3]));
    }
    std::free(origin);
    std::free(geometry);
    std::free(extents);
    return frame;
}

} // namespace

class TestX11Reads : public QObject
{
    Q_OBJECT

private:
    QList<WindowRef> windowsOf(QProcess *client)
    {
        return m_desktop->copyWindowList(client->processId()).value_or(QList<WindowRef>());
    }

    std::optional<RunningApplication> applicationOf(QProcess *client)
    {
        for (const RunningApplication &app : m_desktop->runningApplications()) {
            if (app.processIdentifier == client->processId())
                return app;
        }
        return std::nullopt;
    }

    QRect frameOf(WindowRef window)
    {
        const QPointF position = m_desktop->copyAttribute(window, Ax::position).toPointF();
        const QSizeF size = m_desktop->copyAttribute(window, Ax::size).toSizeF();
        return QRectF(position, size).toRect();
    }

    std::unique_ptr<DesktopFixture> m_fixture;
    std::unique_ptr<X11Desktop> m_desktop;

private slots:
    void initTestCase()
    {
        DesktopFixture::prepareEnvironment();
        m_fixture = std::make_unique<DesktopFixture>();
        m_fixture->clearDesktop();
        QString error;
        m_desktop = X11Desktop::connect(QString(), &error);
        QVERIFY2(m_desktop, qPrintable(error));
        QVERIFY(m_desktop->isTrusted());
    }

    void cleanup() { m_fixture->stopClients(); }

    void cleanupTestCase()
    {
        m_desktop.reset();
        m_fixture.reset();
    }

    void monitorsArePrimaryFirstInTheShiftedSpace()
    {
        const QList<PlatformScreen> screens = m_desktop->screens();
        QCOMPARE(screens.size(), 2);
        QCOMPARE(screens[0].frame, QRectF(0, 0, 1920, 1080));
        QCOMPARE(screens[1].frame, QRectF(1920, 0, 1280, 1024));
        QVERIFY(screens[0].displayNumber && screens[1].displayNumber);
        QCOMPARE(m_desktop->displayBounds(*screens[1].displayNumber), QRectF(1920, 0, 1280, 1024));
        QCOMPARE(m_desktop->displayBounds(0xdeadbeef), QRectF());
        QCOMPARE(m_desktop->displayUUID(0xdeadbeef), std::nullopt);
    }

    void monitorIdentifiersDifferAndStayTheSame()
    {
        const QList<PlatformScreen> screens = m_desktop->screens();
        QCOMPARE(screens.size(), 2);
        const auto a = m_desktop->displayUUID(*screens[0].displayNumber);
        const auto b = m_desktop->displayUUID(*screens[1].displayNumber);
        QVERIFY(a && b);
        QCOMPARE(a->size(), 36);
        QCOMPARE(*a, a->toUpper());
        QVERIFY(*a != *b);
        // Another connection (a restart) finds the same texts.
        QString error;
        auto again = X11Desktop::connect(QString(), &error);
        QVERIFY(again);
        const QList<PlatformScreen> later = again->screens();
        QCOMPARE(again->displayUUID(*later[0].displayNumber), a);
        QCOMPARE(again->displayUUID(*later[1].displayNumber), b);
    }

    void framesOnBothMonitorsAreExact()
    {
        QProcess *client = m_fixture->startClient({"--class", "testapp-a,TestAppA", "--title", "One",
                                                   "--geometry", "640x480+200+150", "--title", "Two", "--geometry",
                                                   "300x200+2100+300", "--gravity", "static"});
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(client).size(), 2, 5000);
        const QList<WindowRef> windows = windowsOf(client);
        QCOMPARE(m_desktop->copyAttribute(windows[0], Ax::title).toString(), QStringLiteral("One"));
        QCOMPARE(m_desktop->copyAttribute(windows[1], Ax::title).toString(), QStringLiteral("Two"));
        // NorthWest gravity: openbox puts the frame's corner where the client asked.
        QCOMPARE(frameOf(windows[0]).topLeft(), QPoint(200, 150));
        QCOMPARE(frameOf(windows[0]), measuredFrame(*m_fixture, xcb_window_t(windows[0])));
        QCOMPARE(frameOf(windows[1]), measuredFrame(*m_fixture, xcb_window_t(windows[1])));
        QCOMPARE(frameOf(windows[0]).width(), 642);
        QVERIFY(frameOf(windows[1]).left() > 1920);
        QCOMPARE(m_desktop->copyAttribute(windows[0], Ax::role).toString(), QString(Ax::windowRole));
        QVERIFY(m_desktop->copyAttribute(windows[0], Ax::subrole).toString() != Ax::fullScreenSubrole);
        QVERIFY(!m_desktop->copyAttribute(windows[0], Ax::document).isValid());
    }

    void fullScreenWindowCoversItsMonitor()
    {
        QProcess *client = m_fixture->startClient({"--title", "Full", "--geometry", "400x300+2000+100", "--fullscreen"});
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(client).size(), 1, 5000);
        const WindowRef window = windowsOf(client).front();
        QTRY_COMPARE(m_desktop->copyAttribute(window, Ax::subrole).toString(), QString(Ax::fullScreenSubrole));
        QTRY_COMPARE(frameOf(window), QRect(1920, 0, 1280, 1024));
    }

    void applicationsGroupByDesktopEntry()
    {
        // One after the other, so that the order of their windows is known.
        QList<QProcess *> clients;
        for (const char *wmClass : {"testapp-a,TestAppA", "Testapp C,Whatever",
                                    "someinstance,Some Unknown", "testapp-hidden,TestAppHidden"}) {
            clients.append(m_fixture->startClient({"--class", wmClass, "--title", wmClass}));
            QTRY_COMPARE_WITH_TIMEOUT(windowsOf(clients.back()).size(), 1, 5000);
        }
        QProcess *a = clients[0], *c = clients[1], *unknown = clients[2], *hidden = clients[3];
        QCOMPARE(applicationOf(a)->bundleIdentifier, QStringLiteral("testapp-a"));
        // The instance as a file name, lower case with spaces as "-".
        QCOMPARE(applicationOf(c)->bundleIdentifier, QStringLiteral("testapp-c"));
        QCOMPARE(applicationOf(unknown)->bundleIdentifier, QStringLiteral("Some Unknown"));
        // Hidden entries are not installed applications.
        QCOMPARE(applicationOf(hidden)->bundleIdentifier, QStringLiteral("TestAppHidden"));
        QCOMPARE(m_desktop->applicationLocation(QStringLiteral("testapp-hidden")), std::nullopt);

        // Listed in the order their first window appeared.
        QList<qint64> order;
        for (const RunningApplication &app : m_desktop->runningApplications())
            order.append(app.processIdentifier);
        QVERIFY(order.indexOf(a->processId()) < order.indexOf(c->processId()));
        QVERIFY(order.indexOf(c->processId()) < order.indexOf(unknown->processId()));
    }

    void twoProcessesOfOneApplicationAreOneApplication()
    {
        QProcess *first = m_fixture->startClient({"--class", "testapp-b,TestAppB", "--title", "B1"});
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(first).size(), 1, 5000);
        QProcess *second = m_fixture->startClient({"--class", "testapp-b,TestAppB", "--title", "B2"});
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(first).size(), 2, 5000);
        QVERIFY(!applicationOf(second));
        QCOMPARE(applicationOf(first)->bundleIdentifier, QStringLiteral("testapp-b"));
    }

    void transientDialogBelongsToItsParent()
    {
        QProcess *client = m_fixture->startClient({"--class", "testapp-a,TestAppA", "--title", "Main",
                                                   "--title", "Dialog", "--type", "dialog", "--transient"});
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(client).size(), 2, 5000);
        const QList<WindowRef> windows = windowsOf(client);
        QCOMPARE(m_desktop->copyAttribute(windows[1], Ax::role).toString(), QString(Ax::windowRole));
        QCOMPARE(applicationOf(client)->activationPolicy, int(regularPolicy));
    }

    void toolWindowsMakeAnAccessoryApplication()
    {
        QProcess *tool = m_fixture->startClient({"--class", "tool,Tool", "--title", "Palette", "--type", "utility"});
        QProcess *hiddenFromTaskbar = m_fixture->startClient({"--class", "tray,Tray", "--title", "T", "--skip-taskbar"});
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(tool).size(), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(hiddenFromTaskbar).size(), 1, 5000);
        QCOMPARE(applicationOf(tool)->activationPolicy, int(accessoryPolicy));
        QCOMPARE(applicationOf(hiddenFromTaskbar)->activationPolicy, int(accessoryPolicy));
        QVERIFY(m_desktop->copyAttribute(windowsOf(tool).front(), Ax::role).toString() != Ax::windowRole);
    }

    void titleFallsBackToWmName()
    {
        QProcess *client = m_fixture->startClient({"--title", "Plain title"});
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(client).size(), 1, 5000);
        const WindowRef window = windowsOf(client).front();
        xcb_delete_property(m_fixture->x(), xcb_window_t(window), m_fixture->atom("_NET_WM_NAME"));
        m_fixture->sync();
        QTRY_COMPARE(m_desktop->copyAttribute(window, Ax::title).toString(), QStringLiteral("Plain title"));
    }

    void malformedPropertiesReadAsMissing()
    {
        QProcess *client = m_fixture->startClient({"--class", "testapp-a,TestAppA", "--title", "Bad"});
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(client).size(), 1, 5000);
        const auto window = xcb_window_t(windowsOf(client).front());
        const qint64 pid = client->processId();
        m_fixture->setProperty(window, "_NET_WM_NAME", XCB_ATOM_CARDINAL, 32, QByteArray(8, 'x'));
        m_fixture->setProperty(window, "WM_CLASS", XCB_ATOM_STRING, 8, QByteArray("no-terminator"));
        m_fixture->setProperty(window, "_NET_WM_STATE", XCB_ATOM_CARDINAL, 32, QByteArray(4, '\x7f'));
        m_fixture->setProperty(window, "WM_NORMAL_HINTS", XCB_ATOM_STRING, 8, QByteArray("short"));
        m_fixture->setProperty(window, "_NET_WM_WINDOW_TYPE", XCB_ATOM_STRING, 8, QByteArray("dock"));
        m_fixture->setProperty(window, "WM_TRANSIENT_FOR", XCB_ATOM_WINDOW, 32, QByteArray(4, '\x01'));
        QCoreApplication::processEvents();
        QCOMPARE(m_desktop->copyAttribute(window, Ax::title).toString(), QStringLiteral("Bad"));
        QCOMPARE(m_desktop->copyAttribute(window, Ax::role).toString(), QString(Ax::windowRole));

        // A pid of the wrong type: the application keeps a handle of its own.
        m_fixture->setProperty(window, "_NET_WM_PID", XCB_ATOM_STRING, 8, QByteArray("1234"));
        QCoreApplication::processEvents();
        QVERIFY(!m_desktop->copyWindowList(pid));
        bool found = false;
        for (const RunningApplication &app : m_desktop->runningApplications()) {
            if (app.processIdentifier == -qint64(window)) {
                found = true;
                QCOMPARE(app.bundleIdentifier, QStringLiteral("no-terminator"));
                QCOMPARE(m_desktop->copyWindowList(app.processIdentifier)->size(), 1);
            }
        }
        QVERIFY(found);

        // Frame extents of the wrong size: not managed, so not listed.
        m_fixture->setProperty(window, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL, 32, QByteArray(8, '\0'));
        QCoreApplication::processEvents();
        QCOMPARE(m_desktop->copyWindowList(-qint64(window))->size(), 0);
        QCOMPARE(m_desktop->strayErrorCount(), quint64(0));
    }

    void vanishedWindowIsAFailedRead()
    {
        QProcess *client = m_fixture->startClient({"--title", "Doomed", "--title", "Survivor"});
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(client).size(), 2, 5000);
        const QList<WindowRef> windows = windowsOf(client);
        m_fixture->destroyWindow(xcb_window_t(windows[0]));
        // Within one read of the desktop, then after it.
        for (const auto attribute : {Ax::title, Ax::position, Ax::size, Ax::subrole, Ax::role, Ax::main})
            m_desktop->copyAttribute(windows[0], attribute);
        QCoreApplication::processEvents();
        QVERIFY(!m_desktop->copyAttribute(windows[0], Ax::title).isValid());
        QVERIFY(!m_desktop->copyAttribute(windows[0], Ax::position).isValid());
        QVERIFY(!m_desktop->copyAttribute(0x7ffffff, Ax::size).isValid());
        QCOMPARE(m_desktop->copyAttribute(windows[1], Ax::title).toString(), QStringLiteral("Survivor"));
        QTRY_COMPARE(windowsOf(client).size(), 1);
        QCOMPARE(m_desktop->strayErrorCount(), quint64(0));
    }

    void mainScreenFollowsTheActiveWindow()
    {
        QProcess *left = m_fixture->startClient({"--class", "left,Left", "--title", "Left", "--geometry", "300x200+100+100"});
        QProcess *right = m_fixture->startClient({"--class", "right,Right", "--title", "Right", "--geometry", "300x200+2300+100"});
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(left).size(), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(right).size(), 1, 5000);
        m_desktop->setAttribute(windowsOf(right).front(), Ax::main, true);
        QTRY_COMPARE(m_desktop->mainScreenIndex(), std::optional<int>(1));
        QTRY_VERIFY(m_desktop->copyAttribute(windowsOf(right).front(), Ax::main).toBool());
        m_desktop->setAttribute(windowsOf(left).front(), Ax::main, true);
        QTRY_COMPARE(m_desktop->mainScreenIndex(), std::optional<int>(0));
    }

    void ownIdentifierIsCorvalint()
    {
        QCOMPARE(m_desktop->ownBundleIdentifier(), QStringLiteral("corvalint"));
        QVERIFY(m_desktop->fileStatus(QStringLiteral("/")).isDirectory);
        QVERIFY(!m_desktop->fileStatus(QStringLiteral("/no/such/file")).exists);
    }
};

QTEST_GUILESS_MAIN(TestX11Reads)
#include "tst_x11reads.moc"
