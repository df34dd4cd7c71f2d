// Bench of the GNOME desktop on the GNOME test desktop: 30 windows (27 Xwayland windows in 9 processes, 3 Qt
// windows on Wayland) captured, and 10 of them placed, through Corvalint's shell extension; prints the times, the
// D-Bus calls each took and the placement errors.
//
// Run on a started test desktop (see docs/gnome-desktop.md):
//   scripts/test-gnome-desktop --dir DIR --pin PIN --extension EXT start
//   corvalint-bench-gnome DIR CLIENT WAYLAND_WINDOW
#include "automation/automationservice.h"
#include "automation/qtautomationclock.h"
#include "platform/gnome/gnomedesktop.h"
#include "platform/gnome/gnomeshellclient.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int x11Processes = 9;
constexpr int windowsPerProcess = 3;
constexpr int waylandWindows = 3;
constexpr int totalWindows = x11Processes * windowsPerProcess + waylandWindows;
constexpr int placed = 10;
constexpr int rounds = 5;

bool loadEnvironment(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("export "))) {
            const QString assignment = line.mid(7);
            const qsizetype equals = assignment.indexOf(QLatin1Char('='));
            if (equals > 0)
                qputenv(assignment.left(equals).toLocal8Bit(), assignment.mid(equals + 1).toLocal8Bit());
        }
    }
    return true;
}

int windowCount(GnomeDesktop &desktop)
{
    int count = 0;
    for (const DesktopApplication &application : desktop.snapshot().applications)
        count += int(application.windows.size());
    return count;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 4 || !loadEnvironment(arguments[1] + QStringLiteral("/env"))) {
        std::fprintf(stderr, "usage: corvalint-bench-gnome TEST_DESKTOP_DIR CLIENT WAYLAND_WINDOW\n");
        return 2;
    }
    QString error;
    auto desktop = GnomeDesktop::connect(true, &error);
    if (!desktop) {
        std::fprintf(stderr, "corvalint-bench-gnome: %s\n", qPrintable(error));
        return 1;
    }
    std::vector<std::unique_ptr<QProcess>> clients;
    auto start = [&](const QString &program, const QStringList &args) {
        auto process = std::make_unique<QProcess>();
        process->start(program, args);
        process->waitForStarted();
        clients.push_back(std::move(process));
    };
    for (int p = 0; p < x11Processes; ++p) {
        QStringList args { QStringLiteral("--class"), QStringLiteral("testapp-a,TestAppA") };
        for (int w = 0; w < windowsPerProcess; ++w)
            args << QStringLiteral("--title") << QStringLiteral("Bench %1.%2").arg(p).arg(w)
                 << QStringLiteral("--geometry") << QStringLiteral("300x200+%1+%2").arg(40 * p).arg(30 * w);
        start(arguments[2], args);
    }
    for (int w = 0; w < waylandWindows; ++w)
        start(arguments[3],
            { QStringLiteral("--app-id"), QStringLiteral("testapp-w"), QStringLiteral("--title"),
                QStringLiteral("Bench W%1").arg(w), QStringLiteral("--size"), QStringLiteral("300x200") });
    if (!QTest::qWaitFor([&] { return windowCount(*desktop) >= totalWindows; }, 30000)) {
        std::fprintf(
            stderr, "corvalint-bench-gnome: only %d of %d windows appeared\n", windowCount(*desktop), totalWindows);
        return 1;
    }

    // Capture: the snapshot alone, and the automation's whole capture (documents, entries).
    QtAutomationClock clock;
    AutomationService service(*desktop, clock);
    std::vector<double> snapshotMs, captureMs;
    int snapshotCalls = 0, captureCalls = 0;
    qsizetype entries = 0;
    for (int round = 0; round < rounds; ++round) {
        int before = desktop->client().roundTrips();
        QElapsedTimer timer;
        timer.start();
        const DesktopSnapshot snapshot = desktop->snapshot();
        snapshotMs.push_back(timer.nsecsElapsed() / 1e6);
        snapshotCalls = desktop->client().roundTrips() - before;
        before = desktop->client().roundTrips();
        timer.restart();
        entries = service.captureCurrentDesktop().size();
        captureMs.push_back(timer.nsecsElapsed() / 1e6);
        captureCalls = desktop->client().roundTrips() - before;
    }

    // Placement: ten windows to a grid on both monitors, until every frame is where it was asked.
    std::vector<std::pair<WindowId, QRectF>> goals;
    for (const DesktopApplication &application : desktop->snapshot().applications) {
        for (const DesktopWindow &window : application.windows) {
            if (int(goals.size()) == placed)
                break;
            const int i = int(goals.size());
            goals.push_back({ window.id, QRectF(100 + (i % 5) * 620, 100 + (i / 5) * 420, 400, 300) });
        }
    }
    const int beforePlacing = desktop->client().roundTrips();
    QElapsedTimer placing;
    placing.start();
    for (const auto &[id, frame] : goals)
        desktop->place(id, { frame, {}, std::nullopt });
    const double requestMs = placing.nsecsElapsed() / 1e6;
    const int requestCalls = desktop->client().roundTrips() - beforePlacing;
    double worst = 0;
    auto allThere = [&] {
        worst = 0;
        const DesktopSnapshot snapshot = desktop->snapshot();
        for (const auto &[id, frame] : goals) {
            for (const DesktopApplication &application : snapshot.applications) {
                for (const DesktopWindow &window : application.windows) {
                    if (window.id == id)
                        worst = std::max({ worst, std::abs(window.frame.x() - frame.x()),
                            std::abs(window.frame.y() - frame.y()), std::abs(window.frame.width() - frame.width()),
                            std::abs(window.frame.height() - frame.height()) });
                }
            }
        }
        return worst <= 1;
    };
    const bool there = QTest::qWaitFor(allThere, 10000);
    const double placedMs = placing.nsecsElapsed() / 1e6;
    (void)QTest::qWaitFor([&] { return desktop->placementsInFlight() == 0; }, 5000);

    std::printf("windows %d, captured entries %lld\n", windowCount(*desktop), static_cast<long long>(entries));
    std::printf("snapshot of %d windows: median %.1f ms (min %.1f), %d D-Bus call(s)\n", totalWindows,
        median(snapshotMs), *std::min_element(snapshotMs.begin(), snapshotMs.end()), snapshotCalls);
    std::printf("capture of %d windows: median %.1f ms (min %.1f), %d D-Bus call(s)\n", totalWindows, median(captureMs),
        *std::min_element(captureMs.begin(), captureMs.end()), captureCalls);
    std::printf("placement of %d windows: requests %.1f ms (%d D-Bus calls), all in place after %.0f ms%s, "
                "worst error %.0f px, corrections %d\n",
        placed, requestMs, requestCalls, placedMs, there ? "" : " (NOT ALL)", worst, desktop->correctionsSent());

    for (const DesktopApplication &application : desktop->snapshot().applications)
        desktop->closeApplication(application);
    (void)QTest::qWaitFor([&] { return windowCount(*desktop) == 0; }, 10000);
    for (auto &client : clients) {
        if (!client->waitForFinished(3000))
            client->kill();
    }
    return there ? 0 : 1;
}
