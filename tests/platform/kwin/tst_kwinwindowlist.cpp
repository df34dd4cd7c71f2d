// The listing script's answer read into windows and outputs: good, odd, garbled and oversized answers.
#include "platform/kwin/kwinoutputnames.h"
#include "platform/kwin/kwinwindowlist.h"
#include "platform/linux/desktopentryindex.h"

#include <QTest>

namespace {

QByteArray window(const QString &id, int x = 10)
{
    return QStringLiteral(R"({"internalId":"%1","pid":77,"caption":"T","screen":0,"x":%2,"y":20,"width":300,)"
                          R"("height":200,"fullScreen":false,"minimized":true,"normalWindow":true,"desktop":-1,)"
                          R"("x11":true,"resourceClass":"xterm","resourceName":"xterm","desktopFileName":""})")
        .arg(id)
        .arg(x)
        .toUtf8();
}

QByteArray listing(const QByteArray &windows)
{
    return R"({"screens":[{"x":0,"y":0,"width":1920,"height":1080},{"x":1920,"y":0,"width":1280,"height":720}],)"
           R"("activeScreen":0,"currentDesktop":1,"windows":[)"
        + windows + "]}";
}

const QString someId = QStringLiteral("{b30962c0-b71e-4eda-adc5-a2858b75d3dd}");

} // namespace

class TestKWinWindowList : public QObject
{
    Q_OBJECT

private slots:
    void readsWindowsAndScreens()
    {
        QString error;
        const auto list = KWinWindowList::parse(listing(window(someId)), &error);
        QVERIFY2(list, qPrintable(error));
        QCOMPARE(list->screens.size(), 2);
        QCOMPARE(list->windows.size(), 1);
        const KWinWindow &w = list->windows.front();
        QCOMPARE(w.frame, QRect(10, 20, 300, 200));
        QCOMPARE(w.pid, 77);
        QVERIFY(w.minimized);
        QVERIFY(w.onAllDesktops);
        QVERIFY(w.x11);
    }

    void skipsWindowsWithoutAUsableIdOrFrame()
    {
        QString error;
        const auto list = KWinWindowList::parse(listing(window(QString()) + "," + window(QStringLiteral("not-a-uuid"))
                                                    + "," + window(someId, 1 << 30) + ",17,null," + window(someId)),
            &error);
        QVERIFY2(list, qPrintable(error));
        QCOMPARE(list->windows.size(), 1);
    }

    void refusesGarbledAnswers_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("truncated") << listing(window(someId)).chopped(5);
        QTest::newRow("array") << QByteArray("[1,2]");
        QTest::newRow("null") << QByteArray("null");
        QTest::newRow("no screens") << QByteArray(R"({"windows":[]})");
        QTest::newRow("screens not a list") << QByteArray(R"({"screens":{},"windows":[]})");
        QTest::newRow("screen without size") << QByteArray(R"({"screens":[{"x":0,"y":0}],"windows":[]})");
        QTest::newRow("binary") << QByteArray("\x00\xff\xfe{", 4);
    }

    void refusesGarbledAnswers()
    {
        QFETCH(QByteArray, answer);
        QString error;
        QVERIFY(!KWinWindowList::parse(answer, &error));
        QVERIFY(!error.isEmpty());
    }

    void refusesHugeAnswersUnread()
    {
        QByteArray huge = listing(window(someId));
        huge.append(QByteArray(KWinWindowList::maxAnswerBytes, ' '));
        QString error;
        QVERIFY(!KWinWindowList::parse(huge, &error));
        QVERIFY(error.contains(QLatin1String("too large")));
    }

    void windowNumbersAreStableDistinctAndNeverZero()
    {
        const quint64 a = kwinWindowNumber(someId);
        QVERIFY(a != 0);
        QCOMPARE(kwinWindowNumber(someId), a);
        QCOMPARE(kwinWindowNumber(someId.toUpper()), a);
        QVERIFY(kwinWindowNumber(QStringLiteral("{b30962c0-b71e-4eda-adc5-a2858b75d3de}")) != a);
        QCOMPARE(kwinWindowNumber(QStringLiteral("garbage")), quint64(0));
        QCOMPARE(kwinWindowNumber(QStringLiteral("{00000000-0000-0000-0000-000000000000}")), quint64(0));
    }

    void theScreenHoldingMostOfAFrameIsItsScreen()
    {
        QString error;
        const auto list = KWinWindowList::parse(listing({}), &error);
        QVERIFY(list);
        QCOMPARE(list->screenFor(QRect(1800, 0, 400, 100)), 1);
        QCOMPARE(list->screenFor(QRect(1700, 0, 400, 100)), 0);
        QCOMPARE(list->screenFor(QRect(-900, 0, 400, 100)), std::nullopt);
    }

    void outputNamesComeFromTheSupportInformation()
    {
        const QString text = QStringLiteral("Screens\n=======\nActive screen follows mouse:  yes\n"
                                            "Number of Screens: 2\n\nScreen 0:\n---------\nName: Virtual-0\n"
                                            "Enabled: 1\nGeometry: 0,0,1920x1080\nScreen 1:\n---------\n"
                                            "Name: DP-2\nManufacturer: Dell\nModel: U2720Q\n\n"
                                            "Compositing\n===========\nName: not an output\n");
        const QList<KWinOutputName> outputs = KWinOutputNames::parse(text);
        QCOMPARE(outputs.size(), 2);
        QCOMPARE(outputs[0].name, QStringLiteral("Virtual-0"));
        QCOMPARE(outputs[1].name, QStringLiteral("DP-2"));
        QCOMPARE(outputs[1].manufacturer, QStringLiteral("Dell"));
        QCOMPARE(outputs[1].model, QStringLiteral("U2720Q"));
        QVERIFY(KWinOutputNames::fingerprint(outputs[0]) != KWinOutputNames::fingerprint(outputs[1]));
        QVERIFY(KWinOutputNames::parse(QStringLiteral("Screen 1:\nName: X\n")).isEmpty());
        QVERIFY(KWinOutputNames::parse(QString()).isEmpty());
        QCOMPARE(outputs[0].geometry, std::optional(QRect(0, 0, 1920, 1080)));
        QCOMPARE(outputs[1].geometry, std::nullopt);
    }

    void outputNamesGoToTheOutputWithTheSameRectangle()
    {
        // KWin 6 lists disabled outputs too, and need not list them in the script's order.
        const QString text = QStringLiteral("Screen 0:\n---------\nName: eDP-1\nEnabled: 0\n"
                                            "Screen 1:\n---------\nName: HDMI-A-1\nEnabled: 1\n"
                                            "Geometry: 1920,0,1280x720\nScale: 1.5\n"
                                            "Screen 2:\n---------\nName: DP-1\nEnabled: 1\nGeometry: 0,0,1920x1080\n");
        const QList<KWinOutputName> sections = KWinOutputNames::parse(text);
        QCOMPARE(sections.size(), 3);
        QVERIFY(!sections[0].enabled);
        const QList<KWinOutputName> names
            = KWinOutputNames::match(sections, { QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 720) });
        QCOMPARE(names.size(), 2);
        QCOMPARE(names[0].name, QStringLiteral("DP-1"));
        QCOMPARE(names[1].name, QStringLiteral("HDMI-A-1"));

        // An output no section fits stays unnamed, unless the counts agree: then KWin's order holds.
        QCOMPARE(KWinOutputNames::match(sections, { QRect(0, 0, 800, 600) }).value(0).name, QString());
        const QList<KWinOutputName> byOrder
            = KWinOutputNames::match(sections, { QRect(0, 0, 1920, 1081), QRect(1920, 0, 1280, 720) });
        QCOMPARE(byOrder[0].name, QStringLiteral("DP-1"));
        QCOMPARE(byOrder[1].name, QStringLiteral("HDMI-A-1"));
        QVERIFY(KWinOutputNames::match({}, { QRect(0, 0, 10, 10) }).value(0).name.isEmpty());
    }

    void aSerialNumberTellsIdenticalMonitorsApartAndOthersKeepTheirFingerprint()
    {
        KWinOutputName a { QStringLiteral("DP-1"), QStringLiteral("Dell"), QStringLiteral("U2720Q"), {}, {}, true };
        KWinOutputName b = a;
        // Without a serial number (KWin 5.27) the fingerprint is the one it always was.
        QCOMPARE(KWinOutputNames::fingerprint(a),
            QStringLiteral("kwin\x1f"
                           "Dell\x1f"
                           "U2720Q\x1f"
                           "DP-1"));
        a.serialNumber = QStringLiteral("CN0001");
        b.serialNumber = QStringLiteral("CN0002");
        QVERIFY(KWinOutputNames::fingerprint(a) != KWinOutputNames::fingerprint(b));
    }

    void aLowerCasedWindowClassStillFindsItsStartupWMClass()
    {
        // KWin hands X11 windows' WM_CLASS over lower-cased ("testappx" for TestAppX).
        const DesktopEntryIndex index({ { QStringLiteral("testapp-x"), {}, QStringLiteral("TestAppX"), {} },
            { QStringLiteral("debian-xterm"), {}, QStringLiteral("XTerm"), {} } });
        DesktopEntryIndex::WindowClues clues { QStringLiteral("testappx"), QStringLiteral("testappx"), {}, {}, {} };
        QCOMPARE(index.resolve(clues), std::optional(QStringLiteral("testappx")));
        clues.lowerCased = true;
        QCOMPARE(index.resolve(clues), std::optional(QStringLiteral("testapp-x")));
        clues.instance = clues.className = QStringLiteral("xterm");
        QCOMPARE(index.resolve(clues), std::optional(QStringLiteral("debian-xterm")));
    }

    void outputsNamedByTheScriptAreRead()
    {
        const QByteArray answer
            = R"({"screens":[{"x":0,"y":0,"width":1920,"height":1080,"name":"DP-1","manufacturer":"Dell",)"
              R"("model":"U2720Q","serialNumber":"CN0001"},{"x":1920,"y":0,"width":1280,"height":720,"name":"",)"
              R"("manufacturer":"","model":"","serialNumber":""}],"windows":[]})";
        QString error;
        const auto list = KWinWindowList::parse(answer, &error);
        QVERIFY2(list, qPrintable(error));
        QCOMPARE(list->outputs.size(), 2);
        QCOMPARE(list->outputs[0].name, QStringLiteral("DP-1"));
        QCOMPARE(list->outputs[0].serialNumber, QStringLiteral("CN0001"));
        QCOMPARE(list->outputs[0].geometry, std::optional(QRect(0, 0, 1920, 1080)));
        QVERIFY(list->outputs[1].name.isEmpty());
    }

    void kwinsMarkOnCollidingCaptionsIsLeftOut()
    {
        QCOMPARE(KWinWindowList::withoutDuplicateMark(QStringLiteral("Caja's folder <2>\u200E")),
            QStringLiteral("Caja's folder"));
        QCOMPARE(KWinWindowList::withoutDuplicateMark(QStringLiteral("a <b> <12>")), QStringLiteral("a <b>"));
        // The application's own angle brackets stay.
        QCOMPARE(KWinWindowList::withoutDuplicateMark(QStringLiteral("x<2>")), QStringLiteral("x<2>"));
        QCOMPARE(KWinWindowList::withoutDuplicateMark(QStringLiteral("<2> notes")), QStringLiteral("<2> notes"));
    }
};

QTEST_GUILESS_MAIN(TestKWinWindowList)
#include "tst_kwinwindowlist.moc"
