// Opens the main window on a temporary store and the simulated desktop, in a
// chosen state, and says when it is drawn, so scripts/screenshots can take
// pictures of the real look on the test desktop.
//
//   corvalint-views-shots [--demo | --workspaces N] [--sheet] [--hover] [--ready FILE]
//                         [--size WxH] [--scroll Y]
//
// When drawn, FILE receives the window's frame "x y width height" in root
// coordinates; the process then waits until it is killed.
#include "categorypalette.h"
#include "creationsheetcontroller.h"
#include "renderingbackend.h"
#include "shotwindow.h"
#include "viewsfixture.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTimer>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(CorvalintPlugin)
Q_IMPORT_QML_PLUGIN(Corvalint_ThemePlugin)

namespace {

void seedDemo(ViewsFixture &fixture)
{
    struct Demo {
        const char *name;
        const char *icon;
        const char *category;
        int entries;
        int monitors;
        bool favorite;
        int launches;
    };
    const Demo demos[] = {
        { "Lumenfern Coding", "curlybraces", "Development", 6, 2, true, 14 },
        { "Brand Design", "paintpalette.fill", "Design", 4, 1, true, 5 },
        { "Office Morgen", "briefcase.fill", "Office", 3, 1, false, 9 },
        { "Abendspiel", "gamecontroller.fill", "Gaming", 2, 1, false, 3 },
        { "Schnitt 4K", "camera.fill", "Kino", 5, 3, false, 2 }, // a stored text that names no category
    };
    int age = 0;
    for (const Demo &demo : demos) {
        Workspace *workspace = fixture.addWorkspace(QString::fromUtf8(demo.name), QString::fromUtf8(demo.category),
            demo.entries, demo.monitors, demo.favorite, age += 60);
        workspace->setIcon(QString::fromLatin1(demo.icon));
        workspace->setLaunchCount(demo.launches);
        workspace->setTimeSavedInSeconds(20.0 * demo.entries * demo.launches);
    }
    fixture.store->save();
}

} // namespace

int main(int argc, char *argv[])
{
    RenderingBackend::chooseDefault();
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption demo("demo", "Five workspaces of several categories, two favourites.");
    const QCommandLineOption count("workspaces", "Seed N plain workspaces.", "N", "0");
    const QCommandLineOption sheet("sheet", "Open the creation sheet.");
    const QCommandLineOption hover("hover", "Report where the first card of \"Alle Workspaces\" lies.");
    const QCommandLineOption ready("ready", "Write the window frame here once drawn.", "FILE");
    const QCommandLineOption size("size", "Window size.", "WxH", "1280x800");
    const QCommandLineOption scroll("scroll", "Scroll the dashboard to Y.", "Y", "0");
    parser.addOptions({ demo, count, sheet, hover, ready, size, scroll });
    parser.process(app);

    ViewsFixture fixture;
    if (parser.isSet(demo))
        seedDemo(fixture);
    for (int i = 0, n = parser.value(count).toInt(); i < n; ++i)
        fixture.addWorkspace(QStringLiteral("Workspace %1").arg(i + 1), CategoryPalette::texts().at(i % 8), 1 + i % 5,
            1 + i % 2, i % 7 == 0, i);

    QQmlApplicationEngine engine;
    QQuickWindow *window = openMainWindow(engine, sizeFrom(parser.value(size)));
    if (!window)
        return 1;
    auto *dashboard = window->findChild<QQuickItem *>(QStringLiteral("dashboard"));

    if (parser.value(scroll).toDouble() > 0)
        dashboard->property("page").value<QQuickItem *>()->setProperty("contentY", parser.value(scroll).toDouble());
    if (parser.isSet(sheet)) {
        auto *controller = dashboard->property("creation").value<CreationSheetController *>();
        controller->setIcon(QStringLiteral("curlybraces"));
        controller->open();
    }

    // Once the window has its size and has drawn it, wait for the window
    // manager and the compositor, draw once more, then report. With --hover the
    // second line names the point of the first card of "Alle Workspaces", for
    // the script to move the real pointer there.
    const QSize wanted = sizeFrom(parser.value(size));
    QObject::connect(window, &QQuickWindow::frameSwapped, window, [&, reported = false]() mutable {
        if (reported || window->size() != wanted)
            return;
        reported = true;
        QTimer::singleShot(1200, window, [&] {
            window->update();
            QTimer::singleShot(300, window, [&] {
                QString text = frameLine(window);
                if (parser.isSet(hover)) {
                    auto *grid = dashboard->property("allGrid").value<QQuickItem *>();
                    const QPoint point = window->mapToGlobal(grid->mapToScene(QPointF(100, 70)).toPoint());
                    text += QStringLiteral("%1 %2\n").arg(point.x()).arg(point.y());
                }
                writeReadyFile(parser.value(ready), text);
            });
        });
    });
    return app.exec();
}
