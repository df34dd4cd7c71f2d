#include "corvalintcommand.h"

#include <QProcess>

QString corvalintProgram()
{
    return QStringLiteral(CORVALINT_BINARY);
}

QProcessEnvironment corvalintEnvironment(const QString &store)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CORVALINT_DATA_DIR"), store);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

CommandResult runCorvalint(const QStringList &arguments, const QString &store)
{
    QProcess process;
    process.setProcessEnvironment(corvalintEnvironment(store));
    process.start(corvalintProgram(), arguments);
    process.waitForFinished(30000);
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError()) };
}
