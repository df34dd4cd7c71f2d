// Which form of the extension fits which GNOME Shell, and the installation for the user: the files in the user's
// extension folder and the extension switched on in GNOME Shell's settings (a keyfile here instead of dconf).
#include "platform/gnome/gnomeextensioninstaller.h"
#include "platform/gnome/gnomeextensionstatus.h"

#include <QDBusConnection>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestGnomeExtensionInstaller : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;

    QString extensionFolder() const
    {
        return m_home.path() + QStringLiteral("/data/gnome-shell/extensions/") + GnomeExtensionStatus::uuid;
    }

    static QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        // Before GIO reads any setting: a keyfile instead of the session's dconf, in folders of the test's own.
        qputenv("GSETTINGS_BACKEND", "keyfile");
        qputenv("XDG_CONFIG_HOME", (m_home.path() + QStringLiteral("/config")).toUtf8());
        qputenv("XDG_DATA_HOME", (m_home.path() + QStringLiteral("/data")).toUtf8());
    }

    void formFollowsTheShellsVersion_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("form");
        QTest::newRow("43") << "43.9"
                            << "legacy";
        QTest::newRow("44 from the program") << "GNOME Shell 44.2"
                                             << "legacy";
        QTest::newRow("45") << "45.0"
                            << "modules";
        QTest::newRow("48 beta") << "48.beta"
                                 << "modules";
        QTest::newRow("50 from the program") << "GNOME Shell 50\n"
                                             << "modules";
        QTest::newRow("40") << "40.1"
                            << "legacy";
        QTest::newRow("nothing") << ""
                                 << "";
        QTest::newRow("words") << "GNOME Shell"
                               << "";
        QTest::newRow("digits glued to text") << "45abc"
                                              << "";
    }

    void formFollowsTheShellsVersion()
    {
        QFETCH(QString, version);
        QFETCH(QString, form);
        QCOMPARE(GnomeExtensionInstaller::formFor(version).value_or(QString()), form);
    }

    void theBuiltFormsAreFound()
    {
        const QString folder = GnomeExtensionInstaller::formsFolder();
        QVERIFY(!folder.isEmpty());
        QCOMPARE(folder, QDir::cleanPath(qEnvironmentVariable("CORVALINT_GNOME_EXTENSION_FORMS")));
    }

    void installsTheFittingFormAndSwitchesItOn()
    {
        const QString forms = GnomeExtensionInstaller::formsFolder();
        QString done;
        QString error;
        const QDBusConnection none(QStringLiteral("no bus"));
        const bool installed = GnomeExtensionInstaller::install(none, forms, QStringLiteral("43.9"), &done, &error);
        if (!installed && error.contains(QLatin1String("schema")))
            QSKIP("GNOME Shell's settings schema is not installed here");
        QVERIFY2(installed, qPrintable(error));
        QVERIFY2(done.contains(QLatin1String("next login")), qPrintable(done));
        QVERIFY(read(extensionFolder() + QStringLiteral("/extension.js")).contains("imports.misc.extensionUtils"));
        QVERIFY(read(extensionFolder() + QStringLiteral("/metadata.json")).contains("\"43\""));
        QVERIFY(read(extensionFolder() + QStringLiteral("/shellservice.js")).contains("org.corvalint.Shell"));
        const QByteArray keyfile = read(m_home.path() + QStringLiteral("/config/glib-2.0/settings/keyfile"));
        QVERIFY2(keyfile.contains("enabled-extensions=['corvalint@corvalint.org']"), keyfile.constData());
        QVERIFY(keyfile.contains("disable-user-extensions=false"));

        // Once more for a newer shell: the module form replaces the other, and the list keeps one entry.
        QVERIFY(GnomeExtensionInstaller::install(none, forms, QStringLiteral("47.1"), &done, &error));
        QVERIFY(read(extensionFolder() + QStringLiteral("/extension.js")).contains("export default class"));
        QVERIFY(read(extensionFolder() + QStringLiteral("/shellservice.js")).contains("export {ShellService};"));
        QVERIFY(read(extensionFolder() + QStringLiteral("/metadata.json")).contains("\"45\""));
        QVERIFY(read(m_home.path() + QStringLiteral("/config/glib-2.0/settings/keyfile"))
                    .contains("enabled-extensions=['corvalint@corvalint.org']\n"));
    }

    void refusesWhatItCannotInstall()
    {
        QString done;
        QString error;
        const QDBusConnection none(QStringLiteral("no bus"));
        QVERIFY(
            !GnomeExtensionInstaller::install(none, GnomeExtensionInstaller::formsFolder(), QString(), &done, &error));
        QVERIFY(error.contains(QLatin1String("which GNOME Shell")));
        QVERIFY(!GnomeExtensionInstaller::install(
            none, m_home.path() + QStringLiteral("/nothing"), QStringLiteral("43.9"), &done, &error));
        QVERIFY(error.contains(QLatin1String("not among")));
        QVERIFY(done.isEmpty());
    }

    void everyStateButActiveHasAnInstruction()
    {
        using State = GnomeExtensionStatus::State;
        QVERIFY(GnomeExtensionStatus::instruction(State::active).isEmpty());
        QVERIFY(GnomeExtensionStatus::appInstruction(State::active).isEmpty());
        for (State state : { State::noShell, State::notInstalled, State::needsLogin, State::disabled, State::failed }) {
            QVERIFY(!GnomeExtensionStatus::instruction(state).isEmpty());
            QVERIFY(!GnomeExtensionStatus::appInstruction(state).isEmpty());
        }
        QVERIFY(GnomeExtensionStatus::instruction(State::notInstalled).contains(QLatin1String("log out")));
    }
};

QTEST_GUILESS_MAIN(TestGnomeExtensionInstaller)
#include "tst_gnomeextensioninstaller.moc"
