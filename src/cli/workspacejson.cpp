// Conversions between workspace values and JSON.
#include "workspacejson.h"

#include "model/entryjson.h"

namespace {

QJsonValue dateText(const std::optional<QDateTime> &value)
{
    if (!value || !value->isValid())
        return QJsonValue(QJsonValue::Null);
    return value->toUTC().toString(Qt::ISODateWithMs);
}

QString idText(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

} // namespace

QJsonObject entryToJson(const EntryData &entry)
{
    return EntryJson::toJson(entry);
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
    // A lenient read always gives an entry.
    return *EntryJson::read(object, EntryJson::Reading::lenient);
}

QList<EntryData> entriesFromJson(const QJsonArray &array)
{
    QList<EntryData> entries;
    for (const QJsonValue &value : array)
        entries.append(entryFromJson(value.toObject()));
    return entries;
}
