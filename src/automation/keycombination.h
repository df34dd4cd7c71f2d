// A global key combination such as "Super+Alt+D": its modifiers and one key, as text and from Qt's key codes.
#pragma once

#include <QString>
#include <optional>

struct KeyCombination {
    enum Modifier {
        shift = 1,
        control = 2,
        alt = 4,
        super = 8,
    };
    /// The combination a new installation starts with.
    static constexpr const char *defaultText = "Super+Alt+D";

    int modifiers = 0;
    /// The key's name: an upper-case letter, a digit, "F1" to "F24" or a
    /// named key ("Space", "Return", "Escape", "Tab", "Left", ...).
    QString key;

    /// "Super+Alt+D" and the like (modifier names in any case and order,
    /// "Ctrl" and "Meta" too); nothing for text that names no key or a key
    /// that cannot be grabbed.
    static std::optional<KeyCombination> fromText(const QString &text);
    /// From a key press as Qt reports it (Qt::Key and Qt::KeyboardModifiers as
    /// numbers); nothing for a modifier alone or a key without a name here.
    static std::optional<KeyCombination> fromQtKey(int key, int modifiers);
    /// "Super+Alt+D": the modifiers in a fixed order, then the key.
    QString toText() const;
    /// A global shortcut needs a modifier, except for the function keys.
    bool isUsable() const;

    bool operator==(const KeyCombination &) const = default;
};
