// The command-line words that make a browser open a new window or further tabs: desktop entries only say
// "open these URLs", which a running browser puts wherever it likes.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

class BrowserCommand
{
public:
    enum class Family { firefox, chromium };

    /// The family of a browser by its program (the first word of its desktop entry's Exec), or nothing for a
    /// program that is no browser we know how to steer.
    static std::optional<Family> familyOf(const QString &program);

    /// Arguments after the program for one new window showing `url`. Firefox and Chromium both take
    /// `--new-window` and hand it to their running copy.
    static QStringList newWindow(const QUrl &url);
    /// Arguments for `urls` as tabs of the window the user (or we) activated last: Firefox wants each one
    /// marked, Chromium opens plain addresses as tabs there and ignores the mark it does not know.
    static QStringList newTabs(const QList<QUrl> &urls);
};
