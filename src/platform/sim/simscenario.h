// Reads a scenario file's JSON into a simulated desktop (the format is in docs/scenario-format.md).
#pragma once

#include <QJsonObject>
#include <QString>

class SimulatedDesktop;

class SimScenario
{
public:
    /// Builds the scenario's desktop into `desktop` (expected empty). False,
    /// with a message naming the offending key, on the first malformed value.
    static bool apply(const QJsonObject &scenario, SimulatedDesktop &desktop, QString *error);
    /// The scenario object in a file; false, with a message naming the file,
    /// when it cannot be read or is not one JSON object.
    static bool readFile(const QString &path, QJsonObject *scenario, QString *error);
};
