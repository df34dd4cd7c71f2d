// The dashboard's text for the total time that launches have saved.
#include "timesavedtext.h"

QString formatTimeSaved(double seconds)
{
    // asprintf keeps C's rounding and its "." decimal point whatever the locale.
    if (seconds < 60)
        return QString::asprintf("%.0fs", seconds);
    if (seconds < 3600)
        return QString::asprintf("%.0f Min", seconds / 60);
    return QString::asprintf("%.1f Std", seconds / 3600);
}
