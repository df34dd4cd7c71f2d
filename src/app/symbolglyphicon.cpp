// Drawing one symbol glyph into an icon.
#include "symbolglyphicon.h"

#include "views/theme/symboltable.h"

#include <QFont>
#include <QFontDatabase>
#include <QPainter>
#include <QPixmap>

namespace {

/// The symbol font's family, loaded once from Debian's file when Qt's font
/// database does not list it already; empty when the font is not installed.
QString symbolFamily()
{
    static const QString family = [] {
        if (QFontDatabase::families().contains(SymbolTable::fontFamily()))
            return SymbolTable::fontFamily();
        const int id = QFontDatabase::addApplicationFont(SymbolTable::fontFile());
        const QStringList loaded = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
        return loaded.value(0);
    }();
    return family;
}

} // namespace

QIcon SymbolGlyphIcon::icon(const QString &symbolName, const QColor &color)
{
    const QString glyph = SymbolTable::glyph(symbolName);
    const QString family = symbolFamily();
    if (glyph.isEmpty() || family.isEmpty())
        return {};
    QIcon icon;
    for (const int size : { 16, 22, 24, 32, 48, 64 }) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        QFont font(family);
        font.setPixelSize(size);
        painter.setFont(font);
        painter.setPen(color);
        painter.drawText(pixmap.rect(), Qt::AlignCenter, glyph);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
