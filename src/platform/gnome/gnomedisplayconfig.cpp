// Reading Mutter's DisplayConfig.GetCurrentState: only its logical monitors, field by field.
#include "gnomedisplayconfig.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QStringList>
#include <QVariantMap>

namespace GnomeDisplayConfig {

namespace {

// a(iiduba(ssss)a{sv}): x, y, scale, transform, primary, the monitors shown there, properties.
QList<GnomeLogicalMonitor> logicalMonitors(const QDBusArgument &argument)
{
    QList<GnomeLogicalMonitor> result;
    argument.beginArray();
    while (!argument.atEnd()) {
        GnomeLogicalMonitor monitor;
        int x = 0;
        int y = 0;
        uint transform = 0;
        argument.beginStructure();
        argument >> x >> y >> monitor.scale >> transform >> monitor.primary;
        monitor.position = QPoint(x, y);
        argument.beginArray();
        bool first = true;
        while (!argument.atEnd()) {
            QString connector, vendor, product, serial;
            argument.beginStructure();
            argument >> connector >> vendor >> product >> serial;
            argument.endStructure();
            if (first) {
                monitor.connector = connector;
                monitor.vendor = vendor;
                monitor.product = product;
                monitor.serial = serial;
                first = false;
            }
        }
        argument.endArray();
        QVariantMap properties;
        argument >> properties;
        argument.endStructure();
        result.append(monitor);
    }
    argument.endArray();
    return result;
}

} // namespace

std::optional<QList<GnomeLogicalMonitor>> read(const QDBusConnection &bus, int timeoutMs, QString *error)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QString(service), QString(path),
        QStringLiteral("org.gnome.Mutter.DisplayConfig"), QStringLiteral("GetCurrentState"));
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        *error = QStringLiteral("Mutter's DisplayConfig does not answer: %1").arg(reply.errorMessage());
        return std::nullopt;
    }
    if (reply.signature() != QLatin1String("ua((ssss)a(siiddada{sv})a{sv})a(iiduba(ssss)a{sv})a{sv}")) {
        *error = QStringLiteral("Mutter's DisplayConfig answers in an unknown form (%1)").arg(reply.signature());
        return std::nullopt;
    }
    return logicalMonitors(reply.arguments().at(2).value<QDBusArgument>());
}

QString fingerprint(const GnomeLogicalMonitor &monitor)
{
    return QStringList { QStringLiteral("gnome"), monitor.vendor, monitor.product, monitor.connector }.join(
        QLatin1Char('\x1f'));
}

} // namespace GnomeDisplayConfig
