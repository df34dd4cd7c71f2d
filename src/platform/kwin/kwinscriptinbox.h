// The D-Bus object KWin's scripts answer to: one method, `answer(token, json)`, on Corvalint's own connection.
#pragma once

#include <QObject>
#include <QString>

class KWinScriptInbox : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.corvalint.KWinScript")

public:
    static constexpr QLatin1StringView interfaceName { "org.corvalint.KWinScript" };
    static constexpr QLatin1StringView objectPath { "/org/corvalint/KWinScript" };

    using QObject::QObject;

public slots:
    /// Called by a script over D-Bus with the token it was given and its JSON answer.
    void answer(const QString &token, const QString &json);

signals:
    void answered(const QString &token, const QString &json);
};
