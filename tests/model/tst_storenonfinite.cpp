// Numbers that are not finite come back from the store exactly as given:
// NaN and both infinities in every real field, after a save and after an import.
#include "model/workspacestore.h"
#include "storetestdata.h"

#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <limits>

using storetest::rawSql;

namespace {
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

// NaN never equals itself, so the records' own comparison cannot be used.
bool same(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

bool same(const std::optional<double> &a, const std::optional<double> &b)
{
    return a.has_value() == b.has_value() && (!a || same(*a, *b));
}

QString describe(double value)
{
    return QString::number(value);
}

QString describe(const std::optional<double> &value)
{
    return value ? describe(*value) : QStringLiteral("absent");
}

#define COMPARE_REAL(actual, expected)                                                                                 \
    QVERIFY2(same(actual, expected),                                                                                   \
        qPrintable(QStringLiteral(#actual ": %1, expected %2").arg(describe(actual), describe(expected))))

// Each real field gets a different value in each entry, so that a field
// read from the wrong column shows.
QList<EntryData> oddEntries()
{
    const double values[] = { notANumber, inf, -inf, 0.25, 1e308, -2.5 };
    constexpr int count = int(sizeof values / sizeof *values);
    QList<EntryData> entries;
    for (int i = 0; i < count; ++i) {
        EntryData e;
        e.frameX = values[i % count];
        e.frameY = values[(i + 1) % count];
        e.width = values[(i + 2) % count];
        e.height = values[(i + 3) % count];
        e.delayAfterLaunch = values[(i + 4) % count];
        e.originalScreenX = values[(i + 5) % count];
        e.originalScreenY = values[i % count];
        e.originalScreenWidth = values[(i + 1) % count];
        e.originalScreenHeight = values[(i + 2) % count];
        entries.append(e);
    }
    return entries;
}

WorkspaceData oddWorkspace(const QString &name, double timeSaved)
{
    WorkspaceData w;
    w.name = name;
    w.createdAt = QDateTime::fromMSecsSinceEpoch(1'700'000'000'000, Qt::UTC);
    w.modifiedAt = w.createdAt;
    w.timeSavedInSeconds = timeSaved;
    w.entries = oddEntries();
    return w;
}
} // namespace

class TestStoreNonFinite : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString filePath() const { return m_dir.filePath(WorkspaceStore::fileName()); }

    std::unique_ptr<WorkspaceStore> openStore()
    {
        QString error;
        auto store = WorkspaceStore::open(m_dir.path(), &error);
        if (!store)
            qWarning("open failed: %s", qPrintable(error));
        return store;
    }

    static void compareWorkspace(const WorkspaceData &actual, const WorkspaceData &expected)
    {
        QCOMPARE(actual.name, expected.name);
        COMPARE_REAL(actual.timeSavedInSeconds, expected.timeSavedInSeconds);
        QCOMPARE(actual.entries.size(), expected.entries.size());
        for (qsizetype i = 0; i < expected.entries.size(); ++i) {
            const EntryData &a = actual.entries.at(i);
            const EntryData &e = expected.entries.at(i);
            QCOMPARE(a.id, e.id);
            COMPARE_REAL(a.frameX, e.frameX);
            COMPARE_REAL(a.frameY, e.frameY);
            COMPARE_REAL(a.width, e.width);
            COMPARE_REAL(a.height, e.height);
            COMPARE_REAL(a.delayAfterLaunch, e.delayAfterLaunch);
            COMPARE_REAL(a.originalScreenX, e.originalScreenX);
            COMPARE_REAL(a.originalScreenY, e.originalScreenY);
            COMPARE_REAL(a.originalScreenWidth, e.originalScreenWidth);
            COMPARE_REAL(a.originalScreenHeight, e.originalScreenHeight);
        }
    }

    // The record read back from a fresh open and from a fresh read context.
    void compareAfterReopen(const QList<WorkspaceData> &expected)
    {
        auto store = openStore();
        QVERIFY(store);
        QCOMPARE(store->count(), expected.size());
        const QList<Workspace *> loaded = store->workspaces();
        for (qsizetype i = 0; i < expected.size(); ++i)
            compareWorkspace(loaded.at(i)->data(), expected.at(i));
        const std::optional<QList<WorkspaceData>> fetched = store->fetchAll(false);
        QVERIFY(fetched);
        for (qsizetype i = 0; i < expected.size(); ++i)
            compareWorkspace(fetched->at(i), expected.at(i));
    }

private slots:
    void init()
    {
        for (const QString &suffix : { QString(), QStringLiteral("-wal"), QStringLiteral("-shm") })
            QFile::remove(filePath() + suffix);
    }

    void saveAndReopenKeepNonFiniteNumbers()
    {
        const QList<WorkspaceData> expected { oddWorkspace(QStringLiteral("nan"), notANumber),
            oddWorkspace(QStringLiteral("inf"), inf), oddWorkspace(QStringLiteral("-inf"), -inf) };
        {
            auto store = openStore();
            QVERIFY(store);
            // Same createdAt: the store keeps insertion order among them.
            for (const WorkspaceData &data : expected)
                store->insert(Workspace::fromData(data));
            QVERIFY(store->save());
        }
        compareAfterReopen(expected);
    }

    void addWorkspacesKeepsNonFiniteNumbers()
    {
        const QList<WorkspaceData> expected { oddWorkspace(QStringLiteral("imported"), notANumber) };
        {
            auto store = openStore();
            QVERIFY(store);
            QString error;
            QCOMPARE(store->addWorkspaces(expected, &error), 1);
            compareWorkspace(store->workspaces().at(0)->data(), expected.at(0));
        }
        compareAfterReopen(expected);
    }

    void screenFieldsStayAllOrNone()
    {
        WorkspaceData data = oddWorkspace(QStringLiteral("screen"), 0);
        data.entries = { data.entries.at(1) }; // originalScreenX is NaN, the others are not
        QVERIFY(std::isnan(*data.entries.at(0).originalScreenX));
        {
            auto store = openStore();
            QVERIFY(store);
            store->insert(Workspace::fromData(data));
            QVERIFY(store->save());
        }
        auto store = openStore();
        QVERIFY(store);
        const EntryData entry = store->workspaces().at(0)->entries().at(0)->data();
        QVERIFY(
            entry.originalScreenX && entry.originalScreenY && entry.originalScreenWidth && entry.originalScreenHeight);
    }

    void finiteNumbersAreStoredAsBefore()
    {
        // Other programs read the file: finite numbers stay plain reals, and
        // an absent field stays NULL; only a NaN needs a word.
        WorkspaceData data = oddWorkspace(QStringLiteral("plain"), 12.5);
        data.entries = { storetest::sparseEntry(QStringLiteral("folder")), oddEntries().at(0) };
        {
            auto store = openStore();
            QVERIFY(store);
            store->insert(Workspace::fromData(data));
            QVERIFY(store->save());
        }
        QCOMPARE(rawSql(filePath(), "SELECT typeof(timeSavedInSeconds) FROM workspace").toString(), "real");
        QCOMPARE(rawSql(filePath(), "SELECT typeof(frameX) || typeof(originalScreenX) FROM entry WHERE position = 0")
                     .toString(),
            "realnull");
        QCOMPARE(rawSql(filePath(), "SELECT frameX FROM entry WHERE position = 1").toString(), "NaN");

        // A hand-written file may spell the infinities as the backup does.
        QVERIFY(rawSql(filePath(), "UPDATE entry SET frameY = 'Infinity', width = '-Infinity' WHERE position = 0")
                    .isNull());
        auto store = openStore();
        QVERIFY(store);
        const EntryData entry = store->workspaces().at(0)->entries().at(0)->data();
        COMPARE_REAL(entry.frameY, inf);
        COMPARE_REAL(entry.width, -inf);
        COMPARE_REAL(entry.height, 4.0);
    }
};

QTEST_GUILESS_MAIN(TestStoreNonFinite)
#include "tst_storenonfinite.moc"
