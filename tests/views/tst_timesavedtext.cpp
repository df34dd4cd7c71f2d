// The dashboard's time-saved text at and around its unit boundaries.
#include "timesavedtext.h"

#include <QTest>

class TimeSavedTextTest : public QObject
{
    Q_OBJECT

private slots:
    void showsUnitsByMagnitude_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing saved") << 0.0 << QStringLiteral("0s");
        QTest::newRow("forty seconds") << 40.0 << QStringLiteral("40s");
        QTest::newRow("59 s") << 59.0 << QStringLiteral("59s");
        QTest::newRow("59.6 s rounds up but stays seconds") << 59.6 << QStringLiteral("60s");
        QTest::newRow("60 s") << 60.0 << QStringLiteral("1 Min");
        QTest::newRow("1800 s") << 1800.0 << QStringLiteral("30 Min");
        QTest::newRow("3599 s rounds to 60 Min") << 3599.0 << QStringLiteral("60 Min");
        QTest::newRow("3600 s") << 3600.0 << QStringLiteral("1.0 Std");
        QTest::newRow("9000 s") << 9000.0 << QStringLiteral("2.5 Std");
    }
    void showsUnitsByMagnitude()
    {
        QFETCH(double, seconds);
        QFETCH(QString, text);
        QCOMPARE(formatTimeSaved(seconds), text);
    }

    void ignoresTheLocaleDecimalSeparator()
    {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(formatTimeSaved(9000), QStringLiteral("2.5 Std"));
        QLocale::setDefault(before);
    }
};

QTEST_GUILESS_MAIN(TimeSavedTextTest)
#include "tst_timesavedtext.moc"
