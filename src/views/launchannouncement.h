// What a screen reader says about the launch of a workspace, wherever it was
// started from: that it runs, that it is done, or what could not be opened.
// The dashboard shows no progress of its own, so its starts would pass in
// silence without this.
#pragma once

#include "viewservices.h"

#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

class LaunchAnnouncement : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(ViewServices *services READ services WRITE setServices NOTIFY servicesChanged)
    /// "Workspace wird gestartet …", then "Workspace gestartet" or what could
    /// not be opened; empty before the first launch.
    Q_PROPERTY(QString text READ text NOTIFY textChanged)

public:
    explicit LaunchAnnouncement(QObject *parent = nullptr);

    ViewServices *services() const { return m_services; }
    void setServices(ViewServices *services);
    QString text() const { return m_text; }

signals:
    void servicesChanged();
    void textChanged();

private:
    void follow();
    void setText(const QString &text);

    QPointer<ViewServices> m_services;
    QList<QMetaObject::Connection> m_connections;
    bool m_seenLaunch = false;
    QString m_text;
};
