// Reads which file or folder a window's title names, the only place most X11 applications say it.
#include "titledocument.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <algorithm>

namespace {
const QString separators[]
    = { QStringLiteral(" - "), QStringLiteral(" \u2014 "), QStringLiteral(" \u2013 "), QStringLiteral(" | ") };

bool isNameCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('.') || c == QLatin1Char('_') || c == QLatin1Char('-');
}

std::optional<QString> expanded(const QString &part, const QString &home)
{
    if (part == QLatin1String("~"))
        return home;
    if (part.startsWith(QLatin1String("~/")))
        return home.isEmpty() ? std::nullopt : std::optional(QDir(home).filePath(part.mid(2)));
    if (QDir::isAbsolutePath(part))
        return part;
    return std::nullopt;
}

bool existsAs(const QString &path, bool folder)
{
    const QFileInfo info(path);
    return folder ? info.isDir() : info.isFile();
}
} // namespace

QString TitleDocument::withoutMarker(const QString &title)
{
    QString t = title.trimmed();
    // Editors put the marker right before the name, or before a path ("*/tmp/a.txt").
    while (!t.isEmpty() && (t.front() == QLatin1Char('*') || t.front() == QChar(0x2022) || t.front() == QChar(0x25CF)))
        t = t.mid(1).trimmed();
    return t;
}

QStringList TitleDocument::parts(const QString &title)
{
    QStringList pieces { withoutMarker(title) };
    for (const QString &separator : separators) {
        QStringList split;
        for (const QString &piece : std::as_const(pieces))
            split.append(piece.split(separator, Qt::SkipEmptyParts));
        pieces = split;
    }
    QStringList result;
    for (QString piece : std::as_const(pieces)) {
        piece = withoutMarker(piece);
        // "notes.txt (~/dir)": the name and its folder.
        const qsizetype open = piece.lastIndexOf(QLatin1String(" ("));
        if (open > 0 && piece.endsWith(QLatin1Char(')'))) {
            result.append(piece.left(open).trimmed());
            result.append(piece.mid(open + 2, piece.size() - open - 3).trimmed());
        } else if (!piece.isEmpty()) {
            result.append(piece);
        }
    }
    return result;
}

std::optional<QString> TitleDocument::pathIn(const QString &title, const QString &home, bool folder)
{
    // The whole title first: a path may itself hold a separator ("/a - b/notes.txt").
    QStringList tried { withoutMarker(title) };
    tried.append(parts(title));
    QStringList folders;
    QStringList names;
    for (const QString &part : std::as_const(tried)) {
        const auto path = expanded(part, home);
        if (!path) {
            names.append(part);
            continue;
        }
        const QString clean = QDir::cleanPath(*path);
        if (existsAs(clean, folder))
            return clean;
        if (!folder && QFileInfo(clean).isDir())
            folders.append(clean);
    }
    // "notes.txt - /home/u/dir - FeatherPad", "notes.txt (~/dir) - gedit".
    for (const QString &dir : std::as_const(folders)) {
        for (const QString &name : std::as_const(names)) {
            if (name.contains(QLatin1Char('/')) || name == QLatin1String("..") || name == QLatin1String("."))
                continue;
            const QString path = QDir(dir).filePath(name);
            if (QFileInfo(path).isFile())
                return path;
        }
    }
    return std::nullopt;
}

bool TitleDocument::containsToken(const QString &text, const QString &name)
{
    if (name.isEmpty())
        return false;
    for (qsizetype at = text.indexOf(name); at >= 0; at = text.indexOf(name, at + 1)) {
        const qsizetype end = at + name.size();
        const bool startsClean = at == 0 || !isNameCharacter(text.at(at - 1));
        const bool endsClean = end == text.size() || !isNameCharacter(text.at(end));
        if (startsClean && endsClean)
            return true;
    }
    return false;
}

std::optional<QString> TitleDocument::match(
    const QString &title, const QStringList &candidates, const QStringList &preferred)
{
    const QString text = withoutMarker(title);
    QHash<QString, QStringList> byName;
    QStringList names;
    for (const QString &candidate : candidates) {
        const QString path = QDir::cleanPath(candidate);
        const QString name = QFileInfo(path).fileName();
        QStringList &paths = byName[name];
        if (paths.isEmpty())
            names.append(name);
        if (!paths.contains(path))
            paths.append(path);
    }
    // "notes.txt.bak" is tried before "notes.txt", so that the longer name wins where both fit.
    std::stable_sort(
        names.begin(), names.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
    for (const QString &name : std::as_const(names)) {
        if (!containsToken(text, name))
            continue;
        QStringList existing;
        for (const QString &path : std::as_const(byName[name])) {
            if (QFileInfo(path).isFile())
                existing.append(path);
        }
        if (existing.size() == 1)
            return existing.front();
        if (existing.isEmpty())
            continue;
        QStringList placed;
        for (const QString &path : std::as_const(existing)) {
            if (containsToken(text, QFileInfo(QFileInfo(path).path()).fileName()))
                placed.append(path);
        }
        if (placed.size() == 1)
            return placed.front();
        QStringList started;
        for (const QString &path : std::as_const(existing)) {
            if (preferred.contains(path))
                started.append(path);
        }
        // Two files of this name and nothing to tell which: rather none than a wrong one.
        return started.size() == 1 ? std::optional(started.front()) : std::nullopt;
    }
    return std::nullopt;
}
