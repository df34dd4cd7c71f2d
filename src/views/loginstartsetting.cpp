// "Beim Anmelden starten": the settings page's switch over the XDG autostart entry.
#include "loginstartsetting.h"

#include "platform/xdg/autostartentry.h"
#include "platform/xdg/programfiles.h"

#include <QCoreApplication>

LoginStartSetting::LoginStartSetting(QObject *parent)
    : QObject(parent)
    // The entry itself is the setting: a user who removed it by hand sees the switch off.
    , m_enabled(AutostartEntry::isInstalled())
{
}

QString LoginStartSetting::program()
{
    // The command on the PATH rather than the window program it hands over to.
    return ProgramFiles::commandFor(QCoreApplication::applicationFilePath());
}

void LoginStartSetting::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    QString error;
    const bool done = enabled ? AutostartEntry::install(program(), &error) : AutostartEntry::uninstall(&error);
    setProblem(done ? QString() : error);
    if (!done)
        return;
    m_enabled = enabled;
    emit enabledChanged();
}

void LoginStartSetting::setProblem(const QString &problem)
{
    if (m_problem == problem)
        return;
    m_problem = problem;
    emit problemChanged();
}
