// Corvalint's item in the system tray and its menu: every saved workspace
// (launched with a click, not counted), "Corvalint öffnen" and "Beenden".
#pragma once

#include "model/entrydata.h"

#include <QList>
#include <QObject>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QSystemTrayIcon;
class WorkspaceStore;

class TrayMenu : public QObject
{
    Q_OBJECT

public:
    /// What the menu's actions reach outside the store.
    struct Actions {
        /// Starts a launch and returns at once: entries, restoreDocuments, focusMode.
        std::function<void(const QList<EntryData> &, bool, bool)> launch;
        /// The number of screens connected now.
        std::function<int()> screenCount;
        /// Brings the main window back (the reopen rules).
        std::function<void()> openMainWindow;
        /// Ends the application.
        std::function<void()> quit;
        /// Whether the menu shows elsewhere (the top bar of GNOME Shell): then there is no tray icon.
        std::function<bool()> menuShownElsewhere;
        /// The colour an X11 tray asks its icons to be drawn in (0xRRGGBB), if it says.
        std::function<std::optional<quint32>()> trayForegroundRgb;
    };

    /// `modelContainer` is only read, through fresh read contexts; it must outlive the tray menu.
    TrayMenu(WorkspaceStore &modelContainer, Actions actions, QObject *parent = nullptr);
    ~TrayMenu() override;

    /// Creates the tray icon with the "briefcase.fill" symbol and shows it.
    /// Without a tray host says so once on standard error; Qt embeds the icon
    /// when a tray host starts later.
    void setupStatusItem();
    /// The tray icon; nullptr before setupStatusItem.
    QSystemTrayIcon *statusItem() const { return m_statusItem.get(); }
    /// The menu; rebuilt from the store each time it is about to show.
    QMenu *menu() const { return m_menu.get(); }

    /// Builds the menu afresh: header, the workspaces newest first (or the
    /// empty-list note), "Corvalint öffnen", "Beenden".
    void rebuildMenu();

    /// The action of a workspace item: looks the id up in a fresh read and
    /// launches that workspace with its own restoreDocuments and with autoLaunch
    /// as focus mode, without counting. Anything that is not the id of a
    /// workspace in the store now is ignored.
    void workspaceClicked(const QVariant &representedObject);
    void openMainApp();
    void quitApp();

private:
    void popUpMenu();

    WorkspaceStore &m_modelContainer;
    Actions m_actions;
    std::unique_ptr<QMenu> m_menu;
    std::unique_ptr<QSystemTrayIcon> m_statusItem;
};
