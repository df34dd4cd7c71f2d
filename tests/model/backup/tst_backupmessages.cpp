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

    void importSummaryCountsInEnglish_data()
    {
        QTest::addColumn<int>("added");
        QTest::addColumn<qsizetype>("inFile");
        QTest::addColumn<QString>("line");
        QTest::newRow("three") << 3 << qsizetype(-1) << "3 workspaces imported";
        QTest::newRow("one") << 1 << qsizetype(-1) << "1 workspace imported";
        QTest::newRow("none of four") << 0 << qsizetype(4) << "No new workspaces (all already present)";
        QTest::newRow("empty file") << 0 << qsizetype(0) << "No workspaces in the file";
        QTest::newRow("one of two") << 1 << qsizetype(2) << "1 workspace imported (1 already present)";
    }

    void importSummaryCountsInEnglish()
    {
        QFETCH(int, added);
        QFETCH(qsizetype, inFile);
        QFETCH(QString, line);
        QCOMPARE(BackupMessages::importSummary(added, inFile, BackupMessages::Language::english), line);
    }

    // One problem, two wordings: the settings page's German stays as it was.
    void aRefusalIsWordedInEitherLanguage()
    {
        BackupProblem problem;
        problem.code = BackupProblem::Code::badField;
        problem.workspace = 1;
        problem.entry = 4;
        problem.field
            = { QStringLiteral("virtualDesktop"), JsonFieldProblem::Kind::notWholeNumberInRangeOrNull, 0, -1, 1000000 };
        QCOMPARE(BackupMessages::importRefused(problem, BackupMessages::Language::german),
            QStringLiteral("Import abgelehnt: Workspace 1, Eintrag 4: Feld „virtualDesktop“ muss eine ganze Zahl von "
                           "-1 bis 1.000.000 oder null sein"));
        QCOMPARE(BackupMessages::importRefused(problem, BackupMessages::Language::english),
            QStringLiteral("import refused: workspace 1, entry 4: field \"virtualDesktop\" must be a whole number "
                           "from -1 to 1,000,000 or null"));

        BackupProblem twice;
        twice.code = BackupProblem::Code::duplicateId;
        twice.workspace = 3;
        twice.firstWorkspace = 1;
        QCOMPARE(twice.germanText(), QStringLiteral("Workspace 3: ID kommt doppelt vor (wie Workspace 1)"));
        QCOMPARE(twice.englishText(), QStringLiteral("workspace 3: the id occurs twice (as in workspace 1)"));

        BackupProblem version;
        version.code = BackupProblem::Code::unknownVersion;
        version.number = 2;
        QCOMPARE(version.englishText(), QStringLiteral("unknown version 2"));
        QCOMPARE(BackupMessages::importFailed(QStringLiteral("disk I/O error"), BackupMessages::Language::english),
            QStringLiteral("import failed: disk I/O error"));
    }

    void exportSummaryCountsInGerman()
    {
        QCOMPARE(BackupMessages::exportSummary(1), QStringLiteral("1 Workspace exportiert"));
        QCOMPARE(BackupMessages::exportSummary(12), QStringLiteral("12 Workspaces exportiert"));
    }
};

QTEST_APPLESS_MAIN(TestBackupMessages)
#include "tst_backupmessages.moc"
