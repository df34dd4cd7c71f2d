// Pairing a browser's desktop windows with the windows of its session file.
#include "automation/browserwindowpairing.h"

#include <QTest>

namespace {

DesktopWindow windowTitled(WindowId id, const QString &title)
{
    DesktopWindow window;
    window.id = id;
    window.title = title;
    return window;
}

BrowserWindowTabs session(const QString &title)
{
    return BrowserWindowTabs { { QStringLiteral("https://example.com/") + title }, title };
}

} // namespace

class TestBrowserWindowPairing : public QObject
{
    Q_OBJECT

private slots:
    void titlesWinOverOrderAndTheLongestTitleFits()
    {
        const QList<DesktopWindow> windows { windowTitled(1, QStringLiteral("GitHub — Mozilla Firefox")),
            windowTitled(2, QStringLiteral("Git — Mozilla Firefox")),
            windowTitled(3, QStringLiteral("Something else — Mozilla Firefox")) };
        const QHash<WindowId, int> paired = BrowserWindowPairing::pair(windows,
            { session(QStringLiteral("Git")), session(QStringLiteral("Other")), session(QStringLiteral("GitHub")) });
        QCOMPARE(paired.value(1, -1), 2);
        QCOMPARE(paired.value(2, -1), 0);
        // No title fits: the session window nobody took.
        QCOMPARE(paired.value(3, -1), 1);
    }

    void equalTitlesAreTakenOnceEach()
    {
        const QList<DesktopWindow> windows { windowTitled(7, QStringLiteral("New Tab - Chromium")),
            windowTitled(8, QStringLiteral("New Tab - Chromium")) };
        const QHash<WindowId, int> paired = BrowserWindowPairing::pair(
            windows, { session(QStringLiteral("New Tab")), session(QStringLiteral("New Tab")) });
        QCOMPARE(paired.value(7, -1), 0);
        QCOMPARE(paired.value(8, -1), 1);
    }

    void moreWindowsThanSessionWindowsLeavesTheRestUnpaired()
    {
        const QList<DesktopWindow> windows { windowTitled(1, QStringLiteral("A")),
            windowTitled(2, QStringLiteral("B")) };
        const QHash<WindowId, int> paired = BrowserWindowPairing::pair(windows, { BrowserWindowTabs {} });
        QCOMPARE(paired.size(), 1);
        QCOMPARE(paired.value(1, -1), 0);
        QVERIFY(BrowserWindowPairing::pair(windows, {}).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestBrowserWindowPairing)
#include "tst_browserwindowpairing.moc"
