// How the old scenario vocabulary reads in the typed picture: window attributes, screens and collector answers.
#include "platform/sim/simtranslation.h"

#include <QPointF>
#include <QSizeF>
#include <QTest>
#include <limits>

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double endless = std::numeric_limits<double>::infinity();

QVariantMap standardAttributes()
{
    using namespace SimTranslation;
    return { { QString(Attribute::role), QString(Attribute::windowRole) },
        { QString(Attribute::title), QStringLiteral("notes") }, { QString(Attribute::position), QPointF(10, 20) },
        { QString(Attribute::size), QSizeF(300, 200) } };
}

QVariantMap with(QVariantMap attributes, QLatin1StringView name, const QVariant &value)
{
    attributes.insert(QString(name), value);
    return attributes;
}

QVariantMap without(QVariantMap attributes, QLatin1StringView name)
{
    attributes.remove(QString(name));
    return attributes;
}

} // namespace

class TestSimTranslation : public QObject
{
    Q_OBJECT

private slots:
    void windowReadsAttributesByTheOldRules_data()
    {
        using namespace SimTranslation;
        QTest::addColumn<QVariantMap>("attributes");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QRectF>("frame");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("fullScreen");

        const QVariantMap standard = standardAttributes();
        const QRectF frame(10, 20, 300, 200);
        const int normal = int(WindowKind::normal);
        const int other = int(WindowKind::other);
        QTest::newRow("standard") << standard << "notes" << frame << normal << false;
        QTest::newRow("dialog") << with(standard, Attribute::subrole, QStringLiteral("AXDialog")) << "notes" << frame
                                << int(WindowKind::dialog) << false;
        QTest::newRow("standard subrole") << with(standard, Attribute::subrole, QStringLiteral("AXStandardWindow"))
                                          << "notes" << frame << normal << false;
        QTest::newRow("full screen") << with(standard, Attribute::subrole, QStringLiteral("AXFullScreenWindow"))
                                     << "notes" << frame << normal << true;
        QTest::newRow("subrole not text")
            << with(standard, Attribute::subrole, 7) << "notes" << frame << normal << false;
        QTest::newRow("sheet") << with(standard, Attribute::role, QStringLiteral("AXSheet")) << "notes" << frame
                               << other << false;
        QTest::newRow("sheet in full screen") << with(with(standard, Attribute::role, QStringLiteral("AXSheet")),
            Attribute::subrole, QStringLiteral("AXFullScreenWindow"))
                                              << "notes" << frame << other << true;
        QTest::newRow("no role") << without(standard, Attribute::role) << "notes" << frame << other << false;
        QTest::newRow("role not text") << with(standard, Attribute::role, 42) << "notes" << frame << other << false;
        QTest::newRow("title not text") << with(standard, Attribute::title, 42) << "" << frame << normal << false;
        QTest::newRow("no title") << without(standard, Attribute::title) << "" << frame << normal << false;
        QTest::newRow("position as text") << with(standard, Attribute::position, QStringLiteral("top left")) << "notes"
                                          << QRectF(0, 0, 300, 200) << normal << false;
        QTest::newRow("position of whole numbers") << with(standard, Attribute::position, QPoint(10, 20)) << "notes"
                                                   << QRectF(0, 0, 300, 200) << normal << false;
        QTest::newRow("position not finite") << with(standard, Attribute::position, QPointF(notANumber, 20)) << "notes"
                                             << QRectF(0, 0, 300, 200) << normal << false;
        QTest::newRow("size not finite") << with(standard, Attribute::size, QSizeF(300, endless)) << "notes"
                                         << QRectF(10, 20, 0, 0) << normal << false;
        QTest::newRow("size as a list") << with(standard, Attribute::size, QVariantList { 300, 200 }) << "notes"
                                        << QRectF(10, 20, 0, 0) << normal << false;
        QTest::newRow("nothing") << QVariantMap() << "" << QRectF(0, 0, 0, 0) << other << false;
    }

    void windowReadsAttributesByTheOldRules()
    {
        QFETCH(QVariantMap, attributes);
        QFETCH(QString, title);
        QFETCH(QRectF, frame);
        QFETCH(int, kind);
        QFETCH(bool, fullScreen);
        const SimWindow window = SimTranslation::windowFromAttributes(attributes);
        QCOMPARE(window.title, title);
        QCOMPARE(window.frame, frame);
        QCOMPARE(int(window.kind), kind);
        QCOMPARE(window.state.fullScreen, fullScreen);
        QVERIFY(!window.state.maximizedHorizontally && !window.state.maximizedVertically && !window.state.minimized);
        QCOMPARE(window.desktop, std::nullopt);
    }

    void documentAndMainAreReadOnlyWithTheirTypes()
    {
        using namespace SimTranslation;
        QVariantMap attributes = standardAttributes();
        QCOMPARE(windowFromAttributes(attributes).document, std::nullopt);
        QVERIFY(!windowFromAttributes(attributes).main);
        attributes.insert(QString(Attribute::document), QStringLiteral("file:///home/me/notes.txt"));
        attributes.insert(QString(Attribute::main), true);
        QCOMPARE(windowFromAttributes(attributes).document, QStringLiteral("file:///home/me/notes.txt"));
        QVERIFY(windowFromAttributes(attributes).main);
        attributes.insert(QString(Attribute::document), 3);
        attributes.insert(QString(Attribute::main), QStringLiteral("yes"));
        QCOMPARE(windowFromAttributes(attributes).document, std::nullopt);
        QVERIFY(!windowFromAttributes(attributes).main);
    }

    void snapshotWindowReadsUnreadableFramePairsAsZeros()
    {
        SimWindow window = simWindow(QStringLiteral("w"), QRectF(notANumber, 5, 100, 80));
        window.state.minimized = true;
        window.desktop = 2;
        const DesktopWindow listed = window.toDesktopWindow(7, QStringLiteral("app"), 300);
        QCOMPARE(listed.frame, QRectF(0, 0, 100, 80));
        QCOMPARE(listed.id, WindowId(7));
        QCOMPARE(listed.appId, QStringLiteral("app"));
        QCOMPARE(listed.pid, 300);
        QVERIFY(listed.state.minimized);
        QCOMPARE(listed.desktop, 2);
        window.frame = QRectF(1, 2, endless, 4);
        QCOMPARE(window.toDesktopWindow(7, {}, 300).frame, QRectF(1, 2, 0, 0));
    }

    void screensBecomeMonitorsByDisplayNumber()
    {
        const QList<DesktopMonitor> monitors = SimTranslation::monitors({
            SimScreen { 1, QRectF(0, 0, 1920, 1080), QStringLiteral("UUID-A") },
            SimScreen { 2, QRectF(1920, 0, 1280, 1024), QString() },
            SimScreen { std::nullopt, QRectF(-800, 0, 800, 600), QStringLiteral("UUID-C") },
            SimScreen { 1, QRectF(5, 5, 10, 10), QStringLiteral("UUID-D") },
            SimScreen { 3, QRectF(0, 1080, 640, 480), std::nullopt },
        });
        QCOMPARE(monitors.size(), 5);
        QCOMPARE(monitors[0].identifier, QStringLiteral("UUID-A"));
        QCOMPARE(monitors[0].bounds, QRectF(0, 0, 1920, 1080));
        QVERIFY(monitors[0].primary);
        // An empty UUID is no identifier.
        QCOMPARE(monitors[1].identifier, std::nullopt);
        QVERIFY(!monitors[1].primary);
        // Without a display number a screen has its own rectangle and no identifier.
        QCOMPARE(monitors[2].identifier, std::nullopt);
        QCOMPARE(monitors[2].bounds, QRectF(-800, 0, 800, 600));
        // A repeated display number answers what the first screen with it says.
        QCOMPARE(monitors[3].identifier, QStringLiteral("UUID-A"));
        QCOMPARE(monitors[3].bounds, QRectF(0, 0, 1920, 1080));
        QCOMPARE(monitors[4].identifier, std::nullopt);
        QCOMPARE(monitors[4].connector, QString());
    }

    void typedScreensKeepWhatTheySay()
    {
        SimScreen left;
        left.bounds = QRectF(0, 0, 1920, 1080);
        left.identifier = QStringLiteral("LEFT");
        left.connector = QStringLiteral("DP-1");
        left.primary = false;
        SimScreen right;
        right.bounds = QRectF(1920, 0, 1920, 1080);
        right.primary = true;
        const QList<DesktopMonitor> monitors = SimTranslation::monitors({ left, right });
        QCOMPARE(monitors[0].identifier, QStringLiteral("LEFT"));
        QCOMPARE(monitors[0].connector, QStringLiteral("DP-1"));
        QVERIFY(!monitors[0].primary);
        QVERIFY(monitors[1].primary);
        QCOMPARE(monitors[1].identifier, std::nullopt);
    }

    void collectorAnswersReadAsStrings_data()
    {
        QTest::addColumn<bool>("failed");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("answered");
        QTest::addColumn<QStringList>("strings");
        QTest::newRow("failed") << true << QVariant(QVariantList { QStringLiteral("a") }) << false << QStringList();
        QTest::newRow("list") << false
                              << QVariant(QVariantList { QStringLiteral("a"), QVariant(), 3, QStringLiteral("b") })
                              << true << QStringList { "a", "b" };
        QTest::newRow("string list") << false << QVariant(QStringList { "x", "y" }) << true << QStringList { "x", "y" };
        QTest::newRow("no text in list") << false << QVariant(QVariantList { 1, 2 }) << true << QStringList();
        QTest::newRow("empty list") << false << QVariant(QVariantList()) << true << QStringList();
        QTest::newRow("one string") << false << QVariant(QStringLiteral("/a/b")) << true << QStringList { "/a/b" };
        QTest::newRow("number") << false << QVariant(3) << true << QStringList();
        QTest::newRow("object") << false << QVariant(QVariantMap { { "a", "b" } }) << true << QStringList();
        QTest::newRow("nothing") << false << QVariant() << true << QStringList();
    }

    void collectorAnswersReadAsStrings()
    {
        QFETCH(bool, failed);
        QFETCH(QVariant, value);
        QFETCH(bool, answered);
        QFETCH(QStringList, strings);
        const std::optional<QStringList> read = SimTranslation::collectorStrings(ScriptResult { failed, value });
        QCOMPARE(read.has_value(), answered);
        if (read)
            QCOMPARE(*read, strings);
    }
};

QTEST_GUILESS_MAIN(TestSimTranslation)
#include "tst_simtranslation.moc"
