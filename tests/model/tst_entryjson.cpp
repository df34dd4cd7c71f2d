// The entry's members as JSON: one list of names for every form, a strict
// read for files, a lenient one for entries passed between processes.
#include "model/entryjson.h"
#include "storetestdata.h"

#include <QJsonArray>
#include <QTest>
#include <cmath>

class TestEntryJson : public QObject
{
    Q_OBJECT

private slots:
    void objectHoldsExactlyTheMembers()
    {
        const QJsonObject object = EntryJson::toJson(storetest::fullEntry(1));
        QStringList expected;
        for (const char *key : EntryJson::firstMembers)
            expected.append(QLatin1String(key));
        for (const char *key : EntryJson::laterMembers)
            expected.append(QLatin1String(key));
        expected.sort();
        QCOMPARE(object.keys(), expected);
    }

    void strictReadGivesBackWhatWasWritten()
    {
        const EntryData entry = storetest::fullEntry(3);
        JsonFieldProblem problem;
        const std::optional<EntryData> read
            = EntryJson::read(EntryJson::toJson(entry), EntryJson::Reading::strict, &problem);
        QVERIFY(read);
        QCOMPARE(*read, entry);
    }

    void strictReadTakesAnEntryOfTheFirstFilesWithDefaults()
    {
        QJsonObject object = EntryJson::toJson(storetest::fullEntry(2));
        for (const char *key : EntryJson::laterMembers)
            object.remove(QLatin1String(key));
        const std::optional<EntryData> read = EntryJson::read(object, EntryJson::Reading::strict);
        QVERIFY(read);
        QVERIFY(!read->isMaximized);
        QVERIFY(read->additionalTabURLs.isEmpty());
        QVERIFY(!read->virtualDesktop);
        QVERIFY(!read->windowTitle);
    }

    void strictReadNamesTheFirstProblem()
    {
        QJsonObject object = EntryJson::toJson(storetest::fullEntry(2));
        object.remove(QStringLiteral("width"));
        object[QStringLiteral("height")] = QStringLiteral("tall");
        JsonFieldProblem problem;
        QVERIFY(!EntryJson::read(object, EntryJson::Reading::strict, &problem));
        QCOMPARE(problem.key, QStringLiteral("width"));
        QCOMPARE(problem.kind, JsonFieldProblem::Kind::missing);
    }

    void lenientReadKeepsDefaultsForWhatDoesNotFit()
    {
        const EntryData blank;
        QJsonObject object;
        object[QStringLiteral("typeRawValue")] = QStringLiteral("website");
        object[QStringLiteral("websiteURL")] = 7;
        object[QStringLiteral("frameX")] = QStringLiteral("left");
        object[QStringLiteral("frameY")] = 12.5;
        object[QStringLiteral("virtualDesktop")] = 2.5;
        object[QStringLiteral("additionalTabURLs")]
            = QJsonArray { QStringLiteral("https://a.example"), 3, QJsonValue() };
        const std::optional<EntryData> read = EntryJson::read(object, EntryJson::Reading::lenient);
        QVERIFY(read);
        QVERIFY(!read->id.isNull());
        QCOMPARE(read->typeRawValue, QStringLiteral("website"));
        QVERIFY(!read->websiteURL);
        QCOMPARE(read->frameX, blank.frameX);
        QCOMPARE(read->frameY, 12.5);
        QCOMPARE(read->delayAfterLaunch, blank.delayAfterLaunch);
        QVERIFY(!read->virtualDesktop);
        QCOMPARE(read->additionalTabURLs, QStringList { QStringLiteral("https://a.example") });
    }

    void nonFiniteNumbersReadFromTheirWords()
    {
        QJsonObject object = EntryJson::toJson(storetest::fullEntry(1));
        object[QStringLiteral("frameX")] = QStringLiteral("NaN");
        object[QStringLiteral("originalScreenY")] = QStringLiteral("-Infinity");
        const std::optional<EntryData> read = EntryJson::read(object, EntryJson::Reading::strict);
        QVERIFY(read);
        QVERIFY(std::isnan(read->frameX));
        QCOMPARE(read->originalScreenY, -std::numeric_limits<double>::infinity());
    }
};

QTEST_GUILESS_MAIN(TestEntryJson)
#include "tst_entryjson.moc"
