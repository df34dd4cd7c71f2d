// A workspace entry's members, named and ordered once: the backup file, the
// command line's JSON and the store's entry columns all hold them under these
// names and in this order, each written in its own form.
#include "entryjson.h"

#include "backup/backuplimits.h"

#include <QJsonArray>

namespace EntryJson {

void write(const EntryData &e, MemberWriter &w)
{
    w.uuid("id", e.id);
    w.text("typeRawValue", e.typeRawValue);
    w.optionalText("appBundleIdentifier", e.appBundleIdentifier);
    w.optionalText("filePath", e.filePath);
    w.optionalText("websiteURL", e.websiteURL);
    w.optionalText("monitorID", e.monitorID);
    w.number("frameX", e.frameX);
    w.number("frameY", e.frameY);
    w.number("width", e.width);
    w.number("height", e.height);
    w.boolean("isFullscreen", e.isFullscreen);
    w.number("delayAfterLaunch", e.delayAfterLaunch);
    w.optionalNumber("originalScreenX", e.originalScreenX);
    w.optionalNumber("originalScreenY", e.originalScreenY);
    w.optionalNumber("originalScreenWidth", e.originalScreenWidth);
    w.optionalNumber("originalScreenHeight", e.originalScreenHeight);
    // Added after the members of the first files, at the end, so that what
    // older readers know keeps its place and form; always written, so every
    // entry of a file has the same members.
    w.boolean("isMaximized", e.isMaximized);
    w.texts("additionalTabURLs", e.additionalTabURLs);
    w.optionalWholeNumber("virtualDesktop", e.virtualDesktop);
    w.optionalText("windowTitle", e.windowTitle);
}

namespace {
class ObjectWriter final : public MemberWriter
{
public:
    QJsonObject object;

    void uuid(const char *key, const QUuid &value) override
    {
        set(key, value.toString(QUuid::WithoutBraces).toUpper());
    }
    void text(const char *key, const QString &value) override { set(key, value); }
    void optionalText(const char *key, const std::optional<QString> &value) override
    {
        set(key, value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null));
    }
    void number(const char *key, double value) override { set(key, value); }
    void optionalNumber(const char *key, std::optional<double> value) override
    {
        set(key, value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null));
    }
    void boolean(const char *key, bool value) override { set(key, value); }
    void texts(const char *key, const QStringList &value) override { set(key, QJsonArray::fromStringList(value)); }
    void optionalWholeNumber(const char *key, std::optional<int> value) override
    {
        set(key, value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null));
    }

private:
    void set(const char *key, const QJsonValue &value) { object.insert(QLatin1String(key), value); }
};
} // namespace

QJsonObject toJson(const EntryData &entry)
{
    ObjectWriter writer;
    write(entry, writer);
    return writer.object;
}

std::optional<EntryData> read(const QJsonObject &object, Reading reading, JsonFieldProblem *problem)
{
    JsonFieldReader::Options options;
    options.maxTextLength = BackupLimits::maxStringLength;
    options.nonFiniteAsText = true;
    options.lenient = reading == Reading::lenient;
    JsonFieldReader r(object, options);
    constexpr auto later = JsonFieldReader::Presence::optional;
    EntryData e;
    const bool ok = r.uuid(QStringLiteral("id"), e.id) && r.text(QStringLiteral("typeRawValue"), e.typeRawValue)
        && r.optionalText(QStringLiteral("appBundleIdentifier"), e.appBundleIdentifier)
        && r.optionalText(QStringLiteral("filePath"), e.filePath)
        && r.optionalText(QStringLiteral("websiteURL"), e.websiteURL)
        && r.optionalText(QStringLiteral("monitorID"), e.monitorID) && r.number(QStringLiteral("frameX"), e.frameX)
        && r.number(QStringLiteral("frameY"), e.frameY) && r.number(QStringLiteral("width"), e.width)
        && r.number(QStringLiteral("height"), e.height) && r.boolean(QStringLiteral("isFullscreen"), e.isFullscreen)
        && r.number(QStringLiteral("delayAfterLaunch"), e.delayAfterLaunch)
        && r.optionalNumber(QStringLiteral("originalScreenX"), e.originalScreenX)
        && r.optionalNumber(QStringLiteral("originalScreenY"), e.originalScreenY)
        && r.optionalNumber(QStringLiteral("originalScreenWidth"), e.originalScreenWidth)
        && r.optionalNumber(QStringLiteral("originalScreenHeight"), e.originalScreenHeight)
        && r.boolean(QStringLiteral("isMaximized"), e.isMaximized, later)
        && r.texts(QStringLiteral("additionalTabURLs"), BackupLimits::maxAdditionalTabs, e.additionalTabURLs, later)
        && r.optionalWholeNumber(
            QStringLiteral("virtualDesktop"), -1, EntryLimits::largestVirtualDesktop, e.virtualDesktop, later)
        && r.optionalText(QStringLiteral("windowTitle"), e.windowTitle, later);
    if (!ok) {
        if (problem && r.problem())
            *problem = *r.problem();
        return std::nullopt;
    }
    return e;
}

} // namespace EntryJson
