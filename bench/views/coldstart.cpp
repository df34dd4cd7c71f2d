// Cold start of the main window: from process start (and from main) to the
// first frame on screen, on an empty store and the simulated desktop.
//
//   corvalint-bench-coldstart [--workspaces N]
// Prints "exec_to_first_frame_ms=… main_to_first_frame_ms=… qml_load_ms=…".
#include "viewsfixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QTextStream>
#include <QtQml/qqmlextensionplugin.h>
#include <unistd.h>

Q_IMPORT_QML_PLUGIN(CorvalintPlugin)

namespace {

// Milliseconds since the kernel started this process, from /proc (10 ms steps).
double millisecondsSinceExec()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    QFile uptime(QStringLiteral("/proc/uptime"));
    if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // Fields after the command name, which is in parentheses and may hold blanks.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble(); // field 22: starttime
    const double up = uptime.readAll().split(' ').value(0).toDouble();
    return (up - startTicks / double(sysconf(_SC_CLK_TCK))) * 1000.0;
}

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    QGuiApplication app(argc, argv);
    const int workspaces = app.arguments().indexOf("--workspaces") > 0
        ? app.arguments().value(app.arguments().indexOf("--workspaces") + 1).toInt()
        : 0;

    ViewsFixture fixture;
    for (int i = 0; i < workspaces; ++i)
        fixture.addWorkspace(QStringLiteral("Workspace %1").arg(i), QStringLiteral("Office"), 2, 1, i % 9 == 0, i);
    const qint64 servicesReady = sinceMain.elapsed();

    QQmlApplicationEngine engine;
    QElapsedTimer load;
    load.start();
    engine.load(QUrl(QStringLiteral("qrc:/Corvalint/Main.qml")));
    if (engine.rootObjects().isEmpty())
        return 1;
    const qint64 loadMs = load.elapsed();
    auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().first());
    QObject::connect(window, &QQuickWindow::frameSwapped, &app, [&] {
        QTextStream(stdout) << "exec_to_first_frame_ms=" << qRound(millisecondsSinceExec())
                            << " main_to_first_frame_ms=" << sinceMain.elapsed()
                            << " services_ms=" << servicesReady << " qml_load_ms=" << loadMs
                            << " workspaces=" << workspaces << Qt::endl;
        app.quit();
    }, Qt::SingleShotConnection);
    return app.exec();
}
