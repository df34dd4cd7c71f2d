// The outcome of reading a backup file: every workspace in it, or why it was refused.
#pragma once

#include "backupproblem.h"
#include "model/workspacedata.h"

#include <QList>
#include <QString>

struct BackupParseResult {
    /// The workspaces in file order; empty when the file was refused.
    QList<WorkspaceData> workspaces;
    /// A short German reason shown to the user; empty when the file was accepted.
    QString error;
    /// The same reason as data, for other wordings.
    BackupProblem problem;

    bool ok() const { return error.isEmpty(); }

    static BackupParseResult refused(const BackupProblem &problem) { return { {}, problem.germanText(), problem }; }
};
