// Writes i3 IPC frames and reads them back from a byte stream that may arrive in any pieces.
#pragma once

#include "ipcmessage.h"

#include <QByteArray>
#include <QString>
#include <optional>

class IpcFrameCodec
{
public:
    /// "i3-ipc" in front of every frame.
    static constexpr char magic[] = "i3-ipc";
    static constexpr int magicSize = 6;
    static constexpr int headerSize = magicSize + 8;
    /// The largest payload read: a tree of thousands of windows stays far below it, and a garbled length
    /// cannot make us buffer gigabytes.
    static constexpr quint32 defaultPayloadLimit = 64u * 1024u * 1024u;

    explicit IpcFrameCodec(quint32 payloadLimit = defaultPayloadLimit);

    /// The frame of one message (lengths and type in this machine's byte order, as the IPC wants).
    static QByteArray encode(quint32 type, const QByteArray &payload);

    /// Appends received bytes; nothing is read from them until next().
    void append(const QByteArray &bytes);
    /// The next complete message, or nothing while it is still partial or once the stream is broken.
    std::optional<IpcMessage> next();
    /// The stream cannot be read on (wrong magic, payload above the limit): the connection must be dropped.
    bool failed() const { return !m_error.isEmpty(); }
    QString error() const { return m_error; }
    /// Bytes received and not yet returned as a message.
    qsizetype pending() const { return m_buffer.size(); }

private:
    QByteArray m_buffer;
    QString m_error;
    quint32 m_limit;
};
