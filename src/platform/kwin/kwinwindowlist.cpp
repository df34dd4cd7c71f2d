// Reading the listing script's answer. KWin hands over whatever its objects hold, so every field is checked.
#include "kwinwindowlist.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUuid>
#include <QtEndian>
#include <cmath>

namespace {

// Frames beyond this are no real window (KWin parks nothing that far away).
constexpr double maxCoordinate = 1 << 24;

std::optional<int> integer(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::abs(number) > maxCoordinate)
        return std::nullopt;
    return int(std::lround(number));
}

std::optional<QRect> rectangle(const QJsonObject &object)
{
    const auto x = integer(object.value(QLatin1String("x")));
    const auto y = integer(object.value(QLatin1String("y")));
    const auto width = integer(object.value(QLatin1String("width")));
    const auto height = integer(object.value(QLatin1String("height")));
    if (!x || !y || !width || !height || *width < 0 || *height < 0)
        return std::nullopt;
    return QRect(*x, *y, *width, *height);
}

bool flag(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1String(key)).toBool();
}

QString text(const QJsonObject &object, const char *key)
{
    return object.value(QLatin1String(key)).toString();
}

std::optional<KWinWindow> windowFrom(const QJsonObject &object)
{
    KWinWindow w;
    w.internalId = text(object, "internalId");
    const auto frame = rectangle(object);
    if (w.internalId.isEmpty() || kwinWindowNumber(w.internalId) == 0 || !frame)
        return std::nullopt;
    w.frame = *frame;
    if (const auto pid = integer(object.value(QLatin1String("pid"))); pid && *pid > 0)
        w.pid = *pid;
    w.caption = text(object, "caption");
    w.screen = integer(object.value(QLatin1String("screen"))).value_or(0);
    w.fullScreen = flag(object, "fullScreen");
    w.minimized = flag(object, "minimized");
    w.active = flag(object, "active");
    w.normalWindow = flag(object, "normalWindow");
    w.dialog = flag(object, "dialog");
    w.utility = flag(object, "utility");
    w.specialWindow = flag(object, "specialWindow");
    w.skipTaskbar = flag(object, "skipTaskbar");
    w.desktop = integer(object.value(QLatin1String("desktop"))).value_or(1);
    w.onAllDesktops = flag(object, "onAllDesktops") || w.desktop < 0;
    w.x11 = flag(object, "x11");
    w.desktopFileName = text(object, "desktopFileName");
    w.resourceClass = text(object, "resourceClass");
    w.resourceName = text(object, "resourceName");
    return w;
}

} // namespace

std::optional<KWinWindowList> KWinWindowList::parse(const QByteArray &result, QString *error)
{
    if (result.size() > maxAnswerBytes) {
        *error = QStringLiteral("the window list is too large (%1 bytes)").arg(result.size());
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(result, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        *error = QStringLiteral("the window list is no JSON object: %1").arg(parseError.errorString());
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    const QJsonValue screens = root.value(QLatin1String("screens"));
    const QJsonValue windows = root.value(QLatin1String("windows"));
    if (!screens.isArray() || !windows.isArray()) {
        *error = QStringLiteral("the window list has no screens or windows");
        return std::nullopt;
    }
    KWinWindowList list;
    for (const QJsonValue &screen : screens.toArray()) {
        const QJsonObject object = screen.toObject();
        const auto bounds = rectangle(object);
        if (!bounds) {
            *error = QStringLiteral("the window list has a screen without a rectangle");
            return std::nullopt;
        }
        list.screens.append(*bounds);
        KWinOutputName output;
        output.name = text(object, "name");
        output.manufacturer = text(object, "manufacturer");
        output.model = text(object, "model");
        output.serialNumber = text(object, "serialNumber");
        output.geometry = *bounds;
        list.outputs.append(output);
    }
    list.activeScreen = integer(root.value(QLatin1String("activeScreen"))).value_or(0);
    list.currentDesktop = integer(root.value(QLatin1String("currentDesktop"))).value_or(1);
    for (const QJsonValue &value : windows.toArray()) {
        if (auto w = windowFrom(value.toObject()))
            list.windows.append(std::move(*w));
    }
    return list;
}

std::optional<int> KWinWindowList::screenFor(const QRect &frame) const
{
    std::optional<int> best;
    qint64 bestArea = 0;
    for (int i = 0; i < screens.size(); ++i) {
        const QRect part = screens[i].intersected(frame);
        const qint64 area = part.isEmpty() ? 0 : qint64(part.width()) * part.height();
        if (area > bestArea) {
            best = i;
            bestArea = area;
        }
    }
    return best;
}

quint64 kwinWindowNumber(const QString &internalId)
{
    const QUuid uuid(internalId);
    if (uuid.isNull())
        return 0;
    const QByteArray bytes = uuid.toRfc4122();
    const quint64 high = qFromBigEndian<quint64>(bytes.constData());
    const quint64 low = qFromBigEndian<quint64>(bytes.constData() + 8);
    // Never 0: that means "no window" to callers.
    return (high ^ low) ? (high ^ low) : 1;
}

QString KWinWindowList::withoutDuplicateMark(const QString &caption)
{
    static const QRegularExpression mark(QStringLiteral(" <\\d+>\u200E?$"));
    QString title = caption;
    return title.remove(mark);
}
