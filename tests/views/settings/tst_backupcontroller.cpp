// The backup buttons through their controller: an export read back into an
// empty store gives the same workspaces, a refused file changes nothing and
// says why, and a cancelled panel does nothing at all.
#include "backupcontroller.h"
#include "files/filechooser.h"
#include "viewsfixture.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

QList<WorkspaceData> sortedData(const WorkspaceStore &store)
{
    QList<WorkspaceData> data;
    for (const Workspace *workspace : store.workspaces())
        data.append(workspace->data());
    std::sort(data.begin(), data.end(), [](const WorkspaceData &a, const WorkspaceData &b) { return a.id < b.id; });
    return data;
}

// Answers every dialog with a fixed path, as a user who typed it would.
class TypedNameChooser : public FileChooser
{
public:
    QString answer;
    FileRequest lastRequest;
    void choose(const FileRequest &request, Done done) override
    {
        lastRequest = request;
        done(answer);
    }
};

} // namespace

class BackupControllerTest : public QObject
{
    Q_OBJECT

private slots:
    void panelsOfferTheSuggestedFileInTheHomeFolder()
    {
        QCOMPARE(BackupController::exportPanelTitle(), QStringLiteral("Workspace exportieren"));
        QCOMPARE(BackupController::importPanelTitle(), QStringLiteral("Workspace importieren"));
        QCOMPARE(BackupController::suggestedExportUrl().fileName(), QStringLiteral("CorvalintBackups.workspace"));
        QCOMPARE(BackupController::suggestedExportUrl().adjusted(QUrl::RemoveFilename | QUrl::StripTrailingSlash),
            BackupController::homeFolder());
        QVERIFY(BackupController::nameFilters().constFirst().contains(QStringLiteral("*.workspace")));
    }

    void exportThenImportIntoAnEmptyStoreGivesTheSameWorkspaces()
    {
        ViewsFixture source;
        source.addWorkspace(QStringLiteral("Coding"), QStringLiteral("Development"), 3, 2, true, 60);
        source.addWorkspace(QStringLiteral("Schnitt"), QStringLiteral("Video Editing"), 1, 0, false, 30);
        source.addWorkspace(QStringLiteral("Leer"));
        QTemporaryDir out;
        const QUrl file = QUrl::fromLocalFile(out.filePath(QStringLiteral("CorvalintBackups.workspace")));

        BackupController exporter;
        exporter.setServices(source.services.get());
        QSignalSpy exported(&exporter, &BackupController::backupStatusChanged);
        exporter.exportBackup(file);
        QCOMPARE(exported.count(), 1);
        QCOMPARE(exporter.backupStatus(), QStringLiteral("3 Workspaces exportiert"));

        ViewsFixture target;
        BackupController importer;
        importer.setServices(target.services.get());
        importer.importBackup(file);
        QCOMPARE(importer.backupStatus(), QStringLiteral("3 Workspaces importiert"));
        QCOMPARE(target.store->count(), 3);
        QCOMPARE(sortedData(*target.store), sortedData(*source.store));

        // Written to the file, not only held in memory.
        const auto reopened = target.reopenStore();
        QVERIFY(reopened);
        QCOMPARE(sortedData(*reopened), sortedData(*source.store));

        // The same file again adds nothing.
        importer.importBackup(file);
        QCOMPARE(target.store->count(), 3);
        QCOMPARE(importer.backupStatus(), QStringLiteral("Keine neuen Workspaces (alle bereits vorhanden)"));
    }

    void refusedImportLeavesTheStoreAndSaysWhy()
    {
        ViewsFixture fixture;
        fixture.addWorkspace(QStringLiteral("Bleibt"));
        const QList<WorkspaceData> before = sortedData(*fixture.store);
        QTemporaryDir in;
        const QString path = in.filePath(QStringLiteral("kaputt.workspace"));
        QFile broken(path);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write(R"({"version": 1, "workspaces": [{"name": 7}]})");
        broken.close();

        BackupController backup;
        backup.setServices(fixture.services.get());
        backup.importBackup(QUrl::fromLocalFile(path));

        QVERIFY2(
            backup.backupStatus().startsWith(QStringLiteral("Import abgelehnt: ")), qPrintable(backup.backupStatus()));
        QCOMPARE(sortedData(*fixture.store), before);
        QVERIFY(!fixture.store->hasUnsavedChanges());
    }

    void exportOverAnExistingFileReplacesIt()
    {
        ViewsFixture fixture;
        fixture.addWorkspace(QStringLiteral("Neu"));
        QTemporaryDir out;
        const QString path = out.filePath(QStringLiteral("alt.workspace"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(10000, 'x'));
        old.close();

        BackupController backup;
        backup.setServices(fixture.services.get());
        backup.exportBackup(QUrl::fromLocalFile(path));

        QCOMPARE(backup.backupStatus(), QStringLiteral("1 Workspace exportiert"));
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(!written.readAll().contains('x'));
    }

    void aTypedNameInAnotherFolderIsWrittenAndAFailureIsMarked()
    {
        ViewsFixture fixture;
        fixture.addWorkspace(QStringLiteral("Eins"));
        fixture.addWorkspace(QStringLiteral("Zwei"));
        QTemporaryDir out;
        TypedNameChooser chooser;
        BackupController backup;
        backup.setServices(fixture.services.get());
        backup.setFileChooser(&chooser);

        chooser.answer = out.filePath(QStringLiteral("Unterordner fehlt/x.workspace"));
        backup.chooseExportFile();
        QCOMPARE(chooser.lastRequest.mode, FileRequest::Mode::Save);
        QCOMPARE(chooser.lastRequest.suggestedName, QStringLiteral("CorvalintBackups.workspace"));
        QVERIFY(backup.backupFailed());
        QVERIFY2(backup.backupStatus().contains(QStringLiteral("fehlgeschlagen")), qPrintable(backup.backupStatus()));

        chooser.answer = out.filePath(QStringLiteral("mein name.workspace"));
        backup.chooseExportFile();
        QVERIFY(!backup.backupFailed());
        QCOMPARE(backup.backupStatus(), QStringLiteral("2 Workspaces exportiert"));
        QVERIFY(QFile::exists(chooser.answer));

        // Reading it back into an empty store through the open dialog.
        ViewsFixture empty;
        BackupController importer;
        importer.setServices(empty.services.get());
        importer.setFileChooser(&chooser);
        importer.chooseImportFile();
        QCOMPARE(chooser.lastRequest.mode, FileRequest::Mode::Open);
        QVERIFY(!importer.backupFailed());
        QCOMPARE(empty.store->count(), 2);

        chooser.answer = out.filePath(QStringLiteral("kaputt.workspace"));
        QFile broken(chooser.answer);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("{ nicht json");
        broken.close();
        importer.chooseImportFile();
        QVERIFY(importer.backupFailed());
        QCOMPARE(empty.store->count(), 2);

        // A cancelled dialog leaves the last line as it was.
        chooser.answer.clear();
        QSignalSpy status(&importer, &BackupController::backupStatusChanged);
        importer.chooseImportFile();
        QCOMPARE(status.count(), 0);
    }

    void cancelledPanelsChangeNothing()
    {
        ViewsFixture fixture;
        fixture.addWorkspace(QStringLiteral("Einer"));
        BackupController backup;
        backup.setServices(fixture.services.get());
        QSignalSpy status(&backup, &BackupController::backupStatusChanged);
        backup.exportBackup(QUrl());
        backup.importBackup(QUrl());
        backup.importBackup(QUrl(QStringLiteral("https://example.org/x.workspace")));
        QCOMPARE(status.count(), 0);
        QVERIFY(backup.backupStatus().isEmpty());
        QCOMPARE(fixture.store->count(), 1);
    }
};

QTEST_GUILESS_MAIN(BackupControllerTest)
#include "tst_backupcontroller.moc"
