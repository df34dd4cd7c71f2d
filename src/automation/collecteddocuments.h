// The document lists collected once per capture: tab URLs of each browser, the file manager's folders, the IDE's
// projects.
#pragma once

#include "platformprofile.h"

#include <QList>
#include <QStringList>
#include <array>
#include <optional>

/// One browser window as the browser's own session file describes it.
struct BrowserWindowTabs {
    /// The current address of every tab, in tab order.
    QStringList urls;
    /// The title of the tab the window shows (what its window title starts
    /// with), for telling the desktop's windows apart; may be empty.
    QString title;

    bool operator==(const BrowserWindowTabs &) const = default;
};

struct CollectedDocuments {
    /// One list per browser slot of the profile, in the profile's order.
    std::array<QStringList, 4> browserURLs;
    /// Per browser slot, its windows with their tabs, where the desktop can
    /// tell them apart; nothing where it gives only `browserURLs`.
    std::array<std::optional<QList<BrowserWindowTabs>>, 4> browserWindows;
    QStringList fileManagerFolders;
    QStringList ideDocuments;

    QStringList &list(DocumentRole role)
    {
        switch (role) {
        case DocumentRole::browser0:
            return browserURLs[0];
        case DocumentRole::browser1:
            return browserURLs[1];
        case DocumentRole::browser2:
            return browserURLs[2];
        case DocumentRole::browser3:
            return browserURLs[3];
        case DocumentRole::fileManager:
            return fileManagerFolders;
        case DocumentRole::ide:
            return ideDocuments;
        }
        return ideDocuments;
    }
    const QStringList &list(DocumentRole role) const { return const_cast<CollectedDocuments *>(this)->list(role); }

    bool operator==(const CollectedDocuments &) const = default;
};
