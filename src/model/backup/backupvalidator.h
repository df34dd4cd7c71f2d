// Checks a parsed backup document field by field and turns it into workspaces.
#pragma once

#include "backupparseresult.h"

#include <QJsonObject>

class BackupValidator
{
public:
    /// Checks the envelope (version 1, a "workspaces" array), the counts, and
    /// every member of every workspace and entry before returning anything:
    /// either all workspaces in file order or the first reason to refuse the
    /// file, naming the workspace and entry (counted from 1). Members this
    /// version does not know are ignored; unknown category and type texts are
    /// kept as they are.
    static BackupParseResult validate(const QJsonObject &root);
};
