// Pairing saved entries with open windows by title: exact, then the longest common part, then order.
#include "automation/titlematching.h"

#include <QTest>

class TestTitleMatching : public QObject
{
    Q_OBJECT

private slots:
    void longestCommonPartCountsOneRun()
    {
        // ".txt - Editor" is the longest run both share.
        QCOMPARE(
            TitleMatching::longestCommonPart(QStringLiteral("notes.txt - Editor"), QStringLiteral("todo.txt - Editor")),
            13);
        QCOMPARE(TitleMatching::longestCommonPart(QStringLiteral("abc"), QString()), 0);
        QCOMPARE(TitleMatching::longestCommonPart(QStringLiteral("xabcy"), QStringLiteral("zabcw")), 3);
    }

    void exactTitlesPairFirstWhateverTheOrder()
    {
        const QList<int> chosen = TitleMatching::match(
            { QStringLiteral("b"), QStringLiteral("a") }, { QStringLiteral("a"), QStringLiteral("b") });
        QCOMPARE(chosen, (QList<int> { 1, 0 }));
    }

    void theMostAlikePairGoesFirst()
    {
        // Both saved titles share " - Writer" with both windows; the longer common part decides.
        const QList<int> chosen
            = TitleMatching::match({ QStringLiteral("Report draft - Writer"), QStringLiteral("Budget 2026 - Writer") },
                { QStringLiteral("Budget 2026 (edited) - Writer"), QStringLiteral("Report draft (edited) - Writer") });
        QCOMPARE(chosen, (QList<int> { 1, 0 }));
    }

    void shortCommonPartsSayNothing()
    {
        // Two shared characters are below the threshold: order decides.
        const QList<int> chosen = TitleMatching::match(
            { QStringLiteral("xy"), QStringLiteral("pq") }, { QStringLiteral("pqr"), QStringLiteral("xyz") });
        QCOMPARE(chosen, (QList<int> { 0, 1 }));
        QCOMPARE(TitleMatching::closest(QStringLiteral("xy"), { QStringLiteral("pqr"), QStringLiteral("xyz") }),
            std::nullopt);
    }

    void untitledEntriesTakeWhatIsLeftInOrder()
    {
        const QList<int> chosen = TitleMatching::match({ std::nullopt, QStringLiteral("two"), QString() },
            { QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three") });
        QCOMPARE(chosen, (QList<int> { 0, 1, 2 }));
    }

    void moreEntriesThanWindowsLeaveTheLastWithout()
    {
        const QList<int> chosen = TitleMatching::match(
            { std::nullopt, QStringLiteral("a"), std::nullopt }, { QStringLiteral("a"), QStringLiteral("b") });
        QCOMPARE(chosen, (QList<int> { 1, 0, -1 }));
    }

    void closestPrefersTheExactTitleOverALongerResemblance()
    {
        const QStringList titles { QStringLiteral("Mail - Inbox (3 unread) - Thunderbird"), QStringLiteral("Mail") };
        QCOMPARE(TitleMatching::closest(QStringLiteral("Mail"), titles), std::optional<qsizetype>(1));
        QCOMPARE(TitleMatching::closest(QStringLiteral("Inbox (2 unread)"), titles), std::optional<qsizetype>(0));
    }
};

QTEST_GUILESS_MAIN(TestTitleMatching)
#include "tst_titlematching.moc"
