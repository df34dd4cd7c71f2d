// The backup file: writing every workspace to it and reading them back, checked.
#include "backupfile.h"

#include "backuplimits.h"
#include "backupmessages.h"
#include "backupvalidator.h"
#include "backupwriter.h"
#include "safefile.h"

#include <QJsonDocument>

namespace {
using Code = BackupProblem::Code;

BackupParseResult refused(Code code, qint64 number = 0)
{
    BackupProblem problem;
    problem.code = code;
    problem.number = number;
    return BackupParseResult::refused(problem);
}

BackupParseResult tooLarge()
{
    return refused(Code::fileTooLarge, BackupLimits::maxFileBytes / (1024 * 1024));
}

// The deepest nesting of arrays and objects outside strings, counted in one
// pass so that absurdly deep input is refused before any tree is built.
int nestingDepth(QByteArrayView json)
{
    int depth = 0;
    int deepest = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : json) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return deepest;
}
} // namespace

QByteArray BackupFile::serialize(const QList<WorkspaceData> &workspaces)
{
    return BackupWriter::serialize(workspaces);
}

BackupParseResult BackupFile::parse(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return refused(Code::emptyFile);
    if (bytes.size() > BackupLimits::maxFileBytes)
        return tooLarge();
    QByteArrayView text(bytes);
    // Editors on some systems add a byte-order mark; it carries no data.
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    if (!text.isValidUtf8())
        return refused(Code::notUtf8);
    if (nestingDepth(text) > BackupLimits::maxDepth)
        return refused(Code::nestedTooDeeply);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError)
        return refused(Code::notJson, error.offset);
    if (!document.isObject())
        return refused(Code::notAnObject);
    return BackupValidator::validate(document.object());
}

BackupParseResult BackupFile::readFile(const QString &path)
{
    const SafeFile::ReadResult file = SafeFile::read(path, BackupLimits::maxFileBytes);
    switch (file.status) {
    case SafeFile::ReadStatus::Ok:
        return parse(file.bytes);
    case SafeFile::ReadStatus::NotFound:
        return refused(Code::fileNotFound);
    // Directories, pipes and devices are refused: a pipe could block the
    // main thread forever, a device could read without end.
    case SafeFile::ReadStatus::NotRegular:
        return refused(Code::notARegularFile);
    case SafeFile::ReadStatus::TooLarge:
        return tooLarge();
    case SafeFile::ReadStatus::Unreadable:
        break;
    }
    return refused(Code::unreadable);
}

bool BackupFile::writeAtomically(
    const QString &path, const QByteArray &bytes, QString *error, const QStringList &protectedPaths)
{
    return SafeFile::replace(path, bytes, protectedPaths, error);
}

QString BackupFile::exportToFile(
    const QString &path, const QList<WorkspaceData> &workspaces, const QStringList &protectedPaths, bool *failed)
{
    const auto fail = [failed](const QString &line) {
        if (failed)
            *failed = true;
        return line;
    };
    if (failed)
        *failed = false;
    const QByteArray bytes = serialize(workspaces);
    // Reading the text back before writing it guarantees that no backup is
    // ever written that its own import would refuse.
    const BackupParseResult check = parse(bytes);
    if (!check.ok())
        return fail(BackupMessages::exportFailed(check.error));
    QString error;
    if (!writeAtomically(path, bytes, &error, protectedPaths))
        return fail(BackupMessages::exportFailed(error));
    return BackupMessages::exportSummary(workspaces.size());
}

QString BackupFile::importFromFile(const QString &path, const AddWorkspaces &add, bool *failed)
{
    const auto fail = [failed](const QString &line) {
        if (failed)
            *failed = true;
        return line;
    };
    if (failed)
        *failed = false;
    const BackupParseResult result = readFile(path);
    if (!result.ok())
        return fail(BackupMessages::importRefused(result.error));
    if (result.workspaces.isEmpty())
        return BackupMessages::importSummary(0, 0);
    QString error;
    const int added = add(result.workspaces, &error);
    if (added < 0)
        return fail(BackupMessages::importFailed(error.isEmpty() ? QStringLiteral("Speichern nicht möglich") : error));
    return BackupMessages::importSummary(added, result.workspaces.size());
}
