// How the stored "showDockIcon" setting is read, by the settings page and at start.
#include "showdockiconsetting.h"

bool showDockIconFromSetting(const QVariant &stored)
{
    if (stored.typeId() == QMetaType::Bool)
        return stored.toBool();
    if (stored.typeId() == QMetaType::QString && stored.toString() == QLatin1String("false"))
        return false;
    return true;
}
