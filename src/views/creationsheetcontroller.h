// The state and the create action of the dashboard's sheet that captures the
// current desktop into a new workspace.
#pragma once

#include "model/workspace.h"
#include "viewservices.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

class CreationSheetController : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(ViewServices *services READ services WRITE setServices NOTIFY servicesChanged)
    Q_PROPERTY(bool showing READ showing WRITE setShowing NOTIFY showingChanged)
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY nameChanged)
    Q_PROPERTY(QString icon READ icon WRITE setIcon NOTIFY iconChanged)
    /// The chosen category's text ("Development", ...).
    Q_PROPERTY(QString category READ category WRITE setCategory NOTIFY categoryChanged)
    Q_PROPERTY(bool canCreate READ canCreate NOTIFY nameChanged)
    Q_PROPERTY(QStringList icons READ icons CONSTANT)
    Q_PROPERTY(QStringList categories READ categories CONSTANT)
    /// Why the last attempt saved nothing (no window found, or none readable); empty otherwise.
    Q_PROPERTY(QString captureProblem READ captureProblem NOTIFY captureProblemChanged)

public:
    explicit CreationSheetController(QObject *parent = nullptr);

    /// The name with spaces and tabs (not line breaks) removed from both ends.
    static QString trimSpacesAndTabs(const QString &text);
    /// The symbols the sheet offers, in order.
    static QStringList icons();
    static QStringList categories();

    ViewServices *services() const { return m_services; }
    void setServices(ViewServices *services);
    bool showing() const { return m_showing; }
    void setShowing(bool showing);
    QString name() const { return m_name; }
    void setName(const QString &name);
    QString icon() const { return m_icon; }
    void setIcon(const QString &icon);
    QString category() const { return m_category; }
    void setCategory(const QString &category);
    bool canCreate() const;
    QString captureProblem() const { return m_captureProblem; }

    /// Opens the sheet with an empty name; symbol and category stay as last chosen.
    Q_INVOKABLE void open();
    Q_INVOKABLE void cancel();
    /// Captures the desktop and saves it as a new workspace under the name as
    /// typed, then closes the sheet. Does nothing while the name is blank or
    /// a capture runs. The capture reads the desktop on a thread of its own
    /// where it can: then `created` follows later and this returns null;
    /// where it finishes at once, this returns the new workspace (owned by
    /// the store).
    Q_INVOKABLE Workspace *create();

signals:
    void servicesChanged();
    void showingChanged();
    void nameChanged();
    void iconChanged();
    void categoryChanged();
    void captureProblemChanged();
    /// A workspace was created and saved.
    void created(Workspace *workspace);

private:
    QCoro::Task<> captureAndCreate(QString name, QString icon, QString category);
    void setCaptureProblem(const QString &problem);

    QPointer<ViewServices> m_services;
    bool m_showing = false;
    bool m_capturing = false;
    Workspace *m_lastCreated = nullptr;
    QString m_name;
    QString m_icon = QStringLiteral("briefcase.fill");
    QString m_category;
    QString m_captureProblem;
};
