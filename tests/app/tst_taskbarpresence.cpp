// The "showDockIcon" rule: only a stored boolean false hides the taskbar entry.
#include "app/taskbarpresence.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestTaskbarPresence : public QObject
{
    Q_OBJECT

private slots:
    void absentValueShowsTheWindow() { QCOMPARE(taskbarPresenceFromSetting(QVariant()), TaskbarPresence::listed); }

    void booleanFalseHidesIt() { QCOMPARE(taskbarPresenceFromSetting(QVariant(false)), TaskbarPresence::trayOnly); }

    void booleanTrueShowsIt() { QCOMPARE(taskbarPresenceFromSetting(QVariant(true)), TaskbarPresence::listed); }

    void wronglyTypedValuesShowIt_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("int 0") << QVariant(0);
        QTest::newRow("double 0") << QVariant(0.0);
        QTest::newRow("text 0") << QVariant(QStringLiteral("0"));
        QTest::newRow("text no") << QVariant(QStringLiteral("no"));
        QTest::newRow("text FALSE") << QVariant(QStringLiteral("FALSE"));
        QTest::newRow("empty text") << QVariant(QString());
        QTest::newRow("list") << QVariant(QStringList { QStringLiteral("false") });
    }

    void wronglyTypedValuesShowIt()
    {
        QFETCH(QVariant, stored);
        QCOMPARE(taskbarPresenceFromSetting(stored), TaskbarPresence::listed);
    }

    void storedFalseSurvivesARestartOfTheSettingsFile()
    {
        // What a later start finds after the settings page wrote false: the
        // ini file holds the text, and QSettings hands back a string.
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Corvalint.conf"));
        QFile text(file);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("[General]\nshowDockIcon=false\n");
        text.close();
        QSettings reader(file, QSettings::IniFormat);
        QCOMPARE(reader.value(QLatin1String(showDockIconSettingKey)).typeId(), QMetaType::QString);
        QCOMPARE(readTaskbarPresence(reader), TaskbarPresence::trayOnly);
    }

    void storedFalseReadsAsHiddenInTheSameRunToo()
    {
        // Within one process QSettings keeps the bool it was given.
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Corvalint.conf"));
        QSettings writer(file, QSettings::IniFormat);
        writer.setValue(QLatin1String(showDockIconSettingKey), false);
        writer.sync();
        QSettings reader(file, QSettings::IniFormat);
        QCOMPARE(readTaskbarPresence(reader), TaskbarPresence::trayOnly);
    }

    void storedTrueAndForeignValuesReadBackAsShown()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("Corvalint.conf"));
        QFile text(file);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("[a]\nshowDockIcon=true\n[b]\nshowDockIcon=0\n[c]\nshowDockIcon=nein\n");
        text.close();
        QSettings reader(file, QSettings::IniFormat);
        for (const char *group : { "a", "b", "c" }) {
            reader.beginGroup(QLatin1String(group));
            QCOMPARE(readTaskbarPresence(reader), TaskbarPresence::listed);
            reader.endGroup();
        }
    }

    void missingKeyInAnExistingFileShowsIt()
    {
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("Corvalint.conf")), QSettings::IniFormat);
        settings.setValue(QStringLiteral("other"), false);
        QCOMPARE(readTaskbarPresence(settings), TaskbarPresence::listed);
    }
};

QTEST_GUILESS_MAIN(TestTaskbarPresence)
#include "tst_taskbarpresence.moc"
