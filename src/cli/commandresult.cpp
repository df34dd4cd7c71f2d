// Building command results and carrying them over the instance channel.
#include "commandresult.h"

CommandResult CommandResult::failure(const QString &line, int exitCode)
{
    CommandResult result;
    result.exitCode = exitCode;
    result.err = line + QLatin1Char('\n');
    return result;
}

CommandResult CommandResult::success(const QString &line)
{
    CommandResult result;
    if (!line.isEmpty())
        result.out = line + QLatin1Char('\n');
    return result;
}

QJsonObject CommandResult::toJson() const
{
    QJsonObject object;
    object[QLatin1String("exitCode")] = exitCode;
    object[QLatin1String("out")] = out;
    object[QLatin1String("err")] = err;
    object[QLatin1String("data")] = data;
    return object;
}

CommandResult CommandResult::fromJson(const QJsonObject &object)
{
    CommandResult result;
    result.exitCode = object.value(QLatin1String("exitCode")).toInt(1);
    result.out = object.value(QLatin1String("out")).toString();
    result.err = object.value(QLatin1String("err")).toString();
    result.data = object.value(QLatin1String("data")).toObject();
    return result;
}
