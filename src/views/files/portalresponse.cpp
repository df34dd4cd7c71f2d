// The answer to one portal request: the Response signal of its request object.
#include "portalresponse.h"

namespace {
constexpr QLatin1String requestInterface { "org.freedesktop.portal.Request" };
constexpr QLatin1String responseSignal { "Response" };
} // namespace

QString PortalResponse::requestPath(const QString &uniqueName, const QString &token)
{
    QString sender = uniqueName;
    if (sender.startsWith(QLatin1Char(':')))
        sender.remove(0, 1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

PortalResponse::PortalResponse(QDBusConnection bus, const QString &requestPath, QObject *parent)
    : QObject(parent)
    , m_bus(std::move(bus))
{
    listen(requestPath);
}

void PortalResponse::follow(const QString &requestPath)
{
    if (requestPath == m_path)
        return;
    stopListening();
    listen(requestPath);
}

bool PortalResponse::listen(const QString &requestPath)
{
    m_path = requestPath;
    return m_bus.connect(
        QString(), requestPath, requestInterface, responseSignal, this, SLOT(onResponse(uint, QVariantMap)));
}

void PortalResponse::stopListening()
{
    if (!m_path.isEmpty())
        m_bus.disconnect(
            QString(), m_path, requestInterface, responseSignal, this, SLOT(onResponse(uint, QVariantMap)));
    m_path.clear();
}

void PortalResponse::onResponse(uint code, const QVariantMap &results)
{
    stopListening();
    // 0 is success; 1 the user cancelled; 2 the dialog ended some other way.
    emit answered(code == 0 ? results.value(QStringLiteral("uris")).toStringList() : QStringList());
    deleteLater();
}
