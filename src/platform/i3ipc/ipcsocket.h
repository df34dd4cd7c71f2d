// A connection to the window manager's IPC socket: a Unix stream socket owned by this object, with every
// read and write bounded in time and size.
#pragma once

#include "ipcframecodec.h"
#include "ipcmessage.h"

#include <QList>
#include <QString>
#include <memory>
#include <optional>

class IpcSocket
{
public:
    /// How long one request may take before the connection counts as broken.
    static constexpr int defaultTimeoutMs = 3000;

    /// Connects to the socket at `path`; nothing, with `error` filled, when nobody listens there.
    static std::unique_ptr<IpcSocket> connect(const QString &path, QString *error);
    ~IpcSocket();
    IpcSocket(const IpcSocket &) = delete;
    IpcSocket &operator=(const IpcSocket &) = delete;

    /// Sends one message and waits (at most `timeoutMs`) for the reply of the same type; events that arrive
    /// meanwhile are kept for takeEvents(). Nothing, with `error` filled, when the socket closed, timed out
    /// or answered garbage: the connection is then broken for good.
    std::optional<IpcMessage> request(
        quint32 type, const QByteArray &payload, QString *error, int timeoutMs = defaultTimeoutMs);
    /// Reads what has arrived without waiting; returns the events among it. For a subscribed connection.
    QList<IpcMessage> readEvents();

    int descriptor() const { return m_fd; }
    bool broken() const { return m_fd < 0; }
    QString path() const { return m_path; }

private:
    IpcSocket(int fd, QString path);
    bool writeAll(const QByteArray &bytes, qint64 deadline, QString *error);
    /// Reads once (waiting until `deadline`, or not at all when it is 0); false when the socket is done.
    bool readSome(qint64 deadline, QString *error);
    void breakOff();

    int m_fd = -1;
    QString m_path;
    IpcFrameCodec m_codec;
    QList<IpcMessage> m_events;
};
