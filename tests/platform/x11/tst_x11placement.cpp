// Placement through the X11 desktop on the test desktop: outer frames land exactly, states go first.
#include "automation/axattributes.h"
#include "desktopfixture.h"
#include "platform/x11/x11desktop.h"

#include <QCoreApplication>
#include <QTest>

class TestX11Placement : public QObject
{
    Q_OBJECT

private:
    QList<WindowRef> windowsOf(QProcess *client)
    {
        return m_desktop->copyWindowList(client->processId()).value_or(QList<WindowRef>());
    }

    WindowRef startOne(const QStringList &arguments)
    {
        QProcess *client = m_fixture->startClient(arguments);
        if (!QTest::qWaitFor([&] { return windowsOf(client).size() == 1; }, 5000))
            return 0;
        return windowsOf(client).front();
    }

    QRect frameOf(WindowRef window)
    {
        QCoreApplication::processEvents(); // a fresh read of the desktop
        const QPointF position = m_desktop->copyAttribute(window, Ax::position).toPointF();
        const QSizeF size = m_desktop->copyAttribute(window, Ax::size).toSizeF();
        return QRectF(position, size).toRect();
    }

    void place(WindowRef window, const QRect &frame)
    {
        m_desktop->setAttribute(window, Ax::position, QPointF(frame.topLeft()));
        m_desktop->setAttribute(window, Ax::size, QSizeF(frame.size()));
    }

    bool hasState(WindowRef window, const char *state)
    {
        xcb_connection_t *c = m_fixture->x();
        auto *reply = xcb_get_property_reply(
            c, xcb_get_property(c, 0, xcb_window_t(window), m_fixture->atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 0, 32),
            nullptr);
        bool found = false;
        if (reply) {
            const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
            for (int i = 0; i < xcb_get_property_value_length(reply) / 4; ++i)
                found |= atoms[i] == m_fixture->atom(state);
            std::free(reply);
        }
        return found;
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
    }

    void cleanup() { m_fixture->stopClients(); }

    void cleanupTestCase()
    {
        m_desktop.reset();
        m_fixture.reset();
    }

    void windowMovesAwayAndBackExactly()
    {
        const WindowRef window = startOne({"--title", "Mover", "--geometry", "640x480+200+150"});
        QVERIFY(window);
        const QRect original = frameOf(window);
        QCOMPARE(original.topLeft(), QPoint(200, 150));
        place(window, QRect(2050, 120, 700, 500));
        QCOMPARE(frameOf(window), QRect(2050, 120, 700, 500));
        place(window, original);
        QCOMPARE(frameOf(window), original);
    }

    void staticGravityWindowLandsExactly()
    {
        const WindowRef window =
            startOne({"--title", "Static", "--geometry", "500x300+300+300", "--gravity", "static"});
        QVERIFY(window);
        place(window, QRect(2200, 400, 600, 350));
        QCOMPARE(frameOf(window), QRect(2200, 400, 600, 350));
        place(window, QRect(10, 20, 400, 300));
        QCOMPARE(frameOf(window), QRect(10, 20, 400, 300));
    }

    void sizeRoundsDownToTheResizeIncrement()
    {
        const WindowRef window =
            startOne({"--title", "Terminal", "--geometry", "484x316+100+100", "--inc", "7x13",
                      "--base", "4x4"});
        QVERIFY(window);
        place(window, QRect(2000, 50, 800, 600));
        const QRect frame = frameOf(window);
        QCOMPARE(frame.topLeft(), QPoint(2000, 50));
        QVERIFY2(frame.width() <= 800 && frame.width() > 800 - 7, qPrintable(QString::number(frame.width())));
        QVERIFY2(frame.height() <= 600 && frame.height() > 600 - 13, qPrintable(QString::number(frame.height())));
    }

    void positionAloneMovesOnTheNextTurn()
    {
        const WindowRef window = startOne({"--title", "Corner", "--geometry", "300x200+500+500"});
        QVERIFY(window);
        const QSize size = frameOf(window).size();
        m_desktop->setAttribute(window, Ax::position, QPointF(700, 40));
        QTRY_COMPARE(frameOf(window), QRect(QPoint(700, 40), size));
    }

    void maximizedWindowIsRestoredBeforeTheMove()
    {
        const WindowRef window = startOne({"--title", "Big", "--geometry", "400x300+100+100", "--maximized"});
        QVERIFY(window);
        QTRY_VERIFY(hasState(window, "_NET_WM_STATE_MAXIMIZED_VERT"));
        place(window, QRect(2100, 200, 640, 400));
        QVERIFY(!hasState(window, "_NET_WM_STATE_MAXIMIZED_VERT"));
        QCOMPARE(frameOf(window), QRect(2100, 200, 640, 400));
    }

    void fullScreenGoesOnTheMonitorItWasMovedTo()
    {
        const WindowRef window = startOne({"--title", "Show", "--geometry", "400x300+100+100"});
        QVERIFY(window);
        place(window, QRect(2100, 200, 640, 400));
        m_desktop->setAttribute(window, Ax::subrole, QString(Ax::fullScreenSubrole));
        m_desktop->setAttribute(window, Ax::main, true);
        QTRY_COMPARE(m_desktop->copyAttribute(window, Ax::subrole).toString(), QString(Ax::fullScreenSubrole));
        QTRY_COMPARE(frameOf(window), QRect(1920, 0, 1280, 1024));
        QTRY_VERIFY(m_desktop->copyAttribute(window, Ax::main).toBool());
    }

    void fullScreenWindowLeavesFullScreenToMove()
    {
        const WindowRef window = startOne({"--title", "Was full", "--geometry", "400x300+100+100", "--fullscreen"});
        QVERIFY(window);
        QTRY_COMPARE(frameOf(window), QRect(0, 0, 1920, 1080));
        place(window, QRect(2000, 100, 500, 400));
        QCOMPARE(frameOf(window), QRect(2000, 100, 500, 400));
        QVERIFY(m_desktop->copyAttribute(window, Ax::subrole).toString() != Ax::fullScreenSubrole);
    }

    void wrongValueTypesAreRefusedSilently()
    {
        const WindowRef window = startOne({"--title", "Stubborn", "--geometry", "300x200+600+600"});
        QVERIFY(window);
        const QRect before = frameOf(window);
        m_desktop->setAttribute(window, Ax::position, QStringLiteral("10,10"));
        m_desktop->setAttribute(window, Ax::size, 42);
        m_desktop->setAttribute(window, Ax::title, QStringLiteral("renamed"));
        QCOMPARE(frameOf(window), before);
    }

    void windowDestroyedDuringPlacementIsSkipped()
    {
        QProcess *client = m_fixture->startClient({"--title", "Gone", "--title", "Stays"});
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(client).size(), 2, 5000);
        const QList<WindowRef> windows = windowsOf(client);
        m_desktop->setAttribute(windows[0], Ax::position, QPointF(100, 100));
        m_fixture->destroyWindow(xcb_window_t(windows[0]));
        m_desktop->setAttribute(windows[0], Ax::size, QSizeF(300, 300));
        m_desktop->setAttribute(windows[0], Ax::subrole, QString(Ax::fullScreenSubrole));
        m_desktop->setAttribute(windows[0], Ax::main, true);
        place(windows[1], QRect(2500, 500, 300, 200));
        QCOMPARE(frameOf(windows[1]), QRect(2500, 500, 300, 200));
        QCOMPARE(m_desktop->strayErrorCount(), quint64(0));
    }
};

QTEST_GUILESS_MAIN(TestX11Placement)
#include "tst_x11placement.moc"
