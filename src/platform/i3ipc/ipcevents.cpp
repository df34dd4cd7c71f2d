// The window manager's events on a connection of their own: new windows (for launches) and output changes.
#include "ipcevents.h"

#include "ipcsocket.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>

namespace {

bool subscribeTo(IpcSocket &socket, const QByteArray &events)
{
    QString error;
    const auto reply = socket.request(IpcMessage::subscribe, events, &error);
    return reply && QJsonDocument::fromJson(reply->payload).object().value(QLatin1String("success")).toBool();
}

} // namespace

std::unique_ptr<IpcEvents> IpcEvents::subscribe(const QString &socketPath, QObject *parent)
{
    QString error;
    auto socket = IpcSocket::connect(socketPath, &error);
    if (!socket || !subscribeTo(*socket, QByteArrayLiteral("[\"window\"]")))
        return nullptr;
    // One list at a time: a window manager that knows one of the names refuses the whole list (sway 1.7 has
    // no output events). Workspaces appear when an output does, so they stand in.
    subscribeTo(*socket, QByteArrayLiteral("[\"output\"]"));
    subscribeTo(*socket, QByteArrayLiteral("[\"workspace\"]"));
    if (socket->broken())
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
            const QString change
                = QJsonDocument::fromJson(event.payload).object().value(QLatin1String("change")).toString();
            windows = windows || change == QLatin1String("new") || change == QLatin1String("close")
                || change == QLatin1String("title");
        }
        outputs = outputs || event.type == IpcMessage::outputEvent || event.type == IpcMessage::workspaceEvent;
    }
    if (m_socket->broken()) {
        m_notifier->setEnabled(false);
        emit lost();
    }
    if (windows)
        emit windowsChanged();
    if (outputs)
        emit outputsMayHaveChanged();
}
