// Key combinations as the settings store them and as the hotkey field records them.
#include "automation/keycombination.h"

#include <QTest>

class TestKeyCombination : public QObject
{
    Q_OBJECT

private slots:
    void textReadsInAnyOrderAndWritesInOne()
    {
        const auto combination = KeyCombination::fromText(QStringLiteral("alt+SUPER+d"));
        QVERIFY(combination);
        QCOMPARE(combination->modifiers, KeyCombination::alt | KeyCombination::super);
        QCOMPARE(combination->key, QStringLiteral("D"));
        QCOMPARE(combination->toText(), QStringLiteral("Super+Alt+D"));
        QCOMPARE(KeyCombination::fromText(QLatin1String(KeyCombination::defaultText))->toText(),
            QLatin1String(KeyCombination::defaultText));
        QCOMPARE(
            KeyCombination::fromText(QStringLiteral("Ctrl+Shift+space"))->toText(), QStringLiteral("Ctrl+Shift+Space"));
    }

    void nonsenseAndBareKeysAreRefused()
    {
        QVERIFY(!KeyCombination::fromText(QString()));
        QVERIFY(!KeyCombination::fromText(QStringLiteral("Super+Alt+")));
        QVERIFY(!KeyCombination::fromText(QStringLiteral("Hyper+D")));
        QVERIFY(!KeyCombination::fromText(QStringLiteral("Super+Alt+ä")));
        // A letter alone would take it from every program's typing; a function key alone is fine.
        QVERIFY(!KeyCombination::fromText(QStringLiteral("D")));
        QVERIFY(KeyCombination::fromText(QStringLiteral("F9")));
    }

    void aKeyPressBecomesACombination()
    {
        const auto combination = KeyCombination::fromQtKey(Qt::Key_D, Qt::MetaModifier | Qt::AltModifier);
        QVERIFY(combination);
        QCOMPARE(combination->toText(), QStringLiteral("Super+Alt+D"));
        QCOMPARE(KeyCombination::fromQtKey(Qt::Key_F5, Qt::ControlModifier)->toText(), QStringLiteral("Ctrl+F5"));
        // The modifier alone, while the user still holds it down, is no combination yet.
        QVERIFY(!KeyCombination::fromQtKey(Qt::Key_Alt, Qt::AltModifier));
        QVERIFY(!KeyCombination::fromQtKey(Qt::Key_Meta, Qt::MetaModifier));
    }
};

QTEST_GUILESS_MAIN(TestKeyCombination)
#include "tst_keycombination.moc"
