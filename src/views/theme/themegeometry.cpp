// The line positions of the grid and scan-line layers, kept apart from the
// drawing so the rules can be checked without a window.
#include "themegeometry.h"

#include <cmath>

QList<double> ThemeGeometry::gridLines(double extent)
{
    QList<double> lines;
    if (!(extent > 0) || !std::isfinite(extent))
        return lines;
    for (int i = 0; i * gridSpacing < extent; ++i)
        lines.append(i * gridSpacing);
    return lines;
}

int ThemeGeometry::scanlineCount(double height)
{
    if (!(height > 0) || !std::isfinite(height))
        return 0;
    return int(std::trunc(height * 0.125));
}
