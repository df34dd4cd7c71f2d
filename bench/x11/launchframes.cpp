// Bench of the GUI thread during a launch: an animated window keeps drawing while ten applications are
// started and placed on the test desktop; prints the frame gaps, the worst first. A gap much above one
// frame means the launch or its placements blocked the thread that draws the window.
//
// Run on a started test desktop: scripts/test-desktop start;
//   DISPLAY=:77 corvalint-bench-launchframes PATH-TO-corvalint-test-client
#include "automation/automationservice.h"
#include "automation/qtautomationclock.h"
#include "platform/x11/x11desktop.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickView>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int applicationCount = 10;

// Ten desktop entries of the test client, each its own application, in a private data folder.
bool writeEntries(const QString &dataHome, const QString &client)
{
    const QString folder = dataHome + QStringLiteral("/applications");
    if (!QDir().mkpath(folder))
        return false;
    for (int i = 0; i < applicationCount; ++i) {
        QFile file(QStringLiteral("%1/benchapp-%2.desktop").arg(folder).arg(i));
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write(
            QStringLiteral("[Desktop Entry]\nType=Application\nName=Bench %1\n"
                           "Exec=%2 --class benchapp-%1,BenchApp%1 --title \"Bench %1\" --geometry 300x200+10+10\n")
                .arg(i)
                .arg(client)
                .toUtf8());
    }
    return true;
}

QList<EntryData> entries(const QList<DesktopMonitor> &monitors)
{
    QList<EntryData> list;
    for (int i = 0; i < applicationCount; ++i) {
        const DesktopMonitor &monitor = monitors.at(i % monitors.size());
        EntryData entry;
        entry.appBundleIdentifier = QStringLiteral("benchapp-%1").arg(i);
        entry.monitorID = monitor.identifier;
        entry.frameX = monitor.bounds.x() + 40 + 60 * i;
        entry.frameY = monitor.bounds.y() + 40 + 30 * i;
        entry.width = 420;
        entry.height = 300;
        entry.delayAfterLaunch = 0.1;
        list.append(entry);
    }
    return list;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: corvalint-bench-launchframes PATH-TO-corvalint-test-client\n");
        return 2;
    }
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    if (!writeEntries(data.path(), QString::fromLocal8Bit(argv[1])))
        return 1;

    QGuiApplication app(argc, argv);
    QString error;
    auto desktop = X11Desktop::connect(qEnvironmentVariable("DISPLAY"), &error);
    if (!desktop || !desktop->canControlWindows()) {
        std::fprintf(stderr, "needs the test desktop: %s\n", qPrintable(error));
        return 1;
    }
    QtAutomationClock clock;
    AutomationService automation(*desktop, clock);

    QQuickView view;
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    QQmlComponent component(view.engine());
    component.setData(
        "import QtQuick\nRectangle { color: \"#102030\"; width: 480; height: 320\n"
        "  Rectangle { anchors.centerIn: parent; width: 160; height: 160; color: \"#20c0e0\"\n"
        "    RotationAnimation on rotation { from: 0; to: 360; duration: 1000; loops: Animation.Infinite } } }",
        QUrl());
    view.setContent(QUrl(), &component, component.create());
    view.show();

    QElapsedTimer clockMs;
    clockMs.start();
    QList<qint64> swaps;
    QObject::connect(&view, &QQuickWindow::frameSwapped, &view, [&] { swaps.append(clockMs.elapsed()); });

    // A second of drawing alone, then the launch, then until every placement has ended.
    qint64 launchStart = 0;
    qint64 launchEnd = 0;
    QTimer::singleShot(1000, &app, [&] {
        launchStart = clockMs.elapsed();
        automation.launchWorkspace(entries(desktop->monitors()), true, false);
    });
    QObject::connect(&automation, &AutomationService::placementsIdle, &app, [&] {
        launchEnd = clockMs.elapsed();
        QTimer::singleShot(500, &app, &QGuiApplication::quit);
    });
    QTimer::singleShot(60000, &app, &QGuiApplication::quit);
    app.exec();

    QList<qint64> gaps;
    for (qsizetype i = 1; i < swaps.size(); ++i) {
        if (swaps[i] >= launchStart && swaps[i - 1] <= (launchEnd ? launchEnd : swaps.last()))
            gaps.append(swaps[i] - swaps[i - 1]);
    }
    std::sort(gaps.begin(), gaps.end(), std::greater<>());
    if (gaps.isEmpty()) {
        std::fprintf(stderr, "no frames during the launch\n");
        return 1;
    }
    std::printf("launch of %d applications: %lld ms, %lld frames\n", applicationCount,
        static_cast<long long>(launchEnd - launchStart), static_cast<long long>(gaps.size()));
    std::printf("frame gaps during the launch: worst %lld ms, median %lld ms; the five worst:",
        static_cast<long long>(gaps.first()), static_cast<long long>(gaps.at(gaps.size() / 2)));
    for (qsizetype i = 0; i < std::min<qsizetype>(5, gaps.size()); ++i)
        std::printf(" %lld", static_cast<long long>(gaps[i]));
    std::printf("\n");
    return 0;
}
