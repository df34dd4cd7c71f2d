// Maps the system symbol names that workspaces and views use to glyphs of the
// Material Icons font, in one table.
#pragma once

#include <QObject>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

class SymbolTable : public QObject
{
    Q_OBJECT
    QML_NAMED_ELEMENT(Symbols)
    QML_SINGLETON
    Q_PROPERTY(QString fontFamily READ fontFamily CONSTANT)

public:
    using QObject::QObject;

    /// The font family that holds every glyph of the table.
    static QString fontFamily();
    /// Where Debian installs that font (fonts-material-design-icons-iconfont).
    static QString fontFile();

    /// The glyph (one character) for a symbol name; empty for unknown names,
    /// so a stored icon we do not know draws nothing instead of a tofu box.
    Q_INVOKABLE static QString glyph(const QString &symbolName);
    /// What a screen reader says for the symbol (German: "Buch", "Terminal");
    /// the symbol name itself for one without a spoken name.
    Q_INVOKABLE static QString spokenName(const QString &symbolName);
    /// Whether the table knows the name.
    Q_INVOKABLE static bool contains(const QString &symbolName);
    /// Every name in the table.
    static QStringList names();
};
