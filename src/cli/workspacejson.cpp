// Conversions between workspace values and JSON.
#include "workspacejson.h"

#include "model/tabcolumn.h"

#include <cmath>

namespace {

QJsonValue optionalText(const std::optional<QString> &value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue optionalNumber(const std::optional<double> &value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue dateText(const std::optional<QDateTime> &value)
{
    if (!value || !value->isValid())
        return QJsonValue(QJsonValue::Null);
    return value->toUTC().toString(Qt::ISODateWithMs);
}

std::optional<QString> readText(const QJsonObject &object, const QString &key)
{
    const QJsonValue value = object.value(key);
    return value.isString() ? std::optional<QString>(value.toString()) : std::nullopt;
}

std::optional<double> readNumber(const QJsonObject &object, const QString &key)
{
    const QJsonValue value = object.value(key);
    return value.isDouble() ? std::optional<double>(value.toDouble()) : std::nullopt;
}

QString idText(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

} // namespace

QJsonObject entryToJson(const EntryData &entry)
{
    QJsonObject o;
    o[QLatin1String("id")] = idText(entry.id);
    o[QLatin1String("typeRawValue")] = entry.typeRawValue;
    o[QLatin1String("appBundleIdentifier")] = optionalText(entry.appBundleIdentifier);
    o[QLatin1String("filePath")] = optionalText(entry.filePath);
    o[QLatin1String("websiteURL")] = optionalText(entry.websiteURL);
    o[QLatin1String("monitorID")] = optionalText(entry.monitorID);
    o[QLatin1String("frameX")] = entry.frameX;
    o[QLatin1String("frameY")] = entry.frameY;
    o[QLatin1String("width")] = entry.width;
    o[QLatin1String("height")] = entry.height;
    o[QLatin1String("isFullscreen")] = entry.isFullscreen;
    o[QLatin1String("delayAfterLaunch")] = entry.delayAfterLaunch;
    o[QLatin1String("originalScreenX")] = optionalNumber(entry.originalScreenX);
    o[QLatin1String("originalScreenY")] = optionalNumber(entry.originalScreenY);
    o[QLatin1String("originalScreenWidth")] = optionalNumber(entry.originalScreenWidth);
    o[QLatin1String("originalScreenHeight")] = optionalNumber(entry.originalScreenHeight);
    o[QLatin1String("isMaximized")] = entry.isMaximized;
    o[QLatin1String("additionalTabURLs")] = QJsonArray::fromStringList(entry.additionalTabURLs);
    o[QLatin1String("virtualDesktop")] = entry.virtualDesktop ? QJsonValue(*entry.virtualDesktop) : QJsonValue();
    o[QLatin1String("windowTitle")] = optionalText(entry.windowTitle);
    return o;
}

QJsonArray entriesToJson(const QList<EntryData> &entries)
{
    QJsonArray array;
    for (const EntryData &entry : entries)
        array.append(entryToJson(entry));
    return array;
}

QJsonObject workspaceToJson(const WorkspaceData &workspace)
{
    QJsonObject o;
    o[QLatin1String("id")] = idText(workspace.id);
    o[QLatin1String("name")] = workspace.name;
    o[QLatin1String("icon")] = workspace.icon;
    o[QLatin1String("category")] = workspace.category;
    o[QLatin1String("createdAt")] = dateText(workspace.createdAt);
    o[QLatin1String("modifiedAt")] = dateText(workspace.modifiedAt);
    o[QLatin1String("autoLaunch")] = workspace.autoLaunch;
    o[QLatin1String("restoreDocuments")] = workspace.restoreDocuments;
    o[QLatin1String("isFavorite")] = workspace.isFavorite;
    o[QLatin1String("launchCount")] = double(workspace.launchCount);
    o[QLatin1String("lastLaunchedAt")] = dateText(workspace.lastLaunchedAt);
    o[QLatin1String("timeSavedInSeconds")] = workspace.timeSavedInSeconds;
    o[QLatin1String("entries")] = entriesToJson(workspace.entries);
    return o;
}

EntryData entryFromJson(const QJsonObject &object)
{
    EntryData entry;
    const QUuid id = QUuid::fromString(object.value(QLatin1String("id")).toString());
    if (!id.isNull())
        entry.id = id;
    if (const auto type = readText(object, QStringLiteral("typeRawValue")))
        entry.typeRawValue = *type;
    entry.appBundleIdentifier = readText(object, QStringLiteral("appBundleIdentifier"));
    entry.filePath = readText(object, QStringLiteral("filePath"));
    entry.websiteURL = readText(object, QStringLiteral("websiteURL"));
    entry.monitorID = readText(object, QStringLiteral("monitorID"));
    entry.frameX = object.value(QLatin1String("frameX")).toDouble(entry.frameX);
    entry.frameY = object.value(QLatin1String("frameY")).toDouble(entry.frameY);
    entry.width = object.value(QLatin1String("width")).toDouble(entry.width);
    entry.height = object.value(QLatin1String("height")).toDouble(entry.height);
    entry.isFullscreen = object.value(QLatin1String("isFullscreen")).toBool(entry.isFullscreen);
    entry.delayAfterLaunch = object.value(QLatin1String("delayAfterLaunch")).toDouble(entry.delayAfterLaunch);
    entry.originalScreenX = readNumber(object, QStringLiteral("originalScreenX"));
    entry.originalScreenY = readNumber(object, QStringLiteral("originalScreenY"));
    entry.originalScreenWidth = readNumber(object, QStringLiteral("originalScreenWidth"));
    entry.originalScreenHeight = readNumber(object, QStringLiteral("originalScreenHeight"));
    entry.isMaximized = object.value(QLatin1String("isMaximized")).toBool(entry.isMaximized);
    entry.additionalTabURLs = TabColumn::fromArray(object.value(QLatin1String("additionalTabURLs")).toArray());
    const QJsonValue desktop = object.value(QLatin1String("virtualDesktop"));
    if (desktop.isDouble() && desktop.toDouble() == std::floor(desktop.toDouble()) && desktop.toDouble() >= -1
        && desktop.toDouble() <= EntryLimits::largestVirtualDesktop)
        entry.virtualDesktop = desktop.toInt();
    if (const QJsonValue title = object.value(QLatin1String("windowTitle")); title.isString())
        entry.windowTitle = title.toString();
    return entry;
}

QList<EntryData> entriesFromJson(const QJsonArray &array)
{
    QList<EntryData> entries;
    for (const QJsonValue &value : array)
        entries.append(entryFromJson(value.toObject()));
    return entries;
}
