// The documents that browsers, the file manager and the IDE show, asked of each running one once per capture.
#pragma once

#include "collecteddocuments.h"
#include "desktopplatform.h"

#include <QStringList>

class DocumentCollector
{
public:
    explicit DocumentCollector(DesktopPlatform &platform);

    /// One collector's answer; empty when it failed.
    QStringList run(DocumentRole role, const QString &appId) const;

    /// The lists for one capture: each role's collector runs, in the role
    /// order, only when some running application of any kind has the role's
    /// id. Roles the profile leaves empty match nothing.
    CollectedDocuments collect(const QList<DesktopApplication> &running, const PlatformProfile &profile) const;

private:
    DesktopPlatform &m_platform;
};
