// The dashboard with many workspaces: time to first frame, then a scroll from
// top to bottom in steps of one screen (page jumps), then back to the top in
// wheel steps, counting the cards built and timing every frame of each pass.
//
//   corvalint-bench-dashboard [--workspaces N] [--wheel-step PIXELS]   (default 1000, 48)
#include "renderingbackend.h"
#include "viewsfixture.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTextStream>
#include <QTimer>
#include <QtQml/qqmlextensionplugin.h>
#include <algorithm>

Q_IMPORT_QML_PLUGIN(CorvalintPlugin)
Q_IMPORT_QML_PLUGIN(Corvalint_ThemePlugin)

int main(int argc, char *argv[])
{
    RenderingBackend::chooseDefault();
    QGuiApplication app(argc, argv);
    const int index = app.arguments().indexOf("--workspaces");
    const int workspaces = index > 0 ? app.arguments().value(index + 1).toInt() : 1000;
    // One notch of a mouse wheel scrolls three lines of about 16 px in most toolkits.
    const int wheelIndex = app.arguments().indexOf("--wheel-step");
    const double wheelStep = wheelIndex > 0 ? std::max(1, app.arguments().value(wheelIndex + 1).toInt()) : 48;

    ViewsFixture fixture;
    QElapsedTimer seed;
    seed.start();
    for (int i = 0; i < workspaces; ++i)
        fixture.addWorkspace(QStringLiteral("Workspace %1").arg(i), QStringLiteral("Office"), 2, 1, i % 50 == 0, i);
    const qint64 seedMs = seed.elapsed();

    QElapsedTimer sinceLoad;
    sinceLoad.start();
    QQmlApplicationEngine engine;
    engine.load(QUrl(QStringLiteral("qrc:/Corvalint/Main.qml")));
    if (engine.rootObjects().isEmpty())
        return 1;
    auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().first());
    // The window's default size, where the figures are asked for.
    window->resize(1100, 720);
    auto *dashboard = window->findChild<QQuickItem *>(QStringLiteral("dashboard"));
    auto *page = dashboard->property("page").value<QQuickItem *>();
    auto *grid = dashboard->property("allGrid").value<QQuickItem *>();
    auto *favorites = dashboard->property("favoritesGrid").value<QQuickItem *>();

    QTextStream out(stdout);
    qint64 firstFrameMs = -1;
    int maxBuilt = 0;
    QList<qint64> frameTimes;
    QElapsedTimer frame;
    double y = 0;
    const auto built = [&] { return grid->property("builtCards").toInt() + favorites->property("builtCards").toInt(); };

    // One step per frame: scroll further, wait for the frame, note the time it
    // took and how many cards exist. Page jumps down first, then wheel steps up.
    bool wheelPass = false;
    const auto report = [&](const char *mode, double height) {
        std::sort(frameTimes.begin(), frameTimes.end());
        const qint64 median = frameTimes.isEmpty() ? 0 : frameTimes.at(frameTimes.size() / 2);
        const qint64 worst = frameTimes.isEmpty() ? 0 : frameTimes.last();
        const auto over = std::count_if(frameTimes.cbegin(), frameTimes.cend(), [](qint64 us) { return us > 50'000; });
        out << "mode=" << mode << " workspaces=" << workspaces << " seed_ms=" << seedMs
            << " load_to_first_frame_ms=" << firstFrameMs << " scroll_steps=" << frameTimes.size()
            << " content_height=" << qRound(height) << " max_cards_built=" << maxBuilt << " frame_median_us=" << median
            << " frame_worst_us=" << worst << " frames_over_50ms=" << over << Qt::endl;
        frameTimes.clear();
        maxBuilt = 0;
    };
    QObject::connect(window, &QQuickWindow::frameSwapped, &app, [&] {
        if (firstFrameMs < 0) {
            firstFrameMs = sinceLoad.elapsed();
        } else {
            frameTimes.append(frame.nsecsElapsed() / 1000);
        }
        maxBuilt = std::max(maxBuilt, built());
        const double end = page->property("contentHeight").toDouble() - page->height();
        if (!wheelPass && y >= end) {
            report("page", end + page->height());
            wheelPass = true;
        } else if (wheelPass && y <= 0) {
            report("wheel", end + page->height());
            app.quit();
            return;
        }
        y = wheelPass ? std::max(0.0, y - wheelStep) : std::min(end, y + page->height());
        QTimer::singleShot(0, page, [&] {
            frame.start();
            page->setProperty("contentY", y);
        });
    });
    return app.exec();
}
