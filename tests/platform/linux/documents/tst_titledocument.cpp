// Tests reading the file or folder a window's title names, with the title formats real editors write.
#include "platform/linux/documents/titledocument.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestTitleDocument : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_home;

    QString touch(const QString &relative)
    {
        const QString path = QDir(m_root.path()).filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_home = QDir(m_root.path()).filePath("home");
        touch("home/dir/notes.txt");
        touch("home/dir/notes.txt.bak");
        touch("home/other/notes.txt");
        touch("home/dir one/other file.txt");
        touch("home/a - b/odd.txt");
    }

    void markersAndPartsAreSplit()
    {
        QCOMPARE(TitleDocument::withoutMarker("*notes.txt - Mousepad"), QString("notes.txt - Mousepad"));
        QCOMPARE(TitleDocument::withoutMarker("\u2022 notes.txt"), QString("notes.txt"));
        QCOMPARE(TitleDocument::withoutMarker("*/tmp/a.txt"), QString("/tmp/a.txt"));
        QCOMPARE(TitleDocument::parts("notes.txt (~/dir) - gedit"), (QStringList { "notes.txt", "~/dir", "gedit" }));
        QCOMPARE(TitleDocument::parts("dir one \u2014 Dolphin"), (QStringList { "dir one", "Dolphin" }));
        QCOMPARE(TitleDocument::parts("*notes.txt - /home/u/dir - FeatherPad"),
            (QStringList { "notes.txt", "/home/u/dir", "FeatherPad" }));
    }

    void pathInTitleWinsForEveryFormat_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("expected");
        const QString notes = QDir(m_home).filePath("dir/notes.txt");
        QTest::newRow("Mousepad with the path") << notes + " - Mousepad" << notes;
        QTest::newRow("Mousepad modified") << "*" + notes + " - Mousepad" << notes;
        QTest::newRow("FeatherPad") << notes << notes;
        QTest::newRow("FeatherPad modified") << "*" + notes << notes;
        QTest::newRow("FeatherPad name and folder") << "notes.txt - " + m_home + "/dir - FeatherPad" << notes;
        QTest::newRow("gedit") << "notes.txt (~/dir) - gedit" << notes;
        QTest::newRow("Kate") << "~/dir/notes.txt - Kate" << notes;
        QTest::newRow("separator inside the path") << m_home + "/a - b/odd.txt" << m_home + "/a - b/odd.txt";
        QTest::newRow("spaces in names") << m_home + "/dir one/other file.txt - Mousepad"
                                         << m_home + "/dir one/other file.txt";
        QTest::newRow("name only") << "notes.txt - Mousepad" << QString();
        QTest::newRow("missing file") << m_home + "/dir/gone.txt - Mousepad" << QString();
        QTest::newRow("a folder is no file") << m_home + "/dir - Mousepad" << QString();
        QTest::newRow("empty") << QString() << QString();
    }

    void pathInTitleWinsForEveryFormat()
    {
        QFETCH(QString, title);
        QFETCH(QString, expected);
        QCOMPARE(TitleDocument::pathIn(title, m_home, false).value_or(QString()), expected);
    }

    void foldersAreFoundWhenAsked()
    {
        QCOMPARE(
            TitleDocument::pathIn(m_home + "/dir one - Thunar", m_home, true).value_or(QString()), m_home + "/dir one");
        QCOMPARE(TitleDocument::pathIn("~/dir \u2014 Dolphin", m_home, true).value_or(QString()), m_home + "/dir");
        QCOMPARE(TitleDocument::pathIn("~", m_home, true).value_or(QString()), m_home);
        QVERIFY(!TitleDocument::pathIn(m_home + "/dir/notes.txt", m_home, true));
    }

    void namesStandAsWholeTokens()
    {
        QVERIFY(TitleDocument::containsToken("notes.txt - Mousepad", "notes.txt"));
        QVERIFY(TitleDocument::containsToken("*notes.txt", "notes.txt"));
        QVERIFY(TitleDocument::containsToken("[notes.txt]", "notes.txt"));
        QVERIFY(!TitleDocument::containsToken("notes.txt.bak - Mousepad", "notes.txt"));
        QVERIFY(!TitleDocument::containsToken("mynotes.txt", "notes.txt"));
        QVERIFY(!TitleDocument::containsToken("old-notes.txt", "notes.txt"));
        QVERIFY(!TitleDocument::containsToken("anything", ""));
    }

    void candidateNamedInTitleWins()
    {
        const QString notes = m_home + "/dir/notes.txt";
        const QString other = m_home + "/dir one/other file.txt";
        const QStringList candidates { other, notes };
        QCOMPARE(TitleDocument::match("notes.txt - Mousepad", candidates).value_or(QString()), notes);
        QCOMPARE(TitleDocument::match("*notes.txt - Mousepad", candidates).value_or(QString()), notes);
        QCOMPARE(TitleDocument::match("other file.txt - Mousepad", candidates).value_or(QString()), other);
        QVERIFY(!TitleDocument::match("Untitled 1 - Mousepad", candidates));
        QVERIFY(!TitleDocument::match("notes.txt - Mousepad", {}));
    }

    void longestNameWins()
    {
        const QString notes = m_home + "/dir/notes.txt";
        const QString backup = m_home + "/dir/notes.txt.bak";
        QCOMPARE(TitleDocument::match("notes.txt.bak - Mousepad", { notes, backup }).value_or(QString()), backup);
        QCOMPARE(TitleDocument::match("notes.txt - Mousepad", { notes, backup }).value_or(QString()), notes);
    }

    void sameNameTwiceIsToldByFolderOrNotAtAll()
    {
        const QString first = m_home + "/dir/notes.txt";
        const QString second = m_home + "/other/notes.txt";
        QVERIFY(!TitleDocument::match("notes.txt - Mousepad", { first, second }));
        QCOMPARE(TitleDocument::match("notes.txt - other - FeatherPad", { first, second }).value_or(QString()), second);
        // The one the process was started with, when only one of them is.
        QCOMPARE(
            TitleDocument::match("notes.txt - Mousepad", { first, second }, { second }).value_or(QString()), second);
        QVERIFY(!TitleDocument::match("notes.txt - Mousepad", { first, second }, { first, second }));
        // The same file twice (from the command line and the recent list) is no ambiguity.
        QCOMPARE(TitleDocument::match("notes.txt - Mousepad", { first, m_home + "/dir/../dir/notes.txt" })
                     .value_or(QString()),
            first);
    }

    void missingCandidatesAreSkipped()
    {
        const QString gone = m_home + "/gone/notes.txt";
        const QString notes = m_home + "/dir/notes.txt";
        QCOMPARE(TitleDocument::match("notes.txt - Mousepad", { gone, notes }).value_or(QString()), notes);
        QVERIFY(!TitleDocument::match("notes.txt - Mousepad", { gone }));
        // A folder of the name is no document for an editor.
        QVERIFY(!TitleDocument::match("dir - Mousepad", { m_home + "/dir" }));
    }
};

QTEST_GUILESS_MAIN(TestTitleDocument)
#include "tst_titledocument.moc"
