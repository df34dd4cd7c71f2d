// How fast the quick launcher opens: starts `corvalint` once on a fresh store, then presses the hotkey again
// and again (xdotool) and measures from the press to the launcher window being viewable, then closes it with
// Escape. The target is 100 ms.
//
//   corvalint-bench-launcher CORVALINT [--runs N]     (DISPLAY: a test desktop)
// Prints "runs=… median_ms=… min_ms=… max_ms=…".
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

/// Whether a viewable client window named "Corvalint Launcher" is in the window manager's list.
bool launcherViewable(xcb_connection_t *c, xcb_window_t root, xcb_atom_t clientList, xcb_atom_t wmName, xcb_atom_t utf8)
{
    Reply<xcb_get_property_reply_t> list(
        xcb_get_property_reply(c, xcb_get_property(c, 0, root, clientList, XCB_ATOM_WINDOW, 0, 4096), nullptr),
        &std::free);
    if (!list)
        return false;
    const auto *windows = static_cast<const xcb_window_t *>(xcb_get_property_value(list.get()));
    const int count = xcb_get_property_value_length(list.get()) / 4;
    for (int i = 0; i < count; ++i) {
        Reply<xcb_get_property_reply_t> name(
            xcb_get_property_reply(c, xcb_get_property(c, 0, windows[i], wmName, utf8, 0, 64), nullptr), &std::free);
        if (!name)
            continue;
        const QByteArray text(
            static_cast<const char *>(xcb_get_property_value(name.get())), xcb_get_property_value_length(name.get()));
        if (text != "Corvalint Launcher")
            continue;
        Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, windows[i]), nullptr), &std::free);
        return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    }
    return false;
}

bool key(const QString &keys)
{
    return QProcess::execute(QStringLiteral("xdotool"), { QStringLiteral("key"), keys }) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QStringList arguments = application.arguments();
    QTextStream out(stdout);
    if (arguments.size() < 2) {
        out << "usage: corvalint-bench-launcher CORVALINT [--runs N]\n";
        return 2;
    }
    const int runs = arguments.contains(QStringLiteral("--runs"))
        ? arguments.value(arguments.indexOf(QStringLiteral("--runs")) + 1).toInt()
        : 20;

    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR" }) {
        const QString directory = home.filePath(QString::fromLatin1(name));
        QDir().mkpath(directory);
        QFile::setPermissions(directory, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        environment.insert(QString::fromLatin1(name), directory);
    }
    QProcess app;
    app.setProcessEnvironment(environment);
    app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    app.start(arguments[1], {});
    if (!app.waitForStarted(5000))
        return 1;

    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 1;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t clientList = atom(c, "_NET_CLIENT_LIST");
    const xcb_atom_t wmName = atom(c, "_NET_WM_NAME");
    const xcb_atom_t utf8 = atom(c, "UTF8_STRING");
    // The application needs a moment to register the hotkey and make the window.
    QThread::msleep(3000);

    QList<double> times;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        key(QStringLiteral("super+alt+d"));
        const QDeadlineTimer deadline(5000);
        while (!launcherViewable(c, root, clientList, wmName, utf8) && !deadline.hasExpired())
            QThread::usleep(500);
        if (deadline.hasExpired()) {
            out << "the launcher did not open within 5 s\n";
            break;
        }
        times.append(double(timer.nsecsElapsed()) / 1e6);
        key(QStringLiteral("Escape"));
        const QDeadlineTimer closed(5000);
        while (launcherViewable(c, root, clientList, wmName, utf8) && !closed.hasExpired())
            QThread::msleep(5);
        QThread::msleep(100);
    }
    xcb_disconnect(c);
    app.terminate();
    app.waitForFinished(5000);
    if (times.isEmpty())
        return 1;
    std::sort(times.begin(), times.end());
    out << "runs=" << times.size() << " median_ms=" << times[times.size() / 2] << " min_ms=" << times.front()
        << " max_ms=" << times.back() << '\n';
    return 0;
}
