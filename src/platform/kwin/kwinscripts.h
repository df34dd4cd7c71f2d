// The JavaScript that Corvalint hands KWin, one script per request: the listing, a placement, activation and
// closing, each wrapped so that it always answers (its result, or the error it ran into) over D-Bus. Every script
// runs under KWin 5.27's script API and KWin 6's alike and answers the same either way.
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <optional>

/// Where a script sends its answer: a method `answer(token, json)` of an object on Corvalint's connection.
struct KWinReplyTarget {
    QString service;
    QString path;
    QString interface;
};

/// How a placement script should leave a window (KWin's own terms: global frame, 1-based desktops).
struct KWinPlacementGoal {
    QRect frame;
    bool maximizeHorizontally = false;
    bool maximizeVertically = false;
    bool fullScreen = false;
    bool minimized = false;
    /// KWin's desktop number (1 first), -1 for every desktop; nothing leaves it.
    std::optional<int> desktop;
};

namespace KWinScripts {

/// A JavaScript string literal of `text` (quotes, backslashes and line breaks escaped).
QString literal(const QString &text);

/// The whole script: `body` (statements that end in `return VALUE;`) runs inside a function and try/catch; the
/// value, or the error, goes back to `target` as JSON with `token`: `{"ok":true,"result":VALUE}` or
/// `{"ok":false,"error":TEXT}`.
QString wrap(const QString &body, const KWinReplyTarget &target, const QString &token);

/// Lists the outputs' logical rectangles by index, the active output and desktop, and every managed window.
/// Screens, windows' screens and desktops are numbers under both APIs (desktops 1 first, -1 for all). The
/// outputs' names, manufacturers, models and serial numbers are filled in only by KWin 6 (5.27's script API has
/// none; they are empty text then).
QString listBody();
/// Puts the window with this internal id where `goal` says; answers whether it was found.
QString placeBody(const QString &internalId, const KWinPlacementGoal &goal);
/// Makes the window the active one.
QString activateBody(const QString &internalId);
/// Asks each window to close as its close button would; answers how many were found.
QString closeBody(const QStringList &internalIds);

} // namespace KWinScripts
