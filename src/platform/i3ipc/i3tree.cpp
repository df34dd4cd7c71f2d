// What GET_TREE and GET_OUTPUTS report, read into plain values: windows with their frames, workspaces and
// outputs. Pure: no socket, so recorded replies of sway and i3 test it.
#include "i3tree.h"

#include "i3framegeometry.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace {

// Outputs, workspaces and a few levels of split containers; far deeper is garbage, not a layout.
constexpr int maxDepth = 64;
// The i3 output that holds the scratchpad.
constexpr QLatin1StringView scratchpadOutput { "__i3" };

QRect rectOf(const QJsonValue &value)
{
    const QJsonObject r = value.toObject();
    return QRect(r.value(QLatin1String("x")).toInt(), r.value(QLatin1String("y")).toInt(),
        r.value(QLatin1String("width")).toInt(), r.value(QLatin1String("height")).toInt());
}

struct Walk {
    IpcFlavour flavour;
    QList<I3Window> windows;

    struct Place {
        QString output;
        QString workspace;
        std::optional<int> workspaceNumber;
        QRect workspaceArea;
        bool floating = false;
    };

    static bool isWindow(const QJsonObject &node)
    {
        // sway gives every view a pid; i3 gives every managed X11 window its id.
        return node.value(QLatin1String("pid")).isDouble() || node.value(QLatin1String("window")).isDouble();
    }

    void visit(const QJsonObject &node, Place place, int depth)
    {
        if (depth > maxDepth)
            return;
        const QString type = node.value(QLatin1String("type")).toString();
        // i3bar and other docks are not windows a user arranges.
        if (type == QLatin1String("dockarea"))
            return;
        if (type == QLatin1String("output")) {
            place.output = node.value(QLatin1String("name")).toString();
        } else if (type == QLatin1String("workspace")) {
            place.workspace = node.value(QLatin1String("name")).toString();
            const int number = node.value(QLatin1String("num")).toInt(-1);
            place.workspaceNumber = number >= 0 ? std::optional(number) : std::nullopt;
            place.workspaceArea = rectOf(node.value(QLatin1String("rect")));
        } else if (isWindow(node)) {
            addWindow(node, place);
        }
        const QJsonArray tiled = node.value(QLatin1String("nodes")).toArray();
        for (const QJsonValue &child : tiled)
            visit(child.toObject(), place, depth + 1);
        Place floating = place;
        floating.floating = true;
        const QJsonArray floatingNodes = node.value(QLatin1String("floating_nodes")).toArray();
        for (const QJsonValue &child : floatingNodes)
            visit(child.toObject(), floating, depth + 1);
    }

    void addWindow(const QJsonObject &node, const Place &place)
    {
        I3Window w;
        w.conId = quint64(node.value(QLatin1String("id")).toInteger());
        if (w.conId == 0)
            return;
        if (const QJsonValue pid = node.value(QLatin1String("pid")); pid.isDouble() && pid.toInteger() > 0)
            w.pid = pid.toInteger();
        w.waylandAppId = node.value(QLatin1String("app_id")).toString();
        const QJsonObject properties = node.value(QLatin1String("window_properties")).toObject();
        w.instance = properties.value(QLatin1String("instance")).toString();
        w.className = properties.value(QLatin1String("class")).toString();
        w.transient = properties.value(QLatin1String("transient_for")).isDouble();
        w.title = node.value(QLatin1String("name")).toString();
        const int decoration = rectOf(node.value(QLatin1String("deco_rect"))).height();
        w.frame = I3FrameGeometry::outerFrame(flavour, rectOf(node.value(QLatin1String("rect"))), decoration);
        // A window that is not laid out (sway: a width of 0 and a negative height) still has a workspace.
        if (w.frame.width() <= 0 || w.frame.height() <= 0)
            w.frame = place.workspaceArea;
        w.output = place.output;
        w.workspace = place.workspace;
        w.workspaceNumber = place.workspaceNumber;
        w.workspaceArea = place.workspaceArea;
        // i3 marks floating on the window itself too ("user_on", "auto_on").
        w.floating = place.floating || node.value(QLatin1String("floating")).toString().endsWith(QLatin1String("_on"));
        w.fullScreen = node.value(QLatin1String("fullscreen_mode")).toInt() != 0;
        w.focused = node.value(QLatin1String("focused")).toBool();
        w.scratchpad = place.output == scratchpadOutput;
        windows.append(std::move(w));
    }
};

std::optional<QJsonDocument> parse(const QByteArray &reply, const char *what, QString *error)
{
    QJsonParseError status {};
    QJsonDocument document = QJsonDocument::fromJson(reply, &status);
    if (status.error != QJsonParseError::NoError) {
        *error
            = QStringLiteral("the window manager's %1 is no JSON: %2").arg(QLatin1String(what), status.errorString());
        return std::nullopt;
    }
    return document;
}

} // namespace

std::optional<QList<I3Window>> I3Tree::windows(const QByteArray &treeReply, IpcFlavour flavour, QString *error)
{
    const auto document = parse(treeReply, "tree", error);
    if (!document)
        return std::nullopt;
    if (!document->isObject()) {
        *error = QStringLiteral("the window manager's tree is not a JSON object");
        return std::nullopt;
    }
    Walk walk { flavour, {} };
    walk.visit(document->object(), {}, 0);
    // Tiled windows behind a full-screen one are not laid out while it lasts: their rect is whatever it was
    // (or nothing), possibly across outputs. Their tile is unknown; their workspace's area names the output.
    for (I3Window &w : walk.windows) {
        if (w.floating || w.fullScreen)
            continue;
        for (const I3Window &other : std::as_const(walk.windows)) {
            if (other.fullScreen && other.output == w.output && other.workspace == w.workspace)
                w.frame = w.workspaceArea;
        }
    }
    return walk.windows;
}

std::optional<QList<I3Output>> I3Tree::outputs(const QByteArray &outputsReply, QString *error)
{
    const auto document = parse(outputsReply, "output list", error);
    if (!document)
        return std::nullopt;
    if (!document->isArray()) {
        *error = QStringLiteral("the window manager's output list is not a JSON array");
        return std::nullopt;
    }
    QList<I3Output> result;
    const QJsonArray outputs = document->array();
    for (const QJsonValue &value : outputs) {
        const QJsonObject o = value.toObject();
        if (!o.value(QLatin1String("active")).toBool())
            continue;
        I3Output output;
        output.name = o.value(QLatin1String("name")).toString();
        output.bounds = rectOf(o.value(QLatin1String("rect")));
        output.primary = o.value(QLatin1String("primary")).toBool();
        output.make = o.value(QLatin1String("make")).toString();
        output.model = o.value(QLatin1String("model")).toString();
        output.serial = o.value(QLatin1String("serial")).toString();
        output.currentWorkspace = o.value(QLatin1String("current_workspace")).toString();
        if (!output.name.isEmpty() && output.bounds.isValid())
            result.append(std::move(output));
    }
    return result;
}
