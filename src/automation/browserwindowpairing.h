// Which of a browser's windows on the desktop shows which window of its session file.
#pragma once

#include "collecteddocuments.h"
#include "desktoptypes.h"

#include <QHash>
#include <QList>

namespace BrowserWindowPairing {

/// The session window each desktop window shows, by window id. A window whose
/// title starts with a session window's title (the tab it shows) takes that
/// one; the others take the remaining session windows in order. Windows left
/// over (newer than the session file) get none.
QHash<WindowId, int> pair(const QList<DesktopWindow> &windows, const QList<BrowserWindowTabs> &sessions);

} // namespace BrowserWindowPairing
