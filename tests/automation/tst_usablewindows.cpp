// Which applications count as showing a window a user would miss: focus mode asks only those to quit.
#include "automationfixture.h"

#include <QTest>

using namespace fixture;

class TestUsableWindows : public QObject
{
    Q_OBJECT

private slots:
    void panelsAndThinWindowsAreNotUsable()
    {
        AutomationFixture f;
        SimWindow panel = window(QStringLiteral("Panel"), QRectF(0, 0, 400, 400));
        panel.kind = WindowKind::other;
        SimWindow palette = window(QStringLiteral("Palette"), QRectF(0, 0, 400, 400));
        palette.kind = WindowKind::utility;
        SimWindow thin = window(QStringLiteral("Thin"), QRectF(0, 0, 10, 500));
        const qint64 pid = f.desktop.addRunningApplication(app(editor, { panel, palette, thin }));
        QVERIFY(!AutomationService::hasUsableWindow(*f.desktop.runningApplication(editor)));

        SimWindow dialog = window(QStringLiteral("Dialog"), QRectF(0, 0, 11, 11));
        dialog.kind = WindowKind::dialog;
        f.desktop.addWindow(pid, dialog);
        QVERIFY(AutomationService::hasUsableWindow(*f.desktop.runningApplication(editor)));
    }

    void unknownWindowsAreNotUsable()
    {
        AutomationFixture f;
        const qint64 pid = f.desktop.addRunningApplication(app(editor, { window() }));
        QVERIFY(AutomationService::hasUsableWindow(f.desktop.snapshot().applications.first()));
        f.desktop.setWindowListMissing(pid, true);
        QVERIFY(!AutomationService::hasUsableWindow(f.desktop.snapshot().applications.first()));
        f.desktop.setWindowListMissing(pid, false);
        f.desktop.setTrusted(false);
        QVERIFY(!AutomationService::hasUsableWindow(f.desktop.snapshot().applications.first()));
    }
};

QTEST_GUILESS_MAIN(TestUsableWindows)
#include "tst_usablewindows.moc"
