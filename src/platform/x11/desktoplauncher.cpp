// Starts a desktop entry through GIO: Exec parsed by the Desktop Entry rules, no shell, its own session.
// GIO before anything of Qt: Qt's "signals" keyword would break its headers.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "desktoplauncher.h"

#include <memory>
#include <unistd.h>
#include <utility>

namespace {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};

struct GListOfStrings {
    void operator()(GList *list) const { g_list_free_full(list, g_free); }
};

// Runs in the child between fork and exec: only async-signal-safe calls. A session of its own keeps the
// application alive when Corvalint's terminal or session goes away.
void detachChild(gpointer)
{
    setsid();
}

void rememberPid(GDesktopAppInfo *, GPid pid, gpointer data)
{
    *static_cast<GPid *>(data) = pid;
}

// The child is ours until it exits: reap it so that it never lingers as a zombie.
void reapChild(GPid pid, gint, gpointer)
{
    g_spawn_close_pid(pid);
}

} // namespace

DesktopLauncher::DesktopLauncher(QString display) : m_display(std::move(display)) {}

std::optional<qint64> DesktopLauncher::launch(const QString &desktopFilePath, const QStringList &uris) const
{
    std::unique_ptr<GDesktopAppInfo, GObjectUnref> info(
        g_desktop_app_info_new_from_filename(desktopFilePath.toLocal8Bit().constData()));
    if (!info || g_desktop_app_info_get_is_hidden(info.get()))
        return std::nullopt;
    std::unique_ptr<GAppLaunchContext, GObjectUnref> context(g_app_launch_context_new());
    if (!m_display.isEmpty())
        g_app_launch_context_setenv(context.get(), "DISPLAY", m_display.toLocal8Bit().constData());

    std::unique_ptr<GList, GListOfStrings> list;
    GList *raw = nullptr;
    for (auto it = uris.crbegin(); it != uris.crend(); ++it)
        raw = g_list_prepend(raw, g_strdup(it->toUtf8().constData()));
    list.reset(raw);

    GPid pid = 0;
    GError *error = nullptr;
    const gboolean started = g_desktop_app_info_launch_uris_as_manager(
        info.get(), list.get(), context.get(), GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD),
        &detachChild, nullptr, &rememberPid, &pid, &error);
    if (error)
        g_error_free(error);
    if (!started || pid <= 0)
        return std::nullopt;
    g_child_watch_add(pid, &reapChild, nullptr);
    return qint64(pid);
}
