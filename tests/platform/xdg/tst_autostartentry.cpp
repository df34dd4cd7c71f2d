// The autostart entry: written where XDG autostart looks, started hidden, removed again, quoted as Exec wants.
#include "platform/xdg/autostartentry.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestAutostartEntry : public QObject
{
    Q_OBJECT

    QTemporaryDir m_config;

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path())); }

    void theEntryGoesIntoTheUsersAutostartFolder()
    {
        QCOMPARE(AutostartEntry::path(), m_config.path() + QStringLiteral("/autostart/corvalint.desktop"));
        QVERIFY(!AutostartEntry::isInstalled());
        QString error;
        QVERIFY2(
            AutostartEntry::install(QStringLiteral("/opt/Corvalint Beta/bin/corvalint"), &error), qPrintable(error));
        QVERIFY(AutostartEntry::isInstalled());

        // Read as a desktop reads it: a key file whose Exec starts the program hidden in the tray.
        QSettings entry(AutostartEntry::path(), QSettings::IniFormat);
        entry.beginGroup(QStringLiteral("Desktop Entry"));
        QCOMPARE(entry.value(QStringLiteral("Type")).toString(), QStringLiteral("Application"));
        QFile file(AutostartEntry::path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("\nExec=\"/opt/Corvalint Beta/bin/corvalint\" --login\n"));

        QVERIFY(AutostartEntry::uninstall(&error));
        QVERIFY(!QFile::exists(AutostartEntry::path()));
        QVERIFY(!AutostartEntry::isInstalled());
        // Removing what is not there is no error.
        QVERIFY(AutostartEntry::uninstall(&error));
    }

    void anEntryTheDesktopSwitchedOffCountsAsAbsent()
    {
        QString error;
        QVERIFY(AutostartEntry::install(QStringLiteral("/usr/bin/corvalint"), &error));
        QFile file(AutostartEntry::path());
        QVERIFY(file.open(QIODevice::Append));
        file.write("Hidden=true\n");
        file.close();
        QVERIFY(!AutostartEntry::isInstalled());
        QVERIFY(AutostartEntry::uninstall(&error));
    }

    void execArgumentsAreQuotedAndEscaped_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "/usr/bin/corvalint"
                               << "/usr/bin/corvalint";
        QTest::newRow("space") << "/a b/c"
                               << "\"/a b/c\"";
        QTest::newRow("percent") << "/a%b"
                                 << "/a%%b";
        // Quote and dollar take a backslash inside the quotes; the key file doubles every backslash.
        QTest::newRow("quote") << "/a\"$b"
                               << "\"/a\\\\\"\\\\$b\"";
        QTest::newRow("empty") << ""
                               << "\"\"";
    }

    void execArgumentsAreQuotedAndEscaped()
    {
        QFETCH(QString, argument);
        QFETCH(QString, expected);
        QCOMPARE(AutostartEntry::quoteExecArgument(argument), expected);
    }
};

QTEST_GUILESS_MAIN(TestAutostartEntry)
#include "tst_autostartentry.moc"
