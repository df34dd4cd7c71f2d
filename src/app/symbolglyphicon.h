// Icons for symbol names ("briefcase.fill") drawn from the views' symbol font,
// for the tray and its menu, which are widgets and cannot use the QML symbols.
#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

class SymbolGlyphIcon
{
public:
    /// The symbol's glyph drawn in `color`; a null icon for a name the symbol
    /// table does not know, or when the symbol font is missing.
    static QIcon icon(const QString &symbolName, const QColor &color);
};
