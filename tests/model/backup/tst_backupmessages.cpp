// Tests of the result lines the settings page shows after an export or import.
#include "model/backup/backupmessages.h"

#include <QTest>

class TestBackupMessages : public QObject
{
    Q_OBJECT

private slots:
    void importSummaryCountsInGerman_data()
    {
        QTest::addColumn<int>("added");
        QTest::addColumn<qsizetype>("inFile");
        QTest::addColumn<QString>("line");
        QTest::newRow("three") << 3 << qsizetype(-1) << "3 Workspaces importiert";
        QTest::newRow("one") << 1 << qsizetype(-1) << "1 Workspace importiert";
        QTest::newRow("none") << 0 << qsizetype(-1) << "Keine neuen Workspaces (alle bereits vorhanden)";
        QTest::newRow("none of four") << 0 << qsizetype(4) << "Keine neuen Workspaces (alle bereits vorhanden)";
        QTest::newRow("empty file") << 0 << qsizetype(0) << "Keine Workspaces in der Datei";
        QTest::newRow("all of three") << 3 << qsizetype(3) << "3 Workspaces importiert";
        QTest::newRow("one of two") << 1 << qsizetype(2) << "1 Workspace importiert (1 bereits vorhanden)";
    }

    void importSummaryCountsInGerman()
    {
        QFETCH(int, added);
        QFETCH(qsizetype, inFile);
        QFETCH(QString, line);
        QCOMPARE(BackupMessages::importSummary(added, inFile), line);
    }

    void refusalAndFailureNameTheirReason()
    {
        QCOMPARE(BackupMessages::importRefused(QStringLiteral("Unbekannte Version 2")),
                 QStringLiteral("Import abgelehnt: Unbekannte Version 2"));
        QCOMPARE(BackupMessages::importFailed(QStringLiteral("x")), QStringLiteral("Import fehlgeschlagen: x"));
        QCOMPARE(BackupMessages::exportFailed(QStringLiteral("y")), QStringLiteral("Export fehlgeschlagen: y"));
    }

    void exportSummaryCountsInGerman()
    {
        QCOMPARE(BackupMessages::exportSummary(1), QStringLiteral("1 Workspace exportiert"));
        QCOMPARE(BackupMessages::exportSummary(12), QStringLiteral("12 Workspaces exportiert"));
    }
};

QTEST_APPLESS_MAIN(TestBackupMessages)
#include "tst_backupmessages.moc"
