// Runs one script inside KWin and waits for its answer: written to a private file, loaded over D-Bus, started,
// answered through callDBus to this connection, and unloaded again, with a time limit on every step.
#pragma once

#include <QByteArray>
#include <QDBusConnection>
#include <QString>
#include <QVariantMap>
#include <memory>
#include <optional>

class KWinScriptInbox;

class KWinScriptRunner
{
public:
    /// How long one script (load, start, answer, unload) may take before it counts as failed.
    static constexpr int defaultTimeoutMs = 3000;
    static constexpr QLatin1StringView kwinService { "org.kde.KWin" };

    /// A private connection to the session bus (its address from the environment) that KWin's scripts can answer
    /// to. Nothing, with `error` filled, when there is no bus or no KWin on it.
    static std::unique_ptr<KWinScriptRunner> open(QString *error);
    ~KWinScriptRunner();
    KWinScriptRunner(const KWinScriptRunner &) = delete;
    KWinScriptRunner &operator=(const KWinScriptRunner &) = delete;

    /// Runs `body` (see KWinScripts::wrap) and returns its result as JSON text; nothing, with `error` filled,
    /// when KWin refused the script, the script failed (its error message), or no answer came in `timeoutMs`.
    std::optional<QByteArray> run(const QString &body, QString *error, int timeoutMs = defaultTimeoutMs);

    /// `org.kde.KWin.getWindowInfo` of several windows, asked all at once (the maximised state lives only there).
    /// A window whose answer failed is left out.
    QHash<QString, QVariantMap> windowInfo(const QStringList &internalIds, int timeoutMs = defaultTimeoutMs) const;
    /// `org.kde.KWin.supportInformation`; empty on failure.
    QString supportInformation(int timeoutMs = defaultTimeoutMs) const;
    /// Whether KWin owns its name on this bus.
    bool kwinRunning() const;

    /// Scripts that got no answer in time (a diagnostic for tests).
    int timeouts() const { return m_timeouts; }

    /// D-Bus method calls so far, both ways: every call to KWin and every answer of a script (for the bench).
    quint64 dbusCalls() const { return m_calls; }
    /// How often so far Corvalint waited for KWin: one per call, one for a script's answer, one for a batch of
    /// getWindowInfo calls sent together.
    quint64 dbusWaits() const { return m_waits; }

    /// How a loaded script is started, found out with the first script and kept for the next ones.
    enum class Starter {
        unknown,
        /// KWin 6: the script's own object, `/Scripting/ScriptN` `org.kde.kwin.Script.run()`.
        scriptObject,
        /// KWin 5: the script's own object at `/N`, same interface.
        numberedObject,
        /// `/Scripting` `org.kde.kwin.Scripting.start()`: every loaded script that does not run yet. Also taken
        /// for good once a script's own object turned out to be another script's (KWin reuses numbers).
        startAll,
    };
    Starter starter() const { return m_starter; }

private:
    KWinScriptRunner(QDBusConnection connection, QString connectionName);
    bool callKWin(
        const QString &method, const QVariantList &arguments, int timeoutMs, QVariant *result, QString *error) const;
    /// Sends one call and waits for its reply; the error's D-Bus name in `errorName` when it failed.
    bool call(const QString &path, const QString &interface, const QString &method, const QVariantList &arguments,
        int timeoutMs, QVariant *result, QString *error, QString *errorName = nullptr) const;
    /// Starts the script KWin loaded as `id`, the way this KWin does it.
    bool startScript(int id, int timeoutMs, QString *error);

    QDBusConnection m_connection;
    const QString m_connectionName;
    std::unique_ptr<KWinScriptInbox> m_inbox;
    int m_timeouts = 0;
    Starter m_starter = Starter::unknown;
    mutable quint64 m_calls = 0;
    mutable quint64 m_waits = 0;
};
