// Hands a script's answer to whoever waits for its token.
#include "kwinscriptinbox.h"

void KWinScriptInbox::answer(const QString &token, const QString &json)
{
    emit answered(token, json);
}
