// The local path a file URL names, whichever way the URL spells this machine.
#pragma once

#include <QSysInfo>
#include <QUrl>
#include <optional>

// Inline on purpose: the document collectors of the X11 platform read file URLs too, and their library
// does not link the automation.

/// The absolute path of a file URL on this machine, or nothing when the URL names no local file.
///
/// The host may be empty (`file:///home/me`), `localhost` or this machine's host name, in any case; a URL
/// naming another host is not a local file, whatever its path. QUrl::toLocalFile() would keep any host
/// as a UNC-style `//host/path`, which no local path looks like. Paths come fully decoded; a relative
/// path (`file:notes.txt`) or one holding a NUL byte is no local file either.
inline std::optional<QString> localPathOfFileUrl(const QUrl &url)
{
    if (!url.isValid() || url.scheme() != QLatin1String("file"))
        return std::nullopt;
    const QString host = url.host();
    if (!host.isEmpty() && host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) != 0
        && host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    const QString path = url.path(QUrl::FullyDecoded);
    if (!path.startsWith(QLatin1Char('/')) || path.contains(QChar(0)))
        return std::nullopt;
    return path;
}
