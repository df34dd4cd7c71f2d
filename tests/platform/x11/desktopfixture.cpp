// What the X11 desktop tests share: the private XDG folders of the test desktop, test clients started and
// reaped, the client log, and an X connection of the test's own to sabotage windows with.
#include "desktopfixture.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <cstdlib>
#include <cstring>

void DesktopFixture::prepareEnvironment()
{
    const QString dir = stateDir();
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir + QStringLiteral("/data")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir + QStringLiteral("/config")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir + QStringLiteral("/runtime")));
    qputenv("CORVALINT_TEST_CLIENT_LOG", QFile::encodeName(logPath()));
    // Without a session bus address GIO would autolaunch one through dbus-launch for every launch, and
    // leave its zombie behind; an address that leads nowhere makes it go without.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        qputenv("DBUS_SESSION_BUS_ADDRESS",
            QFile::encodeName(QStringLiteral("unix:path=") + dir + QStringLiteral("/runtime/no-bus")));
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("DISPLAY", CORVALINT_TEST_DISPLAY);
}

QString DesktopFixture::stateDir()
{
    const QString dir = qEnvironmentVariable("CORVALINT_TEST_DESKTOP_DIR");
    return dir.isEmpty() ? QStringLiteral(CORVALINT_TEST_DESKTOP_DIR) : dir;
}

QString DesktopFixture::clientPath()
{
    return QStringLiteral(CORVALINT_TEST_CLIENT);
}

QString DesktopFixture::logPath()
{
    return stateDir() + QStringLiteral("/client.log");
}

bool DesktopFixture::desktopCommand(const QString &command)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(QStringLiteral(CORVALINT_TEST_DESKTOP_SCRIPT),
        { QStringLiteral("--display"), qEnvironmentVariable("DISPLAY"), QStringLiteral("--dir"), stateDir(),
            QStringLiteral("--client"), clientPath(), command });
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

DesktopFixture::DesktopFixture()
{
    m_connection = xcb_connect(nullptr, nullptr);
}

DesktopFixture::~DesktopFixture()
{
    stopClients();
    xcb_disconnect(m_connection);
}

QProcess *DesktopFixture::startClient(const QStringList &arguments)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(clientPath(), arguments);
    process->waitForStarted();
    m_clients.push_back(std::move(process));
    return m_clients.back().get();
}

void DesktopFixture::stopClients()
{
    for (auto &client : m_clients) {
        if (client->state() != QProcess::NotRunning) {
            client->kill();
            client->waitForFinished(5000);
        }
    }
    m_clients.clear();
}

QList<QJsonObject> DesktopFixture::clientLog() const
{
    QList<QJsonObject> lines;
    QFile file(logPath());
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (!line.trimmed().isEmpty())
            lines.append(QJsonDocument::fromJson(line).object());
    }
    return lines;
}

void DesktopFixture::clearClientLog() const
{
    QFile::remove(logPath());
}

xcb_window_t DesktopFixture::root() const
{
    return xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
}

void DesktopFixture::sync() const
{
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

xcb_atom_t DesktopFixture::atom(const char *name) const
{
    auto *reply = xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : XCB_NONE;
    std::free(reply);
    return result;
}

void DesktopFixture::setProperty(
    xcb_window_t window, const char *property, xcb_atom_t type, int format, const QByteArray &data) const
{
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom(property), type, uint8_t(format),
        uint32_t(data.size() / (format / 8)), data.constData());
    sync();
}

void DesktopFixture::destroyWindow(xcb_window_t window) const
{
    xcb_destroy_window(m_connection, window);
    sync();
}

void DesktopFixture::clearDesktop() const
{
    auto *reply = xcb_get_property_reply(m_connection,
        xcb_get_property(m_connection, 0, root(), atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 0, 1024), nullptr);
    if (reply) {
        const auto *windows = static_cast<const xcb_window_t *>(xcb_get_property_value(reply));
        for (int i = 0; i < xcb_get_property_value_length(reply) / 4; ++i)
            xcb_kill_client(m_connection, windows[i]);
        std::free(reply);
    }
    sync();
}

void DesktopFixture::sendToWindowManager(
    xcb_window_t window, const char *type, const std::array<uint32_t, 5> &data) const
{
    xcb_client_message_event_t message {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom(type);
    for (size_t i = 0; i < data.size(); ++i)
        message.data.data32[i] = data[i];
    xcb_send_event(m_connection, 0, root(), XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
        reinterpret_cast<const char *>(&message));
    sync();
}

namespace {

template <typename T>
std::vector<T> values(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, 64), nullptr), &std::free);
    if (!reply || reply->type != type || reply->format != 32)
        return {};
    const auto *data = static_cast<const T *>(xcb_get_property_value(reply.get()));
    return std::vector<T>(data, data + xcb_get_property_value_length(reply.get()) / 4);
}

} // namespace

xcb_window_t DesktopFixture::activeWindow() const
{
    const auto windows = values<xcb_window_t>(m_connection, root(), atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW);
    return windows.empty() ? XCB_NONE : windows.front();
}

std::vector<uint32_t> DesktopFixture::cardinals(xcb_window_t window, const char *property) const
{
    return values<uint32_t>(m_connection, window, atom(property), XCB_ATOM_CARDINAL);
}

std::vector<xcb_atom_t> DesktopFixture::atoms(xcb_window_t window, const char *property) const
{
    return values<xcb_atom_t>(m_connection, window, atom(property), XCB_ATOM_ATOM);
}
