// Runs the corvalint program for a test: private store, runtime and config
// folders, no X display unless asked, and the output collected.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QSignalSpy>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class CliRunner
{
public:
    CliRunner()
    {
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert(QStringLiteral("CORVALINT_DATA_DIR"), m_data.path());
        m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
        m_environment.remove(QStringLiteral("DISPLAY"));
    }

    QString dataPath() const { return m_data.path(); }
    QString runtimePath() const { return m_runtime.path(); }
    QProcessEnvironment &environment() { return m_environment; }

    static QString program() { return QStringLiteral(CORVALINT_PROGRAM); }
    static QString scenario(const QString &name) { return QStringLiteral("sim:" CORVALINT_SCENARIOS "/") + name; }

    /// Runs to the end with the event loop going, so that an instance in the
    /// test process itself can answer the program.
    CliRun run(const QStringList &arguments, int timeoutMs = 30000)
    {
        QProcess process;
        process.setProcessEnvironment(m_environment);
        QSignalSpy finished(&process, &QProcess::finished);
        process.start(program(), arguments);
        CliRun result;
        if (!process.waitForStarted(10000))
            return result;
        if (!finished.wait(timeoutMs)) {
            process.kill();
            process.waitForFinished(5000);
            return result;
        }
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

private:
    QTemporaryDir m_data;
    QTemporaryDir m_runtime;
    QTemporaryDir m_config;
    QProcessEnvironment m_environment;
};
