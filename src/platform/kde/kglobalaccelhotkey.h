// The global hotkey on KDE Plasma: a global shortcut registered with the KGlobalAccel service over D-Bus.
#pragma once

#include "automation/globalhotkey.h"

#include <QDBusConnection>
#include <QString>

class KGlobalAccelHotkey : public GlobalHotkey
{
    Q_OBJECT

public:
    static constexpr QLatin1String service { "org.kde.kglobalaccel" };
    /// Our component and action as KGlobalAccel names them (unique names, then what System Settings shows).
    static constexpr QLatin1String componentName { "corvalint" };
    static constexpr QLatin1String actionName { "open-launcher" };

    explicit KGlobalAccelHotkey(const QDBusConnection &bus, QObject *parent = nullptr);

    /// Whether the service runs (or can be started) on `bus`.
    static bool available(const QDBusConnection &bus);

    /// Registers the action and asks for the combination. Taken: KGlobalAccel gave us other keys (another
    /// component holds these). Failed: the service does not answer.
    Result setCombination(const KeyCombination &combination) override;
    /// Gives the keys back (the action stays known, without keys).
    void clear() override;

    /// The combination as one Qt key code (modifiers and key), as KGlobalAccel stores keys; 0 for none.
    static int qtKeyCode(const KeyCombination &combination);

private slots:
    void shortcutPressed(const QString &component, const QString &action, qlonglong timestamp);

private:
    QStringList actionId() const;
    bool setKeys(const QList<int> &keys, QList<int> *granted);

    QDBusConnection m_bus;
    bool m_listening = false;
};
