// Cold start of the real application: starts `corvalint` again and again on
// an empty store (fresh XDG directories each time, so no instance, store or
// settings carry over) and reads from its first-frame report how long it took
// from the start of the process to the main window's first frame.
//
//   corvalint-bench-appstart CORVALINT [--runs N]     (DISPLAY: a test desktop)
// Prints "runs=… median_ms=… min_ms=… max_ms=…".
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <algorithm>

namespace {

// One start; -1 when the application gave no report within the deadline.
int startOnce(const QString &program)
{
    QTemporaryDir home;
    const QString report = home.filePath(QStringLiteral("first-frame.txt"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR" }) {
        const QString directory = home.filePath(QString::fromLatin1(name));
        QDir().mkpath(directory);
        QFile::setPermissions(directory, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        environment.insert(QString::fromLatin1(name), directory);
    }
    environment.insert(QStringLiteral("CORVALINT_FIRST_FRAME_REPORT"), report);
    QProcess app;
    app.setProcessEnvironment(environment);
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.start(program, {});
    if (!app.waitForStarted(5000))
        return -1;
    int result = -1;
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired() && app.state() == QProcess::Running) {
        QFile file(report);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray line = file.readLine().trimmed();
            if (line.startsWith("exec_to_first_frame_ms=")) {
                result = line.mid(line.indexOf('=') + 1).toInt();
                break;
            }
        }
        QThread::msleep(20);
    }
    app.terminate();
    if (!app.waitForFinished(5000)) {
        app.kill();
        app.waitForFinished(5000);
    }
    return result;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 2) {
        QTextStream(stderr) << "usage: corvalint-bench-appstart CORVALINT [--runs N]\n";
        return 2;
    }
    const int runsIndex = arguments.indexOf(QStringLiteral("--runs"));
    const int runs = runsIndex > 0 ? std::max(1, arguments.value(runsIndex + 1).toInt()) : 10;
    // The first start warms the page cache and the font cache; it is not counted.
    startOnce(arguments.at(1));
    QList<int> times;
    for (int i = 0; i < runs; ++i) {
        const int ms = startOnce(arguments.at(1));
        if (ms < 0) {
            QTextStream(stderr) << "corvalint-bench-appstart: no first frame reported\n";
            return 1;
        }
        times.append(ms);
    }
    std::sort(times.begin(), times.end());
    QTextStream(stdout) << "runs=" << runs << " median_ms=" << times.at(times.size() / 2) << " min_ms=" << times.first()
                        << " max_ms=" << times.last() << Qt::endl;
    return 0;
}
