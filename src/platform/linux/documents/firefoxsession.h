// Reads the tab addresses out of a Firefox session store (the decoded JSON).
#pragma once

#include "automation/collecteddocuments.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

class FirefoxSession
{
public:
    /// The current address of every tab, window after window in the store's window
    /// order, tabs in their order. A tab's current entry is `entries[index - 1]`
    /// (`index` counts from 1); an index outside the entries is clamped to them, a
    /// missing one means the last entry, and a tab without entries is left out.
    /// Anything that is not a session store gives an empty list.
    static QStringList tabUrls(const QByteArray &json);

    /// Reads and decodes a `recovery.jsonlz4` file; empty on any failure.
    static QStringList tabUrlsFromFile(const QString &path);

    /// The same addresses window by window, each with the title of its selected
    /// tab (`selected` counts from 1; a stray value is clamped to the tabs). A
    /// window whose tabs all lack an address is still listed, without tabs, so
    /// that later windows keep their places.
    static QList<BrowserWindowTabs> windows(const QByteArray &json);
    static QList<BrowserWindowTabs> windowsFromFile(const QString &path);

    /// Compressed session stores larger than this are refused.
    static constexpr qint64 maxFileSize = qint64(64) * 1024 * 1024;
};
