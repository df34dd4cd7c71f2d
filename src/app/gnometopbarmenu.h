// The tray menu's content as the top-bar button of Corvalint's GNOME Shell extension: stock GNOME shows no tray
// icons, so where the extension runs the same items go there instead (and the tray icon is left out).
#pragma once

#include "traymenucontent.h"

#include <QByteArray>
#include <QObject>
#include <functional>

class GnomeShellClient;
class TrayMenu;
class WorkspaceStore;

/// The items as the extension's SetMenu takes them: {"items": [{kind, title, enabled, action, glyph}]}.
QByteArray gnomeTopBarMenuJson(const QList<StatusMenuItem> &items);

class GnomeTopBarMenu : public QObject
{
    Q_OBJECT

public:
    /// Sends the menu now and whenever the store or the monitors change; the chosen items reach `trayMenu`
    /// (a workspace launched, the main window, quitting). Both must outlive this object.
    GnomeTopBarMenu(GnomeShellClient &client, TrayMenu &trayMenu, WorkspaceStore &store,
        std::function<int()> screenCount, QObject *parent = nullptr);
    /// Takes the button away again.
    ~GnomeTopBarMenu() override;

    /// Builds the items from a fresh read of the store and sends them (soon, once for many changes).
    void publishSoon();
    void publish();
    /// Times the menu was sent (a diagnostic for tests).
    int published() const { return m_published; }

private:
    void activated(const QString &action);

    GnomeShellClient &m_client;
    TrayMenu &m_trayMenu;
    WorkspaceStore &m_store;
    std::function<int()> m_screenCount;
    bool m_queued = false;
    int m_published = 0;
};
