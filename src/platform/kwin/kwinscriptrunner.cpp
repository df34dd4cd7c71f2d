// One script at a time through KWin's /Scripting object (KWin 5.27 and 6 alike). KWin reports errors inside a
// script only on its own stderr, so every script is wrapped to answer with its error, and every wait has a limit.
#include "kwinscriptrunner.h"

#include "kwinscriptinbox.h"
#include "kwinscripts.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryFile>
#include <QTimer>
#include <algorithm>
#include <functional>

namespace {

const QString scriptingPath = QStringLiteral("/Scripting");
const QString scriptingInterface = QStringLiteral("org.kde.kwin.Scripting");
const QString kwinPath = QStringLiteral("/KWin");
const QString kwinInterface = QStringLiteral("org.kde.KWin");
const QString scriptInterface = QStringLiteral("org.kde.kwin.Script");
// How long a script started through its own object may take to answer before start() is sent as well: KWin
// numbers scripts by its count of them, so after another script was unloaded a new one may get the number, and
// the object, of one that runs already (whose run() does nothing). When start() was needed, the runner keeps to
// start() from then on: every later script would get that number again.
constexpr int nudgeAfterMs = 300;

QAtomicInteger<quint64> counter;

QString nextName(const char *what)
{
    return QStringLiteral("corvalint-%1-%2-%3")
        .arg(QLatin1String(what))
        .arg(QCoreApplication::applicationPid())
        .arg(counter.fetchAndAddRelaxed(1));
}

/// Unloads a script however the wait ended: nothing of Corvalint's stays in KWin.
class LoadedScript
{
public:
    LoadedScript(std::function<void()> unload)
        : m_unload(std::move(unload))
    {
    }
    ~LoadedScript() { m_unload(); }
    LoadedScript(const LoadedScript &) = delete;
    LoadedScript &operator=(const LoadedScript &) = delete;

private:
    std::function<void()> m_unload;
};

} // namespace

std::unique_ptr<KWinScriptRunner> KWinScriptRunner::open(QString *error)
{
    const QString name = nextName("bus");
    QDBusConnection connection = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
    if (!connection.isConnected()) {
        *error = QStringLiteral("no session bus: %1").arg(connection.lastError().message());
        QDBusConnection::disconnectFromBus(name);
        return nullptr;
    }
    std::unique_ptr<KWinScriptRunner> runner(new KWinScriptRunner(connection, name));
    if (!runner->kwinRunning()) {
        *error = QStringLiteral("KWin is not on the session bus (no org.kde.KWin)");
        return nullptr;
    }
    if (!connection.registerObject(
            QString(KWinScriptInbox::objectPath), runner->m_inbox.get(), QDBusConnection::ExportAllSlots)) {
        *error = QStringLiteral("cannot receive the scripts' answers on the session bus");
        return nullptr;
    }
    return runner;
}

KWinScriptRunner::KWinScriptRunner(QDBusConnection connection, QString connectionName)
    : m_connection(std::move(connection))
    , m_connectionName(std::move(connectionName))
    , m_inbox(std::make_unique<KWinScriptInbox>())
{
}

KWinScriptRunner::~KWinScriptRunner()
{
    m_connection.unregisterObject(QString(KWinScriptInbox::objectPath));
    m_connection = QDBusConnection(QString());
    QDBusConnection::disconnectFromBus(m_connectionName);
}

bool KWinScriptRunner::kwinRunning() const
{
    const auto reply = m_connection.interface()->isServiceRegistered(QString(kwinService));
    return reply.isValid() && reply.value();
}

bool KWinScriptRunner::call(const QString &path, const QString &interface, const QString &method,
    const QVariantList &arguments, int timeoutMs, QVariant *result, QString *error, QString *errorName) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(QString(kwinService), path, interface, method);
    message.setArguments(arguments);
    ++m_calls;
    ++m_waits;
    const QDBusMessage reply = m_connection.call(message, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        *error = QStringLiteral("KWin did not answer %1: %2").arg(method, reply.errorMessage());
        if (errorName)
            *errorName = reply.errorName();
        return false;
    }
    if (result && !reply.arguments().isEmpty())
        *result = reply.arguments().constFirst();
    return true;
}

bool KWinScriptRunner::callKWin(
    const QString &method, const QVariantList &arguments, int timeoutMs, QVariant *result, QString *error) const
{
    const bool scripting = method != QLatin1String("supportInformation") && method != QLatin1String("getWindowInfo");
    return call(scripting ? scriptingPath : kwinPath, scripting ? scriptingInterface : kwinInterface, method, arguments,
        timeoutMs, result, error);
}

bool KWinScriptRunner::startScript(int id, int timeoutMs, QString *error)
{
    // KWin 6 and 5 give every loaded script an object of its own whose run() starts just that script; they put
    // it in different places. start() on /Scripting starts every loaded script that is not running, and makes
    // KWin read its configuration again: the last resort.
    const auto missing = [](const QString &name) {
        return name == QLatin1String("org.freedesktop.DBus.Error.UnknownObject")
            || name == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod")
            || name == QLatin1String("org.freedesktop.DBus.Error.UnknownInterface");
    };
    const std::pair<Starter, QString> objects[] = {
        { Starter::scriptObject, QStringLiteral("/Scripting/Script%1").arg(id) },
        { Starter::numberedObject, QStringLiteral("/%1").arg(id) },
    };
    for (const auto &[starter, path] : objects) {
        if (m_starter != Starter::unknown && m_starter != starter)
            continue;
        QString errorName;
        if (call(path, scriptInterface, QStringLiteral("run"), {}, timeoutMs, nullptr, error, &errorName)) {
            m_starter = starter;
            return true;
        }
        if (!missing(errorName))
            return false;
    }
    if (m_starter == Starter::unknown)
        m_starter = Starter::startAll;
    return callKWin(QStringLiteral("start"), {}, timeoutMs, nullptr, error);
}

std::optional<QByteArray> KWinScriptRunner::run(const QString &body, QString *error, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    auto left = [&] { return int(std::max<qint64>(1, timeoutMs - clock.elapsed())); };

    // A private file (0600, removed when done) in the runtime folder: KWin reads it by path and runs it.
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::tempPath();
    QTemporaryFile file(folder + QStringLiteral("/corvalint-kwin-XXXXXX.js"));
    const QString token = nextName("answer");
    const KWinReplyTarget target { m_connection.baseService(), QString(KWinScriptInbox::objectPath),
        QString(KWinScriptInbox::interfaceName) };
    const QByteArray text = KWinScripts::wrap(body, target, token).toUtf8();
    if (!file.open() || file.write(text) != text.size() || !file.flush()) {
        *error = QStringLiteral("cannot write the script: %1").arg(file.errorString());
        return std::nullopt;
    }

    // Listen before starting: the answer may arrive before start() returns.
    std::optional<QString> answer;
    QEventLoop loop;
    QObject::connect(m_inbox.get(), &KWinScriptInbox::answered, &loop, [&](const QString &from, const QString &json) {
        if (from != token)
            return;
        ++m_calls;
        answer = json;
        loop.quit();
    });

    const QString plugin = token;
    QVariant id;
    if (!callKWin(QStringLiteral("loadScript"), { file.fileName(), plugin }, left(), &id, error))
        return std::nullopt;
    LoadedScript loaded([this, plugin] {
        QString ignored;
        callKWin(QStringLiteral("unloadScript"), { plugin }, defaultTimeoutMs, nullptr, &ignored);
    });
    if (id.toInt() < 0) {
        *error = QStringLiteral("KWin refused to load the script");
        return std::nullopt;
    }
    if (!startScript(id.toInt(), left(), error))
        return std::nullopt;

    const auto wait = [&](int ms) {
        if (answer)
            return;
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        limit.start(ms);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    };
    ++m_waits;
    if (m_starter != Starter::startAll) {
        wait(std::min(nudgeAfterMs, left()));
        QString ignored;
        if (!answer && clock.elapsed() < timeoutMs) {
            callKWin(QStringLiteral("start"), {}, left(), nullptr, &ignored);
            wait(left());
            // The number stays taken for every script loaded after this one: start() from now on.
            if (answer)
                m_starter = Starter::startAll;
        }
    }
    wait(left());
    if (!answer) {
        ++m_timeouts;
        *error = QStringLiteral("KWin's script did not answer within %1 ms").arg(timeoutMs);
        return std::nullopt;
    }

    const QJsonObject envelope = QJsonDocument::fromJson(answer->toUtf8()).object();
    if (!envelope.value(QLatin1String("ok")).toBool()) {
        const QString reason = envelope.value(QLatin1String("error")).toString();
        *error
            = QStringLiteral("KWin's script failed: %1").arg(reason.isEmpty() ? QStringLiteral("no reason") : reason);
        return std::nullopt;
    }
    const QJsonValue result = envelope.value(QLatin1String("result"));
    if (result.isObject())
        return QJsonDocument(result.toObject()).toJson(QJsonDocument::Compact);
    if (result.isArray())
        return QJsonDocument(result.toArray()).toJson(QJsonDocument::Compact);
    return QByteArray("null");
}

QHash<QString, QVariantMap> KWinScriptRunner::windowInfo(const QStringList &internalIds, int timeoutMs) const
{
    // Sent together, then collected: one round trip's wait for all the windows.
    QList<QPair<QString, QDBusPendingCall>> calls;
    for (const QString &id : internalIds) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            QString(kwinService), kwinPath, kwinInterface, QStringLiteral("getWindowInfo"));
        message.setArguments({ id });
        calls.append({ id, m_connection.asyncCall(message, timeoutMs) });
        ++m_calls;
    }
    if (!calls.isEmpty())
        ++m_waits;
    QHash<QString, QVariantMap> info;
    for (auto &[id, call] : calls) {
        QDBusPendingReply<QVariantMap> reply(call);
        reply.waitForFinished();
        if (reply.isValid())
            info.insert(id, reply.value());
    }
    return info;
}

QString KWinScriptRunner::supportInformation(int timeoutMs) const
{
    QVariant text;
    QString ignored;
    if (!callKWin(QStringLiteral("supportInformation"), {}, timeoutMs, &text, &ignored))
        return {};
    return text.toString();
}
