// Reads whole files whose size is capped, so that a huge or growing file cannot exhaust memory.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

class BoundedFile
{
public:
    /// The whole content of `path`, or nothing when it cannot be opened, is not a
    /// regular file, or holds more than `maxBytes` bytes. A file that grows while
    /// it is read is cut at `maxBytes + 1` bytes and refused.
    static std::optional<QByteArray> read(const QString &path, qint64 maxBytes);
};
