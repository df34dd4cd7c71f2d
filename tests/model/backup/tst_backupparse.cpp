// Tests that reading a backup accepts what it should and refuses bad files with a reason.
#include "backupsamples.h"
#include "model/backup/backupfile.h"
#include "model/backup/backuplimits.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <functional>

using namespace backupsamples;

namespace {
// The rich sample as a JSON tree, changed by `edit`, as file bytes.
QByteArray edited(const std::function<void(QJsonObject &root)> &edit)
{
    QJsonObject root = QJsonDocument::fromJson(BackupFile::serialize(richWorkspaces())).object();
    edit(root);
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

// Changes member `key` of workspace `w` (0-based); a null `value` removes it.
QByteArray withWorkspaceMember(int w, const QString &key, const QJsonValue &value)
{
    return edited([&](QJsonObject &root) {
        QJsonArray list = root["workspaces"].toArray();
        QJsonObject o = list[w].toObject();
        if (value.isUndefined())
            o.remove(key);
        else
            o[key] = value;
        list[w] = o;
        root["workspaces"] = list;
    });
}

QByteArray withEntryMember(int e, const QString &key, const QJsonValue &value)
{
    return edited([&](QJsonObject &root) {
        QJsonArray list = root["workspaces"].toArray();
        QJsonObject w = list[0].toObject();
        QJsonArray entries = w["entries"].toArray();
        QJsonObject o = entries[e].toObject();
        if (value.isUndefined())
            o.remove(key);
        else
            o[key] = value;
        entries[e] = o;
        w["entries"] = entries;
        list[0] = w;
        root["workspaces"] = list;
    });
}

QByteArray repeated(const QByteArray &item, qsizetype count)
{
    QByteArray out;
    out.reserve(item.size() * count + count);
    for (qsizetype i = 0; i < count; ++i) {
        if (i > 0)
            out += ',';
        out += item;
    }
    return out;
}

const QJsonValue kRemove = QJsonValue(QJsonValue::Undefined);
} // namespace

class TestBackupParse : public QObject
{
    Q_OBJECT

private slots:
    void readsBackTheLegacyEmptyTemplate()
    {
        const BackupParseResult r = BackupFile::parse("{\"version\": 1, \"workspaces\": []}");
        QVERIFY2(r.ok(), qPrintable(r.error));
        QVERIFY(r.workspaces.isEmpty());
    }

    void refusesBadFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QByteArray good = BackupFile::serialize(richWorkspaces());

        QTest::newRow("empty") << QByteArray() << "Datei ist leer";
        QTest::newRow("truncated") << good.left(good.size() / 2) << "Datei ist kein gültiges JSON (Fehler bei Byte";
        QTest::newRow("garbage after the end") << good + " x"
                                               << "Datei ist kein gültiges JSON";
        QTest::newRow("latin-1 byte") << QByteArray("{\"version\": 1, \"workspaces\": [], \"x\": \"\xE4\"}")
                                      << "Datei ist kein gültiges UTF-8";
        QTest::newRow("overlong slash") << QByteArray("{\"version\": 1, \"workspaces\": [], \"x\": \"\xC0\xAF\"}")
                                        << "Datei ist kein gültiges UTF-8";
        QTest::newRow("encoded surrogate")
            << QByteArray("{\"version\": 1, \"workspaces\": [], \"x\": \"\xED\xA0\x80\"}")
            << "Datei ist kein gültiges UTF-8";
        QTest::newRow("beyond U+10FFFF") << QByteArray(
            "{\"version\": 1, \"workspaces\": [], \"x\": \"\xF4\x90\x80\x80\"}")
                                         << "Datei ist kein gültiges UTF-8";
        QTest::newRow("cut sequence at end")
            << QByteArray("{\"version\": 1, \"workspaces\": []}\xE2\x82") << "Datei ist kein gültiges UTF-8";
        QTest::newRow("utf-16") << QByteArray("\xFF\xFE{\0}\0", 6) << "Datei ist kein gültiges UTF-8";
        QTest::newRow("array at top") << QByteArray("[1]") << "Datei enthält kein JSON-Objekt";
        QTest::newRow("version missing") << QByteArray("{\"workspaces\": []}") << "Feld „version“ fehlt";
        QTest::newRow("version 2") << QByteArray("{\"version\": 2, \"workspaces\": []}") << "Unbekannte Version 2";
        QTest::newRow("version 0") << QByteArray("{\"version\": 0, \"workspaces\": []}") << "Unbekannte Version 0";
        QTest::newRow("version as text") << QByteArray("{\"version\": \"1\", \"workspaces\": []}")
                                         << "Feld „version“ muss eine ganze Zahl sein";
        QTest::newRow("version fractional")
            << QByteArray("{\"version\": 1.5, \"workspaces\": []}") << "Feld „version“ muss eine ganze Zahl sein";
        QTest::newRow("version null") << QByteArray("{\"version\": null, \"workspaces\": []}")
                                      << "Feld „version“ muss eine ganze Zahl sein";
        QTest::newRow("workspaces missing") << QByteArray("{\"version\": 1}") << "Feld „workspaces“ fehlt";
        QTest::newRow("workspaces an object")
            << QByteArray("{\"version\": 1, \"workspaces\": {}}") << "Feld „workspaces“ muss eine Liste sein";
        QTest::newRow("workspace not an object")
            << QByteArray("{\"version\": 1, \"workspaces\": [[]]}") << "Workspace 1 ist kein Objekt";
        QTest::newRow("name missing in third")
            << withWorkspaceMember(2, "name", kRemove) << "Workspace 3: Feld „name“ fehlt";
        QTest::newRow("name a number") << withWorkspaceMember(0, "name", 5)
                                       << "Workspace 1: Feld „name“ muss Text sein";
        QTest::newRow("name null") << withWorkspaceMember(1, "name", QJsonValue::Null)
                                   << "Workspace 2: Feld „name“ muss Text sein";
        QTest::newRow("category missing")
            << withWorkspaceMember(0, "category", kRemove) << "Workspace 1: Feld „category“ fehlt";
        QTest::newRow("id not a uuid") << withWorkspaceMember(0, "id", "not-a-uuid")
                                       << "Workspace 1: Feld „id“ ist keine gültige UUID";
        QTest::newRow("id with braces") << withWorkspaceMember(0, "id", "{0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D}")
                                        << "Workspace 1: Feld „id“ ist keine gültige UUID";
        QTest::newRow("id a number") << withWorkspaceMember(0, "id", 7)
                                     << "Workspace 1: Feld „id“ ist keine gültige UUID";
        QTest::newRow("autoLaunch as text") << withWorkspaceMember(0, "autoLaunch", "true")
                                            << "Workspace 1: Feld „autoLaunch“ muss true oder false sein";
        QTest::newRow("isFavorite as 1") << withWorkspaceMember(0, "isFavorite", 1)
                                         << "Workspace 1: Feld „isFavorite“ muss true oder false sein";
        QTest::newRow("launchCount fractional") << withWorkspaceMember(0, "launchCount", 1.5)
                                                << "Workspace 1: Feld „launchCount“ muss eine ganze Zahl sein";
        QTest::newRow("launchCount beyond 64 bits")
            << QByteArray(withWorkspaceMember(0, "launchCount", 4242).replace("4242", "9223372036854775808"))
            << "Workspace 1: Feld „launchCount“ muss eine ganze Zahl sein";
        QTest::newRow("launchCount NaN text") << withWorkspaceMember(0, "launchCount", "NaN")
                                              << "Workspace 1: Feld „launchCount“ muss eine ganze Zahl sein";
        QTest::newRow("createdAt prose") << withWorkspaceMember(0, "createdAt", "gestern")
                                         << "Workspace 1: Feld „createdAt“ ist kein gültiges Datum";
        QTest::newRow("createdAt without zone") << withWorkspaceMember(0, "createdAt", "2024-03-01T08:15:30.123")
                                                << "Workspace 1: Feld „createdAt“ ist kein gültiges Datum";
        QTest::newRow("createdAt 30 February") << withWorkspaceMember(0, "createdAt", "2024-02-30T08:15:30.123Z")
                                               << "Workspace 1: Feld „createdAt“ ist kein gültiges Datum";
        QTest::newRow("createdAt hour 25") << withWorkspaceMember(0, "createdAt", "2024-02-03T25:15:30Z")
                                           << "Workspace 1: Feld „createdAt“ ist kein gültiges Datum";
        QTest::newRow("createdAt a number") << withWorkspaceMember(0, "createdAt", 1700000000)
                                            << "Workspace 1: Feld „createdAt“ ist kein gültiges Datum";
        QTest::newRow("lastLaunchedAt missing")
            << withWorkspaceMember(1, "lastLaunchedAt", kRemove) << "Workspace 2: Feld „lastLaunchedAt“ fehlt";
        QTest::newRow("timeSaved as text") << withWorkspaceMember(0, "timeSavedInSeconds", "20")
                                           << "Workspace 1: Feld „timeSavedInSeconds“ muss eine Zahl sein";
        QTest::newRow("timeSaved lower-case nan") << withWorkspaceMember(0, "timeSavedInSeconds", "nan")
                                                  << "Workspace 1: Feld „timeSavedInSeconds“ muss eine Zahl sein";
        QTest::newRow("entries missing") << withWorkspaceMember(1, "entries", kRemove)
                                         << "Workspace 2: Feld „entries“ fehlt";
        QTest::newRow("entries null") << withWorkspaceMember(1, "entries", QJsonValue::Null)
                                      << "Workspace 2: Feld „entries“ muss eine Liste sein";
        QTest::newRow("entry not an object")
            << withWorkspaceMember(1, "entries", QJsonArray { 1 }) << "Workspace 2, Eintrag 1 ist kein Objekt";
        QTest::newRow("entry frameX missing")
            << withEntryMember(1, "frameX", kRemove) << "Workspace 1, Eintrag 2: Feld „frameX“ fehlt";
        QTest::newRow("entry frameX as text")
            << withEntryMember(0, "frameX", "12") << "Workspace 1, Eintrag 1: Feld „frameX“ muss eine Zahl sein";
        QTest::newRow("entry typeRawValue null") << withEntryMember(2, "typeRawValue", QJsonValue::Null)
                                                 << "Workspace 1, Eintrag 3: Feld „typeRawValue“ muss Text sein";
        QTest::newRow("entry monitorID a number") << withEntryMember(
            0, "monitorID", 5) << "Workspace 1, Eintrag 1: Feld „monitorID“ muss Text oder null sein";
        QTest::newRow("entry optional missing")
            << withEntryMember(1, "websiteURL", kRemove) << "Workspace 1, Eintrag 2: Feld „websiteURL“ fehlt";
        QTest::newRow("entry screen bool") << withEntryMember(0, "originalScreenX",
            true) << "Workspace 1, Eintrag 1: Feld „originalScreenX“ muss eine Zahl oder null sein";
        QTest::newRow("entry isFullscreen null") << withEntryMember(0, "isFullscreen",
            QJsonValue::Null) << "Workspace 1, Eintrag 1: Feld „isFullscreen“ muss true oder false sein";
        QTest::newRow("entry isMaximized null") << withEntryMember(3, "isMaximized",
            QJsonValue::Null) << "Workspace 1, Eintrag 4: Feld „isMaximized“ muss true oder false sein";
        QTest::newRow("entry isMaximized as 1") << withEntryMember(
            3, "isMaximized", 1) << "Workspace 1, Eintrag 4: Feld „isMaximized“ muss true oder false sein";
        QTest::newRow("entry tabs as text")
            << withEntryMember(3, "additionalTabURLs", "https://example.org/")
            << "Workspace 1, Eintrag 4: Feld „additionalTabURLs“ muss eine Liste von Texten oder null sein";
        QTest::newRow("entry tabs an object")
            << withEntryMember(3, "additionalTabURLs", QJsonObject { { "1", "x" } })
            << "Workspace 1, Eintrag 4: Feld „additionalTabURLs“ muss eine Liste von Texten oder null sein";
        QTest::newRow("entry tab a number")
            << withEntryMember(3, "additionalTabURLs", QJsonArray { "https://a.example/", 2 })
            << "Workspace 1, Eintrag 4: Feld „additionalTabURLs“ enthält an Stelle 2 keinen Text";
        QTest::newRow("entry tab null")
            << withEntryMember(1, "additionalTabURLs", QJsonArray { QJsonValue::Null })
            << "Workspace 1, Eintrag 2: Feld „additionalTabURLs“ enthält an Stelle 1 keinen Text";
        QTest::newRow("entry desktop as text") << withEntryMember(3, "virtualDesktop",
            "2") << "Workspace 1, Eintrag 4: Feld „virtualDesktop“ muss eine ganze Zahl von -1 bis";
        QTest::newRow("entry desktop fractional") << withEntryMember(3, "virtualDesktop",
            1.5) << "Workspace 1, Eintrag 4: Feld „virtualDesktop“ muss eine ganze Zahl von -1 bis";
        QTest::newRow("entry desktop below every desktop") << withEntryMember(
            3, "virtualDesktop", -2) << "Workspace 1, Eintrag 4: Feld „virtualDesktop“ muss eine ganze Zahl von -1 bis";
        QTest::newRow("entry desktop too large") << withEntryMember(3, "virtualDesktop",
            1e9) << "Workspace 1, Eintrag 4: Feld „virtualDesktop“ muss eine ganze Zahl von -1 bis";
        QTest::newRow("entry id lower-case garbage") << withEntryMember(0, "id", "0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4g")
                                                     << "Workspace 1, Eintrag 1: Feld „id“ ist keine gültige UUID";
    }

    void refusesBadFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        const BackupParseResult r = BackupFile::parse(bytes);
        QVERIFY2(!r.ok(), "accepted");
        QVERIFY2(r.error.startsWith(reason), qPrintable(r.error));
        QVERIFY(r.workspaces.isEmpty());
        // Every refusal carries its reason as data, worded alike in German.
        QCOMPARE(r.problem.germanText(), r.error);
        QVERIFY(!r.problem.englishText().isEmpty());
    }

    void aRefusalSaysWhereAsData()
    {
        const BackupParseResult r = BackupFile::parse(withEntryMember(3, "isMaximized", 1));
        QCOMPARE(r.problem.code, BackupProblem::Code::badField);
        QCOMPARE(r.problem.workspace, qsizetype(1));
        QCOMPARE(r.problem.entry, qsizetype(4));
        QCOMPARE(r.problem.field.key, QStringLiteral("isMaximized"));
        QCOMPARE(r.problem.field.kind, JsonFieldProblem::Kind::notBoolean);
        QCOMPARE(r.problem.englishText(),
            QStringLiteral("workspace 1, entry 4: field \"isMaximized\" must be true or false"));
    }

    void readsBackupsFromBeforeTabsAndMaximising()
    {
        const QByteArray bytes = edited([](QJsonObject &root) {
            QJsonArray list = root["workspaces"].toArray();
            for (qsizetype w = 0; w < list.size(); ++w) {
                QJsonObject workspace = list[w].toObject();
                QJsonArray entries = workspace["entries"].toArray();
                for (qsizetype e = 0; e < entries.size(); ++e) {
                    QJsonObject entry = entries[e].toObject();
                    entry.remove("isMaximized");
                    entry.remove("additionalTabURLs");
                    entry.remove("virtualDesktop");
                    entries[e] = entry;
                }
                workspace["entries"] = entries;
                list[w] = workspace;
            }
            root["workspaces"] = list;
        });
        QVERIFY(!bytes.contains("isMaximized") && !bytes.contains("additionalTabURLs")
            && !bytes.contains("virtualDesktop"));
        const BackupParseResult r = BackupFile::parse(bytes);
        QVERIFY2(r.ok(), qPrintable(r.error));
        QList<WorkspaceData> expected = richWorkspaces();
        expected[0].entries[3].isMaximized = false;
        expected[0].entries[3].additionalTabURLs.clear();
        expected[0].entries[3].virtualDesktop.reset();
        QCOMPARE(r.workspaces, expected);
    }

    void websiteKeepsItsBrowserAndItsTabsInOrder()
    {
        const BackupParseResult r = BackupFile::parse(BackupFile::serialize(richWorkspaces()));
        QVERIFY2(r.ok(), qPrintable(r.error));
        const EntryData &browser = r.workspaces[0].entries[3];
        QCOMPARE(browser.type(), EntryType::website);
        QCOMPARE(browser.appBundleIdentifier, std::optional<QString>(QStringLiteral("firefox-esr")));
        QCOMPARE(browser.websiteURL, browserWindowEntry().websiteURL);
        QCOMPARE(browser.additionalTabURLs, browserWindowEntry().additionalTabURLs);
        QVERIFY(browser.isMaximized);
        QCOMPARE(browser.virtualDesktop, 2);
    }

    void nullTabListReadsAsNone()
    {
        const BackupParseResult r = BackupFile::parse(withEntryMember(3, "additionalTabURLs", QJsonValue::Null));
        QVERIFY2(r.ok(), qPrintable(r.error));
        QVERIFY(r.workspaces[0].entries[3].additionalTabURLs.isEmpty());
    }

    void tabListIsBoundedInCountAndLength()
    {
        QList<WorkspaceData> list = richWorkspaces();
        QStringList &tabs = list[0].entries[3].additionalTabURLs;
        tabs.clear();
        for (qsizetype i = 0; i < BackupLimits::maxAdditionalTabs; ++i)
            tabs.append(QStringLiteral("https://example.org/%1").arg(i));
        tabs.last() = QString(BackupLimits::maxStringLength, u'x');
        const BackupParseResult atTheLimits = BackupFile::parse(BackupFile::serialize(list));
        QVERIFY2(atTheLimits.ok(), qPrintable(atTheLimits.error));
        QCOMPARE(atTheLimits.workspaces[0].entries[3].additionalTabURLs, tabs);

        tabs.last().append(u'x');
        QCOMPARE(BackupFile::parse(BackupFile::serialize(list)).error,
            QStringLiteral(
                "Workspace 1, Eintrag 4: Feld „additionalTabURLs“ ist zu lang (mehr als 1.048.576 Zeichen)"));
        tabs.last() = QStringLiteral("https://example.org/last");
        tabs.append(QStringLiteral("https://example.org/one-too-many"));
        QCOMPARE(BackupFile::parse(BackupFile::serialize(list)).error,
            QStringLiteral("Workspace 1, Eintrag 4: Feld „additionalTabURLs“ hat mehr als 500 Einträge"));
    }

    void everyTruncationIsRefused()
    {
        const QByteArray good = BackupFile::serialize(richWorkspaces());
        for (qsizetype n = 0; n < good.size(); ++n) {
            const BackupParseResult r = BackupFile::parse(good.left(n));
            QVERIFY2(!r.ok(), qPrintable(QString::number(n)));
            QVERIFY(!r.error.isEmpty());
        }
    }

    void refusesDuplicateWorkspaceIds()
    {
        QList<WorkspaceData> list = richWorkspaces();
        list[2].id = list[0].id;
        const BackupParseResult r = BackupFile::parse(BackupFile::serialize(list));
        QCOMPARE(r.error, QStringLiteral("Workspace 3: ID kommt doppelt vor (wie Workspace 1)"));
    }

    void refusesDuplicateEntryIdsAcrossWorkspaces()
    {
        QList<WorkspaceData> list = richWorkspaces();
        list[2].entries[0].id = list[0].entries[1].id;
        const BackupParseResult r = BackupFile::parse(BackupFile::serialize(list));
        QCOMPARE(r.error, QStringLiteral("Workspace 3, Eintrag 1: ID kommt doppelt vor (wie Workspace 1, Eintrag 2)"));
    }

    void refusesDeepNesting()
    {
        const QByteArray deep = QByteArray("{\"version\": 1, \"workspaces\": [], \"later\": ") + QByteArray(40, '[')
            + QByteArray(40, ']') + '}';
        QCOMPARE(BackupFile::parse(deep).error, QStringLiteral("Datei ist zu tief verschachtelt"));
        const QByteArray absurd = QByteArray(1'000'000, '[') + QByteArray(1'000'000, ']');
        QCOMPARE(BackupFile::parse(absurd).error, QStringLiteral("Datei ist zu tief verschachtelt"));
    }

    void bracketsInsideTextDoNotCountAsNesting()
    {
        QList<WorkspaceData> list = richWorkspaces();
        list[0].name = QString(100, u'[') + QStringLiteral("\\\"") + QString(100, u'{');
        const BackupParseResult r = BackupFile::parse(BackupFile::serialize(list));
        QVERIFY2(r.ok(), qPrintable(r.error));
        QCOMPARE(r.workspaces[0].name, list[0].name);
    }

    void refusesHugeStrings()
    {
        QList<WorkspaceData> list = richWorkspaces();
        list[1].entries = { EntryData() };
        list[1].entries[0].filePath = QString(BackupLimits::maxStringLength + 1, u'x');
        QCOMPARE(BackupFile::parse(BackupFile::serialize(list)).error,
            QStringLiteral("Workspace 2, Eintrag 1: Feld „filePath“ ist zu lang (mehr als 1.048.576 Zeichen)"));
        list[1].entries[0].filePath = QString(BackupLimits::maxStringLength, u'x');
        QVERIFY(BackupFile::parse(BackupFile::serialize(list)).ok());
    }

    void refusesMoreEntriesThanTheLimit()
    {
        const QByteArray bytes = QByteArray("{\"version\": 1, \"workspaces\": [{\"entries\": [")
            + repeated("{}", BackupLimits::maxEntries - 5) + "]},{\"entries\": [" + repeated("{}", 6) + "]}]}";
        QCOMPARE(BackupFile::parse(bytes).error, QStringLiteral("Mehr als 100.000 Einträge"));
    }

    void refusesMoreWorkspacesThanTheLimit()
    {
        const QByteArray bytes
            = QByteArray("{\"version\": 1, \"workspaces\": [") + repeated("{}", BackupLimits::maxWorkspaces + 1) + "]}";
        QCOMPARE(BackupFile::parse(bytes).error, QStringLiteral("Mehr als 100.000 Workspaces"));
    }

    void refusesBytesBeyondTheSizeLimit()
    {
        QByteArray bytes(BackupLimits::maxFileBytes + 1, ' ');
        bytes.replace(0, 32, "{\"version\": 1, \"workspaces\": []}");
        QCOMPARE(BackupFile::parse(bytes).error, QStringLiteral("Datei ist größer als 64 MiB"));
    }

    void ignoresMembersAddedLater()
    {
        const QByteArray bytes = edited([](QJsonObject &root) {
            root["exportedBy"] = "Corvalint 2.0";
            QJsonArray list = root["workspaces"].toArray();
            QJsonObject w = list[0].toObject();
            w["colorTag"] = QJsonObject { { "r", 1 }, { "g", QJsonArray { 1, 2 } } };
            QJsonArray entries = w["entries"].toArray();
            QJsonObject e = entries[0].toObject();
            e["zoom"] = 1.25;
            entries[0] = e;
            w["entries"] = entries;
            list[0] = w;
            root["workspaces"] = list;
        });
        const BackupParseResult r = BackupFile::parse(bytes);
        QVERIFY2(r.ok(), qPrintable(r.error));
        const QString diff = difference(r.workspaces, richWorkspaces());
        QVERIFY2(diff.isEmpty(), qPrintable(diff));
    }

    void toleratesAByteOrderMark()
    {
        const BackupParseResult r = BackupFile::parse("\xEF\xBB\xBF" + BackupFile::serialize(richWorkspaces()));
        QVERIFY2(r.ok(), qPrintable(r.error));
        QCOMPARE(r.workspaces.size(), 3);
    }

    void acceptsLowerCaseIds()
    {
        const QByteArray bytes = withWorkspaceMember(0, "id", "0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d");
        const BackupParseResult r = BackupFile::parse(bytes);
        QVERIFY2(r.ok(), qPrintable(r.error));
        QCOMPARE(r.workspaces[0].id, QUuid::fromString(QStringLiteral("0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D")));
    }

    void readsDatesWithAnOffsetAsTheSameMoment()
    {
        const BackupParseResult r = BackupFile::parse(withWorkspaceMember(0, "createdAt", "2024-03-01T10:15:30+02:00"));
        QVERIFY2(r.ok(), qPrintable(r.error));
        QCOMPARE(r.workspaces[0].createdAt, utc(2024, 3, 1, 8, 15, 30, 0));
        QCOMPARE(r.workspaces[0].createdAt.timeSpec(), Qt::UTC);
    }

    void readsNullDatesAsUnknown()
    {
        const BackupParseResult r = BackupFile::parse(withWorkspaceMember(0, "modifiedAt", QJsonValue::Null));
        QVERIFY2(r.ok(), qPrintable(r.error));
        QVERIFY(!r.workspaces[0].modifiedAt.isValid());
    }

    void readsWholeDoublesAsIntegers()
    {
        const BackupParseResult r = BackupFile::parse(withWorkspaceMember(0, "launchCount", 3.0));
        QVERIFY2(r.ok(), qPrintable(r.error));
        QCOMPARE(r.workspaces[0].launchCount, 3);
    }

    void keepsUnknownCategoryAndTypeTextsAsStored()
    {
        const BackupParseResult r = BackupFile::parse(BackupFile::serialize(richWorkspaces()));
        QVERIFY2(r.ok(), qPrintable(r.error));
        QCOMPARE(r.workspaces[2].category, QStringLiteral("Something Later"));
        QCOMPARE(r.workspaces[2].entries[0].typeRawValue, QStringLiteral("Website"));
        QCOMPARE(r.workspaces[2].entries[0].type(), EntryType::application);
    }
};

QTEST_APPLESS_MAIN(TestBackupParse)
#include "tst_backupparse.moc"
