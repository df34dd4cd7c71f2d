// Tests finding what one window shows from its title, its process (a fake /proc) and the recent-files list.
#include "platform/linux/documents/linuxdocuments.h"
#include "platform/linux/documents/windowdocuments.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {
bool writeFile(const QString &path, const QByteArray &content = {})
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray bookmark(const QString &path, const QByteArray &name, const QByteArray &exec, const QByteArray &when)
{
    return "<bookmark href=\"" + QUrl::fromLocalFile(path).toEncoded() + "\" modified=\"" + when
        + "\"><info><metadata owner=\"http://freedesktop.org\"><bookmark:applications>"
        + "<bookmark:application name=\"" + name + "\" exec=\"" + exec + "\" modified=\"" + when
        + "\" count=\"1\"/></bookmark:applications></metadata></info></bookmark>\n";
}

QByteArray xbel(const QByteArray &bookmarks)
{
    return "<?xml version=\"1.0\"?>\n<xbel version=\"1.0\" "
           "xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\">\n"
        + bookmarks + "</xbel>\n";
}
} // namespace

class TestWindowDocuments : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_home;
    QString m_data;
    QString m_proc;

    void makeProcess(qint64 pid, const QStringList &arguments, const QString &cwd)
    {
        const QString dir = QDir(m_proc).filePath(QString::number(pid));
        QByteArray commandLine;
        for (const QString &argument : arguments)
            commandLine += argument.toUtf8() + '\0';
        QVERIFY(writeFile(dir + "/cmdline", commandLine));
        QVERIFY(QFile::link(cwd, dir + "/cwd"));
    }

    WindowDocuments documents(uint uid = ProcessLookup::currentUid()) const
    {
        return WindowDocuments(m_home, m_data, ProcessLookup(m_proc, uid));
    }

    QString home(const QString &relative) const { return QDir(m_home).filePath(relative); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_home = m_root.filePath("root");
        m_data = m_root.filePath("data");
        m_proc = m_root.filePath("proc");
        for (const char *file : { "dir/a.txt", "dir/b.txt", "dir/c.txt", "notes/todo.md", "far/deep/away/log.txt",
                 "src1/src/x.c", "src2/src/y.c", "src2/src/x.c" })
            QVERIFY(writeFile(home(file)));
        for (const char *folder : { "dir one", "Documents", "far/deep/away/proj", "Trash can" })
            QVERIFY(QDir().mkpath(home(folder)));
        QVERIFY(writeFile(m_data + "/recently-used.xbel",
            xbel(bookmark(home("dir/b.txt"), "Mousepad", "'mousepad %u'", "2024-02-01T10:00:00Z")
                + bookmark(home("dir/c.txt"), "Text Editor", "gedit %U", "2024-03-01T10:00:00Z")
                + bookmark(home("notes/todo.md"), "FeatherPad", "featherpad %U", "2024-03-01T10:00:00Z")
                + bookmark(home("far/deep/away/log.txt"), "Text Editor", "gedit %U", "2024-03-01T10:00:00Z")
                + bookmark(home("src1/src/x.c"), "Text Editor", "gedit %U", "2024-03-01T10:00:00Z")
                + bookmark(home("src2/src/y.c"), "Text Editor", "gedit %U", "2024-03-01T10:00:00Z")
                + bookmark(home("src2/src/x.c"), "Text Editor", "gedit %U", "2024-03-02T10:00:00Z"))));
        // Mousepad is single-instance: one process, started with a.txt, shows every window.
        makeProcess(200, { "mousepad", "a.txt" }, home("dir"));
        makeProcess(300, { "/usr/bin/featherpad" }, m_home);
        makeProcess(500, { "gedit", home("src2/src/x.c") }, m_home);
        QVERIFY(QDir().mkpath(m_root.filePath("launched here")));
        makeProcess(400, { "thunar", home("far/deep/away/proj") }, m_root.filePath("launched here"));
    }

    void singleInstanceEditorMatchesEachWindowByItsTitle()
    {
        WindowDocuments windows = documents();
        const QString mousepad = "org.xfce.mousepad";
        QCOMPARE(windows.documentOf(mousepad, 200, "a.txt - Mousepad").value_or(QString()), home("dir/a.txt"));
        QCOMPARE(windows.documentOf(mousepad, 200, "*b.txt - Mousepad").value_or(QString()), home("dir/b.txt"));
        // gedit opened c.txt: not a candidate for Mousepad.
        QVERIFY(!windows.documentOf(mousepad, 200, "c.txt - Mousepad"));
        QVERIFY(!windows.documentOf(mousepad, 200, "Untitled 1 - Mousepad"));
        // Two x.c files in gedit's recent list: the one on gedit's command line, or the one the title places.
        QVERIFY(!windows.documentOf("org.gnome.gedit", std::nullopt, "x.c - gedit"));
        QCOMPARE(windows.documentOf("org.gnome.gedit", 500, "x.c - gedit").value_or(QString()), home("src2/src/x.c"));
        QCOMPARE(windows.documentOf("org.gnome.gedit", 500, "x.c (~/src1/src) - gedit").value_or(QString()),
            home("src1/src/x.c"));
        QVERIFY(!windows.documentOf(mousepad, 200, QString()));
    }

    void programNameMeetsTheRecentList()
    {
        WindowDocuments windows = documents();
        // No desktop entry id, but the process's program is "featherpad".
        QCOMPARE(windows.documentOf(QString(), 300, "todo.md - FeatherPad").value_or(QString()), home("notes/todo.md"));
        QCOMPARE(windows.documentOf("featherpad", std::nullopt, "todo.md").value_or(QString()), home("notes/todo.md"));
        QCOMPARE(windows.documentOf("org.gnome.gedit", std::nullopt, "c.txt (~/dir) - gedit").value_or(QString()),
            home("dir/c.txt"));
    }

    void pathInTitleNeedsNoCandidate()
    {
        WindowDocuments windows = documents();
        QCOMPARE(windows.documentOf("featherpad", 300, "*" + home("dir/c.txt")).value_or(QString()), home("dir/c.txt"));
    }

    void anotherUsersProcessGivesNoCandidates()
    {
        WindowDocuments windows = documents(ProcessLookup::currentUid() + 1);
        QVERIFY(!windows.documentOf("org.xfce.mousepad", 200, "a.txt - Mousepad"));
        // The recent list still speaks for Mousepad.
        QCOMPARE(
            windows.documentOf("org.xfce.mousepad", 200, "b.txt - Mousepad").value_or(QString()), home("dir/b.txt"));
    }

    void fileManagerTitlesNameFolders_data()
    {
        QTest::addColumn<QString>("appId");
        QTest::addColumn<qint64>("pid");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Thunar, a home folder") << "thunar" << 0ll << "dir one - Thunar" << home("dir one");
        QTest::newRow("Thunar, home by its name") << "thunar" << 0ll << "root - Thunar" << m_home;
        QTest::newRow("Thunar, full path") << "thunar" << 0ll << home("far/deep") + " - Thunar" << home("far/deep");
        QTest::newRow("Thunar, its argument") << "thunar" << 400ll << "proj - Thunar" << home("far/deep/away/proj");
        QTest::newRow("Thunar, its working folder")
            << "thunar" << 400ll << "launched here - Thunar" << m_root.filePath("launched here");
        QTest::newRow("Thunar, a recent file's folder") << "thunar" << 0ll << "away - Thunar" << home("far/deep/away");
        QTest::newRow("Thunar, the root") << "thunar" << 0ll << "File System - Thunar"
                                          << "/";
        QTest::newRow("Thunar, trash") << "thunar" << 0ll << "Trash - Thunar" << QString();
        QTest::newRow("two folders of the name") << "thunar" << 0ll << "src - Thunar" << QString();
        QTest::newRow("unknown folder") << "thunar" << 0ll << "elsewhere - Thunar" << QString();
        QTest::newRow("Nemo, a home folder") << "nemo" << 0ll << "Documents" << home("Documents");
        QTest::newRow("Nemo, home") << "nemo" << 0ll << "Home" << m_home;
        QTest::newRow("Caja") << "caja" << 0ll << "notes" << home("notes");
        QTest::newRow("PCManFM") << "pcmanfm" << 0ll << "Trash can" << home("Trash can");
        QTest::newRow("Dolphin") << "org.kde.dolphin" << 0ll << "dir one \u2014 Dolphin" << home("dir one");
        QTest::newRow("Dolphin, ~ path") << "org.kde.dolphin" << 0ll << "~/far \u2014 Dolphin" << home("far");
    }

    void fileManagerTitlesNameFolders()
    {
        QFETCH(QString, appId);
        QFETCH(qint64, pid);
        QFETCH(QString, title);
        QFETCH(QString, expected);
        WindowDocuments windows = documents();
        const auto process = pid ? std::optional<qint64>(pid) : std::nullopt;
        QCOMPARE(windows.documentOf(appId, process, title).value_or(QString()), expected);
    }

    void editorsAreNotGivenFolders()
    {
        WindowDocuments windows = documents();
        QVERIFY(!windows.documentOf("org.xfce.mousepad", 200, "dir one - Mousepad"));
        QVERIFY(!windows.documentOf("org.xfce.mousepad", 200, home("dir one") + " - Mousepad"));
    }

    void linuxDocumentsLeavesOrderedRolesToTheirCollectors()
    {
        const LinuxDocuments linux(m_home, m_root.filePath("config"), QString(), m_data);
        const QString title = home("dir one/../dir/a.txt");
        QCOMPARE(linux.windowDocument("org.xfce.mousepad", std::nullopt, title).value_or(QString()),
            QUrl::fromLocalFile(home("dir/a.txt")).toString());
        QCOMPARE(linux.windowDocument("thunar", std::nullopt, "dir one - Thunar").value_or(QString()),
            "file://" + QUrl::toPercentEncoding(home("dir one"), "/"));
        for (const char *id :
            { "firefox", "firefox-esr", "chromium", "google-chrome", "brave-browser", "code", "org.gnome.Nautilus" })
            QVERIFY2(!linux.windowDocument(id, std::nullopt, title), id);
    }
};

QTEST_GUILESS_MAIN(TestWindowDocuments)
#include "tst_windowdocuments.moc"
