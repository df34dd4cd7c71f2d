// The observable record of one workspace entry.
#include "workspaceentry.h"

#include "optionalvariant.h"
#include "workspace.h"

namespace {
// Writes `value` into `field` and reports whether it changed. NaN compares
// unequal to itself, so doubles are compared bitwise-equal-or-both-NaN.
template <typename T> bool assign(T &field, const T &value)
{
    if (field == value)
        return false;
    if constexpr (std::is_same_v<T, double>) {
        if (field != field && value != value)
            return false;
    }
    field = value;
    return true;
}
} // namespace

#define CORVALINT_ENTRY_SETTER(Setter, field, Type)                                                                    \
    void WorkspaceEntry::Setter(const Type &value)                                                                     \
    {                                                                                                                  \
        if (!assign(m_data.field, value))                                                                              \
            return;                                                                                                    \
        emit field##Changed();                                                                                         \
        emit changed();                                                                                                \
    }

WorkspaceEntry::WorkspaceEntry(const EntryData &data, QObject *parent)
    : QObject(parent)
    , m_data(data)
{
}

WorkspaceEntry *WorkspaceEntry::create(EntryType type, std::optional<QString> appBundleIdentifier,
    std::optional<QString> filePath, std::optional<QString> websiteURL, std::optional<QString> monitorID, double frameX,
    double frameY, double width, double height, bool isFullscreen, double delayAfterLaunch,
    std::optional<double> originalScreenX, std::optional<double> originalScreenY,
    std::optional<double> originalScreenWidth, std::optional<double> originalScreenHeight)
{
    EntryData d;
    d.typeRawValue = entryTypeText(type);
    d.appBundleIdentifier = std::move(appBundleIdentifier);
    d.filePath = std::move(filePath);
    d.websiteURL = std::move(websiteURL);
    d.monitorID = std::move(monitorID);
    d.frameX = frameX;
    d.frameY = frameY;
    d.width = width;
    d.height = height;
    d.isFullscreen = isFullscreen;
    d.delayAfterLaunch = delayAfterLaunch;
    d.originalScreenX = originalScreenX;
    d.originalScreenY = originalScreenY;
    d.originalScreenWidth = originalScreenWidth;
    d.originalScreenHeight = originalScreenHeight;
    return new WorkspaceEntry(d);
}

void WorkspaceEntry::setData(const EntryData &data)
{
    setId(data.id);
    setTypeRawValue(data.typeRawValue);
    setAppBundleIdentifier(data.appBundleIdentifier);
    setFilePath(data.filePath);
    setWebsiteURL(data.websiteURL);
    setMonitorID(data.monitorID);
    setFrameX(data.frameX);
    setFrameY(data.frameY);
    setWidth(data.width);
    setHeight(data.height);
    setIsFullscreen(data.isFullscreen);
    setIsMaximized(data.isMaximized);
    setDelayAfterLaunch(data.delayAfterLaunch);
    setOriginalScreenX(data.originalScreenX);
    setOriginalScreenY(data.originalScreenY);
    setOriginalScreenWidth(data.originalScreenWidth);
    setOriginalScreenHeight(data.originalScreenHeight);
    setAdditionalTabURLs(data.additionalTabURLs);
    setVirtualDesktop(data.virtualDesktop);
    setWindowTitle(data.windowTitle);
}

QString WorkspaceEntry::idText() const
{
    return m_data.id.toString(QUuid::WithoutBraces).toUpper();
}

void WorkspaceEntry::setId(const QUuid &value)
{
    if (!assign(m_data.id, value))
        return;
    emit idChanged();
    emit changed();
}

CORVALINT_ENTRY_SETTER(setTypeRawValue, typeRawValue, QString)
CORVALINT_ENTRY_SETTER(setAppBundleIdentifier, appBundleIdentifier, std::optional<QString>)
CORVALINT_ENTRY_SETTER(setFilePath, filePath, std::optional<QString>)
CORVALINT_ENTRY_SETTER(setWebsiteURL, websiteURL, std::optional<QString>)
CORVALINT_ENTRY_SETTER(setOriginalScreenX, originalScreenX, std::optional<double>)
CORVALINT_ENTRY_SETTER(setOriginalScreenY, originalScreenY, std::optional<double>)
CORVALINT_ENTRY_SETTER(setOriginalScreenWidth, originalScreenWidth, std::optional<double>)
CORVALINT_ENTRY_SETTER(setOriginalScreenHeight, originalScreenHeight, std::optional<double>)
CORVALINT_ENTRY_SETTER(setAdditionalTabURLs, additionalTabURLs, QStringList)
CORVALINT_ENTRY_SETTER(setVirtualDesktop, virtualDesktop, std::optional<int>)
CORVALINT_ENTRY_SETTER(setWindowTitle, windowTitle, std::optional<QString>)

QVariant WorkspaceEntry::virtualDesktopValue() const
{
    return m_data.virtualDesktop ? QVariant(*m_data.virtualDesktop) : QVariant();
}

void WorkspaceEntry::setMonitorID(const std::optional<QString> &value)
{
    if (!assign(m_data.monitorID, value))
        return;
    emit monitorIDChanged();
    emit changed();
    // The owner's required monitor count depends on this field.
    if (m_workspace)
        emit m_workspace->requiredMonitorCountChanged();
}

void WorkspaceEntry::setFrameX(double value)
{
    if (assign(m_data.frameX, value)) {
        emit frameXChanged();
        emit changed();
    }
}
void WorkspaceEntry::setFrameY(double value)
{
    if (assign(m_data.frameY, value)) {
        emit frameYChanged();
        emit changed();
    }
}
void WorkspaceEntry::setWidth(double value)
{
    if (assign(m_data.width, value)) {
        emit widthChanged();
        emit changed();
    }
}
void WorkspaceEntry::setHeight(double value)
{
    if (assign(m_data.height, value)) {
        emit heightChanged();
        emit changed();
    }
}
void WorkspaceEntry::setIsFullscreen(bool value)
{
    if (assign(m_data.isFullscreen, value)) {
        emit isFullscreenChanged();
        emit changed();
    }
}
void WorkspaceEntry::setIsMaximized(bool value)
{
    if (assign(m_data.isMaximized, value)) {
        emit isMaximizedChanged();
        emit changed();
    }
}
void WorkspaceEntry::setDelayAfterLaunch(double value)
{
    if (assign(m_data.delayAfterLaunch, value)) {
        emit delayAfterLaunchChanged();
        emit changed();
    }
}

void WorkspaceEntry::setWorkspace(Workspace *workspace)
{
    if (workspace == m_workspace)
        return;
    if (m_workspace)
        m_workspace->takeEntry(this);
    if (workspace)
        workspace->appendEntry(this);
}

QVariant WorkspaceEntry::appBundleIdentifierValue() const
{
    return optionalToVariant(m_data.appBundleIdentifier);
}
void WorkspaceEntry::setAppBundleIdentifierValue(const QVariant &v)
{
    setAppBundleIdentifier(variantToOptional<QString>(v));
}
QVariant WorkspaceEntry::filePathValue() const
{
    return optionalToVariant(m_data.filePath);
}
void WorkspaceEntry::setFilePathValue(const QVariant &v)
{
    setFilePath(variantToOptional<QString>(v));
}
QVariant WorkspaceEntry::websiteURLValue() const
{
    return optionalToVariant(m_data.websiteURL);
}
void WorkspaceEntry::setWebsiteURLValue(const QVariant &v)
{
    setWebsiteURL(variantToOptional<QString>(v));
}
QVariant WorkspaceEntry::monitorIDValue() const
{
    return optionalToVariant(m_data.monitorID);
}
void WorkspaceEntry::setMonitorIDValue(const QVariant &v)
{
    setMonitorID(variantToOptional<QString>(v));
}
QVariant WorkspaceEntry::originalScreenXValue() const
{
    return optionalToVariant(m_data.originalScreenX);
}
void WorkspaceEntry::setOriginalScreenXValue(const QVariant &v)
{
    setOriginalScreenX(variantToOptional<double>(v));
}
QVariant WorkspaceEntry::originalScreenYValue() const
{
    return optionalToVariant(m_data.originalScreenY);
}
void WorkspaceEntry::setOriginalScreenYValue(const QVariant &v)
{
    setOriginalScreenY(variantToOptional<double>(v));
}
QVariant WorkspaceEntry::originalScreenWidthValue() const
{
    return optionalToVariant(m_data.originalScreenWidth);
}
void WorkspaceEntry::setOriginalScreenWidthValue(const QVariant &v)
{
    setOriginalScreenWidth(variantToOptional<double>(v));
}
QVariant WorkspaceEntry::originalScreenHeightValue() const
{
    return optionalToVariant(m_data.originalScreenHeight);
}
void WorkspaceEntry::setOriginalScreenHeightValue(const QVariant &v)
{
    setOriginalScreenHeight(variantToOptional<double>(v));
}
