// Bounds that keep a hostile or broken backup file from exhausting memory or the UI.
#pragma once

#include <QtGlobal>

struct BackupLimits {
    /// Largest file that is read at all; a real backup of thousands of
    /// workspaces stays far below it.
    static constexpr qint64 maxFileBytes = 64LL * 1024 * 1024;
    /// Longest text of any single field, in UTF-16 code units. Generous because
    /// captured website addresses may be long data: URLs; names are far shorter.
    static constexpr qsizetype maxStringLength = 1024 * 1024;
    /// Most workspaces in one file.
    static constexpr qsizetype maxWorkspaces = 100'000;
    /// Most entries over all workspaces of one file.
    static constexpr qsizetype maxEntries = 100'000;
    /// Most further tabs (`additionalTabURLs`) of one entry; each is a text
    /// member and so bounded by `maxStringLength` like `websiteURL`. A browser
    /// window with more tabs than this is not something a person restores.
    static constexpr qsizetype maxAdditionalTabs = 500;
    /// Deepest nesting of arrays and objects; the format itself needs five
    /// levels, the rest leaves room for members added later.
    static constexpr int maxDepth = 32;
};
