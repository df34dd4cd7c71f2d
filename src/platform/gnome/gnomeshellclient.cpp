// Calls to the GNOME Shell extension: blocking, bounded, and never mistaken for an answer when they fail.
#include "gnomeshellclient.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>

GnomeShellClient::GnomeShellClient(QDBusConnection bus, bool listen, QObject *parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{
    if (!listen)
        return;
    const QString s(service), p(path), i(interface);
    m_bus.connect(s, p, i, QStringLiteral("WindowAppeared"), this, SLOT(onWindowAppeared(qulonglong)));
    m_bus.connect(s, p, i, QStringLiteral("WindowGone"), this, SLOT(onWindowGone(qulonglong)));
    m_bus.connect(s, p, i, QStringLiteral("MenuActivated"), this, SLOT(onMenuActivated(QString)));
    auto *watcher = new QDBusServiceWatcher(s, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    QObject::connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &GnomeShellClient::availabilityChanged);
}

void GnomeShellClient::onWindowAppeared(qulonglong window)
{
    emit windowAppeared(window);
}

void GnomeShellClient::onWindowGone(qulonglong window)
{
    emit windowGone(window);
}

void GnomeShellClient::onMenuActivated(const QString &action)
{
    emit menuActivated(action);
}

std::optional<QList<QVariant>> GnomeShellClient::call(
    const QString &method, const QList<QVariant> &arguments, QString *error) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(QString(service), QString(path), QString(interface), method);
    message.setArguments(arguments);
    ++m_roundTrips;
    const QDBusMessage reply = m_bus.call(message, QDBus::Block, callTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return reply.arguments();
    if (reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply")
        || reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.Timeout"))
        ++m_timeouts;
    if (error)
        *error = QStringLiteral("GNOME Shell's %1 failed: %2").arg(method, reply.errorMessage());
    return std::nullopt;
}

bool GnomeShellClient::ready(QString *error) const
{
    if (!m_bus.isConnected() || !m_bus.interface()) {
        *error = QStringLiteral("no session bus");
        return false;
    }
    const auto owned = m_bus.interface()->isServiceRegistered(QString(service));
    if (!owned.isValid() || !owned.value()) {
        *error = QStringLiteral("Corvalint's GNOME Shell extension is not on the session bus");
        return false;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(
        QString(service), QString(path), QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get.setArguments({ QString(interface), QStringLiteral("Version") });
    ++m_roundTrips;
    const QDBusMessage reply = m_bus.call(get, QDBus::Block, callTimeoutMs);
    const uint theirs = reply.arguments().value(0).value<QDBusVariant>().variant().toUInt();
    if (reply.type() != QDBusMessage::ReplyMessage || theirs != version) {
        *error = QStringLiteral("Corvalint's GNOME Shell extension speaks version %1, this Corvalint %2")
                     .arg(theirs)
                     .arg(version);
        return false;
    }
    return true;
}

std::optional<QByteArray> GnomeShellClient::desktop(QString *error) const
{
    const auto answer = call(QStringLiteral("GetDesktop"), {}, error);
    if (!answer)
        return std::nullopt;
    if (answer->size() != 1 || answer->front().typeId() != QMetaType::QString) {
        *error = QStringLiteral("GNOME Shell's GetDesktop answered in an unknown form");
        return std::nullopt;
    }
    return answer->front().toString().toUtf8();
}

bool GnomeShellClient::place(quint64 window, const QRect &frame, uint state, int workspace, QString *error) const
{
    const QRect sent = frame.isValid() ? frame : QRect();
    const auto answer = call(QStringLiteral("Place"),
        { QVariant::fromValue<qulonglong>(window), sent.x(), sent.y(), sent.isValid() ? sent.width() : 0,
            sent.isValid() ? sent.height() : 0, QVariant::fromValue<uint>(state), workspace },
        error);
    return answer && answer->value(0).toBool();
}

bool GnomeShellClient::activate(quint64 window, QString *error) const
{
    const auto answer = call(QStringLiteral("Activate"), { QVariant::fromValue<qulonglong>(window) }, error);
    return answer && answer->value(0).toBool();
}

std::optional<uint> GnomeShellClient::close(const QList<quint64> &windows, QString *error) const
{
    QList<qulonglong> ids(windows.begin(), windows.end());
    const auto answer = call(QStringLiteral("Close"), { QVariant::fromValue(ids) }, error);
    if (!answer)
        return std::nullopt;
    return answer->value(0).toUInt();
}

bool GnomeShellClient::setMenu(const QByteArray &json, QString *error) const
{
    return call(QStringLiteral("SetMenu"), { QString::fromUtf8(json) }, error).has_value();
}

std::optional<QByteArray> GnomeShellClient::menu(QString *error) const
{
    const auto answer = call(QStringLiteral("GetMenu"), {}, error);
    if (!answer || answer->size() != 1)
        return std::nullopt;
    return answer->front().toString().toUtf8();
}
