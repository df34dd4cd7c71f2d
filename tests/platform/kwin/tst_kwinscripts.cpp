// The scripts Corvalint hands KWin, run in a JavaScript engine against a stand-in for KWin's script API.
#include "platform/kwin/kwinscripts.h"
#include "platform/kwin/kwinwindowlist.h"

#include <QJSEngine>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

const KWinReplyTarget target { QStringLiteral(":1.42"), QStringLiteral("/org/corvalint/KWinScript"),
    QStringLiteral("org.corvalint.KWinScript") };

// KWin 5.27's globals as far as the scripts use them; callDBus records its arguments in `sent`.
const char stage[]
    = "var sent = [];\n"
      "var calls = [];\n"
      "function callDBus() { sent.push(Array.prototype.slice.call(arguments)); }\n"
      "var KWin = { ScreenArea: 7 };\n"
      "function client(id, x11) {\n"
      "    return {\n"
      "        internalId: id, pid: 4242, caption: \"Notes \\\"draft\\\"\", screen: 1, active: true,\n"
      "        frameGeometry: { x: 2000, y: 100, width: 640, height: 480 },\n"
      "        fullScreen: false, minimized: false, normalWindow: true, dialog: false, utility: false,\n"
      "        specialWindow: false, skipTaskbar: false, desktop: 2, onAllDesktops: false, closeable: true,\n"
      "        windowId: x11 ? 4194316 : undefined, desktopFileName: x11 ? \"\" : \"org.example.Notes\",\n"
      "        resourceClass: x11 ? \"xterm\" : \"org.example.Notes\", resourceName: x11 ? \"xterm\" : \"notes\",\n"
      "        setMaximize: function (v, h) { calls.push(\"maximize \" + v + \" \" + h + \" \" + "
      "JSON.stringify(this.frameGeometry)); },\n"
      "        closeWindow: function () { calls.push(\"close \" + this.internalId); }\n"
      "    };\n"
      "}\n"
      "var clients = [client(\"{11111111-2222-3333-4444-555555555555}\", false),\n"
      "               client(\"{aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}\", true)];\n"
      "var workspace = {\n"
      "    numScreens: 2, activeScreen: 1, currentDesktop: 2, activeClient: null,\n"
      "    clientArea: function (option, screen, desktop) {\n"
      "        return screen === 0 ? { x: 0, y: 0, width: 1920, height: 1080 } : { x: 1920, y: 0, width: 1280, height: "
      "720 };\n"
      "    },\n"
      "    clientList: function () { return clients; }\n"
      "};\n";

class Stage
{
public:
    Stage() { check(m_engine.evaluate(QString::fromLatin1(stage))); }

    /// Runs a wrapped script and returns what it sent back: the token and the JSON answer.
    std::pair<QString, QJsonObject> run(const QString &body, const QString &token = QStringLiteral("t1"))
    {
        check(m_engine.evaluate(KWinScripts::wrap(body, target, token)));
        const QJSValue sent = m_engine.globalObject().property(QStringLiteral("sent"));
        const int count = sent.property(QStringLiteral("length")).toInt();
        if (count != 1)
            return {};
        const QJSValue call = sent.property(0);
        // service, path, interface, method, token, json
        if (call.property(0).toString() != target.service || call.property(3).toString() != QLatin1String("answer"))
            return {};
        return { call.property(4).toString(), QJsonDocument::fromJson(call.property(5).toString().toUtf8()).object() };
    }

    QJSValue evaluate(const QString &code) { return m_engine.evaluate(code); }

private:
    static void check(const QJSValue &value)
    {
        if (value.isError())
            qFatal("script error: %s", qPrintable(value.toString()));
    }

    QJSEngine m_engine;
};

} // namespace

class TestKWinScripts : public QObject
{
    Q_OBJECT

private slots:
    void literalsKeepQuotesBackslashesAndLineBreaks()
    {
        const QString hostile = QStringLiteral("\"); quit(); (\"\\\n\u2028'end");
        Stage stage;
        QCOMPARE(stage.evaluate(KWinScripts::literal(hostile)).toString(), hostile);
    }

    void listingAnswersWithScreensAndWindows()
    {
        Stage stage;
        const auto [token, answer] = stage.run(KWinScripts::listBody(), QStringLiteral("token-7"));
        QCOMPARE(token, QStringLiteral("token-7"));
        QVERIFY(answer.value(QLatin1String("ok")).toBool());
        const QByteArray result = QJsonDocument(answer.value(QLatin1String("result")).toObject()).toJson();
        QString error;
        const auto list = KWinWindowList::parse(result, &error);
        QVERIFY2(list, qPrintable(error));
        QCOMPARE(list->screens, (QList<QRect> { QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 720) }));
        QCOMPARE(list->activeScreen, 1);
        QCOMPARE(list->currentDesktop, 2);
        QCOMPARE(list->windows.size(), 2);
        const KWinWindow &wayland = list->windows[0];
        QCOMPARE(wayland.internalId, QStringLiteral("{11111111-2222-3333-4444-555555555555}"));
        QCOMPARE(wayland.pid, 4242);
        QCOMPARE(wayland.caption, QStringLiteral("Notes \"draft\""));
        QCOMPARE(wayland.frame, QRect(2000, 100, 640, 480));
        QCOMPARE(wayland.desktop, 2);
        QVERIFY(!wayland.x11);
        QCOMPARE(wayland.desktopFileName, QStringLiteral("org.example.Notes"));
        QVERIFY(list->windows[1].x11);
        QCOMPARE(list->windows[1].resourceClass, QStringLiteral("xterm"));
    }

    void anErrorInsideKWinComesBackAsAnError()
    {
        Stage stage;
        stage.evaluate(QStringLiteral("workspace.clientList = function () { throw new Error('gone'); };"));
        const auto [token, answer] = stage.run(KWinScripts::listBody());
        QCOMPARE(token, QStringLiteral("t1"));
        QVERIFY(!answer.value(QLatin1String("ok")).toBool());
        QVERIFY(answer.value(QLatin1String("error")).toString().contains(QLatin1String("gone")));
    }

    void placementSetsTheFrameBeforeMaximising()
    {
        Stage stage;
        KWinPlacementGoal goal;
        goal.frame = QRect(10, 20, 800, 600);
        goal.maximizeHorizontally = true;
        goal.maximizeVertically = true;
        goal.desktop = 3;
        const auto [token, answer]
            = stage.run(KWinScripts::placeBody(QStringLiteral("{aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}"), goal));
        QVERIFY(answer.value(QLatin1String("ok")).toBool());
        QVERIFY(answer.value(QLatin1String("result")).toObject().value(QLatin1String("found")).toBool());
        QCOMPARE(stage.evaluate(QStringLiteral("calls.join('|')")).toString(),
            QStringLiteral("maximize false false {\"x\":2000,\"y\":100,\"width\":640,\"height\":480}|"
                           "maximize true true {\"x\":10,\"y\":20,\"width\":800,\"height\":600}"));
        QCOMPARE(stage.evaluate(QStringLiteral("clients[1].desktop")).toInt(), 3);
        QCOMPARE(stage.evaluate(QStringLiteral("clients[0].desktop")).toInt(), 2);
    }

    void placementLeavesFullScreenAndCanEnterIt()
    {
        Stage stage;
        stage.evaluate(QStringLiteral("clients[0].fullScreen = true;"));
        KWinPlacementGoal goal;
        goal.frame = QRect(100, 100, 300, 200);
        stage.run(KWinScripts::placeBody(QStringLiteral("{11111111-2222-3333-4444-555555555555}"), goal));
        QCOMPARE(stage.evaluate(QStringLiteral("clients[0].fullScreen")).toBool(), false);
        QCOMPARE(stage.evaluate(QStringLiteral("JSON.stringify(clients[0].frameGeometry)")).toString(),
            QStringLiteral("{\"x\":100,\"y\":100,\"width\":300,\"height\":200}"));

        Stage again;
        goal.fullScreen = true;
        goal.desktop = -1;
        again.run(KWinScripts::placeBody(QStringLiteral("{11111111-2222-3333-4444-555555555555}"), goal));
        QCOMPARE(again.evaluate(QStringLiteral("clients[0].fullScreen")).toBool(), true);
        QCOMPARE(again.evaluate(QStringLiteral("clients[0].onAllDesktops")).toBool(), true);
    }

    void aWindowThatIsGoneIsReportedNotFound()
    {
        Stage stage;
        const auto [token, answer]
            = stage.run(KWinScripts::placeBody(QStringLiteral("{00000000-0000-0000-0000-000000000009}"), {}));
        QVERIFY(answer.value(QLatin1String("ok")).toBool());
        QVERIFY(!answer.value(QLatin1String("result")).toObject().value(QLatin1String("found")).toBool());
        QCOMPARE(stage.evaluate(QStringLiteral("calls.length")).toInt(), 0);
    }

    void closingAsksOnlyTheNamedWindows()
    {
        Stage stage;
        const auto [token, answer] = stage.run(KWinScripts::closeBody(
            { QStringLiteral("{aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}"), QStringLiteral("\"); calls.push('x'); (\"") }));
        QCOMPARE(answer.value(QLatin1String("result")).toObject().value(QLatin1String("closed")).toInt(), 1);
        QCOMPARE(stage.evaluate(QStringLiteral("calls.join('|')")).toString(),
            QStringLiteral("close {aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}"));
    }

    void activationMakesTheWindowActive()
    {
        Stage stage;
        stage.run(KWinScripts::activateBody(QStringLiteral("{aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}")));
        QCOMPARE(stage.evaluate(QStringLiteral("workspace.activeClient === clients[1]")).toBool(), true);
    }
};

QTEST_GUILESS_MAIN(TestKWinScripts)
#include "tst_kwinscripts.moc"
