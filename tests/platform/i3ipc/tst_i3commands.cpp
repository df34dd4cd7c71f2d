// The command text sent for placements and closing: one container by id, resize before move, quoted names.
#include "platform/i3ipc/i3commands.h"

#include <QTest>

class TestI3Commands : public QObject
{
    Q_OBJECT

private slots:
    void picksOneContainerById()
    {
        QCOMPARE(I3Commands::criteria(94657292302400ull), QStringLiteral("[con_id=94657292302400]"));
        QCOMPARE(I3Commands::close(7), QStringLiteral("[con_id=7] kill"));
        QCOMPARE(I3Commands::focus(7), QStringLiteral("[con_id=7] focus"));
    }

    void floatingFrameResizesBeforeItMoves()
    {
        const QString command = I3Commands::floatingFrame(12, QRect(2000, 100, 700, 500), false);
        QCOMPARE(command,
            QStringLiteral("[con_id=12] floating enable, resize set 700 px 500 px, "
                           "move absolute position 2000 px 100 px"));
        QVERIFY(command.indexOf(QLatin1String("resize")) < command.indexOf(QLatin1String("move")));
    }

    void floatingFrameLeavesFullScreenFirst()
    {
        const QString command = I3Commands::floatingFrame(12, QRect(-10, 5, 300, 200), true);
        QVERIFY(command.startsWith(QLatin1String("[con_id=12] fullscreen disable, floating enable")));
        QVERIFY(command.endsWith(QLatin1String("move absolute position -10 px 5 px")));
    }

    void tiledGoesToTheOutputOrTheWorkspace()
    {
        QCOMPARE(I3Commands::tiled(3, QStringLiteral("HEADLESS-2"), std::nullopt, false),
            QStringLiteral("[con_id=3] floating disable, move container to output \"HEADLESS-2\", floating disable"));
        QCOMPARE(I3Commands::tiled(3, QStringLiteral("HEADLESS-2"), 4, true),
            QStringLiteral("[con_id=3] fullscreen disable, floating disable, move container to workspace number 4, "
                           "floating disable"));
        QCOMPARE(I3Commands::tiled(3, QString(), std::nullopt, false), QStringLiteral("[con_id=3] floating disable"));
    }

    void fullScreenOnAnOutput()
    {
        QCOMPARE(I3Commands::fullScreen(5, QStringLiteral("B")),
            QStringLiteral("[con_id=5] move container to output \"B\", fullscreen enable"));
        QCOMPARE(I3Commands::fullScreen(5, QString()), QStringLiteral("[con_id=5] fullscreen enable"));
    }

    void quotesNamesThatCouldEndTheArgument()
    {
        QCOMPARE(I3Commands::quoted(QStringLiteral("a\"b\\c")), QStringLiteral("\"a\\\"b\\\\c\""));
        // Neither a quote nor a line break lets a name smuggle in another command.
        const QString hostile = I3Commands::quoted(QStringLiteral("X\", kill\n[class=.*] kill"));
        QVERIFY(!hostile.contains(QLatin1Char('\n')));
        QCOMPARE(hostile.count(QLatin1String("\\\"")), 1);
        QVERIFY(hostile.startsWith(QLatin1Char('"')) && hostile.endsWith(QLatin1Char('"')));
    }
};

QTEST_GUILESS_MAIN(TestI3Commands)
#include "tst_i3commands.moc"
