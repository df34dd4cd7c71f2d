// The global hotkey on GNOME: a custom keybinding of GNOME's own keyboard settings that runs `corvalint launcher`.
#pragma once

#include "automation/globalhotkey.h"

#include <QString>

class GnomeCustomKeybinding : public GlobalHotkey
{
    Q_OBJECT

public:
    /// The keybinding's settings path, beside the user's own custom keybindings.
    static constexpr QLatin1String path {
        "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/corvalint-launcher/"
    };

    /// `program` is what the keybinding runs, with `launcher` after it.
    explicit GnomeCustomKeybinding(const QString &program, QObject *parent = nullptr);

    /// Writes the keybinding (GNOME, not we, watches the key: `activated` is never emitted; the command
    /// reaches the running Corvalint instead). Taken: another custom keybinding or a window-manager or
    /// shell keybinding has the same accelerator. Failed: GNOME's keybinding schema is not installed.
    Result setCombination(const KeyCombination &combination) override;
    /// Removes the keybinding from GNOME's list.
    void clear() override;

    /// "<Super><Alt>d": the combination as GTK writes accelerators.
    static QString accelerator(const KeyCombination &combination);

private:
    QString m_program;
};
