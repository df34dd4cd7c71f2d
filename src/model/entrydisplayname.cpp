// What a user sees as an entry's name: the application, the site's host, the
// file's or folder's name, or the kind when the entry names none.
#include "entrydisplayname.h"

#include <QUrl>

namespace EntryDisplayName {

QString of(const EntryData &entry, AppName appName)
{
    switch (entry.type()) {
    case EntryType::application: {
        if (!entry.appBundleIdentifier)
            return QStringLiteral("Anwendung");
        const QString piece = lastPiece(*entry.appBundleIdentifier, u'.');
        return appName == AppName::capitalized ? capitalized(piece) : piece;
    }
    case EntryType::website:
        return urlHost(entry.websiteURL).value_or(QStringLiteral("Webseite"));
    case EntryType::file:
        return entry.filePath ? pathName(*entry.filePath) : QStringLiteral("Datei");
    case EntryType::folder:
        return entry.filePath ? pathName(*entry.filePath) : QStringLiteral("Ordner");
    }
    return {};
}

QString capitalized(const QString &text)
{
    QString result;
    result.reserve(text.size());
    bool wordStart = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        // Keep surrogate pairs together so letters beyond the basic plane change case too.
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString letter = text.mid(i, length);
        i += length - 1;
        if (letter.at(0).isSpace()) {
            result += letter;
            wordStart = true;
            continue;
        }
        result += wordStart ? letter.toUpper() : letter.toLower();
        wordStart = false;
    }
    return result;
}

QString lastPiece(const QString &text, QChar separator)
{
    const qsizetype cut = text.lastIndexOf(separator);
    return cut < 0 ? text : text.mid(cut + 1);
}

QString pathName(const QString &path)
{
    qsizetype end = path.size();
    while (end > 1 && path.at(end - 1) == u'/')
        --end;
    return end == 1 && path.startsWith(u'/') ? QStringLiteral("/") : lastPiece(path.left(end), u'/');
}

std::optional<QString> urlHost(const std::optional<QString> &address)
{
    if (!address)
        return std::nullopt;
    // Strict parsing: an address with spaces or stray characters is not a URL.
    const QUrl url(*address, QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    const QString host = url.host(QUrl::FullyDecoded);
    if (host.isEmpty())
        return std::nullopt;
    return host;
}

} // namespace EntryDisplayName
