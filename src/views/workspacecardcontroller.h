// The actions of one dashboard card: favourite toggle, counted start without
// focus mode, and deletion, each followed by a save.
#pragma once

#include "model/workspace.h"
#include "viewservices.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

class WorkspaceCardController : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(ViewServices *services READ services WRITE setServices NOTIFY servicesChanged)
    Q_PROPERTY(Workspace *workspace READ workspace WRITE setWorkspace NOTIFY workspaceChanged)
    /// "3 Apps & Elemente".
    Q_PROPERTY(QString entriesText READ entriesText NOTIFY entriesTextChanged)
    /// The icon tile's gradient: the category's colours, `custom` for unknown texts.
    Q_PROPERTY(QColor gradientStart READ gradientStart NOTIFY categoryChanged)
    Q_PROPERTY(QColor gradientEnd READ gradientEnd NOTIFY categoryChanged)
    /// This card's workspace is being launched now (from this card or its detail view).
    Q_PROPERTY(bool launching READ launching NOTIFY launchStateChanged)
    /// After its last launch could not do everything: "2 Elemente nicht geöffnet"; else empty.
    Q_PROPERTY(QString launchProblemText READ launchProblemText NOTIFY launchStateChanged)
    /// Those problems, one per line, for the tooltip.
    Q_PROPERTY(QString launchProblemDetails READ launchProblemDetails NOTIFY launchStateChanged)

public:
    explicit WorkspaceCardController(QObject *parent = nullptr);

    static QString entriesText(int entryCount);

    ViewServices *services() const { return m_services; }
    void setServices(ViewServices *services);
    Workspace *workspace() const { return m_workspace; }
    void setWorkspace(Workspace *workspace);
    QString entriesText() const;
    QColor gradientStart() const;
    QColor gradientEnd() const;
    bool launching() const;
    QString launchProblemText() const;
    QString launchProblemDetails() const;
    static QString launchProblemText(qsizetype problems);

    /// Flips the favourite mark and saves; `modifiedAt` stays.
    Q_INVOKABLE void toggleFavorite();
    /// Counts the launch (one more start, now as last start, 20 s per entry),
    /// saves, then launches the entries with the workspace's document option and
    /// never in focus mode. Returns at once; the launch goes on by itself.
    Q_INVOKABLE void start();
    /// Deletes the workspace with its entries and saves; no confirmation, but "Rückgängig" brings it back.
    Q_INVOKABLE void remove();

signals:
    void servicesChanged();
    void workspaceChanged();
    void entriesTextChanged();
    void categoryChanged();
    void launchStateChanged();

private:
    void save();

    bool isLastLaunched() const;

    QPointer<ViewServices> m_services;
    QList<QMetaObject::Connection> m_launchConnections;
    QPointer<Workspace> m_workspace;
};
