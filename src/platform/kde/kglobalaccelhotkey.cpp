// The global hotkey on KDE Plasma: a global shortcut registered with the KGlobalAccel service over D-Bus.
#include "kglobalaccelhotkey.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>

namespace {

constexpr const char *path = "/kglobalaccel";
constexpr const char *interface = "org.kde.KGlobalAccel";
constexpr const char *componentInterface = "org.kde.kglobalaccel.Component";
// setShortcut flags: keys given as the present ones, not merely as defaults, and not replaced by keys
// remembered from an earlier session.
constexpr uint setPresent = 2;
constexpr uint noAutoloading = 4;
constexpr int callTimeoutMs = 3000;

QDBusMessage call(const QString &method, const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        QLatin1String(KGlobalAccelHotkey::service), QLatin1String(path), QLatin1String(interface), method);
    message.setArguments(arguments);
    return message;
}

} // namespace

KGlobalAccelHotkey::KGlobalAccelHotkey(const QDBusConnection &bus, QObject *parent)
    : GlobalHotkey(parent)
    , m_bus(bus)
{
    qDBusRegisterMetaType<QList<int>>();
}

bool KGlobalAccelHotkey::available(const QDBusConnection &bus)
{
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QString name(service);
    return bus.interface()->isServiceRegistered(name).value()
        || bus.interface()->activatableServiceNames().value().contains(name);
}

int KGlobalAccelHotkey::qtKeyCode(const KeyCombination &combination)
{
    int key = 0;
    const QString &name = combination.key;
    if (name.size() == 1)
        key = name.front().toUpper().unicode();
    else if (name.startsWith(QLatin1Char('F')) && name.size() <= 3 && name.at(1).isDigit())
        key = Qt::Key_F1 + name.mid(1).toInt() - 1;
    else {
        static const QHash<QString, int> named { { QStringLiteral("Space"), Qt::Key_Space },
            { QStringLiteral("Return"), Qt::Key_Return }, { QStringLiteral("Escape"), Qt::Key_Escape },
            { QStringLiteral("Tab"), Qt::Key_Tab }, { QStringLiteral("Backspace"), Qt::Key_Backspace },
            { QStringLiteral("Insert"), Qt::Key_Insert }, { QStringLiteral("Delete"), Qt::Key_Delete },
            { QStringLiteral("Home"), Qt::Key_Home }, { QStringLiteral("End"), Qt::Key_End },
            { QStringLiteral("PageUp"), Qt::Key_PageUp }, { QStringLiteral("PageDown"), Qt::Key_PageDown },
            { QStringLiteral("Left"), Qt::Key_Left }, { QStringLiteral("Right"), Qt::Key_Right },
            { QStringLiteral("Up"), Qt::Key_Up }, { QStringLiteral("Down"), Qt::Key_Down },
            { QStringLiteral("Print"), Qt::Key_Print }, { QStringLiteral("Pause"), Qt::Key_Pause } };
        key = named.value(name, 0);
    }
    if (!key)
        return 0;
    if (combination.modifiers & KeyCombination::shift)
        key |= Qt::SHIFT;
    if (combination.modifiers & KeyCombination::control)
        key |= Qt::CTRL;
    if (combination.modifiers & KeyCombination::alt)
        key |= Qt::ALT;
    if (combination.modifiers & KeyCombination::super)
        key |= Qt::META;
    return key;
}

QStringList KGlobalAccelHotkey::actionId() const
{
    return { QString(componentName), QString(actionName), QStringLiteral("Corvalint"),
        QStringLiteral("Corvalint Launcher öffnen") };
}

bool KGlobalAccelHotkey::setKeys(const QList<int> &keys, QList<int> *granted)
{
    const QDBusMessage registered
        = m_bus.call(call(QStringLiteral("doRegister"), { actionId() }), QDBus::Block, callTimeoutMs);
    if (registered.type() == QDBusMessage::ErrorMessage)
        return false;
    const QDBusReply<QList<int>> reply
        = m_bus.call(call(QStringLiteral("setShortcut"),
                         { actionId(), QVariant::fromValue(keys), QVariant::fromValue(setPresent | noAutoloading) }),
            QDBus::Block, callTimeoutMs);
    if (!reply.isValid())
        return false;
    if (granted)
        *granted = reply.value();
    return true;
}

GlobalHotkey::Result KGlobalAccelHotkey::setCombination(const KeyCombination &combination)
{
    const int key = qtKeyCode(combination);
    if (!key)
        return Result::unknownKey;
    QList<int> granted;
    if (!setKeys({ key }, &granted))
        return Result::failed;
    // KGlobalAccel leaves out keys another component holds.
    if (!granted.contains(key)) {
        clear();
        return Result::taken;
    }
    if (!m_listening) {
        const QDBusReply<QDBusObjectPath> component
            = m_bus.call(call(QStringLiteral("getComponent"), { QString(componentName) }), QDBus::Block, callTimeoutMs);
        if (!component.isValid())
            return Result::failed;
        m_listening = m_bus.connect(QString(service), component.value().path(), QLatin1String(componentInterface),
            QStringLiteral("globalShortcutPressed"), this, SLOT(shortcutPressed(QString, QString, qlonglong)));
        if (!m_listening)
            return Result::failed;
    }
    return Result::registered;
}

void KGlobalAccelHotkey::clear()
{
    setKeys({}, nullptr);
}

void KGlobalAccelHotkey::shortcutPressed(const QString &component, const QString &action, qlonglong timestamp)
{
    Q_UNUSED(timestamp)
    if (component == componentName && action == actionName)
        emit activated();
}
