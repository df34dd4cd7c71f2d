// Reading the GNOME Shell extension's JSON answer with every field checked.
#include "gnomeshellstate.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace {

// No monitor arrangement reaches this far: a frame beyond it is garbage, not a window.
constexpr double coordinateLimit = 100000;

std::optional<int> integer(const QJsonValue &value, double low, double high)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || number != std::floor(number) || number < low || number > high)
        return std::nullopt;
    return int(number);
}

std::optional<QRect> rect(const QJsonValue &value)
{
    const QJsonArray parts = value.toArray();
    if (parts.size() != 4)
        return std::nullopt;
    const auto x = integer(parts[0], -coordinateLimit, coordinateLimit);
    const auto y = integer(parts[1], -coordinateLimit, coordinateLimit);
    const auto w = integer(parts[2], 0, coordinateLimit);
    const auto h = integer(parts[3], 0, coordinateLimit);
    if (!x || !y || !w || !h)
        return std::nullopt;
    return QRect(*x, *y, *w, *h);
}

std::optional<GnomeShellWindow> window(const QJsonObject &o)
{
    GnomeShellWindow w;
    bool number = false;
    w.id = o.value(QLatin1String("id")).toString().toULongLong(&number);
    const auto frame = rect(o.value(QLatin1String("frame")));
    if (!number || w.id == 0 || !frame)
        return std::nullopt;
    w.frame = *frame;
    if (const auto pid = integer(o.value(QLatin1String("pid")), 1, 1 << 30))
        w.pid = *pid;
    w.title = o.value(QLatin1String("title")).toString();
    w.wmClass = o.value(QLatin1String("wmClass")).toString();
    w.wmClassInstance = o.value(QLatin1String("wmClassInstance")).toString();
    w.gtkApplicationId = o.value(QLatin1String("gtkApplicationId")).toString();
    w.sandboxedAppId = o.value(QLatin1String("sandboxedAppId")).toString();
    w.shellAppId = o.value(QLatin1String("shellAppId")).toString();
    w.x11 = o.value(QLatin1String("x11")).toBool();
    w.monitor = integer(o.value(QLatin1String("monitor")), -1, 64).value_or(-1);
    w.fullScreen = o.value(QLatin1String("fullScreen")).toBool();
    // Meta.MaximizeFlags: 1 horizontal, 2 vertical.
    const int maximized = integer(o.value(QLatin1String("maximized")), 0, 3).value_or(0);
    w.maximizedHorizontally = maximized & 1;
    w.maximizedVertically = maximized & 2;
    w.minimized = o.value(QLatin1String("minimized")).toBool();
    w.normal = o.value(QLatin1String("normal")).toBool();
    w.dialog = o.value(QLatin1String("dialog")).toBool();
    w.utility = o.value(QLatin1String("utility")).toBool();
    w.skipTaskbar = o.value(QLatin1String("skipTaskbar")).toBool();
    w.transient = o.value(QLatin1String("transient")).toBool();
    w.allWorkspaces = o.value(QLatin1String("allWorkspaces")).toBool();
    w.workspace = integer(o.value(QLatin1String("workspace")), -1, 1000).value_or(0);
    w.focused = o.value(QLatin1String("focused")).toBool();
    return w;
}

} // namespace

std::optional<GnomeShellState> GnomeShellState::parse(const QByteArray &json, QString *error)
{
    if (json.size() > maxAnswerBytes) {
        *error = QStringLiteral("the shell's answer is too large (%1 bytes)").arg(json.size());
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        *error = QStringLiteral("the shell's answer is no JSON object: %1").arg(parseError.errorString());
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    GnomeShellState state;
    const auto version = integer(root.value(QLatin1String("version")), 1, 1 << 20);
    if (!version || !root.value(QLatin1String("monitors")).isArray()
        || !root.value(QLatin1String("windows")).isArray()) {
        *error = QStringLiteral("the shell's answer lacks its version, monitors or windows");
        return std::nullopt;
    }
    state.version = *version;
    state.shell = root.value(QLatin1String("shell")).toString();
    for (const QJsonValue &value : root.value(QLatin1String("monitors")).toArray()) {
        const QJsonObject o = value.toObject();
        const auto x = integer(o.value(QLatin1String("x")), -coordinateLimit, coordinateLimit);
        const auto y = integer(o.value(QLatin1String("y")), -coordinateLimit, coordinateLimit);
        const auto w = integer(o.value(QLatin1String("width")), 1, coordinateLimit);
        const auto h = integer(o.value(QLatin1String("height")), 1, coordinateLimit);
        if (!x || !y || !w || !h) {
            // Indexes must stay those of the shell: one bad monitor makes the list unusable.
            *error = QStringLiteral("the shell reports a monitor without a usable rectangle");
            return std::nullopt;
        }
        const double scale = o.value(QLatin1String("scale")).toDouble(1);
        state.monitors.append({ QRect(*x, *y, *w, *h), std::isfinite(scale) && scale > 0 ? scale : 1 });
    }
    state.primary = integer(root.value(QLatin1String("primary")), 0, double(state.monitors.size()) - 1).value_or(0);
    state.workspaces = integer(root.value(QLatin1String("workspaces")), 1, 1000).value_or(1);
    state.activeWorkspace = integer(root.value(QLatin1String("activeWorkspace")), 0, 1000).value_or(0);
    for (const QJsonValue &value : root.value(QLatin1String("windows")).toArray()) {
        if (const auto w = window(value.toObject()))
            state.windows.append(*w);
    }
    return state;
}

const GnomeShellWindow *GnomeShellState::find(quint64 id) const
{
    for (const GnomeShellWindow &w : windows) {
        if (w.id == id)
            return &w;
    }
    return nullptr;
}
