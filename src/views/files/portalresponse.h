// The answer to one portal request: the Response signal of its request object.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

class PortalResponse : public QObject
{
    Q_OBJECT
public:
    /// The request object a call with `token` as its handle_token answers on.
    static QString requestPath(const QString &uniqueName, const QString &token);

    PortalResponse(QDBusConnection bus, const QString &requestPath, QObject *parent = nullptr);
    /// Listens on `requestPath` instead, when the portal named another one.
    void follow(const QString &requestPath);

signals:
    /// Once: the chosen URIs, or none when the user cancelled or the dialog failed.
    void answered(const QStringList &uris);

private slots:
    void onResponse(uint code, const QVariantMap &results);

private:
    bool listen(const QString &requestPath);
    void stopListening();

    QDBusConnection m_bus;
    QString m_path;
};
