// The quick launcher's state: the search text, the workspaces that match it, the chosen one, and its launch.
#pragma once

#include "viewservices.h"

#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

class Workspace;

class LauncherController : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(ViewServices *services READ services WRITE setServices NOTIFY servicesChanged)
    /// What the user typed; the list shows the workspaces whose name or category contains it.
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)
    /// One map per matching workspace: id, name, category, icon, entryCount.
    Q_PROPERTY(QVariantList results READ results NOTIFY resultsChanged)
    /// The row Return launches; -1 when nothing matches.
    Q_PROPERTY(int currentIndex READ currentIndex WRITE setCurrentIndex NOTIFY currentIndexChanged)

public:
    explicit LauncherController(QObject *parent = nullptr);

    ViewServices *services() const { return m_services; }
    void setServices(ViewServices *services);
    QString query() const { return m_query; }
    void setQuery(const QString &query);
    QVariantList results() const { return m_results; }
    int currentIndex() const { return m_currentIndex; }
    void setCurrentIndex(int index);

    /// Whether `workspace` matches `query`: its name or category contains it, ignoring case and
    /// surrounding spaces; everything matches an empty query.
    static bool matches(const Workspace &workspace, const QString &query);

    /// Starts afresh: empty search, every workspace (favourites first, then by name), the first chosen.
    Q_INVOKABLE void reset();
    /// Arrow keys: moves the choice by `delta` rows, stopping at the ends.
    Q_INVOKABLE void moveSelection(int delta);
    /// Return: launches the chosen workspace as a card does (counted, without focus mode) and asks to
    /// close; false when nothing is chosen.
    Q_INVOKABLE bool launchCurrent();

signals:
    void servicesChanged();
    void queryChanged();
    void resultsChanged();
    void currentIndexChanged();
    /// The launcher should close (after a launch).
    void closeRequested();

private:
    void refresh();

    QPointer<ViewServices> m_services;
    QString m_query;
    QVariantList m_results;
    int m_currentIndex = -1;
};
