// The X11 desktop's pure parts: frame maths, placement plans, monitor identifiers and the desktop-entry rules.
#include "platform/linux/desktopentryindex.h"
#include "platform/linux/monitoridentity.h"
#include "platform/x11/framegeometry.h"
#include "platform/x11/placementplan.h"

#include <QRegularExpression>
#include <QTest>

namespace {

enum { northWest = 1, center = 5, southEast = 9, staticGravity = 10 };

// A base EDID block with the given ids and descriptors, checksum fixed.
QByteArray makeEdid(
    const char manufacturer[3], quint16 product, quint32 serial, const QByteArray &serialText, const QByteArray &name)
{
    QByteArray edid(128, '\0');
    const char header[] = { 0, char(0xff), char(0xff), char(0xff), char(0xff), char(0xff), char(0xff), 0 };
    edid.replace(0, 8, QByteArray(header, 8));
    const quint16 code = quint16(
        ((manufacturer[0] - 'A' + 1) << 10) | ((manufacturer[1] - 'A' + 1) << 5) | (manufacturer[2] - 'A' + 1));
    edid[8] = char(code >> 8);
    edid[9] = char(code & 0xff);
    edid[10] = char(product & 0xff);
    edid[11] = char(product >> 8);
    for (int i = 0; i < 4; ++i)
        edid[12 + i] = char((serial >> (8 * i)) & 0xff);
    auto descriptor = [&edid](int offset, unsigned char tag, const QByteArray &text) {
        edid[offset + 3] = char(tag);
        QByteArray padded = text.left(13);
        if (padded.size() < 13)
            padded += '\n';
        while (padded.size() < 13)
            padded += ' ';
        edid.replace(offset + 5, 13, padded);
    };
    if (!serialText.isEmpty())
        descriptor(72, 0xff, serialText);
    if (!name.isEmpty())
        descriptor(90, 0xfc, name);
    unsigned sum = 0;
    for (int i = 0; i < 127; ++i)
        sum += static_cast<unsigned char>(edid[i]);
    edid[127] = char((256 - sum % 256) % 256);
    return edid;
}

DesktopEntryIndex sampleIndex()
{
    return DesktopEntryIndex({
        { QStringLiteral("org.gnome.Nautilus"), QStringLiteral("/apps/org.gnome.Nautilus.desktop"),
            QStringLiteral("org.gnome.Nautilus"), QStringLiteral("/usr/bin/nautilus") },
        { QStringLiteral("firefox-esr"), QStringLiteral("/apps/firefox-esr.desktop"), QStringLiteral("Navigator"),
            QStringLiteral("/usr/lib/firefox-esr/firefox-esr") },
        { QStringLiteral("xterm"), QStringLiteral("/apps/xterm.desktop"), {}, QStringLiteral("/usr/bin/xterm") },
        { QStringLiteral("libreoffice-writer"), QStringLiteral("/apps/libreoffice-writer.desktop"), {},
            QStringLiteral("/usr/lib/libreoffice/program/soffice") },
        { QStringLiteral("libreoffice-calc"), QStringLiteral("/apps/libreoffice-calc.desktop"), {},
            QStringLiteral("/usr/lib/libreoffice/program/soffice") },
        { QStringLiteral("visual-studio-code"), QStringLiteral("/apps/visual-studio-code.desktop"), {},
            QStringLiteral("/usr/share/code/code") },
        { QStringLiteral("gimp"), QStringLiteral("/apps/gimp.desktop"), {}, QStringLiteral("/usr/bin/gimp-2.10") },
        { QStringLiteral("org.xfce.mousepad"), QStringLiteral("/apps/org.xfce.mousepad.desktop"), {},
            QStringLiteral("/usr/bin/mousepad") },
        { QStringLiteral("org.xfce.mousepad-settings"), QStringLiteral("/apps/org.xfce.mousepad-settings.desktop"), {},
            QStringLiteral("/usr/bin/mousepad") },
    });
}

} // namespace

class TestX11Geometry : public QObject
{
    Q_OBJECT

private slots:
    void outerFrameAddsWindowManagerExtents()
    {
        const QRect frame = FrameGeometry::outerFrame(QRect(101, 122, 400, 300), { 1, 1, 22, 5 }, {});
        QCOMPARE(frame, QRect(100, 100, 402, 327));
    }

    void outerFrameRemovesClientSideShadow()
    {
        const QRect frame = FrameGeometry::outerFrame(QRect(90, 80, 820, 640), {}, { 10, 10, 8, 12 });
        QCOMPARE(frame, QRect(100, 88, 800, 620));
        QCOMPARE(FrameGeometry::clientSize(frame.size(), {}, { 10, 10, 8, 12 }), QSize(820, 640));
    }

    void clientSizeIsFrameLessExtents()
    {
        QCOMPARE(FrameGeometry::clientSize(QSize(802, 627), { 1, 1, 22, 5 }, {}), QSize(800, 600));
    }

    void northWestRequestIsTheFrameCorner()
    {
        QCOMPARE(FrameGeometry::requestPosition({ 300, 200 }, { 800, 600 }, northWest, 0, { 1, 1, 22, 5 }, {}),
            QPoint(300, 200));
        // No win_gravity given means NorthWest.
        QCOMPARE(
            FrameGeometry::requestPosition({ 300, 200 }, { 800, 600 }, 0, 0, { 1, 1, 22, 5 }, {}), QPoint(300, 200));
    }

    void staticRequestIsTheClientCorner()
    {
        QCOMPARE(FrameGeometry::requestPosition({ 300, 200 }, { 800, 600 }, staticGravity, 2, { 1, 1, 22, 5 }, {}),
            QPoint(301, 222));
    }

    void otherGravitiesShareTheReferencePoint()
    {
        // SouthEast: the bottom-right corners of frame and client rectangle coincide.
        QCOMPARE(FrameGeometry::requestPosition({ 300, 200 }, { 800, 600 }, southEast, 0, { 1, 1, 22, 5 }, {}),
            QPoint(302, 227));
        QCOMPARE(FrameGeometry::requestPosition({ 300, 200 }, { 800, 600 }, center, 0, { 1, 1, 22, 5 }, {}),
            QPoint(301, 213));
    }

    void clientSideDecorationShiftsTheRequest()
    {
        QCOMPARE(FrameGeometry::requestPosition({ 100, 88 }, { 820, 640 }, northWest, 0, {}, { 10, 10, 8, 12 }),
            QPoint(90, 80));
    }

    void frameFitsExactlyOrWithinOneResizeStep()
    {
        const QRect target(100, 100, 800, 600);
        QVERIFY(FrameGeometry::fits(target, target, {}));
        QVERIFY(!FrameGeometry::fits(QRect(101, 100, 800, 600), target, {}));
        QVERIFY(!FrameGeometry::fits(QRect(100, 100, 798, 600), target, {}));
        QVERIFY(FrameGeometry::fits(QRect(100, 100, 798, 588), target, { 7, 13 }));
        QVERIFY(!FrameGeometry::fits(QRect(100, 100, 793, 600), target, { 7, 13 }));
        // Never larger than asked.
        QVERIFY(!FrameGeometry::fits(QRect(100, 100, 802, 600), target, { 7, 13 }));
    }

    void normalWindowInPlaceNeedsNothing() { QVERIFY(PlacementPlan::make({}, {}, true, true).isEmpty()); }

    void normalWindowMovesExactly()
    {
        const PlacementPlan plan = PlacementPlan::make({}, {}, false, false);
        QCOMPARE(plan.move, PlacementPlan::Move::exactly);
        QVERIFY(!plan.settleBeforeMove);
        QCOMPARE(plan.remove, WindowState {});
        QCOMPARE(plan.add, WindowState {});
    }

    void maximizedWindowIsRestoredAndSettledBeforeAnExactMove()
    {
        const WindowState maximized { true, true, false, false };
        const PlacementPlan plan = PlacementPlan::make(maximized, {}, true, false);
        QCOMPARE(plan.remove, maximized);
        QVERIFY(plan.settleBeforeMove);
        QCOMPARE(plan.move, PlacementPlan::Move::exactly);
        QCOMPARE(plan.add, WindowState {});
        // Even when the frame already matches: it is the maximized frame, not the one it keeps.
        QCOMPARE(PlacementPlan::make(maximized, {}, true, true).move, PlacementPlan::Move::exactly);
    }

    void maximizedOnAnotherMonitorGoesThereFirst()
    {
        const WindowState maximized { true, true, false, false };
        const PlacementPlan fromNormal = PlacementPlan::make({}, maximized, false, false);
        QCOMPARE(fromNormal.remove, WindowState {});
        QCOMPARE(fromNormal.move, PlacementPlan::Move::roughly);
        QCOMPARE(fromNormal.add, maximized);
        // Taken out of the state, moved, and put back: openbox re-maximizes a moved window where it was.
        const PlacementPlan fromMaximized = PlacementPlan::make(maximized, maximized, false, false);
        QCOMPARE(fromMaximized.remove, maximized);
        QCOMPARE(fromMaximized.move, PlacementPlan::Move::roughly);
        QVERIFY(!fromMaximized.settleBeforeMove);
        QCOMPARE(fromMaximized.add, maximized);
    }

    void fillingStateOnTheSameMonitorOnlyChangesStates()
    {
        const WindowState maximized { true, true, false, false };
        const WindowState fullScreen { false, false, true, false };
        QVERIFY(PlacementPlan::make(maximized, maximized, true, false).isEmpty());
        const PlacementPlan plan = PlacementPlan::make(maximized, fullScreen, true, false);
        QCOMPARE(plan.move, PlacementPlan::Move::none);
        QCOMPARE(plan.remove, maximized);
        QCOMPARE(plan.add, fullScreen);
        const PlacementPlan fromNormal = PlacementPlan::make({}, fullScreen, true, false);
        QCOMPARE(fromNormal.move, PlacementPlan::Move::none);
        QCOMPARE(fromNormal.add, fullScreen);
    }

    void halfMaximizedWindowMovesExactlyThenGetsItsState()
    {
        const WindowState vertical { false, true, false, false };
        const PlacementPlan plan = PlacementPlan::make({}, vertical, true, false);
        QCOMPARE(plan.move, PlacementPlan::Move::exactly);
        QCOMPARE(plan.add, vertical);
        QVERIFY(PlacementPlan::make(vertical, vertical, true, true).isEmpty());
    }

    void minimizedIsLeftAlone()
    {
        const WindowState minimized { false, false, false, true };
        QVERIFY(PlacementPlan::make(minimized, {}, true, true).isEmpty());
        QVERIFY(PlacementPlan::make({}, minimized, true, true).isEmpty());
    }

    void monitorWithoutEdidIsKnownByName()
    {
        QCOMPARE(MonitorIdentity::fingerprint({}, {}, QStringLiteral("A")), QStringLiteral("name:A"));
        QVERIFY(MonitorIdentity::fingerprint(QByteArray(128, 'x'), QStringLiteral("DP-1"), QStringLiteral("B"))
                    .endsWith(QLatin1String(":B")));
    }

    void edidFingerprintUsesIdsSerialAndName()
    {
        const QByteArray edid = makeEdid("DEL", 0xa0c4, 0, "7MT0167B0QKL", "DELL U2515H");
        QCOMPARE(MonitorIdentity::fingerprint(edid, QStringLiteral("DP-1"), QStringLiteral("DP-1")),
            QStringLiteral("edid:DEL:41156:7MT0167B0QKL:DELL U2515H"));
        const QByteArray numbered = makeEdid("GSM", 0x5b09, 123456, {}, "LG ULTRAFINE");
        QCOMPARE(MonitorIdentity::fingerprint(numbered, QStringLiteral("DP-2"), QStringLiteral("DP-2")),
            QStringLiteral("edid:GSM:23305:123456:LG ULTRAFINE"));
    }

    void sameMonitorOnAnotherConnectorKeepsItsIdentifier()
    {
        const QByteArray edid = makeEdid("DEL", 0xa0c4, 99, {}, "DELL U2515H");
        QCOMPARE(MonitorIdentity::fingerprint(edid, QStringLiteral("DP-1"), QStringLiteral("DP-1")),
            MonitorIdentity::fingerprint(edid, QStringLiteral("HDMI-1"), QStringLiteral("HDMI-1")));
    }

    void identicalModelsWithoutSerialDifferByConnector()
    {
        const QByteArray edid = makeEdid("AOC", 0x2460, 0, {}, "2460G4");
        QVERIFY(MonitorIdentity::fingerprint(edid, QStringLiteral("DP-1"), QStringLiteral("DP-1"))
            != MonitorIdentity::fingerprint(edid, QStringLiteral("DP-2"), QStringLiteral("DP-2")));
    }

    void badChecksumCountsAsNoEdid()
    {
        QByteArray edid = makeEdid("DEL", 1, 2, {}, "X");
        edid[127] = char(edid[127] + 1);
        QCOMPARE(MonitorIdentity::fingerprint(edid, QStringLiteral("DP-1"), QStringLiteral("DP-1")),
            QStringLiteral("name:DP-1"));
    }

    void identifierIsUpperCaseUuidText()
    {
        const QString id = MonitorIdentity::identifier(QStringLiteral("name:A"));
        QVERIFY(
            QRegularExpression(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-5[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}$"))
                .match(id)
                .hasMatch());
        QCOMPARE(MonitorIdentity::identifier(QStringLiteral("name:A")), id);
        QVERIFY(MonitorIdentity::identifier(QStringLiteral("name:B")) != id);
    }

    void startupWMClassComesFirst()
    {
        const auto index = sampleIndex();
        QCOMPARE(index.resolve({ QStringLiteral("Navigator"), QStringLiteral("firefox-esr"), {}, {}, {} }),
            QStringLiteral("firefox-esr"));
        QCOMPARE(
            index.resolve({ QStringLiteral("org.gnome.Nautilus"), QStringLiteral("Org.gnome.Nautilus"), {}, {}, {} }),
            QStringLiteral("org.gnome.Nautilus"));
    }

    void classAsFileNameExactThenLowerCase()
    {
        const auto index = sampleIndex();
        QCOMPARE(
            index.resolve({ QStringLiteral("xterm"), QStringLiteral("XTerm"), {}, {}, {} }), QStringLiteral("xterm"));
        QCOMPARE(index.resolve({ QStringLiteral("code"), QStringLiteral("Visual Studio Code"), {}, {}, {} }),
            QStringLiteral("visual-studio-code"));
    }

    void toolkitIdsCountOnlyWhenInstalled()
    {
        const auto index = sampleIndex();
        QCOMPARE(
            index.resolve({ QStringLiteral("x"), QStringLiteral("X"), QStringLiteral("org.gnome.Nautilus"), {}, {} }),
            QStringLiteral("org.gnome.Nautilus"));
        QCOMPARE(index.resolve({ QStringLiteral("x"), QStringLiteral("X"), {}, QStringLiteral("gimp.desktop"), {} }),
            QStringLiteral("gimp"));
        QCOMPARE(
            index.resolve({ QStringLiteral("x"), QStringLiteral("X"), QStringLiteral("org.invented.App"), {}, {} }),
            QStringLiteral("X"));
    }

    void executableMatchesOnlyWhenUnambiguous()
    {
        const auto index = sampleIndex();
        QCOMPARE(index.resolve({ QStringLiteral("gimp-2.10"), QStringLiteral("Gimp-2.10"), {}, {},
                     QStringLiteral("/usr/bin/gimp-2.10") }),
            QStringLiteral("gimp"));
        QCOMPARE(index.resolve({ QStringLiteral("soffice"), QStringLiteral("Soffice"), {}, {},
                     QStringLiteral("/usr/lib/libreoffice/program/soffice") }),
            QStringLiteral("Soffice"));
        // An editor and its settings dialog share the program: the entry named as the class wins.
        QCOMPARE(index.resolve({ QStringLiteral("mousepad"), QStringLiteral("Mousepad"), {}, {},
                     QStringLiteral("/usr/bin/mousepad") }),
            QStringLiteral("org.xfce.mousepad"));
    }

    void windowWithoutClassHasNoIdentifier() { QCOMPARE(sampleIndex().resolve({}), std::nullopt); }

    void entriesAreFoundByPath()
    {
        const auto index = sampleIndex();
        QCOMPARE(index.path(QStringLiteral("xterm")), QStringLiteral("/apps/xterm.desktop"));
        QCOMPARE(index.idForPath(QStringLiteral("/apps/gimp.desktop")), QStringLiteral("gimp"));
        QCOMPARE(index.path(QStringLiteral("missing")), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestX11Geometry)
#include "tst_x11geometry.moc"
