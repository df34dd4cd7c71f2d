// Tests which installed applications play the document roles, and that each role reaches its collector.
#include "platform/linux/documents/linuxdocuments.h"
#include "platform/linux/documents/mozlz4.h"
#include "snsswriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestLinuxDocuments : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_home;
    QString m_config;

    void writeFile(const QString &path, const QByteArray &content)
    {
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }

    void writeDesktopEntry(const QString &dataDir, const QString &id, const QByteArray &extra = {})
    {
        writeFile(QDir(dataDir).filePath("applications/" + id + ".desktop"),
            "[Desktop Entry]\nType=Application\nName=" + id.toUtf8() + "\nExec=/bin/true %U\n" + extra);
    }

private slots:
    // GIO reads the XDG variables once, at its first use: they are set before any.
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        const QDir root(m_root.path());
        m_home = root.filePath("home");
        m_config = root.filePath("home/.config");
        const QString system = root.filePath("system");
        const QString user = root.filePath("home/.local/share");
        qputenv("XDG_DATA_DIRS", QFile::encodeName(system));
        qputenv("XDG_DATA_HOME", QFile::encodeName(user));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(root.filePath("etc-xdg")));

        writeDesktopEntry(system, "firefox-esr", "MimeType=x-scheme-handler/https;\n");
        writeDesktopEntry(system, "firefox", "MimeType=x-scheme-handler/https;\n");
        writeDesktopEntry(system, "chromium", "MimeType=x-scheme-handler/https;\n");
        writeDesktopEntry(system, "code", "MimeType=inode/directory;\n");
        writeDesktopEntry(system, "org.gnome.Nautilus", "MimeType=inode/directory;\n");
        // A user's entry that hides an installed one takes it away.
        writeDesktopEntry(system, "google-chrome");
        writeFile(QDir(user).filePath("applications/google-chrome.desktop"),
            "[Desktop Entry]\nType=Application\nName=gone\nExec=/bin/true\nHidden=true\n");
        writeFile(QDir(m_config).filePath("mimeapps.list"),
            "[Default Applications]\ninode/directory=org.gnome.Nautilus.desktop\n"
            "x-scheme-handler/https=chromium.desktop\n");
    }

    void profileNamesTheInstalledEntries()
    {
        const PlatformProfile profile = LinuxDocuments(m_home, m_config, QString()).profile();
        QCOMPARE(profile.browsers[0], QStringLiteral("firefox-esr"));
        QCOMPARE(profile.browsers[1], QStringLiteral("chromium"));
        QCOMPARE(profile.browsers[2], QString());
        QCOMPARE(profile.browsers[3], QString());
        QCOMPARE(profile.fileManager, QStringLiteral("org.gnome.Nautilus"));
        QCOMPARE(profile.ide, QStringLiteral("code"));
        QCOMPARE(profile.websiteFallback, QStringLiteral("chromium"));
        QCOMPARE(profile.folderFallback, QStringLiteral("org.gnome.Nautilus"));
        QCOMPARE(profile.browserIndex("chromium"), 1);
    }

    void browserRolesReachTheirBrowsersFiles()
    {
        const QDir home(m_home);
        writeFile(home.filePath(".mozilla/firefox/profiles.ini"), "[Install1]\nDefault=p.default-esr\n");
        writeFile(home.filePath(".mozilla/firefox/p.default-esr/sessionstore-backups/recovery.jsonlz4"),
            MozLz4::encode("{\"windows\":[{\"tabs\":[{\"entries\":[{\"url\":\"http://fox/\"}],\"index\":1}]}]}"));
        const QDir config(m_config);
        writeFile(config.filePath("chromium/Default/Sessions/Session_1"),
            SnssWriter().windowWithTabs(1, { { 1, "http://chromium/" } }).bytes());
        writeFile(config.filePath("google-chrome/Default/Sessions/Session_1"),
            SnssWriter().windowWithTabs(1, { { 1, "http://chrome/" } }).bytes());
        writeFile(config.filePath("BraveSoftware/Brave-Browser/Default/Sessions/Session_1"),
            SnssWriter().windowWithTabs(1, { { 1, "http://brave/" } }).bytes());

        const LinuxDocuments documents(m_home, m_config, QString());
        QCOMPARE(documents.collect(DocumentRole::browser0, "firefox-esr", {}, {}), QStringList { "http://fox/" });
        QCOMPARE(documents.collect(DocumentRole::browser1, "chromium", {}, {}), QStringList { "http://chromium/" });
        QCOMPARE(documents.collect(DocumentRole::browser2, "google-chrome", {}, {}), QStringList { "http://chrome/" });
        QCOMPARE(documents.collect(DocumentRole::browser3, "brave-browser", {}, {}), QStringList { "http://brave/" });
        QVERIFY(documents.collect(DocumentRole::browser0, "epiphany", {}, {}).isEmpty());
    }

    void fileManagerRoleReadsTitlesOrAsksNautilus()
    {
        const LinuxDocuments documents(m_home, m_config, QString());
        const QStringList titles { m_home, "Home" };
        QCOMPARE(documents.collect(DocumentRole::fileManager, "spacefm", {}, titles), QStringList { m_home });
        // Thunar's windows carry their folders themselves: a list would pair twice.
        QVERIFY(documents.collect(DocumentRole::fileManager, "thunar", {}, titles).isEmpty());
        // Nautilus is asked over D-Bus only; without a bus there is nothing, at once.
        QElapsedTimer timer;
        timer.start();
        QVERIFY(documents.collect(DocumentRole::fileManager, "org.gnome.Nautilus", {}, titles).isEmpty());
        QVERIFY(timer.elapsed() < 1500);
    }

    void ideRoleReadsVsCode()
    {
        writeFile(QDir(m_config).filePath("Code/User/globalStorage/storage.json"),
            "{\"windowsState\":{\"lastActiveWindow\":{\"folder\":\"file:///work/project\"}}}");
        const LinuxDocuments documents(m_home, m_config, QString());
        QCOMPARE(documents.collect(DocumentRole::ide, "code", {}, {}), QStringList { "/work/project" });
        QVERIFY(documents.collect(DocumentRole::ide, "gedit", {}, {}).isEmpty());
    }

    void defaultFoldersFollowTheEnvironment()
    {
        QCOMPARE(LinuxDocuments::defaultConfigDir(), m_config);
        qputenv("XDG_CONFIG_HOME", "relative/is/ignored");
        QCOMPARE(LinuxDocuments::defaultConfigDir(), QDir(QDir::homePath()).filePath(".config"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config));
    }
};

QTEST_GUILESS_MAIN(TestLinuxDocuments)
#include "tst_linuxdocuments.moc"
