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

private:
    KWinScriptRunner(QDBusConnection connection, QString connectionName);
    bool callKWin(
        const QString &method, const QVariantList &arguments, int timeoutMs, QVariant *result, QString *error) const;

    QDBusConnection m_connection;
    const QString m_connectionName;
    std::unique_ptr<KWinScriptInbox> m_inbox;
    int m_timeouts = 0;
};
