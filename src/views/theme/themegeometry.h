// The line positions of the grid and scan-line layers, kept apart from the
// drawing so the rules can be checked without a window.
#pragma once

#include <QList>
#include <QObject>
#include <QtQml/qqmlregistration.h>

class ThemeGeometry : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    static constexpr double gridSpacing = 20;
    static constexpr double scanlinePitch = 5; // 1-point line, 4 points apart

    using QObject::QObject;

    /// Grid line offsets 0, 20, 40, ... strictly below `extent`; none for an
    /// empty extent.
    Q_INVOKABLE static QList<double> gridLines(double extent);
    /// One scan line per 8 points of height, rounded toward zero.
    Q_INVOKABLE static int scanlineCount(double height);
};
