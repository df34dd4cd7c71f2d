// One connection to a Unix socket, read and written with the event loop running: the client end of the
// instance channel without Qt Network, whose libraries would cost each command more than its own work.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

class LocalConnection
{
public:
    LocalConnection() = default;
    ~LocalConnection();
    LocalConnection(const LocalConnection &) = delete;
    LocalConnection &operator=(const LocalConnection &) = delete;

    /// Connects to the socket file at `path` within `timeoutMs`; false when nobody listens there.
    bool connectTo(const QString &path, int timeoutMs);
    qintptr descriptor() const { return m_fd; }

    /// Writes all of `data` within `timeoutMs`.
    bool writeAll(const QByteArray &data, int timeoutMs);
    /// The next line without its newline, or nothing when none came within `timeoutMs`, the other end
    /// closed first, or a line grew past `maxLineBytes`.
    std::optional<QByteArray> readLine(int timeoutMs, qsizetype maxLineBytes);

private:
    enum class Wait { readable, writable };
    /// Runs the event loop until the socket is ready or `timeoutMs` passed.
    bool waitFor(Wait what, int timeoutMs);

    int m_fd = -1;
    QByteArray m_buffer;
};
