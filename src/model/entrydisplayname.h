// What a user sees as an entry's name: the application, the site's host, the
// file's or folder's name, or the kind when the entry names none.
#pragma once

#include "entrydata.h"

#include <QString>
#include <optional>

namespace EntryDisplayName {

/// How an application's name is written.
enum class AppName {
    asIdentified, ///< the identifier's last piece as it is: "com.apple.dt.XCode" gives "XCode"
    capitalized, ///< that piece capitalised (see `capitalized`): "Xcode"
};

/// The readable name: an application's last identifier piece, a website's
/// host, a file's or folder's last path piece; "Anwendung", "Webseite",
/// "Datei" or "Ordner" when the field is missing (and "Webseite" also for an
/// address without a host).
QString of(const EntryData &entry, AppName appName);

/// Each word (a run between spaces, tabs or line breaks) with its first
/// letter upper case and every other letter lower case: "dt.XCode" gives
/// "Dt.xcode", "visual studio" gives "Visual Studio".
QString capitalized(const QString &text);

/// The last piece of `text` split at every `separator`; empty when the text
/// ends with the separator ("/home/ada/" gives "").
QString lastPiece(const QString &text, QChar separator);

/// The name of the file or folder at `path`: its last piece, a trailing "/"
/// left aside, as folders are often written ("/home/ada/Projekte/" gives
/// "Projekte"); "/" for the root.
QString pathName(const QString &path);

/// The host of `address` read as a URL; nothing when the address is absent,
/// does not parse, or names no host.
std::optional<QString> urlHost(const std::optional<QString> &address);

} // namespace EntryDisplayName
