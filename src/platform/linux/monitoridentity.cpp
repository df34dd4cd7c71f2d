// The persistent identifier of a monitor: a name-based UUID of its EDID fingerprint (or of its name).
#include "monitoridentity.h"

#include <QStringList>
#include <QUuid>

namespace {

// Fixed forever: every stored monitor identifier is derived in this namespace.
const QUuid corvalintMonitorNamespace(QStringLiteral("{6f0b7c1e-3a52-5d8e-9c47-2b1d8e6a4f90}"));

constexpr int blockSize = 128;
constexpr int descriptorOffsets[] = { 54, 72, 90, 108 };

bool isValidBaseBlock(const QByteArray &edid)
{
    static const char header[] = { 0, char(0xff), char(0xff), char(0xff), char(0xff), char(0xff), char(0xff), 0 };
    if (edid.size() < blockSize || !edid.startsWith(QByteArray(header, sizeof header)))
        return false;
    unsigned sum = 0;
    for (int i = 0; i < blockSize; ++i)
        sum += static_cast<unsigned char>(edid[i]);
    return sum % 256 == 0;
}

// Display descriptors hold up to 13 characters, ended by a line feed and padded with spaces.
QString descriptorText(const QByteArray &edid, unsigned char tag)
{
    for (int offset : descriptorOffsets) {
        if (edid[offset] != 0 || edid[offset + 1] != 0 || static_cast<unsigned char>(edid[offset + 3]) != tag)
            continue;
        QByteArray text = edid.mid(offset + 5, 13);
        const int end = text.indexOf('\n');
        if (end >= 0)
            text.truncate(end);
        return QString::fromLatin1(text).trimmed();
    }
    return {};
}

QString manufacturer(const QByteArray &edid)
{
    const unsigned code = (unsigned(static_cast<unsigned char>(edid[8])) << 8) | static_cast<unsigned char>(edid[9]);
    QString text;
    for (int shift : { 10, 5, 0 })
        text += QChar(char('A' - 1 + ((code >> shift) & 0x1f)));
    return text;
}

unsigned littleEndian(const QByteArray &edid, int offset, int bytes)
{
    unsigned value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(edid[offset + i]);
    return value;
}

} // namespace

QString MonitorIdentity::fingerprint(const QByteArray &edid, const QString &connector, const QString &monitorName)
{
    if (!isValidBaseBlock(edid))
        return QStringLiteral("name:") + monitorName;
    QString serial = descriptorText(edid, 0xff);
    if (serial.isEmpty()) {
        const unsigned number = littleEndian(edid, 12, 4);
        if (number != 0)
            serial = QString::number(number);
    }
    QStringList parts { QStringLiteral("edid"), manufacturer(edid), QString::number(littleEndian(edid, 10, 2)), serial,
        descriptorText(edid, 0xfc) };
    if (serial.isEmpty())
        parts << connector;
    return parts.join(QLatin1Char(':'));
}

QString MonitorIdentity::identifier(const QString &fingerprint)
{
    return QUuid::createUuidV5(corvalintMonitorNamespace, fingerprint).toString(QUuid::WithoutBraces).toUpper();
}
