// The pieces a simulated desktop is made of: screens, windows, applications, install plans and the request log.
#include "simtypes.h"

#include "automation/axattributes.h"

#include <QJsonArray>
#include <QPointF>
#include <QSizeF>

namespace {

QJsonValue jsonValue(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QPointF>()) {
        const QPointF p = value.toPointF();
        return QJsonArray { p.x(), p.y() };
    }
    if (value.metaType() == QMetaType::fromType<QSizeF>()) {
        const QSizeF s = value.toSizeF();
        return QJsonArray { s.width(), s.height() };
    }
    return QJsonValue::fromVariant(value);
}

} // namespace

SimWindow simWindow(const QString &title, const QRectF &frame)
{
    SimWindow window;
    window.attributes.insert(Ax::role, QString(Ax::windowRole));
    window.attributes.insert(Ax::title, title);
    window.attributes.insert(Ax::position, frame.topLeft());
    window.attributes.insert(Ax::size, frame.size());
    return window;
}

QJsonObject SimRequest::toJson() const
{
    QJsonObject object { { QStringLiteral("time"), time }, { QStringLiteral("action"), action } };
    if (!application.isEmpty())
        object.insert(QStringLiteral("application"), application);
    if (processIdentifier != 0)
        object.insert(QStringLiteral("pid"), processIdentifier);
    if (!documents.isEmpty())
        object.insert(QStringLiteral("documents"), QJsonArray::fromStringList(documents));
    if (!url.isEmpty())
        object.insert(QStringLiteral("url"), url);
    if (window != 0)
        object.insert(QStringLiteral("window"), qint64(window));
    if (!attribute.isEmpty()) {
        object.insert(QStringLiteral("attribute"), attribute);
        object.insert(QStringLiteral("value"), jsonValue(value));
    }
    return object;
}
