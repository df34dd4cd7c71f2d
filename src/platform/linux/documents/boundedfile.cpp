// Reads whole files whose size is capped, so that a huge or growing file cannot exhaust memory.
#include "boundedfile.h"

#include <QFile>
#include <QFileInfo>

std::optional<QByteArray> BoundedFile::read(const QString &path, qint64 maxBytes)
{
    const QFileInfo info(path);
    // Only regular files: a FIFO or device planted at the path would block or never end.
    if (!info.isFile() || info.size() > maxBytes)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // The size may change between the check and the read; read one byte more than
    // allowed so that growth beyond the cap is noticed rather than cut silently.
    QByteArray data = file.read(maxBytes + 1);
    if (data.size() > maxBytes || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return data;
}
