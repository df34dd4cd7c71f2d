// The dashboard's text for the total time that launches have saved.
#pragma once

#include <QString>

/// Seconds below one minute as "40s", below one hour as "30 Min", above as
/// "2.5 Std"; every value rounded to nearest as printf does, so 59.6 s reads
/// "60s" and 3599 s reads "60 Min".
QString formatTimeSaved(double seconds);
