// What an entry row says: titles per kind, the monitor label, position and size texts.
#include "detailfixture.h"
#include "entrypresentation.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace detailfixture;

namespace {

EntryData entryOf(const QString &kind)
{
    EntryData entry;
    entry.typeRawValue = kind;
    return entry;
}

EntryData withPath(const QString &kind, const QString &path)
{
    EntryData entry = entryOf(kind);
    entry.filePath = path;
    return entry;
}

EntryData withAddress(const QString &address)
{
    EntryData entry = entryOf(QStringLiteral("website"));
    entry.websiteURL = address;
    return entry;
}

} // namespace

class TestEntryPresentation : public QObject
{
    Q_OBJECT

private slots:
    void applicationTitleIsTheLastIdentifierPieceCapitalised()
    {
        QCOMPARE(
            EntryPresentation::entryTitle(application(QStringLiteral("com.google.Chrome"))), QStringLiteral("Chrome"));
        QCOMPARE(
            EntryPresentation::entryTitle(application(QStringLiteral("com.apple.Safari"))), QStringLiteral("Safari"));
        QCOMPARE(
            EntryPresentation::entryTitle(application(QStringLiteral("com.apple.dt.XCode"))), QStringLiteral("Xcode"));
        QCOMPARE(
            EntryPresentation::entryTitle(application(QStringLiteral("firefox-esr"))), QStringLiteral("Firefox-esr"));
        QCOMPARE(EntryPresentation::entryDetail(application(QStringLiteral("com.google.Chrome"))),
            QStringLiteral("com.google.Chrome"));
    }

    void applicationWithoutIdentifierReadsAnwendung()
    {
        EntryData entry = entryOf(QStringLiteral("application"));
        QCOMPARE(EntryPresentation::entryTitle(entry), QStringLiteral("Anwendung"));
        QCOMPARE(EntryPresentation::entryDetail(entry), QString());
    }

    void capitalisationWorksWordByWord()
    {
        QCOMPARE(EntryPresentation::capitalized(QStringLiteral("visual STUDIO\tcode")),
            QStringLiteral("Visual Studio\tCode"));
        QCOMPARE(EntryPresentation::capitalized(QStringLiteral("éCLAIR")), QStringLiteral("Éclair"));
        QCOMPARE(EntryPresentation::capitalized(QString()), QString());
    }

    void websiteTitleIsTheHost()
    {
        QCOMPARE(EntryPresentation::entryTitle(withAddress(QStringLiteral("https://github.com/corvalint?tab=1"))),
            QStringLiteral("github.com"));
        QCOMPARE(EntryPresentation::entryDetail(withAddress(QStringLiteral("https://github.com/x"))),
            QStringLiteral("https://github.com/x"));
    }

    void websiteWithoutUsableAddressReadsWebseite()
    {
        QCOMPARE(EntryPresentation::entryTitle(withAddress(QStringLiteral("not a url"))), QStringLiteral("Webseite"));
        QCOMPARE(EntryPresentation::entryDetail(withAddress(QStringLiteral("not a url"))), QStringLiteral("not a url"));
        QCOMPARE(EntryPresentation::entryTitle(withAddress(QStringLiteral("mailto:ada@example.org"))),
            QStringLiteral("Webseite"));
        QCOMPARE(EntryPresentation::entryTitle(entryOf(QStringLiteral("website"))), QStringLiteral("Webseite"));
    }

    void fileAndFolderTitlesAreTheLastPathPiece()
    {
        QCOMPARE(EntryPresentation::entryTitle(withPath(QStringLiteral("file"), QStringLiteral("/home/ada/notes.md"))),
            QStringLiteral("notes.md"));
        QCOMPARE(
            EntryPresentation::entryTitle(withPath(QStringLiteral("folder"), QStringLiteral("/home/ada/Projects"))),
            QStringLiteral("Projects"));
        QCOMPARE(EntryPresentation::entryTitle(entryOf(QStringLiteral("file"))), QStringLiteral("Datei"));
        QCOMPARE(EntryPresentation::entryTitle(entryOf(QStringLiteral("folder"))), QStringLiteral("Ordner"));
    }

    void aFolderWrittenWithATrailingSlashIsStillNamed()
    {
        const EntryData folder = withPath(QStringLiteral("folder"), QStringLiteral("/home/ada/Projects/"));
        QCOMPARE(EntryPresentation::entryTitle(folder), QStringLiteral("Projects"));
        QCOMPARE(EntryPresentation::entryDetail(folder), QStringLiteral("/home/ada/Projects/"));
        QCOMPARE(EntryPresentation::entryTitle(withPath(QStringLiteral("folder"), QStringLiteral("/srv//"))),
            QStringLiteral("srv"));
        QCOMPARE(EntryPresentation::entryTitle(withPath(QStringLiteral("folder"), QStringLiteral("/"))),
            QStringLiteral("/"));
        QCOMPARE(EntryPresentation::entryTitle(withPath(QStringLiteral("file"), QStringLiteral("notes.md"))),
            QStringLiteral("notes.md"));
    }

    void unknownKindReadsAsApplication()
    {
        EntryData entry = application(QStringLiteral("org.gnome.Nautilus"));
        entry.typeRawValue = QStringLiteral("widget");
        QCOMPARE(EntryPresentation::entryTitle(entry), QStringLiteral("Nautilus"));
        QCOMPARE(EntryPresentation::symbol(QStringLiteral("widget")), QStringLiteral("app.badge.fill"));
        QCOMPARE(EntryPresentation::kind(QStringLiteral("widget")), QStringLiteral("application"));
    }

    void monitorLabelCountsScreensInTheirCurrentOrder()
    {
        QCOMPARE(EntryPresentation::monitorLabel(rightUUID, { leftUUID, rightUUID }), QStringLiteral("Bildschirm 2"));
        QCOMPARE(EntryPresentation::monitorLabel(rightUUID, { rightUUID, leftUUID }), QStringLiteral("Bildschirm 1"));
    }

    void monitorLabelOfAnUnpluggedScreenIsUnknown()
    {
        QCOMPARE(EntryPresentation::monitorLabel(rightUUID, { leftUUID }), QStringLiteral("Unbekannter Bildschirm"));
        QCOMPARE(EntryPresentation::monitorLabel(rightUUID, { leftUUID, std::nullopt }),
            QStringLiteral("Unbekannter Bildschirm"));
    }

    void monitorLabelWithoutIdentifierIsADash()
    {
        QCOMPARE(
            EntryPresentation::monitorLabel(std::nullopt, { leftUUID, std::nullopt }), QStringLiteral("Bildschirm: -"));
        QCOMPARE(EntryPresentation::monitor(QVariant(), { leftUUID, QString() }), QStringLiteral("Bildschirm: -"));
        QCOMPARE(EntryPresentation::monitor(rightUUID, { leftUUID, rightUUID }), QStringLiteral("Bildschirm 2"));
    }

    void positionAndSizeDropFractionsTowardZero()
    {
        QCOMPARE(EntryPresentation::positionText(-12.7, 30.2), QStringLiteral("Pos: (-12, 30)"));
        QCOMPARE(EntryPresentation::sizeText(800.9, 600), QStringLiteral("Dim: 800x600"));
        QCOMPARE(EntryPresentation::positionText(-0.4, 0), QStringLiteral("Pos: (0, 0)"));
    }

    void hugeAndNonFiniteNumbersStillReadSomething()
    {
        QCOMPARE(EntryPresentation::sizeText(1e20, 3), QStringLiteral("Dim: 100000000000000000000x3"));
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QCOMPARE(EntryPresentation::positionText(nan, -inf), QStringLiteral("Pos: (?, ?)"));
    }

    void qmlFacesReadOptionalFieldsAsNull()
    {
        QCOMPARE(EntryPresentation::title(QStringLiteral("application"), QVariant(), QVariant(), QVariant()),
            QStringLiteral("Anwendung"));
        QCOMPARE(EntryPresentation::title(QStringLiteral("folder"), QVariant(), QVariant(), QStringLiteral("/a/b")),
            QStringLiteral("b"));
        QCOMPARE(EntryPresentation::detail(QStringLiteral("website"), QVariant(), QStringLiteral("x y"), QVariant()),
            QStringLiteral("x y"));
    }
};

QTEST_GUILESS_MAIN(TestEntryPresentation)
#include "tst_entrypresentation.moc"
