// The tray icon, its menu rebuilt on every opening, and the menu's actions.
#include "traymenu.h"

#include "model/workspacestore.h"
#include "symbolglyphicon.h"
#include "trayiconchoice.h"
#include "traymenucontent.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QPalette>
#include <QSystemTrayIcon>
#include <QTextStream>

TrayMenu::TrayMenu(WorkspaceStore &modelContainer, Actions actions, QObject *parent)
    : QObject(parent)
    , m_modelContainer(modelContainer)
    , m_actions(std::move(actions))
    , m_menu(std::make_unique<QMenu>())
{
    connect(m_menu.get(), &QMenu::aboutToShow, this, &TrayMenu::rebuildMenu);
    // Where the tray draws the menu itself, hovering an item says what it does.
    m_menu->setToolTipsVisible(true);
    rebuildMenu();
}

TrayMenu::~TrayMenu()
{
    // The tray icon refers to the menu: it goes first.
    m_statusItem.reset();
}

void TrayMenu::setupStatusItem()
{
    // One menu, one place: an AppIndicator extension would otherwise show it a second time beside ours.
    if (m_statusItem || (m_actions.menuShownElsewhere && m_actions.menuShownElsewhere()))
        return;
    m_statusItem = std::make_unique<QSystemTrayIcon>(TrayIconChoice::icon(
        TrayIconChoice::panelDrawsIcons(), m_actions.trayForegroundRgb ? m_actions.trayForegroundRgb() : std::nullopt));
    m_statusItem->setToolTip(QStringLiteral("Corvalint"));
    m_statusItem->setContextMenu(m_menu.get());
    connect(m_statusItem.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        // A left click opens the same menu as a right click.
        if (reason == QSystemTrayIcon::Trigger)
            popUpMenu();
    });
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        QTextStream(stderr) << "corvalint: no system tray is running; the main window is the way in "
                               "(the tray icon appears once a tray starts)\n";
    }
    m_statusItem->show();
}

void TrayMenu::rebuildMenu()
{
    m_menu->clear();
    const int screens = m_actions.screenCount ? m_actions.screenCount() : 1;
    const QList<StatusMenuItem> items = statusMenuContent(m_modelContainer.fetchSummaries(), screens);
    const QColor glyphColor = m_menu->palette().color(QPalette::WindowText);
    for (const StatusMenuItem &item : items) {
        using Kind = StatusMenuItem::Kind;
        if (item.kind == Kind::separator) {
            m_menu->addSeparator();
            continue;
        }
        QAction *action = m_menu->addAction(item.title);
        action->setEnabled(item.enabled);
        action->setShortcut(item.shortcut);
        switch (item.kind) {
        case Kind::workspace: {
            action->setData(item.workspaceId);
            action->setToolTip(QStringLiteral("„%1“ starten und die Fenster anordnen").arg(item.title));
            action->setIcon(SymbolGlyphIcon::icon(item.symbol, glyphColor));
            connect(action, &QAction::triggered, this, [this, action] { workspaceClicked(action->data()); });
            break;
        }
        case Kind::openMainWindow:
            action->setToolTip(QStringLiteral("Das Hauptfenster von Corvalint öffnen"));
            connect(action, &QAction::triggered, this, &TrayMenu::openMainApp);
            break;
        case Kind::quit:
            action->setToolTip(QStringLiteral("Corvalint beenden; geöffnete Workspaces bleiben offen"));
            connect(action, &QAction::triggered, this, &TrayMenu::quitApp);
            break;
        default:
            break;
        }
    }
}

void TrayMenu::workspaceClicked(const QVariant &representedObject)
{
    if (representedObject.typeId() != QMetaType::QUuid)
        return;
    const QUuid id = representedObject.toUuid();
    const auto workspaces = m_modelContainer.fetchAll(false);
    if (!workspaces)
        return;
    const auto match
        = std::find_if(workspaces->begin(), workspaces->end(), [&id](const WorkspaceData &w) { return w.id == id; });
    if (match == workspaces->end() || !m_actions.launch)
        return;
    m_actions.launch(match->entries, match->restoreDocuments, match->autoLaunch);
}

void TrayMenu::openMainApp()
{
    if (m_actions.openMainWindow)
        m_actions.openMainWindow();
}

void TrayMenu::quitApp()
{
    if (m_actions.quit)
        m_actions.quit();
}

void TrayMenu::popUpMenu()
{
    m_menu->popup(QCursor::pos());
}
