// The state and actions of the workspace detail view: monitor check, launch, preview,
// refresh from the desktop, the edit sheet, and deleting entries or the workspace.
#pragma once

#include "model/workspace.h"
#include "model/workspaceactions.h"
#include "monitorstatus.h"
#include "navigationcontroller.h"
#include "overlay/previewoverlaymanager.h"
#include "viewservices.h"

#include <QColor>
#include <QCoro/QCoroTask>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QtQml/qqmlregistration.h>
#include <functional>

class DetailController : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(ViewServices *services READ services WRITE setServices NOTIFY servicesChanged)
    Q_PROPERTY(Workspace *workspace READ workspace WRITE setWorkspace NOTIFY workspaceChanged)
    Q_PROPERTY(NavigationController *navigation READ navigation WRITE setNavigation NOTIFY navigationChanged)
    Q_PROPERTY(PreviewOverlayManager *overlay READ overlay WRITE setOverlay NOTIFY overlayChanged)

    /// The screens connected now, followed while the view is open.
    Q_PROPERTY(int screenCount READ screenCount NOTIFY screensChanged)
    /// Each screen's monitor identifier in screen order; "" for a screen without one.
    Q_PROPERTY(QStringList screenMonitorIDs READ screenMonitorIDs NOTIFY screensChanged)
    Q_PROPERTY(QString monitorMessage READ monitorMessage NOTIFY monitorStatusChanged)
    Q_PROPERTY(bool monitorWarning READ monitorWarning NOTIFY monitorStatusChanged)

    /// "Development • 3 Elemente".
    Q_PROPERTY(QString summary READ summary NOTIFY summaryChanged)
    /// The symbol tile's gradient: the category's colours, `custom` for unknown texts.
    Q_PROPERTY(QColor gradientStart READ gradientStart NOTIFY summaryChanged)
    Q_PROPERTY(QColor gradientEnd READ gradientEnd NOTIFY summaryChanged)
    /// The entries ordered by the upper-case text of their ids.
    Q_PROPERTY(QList<WorkspaceEntry *> sortedEntries READ sortedEntries NOTIFY sortedEntriesChanged)

    Q_PROPERTY(bool showingEditSheet READ showingEditSheet WRITE setShowingEditSheet NOTIFY showingEditSheetChanged)
    Q_PROPERTY(QString editedName READ editedName WRITE setEditedName NOTIFY editedNameChanged)
    Q_PROPERTY(QString editedIcon READ editedIcon WRITE setEditedIcon NOTIFY editedIconChanged)
    /// The chosen category's text ("Development", ...).
    Q_PROPERTY(QString editedCategory READ editedCategory WRITE setEditedCategory NOTIFY editedCategoryChanged)
    Q_PROPERTY(bool canSave READ canSave NOTIFY editedNameChanged)
    Q_PROPERTY(QStringList icons READ icons CONSTANT)
    Q_PROPERTY(QStringList categories READ categories CONSTANT)
    /// Why the last update changed nothing (no window found, or none readable); empty otherwise.
    Q_PROPERTY(QString captureProblem READ captureProblem NOTIFY captureProblemChanged)
    /// While a launch runs: that it does; after one that could not do everything: what; else empty.
    Q_PROPERTY(QString launchMessage READ launchMessage NOTIFY launchStateChanged)
    Q_PROPERTY(bool launchTroubled READ launchTroubled NOTIFY launchStateChanged)

public:
    using Clock = std::function<QDateTime()>;

    explicit DetailController(QObject *parent = nullptr);

    /// `entries` ordered by the upper-case text of their ids, compared as plain strings.
    static QList<WorkspaceEntry *> sortedByIdText(QList<WorkspaceEntry *> entries);
    /// "<category> • <count> Elemente".
    static QString summaryText(const QString &category, int entryCount);

    ViewServices *services() const { return m_services; }
    void setServices(ViewServices *services);
    Workspace *workspace() const { return m_workspace; }
    void setWorkspace(Workspace *workspace);
    NavigationController *navigation() const { return m_navigation; }
    void setNavigation(NavigationController *navigation);
    PreviewOverlayManager *overlay() const { return m_overlay; }
    void setOverlay(PreviewOverlayManager *overlay);
    /// Where "now" comes from (the wall clock unless a test sets another).
    void setClock(Clock clock) { m_now = std::move(clock); }

    int screenCount() const { return int(m_screenMonitorIDs.size()); }
    QStringList screenMonitorIDs() const;
    MonitorConfigStatus monitorConfigStatus() const { return m_status; }
    QString monitorMessage() const { return m_status.message; }
    bool monitorWarning() const { return m_status.isWarning; }
    QString summary() const;
    QColor gradientStart() const;
    QColor gradientEnd() const;
    QList<WorkspaceEntry *> sortedEntries() const { return m_sortedEntries; }

    bool showingEditSheet() const { return m_showingEditSheet; }
    void setShowingEditSheet(bool showing);
    QString editedName() const { return m_editedName; }
    void setEditedName(const QString &name);
    QString editedIcon() const { return m_editedIcon; }
    void setEditedIcon(const QString &icon);
    QString editedCategory() const { return m_editedCategory; }
    void setEditedCategory(const QString &category);
    bool canSave() const;
    static QStringList icons();
    static QStringList categories();

    /// Counts the launch (one more start, now as last start, 20 s per entry),
    /// saves, then launches the entries in stored order with the workspace's
    /// document option and its focus mode. Returns at once.
    Q_INVOKABLE void launch();
    /// Opens the preview overlay with the entries in stored order.
    Q_INVOKABLE void showPreview();
    /// Captures the desktop, merges the capture into the entries, stamps
    /// `modifiedAt` and saves. Blocks until the capture returns.
    Q_INVOKABLE void updateFromDesktop();
    /// Deletes one entry and saves; no confirmation, but "Rückgängig" puts it back.
    Q_INVOKABLE void deleteEntry(WorkspaceEntry *entry);

    /// Copies name, symbol and category (`development` when the stored text
    /// names none) into the sheet and shows it.
    Q_INVOKABLE void beginEdit();
    /// Hides the sheet; nothing is written.
    Q_INVOKABLE void cancelEdit();
    /// Writes the name as typed, the category text and the symbol, stamps
    /// `modifiedAt`, saves and hides the sheet. Nothing while the name is blank.
    Q_INVOKABLE void saveEdit();
    /// Goes back to the dashboard, deletes the workspace with its entries,
    /// saves and hides the sheet; no confirmation, but "Rückgängig" brings it back.
    Q_INVOKABLE void deleteWorkspace();

signals:
    void servicesChanged();
    void workspaceChanged();
    void navigationChanged();
    void overlayChanged();
    void screensChanged();
    void monitorStatusChanged();
    void summaryChanged();
    void sortedEntriesChanged();
    void showingEditSheetChanged();
    void editedNameChanged();
    void editedIconChanged();
    void editedCategoryChanged();
    void captureProblemChanged();
    void launchStateChanged();

private:
    QCoro::Task<> captureAndMerge();
    void setCaptureProblem(const QString &problem);
    void readScreens();
    void refreshStatus();
    void refreshEntries();
    void save();
    WorkspaceActions actions() const;

    QPointer<ViewServices> m_services;
    QPointer<Workspace> m_workspace;
    QPointer<NavigationController> m_navigation;
    QPointer<PreviewOverlayManager> m_overlay;
    Clock m_now = [] { return QDateTime::currentDateTime(); };
    QMetaObject::Connection m_screensConnection;

    QList<std::optional<QString>> m_screenMonitorIDs;
    MonitorConfigStatus m_status;
    QList<WorkspaceEntry *> m_sortedEntries;

    bool m_showingEditSheet = false;
    QString m_editedName;
    QString m_editedIcon;
    QString m_editedCategory;
    QString m_captureProblem;

    QMetaObject::Connection m_launchingConnection;
    QMetaObject::Connection m_problemsConnection;

public:
    QString captureProblem() const { return m_captureProblem; }
    QString launchMessage() const;
    bool launchTroubled() const;
};
