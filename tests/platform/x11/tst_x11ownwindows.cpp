// Hints for Corvalint's own windows on the test desktop: out of taskbars and pagers, on every virtual desktop.
#include "platform/x11/xcbreply.h"
#include "testdesktop.h"

#include <QTest>
#include <algorithm>

class TestX11OwnWindows : public QObject
{
    Q_OBJECT

private:
    /// A window of "our own", made on the fixture's connection as the toolkit would make it.
    xcb_window_t createWindow()
    {
        xcb_connection_t *c = m_fixture->x();
        const xcb_window_t window = xcb_generate_id(c);
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, m_fixture->root(), 100, 100, 200, 100, 0,
            XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        m_fixture->sync();
        m_windows.push_back(window);
        return window;
    }

    void map(xcb_window_t window)
    {
        xcb_map_window(m_fixture->x(), window);
        m_fixture->sync();
    }

    bool hasState(xcb_window_t window, const char *state)
    {
        const auto states = m_fixture->atoms(window, "_NET_WM_STATE");
        return std::find(states.begin(), states.end(), m_fixture->atom(state)) != states.end();
    }

    bool managed(xcb_window_t window) { return !m_fixture->cardinals(window, "_NET_FRAME_EXTENTS").empty(); }

    std::optional<uint32_t> desktopOf(xcb_window_t window)
    {
        const auto values = m_fixture->cardinals(window, "_NET_WM_DESKTOP");
        return values.empty() ? std::nullopt : std::optional(values.front());
    }

    std::unique_ptr<DesktopFixture> m_fixture;
    std::unique_ptr<X11Desktop> m_desktop;
    std::vector<xcb_window_t> m_windows;

private slots:
    void initTestCase()
    {
        QString error;
        m_desktop = openTestDesktop(m_fixture, &error);
        QVERIFY2(m_desktop, qPrintable(error));
    }

    void cleanup()
    {
        for (xcb_window_t window : m_windows)
            xcb_destroy_window(m_fixture->x(), window);
        m_fixture->sync();
        m_windows.clear();
    }

    void hintsSetBeforeMappingAreKept()
    {
        const xcb_window_t window = createWindow();
        // A state of its own that the hints must leave alone.
        const xcb_atom_t above = m_fixture->atom("_NET_WM_STATE_ABOVE");
        m_fixture->setProperty(
            window, "_NET_WM_STATE", XCB_ATOM_ATOM, 32, QByteArray(reinterpret_cast<const char *>(&above), 4));
        m_desktop->setOwnWindowHints(window, true, true);
        // In place as soon as the call returns: the toolkit maps through its own connection right after.
        QVERIFY(hasState(window, "_NET_WM_STATE_SKIP_TASKBAR"));
        QVERIFY(hasState(window, "_NET_WM_STATE_SKIP_PAGER"));
        QVERIFY(hasState(window, "_NET_WM_STATE_ABOVE"));
        QCOMPARE(desktopOf(window), std::optional<uint32_t>(0xFFFFFFFF));

        map(window);
        QTRY_VERIFY(managed(window));
        QVERIFY(hasState(window, "_NET_WM_STATE_SKIP_TASKBAR"));
        QVERIFY(hasState(window, "_NET_WM_STATE_SKIP_PAGER"));
        QCOMPARE(desktopOf(window), std::optional<uint32_t>(0xFFFFFFFF));
        QCOMPARE(m_desktop->strayErrorCount(), quint64(0));
    }

    void shownWindowAsksTheWindowManager()
    {
        const xcb_window_t window = createWindow();
        map(window);
        QTRY_VERIFY(managed(window));
        QVERIFY(!hasState(window, "_NET_WM_STATE_SKIP_TASKBAR"));
        QCOMPARE(desktopOf(window), std::optional<uint32_t>(0));

        m_desktop->setOwnWindowHints(window, true, true);
        QTRY_VERIFY(hasState(window, "_NET_WM_STATE_SKIP_TASKBAR") && hasState(window, "_NET_WM_STATE_SKIP_PAGER"));
        QTRY_COMPARE(desktopOf(window), std::optional<uint32_t>(0xFFFFFFFF));

        // And back: in the taskbar again, on the desktop the user is on.
        m_desktop->setOwnWindowHints(window, false, false);
        QTRY_VERIFY(!hasState(window, "_NET_WM_STATE_SKIP_TASKBAR") && !hasState(window, "_NET_WM_STATE_SKIP_PAGER"));
        QTRY_COMPARE(desktopOf(window), std::optional<uint32_t>(0));
    }

    void unmappedWindowCanBeListedAgain()
    {
        const xcb_window_t window = createWindow();
        m_desktop->setOwnWindowHints(window, true, true);
        m_desktop->setOwnWindowHints(window, false, false);
        QVERIFY(!hasState(window, "_NET_WM_STATE_SKIP_TASKBAR"));
        QCOMPARE(desktopOf(window), std::nullopt);
    }

    void trayColoursComeFromTheTrayThatRuns()
    {
        const xcb_atom_t selection = m_fixture->atom("_NET_SYSTEM_TRAY_S0");
        const auto owner = xcbReply(
            xcb_get_selection_owner_reply(m_fixture->x(), xcb_get_selection_owner(m_fixture->x(), selection), nullptr));
        if (owner && owner->owner != XCB_NONE)
            QSKIP("a tray already runs on the test desktop");
        // No tray: no colour, so the coloured icon stays.
        QCOMPARE(m_desktop->trayForegroundRgb(), std::nullopt);

        // A tray that says nothing about colours.
        const xcb_window_t tray = createWindow();
        xcb_set_selection_owner(m_fixture->x(), tray, selection, XCB_CURRENT_TIME);
        m_fixture->sync();
        QCOMPARE(m_desktop->trayForegroundRgb(), std::nullopt);

        // A light panel asks for dark icons: normal, error, warning, success in 0..65535.
        const uint32_t colours[12]
            = { 0x2e2e, 0x3434, 0x3636, 0xcccc, 0, 0, 0xf5f5, 0x7979, 0, 0x4e4e, 0x9a9a, 0x0606 };
        m_fixture->setProperty(tray, "_NET_SYSTEM_TRAY_COLORS", XCB_ATOM_CARDINAL, 32,
            QByteArray(reinterpret_cast<const char *>(colours), sizeof colours));
        QCOMPARE(m_desktop->trayForegroundRgb(), std::optional<quint32>(0x2e3436));

        // A malformed property (too short) is ignored, not read past its end.
        m_fixture->setProperty(tray, "_NET_SYSTEM_TRAY_COLORS", XCB_ATOM_CARDINAL, 32,
            QByteArray(reinterpret_cast<const char *>(colours), 8));
        QCOMPARE(m_desktop->trayForegroundRgb(), std::nullopt);

        xcb_set_selection_owner(m_fixture->x(), XCB_NONE, selection, XCB_CURRENT_TIME);
        m_fixture->sync();
        QCOMPARE(m_desktop->strayErrorCount(), quint64(0));
    }

    void missingWindowIsIgnored()
    {
        m_desktop->setOwnWindowHints(0, true, true);
        m_desktop->setOwnWindowHints(0x7ffffff, true, true);
        QCOMPARE(m_desktop->strayErrorCount(), quint64(0));
    }
};

QTEST_GUILESS_MAIN(TestX11OwnWindows)
#include "tst_x11ownwindows.moc"
