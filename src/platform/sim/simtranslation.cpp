// How the old scenario vocabulary reads in the typed picture: window attributes, screens with display numbers, and
// collector answers.
#include "simtranslation.h"

#include <QPointF>
#include <QSizeF>
#include <cmath>

namespace {

std::optional<QString> text(const QVariant &value)
{
    if (value.metaType() != QMetaType::fromType<QString>())
        return std::nullopt;
    return value.toString();
}

std::optional<QPointF> point(const QVariant &value)
{
    if (value.metaType() != QMetaType::fromType<QPointF>())
        return std::nullopt;
    const QPointF p = value.toPointF();
    if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
        return std::nullopt;
    return p;
}

std::optional<QSizeF> size(const QVariant &value)
{
    if (value.metaType() != QMetaType::fromType<QSizeF>())
        return std::nullopt;
    const QSizeF s = value.toSizeF();
    if (!std::isfinite(s.width()) || !std::isfinite(s.height()))
        return std::nullopt;
    return s;
}

WindowKind kindOf(const std::optional<QString> &role, const std::optional<QString> &subrole)
{
    using namespace SimTranslation;
    if (!role || *role != Attribute::windowRole)
        return WindowKind::other;
    return subrole && *subrole == Attribute::dialogSubrole ? WindowKind::dialog : WindowKind::normal;
}

const SimScreen *firstWithNumber(const QList<SimScreen> &screens, quint32 displayNumber)
{
    for (const SimScreen &screen : screens) {
        if (screen.displayNumber == displayNumber)
            return &screen;
    }
    return nullptr;
}

} // namespace

SimWindow SimTranslation::windowFromAttributes(const QVariantMap &attributes)
{
    const auto value = [&](QLatin1StringView name) { return attributes.value(QString(name)); };
    SimWindow window;
    window.title = text(value(Attribute::title)).value_or(QString());
    window.frame = QRectF(
        point(value(Attribute::position)).value_or(QPointF(0, 0)), size(value(Attribute::size)).value_or(QSizeF(0, 0)));
    const std::optional<QString> subrole = text(value(Attribute::subrole));
    window.state.fullScreen = subrole && *subrole == Attribute::fullScreenSubrole;
    window.kind = kindOf(text(value(Attribute::role)), subrole);
    window.document = text(value(Attribute::document));
    const QVariant main = value(Attribute::main);
    window.main = main.metaType() == QMetaType::fromType<bool>() && main.toBool();
    return window;
}

QList<DesktopMonitor> SimTranslation::monitors(const QList<SimScreen> &screens)
{
    QList<DesktopMonitor> list;
    list.reserve(screens.size());
    for (qsizetype i = 0; i < screens.size(); ++i) {
        const SimScreen &screen = screens[i];
        const SimScreen *display = screen.displayNumber ? firstWithNumber(screens, *screen.displayNumber) : nullptr;
        DesktopMonitor monitor;
        if (screen.identifier)
            monitor.identifier = screen.identifier;
        else if (display && display->uuid && !display->uuid->isEmpty())
            monitor.identifier = display->uuid;
        monitor.connector = screen.connector;
        monitor.bounds = display ? display->bounds : screen.bounds;
        monitor.primary = screen.primary.value_or(i == 0);
        list.append(monitor);
    }
    return list;
}

std::optional<QStringList> SimTranslation::collectorStrings(const ScriptResult &result)
{
    if (result.failed)
        return std::nullopt;
    const QVariant &value = result.value;
    QVariantList items;
    if (value.metaType() == QMetaType::fromType<QVariantList>()
        || value.metaType() == QMetaType::fromType<QStringList>())
        items = value.toList();
    if (!items.isEmpty()) {
        QStringList strings;
        for (const QVariant &item : std::as_const(items)) {
            if (const auto string = text(item))
                strings.append(*string);
        }
        return strings;
    }
    if (const auto string = text(value))
        return QStringList { *string };
    return QStringList();
}
