// The store operations behind the command line's commands.
#include "storecommands.h"

#include "model/backup/backupfile.h"
#include "model/backup/backupmessages.h"
#include "model/workspaceactions.h"
#include "model/workspacecategory.h"
#include "model/workspacestore.h"
#include "terminaltext.h"
#include "workspacejson.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

// Names reach the user's terminal: one line each, controls made visible, and
// never so long that one name floods the screen.
constexpr qsizetype maxQuotedName = 200;
constexpr qsizetype maxNameColumn = 40;
constexpr qsizetype maxCategoryColumn = 20;

QString quoted(const QString &text)
{
    return QLatin1Char('"') + TerminalText::elided(TerminalText::field(text), maxQuotedName) + QLatin1Char('"');
}

QString idText(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

QString field(const QJsonObject &request, const char *key)
{
    return request.value(QLatin1String(key)).toString();
}

QString unreadable(const Workspace &workspace)
{
    return QStringLiteral("corvalint: the entries of workspace %1 cannot be read from the store (it may be "
                          "damaged); nothing was done")
        .arg(quoted(workspace.name()));
}

// Every workspace with all its entries, or nothing: a list that silently lacks
// entries the store could not read must never pass for the whole.
std::optional<QList<WorkspaceData>> snapshot(const WorkspaceStore &store, QString *error)
{
    QString reason;
    std::optional<QList<WorkspaceData>> all = store.snapshot(&reason);
    if (!all)
        *error = QStringLiteral("corvalint: the store cannot be read completely (it may be damaged); nothing was "
                                "done: %1")
                     .arg(reason);
    return all;
}

// The counts come from the store's figures, so listing reads no entry.
QString table(const QList<Workspace *> &workspaces)
{
    const QStringList header { QStringLiteral("NAME"), QStringLiteral("CATEGORY"), QStringLiteral("ENTRIES"),
        QStringLiteral("MONITORS") };
    QList<QStringList> rows { header };
    for (const Workspace *workspace : workspaces) {
        rows << QStringList { TerminalText::elided(TerminalText::field(workspace->name()), maxNameColumn),
            TerminalText::elided(TerminalText::field(workspace->category()), maxCategoryColumn),
            QString::number(workspace->entryCount()), QString::number(workspace->requiredMonitorCount()) };
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

std::optional<QJsonObject> launchData(const Workspace &workspace, QString *error)
{
    const QList<EntryData> entries = WorkspaceActions::entriesOf(workspace);
    if (!workspace.entriesLoaded()) {
        *error = unreadable(workspace);
        return std::nullopt;
    }
    return QJsonObject { { QStringLiteral("id"), idText(workspace.id()) }, { QStringLiteral("name"), workspace.name() },
        { QStringLiteral("entries"), entriesToJson(entries) },
        { QStringLiteral("restoreDocuments"), workspace.restoreDocuments() },
        { QStringLiteral("autoLaunch"), workspace.autoLaunch() } };
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
    if (request.value(QLatin1String("json")).toBool()) {
        QString error;
        const std::optional<QList<WorkspaceData>> all = snapshot(m_store, &error);
        if (!all)
            return CommandResult::failure(error);
        QJsonArray array;
        for (const WorkspaceData &data : *all)
            array.append(workspaceToJson(data));
        CommandResult result;
        result.out = QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented));
        return result;
    }
    CommandResult result;
    if (m_store.count() > 0)
        result.out = table(m_store.workspaces());
    return result;
}

CommandResult StoreCommands::exportFile(const QJsonObject &request) const
{
    QString error;
    const std::optional<QList<WorkspaceData>> snapshotted = snapshot(m_store, &error);
    if (!snapshotted)
        return CommandResult::failure(error);
    const QList<WorkspaceData> &all = *snapshotted;
    const QByteArray bytes = BackupFile::serialize(all);
    constexpr auto english = BackupMessages::Language::english;
    // A file that would not read back is not worth replacing a good one with.
    const BackupParseResult check = BackupFile::parse(bytes);
    if (!check.ok())
        return CommandResult::failure(
            QStringLiteral("corvalint: ") + BackupMessages::exportFailed(check.error, english));
    // The store's own files are never a backup's target, whatever path names them.
    if (!BackupFile::writeAtomically(field(request, "file"), bytes, &error, m_store.ownFiles()))
        return CommandResult::failure(QStringLiteral("corvalint: ") + BackupMessages::exportFailed(error, english));
    return CommandResult::success(BackupMessages::exportSummary(all.size(), english));
}

CommandResult StoreCommands::importFile(const QJsonObject &request)
{
    // The command line speaks English; the same results read in German on the settings page.
    constexpr auto english = BackupMessages::Language::english;
    const BackupParseResult parsed = BackupFile::readFile(field(request, "file"));
    if (!parsed.ok())
        return CommandResult::failure(
            QStringLiteral("corvalint: ") + BackupMessages::importRefused(parsed.problem, english));
    QString error;
    const int added = m_store.addWorkspaces(parsed.workspaces, &error);
    if (added < 0)
        return CommandResult::failure(QStringLiteral("corvalint: ") + BackupMessages::importFailed(error, english));
    return CommandResult::success(BackupMessages::importSummary(added, parsed.workspaces.size(), english));
}

CommandResult StoreCommands::remove(const QJsonObject &request)
{
    QString error;
    Workspace *workspace = resolve(field(request, "target"), &error);
    if (!workspace)
        return CommandResult::failure(error);
    const QString line
        = QStringLiteral("Deleted workspace %1 (%2)").arg(quoted(workspace->name()), idText(workspace->id()));
    // Kept so that a delete that cannot be saved is withdrawn, not left to a
    // later save after the command reported failure.
    const WorkspaceData before = workspace->data();
    if (!workspace->entriesLoaded())
        return CommandResult::failure(unreadable(*workspace));
    m_store.remove(workspace);
    if (auto failed = saveFailure()) {
        m_store.insert(Workspace::fromData(before));
        return withdrawn(*failed);
    }
    return CommandResult::success(line);
}

CommandResult StoreCommands::create(const QJsonObject &request)
{
    const QString name = field(request, "name");
    if (name.trimmed().isEmpty())
        return CommandResult::failure(QStringLiteral("corvalint: a workspace needs a name that is not blank"), 2);
    // Names are how the other commands find a workspace: a second one of the
    // same name could not be launched by name any more.
    for (const Workspace *existing : m_store.workspaces()) {
        if (existing->name() == name)
            return CommandResult::failure(
                QStringLiteral("corvalint: a workspace named %1 exists already; use \"corvalint update NAME\" to "
                               "refresh it from the desktop, or choose another name")
                    .arg(quoted(name)));
    }
    const QString category = field(request, "category");
    if (!categoryFromText(category)) {
        QStringList names;
        for (WorkspaceCategory c : allCategories())
            names << quoted(categoryText(c));
        return CommandResult::failure(QStringLiteral("corvalint: unknown category %1; choose one of %2")
                                          .arg(quoted(category), names.join(QLatin1String(", "))),
            2);
    }
    const QList<EntryData> entries = entriesFromJson(request.value(QLatin1String("entries")).toArray());
    const WorkspaceActions::Outcome made = actions().create(name, field(request, "icon"), category, entries);
    if (!made.saved())
        return withdrawn(saveFailure(made));
    CommandResult result = CommandResult::success(QStringLiteral("Saved workspace %1 with %2 entries (%3)")
                                                      .arg(quoted(name))
                                                      .arg(entries.size())
                                                      .arg(idText(made.workspace->id())));
    result.data = { { QStringLiteral("id"), idText(made.workspace->id()) } };
    return result;
}

CommandResult StoreCommands::update(const QJsonObject &request)
{
    QString error;
    Workspace *workspace = resolve(field(request, "target"), &error);
    if (!workspace)
        return CommandResult::failure(error);
    const QList<EntryData> captured = entriesFromJson(request.value(QLatin1String("entries")).toArray());
    // Entries load on first use; only then is it known whether they could be read.
    workspace->entries();
    if (!workspace->entriesLoaded())
        return CommandResult::failure(unreadable(*workspace));
    const int before = workspace->entryCount();
    const WorkspaceActions::Outcome refreshed = actions().refresh(*workspace, captured);
    if (!refreshed.saved())
        return withdrawn(saveFailure(refreshed));
    const int added = workspace->entryCount() - before;
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
    const std::optional<QJsonObject> data = launchData(*workspace, &error);
    if (!data)
        return CommandResult::failure(error);
    result.data = *data;
    if (request.value(QLatin1String("count")).toBool()) {
        // As in the main window: a failed save does not stop the launch; the
        // count stays pending and a later save may still write it.
        const WorkspaceActions::Outcome counted = actions().recordLaunch(*workspace);
        if (!counted.saved())
            result.err = saveFailure(counted).err;
    }
    return result;
}

CommandResult StoreCommands::show(const QJsonObject &request) const
{
    QString error;
    Workspace *workspace = resolve(field(request, "target"), &error);
    if (!workspace)
        return CommandResult::failure(error);
    const std::optional<QJsonObject> data = launchData(*workspace, &error);
    if (!data)
        return CommandResult::failure(error);
    CommandResult result;
    result.data = *data;
    return result;
}

CommandResult StoreCommands::withdrawn(CommandResult failure)
{
    failure.err += QStringLiteral("corvalint: nothing was changed\n");
    return failure;
}

std::optional<CommandResult> StoreCommands::saveFailure()
{
    QString error;
    if (m_store.save(&error))
        return std::nullopt;
    return saveFailure(WorkspaceActions::Outcome { nullptr, error });
}

CommandResult StoreCommands::saveFailure(const WorkspaceActions::Outcome &outcome)
{
    return CommandResult::failure(QStringLiteral("corvalint: could not save the store: %1").arg(outcome.saveError));
}

WorkspaceActions StoreCommands::actions()
{
    return WorkspaceActions(m_store, WorkspaceActions::FailedSave::withdraw, m_now);
}
