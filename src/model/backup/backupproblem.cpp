// Why a backup file was refused, as data: the settings page words it in
// German, the command line in English.
#include "backupproblem.h"

#include <QLocale>

namespace {
using Code = BackupProblem::Code;
using Kind = JsonFieldProblem::Kind;

QString germanCount(qint64 n)
{
    return QLocale(QLocale::German).toString(n);
}

QString englishCount(qint64 n)
{
    return QLocale(QLocale::English).toString(n);
}

QString germanPlace(qsizetype workspace, qsizetype entry)
{
    QString place = QStringLiteral("Workspace %1").arg(workspace);
    if (entry > 0)
        place += QStringLiteral(", Eintrag %1").arg(entry);
    return place;
}

QString englishPlace(qsizetype workspace, qsizetype entry)
{
    QString place = QStringLiteral("workspace %1").arg(workspace);
    if (entry > 0)
        place += QStringLiteral(", entry %1").arg(entry);
    return place;
}

QString germanField(const JsonFieldProblem &field)
{
    QString what;
    switch (field.kind) {
    case Kind::missing:
        what = QStringLiteral("fehlt");
        break;
    case Kind::notText:
        what = QStringLiteral("muss Text sein");
        break;
    case Kind::notTextOrNull:
        what = QStringLiteral("muss Text oder null sein");
        break;
    case Kind::notNumber:
        what = QStringLiteral("muss eine Zahl sein");
        break;
    case Kind::notNumberOrNull:
        what = QStringLiteral("muss eine Zahl oder null sein");
        break;
    case Kind::notWholeNumber:
        what = QStringLiteral("muss eine ganze Zahl sein");
        break;
    case Kind::notBoolean:
        what = QStringLiteral("muss true oder false sein");
        break;
    case Kind::notUuid:
        what = QStringLiteral("ist keine gültige UUID");
        break;
    case Kind::notDate:
        what = QStringLiteral("ist kein gültiges Datum");
        break;
    case Kind::notList:
        what = QStringLiteral("muss eine Liste sein");
        break;
    case Kind::notTextListOrNull:
        what = QStringLiteral("muss eine Liste von Texten oder null sein");
        break;
    case Kind::itemNotText:
        what = QStringLiteral("enthält an Stelle %1 keinen Text").arg(field.count);
        break;
    case Kind::tooLong:
        what = QStringLiteral("ist zu lang (mehr als %1 Zeichen)").arg(germanCount(field.count));
        break;
    case Kind::tooManyItems:
        what = QStringLiteral("hat mehr als %1 Einträge").arg(germanCount(field.count));
        break;
    case Kind::notWholeNumberInRangeOrNull:
        what = QStringLiteral("muss eine ganze Zahl von %1 bis %2 oder null sein")
                   .arg(germanCount(field.minimum), germanCount(field.maximum));
        break;
    case Kind::numberBelowMinimum:
        what = QStringLiteral("muss eine Zahl von mindestens %1 sein").arg(germanCount(field.minimum));
        break;
    }
    return QStringLiteral("Feld „%1“ %2").arg(field.key, what);
}

QString englishField(const JsonFieldProblem &field)
{
    QString what;
    switch (field.kind) {
    case Kind::missing:
        what = QStringLiteral("is missing");
        break;
    case Kind::notText:
        what = QStringLiteral("must be text");
        break;
    case Kind::notTextOrNull:
        what = QStringLiteral("must be text or null");
        break;
    case Kind::notNumber:
        what = QStringLiteral("must be a number");
        break;
    case Kind::notNumberOrNull:
        what = QStringLiteral("must be a number or null");
        break;
    case Kind::notWholeNumber:
        what = QStringLiteral("must be a whole number");
        break;
    case Kind::notBoolean:
        what = QStringLiteral("must be true or false");
        break;
    case Kind::notUuid:
        what = QStringLiteral("is not a valid UUID");
        break;
    case Kind::notDate:
        what = QStringLiteral("is not a valid date");
        break;
    case Kind::notList:
        what = QStringLiteral("must be a list");
        break;
    case Kind::notTextListOrNull:
        what = QStringLiteral("must be a list of texts or null");
        break;
    case Kind::itemNotText:
        what = QStringLiteral("holds no text at position %1").arg(field.count);
        break;
    case Kind::tooLong:
        what = QStringLiteral("is too long (more than %1 characters)").arg(englishCount(field.count));
        break;
    case Kind::tooManyItems:
        what = QStringLiteral("has more than %1 items").arg(englishCount(field.count));
        break;
    case Kind::notWholeNumberInRangeOrNull:
        what = QStringLiteral("must be a whole number from %1 to %2 or null")
                   .arg(englishCount(field.minimum), englishCount(field.maximum));
        break;
    case Kind::numberBelowMinimum:
        what = QStringLiteral("must be a number of at least %1").arg(englishCount(field.minimum));
        break;
    }
    return QStringLiteral("field \"%1\" %2").arg(field.key, what);
}
} // namespace

QString BackupProblem::germanText() const
{
    switch (code) {
    case Code::none:
        return {};
    case Code::emptyFile:
        return QStringLiteral("Datei ist leer");
    case Code::fileTooLarge:
        return QStringLiteral("Datei ist größer als %1 MiB").arg(number);
    case Code::notUtf8:
        return QStringLiteral("Datei ist kein gültiges UTF-8");
    case Code::nestedTooDeeply:
        return QStringLiteral("Datei ist zu tief verschachtelt");
    case Code::notJson:
        return QStringLiteral("Datei ist kein gültiges JSON (Fehler bei Byte %1)").arg(number);
    case Code::notAnObject:
        return QStringLiteral("Datei enthält kein JSON-Objekt");
    case Code::fileNotFound:
        return QStringLiteral("Datei nicht gefunden");
    case Code::notARegularFile:
        return QStringLiteral("Keine normale Datei");
    case Code::unreadable:
        return QStringLiteral("Datei kann nicht gelesen werden");
    case Code::unknownVersion:
        return QStringLiteral("Unbekannte Version %1").arg(number);
    case Code::tooManyWorkspaces:
        return QStringLiteral("Mehr als %1 Workspaces").arg(germanCount(number));
    case Code::tooManyEntries:
        return QStringLiteral("Mehr als %1 Einträge").arg(germanCount(number));
    case Code::workspaceNotAnObject:
    case Code::entryNotAnObject:
        return germanPlace(workspace, entry) + QStringLiteral(" ist kein Objekt");
    case Code::badField:
        return workspace > 0 ? germanPlace(workspace, entry) + QStringLiteral(": ") + germanField(field)
                             : germanField(field);
    case Code::duplicateId:
        return germanPlace(workspace, entry)
            + QStringLiteral(": ID kommt doppelt vor (wie %1)").arg(germanPlace(firstWorkspace, firstEntry));
    }
    return {};
}

QString BackupProblem::englishText() const
{
    switch (code) {
    case Code::none:
        return {};
    case Code::emptyFile:
        return QStringLiteral("the file is empty");
    case Code::fileTooLarge:
        return QStringLiteral("the file is larger than %1 MiB").arg(number);
    case Code::notUtf8:
        return QStringLiteral("the file is not valid UTF-8");
    case Code::nestedTooDeeply:
        return QStringLiteral("the file is nested too deeply");
    case Code::notJson:
        return QStringLiteral("the file is not valid JSON (error at byte %1)").arg(number);
    case Code::notAnObject:
        return QStringLiteral("the file holds no JSON object");
    case Code::fileNotFound:
        return QStringLiteral("file not found");
    case Code::notARegularFile:
        return QStringLiteral("not a regular file");
    case Code::unreadable:
        return QStringLiteral("the file cannot be read");
    case Code::unknownVersion:
        return QStringLiteral("unknown version %1").arg(number);
    case Code::tooManyWorkspaces:
        return QStringLiteral("more than %1 workspaces").arg(englishCount(number));
    case Code::tooManyEntries:
        return QStringLiteral("more than %1 entries").arg(englishCount(number));
    case Code::workspaceNotAnObject:
    case Code::entryNotAnObject:
        return englishPlace(workspace, entry) + QStringLiteral(" is not an object");
    case Code::badField:
        return workspace > 0 ? englishPlace(workspace, entry) + QStringLiteral(": ") + englishField(field)
                             : englishField(field);
    case Code::duplicateId:
        return englishPlace(workspace, entry)
            + QStringLiteral(": the id occurs twice (as in %1)").arg(englishPlace(firstWorkspace, firstEntry));
    }
    return {};
}
