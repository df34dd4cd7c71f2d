// Tests of the exact text a backup file is written as.
#include "backupsamples.h"
#include "model/backup/backupwriter.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace backupsamples;

class TestBackupWriter : public QObject
{
    Q_OBJECT

private:
    static QByteArray single(const WorkspaceData &w) { return BackupWriter::serialize({ w }); }

private slots:
    void emptyListIsExactlyThe32ByteTemplate()
    {
        const QByteArray bytes = BackupWriter::serialize({});
        QCOMPARE(bytes, QByteArray("{\"version\": 1, \"workspaces\": []}"));
        QCOMPARE(bytes.size(), 32);
    }

    void envelopeKeepsItsSpacingAroundWorkspaces()
    {
        const QByteArray bytes = BackupWriter::serialize(richWorkspaces());
        QVERIFY(bytes.startsWith("{\"version\": 1, \"workspaces\": [{\"id\":\""));
        QVERIFY(bytes.endsWith("]}]}"));
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(!bytes.endsWith('\n'));
        QVERIFY(!bytes.contains('\n'));
        QVERIFY(bytes.isValidUtf8());
    }

    void workspacesAreSeparatedByABareComma()
    {
        const QList<WorkspaceData> list = richWorkspaces();
        const QByteArray expected = QByteArray("{\"version\": 1, \"workspaces\": [")
            + BackupWriter::workspaceObject(list[0]) + ',' + BackupWriter::workspaceObject(list[1]) + ','
            + BackupWriter::workspaceObject(list[2]) + "]}";
        QCOMPARE(BackupWriter::serialize(list), expected);
    }

    // The whole text of a small workspace: member order, id form, dates,
    // numbers and nulls in one comparison.
    void oneWorkspaceIsWrittenExactly()
    {
        WorkspaceData w;
        w.id = sampleId(9);
        w.name = QStringLiteral("A");
        w.createdAt = utc(2024, 1, 1, 0, 0, 0, 0);
        w.modifiedAt = w.createdAt;
        EntryData e;
        e.id = sampleId(10);
        e.frameX = 1920.5;
        e.originalScreenWidth = 2560;
        w.entries = { e };
        QCOMPARE(single(w),
            QByteArray("{\"version\": 1, \"workspaces\": [{\"id\":\"00000000-0000-4000-8000-000000000009\","
                       "\"name\":\"A\",\"icon\":\"\",\"category\":\"\",\"createdAt\":\"2024-01-01T00:00:00.000Z\","
                       "\"modifiedAt\":\"2024-01-01T00:00:00.000Z\",\"autoLaunch\":false,\"restoreDocuments\":true,"
                       "\"isFavorite\":false,\"launchCount\":0,\"lastLaunchedAt\":null,\"timeSavedInSeconds\":0,"
                       "\"entries\":[{\"id\":\"00000000-0000-4000-8000-000000000010\",\"typeRawValue\":\"application\","
                       "\"appBundleIdentifier\":null,\"filePath\":null,\"websiteURL\":null,\"monitorID\":null,"
                       "\"frameX\":1920.5,\"frameY\":0,\"width\":0,\"height\":0,\"isFullscreen\":false,"
                       "\"delayAfterLaunch\":0.5,\"originalScreenX\":null,\"originalScreenY\":null,"
                       "\"originalScreenWidth\":2560,\"originalScreenHeight\":null,\"isMaximized\":false,"
                       "\"additionalTabURLs\":[],\"virtualDesktop\":null,\"windowTitle\":null}]}]}"));
    }

    // The members older readers know keep their text; the two added ones come last.
    void browserWindowKeepsItsTabsInOrderAfterTheOlderMembers()
    {
        WorkspaceData w;
        w.entries = { browserWindowEntry() };
        const QByteArray text = single(w);
        QVERIFY2(text.contains("\"appBundleIdentifier\":\"firefox-esr\",\"filePath\":null,"
                               "\"websiteURL\":\"https://example.org/erster\","),
            text.constData());
        QVERIFY2(text.contains("\"originalScreenHeight\":null,\"isMaximized\":true,\"additionalTabURLs\":["
                               "\"https://example.org/zweiter?q=\\\"\xC3\xA4\\\"\",\"data:text/plain,\\\\x\","
                               "\"https://example.org/erster\"],\"virtualDesktop\":2,\"windowTitle\":null}]"),
            text.constData());
    }

    void idsAreUpperCaseWithoutBraces()
    {
        WorkspaceData w;
        w.id = QUuid::fromString(QStringLiteral("{0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d}"));
        w.entries = { EntryData() };
        w.entries[0].id = QUuid::fromString(QStringLiteral("ffffffff-0000-4000-8000-abcdefabcdef"));
        const QByteArray text = single(w);
        QVERIFY(text.contains("\"id\":\"0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D\""));
        QVERIFY(text.contains("\"id\":\"FFFFFFFF-0000-4000-8000-ABCDEFABCDEF\""));
    }

    void datesAreUtcWithMilliseconds()
    {
        WorkspaceData w;
        w.createdAt = QDateTime(QDate(2024, 6, 1), QTime(12, 0, 0, 7), Qt::OffsetFromUTC, 7200);
        w.modifiedAt = utc(1, 1, 1, 0, 0, 0, 0);
        w.lastLaunchedAt = utc(9999, 12, 31, 23, 59, 59, 999);
        const QByteArray text = single(w);
        QVERIFY(text.contains("\"createdAt\":\"2024-06-01T10:00:00.007Z\""));
        QVERIFY(text.contains("\"modifiedAt\":\"0001-01-01T00:00:00.000Z\""));
        QVERIFY(text.contains("\"lastLaunchedAt\":\"9999-12-31T23:59:59.999Z\""));
    }

    void datesWithoutTextAreNull()
    {
        WorkspaceData w;
        w.createdAt = QDateTime();
        w.modifiedAt = utc(9999, 12, 31, 23, 0, 0, 0).addYears(1);
        w.lastLaunchedAt = std::nullopt;
        const QByteArray text = single(w);
        QVERIFY(text.contains("\"createdAt\":null"));
        QVERIFY(text.contains("\"modifiedAt\":null"));
        QVERIFY(text.contains("\"lastLaunchedAt\":null"));
    }

    void presentEmptyTextIsNotNull()
    {
        WorkspaceData w;
        w.entries = { EntryData() };
        w.entries[0].monitorID = QString();
        QVERIFY(single(w).contains("\"monitorID\":\"\""));
    }

    void launchCountKeepsAllSixtyFourBits()
    {
        WorkspaceData w;
        w.launchCount = std::numeric_limits<qint64>::max();
        QVERIFY(single(w).contains("\"launchCount\":9223372036854775807,"));
        w.launchCount = std::numeric_limits<qint64>::min();
        QVERIFY(single(w).contains("\"launchCount\":-9223372036854775808,"));
    }

    void numbersUseTheShortestExactForm()
    {
        WorkspaceData w;
        w.timeSavedInSeconds = 0.1;
        QVERIFY(single(w).contains("\"timeSavedInSeconds\":0.1,"));
        w.timeSavedInSeconds = 2520;
        QVERIFY(single(w).contains("\"timeSavedInSeconds\":2520,"));
        w.timeSavedInSeconds = 1e300;
        QVERIFY(single(w).contains("\"timeSavedInSeconds\":1e+300,"));
    }

    void nonFiniteNumbersAreWrittenAsText()
    {
        WorkspaceData w;
        w.timeSavedInSeconds = std::numeric_limits<double>::quiet_NaN();
        w.entries = { EntryData() };
        w.entries[0].frameX = std::numeric_limits<double>::infinity();
        w.entries[0].frameY = -std::numeric_limits<double>::infinity();
        w.entries[0].originalScreenX = std::numeric_limits<double>::quiet_NaN();
        const QByteArray text = single(w);
        QVERIFY(text.contains("\"timeSavedInSeconds\":\"NaN\""));
        QVERIFY(text.contains("\"frameX\":\"Infinity\""));
        QVERIFY(text.contains("\"frameY\":\"-Infinity\""));
        QVERIFY(text.contains("\"originalScreenX\":\"NaN\""));
        QVERIFY(QJsonDocument::fromJson(text).isObject());
    }

    void negativeZeroIsWrittenAsZero()
    {
        WorkspaceData w;
        w.timeSavedInSeconds = -0.0;
        QVERIFY(single(w).contains("\"timeSavedInSeconds\":0,"));
    }

    void awkwardTextIsEscapedAndStaysValidUtf8()
    {
        WorkspaceData w;
        w.name = QStringLiteral("a\"b\\c\nd\te") + QChar(0x0001) + QChar(u'\0') + QStringLiteral("ä🚀");
        w.icon = QString(QChar(0xD800)) + QStringLiteral("x") + QChar(0xDC00);
        const QByteArray text = single(w);
        QVERIFY(text.contains("\"name\":\"a\\\"b\\\\c\\nd\\te\\u0001\\u0000ä🚀\""));
        QVERIFY(text.contains("\"icon\":\"\\ud800x\\udc00\""));
        QVERIFY(text.isValidUtf8());
        QCOMPARE(QJsonDocument::fromJson(text).object().value("workspaces")[0]["name"].toString(), w.name);
        QCOMPARE(QJsonDocument::fromJson(text).object().value("workspaces")[0]["icon"].toString(), w.icon);
    }

    void unknownCategoryAndTypeAreWrittenAsStored()
    {
        const QByteArray text = BackupWriter::serialize(richWorkspaces());
        QVERIFY(text.contains("\"category\":\"Something Later\""));
        QVERIFY(text.contains("\"typeRawValue\":\"Website\""));
        QVERIFY(text.contains("\"category\":\"Video Editing\""));
    }
};

QTEST_APPLESS_MAIN(TestBackupWriter)
#include "tst_backupwriter.moc"
