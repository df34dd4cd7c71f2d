// The environment a test desktop's harness writes for the desktop's clients.
#pragma once

#include <QByteArray>
#include <QString>

/// Takes over the harness's `export K=V` and `unset K...` lines; false when the file cannot be read.
bool loadHarnessEnvironment(const QString &path);

/// What the test clients wrote to their log (CORVALINT_TEST_CLIENT_LOG) so far.
QByteArray clientLog();

/// Starts the client log afresh.
void clearClientLog();
