// The global hotkey on X11: a passive grab of the key on the root window, in every lock-key variant.
#pragma once

#include "automation/globalhotkey.h"

#include <QSocketNotifier>
#include <memory>
#include <vector>

struct xcb_connection_t;

class X11HotkeyGrab : public GlobalHotkey
{
    Q_OBJECT

public:
    /// Opens a connection of its own to `display` (empty: $DISPLAY); nothing with `error` set when it fails.
    static std::unique_ptr<X11HotkeyGrab> connect(const QString &display, QString *error);
    ~X11HotkeyGrab() override;

    Result setCombination(const KeyCombination &combination) override;
    void clear() override;

    /// The X keysym of a key name of KeyCombination; 0 for none.
    static quint32 keysymFor(const QString &key);

private:
    explicit X11HotkeyGrab(xcb_connection_t *connection, int screen);
    void readEvents();

    struct Grab {
        quint8 keycode;
        quint16 modifiers;
    };

    xcb_connection_t *m_connection;
    quint32 m_root = 0;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::vector<Grab> m_grabs;
    std::vector<quint8> m_keycodes;
};
