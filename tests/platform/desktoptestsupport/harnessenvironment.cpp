#include "harnessenvironment.h"

#include <QFile>
#include <QStringList>

bool loadHarnessEnvironment(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("export "))) {
            const QString assignment = line.mid(7);
            const qsizetype equals = assignment.indexOf(QLatin1Char('='));
            if (equals > 0)
                qputenv(assignment.left(equals).toLocal8Bit(), assignment.mid(equals + 1).toLocal8Bit());
        } else if (line.startsWith(QLatin1String("unset "))) {
            for (const QString &name : line.mid(6).split(QLatin1Char(' '), Qt::SkipEmptyParts))
                qunsetenv(name.toLocal8Bit().constData());
        }
    }
    return true;
}

QByteArray clientLog()
{
    QFile log(qEnvironmentVariable("CORVALINT_TEST_CLIENT_LOG"));
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}

void clearClientLog()
{
    QFile::remove(qEnvironmentVariable("CORVALINT_TEST_CLIENT_LOG"));
}
