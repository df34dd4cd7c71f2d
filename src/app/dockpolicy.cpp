// Reading the "showDockIcon" setting into a dock policy.
#include "dockpolicy.h"

#include <QSettings>

DockPolicy dockPolicyFromSetting(const QVariant &stored)
{
    return showDockIconFromSetting(stored) ? DockPolicy::regular : DockPolicy::accessory;
}

DockPolicy readDockPolicy(const QSettings &settings)
{
    return dockPolicyFromSetting(settings.value(QLatin1String(showDockIconSettingKey)));
}
