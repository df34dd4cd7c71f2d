// The global hotkey on the test desktop: a key pressed with xdotool reaches us, with Num Lock on too, and a
// key another program holds (openbox's own Super+D) is reported as taken.
#include "desktopfixture.h"
#include "platform/x11/x11hotkeygrab.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

class TestX11HotkeyGrab : public QObject
{
    Q_OBJECT

    std::unique_ptr<DesktopFixture> m_fixture;

    static bool press(const QString &keys)
    {
        return QProcess::execute(QStringLiteral("xdotool"), { QStringLiteral("key"), keys }) == 0;
    }

private slots:
    void initTestCase()
    {
        DesktopFixture::prepareEnvironment();
        m_fixture = std::make_unique<DesktopFixture>();
    }

    void keyNamesBecomeKeysyms()
    {
        QCOMPARE(X11HotkeyGrab::keysymFor(QStringLiteral("D")), quint32('d'));
        QCOMPARE(X11HotkeyGrab::keysymFor(QStringLiteral("7")), quint32('7'));
        QCOMPARE(X11HotkeyGrab::keysymFor(QStringLiteral("F1")), quint32(0xffbe));
        QCOMPARE(X11HotkeyGrab::keysymFor(QStringLiteral("Space")), quint32(0x20));
        QCOMPARE(X11HotkeyGrab::keysymFor(QStringLiteral("Nothing")), quint32(0));
    }

    void thePressedCombinationIsReportedAlsoWithNumLock()
    {
        QString error;
        auto grab = X11HotkeyGrab::connect(QString(), &error);
        QVERIFY2(grab, qPrintable(error));
        QCOMPARE(grab->setCombination(*KeyCombination::fromText(QStringLiteral("Super+Alt+D"))),
            GlobalHotkey::Result::registered);
        QSignalSpy activated(grab.get(), &GlobalHotkey::activated);
        QVERIFY(press(QStringLiteral("super+alt+d")));
        QTRY_COMPARE(activated.count(), 1);
        // The same letter with other modifiers is not ours.
        QVERIFY(press(QStringLiteral("alt+d")));
        QVERIFY(press(QStringLiteral("Num_Lock")));
        QVERIFY(press(QStringLiteral("super+alt+d")));
        QTRY_COMPARE(activated.count(), 2);
        QVERIFY(press(QStringLiteral("Num_Lock")));
        QCOMPARE(activated.count(), 2);

        // Released: the key goes back to whoever else wants it.
        grab->clear();
        auto other = X11HotkeyGrab::connect(QString(), &error);
        QCOMPARE(other->setCombination(*KeyCombination::fromText(QStringLiteral("Super+Alt+D"))),
            GlobalHotkey::Result::registered);
    }

    void aCombinationAnotherProgramHoldsIsReportedAsTaken()
    {
        QString error;
        auto first = X11HotkeyGrab::connect(QString(), &error);
        auto second = X11HotkeyGrab::connect(QString(), &error);
        QVERIFY(first && second);
        const KeyCombination combination = *KeyCombination::fromText(QStringLiteral("Ctrl+Alt+J"));
        QCOMPARE(first->setCombination(combination), GlobalHotkey::Result::registered);
        QCOMPARE(second->setCombination(combination), GlobalHotkey::Result::taken);
        // The refused one holds nothing, the first still gets the key.
        QSignalSpy activated(first.get(), &GlobalHotkey::activated);
        QVERIFY(press(QStringLiteral("ctrl+alt+j")));
        QTRY_COMPARE(activated.count(), 1);
        // openbox binds Super+D (show the desktop) itself.
        QCOMPARE(
            second->setCombination(*KeyCombination::fromText(QStringLiteral("Super+D"))), GlobalHotkey::Result::taken);
    }
};

QTEST_GUILESS_MAIN(TestX11HotkeyGrab)
#include "tst_x11hotkeygrab.moc"
