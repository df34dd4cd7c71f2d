// Writes i3 IPC frames and reads them back from a byte stream that may arrive in any pieces.
#include "ipcframecodec.h"

#include <cstring>

IpcFrameCodec::IpcFrameCodec(quint32 payloadLimit)
    : m_limit(payloadLimit)
{
}

QByteArray IpcFrameCodec::encode(quint32 type, const QByteArray &payload)
{
    const quint32 length = quint32(payload.size());
    QByteArray frame;
    frame.reserve(headerSize + payload.size());
    frame.append(magic, magicSize);
    frame.append(reinterpret_cast<const char *>(&length), sizeof length);
    frame.append(reinterpret_cast<const char *>(&type), sizeof type);
    frame.append(payload);
    return frame;
}

void IpcFrameCodec::append(const QByteArray &bytes)
{
    if (!failed())
        m_buffer.append(bytes);
}

std::optional<IpcMessage> IpcFrameCodec::next()
{
    if (failed())
        return std::nullopt;
    // The magic is checked as soon as its bytes are there, so that a stream of garbage fails at once
    // instead of after a bogus length's worth of waiting.
    const qsizetype seen = std::min<qsizetype>(m_buffer.size(), magicSize);
    if (std::memcmp(m_buffer.constData(), magic, size_t(seen)) != 0) {
        m_error = QStringLiteral("the window manager's answer is not an i3 IPC message");
        m_buffer.clear();
        return std::nullopt;
    }
    if (m_buffer.size() < headerSize)
        return std::nullopt;
    quint32 length = 0;
    quint32 type = 0;
    std::memcpy(&length, m_buffer.constData() + magicSize, sizeof length);
    std::memcpy(&type, m_buffer.constData() + magicSize + 4, sizeof type);
    if (length > m_limit) {
        m_error = QStringLiteral("the window manager's answer is too large (%1 bytes)").arg(length);
        m_buffer.clear();
        return std::nullopt;
    }
    if (quint64(m_buffer.size()) < quint64(headerSize) + length)
        return std::nullopt;
    IpcMessage message { type, m_buffer.mid(headerSize, qsizetype(length)) };
    m_buffer.remove(0, headerSize + qsizetype(length));
    return message;
}
