// Where each screen's overlay draws the saved windows, and what the badges of a box say.
#include "overlay/overlaybox.h"

#include <QTest>

namespace {

EntryData entryAt(const QRectF &frame, const QString &kind = QStringLiteral("application"))
{
    EntryData entry;
    entry.typeRawValue = kind;
    entry.appBundleIdentifier = QStringLiteral("com.apple.Safari");
    entry.frameX = frame.x();
    entry.frameY = frame.y();
    entry.width = frame.width();
    entry.height = frame.height();
    return entry;
}

const QRectF leftScreen(-1440, 0, 1440, 900);
const QRectF primaryScreen(0, 0, 1512, 982);

} // namespace

class TestOverlayBox : public QObject
{
    Q_OBJECT

private slots:
    void boxIsPlacedRelativeToItsScreen()
    {
        const EntryData entry = entryAt(QRectF(-1440, 25, 1280, 800));
        const QList<OverlayBox> boxes = overlayBoxes({ entry }, leftScreen);
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes.first().frame, QRectF(0, 25, 1280, 800));
        QCOMPARE(boxes.first().sizeText, QStringLiteral("1280 \u00D7 800"));
        QCOMPARE(boxes.first().coordText, QStringLiteral("COORD x:-1440 y:25"));
        QCOMPARE(boxes.first().id, entry.id);
    }

    void entryOnAnotherScreenHasNoBoxHere()
    {
        QVERIFY(overlayBoxes({ entryAt(QRectF(-1440, 25, 1280, 800)) }, primaryScreen).isEmpty());
    }

    void frameTouchingOnlyTheEdgeHasNoBox()
    {
        QVERIFY(overlayBoxes({ entryAt(QRectF(1512, 0, 300, 300)) }, primaryScreen).isEmpty());
    }

    void frameSpanningTwoScreensHasABoxOnEach()
    {
        const EntryData entry = entryAt(QRectF(-200, 100, 400, 300));
        QCOMPARE(overlayBoxes({ entry }, leftScreen).first().frame.topLeft(), QPointF(1240, 100));
        QCOMPARE(overlayBoxes({ entry }, primaryScreen).first().frame.topLeft(), QPointF(-200, 100));
    }

    void smallWindowIsDrawnAtLeast160By90ButReadsItsOwnSize()
    {
        const QList<OverlayBox> boxes = overlayBoxes({ entryAt(QRectF(10, 10, 100, 50)) }, primaryScreen);
        QCOMPARE(boxes.first().drawnSize(), QSizeF(160, 90));
        QCOMPARE(boxes.first().sizeText, QStringLiteral("100 \u00D7 50"));
        const QVariantMap map = boxes.first().toVariant();
        QCOMPARE(map.value(QStringLiteral("width")).toDouble(), 160.0);
        QCOMPARE(map.value(QStringLiteral("height")).toDouble(), 90.0);
    }

    void largeWindowKeepsItsSize()
    {
        const QList<OverlayBox> boxes = overlayBoxes({ entryAt(QRectF(0, 0, 4000, 3000)) }, primaryScreen);
        QCOMPARE(boxes.first().drawnSize(), QSizeF(4000, 3000));
    }

    void emptyFrameHasNoBoxAnywhere()
    {
        QVERIFY(overlayBoxes({ entryAt(QRectF(10, 10, 0, 500)) }, primaryScreen).isEmpty());
        QVERIFY(overlayBoxes({ entryAt(QRectF(10, 10, 500, 0)) }, primaryScreen).isEmpty());
        QVERIFY(overlayBoxes({ entryAt(QRectF(10, 10, qQNaN(), 500)) }, primaryScreen).isEmpty());
    }

    void boxesKeepTheEntryOrder()
    {
        EntryData a = entryAt(QRectF(0, 0, 200, 200));
        a.appBundleIdentifier = QStringLiteral("z.Alpha");
        EntryData b = entryAt(QRectF(0, 0, 200, 200));
        b.appBundleIdentifier = QStringLiteral("z.Beta");
        const QList<OverlayBox> boxes = overlayBoxes({ b, a }, primaryScreen);
        QCOMPARE(boxes.at(0).name, QStringLiteral("BETA"));
        QCOMPARE(boxes.at(1).name, QStringLiteral("ALPHA"));
    }

    void namesAndDetailsPerKind()
    {
        EntryData safari = entryAt(QRectF(0, 0, 200, 200));
        QCOMPARE(overlayBoxes({ safari }, primaryScreen).first().name, QStringLiteral("SAFARI"));
        QCOMPARE(overlayBoxes({ safari }, primaryScreen).first().detail, QStringLiteral("com.apple.Safari"));
        QCOMPARE(overlayBoxes({ safari }, primaryScreen).first().symbol, QStringLiteral("app.badge.fill"));

        EntryData site = entryAt(QRectF(0, 0, 200, 200), QStringLiteral("website"));
        site.websiteURL = QStringLiteral("https://news.example.org/today");
        QCOMPARE(overlayBoxes({ site }, primaryScreen).first().name, QStringLiteral("NEWS.EXAMPLE.ORG"));
        site.websiteURL = QStringLiteral("not a url");
        QCOMPARE(overlayBoxes({ site }, primaryScreen).first().name, QStringLiteral("WEBSEITE"));
        QCOMPARE(overlayBoxes({ site }, primaryScreen).first().symbol, QStringLiteral("globe"));

        EntryData folder = entryAt(QRectF(0, 0, 200, 200), QStringLiteral("folder"));
        // Folders are often written with a trailing slash: still named.
        folder.filePath = QStringLiteral("/home/ada/");
        QCOMPARE(overlayBoxes({ folder }, primaryScreen).first().name, QStringLiteral("ADA"));
        folder.filePath.reset();
        QCOMPARE(overlayBoxes({ folder }, primaryScreen).first().name, QStringLiteral("ORDNER"));
        QCOMPARE(overlayBoxes({ folder }, primaryScreen).first().detail, std::nullopt);
        QCOMPARE(overlayBoxes({ folder }, primaryScreen).first().toVariant().value(QStringLiteral("detail")).toString(),
            QString());

        EntryData app = entryAt(QRectF(0, 0, 200, 200));
        app.appBundleIdentifier.reset();
        QCOMPARE(overlayBoxes({ app }, primaryScreen).first().name, QStringLiteral("ANWENDUNG"));
    }

    void fractionsAreDroppedTowardZero()
    {
        const QList<OverlayBox> boxes = overlayBoxes({ entryAt(QRectF(-12.7, 30.2, 800.9, 600.5)) }, primaryScreen);
        QCOMPARE(boxes.first().sizeText, QStringLiteral("800 \u00D7 600"));
        QCOMPARE(boxes.first().coordText, QStringLiteral("COORD x:-12 y:30"));
    }
};

QTEST_GUILESS_MAIN(TestOverlayBox)
#include "tst_overlaybox.moc"
