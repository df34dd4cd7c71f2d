// Bench of the X11 desktop on the test desktop: 50 windows in 10 applications, captured and placed by
// Corvalint and by the usual command-line tools (wmctrl, xprop); prints times, round trips and errors.
//
// Also the `corvalint` command as a whole process, as a key binding or a script starts it: `list` on an
// empty store, and `capture` of the same 50 windows against the scripted route (wmctrl, then xprop per window),
// once with nobody to ask and once with Corvalint running.
//
// Run on a started test desktop: scripts/test-desktop start; DISPLAY=:77 corvalint-bench-x11 CLIENT
#include "platform/x11/x11desktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

namespace {

constexpr int applicationCount = 10;
constexpr int windowsPerApplication = 5;
constexpr int rounds = 5;

struct Probe {
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_atom_t extentsAtom = XCB_NONE;

    Probe()
    {
        auto *reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, 18, "_NET_FRAME_EXTENTS"), nullptr);
        extentsAtom = reply ? reply->atom : XCB_NONE;
        std::free(reply);
    }
    ~Probe() { xcb_disconnect(c); }

    // The outer frame measured independently: client position minus _NET_FRAME_EXTENTS.
    QRect frame(xcb_window_t window) const
    {
        auto *origin = xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, window, root, 0, 0), nullptr);
        auto *geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
        auto *extents
            = xcb_get_property_reply(c, xcb_get_property(c, 0, window, extentsAtom, XCB_ATOM_CARDINAL, 0, 4), nullptr);
        QRect result;
        if (origin && geometry && extents && xcb_get_property_value_length(extents) == 16) {
            const auto *e = static_cast<const uint32_t *>(xcb_get_property_value(extents));
            result = QRect(origin->dst_x - int(e[0]), origin->dst_y - int(e[2]), geometry->width + int(e[0] + e[1]),
                geometry->height + int(e[2] + e[3]));
        }
        std::free(origin);
        std::free(geometry);
        std::free(extents);
        return result;
    }
};

QString run(const QString &program, const QStringList &arguments,
    const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The targets of one placement round: a grid over both monitors, shifted each round.
QRect target(int index, int round)
{
    const int column = index % 10;
    const int row = index / 10;
    return QRect(40 + column * 300 + round * 7, 60 + row * 190 + round * 5, 280 + round * 3, 170 + round * 2);
}

int errorOf(const QRect &actual, const QRect &wanted)
{
    return std::max({ std::abs(actual.left() - wanted.left()), std::abs(actual.top() - wanted.top()),
        std::abs(actual.width() - wanted.width()), std::abs(actual.height() - wanted.height()) });
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: corvalint-bench-x11 PATH-TO-corvalint-test-client [PATH-TO-corvalint]\n");
        return 2;
    }
    QString error;
    auto desktop = X11Desktop::connect(QString(), &error);
    if (!desktop || !desktop->canControlWindows()) {
        std::fprintf(stderr, "no test desktop: %s\n", qPrintable(error));
        return 1;
    }

    std::vector<std::unique_ptr<QProcess>> clients;
    for (int a = 0; a < applicationCount; ++a) {
        QStringList arguments { QStringLiteral("--class"), QStringLiteral("bench%1,Bench%1").arg(a) };
        for (int w = 0; w < windowsPerApplication; ++w) {
            const QRect frame = target(a * windowsPerApplication + w, 3);
            arguments
                << QStringLiteral("--title") << QStringLiteral("Bench %1.%2").arg(a).arg(w)
                << QStringLiteral("--geometry")
                << QStringLiteral("%1x%2+%3+%4").arg(frame.width()).arg(frame.height()).arg(frame.x()).arg(frame.y());
        }
        clients.push_back(std::make_unique<QProcess>());
        clients.back()->start(QString::fromLocal8Bit(argv[1]), arguments);
    }
    std::vector<WindowId> windows;
    const bool ready = QTest::qWaitFor(
        [&] {
            windows.clear();
            const DesktopSnapshot snapshot = desktop->snapshot();
            for (auto &client : clients) {
                for (const DesktopApplication &application : snapshot.applications) {
                    if (!application.hasPid(client->processId()))
                        continue;
                    for (const DesktopWindow &window : application.windows)
                        windows.push_back(window.id);
                }
            }
            return windows.size() == size_t(applicationCount * windowsPerApplication);
        },
        20000);
    if (!ready) {
        std::fprintf(stderr, "the bench windows did not appear (%zu)\n", windows.size());
        return 1;
    }

    // --- Capture: what a capture reads, against wmctrl -lpGx and one xprop per window.
    std::vector<double> ours, theirs;
    quint64 roundTrips = 0;
    for (int r = 0; r < rounds; ++r) {
        const quint64 before = desktop->roundTripCount();
        QElapsedTimer timer;
        timer.start();
        int read = 0;
        // What a capture reads: one snapshot, with the monitors and every window's title, frame and state.
        const DesktopSnapshot snapshot = desktop->snapshot();
        for (const DesktopApplication &application : snapshot.applications)
            read += int(application.windows.size());
        ours.push_back(timer.nsecsElapsed() / 1e6);
        roundTrips = desktop->roundTripCount() - before;

        timer.restart();
        const QStringList lines
            = run(QStringLiteral("wmctrl"), { QStringLiteral("-lpGx") }).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString &line : lines)
            run(QStringLiteral("xprop"), { QStringLiteral("-id"), line.section(QLatin1Char(' '), 0, 0) });
        theirs.push_back(timer.nsecsElapsed() / 1e6);
        if (read != int(windows.size()))
            std::fprintf(stderr, "capture read %d windows\n", read);
    }
    std::printf("capture: corvalint %.2f ms in %llu round trips, wmctrl+xprop %.1f ms: %.0fx faster\n", median(ours),
        static_cast<unsigned long long>(roundTrips), median(theirs), median(theirs) / median(ours));
    const double scripted = median(theirs);

    // --- The command as a whole process, with a store of its own (and no running instance to ask).
    const QString command = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(CORVALINT_PROGRAM);
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    // A capture keeps the windows of installed applications: give each bench class its desktop entry.
    QDir().mkpath(home.filePath(QStringLiteral("data/applications")));
    for (int a = 0; a < applicationCount; ++a) {
        QFile entry(home.filePath(QStringLiteral("data/applications/bench%1.desktop").arg(a)));
        if (entry.open(QIODevice::WriteOnly))
            entry.write(
                QStringLiteral("[Desktop Entry]\nType=Application\nName=Bench %1\nExec=%2 --class bench%1,Bench%1\n"
                               "StartupWMClass=Bench%1\n")
                    .arg(a)
                    .arg(QString::fromLocal8Bit(argv[1]))
                    .toUtf8());
    }
    // The floor under every whole-process figure: a program that does nothing, started the same way.
    std::vector<double> list, capture, floor;
    for (int r = 0; r < 4 * rounds; ++r) {
        QElapsedTimer timer;
        timer.start();
        run(command, { QStringLiteral("list") }, environment);
        list.push_back(timer.nsecsElapsed() / 1e6);
        timer.restart();
        run(QStringLiteral("/bin/true"), {}, environment);
        floor.push_back(timer.nsecsElapsed() / 1e6);
    }
    for (int r = 0; r < 2 * rounds; ++r) {
        QElapsedTimer timer;
        timer.start();
        const QString said
            = run(command, { QStringLiteral("capture"), QStringLiteral("Bench %1").arg(r) }, environment);
        capture.push_back(timer.nsecsElapsed() / 1e6);
        if (!said.contains(QStringLiteral("with %1 entries").arg(windows.size())))
            std::fprintf(stderr, "capture said: %s\n", qPrintable(said));
    }
    std::printf("command, whole process: list (empty store) %.1f ms median, best %.1f ms (/bin/true %.1f ms); capture "
                "of %zu windows %.1f ms median, best %.1f ms: %.0fx faster than wmctrl+xprop\n",
        median(list), *std::min_element(list.begin(), list.end()), median(floor), windows.size(), median(capture),
        *std::min_element(capture.begin(), capture.end()), scripted / median(capture));

    // --- The same with Corvalint running, as it does in the tray of a session it starts with: the command
    // hands the capture to it and loads neither the desktop's nor the store's libraries.
    {
        QProcess instance;
        instance.setProcessEnvironment(environment);
        // Started as the session starts it: in the tray, without its window.
        instance.start(command, { QStringLiteral("--login") });
        const QDir runtime(home.path());
        const bool listening = QTest::qWaitFor(
            [&] { return !runtime.entryList({ QStringLiteral("corvalint-*.socket") }, QDir::System).isEmpty(); },
            15000);
        // Its start-up work is over before the first measured command.
        QTest::qWait(1500);
        std::vector<double> handed;
        for (int r = 0; listening && r < 4 * rounds; ++r) {
            QElapsedTimer timer;
            timer.start();
            const QString said
                = run(command, { QStringLiteral("capture"), QStringLiteral("Running %1").arg(r) }, environment);
            handed.push_back(timer.nsecsElapsed() / 1e6);
            if (!said.contains(QStringLiteral("with %1 entries").arg(windows.size())))
                std::fprintf(stderr, "capture said: %s\n", qPrintable(said));
        }
        if (handed.empty())
            std::fprintf(stderr, "Corvalint did not start: %s\n", instance.readAllStandardError().constData());
        else
            std::printf("command, whole process, Corvalint running: capture of %zu windows %.1f ms median, best "
                        "%.1f ms: %.0fx faster than wmctrl+xprop\n",
                windows.size(), median(handed), *std::min_element(handed.begin(), handed.end()),
                scripted / median(handed));
        instance.terminate();
        if (!instance.waitForFinished(5000))
            instance.kill();
        instance.waitForFinished(5000);
    }

    // --- Placement: every window to a new frame, then measured independently once every placement settled.
    Probe probe;
    ours.clear();
    theirs.clear();
    std::vector<double> settled;
    int ourError = 0, theirError = 0;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer timer;
        timer.start();
        for (size_t i = 0; i < windows.size(); ++i)
            desktop->place(windows[i], WindowPlacement { QRectF(target(int(i), r)), {}, {} });
        ours.push_back(timer.nsecsElapsed() / 1e6);
        // The window manager answers while the event loop runs; nothing above waited for it.
        if (!QTest::qWaitFor([&] { return desktop->placementsInFlight() == 0; }, 10000))
            std::fprintf(stderr, "placements still waiting: %d\n", desktop->placementsInFlight());
        settled.push_back(timer.nsecsElapsed() / 1e6);
        for (size_t i = 0; i < windows.size(); ++i)
            ourError = std::max(ourError, errorOf(probe.frame(xcb_window_t(windows[i])), target(int(i), r)));

        timer.restart();
        for (size_t i = 0; i < windows.size(); ++i) {
            const QRect frame = target(int(i), r + rounds);
            run(QStringLiteral("wmctrl"),
                { QStringLiteral("-ir"), QString::number(windows[i]), QStringLiteral("-e"),
                    QStringLiteral("0,%1,%2,%3,%4")
                        .arg(frame.x())
                        .arg(frame.y())
                        .arg(frame.width())
                        .arg(frame.height()) });
        }
        theirs.push_back(timer.nsecsElapsed() / 1e6);
        // wmctrl does not wait for the window manager: give it a moment before measuring.
        QTest::qWait(200);
        for (size_t i = 0; i < windows.size(); ++i)
            theirError
                = std::max(theirError, errorOf(probe.frame(xcb_window_t(windows[i])), target(int(i), r + rounds)));
    }
    std::printf("placement of %zu windows: corvalint %.1f ms to ask, %.1f ms until settled, largest error %d px; "
                "wmctrl %.1f ms, largest error %d px\n",
        windows.size(), median(ours), median(settled), ourError, median(theirs), theirError);

    for (auto &client : clients) {
        client->kill();
        client->waitForFinished(5000);
    }
    return 0;
}
