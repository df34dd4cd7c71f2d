// The documents that browsers, the file manager and the IDE show, asked of each running one once per capture.
#pragma once

#include "desktopplatform.h"
#include "scripteddocuments.h"

#include <QStringList>

class DocumentCollector
{
public:
    explicit DocumentCollector(DesktopPlatform &platform);

    /// A collector's answer as strings: nothing when it failed; the textual
    /// items of a non-empty list in their order; else the one string of a
    /// string answer; else nothing.
    static QStringList stringsFromResult(const ScriptResult &result);

    /// Runs one collector and reads its answer; empty on any failure.
    QStringList run(DocumentRole role, const QString &applicationIdentifier) const;

    /// The lists for one capture: each role's collector runs, in the role
    /// order, only when some running application of any policy has the role's
    /// identifier. Roles the profile leaves empty match nothing.
    ScriptedDocuments collect(const QList<RunningApplication> &running, const PlatformProfile &profile) const;

private:
    DesktopPlatform &m_platform;
};
