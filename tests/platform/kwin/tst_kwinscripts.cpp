// The scripts Corvalint hands KWin, run in a JavaScript engine against stand-ins for KWin's script API: KWin 5.27's
// (clientList(), numbers for screens and desktops) and KWin 6's (windowList(), output and desktop objects), which
// must give the same answers.
#include "platform/kwin/kwinscripts.h"
#include "platform/kwin/kwinwindowlist.h"

#include <QJSEngine>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

const KWinReplyTarget target { QStringLiteral(":1.42"), QStringLiteral("/org/corvalint/KWinScript"),
    QStringLiteral("org.corvalint.KWinScript") };

// What both stand-ins share: callDBus records its arguments in `sent`, the windows' methods their calls in `calls`.
const char common[] = "var sent = [];\n"
                      "var calls = [];\n"
                      "function callDBus() { sent.push(Array.prototype.slice.call(arguments)); }\n"
                      "var KWin = { ScreenArea: 7 };\n"
                      "function area(index) {\n"
                      "    return index === 0 ? { x: 0, y: 0, width: 1920, height: 1080 }\n"
                      "                       : { x: 1920, y: 0, width: 1280, height: 720 };\n"
                      "}\n"
                      "function client(id, x11) {\n"
                      "    return {\n"
                      "        internalId: id, pid: 4242, caption: \"Notes \\\"draft\\\"\", active: true,\n"
                      "        frameGeometry: { x: 2000, y: 100, width: 640, height: 480 },\n"
                      "        fullScreen: false, minimized: false, normalWindow: true, dialog: false,\n"
                      "        utility: false, specialWindow: false, skipTaskbar: false, onAllDesktops: false,\n"
                      "        closeable: true, windowId: x11 ? 4194316 : undefined,\n"
                      "        desktopFileName: x11 ? \"\" : \"org.example.Notes\",\n"
                      "        resourceClass: x11 ? \"xterm\" : \"org.example.Notes\",\n"
                      "        resourceName: x11 ? \"xterm\" : \"notes\",\n"
                      "        setMaximize: function (v, h) { calls.push(\"maximize \" + v + \" \" + h + \" \" + "
                      "JSON.stringify(this.frameGeometry)); },\n"
                      "        closeWindow: function () { calls.push(\"close \" + this.internalId); }\n"
                      "    };\n"
                      "}\n"
                      "var clients = [client(\"{11111111-2222-3333-4444-555555555555}\", false),\n"
                      "               client(\"{aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}\", true)];\n";

// KWin 5.27's globals as far as the scripts use them: clientList(), screens and desktops as numbers.
const char kwin5[]
    = "for (var i = 0; i < clients.length; ++i) {\n"
      "    clients[i].screen = 1;\n"
      "    clients[i].desktop = 2;\n"
      "}\n"
      "var workspace = {\n"
      "    numScreens: 2, activeScreen: 1, currentDesktop: 2, activeClient: null,\n"
      "    clientArea: function (option, screen, desktop) {\n"
      "        if (option !== KWin.ScreenArea || typeof screen !== \"number\" || typeof desktop !== \"number\")\n"
      "            throw new Error(\"5.27's clientArea takes numbers\");\n"
      "        return area(screen);\n"
      "    },\n"
      "    clientList: function () { return clients; }\n"
      "};\n";

// KWin 6's: windowList(), outputs and virtual desktops as objects, activeWindow. A window's output is a wrapper of
// its own (as an engine may hand out), the same output only by name.
const char kwin6[]
    = "function output(index, name) {\n"
      "    return { name: name, manufacturer: \"Maker \" + index, model: \"Model \" + index,\n"
      "             serialNumber: \"SN\" + index, geometry: area(index) };\n"
      "}\n"
      "var screenObjects = [output(0, \"DP-1\"), output(1, \"HDMI-A-1\")];\n"
      "function desktop(number) {\n"
      "    return { id: \"0f6e-\" + number, x11DesktopNumber: number, name: \"Desktop \" + number };\n"
      "}\n"
      "var desktops = [desktop(1), desktop(2), desktop(3)];\n"
      "for (var i = 0; i < clients.length; ++i) {\n"
      "    clients[i].output = { name: \"HDMI-A-1\" };\n"
      "    clients[i].desktops = [desktops[1]];\n"
      "}\n"
      "var workspace = {\n"
      "    screens: screenObjects, activeScreen: screenObjects[1], desktops: desktops,\n"
      "    currentDesktop: desktops[1], activeWindow: null,\n"
      "    clientArea: function (option, output, desktop) {\n"
      "        if (option !== KWin.ScreenArea || typeof output !== \"object\" || typeof desktop !== \"object\")\n"
      "            throw new Error(\"6's clientArea takes an output and a desktop\");\n"
      "        return output.geometry;\n"
      "    },\n"
      "    windowList: function () { return clients; }\n"
      "};\n";

enum class Api { kwin5, kwin6 };

class Stage
{
public:
    explicit Stage(Api api = Api::kwin5)
    {
        check(m_engine.evaluate(QString::fromLatin1(common)));
        check(m_engine.evaluate(QString::fromLatin1(api == Api::kwin5 ? kwin5 : kwin6)));
    }

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

void addApis()
{
    QTest::addColumn<Api>("api");
    QTest::newRow("KWin 5.27") << Api::kwin5;
    QTest::newRow("KWin 6") << Api::kwin6;
}

/// The window's desktop as either API keeps it: 5.27's number, or the number of 6's first desktop object.
QString desktopOf(Api api, int client)
{
    return api == Api::kwin5 ? QStringLiteral("String(clients[%1].desktop)").arg(client)
                             : QStringLiteral("clients[%1].desktops.map(function (d) { return d.x11DesktopNumber; })"
                                              ".join(',')")
                                   .arg(client);
}

} // namespace

Q_DECLARE_METATYPE(Api)

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

    void listingAnswersWithScreensAndWindows_data() { addApis(); }
    void listingAnswersWithScreensAndWindows()
    {
        QFETCH(Api, api);
        Stage stage(api);
        const auto [token, answer] = stage.run(KWinScripts::listBody(), QStringLiteral("token-7"));
        QCOMPARE(token, QStringLiteral("token-7"));
        QVERIFY2(
            answer.value(QLatin1String("ok")).toBool(), qPrintable(answer.value(QLatin1String("error")).toString()));
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
        QCOMPARE(wayland.screen, 1);
        QCOMPARE(wayland.desktop, 2);
        QVERIFY(!wayland.onAllDesktops);
        QVERIFY(!wayland.x11);
        QCOMPARE(wayland.desktopFileName, QStringLiteral("org.example.Notes"));
        QVERIFY(list->windows[1].x11);
        QCOMPARE(list->windows[1].resourceClass, QStringLiteral("xterm"));
        // Only KWin 6 names its outputs to a script.
        QCOMPARE(list->outputs.size(), 2);
        QCOMPARE(list->outputs[1].name, api == Api::kwin6 ? QStringLiteral("HDMI-A-1") : QString());
        QCOMPARE(list->outputs[1].serialNumber, api == Api::kwin6 ? QStringLiteral("SN1") : QString());
    }

    void bothApisGiveTheSameListing()
    {
        Stage old(Api::kwin5);
        Stage current(Api::kwin6);
        const QJsonObject five = old.run(KWinScripts::listBody()).second.value(QLatin1String("result")).toObject();
        QJsonObject six = current.run(KWinScripts::listBody()).second.value(QLatin1String("result")).toObject();
        QVERIFY(!five.isEmpty());
        // The one difference: what only KWin 6 tells of its outputs, which 5.27 answers as empty text.
        QJsonArray screens = six.value(QLatin1String("screens")).toArray();
        QCOMPARE(screens.size(), 2);
        QCOMPARE(screens[0].toObject().value(QLatin1String("name")).toString(), QStringLiteral("DP-1"));
        QCOMPARE(screens[0].toObject().value(QLatin1String("manufacturer")).toString(), QStringLiteral("Maker 0"));
        QCOMPARE(screens[0].toObject().value(QLatin1String("model")).toString(), QStringLiteral("Model 0"));
        for (qsizetype i = 0; i < screens.size(); ++i) {
            QJsonObject screen = screens[i].toObject();
            for (const char *key : { "name", "manufacturer", "model", "serialNumber" }) {
                QCOMPARE(five.value(QLatin1String("screens")).toArray()[i].toObject().value(QLatin1String(key)),
                    QJsonValue(QString()));
                screen.insert(QLatin1String(key), QString());
            }
            screens[i] = screen;
        }
        six.insert(QLatin1String("screens"), screens);
        QCOMPARE(six, five);
    }

    void desktopsAndOutputsOfKWin6AreTranslated()
    {
        Stage stage(Api::kwin6);
        // On every desktop (6 says so with the flag, or with no desktop at all), on the third, on an unknown output.
        stage.evaluate(QStringLiteral("clients[0].onAllDesktops = true; clients[0].desktops = [];"
                                      "clients[1].desktops = [desktops[2], desktops[0]];"
                                      "clients[1].output = { name: 'DP-9' };"
                                      "workspace.currentDesktop = desktops[2];"
                                      "workspace.activeScreen = { name: 'DP-1' };"));
        const QJsonObject result = stage.run(KWinScripts::listBody()).second.value(QLatin1String("result")).toObject();
        const QJsonArray windows = result.value(QLatin1String("windows")).toArray();
        QCOMPARE(windows[0].toObject().value(QLatin1String("desktop")).toInt(), -1);
        QVERIFY(windows[0].toObject().value(QLatin1String("onAllDesktops")).toBool());
        QCOMPARE(windows[1].toObject().value(QLatin1String("desktop")).toInt(), 3);
        QCOMPARE(windows[1].toObject().value(QLatin1String("screen")).toInt(), -1);
        QCOMPARE(result.value(QLatin1String("currentDesktop")).toInt(), 3);
        QCOMPARE(result.value(QLatin1String("activeScreen")).toInt(), 0);

        // A desktop object without its number (older or newer KWin): its place in workspace.desktops counts.
        stage.evaluate(QStringLiteral("clients[1].desktops = [{ id: desktops[1].id }];"));
        stage.evaluate(QStringLiteral("sent = [];"));
        const QJsonObject again = stage.run(KWinScripts::listBody()).second.value(QLatin1String("result")).toObject();
        QCOMPARE(
            again.value(QLatin1String("windows")).toArray()[1].toObject().value(QLatin1String("desktop")).toInt(), 2);
    }

    void anUnknownApiIsAnError()
    {
        Stage stage;
        stage.evaluate(QStringLiteral("workspace = { clientArea: workspace.clientArea };"));
        const auto [token, answer] = stage.run(KWinScripts::listBody());
        QVERIFY(!answer.value(QLatin1String("ok")).toBool());
        QVERIFY(answer.value(QLatin1String("error")).toString().contains(QLatin1String("unknown KWin script API")));
    }

    void anErrorInsideKWinComesBackAsAnError_data() { addApis(); }
    void anErrorInsideKWinComesBackAsAnError()
    {
        QFETCH(Api, api);
        Stage stage(api);
        stage.evaluate(QStringLiteral("var gone = function () { throw new Error('gone'); };"
                                      "if (workspace.clientList) workspace.clientList = gone;"
                                      "else workspace.windowList = gone;"));
        const auto [token, answer] = stage.run(KWinScripts::listBody());
        QCOMPARE(token, QStringLiteral("t1"));
        QVERIFY(!answer.value(QLatin1String("ok")).toBool());
        QVERIFY(answer.value(QLatin1String("error")).toString().contains(QLatin1String("gone")));
    }

    void placementSetsTheFrameBeforeMaximising_data() { addApis(); }
    void placementSetsTheFrameBeforeMaximising()
    {
        QFETCH(Api, api);
        Stage stage(api);
        KWinPlacementGoal goal;
        goal.frame = QRect(10, 20, 800, 600);
        goal.maximizeHorizontally = true;
        goal.maximizeVertically = true;
        goal.desktop = 3;
        const auto [token, answer]
            = stage.run(KWinScripts::placeBody(QStringLiteral("{aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}"), goal));
        QVERIFY2(
            answer.value(QLatin1String("ok")).toBool(), qPrintable(answer.value(QLatin1String("error")).toString()));
        QVERIFY(answer.value(QLatin1String("result")).toObject().value(QLatin1String("found")).toBool());
        QCOMPARE(stage.evaluate(QStringLiteral("calls.join('|')")).toString(),
            QStringLiteral("maximize false false {\"x\":2000,\"y\":100,\"width\":640,\"height\":480}|"
                           "maximize true true {\"x\":10,\"y\":20,\"width\":800,\"height\":600}"));
        QCOMPARE(stage.evaluate(desktopOf(api, 1)).toString(), QStringLiteral("3"));
        QCOMPARE(stage.evaluate(desktopOf(api, 0)).toString(), QStringLiteral("2"));
        // Each API's own terms only: 6 has no desktop number to set, 5.27 no desktop objects.
        QVERIFY(stage.evaluate(QString::fromLatin1(api == Api::kwin6 ? "clients[1].desktop" : "clients[1].desktops"))
                    .isUndefined());
        if (api == Api::kwin6)
            QVERIFY(stage.evaluate(QStringLiteral("clients[1].desktops[0] === desktops[2]")).toBool());
    }

    void placementLeavesFullScreenAndCanEnterIt_data() { addApis(); }
    void placementLeavesFullScreenAndCanEnterIt()
    {
        QFETCH(Api, api);
        Stage stage(api);
        stage.evaluate(QStringLiteral("clients[0].fullScreen = true;"));
        KWinPlacementGoal goal;
        goal.frame = QRect(100, 100, 300, 200);
        stage.run(KWinScripts::placeBody(QStringLiteral("{11111111-2222-3333-4444-555555555555}"), goal));
        QCOMPARE(stage.evaluate(QStringLiteral("clients[0].fullScreen")).toBool(), false);
        QCOMPARE(stage.evaluate(QStringLiteral("JSON.stringify(clients[0].frameGeometry)")).toString(),
            QStringLiteral("{\"x\":100,\"y\":100,\"width\":300,\"height\":200}"));

        Stage again(api);
        goal.fullScreen = true;
        goal.desktop = -1;
        again.run(KWinScripts::placeBody(QStringLiteral("{11111111-2222-3333-4444-555555555555}"), goal));
        QCOMPARE(again.evaluate(QStringLiteral("clients[0].fullScreen")).toBool(), true);
        QCOMPARE(again.evaluate(QStringLiteral("clients[0].onAllDesktops")).toBool(), true);

        // From every desktop back onto one.
        goal.desktop = 1;
        goal.fullScreen = false;
        again.run(KWinScripts::placeBody(QStringLiteral("{11111111-2222-3333-4444-555555555555}"), goal));
        QCOMPARE(again.evaluate(QStringLiteral("clients[0].onAllDesktops")).toBool(), false);
        QCOMPARE(again.evaluate(desktopOf(api, 0)).toString(), QStringLiteral("1"));
    }

    void aWindowThatIsGoneIsReportedNotFound_data() { addApis(); }
    void aWindowThatIsGoneIsReportedNotFound()
    {
        QFETCH(Api, api);
        Stage stage(api);
        const auto [token, answer]
            = stage.run(KWinScripts::placeBody(QStringLiteral("{00000000-0000-0000-0000-000000000009}"), {}));
        QVERIFY(answer.value(QLatin1String("ok")).toBool());
        QVERIFY(!answer.value(QLatin1String("result")).toObject().value(QLatin1String("found")).toBool());
        QCOMPARE(stage.evaluate(QStringLiteral("calls.length")).toInt(), 0);
    }

    void closingAsksOnlyTheNamedWindows_data() { addApis(); }
    void closingAsksOnlyTheNamedWindows()
    {
        QFETCH(Api, api);
        Stage stage(api);
        const auto [token, answer] = stage.run(KWinScripts::closeBody(
            { QStringLiteral("{aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}"), QStringLiteral("\"); calls.push('x'); (\"") }));
        QCOMPARE(answer.value(QLatin1String("result")).toObject().value(QLatin1String("closed")).toInt(), 1);
        QCOMPARE(stage.evaluate(QStringLiteral("calls.join('|')")).toString(),
            QStringLiteral("close {aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}"));
    }

    void activationMakesTheWindowActive_data() { addApis(); }
    void activationMakesTheWindowActive()
    {
        QFETCH(Api, api);
        Stage stage(api);
        stage.run(KWinScripts::activateBody(QStringLiteral("{aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}")));
        QCOMPARE(stage
                     .evaluate(QString::fromLatin1(api == Api::kwin6 ? "workspace.activeWindow === clients[1]"
                                                                     : "workspace.activeClient === clients[1]"))
                     .toBool(),
            true);
        // The other API's name stays untouched.
        QVERIFY(
            stage.evaluate(QString::fromLatin1(api == Api::kwin6 ? "workspace.activeClient" : "workspace.activeWindow"))
                .isUndefined());
    }

    void everyAnswerIsTheSameUnderBothApis()
    {
        // Placement, activation and closing, step by step on the same desktop in both shapes.
        KWinPlacementGoal goal;
        goal.frame = QRect(1950, 40, 700, 500);
        goal.desktop = 1;
        const QStringList bodies { KWinScripts::placeBody(
                                       QStringLiteral("{aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}"), goal),
            KWinScripts::activateBody(QStringLiteral("{11111111-2222-3333-4444-555555555555}")),
            KWinScripts::closeBody({ QStringLiteral("{11111111-2222-3333-4444-555555555555}") }),
            KWinScripts::placeBody(QStringLiteral("{00000000-0000-0000-0000-000000000009}"), goal) };
        for (const QString &body : bodies) {
            Stage old(Api::kwin5);
            Stage current(Api::kwin6);
            const QJsonObject five = old.run(body).second;
            QVERIFY(five.value(QLatin1String("ok")).toBool());
            QCOMPARE(current.run(body).second, five);
            QCOMPARE(current.evaluate(QStringLiteral("calls.join('|')")).toString(),
                old.evaluate(QStringLiteral("calls.join('|')")).toString());
        }
    }
};

QTEST_GUILESS_MAIN(TestKWinScripts)
#include "tst_kwinscripts.moc"
