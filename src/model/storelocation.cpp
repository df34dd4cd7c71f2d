// Where the store lives.
#include "storelocation.h"

#include <QStandardPaths>

QString StoreLocation::defaultDirectory()
{
    const QString fromEnvironment = qEnvironmentVariable("CORVALINT_DATA_DIR");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/corvalint");
}
