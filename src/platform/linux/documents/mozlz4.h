// Decodes Mozilla's "mozlz4" container: a magic, the decoded size, one raw LZ4 block.
#pragma once

#include <QByteArray>
#include <optional>

class MozLz4
{
public:
    /// Decoded sizes above this are refused: no real session store comes near it.
    static constexpr qint64 maxDecodedSize = qint64(256) * 1024 * 1024;

    /// The decoded content, or nothing when the magic is wrong, the declared size is
    /// implausible, or the block does not decode to exactly the declared size.
    static std::optional<QByteArray> decode(const QByteArray &file);

    /// Encodes `content` the way Firefox writes it (used by tests and tools).
    static QByteArray encode(const QByteArray &content);
};
