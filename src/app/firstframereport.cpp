// Start-up timing for the benchmark.
#include "firstframereport.h"

#include <QFile>
#include <QQuickWindow>
#include <unistd.h>

namespace FirstFrameReport {

double millisecondsSinceExec()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    QFile uptime(QStringLiteral("/proc/uptime"));
    if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // The fields after the command name, which is in parentheses and may hold blanks.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble(); // field 22: starttime
    const double up = uptime.readAll().split(' ').value(0).toDouble();
    return (up - startTicks / double(sysconf(_SC_CLK_TCK))) * 1000.0;
}

void watch(QWindow *window)
{
    const QString path = qEnvironmentVariable("CORVALINT_FIRST_FRAME_REPORT");
    auto *quick = qobject_cast<QQuickWindow *>(window);
    if (path.isEmpty() || !quick)
        return;
    QObject::connect(
        quick, &QQuickWindow::frameSwapped, quick,
        [path] {
            QFile report(path);
            if (report.open(QIODevice::Append | QIODevice::Text))
                report.write("exec_to_first_frame_ms=" + QByteArray::number(qRound(millisecondsSinceExec())) + '\n');
        },
        Qt::SingleShotConnection);
}

} // namespace FirstFrameReport
