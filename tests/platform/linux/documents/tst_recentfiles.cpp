// Tests reading the recent-files lists: freedesktop's XBEL as GTK writes it, and KDE's recent documents.
#include "platform/linux/documents/recentfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray bookmark(const QByteArray &href, const QByteArray &modified, const QByteArray &applications)
{
    return "<bookmark href=\"" + href + "\" added=\"" + modified + "\" modified=\"" + modified + "\" visited=\""
        + modified + "\"><info><metadata owner=\"http://freedesktop.org\"><mime:mime-type type=\"text/plain\"/>"
        + "<bookmark:applications>" + applications + "</bookmark:applications></metadata></info></bookmark>\n";
}

QByteArray application(const QByteArray &name, const QByteArray &exec, const QByteArray &modified)
{
    return "<bookmark:application name=\"" + name + "\" exec=\"" + exec + "\" modified=\"" + modified
        + "\" count=\"1\"/>";
}

QByteArray xbel(const QByteArray &bookmarks)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xbel version=\"1.0\" "
           "xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\" "
           "xmlns:mime=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        + bookmarks + "</xbel>\n";
}
} // namespace

class TestRecentFiles : public QObject
{
    Q_OBJECT

private slots:
    void mousepadsListIsRead()
    {
        // Written by Mousepad 0.5.10 on the test desktop.
        QFile file(QStringLiteral(CORVALINT_DOCUMENTS_TEST_DATA "/recently-used-mousepad.xbel"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<RecentFile> files = RecentFiles::parseXbel(file.readAll());
        QCOMPARE(files.size(), 3);
        QCOMPARE(files[0].path, QString("/tmp/exp/notes.txt"));
        QCOMPARE(files[1].path, QString("/tmp/exp/dir one/other file.txt"));
        QCOMPARE(files[0].uses.size(), 1);
        QCOMPARE(files[0].uses[0].name, QString("Mousepad"));
        QCOMPARE(files[0].uses[0].program, QString("mousepad"));
        QVERIFY(files[0].uses[0].modified.isValid());
    }

    void onlyLocalFilesCount()
    {
        const QByteArray use = application("gedit", "gedit %U", "2024-01-01T10:00:00Z");
        const QByteArray content = xbel(bookmark("https://example.org/a.txt", "2024-01-01T10:00:00Z", use)
            + bookmark("file://otherhost/srv/b.txt", "2024-01-01T10:00:00Z", use)
            + bookmark("file:relative.txt", "2024-01-01T10:00:00Z", use)
            + bookmark("trash:///c.txt", "2024-01-01T10:00:00Z", use)
            + bookmark("file:///home/u/%C3%A9t%C3%A9.txt", "2024-01-01T10:00:00Z", use)
            + bookmark("file://localhost/home/u/x.txt", "2024-01-01T10:00:00Z", use));
        const QList<RecentFile> files = RecentFiles::parseXbel(content);
        QCOMPARE(files.size(), 2);
        QCOMPARE(files[0].path, QString::fromUtf8("/home/u/\u00e9t\u00e9.txt"));
        QCOMPARE(files[1].path, QString("/home/u/x.txt"));
    }

    void otherElementsAreSkipped()
    {
        const QByteArray content = xbel("<title>mine</title><folder><bookmark href=\"file:///in/folder\"/></folder>"
            + bookmark("file:///a.txt", "2024-01-01T10:00:00Z",
                "<unknown><bookmark:application name=\"nested\" exec=\"x\"/></unknown>"
                    + application("Mousepad", "'mousepad %u'", "2024-01-01T10:00:00Z"))
            + "<separator/>");
        const QList<RecentFile> files = RecentFiles::parseXbel(content);
        QCOMPARE(files.size(), 1);
        QCOMPARE(files[0].path, QString("/a.txt"));
        QCOMPARE(files[0].uses.size(), 1);
        QCOMPARE(files[0].uses[0].name, QString("Mousepad"));
    }

    void malformedDocumentKeepsWhatCameBefore()
    {
        const QByteArray good = bookmark(
            "file:///a.txt", "2024-01-01T10:00:00Z", application("gedit", "gedit %U", "2024-01-01T10:00:00Z"));
        const QByteArray whole = xbel(good);
        // A second bookmark cut short: the first stays.
        QCOMPARE(RecentFiles::parseXbel(whole.left(whole.indexOf("</xbel>")) + "<bookmark href=\"file:///b").size(), 1);
        // The only bookmark cut inside its applications: it is not trusted.
        QVERIFY(RecentFiles::parseXbel(whole.left(whole.size() - 40)).isEmpty());
        QVERIFY(RecentFiles::parseXbel("not xml at all").isEmpty());
        QVERIFY(RecentFiles::parseXbel("<html><bookmark href=\"file:///a.txt\"/></html>").isEmpty());
        QVERIFY(RecentFiles::parseXbel({}).isEmpty());
    }

    void applicationsAreMatchedNewestFirst()
    {
        QTemporaryDir data;
        const QByteArray content = xbel(bookmark("file:///old.txt", "2024-01-01T10:00:00Z",
                                            application("Mousepad", "'mousepad %u'", "2024-01-01T10:00:00Z"))
            + bookmark("file:///new.txt", "2024-03-01T10:00:00Z",
                application("Mousepad", "'mousepad %u'", "2024-03-01T10:00:00Z"))
            + bookmark("file:///gedit.txt", "2024-04-01T10:00:00Z",
                application("Text Editor", "gedit %U", "2024-04-01T10:00:00Z"))
            // Opened long ago by Mousepad, lately by gedit: Mousepad's own time counts for Mousepad.
            + bookmark("file:///both.txt", "2024-05-01T10:00:00Z",
                application("Mousepad", "'mousepad %u'", "2024-02-01T10:00:00Z")
                    + application("Text Editor", "/usr/bin/gedit %U", "2024-05-01T10:00:00Z")));
        QVERIFY(writeFile(data.filePath("recently-used.xbel"), content));
        RecentFiles recent(data.path(), "/home/u");
        QCOMPARE(recent.openedBy({ "mousepad" }), (QStringList { "/new.txt", "/both.txt", "/old.txt" }));
        // By name ("Text Editor") or by program ("gedit"), in any case.
        QCOMPARE(recent.openedBy({ "gedit" }), (QStringList { "/both.txt", "/gedit.txt" }));
        QCOMPARE(recent.openedBy({ "text editor" }), (QStringList { "/both.txt", "/gedit.txt" }));
        QVERIFY(recent.openedBy({ "featherpad" }).isEmpty());
        QVERIFY(recent.openedBy({}).isEmpty());
        QCOMPARE(recent.all(), (QStringList { "/both.txt", "/gedit.txt", "/new.txt", "/old.txt" }));
    }

    void changedListIsReadAgain()
    {
        QTemporaryDir data;
        const QString path = data.filePath("recently-used.xbel");
        const QByteArray use = application("Mousepad", "'mousepad %u'", "2024-01-01T10:00:00Z");
        QVERIFY(writeFile(path, xbel(bookmark("file:///a.txt", "2024-01-01T10:00:00Z", use))));
        RecentFiles recent(data.path(), "/home/u");
        QCOMPARE(recent.openedBy({ "mousepad" }), QStringList { "/a.txt" });
        QVERIFY(writeFile(path,
            xbel(bookmark("file:///a.txt", "2024-01-01T10:00:00Z", use)
                + bookmark("file:///b.txt", "2024-01-01T10:00:00Z", use))));
        QCOMPARE(recent.openedBy({ "mousepad" }).size(), 2);
        QVERIFY(QFile::remove(path));
        QVERIFY(recent.openedBy({ "mousepad" }).isEmpty());
    }

    void hugeListIsRefused()
    {
        QTemporaryDir data;
        const QByteArray use = application("Mousepad", "'mousepad %u'", "2024-01-01T10:00:00Z");
        QByteArray content = xbel(bookmark("file:///a.txt", "2024-01-01T10:00:00Z", use));
        content.insert(content.indexOf("<bookmark "), QByteArray(RecentFiles::maxXbelBytes, ' '));
        QVERIFY(writeFile(data.filePath("recently-used.xbel"), content));
        RecentFiles recent(data.path(), "/home/u");
        QVERIFY(recent.openedBy({ "mousepad" }).isEmpty());
    }

    void kdeRecentDocumentsAreRead()
    {
        const QDateTime when = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
        const auto entry = RecentFiles::parseKdeEntry("[Desktop Entry]\nIcon=text-plain\nName=notes.txt\nType=Link\n"
                                                      "URL[$e]=file:///srv/notes%20a.txt\nX-KDE-LastOpenedWith=kate\n",
            when, "/home/u");
        QVERIFY(entry);
        QCOMPARE(entry->path, QString("/srv/notes a.txt"));
        QCOMPARE(entry->modified, when);
        QCOMPARE(entry->uses.size(), 1);
        QCOMPARE(entry->uses[0].name, QString("kate"));
        // KDE writes the home folder as $HOME, and the URL as it is shown.
        const auto underHome = RecentFiles::parseKdeEntry(
            "[Desktop Entry]\nType=Link\nURL[$e]=file://$HOME/dir one/\u00e9t\u00e9.txt\n", when, "/home/u");
        QVERIFY(underHome);
        QCOMPARE(underHome->path, QString::fromUtf8("/home/u/dir one/\u00e9t\u00e9.txt"));
        QVERIFY(underHome->uses.isEmpty());
        // Without the mark, $HOME is a folder's name like any other.
        QCOMPARE(RecentFiles::parseKdeEntry("[Desktop Entry]\nURL=file:///$HOME/a.txt\n", when, "/home/u")->path,
            QString("/$HOME/a.txt"));
        QVERIFY(!RecentFiles::parseKdeEntry("[Desktop Entry]\nURL[$e]=https://example.org/\n", when, "/home/u"));
        QVERIFY(!RecentFiles::parseKdeEntry("not a key file\n", when, "/home/u"));
        QVERIFY(!RecentFiles::parseKdeEntry("[Other]\nURL=file:///a.txt\n", when, "/home/u"));
    }

    void kdeFolderJoinsTheXbelList()
    {
        QTemporaryDir data;
        QVERIFY(writeFile(data.filePath("RecentDocuments/notes.txt.desktop"),
            "[Desktop Entry]\nType=Link\nURL[$e]=file:///k/notes.txt\nX-KDE-LastOpenedWith=org.kde.kate\n"));
        QVERIFY(writeFile(data.filePath("RecentDocuments/web.desktop"),
            "[Desktop Entry]\nType=Link\nURL[$e]=https://example.org/\nX-KDE-LastOpenedWith=org.kde.kate\n"));
        QVERIFY(writeFile(data.filePath("recently-used.xbel"),
            xbel(bookmark("file:///g/notes.txt", "2024-01-01T10:00:00Z",
                application("Mousepad", "'mousepad %u'", "2024-01-01T10:00:00Z")))));
        RecentFiles recent(data.path(), "/home/u");
        QCOMPARE(recent.openedBy({ "org.kde.kate" }), QStringList { "/k/notes.txt" });
        QCOMPARE(recent.openedBy({ "mousepad" }), QStringList { "/g/notes.txt" });
        QCOMPARE(recent.all().size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestRecentFiles)
#include "tst_recentfiles.moc"
