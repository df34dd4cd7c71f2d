// The JavaScript that Corvalint hands KWin. Written for KWin 5.27's script API (workspace.clientList(),
// integer screens and desktops); every body returns its value so that wrap() can answer for it.
#include "kwinscripts.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

// Looks a window up by its internal id: the only id that holds for Wayland and X11 windows alike.
const char findWindow[] = "    var find = function (id) {\n"
                          "        var all = workspace.clientList();\n"
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
    return QStringLiteral(
        "    var out = { screens: [], windows: [], activeScreen: workspace.activeScreen,\n"
        "                currentDesktop: workspace.currentDesktop };\n"
        "    for (var s = 0; s < workspace.numScreens; ++s) {\n"
        "        var a = workspace.clientArea(KWin.ScreenArea, s, workspace.currentDesktop);\n"
        "        out.screens.push({ x: a.x, y: a.y, width: a.width, height: a.height });\n"
        "    }\n"
        "    var all = workspace.clientList();\n"
        "    for (var i = 0; i < all.length; ++i) {\n"
        "        var c = all[i];\n"
        "        var g = c.frameGeometry;\n"
        "        out.windows.push({\n"
        "            internalId: String(c.internalId), pid: c.pid, caption: c.caption, screen: c.screen,\n"
        "            x: g.x, y: g.y, width: g.width, height: g.height,\n"
        "            fullScreen: c.fullScreen, minimized: c.minimized, active: c.active,\n"
        "            normalWindow: c.normalWindow, dialog: c.dialog, utility: c.utility,\n"
        "            specialWindow: c.specialWindow, skipTaskbar: c.skipTaskbar,\n"
        "            desktop: c.desktop, onAllDesktops: c.onAllDesktops,\n"
        "            x11: typeof c.windowId === \"number\" && c.windowId > 0,\n"
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
        desktop = QStringLiteral("    c.desktop = %1;\n").arg(*goal.desktop);
    return QString::fromLatin1(findWindow)
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
    return QString::fromLatin1(findWindow)
        + QStringLiteral("    var c = find(%1);\n"
                         "    if (!c)\n"
                         "        return { found: false };\n"
                         "    workspace.activeClient = c;\n"
                         "    return { found: true };")
              .arg(literal(internalId));
}

QString closeBody(const QStringList &internalIds)
{
    QStringList literals;
    for (const QString &id : internalIds)
        literals.append(literal(id));
    return QString::fromLatin1(findWindow)
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
