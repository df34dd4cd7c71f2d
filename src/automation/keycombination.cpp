// A global key combination such as "Super+Alt+D": its modifiers and one key, as text and from Qt's key codes.
#include "keycombination.h"

#include <QStringList>
#include <Qt>
#include <array>

namespace {

struct NamedKey {
    int qtKey;
    const char *name;
};

// Keys other than letters, digits and function keys that a global shortcut may use.
constexpr std::array namedKeys {
    NamedKey { Qt::Key_Space, "Space" },
    NamedKey { Qt::Key_Return, "Return" },
    NamedKey { Qt::Key_Enter, "Return" },
    NamedKey { Qt::Key_Escape, "Escape" },
    NamedKey { Qt::Key_Tab, "Tab" },
    NamedKey { Qt::Key_Backspace, "Backspace" },
    NamedKey { Qt::Key_Insert, "Insert" },
    NamedKey { Qt::Key_Delete, "Delete" },
    NamedKey { Qt::Key_Home, "Home" },
    NamedKey { Qt::Key_End, "End" },
    NamedKey { Qt::Key_PageUp, "PageUp" },
    NamedKey { Qt::Key_PageDown, "PageDown" },
    NamedKey { Qt::Key_Left, "Left" },
    NamedKey { Qt::Key_Right, "Right" },
    NamedKey { Qt::Key_Up, "Up" },
    NamedKey { Qt::Key_Down, "Down" },
    NamedKey { Qt::Key_Print, "Print" },
    NamedKey { Qt::Key_Pause, "Pause" },
};

std::optional<QString> keyName(const QString &text)
{
    // An empty key ("Super+Alt+", or no setting stored) names nothing; front() would read past it.
    if (text.isEmpty())
        return std::nullopt;
    if (text.size() == 1) {
        const QChar c = text.front().toUpper();
        if ((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            return QString(c);
        return std::nullopt;
    }
    if (text.size() <= 3 && text.front().toUpper() == QLatin1Char('F')) {
        bool ok = false;
        const int number = text.mid(1).toInt(&ok);
        if (ok && number >= 1 && number <= 24)
            return QStringLiteral("F%1").arg(number);
        return std::nullopt;
    }
    for (const NamedKey &named : namedKeys) {
        if (text.compare(QLatin1String(named.name), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(named.name);
    }
    return std::nullopt;
}

} // namespace

std::optional<KeyCombination> KeyCombination::fromText(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('+'), Qt::KeepEmptyParts);
    KeyCombination combination;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString part = parts[i].trimmed();
        if (i + 1 == parts.size()) {
            const auto name = keyName(part);
            if (!name)
                return std::nullopt;
            combination.key = *name;
            break;
        }
        const QString lower = part.toLower();
        if (lower == QLatin1String("shift"))
            combination.modifiers |= shift;
        else if (lower == QLatin1String("ctrl") || lower == QLatin1String("control"))
            combination.modifiers |= control;
        else if (lower == QLatin1String("alt"))
            combination.modifiers |= alt;
        else if (lower == QLatin1String("super") || lower == QLatin1String("meta") || lower == QLatin1String("win"))
            combination.modifiers |= super;
        else
            return std::nullopt;
    }
    if (!combination.isUsable())
        return std::nullopt;
    return combination;
}

std::optional<KeyCombination> KeyCombination::fromQtKey(int key, int qtModifiers)
{
    KeyCombination combination;
    if (qtModifiers & Qt::ShiftModifier)
        combination.modifiers |= shift;
    if (qtModifiers & Qt::ControlModifier)
        combination.modifiers |= control;
    if (qtModifiers & Qt::AltModifier)
        combination.modifiers |= alt;
    // On X11 and Wayland Qt reports the Super (Windows) key as Meta.
    if (qtModifiers & Qt::MetaModifier)
        combination.modifiers |= super;
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        combination.key = QString(QChar(key));
    else if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        combination.key = QStringLiteral("F%1").arg(key - Qt::Key_F1 + 1);
    else {
        for (const NamedKey &named : namedKeys) {
            if (named.qtKey == key)
                combination.key = QString::fromLatin1(named.name);
        }
    }
    if (!combination.isUsable())
        return std::nullopt;
    return combination;
}

QString KeyCombination::toText() const
{
    QStringList parts;
    if (modifiers & super)
        parts << QStringLiteral("Super");
    if (modifiers & control)
        parts << QStringLiteral("Ctrl");
    if (modifiers & alt)
        parts << QStringLiteral("Alt");
    if (modifiers & shift)
        parts << QStringLiteral("Shift");
    parts << key;
    return parts.join(QLatin1Char('+'));
}

bool KeyCombination::isUsable() const
{
    if (key.isEmpty())
        return false;
    const bool functionKey = key.size() >= 2 && key.front() == QLatin1Char('F') && key.at(1).isDigit();
    return modifiers != 0 || functionKey;
}
