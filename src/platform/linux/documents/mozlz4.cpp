// Decodes Mozilla's "mozlz4" container: a magic, the decoded size, one raw LZ4 block.
#include "mozlz4.h"

#include <QtEndian>
#include <climits>
#include <lz4.h>

namespace {
constexpr char magic[] = { 'm', 'o', 'z', 'L', 'z', '4', '0', '\0' };
constexpr qsizetype magicSize = sizeof(magic);
constexpr qsizetype headerSize = magicSize + 4;
// LZ4 cannot expand input by more than about 255 times; a declared size beyond
// that is a lie, and believing it would allocate up to the cap for a tiny file.
constexpr qint64 maxExpansion = 255;
} // namespace

std::optional<QByteArray> MozLz4::decode(const QByteArray &file)
{
    if (file.size() < headerSize || file.first(magicSize) != QByteArrayView(magic, magicSize))
        return std::nullopt;
    const qint64 declared = qFromLittleEndian<quint32>(file.constData() + magicSize);
    const qint64 compressed = file.size() - headerSize;
    if (declared > maxDecodedSize || declared > compressed * maxExpansion + 16 || compressed > INT_MAX)
        return std::nullopt;

    QByteArray out(qsizetype(declared), Qt::Uninitialized);
    const int written = LZ4_decompress_safe(file.constData() + headerSize, out.data(), int(compressed), int(declared));
    if (written != declared)
        return std::nullopt;
    return out;
}

QByteArray MozLz4::encode(const QByteArray &content)
{
    const int bound = LZ4_compressBound(int(content.size()));
    QByteArray out(headerSize + bound, Qt::Uninitialized);
    std::copy(std::begin(magic), std::end(magic), out.begin());
    qToLittleEndian<quint32>(quint32(content.size()), out.data() + magicSize);
    const int written = LZ4_compress_default(content.constData(), out.data() + headerSize, int(content.size()), bound);
    out.truncate(headerSize + qMax(written, 0));
    return out;
}
