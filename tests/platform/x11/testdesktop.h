// How every X11 desktop test meets the test desktop: its private folders, a fixture of its own, the desktop cleared of
// what an aborted run left behind, and an X11Desktop connected to it.
#pragma once

#include "desktopfixture.h"
#include "platform/x11/x11desktop.h"

#include <memory>

/// The connected desktop, or nullptr with the reason in `error`; `fixture` is made either way.
inline std::unique_ptr<X11Desktop> openTestDesktop(std::unique_ptr<DesktopFixture> &fixture, QString *error)
{
    DesktopFixture::prepareEnvironment();
    fixture = std::make_unique<DesktopFixture>();
    fixture->clearDesktop();
    return X11Desktop::connect(QString(), error);
}
