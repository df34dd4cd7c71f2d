// What the store makes of whatever another program left in the columns of a
// browser entry's maximised flag and further tabs: never a crash, never a
// failed read, and never more tabs than a backup may carry.
#include "model/backup/backuplimits.h"
#include "model/workspacestore.h"
#include "storetestdata.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

using storetest::rawSql;

class TestStoreTabColumn : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString filePath() const { return m_dir.filePath(WorkspaceStore::fileName()); }

    // Stores one website entry, lets `sql` change its row, and reads it back
    // through the main context and a read context.
    std::optional<EntryData> storeAndRead(const QString &sql)
    {
        for (const QString &suffix : { QString(), QStringLiteral("-wal"), QStringLiteral("-shm") })
            QFile::remove(filePath() + suffix);
        {
            QString error;
            auto store = WorkspaceStore::open(m_dir.path(), &error);
            if (!store)
                return std::nullopt;
            WorkspaceData w = storetest::simpleWorkspace(QStringLiteral("w"), QDateTime::currentDateTimeUtc(), 1);
            w.entries[0].typeRawValue = QStringLiteral("website");
            store->insert(Workspace::fromData(w));
            if (!store->save())
                return std::nullopt;
        }
        bool ok = false;
        rawSql(filePath(), sql, &ok);
        if (!ok)
            return std::nullopt;
        QString error;
        auto store = WorkspaceStore::open(m_dir.path(), &error);
        if (!store)
            return std::nullopt;
        const std::optional<QList<WorkspaceData>> fetched = store->fetchAll(true);
        const EntryData loaded = store->workspaces().at(0)->entries().at(0)->data();
        if (!fetched || fetched->at(0).entries.at(0) != loaded)
            return std::nullopt;
        return loaded;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void damagedTabListReadsAsNoFurtherTabs_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("NULL") << "NULL";
        QTest::newRow("not JSON") << "'[\"https://a.example/\", '";
        QTest::newRow("an object") << "'{\"tabs\": [\"https://a.example/\"]}'";
        QTest::newRow("a string") << "'\"https://a.example/\"'";
        QTest::newRow("a number") << "42";
        QTest::newRow("a blob") << "X'5B2268747470733A2F2F612E6578616D706C652F225D'";
        QTest::newRow("empty text") << "''";
    }

    void damagedTabListReadsAsNoFurtherTabs()
    {
        QFETCH(QString, value);
        const std::optional<EntryData> entry
            = storeAndRead(QStringLiteral("UPDATE entry SET additionalTabURLs = %1, isMaximized = 'yes'").arg(value));
        QVERIFY(entry);
        QVERIFY(entry->additionalTabURLs.isEmpty());
        QVERIFY(!entry->isMaximized);
        QCOMPARE(entry->websiteURL, storetest::fullEntry(0).websiteURL);
    }

    void itemsThatAreNoAddressAreLeftOut()
    {
        const std::optional<EntryData> entry = storeAndRead(QStringLiteral(
            "UPDATE entry SET additionalTabURLs = '[\"https://a.example/\", 5, null, [\"x\"], \"https://b.example/\"]',"
            " isMaximized = 1"));
        QVERIFY(entry);
        QCOMPARE(entry->additionalTabURLs,
            QStringList({ QStringLiteral("https://a.example/"), QStringLiteral("https://b.example/") }));
        QVERIFY(entry->isMaximized);
    }

    void tabListIsBoundedInCountAndLength()
    {
        // One more tab than kept, and one address longer than a backup allows.
        const QString tooLong = QStringLiteral("https://a.example/") + QString(BackupLimits::maxStringLength, u'x');
        QStringList tabs { tooLong };
        for (qsizetype i = 0; i <= BackupLimits::maxAdditionalTabs; ++i)
            tabs.append(QStringLiteral("https://example.org/%1").arg(i));
        const QString json
            = QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(tabs)).toJson(QJsonDocument::Compact));
        const std::optional<EntryData> entry
            = storeAndRead(QStringLiteral("UPDATE entry SET additionalTabURLs = '%1'").arg(json));
        QVERIFY(entry);
        QCOMPARE(entry->additionalTabURLs.size(), BackupLimits::maxAdditionalTabs);
        QCOMPARE(entry->additionalTabURLs.first(), QStringLiteral("https://example.org/0"));
        QCOMPARE(entry->additionalTabURLs.last(),
            QStringLiteral("https://example.org/%1").arg(BackupLimits::maxAdditionalTabs - 1));
    }
};

QTEST_GUILESS_MAIN(TestStoreTabColumn)
#include "tst_storetabcolumn.moc"
