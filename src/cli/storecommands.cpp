// The store operations behind the command line's commands.
#include "storecommands.h"

#include "workspacejson.h"

#include "model/backup/backupfile.h"
#include "model/backup/backupmessages.h"
#include "model/workspacecategory.h"
#include "model/workspacestore.h"
#include "views/workspacemerge.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString idText(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

QString field(const QJsonObject &request, const char *key)
{
    return request.value(QLatin1String(key)).toString();
}

QList<WorkspaceData> snapshot(const WorkspaceStore &store)
{
    QList<WorkspaceData> all;
    for (const Workspace *workspace : store.workspaces())
        all << workspace->data();
    return all;
}

QString table(const QList<WorkspaceData> &workspaces)
{
    const QStringList header{QStringLiteral("NAME"), QStringLiteral("CATEGORY"), QStringLiteral("ENTRIES"),
                             QStringLiteral("MONITORS")};
    QList<QStringList> rows{header};
    for (const WorkspaceData &data : workspaces) {
        const std::unique_ptr<Workspace> record(Workspace::fromData(data));
        rows << QStringList{data.name, data.category, QString::number(data.entries.size()),
                            QString::number(record->requiredMonitorCount())};
    }
    QList<qsizetype> widths(header.size(), 0);
    for (const QStringList &row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    }
    QString text;
    for (const QStringList &row : rows) {
        QString line;
        for (qsizetype i = 0; i < row.size(); ++i)
            line += i + 1 < row.size() ? row[i].leftJustified(widths[i] + 2) : row[i];
        text += line + QLatin1Char('\n');
    }
    return text;
}

QJsonObject launchData(const Workspace &workspace)
{
    QList<EntryData> entries;
    for (const WorkspaceEntry *entry : workspace.entries())
        entries << entry->data();
    return {{QStringLiteral("id"), idText(workspace.id())},
            {QStringLiteral("name"), workspace.name()},
            {QStringLiteral("entries"), entriesToJson(entries)},
            {QStringLiteral("restoreDocuments"), workspace.restoreDocuments()},
            {QStringLiteral("autoLaunch"), workspace.autoLaunch()}};
}

} // namespace

StoreCommands::StoreCommands(WorkspaceStore &store, Clock now)
    : m_store(store)
    , m_now(std::move(now))
{
}

CommandResult StoreCommands::execute(const QJsonObject &request)
{
    const QString command = field(request, "command");
    if (command == QLatin1String("list"))
        return list(request);
    if (command == QLatin1String("export"))
        return exportFile(request);
    if (command == QLatin1String("import"))
        return importFile(request);
    if (command == QLatin1String("delete"))
        return remove(request);
    if (command == QLatin1String("create"))
        return create(request);
    if (command == QLatin1String("update"))
        return update(request);
    if (command == QLatin1String("launch"))
        return launch(request);
    if (command == QLatin1String("show"))
        return show(request);
    return CommandResult::failure(QStringLiteral("corvalint: unknown store request %1").arg(quoted(command)));
}

Workspace *StoreCommands::resolve(const QString &target, QString *error) const
{
    const QUuid id = QUuid::fromString(target);
    if (!id.isNull()) {
        if (Workspace *workspace = m_store.find(id))
            return workspace;
    }
    QList<Workspace *> named;
    for (Workspace *workspace : m_store.workspaces()) {
        if (workspace->name() == target)
            named << workspace;
    }
    if (named.size() == 1)
        return named.first();
    if (named.isEmpty()) {
        *error = QStringLiteral("corvalint: no workspace is named or has the id %1").arg(quoted(target));
    } else {
        QStringList ids;
        for (const Workspace *workspace : named)
            ids << idText(workspace->id());
        *error = QStringLiteral("corvalint: %1 names %2 workspaces; give one of their ids: %3")
                     .arg(quoted(target))
                     .arg(named.size())
                     .arg(ids.join(QLatin1String(", ")));
    }
    return nullptr;
}

CommandResult StoreCommands::list(const QJsonObject &request) const
{
    const QList<WorkspaceData> all = snapshot(m_store);
    if (request.value(QLatin1String("json")).toBool()) {
        QJsonArray array;
        for (const WorkspaceData &data : all)
            array.append(workspaceToJson(data));
        CommandResult result;
        result.out = QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
        return result;
    }
    CommandResult result;
    if (!all.isEmpty())
        result.out = table(all);
    return result;
}

CommandResult StoreCommands::exportFile(const QJsonObject &request) const
{
    const QList<WorkspaceData> all = snapshot(m_store);
    const QByteArray bytes = BackupFile::serialize(all);
    // A file that would not read back is not worth replacing a good one with.
    const BackupParseResult check = BackupFile::parse(bytes);
    if (!check.ok())
        return CommandResult::failure(QStringLiteral("corvalint: ") + BackupMessages::exportFailed(check.error));
    QString error;
    if (!BackupFile::writeAtomically(field(request, "file"), bytes, &error))
        return CommandResult::failure(QStringLiteral("corvalint: ") + BackupMessages::exportFailed(error));
    return CommandResult::success(BackupMessages::exportSummary(all.size()));
}

CommandResult StoreCommands::importFile(const QJsonObject &request)
{
    const BackupParseResult parsed = BackupFile::readFile(field(request, "file"));
    if (!parsed.ok())
        return CommandResult::failure(QStringLiteral("corvalint: ") + BackupMessages::importRefused(parsed.error));
    QString error;
    const int added = m_store.addWorkspaces(parsed.workspaces, &error);
    if (added < 0)
        return CommandResult::failure(QStringLiteral("corvalint: ") + BackupMessages::importFailed(error));
    return CommandResult::success(BackupMessages::importSummary(added, parsed.workspaces.size()));
}

CommandResult StoreCommands::remove(const QJsonObject &request)
{
    QString error;
    Workspace *workspace = resolve(field(request, "target"), &error);
    if (!workspace)
        return CommandResult::failure(error);
    const QString line = QStringLiteral("Deleted workspace %1 (%2)").arg(quoted(workspace->name()), idText(workspace->id()));
    m_store.remove(workspace);
    if (auto failed = saveFailure())
        return *failed;
    return CommandResult::success(line);
}

CommandResult StoreCommands::create(const QJsonObject &request)
{
    const QString name = field(request, "name");
    if (name.trimmed().isEmpty())
        return CommandResult::failure(QStringLiteral("corvalint: a workspace needs a name that is not blank"), 2);
    const QString category = field(request, "category");
    if (!categoryFromText(category)) {
        QStringList names;
        for (WorkspaceCategory c : allCategories())
            names << quoted(categoryText(c));
        return CommandResult::failure(QStringLiteral("corvalint: unknown category %1; choose one of %2")
                                          .arg(quoted(category), names.join(QLatin1String(", "))),
                                      2);
    }
    // As the dashboard creates it: no focus mode, documents restored.
    auto *workspace = new Workspace(name, field(request, "icon"), category, false, true);
    const QList<EntryData> entries = entriesFromJson(request.value(QLatin1String("entries")).toArray());
    for (const EntryData &entry : entries)
        workspace->appendEntry(entry);
    const QString line = QStringLiteral("Saved workspace %1 with %2 entries (%3)")
                             .arg(quoted(name))
                             .arg(entries.size())
                             .arg(idText(workspace->id()));
    CommandResult result = CommandResult::success(line);
    result.data = {{QStringLiteral("id"), idText(workspace->id())}};
    m_store.insert(workspace);
    if (auto failed = saveFailure())
        return *failed;
    return result;
}

CommandResult StoreCommands::update(const QJsonObject &request)
{
    QString error;
    Workspace *workspace = resolve(field(request, "target"), &error);
    if (!workspace)
        return CommandResult::failure(error);
    const QList<EntryData> captured = entriesFromJson(request.value(QLatin1String("entries")).toArray());
    const int before = workspace->entryCount();
    mergeCapturedEntries(*workspace, captured);
    workspace->setModifiedAt(m_now());
    const int added = workspace->entryCount() - before;
    if (auto failed = saveFailure())
        return *failed;
    return CommandResult::success(QStringLiteral("Updated workspace %1: %2 windows captured, %3 new entries, %4 in all")
                                      .arg(quoted(workspace->name()))
                                      .arg(captured.size())
                                      .arg(added)
                                      .arg(workspace->entryCount()));
}

CommandResult StoreCommands::launch(const QJsonObject &request)
{
    QString error;
    Workspace *workspace = resolve(field(request, "target"), &error);
    if (!workspace)
        return CommandResult::failure(error);
    CommandResult result;
    if (request.value(QLatin1String("count")).toBool()) {
        workspace->recordLaunch(m_now());
        // As in the main window: a failed save does not stop the launch; the
        // count stays pending and a later save may still write it.
        if (auto failed = saveFailure())
            result.err = failed->err;
    }
    result.data = launchData(*workspace);
    return result;
}

CommandResult StoreCommands::show(const QJsonObject &request) const
{
    QString error;
    Workspace *workspace = resolve(field(request, "target"), &error);
    if (!workspace)
        return CommandResult::failure(error);
    CommandResult result;
    result.data = launchData(*workspace);
    return result;
}

std::optional<CommandResult> StoreCommands::saveFailure()
{
    QString error;
    if (m_store.save(&error))
        return std::nullopt;
    return CommandResult::failure(QStringLiteral("corvalint: could not save the store: %1").arg(error));
}
