// What the window shows when the store cannot do its job: a banner while
// changes are not saved or entries could not be read, and an export that is
// refused rather than written without the unreadable entries.
#include "../model/largestorefile.h"
#include "backupcontroller.h"
#include "viewsfixture.h"

#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(CorvalintPlugin)
Q_IMPORT_QML_PLUGIN(Corvalint_ThemePlugin)

class StoreProblemsTest : public QObject
{
    Q_OBJECT

private:
    // Holds the write lock of the fixture's store file, so its saves fail.
    struct WriteLock {
        explicit WriteLock(const QString &path)
            : connection(path, StoreConnection::Mode::readWrite, QStringLiteral("blocker"))
            , query(connection.database())
        {
            held = query.exec(QStringLiteral("BEGIN IMMEDIATE"));
        }
        ~WriteLock() { query.exec(QStringLiteral("ROLLBACK")); }
        StoreConnection connection;
        QSqlQuery query;
        bool held = false;
    };

    static bool failOneSave(ViewsFixture &fixture, Workspace *workspace)
    {
        fixture.store->setBusyTimeout(0);
        const WriteLock lock(fixture.store->filePath());
        workspace->setName(workspace->name() + QStringLiteral("!"));
        return lock.held && !fixture.store->save();
    }

private slots:
    void storeProblemFollowsTheWriteProblem()
    {
        ViewsFixture fixture;
        Workspace *workspace = fixture.addWorkspace(QStringLiteral("Coding"));
        QCOMPARE(fixture.services->storeProblem(), QString());
        QSignalSpy changed(fixture.services.get(), &ViewServices::storeProblemChanged);

        QVERIFY(failOneSave(fixture, workspace));
        QCOMPARE(changed.count(), 1);
        QVERIFY(!fixture.services->storeProblem().isEmpty());
        QCOMPARE(fixture.services->storeProblem(), fixture.store->writeProblem());

        QVERIFY(fixture.store->save());
        QCOMPARE(changed.count(), 2);
        QCOMPARE(fixture.services->storeProblem(), QString());
    }

    void unreadableEntriesRefuseTheExportAndShow()
    {
        ViewsFixture fixture;
        QTemporaryDir damagedDir;
        QVERIFY(storetest::buildLargeStore(damagedDir.path()));
        const int victim = 321;
        QVERIFY(storetest::damageEntryPage(damagedDir.filePath(WorkspaceStore::fileName()), victim) > 1);
        QString error;
        const auto store = WorkspaceStore::open(damagedDir.path(), &error);
        if (!store)
            QSKIP("this SQLite refuses the damaged file at open already");
        ViewServices services(*store, *fixture.automation, fixture.desktop, *fixture.settings);

        BackupController exporter;
        exporter.setServices(&services);
        QTemporaryDir out;
        const QString target = out.filePath(QStringLiteral("CorvalintBackups.workspace"));
        exporter.exportBackup(QUrl::fromLocalFile(target));
        QVERIFY2(exporter.backupStatus().startsWith(QStringLiteral("Export abgelehnt")),
            qPrintable(exporter.backupStatus()));
        QVERIFY2(exporter.backupStatus().contains(storetest::largeWorkspaceName(victim)),
            qPrintable(exporter.backupStatus()));
        QVERIFY(!QFile::exists(target));

        // The record that cannot show its entries brings up the banner.
        QCOMPARE(services.storeProblem(), QString());
        QSignalSpy changed(&services, &ViewServices::storeProblemChanged);
        for (Workspace *workspace : store->workspaces()) {
            if (workspace->name() == storetest::largeWorkspaceName(victim))
                QVERIFY(workspace->entries().isEmpty());
        }
        QCOMPARE(changed.count(), 1);
        QCOMPARE(services.storeProblem(), ViewServices::unreadableEntriesText());
    }

    void bannerShowsTheProblem()
    {
        ViewsFixture fixture;
        Workspace *workspace = fixture.addWorkspace(QStringLiteral("Coding"));
        QQmlApplicationEngine engine;
        QStringList warnings;
        connect(&engine, &QQmlEngine::warnings, this, [&warnings](const QList<QQmlError> &list) {
            for (const QQmlError &error : list)
                warnings.append(error.toString());
        });
        engine.load(QUrl(QStringLiteral("qrc:/Corvalint/Main.qml")));
        QVERIFY(!engine.rootObjects().isEmpty());
        auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().constFirst());
        QVERIFY(window);
        auto *banner = window->findChild<QQuickItem *>(QStringLiteral("storeProblemBanner"));
        auto *text = window->findChild<QQuickItem *>(QStringLiteral("storeProblemText"));
        QVERIFY(banner && text);
        QVERIFY(!banner->isVisible());
        QCOMPARE(banner->height(), 0.0);

        QVERIFY(failOneSave(fixture, workspace));
        QVERIFY(banner->isVisible());
        QVERIFY(banner->height() > 0);
        QCOMPARE(text->property("text").toString(), fixture.store->writeProblem());

        QVERIFY(fixture.store->save());
        QVERIFY(!banner->isVisible());

        // What the desktop needs before windows can be arranged takes the same place.
        const QString instruction = QStringLiteral("Installiere die Erweiterung und melde dich neu an.");
        fixture.desktop.setControlInstruction(instruction);
        QVERIFY(banner->isVisible());
        QCOMPARE(text->property("text").toString(), instruction);
        // A store problem still goes first.
        QVERIFY(failOneSave(fixture, workspace));
        QCOMPARE(text->property("text").toString(), fixture.store->writeProblem());
        QVERIFY(fixture.store->save());
        fixture.desktop.setControlInstruction(QString());
        QVERIFY(!banner->isVisible());
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
    }
};

QTEST_MAIN(StoreProblemsTest)
#include "tst_storeproblems.moc"
