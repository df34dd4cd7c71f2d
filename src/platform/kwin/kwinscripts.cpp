// The JavaScript that Corvalint hands KWin. Every body starts with a prelude that finds out which script API this
// KWin speaks and hides the difference: KWin 5.27 (workspace.clientList(), screens and desktops as numbers,
// workspace.activeClient) or KWin 6 (workspace.windowList(), outputs as objects in workspace.screens and
// window.output, virtual desktops as objects in workspace.currentDesktop and window.desktops,
// workspace.activeWindow). The answers have the same shape under both.
#include "kwinscripts.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

// What the bodies use instead of the workspace's own names. Outputs and desktops are "handles": the numbers of
// 5.27 or the objects of 6, handed back to the same KWin as they came.
const char prelude[]
    = "    var api = (function () {\n"
      "        if (typeof workspace.windowList === \"function\")\n"
      "            return 6;\n"
      "        if (typeof workspace.clientList === \"function\")\n"
      "            return 5;\n"
      "        throw new Error(\"unknown KWin script API: the workspace has neither windowList() nor clientList()\");\n"
      "    })();\n"
      "    var windows = function () {\n"
      "        return api === 6 ? workspace.windowList() : workspace.clientList();\n"
      "    };\n"
      "    var outputs = function () {\n"
      "        var result = [];\n"
      "        if (api === 6) {\n"
      "            var screens = workspace.screens;\n"
      "            for (var i = 0; i < screens.length; ++i)\n"
      "                result.push(screens[i]);\n"
      "        } else {\n"
      "            for (var s = 0; s < workspace.numScreens; ++s)\n"
      "                result.push(s);\n"
      "        }\n"
      "        return result;\n"
      "    };\n"
      // The same output may come as another wrapper object: the name tells it apart.
      "    var outputIndex = function (output, list) {\n"
      "        if (typeof output === \"number\")\n"
      "            return output;\n"
      "        for (var i = 0; output && i < list.length; ++i) {\n"
      "            if (list[i] === output || (list[i].name && list[i].name === output.name))\n"
      "                return i;\n"
      "        }\n"
      "        return -1;\n"
      "    };\n"
      // 1 for the first desktop; 0 when there is none.
      "    var desktopNumber = function (desktop) {\n"
      "        if (desktop === null || desktop === undefined)\n"
      "            return 0;\n"
      "        if (typeof desktop === \"number\")\n"
      "            return desktop;\n"
      "        if (typeof desktop.x11DesktopNumber === \"number\")\n"
      "            return desktop.x11DesktopNumber;\n"
      "        var all = workspace.desktops;\n"
      "        for (var i = 0; i < all.length; ++i) {\n"
      "            if (all[i] === desktop || (all[i].id && all[i].id === desktop.id))\n"
      "                return i + 1;\n"
      "        }\n"
      "        return 0;\n"
      "    };\n"
      "    var desktopOf = function (c) {\n"
      "        if (api !== 6)\n"
      "            return c.desktop;\n"
      "        var list = c.desktops || [];\n"
      "        return list.length > 0 ? desktopNumber(list[0]) : -1;\n"
      "    };\n"
      "    var setDesktop = function (c, number) {\n"
      "        if (api !== 6) {\n"
      "            c.desktop = number;\n"
      "            return;\n"
      "        }\n"
      "        var all = workspace.desktops;\n"
      "        for (var i = 0; i < all.length; ++i) {\n"
      "            if (desktopNumber(all[i]) === number) {\n"
      "                c.desktops = [all[i]];\n"
      "                return;\n"
      "            }\n"
      "        }\n"
      "    };\n"
      "    var activate = function (c) {\n"
      "        if (api === 6)\n"
      "            workspace.activeWindow = c;\n"
      "        else\n"
      "            workspace.activeClient = c;\n"
      "    };\n"
      // Only KWin 6 tells a script its outputs' names; 5.27's come from the support information.
      "    var identity = function (output, key) {\n"
      "        return api === 6 && output && output[key] ? String(output[key]) : \"\";\n"
      "    };\n"
      // Looks a window up by its internal id: the only id that holds for Wayland and X11 windows alike.
      "    var find = function (id) {\n"
      "        var all = windows();\n"
      "        for (var i = 0; i < all.length; ++i) {\n"
      "            if (String(all[i].internalId) === id)\n"
      "                return all[i];\n"
      "        }\n"
      "        return null;\n"
      "    };\n";

QString boolean(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

namespace KWinScripts {

QString literal(const QString &text)
{
    // JSON's string escapes are JavaScript's; U+2028/2029 are escaped by Qt as well.
    const QByteArray array = QJsonDocument(QJsonArray { text }).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString wrap(const QString &body, const KWinReplyTarget &target, const QString &token)
{
    return QStringLiteral("(function () {\n"
                          "var reply = function (value) {\n"
                          "    callDBus(%1, %2, %3, \"answer\", %4, JSON.stringify(value));\n"
                          "};\n"
                          "try {\n"
                          "    reply({ ok: true, result: (function () {\n%5\n    })() });\n"
                          "} catch (e) {\n"
                          "    reply({ ok: false, error: String(e) });\n"
                          "}\n"
                          "})();\n")
        .arg(literal(target.service), literal(target.path), literal(target.interface), literal(token), body);
}

QString listBody()
{
    return QString::fromLatin1(prelude)
        + QStringLiteral(
            "    var screens = outputs();\n"
            "    var out = { screens: [], windows: [], activeScreen: outputIndex(workspace.activeScreen, screens),\n"
            "                currentDesktop: desktopNumber(workspace.currentDesktop) };\n"
            "    for (var s = 0; s < screens.length; ++s) {\n"
            "        var a = workspace.clientArea(KWin.ScreenArea, screens[s], workspace.currentDesktop);\n"
            "        out.screens.push({ x: a.x, y: a.y, width: a.width, height: a.height,\n"
            "            name: identity(screens[s], \"name\"), manufacturer: identity(screens[s], \"manufacturer\"),\n"
            "            model: identity(screens[s], \"model\"), serialNumber: identity(screens[s], \"serialNumber\") "
            "});\n"
            "    }\n"
            "    var all = windows();\n"
            "    for (var i = 0; i < all.length; ++i) {\n"
            "        var c = all[i];\n"
            "        var g = c.frameGeometry;\n"
            "        out.windows.push({\n"
            "            internalId: String(c.internalId), pid: c.pid, caption: c.caption,\n"
            "            screen: api === 6 ? outputIndex(c.output, screens) : c.screen,\n"
            "            x: g.x, y: g.y, width: g.width, height: g.height,\n"
            "            fullScreen: c.fullScreen, minimized: c.minimized, active: c.active,\n"
            "            normalWindow: c.normalWindow, dialog: c.dialog, utility: c.utility,\n"
            "            specialWindow: c.specialWindow, skipTaskbar: c.skipTaskbar,\n"
            "            desktop: c.onAllDesktops ? -1 : desktopOf(c), onAllDesktops: c.onAllDesktops,\n"
            // Only X11 windows have an X window id (a frame id as well in some KWin 6 releases).
            "            x11: (typeof c.windowId === \"number\" && c.windowId > 0)\n"
            "                 || (typeof c.frameId === \"number\" && c.frameId > 0),\n"
            "            desktopFileName: c.desktopFileName || \"\", resourceClass: String(c.resourceClass || \"\"),\n"
            "            resourceName: String(c.resourceName || \"\")\n"
            "        });\n"
            "    }\n"
            "    return out;");
}

QString placeBody(const QString &internalId, const KWinPlacementGoal &goal)
{
    // Leave full screen and maximised first: KWin ignores a frame for a window in either state. The frame
    // then goes on before maximising, so that the window maximises on the monitor holding it and a later
    // restore comes back to exactly that frame.
    QString desktop;
    if (goal.desktop && *goal.desktop < 0)
        desktop = QStringLiteral("    c.onAllDesktops = true;\n");
    else if (goal.desktop)
        desktop = QStringLiteral("    if (c.onAllDesktops)\n"
                                 "        c.onAllDesktops = false;\n"
                                 "    setDesktop(c, %1);\n")
                      .arg(*goal.desktop);
    return QString::fromLatin1(prelude)
        + QStringLiteral("    var c = find(%1);\n"
                         "    if (!c)\n"
                         "        return { found: false };\n"
                         "    if (c.minimized && !%8)\n"
                         "        c.minimized = false;\n"
                         "    if (c.fullScreen)\n"
                         "        c.fullScreen = false;\n"
                         "    c.setMaximize(false, false);\n"
                         "%9"
                         "    c.frameGeometry = { x: %2, y: %3, width: %4, height: %5 };\n"
                         "    if (%6 || %7)\n"
                         "        c.setMaximize(%6, %7);\n"
                         "    if (%10)\n"
                         "        c.fullScreen = true;\n"
                         "    if (%8)\n"
                         "        c.minimized = true;\n"
                         "    return { found: true };")
              // One pass: text put in never has its own %N replaced.
              .arg(literal(internalId), QString::number(goal.frame.x()), QString::number(goal.frame.y()),
                  QString::number(goal.frame.width()), QString::number(goal.frame.height()),
                  boolean(goal.maximizeVertically), boolean(goal.maximizeHorizontally), boolean(goal.minimized),
                  desktop, boolean(goal.fullScreen));
}

QString activateBody(const QString &internalId)
{
    return QString::fromLatin1(prelude)
        + QStringLiteral("    var c = find(%1);\n"
                         "    if (!c)\n"
                         "        return { found: false };\n"
                         "    activate(c);\n"
                         "    return { found: true };")
              .arg(literal(internalId));
}

QString closeBody(const QStringList &internalIds)
{
    QStringList literals;
    for (const QString &id : internalIds)
        literals.append(literal(id));
    return QString::fromLatin1(prelude)
        + QStringLiteral("    var ids = [%1];\n"
                         "    var closed = 0;\n"
                         "    for (var i = 0; i < ids.length; ++i) {\n"
                         "        var c = find(ids[i]);\n"
                         "        if (c && c.closeable) {\n"
                         "            c.closeWindow();\n"
                         "            ++closed;\n"
                         "        }\n"
                         "    }\n"
                         "    return { closed: closed };")
              .arg(literals.join(QStringLiteral(", ")));
}

} // namespace KWinScripts
