// The observable record of one workspace entry (an application window, a
// website, a file or a folder) as views and the store see it.
#pragma once

#include "entrydata.h"

#include <QObject>
#include <QPointer>
#include <QVariant>

class Workspace;

class WorkspaceEntry : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QUuid id READ id WRITE setId NOTIFY idChanged)
    Q_PROPERTY(QString idText READ idText NOTIFY idChanged)
    Q_PROPERTY(QString typeRawValue READ typeRawValue WRITE setTypeRawValue NOTIFY typeRawValueChanged)
    Q_PROPERTY(QString typeText READ typeText NOTIFY typeRawValueChanged)
    // Optional fields read as an invalid QVariant (null in QML) while absent.
    Q_PROPERTY(QVariant appBundleIdentifier READ appBundleIdentifierValue WRITE setAppBundleIdentifierValue NOTIFY
            appBundleIdentifierChanged)
    Q_PROPERTY(QVariant filePath READ filePathValue WRITE setFilePathValue NOTIFY filePathChanged)
    Q_PROPERTY(QVariant websiteURL READ websiteURLValue WRITE setWebsiteURLValue NOTIFY websiteURLChanged)
    Q_PROPERTY(QVariant monitorID READ monitorIDValue WRITE setMonitorIDValue NOTIFY monitorIDChanged)
    Q_PROPERTY(double frameX READ frameX WRITE setFrameX NOTIFY frameXChanged)
    Q_PROPERTY(double frameY READ frameY WRITE setFrameY NOTIFY frameYChanged)
    Q_PROPERTY(double width READ width WRITE setWidth NOTIFY widthChanged)
    Q_PROPERTY(double height READ height WRITE setHeight NOTIFY heightChanged)
    Q_PROPERTY(bool isFullscreen READ isFullscreen WRITE setIsFullscreen NOTIFY isFullscreenChanged)
    Q_PROPERTY(bool isMaximized READ isMaximized WRITE setIsMaximized NOTIFY isMaximizedChanged)
    Q_PROPERTY(double delayAfterLaunch READ delayAfterLaunch WRITE setDelayAfterLaunch NOTIFY delayAfterLaunchChanged)
    Q_PROPERTY(
        QVariant originalScreenX READ originalScreenXValue WRITE setOriginalScreenXValue NOTIFY originalScreenXChanged)
    Q_PROPERTY(
        QVariant originalScreenY READ originalScreenYValue WRITE setOriginalScreenYValue NOTIFY originalScreenYChanged)
    Q_PROPERTY(QVariant originalScreenWidth READ originalScreenWidthValue WRITE setOriginalScreenWidthValue NOTIFY
            originalScreenWidthChanged)
    Q_PROPERTY(QVariant originalScreenHeight READ originalScreenHeightValue WRITE setOriginalScreenHeightValue NOTIFY
            originalScreenHeightChanged)
    Q_PROPERTY(
        QStringList additionalTabURLs READ additionalTabURLs WRITE setAdditionalTabURLs NOTIFY additionalTabURLsChanged)
    // The virtual desktop or workspace number; undefined when unknown.
    Q_PROPERTY(QVariant virtualDesktop READ virtualDesktopValue NOTIFY virtualDesktopChanged)
    // The window's title when it was saved; empty when unknown.
    Q_PROPERTY(QString windowTitle READ windowTitleText NOTIFY windowTitleChanged)
    Q_PROPERTY(Workspace *workspace READ workspace WRITE setWorkspace NOTIFY workspaceChanged)

public:
    /// A new entry with a fresh id, the fields of `data` and no workspace.
    explicit WorkspaceEntry(const EntryData &data = {}, QObject *parent = nullptr);

    /// The record's initializer: a new id, `typeRawValue` from `type`, every
    /// other argument copied, no workspace.
    static WorkspaceEntry *create(EntryType type, std::optional<QString> appBundleIdentifier,
        std::optional<QString> filePath, std::optional<QString> websiteURL, std::optional<QString> monitorID,
        double frameX, double frameY, double width, double height, bool isFullscreen, double delayAfterLaunch = 0.5,
        std::optional<double> originalScreenX = {}, std::optional<double> originalScreenY = {},
        std::optional<double> originalScreenWidth = {}, std::optional<double> originalScreenHeight = {});

    /// A snapshot of every persistent field.
    const EntryData &data() const { return m_data; }
    /// Writes every persistent field, notifying those that change.
    void setData(const EntryData &data);

    /// The kind read from `typeRawValue`; unknown text reads as application.
    EntryType type() const { return m_data.type(); }

    QUuid id() const { return m_data.id; }
    QString idText() const;
    void setId(const QUuid &id);
    QString typeRawValue() const { return m_data.typeRawValue; }
    void setTypeRawValue(const QString &value);
    QString typeText() const { return entryTypeText(type()); }

    std::optional<QString> appBundleIdentifier() const { return m_data.appBundleIdentifier; }
    void setAppBundleIdentifier(const std::optional<QString> &value);
    std::optional<QString> filePath() const { return m_data.filePath; }
    void setFilePath(const std::optional<QString> &value);
    std::optional<QString> websiteURL() const { return m_data.websiteURL; }
    void setWebsiteURL(const std::optional<QString> &value);
    std::optional<QString> monitorID() const { return m_data.monitorID; }
    void setMonitorID(const std::optional<QString> &value);

    double frameX() const { return m_data.frameX; }
    void setFrameX(double value);
    double frameY() const { return m_data.frameY; }
    void setFrameY(double value);
    double width() const { return m_data.width; }
    void setWidth(double value);
    double height() const { return m_data.height; }
    void setHeight(double value);
    bool isFullscreen() const { return m_data.isFullscreen; }
    void setIsFullscreen(bool value);
    bool isMaximized() const { return m_data.isMaximized; }
    void setIsMaximized(bool value);
    double delayAfterLaunch() const { return m_data.delayAfterLaunch; }
    void setDelayAfterLaunch(double value);

    std::optional<double> originalScreenX() const { return m_data.originalScreenX; }
    void setOriginalScreenX(const std::optional<double> &value);
    std::optional<double> originalScreenY() const { return m_data.originalScreenY; }
    void setOriginalScreenY(const std::optional<double> &value);
    std::optional<double> originalScreenWidth() const { return m_data.originalScreenWidth; }
    void setOriginalScreenWidth(const std::optional<double> &value);
    std::optional<int> virtualDesktop() const { return m_data.virtualDesktop; }
    void setVirtualDesktop(const std::optional<int> &value);
    QVariant virtualDesktopValue() const;
    std::optional<QString> windowTitle() const { return m_data.windowTitle; }
    void setWindowTitle(const std::optional<QString> &value);
    QString windowTitleText() const { return m_data.windowTitle.value_or(QString()); }
    std::optional<double> originalScreenHeight() const { return m_data.originalScreenHeight; }
    void setOriginalScreenHeight(const std::optional<double> &value);

    /// A browser window's tabs after the first one (`websiteURL`), in order.
    QStringList additionalTabURLs() const { return m_data.additionalTabURLs; }
    void setAdditionalTabURLs(const QStringList &value);

    /// The owning workspace, or nullptr while unattached.
    Workspace *workspace() const { return m_workspace; }
    /// Moves the entry into `workspace`'s entries (appended last), or detaches it.
    void setWorkspace(Workspace *workspace);

    // QVariant faces of the optional fields for QML.
    QVariant appBundleIdentifierValue() const;
    void setAppBundleIdentifierValue(const QVariant &value);
    QVariant filePathValue() const;
    void setFilePathValue(const QVariant &value);
    QVariant websiteURLValue() const;
    void setWebsiteURLValue(const QVariant &value);
    QVariant monitorIDValue() const;
    void setMonitorIDValue(const QVariant &value);
    QVariant originalScreenXValue() const;
    void setOriginalScreenXValue(const QVariant &value);
    QVariant originalScreenYValue() const;
    void setOriginalScreenYValue(const QVariant &value);
    QVariant originalScreenWidthValue() const;
    void setOriginalScreenWidthValue(const QVariant &value);
    QVariant originalScreenHeightValue() const;
    void setOriginalScreenHeightValue(const QVariant &value);

signals:
    void idChanged();
    void typeRawValueChanged();
    void appBundleIdentifierChanged();
    void filePathChanged();
    void websiteURLChanged();
    void monitorIDChanged();
    void frameXChanged();
    void frameYChanged();
    void widthChanged();
    void heightChanged();
    void isFullscreenChanged();
    void isMaximizedChanged();
    void delayAfterLaunchChanged();
    void originalScreenXChanged();
    void originalScreenYChanged();
    void originalScreenWidthChanged();
    void originalScreenHeightChanged();
    void additionalTabURLsChanged();
    void virtualDesktopChanged();
    void windowTitleChanged();
    void workspaceChanged();
    /// Any persistent field changed (the store marks the record dirty on it).
    void changed();

private:
    friend class Workspace;
    EntryData m_data;
    QPointer<Workspace> m_workspace;
};
