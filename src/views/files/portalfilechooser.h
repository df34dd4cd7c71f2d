// The file chooser of the XDG desktop portal (org.freedesktop.portal.FileChooser):
// the dialog GNOME, KDE and other desktops give every application, sandboxed or
// not. Where no portal answers, the request goes to the fallback chooser.
#pragma once

#include "filechooser.h"

#include <QDBusConnection>
#include <QPointer>

class PortalFileChooser : public FileChooser
{
    Q_OBJECT
public:
    static constexpr QLatin1String service { "org.freedesktop.portal.Desktop" };
    static constexpr QLatin1String path { "/org/freedesktop/portal/desktop" };

    /// `fallback` is asked when the portal is not there or refuses the call.
    PortalFileChooser(QDBusConnection bus, FileChooser *fallback, QObject *parent = nullptr);
    void choose(const FileRequest &request, Done done) override;

private:
    QDBusConnection m_bus;
    QPointer<FileChooser> m_fallback;
    int m_nextToken = 0;
};
