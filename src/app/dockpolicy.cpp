// Reading the "showDockIcon" setting into a dock policy.
#include "dockpolicy.h"

#include <QSettings>

DockPolicy dockPolicyFromSetting(const QVariant &stored)
{
    if (stored.typeId() == QMetaType::Bool)
        return stored.toBool() ? DockPolicy::regular : DockPolicy::accessory;
    if (stored.typeId() == QMetaType::QString && stored.toString() == QLatin1String("false"))
        return DockPolicy::accessory;
    return DockPolicy::regular;
}

DockPolicy readDockPolicy(const QSettings &settings)
{
    return dockPolicyFromSetting(settings.value(QLatin1String(showDockIconKey)));
}
