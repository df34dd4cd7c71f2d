// The session-bus connection to Corvalint's GNOME Shell extension (org.corvalint.Shell): every call with a time
// limit, its answer or its error, and the extension's signals.
#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QRect>
#include <QString>
#include <optional>

class GnomeShellClient : public QObject
{
    Q_OBJECT

public:
    static constexpr QLatin1StringView service { "org.corvalint.Shell" };
    static constexpr QLatin1StringView path { "/org/corvalint/Shell" };
    static constexpr QLatin1StringView interface {
        "org.corvalint.Shell"
    };
    /// The interface version this client speaks.
    static constexpr uint version = 1;
    /// A shell busy with an animation answers in milliseconds; one that does not answer in this time is stuck.
    static constexpr int callTimeoutMs = 3000;

    /// Place()'s state bits.
    enum StateBit : uint { maximizedHorizontally = 1, maximizedVertically = 2, fullScreen = 4, minimized = 8 };
    /// Place()'s workspace when the window keeps its own, or is shown on every one.
    static constexpr int keepWorkspace = -2;
    static constexpr int allWorkspaces = -1;

    /// `listen`: receive the extension's signals (the window thread's client; readers do not).
    explicit GnomeShellClient(QDBusConnection bus, bool listen, QObject *parent = nullptr);

    /// Whether the extension owns its name on the bus and speaks this client's interface version.
    bool ready(QString *error) const;

    /// GetDesktop: the JSON text of monitors and windows.
    std::optional<QByteArray> desktop(QString *error) const;
    /// Place: an empty `frame` keeps the window's frame and sets the state alone. False when the window is gone
    /// or the call failed (`error` says which).
    bool place(quint64 window, const QRect &frame, uint state, int workspace, QString *error) const;
    bool activate(quint64 window, QString *error) const;
    /// Close: how many of the windows were asked.
    std::optional<uint> close(const QList<quint64> &windows, QString *error) const;
    /// SetMenu: the top-bar button's items (see the extension's topbarmenu.js).
    bool setMenu(const QByteArray &json, QString *error) const;
    /// GetMenu: what the top-bar button shows now, as the shell's menu holds it.
    std::optional<QByteArray> menu(QString *error) const;

    const QDBusConnection &bus() const { return m_bus; }
    /// Calls made so far, answered or not (a diagnostic for the benchmark).
    int roundTrips() const { return m_roundTrips; }
    /// Calls that ended at their time limit.
    int timeouts() const { return m_timeouts; }

signals:
    void windowAppeared(quint64 window);
    void windowGone(quint64 window);
    void menuActivated(const QString &action);
    /// The extension came onto the bus or left it (the shell restarted, the user disabled it).
    void availabilityChanged();

private slots:
    void onWindowAppeared(qulonglong window);
    void onWindowGone(qulonglong window);
    void onMenuActivated(const QString &action);

private:
    std::optional<QList<QVariant>> call(const QString &method, const QList<QVariant> &arguments, QString *error) const;

    QDBusConnection m_bus;
    mutable int m_roundTrips = 0;
    mutable int m_timeouts = 0;
};
