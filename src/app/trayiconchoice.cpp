// Which icon the tray shows: by name for panels that recolour it, tinted for
// X11 trays that announce a colour, coloured otherwise.
#include "trayiconchoice.h"

#include "symbolglyphicon.h"

#include <QApplication>
#include <QColor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>

namespace {

const QLatin1String symbolName { "briefcase.fill" };
/// The theme's accent cyan, for trays that show colour well (dark panels).
const QColor accent = QColor::fromRgbF(0.0f, 0.95f, 1.0f);

QIcon glyph(const QColor &color)
{
    QIcon icon = SymbolGlyphIcon::icon(symbolName, color);
    // Without the symbol font the application's own icon stands in.
    return icon.isNull() ? QApplication::windowIcon() : icon;
}

} // namespace

QIcon TrayIconChoice::icon(bool panelDrawsIcons, std::optional<quint32> trayForegroundRgb)
{
    // Only an installed icon can go by name: the panel looks it up in its theme.
    if (panelDrawsIcons && QIcon::hasThemeIcon(symbolicName))
        return QIcon::fromTheme(symbolicName);
    if (trayForegroundRgb)
        return glyph(QColor::fromRgb(QRgb(*trayForegroundRgb)));
    return glyph(accent);
}

bool TrayIconChoice::panelDrawsIcons()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QLatin1String watcher { "org.kde.StatusNotifierWatcher" };
    if (!bus.interface()->isServiceRegistered(watcher))
        return false;
    QDBusInterface properties(watcher, QStringLiteral("/StatusNotifierWatcher"), watcher, bus);
    properties.setTimeout(500);
    return properties.property("IsStatusNotifierHostRegistered").toBool();
}
