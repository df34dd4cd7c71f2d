// The hotkey setting: the stored combination registered at start, a recorded key press stored and registered,
// and a key another program holds reported in German rather than lost.
#include "hotkeysetting.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

/// A desktop that holds "Super+D" for itself.
class FakeHotkey : public GlobalHotkey
{
public:
    QStringList asked;
    Result setCombination(const KeyCombination &combination) override
    {
        asked.append(combination.toText());
        return combination.toText() == QLatin1String("Super+D") ? Result::taken : Result::registered;
    }
    void clear() override { }
    void press() { emit activated(); }
};

} // namespace

class TestHotkeySetting : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void theDefaultIsRegisteredAtStart()
    {
        QSettings settings(m_dir.filePath(QStringLiteral("a.conf")), QSettings::IniFormat);
        FakeHotkey hotkey;
        HotkeySetting setting(settings, &hotkey);
        QCOMPARE(setting.combination(), QStringLiteral("Super+Alt+D"));
        QCOMPARE(hotkey.asked, QStringList { QStringLiteral("Super+Alt+D") });
        QVERIFY(setting.problem().isEmpty());
        QSignalSpy activated(&setting, &HotkeySetting::activated);
        hotkey.press();
        QCOMPARE(activated.count(), 1);
    }

    void aRecordedPressIsStoredAndATakenOneReported()
    {
        QSettings settings(m_dir.filePath(QStringLiteral("b.conf")), QSettings::IniFormat);
        FakeHotkey hotkey;
        HotkeySetting setting(settings, &hotkey);
        // A modifier alone, while held, is no combination yet.
        QVERIFY(!setting.record(Qt::Key_Meta, Qt::MetaModifier));
        QVERIFY(setting.record(Qt::Key_D, Qt::MetaModifier));
        QCOMPARE(settings.value(QStringLiteral("hotkey")).toString(), QStringLiteral("Super+D"));
        QCOMPARE(setting.problem(),
            QStringLiteral(
                "„Super+D“ ist bereits von einem anderen Programm belegt. Wähle eine andere Tastenkombination."));
        QVERIFY(setting.record(Qt::Key_L, Qt::ControlModifier | Qt::AltModifier));
        QVERIFY(setting.problem().isEmpty());
        // The next start reads what was stored.
        HotkeySetting again(settings, &hotkey);
        QCOMPARE(again.combination(), QStringLiteral("Ctrl+Alt+L"));
    }

    void withoutGlobalShortcutsThePageSaysWhatToDo()
    {
        QSettings settings(m_dir.filePath(QStringLiteral("c.conf")), QSettings::IniFormat);
        HotkeySetting setting(settings, nullptr);
        QVERIFY(setting.problem().contains(QStringLiteral("corvalint launcher")));
    }
};

QTEST_GUILESS_MAIN(TestHotkeySetting)
#include "tst_hotkeysetting.moc"
