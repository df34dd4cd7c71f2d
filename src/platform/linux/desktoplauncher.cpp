// Starts a desktop entry through GIO: Exec parsed by the Desktop Entry rules, no shell, its own session.
// Built without Qt's keywords: GIO names a struct member "signals".
#include "desktoplauncher.h"

#include <QByteArrayList>
#include <fcntl.h>
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <memory>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};

struct GListOfStrings {
    void operator()(GList *list) const { g_list_free_full(list, g_free); }
};

// One descriptor on /dev/null, for one standard stream of a started program. A program we start must not
// hold our standard streams: with `out=$(corvalint launch W)` or `corvalint launch W | cat` the caller
// would wait for the pipe to close until every launched application has quit.
class NullDevice
{
public:
    explicit NullDevice(int flags)
        : m_fd(::open("/dev/null", flags | O_CLOEXEC))
    {
        // Were one of our own standard streams closed, open() would reuse its number: GLib's dup2 onto that
        // same number keeps the close-on-exec flag, and one onto another standard number may overwrite a
        // descriptor still to be moved. Above 2 every stream lands where it should.
        if (m_fd >= 0 && m_fd <= STDERR_FILENO) {
            const int moved = ::fcntl(m_fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
            ::close(m_fd);
            m_fd = moved;
        }
    }
    ~NullDevice()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    NullDevice(const NullDevice &) = delete;
    NullDevice &operator=(const NullDevice &) = delete;

    int fd() const { return m_fd; }

private:
    int m_fd;
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

DesktopLauncher::DesktopLauncher(QString display)
    : m_display(std::move(display))
{
}

std::optional<DesktopLauncher::Started> DesktopLauncher::launch(
    const QString &desktopFilePath, const QStringList &uris) const
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

    // Each stream its own descriptor: GLib then never has to tell apart one descriptor given twice.
    const NullDevice input(O_RDONLY);
    const NullDevice output(O_WRONLY);
    const NullDevice errors(O_WRONLY);
    if (input.fd() < 0 || output.fd() < 0 || errors.fd() < 0)
        return std::nullopt;

    GPid pid = 0;
    GError *error = nullptr;
    const gboolean started = g_desktop_app_info_launch_uris_as_manager_with_fds(info.get(), list.get(), context.get(),
        GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD), &detachChild, nullptr, &rememberPid, &pid,
        input.fd(), output.fd(), errors.fd(), &error);
    if (error)
        g_error_free(error);
    if (!started)
        return std::nullopt;
    // Activated over D-Bus: no process of ours, so nothing to reap either.
    if (pid <= 0)
        return Started {};
    g_child_watch_add(pid, &reapChild, nullptr);
    return Started { qint64(pid) };
}

std::optional<QStringList> DesktopLauncher::command(const QString &desktopFilePath)
{
    std::unique_ptr<GDesktopAppInfo, GObjectUnref> info(
        g_desktop_app_info_new_from_filename(desktopFilePath.toLocal8Bit().constData()));
    if (!info || g_desktop_app_info_get_is_hidden(info.get()))
        return std::nullopt;
    std::unique_ptr<char, decltype(&g_free)> exec(g_desktop_app_info_get_string(info.get(), "Exec"), &g_free);
    if (!exec)
        return std::nullopt;
    int count = 0;
    char **words = nullptr;
    GError *error = nullptr;
    if (!g_shell_parse_argv(exec.get(), &count, &words, &error)) {
        if (error)
            g_error_free(error);
        return std::nullopt;
    }
    std::unique_ptr<char *, decltype(&g_strfreev)> owned(words, &g_strfreev);
    QStringList command;
    for (int i = 0; i < count; ++i) {
        QString word = QString::fromLocal8Bit(words[i]);
        // Field codes stand for what the entry would be given; here the caller adds its own arguments.
        if (word.size() == 2 && word.startsWith(QLatin1Char('%')) && word != QLatin1String("%%"))
            continue;
        word.replace(QLatin1String("%%"), QLatin1String("%"));
        command.append(word);
    }
    if (command.isEmpty())
        return std::nullopt;
    return command;
}

std::optional<DesktopLauncher::Started> DesktopLauncher::run(
    const QStringList &command, const QStringList &arguments) const
{
    if (command.isEmpty())
        return std::nullopt;
    QByteArrayList words;
    for (const QString &word : command + arguments)
        words.append(word.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    std::unique_ptr<char *, decltype(&g_strfreev)> environment(g_get_environ(), &g_strfreev);
    if (!m_display.isEmpty())
        environment.reset(
            g_environ_setenv(environment.release(), "DISPLAY", m_display.toLocal8Bit().constData(), TRUE));

    const NullDevice input(O_RDONLY);
    const NullDevice output(O_WRONLY);
    const NullDevice errors(O_WRONLY);
    if (input.fd() < 0 || output.fd() < 0 || errors.fd() < 0)
        return std::nullopt;
    GPid pid = 0;
    GError *error = nullptr;
    const gboolean started = g_spawn_async_with_fds(nullptr, argv.data(), environment.get(),
        GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD), &detachChild, nullptr, &pid, input.fd(),
        output.fd(), errors.fd(), &error);
    if (error)
        g_error_free(error);
    if (!started || pid <= 0)
        return std::nullopt;
    g_child_watch_add(pid, &reapChild, nullptr);
    return Started { qint64(pid) };
}
