// Reads which file or folder a window's title names, the only place most X11 applications say it.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

/// Window titles as the editors and file managers on Debian 12 write them, seen on Xvfb (gedit's and
/// Kate's as users report them; they are not installed here):
///
/// | application          | title                                                     |
/// |----------------------|-----------------------------------------------------------|
/// | Mousepad 0.5         | `notes.txt - Mousepad`, `*notes.txt - Mousepad` (modified) |
/// | Mousepad, path shown | `/tmp/exp/notes.txt - Mousepad`, `*/root/d/f.txt - Mousepad` |
/// | FeatherPad 1.3       | `/tmp/exp/notes.txt`, `*/tmp/exp/notes.txt` (modified)    |
/// | gedit                | `notes.txt (~/dir) - gedit`                               |
/// | Kate                 | `~/dir/notes.txt - Kate`                                  |
/// | Thunar 4.18          | `dir one - Thunar`, `root - Thunar` (home), with the full path shown `/tmp/exp/proj -
/// Thunar` | | Nemo 5.6             | `dir one`, `Home`                                         | | Caja 1.26,
/// PCManFM 1.3 | `dir one`, `root` (home)                                | | Dolphin 22.12        | `dir one — Dolphin`
/// (an em dash)                          |
class TitleDocument
{
public:
    /// The title without a leading "modified" marker ("*", "•", "●") and blanks.
    static QString withoutMarker(const QString &title);

    /// The parts of a title between its separators (" - ", " — ", " – ", " | ") and
    /// inside a trailing parenthesis ("notes.txt (~/dir)"), trimmed, the marker dropped.
    static QStringList parts(const QString &title);

    /// An existing file (or, with `folder`, directory) the title names by an
    /// absolute or `~` path, alone or as a folder beside a file name ("notes.txt -
    /// /home/u/dir - FeatherPad"). `home` expands `~`.
    static std::optional<QString> pathIn(const QString &title, const QString &home, bool folder);

    /// The one candidate whose file name stands in the title as a whole token, the
    /// longest names tried first. Candidates are absolute paths, newest first; only
    /// the ones whose name matches are checked to exist as regular files. Two
    /// existing files of the same name are told apart by their folder's name in the
    /// title, else by being the only one of them in `preferred` (the files the
    /// window's process was started with), or not at all.
    static std::optional<QString> match(
        const QString &title, const QStringList &candidates, const QStringList &preferred = {});

    /// Whether `name` occurs in `text` with no letter, digit, '.', '_' or '-' on either side.
    static bool containsToken(const QString &text, const QString &name);
};
