// Reads of the X11 desktop on the test desktop: monitors, applications, window frames, states, bad properties.
#include "snapshotlookup.h"
#include "testdesktop.h"

#include <QCoreApplication>
#include <QTest>
#include <cstdlib>

namespace {

// The outer frame as the test measures it on its own: client position minus _NET_FRAME_EXTENTS.
QRect measuredFrame(const DesktopFixture &fixture, xcb_window_t window)
{
    xcb_connection_t *c = fixture.x();
    auto *origin
        = xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, window, fixture.root(), 0, 0), nullptr);
    auto *geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    const auto e = fixture.cardinals(window, "_NET_FRAME_EXTENTS");
    QRect frame;
    if (origin && geometry && e.size() == 4) {
        frame = QRect(origin->dst_x - int(e[0]), origin->dst_y - int(e[2]), geometry->width + int(e[0] + e[1]),
            geometry->height + int(e[2] + e[3]));
    }
    std::free(origin);
    std::free(geometry);
    return frame;
}

} // namespace

class TestX11Reads : public QObject
{
    Q_OBJECT

private:
    QList<DesktopWindow> windowsOf(QProcess *client)
    {
        return windowsWithPid(m_desktop->snapshot(), client->processId());
    }

    std::optional<DesktopApplication> applicationOf(QProcess *client)
    {
        return applicationWithPid(m_desktop->snapshot(), client->processId());
    }

    /// The listed window with this id; one with id 0 when there is none.
    DesktopWindow window(WindowId id) { return windowWithId(m_desktop->snapshot(), id).value_or(DesktopWindow {}); }

    std::unique_ptr<DesktopFixture> m_fixture;
    std::unique_ptr<X11Desktop> m_desktop;

private slots:
    void initTestCase()
    {
        QString error;
        m_desktop = openTestDesktop(m_fixture, &error);
        QVERIFY2(m_desktop, qPrintable(error));
        QVERIFY(m_desktop->canControlWindows());
    }

    void cleanup() { m_fixture->stopClients(); }

    void monitorsArePrimaryFirstInTheShiftedSpace()
    {
        const QList<DesktopMonitor> monitors = m_desktop->monitors();
        QCOMPARE(monitors.size(), 2);
        QCOMPARE(monitors[0].bounds, QRectF(0, 0, 1920, 1080));
        QCOMPARE(monitors[1].bounds, QRectF(1920, 0, 1280, 1024));
        QVERIFY(monitors[0].primary);
        QVERIFY(!monitors[1].primary);
        // A names its output; B has none and goes by its own name.
        QCOMPARE(monitors[0].connector, QStringLiteral("screen"));
        QCOMPARE(monitors[1].connector, QStringLiteral("B"));
        const DesktopSnapshot snapshot = m_desktop->snapshot();
        QCOMPARE(snapshot.monitors.size(), 2);
        QCOMPARE(snapshot.monitors[1].bounds, monitors[1].bounds);
        QCOMPARE(snapshot.monitors[1].identifier, monitors[1].identifier);
    }

    void monitorIdentifiersDifferAndStayTheSame()
    {
        const QList<DesktopMonitor> monitors = m_desktop->monitors();
        QCOMPARE(monitors.size(), 2);
        const auto a = monitors[0].identifier;
        const auto b = monitors[1].identifier;
        QVERIFY(a && b);
        QCOMPARE(a->size(), 36);
        QCOMPARE(*a, a->toUpper());
        QVERIFY(*a != *b);
        // Another connection (a restart) finds the same texts.
        QString error;
        auto again = X11Desktop::connect(QString(), &error);
        QVERIFY(again);
        const QList<DesktopMonitor> later = again->monitors();
        QCOMPARE(later.value(0).identifier, a);
        QCOMPARE(later.value(1).identifier, b);
    }

    void framesOnBothMonitorsAreExact()
    {
        QProcess *client = m_fixture->startClient({ "--class", "testapp-a,TestAppA", "--title", "One", "--geometry",
            "640x480+200+150", "--title", "Two", "--geometry", "300x200+2100+300", "--gravity", "static" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(client).size(), 2, 5000);
        const QList<DesktopWindow> windows = windowsOf(client);
        QCOMPARE(windows[0].title, QStringLiteral("One"));
        QCOMPARE(windows[1].title, QStringLiteral("Two"));
        // NorthWest gravity: openbox puts the frame's corner where the client asked.
        QCOMPARE(windows[0].frame.topLeft(), QPointF(200, 150));
        QCOMPARE(windows[0].frame.toRect(), measuredFrame(*m_fixture, xcb_window_t(windows[0].id)));
        QCOMPARE(windows[1].frame.toRect(), measuredFrame(*m_fixture, xcb_window_t(windows[1].id)));
        QCOMPARE(windows[0].frame.width(), 642.0);
        QVERIFY(windows[1].frame.left() > 1920);
        QCOMPARE(windows[0].kind, WindowKind::normal);
        QVERIFY(windows[0].isStandard());
        QCOMPARE(windows[0].state, WindowState {});
        QCOMPARE(windows[0].desktop, std::optional<int>(0));
        QCOMPARE(windows[0].appId, QStringLiteral("testapp-a"));
        QCOMPARE(windows[0].pid, std::optional<qint64>(client->processId()));
        QCOMPARE(windows[0].document, std::nullopt);
        const auto application = applicationOf(client);
        QVERIFY(application->windowsKnown);
        QVERIFY(application->regular);
        QCOMPARE(application->pids, QList<qint64> { client->processId() });
    }

    void fullScreenWindowCoversItsMonitor()
    {
        QProcess *client
            = m_fixture->startClient({ "--title", "Full", "--geometry", "400x300+2000+100", "--fullscreen" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(client).size(), 1, 5000);
        const WindowId id = windowsOf(client).front().id;
        QTRY_VERIFY(window(id).state.fullScreen);
        QTRY_COMPARE(window(id).frame, QRectF(1920, 0, 1280, 1024));
        QVERIFY(!window(id).state.isMaximized());
    }

    void maximizedWindowReadsAsMaximized()
    {
        QProcess *client
            = m_fixture->startClient({ "--title", "Big", "--geometry", "400x300+2100+100", "--maximized" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(client).size(), 1, 5000);
        const WindowId id = windowsOf(client).front().id;
        QTRY_VERIFY(window(id).state.isMaximized());
        QVERIFY(!window(id).state.fullScreen);
        // Maximized on the monitor it was opened on, title bar included in the frame.
        QTRY_COMPARE(window(id).frame, QRectF(1920, 0, 1280, 1024));
    }

    void minimizedWindowStaysListed()
    {
        QProcess *client = m_fixture->startClient({ "--title", "Asleep", "--geometry", "300x200+300+300" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(client).size(), 1, 5000);
        const DesktopWindow before = windowsOf(client).front();
        // ICCCM 4.1.4: IconicState asked through WM_CHANGE_STATE.
        m_fixture->sendToWindowManager(xcb_window_t(before.id), "WM_CHANGE_STATE", { 3, 0, 0, 0, 0 });
        QTRY_VERIFY(window(before.id).state.minimized);
        // Openbox animates the iconify; the frame comes back to where the window stood.
        QTRY_COMPARE(window(before.id).frame, before.frame);
        QVERIFY(window(before.id).isStandard());
    }

    void applicationsGroupByDesktopEntry()
    {
        // One after the other, so that the order of their windows is known.
        QList<QProcess *> clients;
        for (const char *wmClass : { "testapp-a,TestAppA", "Testapp C,Whatever", "someinstance,Some Unknown",
                 "testapp-hidden,TestAppHidden" }) {
            clients.append(m_fixture->startClient({ "--class", wmClass, "--title", wmClass }));
            QTRY_COMPARE_WITH_TIMEOUT(windowsOf(clients.back()).size(), 1, 5000);
        }
        QProcess *a = clients[0], *c = clients[1], *unknown = clients[2], *hidden = clients[3];
        QCOMPARE(applicationOf(a)->appId, QStringLiteral("testapp-a"));
        // The instance as a file name, lower case with spaces as "-".
        QCOMPARE(applicationOf(c)->appId, QStringLiteral("testapp-c"));
        QCOMPARE(applicationOf(unknown)->appId, QStringLiteral("Some Unknown"));
        // Hidden entries are not installed applications.
        QCOMPARE(applicationOf(hidden)->appId, QStringLiteral("TestAppHidden"));
        QVERIFY(!m_desktop->canLaunch(QStringLiteral("testapp-hidden")));

        // Listed in the order their first window appeared.
        QList<qint64> order;
        for (const DesktopApplication &app : m_desktop->snapshot().applications)
            order.append(app.pids.value(0));
        QVERIFY(order.indexOf(a->processId()) < order.indexOf(c->processId()));
        QVERIFY(order.indexOf(c->processId()) < order.indexOf(unknown->processId()));
    }

    void twoProcessesOfOneApplicationAreOneApplication()
    {
        QProcess *first = m_fixture->startClient({ "--class", "testapp-b,TestAppB", "--title", "B1" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(first).size(), 1, 5000);
        QProcess *second = m_fixture->startClient({ "--class", "testapp-b,TestAppB", "--title", "B2" });
        QTRY_COMPARE_WITH_TIMEOUT(applicationOf(first).value_or(DesktopApplication {}).windows.size(), 2, 5000);
        const auto application = applicationOf(second);
        QVERIFY(application);
        QCOMPARE(application->appId, QStringLiteral("testapp-b"));
        QCOMPARE(application->pids, QList<qint64>({ first->processId(), second->processId() }));
        QCOMPARE(application->windows[1].pid, std::optional<qint64>(second->processId()));
    }

    void transientDialogBelongsToItsParent()
    {
        QProcess *client = m_fixture->startClient({ "--class", "testapp-a,TestAppA", "--title", "Main", "--title",
            "Dialog", "--type", "dialog", "--transient" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(client).size(), 2, 5000);
        const QList<DesktopWindow> windows = windowsOf(client);
        QCOMPARE(windows[1].kind, WindowKind::dialog);
        QVERIFY(windows[1].isStandard());
        QCOMPARE(windows[1].appId, QStringLiteral("testapp-a"));
        QVERIFY(applicationOf(client)->regular);
    }

    void toolWindowsMakeAnAccessoryApplication()
    {
        QProcess *tool = m_fixture->startClient({ "--class", "tool,Tool", "--title", "Palette", "--type", "utility" });
        QProcess *hiddenFromTaskbar
            = m_fixture->startClient({ "--class", "tray,Tray", "--title", "T", "--skip-taskbar" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(tool).size(), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(hiddenFromTaskbar).size(), 1, 5000);
        QVERIFY(!applicationOf(tool)->regular);
        QVERIFY(!applicationOf(hiddenFromTaskbar)->regular);
        QCOMPARE(windowsOf(tool).front().kind, WindowKind::utility);
        QVERIFY(!windowsOf(tool).front().isStandard());
        // Still an ordinary window, of an application the task switcher does not show.
        QCOMPARE(windowsOf(hiddenFromTaskbar).front().kind, WindowKind::normal);
    }

    void windowTypesGiveTheirKind_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<WindowKind>("kind");
        QTest::newRow("toolbar") << QStringLiteral("toolbar") << WindowKind::utility;
        QTest::newRow("splash") << QStringLiteral("splash") << WindowKind::other;
        QTest::newRow("menu") << QStringLiteral("menu") << WindowKind::other;
        QTest::newRow("normal") << QStringLiteral("normal") << WindowKind::normal;
    }

    void windowTypesGiveTheirKind()
    {
        QFETCH(QString, type);
        QFETCH(WindowKind, kind);
        QProcess *client = m_fixture->startClient({ "--class", "typed,Typed", "--title", "Typed", "--type", type });
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(client).size(), 1, 5000);
        QCOMPARE(windowsOf(client).front().kind, kind);
    }

    void titleFallsBackToWmName()
    {
        QProcess *client = m_fixture->startClient({ "--title", "Plain title" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(client).size(), 1, 5000);
        const WindowId id = windowsOf(client).front().id;
        xcb_delete_property(m_fixture->x(), xcb_window_t(id), m_fixture->atom("_NET_WM_NAME"));
        m_fixture->sync();
        QTRY_COMPARE(window(id).title, QStringLiteral("Plain title"));
    }

    void malformedPropertiesReadAsMissing()
    {
        QProcess *client = m_fixture->startClient({ "--class", "testapp-a,TestAppA", "--title", "Bad" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(client).size(), 1, 5000);
        const auto id = xcb_window_t(windowsOf(client).front().id);
        m_fixture->setProperty(id, "_NET_WM_NAME", XCB_ATOM_CARDINAL, 32, QByteArray(8, 'x'));
        m_fixture->setProperty(id, "WM_CLASS", XCB_ATOM_STRING, 8, QByteArray("no-terminator"));
        m_fixture->setProperty(id, "_NET_WM_STATE", XCB_ATOM_CARDINAL, 32, QByteArray(4, '\x7f'));
        m_fixture->setProperty(id, "WM_NORMAL_HINTS", XCB_ATOM_STRING, 8, QByteArray("short"));
        m_fixture->setProperty(id, "_NET_WM_WINDOW_TYPE", XCB_ATOM_STRING, 8, QByteArray("dock"));
        m_fixture->setProperty(id, "WM_TRANSIENT_FOR", XCB_ATOM_WINDOW, 32, QByteArray(4, '\x01'));
        m_fixture->setProperty(id, "_NET_WM_DESKTOP", XCB_ATOM_STRING, 8, QByteArray("1"));
        QCOMPARE(window(id).title, QStringLiteral("Bad"));
        // No type it can read, transient: a dialog (EWMH).
        QCOMPARE(window(id).kind, WindowKind::dialog);
        QCOMPARE(window(id).state, WindowState {});
        QCOMPARE(window(id).desktop, std::nullopt);

        // A pid of the wrong type: the window stays listed, with no process.
        m_fixture->setProperty(id, "_NET_WM_PID", XCB_ATOM_STRING, 8, QByteArray("1234"));
        QVERIFY(!applicationOf(client));
        const auto application = applicationWithId(m_desktop->snapshot(), QStringLiteral("no-terminator"));
        QVERIFY(application);
        QVERIFY(application->pids.isEmpty());
        QCOMPARE(application->windows.size(), 1);
        QCOMPARE(application->windows.front().pid, std::nullopt);

        // Frame extents of the wrong size read as none: the window is still listed (window managers
        // without extents manage windows too), its client rectangle standing for its frame.
        m_fixture->setProperty(id, "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL, 32, QByteArray(8, '\0'));
        QCOMPARE(applicationWithId(m_desktop->snapshot(), QStringLiteral("no-terminator"))->windows.size(), 1);
        QCOMPARE(m_desktop->strayErrorCount(), quint64(0));
    }

    void vanishedWindowIsLeftOut()
    {
        QProcess *client = m_fixture->startClient({ "--title", "Doomed", "--title", "Survivor" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(client).size(), 2, 5000);
        const QList<DesktopWindow> windows = windowsOf(client);
        m_fixture->destroyWindow(xcb_window_t(windows[0].id));
        // Read at once, while the client list may still name it, then later.
        const DesktopSnapshot right = m_desktop->snapshot();
        QCOMPARE(windowWithId(right, windows[0].id), std::nullopt);
        QCOMPARE(windowWithId(right, windows[1].id)->title, QStringLiteral("Survivor"));
        QTRY_COMPARE(windowsOf(client).size(), 1);
        QCOMPARE(window(0x7ffffff).id, WindowId(0));
        QCOMPARE(m_desktop->strayErrorCount(), quint64(0));
    }

    void focusedMonitorFollowsTheActiveWindow()
    {
        QProcess *left
            = m_fixture->startClient({ "--class", "left,Left", "--title", "Left", "--geometry", "300x200+100+100" });
        QProcess *right = m_fixture->startClient(
            { "--class", "right,Right", "--title", "Right", "--geometry", "300x200+2300+100" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(left).size(), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(right).size(), 1, 5000);
        m_desktop->activate(windowsOf(right).front().id);
        QTRY_COMPARE(m_desktop->snapshot().focusedMonitor, std::optional<int>(1));
        QCOMPARE(WindowId(m_fixture->activeWindow()), windowsOf(right).front().id);
        m_desktop->activate(windowsOf(left).front().id);
        QTRY_COMPARE(m_desktop->snapshot().focusedMonitor, std::optional<int>(0));
    }

    void ownIdentifierIsCorvalint()
    {
        QCOMPARE(m_desktop->ownAppId(), QStringLiteral("corvalint"));
        QVERIFY(m_desktop->fileStatus(QStringLiteral("/")).isDirectory);
        QVERIFY(!m_desktop->fileStatus(QStringLiteral("/no/such/file")).exists);
    }
};

QTEST_GUILESS_MAIN(TestX11Reads)
#include "tst_x11reads.moc"
