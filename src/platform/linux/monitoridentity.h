// The persistent identifier of a monitor: a name-based UUID of its EDID fingerprint (or of its name).
#pragma once

#include <QByteArray>
#include <QString>

class MonitorIdentity
{
public:
    /// The fingerprint of a monitor. From a valid EDID (base block header and checksum): the manufacturer id,
    /// the product code, the serial-text descriptor or else the non-zero serial number, and the name
    /// descriptor; without any serial, identical models would collide, so `connector` joins. Without a valid
    /// EDID (virtual monitors, Xvfb): the monitor's name. Never the whole EDID: docks and KVMs rewrite parts.
    static QString fingerprint(const QByteArray &edid, const QString &connector, const QString &monitorName);

    /// The 36-character upper-case UUID (version 5 in Corvalint's namespace) of a fingerprint.
    static QString identifier(const QString &fingerprint);
};
