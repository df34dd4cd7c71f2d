// A stand-in for KWin 6 on a session bus, as far as Corvalint talks to it: org.kde.KWin with /Scripting
// (org.kde.kwin.Scripting: loadScript, unloadScript, isScriptLoaded, start), a /Scripting/ScriptN object per loaded
// script (org.kde.kwin.Script: run, stop), and /KWin (org.kde.KWin: getWindowInfo, supportInformation). Loaded
// scripts run in a JavaScript engine against KWin 6's script API (workspace.windowList(), outputs and virtual
// desktops as objects, workspace.activeWindow); their callDBus calls go out on the bus as KWin's do. There is no
// clientList() and no /N object of KWin 5.
//
// /Fake (org.corvalint.FakeKWin) lets a test look inside: evaluate(js) and how often each method was called.
//
// Usage: corvalint-fake-kwin6 [--hole] [--start-only]
//   --hole        a script number is taken by a running script, as in KWin after another script was unloaded:
//                 the next script's /Scripting/ScriptN object is that script's, whose run() does nothing
//   --start-only  no script objects at all: only /Scripting start() runs a loaded script
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QHash>
#include <QJSEngine>
#include <QJSValue>
#include <QPointer>
#include <QVariantMap>
#include <cstdio>

namespace {

// KWin 6's globals for the scripts: two outputs named as KWin 6 names them, two virtual desktops as objects, three
// windows (one maximised, one on every desktop).
const char desktop[] = R"JS(
var calls = [];
var KWin = { ScreenArea: 7 };
function output(name, serial, x, y, width, height) {
    return { name: name, manufacturer: "Dell", model: "U2720Q", serialNumber: serial,
             geometry: { x: x, y: y, width: width, height: height } };
}
var screens = [output("DP-1", "CN0001", 0, 0, 1920, 1080), output("HDMI-A-1", "CN0002", 1920, 0, 1280, 720)];
function virtualDesktop(number) {
    return { id: "6a1f-" + number, x11DesktopNumber: number, name: "Desktop " + number };
}
var desktops = [virtualDesktop(1), virtualDesktop(2)];
function makeWindow(id, caption, appId, pid, frame, screen, onDesktops) {
    return {
        internalId: id, caption: caption, pid: pid, desktopFileName: appId, resourceClass: appId,
        resourceName: "program", frameGeometry: frame, output: { name: screen.name }, desktops: onDesktops,
        onAllDesktops: onDesktops.length === 0, fullScreen: false, minimized: false, active: false,
        normalWindow: true, dialog: false, utility: false, specialWindow: false, skipTaskbar: false,
        closeable: true, maximized: [false, false],
        setMaximize: function (vertically, horizontally) {
            calls.push("maximize " + this.caption + " " + vertically + " " + horizontally);
            this.maximized = [horizontally, vertically];
        },
        closeWindow: function () { calls.push("close " + this.caption); }
    };
}
var windows = [
    makeWindow("{11111111-2222-3333-4444-555555555555}", "Notes", "org.example.Notes", 4242,
               { x: 0, y: 0, width: 1920, height: 1080 }, screens[0], [desktops[0]]),
    makeWindow("{aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}", "Terminal", "org.example.Terminal", 4343,
               { x: 2000, y: 50, width: 600, height: 400 }, screens[1], [desktops[1]]),
    makeWindow("{0f0f0f0f-1234-5678-9abc-def012345678}", "Clock", "org.example.Clock", 4444,
               { x: 300, y: 200, width: 200, height: 200 }, screens[0], [])
];
windows[0].maximized = [true, true];
windows[1].active = true;
var workspace = {
    screens: screens, activeScreen: screens[1], desktops: desktops, currentDesktop: desktops[0],
    activeWindow: windows[1],
    clientArea: function (option, output, desktop) {
        if (option !== KWin.ScreenArea || typeof output !== "object" || typeof desktop !== "object")
            throw new Error("KWin 6's clientArea takes an output and a desktop object");
        return output.geometry;
    },
    windowList: function () { return windows; }
};
function windowInfo(id) {
    for (var i = 0; i < windows.length; ++i) {
        if (windows[i].internalId === id)
            return { maximizeHorizontal: windows[i].maximized[0] ? 2 : 0,
                     maximizeVertical: windows[i].maximized[1] ? 1 : 0, caption: windows[i].caption };
    }
    return {};
}
)JS";

/// callDBus as KWin's: the call goes out, no answer is waited for.
class Bridge : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    Q_INVOKABLE void call(const QVariantList &arguments)
    {
        if (arguments.size() < 4)
            return;
        QDBusMessage message = QDBusMessage::createMethodCall(
            arguments[0].toString(), arguments[1].toString(), arguments[2].toString(), arguments[3].toString());
        message.setArguments(arguments.mid(4));
        QDBusConnection::sessionBus().send(message);
    }
};

class Fake;

class Script : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Script")

public:
    Script(Fake *fake, QString file, QString plugin)
        : m_fake(fake)
        , file(std::move(file))
        , plugin(std::move(plugin))
    {
    }
    Fake *m_fake;
    const QString file;
    const QString plugin;
    bool running = false;

public slots:
    void run();
    void stop() { deleteLater(); }
};

class Fake : public QObject
{
    Q_OBJECT

public:
    QJSEngine engine;
    Bridge bridge;
    QList<QPointer<Script>> scripts;
    QHash<QString, int> counts;
    bool scriptObjects = true;

    Fake()
    {
        engine.globalObject().setProperty(QStringLiteral("bridge"), engine.newQObject(&bridge));
        engine.evaluate(QStringLiteral("function callDBus() { bridge.call(Array.prototype.slice.call(arguments)); }"));
        const QJSValue result = engine.evaluate(QString::fromUtf8(desktop));
        if (result.isError())
            qFatal("stub desktop: %s", qPrintable(result.toString()));
    }

    void execute(Script *script)
    {
        QFile file(script->file);
        if (!file.open(QIODevice::ReadOnly))
            return;
        const QJSValue result = engine.evaluate(QString::fromUtf8(file.readAll()), script->file);
        // KWin only logs a script's error.
        if (result.isError())
            std::fprintf(stderr, "fake kwin6: %s\n", qPrintable(result.toString()));
    }

    int load(const QString &path, const QString &plugin)
    {
        ++counts[QStringLiteral("loadScript")];
        for (const auto &script : std::as_const(scripts)) {
            if (script && script->plugin == plugin)
                return -1;
        }
        // As KWin: the number is the count of scripts, and a taken object path stays the older script's.
        const int id = int(scripts.size());
        auto *script = new Script(this, path, plugin);
        if (scriptObjects)
            QDBusConnection::sessionBus().registerObject(
                QStringLiteral("/Scripting/Script%1").arg(id), script, QDBusConnection::ExportAllSlots);
        scripts.append(script);
        return id;
    }

    bool unload(const QString &plugin)
    {
        ++counts[QStringLiteral("unloadScript")];
        for (qsizetype i = 0; i < scripts.size(); ++i) {
            if (scripts[i] && scripts[i]->plugin == plugin) {
                // Gone at once here (KWin deletes it a moment later): the list stays KWin's count.
                delete scripts[i].data();
                scripts.removeAt(i);
                return true;
            }
        }
        return false;
    }
};

void Script::run()
{
    ++m_fake->counts[QStringLiteral("run")];
    if (running)
        return;
    running = true;
    m_fake->execute(this);
}

class Scripting : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Scripting")

public:
    explicit Scripting(Fake *fake)
        : m_fake(fake)
    {
    }

public slots:
    int loadScript(const QString &path, const QString &plugin) { return m_fake->load(path, plugin); }
    bool unloadScript(const QString &plugin) { return m_fake->unload(plugin); }
    bool isScriptLoaded(const QString &plugin)
    {
        for (const auto &script : std::as_const(m_fake->scripts)) {
            if (script && script->plugin == plugin)
                return true;
        }
        return false;
    }
    void start()
    {
        ++m_fake->counts[QStringLiteral("start")];
        const auto scripts = m_fake->scripts;
        for (const auto &script : scripts) {
            if (script)
                script->run();
        }
    }

private:
    Fake *m_fake;
};

class KWinObject : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.KWin")

public:
    explicit KWinObject(Fake *fake)
        : m_fake(fake)
    {
    }

public slots:
    QVariantMap getWindowInfo(const QString &uuid)
    {
        ++m_fake->counts[QStringLiteral("getWindowInfo")];
        return m_fake->engine.globalObject()
            .property(QStringLiteral("windowInfo"))
            .call({ QJSValue(uuid) })
            .toVariant()
            .toMap();
    }
    QString supportInformation()
    {
        ++m_fake->counts[QStringLiteral("supportInformation")];
        return QStringLiteral("KWin 6 stand-in\n");
    }

private:
    Fake *m_fake;
};

class Inspector : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.corvalint.FakeKWin")

public:
    explicit Inspector(Fake *fake)
        : m_fake(fake)
    {
    }

public slots:
    QString evaluate(const QString &code) { return m_fake->engine.evaluate(code).toString(); }
    int count(const QString &method) { return m_fake->counts.value(method); }

private:
    Fake *m_fake;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    Fake fake;
    fake.scriptObjects = !arguments.contains(QStringLiteral("--start-only"));
    Scripting scripting(&fake);
    KWinObject kwin(&fake);
    Inspector inspector(&fake);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "fake kwin6: no session bus\n");
        return 1;
    }
    bus.registerObject(QStringLiteral("/Scripting"), &scripting, QDBusConnection::ExportAllSlots);
    bus.registerObject(QStringLiteral("/KWin"), &kwin, QDBusConnection::ExportAllSlots);
    bus.registerObject(QStringLiteral("/Fake"), &inspector, QDBusConnection::ExportAllSlots);
    if (arguments.contains(QStringLiteral("--hole"))) {
        // Two scripts of the user's, the first one unloaded again: the next number is the second one's.
        const QString none = QStringLiteral("/nonexistent.js");
        fake.load(none, QStringLiteral("user-a"));
        fake.load(none, QStringLiteral("user-b"));
        fake.scripts.back()->running = true;
        fake.unload(QStringLiteral("user-a"));
        fake.counts.clear();
    }
    if (!bus.registerService(QStringLiteral("org.kde.KWin"))) {
        std::fprintf(stderr, "fake kwin6: org.kde.KWin is taken\n");
        return 1;
    }
    return app.exec();
}

#include "fakekwin6.moc"
