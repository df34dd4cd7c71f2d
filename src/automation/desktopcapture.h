// Turns the running applications' windows into workspace entries: what to reopen and where each window stood.
#pragma once

#include "desktopplatform.h"
#include "displaylocator.h"
#include "documentcollector.h"
#include "model/entrydata.h"

#include <QList>

class DesktopCapture
{
public:
    DesktopCapture(DesktopPlatform &platform, const DocumentCollector &documents);

    /// One new entry per qualifying window of every regular application, in
    /// running-application order and each application's window order. Never
    /// fails as a whole: what cannot be read shrinks the result.
    QList<EntryData> capture() const;

    /// Whether text names this program: "corvalint" in any letter case.
    static bool carriesOwnMarker(const QString &text);

    /// The delay stored in every captured entry, in seconds.
    static constexpr double capturedDelay = 0.5;
    /// Further tabs kept of one browser window (what the store reads back).
    static constexpr int maxAdditionalTabs = 500;

private:
    struct Run;
    /// What the document rule made of a window: an entry, nothing usable (the
    /// other rules decide), or a window to drop altogether.
    struct DocumentOutcome {
        enum Kind { noDocument, dropWindow, made } kind = noDocument;
        EntryData entry;
    };

    /// Pairs a browser's windows with its session's windows into `run`.
    void pairBrowserWindows(Run &run, const DesktopApplication &application) const;
    bool takesPart(const DesktopApplication &application, const std::optional<QString> &ownAppId) const;
    void captureWindow(Run &run, const QString &appId, const DesktopWindow &window) const;
    std::optional<EntryData> entryForWindow(Run &run, const QString &identifier, const DesktopWindow &window) const;
    DocumentOutcome documentRule(const QString &identifier, const DesktopWindow &window) const;

    DesktopPlatform &m_platform;
    const DocumentCollector &m_documents;
};
