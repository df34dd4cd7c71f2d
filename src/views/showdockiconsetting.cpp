// How the views read the stored "showDockIcon" setting, by the same rule as the start.
#include "showdockiconsetting.h"

bool showDockIconFromSetting(const QVariant &stored)
{
    if (stored.typeId() == QMetaType::Bool)
        return stored.toBool();
    if (stored.typeId() == QMetaType::QString && stored.toString() == QLatin1String("false"))
        return false;
    return true;
}
