// The global hotkey the user chose: remembered in the settings, registered with the desktop, and what went wrong.
#pragma once

#include "automation/globalhotkey.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

class QSettings;

class HotkeySetting : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The application hands it over through Services.hotkey")
    /// "Super+Alt+D": the combination as stored.
    Q_PROPERTY(QString combination READ combination NOTIFY combinationChanged)
    /// Why the combination does not work globally, one German line; empty when it does.
    Q_PROPERTY(QString problem READ problem NOTIFY problemChanged)

public:
    /// The settings key.
    static constexpr QLatin1String settingsKey { "hotkey" };

    /// `hotkey` may be null (a desktop without global shortcuts of its own); both must outlive this object.
    /// Registers the stored combination at once.
    HotkeySetting(QSettings &settings, GlobalHotkey *hotkey, QObject *parent = nullptr);

    QString combination() const { return m_combination.toText(); }
    QString problem() const { return m_problem; }

    /// Takes a key press of the hotkey field (Qt's key and modifiers); true when it made a usable
    /// combination, which is then stored and registered in place of the old one.
    Q_INVOKABLE bool record(int key, int modifiers);
    /// Stores and registers `text` ("Ctrl+Alt+L"); false when it names no usable combination.
    bool setCombination(const QString &text);

    /// The line for a registration result; empty for success.
    static QString problemText(GlobalHotkey::Result result, const QString &combination);

signals:
    void combinationChanged();
    void problemChanged();
    /// The hotkey was pressed.
    void activated();

private:
    void apply(const KeyCombination &combination);
    void setProblem(const QString &problem);

    QSettings &m_settings;
    QPointer<GlobalHotkey> m_hotkey;
    KeyCombination m_combination;
    QString m_problem;
};
