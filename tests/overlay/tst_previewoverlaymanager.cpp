// The overlay manager's windows: one per screen, boxes on the screen they touch, Escape
// anywhere closing all of them, and a second show replacing the first.
#include "overlay/previewoverlaymanager.h"
#include "platform/sim/simulateddesktop.h"
#include "platform/sim/virtualclock.h"

#include <QPointer>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(Corvalint_ThemePlugin)

namespace {

/// An ordinary window of this program that records the keys reaching it.
class KeyRecorder : public QWindow
{
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent *event) override { keys.append(event->key()); }
};

EntryData application(const QString &identifier, const QRectF &frame)
{
    EntryData entry;
    entry.appBundleIdentifier = identifier;
    entry.frameX = frame.x();
    entry.frameY = frame.y();
    entry.width = frame.width();
    entry.height = frame.height();
    return entry;
}

/// The items of that name in drawing order (a Repeater's items are not its QObject children).
QList<QQuickItem *> itemsNamed(QQuickItem *parent, const QString &objectName)
{
    QList<QQuickItem *> found;
    for (QQuickItem *child : parent->childItems()) {
        if (child->objectName() == objectName)
            found.append(child);
        found += itemsNamed(child, objectName);
    }
    return found;
}

QStringList texts(QQuickView *window, const QString &objectName)
{
    QStringList list;
    for (const QQuickItem *item : itemsNamed(window->rootObject(), objectName))
        list.append(item->property("text").toString());
    return list;
}

/// A simulated desktop that remembers the hints given for our own windows.
class HintRecorder : public SimulatedDesktop
{
public:
    using SimulatedDesktop::SimulatedDesktop;
    struct Hint {
        quintptr window = 0;
        bool skipTaskbar = false;
        bool onAllDesktops = false;
        bool visibleThen = false;
    };
    QList<Hint> hints;

    void setOwnWindowHints(quintptr nativeWindow, bool skipTaskbar, bool onAllDesktops) override
    {
        bool visible = false;
        for (QWindow *window : QGuiApplication::topLevelWindows()) {
            if (window->handle() && window->winId() == nativeWindow)
                visible = window->isVisible();
        }
        hints.append({ nativeWindow, skipTaskbar, onAllDesktops, visible });
    }
};

/// A desktop without a compositor: see-through parts of a window would show black.
class OpaqueDesktop : public SimulatedDesktop
{
public:
    using SimulatedDesktop::SimulatedDesktop;
    bool compositesWindows() const override { return false; }
};

} // namespace

class TestPreviewOverlayManager : public QObject
{
    Q_OBJECT

    VirtualClock clock;
    SimulatedDesktop desktop { clock };

private slots:
    void init()
    {
        desktop.setScreens({ SimScreen { 1, QRectF(0, 0, 1512, 982), QStringLiteral("A") },
            SimScreen { 2, QRectF(-1440, 0, 1440, 900), QStringLiteral("B") } });
    }

    void twoScreensGiveTwoWindowsCoveringThem()
    {
        PreviewOverlayManager overlay(desktop);
        overlay.show({});
        QCOMPARE(overlay.windowCount(), 2);
        const QList<QQuickView *> windows = overlay.windowList();
        QCOMPARE(windows.at(0)->geometry(), QRect(0, 0, 1512, 982));
        QCOMPARE(windows.at(1)->geometry(), QRect(-1440, 0, 1440, 900));
        for (QQuickView *window : windows) {
            QVERIFY(window->isVisible());
            QVERIFY(window->flags().testFlag(Qt::FramelessWindowHint));
            QVERIFY(window->flags().testFlag(Qt::WindowStaysOnTopHint));
            QCOMPARE(window->color(), QColor(Qt::transparent));
            QCOMPARE(window->rootObject()->size(), QSizeF(window->size()));
        }
        QCOMPARE(texts(windows.at(0), QStringLiteral("closeButton")), QStringList { "SCHLIESSEN" });
    }

    void eachScreenDrawsTheEntriesThatTouchIt()
    {
        PreviewOverlayManager overlay(desktop);
        overlay.show({ application(QStringLiteral("com.apple.Safari"), QRectF(-1440, 25, 1280, 800)),
            application(QStringLiteral("org.tiny.Clock"), QRectF(10, 10, 100, 50)),
            application(QStringLiteral("org.empty.Zero"), QRectF(10, 10, 0, 50)) });
        QQuickView *primary = overlay.windowList().at(0);
        QQuickView *left = overlay.windowList().at(1);
        QCOMPARE(texts(primary, QStringLiteral("boxName")), QStringList { "CLOCK" });
        QCOMPARE(texts(left, QStringLiteral("boxName")), QStringList { "SAFARI" });

        const QQuickItem *clockBox = itemsNamed(primary->rootObject(), QStringLiteral("previewBox")).value(0);
        QVERIFY(clockBox);
        QCOMPARE(QRectF(clockBox->position(), clockBox->size()), QRectF(10, 10, 160, 90));
        QCOMPARE(texts(primary, QStringLiteral("boxSize")), QStringList { "100 \u00D7 50" });
        const QQuickItem *safariBox = itemsNamed(left->rootObject(), QStringLiteral("previewBox")).value(0);
        QVERIFY(safariBox);
        QCOMPARE(QRectF(safariBox->position(), safariBox->size()), QRectF(0, 25, 1280, 800));
        QCOMPARE(texts(left, QStringLiteral("boxCoord")), QStringList { "COORD x:-1440 y:25" });
    }

    void withoutACompositorOnlyTheBoxesAndButtonsAreDrawn()
    {
        const QList<EntryData> entries { application(QStringLiteral("org.tiny.Clock"), QRectF(300, 300, 400, 300)) };
        {
            // With a compositor the dimmed screen is the window; nothing is cut away.
            PreviewOverlayManager overlay(desktop);
            overlay.show(entries);
            QQuickView *primary = overlay.windowList().at(0);
            QVERIFY(primary->mask().isEmpty());
            QVERIFY(primary->rootObject()->property("composited").toBool());
        }
        OpaqueDesktop opaque(clock);
        opaque.setScreens({ SimScreen { 1, QRectF(0, 0, 1512, 982), QStringLiteral("A") } });
        PreviewOverlayManager overlay(opaque);
        overlay.show(entries);
        QQuickView *primary = overlay.windowList().at(0);
        QVERIFY(!primary->rootObject()->property("composited").toBool());
        const QRegion mask = primary->mask();
        // The box, the title badge and the close button take input and show; the desktop elsewhere stays.
        QVERIFY(mask.contains(QPoint(500, 450)));
        const QQuickItem *close = itemsNamed(primary->rootObject(), QStringLiteral("closeButton")).value(0);
        const QQuickItem *badge = itemsNamed(primary->rootObject(), QStringLiteral("titleBadge")).value(0);
        QVERIFY(close && badge);
        QVERIFY(mask.contains(close->mapToScene(QPointF(close->width() / 2, close->height() / 2)).toPoint()));
        QVERIFY(mask.contains(badge->mapToScene(QPointF(badge->width() / 2, badge->height() / 2)).toPoint()));
        QVERIFY(!mask.contains(QPoint(1000, 800)));
        QVERIFY(!mask.contains(QPoint(100, 600)));
    }

    void escapeOnOneScreenClosesEveryWindow()
    {
        PreviewOverlayManager overlay(desktop);
        QSignalSpy closed(&overlay, &PreviewOverlayManager::closed);
        overlay.show({});
        QPointer<QQuickView> first = overlay.windowList().at(0);
        QPointer<QQuickView> second = overlay.windowList().at(1);
        QTest::keyClick(second.data(), Qt::Key_Escape);
        QCOMPARE(overlay.windowCount(), 0);
        QCOMPARE(closed.size(), 1);
        QVERIFY(!first || !first->isVisible());
        QVERIFY(!second || !second->isVisible());
        // The windows are deleted once the event that closed them is over.
        QTRY_VERIFY(!first && !second);
    }

    void escapeGoesNoFurtherAndOtherKeysPassOn()
    {
        PreviewOverlayManager overlay(desktop);
        KeyRecorder mainWindow;
        mainWindow.resize(200, 200);
        mainWindow.show();
        overlay.show({});

        QTest::keyClick(&mainWindow, Qt::Key_A);
        QCOMPARE(mainWindow.keys, QList<int> { Qt::Key_A });
        QCOMPARE(overlay.windowCount(), 2);

        QTest::keyClick(&mainWindow, Qt::Key_Escape);
        QCOMPARE(overlay.windowCount(), 0);
        QCOMPARE(mainWindow.keys, QList<int> { Qt::Key_A });

        // Closed, the overlay no longer takes Escape away from anyone.
        QTest::keyClick(&mainWindow, Qt::Key_Escape);
        QCOMPARE(mainWindow.keys, (QList<int> { Qt::Key_A, Qt::Key_Escape }));
    }

    void closeButtonClosesEveryWindow()
    {
        PreviewOverlayManager overlay(desktop);
        overlay.show({});
        QQuickView *window = overlay.windowList().at(0);
        const QQuickItem *button = window->rootObject()->findChild<QQuickItem *>(QStringLiteral("closeButton"));
        QVERIFY(button);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QPoint centre = button->mapToScene(QPointF(button->width() / 2, button->height() / 2)).toPoint();
        QTest::mouseClick(window, Qt::LeftButton, {}, centre);
        QTRY_COMPARE(overlay.windowCount(), 0);
    }

    void showWhileOpenReplacesTheOverlay()
    {
        PreviewOverlayManager overlay(desktop);
        QSignalSpy changed(&overlay, &PreviewOverlayManager::windowsChanged);
        overlay.show({ application(QStringLiteral("a.One"), QRectF(0, 0, 300, 300)) });
        QPointer<QQuickView> old = overlay.windowList().at(0);
        overlay.show({ application(QStringLiteral("a.Two"), QRectF(0, 0, 300, 300)) });
        QCOMPARE(overlay.windowCount(), 2);
        QVERIFY(!old || !old->isVisible());
        QVERIFY(!overlay.windowList().contains(old.data()));
        QCOMPARE(texts(overlay.windowList().at(0), QStringLiteral("boxName")), QStringList { "TWO" });
        QTRY_VERIFY(!old);
    }

    void noScreensOpenNoWindow()
    {
        desktop.setScreens({});
        PreviewOverlayManager overlay(desktop);
        overlay.show({ application(QStringLiteral("a.One"), QRectF(0, 0, 300, 300)) });
        QCOMPARE(overlay.windowCount(), 0);
        QVERIFY(!overlay.isShowing());
    }

    void closingWhenClosedDoesNothing()
    {
        PreviewOverlayManager overlay(desktop);
        QSignalSpy closed(&overlay, &PreviewOverlayManager::closed);
        overlay.close();
        QCOMPARE(closed.size(), 0);
    }

    void everyWindowIsHintedBeforeItShows()
    {
        // The overlay is no window to switch to: each one asks the desktop to
        // keep it out of the taskbar and show it on every virtual desktop.
        HintRecorder recorder(clock);
        recorder.setScreens(desktop.screens());
        PreviewOverlayManager overlay(recorder);
        overlay.show({});
        QCOMPARE(recorder.hints.size(), 2);
        const QList<QQuickView *> windows = overlay.windowList();
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(recorder.hints[i].window, windows[i]->winId());
            QVERIFY(recorder.hints[i].skipTaskbar && recorder.hints[i].onAllDesktops);
            QVERIFY(!recorder.hints[i].visibleThen);
        }
    }
};

QTEST_MAIN(TestPreviewOverlayManager)
#include "tst_previewoverlaymanager.moc"
