// Frames as the end-to-end tests compare them and print them in failure messages.
#pragma once

#include <QRectF>
#include <QString>

/// The largest difference of any edge.
double edgeError(const QRectF &a, const QRectF &b);

/// "frame x,y wxh", for a failure message.
QString describe(const QRectF &frame);
