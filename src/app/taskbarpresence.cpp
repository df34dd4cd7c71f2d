// Reading the "showDockIcon" setting into a taskbar presence.
#include "taskbarpresence.h"

#include <QSettings>

TaskbarPresence taskbarPresenceFromSetting(const QVariant &stored)
{
    return showDockIconFromSetting(stored) ? TaskbarPresence::listed : TaskbarPresence::trayOnly;
}

TaskbarPresence readTaskbarPresence(const QSettings &settings)
{
    return taskbarPresenceFromSetting(settings.value(QLatin1String(showDockIconSettingKey)));
}
