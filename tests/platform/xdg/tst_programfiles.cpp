// The command, the window program and the command program find each other in a build tree and in an
// installed tree wherever it was unpacked, and never pick up a file that is
// not a program.
#include "platform/xdg/programfiles.h"
#include "platform/xdg/programlocation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString makeFile(const QString &path, bool executable)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("#!/bin/sh\n");
    file.close();
    file.setPermissions(
        executable ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner : QFile::ReadOwner | QFile::WriteOwner);
    return QFileInfo(path).absoluteFilePath();
}

QString programFor(const QString &commandPath, const char *name)
{
    return QFile::decodeName(ProgramLocation::programFor(QFile::encodeName(commandPath).toStdString(), name).c_str());
}

QString windowProgramFor(const QString &commandPath)
{
    return programFor(commandPath, ProgramLocation::windowProgramName);
}

} // namespace

class TestProgramFiles : public QObject
{
    Q_OBJECT

private slots:
    void installedTreeFindsEachOther()
    {
        QTemporaryDir root;
        // An unpacked package with a space in its path, as a user's folder may have.
        const QString prefix = root.filePath(QStringLiteral("my root/usr"));
        const QString command = makeFile(prefix + QStringLiteral("/bin/corvalint"), true);
        const QString window = makeFile(prefix + QStringLiteral("/libexec/corvalint/corvalint-gui"), true);
        const QString commands = makeFile(prefix + QStringLiteral("/libexec/corvalint/corvalint-command"), true);
        QCOMPARE(windowProgramFor(command), window);
        QCOMPARE(programFor(command, ProgramLocation::commandProgramName), commands);
        QCOMPARE(ProgramFiles::commandFor(window), command);
        // The capture and store programs hand over to the command program beside them.
        const QString capture = makeFile(prefix + QStringLiteral("/libexec/corvalint/corvalint-capture"), true);
        QCOMPARE(programFor(capture, ProgramLocation::commandProgramName), commands);
        QCOMPARE(programFor(command, ProgramLocation::captureProgramName), capture);
    }

    void buildTreeHasThemSideBySide()
    {
        QTemporaryDir root;
        const QString command = makeFile(root.filePath(QStringLiteral("app/corvalint")), true);
        const QString window = makeFile(root.filePath(QStringLiteral("app/corvalint-gui")), true);
        QCOMPARE(windowProgramFor(command), window);
        QCOMPARE(ProgramFiles::commandFor(window), command);
    }

    void missingOrNotExecutableIsNotFound()
    {
        QTemporaryDir root;
        const QString command = makeFile(root.filePath(QStringLiteral("usr/bin/corvalint")), true);
        QCOMPARE(windowProgramFor(command), QString());
        makeFile(root.filePath(QStringLiteral("usr/libexec/corvalint/corvalint-gui")), false);
        QCOMPARE(windowProgramFor(command), QString());

        // Where the program lies is unknown: nothing is taken from the working folder.
        QVERIFY(QDir::setCurrent(root.filePath(QStringLiteral("usr/bin"))));
        QCOMPARE(programFor(QString(), "corvalint"), QString());

        // A window program without its command runs itself from autostart and key bindings.
        const QString lonely = makeFile(root.filePath(QStringLiteral("elsewhere/corvalint-gui")), true);
        QCOMPARE(ProgramFiles::commandFor(lonely), lonely);
    }
};

QTEST_GUILESS_MAIN(TestProgramFiles)
#include "tst_programfiles.moc"
