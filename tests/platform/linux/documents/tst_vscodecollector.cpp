// Tests reading the folders of VS Code's windows from its window state.
#include "platform/linux/documents/vscodecollector.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
// JSON written with single quotes, which read better inside C++ strings.
QByteArray json(const char *singleQuoted)
{
    return QByteArray(singleQuoted).replace('\'', '"');
}
} // namespace

class TestVsCodeCollector : public QObject
{
    Q_OBJECT

private slots:
    void openedWindowsComeFirstThenTheLastActiveOne()
    {
        const QByteArray state
            = json("{'windowsState': {"
                   "'lastActiveWindow': {'folder': 'file:///home/u/active', 'backupPath': '/x'},"
                   "'openedWindows': ["
                   "{'folder': 'file:///home/u/one'},"
                   "{'folderUri': 'file:///home/u/with%20space'},"
                   "{'workspaceIdentifier': {'id': '1', 'configURIPath': 'file:///home/u/w.code-workspace'}},"
                   "{'backupPath': '/empty-window'},"
                   "{'folder': 'vscode-remote://ssh-remote+box/home/u/remote'}"
                   "]}}");
        QCOMPARE(VsCodeCollector::windowPaths(state),
            (QStringList { "/home/u/one", "/home/u/with space", "/home/u/w.code-workspace", "/home/u/active" }));
    }

    void lastActiveWindowIsNotRepeated()
    {
        const QByteArray state = json("{'windowsState': {"
                                      "'lastActiveWindow': {'folder': 'file:///p/b'},"
                                      "'openedWindows': [{'folder': 'file:///p/a'}, {'folder': 'file:///p/b'}]}}");
        QCOMPARE(VsCodeCollector::windowPaths(state), (QStringList { "/p/a", "/p/b" }));
    }

    void localhostUrisAreLocalPathsOtherHostsAreNot()
    {
        const QByteArray state = json("{'windowsState': {'openedWindows': ["
                                      "{'folder': 'file://localhost/home/u/one'},"
                                      "{'folderUri': 'file://fileserver/home/u/two'},"
                                      "{'folder': 'file://LOCALHOST/home/u/three'}]}}");
        QCOMPARE(VsCodeCollector::windowPaths(state), (QStringList { "/home/u/one", "/home/u/three" }));
    }

    void olderKeysAreRead()
    {
        const QByteArray state
            = json("{'windowsState': {"
                   "'lastActiveWindow': {'folderPath': '/old/path'},"
                   "'openedWindows': [{'workspace': {'id': '2', 'configPath': '/old/w.code-workspace'}}]}}");
        QCOMPARE(VsCodeCollector::windowPaths(state), (QStringList { "/old/w.code-workspace", "/old/path" }));
    }

    void nothingUsableGivesNothing()
    {
        QVERIFY(VsCodeCollector::windowPaths("{}").isEmpty());
        QVERIFY(VsCodeCollector::windowPaths("[1,2]").isEmpty());
        QVERIFY(VsCodeCollector::windowPaths("{\"windowsState\": {\"openedWindows\": 3}}").isEmpty());
        QVERIFY(VsCodeCollector::windowPaths("\xff\xfe garbage").isEmpty());
    }

    void collectorReadsGlobalStorage()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("globalStorage"));
        QFile file(dir.filePath("globalStorage/storage.json"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(json("{'windowsState': {'lastActiveWindow': {'folder': 'file:///srv/project'}}}"));
        file.close();
        QCOMPARE(VsCodeCollector(dir.path()).collect(), QStringList { "/srv/project" });
        QVERIFY(VsCodeCollector(dir.filePath("missing")).collect().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestVsCodeCollector)
#include "tst_vscodecollector.moc"
