// "Beim Anmelden starten": the settings page's switch over the XDG autostart entry.
#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

class LoginStartSetting : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    /// Whether the autostart entry is there; writing it writes or removes the entry.
    Q_PROPERTY(bool enabled READ enabled WRITE setEnabled NOTIFY enabledChanged)
    /// Why the entry could not be written or removed; empty when all went well.
    Q_PROPERTY(QString problem READ problem NOTIFY problemChanged)

public:
    explicit LoginStartSetting(QObject *parent = nullptr);

    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    QString problem() const { return m_problem; }
    /// The program the entry starts: this one, by its absolute path.
    static QString program();

signals:
    void enabledChanged();
    void problemChanged();

private:
    void setProblem(const QString &problem);

    bool m_enabled = false;
    QString m_problem;
};
