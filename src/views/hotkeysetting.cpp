// The global hotkey the user chose: remembered in the settings, registered with the desktop, and what went wrong.
#include "hotkeysetting.h"

#include <QSettings>

HotkeySetting::HotkeySetting(QSettings &settings, GlobalHotkey *hotkey, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_hotkey(hotkey)
{
    if (m_hotkey)
        connect(m_hotkey, &GlobalHotkey::activated, this, &HotkeySetting::activated);
    // A stored text this version cannot read falls back to the default rather than to nothing.
    const auto stored = KeyCombination::fromText(m_settings.value(settingsKey).toString());
    apply(stored.value_or(*KeyCombination::fromText(QLatin1String(KeyCombination::defaultText))));
}

QString HotkeySetting::problemText(GlobalHotkey::Result result, const QString &combination)
{
    switch (result) {
    case GlobalHotkey::Result::registered:
        return {};
    case GlobalHotkey::Result::taken:
        return QStringLiteral(
            "„%1“ ist bereits von einem anderen Programm belegt. Wähle eine andere Tastenkombination.")
            .arg(combination);
    case GlobalHotkey::Result::unknownKey:
        return QStringLiteral("Diese Tastatur hat keine Taste für „%1“.").arg(combination);
    case GlobalHotkey::Result::failed:
        break;
    }
    return QStringLiteral("„%1“ ließ sich nicht als globaler Hotkey anmelden.").arg(combination);
}

bool HotkeySetting::record(int key, int modifiers)
{
    const auto combination = KeyCombination::fromQtKey(key, modifiers);
    if (!combination)
        return false;
    m_settings.setValue(settingsKey, combination->toText());
    apply(*combination);
    return true;
}

bool HotkeySetting::setCombination(const QString &text)
{
    const auto combination = KeyCombination::fromText(text);
    if (!combination)
        return false;
    m_settings.setValue(settingsKey, combination->toText());
    apply(*combination);
    return true;
}

void HotkeySetting::apply(const KeyCombination &combination)
{
    const bool changed = !(m_combination == combination);
    m_combination = combination;
    if (changed)
        emit combinationChanged();
    if (!m_hotkey) {
        setProblem(QStringLiteral("Dieser Desktop meldet Corvalint keine globalen Tastenkombinationen; "
                                  "richte dort „corvalint launcher“ als eigene Tastenkombination ein."));
        return;
    }
    setProblem(problemText(m_hotkey->setCombination(combination), combination.toText()));
}

void HotkeySetting::setProblem(const QString &problem)
{
    if (m_problem == problem)
        return;
    m_problem = problem;
    emit problemChanged();
}
