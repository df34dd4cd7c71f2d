// The tray icon follows the tray: the colour an X11 tray announces, the
// theme's cyan where it announces none.
#include "app/trayiconchoice.h"

#include <QApplication>
#include <QImage>
#include <QTest>

namespace {

/// The colour of the icon's most opaque pixel, ignoring anti-aliased edges.
QColor inkOf(const QIcon &icon)
{
    const QImage image = icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    QColor best(Qt::transparent);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() > best.alpha())
                best = pixel;
        }
    }
    return best;
}

} // namespace

class TrayIconChoiceTest : public QObject
{
    Q_OBJECT

private slots:
    void anAnnouncedColourIsUsed()
    {
        const QColor ink = inkOf(TrayIconChoice::icon(false, quint32(0x2e3436)));
        QCOMPARE(ink.alpha(), 255);
        QCOMPARE(ink.rgb() & 0xffffff, QRgb(0x2e3436));
    }

    void withoutOneTheIconIsCyan()
    {
        const QColor ink = inkOf(TrayIconChoice::icon(false, std::nullopt));
        QCOMPARE(ink.alpha(), 255);
        QVERIFY2(ink.red() < 30 && ink.green() > 220 && ink.blue() > 230, qPrintable(ink.name()));
    }
};

QTEST_MAIN(TrayIconChoiceTest)
#include "tst_trayiconchoice.moc"
