// Reading the GNOME Shell extension's GetDesktop answer: what it gives, and what garbled or hostile text does.
#include "platform/gnome/gnomeshellstate.h"

#include <QTest>

namespace {

const QByteArray sample = R"({"version":1,"shell":"43.9","primary":0,
  "monitors":[{"index":0,"x":0,"y":0,"width":1920,"height":1080,"scale":1},
              {"index":1,"x":1920,"y":0,"width":1280,"height":1024,"scale":1}],
  "workspaces":4,"activeWorkspace":1,
  "windows":[
    {"id":"1818793463","pid":2614,"title":"Test X","wmClass":"TestAppX","wmClassInstance":"xterm",
     "gtkApplicationId":"","sandboxedAppId":"","shellAppId":"testapp-x.desktop","x11":true,
     "frame":[232,145,484,353],"monitor":0,"fullScreen":false,"maximized":3,"minimized":false,"type":0,
     "normal":true,"dialog":false,"utility":false,"skipTaskbar":false,"transient":false,"allWorkspaces":false,
     "workspace":2,"focused":true},
    {"id":"4294967297","pid":0,"title":"Dialog","frame":[2000,10,300,200],"monitor":1,"maximized":1,
     "dialog":true,"allWorkspaces":true,"workspace":-1},
    {"id":"0","frame":[0,0,10,10]},
    {"id":"12","frame":[0,0,10]},
    {"id":"13","frame":[1e9,0,10,10]},
    {"id":"x14","frame":[0,0,10,10]},
    {"id":"15","frame":[0.5,0,10,10]}
  ]})";

} // namespace

class TestGnomeShellState : public QObject
{
    Q_OBJECT

private slots:
    void readsMonitorsAndWindows()
    {
        QString error;
        const auto state = GnomeShellState::parse(sample, &error);
        QVERIFY2(state, qPrintable(error));
        QCOMPARE(state->version, 1);
        QCOMPARE(state->shell, QStringLiteral("43.9"));
        QCOMPARE(state->monitors.size(), 2);
        QCOMPARE(state->monitors[1].bounds, QRect(1920, 0, 1280, 1024));
        QCOMPARE(state->workspaces, 4);
        QCOMPARE(state->activeWorkspace, 1);
        QCOMPARE(state->windows.size(), 2);
        const GnomeShellWindow &x = state->windows[0];
        QCOMPARE(x.id, quint64(1818793463));
        QCOMPARE(x.pid, std::optional<qint64>(2614));
        QCOMPARE(x.wmClass, QStringLiteral("TestAppX"));
        QCOMPARE(x.wmClassInstance, QStringLiteral("xterm"));
        QCOMPARE(x.shellAppId, QStringLiteral("testapp-x.desktop"));
        QVERIFY(x.x11 && x.normal && x.focused);
        QCOMPARE(x.frame, QRect(232, 145, 484, 353));
        QVERIFY(x.maximizedHorizontally && x.maximizedVertically);
        QCOMPARE(x.workspace, 2);
        const GnomeShellWindow &dialog = state->windows[1];
        // Beyond 32 bits, as Mutter's ids are.
        QCOMPARE(dialog.id, quint64(4294967297));
        QVERIFY(!dialog.pid);
        QVERIFY(dialog.dialog && !dialog.normal && dialog.allWorkspaces);
        QVERIFY(dialog.maximizedHorizontally && !dialog.maximizedVertically);
        QCOMPARE(state->find(4294967297), &state->windows[1]);
        QVERIFY(!state->find(12));
    }

    void refusesWhatIsNoAnswer_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("garbled") << QByteArray("{\"version\":1,");
        QTest::newRow("array") << QByteArray("[1,2]");
        QTest::newRow("no version") << QByteArray(R"({"monitors":[],"windows":[]})");
        QTest::newRow("version text") << QByteArray(R"({"version":"1","monitors":[],"windows":[]})");
        QTest::newRow("no windows") << QByteArray(R"({"version":1,"monitors":[]})");
        QTest::newRow("bad monitor") << QByteArray(
            R"({"version":1,"monitors":[{"x":0,"y":0,"width":0,"height":10}],"windows":[]})");
        QTest::newRow("monitor without size") << QByteArray(R"({"version":1,"monitors":[{"x":0,"y":0}],"windows":[]})");
    }

    void refusesWhatIsNoAnswer()
    {
        QFETCH(QByteArray, json);
        QString error;
        QVERIFY(!GnomeShellState::parse(json, &error));
        QVERIFY(!error.isEmpty());
    }

    void refusesAnAnswerTooLargeUnread()
    {
        QByteArray huge(GnomeShellState::maxAnswerBytes + 1, ' ');
        QString error;
        QVERIFY(!GnomeShellState::parse(huge, &error));
        QVERIFY(error.contains(QLatin1String("too large")));
    }

    void oddFieldsFallBackToSafeValues()
    {
        QString error;
        const auto state = GnomeShellState::parse(
            R"({"version":1,"primary":7,"monitors":[{"x":0,"y":0,"width":800,"height":600,"scale":-2}],
                "windows":[{"id":"5","frame":[1,2,3,4],"pid":-4,"monitor":99,"maximized":12,"workspace":"a"}]})",
            &error);
        QVERIFY2(state, qPrintable(error));
        QCOMPARE(state->primary, 0);
        QCOMPARE(state->monitors[0].scale, 1.0);
        QCOMPARE(state->windows.size(), 1);
        QVERIFY(!state->windows[0].pid);
        QCOMPARE(state->windows[0].monitor, -1);
        QVERIFY(!state->windows[0].maximizedHorizontally);
        QCOMPARE(state->windows[0].workspace, 0);
    }
};

QTEST_GUILESS_MAIN(TestGnomeShellState)
#include "tst_gnomeshellstate.moc"
