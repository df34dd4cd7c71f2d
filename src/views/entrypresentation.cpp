// What an entry row says about an entry: title, detail, monitor, position and size,
// as pure functions, with QML faces that take the fields a binding depends on.
#include "entrypresentation.h"

#include "model/entrydisplayname.h"
#include "overlay/entrytext.h"

namespace {

std::optional<QString> optionalText(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    return value.toString();
}

EntryData entryFromFields(const QString &typeRawValue, const QVariant &appBundleIdentifier, const QVariant &websiteURL,
    const QVariant &filePath)
{
    EntryData entry;
    entry.typeRawValue = typeRawValue;
    entry.appBundleIdentifier = optionalText(appBundleIdentifier);
    entry.websiteURL = optionalText(websiteURL);
    entry.filePath = optionalText(filePath);
    return entry;
}

} // namespace

QString EntryPresentation::capitalized(const QString &text)
{
    return EntryDisplayName::capitalized(text);
}

QString EntryPresentation::entryTitle(const EntryData &entry)
{
    return EntryDisplayName::of(entry, EntryDisplayName::AppName::capitalized);
}

QString EntryPresentation::entryDetail(const EntryData &entry)
{
    return EntryText::detail(entry).value_or(QString());
}

QString EntryPresentation::monitorLabel(
    const std::optional<QString> &monitorID, const QList<std::optional<QString>> &screenMonitorIDs)
{
    if (!monitorID)
        return QStringLiteral("Bildschirm: -");
    const qsizetype index = screenMonitorIDs.indexOf(monitorID);
    if (index < 0)
        return QStringLiteral("Unbekannter Bildschirm");
    return QStringLiteral("Bildschirm ") + QString::number(index + 1);
}

QString EntryPresentation::positionText(double x, double y)
{
    return QStringLiteral("Pos: (") + EntryText::wholeNumber(x) + QStringLiteral(", ") + EntryText::wholeNumber(y)
        + QLatin1Char(')');
}

QString EntryPresentation::sizeText(double width, double height)
{
    return QStringLiteral("Dim: ") + EntryText::wholeNumber(width) + QLatin1Char('x') + EntryText::wholeNumber(height);
}

QString EntryPresentation::title(const QString &typeRawValue, const QVariant &appBundleIdentifier,
    const QVariant &websiteURL, const QVariant &filePath)
{
    return entryTitle(entryFromFields(typeRawValue, appBundleIdentifier, websiteURL, filePath));
}

QString EntryPresentation::detail(const QString &typeRawValue, const QVariant &appBundleIdentifier,
    const QVariant &websiteURL, const QVariant &filePath)
{
    return entryDetail(entryFromFields(typeRawValue, appBundleIdentifier, websiteURL, filePath));
}

QString EntryPresentation::symbol(const QString &typeRawValue)
{
    return EntryText::symbol(entryTypeFromText(typeRawValue));
}

QString EntryPresentation::kind(const QString &typeRawValue)
{
    return entryTypeText(entryTypeFromText(typeRawValue));
}

QString EntryPresentation::monitor(const QVariant &monitorID, const QStringList &screenMonitorIDs)
{
    QList<std::optional<QString>> screens;
    for (const QString &id : screenMonitorIDs)
        screens.append(id.isEmpty() ? std::nullopt : std::optional<QString>(id));
    return monitorLabel(optionalText(monitorID), screens);
}
