// Placement through the X11 desktop on the test desktop: place() returns at once, outer frames land
// exactly once the window manager answers, states go first and come last, virtual desktops change.
#include "platform/x11/x11windowmover.h"
#include "snapshotlookup.h"
#include "testdesktop.h"

#include <QElapsedTimer>
#include <QTest>
#include <csignal>

namespace {

constexpr WindowState maximized { true, true, false, false };
constexpr WindowState fullScreen { false, false, true, false };

/// Stops a process until destroyed.
class Frozen
{
public:
    explicit Frozen(pid_t pid)
        : m_pid(pid)
    {
        m_stopped = pid > 0 && ::kill(pid, SIGSTOP) == 0;
    }
    ~Frozen() { thaw(); }
    Frozen(const Frozen &) = delete;
    Frozen &operator=(const Frozen &) = delete;

    bool isStopped() const { return m_stopped; }
    void thaw()
    {
        if (m_stopped)
            ::kill(m_pid, SIGCONT);
        m_stopped = false;
    }

private:
    pid_t m_pid = 0;
    bool m_stopped = false;
};

} // namespace

class TestX11Placement : public QObject
{
    Q_OBJECT

private:
    QList<DesktopWindow> windowsOf(QProcess *client)
    {
        return windowsWithPid(m_desktop->snapshot(), client->processId());
    }

    WindowId startOne(const QStringList &arguments)
    {
        QProcess *client = m_fixture->startClient(arguments);
        if (!QTest::qWaitFor([&] { return windowsOf(client).size() == 1; }, 5000))
            return 0;
        return windowsOf(client).front().id;
    }

    /// The listed window with this id; one with id 0 when there is none.
    DesktopWindow window(WindowId id) { return windowWithId(m_desktop->snapshot(), id).value_or(DesktopWindow {}); }

    QRectF frameOf(WindowId id) { return window(id).frame; }

    void place(WindowId id, const QRectF &frame, WindowState state = {}, std::optional<int> desktop = {})
    {
        m_desktop->place(id, WindowPlacement { frame, state, desktop });
    }

    /// Placed and answered: the frame stands and no correction is still on its way.
    bool settledAt(WindowId id, const QRectF &frame)
    {
        return m_desktop->placementsInFlight() == 0 && frameOf(id) == frame;
    }

    std::unique_ptr<DesktopFixture> m_fixture;
    std::unique_ptr<X11Desktop> m_desktop;

private slots:
    void initTestCase()
    {
        QString error;
        m_desktop = openTestDesktop(m_fixture, &error);
        QVERIFY2(m_desktop, qPrintable(error));
        // The test desktop's openbox has several virtual desktops.
        const auto count = m_fixture->cardinals(m_fixture->root(), "_NET_NUMBER_OF_DESKTOPS");
        QVERIFY(!count.empty() && count.front() >= 3);
    }

    void cleanup()
    {
        m_fixture->stopClients();
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);
    }

    void windowMovesAwayAndBackExactly()
    {
        const WindowId id = startOne({ "--title", "Mover", "--geometry", "640x480+200+150" });
        QVERIFY(id);
        const QRectF original = frameOf(id);
        QCOMPARE(original.topLeft(), QPointF(200, 150));
        place(id, QRectF(2050, 120, 700, 500));
        QTRY_VERIFY(settledAt(id, QRectF(2050, 120, 700, 500)));
        place(id, original);
        QTRY_VERIFY(settledAt(id, original));
        QCOMPARE(m_desktop->strayErrorCount(), quint64(0));
    }

    void placeReturnsBeforeTheWindowManagerAnswers()
    {
        const WindowId id = startOne({ "--title", "Patient", "--geometry", "400x300+100+100" });
        QVERIFY(id);
        const QRectF before = frameOf(id);
        const auto pid = m_fixture->cardinals(m_fixture->root(), "_OPENBOX_PID");
        QVERIFY(!pid.empty());
        {
            // A window manager that answers nothing: place() must not wait for it.
            Frozen windowManager(pid_t(pid.front()));
            QVERIFY(windowManager.isStopped());
            QElapsedTimer timer;
            timer.start();
            place(id, QRectF(2200, 300, 500, 400));
            QVERIFY2(timer.elapsed() < 100, qPrintable(QString::number(timer.elapsed())));
            QCOMPARE(m_desktop->placementsInFlight(), 1);
            QCOMPARE(frameOf(id), before);
            // No answer in time: the placement is let go, and no correction goes out behind the request.
            QTRY_COMPARE_WITH_TIMEOUT(m_desktop->placementsInFlight(), 0, X11WindowMover::answerTimeoutMs + 2000);
            QCOMPARE(frameOf(id), before);
        }
        // The window manager carries the request out when it runs again.
        QTRY_COMPARE(frameOf(id), QRectF(2200, 300, 500, 400));
    }

    void frameArrivesAfterPlaceReturned()
    {
        const WindowId id = startOne({ "--title", "Later", "--geometry", "400x300+100+100" });
        QVERIFY(id);
        place(id, QRectF(700, 40, 350, 250));
        // The request is out, its answer still to be read: nothing was waited for.
        QCOMPARE(m_desktop->placementsInFlight(), 1);
        QTRY_VERIFY(settledAt(id, QRectF(700, 40, 350, 250)));
    }

    void staticGravityWindowLandsExactly()
    {
        const WindowId id = startOne({ "--title", "Static", "--geometry", "500x300+300+300", "--gravity", "static" });
        QVERIFY(id);
        place(id, QRectF(2200, 400, 600, 350));
        QTRY_VERIFY(settledAt(id, QRectF(2200, 400, 600, 350)));
        place(id, QRectF(10, 20, 400, 300));
        QTRY_VERIFY(settledAt(id, QRectF(10, 20, 400, 300)));
    }

    void sizeRoundsDownToTheResizeIncrement()
    {
        const WindowId id
            = startOne({ "--title", "Terminal", "--geometry", "484x316+100+100", "--inc", "7x13", "--base", "4x4" });
        QVERIFY(id);
        place(id, QRectF(2000, 50, 800, 600));
        QTRY_COMPARE(frameOf(id).topLeft(), QPointF(2000, 50));
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);
        const QRectF frame = frameOf(id);
        QCOMPARE(frame.topLeft(), QPointF(2000, 50));
        QVERIFY2(frame.width() <= 800 && frame.width() > 800 - 7, qPrintable(QString::number(frame.width())));
        QVERIFY2(frame.height() <= 600 && frame.height() > 600 - 13, qPrintable(QString::number(frame.height())));
    }

    void secondPlacementReplacesTheFirst()
    {
        const WindowId id = startOne({ "--title", "Twice", "--geometry", "300x200+500+500" });
        QVERIFY(id);
        place(id, QRectF(100, 100, 300, 300));
        place(id, QRectF(2100, 150, 400, 250));
        QCOMPARE(m_desktop->placementsInFlight(), 1);
        QTRY_VERIFY(settledAt(id, QRectF(2100, 150, 400, 250)));
    }

    void maximizedWindowIsRestoredBeforeTheMove()
    {
        const WindowId id = startOne({ "--title", "Big", "--geometry", "400x300+100+100", "--maximized" });
        QVERIFY(id);
        QTRY_VERIFY(window(id).state.isMaximized());
        place(id, QRectF(2100, 200, 640, 400));
        QTRY_VERIFY(settledAt(id, QRectF(2100, 200, 640, 400)));
        QCOMPARE(window(id).state, WindowState {});
    }

    void maximizedStateGoesOntoTheSecondMonitor()
    {
        const WindowId id = startOne({ "--title", "Grows", "--geometry", "400x300+100+100" });
        QVERIFY(id);
        place(id, QRectF(1920, 0, 1280, 1024), maximized);
        QTRY_VERIFY(window(id).state.isMaximized());
        QTRY_COMPARE(frameOf(id), QRectF(1920, 0, 1280, 1024));
        // From maximized on one monitor to maximized on the other, and back.
        place(id, QRectF(0, 0, 1920, 1080), maximized);
        QTRY_COMPARE(frameOf(id), QRectF(0, 0, 1920, 1080));
        QVERIFY(window(id).state.isMaximized());
    }

    void maximizedStaysWhenOnlyTheStateMatches()
    {
        const WindowId id = startOne({ "--title", "Already", "--geometry", "400x300+2100+100", "--maximized" });
        QVERIFY(id);
        QTRY_COMPARE(frameOf(id), QRectF(1920, 0, 1280, 1024));
        place(id, QRectF(1920, 0, 1280, 1024), maximized);
        QCOMPARE(m_desktop->placementsInFlight(), 0);
        QVERIFY(window(id).state.isMaximized());
        QCOMPARE(frameOf(id), QRectF(1920, 0, 1280, 1024));
    }

    void halfMaximizedKeepsItsWidth()
    {
        const WindowId id = startOne({ "--title", "Tall", "--geometry", "400x300+100+100" });
        QVERIFY(id);
        place(id, QRectF(2300, 0, 500, 1024), WindowState { false, true, false, false });
        QTRY_VERIFY(window(id).state.maximizedVertically);
        QTRY_COMPARE(frameOf(id), QRectF(2300, 0, 500, 1024));
        QVERIFY(!window(id).state.maximizedHorizontally);
    }

    void fullScreenGoesOnTheMonitorOfTheFrame()
    {
        const WindowId id = startOne({ "--title", "Show", "--geometry", "400x300+100+100" });
        QVERIFY(id);
        place(id, QRectF(1920, 0, 1280, 1024), fullScreen);
        m_desktop->activate(id);
        QTRY_VERIFY(window(id).state.fullScreen);
        QTRY_COMPARE(frameOf(id), QRectF(1920, 0, 1280, 1024));
        QTRY_COMPARE(WindowId(m_fixture->activeWindow()), id);
    }

    void fullScreenWindowLeavesFullScreenToMove()
    {
        const WindowId id = startOne({ "--title", "Was full", "--geometry", "400x300+100+100", "--fullscreen" });
        QVERIFY(id);
        QTRY_COMPARE(frameOf(id), QRectF(0, 0, 1920, 1080));
        place(id, QRectF(2000, 100, 500, 400));
        QTRY_VERIFY(settledAt(id, QRectF(2000, 100, 500, 400)));
        QVERIFY(!window(id).state.fullScreen);
    }

    void windowGoesToAnotherVirtualDesktop()
    {
        const WindowId id = startOne({ "--title", "Traveller", "--geometry", "400x300+100+100" });
        QVERIFY(id);
        QCOMPARE(window(id).desktop, std::optional<int>(0));
        place(id, QRectF(2100, 200, 500, 350), {}, 2);
        // Not shown on the current desktop, and still listed with its frame.
        QTRY_COMPARE(window(id).desktop, std::optional<int>(2));
        QTRY_VERIFY(settledAt(id, QRectF(2100, 200, 500, 350)));
        place(id, QRectF(2100, 200, 500, 350), {}, allDesktops);
        QTRY_COMPARE(window(id).desktop, std::optional<int>(allDesktops));
        place(id, QRectF(300, 200, 500, 350), {}, 0);
        QTRY_COMPARE(window(id).desktop, std::optional<int>(0));
        QTRY_VERIFY(settledAt(id, QRectF(300, 200, 500, 350)));
        // A desktop openbox does not have: none is added, the window comes to the current one.
        const uint32_t desktops = m_fixture->cardinals(m_fixture->root(), "_NET_NUMBER_OF_DESKTOPS").front();
        place(id, QRectF(300, 200, 500, 350), {}, 2);
        QTRY_COMPARE(window(id).desktop, std::optional<int>(2));
        place(id, QRectF(320, 200, 500, 350), {}, 99);
        QTRY_VERIFY(settledAt(id, QRectF(320, 200, 500, 350)));
        QTRY_COMPARE(window(id).desktop, std::optional<int>(0));
        QCOMPARE(m_fixture->cardinals(m_fixture->root(), "_NET_NUMBER_OF_DESKTOPS").front(), desktops);
        // A window saved on every desktop stays on every desktop.
        place(id, QRectF(320, 200, 500, 350), {}, allDesktops);
        QTRY_COMPARE(window(id).desktop, std::optional<int>(allDesktops));
        place(id, QRectF(340, 200, 500, 350), {}, allDesktops);
        QTRY_VERIFY(settledAt(id, QRectF(340, 200, 500, 350)));
        QCOMPARE(window(id).desktop, std::optional<int>(allDesktops));
    }

    void manyWindowsLandWithoutError()
    {
        QProcess *client = m_fixture->startClient(
            { "--title", "1", "--title", "2", "--title", "3", "--title", "4", "--title", "5", "--gravity", "static" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(client).size(), 5, 5000);
        const QList<DesktopWindow> windows = windowsOf(client);
        auto target = [](int i) { return QRectF(100 + 610 * i, 150 + 40 * i, 300 + 11 * i, 200 + 7 * i); };
        for (int i = 0; i < windows.size(); ++i)
            place(windows[i].id, target(i));
        QTRY_COMPARE(m_desktop->placementsInFlight(), 0);
        for (int i = 0; i < windows.size(); ++i)
            QTRY_COMPARE(frameOf(windows[i].id), target(i));
    }

    void windowDestroyedDuringPlacementIsSkipped()
    {
        QProcess *client = m_fixture->startClient({ "--title", "Gone", "--title", "Stays" });
        QTRY_COMPARE_WITH_TIMEOUT(windowsOf(client).size(), 2, 5000);
        const QList<DesktopWindow> windows = windowsOf(client);
        place(windows[0].id, QRectF(100, 100, 300, 300));
        m_fixture->destroyWindow(xcb_window_t(windows[0].id));
        place(windows[0].id, QRectF(100, 100, 300, 300), fullScreen, 1);
        m_desktop->activate(windows[0].id);
        place(windows[1].id, QRectF(2500, 500, 300, 200));
        QTRY_VERIFY(settledAt(windows[1].id, QRectF(2500, 500, 300, 200)));
        QCOMPARE(m_desktop->strayErrorCount(), quint64(0));
    }

    void unknownWindowIsIgnored()
    {
        place(0, QRectF(0, 0, 100, 100));
        place(0x7ffffff, QRectF(0, 0, 100, 100), maximized, 1);
        m_desktop->activate(0x7ffffff);
        QCOMPARE(m_desktop->placementsInFlight(), 0);
        QCOMPARE(m_desktop->strayErrorCount(), quint64(0));
    }
};

QTEST_GUILESS_MAIN(TestX11Placement)
#include "tst_x11placement.moc"
