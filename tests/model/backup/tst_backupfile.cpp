// Tests of writing a backup and reading it back, on disk and in memory.
#include "backupsamples.h"
#include "model/backup/backupfile.h"
#include "model/backup/backuplimits.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace backupsamples;

namespace {
QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// Stands in for the store: remembers what it was given, adds the ids it has
// not seen, or fails like a store whose transaction was rolled back.
struct FakeStore {
    QList<WorkspaceData> held;
    int calls = 0;
    bool failing = false;

    BackupFile::AddWorkspaces adder()
    {
        return [this](const QList<WorkspaceData> &items, QString *error) {
            ++calls;
            if (failing) {
                *error = QStringLiteral("Datenbank ist gesperrt");
                return -1;
            }
            int added = 0;
            for (const WorkspaceData &w : items) {
                const bool known = std::any_of(held.cbegin(), held.cend(), [&](const auto &h) { return h.id == w.id; });
                if (!known) {
                    held.append(w);
                    ++added;
                }
            }
            return added;
        };
    }
};
} // namespace

class TestBackupFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void roundTripKeepsEveryFieldOfEveryWorkspaceAndEntry()
    {
        const QList<WorkspaceData> list = richWorkspaces();
        const BackupParseResult r = BackupFile::parse(BackupFile::serialize(list));
        QVERIFY2(r.ok(), qPrintable(r.error));
        QVERIFY2(difference(r.workspaces, list).isEmpty(), qPrintable(difference(r.workspaces, list)));
        QCOMPARE(r.workspaces, list); // plain equality too, as the sample holds no NaN
    }

    void roundTripKeepsAbsencesApartFromEmptyText()
    {
        const BackupParseResult r = BackupFile::parse(BackupFile::serialize(richWorkspaces()));
        QVERIFY2(r.ok(), qPrintable(r.error));
        const EntryData &website = r.workspaces[0].entries[1];
        QVERIFY(!website.appBundleIdentifier && !website.filePath && !website.monitorID);
        QVERIFY(!website.originalScreenX && !website.originalScreenHeight);
        QVERIFY(!r.workspaces[1].lastLaunchedAt);
        QCOMPARE(r.workspaces[2].entries[0].monitorID, std::optional<QString>(QString()));
        QCOMPARE(r.workspaces[1].icon, QString());
    }

    void roundTripKeepsEntryOrder()
    {
        WorkspaceData w = richWorkspaces().first();
        w.entries.clear();
        for (int i = 0; i < 200; ++i) {
            EntryData e;
            e.frameX = i;
            w.entries.append(e);
        }
        const BackupParseResult r = BackupFile::parse(BackupFile::serialize({ w }));
        QVERIFY2(r.ok(), qPrintable(r.error));
        for (int i = 0; i < 200; ++i) {
            QCOMPARE(r.workspaces[0].entries[i].id, w.entries[i].id);
            QCOMPARE(r.workspaces[0].entries[i].frameX, double(i));
        }
    }

    void roundTripKeepsNumbersJsonCannotHold()
    {
        WorkspaceData w;
        w.timeSavedInSeconds = std::numeric_limits<double>::quiet_NaN();
        w.launchCount = std::numeric_limits<qint64>::min();
        EntryData e;
        e.frameX = std::numeric_limits<double>::infinity();
        e.frameY = -std::numeric_limits<double>::infinity();
        e.width = -0.0;
        e.height = std::numeric_limits<double>::denorm_min();
        e.delayAfterLaunch = std::numeric_limits<double>::max();
        e.originalScreenX = std::numeric_limits<double>::quiet_NaN();
        e.originalScreenY = -0.0;
        w.entries = { e };
        const BackupParseResult r = BackupFile::parse(BackupFile::serialize({ w }));
        QVERIFY2(r.ok(), qPrintable(r.error));
        QVERIFY2(difference(r.workspaces, { w }).isEmpty(), qPrintable(difference(r.workspaces, { w })));
    }

    // Qt's reader took U+FEFF at the start of a string for a byte-order mark
    // and dropped it; the writer now escapes it.
    void roundTripKeepsTextOpeningWithU_FEFF()
    {
        WorkspaceData w;
        w.name = QString(QChar(0xFEFF)) + QStringLiteral("x");
        w.icon = QString(QChar(0xFEFF));
        const BackupParseResult r = BackupFile::parse(BackupFile::serialize({ w }));
        QVERIFY2(r.ok(), qPrintable(r.error));
        QCOMPARE(r.workspaces[0].name, w.name);
        QCOMPARE(r.workspaces[0].icon, w.icon);
    }

    void roundTripKeepsRandomWorkspaces_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 20; ++seed)
            QTest::addRow("seed %u", seed) << seed;
    }

    void roundTripKeepsRandomWorkspaces()
    {
        QFETCH(quint32, seed);
        const QList<WorkspaceData> list = randomWorkspaces(seed, 30);
        const QByteArray bytes = BackupFile::serialize(list);
        QVERIFY(bytes.isValidUtf8());
        const BackupParseResult r = BackupFile::parse(bytes);
        QVERIFY2(r.ok(), qPrintable(r.error));
        QVERIFY2(difference(r.workspaces, list).isEmpty(), qPrintable(difference(r.workspaces, list)));
        QCOMPARE(BackupFile::serialize(r.workspaces), bytes);
    }

    void writeAtomicallyReplacesAnExistingFileWhole()
    {
        const QString target = path(QStringLiteral("replace.workspace"));
        put(target, QByteArray(100'000, 'x'));
        QString error;
        QVERIFY(BackupFile::writeAtomically(target, "{\"version\": 1, \"workspaces\": []}", &error));
        QCOMPARE(contents(target), QByteArray("{\"version\": 1, \"workspaces\": []}"));
    }

    void writeAtomicallyLeavesNoTemporaryFilesBehind()
    {
        QTemporaryDir dir;
        QString error;
        QVERIFY(BackupFile::writeAtomically(dir.filePath(QStringLiteral("a.workspace")), "{}", &error));
        QVERIFY(BackupFile::writeAtomically(dir.filePath(QStringLiteral("a.workspace")), "{ }", &error));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { QStringLiteral("a.workspace") });
    }

    void writeAtomicallyRefusesAMissingFolder()
    {
        QString error;
        QVERIFY(!BackupFile::writeAtomically(path(QStringLiteral("missing/x.workspace")), "{}", &error));
        QCOMPARE(error, QStringLiteral("Ordner nicht gefunden"));
    }

    void writeAtomicallyLeavesADirectoryInPlace()
    {
        const QString target = path(QStringLiteral("folder.workspace"));
        QVERIFY(QDir().mkpath(target));
        put(target + QStringLiteral("/inside"), "keep");
        QString error;
        QVERIFY(!BackupFile::writeAtomically(target, "{}", &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(contents(target + QStringLiteral("/inside")), QByteArray("keep"));
    }

    void writeAtomicallyKeepsTheOldFileWhenTheFolderIsReadOnly()
    {
        if (::geteuid() == 0)
            QSKIP("root writes into read-only folders");
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("old.workspace"));
        put(target, "old content");
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        QString error;
        const bool written = BackupFile::writeAtomically(target, "new", &error);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!written);
        QCOMPARE(contents(target), QByteArray("old content"));
    }

    void readFileReadsWhatWasWritten()
    {
        const QString target = path(QStringLiteral("read.workspace"));
        const QList<WorkspaceData> list = richWorkspaces();
        QString error;
        QVERIFY(BackupFile::writeAtomically(target, BackupFile::serialize(list), &error));
        const BackupParseResult r = BackupFile::readFile(target);
        QVERIFY2(r.ok(), qPrintable(r.error));
        QCOMPARE(r.workspaces, list);
    }

    void readFileRefusesAMissingFile()
    {
        QCOMPARE(BackupFile::readFile(path(QStringLiteral("nothing.workspace"))).error,
            QStringLiteral("Datei nicht gefunden"));
    }

    void readFileRefusesADirectory()
    {
        QCOMPARE(BackupFile::readFile(m_dir.path()).error, QStringLiteral("Keine normale Datei"));
    }

    void readFileRefusesAPipeWithoutBlocking()
    {
        const QString fifo = path(QStringLiteral("pipe.workspace"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QCOMPARE(BackupFile::readFile(fifo).error, QStringLiteral("Keine normale Datei"));
    }

    void readFileRefusesAnEndlessDevice()
    {
        QCOMPARE(BackupFile::readFile(QStringLiteral("/dev/zero")).error, QStringLiteral("Keine normale Datei"));
    }

    void readFileRefusesASparseFileOverTheLimitWithoutReadingIt()
    {
        const QString target = path(QStringLiteral("huge.workspace"));
        {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.write("{\"version\": 1, \"workspaces\": []}") == 32);
            QVERIFY(f.resize(BackupLimits::maxFileBytes + 1)); // sparse: no blocks behind the hole
        }
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(BackupFile::readFile(target).error, QStringLiteral("Datei ist größer als 64 MiB"));
        QVERIFY(timer.elapsed() < 1000);
        QFile::remove(target);
    }

    void readFileRefusesAnUnreadableFile()
    {
        if (::geteuid() == 0)
            QSKIP("root reads any file");
        const QString target = path(QStringLiteral("locked.workspace"));
        put(target, "{}");
        QFile::setPermissions(target, QFile::WriteOwner);
        QCOMPARE(BackupFile::readFile(target).error, QStringLiteral("Datei kann nicht gelesen werden"));
    }

    void exportThenImportIntoAnEmptyStoreRestoresEverything()
    {
        const QString target = path(QStringLiteral("CorvalintBackups.workspace"));
        const QList<WorkspaceData> list = richWorkspaces();
        QCOMPARE(BackupFile::exportToFile(target, list), QStringLiteral("3 Workspaces exportiert"));
        FakeStore fresh;
        QCOMPARE(BackupFile::importFromFile(target, fresh.adder()), QStringLiteral("3 Workspaces importiert"));
        QCOMPARE(fresh.held, list);
    }

    void importingTwiceAddsNothingTheSecondTime()
    {
        const QString target = path(QStringLiteral("twice.workspace"));
        QCOMPARE(BackupFile::exportToFile(target, richWorkspaces()), QStringLiteral("3 Workspaces exportiert"));
        FakeStore store;
        store.held = { richWorkspaces()[1] };
        QCOMPARE(BackupFile::importFromFile(target, store.adder()),
            QStringLiteral("2 Workspaces importiert (1 bereits vorhanden)"));
        QCOMPARE(BackupFile::importFromFile(target, store.adder()),
            QStringLiteral("Keine neuen Workspaces (alle bereits vorhanden)"));
        QCOMPARE(store.held.size(), 3);
    }

    void importOfTheLegacyTemplateSaysTheFileIsEmpty()
    {
        const QString target = path(QStringLiteral("legacy.workspace"));
        put(target, "{\"version\": 1, \"workspaces\": []}");
        FakeStore store;
        QCOMPARE(BackupFile::importFromFile(target, store.adder()), QStringLiteral("Keine Workspaces in der Datei"));
        QCOMPARE(store.calls, 0);
    }

    void aRefusedFileNeverReachesTheStore()
    {
        const QString target = path(QStringLiteral("bad.workspace"));
        put(target, "{\"version\": 2, \"workspaces\": []}");
        FakeStore store;
        QCOMPARE(BackupFile::importFromFile(target, store.adder()),
            QStringLiteral("Import abgelehnt: Unbekannte Version 2"));
        QCOMPARE(store.calls, 0);
    }

    void aStoreFailureIsReported()
    {
        const QString target = path(QStringLiteral("ok.workspace"));
        QCOMPARE(BackupFile::exportToFile(target, richWorkspaces()), QStringLiteral("3 Workspaces exportiert"));
        FakeStore store;
        store.failing = true;
        QCOMPARE(BackupFile::importFromFile(target, store.adder()),
            QStringLiteral("Import fehlgeschlagen: Datenbank ist gesperrt"));
    }

    void exportRefusesWhatItCouldNotReadBackAndKeepsTheOldFile()
    {
        const QString target = path(QStringLiteral("keep.workspace"));
        put(target, "previous backup");
        QList<WorkspaceData> list = richWorkspaces();
        list[1].id = list[0].id;
        QCOMPARE(BackupFile::exportToFile(target, list),
            QStringLiteral("Export fehlgeschlagen: Workspace 2: ID kommt doppelt vor (wie Workspace 1)"));
        QCOMPARE(contents(target), QByteArray("previous backup"));
    }

    void exportOfNothingWritesTheTemplate()
    {
        const QString target = path(QStringLiteral("none.workspace"));
        QCOMPARE(BackupFile::exportToFile(target, {}), QStringLiteral("0 Workspaces exportiert"));
        QCOMPARE(contents(target), QByteArray("{\"version\": 1, \"workspaces\": []}"));
    }

    void panelTextsAreThoseOfTheSettingsPage()
    {
        QCOMPARE(QString(BackupFile::exportPanelTitle), QStringLiteral("Workspace exportieren"));
        QCOMPARE(QString(BackupFile::importPanelTitle), QStringLiteral("Workspace importieren"));
        QCOMPARE(QString(BackupFile::suggestedFileName), QStringLiteral("CorvalintBackups.workspace"));
        QVERIFY(QString(BackupFile::nameFilter).contains(QStringLiteral("*.workspace")));
    }
};

QTEST_APPLESS_MAIN(TestBackupFile)
#include "tst_backupfile.moc"
