// The window manager's events on a connection of their own: new windows (for launches) and output changes.
#include "ipcevents.h"

#include "ipcsocket.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>

std::unique_ptr<IpcEvents> IpcEvents::subscribe(const QString &socketPath, QObject *parent)
{
    QString error;
    auto socket = IpcSocket::connect(socketPath, &error);
    if (!socket)
        return nullptr;
    const auto reply = socket->request(IpcMessage::subscribe, QByteArrayLiteral("[\"window\",\"output\"]"), &error);
    if (!reply || !QJsonDocument::fromJson(reply->payload).object().value(QLatin1String("success")).toBool())
        return nullptr;
    return std::unique_ptr<IpcEvents>(new IpcEvents(std::move(socket), parent));
}

IpcEvents::IpcEvents(std::unique_ptr<IpcSocket> socket, QObject *parent)
    : QObject(parent)
    , m_socket(std::move(socket))
    , m_notifier(new QSocketNotifier(m_socket->descriptor(), QSocketNotifier::Read, this))
{
    QObject::connect(m_notifier, &QSocketNotifier::activated, this, &IpcEvents::readEvents);
}

IpcEvents::~IpcEvents()
{
    // The notifier must let go of the descriptor before the socket closes it.
    delete m_notifier;
}

void IpcEvents::readEvents()
{
    bool windows = false;
    bool outputs = false;
    const QList<IpcMessage> events = m_socket->readEvents();
    for (const IpcMessage &event : events) {
        if (event.type == IpcMessage::windowEvent) {
            const QString change = QJsonDocument::fromJson(event.payload).object().value(QLatin1String("change")).toString();
            windows = windows || change == QLatin1String("new") || change == QLatin1String("title");
        }
        outputs = outputs || event.type == IpcMessage::outputEvent;
    }
    if (m_socket->broken()) {
        m_notifier->setEnabled(false);
        emit lost();
    }
    if (windows)
        emit windowsChanged();
    if (outputs)
        emit outputsChanged();
}
