// Which of a browser's windows on the desktop shows which window of its session file.
#include "browserwindowpairing.h"

#include <QSet>

QHash<WindowId, int> BrowserWindowPairing::pair(
    const QList<DesktopWindow> &windows, const QList<BrowserWindowTabs> &sessions)
{
    QHash<WindowId, int> paired;
    QSet<int> used;
    // Titles first: the session's window order need not be the desktop's, and a
    // closed window in between would shift every later one.
    for (const DesktopWindow &window : windows) {
        // The longest title that fits: "Git" must not take the window showing "GitHub".
        int best = -1;
        for (int i = 0; i < sessions.size(); ++i) {
            const QString &title = sessions[i].title;
            if (used.contains(i) || title.isEmpty() || !window.title.startsWith(title))
                continue;
            if (best < 0 || title.size() > sessions[best].title.size())
                best = i;
        }
        if (best >= 0) {
            paired.insert(window.id, best);
            used.insert(best);
        }
    }
    int next = 0;
    for (const DesktopWindow &window : windows) {
        if (paired.contains(window.id))
            continue;
        while (next < sessions.size() && used.contains(next))
            ++next;
        if (next >= sessions.size())
            break;
        paired.insert(window.id, next);
        used.insert(next++);
    }
    return paired;
}
