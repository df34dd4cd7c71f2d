// The global hotkey on X11: a passive grab of the key on the root window, in every lock-key variant.
#include "x11hotkeygrab.h"

#include "xcbreply.h"

#include <algorithm>
#include <array>
#include <xcb/xcb.h>

namespace {

// Keysyms of X11's keysymdef.h for the keys KeyCombination names.
constexpr quint32 keysymSuperL = 0xffeb;
constexpr quint32 keysymSuperR = 0xffec;
constexpr quint32 keysymAltL = 0xffe9;
constexpr quint32 keysymAltR = 0xffea;
constexpr quint32 keysymMetaL = 0xffe7;
constexpr quint32 keysymNumLock = 0xff7f;
constexpr quint32 keysymScrollLock = 0xff14;

struct NamedKeysym {
    const char *name;
    quint32 keysym;
};

constexpr std::array namedKeysyms {
    NamedKeysym { "Space", 0x0020 },
    NamedKeysym { "Return", 0xff0d },
    NamedKeysym { "Escape", 0xff1b },
    NamedKeysym { "Tab", 0xff09 },
    NamedKeysym { "Backspace", 0xff08 },
    NamedKeysym { "Insert", 0xff63 },
    NamedKeysym { "Delete", 0xffff },
    NamedKeysym { "Home", 0xff50 },
    NamedKeysym { "End", 0xff57 },
    NamedKeysym { "PageUp", 0xff55 },
    NamedKeysym { "PageDown", 0xff56 },
    NamedKeysym { "Left", 0xff51 },
    NamedKeysym { "Up", 0xff52 },
    NamedKeysym { "Right", 0xff53 },
    NamedKeysym { "Down", 0xff54 },
    NamedKeysym { "Print", 0xff61 },
    NamedKeysym { "Pause", 0xff13 },
};

/// The keyboard as the server maps it: each keycode's keysyms, and which modifier bit each modifier key sets.
struct KeyboardMap {
    quint8 firstKeycode = 0;
    int keysymsPerKeycode = 0;
    std::vector<quint32> keysyms;
    std::vector<std::vector<quint8>> modifierKeycodes; // 8 rows: Shift, Lock, Control, Mod1..Mod5

    std::vector<quint8> keycodesFor(quint32 keysym) const
    {
        std::vector<quint8> codes;
        if (keysymsPerKeycode <= 0)
            return codes;
        const size_t count = keysyms.size() / size_t(keysymsPerKeycode);
        for (size_t i = 0; i < count; ++i) {
            // The first two levels: the key itself and with Shift (a letter's lower and upper case).
            for (int level = 0; level < std::min(2, keysymsPerKeycode); ++level) {
                if (keysyms[i * size_t(keysymsPerKeycode) + size_t(level)] == keysym) {
                    codes.push_back(quint8(firstKeycode + i));
                    break;
                }
            }
        }
        return codes;
    }

    /// The modifier bit set by a key with one of these keysyms; 0 when none does.
    quint16 modifierFor(std::initializer_list<quint32> wanted) const
    {
        for (size_t row = 0; row < modifierKeycodes.size(); ++row) {
            for (const quint8 code : modifierKeycodes[row]) {
                for (const quint32 keysym : wanted) {
                    const std::vector<quint8> codes = keycodesFor(keysym);
                    if (std::find(codes.begin(), codes.end(), code) != codes.end())
                        return quint16(1u << row);
                }
            }
        }
        return 0;
    }
};

KeyboardMap readKeyboard(xcb_connection_t *c)
{
    KeyboardMap map;
    const xcb_setup_t *setup = xcb_get_setup(c);
    map.firstKeycode = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    // Both requests first, then both replies.
    const auto mappingCookie = xcb_get_keyboard_mapping(c, setup->min_keycode, quint8(count));
    const auto modifierCookie = xcb_get_modifier_mapping(c);
    if (const auto reply = xcbReply(xcb_get_keyboard_mapping_reply(c, mappingCookie, nullptr))) {
        map.keysymsPerKeycode = reply->keysyms_per_keycode;
        const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(reply.get());
        map.keysyms.assign(syms, syms + xcb_get_keyboard_mapping_keysyms_length(reply.get()));
    }
    if (const auto reply = xcbReply(xcb_get_modifier_mapping_reply(c, modifierCookie, nullptr))) {
        const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(reply.get());
        const int perModifier = reply->keycodes_per_modifier;
        map.modifierKeycodes.resize(8);
        for (int row = 0; row < 8; ++row) {
            for (int i = 0; i < perModifier; ++i) {
                if (const xcb_keycode_t code = codes[row * perModifier + i])
                    map.modifierKeycodes[size_t(row)].push_back(code);
            }
        }
    }
    return map;
}

} // namespace

quint32 X11HotkeyGrab::keysymFor(const QString &key)
{
    if (key.size() == 1) {
        const QChar c = key.front();
        // Letters are grabbed by their lower-case keysym, which is what the unshifted key produces.
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            return quint32(c.toLower().unicode());
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            return quint32(c.unicode());
        return 0;
    }
    if (key.startsWith(QLatin1Char('F'))) {
        bool ok = false;
        const int number = key.mid(1).toInt(&ok);
        if (ok && number >= 1 && number <= 24)
            return 0xffbe + quint32(number - 1);
    }
    for (const NamedKeysym &named : namedKeysyms) {
        if (key == QLatin1String(named.name))
            return named.keysym;
    }
    return 0;
}

std::unique_ptr<X11HotkeyGrab> X11HotkeyGrab::connect(const QString &display, QString *error)
{
    int screen = 0;
    const QByteArray name = display.toLocal8Bit();
    xcb_connection_t *c = xcb_connect(display.isEmpty() ? nullptr : name.constData(), &screen);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        if (error)
            *error = QStringLiteral("cannot connect to the X display %1").arg(display);
        return nullptr;
    }
    return std::unique_ptr<X11HotkeyGrab>(new X11HotkeyGrab(c, screen));
}

X11HotkeyGrab::X11HotkeyGrab(xcb_connection_t *connection, int screen)
    : m_connection(connection)
{
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screen && it.rem; ++i)
        xcb_screen_next(&it);
    m_root = it.data->root;
    // The key presses arrive on this connection's socket; the event loop wakes us for them.
    m_notifier = std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(connection), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, this, &X11HotkeyGrab::readEvents);
}

X11HotkeyGrab::~X11HotkeyGrab()
{
    m_notifier.reset();
    clear();
    xcb_disconnect(m_connection);
}

void X11HotkeyGrab::clear()
{
    for (const Grab &grab : m_grabs)
        xcb_ungrab_key(m_connection, grab.keycode, m_root, grab.modifiers);
    m_grabs.clear();
    m_keycodes.clear();
    xcb_flush(m_connection);
}

GlobalHotkey::Result X11HotkeyGrab::setCombination(const KeyCombination &combination)
{
    clear();
    const quint32 keysym = keysymFor(combination.key);
    const KeyboardMap keyboard = readKeyboard(m_connection);
    const std::vector<quint8> keycodes = keysym ? keyboard.keycodesFor(keysym) : std::vector<quint8>();
    if (keycodes.empty())
        return Result::unknownKey;

    quint16 modifiers = 0;
    if (combination.modifiers & KeyCombination::shift)
        modifiers |= XCB_MOD_MASK_SHIFT;
    if (combination.modifiers & KeyCombination::control)
        modifiers |= XCB_MOD_MASK_CONTROL;
    if (combination.modifiers & KeyCombination::alt) {
        const quint16 alt = keyboard.modifierFor({ keysymAltL, keysymAltR, keysymMetaL });
        modifiers |= alt ? alt : quint16(XCB_MOD_MASK_1);
    }
    if (combination.modifiers & KeyCombination::super) {
        const quint16 super = keyboard.modifierFor({ keysymSuperL, keysymSuperR });
        modifiers |= super ? super : quint16(XCB_MOD_MASK_4);
    }
    // A grab matches the modifiers exactly: with Caps Lock, Num Lock or Scroll Lock on the key would go
    // unnoticed, so every combination of the three is grabbed too.
    std::vector<quint16> locks { quint16(XCB_MOD_MASK_LOCK) };
    for (const quint16 lock : { keyboard.modifierFor({ keysymNumLock }), keyboard.modifierFor({ keysymScrollLock }) }) {
        if (lock && !(modifiers & lock))
            locks.push_back(lock);
    }
    std::vector<xcb_void_cookie_t> cookies;
    std::vector<Grab> wanted;
    for (const quint8 keycode : keycodes) {
        for (unsigned subset = 0; subset < (1u << locks.size()); ++subset) {
            quint16 mask = modifiers;
            for (size_t i = 0; i < locks.size(); ++i) {
                if (subset & (1u << i))
                    mask |= locks[i];
            }
            wanted.push_back(Grab { keycode, mask });
            cookies.push_back(
                xcb_grab_key_checked(m_connection, 1, m_root, mask, keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        }
    }
    // Every request sent, then every answer: a BadAccess means another client grabbed the same key first.
    bool taken = false;
    bool failed = false;
    for (size_t i = 0; i < cookies.size(); ++i) {
        if (const auto error = xcbReply(xcb_request_check(m_connection, cookies[i]))) {
            if (error->error_code == XCB_ACCESS)
                taken = true;
            else
                failed = true;
        } else {
            m_grabs.push_back(wanted[i]);
        }
    }
    if (taken || failed) {
        clear();
        return taken ? Result::taken : Result::failed;
    }
    m_keycodes = keycodes;
    return Result::registered;
}

void X11HotkeyGrab::readEvents()
{
    while (auto event = xcbReply(xcb_poll_for_event(m_connection))) {
        if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
            continue;
        const auto *press = reinterpret_cast<const xcb_key_press_event_t *>(event.get());
        if (std::find(m_keycodes.begin(), m_keycodes.end(), press->detail) != m_keycodes.end())
            emit activated();
    }
}
