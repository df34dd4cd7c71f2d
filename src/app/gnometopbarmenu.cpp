// Sending the tray menu's items to the GNOME Shell extension and acting on the one the user chooses.
#include "gnometopbarmenu.h"

#include "model/workspacestore.h"
#include "platform/gnome/gnomeshellclient.h"
#include "traymenu.h"
#include "views/theme/symboltable.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QUuid>

namespace {

const QString workspacePrefix = QStringLiteral("workspace:");

QString kindText(StatusMenuItem::Kind kind)
{
    switch (kind) {
    case StatusMenuItem::Kind::header:
        return QStringLiteral("header");
    case StatusMenuItem::Kind::separator:
        return QStringLiteral("separator");
    case StatusMenuItem::Kind::workspace:
        return QStringLiteral("workspace");
    case StatusMenuItem::Kind::emptyNote:
        return QStringLiteral("note");
    case StatusMenuItem::Kind::openMainWindow:
        return QStringLiteral("open");
    case StatusMenuItem::Kind::quit:
        return QStringLiteral("quit");
    }
    return QStringLiteral("note");
}

} // namespace

QByteArray gnomeTopBarMenuJson(const QList<StatusMenuItem> &items)
{
    QJsonArray list;
    for (const StatusMenuItem &item : items) {
        QJsonObject o { { QStringLiteral("kind"), kindText(item.kind) }, { QStringLiteral("title"), item.title },
            { QStringLiteral("enabled"), item.enabled } };
        if (item.kind == StatusMenuItem::Kind::workspace) {
            o[QStringLiteral("action")] = workspacePrefix + item.workspaceId.toString(QUuid::WithoutBraces);
            const QString glyph = SymbolTable::glyph(item.symbol);
            if (!glyph.isEmpty())
                o[QStringLiteral("glyph")] = glyph;
        } else if (item.kind == StatusMenuItem::Kind::openMainWindow || item.kind == StatusMenuItem::Kind::quit) {
            o[QStringLiteral("action")] = kindText(item.kind);
        }
        list.append(o);
    }
    return QJsonDocument(QJsonObject { { QStringLiteral("items"), list } }).toJson(QJsonDocument::Compact);
}

GnomeTopBarMenu::GnomeTopBarMenu(GnomeShellClient &client, TrayMenu &trayMenu, WorkspaceStore &store,
    std::function<int()> screenCount, QObject *parent)
    : QObject(parent)
    , m_client(client)
    , m_trayMenu(trayMenu)
    , m_store(store)
    , m_screenCount(std::move(screenCount))
{
    connect(&m_client, &GnomeShellClient::menuActivated, this, &GnomeTopBarMenu::activated);
    // The shell restarted or the extension came back: it has no menu of ours until it is sent again.
    connect(&m_client, &GnomeShellClient::availabilityChanged, this, &GnomeTopBarMenu::publishSoon);
    connect(&m_store, &WorkspaceStore::workspaceInserted, this, &GnomeTopBarMenu::publishSoon);
    connect(&m_store, &WorkspaceStore::workspaceRemoved, this, &GnomeTopBarMenu::publishSoon);
    connect(&m_store, &WorkspaceStore::saved, this, &GnomeTopBarMenu::publishSoon);
    connect(&m_store, &WorkspaceStore::countChanged, this, &GnomeTopBarMenu::publishSoon);
    publish();
}

GnomeTopBarMenu::~GnomeTopBarMenu()
{
    QString ignored;
    m_client.setMenu(QByteArrayLiteral("{\"items\":[]}"), &ignored);
}

void GnomeTopBarMenu::publishSoon()
{
    if (m_queued)
        return;
    m_queued = true;
    QTimer::singleShot(0, this, [this] {
        m_queued = false;
        publish();
    });
}

void GnomeTopBarMenu::publish()
{
    const int screens = m_screenCount ? m_screenCount() : 1;
    QString error;
    if (m_client.setMenu(gnomeTopBarMenuJson(statusMenuContent(m_store.fetchSummaries(), screens)), &error))
        ++m_published;
}

void GnomeTopBarMenu::activated(const QString &action)
{
    // Only what we sent: any other text (another program on the bus) is ignored.
    if (action.startsWith(workspacePrefix)) {
        const QUuid id = QUuid::fromString(action.mid(workspacePrefix.size()));
        if (!id.isNull())
            m_trayMenu.workspaceClicked(QVariant::fromValue(id));
    } else if (action == QLatin1String("open")) {
        m_trayMenu.openMainApp();
    } else if (action == QLatin1String("quit")) {
        m_trayMenu.quitApp();
    }
}
