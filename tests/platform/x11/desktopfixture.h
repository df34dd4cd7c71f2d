// What the X11 desktop tests share: the private XDG folders of the test desktop, test clients started and
// reaped, the client log, and an X connection of the test's own to sabotage windows with.
#pragma once

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

class DesktopFixture
{
public:
    /// Points XDG_DATA_HOME and friends at the test desktop's folders; call before anything reads them.
    static void prepareEnvironment();
    static QString stateDir();
    static QString clientPath();
    static QString logPath();
    /// Runs scripts/test-desktop with the test display and folder; true when it succeeded.
    static bool desktopCommand(const QString &command);

    DesktopFixture();
    ~DesktopFixture();

    /// Starts a test client with these arguments; the process is killed and reaped with the fixture.
    QProcess *startClient(const QStringList &arguments);
    /// Kills every client started so far and waits for them.
    void stopClients();
    /// Disconnects every client that still has a window on the desktop (left over from an aborted run).
    void clearDesktop() const;
    /// The client log's lines, parsed.
    QList<QJsonObject> clientLog() const;
    void clearClientLog() const;

    xcb_connection_t *x() const { return m_connection; }
    xcb_window_t root() const;
    /// A round trip: everything sent before has been processed by the server.
    void sync() const;
    xcb_atom_t atom(const char *name) const;
    /// Replaces a property with raw data of any format (malformed values for the tests).
    void setProperty(
        xcb_window_t window, const char *property, xcb_atom_t type, int format, const QByteArray &data) const;
    void destroyWindow(xcb_window_t window) const;
    /// A client message about `window` to the window manager (EWMH: to the root window), then a round trip.
    void sendToWindowManager(xcb_window_t window, const char *type, const std::array<uint32_t, 5> &data) const;
    /// `_NET_ACTIVE_WINDOW` of the root window.
    xcb_window_t activeWindow() const;
    /// The CARDINAL values of a property (empty when missing or of another type).
    std::vector<uint32_t> cardinals(xcb_window_t window, const char *property) const;
    /// The ATOM values of a property.
    std::vector<xcb_atom_t> atoms(xcb_window_t window, const char *property) const;

private:
    xcb_connection_t *m_connection = nullptr;
    std::vector<std::unique_ptr<QProcess>> m_clients;
};
