// Checks a parsed backup document field by field and turns it into workspaces.
#include "backupvalidator.h"

#include "backuplimits.h"
#include "model/entryjson.h"
#include "model/jsonfieldreader.h"

#include <QHash>
#include <QJsonArray>

namespace {
using Code = BackupProblem::Code;

// Where an id was first seen: the workspace and entry, counted from 1.
struct Place {
    qsizetype workspace = 0;
    qsizetype entry = 0;
};
using SeenIds = QHash<QUuid, Place>;

BackupProblem problemAt(Code code, Place place)
{
    BackupProblem problem;
    problem.code = code;
    problem.workspace = place.workspace;
    problem.entry = place.entry;
    return problem;
}

BackupProblem fieldProblem(const JsonFieldReader &reader, Place place)
{
    BackupProblem problem = problemAt(Code::badField, place);
    problem.field = reader.problem().value_or(JsonFieldProblem {});
    return problem;
}

JsonFieldReader::Options fileOptions()
{
    JsonFieldReader::Options options;
    options.maxTextLength = BackupLimits::maxStringLength;
    options.nonFiniteAsText = true;
    return options;
}

// Ids identify rows in lists, so two workspaces, or two entries, may not share one.
std::optional<BackupProblem> duplicate(SeenIds &seen, const QUuid &id, Place place)
{
    if (const auto it = seen.constFind(id); it != seen.constEnd()) {
        BackupProblem problem = problemAt(Code::duplicateId, place);
        problem.firstWorkspace = it->workspace;
        problem.firstEntry = it->entry;
        return problem;
    }
    seen.insert(id, place);
    return std::nullopt;
}

std::optional<BackupProblem> readWorkspace(
    const QJsonObject &object, Place place, SeenIds &seenWorkspaces, SeenIds &seenEntries, WorkspaceData &w)
{
    JsonFieldReader r(object, fileOptions());
    QJsonArray entries;
    std::optional<QDateTime> createdAt;
    std::optional<QDateTime> modifiedAt;
    const bool ok = r.uuid(QStringLiteral("id"), w.id) && r.text(QStringLiteral("name"), w.name)
        && r.text(QStringLiteral("icon"), w.icon) && r.text(QStringLiteral("category"), w.category)
        && r.optionalDate(QStringLiteral("createdAt"), createdAt)
        && r.optionalDate(QStringLiteral("modifiedAt"), modifiedAt)
        && r.boolean(QStringLiteral("autoLaunch"), w.autoLaunch)
        && r.boolean(QStringLiteral("restoreDocuments"), w.restoreDocuments)
        && r.boolean(QStringLiteral("isFavorite"), w.isFavorite)
        && r.wholeNumber(QStringLiteral("launchCount"), w.launchCount)
        && r.optionalDate(QStringLiteral("lastLaunchedAt"), w.lastLaunchedAt)
        && r.number(QStringLiteral("timeSavedInSeconds"), w.timeSavedInSeconds)
        && r.array(QStringLiteral("entries"), entries);
    if (!ok)
        return fieldProblem(r, place);
    // null stands for a date that had no text when written (an invalid one).
    w.createdAt = createdAt.value_or(QDateTime());
    w.modifiedAt = modifiedAt.value_or(QDateTime());
    if (auto problem = duplicate(seenWorkspaces, w.id, place))
        return problem;
    w.entries.reserve(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const Place entryPlace { place.workspace, i + 1 };
        if (!entries[i].isObject())
            return problemAt(Code::entryNotAnObject, entryPlace);
        BackupProblem problem = problemAt(Code::badField, entryPlace);
        std::optional<EntryData> entry
            = EntryJson::read(entries[i].toObject(), EntryJson::Reading::strict, &problem.field);
        if (!entry)
            return problem;
        if (auto twice = duplicate(seenEntries, entry->id, entryPlace))
            return twice;
        w.entries.append(std::move(*entry));
    }
    return std::nullopt;
}

// Counted before anything is converted, so an oversized file costs no more
// than its parse.
std::optional<BackupProblem> countProblem(const QJsonArray &workspaces)
{
    BackupProblem problem;
    if (workspaces.size() > BackupLimits::maxWorkspaces) {
        problem.code = Code::tooManyWorkspaces;
        problem.number = BackupLimits::maxWorkspaces;
        return problem;
    }
    qsizetype entries = 0;
    for (const QJsonValue &w : workspaces)
        entries += w.toObject().value(QLatin1String("entries")).toArray().size();
    if (entries > BackupLimits::maxEntries) {
        problem.code = Code::tooManyEntries;
        problem.number = BackupLimits::maxEntries;
        return problem;
    }
    return std::nullopt;
}
} // namespace

BackupParseResult BackupValidator::validate(const QJsonObject &root)
{
    JsonFieldReader envelope(root, fileOptions());
    qint64 version = 0;
    if (!envelope.wholeNumber(QStringLiteral("version"), version))
        return BackupParseResult::refused(fieldProblem(envelope, {}));
    // A newer version may mean anything; guessing could import it wrongly.
    if (version != 1) {
        BackupProblem problem;
        problem.code = Code::unknownVersion;
        problem.number = version;
        return BackupParseResult::refused(problem);
    }
    QJsonArray workspaces;
    if (!envelope.array(QStringLiteral("workspaces"), workspaces))
        return BackupParseResult::refused(fieldProblem(envelope, {}));
    if (const std::optional<BackupProblem> problem = countProblem(workspaces))
        return BackupParseResult::refused(*problem);

    BackupParseResult result;
    result.workspaces.reserve(workspaces.size());
    SeenIds seenWorkspaces;
    SeenIds seenEntries;
    for (qsizetype i = 0; i < workspaces.size(); ++i) {
        const Place place { i + 1, 0 };
        if (!workspaces[i].isObject())
            return BackupParseResult::refused(problemAt(Code::workspaceNotAnObject, place));
        WorkspaceData w;
        if (const std::optional<BackupProblem> problem
            = readWorkspace(workspaces[i].toObject(), place, seenWorkspaces, seenEntries, w))
            return BackupParseResult::refused(*problem);
        result.workspaces.append(std::move(w));
    }
    return result;
}
