// Which application identifiers play the fixed roles of capture and launch on
// one platform: the four browsers, the file manager and the IDE.
#pragma once

#include <QString>
#include <QStringList>
#include <array>

/// The roles whose documents a collector can report (one list each per capture).
enum class DocumentRole { browser0, browser1, browser2, browser3, fileManager, ide };

struct PlatformProfile {
    /// The four browsers, in the fixed order in which their lists are collected
    /// and their windows placed after a website opens. An empty string: no such
    /// browser on this platform.
    std::array<QString, 4> browsers;
    QString fileManager;
    QString ide;
    /// Opened for a website entry when documents are not restored.
    QString websiteFallback;
    /// Opened for a folder entry when documents are not restored.
    QString folderFallback;

    /// The identifiers of the other platform, used verbatim by the simulated desktop.
    static PlatformProfile classic()
    {
        PlatformProfile p;
        p.browsers = { QStringLiteral("com.apple.Safari"), QStringLiteral("com.google.Chrome"),
            QStringLiteral("company.thebrowser.Browser"), QStringLiteral("com.brave.Browser") };
        p.fileManager = QStringLiteral("com.apple.finder");
        p.ide = QStringLiteral("com.apple.dt.Xcode");
        p.websiteFallback = QStringLiteral("com.apple.Safari");
        p.folderFallback = QStringLiteral("com.apple.finder");
        return p;
    }

    /// The index of `identifier` among the browsers, or -1.
    int browserIndex(const QString &identifier) const
    {
        if (identifier.isEmpty())
            return -1;
        for (int i = 0; i < int(browsers.size()); ++i) {
            if (browsers[size_t(i)] == identifier)
                return i;
        }
        return -1;
    }
};
