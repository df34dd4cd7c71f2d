// A process that saves in a loop is killed at random moments: the store it
// leaves behind must open, pass SQLite's integrity check, and hold every
// workspace whose save had returned.
#include "model/workspacestore.h"
#include "storetestdata.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

class TestStoreCrash : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QSet<QUuid> m_present; // saved and not removed
    QSet<QUuid> m_uncertain; // removal under way when the kill came
    QSet<QUuid> m_removed;

    void apply(const QByteArray &line)
    {
        const QUuid id = QUuid::fromString(QLatin1String(line.mid(1)));
        switch (line.at(0)) {
        case '+':
            m_present.insert(id);
            break;
        case '?':
            m_uncertain.insert(id);
            break;
        case '-':
            m_uncertain.remove(id);
            m_present.remove(id);
            m_removed.insert(id);
            break;
        }
    }

private slots:
    void killedWriterLosesNothingSaved()
    {
        QVERIFY(m_dir.isValid());
        QRandomGenerator random(20240611);
        int kills = 0;
        int linesSeen = 0;
        for (int run = 0; run < 24; ++run) {
            QProcess child;
            child.setProgram(QStringLiteral(CORVALINT_STORE_CRASH_CHILD));
            child.setArguments({ m_dir.path() });
            child.setProcessChannelMode(QProcess::SeparateChannels);
            child.start();
            QVERIFY(child.waitForStarted(10000));

            // Sometimes right away (during its open), mostly after a random
            // number of saves, so the kill hits every phase of a save.
            const int wanted = run % 6 == 0 ? 0 : int(random.bounded(1, 12));
            QByteArray pending;
            int lines = 0;
            while (lines < wanted && child.state() == QProcess::Running) {
                if (!child.waitForReadyRead(10000))
                    break;
                pending += child.readAllStandardOutput();
                lines = int(pending.count('\n'));
            }
            QVERIFY2(child.state() == QProcess::Running, child.readAllStandardError().constData());
            child.kill();
            QVERIFY(child.waitForFinished(10000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);
            ++kills;

            pending += child.readAllStandardOutput();
            // A torn last line was cut by the kill: its save may or may not have returned.
            const QList<QByteArray> complete = pending.left(pending.lastIndexOf('\n') + 1).split('\n');
            for (const QByteArray &line : complete) {
                if (line.size() > 1) {
                    apply(line);
                    ++linesSeen;
                }
            }

            QString error;
            auto store = WorkspaceStore::open(m_dir.path(), &error);
            QVERIFY2(store, qPrintable(error));
            const auto stored = store->fetchAll(false);
            QVERIFY(stored);
            QSet<QUuid> ids;
            for (const WorkspaceData &w : *stored)
                ids.insert(w.id);
            for (const QUuid &id : std::as_const(m_present)) {
                if (!m_uncertain.contains(id))
                    QVERIFY2(ids.contains(id),
                        qPrintable(QStringLiteral("lost %1 after kill %2").arg(id.toString()).arg(kills)));
            }
            for (const QUuid &id : std::as_const(m_removed))
                QVERIFY(!ids.contains(id));
            // What the uncertain removals turned out to be is now settled.
            for (const QUuid &id : std::as_const(m_uncertain)) {
                if (!ids.contains(id)) {
                    m_present.remove(id);
                    m_removed.insert(id);
                }
            }
            m_uncertain.clear();
            store.reset();
            QCOMPARE(storetest::rawSql(m_dir.filePath(WorkspaceStore::fileName()), "PRAGMA integrity_check").toString(),
                QStringLiteral("ok"));
        }
        QVERIFY(kills >= 20);
        QVERIFY2(linesSeen > kills, "the child saved too little for the test to mean anything");
        qInfo("%d kills, %d saves reported, %lld workspaces kept", kills, linesSeen, qint64(m_present.size()));
    }
};

QTEST_GUILESS_MAIN(TestStoreCrash)
#include "tst_storecrash.moc"
