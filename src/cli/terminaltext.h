// Text from the store made harmless for a terminal.
#pragma once

#include <QString>

namespace TerminalText {

/// `text` with every control character, and every character that reorders
/// text on screen, written as a visible escape ("\x1B", "\u202E"): a
/// workspace name from a foreign backup must not move the cursor, retitle
/// or clear the user's terminal. Newlines and tabs too, for one-line fields.
QString field(const QString &text);

/// The same for a whole block of output, keeping its newlines and tabs.
QString block(const QString &text);

/// JSON text with the characters that JSON leaves raw but terminals act on
/// (DEL and the C1 controls) written as \u escapes: still the same JSON.
QString json(const QString &text);

/// `text` cut to at most `width` characters, the cut marked with "…".
QString elided(const QString &text, qsizetype width);

} // namespace TerminalText
